// The contest definitions shipped with the program.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <set>
#include <string>

#include "app/core/programfolder.h"
#include "contest/contestdef.h"
#include "contest/contestrules.h"
#include "log/settings.h"
#include "log/cp932.h"
#include "log/fileio.h"
#include "output/mydata.h"
#include "scripted_ui.h"

namespace fs = std::filesystem;

namespace {

const fs::path kCfgDir = fs::path(TAMARACK_DATA_DIR) / "Cfg";

std::set<std::string> knownKeys() {
  std::set<std::string> k = {"ContestName", "ContestNo", "Exch", "MltType", "MltSearch",
                             "PointType", "TotalPoint", "SentJarlCode", "FdKeisuEnabled",
                             "ExchtoMlt", "SearchEntityFile", "SearchSectionFile", "SetUTCtime",
                             "DqpEnabled", "NYPEnabled", "WpxSearch", "SectionFile",
                             "StdContestName", "TestMailAddress", "SendMailAddress", "StdCategory",
                             "UploadUrl", "PowerCode", "CategoryPowerCode", "CategoryPower",
                             "PhoneExcludedBands", "RcvdNoShape", "ContestPeriod"};
  for (const char* m : {"SSB", "FM", "AM", "CW", "RTTY", "PSK31", "WSJT", "SSTV", "DV", "DD"})
    k.insert(std::string(m) + "Enabled");
  for (auto w : bands::kBandKeyWords)
    for (const char* s : {"Enabled", "PointA", "PointB", "PointC"})
      k.insert("Band" + std::string(w) + s);
  return k;
}
const std::set<std::string> kTextKeys = {
    "ContestName", "SectionFile", "StdContestName", "TestMailAddress", "SendMailAddress",
    "StdCategory", "UploadUrl", "PowerCode", "CategoryPowerCode", "CategoryPower",
    "PhoneExcludedBands", "RcvdNoShape", "ContestPeriod"};

std::map<int, fs::path> shippedFiles() {
  std::map<int, fs::path> files;
  for (const auto& e : fs::directory_iterator(kCfgDir))
    if (e.path().extension() == ".cfg")
      files[std::atoi(e.path().filename().string().c_str() + 1)] = e.path();
  return files;
}

TEST(ShippedCfg, OneFilePerContestEveryLineSound) {
  const auto files = shippedFiles();
  ASSERT_EQ(files.size(), 7u);  // the digital QSO party ended in 2011
  const auto keys = knownKeys();
  for (const auto& [no, path] : files) {
    SCOPED_TRACE(path.filename().string());
    EXPECT_GE(no, 1);
    EXPECT_LE(no, 7);
    for (const char* deleted : {"(0)7MHz拡大記念 QSOパーティー.cfg", "(1)QSOパーティー.cfg",
                                "(3)デジタルＱＳＯパーティー.cfg"})
      EXPECT_NE(path.filename().string(), deleted);
    std::string bytes;
    ASSERT_TRUE(fileio::readAll(path.string(), bytes));
    // Which year's rules the file follows is said at its top.
    const std::string text = cp932::decode(bytes);
    EXPECT_EQ(text[0], ';');
    EXPECT_NE(text.substr(0, text.find('\r')).find("年"), std::string::npos);
    EXPECT_EQ(cp932::encode(cp932::decode(bytes)), bytes);  // CP932 throughout
    for (std::size_t i = 0; i < bytes.size(); ++i)
      if (bytes[i] == '\n') {
        ASSERT_TRUE(i > 0 && bytes[i - 1] == '\r');
      }
    fileio::forEachLine(cp932::decode(bytes), [&](std::string_view line) {
      const std::size_t eq = line.find('=');
      if (eq == std::string_view::npos) {
        EXPECT_TRUE(line.empty() || line[0] == ';') << line;
        return;
      }
      const std::string key(line.substr(0, eq));
      EXPECT_TRUE(keys.count(key)) << line;
      std::int16_t v;
      if (!kTextKeys.count(key)) {
        EXPECT_TRUE(CfgParseInt16(line.substr(eq + 1), v)) << line;
      }
    });
  }
}

// The digital QSO party's definition as an earlier version shipped it,
// byte for byte. The program still reads such files (DqpEnabled).
std::string retiredDqpDefinition() {
  std::string t =
      ";デジタルＱＳＯパーティー\n"
      ";デジタルモードのみ  交換: RST + 運用者の名前  得点なし  JST\n\n"
      "ContestName=デジタルＱＳＯパーティー\nStdContestName=デジタルQSOパーティー\n"
      "ContestNo=8\nExch=4\nMltType=0\nMltSearch=0\nPointType=1\nTotalPoint=1\n"
      "SentJarlCode=0\nFdKeisuEnabled=0\nExchtoMlt=0\nSearchEntityFile=0\n"
      "SearchSectionFile=0\nSectionFile=\nSetUTCtime=0\nDqpEnabled=1\nNYPEnabled=0\n"
      "WpxSearch=0\nSendMailAddress=\nTestMailAddress=\n\n";
  for (auto w : bands::kBandKeyWords) t += "Band" + std::string(w) + "Enabled=1\n";
  for (auto w : bands::kBandKeyWords)
    for (const char* p : {"A", "B", "C"}) t += "Band" + std::string(w) + "Point" + p + "=0\n";
  t += "\n";
  for (std::size_t m = 0; m < bands::kModeKeys.size(); ++m)
    t += std::string(bands::kModeKeys[m]) + (m >= 4 ? "=1\n" : "=0\n");
  t += "\nStdCategory=個人局;DQP;0;0;0\nStdCategory=社団局;DQPM;0;0;1\n";
  std::string crlf;
  for (char c : t) {
    if (c == '\n') crlf += '\r';
    crlf += c;
  }
  return cp932::encode(crlf);
}

class ShippedRead : public ::testing::Test {
 protected:
  void SetUp() override {
    char tmpl[] = "/tmp/tamarack_ship_XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    home = tmpl;
    fs::copy(kCfgDir, home + "/Cfg");
    ASSERT_TRUE(fileio::writeAtomic(home + "/Cfg/dqp.cfg", retiredDqpDefinition()));
  }
  void TearDown() override { fs::remove_all(home); }
  // Reads contest no's file after the one read before, as the dialog does;
  // 8 is the digital party's definition, which is no longer shipped.
  void read(int no) {
    const std::string path =
        no == 8 ? home + "/Cfg/dqp.cfg" : shippedFiles().at(no).string();
    const CfgReadResult r = CfgRead(path, home, def, sections, settings, logTestNo, ui);
    ASSERT_TRUE(r.read);
    EXPECT_TRUE(ui.messages.empty()) << ui.messages[0].text;
  }
  std::vector<std::string> codes() const {
    std::vector<std::string> out;
    for (const Category& c : def.CategoryList) out.push_back(c.CategoryCode);
    return out;
  }
  std::string home;
  ContestDefinition def;
  SectionList sections;
  Settings settings;
  std::int16_t logTestNo = 0;
  ScriptedUi ui;
};

std::vector<std::string> words(std::string_view s) {
  std::vector<std::string> out;
  std::size_t i = 0;
  while (i < s.size()) {
    const std::size_t j = std::min(s.find(' ', i), s.size());
    if (j > i) out.emplace_back(s.substr(i, j - i));
    i = j + 1;
  }
  return out;
}

struct Facts {
  int no, exch, mltSearch, pointType, totalPoint, sentJarlCode, fd, utc, dqp, nyp, entity,
      section;
  const char* bands;  // enabled flags by band index
  bool upload;        // the file names JARL's upload page
};

const Facts kFacts[] = {
    {1, 1, 2, 1, 2, 1, 0, 0, 0, 0, 0, 1, "1110101011000000", true},
    {2, 3, 2, 1, 2, 1, 0, 0, 0, 0, 0, 0, "0000000001111111", true},
    {3, 3, 2, 1, 2, 1, 1, 0, 0, 0, 0, 0, "1110101011111111", true},
    {4, 2, 2, 1, 2, 1, 0, 0, 0, 0, 0, 0, "1110101011111111", true},
    {5, 5, 2, 2, 2, 0, 0, 1, 0, 0, 1, 0, "1110101010000000", false},
    {6, 5, 2, 2, 2, 0, 0, 1, 0, 0, 1, 0, "1110101010000000", false},
    {7, 4, 0, 1, 1, 0, 0, 0, 0, 1, 0, 0, "1111111111111111", true},
    {8, 4, 0, 1, 1, 0, 0, 0, 1, 0, 0, 0, "1111111111111111", false},
};

TEST_F(ShippedRead, RulesOfEachContest) {
  // Read in an order where each file must overwrite what the one before set.
  for (int no : {5, 1, 8, 3, 6, 2, 7, 4}) {
    const Facts& f = kFacts[no - 1];
    SCOPED_TRACE(no);
    read(no);
    EXPECT_EQ(def.ContestNo, no);
    EXPECT_EQ(def.ContestName, ContestNameOf(static_cast<std::int16_t>(no)));
    EXPECT_FALSE(settings.JarlContest.empty());
    EXPECT_EQ(def.Exch, f.exch);
    EXPECT_EQ(def.MltSearch, f.mltSearch);
    EXPECT_EQ(def.PointType, f.pointType);
    EXPECT_EQ(def.TotalPoint, f.totalPoint);
    EXPECT_EQ(def.SentJarlCode, f.sentJarlCode);
    EXPECT_EQ(def.ExchtoMlt, f.sentJarlCode);
    EXPECT_EQ(def.FdKeisuEnabled, f.fd);
    EXPECT_EQ(def.SetUTCtime, f.utc);
    EXPECT_EQ(def.DqpEnabled, f.dqp);
    EXPECT_EQ(def.NYPEnabled, f.nyp);
    EXPECT_EQ(def.SearchEntityFile, f.entity);
    EXPECT_EQ(def.SearchSectionFile, f.section);
    // Submission addresses could not be confirmed for any contest.
    EXPECT_EQ(def.SendMailAddress, "");
    EXPECT_EQ(def.TestMailAddress, "");
    for (int b = 0; b < 16; ++b) {
      EXPECT_EQ(def.BandEnabled[b], f.bands[b] - '0') << b;
      if (no <= 4) {  // one point a QSO on every contest band
        EXPECT_EQ(def.BandPoints[b].PointA, f.bands[b] - '0') << b;
        EXPECT_EQ(def.BandPoints[b].PointB, 0) << b;
        EXPECT_EQ(def.BandPoints[b].PointC, 0) << b;
      } else if (no >= 7) {
        EXPECT_EQ(def.BandPoints[b].PointA, 0) << b;
      }
    }
    EXPECT_EQ(def.ModeEnabled[3], no == 6 || no == 8 ? 0 : 1) << "CW";
    EXPECT_EQ(def.ModeEnabled[0], no == 5 || no == 8 ? 0 : 1) << "SSB";
    EXPECT_EQ(def.ModeEnabled[4], no >= 7 ? 1 : 0) << "RTTY";
    ASSERT_GT(def.CategoryCount(), 0);
    for (const Category& c : def.CategoryList) {
      EXPECT_FALSE(c.CategoryName.empty());
      if (c.CateBand >= 1 && c.CateBand <= 13) {
        const std::string_view band = bands::CategoryBandText(c.CateBand);
        EXPECT_EQ(def.BandEnabled[bands::BandIndexOf(band)], 1) << c.CategoryCode;
      }
    }
    if (no == 8) continue;
    std::string text;
    ASSERT_TRUE(fileio::readAll(shippedFiles().at(no).string(), text));
    EXPECT_EQ(text.find("\r\nUploadUrl=https://contest.jarl.org/upload/\r\n") != std::string::npos,
              f.upload);
    EXPECT_EQ(text.find("UploadUrl") != std::string::npos, f.upload);
  }
}

// The category codes JARL publishes, contest by contest, in the grid's order.
const std::map<int, const char*> kCodes = {
    {1,
     "CAH CAM CAP C19H C19M C19P C35H C35M C35P C7H C7M C7P C14H C14M C14P C21H C21M C21P "
     "C28H C28M C28P C50H C50M C50P XAH XAM XAP PA P35 P7 P21 P28 P50 PN PMA "
     "CMAH CMAM XMAH XMAM CM2 XM2 XMJ CS XS CSWL CHECKLOG"},
    {2, "C50 C144 C430 C1200 C2400 C5600 C10G P50 P144 P430 P1200 P2400 P5600 P10G CHECKLOG"},
    {3, "PA PN PMA CA C19 C35 C7 C14 C21 C28 C50 C144 C430 C1200 C2400 CHECKLOG"},
    {4,
     "CAH CAM CAL CAP C19H C19M C19L C19P C35H C35M C35L C35P C7H C7M C7L C7P "
     "C14H C14M C14L C14P C21H C21M C21L C21P C28H C28M C28L C28P C50H C50M C50L C50P "
     "C144M C144L C144P C430M C430L C430P C1200L C1200P C2400P C5600P C10GP "
     "XAH XAM XAL XAP PA P35 P7 P14 P21 P28 P50 P144 P430 P1200 P2400 P5600 P10G CHECKLOG"},
    {5,
     "SO160HP SO80HP SO40HP SO20HP SO15HP SO10HP SOABHP "
     "SO160LP SO80LP SO40LP SO20LP SO15LP SO10LP SOABLP SOABHP24 SOABLP24 "
     "MSHP MSLP MMHP MMLP SOJR SOSV"},
};

struct Shape {
  int mode, band, mlt;
  bool operator==(const Shape&) const = default;
};

// What a domestic code says: C CW, P phone, X both; then A (all bands), M
// (multi-operator), N (newcomer), S (silver, SWL) or the band; then the
// power letter. Silver entrants give their age in the operators' list. A
// check log is the whole log, every mode and band.
Shape domesticShape(const std::string& code) {
  if (code == "CHECKLOG") return {0, 0, false};
  const int mode = code[0] == 'C' ? 2 : code[0] == 'P' ? 1 : 0;
  const bool multi = code[1] == 'M' || code == "CS" || code == "XS";
  static const std::pair<const char*, int> kBandCodes[] = {
      {"1200", 10}, {"2400", 11}, {"5600", 12}, {"10G", 13}, {"144", 8}, {"430", 9}, {"19", 1},
      {"35", 2},    {"14", 4},    {"21", 5},    {"28", 6},   {"50", 7},  {"7", 3}};
  for (const auto& [text, band] : kBandCodes)
    if (code.compare(1, std::strlen(text), text) == 0) return {mode, band, multi};
  return {mode, 0, multi};
}

Shape asianShape(const std::string& code, int mode) {
  static const std::pair<const char*, int> kBandCodes[] = {
      {"SO160", 1}, {"SO80", 2}, {"SO40", 3}, {"SO20", 4}, {"SO15", 5}, {"SO10", 6}};
  for (const auto& [text, band] : kBandCodes)
    if (code.rfind(text, 0) == 0) return {mode, band, 0};
  return {mode, 0, code[0] == 'M' ? 1 : 0};
}

TEST_F(ShippedRead, CategoryCodesFollowThePublishedRules) {
  for (int no = 1; no <= 7; ++no) {
    SCOPED_TRACE(no);
    read(no);
    if (no == 7) {
      // QSO party: contacts and SWL; JARL publishes no codes for them.
      ASSERT_EQ(def.CategoryCount(), 2);
      EXPECT_EQ(def.CategoryRow(1).CategoryName, "アマチュア局");
      EXPECT_EQ(def.CategoryRow(2).CategoryName, "SWL");
      for (const Category& c : def.CategoryList) {
        EXPECT_EQ(c.CategoryCode, "");
        EXPECT_EQ((Shape{c.CateMode, c.CateBand, c.CateMlt}), (Shape{0, 0, 0}));
      }
      continue;
    }
    EXPECT_EQ(codes(), words(kCodes.at(no == 6 ? 5 : no)));
    for (const Category& c : def.CategoryList) {
      SCOPED_TRACE(c.CategoryCode);
      const Shape want = no <= 4 ? domesticShape(c.CategoryCode)
                                 : asianShape(c.CategoryCode, no == 5 ? 2 : 1);
      EXPECT_EQ((Shape{c.CateMode, c.CateBand, c.CateMlt}), want);
      // A power letter in the code is one the operator can send on that band.
      const char last = c.CategoryCode.back();
      if (no <= 4 && c.CateBand >= 1 && std::strchr("HMLP", last)) {
        const int b = bands::BandIndexOf(bands::CategoryBandText(c.CateBand));
        const auto letters = mydata::PowerEntries(b);
        EXPECT_NE(std::find(letters.begin(), letters.end(), std::string(1, last)), letters.end());
      }
    }
  }
  read(1);
  std::map<std::string, std::string> names;
  for (const Category& c : def.CategoryList) names[c.CategoryCode] = c.CategoryName;
  EXPECT_EQ(names["CAH"], "シングルオペ 電信 オールバンド ハイパワー");
  EXPECT_EQ(names["XM2"], "マルチオペ 2波 電信電話");
  EXPECT_EQ(names["CSWL"], "SWL");
  EXPECT_EQ(names["CHECKLOG"], "チェックログ");
}

TEST_F(ShippedRead, PrefectureNumbersAndAsianPoints) {
  read(1);
  ASSERT_EQ(sections.SectionCount(), 61);
  EXPECT_EQ(sections.Section(1), "101");
  EXPECT_EQ(sections.Section(14), "114");
  EXPECT_EQ(sections.Section(15), "02");
  EXPECT_EQ(sections.Section(61), "48");
  EXPECT_FALSE(sections.contains("01"));
  EXPECT_FALSE(sections.contains("49"));
  EXPECT_FALSE(sections.contains(""));

  // An Asian station's points: outside Asia (A), other Asian entities (B),
  // its own entity (C).
  for (int no : {5, 6}) {
    SCOPED_TRACE(no);
    read(no);
    const BandPoint want[16] = {{9, 3, 0}, {6, 2, 0}, {3, 1, 0}, {}, {3, 1, 0}, {}, {3, 1, 0},
                                {},        {6, 2, 0}, {},        {}, {},        {}, {},
                                {},        {}};
    for (int b = 0; b < 16; ++b) {
      EXPECT_EQ(def.BandPoints[b].PointA, want[b].PointA) << b;
      EXPECT_EQ(def.BandPoints[b].PointB, want[b].PointB) << b;
      EXPECT_EQ(def.BandPoints[b].PointC, want[b].PointC) << b;
    }
  }
}

// The entry rules each shipped definition carries, read in an order where
// a file without a rule must not keep the one read before.
TEST_F(ShippedRead, EntryRulesOfEachContest) {
  auto letters = [&] {
    std::string t;
    for (const PowerCodeRule& r : def.PowerCode) {
      t += r.Letter;
      for (int w : r.Watts) t += ":" + std::to_string(w);
      t += ' ';
    }
    return t;
  };
  auto limit = [&](const char* code, const char* band) {
    return rules::CategoryPowerLimit(def, code, bands::BandIndexOf(band));
  };
  auto fits = [&](const char* band, const char* number) {
    const RcvdNoShapeRule* r = rules::RcvdNoShapeOf(def, bands::BandIndexOf(band));
    return r && rules::NumberFits(r->Numbers, number);
  };
  auto period = [&](int year) {
    if (!def.ContestPeriod) return std::string("none");
    const auto p = rules::PeriodOf(*def.ContestPeriod, year);
    return p ? ole::formatMinutes(p->Start) + " - " + ole::formatMinutes(p->End) : "no day";
  };

  read(1);  // ALL JA
  EXPECT_EQ(letters(), "H:0:0:0 M:100:100:100 L:10:20:20 P:5:5:5 ");
  for (const char* code : {"CAH", "C19H", "XAH", "CMAH", "XMAH"})
    EXPECT_EQ(rules::CategoryPowerLetter(def, code), "H") << code;
  EXPECT_EQ(rules::CategoryPowerLetter(def, "C50M"), "M");
  EXPECT_EQ(rules::CategoryPowerLetter(def, "XAP"), "P");
  for (const char* code : {"PA", "CSWL", "CHECKLOG", "CM2", "XS"})
    EXPECT_EQ(rules::CategoryPowerLetter(def, code), "") << code;
  EXPECT_EQ(limit("PA", "7"), 10);
  EXPECT_EQ(limit("PMA", "50"), 20);
  EXPECT_EQ(limit("CAM", "7"), 100);
  EXPECT_EQ(limit("CAP", "50"), 5);
  EXPECT_EQ(limit("XAH", "14"), 0);
  EXPECT_EQ(def.PhoneExcludedBands[4], 1);
  EXPECT_EQ(std::count(def.PhoneExcludedBands.begin(), def.PhoneExcludedBands.end(), 1), 1);
  for (const char* n : {"101", "114", "02", "13", "48"}) EXPECT_TRUE(fits("7", n)) << n;
  for (const char* n : {"2", "01", "49", "100", "115", "0013", ""}) EXPECT_FALSE(fits("7", n)) << n;
  EXPECT_EQ(period(2024), "2024-04-27 21:00 - 2024-04-28 21:00");
  EXPECT_EQ(period(2026), "2026-04-25 21:00 - 2026-04-26 21:00");

  read(5);  // ALL ASIAN CW: no power letters, a limit for the low-power categories
  EXPECT_EQ(letters(), "");
  EXPECT_EQ(def.PhoneExcludedBands[4], 0);
  EXPECT_TRUE(def.RcvdNoShape.empty());
  for (const char* code : {"SO160LP", "SOABLP", "SOABLP24", "MSLP", "MMLP"})
    EXPECT_EQ(limit(code, "7"), 100) << code;
  for (const char* code : {"SOABHP", "SOABHP24", "SOJR", "SOSV"}) EXPECT_EQ(limit(code, "7"), 0);
  EXPECT_EQ(period(2025), "2025-06-21 00:00 - 2025-06-23 00:00");
  read(6);
  EXPECT_EQ(period(2025), "2025-09-06 00:00 - 2025-09-08 00:00");

  read(3);  // Field Day: no H, every station within 50 W
  EXPECT_EQ(letters(), "M:50:50:50 L:10:20:10 P:5:5:5 ");
  EXPECT_EQ(rules::CategoryPowerLetter(def, "CA"), "");
  EXPECT_EQ(limit("CA", "7"), 50);
  EXPECT_EQ(limit("C1200", "1200"), 50);
  EXPECT_EQ(limit("PA", "7"), 10);
  EXPECT_EQ(limit("PMA", "430"), 20);
  EXPECT_EQ(limit("PN", "1200"), 10);
  EXPECT_EQ(def.PhoneExcludedBands[4], 1);
  EXPECT_TRUE(fits("1200", "13"));
  EXPECT_FALSE(fits("1200", "1001"));
  EXPECT_TRUE(fits("2400", "1001"));
  EXPECT_TRUE(fits("10.1G", "100101"));
  EXPECT_FALSE(fits("2400", "13"));
  EXPECT_EQ(period(2025), "none");

  read(2);  // 6m AND DOWN: the number shapes only
  EXPECT_EQ(letters(), "");
  EXPECT_TRUE(def.CategoryPower.empty());
  EXPECT_TRUE(fits("50", "101"));
  EXPECT_TRUE(fits("5600", "01001"));
  EXPECT_FALSE(fits("5600", "101"));

  read(4);  // all cities and guns
  EXPECT_EQ(letters(), "H:0:0:0 M:100:100:100 L:10:20:20 P:5:5:5 ");
  EXPECT_EQ(rules::CategoryPowerLetter(def, "C1200L"), "L");
  EXPECT_EQ(limit("P430", "430"), 20);
  EXPECT_EQ(def.PhoneExcludedBands[4], 0);
  EXPECT_TRUE(fits("7", "1001"));
  EXPECT_FALSE(fits("7", "13"));

  read(7);  // the QSO party: its days every year
  EXPECT_EQ(letters(), "");
  EXPECT_TRUE(def.RcvdNoShape.empty());
  EXPECT_EQ(period(2026), "2026-01-02 09:00 - 2026-01-07 21:00");
}

TEST(RetiredDqp, AnUnchangedCopyGoesAtStartAnyOtherStays) {
  char tmpl[] = "/tmp/tamarack_dqp_XXXXXX";
  ASSERT_NE(mkdtemp(tmpl), nullptr);
  const std::string home = tmpl;
  const std::string cfg = home + "/Cfg/";
  const std::string name = "(8)デジタルＱＳＯパーティー.cfg";
  fs::create_directory(cfg);
  const std::string old = retiredDqpDefinition();

  ASSERT_TRUE(fileio::writeAtomic(cfg + name, old));
  ASSERT_TRUE(fileio::writeAtomic(cfg + "dqp.cfg", old));
  PrepareWorkFolders(home);
  EXPECT_FALSE(fs::exists(cfg + name));
  EXPECT_TRUE(fs::exists(cfg + "dqp.cfg"));  // the user's own copy

  std::string edited = old;
  edited.replace(edited.find("Exch=4"), 6, "Exch=5");  // same size
  for (const std::string& bytes : {edited, old + "\r\n", std::string("ContestNo=8\r\n")}) {
    ASSERT_TRUE(fileio::writeAtomic(cfg + name, bytes));
    PrepareWorkFolders(home);
    std::string kept;
    EXPECT_TRUE(fileio::readAll(cfg + name, kept));
    EXPECT_EQ(kept, bytes);
  }
  fs::remove_all(home);
}

}  // namespace

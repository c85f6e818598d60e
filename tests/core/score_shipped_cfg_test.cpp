// The contest definitions shipped with the program.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <set>
#include <string>

#include "log/settings.h"
#include "contest/contestdef.h"
#include "log/cp932.h"
#include "log/fileio.h"
#include "scripted_ui.h"

namespace fs = std::filesystem;

namespace {

const fs::path kCfgDir = fs::path(TAMARACK_DATA_DIR) / "Cfg";

std::set<std::string> knownKeys() {
  std::set<std::string> k = {"ContestName", "ContestNo", "Exch", "MltType", "MltSearch",
                             "PointType", "TotalPoint", "SentJarlCode", "FdKeisuEnabled",
                             "ExchtoMlt", "SearchEntityFile", "SearchSectionFile", "SetUTCtime",
                             "DqpEnabled", "NYPEnabled", "WpxSearch", "SectionFile",
                             "StdContestName", "TestMailAddress", "SendMailAddress", "StdCategory"};
  for (const char* m : {"SSB", "FM", "AM", "CW", "RTTY", "PSK31", "WSJT", "SSTV", "DV", "DD"})
    k.insert(std::string(m) + "Enabled");
  for (auto w : bands::kBandKeyWords)
    for (const char* s : {"Enabled", "PointA", "PointB", "PointC"})
      k.insert("Band" + std::string(w) + s);
  return k;
}
const std::set<std::string> kTextKeys = {"ContestName", "SectionFile", "StdContestName",
                                         "TestMailAddress", "SendMailAddress", "StdCategory"};

std::map<int, fs::path> shippedFiles() {
  std::map<int, fs::path> files;
  for (const auto& e : fs::directory_iterator(kCfgDir))
    if (e.path().extension() == ".cfg")
      files[std::atoi(e.path().filename().string().c_str() + 1)] = e.path();
  return files;
}

TEST(ShippedCfg, OneFilePerContestEveryLineSound) {
  const auto files = shippedFiles();
  ASSERT_EQ(files.size(), 8u);
  const auto keys = knownKeys();
  for (const auto& [no, path] : files) {
    SCOPED_TRACE(path.filename().string());
    EXPECT_GE(no, 1);
    EXPECT_LE(no, 8);
    for (const char* deleted : {"(0)7MHz拡大記念 QSOパーティー.cfg", "(1)QSOパーティー.cfg",
                                "(3)デジタルＱＳＯパーティー.cfg"})
      EXPECT_NE(path.filename().string(), deleted);
    std::string bytes;
    ASSERT_TRUE(fileio::readAll(path.string(), bytes));
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

class ShippedRead : public ::testing::Test {
 protected:
  void SetUp() override {
    char tmpl[] = "/tmp/tamarack_ship_XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    home = tmpl;
    fs::copy(kCfgDir, home + "/Cfg");
  }
  void TearDown() override { fs::remove_all(home); }
  // Reads contest no's file after the one read before, as the dialog does.
  void read(int no) {
    const CfgReadResult r =
        CfgRead(shippedFiles().at(no).string(), home, def, sections, settings, logTestNo, ui);
    ASSERT_TRUE(r.read);
    EXPECT_TRUE(ui.messages.empty()) << ui.messages[0].text;
  }
  std::string home;
  ContestDefinition def;
  SectionList sections;
  Settings settings;
  std::int16_t logTestNo = 0;
  ScriptedUi ui;
};

struct Facts {
  int no, exch, mltSearch, pointType, sentJarlCode, fd, utc, dqp, nyp, entity, section;
  const char* bands;  // enabled flags by band index
};

TEST_F(ShippedRead, RulesOfEachContest) {
  const Facts facts[] = {
      {1, 1, 2, 1, 1, 0, 0, 0, 0, 0, 1, "1110101011000000"},
      {2, 3, 2, 1, 1, 0, 0, 0, 0, 0, 0, "0000000001111111"},
      {3, 3, 2, 1, 1, 1, 0, 0, 0, 0, 0, "1110101011111111"},
      {4, 2, 2, 1, 1, 0, 0, 0, 0, 0, 0, "1110101011111111"},
      {5, 5, 2, 2, 0, 0, 1, 0, 0, 1, 0, "1110101010000000"},
      {6, 5, 2, 2, 0, 0, 1, 0, 0, 1, 0, "0110101010000000"},
      {7, 4, 0, 1, 0, 0, 0, 0, 1, 0, 0, "1111111111111111"},
      {8, 4, 0, 1, 0, 0, 0, 1, 0, 0, 0, "1111111111111111"},
  };
  // Read in an order where each file must overwrite what the one before set.
  for (int no : {5, 1, 8, 3, 6, 2, 7, 4}) {
    const Facts& f = facts[no - 1];
    SCOPED_TRACE(no);
    read(no);
    EXPECT_EQ(def.ContestNo, no);
    EXPECT_EQ(def.ContestName, ContestNameOf(static_cast<std::int16_t>(no)));
    EXPECT_FALSE(settings.JarlContest.empty());
    EXPECT_EQ(def.Exch, f.exch);
    EXPECT_EQ(def.MltSearch, f.mltSearch);
    EXPECT_EQ(def.PointType, f.pointType);
    EXPECT_EQ(def.TotalPoint, no >= 7 ? 1 : 2);
    EXPECT_EQ(def.SentJarlCode, f.sentJarlCode);
    EXPECT_EQ(def.ExchtoMlt, f.sentJarlCode);
    EXPECT_EQ(def.FdKeisuEnabled, f.fd);
    EXPECT_EQ(def.SetUTCtime, f.utc);
    EXPECT_EQ(def.DqpEnabled, f.dqp);
    EXPECT_EQ(def.NYPEnabled, f.nyp);
    EXPECT_EQ(def.SearchEntityFile, f.entity);
    EXPECT_EQ(def.SearchSectionFile, f.section);
    for (int b = 0; b < 16; ++b) {
      EXPECT_EQ(def.BandEnabled[b], f.bands[b] - '0') << b;
      if (no <= 4) {
        EXPECT_EQ(def.BandPoints[b].PointA, f.bands[b] - '0') << b;
      } else if (no >= 7) {
        EXPECT_EQ(def.BandPoints[b].PointA, 0) << b;
      }
    }
    EXPECT_EQ(def.ModeEnabled[3], no == 6 || no == 8 ? 0 : 1) << "CW";
    EXPECT_EQ(def.ModeEnabled[0], no == 5 || no == 8 ? 0 : 1) << "SSB";
    EXPECT_EQ(def.ModeEnabled[4], no >= 7 ? 1 : 0) << "RTTY";
    ASSERT_GT(def.CategoryCount(), 0);
    std::set<std::string> codes;
    for (const Category& c : def.CategoryList) {
      EXPECT_TRUE(codes.insert(c.CategoryCode).second) << c.CategoryCode;
      EXPECT_FALSE(c.CategoryName.empty());
      if (c.CateBand >= 1 && c.CateBand <= 13) {
        const std::string_view band = bands::CategoryBandText(c.CateBand);
        EXPECT_EQ(def.BandEnabled[bands::BandIndexOf(band)], 1) << c.CategoryCode;
      }
    }
  }
}

TEST_F(ShippedRead, CategoriesOfAllJa) {
  read(1);
  std::map<std::string, Category> rows;
  for (const Category& c : def.CategoryList) rows[c.CategoryCode] = c;
  auto expect = [&](const char* code, int mode, int band, int mlt) {
    ASSERT_TRUE(rows.count(code)) << code;
    EXPECT_EQ(rows[code].CateMode, mode) << code;
    EXPECT_EQ(rows[code].CateBand, band) << code;
    EXPECT_EQ(rows[code].CateMlt, mlt) << code;
  };
  expect("CAH", 2, 0, 0);
  expect("C35M", 2, 2, 0);
  expect("P7P", 1, 3, 0);
  expect("X19L", 0, 1, 0);
  expect("P50H", 1, 7, 0);
  expect("XMAH", 0, 0, 1);
  EXPECT_FALSE(rows.count("C10H"));  // no contest on the 10 MHz band
}

TEST_F(ShippedRead, PrefectureNumbersAndAsianPoints) {
  read(1);
  ASSERT_EQ(sections.SectionCount(), 61);
  EXPECT_EQ(sections.Section(1), "101");
  EXPECT_EQ(sections.Section(14), "114");
  EXPECT_EQ(sections.Section(15), "02");
  EXPECT_EQ(sections.Section(61), "48");
  EXPECT_FALSE(sections.contains("01"));
  EXPECT_FALSE(sections.contains(""));

  read(5);
  EXPECT_EQ(def.BandPoints[0].PointA, 9);
  EXPECT_EQ(def.BandPoints[0].PointB, 3);
  EXPECT_EQ(def.BandPoints[1].PointA, 6);
  EXPECT_EQ(def.BandPoints[8].PointB, 2);
  EXPECT_EQ(def.BandPoints[2].PointA, 3);
  EXPECT_EQ(def.BandPoints[6].PointB, 1);
  for (int b = 0; b < 16; ++b) EXPECT_EQ(def.BandPoints[b].PointC, 0);
}

}  // namespace

// ADIF export: the elements of each line, the DXCC table and its JA rule,
// the shipped table, the file as a whole and tamarack-cli adif.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "log/settingsfile.h"
#include "app/core/programfolder.h"
#include "contest/cty.h"
#include "log/cp932.h"
#include "log/fileio.h"
#include "log/logfile.h"
#include "log/progress.h"
#include "log/settings.h"
#include "log/utf8.h"
#include "output/adif.h"
#include "scripted_ui.h"

namespace fs = std::filesystem;

namespace {

// --- An ADIF reader written from the format's rules, not from the writer ---
// A record is a run of data-specifiers "<name:length[:type]>data" closed by
// "<eor>"; the name is case-insensitive, the length counts characters, text
// outside the specifiers is ignored by readers. Strict mode also demands
// that only blanks stand between specifiers, so a stray text shows.
using AdifRecord = std::map<std::string, std::string>;

bool readAdif(const std::string& utf8Text, std::vector<AdifRecord>& out, std::string& error,
              bool strict = true) {
  std::u32string t;
  for (std::size_t i = 0; i < utf8Text.size();) t += utf8::next(utf8Text, i);
  AdifRecord rec;
  std::size_t i = 0;
  auto fail = [&](const std::string& why) {
    error = why + " at character " + std::to_string(i);
    return false;
  };
  while (i < t.size()) {
    if (t[i] != U'<') {
      if (strict && t[i] != U' ' && t[i] != U'\r' && t[i] != U'\n') return fail("text outside a tag");
      ++i;
      continue;
    }
    const std::size_t close = t.find(U'>', i);
    if (close == std::u32string::npos) return fail("tag not closed");
    std::string tag;
    for (std::size_t k = i + 1; k < close; ++k) {
      if (t[k] > 0x7e || t[k] < 0x20) return fail("tag holds no ASCII");
      tag += static_cast<char>(t[k]);
    }
    i = close + 1;
    std::string name = tag.substr(0, tag.find(':'));
    for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (name.empty()) return fail("empty field name");
    if (tag.find(':') == std::string::npos) {
      if (name == "eor") {
        out.push_back(rec);
        rec.clear();
        continue;
      }
      if (name == "eoh") {
        rec.clear();
        continue;
      }
      return fail("tag without length: " + name);
    }
    std::string len = tag.substr(tag.find(':') + 1);
    len = len.substr(0, len.find(':'));
    if (len.empty() || len.find_first_not_of("0123456789") != std::string::npos)
      return fail("bad length in <" + tag + ">");
    const std::size_t n = std::stoul(len);
    if (i + n > t.size()) return fail("value runs past the end");
    std::string value;
    for (std::size_t k = i; k < i + n; ++k) utf8::append(value, t[k]);
    if (rec.count(name)) return fail("field twice: " + name);
    rec[name] = value;
    i += n;
  }
  if (!rec.empty()) return fail("fields after the last <eor>");
  return true;
}

// An entity header line laid out like the public file.
std::string header(const std::string& name, const std::string& continent, const std::string& prefix) {
  std::string h = name + ":";
  h.resize(26, ' ');
  h += "25:  45:  " + continent + ":   36.40:  -138.38:    -9.0:  " + prefix + ":";
  return h + "\n";
}

CtyTables sampleCty() {
  CtyTables t;
  const std::string text = header("Japan", "AS", "JA") + "    JA,JE,7J;\n" +
                           header("United States", "NA", "K") + "    K,W;\n" +
                           header("Fed. Rep. of Germany", "EU", "DL") + "    DL,DJ;\n" +
                           header("Antarctica", "SA", "CE9") + "    CE9;\n";
  std::string error;
  EXPECT_TRUE(CtyParse(text, t, &error)) << error;
  return t;
}

adif::DxccTable sampleTable() {
  adif::DxccTable d;
  // Entity in characters 1-6, number in 7-12; beyond that nothing counts.
  d.parse("JA       339\r\nK        291 ignored\r\nDL    230\r\nK          1\r\n\r\n     ");
  return d;
}

QsoRecord qso(const char* call, const char* band, const char* mode, ole::Date t) {
  QsoRecord r;
  r.CallSign = call;
  r.Band = band;
  r.Mode = mode;
  r.QsoTime = t;
  r.SentRst = "599";
  r.RcvdRst = "599";
  r.SentNo = "13H";
  r.RcvdNo = "10M";
  return r;
}

// A fresh folder whose AdiDxcc.dat knows JA.
std::string folderWithTable() {
  char tmpl[] = "/tmp/tamarack_adiftable_XXXXXX";
  EXPECT_NE(mkdtemp(tmpl), nullptr);
  EXPECT_TRUE(fileio::writeAtomic(std::string(tmpl) + "/AdiDxcc.dat", "JA       339\r\n"));
  return tmpl;
}

struct Fixture {
  LogData log;
  CtyTables cty = sampleCty();
  Settings settings;
  bool utc = false;
  adif::AdifOptions options;
  std::int16_t contestNo = 0;
  ole::Date now = ole::fromDateTime(2024, 5, 1, 12, 34, 56);
  adif::AdifSource src() const { return {log, utc, cty, settings, options, contestNo, now}; }
};

}  // namespace

TEST(AdifLine, ThePartsExampleInAJstContest) {
  Fixture f;
  const QsoRecord r = qso("JA1ABC", "7", "CW", ole::fromDateTime(2024, 5, 1, 12, 34, 0));
  EXPECT_EQ(adif::AdifLine(r, f.src(), nullptr),
            "<call:6>JA1ABC <qso_date:8>20240501 <time_on:6>033400 <band:3>40m <freq:1>7 "
            "<mode:2>CW <rst_sent:3>599 <rst_rcvd:3>599 <qsl_sent:1>N <qsl_rcvd:1>N <eor>");

  // 05:00 JST falls on the previous day in UTC; a UTC contest is not moved.
  const QsoRecord early = qso("JA1ABC", "7", "CW", ole::fromDateTime(2024, 5, 2, 5, 0, 0));
  EXPECT_NE(adif::AdifLine(early, f.src(), nullptr)
                .find("<qso_date:8>20240501 <time_on:6>200000 "),
            std::string::npos);
  f.utc = true;
  EXPECT_NE(adif::AdifLine(early, f.src(), nullptr)
                .find("<qso_date:8>20240502 <time_on:6>050000 "),
            std::string::npos);
  // A time no calendar shows (a damaged record) gives no date rather than garbage.
  for (const double bad : {1e12, -1e12, std::nan("")})
    EXPECT_EQ(adif::AdifLine(qso("JA1ABC", "7", "CW", bad), f.src(), nullptr)
                  .rfind("<call:6>JA1ABC <band:3>40m <freq:1>7 ", 0),
              0u);
}

TEST(AdifLine, BandsLengthsTextsAndSwitches) {
  Fixture f;
  const ole::Date t = ole::fromDateTime(2024, 5, 1, 12, 0, 0);
  const std::pair<const char*, const char*> bands[] = {
      {"1.8", "<band:4>160m <freq:3>1.8 "},   {"3.5", "<band:3>80m <freq:3>3.5 "},
      {"10", "<band:3>30m <freq:2>10 "},      {"50", "<band:2>6m <freq:2>50 "},
      {"144", "<band:2>2m <freq:3>144 "},     {"430", "<band:4>70cm <freq:3>430 "},
      {"1200", "<band:4>23cm <freq:4>1200 "}, {"5600", "<band:3>6cm <freq:4>5600 "},
      {"10.1G", "<band:3>3cm <freq:5>10100 "},
      // Outside the table: neither band nor freq (a bare "14999" would read as MHz).
      {"99", "<time_on:6>030000 <mode:3>SSB "}, {"14999", "<time_on:6>030000 <mode:3>SSB "}};
  for (const auto& [band, want] : bands)
    EXPECT_NE(adif::AdifLine(qso("JA1ABC", band, "SSB", t), f.src(), nullptr).find(want),
              std::string::npos)
        << band;

  // Lengths count characters, not bytes.
  const std::string wide = adif::AdifLine(qso("ＪＡ１ＡＢＣ/1", "7", "CW", t), f.src(), nullptr);
  EXPECT_EQ(wide.rfind("<call:8>ＪＡ１ＡＢＣ/1 <qso_date:8>", 0), 0u);

  f.settings.AdiSendSw = 1;
  f.settings.AdiRcvdSw = 1;
  f.settings.AdiQslMsg = "  TNX 初QSO ";
  f.settings.AdiRemark = "ALL JA ";
  EXPECT_NE(adif::AdifLine(qso("JA1ABC", "7", "CW", t), f.src(), nullptr)
                .find("<qsl_sent:1>Y <qsl_rcvd:1>Y <qslmsg:8>TNX 初QSO <comment:6>ALL JA <eor>"),
            std::string::npos);
  f.settings.AdiQslMsg = "   ";
  EXPECT_NE(adif::AdifLine(qso("JA1ABC", "7", "CW", t), f.src(), nullptr)
                .find("<qsl_rcvd:1>Y <comment:6>ALL JA <eor>"),
            std::string::npos);
}

TEST(AdifLine, TheTwoSwitchesGovernRemarkAndQslMessage) {
  Fixture f;
  f.settings.AdiQslMsg = "TNX";
  f.settings.AdiRemark = "ALL JA";
  f.log.append(qso("JA1ABC", "7", "CW", ole::fromDateTime(2024, 5, 1, 12, 0, 0)));
  const struct {
    std::int16_t rmk, qslMsg;
    const char* tail;
  } rows[] = {{1, 1, "<qsl_rcvd:1>N <qslmsg:3>TNX <comment:6>ALL JA <eor>"},
              {0, 1, "<qsl_rcvd:1>N <qslmsg:3>TNX <eor>"},
              {1, 0, "<qsl_rcvd:1>N <comment:6>ALL JA <eor>"},
              {0, 0, "<qsl_rcvd:1>N <eor>"}};
  // Both switches start ticked: the file is as the texts alone make it.
  EXPECT_EQ(f.options.AdiRmkSw, 1);
  EXPECT_EQ(f.options.AdiQslMsgSw, 1);
  for (const auto& row : rows) {
    f.options.AdiRmkSw = row.rmk;
    f.options.AdiQslMsgSw = row.qslMsg;
    const std::string tail = row.tail;
    const std::string line = adif::AdifLine(f.log[1], f.src(), nullptr);
    EXPECT_EQ(line.substr(line.size() - std::min(line.size(), tail.size())), tail) << line;
    EXPECT_EQ(adif::AdifBytes(f.src(), nullptr, noProgress()), line + "\r\n");
  }
}

TEST(AdifDxcc, FirstLineOfAnEntityAndTheJaRule) {
  Fixture f;
  const adif::DxccTable d = sampleTable();
  EXPECT_EQ(d.size(), 4u);
  ASSERT_NE(d.find("K"), nullptr);
  EXPECT_EQ(*d.find("K"), "291");
  EXPECT_EQ(d.find(""), nullptr);
  EXPECT_EQ(d.find("CE9"), nullptr);

  const ole::Date t = ole::fromDateTime(2024, 5, 1, 12, 0, 0);
  auto line = [&](const char* call) { return adif::AdifLine(qso(call, "14", "CW", t), f.src(), &d); };
  EXPECT_NE(line("JA1ABC").find("<qsl_rcvd:1>N <dxcc:3>339 <eor>"), std::string::npos);
  EXPECT_NE(line("W1AW").find("<qsl_rcvd:1>N <dxcc:3>291 <eor>"), std::string::npos);
  EXPECT_NE(line("DJ2XX").find("<dxcc:3>230 "), std::string::npos);
  // An entity the table lacks, and a call of no entity: no element.
  EXPECT_EQ(line("CE9AA").find("<dxcc"), std::string::npos);
  EXPECT_EQ(line("ZZ1ZZ").find("<dxcc"), std::string::npos);

  f.settings.AdiCty2JaSw = 1;
  EXPECT_EQ(line("JA1ABC").find("<dxcc"), std::string::npos);
  EXPECT_NE(line("W1AW").find("<dxcc:3>291 "), std::string::npos);
}

TEST(AdifDxcc, LinesWhoseNumbersAreNoNumbersAreSkipped) {
  adif::DxccTable d;
  d.parse("JA    abc\r\nJA       339\r\nK     29 1\r\nDL    -230\r\nVK          \r\n"
          "VK    150\r\nZL    ４２\r\nW     0x12\r\n");
  EXPECT_EQ(d.size(), 2u);
  // A bad line gives way to a later good one of the same entity.
  ASSERT_NE(d.find("JA"), nullptr);
  EXPECT_EQ(*d.find("JA"), "339");
  ASSERT_NE(d.find("VK"), nullptr);
  EXPECT_EQ(*d.find("VK"), "150");
  for (const char* e : {"K", "DL", "ZL", "W"}) EXPECT_EQ(d.find(e), nullptr) << e;
}

TEST(AdifOut, WritesTheFileOrTellsWhy) {
  char tmpl[] = "/tmp/tamarack_adif_XXXXXX";
  ASSERT_NE(mkdtemp(tmpl), nullptr);
  const std::string dir = tmpl;
  Fixture f;
  ScriptedUi ui;

  // No table: told, then written without numbers; an empty log is an empty file.
  adif::AdifResult r = adif::AdifOut(dir + "/empty", f.src(), dir, ui, noProgress());
  EXPECT_TRUE(r.ok) << r.error;
  EXPECT_EQ(r.path, dir + "/empty.adi");
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].text, "AdiDxcc.dat ファイルが有りません！");
  EXPECT_EQ(ui.messages[0].buttons, Buttons::Ok);
  std::string bytes;
  ASSERT_TRUE(fileio::readAll(r.path, bytes));
  EXPECT_EQ(bytes, "");

  f.log.append(qso("ＪＡ１ＡＢＣ", "7", "CW", ole::fromDateTime(2024, 5, 1, 12, 0, 0)));
  f.log.append(qso("W1AW", "14", "SSB", ole::fromDateTime(2024, 5, 1, 12, 1, 0)));
  adif::AdifOut(dir + "/two", f.src(), dir, ui, noProgress());
  ASSERT_TRUE(fileio::readAll(dir + "/two.adi", bytes));
  EXPECT_EQ(bytes.find("<dxcc"), std::string::npos);

  ASSERT_TRUE(fileio::writeAtomic(dir + "/AdiDxcc.dat", "JA       339\r\nK        291\r\n"));
  ui.messages.clear();
  struct Recorder : Progress {
    std::vector<std::string> labels;
    int max = -1, finished = 0;
    void start(int m) override { max = m; }
    void label(const char* t) override { labels.push_back(t); }
    void finish() override { ++finished; }
  } bar;
  r = adif::AdifOut(dir + "/two", f.src(), dir, ui, bar);
  EXPECT_TRUE(r.ok);
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_EQ(bar.max, 2);
  EXPECT_EQ(bar.labels, (std::vector<std::string>{"ＪＡ１ＡＢＣ", "W1AW"}));
  EXPECT_EQ(bar.finished, 1);
  ASSERT_TRUE(fileio::readAll(dir + "/two.adi", bytes));
  // A full-width call sign is no prefix of the country file: no number.
  EXPECT_EQ(bytes, cp932::encode("<call:6>ＪＡ１ＡＢＣ <qso_date:8>20240501 <time_on:6>030000 "
                                 "<band:3>40m <freq:1>7 <mode:2>CW <rst_sent:3>599 "
                                 "<rst_rcvd:3>599 <qsl_sent:1>N <qsl_rcvd:1>N <eor>\r\n"
                                 "<call:4>W1AW <qso_date:8>20240501 <time_on:6>030100 "
                                 "<band:3>20m <freq:2>14 <mode:3>SSB <rst_sent:3>599 "
                                 "<rst_rcvd:3>599 <qsl_sent:1>N <qsl_rcvd:1>N <dxcc:3>291 <eor>\r\n"));
  EXPECT_EQ(bytes.substr(0, 10), std::string("<call:6>\x82\x69", 10));

  // A folder that is not there: the error is told, the progress closed.
  ui.messages.clear();
  r = adif::AdifOut(dir + "/none/x", f.src(), dir, ui, bar);
  EXPECT_FALSE(r.ok);
  EXPECT_FALSE(r.error.empty());
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].text, dir + "/none/x.adi: " + r.error);
  EXPECT_EQ(bar.finished, 2);
  fs::remove_all(dir);
}

TEST(AdifOut, SaysHowManyQsosHadABandOutsideTheTable) {
  const std::string dir = folderWithTable();
  Fixture f;
  const ole::Date t = ole::fromDateTime(2024, 5, 1, 12, 0, 0);
  for (const char* band : {"7", "14999", "", "430K", "10.1G"}) f.log.append(qso("JA1ABC", band, "CW", t));
  ScriptedUi ui;
  adif::AdifResult r = adif::AdifOut(dir + "/x", f.src(), dir, ui, noProgress());
  EXPECT_TRUE(r.ok) << r.error;
  EXPECT_EQ(r.counts.noBand, 3);
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].text, "バンド表に無いバンドの交信 3 件は、band と freq を書かずに出力しました");
  std::string bytes;
  ASSERT_TRUE(fileio::readAll(dir + "/x.adi", bytes));
  EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '\n'), 5);
  EXPECT_EQ(bytes.find("<freq:5>14999"), std::string::npos);

  // Every band in the table: nothing to say.
  f.log.clear();
  f.log.append(qso("JA1ABC", "7", "CW", t));
  ui.messages.clear();
  r = adif::AdifOut(dir + "/x", f.src(), dir, ui, noProgress());
  EXPECT_EQ(r.counts.noBand, 0);
  EXPECT_TRUE(ui.messages.empty());
  fs::remove_all(dir);
}

TEST(AdifOut, AnUnreadableTableIsToldAndLeftOut) {
  char tmpl[] = "/tmp/tamarack_adifbad_XXXXXX";
  ASSERT_NE(mkdtemp(tmpl), nullptr);
  const std::string dir = tmpl;
  fs::create_directory(dir + "/AdiDxcc.dat");
  Fixture f;
  f.log.append(qso("JA1ABC", "7", "CW", ole::fromDateTime(2024, 5, 1, 12, 0, 0)));
  ScriptedUi ui;
  const adif::AdifResult r = adif::AdifOut(dir + "/x", f.src(), dir, ui, noProgress());
  EXPECT_TRUE(r.ok) << r.error;
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].text.rfind(dir + "/AdiDxcc.dat: ", 0), 0u);
  std::string bytes;
  ASSERT_TRUE(fileio::readAll(dir + "/x.adi", bytes));
  EXPECT_EQ(bytes.find("<dxcc"), std::string::npos);
  fs::remove_all(dir);
}

TEST(AdifOut, NameRuleOfTheSaveDialog) {
  EXPECT_EQ(adif::AdifBaseName("/home/a.b/Conv/test.adi"), "/home/a.b/Conv/test");
  EXPECT_EQ(adif::AdifBaseName("/home/Conv/test.2024.adi"), "/home/Conv/test");
  EXPECT_EQ(adif::AdifBaseName("/home/Conv/test"), "/home/Conv/test");
  EXPECT_EQ(adif::AdifBaseName("test.adi"), "test");
}

// The table generated from the public country data, against entries looked
// up by hand, and read through the country file it belongs to.
TEST(AdifShippedTable, NumbersOfTheCountryFileEntities) {
  std::string bytes;
  ASSERT_TRUE(fileio::readAll(std::string(TAMARACK_SHIPPED_DIR) + "/AdiDxcc.dat", bytes));
  adif::DxccTable d;
  d.parse(cp932::decode(bytes));
  EXPECT_GT(d.size(), 300u);
  for (const auto& [entity, number] : std::vector<std::pair<std::string, std::string>>{
           {"JA", "339"}, {"K", "291"}, {"DL", "230"}, {"VK", "150"}, {"1A", "246"}}) {
    ASSERT_NE(d.find(entity), nullptr) << entity;
    EXPECT_EQ(*d.find(entity), number) << entity;
  }
  for (const auto& e : d.entries()) {
    EXPECT_NE(e.Entity[0], '*');
    EXPECT_FALSE(e.Number.empty());
  }
  EXPECT_EQ(bytes.rfind("JA       339\r\n"), bytes.find("JA       339\r\n"));
  EXPECT_NE(bytes.find("\nJA       339\r\n"), std::string::npos);

  CtyTables cty;
  std::string text, error;
  if (!fileio::readAll(kPublicCountryFile, text)) GTEST_SKIP() << "no public country file";
  ASSERT_TRUE(CtyParse(text, cty, &error)) << error;
  Fixture f;
  auto dxccOf = [&](const char* call) {
    const std::string l = adif::AdifLine(qso(call, "14", "CW", 45000.5), {f.log, true, cty, f.settings}, &d);
    const std::size_t p = l.find("<dxcc:");
    return p == std::string::npos ? std::string() : l.substr(l.find('>', p) + 1, l.find(' ', p) - l.find('>', p) - 1);
  };
  EXPECT_EQ(dxccOf("JA1ABC"), "339");
  EXPECT_EQ(dxccOf("W1AW"), "291");
  EXPECT_EQ(dxccOf("DL1ABC"), "230");
  EXPECT_EQ(dxccOf("VK2ABC"), "150");
  EXPECT_EQ(dxccOf("JA1ABC/KH0"), *d.find("KH0"));
}

TEST(AdifFile, EveryRecordReadsBackWithItsFields) {
  Fixture f;
  const adif::DxccTable d = sampleTable();
  f.settings.AdiSendSw = 1;
  f.settings.AdiRemark = "コンテスト <test>";
  const char* calls[] = {"JA1ABC", "W1AW", "DL2XYZ", "ＪＲ１ＺＺＺ", "CE9AA", "7J1AAA/1"};
  const char* bands[] = {"1.8", "3.5", "7", "14", "21", "28", "50", "144", "430", "1200", "10.1G", "X"};
  const char* modes[] = {"CW", "SSB", "FM", "RTTY"};
  for (int k = 0; k < 3000; ++k)
    f.log.append(qso(calls[k % 6], bands[k % 12], modes[k % 4],
                     ole::fromDateTime(2024, 12, 31, 20, 0, 0) + k / 1440.0));
  const std::string bytes = adif::AdifBytes(f.src(), &d, noProgress());
  EXPECT_EQ(bytes.find('\n'), bytes.find("\r\n") + 1);

  std::vector<AdifRecord> recs;
  std::string error;
  ASSERT_TRUE(readAdif(cp932::decode(bytes), recs, error)) << error;
  ASSERT_EQ(recs.size(), 3000u);
  const std::map<std::string, std::string> bandName = {
      {"1.8", "160m"}, {"3.5", "80m"}, {"7", "40m"},   {"14", "20m"},   {"21", "15m"},
      {"28", "10m"},   {"50", "6m"},   {"144", "2m"},  {"430", "70cm"}, {"1200", "23cm"},
      {"10.1G", "3cm"}};
  for (int k = 0; k < 3000; ++k) {
    const AdifRecord& r = recs[static_cast<std::size_t>(k)];
    const std::string band = bands[k % 12];
    EXPECT_EQ(r.at("call"), calls[k % 6]);
    // 20:00 JST on 31 December plus k minutes: 11:00 UTC plus k minutes.
    const int m = 11 * 60 + k;
    const char* const days[] = {"20241231", "20250101", "20250102", "20250103"};
    char time[16];
    std::snprintf(time, sizeof time, "%02d%02d00", m % 1440 / 60, m % 60);
    EXPECT_EQ(r.at("qso_date"), days[m / 1440]) << k;
    EXPECT_EQ(r.at("time_on"), time) << k;
    EXPECT_EQ(r.count("band"), bandName.count(band));
    if (bandName.count(band)) {
      EXPECT_EQ(r.at("band"), bandName.at(band));
    }
    EXPECT_EQ(r.count("freq"), bandName.count(band));
    if (bandName.count(band)) {
      EXPECT_EQ(r.at("freq"), band == "10.1G" ? "10100" : band);
    }
    EXPECT_EQ(r.at("mode"), modes[k % 4]);
    EXPECT_EQ(r.at("rst_sent"), "599");
    EXPECT_EQ(r.at("rst_rcvd"), "599");
    EXPECT_EQ(r.at("qsl_sent"), "Y");
    EXPECT_EQ(r.at("qsl_rcvd"), "N");
    const std::string want = k % 6 == 0 || k % 6 == 5 ? "339" : k % 6 == 1 ? "291" : k % 6 == 2 ? "230" : "";
    EXPECT_EQ(r.count("dxcc") ? r.at("dxcc") : "", want) << calls[k % 6];
    EXPECT_EQ(r.at("comment"), "コンテスト <test>");
    EXPECT_EQ(r.count("qslmsg"), 0u);
    EXPECT_EQ(r.size(), 9u + 2 * bandName.count(band) + (want.empty() ? 0u : 1u));
  }

  // The reader is not lenient: a bare band text would break a record.
  EXPECT_FALSE(readAdif("<call:4>W1AW 99 <eor>", recs, error));
  EXPECT_FALSE(readAdif("<call:6>W1AW <eor>", recs, error));
}

namespace {

// --- The standard file, read as another program reads it ---
// Lengths count the bytes of the file; the file has a header when it does not
// begin with "<": free text, then fields, then <eoh>. A field name is
// letters, digits and "_"; only blanks and line ends stand between fields.
struct AdifFile {
  std::string preamble;
  AdifRecord header;
  std::vector<AdifRecord> records;  // values decoded from CP932
};

bool readAdifBytes(std::string_view b, AdifFile& file, std::string& error) {
  std::size_t i = 0;
  auto fail = [&](const std::string& why) {
    error = why + " at byte " + std::to_string(i);
    return false;
  };
  bool inHeader = !b.empty() && b[0] != '<';
  if (inHeader) {
    i = b.find('<');
    if (i == std::string_view::npos) return fail("no <eoh>");
    file.preamble = std::string(b.substr(0, i));
  }
  AdifRecord rec;
  while (i < b.size()) {
    if (b[i] != '<') {
      if (b[i] != ' ' && b[i] != '\r' && b[i] != '\n') return fail("text outside a tag");
      ++i;
      continue;
    }
    const std::size_t close = b.find('>', i);
    if (close == std::string_view::npos) return fail("tag not closed");
    const std::string tag(b.substr(i + 1, close - i - 1));
    i = close + 1;
    const std::size_t colon = tag.find(':');
    std::string name = tag.substr(0, colon);
    for (char& c : name) {
      if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_') return fail("bad name <" + tag + ">");
      c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    if (colon == std::string::npos) {
      if (name == "eoh" && inHeader) {
        file.header = rec;
        rec.clear();
        inHeader = false;
      } else if (name == "eor" && !inHeader) {
        file.records.push_back(rec);
        rec.clear();
      } else {
        return fail("stray <" + tag + ">");
      }
      continue;
    }
    std::string len = tag.substr(colon + 1);
    len = len.substr(0, len.find(':'));
    if (len.empty() || len.find_first_not_of("0123456789") != std::string::npos)
      return fail("bad length in <" + tag + ">");
    const std::size_t n = std::stoul(len);
    if (i + n > b.size()) return fail("value runs past the end");
    if (i + n < b.size() && b[i + n] != ' ' && b[i + n] != '<' && b[i + n] != '\r')
      return fail("value of <" + tag + "> does not end where its length says");
    if (rec.count(name)) return fail("field twice: " + name);
    rec[name] = cp932::decode(b.substr(i, n));
    i += n;
  }
  if (inHeader) return fail("no <eoh>");
  if (!rec.empty()) return fail("fields after the last <eor>");
  return true;
}

std::string versionText() {
  return std::to_string(TAMARACK_VERSION_MAJOR) + "." + std::to_string(TAMARACK_VERSION_MINOR) +
         "." + std::to_string(TAMARACK_VERSION_REVISION);
}

}  // namespace

TEST(AdifStandard, ModeTable) {
  using adif::WsjtMode;
  const struct {
    const char* text;
    WsjtMode wsjt;
    const char* mode;
    const char* submode;
  } rows[] = {
      {"SSB", WsjtMode::FT8, "SSB", ""},   {"CW", WsjtMode::FT8, "CW", ""},
      {"FM", WsjtMode::FT8, "FM", ""},     {"AM", WsjtMode::FT8, "AM", ""},
      {"RTTY", WsjtMode::FT8, "RTTY", ""}, {"SSTV", WsjtMode::FT8, "SSTV", ""},
      {"PSK31", WsjtMode::FT8, "PSK", "PSK31"},
      {"DV", WsjtMode::FT8, "DIGITALVOICE", ""},
      {"WSJT", WsjtMode::FT8, "FT8", ""},  {"WSJT", WsjtMode::FT4, "MFSK", "FT4"},
      {"WSJT", WsjtMode::JT65, "JT65", ""}, {"WSJT", WsjtMode::JT9, "JT9", ""},
      {"WSJT", WsjtMode::Q65, "MFSK", "Q65"},
      // Texts other loggers leave in a log, as ADIF has them.
      {"FT8", WsjtMode::Q65, "FT8", ""},   {"FT4", WsjtMode::FT8, "MFSK", "FT4"},
      {"USB", WsjtMode::FT8, "SSB", "USB"}, {"PSK63", WsjtMode::FT8, "PSK", "PSK63"},
      {"OLIVIA", WsjtMode::FT8, "OLIVIA", ""},
      // No ADIF meaning: compared exactly, as every mode text is.
      {"DD", WsjtMode::FT8, "", ""},       {"", WsjtMode::FT8, "", ""},
      {"cw", WsjtMode::FT8, "", ""},       {"PSK", WsjtMode::FT8, "PSK", ""},
      {"DIGI", WsjtMode::FT8, "", ""},
  };
  for (const auto& r : rows) {
    const adif::StandardMode m = adif::StandardModeOf(r.text, r.wsjt);
    EXPECT_EQ(m.mode, r.mode) << r.text << " " << static_cast<int>(r.wsjt);
    EXPECT_EQ(m.submode, r.submode) << r.text << " " << static_cast<int>(r.wsjt);
  }
  EXPECT_EQ(adif::ContestIdOf(5), "ALL-ASIAN-DX-CW");
  EXPECT_EQ(adif::ContestIdOf(6), "ALL-ASIAN-DX-PHONE");
  for (const std::int16_t domestic : {0, 1, 2, 3, 4, 7, 8}) EXPECT_EQ(adif::ContestIdOf(domestic), "");
}

TEST(AdifStandard, HeaderAndAFreqInsideEachBand) {
  // 12:34:56 JST is 03:34:56 UTC.
  const std::string h = adif::AdifHeader(ole::fromDateTime(2024, 5, 1, 12, 34, 56));
  const std::string v = versionText();
  EXPECT_EQ(h, "Tamarack ADIF export\r\n<adif_ver:5>3.1.4\r\n<programid:8>Tamarack\r\n"
               "<programversion:" + std::to_string(v.size()) + ">" + v +
               "\r\n<created_timestamp:15>20240501 033456\r\n<eoh>\r\n");
  EXPECT_NE(adif::AdifHeader(ole::fromDateTime(2025, 1, 1, 8, 0, 0)).find(">20241231 230000\r\n"),
            std::string::npos);

  // The ADIF band edges in MHz: the freq must lie inside its band and be a plain number.
  const struct {
    const char* band;
    double low, high;
  } edges[] = {{"1.8", 1.8, 2.0},       {"3.5", 3.5, 4.0},     {"7", 7.0, 7.3},
               {"10", 10.1, 10.15},     {"14", 14.0, 14.35},   {"18", 18.068, 18.168},
               {"21", 21.0, 21.45},     {"24", 24.89, 24.99},  {"28", 28.0, 29.7},
               {"50", 50.0, 54.0},      {"144", 144.0, 148.0}, {"430", 420.0, 450.0},
               {"1200", 1240.0, 1300.0}, {"2400", 2300.0, 2450.0}, {"5600", 5650.0, 5925.0},
               {"10.1G", 10000.0, 10500.0}};
  for (const auto& e : edges) {
    const std::string f(adif::StandardFreq(e.band));
    ASSERT_FALSE(f.empty()) << e.band;
    EXPECT_EQ(f.find_first_not_of("0123456789."), std::string::npos) << f;
    EXPECT_LE(std::count(f.begin(), f.end(), '.'), 1) << f;
    const double mhz = std::stod(f);
    EXPECT_GE(mhz, e.low) << e.band;
    EXPECT_LE(mhz, e.high) << e.band;
  }
  EXPECT_EQ(adif::StandardFreq("7"), "7");
  EXPECT_EQ(adif::StandardFreq("10"), "10.1");
  EXPECT_EQ(adif::StandardFreq("14999"), "");
}

TEST(AdifStandard, EveryRecordHasWhatReadersRequire) {
  Fixture f;
  const adif::DxccTable d = sampleTable();
  f.options.AdiStdSw = 1;
  f.options.AdiWsjtMode = adif::WsjtMode::Q65;
  f.contestNo = 5;
  f.utc = true;
  f.settings.JarlCallSign = "JA1ZZZ";
  f.settings.JarlOperator = "JA1YYY";
  f.settings.AdiRemark = "コンテスト";
  f.settings.AdiQslMsg = "TNX";
  const char* calls[] = {"JA1ABC", "W1AW", "DL2XYZ", "ＪＲ１ＺＺＺ", "CE9AA", "7J1AAA/1"};
  const char* bands[] = {"1.8", "3.5", "7", "14", "21", "28", "10", "18", "24", "1200", "5600"};
  const char* modes[] = {"SSB", "CW", "PSK31", "WSJT", "DV", "DD", "RTTY", "FM", "AM", "SSTV"};
  for (int k = 0; k < 3000; ++k) {
    QsoRecord r = qso(calls[k % 6], bands[k % 11], modes[k % 10],
                      ole::fromDateTime(2024, 6, 15, 0, 0, 0) + k / 1440.0);
    if (k % 7 == 0) r.RcvdNo = "";
    f.log.append(r);
  }
  adif::AdifCounts counts;
  const std::string bytes = adif::AdifBytes(f.src(), &d, noProgress(), &counts);
  EXPECT_EQ(counts.appMode, 300);
  EXPECT_EQ(counts.noBand, 0);

  AdifFile file;
  std::string error;
  ASSERT_TRUE(readAdifBytes(bytes, file, error)) << error;
  EXPECT_EQ(file.preamble, "Tamarack ADIF export\r\n");
  EXPECT_EQ(file.header.at("adif_ver"), "3.1.4");
  EXPECT_EQ(file.header.at("programid"), "Tamarack");
  EXPECT_EQ(file.header.at("programversion"), versionText());
  EXPECT_EQ(file.header.at("created_timestamp"), "20240501 033456");
  ASSERT_EQ(file.records.size(), 3000u);
  for (int k = 0; k < 3000; ++k) {
    const AdifRecord& r = file.records[static_cast<std::size_t>(k)];
    for (const char* need : {"call", "qso_date", "time_on", "band", "freq", "station_callsign"})
      ASSERT_EQ(r.count(need), 1u) << need << " in record " << k;
    ASSERT_NE(r.count("mode") + r.count("app_tamarack_mode"), 0u) << k;
    EXPECT_EQ(r.at("call"), calls[k % 6]);
    const std::string mode = modes[k % 10];
    const adif::StandardMode m = adif::StandardModeOf(mode, adif::WsjtMode::Q65);
    if (m.mode.empty()) {
      EXPECT_EQ(r.count("mode"), 0u);
      EXPECT_EQ(r.at("app_tamarack_mode"), mode);
    } else {
      EXPECT_EQ(r.at("mode"), m.mode);
      EXPECT_EQ(r.count("submode") ? r.at("submode") : "", m.submode) << mode;
    }
    EXPECT_EQ(r.at("freq"), adif::StandardFreq(bands[k % 11]));
    EXPECT_EQ(r.at("stx_string"), "13H");
    EXPECT_EQ(r.count("srx_string") ? r.at("srx_string") : "", k % 7 == 0 ? "" : "10M");
    EXPECT_EQ(r.at("station_callsign"), "JA1ZZZ");
    EXPECT_EQ(r.at("operator"), "JA1YYY");
    EXPECT_EQ(r.at("contest_id"), "ALL-ASIAN-DX-CW");
    EXPECT_EQ(r.at("comment"), "コンテスト");
    EXPECT_EQ(r.at("qslmsg"), "TNX");
  }
  // The lengths are bytes: five double-byte characters are 10.
  EXPECT_NE(bytes.find("<comment:10>" + cp932::encode("コンテスト") + " <eor>\r\n"),
            std::string::npos);
  EXPECT_NE(bytes.find("<call:12>" + cp932::encode("ＪＲ１ＺＺＺ") + " "), std::string::npos);

  // The operator is the station itself, the contest has no id, no call sign set.
  f.settings.JarlOperator = "JA1ZZZ";
  f.contestNo = 1;
  f.log.clear();
  f.log.append(qso("JA1ABC", "7", "CW", ole::fromDateTime(2024, 6, 15, 0, 0, 0)));
  EXPECT_EQ(adif::AdifLine(f.log[1], f.src(), nullptr),
            "<call:6>JA1ABC <qso_date:8>20240615 <time_on:6>000000 <band:3>40m <freq:1>7 "
            "<mode:2>CW <rst_sent:3>599 <rst_rcvd:3>599 <stx_string:3>13H <srx_string:3>10M "
            "<qsl_sent:1>N <qsl_rcvd:1>N <station_callsign:6>JA1ZZZ <qslmsg:3>TNX "
            "<comment:10>コンテスト <eor>");
}

TEST(AdifStandard, TheExportSaysWhatItLeftOut) {
  const std::string dir = folderWithTable();
  Fixture f;
  f.options.AdiStdSw = 1;
  const ole::Date t = ole::fromDateTime(2024, 5, 1, 12, 0, 0);
  for (const char* mode : {"CW", "DD", "DD", "ＣＷ"}) f.log.append(qso("JA1ABC", "7", mode, t));
  f.log.append(qso("JA1ABC", "14999", "CW", t));
  ScriptedUi ui;
  const adif::AdifResult r = adif::AdifOut(dir + "/s", f.src(), dir, ui, noProgress());
  EXPECT_TRUE(r.ok) << r.error;
  EXPECT_EQ(r.counts.appMode, 3);
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].text,
            "バンド表に無いバンドの交信 1 件は、band と freq を書かずに出力しました\r\n"
            "ADIF に無いモードの交信 3 件は、MODE を書かず APP_TAMARACK_MODE に出力しました\r\n"
            "コールサインが設定されていないため、STATION_CALLSIGN を書かずに出力しました");
  std::string bytes;
  ASSERT_TRUE(fileio::readAll(dir + "/s.adi", bytes));
  EXPECT_NE(bytes.find("<app_tamarack_mode:4>" + cp932::encode("ＣＷ") + " "), std::string::npos);
  EXPECT_EQ(bytes.rfind("Tamarack ADIF export\r\n", 0), 0u);
  fs::remove_all(dir);
}

TEST(AdifProgramFolder, TheTableIsCopiedWhereMissing) {
  char tmpl[] = "/tmp/tamarack_adifhome_XXXXXX";
  ASSERT_NE(mkdtemp(tmpl), nullptr);
  const std::string home = tmpl;
  std::string err;
  ASSERT_TRUE(PrepareProgramFolder(home, TAMARACK_SHIPPED_DIR, "/nonexistent", &err)) << err;
  EXPECT_TRUE(fs::exists(home + "/AdiDxcc.dat"));
  // A later start of an older folder gets it too; a table there is kept.
  ASSERT_TRUE(IniWrite(home + "/Tamarack.ini", Settings{}));
  fs::remove(home + "/AdiDxcc.dat");
  ASSERT_TRUE(PrepareProgramFolder(home, TAMARACK_SHIPPED_DIR, "/nonexistent", &err)) << err;
  EXPECT_TRUE(fs::exists(home + "/AdiDxcc.dat"));
  ASSERT_TRUE(fileio::writeAtomic(home + "/AdiDxcc.dat", "JA       999\r\n"));
  ASSERT_TRUE(PrepareProgramFolder(home, TAMARACK_SHIPPED_DIR, "/nonexistent", &err)) << err;
  std::string bytes;
  fileio::readAll(home + "/AdiDxcc.dat", bytes);
  EXPECT_EQ(bytes, "JA       999\r\n");
  fs::remove_all(home);
}

namespace {

// A program folder with the shipped definitions and tables, for tamarack-cli.
struct CliHome {
  std::string home;
  fs::path cli = fs::read_symlink("/proc/self/exe").parent_path() / "tamarack-cli";

  explicit CliHome(const Settings& s) {
    char tmpl[] = "/tmp/tamarack_adifcli_XXXXXX";
    EXPECT_NE(mkdtemp(tmpl), nullptr);
    home = tmpl;
    fs::copy(fs::path(TAMARACK_DATA_DIR) / "Cfg", home + "/Cfg");
    fs::copy_file(fs::path(TAMARACK_SHIPPED_DIR) / "AdiDxcc.dat", home + "/AdiDxcc.dat");
    fs::copy_file(kPublicCountryFile, home + "/Cty.dat");
    EXPECT_TRUE(IniWrite(home + "/Tamarack.ini", s));
  }
  ~CliHome() { fs::remove_all(home); }
  bool built() const { return fs::exists(cli); }
  std::string cfg(const std::string& name) const { return home + "/Cfg/" + name; }
  void writeLog(const LogData& log, std::int16_t contestNo) const {
    EXPECT_TRUE(fileio::writeAtomic(home + "/t.tmk", logfile::encodeLog(log, contestNo, noProgress())));
  }
  int run(const std::string& args) const {
    const std::string cmd = "'" + cli.string() + "' --home '" + home + "' adif " + args + " 2>'" +
                            home + "/err'";
    const int st = std::system(cmd.c_str());
    return WIFEXITED(st) ? WEXITSTATUS(st) : 255;
  }
  std::string read(const std::string& name) const {
    std::string bytes;
    fileio::readAll(home + "/" + name, bytes);
    return bytes;
  }
};

}  // namespace

TEST(AdifCli, WritesWhatAdifOutWrites) {
  Settings s;
  s.AdiRcvdSw = 1;
  s.AdiCty2JaSw = 1;
  s.AdiQslMsg = "TNX";
  CliHome h(s);
  if (!h.built()) GTEST_SKIP() << "tamarack-cli not built beside the tests";
  s.CfgFileName = h.cfg("(1)ＡＬＬ ＪＡ コンテスト.cfg");
  ASSERT_TRUE(IniWrite(h.home + "/Tamarack.ini", s));
  const std::string& home = h.home;
  LogData log;
  log.append(qso("JA1ABC", "7", "CW", ole::fromDateTime(2024, 4, 27, 21, 0, 0)));
  log.append(qso("W1AW", "14", "CW", ole::fromDateTime(2024, 4, 27, 21, 1, 0)));
  h.writeLog(log, 1);

  ASSERT_EQ(h.run("'" + home + "/t.tmk' '" + home + "/out'"), 0);
  EXPECT_EQ(h.read("out.adi"),
            "<call:6>JA1ABC <qso_date:8>20240427 <time_on:6>120000 <band:3>40m <freq:1>7 "
            "<mode:2>CW <rst_sent:3>599 <rst_rcvd:3>599 <qsl_sent:1>N <qsl_rcvd:1>Y "
            "<qslmsg:3>TNX <eor>\r\n"
            "<call:4>W1AW <qso_date:8>20240427 <time_on:6>120100 <band:3>20m <freq:2>14 "
            "<mode:2>CW <rst_sent:3>599 <rst_rcvd:3>599 <qsl_sent:1>N <qsl_rcvd:1>Y "
            "<dxcc:3>291 <qslmsg:3>TNX <eor>\r\n");

  // A missing table is said on stderr and the file still written.
  fs::remove(home + "/AdiDxcc.dat");
  ASSERT_EQ(h.run("'" + home + "/t.tmk' '" + home + "/out.adi'"), 0);
  EXPECT_NE(h.read("err").find("AdiDxcc.dat ファイルが有りません！"), std::string::npos);
  EXPECT_EQ(h.read("out.adi").find("<dxcc"), std::string::npos);

  // A name with another extension does not replace the .adi it comes to.
  ASSERT_TRUE(fileio::writeAtomic(home + "/out.adi", "mine"));
  EXPECT_EQ(h.run("'" + home + "/t.tmk' '" + home + "/out.txt'"), 1);
  EXPECT_NE(h.read("err").find(home + "/out.adi: exists"), std::string::npos);
  EXPECT_EQ(h.read("out.adi"), "mine");
  ASSERT_EQ(h.run("'" + home + "/t.tmk' '" + home + "/new.txt'"), 0);
  EXPECT_EQ(h.read("new.adi").rfind("<call:6>JA1ABC ", 0), 0u);

  EXPECT_EQ(h.run("'" + home + "/t.tmk' '" + home + "/no/out'"), 1);
  EXPECT_NE(h.read("err").find("no/out.adi"), std::string::npos);
  EXPECT_EQ(h.run("'" + home + "/none.tmk' '" + home + "/out'"), 1);
  EXPECT_NE(h.run("'" + home + "/t.tmk'"), 0);
  EXPECT_NE(h.run("'" + home + "/t.tmk' '" + home + "/out' --wsjt FT2"), 0);
  EXPECT_NE(h.run("'" + home + "/t.tmk' '" + home + "/out' --standrad"), 0);
}

TEST(AdifCli, TheStandardFileOfAnAllAsianLog) {
  Settings s;
  s.JarlCallSign = "JA1ZZZ";
  s.AdiRemark = "AA";
  CliHome h(s);
  if (!h.built()) GTEST_SKIP() << "tamarack-cli not built beside the tests";
  s.CfgFileName = h.cfg("(6)ALL ASIAN DX コンテスト(電話).cfg");
  ASSERT_TRUE(IniWrite(h.home + "/Tamarack.ini", s));
  LogData log;
  log.append(qso("W1AW", "14", "SSB", ole::fromDateTime(2024, 6, 15, 0, 0, 0)));
  log.append(qso("DL2XYZ", "21", "WSJT", ole::fromDateTime(2024, 6, 15, 0, 1, 0)));
  log.append(qso("DL2XYZ", "21", "DD", ole::fromDateTime(2024, 6, 15, 0, 2, 0)));
  h.writeLog(log, 6);

  ASSERT_EQ(h.run("'" + h.home + "/t.tmk' '" + h.home + "/aa' --standard --wsjt FT4"), 0);
  const std::string bytes = h.read("aa.adi");
  AdifFile file;
  std::string error;
  ASSERT_TRUE(readAdifBytes(bytes, file, error)) << error;
  EXPECT_EQ(file.header.at("adif_ver"), "3.1.4");
  EXPECT_EQ(file.header.at("created_timestamp").size(), 15u);
  ASSERT_EQ(file.records.size(), 3u);
  // A UTC contest: the times are as logged.
  const std::size_t body = bytes.find("<eoh>\r\n") + 7;
  EXPECT_EQ(bytes.substr(body, bytes.find("\r\n", body) - body),
            "<call:4>W1AW <qso_date:8>20240615 <time_on:6>000000 <band:3>20m <freq:2>14 "
            "<mode:3>SSB <rst_sent:3>599 <rst_rcvd:3>599 <stx_string:3>13H <srx_string:3>10M "
            "<qsl_sent:1>N <qsl_rcvd:1>N <dxcc:3>291 <station_callsign:6>JA1ZZZ "
            "<contest_id:18>ALL-ASIAN-DX-PHONE <comment:2>AA <eor>");
  EXPECT_EQ(file.records[1].at("mode"), "MFSK");
  EXPECT_EQ(file.records[1].at("submode"), "FT4");
  EXPECT_EQ(file.records[2].at("app_tamarack_mode"), "DD");
  EXPECT_NE(h.read("err").find("ADIF に無いモードの交信 1 件は"), std::string::npos);

  // Without the switch the same log gives the classic file.
  ASSERT_EQ(h.run("'" + h.home + "/t.tmk' '" + h.home + "/aa'"), 0);
  EXPECT_EQ(h.read("aa.adi").rfind("<call:4>W1AW <qso_date:8>20240615 <time_on:6>000000 "
                                   "<band:3>20m <freq:2>14 <mode:3>SSB <rst_sent:3>599 ",
                                   0),
            0u);
}

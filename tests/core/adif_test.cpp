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

struct Fixture {
  LogData log;
  CtyTables cty = sampleCty();
  Settings settings;
  bool utc = false;
  adif::AdifSource src() const { return {log, utc, cty, settings}; }
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
  char tmpl[] = "/tmp/tamarack_adifband_XXXXXX";
  ASSERT_NE(mkdtemp(tmpl), nullptr);
  const std::string dir = tmpl;
  ASSERT_TRUE(fileio::writeAtomic(dir + "/AdiDxcc.dat", "JA       339\r\n"));
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

TEST(AdifCli, WritesWhatAdifOutWrites) {
  char tmpl[] = "/tmp/tamarack_adifcli_XXXXXX";
  ASSERT_NE(mkdtemp(tmpl), nullptr);
  const std::string home = tmpl;
  const fs::path cli = fs::read_symlink("/proc/self/exe").parent_path() / "tamarack-cli";
  if (!fs::exists(cli)) GTEST_SKIP() << "tamarack-cli not built beside the tests";
  fs::copy(fs::path(TAMARACK_DATA_DIR) / "Cfg", home + "/Cfg");
  fs::copy_file(fs::path(TAMARACK_SHIPPED_DIR) / "AdiDxcc.dat", home + "/AdiDxcc.dat");
  fs::copy_file(kPublicCountryFile, home + "/Cty.dat");
  Settings s;
  s.CfgFileName = home + "/Cfg/(1)ＡＬＬ ＪＡ コンテスト.cfg";
  s.AdiRcvdSw = 1;
  s.AdiCty2JaSw = 1;
  s.AdiQslMsg = "TNX";
  ASSERT_TRUE(IniWrite(home + "/Tamarack.ini", s));
  LogData log;
  log.append(qso("JA1ABC", "7", "CW", ole::fromDateTime(2024, 4, 27, 21, 0, 0)));
  log.append(qso("W1AW", "14", "CW", ole::fromDateTime(2024, 4, 27, 21, 1, 0)));
  ASSERT_TRUE(fileio::writeAtomic(home + "/t.tmk", logfile::encodeLog(log, 1, noProgress())));

  auto run = [&](const std::string& args) {
    const std::string cmd = "'" + cli.string() + "' --home '" + home + "' adif " + args + " 2>'" +
                            home + "/err'";
    const int st = std::system(cmd.c_str());
    return WIFEXITED(st) ? WEXITSTATUS(st) : 255;
  };
  std::string bytes, errText;
  ASSERT_EQ(run("'" + home + "/t.tmk' '" + home + "/out'"), 0);
  ASSERT_TRUE(fileio::readAll(home + "/out.adi", bytes));
  EXPECT_EQ(bytes,
            "<call:6>JA1ABC <qso_date:8>20240427 <time_on:6>120000 <band:3>40m <freq:1>7 "
            "<mode:2>CW <rst_sent:3>599 <rst_rcvd:3>599 <qsl_sent:1>N <qsl_rcvd:1>Y "
            "<qslmsg:3>TNX <eor>\r\n"
            "<call:4>W1AW <qso_date:8>20240427 <time_on:6>120100 <band:3>20m <freq:2>14 "
            "<mode:2>CW <rst_sent:3>599 <rst_rcvd:3>599 <qsl_sent:1>N <qsl_rcvd:1>Y "
            "<dxcc:3>291 <qslmsg:3>TNX <eor>\r\n");

  // A missing table is said on stderr and the file still written.
  fs::remove(home + "/AdiDxcc.dat");
  ASSERT_EQ(run("'" + home + "/t.tmk' '" + home + "/out.adi'"), 0);
  fileio::readAll(home + "/err", errText);
  EXPECT_NE(errText.find("AdiDxcc.dat ファイルが有りません！"), std::string::npos);
  ASSERT_TRUE(fileio::readAll(home + "/out.adi", bytes));
  EXPECT_EQ(bytes.find("<dxcc"), std::string::npos);

  EXPECT_EQ(run("'" + home + "/t.tmk' '" + home + "/no/out'"), 1);
  fileio::readAll(home + "/err", errText);
  EXPECT_NE(errText.find("no/out.adi"), std::string::npos);
  EXPECT_EQ(run("'" + home + "/none.tmk' '" + home + "/out'"), 1);
  EXPECT_NE(run("'" + home + "/t.tmk'"), 0);
  fs::remove_all(home);
}

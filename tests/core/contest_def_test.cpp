// Contest definition files, section lists and contest names.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <tuple>
#include <vector>

#include "log/settings.h"
#include "contest/contestdef.h"
#include "contest/contestrules.h"
#include "log/cp932.h"
#include "scripted_ui.h"

namespace fs = std::filesystem;

namespace {

class CfgFolder : public ::testing::Test {
 protected:
  void SetUp() override {
    char tmpl[] = "/tmp/tamarack_cfg_XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    dir = tmpl;
    fs::create_directories(dir + "/Cfg");
  }
  void TearDown() override { fs::remove_all(dir); }

  // Writes UTF-8 text as a CP932 file with CR LF line ends.
  void writeCfg(const std::string& name, const std::string& utf8) {
    std::string crlf;
    for (char c : utf8) {
      if (c == '\n') crlf += '\r';
      crlf += c;
    }
    std::ofstream(dir + "/Cfg/" + name, std::ios::binary) << cp932::encode(crlf);
  }

  CfgReadResult read(const std::string& path) {
    return CfgRead(path, dir, def, sections, settings, logTestNo, ui);
  }

  std::string dir;
  ContestDefinition def;
  SectionList sections;
  Settings settings;
  std::int16_t logTestNo = 0;
  ScriptedUi ui;
};

ContestDefinition apply(const std::string& text) {
  ContestDefinition d;
  CfgApplyText(cp932::encode(text), d, nullptr);
  return d;
}

}  // namespace

TEST(CfgLines, KeysMatchExactlyAndValuesAreTakenWhole) {
  ContestDefinition d = apply(
      "ContestName=ALL JA コンテスト \n"
      "ContestName =ignored\n"
      "contestno=3\n"
      "; comment=1\n"
      "no equals sign\n"
      "SendMailAddress=a=b@example.jp\n"
      "ContestNo= 7 \n"
      "Exch=12x\n");
  EXPECT_EQ(d.ContestName, "ALL JA コンテスト ");  // trailing blank kept
  EXPECT_EQ(d.ContestNo, 7);
  EXPECT_EQ(d.SendMailAddress, "a=b@example.jp");
  EXPECT_EQ(d.Exch, 0);
}

TEST(CfgLines, IntegersOutsideSixteenBitsOrGarbageKeepTheOldValue) {
  ContestDefinition d = apply("PointType=2\nPointType=32768\nPointType=abc\nPointType=\nMltSearch=-32768\n"
                              "TotalPoint=2.5\nExch=3.5\n");
  EXPECT_EQ(d.PointType, 2);
  EXPECT_EQ(d.MltSearch, -32768);
  EXPECT_EQ(d.TotalPoint, 2);  // rounds half to even
  EXPECT_EQ(d.Exch, 4);
}

TEST(CfgLines, BandModeAndPointKeysUseTheirIndexes) {
  ContestDefinition d = apply(
      "Band1.8Enabled=1\nBand10GEnabled=1\nBand10GPointC=9\nBand7PointA=1\nBand7PointB=2\n"
      "Band7PointC=3\nDDEnabled=1\nSSBEnabled=2\nBand10.1GEnabled=1\n");
  EXPECT_EQ(d.BandEnabled[0], 1);
  EXPECT_EQ(d.BandEnabled[15], 1);
  EXPECT_EQ(d.BandPoints[15].PointC, 9);
  EXPECT_EQ(d.BandPoints[2].PointA, 1);
  EXPECT_EQ(d.BandPoints[2].PointB, 2);
  EXPECT_EQ(d.BandPoints[2].PointC, 3);
  EXPECT_EQ(d.ModeEnabled[9], 1);
  EXPECT_EQ(d.ModeEnabled[0], 2);
  for (int b = 1; b < 15; ++b) EXPECT_EQ(d.BandEnabled[static_cast<std::size_t>(b)], 0) << b;
}

TEST(CfgLines, EveryStdCategoryLineAddsARow) {
  ContestDefinition d = apply(
      "StdCategory=電信シングルオペ14MHz;C14;2;4;0\n"
      "StdCategory=電信シングルオペ14MHz;C14;2;4;0\n"
      "StdCategory=no semicolon\n"
      "StdCategory=A;B;x;5\n"
      "StdCategory=M;MM;1;0; 1 \n");
  ASSERT_EQ(d.CategoryCount(), 5);
  const Category& c = d.CategoryRow(1);
  EXPECT_EQ(c.CategoryName, "電信シングルオペ14MHz");
  EXPECT_EQ(c.CategoryCode, "C14");
  EXPECT_EQ(c.CateMode, 2);
  EXPECT_EQ(c.CateBand, 4);
  EXPECT_EQ(c.CateMlt, 0);
  EXPECT_EQ(d.CategoryRow(2).CategoryName, c.CategoryName);
  EXPECT_EQ(d.CategoryRow(3).CategoryName, "");
  EXPECT_EQ(d.CategoryRow(3).CategoryCode, "");
  EXPECT_EQ(d.CategoryRow(4).CategoryName, "A");
  EXPECT_EQ(d.CategoryRow(4).CateMode, 0);
  EXPECT_EQ(d.CategoryRow(4).CateBand, 0);  // "5" is not closed by ";"
  EXPECT_EQ(d.CategoryRow(5).CateMlt, 1);
}

TEST(CfgLines, LfOnlyLongAndInvalidBytesAreHarmless) {
  std::string bytes = "ContestNo=4\nExch=2\r\n";
  bytes += "ContestName=" + std::string(100000, 'x') + "\n";
  bytes += "Contest\x81\x20Name=z\nMltSearch=\xff\xfe\n";
  ContestDefinition d;
  CfgApplyText(bytes, d, nullptr);
  EXPECT_EQ(d.ContestNo, 4);
  EXPECT_EQ(d.Exch, 2);
  EXPECT_EQ(d.ContestName.size(), 100000u);
  EXPECT_EQ(d.MltSearch, 0);
}

// The entry-rule keys: a value that does not read adds nothing, the
// list keys add a rule per line, and the next read starts without them.
TEST(CfgLines, EntryRuleValuesThatDoNotReadAreSkipped) {
  struct Row {
    const char* line;
    std::size_t powerCodes, categoryPowers, shapes;
    bool period;
  };
  const Row rows[] = {
      {"PowerCode=M;100", 1, 0, 0, false},
      {"PowerCode= L ; 10 ; 20 ", 1, 0, 0, false},
      {"PowerCode=m;100", 0, 0, 0, false},       // letters are upper case
      {"PowerCode=M", 0, 0, 0, false},           // no watts
      {"PowerCode=M;1;2;3;4", 0, 0, 0, false},   // four figures
      {"PowerCode=M;-5", 0, 0, 0, false},
      {"PowerCode=M;5.5", 0, 0, 0, false},
      {"CategoryPower=P*,X*;10", 0, 1, 0, false},
      {"CategoryPower=;10", 0, 0, 0, false},
      {"CategoryPower=P*,;10", 0, 0, 0, false},
      {"RcvdNoShape=1.8-1200;101-114,02-48", 0, 0, 1, false},
      {"RcvdNoShape=10G;#4-6", 0, 0, 1, false},
      {"RcvdNoShape=1200-1.8;02-48", 0, 0, 0, false},  // bands the wrong way round
      {"RcvdNoShape=*;48-02", 0, 0, 0, false},
      {"RcvdNoShape=*;2-48", 0, 0, 0, false},          // two widths
      {"RcvdNoShape=*;#6-4", 0, 0, 0, false},
      {"RcvdNoShape=10.1G;#4-6", 0, 0, 0, false},      // band words as the keys have them
      {"ContestPeriod=2026/01/02 09:00;132", 0, 0, 0, true},
      {"ContestPeriod=04/SatL 21:00;24", 0, 0, 0, true},
      {"ContestPeriod=06/Sat3 00:00;48", 0, 0, 0, true},
      {"ContestPeriod=06/Sat6 00:00;48", 0, 0, 0, false},
      {"ContestPeriod=13/01 00:00;48", 0, 0, 0, false},
      {"ContestPeriod=04/26 24:00;24", 0, 0, 0, false},
      {"ContestPeriod=04/26 21:00", 0, 0, 0, false},
      {"ContestPeriod=04/26;24", 0, 0, 0, false},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.line);
    const ContestDefinition d = apply(std::string(r.line) + "\n");
    EXPECT_EQ(d.PowerCode.size(), r.powerCodes);
    EXPECT_EQ(d.CategoryPower.size(), r.categoryPowers);
    EXPECT_EQ(d.RcvdNoShape.size(), r.shapes);
    EXPECT_EQ(d.ContestPeriod.has_value(), r.period);
  }

  ContestDefinition d = apply(
      "PowerCode=H;0\nPowerCode=L;10;20\nPhoneExcludedBands=14\nPhoneExcludedBands=7,21\n"
      "PhoneExcludedBands=7,99\nContestPeriod=04/SatL 21:00;24\n");
  ASSERT_EQ(d.PowerCode.size(), 2u);
  EXPECT_EQ(d.PowerCode[1].Watts, (BandWatts{10, 20, 20}));
  // The later line wins; a line with a word that is no band changes nothing.
  EXPECT_EQ(d.PhoneExcludedBands[2], 1);
  EXPECT_EQ(d.PhoneExcludedBands[4], 0);
  EXPECT_EQ(d.PhoneExcludedBands[6], 1);
  CfgApplyText(cp932::encode("ContestName=x\n"), d, nullptr);
  EXPECT_TRUE(d.PowerCode.empty());
  EXPECT_EQ(d.PhoneExcludedBands[2], 0);
  EXPECT_FALSE(d.ContestPeriod);
}

TEST(CfgLines, CategoryCodePatternsAndPeriodDays) {
  for (const auto& [pattern, code, match] :
       std::vector<std::tuple<const char*, const char*, bool>>{
           {"C*H", "CAH", true}, {"C*H", "CH", true}, {"C*H", "CAHX", false},
           {"*LP*", "SOABLP24", true}, {"*LP*", "SOABHP", false}, {"*", "", true},
           {"P*", "XPA", false}, {"X*M*", "XMAM", true}})
    EXPECT_EQ(rules::CodeMatches(pattern, code), match) << pattern << " " << code;

  auto start = [](const char* value, int year) {
    const ContestDefinition d = apply(std::string("ContestPeriod=") + value + "\n");
    const auto p = rules::PeriodOf(*d.ContestPeriod, year);
    return p ? ole::formatMinutes(p->Start) : std::string("none");
  };
  EXPECT_EQ(start("04/SatL 21:00;24", 2024), "2024-04-27 21:00");
  EXPECT_EQ(start("04/SatL 21:00;24", 2026), "2026-04-25 21:00");
  EXPECT_EQ(start("08/Sat1 21:00;24", 2026), "2026-08-01 21:00");  // the 1st is a Saturday
  EXPECT_EQ(start("08/Sun1 21:00;24", 2026), "2026-08-02 21:00");
  EXPECT_EQ(start("08/Sat5 21:00;24", 2026), "2026-08-29 21:00");
  EXPECT_EQ(start("02/Sun5 00:00;24", 2026), "none");              // February has four
  EXPECT_EQ(start("02/29 00:00;24", 2025), "none");
  EXPECT_EQ(start("2026/01/02 09:00;132", 2030), "2026-01-02 09:00");
}

TEST(ContestNames, TableAndUnknownNumbers) {
  EXPECT_EQ(ContestNameOf(1), "ＡＬＬ ＪＡ コンテスト");
  EXPECT_EQ(ContestNameOf(5), "ALL ASIAN DX コンテス(電信)");
  EXPECT_EQ(ContestNameOf(8), "デジタルＱＳＯパーティー");
  EXPECT_EQ(ContestNameOf(0), "");
  EXPECT_EQ(ContestNameOf(9), "");
  EXPECT_EQ(ContestNameOf(-1), "");
}

TEST_F(CfgFolder, ReadOverlaysThePreviousDefinition) {
  writeCfg("a.cfg", "ContestName=A\nContestNo=1\nBand7Enabled=1\nStdCategory=x;y;1;3;0\n"
                    "StdContestName=ALL JA\n");
  writeCfg("b.cfg", "ContestName=B\nBand14Enabled=1\n");
  CfgReadResult r = read(dir + "/Cfg/a.cfg");
  EXPECT_TRUE(r.read);
  EXPECT_FALSE(r.relocated);
  EXPECT_EQ(r.statusText, "A");
  EXPECT_EQ(settings.JarlContest, "ALL JA");
  EXPECT_EQ(logTestNo, 1);
  EXPECT_EQ(def.CategoryCount(), 1);

  logTestNo = 0;
  r = read(dir + "/Cfg/b.cfg");
  EXPECT_EQ(r.statusText, "B");
  EXPECT_EQ(def.BandEnabled[2], 1);  // 7 MHz stays enabled
  EXPECT_EQ(def.BandEnabled[4], 1);
  EXPECT_EQ(def.ContestNo, 1);
  EXPECT_EQ(logTestNo, 1);
  EXPECT_EQ(def.CategoryCount(), 0);
  EXPECT_TRUE(ui.messages.empty());
}

TEST_F(CfgFolder, LogTestNoIsOnlySetWhenTheLogHasNone) {
  writeCfg("a.cfg", "ContestNo=3\n");
  logTestNo = 5;
  read(dir + "/Cfg/a.cfg");
  EXPECT_EQ(logTestNo, 5);
}

TEST_F(CfgFolder, MissingFileKeepsSettingsButEmptiesCategories) {
  writeCfg("a.cfg", "ContestName=A\nStdCategory=x;y;1;3;0\n");
  read(dir + "/Cfg/a.cfg");
  const CfgReadResult r = read(dir + "/Cfg/none.cfg");
  EXPECT_FALSE(r.read);
  EXPECT_EQ(r.statusText, "A");
  EXPECT_EQ(def.CategoryCount(), 0);
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].text, "NOT CFG FILE");
  EXPECT_EQ(ui.messages[0].title, "Tamarack");
  EXPECT_EQ(ui.messages[0].buttons, Buttons::Ok);
}

TEST_F(CfgFolder, EmptyPathReadsDxped) {
  writeCfg("dxped.cfg", "ContestName=DX\n");
  const CfgReadResult r = read("");
  EXPECT_TRUE(r.read);
  EXPECT_EQ(r.statusText, "DX");
  EXPECT_EQ(r.path, dir + "/Cfg/dxped.cfg");
  EXPECT_FALSE(r.relocated);
}

TEST_F(CfgFolder, MovedCfgFolderFindsTheFileByName) {
  writeCfg("(2)ALLJA.cfg", "ContestName=ALL JA\n");
  CfgReadResult r = read("/old/home/Tamarack/Cfg/(2)ALLJA.cfg");
  EXPECT_TRUE(r.read);
  EXPECT_TRUE(r.relocated);
  EXPECT_EQ(r.path, dir + "/Cfg/(2)ALLJA.cfg");
  EXPECT_EQ(r.statusText, "ALL JA");
  r = read("C:\\HAM\\Tamarack\\Cfg\\(2)ALLJA.cfg");
  EXPECT_TRUE(r.relocated);
  EXPECT_EQ(r.path, dir + "/Cfg/(2)ALLJA.cfg");
  EXPECT_TRUE(ui.messages.empty());

  r = read("/old/home/Tamarack/Cfg/other.cfg");
  EXPECT_FALSE(r.read);
  EXPECT_FALSE(r.relocated);
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].text, "NOT CFG FILE");
}

TEST(CfgWrite, OneValueSetEveryOtherByteKept) {
  const std::string cm = cp932::encode("; コメント");
  struct Case {
    std::string in, out;
  };
  const Case cases[] = {
      // The key's line gets the value, in its place.
      {"ContestName=A\r\n" + cm + "\r\nSendMailAddress=\r\nTestMailAddress=t@x\r\n",
       "ContestName=A\r\n" + cm + "\r\nSendMailAddress=c@x.jp\r\nTestMailAddress=t@x\r\n"},
      // Given twice: the later line is the one that counts.
      {"SendMailAddress=old@x\r\nSendMailAddress= \r\nX=1\r\n",
       "SendMailAddress=old@x\r\nSendMailAddress=c@x.jp\r\nX=1\r\n"},
      // No such key: after the test address, else at the end.
      {"ContestName=A\r\nTestMailAddress=t@x\r\n" + cm + "\r\n",
       "ContestName=A\r\nTestMailAddress=t@x\r\nSendMailAddress=c@x.jp\r\n" + cm + "\r\n"},
      {"ContestName=A\r\n SendMailAddress=\r\n", "ContestName=A\r\n SendMailAddress=\r\nSendMailAddress=c@x.jp\r\n"},
      {"ContestName=A", "ContestName=A\r\nSendMailAddress=c@x.jp\r\n"},
      {"ContestName=A\nTestMailAddress=t@x", "ContestName=A\nTestMailAddress=t@x\r\nSendMailAddress=c@x.jp\r\n"},
      {"", "SendMailAddress=c@x.jp\r\n"},
  };
  for (const Case& c : cases) {
    const std::string got = CfgSetValue(c.in, "SendMailAddress", "c@x.jp", "TestMailAddress");
    EXPECT_EQ(got, c.out) << c.in;
    EXPECT_EQ(apply(cp932::decode(got)).SendMailAddress, "c@x.jp") << c.in;
  }
}

TEST_F(CfgFolder, AValueWrittenIsThereAtTheNextRead) {
  writeCfg("(2)ALLJA.cfg", "; ALL JA\nContestName=ALL JA\nSendMailAddress=\nTestMailAddress=t@x\n");
  std::string error;
  ASSERT_TRUE(CfgWriteValue(dir, dir + "/Cfg/(2)ALLJA.cfg", "SendMailAddress", "c@x.jp",
                            "TestMailAddress", &error))
      << error;
  read(dir + "/Cfg/(2)ALLJA.cfg");
  EXPECT_EQ(def.SendMailAddress, "c@x.jp");
  std::ifstream f(dir + "/Cfg/(2)ALLJA.cfg", std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
  EXPECT_EQ(bytes, "; ALL JA\r\nContestName=ALL JA\r\nSendMailAddress=c@x.jp\r\nTestMailAddress=t@x\r\n");

  // A definition read from elsewhere: the program folder's copy is made.
  fs::create_directories(dir + "/elsewhere");
  std::ofstream(dir + "/elsewhere/6m.cfg", std::ios::binary) << "ContestName=6m\r\n";
  ASSERT_TRUE(CfgWriteValue(dir, dir + "/elsewhere/6m.cfg", "SendMailAddress", "s@x.jp",
                            "TestMailAddress", &error));
  read(dir + "/Cfg/6m.cfg");
  EXPECT_EQ(def.SendMailAddress, "s@x.jp");
  // Nothing to read from: the reason.
  EXPECT_FALSE(CfgWriteValue(dir, dir + "/none/x.cfg", "SendMailAddress", "s@x.jp", "", &error));
  EXPECT_FALSE(error.empty());
}

TEST_F(CfgFolder, SectionListIsReadWholeAndUntrimmed) {
  std::ofstream(dir + "/Cfg/sec.txt", std::ios::binary)
      << cp932::encode("101\r\n 102 \r\n\r\n東京\nlast");
  writeCfg("a.cfg", "SearchSectionFile=1\nSectionFile=sec.txt\n");
  read(dir + "/Cfg/a.cfg");
  ASSERT_EQ(sections.SectionCount(), 5);
  EXPECT_EQ(sections.Section(2), " 102 ");
  EXPECT_EQ(sections.Section(3), "");
  EXPECT_EQ(sections.Section(4), "東京");
  std::int16_t notFound = 1;
  SectionCheck(sections, "102", notFound);
  EXPECT_EQ(notFound, 1);
  SectionCheck(sections, "", notFound);  // the blank line is a section
  EXPECT_EQ(notFound, 0);
  notFound = 1;
  SectionCheck(sections, "東京", notFound);
  EXPECT_EQ(notFound, 0);
}

TEST_F(CfgFolder, MissingSectionFileKeepsThePreviousList) {
  std::ofstream(dir + "/Cfg/sec.txt", std::ios::binary) << "A\r\nB\r\n";
  writeCfg("a.cfg", "SearchSectionFile=1\nSectionFile=sec.txt\n");
  writeCfg("b.cfg", "SectionFile=gone.txt\n");
  read(dir + "/Cfg/a.cfg");
  read(dir + "/Cfg/b.cfg");
  EXPECT_EQ(sections.SectionCount(), 2);
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].text, "セクションファイルがありません！");
}

TEST_F(CfgFolder, UnreadableSectionFileIsToldByNameAndConsequence) {
  std::ofstream(dir + "/Cfg/sec.txt", std::ios::binary) << "A\r\nB\r\n";
  writeCfg("a.cfg", "SearchSectionFile=1\nSectionFile=sec.txt\n");
  writeCfg("b.cfg", "SearchSectionFile=1\nSectionFile=pipe.txt\n");
  read(dir + "/Cfg/a.cfg");
  // a name that is there but no file to read, even for root
  ASSERT_EQ(mkfifo((dir + "/Cfg/pipe.txt").c_str(), 0600), 0);
  read(dir + "/Cfg/b.cfg");
  EXPECT_EQ(sections.SectionCount(), 0);
  ASSERT_EQ(ui.messages.size(), 1u);
  const std::string& t = ui.messages[0].text;
  EXPECT_EQ(t.rfind("セクションファイル " + dir + "/Cfg/pipe.txt を読めません（", 0), 0u) << t;
  EXPECT_NE(t.find("マルチと得点になりません"), std::string::npos) << t;
}

TEST_F(CfgFolder, UnreadableDefinitionShowsTheErrorAndKeepsSettings) {
  writeCfg("a.cfg", "ContestName=A\n");
  read(dir + "/Cfg/a.cfg");
  fs::create_directories(dir + "/Cfg/dir.cfg");
  CfgReadResult r = read(dir + "/Cfg/dir.cfg");
  EXPECT_FALSE(r.read);
  EXPECT_EQ(r.statusText, "A");
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].text, "NOT CFG FILE");
  if (geteuid() != 0) {
    writeCfg("locked.cfg", "ContestName=L\n");
    fs::permissions(dir + "/Cfg/locked.cfg", fs::perms::none);
    r = read(dir + "/Cfg/locked.cfg");
    EXPECT_FALSE(r.read);
    EXPECT_EQ(def.ContestName, "A");
    ASSERT_EQ(ui.messages.size(), 2u);
    EXPECT_NE(ui.messages[1].text, "NOT CFG FILE");
    EXPECT_FALSE(ui.messages[1].text.empty());
  }
}

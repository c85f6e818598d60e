// The electronic-log writer against hand-checked files.
#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "log/settings.h"
#include "log/settingsfile.h"
#include "contest/contestdef.h"
#include "log/cp932.h"
#include "log/fileio.h"
#include "log/progress.h"
#include "output/elog.h"
#include "samples.h"

namespace fs = std::filesystem;

namespace {

using samples::crlf;
using samples::qso;

class Elog : public ::testing::Test {
 protected:
  void SetUp() override {
    s.JarlContest = "フィールドデーコンテスト";
    s.JarlCateCode = "XAH";
    s.JarlCategory = "シングルオペ 電信電話 オールバンド ハイパワー";
    s.JarlCallSign = "JA1ZZZ";
    s.JarlAddress = "東京都豊島区\r\n1-2-3";
    s.JarlTelNo = "03-1234-5678";
    s.JarlName = "山田太郎";
    s.JarlEmail = "ja1zzz@example.jp";
    s.JarlLicenseClass = "第一級アマチュア無線技士";
    s.JarlPower = "100";
    s.JarlUnyoChi = "長野県";
    s.JarlSetsubi = "自作機\r\nダイポール";
    s.JarlOath = "  宣誓します。\r\n以上  ";
    s.JarlNypOath = "NYP oath";
    s.JarlDqpOath = "DQP oath";
    s.JarlOpsAndClass = "JA1AAA 一アマ\r\nJA1BBB 二アマ";
    s.JarlFdKeisu = 2;
    def.MltSearch = 2;
    def.BandEnabled[2] = 1;   // 7 MHz
    def.BandEnabled[4] = 1;   // 14 MHz
    score.BandStats[2] = {3, 1, 126, 1};
    score.BandStats[16] = {3, 1, 126, 1};
    score.TotalScore = 1500;
  }

  std::string text() {
    const elog::ElogSource src{log, def, score, s, today, signature};
    return cp932::decode(elog::ElogBytes(src, noProgress()));
  }

  Settings s;
  ContestDefinition def;
  ScoreTable score;
  LogData log;
  std::string today = "2024年08月04日";
  std::string signature = "山田太郎";
};

TEST_F(Elog, ContestStyleWithCoefficient) {
  def.FdKeisuEnabled = 1;
  log.append(qso("7", "CW", ole::fromDateTime(2024, 8, 3, 21, 5, 29), "JA1AAA", "599", "13H",
                 "599", "10M", 1, "10"));
  log.append(qso("7", "SSB", ole::fromDateTime(2024, 8, 3, 21, 7, 0), "JA1AAA/1", "59", "13H",
                 "59", "10M", 5, "", 1));
  log.append(qso("1.2G", "FM", ole::fromDateTime(2024, 8, 4, 9, 0, 0), "JR2XYZ/P", "59", "1301H",
                 "59", "200112L", 125, "200112"));
  EXPECT_EQ(text(),
            crlf({"<SUMMARYSHEET VERSION=R1.0>",
                  "<CONTESTNAME>フィールドデーコンテスト</CONTESTNAME>",
                  "<CATEGORYCODE>XAH</CATEGORYCODE>",
                  "<CATEGORYNAME>シングルオペ 電信電話 オールバンド ハイパワー</CATEGORYNAME>",
                  "<CALLSIGN>JA1ZZZ</CALLSIGN>",
                  "<SCORE BAND=7MHz>3,126,1</SCORE>",
                  "<SCORE BAND=14MHz>0,0,0</SCORE>",
                  "<SCORE BAND=TOTAL>3,126,1</SCORE>",
                  "<FDCOEFF>2</FDCOEFF>",
                  "<TOTALSCORE>3000</TOTALSCORE>",
                  "<ADDRESS>東京都豊島区",
                  "1-2-3</ADDRESS>",
                  "<TEL>03-1234-5678</TEL>",
                  "<NAME>山田太郎</NAME>",
                  "<EMAIL>ja1zzz@example.jp</EMAIL>",
                  "<LICENSECLASS>第一級アマチュア無線技士</LICENSECLASS>",
                  "<POWER>100</POWER>",
                  "<POWERTYPE>定格出力</POWERTYPE>",
                  "<OPPLACE>長野県</OPPLACE>",
                  "<EQUIPMENT>自作機",
                  "ダイポール</EQUIPMENT>",
                  "<COMMENTS></COMMENTS>",
                  "<OATH>宣誓します。",
                  "以上</OATH>",
                  "<DATE>2024年08月04日</DATE>",
                  "<SIGNATURE>山田太郎</SIGNATURE>",
                  "</SUMMARYSHEET>",
                  "<LOGSHEET TYPE=\"JARL E-Log\">",
                  "DATE (JST) TIME   BAND MODE  CALLSIGN      SENTNo      RCVDNo      Mlt    Pts",
                  "2024-08-03 21:05    7  CW    JA1AAA        599 13H     599 10M     10      1  ",
                  "2024-08-03 21:07    7  SSB   JA1AAA/1      59  13H     59  10M     -       0  ",
                  "2024-08-04 09:00  1.2G FM    JR2XYZ/P      59  1301H   59  200112L 200112 25  ",
                  "</LOGSHEET>"}));
}

TEST_F(Elog, ContestStyleWithoutCoefficient) {
  // The coefficient is set but the contest has none: the total as searched.
  def.SetUTCtime = 1;
  def.MltSearch = 0;
  const std::string t = text();
  EXPECT_NE(t.find("<SCORE BAND=TOTAL>3,126,1</SCORE>\r\n<TOTALSCORE>1500</TOTALSCORE>\r\n"
                   "<ADDRESS>"),
            std::string::npos);
  EXPECT_EQ(t.find("FDCOEFF"), std::string::npos);
  EXPECT_NE(t.find("\r\nDATE (UTC) TIME   BAND MODE  CALLSIGN      SENTNo      RCVDNo      Pts\r\n"),
            std::string::npos);
}

TEST_F(Elog, CoefficientProductBeyond32Bits) {
  def.FdKeisuEnabled = 1;
  score.TotalScore = INT32_MAX;
  EXPECT_NE(text().find("<TOTALSCORE>4294967294</TOTALSCORE>"), std::string::npos);
  def.FdKeisuEnabled = 0;
  score.TotalScore = 32767000000LL;
  EXPECT_NE(text().find("<TOTALSCORE>32767000000</TOTALSCORE>"), std::string::npos);
}

TEST_F(Elog, NewYearPartyCountsQsosOnly) {
  def.NYPEnabled = 1;
  def.MltSearch = 0;
  def.FdKeisuEnabled = 1;
  log.append(qso("7", "CW", ole::fromDateTime(2025, 1, 2, 9, 0, 0), "JA1AAA", "599", "タロウ",
                 "599", "HANAKO", 7, "", 1));
  const std::string t = text();
  EXPECT_EQ(t.substr(0, 29), "<SUMMARYSHEET VERSION=R1.0>\r\n");
  EXPECT_NE(t.find("<CALLSIGN>JA1ZZZ</CALLSIGN>\r\n<SCORE BAND=7MHz>3</SCORE>\r\n"
                   "<SCORE BAND=14MHz>0</SCORE>\r\n<SCORE BAND=TOTAL>3</SCORE>\r\n<ADDRESS>"),
            std::string::npos);
  EXPECT_EQ(t.find("TOTALSCORE"), std::string::npos);
  EXPECT_EQ(t.find("FDCOEFF"), std::string::npos);
  EXPECT_NE(t.find("<OATH>NYP oath</OATH>"), std::string::npos);
  // No multiplier and no points column; the name is cut to its 8 characters.
  EXPECT_NE(t.find(crlf({"DATE (JST) TIME   BAND MODE  CALLSIGN      SENTNo      RCVDNo      ",
                         "2025-01-02 09:00    7  CW    JA1AAA        599 タロウ     599 HANAKO  ",
                         "</LOGSHEET>"})),
            std::string::npos);
}

TEST_F(Elog, DigitalPartyHasItsOwnVersionAndOath) {
  def.DqpEnabled = 1;
  const std::string t = text();
  EXPECT_EQ(t.substr(0, 32), "<SUMMARYSHEET VERSION=R1.0DQP>\r\n");
  EXPECT_NE(t.find("<OATH>DQP oath</OATH>"), std::string::npos);
  EXPECT_NE(t.find("RCVDNo      Mlt    \r\n"), std::string::npos);
}

TEST_F(Elog, MultiOperatorListAndColumn) {
  s.CateMlt = 1;
  s.JarlPowerType = 1;
  s.JarlClubNo = "120001";
  s.JarlClubName = "テストクラブ";
  const std::string t = text();
  EXPECT_NE(t.find(crlf({"<POWERTYPE>実測出力</POWERTYPE>", "<OPPLACE>長野県</OPPLACE>",
                         "<EQUIPMENT>自作機", "ダイポール</EQUIPMENT>", "<COMMENTS></COMMENTS>",
                         "<MULTIOPLIST>JA1AAA 一アマ", "JA1BBB 二アマ</MULTIOPLIST>",
                         "<REGCLUBNUMBER>120001</REGCLUBNUMBER>",
                         "<REGCLUBNAME>テストクラブ</REGCLUBNAME>", "<OATH>宣誓します。"})),
            std::string::npos);
  EXPECT_NE(t.find("RCVDNo      Mlt    Pts OPE\r\n</LOGSHEET>\r\n"), std::string::npos);
}

// A restart reads the settings file again: the operators' list of both
// e-log versions is the one written before it.
TEST_F(Elog, OperatorListSurvivesARestart) {
  s.CateMlt = 1;
  for (const char* typed : {"JA1AAA 一アマ\r\nJA1BBB 二アマ", "JA1AAA 一アマ\r\n\r\nJA1BBB 二アマ",
                            "JA1AAA 一アマ"}) {
    s.JarlOpsAndClass = typed;
    const std::string r10 = text();
    const std::string r21 = elog::SummarySheetR21({log, def, score, s, today, signature});
    Settings before = s;
    for (int run = 0; run < 2; ++run) {
      Settings back;
      IniParse(IniFormat(s), back);
      s = back;
    }
    EXPECT_EQ(text(), r10) << typed;
    EXPECT_EQ(elog::SummarySheetR21({log, def, score, s, today, signature}), r21) << typed;
    s = before;
  }
}

TEST_F(Elog, EmptyLogAndBlankOptionalElements) {
  s.JarlOperator = "   ";
  s.JarlUnyoChi = " ";
  s.JarlPsType = "";
  s.JarlClubNo = " ";
  s.JarlClubName = "";
  s.JarlTelNo = "";
  s.JarlEmail = "";
  s.JarlSetsubi = "";
  s.JarlAddress = "line1\r\nline2\r\nline3\r\n";
  const std::string t = text();
  for (const char* absent : {"OPCALLSIGN", "OPPLACE", "POWERSUPPLY", "REGCLUB", "MULTIOPLIST"})
    EXPECT_EQ(t.find(absent), std::string::npos) << absent;
  EXPECT_NE(t.find(crlf({"<ADDRESS>line1", "line2", "line3", "</ADDRESS>", "<TEL></TEL>"})),
            std::string::npos);
  EXPECT_NE(t.find("<EMAIL></EMAIL>"), std::string::npos);
  EXPECT_NE(t.find(crlf({"<EQUIPMENT></EQUIPMENT>", "<COMMENTS></COMMENTS>"})), std::string::npos);
  const std::string tail = crlf({"</SUMMARYSHEET>", "<LOGSHEET TYPE=\"JARL E-Log\">",
                                 "DATE (JST) TIME   BAND MODE  CALLSIGN      SENTNo      RCVDNo      Mlt    Pts",
                                 "</LOGSHEET>"});
  EXPECT_EQ(t.substr(t.size() - tail.size()), tail);
}

TEST_F(Elog, ControlBytesInStationDataBecomeBlanksInBothFormats) {
  // A value, where it goes, and the lines it must give; a line break stays
  // only where the format keeps one.
  struct Case {
    std::string Settings::*field;
    std::string value;
    std::string r10, r21;  // expected text, CR LF lines
  };
  const std::vector<Case> cases = {
      {&Settings::JarlName, "山田\r太郎", "<NAME>山田 太郎</NAME>\r\n", "<NAME>山田 太郎</NAME>\r\n"},
      {&Settings::JarlName, "山田\r\n太郎", "<NAME>山田  太郎</NAME>\r\n", "<NAME>山田  太郎</NAME>\r\n"},
      {&Settings::JarlTelNo, "03\x1b[2J\t1234\x7f", "<TEL>03 [2J 1234 </TEL>\r\n", "<TEL>03 [2J 1234 </TEL>\r\n"},
      {&Settings::JarlCallSign, "JA1ZZZ\xc2\x85", "<CALLSIGN>JA1ZZZ </CALLSIGN>\r\n",
       "<CALLSIGN>JA1ZZZ </CALLSIGN>\r\n"},
      {&Settings::JarlAddress, "東京\r\n豊島\n1-2\r3\x1b", "<ADDRESS>東京\r\n豊島\r\n1-2 3 </ADDRESS>\r\n",
       "<ADDRESS>東京\r\n豊島\r\n1-2 3 </ADDRESS>\r\n"},
      {&Settings::JarlComment, "a\rb\r\nc", "<COMMENTS>a b\r\nc</COMMENTS>\r\n", "<COMMENTS>a b\r\nc</COMMENTS>\r\n"},
      {&Settings::JarlOath, "宣誓\r\n\x07以上", "<OATH>宣誓\r\n 以上</OATH>\r\n", "<OATH>宣誓\r\n 以上</OATH>\r\n"},
  };
  for (const Case& c : cases) {
    Settings kept = s;
    s.*c.field = c.value;
    const std::string r10 = text();
    const elog::ElogSource src{log, def, score, s, today, signature};
    const std::string r21 = cp932::decode(elog::ElogBytesR21(src, noProgress()).bytes);
    EXPECT_NE(r10.find(c.r10), std::string::npos) << c.r10;
    EXPECT_NE(r21.find(c.r21), std::string::npos) << c.r21;
    for (const std::string* t : {&r10, &r21}) {
      EXPECT_EQ(t->find_first_of(std::string("\x1b\x07\x7f\t", 4)), std::string::npos);
      for (std::size_t i = t->find('\r'); i != std::string::npos; i = t->find('\r', i + 1))
        EXPECT_EQ((*t)[i + 1], '\n') << "a bare CR in " << c.value;
    }
    s = kept;
  }
  // The signature typed in the log-making dialog goes the same way.
  signature = "山田\t太郎";
  EXPECT_NE(text().find("<SIGNATURE>山田 太郎</SIGNATURE>"), std::string::npos);
}

TEST_F(Elog, OperatorAndPowerSupplyWhenSet) {
  s.JarlOperator = "JA1YYY";
  s.JarlPsType = "発電機";
  s.JarlAddress = "a\nb";  // a bare LF still ends its line with CR LF
  const std::string t = text();
  EXPECT_NE(t.find("<CALLSIGN>JA1ZZZ</CALLSIGN>\r\n<OPCALLSIGN>JA1YYY</OPCALLSIGN>\r\n<SCORE"),
            std::string::npos);
  EXPECT_NE(t.find("<OPPLACE>長野県</OPPLACE>\r\n<POWERSUPPLY>発電機</POWERSUPPLY>\r\n"),
            std::string::npos);
  EXPECT_NE(t.find("<ADDRESS>a\r\nb</ADDRESS>\r\n"), std::string::npos);
}

TEST(ElogColumns, BandTableAndAlignment) {
  EXPECT_EQ(elog::BandColumn("1.8  "), " 1.8  ");
  EXPECT_EQ(elog::BandColumn("10.1G"), "10.1G ");
  EXPECT_EQ(elog::BandColumn("1200"), "1200  ");
  EXPECT_EQ(elog::BandColumn("430K"), " 430K ");
  EXPECT_EQ(elog::BandColumn("24G"), "  24G ");
  EXPECT_EQ(elog::BandColumn("X"), "X");  // outside the table: its own length
  ContestDefinition def;
  QsoRecord r = qso("7", "PSK31XY", 0, "JA1AAA", "599", "123456789", "599", "", -3, "");
  EXPECT_EQ(elog::QsoLine(r, def),
            "1899-12-30 00:00    7  PSK31XJA1AAA        599 12345678599         -3  ");
}

TEST(ElogFile, WritesCp932AndReportsFailures) {
  char tmpl[] = "/tmp/tamarack_elog_XXXXXX";
  ASSERT_NE(mkdtemp(tmpl), nullptr);
  const std::string dir = tmpl;
  Settings s;
  s.JarlName = "山田";
  ContestDefinition def;
  ScoreTable score;
  LogData log;
  for (int i = 0; i < 3; ++i) log.append(qso("7", "CW", 0, "JA1AAA", "599", "", "599", "", 1, ""));
  const std::string today = "2024年01月01日", sig;
  const elog::ElogSource src{log, def, score, s, today, sig};

  struct Count : Progress {
    int max = -1, last = 0, finished = 0;
    std::string text;
    void start(int m) override { max = m; }
    void step(int v) override { last = v; }
    void label(const char* t) override { text = t; }
    void finish() override { ++finished; }
  } p;
  const elog::ElogResult ok = elog::MkJarlELog(dir + "/a.tmq", src, p);
  EXPECT_TRUE(ok.ok) << ok.error;
  EXPECT_EQ(p.max, 3);
  EXPECT_EQ(p.last, 3);
  EXPECT_EQ(p.text, "3 JA1AAA       ");
  EXPECT_EQ(p.finished, 1);
  std::string bytes;
  ASSERT_TRUE(fileio::readAll(dir + "/a.tmq", bytes));
  EXPECT_NE(bytes.find("<NAME>\x8e\x52\x93\x63</NAME>\r\n"), std::string::npos);  // CP932
  EXPECT_EQ(bytes.find('\n'), bytes.find("\r\n") + 1);

  // A folder that does not exist, and a folder in the file's place: failure
  // is reported, the progress is finished and nothing is left behind.
  const elog::ElogResult noDir = elog::MkJarlELog(dir + "/none/a.tmq", src, p);
  EXPECT_FALSE(noDir.ok);
  EXPECT_FALSE(noDir.error.empty());
  EXPECT_EQ(p.finished, 2);
  fs::create_directory(dir + "/b.tmq");
  EXPECT_FALSE(elog::MkJarlELog(dir + "/b.tmq", src, p).ok);
  EXPECT_TRUE(fs::is_directory(dir + "/b.tmq"));
  EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 2);
  fs::remove_all(dir);
}

}  // namespace

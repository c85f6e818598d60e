// The R2.1 electronic log against whole hand-written files.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "contest/contestdef.h"
#include "log/cp932.h"
#include "log/fileio.h"
#include "log/progress.h"
#include "log/settings.h"
#include "output/elog.h"
#include "samples.h"

namespace fs = std::filesystem;

namespace {

using samples::crlf;
using samples::qso;

class ElogR21 : public ::testing::Test {
 protected:
  void SetUp() override {
    s.JarlContest = "ALL JAコンテスト";
    s.JarlCateCode = "CAH";
    s.JarlCategory = "シングルオペ 電信 オールバンド ハイパワー";
    s.JarlCallSign = "JA1ZZZ";
    s.JarlAddress = "東京都豊島区\r\n1-2-3";
    s.JarlTelNo = "03-1234-5678";
    s.JarlName = "山田太郎";
    s.JarlEmail = "ja1zzz@example.jp";
    s.JarlLicenseClass = "第一級アマチュア無線技士";
    s.JarlPower = "1K";
    s.JarlSetsubi = "自作機";
    s.JarlOath = "  宣誓します。\r\n以上  ";
    s.JarlNypOath = "NYP oath";
    s.JarlAge = "72";
    s.JarlOpsAndClass = "JA1AAA 一アマ\r\nJA1BBB 二アマ\r\n";
    s.JarlFdKeisu = 2;
    def.MltSearch = 2;
    def.BandEnabled[1] = 1;
    score.BandStats[1] = {2, 1, 1, 1};
    score.BandStats[16] = {2, 1, 1, 1};
    score.TotalScore = 1;
    log.append(qso("3.5", "CW", ole::fromDateTime(2025, 4, 27, 0, 1, 30), "JK2ABC", "599", "10M",
                   "599", "21P", 1, "21"));
    log.append(qso("3.5", "CW", ole::fromDateTime(2025, 4, 27, 0, 9, 0), "JK2ABC", "599", "10M",
                   "599", "21P", 1, "", 1));
  }

  elog::ElogBytesResult write() {
    const elog::ElogSource src{log, def, score, s, today, signature, licenseDate};
    elog::ElogBytesResult r = elog::ElogBytesR21(src, noProgress());
    r.bytes = cp932::decode(r.bytes);
    return r;
  }

  Settings s;
  ContestDefinition def;
  ScoreTable score;
  LogData log;
  std::string today = "2025年04月28日";
  std::string signature = "山田太郎";
  std::string licenseDate;
};

TEST_F(ElogR21, ContestStyleWholeFile) {
  const elog::ElogBytesResult r = write();
  ASSERT_EQ(r.error, "");
  EXPECT_EQ(r.bytes, crlf({"<SUMMARYSHEET VERSION=R2.1>",
                           "<CONTESTNAME>ALL JAコンテスト</CONTESTNAME>",
                           "<CATEGORYCODE>CAH</CATEGORYCODE>",
                           "<CALLSIGN>JA1ZZZ</CALLSIGN>",
                           "<TOTALSCORE>1</TOTALSCORE>",
                           "<ADDRESS>東京都豊島区",
                           "1-2-3</ADDRESS>",
                           "<NAME>山田太郎</NAME>",
                           "<TEL>03-1234-5678</TEL>",
                           "<EMAIL>ja1zzz@example.jp</EMAIL>",
                           "<POWER>1000</POWER>",
                           "<COMMENTS></COMMENTS>",
                           "<OATH>宣誓します。",
                           "以上</OATH>",
                           "<DATE>2025年04月28日</DATE>",
                           "<SIGNATURE>山田太郎</SIGNATURE>",
                           "</SUMMARYSHEET>",
                           "<LOGSHEET TYPE=Tamarack>",
                           "DATE(JST) TIME BAND MODE CALLSIGN SENTNo RCVDNo MULTI PTS",
                           "2025-04-27 00:01 3.5 CW JK2ABC 599 10M 599 21P 21 1",
                           "2025-04-27 00:09 3.5 CW JK2ABC 599 10M 599 21P - 0",
                           "</LOGSHEET>"}));
}

TEST_F(ElogR21, CoefficientMultiOperatorAndUtc) {
  def.FdKeisuEnabled = 1;
  def.SetUTCtime = 1;
  score.TotalScore = 1500;
  s.CateMlt = 1;
  s.JarlCateCode = "XMAH";
  s.JarlOperator = "JA1OPR";
  s.JarlUnyoChi = "長野県";
  s.JarlPsType = "発電機";
  s.JarlClubNo = "01-2-3";
  s.JarlClubName = "テストクラブ";
  s.JarlPower = "500m";
  const std::string t = write().bytes;
  EXPECT_NE(t.find(crlf({"<CALLSIGN>JA1ZZZ</CALLSIGN>", "<OPCALLSIGN>JA1OPR</OPCALLSIGN>",
                         "<TOTALSCORE>3000</TOTALSCORE>"})),
            std::string::npos);
  EXPECT_NE(t.find(crlf({"<POWER>0.5</POWER>", "<FDCOEFF>2</FDCOEFF>", "<OPPLACE>長野県</OPPLACE>",
                         "<POWERSUPPLY>発電機</POWERSUPPLY>", "<COMMENTS></COMMENTS>",
                         "<MULTIOPLIST>JA1AAA 一アマ,JA1BBB 二アマ</MULTIOPLIST>",
                         "<REGCLUBNUMBER>01-2-3</REGCLUBNUMBER>", "<OATH>宣誓します。"})),
            std::string::npos);
  // Gone from R1.0's summary sheet.
  for (const char* tag : {"CATEGORYNAME", "SCORE BAND", "LICENSECLASS", "POWERTYPE", "EQUIPMENT",
                          "REGCLUBNAME"})
    EXPECT_EQ(t.find(tag), std::string::npos) << tag;
  EXPECT_NE(t.find("\r\nDATE(UTC) TIME BAND MODE CALLSIGN SENTNo RCVDNo MULTI PTS\r\n"),
            std::string::npos);
}

TEST_F(ElogR21, NewcomerAndSilverCarryTheirItems) {
  s.JarlCateCode = "PN";
  licenseDate = "2020年02月28日";
  std::string t = write().bytes;
  EXPECT_NE(t.find("<POWER>1000</POWER>\r\n<LICENSEDATE>2020年02月28日</LICENSEDATE>\r\n<COMMENTS>"),
            std::string::npos);
  EXPECT_EQ(t.find("<AGE>"), std::string::npos);
  for (const char* code : {"XS", "CS", "SOSV", "SOJR"}) {
    s.JarlCateCode = code;
    t = write().bytes;
    EXPECT_NE(t.find("<POWER>1000</POWER>\r\n<AGE>72</AGE>\r\n<COMMENTS>"), std::string::npos) << code;
    EXPECT_EQ(t.find("<LICENSEDATE>"), std::string::npos);
  }
  s.JarlCateCode = "CHECKLOG";
  t = write().bytes;
  EXPECT_NE(t.find("<CATEGORYCODE>CHECKLOG</CATEGORYCODE>"), std::string::npos);
  EXPECT_EQ(t.find("<AGE>"), std::string::npos);
}

TEST_F(ElogR21, QsoThatNeedsAFullWidthCharacterIsRefused) {
  log.append(qso("7", "SSB", ole::fromDateTime(2025, 4, 27, 1, 0, 0), "JA3XYZ", "59", "10M", "59",
                 "ヤマダ", 1, ""));
  log[3].QsoNo = 3;
  const elog::ElogBytesResult r = write();
  EXPECT_EQ(r.bytes, "");
  EXPECT_EQ(r.error,
            "No 0003  JA3XYZ  の交信データに半角英数字以外の文字か空白があるため、R2.1 "
            "形式では書けません。\r\nR1.0 形式で作成してください。");
  // A blank inside a field cannot be told from the field separator either.
  log[3].RcvdNo = "10 M";
  EXPECT_NE(write().error, "");

  // The file already there stays as it was.
  const std::string dir = testing::TempDir() + "/elog_r21";
  fs::create_directories(dir);
  ASSERT_TRUE(fileio::writeAtomic(dir + "/a.tmq", "old"));
  const elog::ElogSource src{log, def, score, s, today, signature};
  const elog::ElogResult w = elog::MkJarlELogR21(dir + "/a.tmq", src, noProgress());
  EXPECT_FALSE(w.ok);
  std::string bytes;
  ASSERT_TRUE(fileio::readAll(dir + "/a.tmq", bytes));
  EXPECT_EQ(bytes, "old");
}

TEST_F(ElogR21, PartiesAndTheDefinitionsChoice) {
  EXPECT_EQ(elog::DefaultFormat(def), elog::ElogFormat::R10);
  def.ElogFormat = "R2.1";
  EXPECT_EQ(elog::DefaultFormat(def), elog::ElogFormat::R21);
  def.ElogFormat = "R3";
  EXPECT_EQ(elog::DefaultFormat(def), elog::ElogFormat::R10);
  def.ElogFormat = "R2.1";
  def.NYPEnabled = 1;
  EXPECT_EQ(elog::DefaultFormat(def), elog::ElogFormat::R10);
  EXPECT_FALSE(elog::R21Allowed(def));
  EXPECT_NE(write().error, "");

  // A later definition without the key is R1.0 again.
  ContestDefinition d;
  CfgApplyText("ElogFormat=R2.1\r\nContestName=A\r\n", d, nullptr);
  EXPECT_EQ(d.ElogFormat, "R2.1");
  CfgApplyText("ContestName=B\r\n", d, nullptr);
  EXPECT_EQ(d.ElogFormat, "");
}

TEST(ElogR21Power, PlainWatts) {
  EXPECT_EQ(elog::PowerWatts("100"), "100");
  EXPECT_EQ(elog::PowerWatts(" 2K "), "2000");
  EXPECT_EQ(elog::PowerWatts("0.5"), "0.5");
  EXPECT_EQ(elog::PowerWatts("200m"), "0.2");
  EXPECT_EQ(elog::PowerWatts("50W"), "50");
  EXPECT_EQ(elog::PowerWatts("abc"), "abc");
  EXPECT_EQ(elog::PowerWatts(""), "");
}

}  // namespace

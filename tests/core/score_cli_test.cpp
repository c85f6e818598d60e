// The commands of tamarack-cli that read the program folder: the log is
// scored from its settings without questions; imports use its columns.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "log/settingsfile.h"
#include "log/cp932.h"
#include "log/fileio.h"
#include "log/logfile.h"
#include "contest/session.h"
#include "output/elog.h"
#include "samples.h"

namespace fs = std::filesystem;

namespace {

class CliHome : public ::testing::Test {
 protected:
  void SetUp() override {
    char tmpl[] = "/tmp/tamarack_cli_XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    home = tmpl;
    fs::copy(fs::path(TAMARACK_DATA_DIR) / "Cfg", home + "/Cfg");
    Settings s;
    s.CfgFileName = home + "/Cfg/(1)ＡＬＬ ＪＡ コンテスト.cfg";
    s.JarlCallSign = "JA1ZZZ";
    s.JarlCateCode = "XAH";
    ASSERT_TRUE(IniWrite(home + "/Tamarack.ini", s));

    LogData log;
    auto add = [&](const char* band, const char* mode, const char* call, const char* rcvd) {
      QsoRecord r;
      r.Band = band;
      r.Mode = mode;
      r.QsoTime = ole::fromDateTime(2024, 4, 27, 21, static_cast<int>(log.count()), 0);
      r.CallSign = call;
      r.SentRst = "599";
      r.SentNo = "13H";
      r.RcvdRst = "599";
      r.RcvdNo = rcvd;
      log.append(r);
    };
    add("7", "CW", "JA1AAA", "13M");
    add("7", "SSB", "JA1AAA", "13M");  // dupe
    add("7", "CW", "JA2BBB", "13H");
    add("14", "CW", "JA8CCC", "101P");
    add("14", "CW", "JA3DDD", "01M");  // no such number: no points
    add("14", "CW", "JA4EEE", "22");   // no power letter: no points
    // Stamped with another contest's number: read all the same.
    const std::string bytes = logfile::encodeLog(log, 5, noProgress());
    fs::create_directory(home + "/Log");
    ASSERT_TRUE(fileio::writeAtomic(home + "/Log/t.tmk", bytes));
  }
  void TearDown() override { fs::remove_all(home); }

  // Runs the built tamarack-cli beside this test program; -1 when absent.
  int run(const std::string& args) {
    const fs::path cli = fs::read_symlink("/proc/self/exe").parent_path() / "tamarack-cli";
    if (!fs::exists(cli)) return -1;
    const std::string cmd = "'" + cli.string() + "' " + args + " >'" + home + "/out' 2>'" +
                            home + "/err'";
    const int st = std::system(cmd.c_str());
    return WIFEXITED(st) ? WEXITSTATUS(st) : 255;
  }
  std::string file(const std::string& name) {
    std::string t;
    fileio::readAll(home + "/" + name, t);
    return t;
  }
  // A file of the home folder as one quoted argument.
  std::string at(const std::string& name) { return "'" + home + "/" + name + "'"; }
  LogData log(const std::string& name) {
    const std::string bytes = file(name);
    LogData l;
    l.resize(static_cast<int>(logfile::wholeRecords(bytes.size())));
    logfile::decodeInto(bytes, l, 1, noProgress());
    return l;
  }

  std::string home;
};

const char* const kTable =
    "1.8MHz\t0\t0\t0\t0\n3.5MHz\t0\t0\t0\t0\n7MHz\t3\t1\t2\t1\n10MHz\t0\t0\t0\t0\n"
    "14MHz\t3\t0\t1\t1\n18MHz\t0\t0\t0\t0\n21MHz\t0\t0\t0\t0\n24MHz\t0\t0\t0\t0\n"
    "28MHz\t0\t0\t0\t0\n50MHz\t0\t0\t0\t0\n144MHz\t0\t0\t0\t0\n430MHz\t0\t0\t0\t0\n"
    "1200MHz\t0\t0\t0\t0\n2400MHz\t0\t0\t0\t0\n5600MHz\t0\t0\t0\t0\n10.1GHz\t0\t0\t0\t0\n"
    "TOTAL\t6\t1\t3\t2\nTotalScore\t6\n";

TEST_F(CliHome, ScoresTheLogUnderTheChosenContest) {
  // A fresh unattended session for each read.
  auto load = [&](const std::string& log, std::string& err) {
    UnattendedSession run(home);
    const bool ok = run.loadScoredLog(log, &err);
    return std::make_pair(ok, ok ? elog::ScoreTableText(run.session.Score) : std::string());
  };
  std::string err;
  {
    UnattendedSession run(home);
    ASSERT_TRUE(run.loadScoredLog(home + "/Log/t.tmk", &err)) << err;
    EXPECT_EQ(run.session.Doc.Log.count(), 6);
    EXPECT_EQ(elog::ScoreTableText(run.session.Score), kTable);
  }

  EXPECT_FALSE(load(home + "/Log/none.tmk", err).first);
  EXPECT_NE(err.find("none.tmk"), std::string::npos);
  // Another format's text is no log: refused, naming the file.
  ASSERT_TRUE(fileio::writeAtomic(home + "/Log/x.tmk",
                                  "Japan:  25:  45:  AS:   36.40:  -138.38:    -9.0:  JA:\r\n"
                                  "    JA,JD,JE,JF,JG,JH,JI,JJ,JK,JL,JM,JN,JO,JP,JQ,JR,JS;\r\n"));
  EXPECT_FALSE(load(home + "/Log/x.tmk", err).first);
  EXPECT_EQ(err, home + "/Log/x.tmk はログファイルではありません");
  fs::remove(home + "/Cfg/JARL都府県支庁ナンバー.txt");
  EXPECT_FALSE(load(home + "/Log/t.tmk", err).first);
  EXPECT_NE(err.find("セクションファイルがありません！"), std::string::npos);
}

TEST_F(CliHome, ElogFormatFlagAndDefinitionDefault) {
  if (run("--help") < 0) GTEST_SKIP() << "tamarack-cli not built beside the tests";
  const std::string log = " '" + home + "/Log/t.tmk' '" + home + "/o.tmq' --date 2024年04月28日";
  EXPECT_EQ(run("--home '" + home + "' elog" + log + " --format r2.1"), 0) << file("err");
  std::string t = cp932::decode(file("o.tmq"));
  EXPECT_EQ(t.rfind("<SUMMARYSHEET VERSION=R2.1>\r\n", 0), 0u);
  EXPECT_NE(t.find("\r\n<LOGSHEET TYPE=Tamarack>\r\nDATE(JST) TIME BAND MODE CALLSIGN SENTNo RCVDNo "
                   "MULTI PTS\r\n2024-04-27 21:00 7 CW JA1AAA 599 13H 599 13M 13 1\r\n"),
            std::string::npos);
  EXPECT_EQ(run("--home '" + home + "' elog" + log + " --format r9"), 1);

  // Without the flag the definition's ElogFormat decides; R1.0 when it says nothing.
  EXPECT_EQ(run("--home '" + home + "' elog" + log), 0) << file("err");
  EXPECT_EQ(cp932::decode(file("o.tmq")).rfind("<SUMMARYSHEET VERSION=R1.0>", 0), 0u);
  std::string cfg;
  const std::string cfgPath = home + "/Cfg/(1)ＡＬＬ ＪＡ コンテスト.cfg";
  ASSERT_TRUE(fileio::readAll(cfgPath, cfg));
  ASSERT_TRUE(fileio::writeAtomic(cfgPath, cfg + "\r\nElogFormat=R2.1\r\n"));
  EXPECT_EQ(run("--home '" + home + "' elog" + log), 0) << file("err");
  EXPECT_EQ(cp932::decode(file("o.tmq")).rfind("<SUMMARYSHEET VERSION=R2.1>", 0), 0u);
  EXPECT_EQ(run("--home '" + home + "' elog" + log + " --format R1.0"), 0) << file("err");
  EXPECT_EQ(cp932::decode(file("o.tmq")).rfind("<SUMMARYSHEET VERSION=R1.0>", 0), 0u);
}

TEST_F(CliHome, CommandsAndTheirFailures) {
  if (run("--help") < 0) GTEST_SKIP() << "tamarack-cli not built beside the tests";
  EXPECT_EQ(run("--home '" + home + "' score '" + home + "/Log/t.tmk'"), 0);
  EXPECT_EQ(file("out"), kTable);

  EXPECT_EQ(run("--home '" + home + "' elog '" + home + "/Log/t.tmk' '" + home +
                "/SentLog.tmq' --signature 山田太郎 --date 2024年04月28日"),
            0)
      << file("err");
  // Required items the station data lack are named, the file written all the same.
  const std::string tmq = home + "/SentLog.tmq";
  EXPECT_EQ(file("err"), tmq + ": required item missing: JarlCategory\n" + tmq +
                             ": required item missing: JarlPower\n" + tmq +
                             ": required item missing: JarlName\n" + tmq +
                             ": required item missing: JarlLicenseClass\n" + tmq +
                             ": required item missing: JarlAddress\n");
  const std::string t = cp932::decode(file("SentLog.tmq"));
  EXPECT_EQ(t.rfind("<SUMMARYSHEET VERSION=R1.0>\r\n<CONTESTNAME>ALL JAコンテスト</CONTESTNAME>\r\n", 0),
            0u);
  EXPECT_NE(t.find("<SCORE BAND=TOTAL>6,3,2</SCORE>\r\n<TOTALSCORE>6</TOTALSCORE>\r\n"),
            std::string::npos);
  EXPECT_NE(t.find("<DATE>2024年04月28日</DATE>\r\n<SIGNATURE>山田太郎</SIGNATURE>\r\n"),
            std::string::npos);
  EXPECT_NE(t.find("2024-04-27 21:03   14  CW    JA8CCC        599 13H     599 101P    101    "
                   " 1  \r\n"),
            std::string::npos);

  // Missing log, unwritable output, wrong arguments: a message and a failure.
  EXPECT_EQ(run("--home '" + home + "' score '" + home + "/none.tmk'"), 1);
  EXPECT_NE(file("err").find("none.tmk"), std::string::npos);
  EXPECT_EQ(file("out"), "");
  EXPECT_EQ(run("--home '" + home + "' elog '" + home + "/Log/t.tmk' '" + home + "/no/x.tmq'"), 1);
  EXPECT_NE(file("err").find("no/x.tmq"), std::string::npos);
  EXPECT_NE(run("--home '" + home + "' elog '" + home + "/Log/t.tmk'"), 0);
  EXPECT_NE(run("--home '" + home + "/nowhere' score '" + home + "/Log/t.tmk'"), 0);
  EXPECT_NE(file("err").find("dxped.cfg"), std::string::npos);
}

TEST_F(CliHome, CheckPrintsOneFindingALineAndFailsOnErrors) {
  if (run("--help") < 0) GTEST_SKIP() << "tamarack-cli not built beside the tests";
  const std::string check = "--home '" + home + "' check '" + home + "/Log/t.tmk'";
  const std::string faults =
      "warning\t5\tJA3DDD: 受信ナンバー「01M」はこのコンテストのナンバー（101～114、02～48と空中線電力の記号）"
      "ではありません\n"
      "warning\t6\tJA4EEE: 受信ナンバー「22」に空中線電力の記号がありません\n"
      "note\t0\t重複交信が 1 件あります（0点で提出されます）\n";
  EXPECT_EQ(run(check), 1);
  EXPECT_EQ(file("out"),
            "error\t0\tサマリーシートの必須項目「参加部門の名称」が未設定です\n"
            "error\t0\tサマリーシートの必須項目「最大空中線電力」が未設定です\n"
            "error\t0\tサマリーシートの必須項目「局免許者の氏名（社団の名称）」が未設定です\n"
            "error\t0\tサマリーシートの必須項目「局免許者の無線従事者資格」が未設定です\n"
            "error\t0\tサマリーシートの必須項目「連絡先」が未設定です\n"
            "error\t0\tＥ－メールアドレスが未設定です（JARLからの受付・エラーの通知が届きません）\n" +
                faults);
  EXPECT_EQ(file("err"), "");

  // The station data filled in: warnings and notes alone do not fail.
  Settings s;
  s.CfgFileName = home + "/Cfg/(1)ＡＬＬ ＪＡ コンテスト.cfg";
  samples::fillStationData(s);
  s.JarlCateCode = "XAH";
  s.JarlEmail = "ja1zzz@example.jp";
  ASSERT_TRUE(IniWrite(home + "/Tamarack.ini", s));
  EXPECT_EQ(run(check), 0) << file("err");
  EXPECT_EQ(file("out"), faults);
  EXPECT_EQ(run(check + " --format r2.1"), 0);
  EXPECT_EQ(file("out"), faults);
  // A power over the category's limit is an error again.
  s.JarlCateCode = "XAP";
  ASSERT_TRUE(IniWrite(home + "/Tamarack.ini", s));
  EXPECT_EQ(run(check), 1);
  EXPECT_NE(file("out").find("error\t0\t空中線電力が5Wを超えている: 最大空中線電力は 50W、部門 XAP の上限は 5W です\n"),
            std::string::npos);

  EXPECT_EQ(run(check + " --format r9"), 1);
  EXPECT_EQ(file("out"), "");
  EXPECT_EQ(run("--home '" + home + "' check '" + home + "/none.tmk'"), 1);
  EXPECT_NE(file("err").find("none.tmk"), std::string::npos);
}

// The settings name no Cabrillo columns: a standard log reads all the same.
TEST_F(CliHome, AStandardCabrilloLogNeedsNoColumnsSet) {
  if (run("--help") < 0) GTEST_SKIP() << "tamarack-cli not built beside the tests";
  ASSERT_TRUE(fileio::writeAtomic(
      home + "/c.cbr",
      "START-OF-LOG: 3.0\r\nCALLSIGN: JA1ZLO\r\n"
      "QSO:  7012 CW 2024-04-27 2101 JA1ZLO        599 13M    JA1ABC        599 10M    0\r\n"
      "QSO: 21300 PH 2024-04-28 0015 JA1ZLO         59 13M    JH8AAA         59 101L   0\r\n"
      "END-OF-LOG:\r\n"));
  const std::string import = "--home '" + home + "' import ";
  ASSERT_EQ(run(import + "cabrillo " + at("c.cbr") + " " + at("o.tmk")), 0) << file("err");
  const LogData l = log("o.tmk");
  ASSERT_EQ(l.count(), 2);
  EXPECT_EQ(l[1].CallSign.trimmed(), "JA1ABC");
  EXPECT_EQ(l[1].RcvdNo.trimmed(), "10M");
  EXPECT_EQ(l[2].CallSign.trimmed(), "JH8AAA");
  EXPECT_EQ(l[2].SentRst.trimmed(), "59");
  EXPECT_EQ(l[2].RcvdNo.trimmed(), "101L");
}

TEST_F(CliHome, ACsvFileIsRefusedWithAnOldLog) {
  if (run("--help") < 0) GTEST_SKIP() << "tamarack-cli not built beside the tests";
  ASSERT_TRUE(fileio::writeAtomic(
      home + "/q.csv",
      "\"1\",\"2024/04/27 21:01:00\",\"JA1ABC\",\"599\",\"13M\",\"599\",\"10M\",\"\",\"7\","
      "\"CW\",\"0\",\"0\",\"\"\r\n"));
  const std::string import = "--home '" + home + "' import csv " + at("q.csv") + " ";
  ASSERT_EQ(run(import + at("old.tmk")), 0) << file("err");
  ASSERT_EQ(log("old.tmk").count(), 1);
  // OLD's QSO would be gone from NEW: nothing is written, and it is said why.
  EXPECT_NE(run(import + at("new.tmk") + " --log " + at("old.tmk")), 0);
  EXPECT_NE(file("err").find("replaces the log"), std::string::npos) << file("err");
  EXPECT_FALSE(fs::exists(home + "/new.tmk"));
}

}  // namespace

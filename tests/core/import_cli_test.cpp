// tamarack-cli import: a Cabrillo log read with the columns of a settings file
// that names none, and a CSV file that would replace a log given with --log.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "log/fileio.h"
#include "log/logfile.h"
#include "log/progress.h"
#include "log/settingsfile.h"
#include "samples.h"

namespace fs = std::filesystem;

namespace {

class ImportCli : public ::testing::Test {
 protected:
  void SetUp() override {
    char tmpl[] = "/tmp/tamarack_import_cli_XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    home = tmpl;
    fs::copy(fs::path(TAMARACK_DATA_DIR) / "Cfg", home + "/Cfg");
    Settings s;  // no Cabrillo columns stored
    s.CfgFileName = home + "/Cfg/(1)ＡＬＬ ＪＡ コンテスト.cfg";
    ASSERT_TRUE(IniWrite(home + "/Tamarack.ini", s));
  }
  void TearDown() override { fs::remove_all(home); }

  // Runs the built tamarack-cli beside this test program in the home
  // folder; -1 when absent.
  int run(const std::string& args) {
    const fs::path cli = fs::read_symlink("/proc/self/exe").parent_path() / "tamarack-cli";
    if (!fs::exists(cli)) return -1;
    const std::string cmd = "cd '" + home + "' && '" + cli.string() + "' --home '" + home + "' " +
                            args + " >'" + home + "/out' 2>'" + home + "/err'";
    const int st = std::system(cmd.c_str());
    return WIFEXITED(st) ? WEXITSTATUS(st) : 255;
  }
  std::string file(const std::string& name) {
    std::string t;
    fileio::readAll(home + "/" + name, t);
    return t;
  }
  LogData log(const std::string& name) {
    const std::string bytes = file(name);
    LogData l;
    l.resize(static_cast<int>(logfile::wholeRecords(bytes.size())));
    logfile::decodeInto(bytes, l, 1, noProgress());
    return l;
  }

  std::string home;
};

TEST_F(ImportCli, AStandardCabrilloLogNeedsNoColumnsSet) {
  if (run("--help") < 0) GTEST_SKIP() << "tamarack-cli not built beside the tests";
  ASSERT_TRUE(fileio::writeAtomic(
      home + "/c.cbr",
      "START-OF-LOG: 3.0\r\nCALLSIGN: JA1ZLO\r\n"
      "QSO:  7012 CW 2024-04-27 2101 JA1ZLO        599 13M    JA1ABC        599 10M    0\r\n"
      "QSO: 21300 PH 2024-04-28 0015 JA1ZLO         59 13M    JH8AAA         59 101L   0\r\n"
      "END-OF-LOG:\r\n"));
  ASSERT_EQ(run("import cabrillo c.cbr o.tmk"), 0) << file("err");
  const LogData l = log("o.tmk");
  ASSERT_EQ(l.count(), 2);
  EXPECT_EQ(l[1].CallSign.trimmed(), "JA1ABC");
  EXPECT_EQ(l[1].RcvdNo.trimmed(), "10M");
  EXPECT_EQ(l[2].CallSign.trimmed(), "JH8AAA");
  EXPECT_EQ(l[2].SentRst.trimmed(), "59");
  EXPECT_EQ(l[2].RcvdNo.trimmed(), "101L");
}

TEST_F(ImportCli, ACsvFileIsRefusedWithAnOldLog) {
  if (run("--help") < 0) GTEST_SKIP() << "tamarack-cli not built beside the tests";
  ASSERT_TRUE(fileio::writeAtomic(
      home + "/q.csv",
      "\"1\",\"2024/04/27 21:01:00\",\"JA1ABC\",\"599\",\"13M\",\"599\",\"10M\",\"\",\"7\","
      "\"CW\",\"0\",\"0\",\"\"\r\n"));
  ASSERT_EQ(run("import csv q.csv old.tmk"), 0) << file("err");
  ASSERT_EQ(log("old.tmk").count(), 1);
  // OLD's QSO would be gone from NEW: nothing is written, and it is said why.
  EXPECT_NE(run("import csv q.csv new.tmk --log old.tmk"), 0);
  EXPECT_NE(file("err").find("replaces the log"), std::string::npos) << file("err");
  EXPECT_FALSE(fs::exists(home + "/new.tmk"));
}

}  // namespace

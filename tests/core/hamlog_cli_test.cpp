// tamarack-cli hamlog: create, count, append and read a database from the
// command line, through the libraries beside the program.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "log/fileio.h"
#include "log/logfile.h"

namespace fs = std::filesystem;

namespace {

class HamlogCli : public ::testing::Test {
 protected:
  void SetUp() override {
    char tmpl[] = "/tmp/tamarack_hlcli_XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    home = tmpl;
    fileio::writeAtomic(home + "/TH_DX.dat", "JA    339   Japan\r\n");
    for (int i = 0; i < 50; ++i) {
      QsoRecord r;
      r.QsoTime = ole::fromDateTime(2024, 5, 1, 21, i, 0);
      r.CallSign = "JA1A" + std::string(1, static_cast<char>('A' + i % 26));
      r.Band = i % 2 ? "7" : "14";
      r.Mode = i % 3 ? "CW" : "SSB";
      r.SentRst = "599";
      r.RcvdRst = "579";
      log.append(r);
    }
    ASSERT_TRUE(fileio::writeAtomic(home + "/in.tmk", logfile::encodeLog(log, 1, noProgress())));
  }
  void TearDown() override { fs::remove_all(home); }

  // shell: commands run before the tool, in the same shell.
  int run(const std::string& args, const std::string& shell = "") {
    const fs::path cli = fs::read_symlink("/proc/self/exe").parent_path() / "tamarack-cli";
    if (!fs::exists(cli)) return -1;
    const std::string cmd = shell + "'" + cli.string() + "' --home '" + home + "' hamlog " + args + " >'" +
                            home + "/out' 2>'" + home + "/err'";
    const int st = std::system(cmd.c_str());
    return WIFEXITED(st) ? WEXITSTATUS(st) : 255;
  }
  std::string file(const std::string& name) {
    std::string t;
    fileio::readAll(home + "/" + name, t);
    return t;
  }

  std::string home;
  LogData log;
};

}  // namespace

TEST_F(HamlogCli, CreateAppendCountAndReadBack) {
  const std::string db = "'" + home + "/db.hdb'";
  ASSERT_EQ(run("create " + db), 0) << file("err");
  EXPECT_EQ(run("create " + db), 1);  // never over an existing file
  ASSERT_EQ(run("count " + db), 0);
  EXPECT_EQ(file("out"), "0\n");
  ASSERT_EQ(run("append '" + home + "/in.tmk' " + db), 0) << file("err");
  ASSERT_EQ(run("count " + db), 0);
  EXPECT_EQ(file("out"), "50\n");

  // 21:10 .. 21:19 only.
  ASSERT_EQ(run("read " + db + " 202405012110 202405012119 '" + home + "/out.tmk'"), 0) << file("err");
  std::string bytes = file("out.tmk");
  ASSERT_EQ(logfile::wholeRecords(bytes.size()), 10u);
  LogData back;
  back.resize(10);
  logfile::decodeInto(bytes, back, 1, noProgress());
  for (int i = 1; i <= 10; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(back[i].CallSign, log[i + 10].CallSign);
    EXPECT_EQ(back[i].QsoTime, log[i + 10].QsoTime);
    EXPECT_EQ(back[i].Band, log[i + 10].Band);
    EXPECT_EQ(back[i].Mode, log[i + 10].Mode);
    EXPECT_EQ(back[i].RcvdRst, log[i + 10].RcvdRst);
  }
  // An empty window writes nothing.
  EXPECT_EQ(run("read " + db + " 202501010000 202501010100 '" + home + "/none.tmk'"), 1);
  EXPECT_FALSE(fs::exists(home + "/none.tmk"));
}

TEST_F(HamlogCli, BadFilesAndArguments) {
  fileio::writeAtomic(home + "/bad.hdb", std::string(3000, '\x81'));
  EXPECT_EQ(run("count '" + home + "/bad.hdb'"), 1);
  EXPECT_NE(file("err").find("データベースをオープンできませんでした"), std::string::npos);
  EXPECT_EQ(run("append '" + home + "/in.tmk' '" + home + "/missing.hdb'"), 1);
  EXPECT_NE(file("err").find("ハムログデータベースファイルが見つかりません！"), std::string::npos);
  EXPECT_EQ(run("read '" + home + "/bad.hdb' 2024 2025 '" + home + "/o.tmk'"), 1);
  EXPECT_EQ(run("frobnicate"), 1);
}

TEST_F(HamlogCli, AFullDiskReportsWhatTheDatabaseHolds) {
  const std::string db = "'" + home + "/db.hdb'";
  ASSERT_EQ(run("create " + db), 0) << file("err");
  ASSERT_EQ(run("append '" + home + "/in.tmk' " + db), 0) << file("err");
  LogData big;
  for (int i = 0; i < 2000; ++i) {
    QsoRecord r;
    r.QsoTime = ole::fromDateTime(2024, 5, 2, 0, 0, 0) + i / 1440.0;
    r.CallSign = "JA2B" + std::to_string(i);
    r.Band = "7";
    r.Mode = "CW";
    big.append(r);
  }
  ASSERT_TRUE(fileio::writeAtomic(home + "/big.tmk", logfile::encodeLog(big, 1, noProgress())));
  // No file of the run may grow past 300 KB: the disk fills up part way.
  EXPECT_EQ(run("append '" + home + "/big.tmk' " + db, "trap '' XFSZ; ulimit -f 600; "), 1);
  const std::string err = file("err");
  const std::size_t at = err.find(" QSOs appended before the failure");
  ASSERT_NE(at, std::string::npos) << err;
  const int told = std::stoi(err.substr(err.rfind(' ', at - 1) + 1));
  EXPECT_GT(told, 0);
  EXPECT_LT(told, 2000);
  ASSERT_EQ(run("count " + db), 0);
  EXPECT_EQ(file("out"), std::to_string(50 + told) + "\n");
}

// The call history: which QSO a call's entry comes from, files that are
// skipped, the CALL,EXCHANGE file, the cache, and the history command.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "contest/callhistory.h"
#include "log/cp932.h"
#include "log/fileio.h"
#include "log/logfile.h"
#include "log/progress.h"
#include "log/settings.h"

namespace fs = std::filesystem;

namespace {

struct Qso {
  const char* call;
  const char* rcvd;
  int day, hour;
};

class History : public ::testing::Test {
 protected:
  void SetUp() override {
    char tmpl[] = "/tmp/tamarack_history_XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    home = tmpl;
    fs::create_directory(home + "/Log");
  }
  void TearDown() override { fs::remove_all(home); }

  std::string writeLog(const std::string& path, std::initializer_list<Qso> qsos) {
    LogData log;
    for (const Qso& q : qsos) {
      QsoRecord r;
      r.CallSign = q.call;
      r.RcvdNo = q.rcvd;
      r.Band = "7";
      r.Mode = "CW";
      r.QsoTime = ole::fromDateTime(2024, 6, q.day, q.hour, 0, 0);
      log.append(r);
    }
    const std::string full = path.front() == '/' ? path : home + "/" + path;
    EXPECT_TRUE(fileio::writeAtomic(full, logfile::encodeLog(log, 1, noProgress())));
    return full;
  }
  void writeText(const std::string& name, const std::string& utf8) {
    ASSERT_TRUE(fileio::writeAtomic(home + "/" + name, cp932::encode(utf8)));
  }
  std::string rcvd(const CallHistory& h, const std::string& call) {
    const HistoryEntry* e = h.find(call);
    return e ? e->RcvdNo : "-";
  }

  std::string home;
};

}  // namespace

TEST_F(History, TheLatestQsoOfACallWins) {
  writeLog("Log/a.tmk", {{"JA1AAA", "13M", 1, 10}, {"JA2BBB", "20H", 1, 11}, {"JA1AAA", "14M", 2, 9}});
  writeLog("Log/b.tmk", {{"JA1AAA", "15M", 1, 12}, {"JA3CCC", "", 1, 12}, {"", "99", 1, 12}});
  const CallHistory h = BuildCallHistory({LogFilesIn(home + "/Log"), ""});
  EXPECT_EQ(rcvd(h, "JA1AAA"), "14M");  // day 2 beats the later file's day 1
  EXPECT_EQ(rcvd(h, "JA2BBB"), "20H");
  EXPECT_EQ(rcvd(h, "JA3CCC"), "-");  // nothing received: nothing to tell
  EXPECT_EQ(rcvd(h, "ja1aaa"), "-");  // compared exactly
  EXPECT_EQ(h.size(), 2u);
  EXPECT_TRUE(h.notes.empty());
  EXPECT_EQ(HistoryLine(*h.find("JA1AAA")), "JA1AAA\t14M\t2024-06-02 09:00\ta.tmk");
}

TEST_F(History, DamagedAndForeignFilesAreSkippedWithANote) {
  writeLog("Log/good.tmk", {{"JA1AAA", "13M", 1, 10}});
  writeText("Log/notes.tmk", "これはログではありません\r\nJA1AAA,99\r\n");
  std::string junk(logfile::kRecordSize * 3, '\x01');
  ASSERT_TRUE(fileio::writeAtomic(home + "/Log/junk.tmk", junk));
  // A whole record and a torn one: the whole one counts.
  const std::string torn = writeLog("Log/torn.tmk", {{"JA2BBB", "20H", 1, 9}, {"JA3CCC", "30L", 1, 9}});
  fs::resize_file(torn, logfile::kRecordSize + 40);
  fs::create_directory(home + "/Log/folder.tmk");

  HistorySources src{LogFilesIn(home + "/Log"), ""};
  src.logs.push_back(home + "/gone.tmk");
  const CallHistory h = BuildCallHistory(src);
  EXPECT_EQ(rcvd(h, "JA1AAA"), "13M");
  EXPECT_EQ(rcvd(h, "JA2BBB"), "20H");
  EXPECT_EQ(rcvd(h, "JA3CCC"), "-");
  ASSERT_EQ(h.notes.size(), 3u);
  EXPECT_EQ(h.notes[0], home + "/Log/junk.tmk はログファイルではありません");
  EXPECT_EQ(h.notes[1], home + "/Log/notes.tmk はログファイルではありません");
  EXPECT_EQ(h.notes[2], home + "/gone.tmk: No such file or directory");
}

TEST_F(History, TextFileOfCallsAndExchanges) {
  writeText("calls.txt",
            "# 前回の交信\r\nja1aaa, 13m\r\nJA2BBB,20H,extra\nJA4DDD\r\n,5\r\n\r\nJA2BBB,21H\r\n");
  writeLog("Log/a.tmk", {{"JA1AAA", "14M", 1, 10}});
  const CallHistory h = BuildCallHistory({LogFilesIn(home + "/Log"), home + "/calls.txt"});
  EXPECT_EQ(rcvd(h, "JA1AAA"), "14M");  // a logged QSO wins over the file
  EXPECT_EQ(rcvd(h, "JA2BBB"), "21H");  // the file's last line
  EXPECT_EQ(HistoryLine(*h.find("JA2BBB")), "JA2BBB\t21H\t\tcalls.txt");
  ASSERT_EQ(h.notes.size(), 1u);
  EXPECT_EQ(h.notes[0], home + "/calls.txt: 2 行を読み飛ばしました");

  const CallHistory missing = BuildCallHistory({{}, home + "/none.txt"});
  EXPECT_EQ(missing.size(), 0u);
  EXPECT_EQ(missing.notes.size(), 1u);
}

TEST_F(History, SourcesFromTheSettings) {
  const std::string a = writeLog("Log/a.tmk", {{"JA1AAA", "13M", 1, 10}});
  const std::string open = writeLog("Log/open.tmk", {{"JA1AAA", "99M", 3, 10}});
  writeLog("Log/B.TMK", {{"JA1AAA", "12M", 1, 9}});
  writeText("Log/readme.txt", "x");
  fs::create_directory(home + "/old");
  writeLog("old/2019.tmk", {{"JA5EEE", "50", 1, 1}});
  Settings s;
  s.HistoryLogs = "old/2019.tmk\r\n\r\n" + a + "\r\n" + home + "/Log/../Log/open.tmk";
  s.HistoryFile = "calls.txt";
  const HistorySources src = HistorySourcesOf(home, s, open);
  EXPECT_EQ(src.logs, (std::vector<std::string>{home + "/Log/B.TMK", a, home + "/old/2019.tmk"}));
  EXPECT_EQ(src.exchangeFile, home + "/calls.txt");
  EXPECT_TRUE(HistorySourcesOf(home, Settings{}, "").exchangeFile.empty());
}

TEST_F(History, CacheIsUsedUntilASourceChanges) {
  const std::string log = writeLog("Log/a.tmk", {{"JA1AAA", "13M", 1, 10}, {"JA2BBB", "20H", 1, 11}});
  writeText("Log/bad.tmk", "text\r\n");
  const HistorySources src{{log, home + "/Log/bad.tmk"}, ""};
  const std::string cache = CallHistoryCachePath(home);

  const CallHistory first = LoadCallHistory(src, cache);
  EXPECT_EQ(rcvd(first, "JA1AAA"), "13M");
  ASSERT_TRUE(fs::exists(cache));

  // The cache is read, not the logs: an entry changed in it shows.
  std::string bytes;
  ASSERT_TRUE(fileio::readAll(cache, bytes));
  const std::size_t at = bytes.find("\t13M\t");
  ASSERT_NE(at, std::string::npos);
  bytes.replace(at + 1, 3, "77M");
  ASSERT_TRUE(fileio::writeAtomic(cache, bytes));
  const CallHistory cached = StartCallHistory(src, cache).get();
  EXPECT_EQ(rcvd(cached, "JA1AAA"), "77M");
  EXPECT_EQ(rcvd(cached, "JA2BBB"), "20H");
  EXPECT_EQ(cached.notes, first.notes);  // the skipped file is told again

  // A damaged cache is built again.
  ASSERT_TRUE(fileio::writeAtomic(cache, bytes.substr(0, bytes.size() - 5)));
  EXPECT_EQ(rcvd(LoadCallHistory(src, cache), "JA1AAA"), "13M");

  // A log written since: built again.
  bytes.clear();
  ASSERT_TRUE(fileio::readAll(cache, bytes));
  bytes.replace(bytes.find("\t13M\t") + 1, 3, "77M");
  ASSERT_TRUE(fileio::writeAtomic(cache, bytes));
  writeLog("Log/a.tmk", {{"JA1AAA", "13M", 1, 10}, {"JA2BBB", "21H", 2, 11}});
  const CallHistory rebuilt = LoadCallHistory(src, cache);
  EXPECT_EQ(rcvd(rebuilt, "JA1AAA"), "13M");
  EXPECT_EQ(rcvd(rebuilt, "JA2BBB"), "21H");

  // A cache that cannot be written costs nothing but the next build.
  const CallHistory unwritable = LoadCallHistory(src, home + "/no/such/folder/c.cache");
  EXPECT_EQ(rcvd(unwritable, "JA2BBB"), "21H");
}

TEST_F(History, CommandPrintsTheLineOfACall) {
  writeLog("Log/a.tmk", {{"JA1AAA", "13M", 1, 10}});
  writeText("Log/bad.tmk", "text\r\n");
  const fs::path cli = fs::read_symlink("/proc/self/exe").parent_path() / "tamarack-cli";
  if (!fs::exists(cli)) GTEST_SKIP() << "no tamarack-cli beside the tests";
  auto run = [&](const std::string& args) {
    const std::string cmd = "'" + cli.string() + "' history " + args + " >'" + home + "/out' 2>'" +
                            home + "/err'";
    const int st = std::system(cmd.c_str());
    return WIFEXITED(st) ? WEXITSTATUS(st) : 255;
  };
  auto file = [&](const std::string& name) {
    std::string t;
    fileio::readAll(home + "/" + name, t);
    return t;
  };
  EXPECT_EQ(run("'" + home + "/Log' ja1aaa"), 0);
  EXPECT_EQ(file("out"), "JA1AAA\t13M\t2024-06-01 10:00\ta.tmk\n");
  EXPECT_NE(file("err").find("bad.tmk はログファイルではありません"), std::string::npos);
  EXPECT_EQ(run("'" + home + "/Log' JA9ZZZ"), 1);
  EXPECT_EQ(file("out"), "");
  EXPECT_EQ(run("'" + home + "/none' JA1AAA"), 1);
}

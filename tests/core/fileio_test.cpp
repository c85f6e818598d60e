// Replacing a file keeps what the file is (its permissions, a link to it, a
// read-only mark); reading takes regular files only, within a size bound.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <limits.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <future>
#include <thread>

#include "log/fileio.h"

namespace fs = std::filesystem;

namespace {

class FileIo : public ::testing::Test {
 protected:
  void SetUp() override {
    char tmpl[] = "/tmp/tamarack-fileio-XXXXXX";
    ASSERT_NE(::mkdtemp(tmpl), nullptr);
    dir = tmpl;
  }
  void TearDown() override {
    std::error_code ec;
    fs::remove_all(dir, ec);
  }
  static std::string contents(const std::string& p) {
    std::string s;
    fileio::readAll(p, s);
    return s;
  }
  static mode_t modeOf(const std::string& p) {
    struct stat st {};
    ::lstat(p.c_str(), &st);
    return st.st_mode;
  }
  // Nothing but the named files is left in the folder.
  std::vector<std::string> names() const {
    std::vector<std::string> v;
    for (const auto& e : fs::directory_iterator(dir)) v.push_back(e.path().filename().string());
    std::sort(v.begin(), v.end());
    return v;
  }
  std::string dir;
};

TEST_F(FileIo, ReplacingKeepsThePermissionBits) {
  const std::string p = dir + "/Tamarack.ini";
  ASSERT_TRUE(fileio::writeAtomic(p, "old"));
  ::chmod(p.c_str(), 0600);
  ASSERT_TRUE(fileio::writeAtomic(p, "address and phone"));
  EXPECT_EQ(modeOf(p) & 07777, 0600u);
  ::chmod(p.c_str(), 0640);
  ASSERT_TRUE(fileio::writeAtomic(p, "again"));
  EXPECT_EQ(modeOf(p) & 07777, 0640u);
  EXPECT_EQ(contents(p), "again");
  // A new file gets what the umask allows, as any new file.
  const mode_t um = ::umask(022);
  ASSERT_TRUE(fileio::writeAtomic(dir + "/new.tmk", "x"));
  ::umask(um);
  EXPECT_EQ(modeOf(dir + "/new.tmk") & 07777, 0644u);
  EXPECT_EQ(names(), (std::vector<std::string>{"Tamarack.ini", "new.tmk"}));
}

TEST_F(FileIo, ALinkIsWrittenThroughToItsTarget) {
  fs::create_directory(dir + "/logs");
  const std::string target = dir + "/logs/contest.tmk";
  ASSERT_TRUE(fileio::writeAtomic(target, "old log"));
  fs::create_symlink("logs/contest.tmk", dir + "/link.tmk");  // relative
  fs::create_symlink(dir + "/link.tmk", dir + "/chain.tmk");  // a link to a link
  ASSERT_TRUE(fileio::writeAtomic(dir + "/chain.tmk", "new log"));
  EXPECT_TRUE(S_ISLNK(modeOf(dir + "/chain.tmk")));
  EXPECT_TRUE(S_ISLNK(modeOf(dir + "/link.tmk")));
  EXPECT_EQ(contents(target), "new log");
  // A link whose target is not there yet makes the target.
  fs::create_symlink("logs/later.tmk", dir + "/later.tmk");
  ASSERT_TRUE(fileio::writeAtomic(dir + "/later.tmk", "first"));
  EXPECT_TRUE(S_ISLNK(modeOf(dir + "/later.tmk")));
  EXPECT_EQ(contents(dir + "/logs/later.tmk"), "first");
  // A link that leads back to itself is an error, not a plain file.
  fs::create_symlink("loop.tmk", dir + "/loop.tmk");
  std::string err;
  EXPECT_FALSE(fileio::writeAtomic(dir + "/loop.tmk", "x", &err));
  EXPECT_FALSE(err.empty());
  EXPECT_TRUE(S_ISLNK(modeOf(dir + "/loop.tmk")));
}

TEST_F(FileIo, AReadOnlyFileIsRefused) {
  const std::string p = dir + "/kept.tmk";
  ASSERT_TRUE(fileio::writeAtomic(p, "kept"));
  ::chmod(p.c_str(), 0444);
  std::string err;
  EXPECT_FALSE(fileio::writeAtomic(p, "replaced", &err));
  EXPECT_EQ(err, "読み取り専用のファイルです");
  EXPECT_EQ(contents(p), "kept");
  EXPECT_EQ(names(), std::vector<std::string>{"kept.tmk"});
}

TEST_F(FileIo, TwoSavesAtOnceBothSucceed) {
  const std::string p = dir + "/both.tmk";
  std::atomic<int> failed{0};
  auto saver = [&](char c) {
    for (int i = 0; i < 300; ++i)
      if (!fileio::writeAtomic(p, std::string(4096, c))) ++failed;
  };
  std::thread a(saver, 'a'), b(saver, 'b');
  a.join();
  b.join();
  EXPECT_EQ(failed, 0);
  const std::string last = contents(p);
  EXPECT_TRUE(last == std::string(4096, 'a') || last == std::string(4096, 'b'));
  EXPECT_EQ(names(), std::vector<std::string>{"both.tmk"});
}

TEST_F(FileIo, ANameAtTheLimitCanBeSaved) {
  const long max = ::pathconf(dir.c_str(), _PC_NAME_MAX);
  ASSERT_GT(max, 8);
  for (long len : {max - 3, max}) {
    const std::string p = dir + "/" + std::string(static_cast<std::size_t>(len - 4), 'n') + ".tmk";
    std::string err;
    EXPECT_TRUE(fileio::writeAtomic(p, "x", &err)) << len << " " << err;
    EXPECT_EQ(contents(p), "x");
  }
}

TEST_F(FileIo, AWriteThatCannotFinishLeavesTheOldFile) {
  const std::string p = dir + "/full.tmk";
  ASSERT_TRUE(fileio::writeAtomic(p, "previous"));
  // A disk that fills up: the file-size limit stops the write part-way.
  ::signal(SIGXFSZ, SIG_IGN);
  rlimit old {};
  ::getrlimit(RLIMIT_FSIZE, &old);
  rlimit small = old;
  small.rlim_cur = 100;
  ::setrlimit(RLIMIT_FSIZE, &small);
  std::string err;
  const bool ok = fileio::writeAtomic(p, std::string(1000, 'x'), &err);
  ::setrlimit(RLIMIT_FSIZE, &old);
  EXPECT_FALSE(ok);
  EXPECT_FALSE(err.empty());
  EXPECT_EQ(contents(p), "previous");
  EXPECT_EQ(names(), std::vector<std::string>{"full.tmk"});
}

TEST_F(FileIo, ReadersTakeRegularFilesOnly) {
  std::string out, err;
  EXPECT_FALSE(fileio::readAll("/dev/zero", out, &err));
  EXPECT_EQ(err, "通常のファイルではありません");
  EXPECT_TRUE(out.empty());

  // A FIFO with no writer must not block the reader.
  const std::string fifo = dir + "/Cty.dat";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  auto reading = std::async(std::launch::async, [&] {
    std::string o, e;
    return fileio::readAll(fifo, o, &e);
  });
  if (reading.wait_for(std::chrono::seconds(5)) != std::future_status::ready) {
    ADD_FAILURE() << "the reader blocks on a FIFO";
    const int fd = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK);  // lets it go
    if (fd >= 0) ::close(fd);
  }
  EXPECT_FALSE(reading.get());

  // At most the size the reader allows.
  ASSERT_TRUE(fileio::writeAtomic(dir + "/big", std::string(11, 'x')));
  EXPECT_FALSE(fileio::readAll(dir + "/big", out, &err, 10));
  EXPECT_EQ(err, "ファイルが大きすぎます");
  EXPECT_TRUE(fileio::readAll(dir + "/big", out, &err, 11));
  EXPECT_EQ(out.size(), 11u);
}

}  // namespace

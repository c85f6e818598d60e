// The QSO database library and the bridge, called as the program calls them:
// work-area offsets, bounded copies, handles, commits, bad, busy and replaced files.
#include <gtest/gtest.h>
#include <signal.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <thread>

#include "bridge/wrenlink.h"
#include "hamlog50/hamlog50.h"
#include "hamlog50/thwtext.h"

namespace fs = std::filesystem;

namespace {

struct Work {
  alignas(8) char b[thw::kThwWorkSize] = {};
  // Guard bytes after the work area catch a copy that runs past it.
  char guard[64];
  Work() { std::memset(guard, 0x5A, sizeof guard); }
  bool guardIntact() const {
    for (char c : guard)
      if (c != 0x5A) return false;
    return true;
  }
};

class HamlogLibraryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = fs::temp_directory_path() / ("hamlog_lib_" + std::to_string(::getpid()) + "_" +
                                       ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir);
    fs::create_directories(dir);
    db = (dir / "HAMLOG.hdb").string();
    SetQsoOrMaster(1);
  }
  void TearDown() override { fs::remove_all(dir); }

  void appendOne(Work& w, const std::string& call, const std::string& rmk1) {
    SetThBuffer(w.b, call.c_str(), 1);
    SetThBuffer(w.b, "24/05/01", 2);
    SetThBuffer(w.b, "08:30J", 3);
    SetThBuffer(w.b, "599", 4);
    SetThBuffer(w.b, "599", 5);
    SetThBuffer(w.b, "7", 6);
    SetThBuffer(w.b, "CW", 7);
    SetThBuffer(w.b, rmk1.c_str(), 13);
    SetThBuffer(w.b, "8", 16);
    std::int32_t zero = 0;
    ASSERT_EQ(THW_append(w.b, 16, &zero), 0) << HamlogLastError();
  }

  fs::path dir;
  std::string db;
};

std::string field(Work& w, int f) {
  char buf[wrenlink::kBufferSize];
  std::memset(buf, 0x7E, sizeof buf);
  ThwString(buf, w.b, static_cast<std::int16_t>(f));
  return buf;
}

}  // namespace

TEST_F(HamlogLibraryTest, VersionIsNotZeroAndCreateRefusesAnExistingFile) {
  EXPECT_NE(GetThdllVersion(), 0);
  ASSERT_EQ(HamlogCreate(db.c_str()), 0) << HamlogLastError();
  EXPECT_NE(HamlogCreate(db.c_str()), 0);
  Work w;
  ASSERT_EQ(HamlogOpen(0, w.b, db.c_str(), 1), 0);
  EXPECT_EQ(Vdbf_rcount(w.b), 0);
  EXPECT_EQ(HamlogClose(w.b, 1), 0);
}

TEST_F(HamlogLibraryTest, AppendAndReadKeepEveryFieldAtItsOffset) {
  ASSERT_EQ(HamlogCreate(db.c_str()), 0);
  Work w;
  ASSERT_EQ(HamlogOpen(0, w.b, db.c_str(), 1), 0);
  appendOne(w, "JA1ABC", "12HXY");
  SetThBuffer(w.b, "DL1XX", 1);
  SetThBuffer(w.b, "230", 8);
  SetThBuffer(w.b, "J* ", 10);
  SetThBuffer(w.b, "Fed. Rep. of Germany", 12);
  SetThBuffer(w.b, "599/599  CONTEST", 14);
  std::int32_t zero = 0;
  ASSERT_EQ(THW_append(w.b, 16, &zero), 0);
  EXPECT_EQ(Vdbf_rcount(w.b), 2);
  EXPECT_EQ(ThwString(nullptr, w.b, 30), 2);
  HamlogClose(w.b, 1);

  Work r;
  ASSERT_EQ(HamlogOpen(0, r.b, db.c_str(), 1), 0);
  EXPECT_EQ(Vdbf_rcount(r.b), 2);
  THW_read(r.b, 2, 4);
  EXPECT_STREQ(r.b + 0, "DL1XX");
  EXPECT_STREQ(r.b + 21, "24/05/01");
  EXPECT_STREQ(r.b + 30, "08:30J");
  EXPECT_STREQ(r.b + 37, "230");
  EXPECT_STREQ(r.b + 51, "J* ");
  EXPECT_STREQ(r.b + 57, "599");
  EXPECT_EQ(field(r, 1), "DL1XX");
  EXPECT_EQ(field(r, 0), "DL1XX");
  EXPECT_EQ(field(r, 10), "J* ");
  EXPECT_EQ(field(r, 12), "Fed. Rep. of Germany");
  EXPECT_EQ(field(r, 13), "12HXY");
  EXPECT_EQ(field(r, 14), "599/599  CONTEST");
  EXPECT_EQ(field(r, 16), "8");
  EXPECT_EQ(field(r, 15), db);  // the block's text
  EXPECT_EQ(ThwString(nullptr, r.b, 27), 2);  // current record
  // The referenced texts sit where the 32-bit offsets at 821.. say.
  const std::int32_t rmk1 = thw::getI32(r.b + 841);
  ASSERT_GT(rmk1, 0);
  ASSERT_LT(rmk1, 821);
  EXPECT_STREQ(r.b + rmk1, "12HXY");
  EXPECT_STREQ(r.b + thw::getI32(r.b + 829), "CW");
  THW_read(r.b, 1, 4);
  EXPECT_EQ(field(r, 1), "JA1ABC");
  EXPECT_EQ(field(r, 12), "");  // nothing left over from record 2
  EXPECT_NE(THW_read(r.b, 3, 4), 0);
  EXPECT_EQ(field(r, 1), "");
  HamlogClose(r.b, 1);
}

TEST_F(HamlogLibraryTest, NumberFieldsFlagAndSelectors) {
  Work w;
  // Field 16 is the 16-bit number read as unsigned.
  thw::setU16(w.b + 55, 65535);
  EXPECT_EQ(field(w, 16), "65535");
  SetThBuffer(w.b, "12", 15);
  EXPECT_EQ(thw::getU16(w.b + 55), 12);
  SetThBuffer(w.b, "0", 16);
  EXPECT_EQ(field(w, 16), "0");

  // Counts and record numbers of both blocks; no copy for 25..27 and above.
  thw::setI32(w.b + 1745, 1234);
  thw::setI32(w.b + 1753, 17);
  thw::setI32(w.b + 2027, 56);
  thw::setI32(w.b + 2035, 3);
  char buf[wrenlink::kBufferSize];
  std::memset(buf, 'x', sizeof buf);
  EXPECT_EQ(ThwString(buf, w.b, 30), 1234);
  EXPECT_EQ(ThwString(buf, w.b, 28), 1234);
  EXPECT_EQ(ThwString(buf, w.b, 27), 17);
  EXPECT_EQ(ThwString(buf, w.b, 26), 56);
  EXPECT_EQ(ThwString(buf, w.b, 25), 3);
  EXPECT_EQ(buf[0], 'x');
  EXPECT_EQ(Vdbf_rcount(w.b), 1234);
  EXPECT_EQ(SetQsoOrMaster(0), 0);
  EXPECT_EQ(Vdbf_rcount(w.b), 56);
  EXPECT_EQ(Vdbf_recno(w.b), 3);
  SetQsoOrMaster(1);
  EXPECT_EQ(Vdbf_rcount(w.b), 1234);

  // Index keys: fields 18..23 read blocks 0..5, key 10 bytes into the block.
  std::strcpy(w.b + 2305 + 270 * 3 + 10, "KEY3");
  EXPECT_EQ(field(w, 21), "KEY3");
}

TEST_F(HamlogLibraryTest, CopiesStayInsideFieldsAndBuffers) {
  Work w;
  // Without an open database the references are unset: nothing is written.
  SetThBuffer(w.b, "599", 5);
  EXPECT_EQ(field(w, 5), "");

  ASSERT_EQ(HamlogCreate(db.c_str()), 0);
  ASSERT_EQ(HamlogOpen(0, w.b, db.c_str(), 1), 0);
  const std::string longText(300, 'A');
  SetThBuffer(w.b, longText.c_str(), 1);
  EXPECT_EQ(std::strlen(w.b), 20u);
  EXPECT_EQ(w.b[21], '\0');  // the date field is untouched
  SetThBuffer(w.b, longText.c_str(), 4);
  EXPECT_EQ(std::strlen(w.b + 57), 15u);
  SetThBuffer(w.b, longText.c_str(), 13);
  EXPECT_EQ(field(w, 13).size(), 79u);  // the 80-byte buffer's room
  EXPECT_EQ(std::strlen(w.b + thw::kRemarks1Text.offset), thw::kRemarks1Text.size - 1);
  EXPECT_EQ(w.b[thw::kRemarks2Text.offset], '\0');

  // A double-byte character that would not fit is left out whole.
  std::string sjis(19, 'B');
  sjis += "\x93\xfa";  // one CP932 character on bytes 20-21
  SetThBuffer(w.b, sjis.c_str(), 1);
  EXPECT_EQ(std::strlen(w.b), 19u);

  // Above 16: exactly 51 bytes into the 51-byte field; 24 gives its first 45.
  char bits[51];
  for (int i = 0; i < 51; ++i) bits[i] = static_cast<char>('a' + i % 26);
  std::memset(w.b + 1736, 0x33, 5);
  SetThBuffer(w.b, bits, 17);
  EXPECT_EQ(std::memcmp(w.b + 1685, bits, 51), 0);
  EXPECT_EQ(static_cast<unsigned char>(w.b[1736]), 0x33u);
  EXPECT_EQ(field(w, 24), std::string(bits, 45));
  bits[44] = '\x81';  // a lead byte at the cut is cut all the same
  SetThBuffer(w.b, bits, 20);
  EXPECT_EQ(field(w, 24), std::string(bits, 45));
  EXPECT_EQ(VWget_bit(0, w.b), 1);  // 'a' = 0x61
  EXPECT_EQ(VWget_bit(1, w.b), 0);
  EXPECT_EQ(VWget_bit(408, w.b), -1);

  // A reference overwritten by the caller is not followed.
  thw::setI32(w.b + 841, 100000);
  SetThBuffer(w.b, "X", 13);
  EXPECT_EQ(field(w, 13), "");
  HamlogClose(w.b, 1);
  EXPECT_TRUE(w.guardIntact());
}

TEST_F(HamlogLibraryTest, IndexBlocksTakeKModuloEight) {
  ASSERT_EQ(HamlogCreate(db.c_str()), 0);
  Work w;
  ASSERT_EQ(HamlogOpen(0, w.b, db.c_str(), 1), 0);
  appendOne(w, "JA3CCC", "");
  appendOne(w, "JA1AAA", "");
  appendOne(w, "JA2BBB", "");
  // An append run alone on the file keeps it to itself until its close.
  ASSERT_EQ(HamlogClose(w.b, 1), 0);
  ASSERT_EQ(HamlogOpen(0, w.b, db.c_str(), 1), 0);
  ASSERT_EQ(Vidx_open(db.c_str(), w.b, 1), 0);
  EXPECT_EQ(Vidx_top(w.b, 9), 0);  // 9 is block 1
  EXPECT_EQ(field(w, 19), "JA1AAA");
  EXPECT_EQ(Vidx_next(w.b, 1), 0);
  EXPECT_EQ(field(w, 19), "JA2BBB");
  EXPECT_EQ(Vidx_bottom(w.b, 1), 0);
  EXPECT_EQ(field(w, 19), "JA3CCC");
  EXPECT_EQ(Vidx_back(w.b, 1), 0);
  EXPECT_EQ(field(w, 19), "JA2BBB");
  EXPECT_EQ(Vidx_search(w.b, "JA3", 1), 1);
  EXPECT_EQ(field(w, 19), "JA3CCC");
  EXPECT_EQ(Vidx_search(w.b, "JA1AAA", 1), 0);
  char key[wrenlink::kBufferSize];
  EXPECT_STREQ(Vidx_ReadKey(key, w.b + 2305 + 270, 3), "JA1");
  EXPECT_EQ(Vidx_close(w.b, 9), 0);  // closes block 1
  EXPECT_NE(Vidx_close(w.b, 1), 0);  // already closed
  // Blocks 6 and 7 would lie past the work area: refused.
  EXPECT_NE(Vidx_open(db.c_str(), w.b, 6), 0);
  EXPECT_NE(Vidx_top(w.b, 15), 0);
  char upd[wrenlink::kBufferSize];
  EXPECT_EQ(std::strlen(Vget_lupdate(upd, w.b)), 19u);
  EXPECT_NE(Vdbf_delete(w.b, 1), 0);  // append-only
  EXPECT_EQ(Vdbf_read(w.b, 2, 0), 0);
  EXPECT_EQ(Vdbf_recno(w.b), 2);
  HamlogClose(w.b, 1);
  EXPECT_TRUE(w.guardIntact());
}

TEST_F(HamlogLibraryTest, GarbageMissingAndEmptyFilesDoNotOpen) {
  Work w;
  EXPECT_NE(HamlogOpen(0, w.b, db.c_str(), 1), 0);  // missing
  EXPECT_FALSE(fs::exists(db));                     // and not created
  EXPECT_NE(HamlogOpen(0, w.b, dir.c_str(), 1), 0);  // a folder
  { std::ofstream(db, std::ios::binary) << std::string(4096, '\x9c') << "garbage"; }
  EXPECT_NE(HamlogOpen(0, w.b, db.c_str(), 1), 0);
  EXPECT_NE(std::string(HamlogLastError()), "");
  { std::ofstream(db, std::ios::binary | std::ios::trunc); }
  EXPECT_NE(HamlogOpen(0, w.b, db.c_str(), 1), 0);  // empty file: not ours
  // Another program's SQLite database is not ours either.
  fs::remove(db);
  sqlite3* other = nullptr;
  ASSERT_EQ(sqlite3_open(db.c_str(), &other), SQLITE_OK);
  sqlite3_exec(other, "CREATE TABLE qso(x)", nullptr, nullptr, nullptr);
  sqlite3_close(other);
  EXPECT_NE(HamlogOpen(0, w.b, db.c_str(), 1), 0);
  // Calls on a work area that is not open fail without touching anything.
  EXPECT_NE(THW_read(w.b, 1, 4), 0);
  std::int32_t zero = 0;
  EXPECT_NE(THW_append(w.b, 16, &zero), 0);
  EXPECT_NE(HamlogClose(w.b, 1), 0);
}

TEST_F(HamlogLibraryTest, LockedDatabaseRefusesTheAppendAndKeepsReadersWhole) {
  ASSERT_EQ(HamlogCreate(db.c_str()), 0);
  Work w;
  ASSERT_EQ(HamlogOpen(0, w.b, db.c_str(), 1), 0);
  appendOne(w, "JA1AAA", "");
  ASSERT_EQ(HamlogClose(w.b, 1), 0);
  ASSERT_EQ(HamlogOpen(0, w.b, db.c_str(), 1), 0);
  sqlite3* other = nullptr;
  ASSERT_EQ(sqlite3_open(db.c_str(), &other), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(other, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
  SetThBuffer(w.b, "JA2BBB", 1);
  std::int32_t zero = 0;
  EXPECT_NE(THW_append(w.b, 16, &zero), 0);
  EXPECT_NE(std::string(HamlogLastError()).find("locked"), std::string::npos);
  EXPECT_EQ(Vdbf_rcount(w.b), 1);
  // A reader still sees the whole records.
  Work r;
  ASSERT_EQ(HamlogOpen(0, r.b, db.c_str(), 1), 0);
  EXPECT_EQ(Vdbf_rcount(r.b), 1);
  sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
  sqlite3_close(other);
  EXPECT_EQ(THW_append(w.b, 16, &zero), 0);
  EXPECT_EQ(HamlogClose(w.b, 1), 0);
  HamlogClose(r.b, 1);
  ASSERT_EQ(HamlogOpen(0, r.b, db.c_str(), 1), 0);
  EXPECT_EQ(Vdbf_rcount(r.b), 2);
  HamlogClose(r.b, 1);
}

TEST_F(HamlogLibraryTest, AnotherProgramOnTheFileSeesEachAppendWhenItReturns) {
  ASSERT_EQ(HamlogCreate(db.c_str()), 0);
  Work w;
  ASSERT_EQ(HamlogOpen(0, w.b, db.c_str(), 1), 0);
  sqlite3* other = nullptr;
  ASSERT_EQ(sqlite3_open(db.c_str(), &other), SQLITE_OK);
  sqlite3_busy_timeout(other, 1000);
  auto stored = [other] {
    sqlite3_stmt* s = nullptr;
    sqlite3_prepare_v2(other, "SELECT count(*) FROM qso", -1, &s, nullptr);
    const int n = sqlite3_step(s) == SQLITE_ROW ? sqlite3_column_int(s, 0) : -1;
    sqlite3_finalize(s);
    return n;
  };
  EXPECT_EQ(stored(), 0);  // the other program has read the file: the append shares it
  for (int n = 1; n <= 5; ++n) {
    appendOne(w, "JA1AA" + std::to_string(n), "");
    EXPECT_EQ(stored(), n);
  }
  EXPECT_EQ(HamlogClose(w.b, 1), 0);
  // Alone, an append run keeps the file to itself until its close.
  ASSERT_EQ(HamlogOpen(0, w.b, db.c_str(), 1), 0);
  sqlite3_close(other);
  appendOne(w, "JA1AA6", "");
  Work r;
  EXPECT_NE(HamlogOpen(0, r.b, db.c_str(), 1), 0);
  EXPECT_EQ(HamlogClose(w.b, 1), 0);
  ASSERT_EQ(HamlogOpen(0, r.b, db.c_str(), 1), 0);
  EXPECT_EQ(Vdbf_rcount(r.b), 6);
  HamlogClose(r.b, 1);
}

TEST_F(HamlogLibraryTest, AWorkAreaActsOnlyOnTheHandleGivenToIt) {
  ASSERT_EQ(HamlogCreate(db.c_str()), 0);
  const std::string db2 = (dir / "OTHER.hdb").string();
  ASSERT_EQ(HamlogCreate(db2.c_str()), 0);
  Work mine;
  ASSERT_EQ(HamlogOpen(0, mine.b, db.c_str(), 1), 0);
  // Another caller's work area, not zeroed: it holds a copy of mine.
  Work stale;
  std::memcpy(stale.b, mine.b, sizeof stale.b);
  std::int32_t zero = 0;
  EXPECT_NE(THW_append(stale.b, 16, &zero), 0);
  EXPECT_NE(THW_read(stale.b, 1, 4), 0);
  EXPECT_NE(Vdbf_close(stale.b), 0);
  // Its open neither closes my database nor takes my appends.
  ASSERT_EQ(HamlogOpen(0, stale.b, db2.c_str(), 1), 0);
  appendOne(mine, "JA1MINE", "");
  appendOne(stale, "JA2STALE", "");
  EXPECT_EQ(HamlogClose(mine.b, 1), 0);
  EXPECT_NE(HamlogClose(mine.b, 1), 0);  // closed once only
  EXPECT_EQ(HamlogClose(stale.b, 1), 0);
  // The same area reopened gets a new tag: the old handle's bytes open nothing.
  ASSERT_EQ(HamlogOpen(0, mine.b, db.c_str(), 1), 0);
  Work before;
  std::memcpy(before.b, mine.b, sizeof before.b);
  HamlogClose(mine.b, 1);
  ASSERT_EQ(HamlogOpen(0, mine.b, db2.c_str(), 1), 0);
  std::memcpy(mine.b + thw::kQsoBlock + thw::kBlockTag, before.b + thw::kQsoBlock + thw::kBlockTag, 2);
  EXPECT_NE(THW_read(mine.b, 1, 4), 0);
  for (const auto& [path, call] : {std::pair{db, "JA1MINE"}, std::pair{db2, "JA2STALE"}}) {
    SCOPED_TRACE(path);
    Work r;
    ASSERT_EQ(HamlogOpen(0, r.b, path.c_str(), 1), 0);
    EXPECT_EQ(Vdbf_rcount(r.b), 1);
    THW_read(r.b, 1, 4);
    EXPECT_EQ(field(r, 1), call);
    HamlogClose(r.b, 1);
  }
}

TEST_F(HamlogLibraryTest, AFileDeletedOrReplacedWhileOpenIsToldAndLeftWhole) {
  // Another database of the same kind, with records of its own.
  const std::string other = (dir / "backup.hdb").string();
  ASSERT_EQ(HamlogCreate(other.c_str()), 0);
  {
    Work w;
    ASSERT_EQ(HamlogOpen(0, w.b, other.c_str(), 1), 0);
    for (int n = 0; n < 7; ++n) appendOne(w, "JA9OLD", "");
    ASSERT_EQ(HamlogClose(w.b, 1), 0);
  }
  struct Case {
    const char* name;
    std::function<void(const fs::path&)> replace;
    int count;  // records the file at the name holds afterwards; -1: no file
  };
  const fs::path otherPath(other);
  const Case cases[] = {
      {"deleted", [](const fs::path& p) { fs::remove(p); }, -1},
      {"renamed over", [&](const fs::path& p) {
         fs::copy_file(otherPath, p.string() + ".new");
         fs::rename(p.string() + ".new", p);
       }, 7},
      {"overwritten in place", [&](const fs::path& p) {
         fs::copy_file(otherPath, p, fs::copy_options::overwrite_existing);
       }, 7},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    for (const char* s : {"", "-wal", "-shm"}) fs::remove(db + s);
    ASSERT_EQ(HamlogCreate(db.c_str()), 0);
    Work w;
    ASSERT_EQ(HamlogOpen(0, w.b, db.c_str(), 1), 0);
    for (int n = 0; n < 10; ++n) appendOne(w, "JA1NEW", std::string(100, 'R'));
    c.replace(db);
    // Appends go on until the library sees the change, at the latest at the close.
    std::int32_t rc = 0;
    for (int n = 0; n < 3000 && rc == 0; ++n) {
      std::int32_t zero = 0;
      rc = THW_append(w.b, 16, &zero);
    }
    EXPECT_TRUE(rc == 0 || rc == thw::kFileReplaced) << rc;
    EXPECT_EQ(HamlogClose(w.b, 1), thw::kFileReplaced);
    EXPECT_FALSE(fs::exists(db + "-wal"));
    if (c.count < 0) {
      EXPECT_FALSE(fs::exists(db));
      continue;
    }
    // The new file holds what it held, whole.
    sqlite3* check = nullptr;
    ASSERT_EQ(sqlite3_open(db.c_str(), &check), SQLITE_OK);
    sqlite3_stmt* s = nullptr;
    ASSERT_EQ(sqlite3_prepare_v2(check, "PRAGMA integrity_check", -1, &s, nullptr), SQLITE_OK);
    ASSERT_EQ(sqlite3_step(s), SQLITE_ROW);
    EXPECT_STREQ(reinterpret_cast<const char*>(sqlite3_column_text(s, 0)), "ok");
    sqlite3_finalize(s);
    sqlite3_close(check);
    Work r;
    ASSERT_EQ(HamlogOpen(0, r.b, db.c_str(), 1), 0);
    EXPECT_EQ(Vdbf_rcount(r.b), c.count);
    HamlogClose(r.b, 1);
  }
}

TEST_F(HamlogLibraryTest, KillingAnAppendKeepsEveryRecordItReported) {
  ASSERT_EQ(HamlogCreate(db.c_str()), 0);
  int done[2];
  ASSERT_EQ(pipe(done), 0);
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    close(done[0]);
    Work w;
    if (HamlogOpen(0, w.b, db.c_str(), 1) != 0) _exit(2);
    for (std::int32_t n = 1;; ++n) {
      const std::string tag = std::to_string(n);
      SetThBuffer(w.b, ("K" + tag).c_str(), 1);
      SetThBuffer(w.b, (std::string(100, 'R') + tag).c_str(), 13);
      SetThBuffer(w.b, (std::string(100, 'S') + tag).c_str(), 14);
      std::int32_t zero = 0;
      if (THW_append(w.b, 16, &zero) != 0) _exit(3);
      // What the progress bar would count: appends that returned.
      if (write(done[1], &n, sizeof n) != sizeof n) _exit(4);
    }
  }
  close(done[1]);
  // Read as the appends go, so that the child never waits for the pipe.
  std::int32_t reported = 0, n = 0;
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(900);
  while (std::chrono::steady_clock::now() < end && read(done[0], &n, sizeof n) == sizeof n) reported = n;
  kill(child, SIGKILL);
  int status = 0;
  waitpid(child, &status, 0);
  ASSERT_TRUE(WIFSIGNALED(status));
  while (read(done[0], &n, sizeof n) == sizeof n) reported = n;
  close(done[0]);

  Work r;
  ASSERT_EQ(HamlogOpen(0, r.b, db.c_str(), 1), 0) << HamlogLastError();
  const int count = Vdbf_rcount(r.b);
  EXPECT_GT(reported, 0);
  // At most the one record being appended at the kill is missing from what was reported.
  EXPECT_GE(count, reported);
  EXPECT_LE(count, reported + 1);
  for (int n = 1; n <= count; ++n) {
    ASSERT_EQ(THW_read(r.b, n, 4), 0);
    const std::string tag = std::to_string(n);
    ASSERT_EQ(field(r, 1), "K" + tag);
    ASSERT_EQ(std::string(r.b + thw::kRemarks1Text.offset), std::string(100, 'R') + tag);
    ASSERT_EQ(std::string(r.b + thw::kRemarks2Text.offset), std::string(100, 'S') + tag);
  }
  EXPECT_NE(THW_read(r.b, count + 1, 4), 0);
  HamlogClose(r.b, 1);
}

// The QSO database over SQLite. Every open database has a slot in a small
// table of connections; a block in the work area holds the slot number + 1.
#include "hamlog50/hamlog50.h"

#include <sqlite3.h>
#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <mutex>
#include <string>

#include "hamlog50/thwtext.h"

namespace {

constexpr std::int32_t kVersion = 0x50100;  // reads as version 50100 -> "5"
constexpr int kApplicationId = 0x48444231;  // "HDB1": a file this library made
constexpr int kBusyMs = 1500;
constexpr int kMaxConnections = 64;

thread_local std::string lastError;
thread_local std::string returned;

std::int32_t fail(const std::string& text) {
  lastError = text;
  return -1;
}

const char* const kColumns =
    "call, date, time, f8, f9, qsl, flag, sent, rcvd, freq, mode, f11, f12, rmk1, rmk2, bits";

// Appends are stored in transactions of up to kBatchRecords records or
// kBatchTime, whichever ends first, and at HamlogClose: each record is
// whole or absent, and a full log is stored in a fraction of a second.
constexpr int kBatchRecords = 1024;
constexpr auto kBatchTime = std::chrono::milliseconds(200);

struct Connection {
  sqlite3* db = nullptr;
  sqlite3_stmt* read = nullptr;
  sqlite3_stmt* append = nullptr;
  bool inTxn = false;    // a transaction is open
  bool writing = false;  // ... and it holds the write lock
  int pending = 0;
  std::chrono::steady_clock::time_point since;
};

std::mutex connMutex;
Connection connections[kMaxConnections];

// Ends the open transaction, storing what it holds; false when that failed.
bool finish(Connection& c) {
  if (!c.inTxn) return true;
  c.inTxn = false;
  c.pending = 0;
  if (sqlite3_exec(c.db, "COMMIT", nullptr, nullptr, nullptr) == SQLITE_OK) return true;
  lastError = sqlite3_errmsg(c.db);
  sqlite3_exec(c.db, "ROLLBACK", nullptr, nullptr, nullptr);
  return false;
}

bool begin(Connection& c, bool write) {
  if (sqlite3_exec(c.db, write ? "BEGIN IMMEDIATE" : "BEGIN", nullptr, nullptr, nullptr) != SQLITE_OK) {
    lastError = sqlite3_errmsg(c.db);
    return false;
  }
  c.inTxn = true;
  c.writing = write;
  c.pending = 0;
  c.since = std::chrono::steady_clock::now();
  return true;
}

void closeConnection(Connection& c) {
  if (c.db) finish(c);
  sqlite3_finalize(c.read);
  sqlite3_finalize(c.append);
  sqlite3_close_v2(c.db);
  c = Connection{};
}

bool step(sqlite3_stmt* s, int want, sqlite3* db) {
  const int rc = sqlite3_step(s);
  if (rc != want) {
    lastError = sqlite3_errmsg(db);
    sqlite3_reset(s);
    return false;
  }
  return true;
}

std::int32_t countRecords(sqlite3* db, std::int32_t& count) {
  sqlite3_stmt* s = nullptr;
  if (sqlite3_prepare_v2(db, "SELECT count(*) FROM qso", -1, &s, nullptr) != SQLITE_OK)
    return fail(sqlite3_errmsg(db));
  const bool ok = step(s, SQLITE_ROW, db);
  if (ok) count = static_cast<std::int32_t>(sqlite3_column_int64(s, 0));
  sqlite3_finalize(s);
  return ok ? 0 : -1;
}

// Opens an existing database this library made; the slot number, or -1.
int openDatabase(const char* path) {
  if (!path || !*path) return fail("no database file");
  struct stat st{};
  if (stat(path, &st) != 0) return fail(std::strerror(errno));
  if (!S_ISREG(st.st_mode)) return fail("not a database file");
  sqlite3* db = nullptr;
  if (sqlite3_open_v2(path, &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_FULLMUTEX, nullptr) !=
      SQLITE_OK) {
    lastError = db ? sqlite3_errmsg(db) : "out of memory";
    sqlite3_close_v2(db);
    return -1;
  }
  sqlite3_busy_timeout(db, kBusyMs);
  sqlite3_stmt* s = nullptr;
  int appId = 0;
  if (sqlite3_prepare_v2(db, "PRAGMA application_id", -1, &s, nullptr) == SQLITE_OK &&
      sqlite3_step(s) == SQLITE_ROW)
    appId = sqlite3_column_int(s, 0);
  else
    lastError = sqlite3_errmsg(db);
  sqlite3_finalize(s);
  Connection c;
  c.db = db;
  if (appId != kApplicationId) {
    if (lastError.empty()) lastError = "not a HAMLOG database";
    closeConnection(c);
    return -1;
  }
  // A kill loses at most the record being appended; WAL keeps readers apart.
  sqlite3_exec(db, "PRAGMA synchronous=NORMAL", nullptr, nullptr, nullptr);
  const std::string read = std::string("SELECT ") + kColumns + " FROM qso WHERE id = ?";
  const std::string append = std::string("INSERT INTO qso(") + kColumns +
                             ", added) VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)";
  if (sqlite3_prepare_v3(db, read.c_str(), -1, SQLITE_PREPARE_PERSISTENT, &c.read, nullptr) !=
          SQLITE_OK ||
      sqlite3_prepare_v3(db, append.c_str(), -1, SQLITE_PREPARE_PERSISTENT, &c.append,
                         nullptr) != SQLITE_OK) {
    lastError = sqlite3_errmsg(db);
    closeConnection(c);
    return -1;
  }
  std::lock_guard<std::mutex> lock(connMutex);
  for (int i = 0; i < kMaxConnections; ++i) {
    if (!connections[i].db) {
      connections[i] = c;
      return i;
    }
  }
  closeConnection(c);
  return fail("too many open databases");
}

// The connection a block names, or nullptr.
Connection* connectionOf(const char* block, std::size_t handleAt) {
  const std::int32_t h = thw::getI32(block + handleAt);
  if (h < 1 || h > kMaxConnections) return nullptr;
  std::lock_guard<std::mutex> lock(connMutex);
  Connection* c = &connections[h - 1];
  return c->db ? c : nullptr;
}

// Closes the block's database; false when its last records could not be stored.
bool releaseHandle(char* block, std::size_t handleAt) {
  const std::int32_t h = thw::getI32(block + handleAt);
  thw::setI32(block + handleAt, 0);
  if (h < 1 || h > kMaxConnections) return true;
  std::lock_guard<std::mutex> lock(connMutex);
  if (!connections[h - 1].db) return true;
  const bool stored = finish(connections[h - 1]);
  closeConnection(connections[h - 1]);
  return stored;
}

std::int32_t openBlock(const char* name, char* block) {
  releaseHandle(block, thw::kBlockHandle);
  const int slot = openDatabase(name);
  if (slot < 0) return -1;
  std::int32_t count = 0;
  if (countRecords(connections[slot].db, count) != 0) {
    std::lock_guard<std::mutex> lock(connMutex);
    closeConnection(connections[slot]);
    return -1;
  }
  thw::setI32(block + thw::kBlockHandle, slot + 1);
  thw::setI32(block + thw::kBlockCount, count);
  thw::setI32(block + thw::kBlockRecNo, 0);
  thw::copyText(block + thw::kBlockText, thw::kBlockSize - thw::kBlockText, name);
  return 0;
}

std::int32_t closeBlock(char* block) {
  if (!connectionOf(block, thw::kBlockHandle)) return -1;
  return releaseHandle(block, thw::kBlockHandle) ? 0 : -1;
}

void setRefs(char* work) {
  for (const thw::Ref& r : thw::kRefs) thw::setI32(work + r.ref, static_cast<std::int32_t>(r.text.offset));
}

// Field order of kColumns (but flag and bits), as slots of the work area.
const thw::Slot kTextColumns[] = {thw::kCall,         thw::kDate,      thw::kTime,
                                  thw::kField8,       thw::kField9,    thw::kQsl,
                                  thw::Slot{0, 0},    thw::kSentRst,   thw::kRcvdRstText,
                                  thw::kFreqText,     thw::kModeText,  thw::kField11Text,
                                  thw::kField12Text,  thw::kRemarks1Text, thw::kRemarks2Text};

std::string nowText() {
  const std::time_t t = std::time(nullptr);
  std::tm tm{};
  localtime_r(&t, &tm);
  char buf[32];
  std::strftime(buf, sizeof buf, "%Y/%m/%d %H:%M:%S", &tm);
  return buf;
}

}  // namespace

std::int32_t GetThdllVersion() { return kVersion; }

std::int32_t HamlogOpen(std::int32_t, char* work, const char* path, std::int32_t) {
  if (!work) return fail("no work area");
  lastError.clear();
  setRefs(work);
  return openBlock(path, work + thw::kQsoBlock);
}

std::int32_t HamlogClose(char* work, std::int32_t) {
  if (!work) return -1;
  return closeBlock(work + thw::kQsoBlock);
}

std::int32_t THW_read(char* work, std::int32_t recno, std::int32_t) {
  if (!work) return -1;
  Connection* c = connectionOf(work + thw::kQsoBlock, thw::kBlockHandle);
  if (!c) return fail("database not open");
  setRefs(work);
  // One read transaction for the whole run: no locking per record.
  if (!c->inTxn && !begin(*c, false)) return -1;
  for (const thw::Slot& s : kTextColumns)
    if (s.size) work[s.offset] = '\0';
  thw::setU16(work + thw::kFlag, 0);
  std::memset(work + thw::kBits, 0, thw::kBitsSize);
  sqlite3_bind_int64(c->read, 1, recno);
  const int rc = sqlite3_step(c->read);
  if (rc != SQLITE_ROW) {
    lastError = rc == SQLITE_DONE ? "no such record" : sqlite3_errmsg(c->db);
    sqlite3_reset(c->read);
    return -1;
  }
  int col = 0;
  for (const thw::Slot& s : kTextColumns) {
    if (s.size) {
      const char* p = static_cast<const char*>(sqlite3_column_blob(c->read, col));
      thw::writeText(work, s, p, static_cast<std::size_t>(sqlite3_column_bytes(c->read, col)));
    } else {
      thw::setU16(work + thw::kFlag, static_cast<std::uint16_t>(sqlite3_column_int(c->read, col)));
    }
    ++col;
  }
  const int bits = sqlite3_column_bytes(c->read, col);
  if (const void* p = sqlite3_column_blob(c->read, col))
    std::memcpy(work + thw::kBits, p, std::min<std::size_t>(static_cast<std::size_t>(bits), thw::kBitsSize));
  sqlite3_reset(c->read);
  thw::setI32(work + thw::kQsoBlock + thw::kBlockRecNo, recno);
  return 0;
}

std::int32_t THW_append(char* work, std::int32_t, std::int32_t*) {
  if (!work) return -1;
  Connection* c = connectionOf(work + thw::kQsoBlock, thw::kBlockHandle);
  if (!c) return fail("database not open");
  if (c->inTxn && !c->writing && !finish(*c)) return -1;
  if (!c->inTxn && !begin(*c, true)) return -1;
  int col = 1;
  for (const thw::Slot& s : kTextColumns) {
    if (s.size) {
      // A reference the caller overwrote reads as an empty text.
      const char* base = work;
      sqlite3_bind_blob(c->append, col, base + s.offset, static_cast<int>(thw::textLength(work, s)),
                        SQLITE_TRANSIENT);
    } else {
      sqlite3_bind_int(c->append, col, thw::getU16(work + thw::kFlag));
    }
    ++col;
  }
  sqlite3_bind_blob(c->append, col++, work + thw::kBits, static_cast<int>(thw::kBitsSize), SQLITE_TRANSIENT);
  const std::string stamp = nowText();
  sqlite3_bind_text(c->append, col, stamp.c_str(), -1, SQLITE_TRANSIENT);
  if (!step(c->append, SQLITE_DONE, c->db)) {
    // What the transaction already holds is kept when it is still open.
    if (sqlite3_get_autocommit(c->db)) c->inTxn = false;
    else finish(*c);
    return -1;
  }
  sqlite3_reset(c->append);
  if (++c->pending >= kBatchRecords || std::chrono::steady_clock::now() - c->since >= kBatchTime) {
    if (!finish(*c)) return -1;
  }
  char* block = work + thw::kQsoBlock;
  thw::setI32(block + thw::kBlockCount, thw::getI32(block + thw::kBlockCount) + 1);
  thw::setI32(block + thw::kBlockRecNo, static_cast<std::int32_t>(sqlite3_last_insert_rowid(c->db)));
  return 0;
}

std::int32_t HamlogCreate(const char* path) {
  lastError.clear();
  if (!path || !*path) return fail("no database file");
  struct stat st{};
  if (stat(path, &st) == 0) return fail(std::string(path) + ": " + std::strerror(EEXIST));
  sqlite3* db = nullptr;
  if (sqlite3_open_v2(path, &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_EXCLUSIVE,
                      nullptr) != SQLITE_OK) {
    lastError = db ? sqlite3_errmsg(db) : "out of memory";
    sqlite3_close_v2(db);
    return -1;
  }
  const std::string sql =
      "PRAGMA journal_mode=WAL;"
      "BEGIN;"
      "PRAGMA application_id=" + std::to_string(kApplicationId) + ";"
      "CREATE TABLE qso(id INTEGER PRIMARY KEY, call BLOB, date BLOB, time BLOB, f8 BLOB, f9 BLOB,"
      " qsl BLOB, flag INTEGER, sent BLOB, rcvd BLOB, freq BLOB, mode BLOB, f11 BLOB, f12 BLOB,"
      " rmk1 BLOB, rmk2 BLOB, bits BLOB, added TEXT);"
      "CREATE INDEX qso_call ON qso(call, id);"
      "COMMIT;";
  char* err = nullptr;
  const int rc = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &err);
  if (rc != SQLITE_OK) {
    lastError = err ? err : sqlite3_errmsg(db);
    sqlite3_free(err);
    sqlite3_close_v2(db);
    std::remove(path);
    return -1;
  }
  sqlite3_close_v2(db);
  return 0;
}

const char* HamlogLastError() { return lastError.c_str(); }

// ---- Block calls.

std::int32_t dbf_open(const char* name, char* block) {
  if (!block) return -1;
  lastError.clear();
  return openBlock(name, block);
}

std::int32_t dbf_close(char* block) { return block ? closeBlock(block) : -1; }

std::int32_t dbf_read(char* block, std::int32_t recno, std::int32_t) {
  if (!block || !connectionOf(block, thw::kBlockHandle)) return fail("database not open");
  if (recno < 1 || recno > thw::getI32(block + thw::kBlockCount)) return fail("no such record");
  thw::setI32(block + thw::kBlockRecNo, recno);
  return 0;
}

std::int32_t dbf_write(char*, std::int32_t, std::int32_t) { return fail("records are append-only"); }
std::int32_t dbf_write2(char*, std::int32_t, std::int32_t, std::int32_t, std::int32_t) {
  return fail("records are append-only");
}
std::int32_t dbf_delete(char*, std::int32_t) { return fail("records are append-only"); }
std::int32_t dbf_packwk(char*, std::int32_t, std::int32_t) { return fail("records are append-only"); }

std::int32_t dbf_rsize(char* block) {
  if (!block || !connectionOf(block, thw::kBlockHandle)) return fail("database not open");
  std::int32_t n = 2 + static_cast<std::int32_t>(thw::kBitsSize);
  for (const thw::Slot& s : kTextColumns) n += static_cast<std::int32_t>(s.size);
  return n;
}

const char* Get_lupdate(char* block) {
  returned.clear();
  Connection* c = block ? connectionOf(block, thw::kBlockHandle) : nullptr;
  if (!c) return returned.c_str();
  sqlite3_stmt* s = nullptr;
  if (sqlite3_prepare_v2(c->db, "SELECT added FROM qso ORDER BY id DESC LIMIT 1", -1, &s, nullptr) ==
          SQLITE_OK &&
      sqlite3_step(s) == SQLITE_ROW) {
    if (const unsigned char* t = sqlite3_column_text(s, 0)) returned = reinterpret_cast<const char*>(t);
  }
  sqlite3_finalize(s);
  return returned.c_str();
}

// ---- Index over call signs: the block holds its connection, the current
// record and that record's call sign as the key.

namespace {

constexpr std::size_t kKeySize = thw::kIndexBlockSize - thw::kIndexKey;

std::int32_t indexMove(char* index, const char* sql, bool withKey, const char* key = nullptr) {
  Connection* c = index ? connectionOf(index, thw::kIndexHandle) : nullptr;
  if (!c) return fail("index not open");
  sqlite3_stmt* s = nullptr;
  if (sqlite3_prepare_v2(c->db, sql, -1, &s, nullptr) != SQLITE_OK) return fail(sqlite3_errmsg(c->db));
  if (withKey) {
    const char* k = key ? key : index + thw::kIndexKey;
    sqlite3_bind_blob(s, 1, k, static_cast<int>(strnlen(k, kKeySize)), SQLITE_TRANSIENT);
    sqlite3_bind_int64(s, 2, thw::getI32(index + thw::kIndexRecNo));
  }
  const int rc = sqlite3_step(s);
  std::int32_t result = 1;  // nothing there: the position stays
  if (rc == SQLITE_ROW) {
    thw::setI32(index + thw::kIndexRecNo, static_cast<std::int32_t>(sqlite3_column_int64(s, 0)));
    thw::copyText(index + thw::kIndexKey, kKeySize, static_cast<const char*>(sqlite3_column_blob(s, 1)),
                  static_cast<std::size_t>(sqlite3_column_bytes(s, 1)));
    result = 0;
  } else if (rc != SQLITE_DONE) {
    result = fail(sqlite3_errmsg(c->db));
  }
  sqlite3_finalize(s);
  return result;
}

}  // namespace

std::int32_t idx_open(const char* name, char* index) {
  if (!index) return -1;
  lastError.clear();
  releaseHandle(index, thw::kIndexHandle);
  const int slot = openDatabase(name);
  if (slot < 0) return -1;
  thw::setI32(index + thw::kIndexHandle, slot + 1);
  thw::setI32(index + thw::kIndexRecNo, 0);
  index[thw::kIndexKey] = '\0';
  return 0;
}

std::int32_t idx_close(char* index) {
  if (!index || !connectionOf(index, thw::kIndexHandle)) return -1;
  releaseHandle(index, thw::kIndexHandle);
  return 0;
}

std::int32_t idx_top(char* index) {
  return indexMove(index, "SELECT id, call FROM qso ORDER BY call, id LIMIT 1", false);
}
std::int32_t idx_bottom(char* index) {
  return indexMove(index, "SELECT id, call FROM qso ORDER BY call DESC, id DESC LIMIT 1", false);
}
std::int32_t idx_next(char* index) {
  return indexMove(index,
                   "SELECT id, call FROM qso WHERE call > ?1 OR (call = ?1 AND id > ?2)"
                   " ORDER BY call, id LIMIT 1",
                   true);
}
std::int32_t idx_back(char* index) {
  return indexMove(index,
                   "SELECT id, call FROM qso WHERE call < ?1 OR (call = ?1 AND id < ?2)"
                   " ORDER BY call DESC, id DESC LIMIT 1",
                   true);
}

std::int32_t idx_search(char* index, const char* key, std::int32_t) {
  if (!key) return -1;
  char wanted[kKeySize];
  thw::copyText(wanted, sizeof wanted, key);
  const std::int32_t r = indexMove(
      index, "SELECT id, call FROM qso WHERE call >= ?1 AND ?2 = ?2 ORDER BY call, id LIMIT 1", true, wanted);
  if (r != 0) return r;
  return std::strcmp(index + thw::kIndexKey, wanted) == 0 ? 0 : 1;
}

const char* Idx_ReadKey(char* index, std::int16_t length) {
  returned.clear();
  if (!index || length <= 0) return returned.c_str();
  const std::size_t n = strnlen(index + thw::kIndexKey, kKeySize);
  returned.assign(index + thw::kIndexKey, std::min<std::size_t>(n, static_cast<std::size_t>(length)));
  return returned.c_str();
}

std::int32_t Wget_bit(std::int32_t number, const char* field) {
  if (!field || number < 0 || number >= static_cast<std::int32_t>(thw::kBitsSize * 8)) return -1;
  return (static_cast<unsigned char>(field[number / 8]) >> (number % 8)) & 1;
}

std::int32_t StrToLong(const char* text) {
  if (!text) return 0;
  errno = 0;
  const long v = std::strtol(text, nullptr, 10);
  if (errno == ERANGE || v > INT32_MAX || v < INT32_MIN) return 0;
  return static_cast<std::int32_t>(v);
}

// The QSO database over SQLite. Every open database has a slot in a small
// table of connections; a block in the work area holds the slot number + 1
// and a tag, and the slot remembers which block it was given to.
#include "hamlog50/hamlog50.h"

#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <mutex>
#include <random>
#include <string>

#include "hamlog50/thwtext.h"

namespace {

constexpr std::int32_t kVersion = 0x50100;  // reads as version 50100 -> "5"
constexpr int kApplicationId = 0x48444231;  // "HDB1": a file this library made
constexpr int kBusyMs = 1500;
constexpr int kMaxConnections = 64;
// WAL pages after which a commit copies the log back into the file.
constexpr int kCheckpointPages = 4000;
const char* const kReplacedText = "the database file was deleted or replaced while it was open";

static_assert(thw::kIndexHandle == thw::kBlockHandle && thw::kIndexTag == thw::kBlockTag,
              "index and database blocks keep their handles alike");

thread_local std::string lastError;
thread_local std::string returned;

std::int32_t fail(const std::string& text) {
  lastError = text;
  return -1;
}

const char* const kColumns =
    "call, date, time, f8, f9, qsl, flag, sent, rcvd, freq, mode, f11, f12, rmk1, rmk2, bits";

struct Connection {
  sqlite3* db = nullptr;
  sqlite3_stmt* read = nullptr;
  sqlite3_stmt* append = nullptr;
  const char* owner = nullptr;  // the block the handle was given to
  std::uint16_t tag = 0;
  bool reading = false;   // a read transaction is open
  bool appended = false;  // this connection stored records
  bool aloneTried = false;
  bool replaced = false;  // the file at path is no longer the one opened
  std::string path;
  std::string identity;  // header bytes that tell one database file from another
};

std::mutex connMutex;
Connection connections[kMaxConnections];
std::uint16_t lastTag = 0;

void endRead(Connection& c) {
  if (!c.reading) return;
  c.reading = false;
  sqlite3_exec(c.db, "COMMIT", nullptr, nullptr, nullptr);
}

// Closes the SQLite connection; what the slot knows of the file stays.
void disconnect(Connection& c) {
  if (c.db) endRead(c);
  sqlite3_finalize(c.read);
  sqlite3_finalize(c.append);
  sqlite3_close_v2(c.db);
  c.db = nullptr;
  c.read = c.append = nullptr;
}

void closeConnection(Connection& c) {
  disconnect(c);
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

// Header bytes 60..71 (the number HamlogCreate drew, the application id) as
// the file under the connection holds them now; read through SQLite's own
// descriptor, since closing another one would drop SQLite's locks.
std::string fileIdentity(sqlite3* db) {
  sqlite3_file* f = nullptr;
  if (sqlite3_file_control(db, "main", SQLITE_FCNTL_FILE_POINTER, &f) != SQLITE_OK || !f ||
      !f->pMethods)
    return {};
  char buf[12];
  if (f->pMethods->xRead(f, buf, sizeof buf, 60) != SQLITE_OK) return {};
  return std::string(buf, sizeof buf);
}

// True when the name now leads to another file, or none, or the file was
// overwritten with another database.
bool fileReplaced(Connection& c) {
  int moved = 0;
  if (sqlite3_file_control(c.db, "main", SQLITE_FCNTL_HAS_MOVED, &moved) == SQLITE_OK && moved)
    return true;
  return fileIdentity(c.db) != c.identity;
}

// Copies the log back into the file only while the file is still the one
// opened: a replaced file is left as it is.
int walHook(void* arg, sqlite3* db, const char* name, int pages) {
  auto* c = static_cast<Connection*>(arg);
  if (pages < kCheckpointPages || c->replaced) return SQLITE_OK;
  if (fileReplaced(*c))
    c->replaced = true;
  else
    sqlite3_wal_checkpoint_v2(db, name, SQLITE_CHECKPOINT_PASSIVE, nullptr, nullptr);
  return SQLITE_OK;
}

// Opens the database at path into c: connection and statements; false (with
// lastError) when it is no database of this library. alone: the file is
// taken for this connection only, and refused when anybody else has it open.
bool connect(Connection& c, const char* path, bool alone) {
  sqlite3* db = nullptr;
  if (sqlite3_open_v2(path, &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_FULLMUTEX, nullptr) !=
      SQLITE_OK) {
    lastError = db ? sqlite3_errmsg(db) : "out of memory";
    sqlite3_close_v2(db);
    return false;
  }
  c.db = db;
  if (alone) sqlite3_exec(db, "PRAGMA locking_mode=EXCLUSIVE", nullptr, nullptr, nullptr);
  sqlite3_busy_timeout(db, alone ? 0 : kBusyMs);
  sqlite3_stmt* s = nullptr;
  int appId = 0;
  if (sqlite3_prepare_v2(db, "PRAGMA application_id", -1, &s, nullptr) == SQLITE_OK &&
      sqlite3_step(s) == SQLITE_ROW)
    appId = sqlite3_column_int(s, 0);
  else
    lastError = sqlite3_errmsg(db);
  sqlite3_finalize(s);
  if (appId != kApplicationId) {
    if (lastError.empty()) lastError = "not a HAMLOG database";
    disconnect(c);
    return false;
  }
  // With WAL a commit survives a killed process without waiting for the disk.
  sqlite3_exec(db, "PRAGMA synchronous=NORMAL", nullptr, nullptr, nullptr);
  if (alone) {
    if (sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr) != SQLITE_OK) {
      lastError = sqlite3_errmsg(db);
      disconnect(c);
      return false;
    }
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);  // the lock stays
    sqlite3_busy_timeout(db, kBusyMs);
  }
  const std::string read = std::string("SELECT ") + kColumns + " FROM qso WHERE id = ?";
  const std::string append = std::string("INSERT INTO qso(") + kColumns +
                             ", added) VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)";
  if (sqlite3_prepare_v3(db, read.c_str(), -1, SQLITE_PREPARE_PERSISTENT, &c.read, nullptr) !=
          SQLITE_OK ||
      sqlite3_prepare_v3(db, append.c_str(), -1, SQLITE_PREPARE_PERSISTENT, &c.append,
                         nullptr) != SQLITE_OK) {
    lastError = sqlite3_errmsg(db);
    disconnect(c);
    return false;
  }
  return true;
}

// Opens an existing database this library made for owner; the slot number, or -1.
int openDatabase(const char* path, const char* owner) {
  if (!path || !*path) return fail("no database file");
  struct stat st{};
  if (stat(path, &st) != 0) return fail(std::strerror(errno));
  if (!S_ISREG(st.st_mode)) return fail("not a database file");
  Connection c;
  if (!connect(c, path, false)) return -1;
  c.path = path;
  c.identity = fileIdentity(c.db);
  c.owner = owner;
  std::lock_guard<std::mutex> lock(connMutex);
  for (int i = 0; i < kMaxConnections; ++i) {
    if (!connections[i].db) {
      if (++lastTag == 0) ++lastTag;
      c.tag = lastTag;
      connections[i] = c;
      sqlite3_wal_hook(c.db, walHook, &connections[i]);
      return i;
    }
  }
  closeConnection(c);
  return fail("too many open databases");
}

// An append run keeps the file to itself when nobody else has it open, so
// that its commits take no locks (most of their cost); with others there it
// shares the file. The connection opened for reading is opened anew.
void takeFileAlone(Connection& c) {
  if (c.aloneTried) return;
  c.aloneTried = true;
  if (fileReplaced(c)) {
    c.replaced = true;
    return;
  }
  // Our own lock would stand in the way.
  disconnect(c);
  if (!connect(c, c.path.c_str(), true) && !connect(c, c.path.c_str(), false)) return;
  sqlite3_wal_hook(c.db, walHook, &c);
  if (fileIdentity(c.db) != c.identity) c.replaced = true;
}

// The connection the library gave this very block, or nullptr: a block
// copied, left over or never opened names none.
Connection* connectionOf(const char* block) {
  if (!block) return nullptr;
  const std::int32_t h = thw::getI32(block + thw::kBlockHandle);
  if (h < 1 || h > kMaxConnections) return nullptr;
  std::lock_guard<std::mutex> lock(connMutex);
  Connection* c = &connections[h - 1];
  const bool ours = c->db && c->owner == block && c->tag == thw::getU16(block + thw::kBlockTag);
  return ours ? c : nullptr;
}

void giveHandle(char* block, int slot) {
  thw::setI32(block + thw::kBlockHandle, slot + 1);
  thw::setU16(block + thw::kBlockTag, connections[slot].tag);
}

// Closes the block's database: 0, kFileReplaced, or -1 when it had none.
std::int32_t releaseHandle(char* block) {
  Connection* c = connectionOf(block);
  thw::setI32(block + thw::kBlockHandle, 0);
  thw::setU16(block + thw::kBlockTag, 0);
  if (!c) return -1;
  std::lock_guard<std::mutex> lock(connMutex);
  endRead(*c);
  const bool replaced = c->replaced || fileReplaced(*c);
  // Our log must not be copied into, nor left beside, a file that is not ours.
  if (replaced) sqlite3_db_config(c->db, SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 1, nullptr);
  const bool wrote = c->appended;
  const std::string path = c->path;
  closeConnection(*c);
  if (!replaced) return 0;
  if (wrote)
    for (const char* suffix : {"-wal", "-shm"}) ::unlink((path + suffix).c_str());
  lastError = kReplacedText;
  return thw::kFileReplaced;
}

std::int32_t openBlock(const char* name, char* block) {
  releaseHandle(block);
  const int slot = openDatabase(name, block);
  if (slot < 0) return -1;
  std::int32_t count = 0;
  if (countRecords(connections[slot].db, count) != 0) {
    std::lock_guard<std::mutex> lock(connMutex);
    closeConnection(connections[slot]);
    return -1;
  }
  giveHandle(block, slot);
  thw::setI32(block + thw::kBlockCount, count);
  thw::setI32(block + thw::kBlockRecNo, 0);
  thw::copyText(block + thw::kBlockText, thw::kBlockSize - thw::kBlockText, name);
  return 0;
}

std::int32_t closeBlock(char* block) {
  const std::int32_t rc = releaseHandle(block);
  if (rc < 0) lastError = "database not open";
  return rc;
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
  Connection* c = connectionOf(work + thw::kQsoBlock);
  if (!c) return fail("database not open");
  setRefs(work);
  // One read transaction for the whole run: no locking per record.
  if (!c->reading) {
    if (sqlite3_exec(c->db, "BEGIN", nullptr, nullptr, nullptr) != SQLITE_OK) return fail(sqlite3_errmsg(c->db));
    c->reading = true;
  }
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
  Connection* c = connectionOf(work + thw::kQsoBlock);
  if (!c) return fail("database not open");
  if (c->replaced) {
    lastError = kReplacedText;
    return thw::kFileReplaced;
  }
  endRead(*c);
  takeFileAlone(*c);
  if (!c->db) return -1;
  if (c->replaced) {
    lastError = kReplacedText;
    return thw::kFileReplaced;
  }
  int col = 1;
  for (const thw::Slot& s : kTextColumns) {
    if (s.size) {
      sqlite3_bind_blob(c->append, col, work + s.offset, static_cast<int>(thw::textLength(work, s)),
                        SQLITE_TRANSIENT);
    } else {
      sqlite3_bind_int(c->append, col, thw::getU16(work + thw::kFlag));
    }
    ++col;
  }
  sqlite3_bind_blob(c->append, col++, work + thw::kBits, static_cast<int>(thw::kBitsSize), SQLITE_TRANSIENT);
  const std::string stamp = nowText();
  sqlite3_bind_text(c->append, col, stamp.c_str(), -1, SQLITE_TRANSIENT);
  // Each record is a transaction of its own: stored when this returns 0.
  if (!step(c->append, SQLITE_DONE, c->db)) return -1;
  sqlite3_reset(c->append);
  c->appended = true;
  if (c->replaced) {
    lastError = kReplacedText;
    return thw::kFileReplaced;
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
  // A number of its own tells this file from a copy of another database.
  std::random_device random;
  const std::int32_t identity = static_cast<std::int32_t>(random() | 1u);
  const std::string sql =
      "PRAGMA journal_mode=WAL;"
      "BEGIN;"
      "PRAGMA application_id=" + std::to_string(kApplicationId) + ";"
      "PRAGMA user_version=" + std::to_string(identity) + ";"
      "CREATE TABLE qso(id INTEGER PRIMARY KEY, call BLOB, date BLOB, time BLOB, f8 BLOB, f9 BLOB,"
      " qsl BLOB, flag INTEGER, sent BLOB, rcvd BLOB, freq BLOB, mode BLOB, f11 BLOB, f12 BLOB,"
      " rmk1 BLOB, rmk2 BLOB, bits BLOB, added TEXT);"
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
  if (!block || !connectionOf(block)) return fail("database not open");
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
  if (!block || !connectionOf(block)) return fail("database not open");
  std::int32_t n = 2 + static_cast<std::int32_t>(thw::kBitsSize);
  for (const thw::Slot& s : kTextColumns) n += static_cast<std::int32_t>(s.size);
  return n;
}

const char* Get_lupdate(char* block) {
  returned.clear();
  Connection* c = block ? connectionOf(block) : nullptr;
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
  Connection* c = index ? connectionOf(index) : nullptr;
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
  releaseHandle(index);
  const int slot = openDatabase(name, index);
  if (slot < 0) return -1;
  // The call-sign order is made when first asked for: appends need not keep it.
  sqlite3_exec(connections[slot].db, "CREATE INDEX IF NOT EXISTS qso_call ON qso(call, id)", nullptr, nullptr,
               nullptr);
  giveHandle(index, slot);
  thw::setI32(index + thw::kIndexRecNo, 0);
  index[thw::kIndexKey] = '\0';
  return 0;
}

std::int32_t idx_close(char* index) {
  if (!index || !connectionOf(index)) return -1;
  releaseHandle(index);
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

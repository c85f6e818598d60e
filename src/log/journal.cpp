#include "log/journal.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <thread>
#include <type_traits>
#include <vector>

#include "log/fileio.h"
#include "log/logfile.h"

namespace journal {
namespace {

constexpr char kMagic[8] = {'T', 'M', 'K', 'J', 'R', 'N', 'L', '1'};
constexpr std::size_t kHeaderSize = 24;
constexpr std::uint32_t kEntryTag = 0x454E5452;  // "RTNE" little-endian: one change
constexpr std::size_t kEntryHead = 16;           // tag, count, weight, records
constexpr std::size_t kSlotSize = 4 + logfile::kRecordSize;

std::uint64_t fnv1a(std::string_view bytes, std::uint64_t h = 0xcbf29ce484222325ULL) {
  for (const char c : bytes) {
    h ^= static_cast<unsigned char>(c);
    h *= 0x100000001b3ULL;
  }
  return h;
}

void putU32(std::string& s, std::uint32_t v) {
  for (int k = 0; k < 4; ++k) s.push_back(static_cast<char>((v >> (8 * k)) & 0xFF));
}
void putU64(std::string& s, std::uint64_t v) {
  for (int k = 0; k < 8; ++k) s.push_back(static_cast<char>((v >> (8 * k)) & 0xFF));
}
std::uint32_t getU32(const char* p) {
  std::uint32_t v = 0;
  for (int k = 0; k < 4; ++k) v |= static_cast<std::uint32_t>(static_cast<unsigned char>(p[k])) << (8 * k);
  return v;
}
std::uint64_t getU64(const char* p) {
  std::uint64_t v = 0;
  for (int k = 0; k < 8; ++k) v |= static_cast<std::uint64_t>(static_cast<unsigned char>(p[k])) << (8 * k);
  return v;
}

std::string header(std::uint64_t size, std::uint64_t hash) {
  std::string h(kMagic, sizeof kMagic);
  putU64(h, size);
  putU64(h, hash);
  return h;
}

}  // namespace

std::string pathFor(const std::string& programFolder, const std::string& logFileName) {
  if (logFileName.empty()) return programFolder + "/Log/unsaved.journal";
  return logFileName + ".journal";
}

std::optional<Recovery> read(const std::string& path, std::string_view base) {
  std::string bytes;
  if (!fileio::exists(path) || !fileio::readAll(path, bytes)) return std::nullopt;
  if (bytes.size() < kHeaderSize || std::memcmp(bytes.data(), kMagic, sizeof kMagic) != 0 ||
      getU64(bytes.data() + 8) != base.size() || getU64(bytes.data() + 16) != fnv1a(base))
    return std::nullopt;

  Recovery r;
  r.log.resize(static_cast<int>(std::min<std::size_t>(logfile::wholeRecords(base.size()), kMaxQso)));
  logfile::decodeInto(base.substr(0, static_cast<std::size_t>(r.log.count()) * logfile::kRecordSize),
                      r.log, 1, noProgress());
  std::size_t at = kHeaderSize;
  while (bytes.size() - at >= kEntryHead + 8) {
    const char* e = bytes.data() + at;
    const auto count = static_cast<std::int32_t>(getU32(e + 4));
    const auto weight = static_cast<std::int32_t>(getU32(e + 8));
    const std::uint32_t n = getU32(e + 12);
    if (getU32(e) != kEntryTag || count < 0 || count > kMaxQso || n > static_cast<std::uint32_t>(count))
      break;
    const std::size_t size = kEntryHead + n * kSlotSize;
    if (bytes.size() - at < size + 8 || getU64(e + size) != fnv1a(std::string_view(e, size))) break;
    r.log.resize(count);
    bool sound = true;
    for (std::uint32_t k = 0; k < n && sound; ++k) {
      const char* slot = e + kEntryHead + k * kSlotSize;
      const auto index = static_cast<std::int32_t>(getU32(slot));
      if (index < 1 || index > count) sound = false;
      else r.log[index] = logfile::decodeRecord(slot + 4);
    }
    if (!sound) break;
    r.changes += weight > 0 ? weight : 1;
    at += size + 8;
  }
  if (r.changes == 0) return std::nullopt;
  return r;
}

bool newerThanLog(const std::string& path, const std::string& logPath) {
  struct stat j {}, l {};
  if (::stat(path.c_str(), &j) != 0) return false;
  if (::stat(logPath.c_str(), &l) != 0) return true;
  if (j.st_mtim.tv_sec != l.st_mtim.tv_sec) return j.st_mtim.tv_sec > l.st_mtim.tv_sec;
  return j.st_mtim.tv_nsec >= l.st_mtim.tv_nsec;
}

}  // namespace journal

// Flushes the journal file to disk on a thread of its own, a request at a
// time; requests made while one runs are joined into the next.
class Journal::Flusher {
 public:
  Flusher() : thread_([this] { run(); }) {}
  ~Flusher() {
    {
      std::lock_guard<std::mutex> l(m_);
      stop_ = true;
    }
    wake_.notify_all();
    thread_.join();
  }
  void request(int fd) {
    {
      std::lock_guard<std::mutex> l(m_);
      fd_ = fd;
      pending_ = true;
    }
    wake_.notify_all();
  }
  // Returns once every request is on disk: the file may be closed then.
  void drain() {
    std::unique_lock<std::mutex> l(m_);
    done_.wait(l, [this] { return !pending_ && !busy_; });
  }

 private:
  void run() {
    std::unique_lock<std::mutex> l(m_);
    for (;;) {
      wake_.wait(l, [this] { return stop_ || pending_; });
      if (!pending_) return;
      const int fd = fd_;
      pending_ = false;
      busy_ = true;
      l.unlock();
      ::fdatasync(fd);
      l.lock();
      busy_ = false;
      done_.notify_all();
    }
  }

  std::mutex m_;
  std::condition_variable wake_, done_;
  int fd_ = -1;
  bool pending_ = false, busy_ = false, stop_ = false;
  std::thread thread_;
};

namespace {

constexpr int kBlock = 64;  // records compared at once

static_assert(std::is_trivially_copyable_v<QsoRecord>);

// The operator's data of a record: the marks the search sets are left out.
bool sameData(const QsoRecord& a, const QsoRecord& b) {
  // Most records are untouched copies: one compare settles them.
  if (std::memcmp(&a, &b, sizeof a) == 0) return true;
  return a.QsoNo == b.QsoNo && a.QsoTime == b.QsoTime && a.TestNo == b.TestNo &&
         a.CallSign.view() == b.CallSign.view() && a.Band.view() == b.Band.view() &&
         a.Mode.view() == b.Mode.view() && a.SentRst.view() == b.SentRst.view() &&
         a.SentNo.view() == b.SentNo.view() && a.RcvdRst.view() == b.RcvdRst.view() &&
         a.RcvdNo.view() == b.RcvdNo.view() && a.Reserved.view() == b.Reserved.view() &&
         a.Remarks.view() == b.Remarks.view();
}

bool writeAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

}  // namespace

Journal::Journal() = default;
Journal::~Journal() { closeFile(); }

void Journal::closeFile() {
  if (flusher_) flusher_->drain();
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

void Journal::begin(std::string path, std::string_view base, const LogData& log) {
  closeFile();
  path_ = std::move(path);
  baseSize_ = base.size();
  baseHash_ = journal::fnv1a(base);
  // Until the first change is written the base is the shadow: one copy of
  // the log, not two, when a log is opened.
  base_ = LogData();
  baseIsShadow_ = true;
  shadow_ = log;
  weights_ = 0;
}

std::string Journal::entry(const LogData& log, const LogData& against, int weight,
                           std::vector<int>& changed) const {
  const int n = log.count();
  const int before = against.count();
  std::string e;
  journal::putU32(e, journal::kEntryTag);
  journal::putU32(e, static_cast<std::uint32_t>(n));
  journal::putU32(e, static_cast<std::uint32_t>(weight));
  journal::putU32(e, 0);
  changed.clear();
  const int common = std::min(n, before);
  for (int i = 1; i <= n; ++i) {
    // Untouched runs of records are passed over a block at a time.
    while (i + kBlock - 1 <= common && std::memcmp(&log[i], &against[i], kBlock * sizeof(QsoRecord)) == 0)
      i += kBlock;
    if (i > n) break;
    if (i <= before && sameData(log[i], against[i])) continue;
    changed.push_back(i);
    journal::putU32(e, static_cast<std::uint32_t>(i));
    const std::size_t at = e.size();
    e.resize(at + logfile::kRecordSize);
    logfile::encodeRecord(log[i], e.data() + at);
  }
  if (changed.empty() && n == before) return std::string();
  const auto records = static_cast<std::uint32_t>(changed.size());
  for (int k = 0; k < 4; ++k) e[12 + k] = static_cast<char>((records >> (8 * k)) & 0xFF);
  journal::putU64(e, journal::fnv1a(e));
  return e;
}

bool Journal::record(const LogData& log, std::string* error, int weight) {
  if (path_.empty()) return true;
  std::vector<int> changed;
  const std::string e = entry(log, shadow_, weight, changed);
  if (e.empty()) return true;
  auto fail = [&](std::string text) {
    if (error) *error = path_ + "\r\n" + text;
    return false;
  };
  if (fd_ < 0) {
    // The file holds every change since the base. One already there (the
    // changes offered back at start) is replaced whole, never half.
    const std::string bytes =
        journal::header(baseSize_, baseHash_) + entry(log, baseIsShadow_ ? shadow_ : base_, weights_ + weight, changed);
    if (fileio::exists(path_)) {
      std::string err;
      if (!fileio::writeAtomic(path_, bytes, &err)) return fail(err);
      fd_ = ::open(path_.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
    } else {
      fd_ = ::open(path_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_APPEND | O_CLOEXEC, 0666);
      if (fd_ >= 0 && !writeAll(fd_, bytes)) {
        const int err = errno;
        closeFile();
        ::unlink(path_.c_str());
        return fail(std::strerror(err));
      }
    }
    if (fd_ < 0) return fail(std::strerror(errno));
    if (baseIsShadow_) {
      base_ = std::move(shadow_);
      baseIsShadow_ = false;
    }
    shadow_ = log;
    if (!flusher_) flusher_ = std::make_unique<Flusher>();
    flusher_->request(fd_);
    weights_ += weight;
    return true;
  }
  return append(e, log, changed, weight, error);
}

bool Journal::append(const std::string& e, const LogData& log, const std::vector<int>& changed,
                     int weight, std::string* error) {
  struct stat st {};
  const bool sized = ::fstat(fd_, &st) == 0;
  // Once written the change outlives the program; the disk's own flush
  // (milliseconds) runs beside the window so that typing never waits.
  if (!writeAll(fd_, e)) {
    const int err = errno;
    // A torn entry would hide every later one: cut it off, or start the
    // file anew at the next change.
    if (!sized || ::ftruncate(fd_, st.st_size) != 0) closeFile();
    if (error) *error = path_ + "\r\n" + std::strerror(err);
    return false;
  }
  shadow_.resize(log.count());
  for (const int i : changed) shadow_[i] = log[i];
  if (!flusher_) flusher_ = std::make_unique<Flusher>();
  flusher_->request(fd_);
  weights_ += weight;
  return true;
}

bool Journal::recordAppended(const LogData& log, std::string* error) {
  const int n = log.count();
  if (path_.empty() || fd_ < 0 || n != shadow_.count() + 1) return record(log, error);
  std::string e;
  journal::putU32(e, journal::kEntryTag);
  journal::putU32(e, static_cast<std::uint32_t>(n));
  journal::putU32(e, 1);
  journal::putU32(e, 1);
  journal::putU32(e, static_cast<std::uint32_t>(n));
  const std::size_t at = e.size();
  e.resize(at + logfile::kRecordSize);
  logfile::encodeRecord(log[n], e.data() + at);
  journal::putU64(e, journal::fnv1a(e));
  return append(e, log, std::vector<int>{n}, 1, error);
}

void Journal::sync() {
  if (flusher_) flusher_->drain();
}

void Journal::remove() {
  closeFile();
  if (!path_.empty()) ::unlink(path_.c_str());
}

#include "contest/callhistory.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "log/cp932.h"
#include "log/fileio.h"
#include "log/logcommands.h"
#include "log/logfile.h"
#include "log/qso.h"
#include "log/settings.h"
#include "log/utf8.h"

namespace fs = std::filesystem;
using contest_detail::hashText;

namespace {

constexpr std::string_view kCacheMagic = "TamarackCallHistory 1";

// Control characters (a damaged field, a name with a line break) become
// blanks in fields and "?" in names, so every text fits one line.
std::string withoutControls(std::string_view s, char mark) {
  std::string out(s);
  for (char& c : out)
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = mark;
  return out;
}

// A text field of a record, as the log reader shows it, trimmed.
std::string fieldText(const char* p, std::size_t n) {
  const std::string_view raw(p, n);
  const bool ascii = std::all_of(raw.begin(), raw.end(),
                                 [](char c) { return static_cast<unsigned char>(c) < 0x80; });
  const std::string text = withoutControls(ascii ? std::string(raw) : cp932::decode(raw), ' ');
  return std::string(utf8::trim(text));
}

double timeField(const char* p) {
  std::uint64_t bits = 0;
  for (int i = 7; i >= 0; --i) bits = bits << 8 | static_cast<unsigned char>(p[i]);
  double d;
  std::memcpy(&d, &bits, sizeof d);
  return ole::valid(d) ? d : 0.0;
}

// A name or note as the cache file (CP932, one line) gives it back.
std::string asCached(std::string_view s) {
  return cp932::decode(cp932::encode(withoutControls(s, '?')));
}

// The file's name as the history shows it.
std::string sourceName(const std::string& path) {
  return asCached(fs::path(path).filename().string());
}

std::string noteText(const std::string& path, std::string_view reason) {
  return asCached(path + ": " + std::string(reason));
}

void readLog(const std::string& path, CallHistory& h) {
  const logfile::FileBytes f = logfile::readLogFile(path, kMaxQso);
  switch (f.status) {
    case logfile::ReadStatus::Ok:
      break;
    case logfile::ReadStatus::Missing:
      h.notes.push_back(noteText(path, std::strerror(ENOENT)));
      return;
    case logfile::ReadStatus::Failed:
      h.notes.push_back(noteText(path, f.error));
      return;
    case logfile::ReadStatus::TooMany:
      h.notes.push_back(noteText(path, logtext::kTooManyToRead));
      return;
    case logfile::ReadStatus::NotALog:
      h.notes.push_back(asCached(logtext::notALog(path)));
      return;
  }
  const std::string source = sourceName(path);
  const std::size_t n = logfile::wholeRecords(f.bytes.size());
  for (std::size_t i = 0; i < n; ++i) {
    const char* rec = f.bytes.data() + i * logfile::kRecordSize;
    HistoryEntry e;
    e.CallSign = fieldText(rec + logfile::kOffCallSign, FixedText<13>::kLength);
    e.RcvdNo = fieldText(rec + logfile::kOffRcvdNo, FixedText<10>::kLength);
    if (e.CallSign.empty() || e.RcvdNo.empty()) continue;
    e.QsoTime = timeField(rec + logfile::kOffQsoTime);
    e.Source = source;
    e.FromLog = true;
    h.offer(std::move(e));
  }
}

// "CALL,EXCHANGE" per line (more fields after a second comma are ignored);
// blank lines and lines starting with "#" are passed over, other lines
// without both texts are counted in a note.
void readExchangeFile(const std::string& path, CallHistory& h) {
  std::string bytes, err;
  if (!fileio::readAll(path, bytes, &err)) {
    h.notes.push_back(noteText(path, err));
    return;
  }
  const std::string source = sourceName(path);
  int skipped = 0;
  fileio::forEachLine(cp932::decode(bytes), [&](std::string_view line) {
    const std::string text = withoutControls(line, ' ');
    const std::string_view t = utf8::trim(text);
    if (t.empty() || t.front() == '#') return;
    const std::size_t comma = t.find(',');
    const std::string_view call = utf8::trim(t.substr(0, comma));
    std::string_view exch = comma == std::string_view::npos ? std::string_view() : t.substr(comma + 1);
    exch = utf8::trim(exch.substr(0, exch.find(',')));
    if (call.empty() || exch.empty()) {
      ++skipped;
      return;
    }
    h.offer(HistoryEntry{utf8::toUpperAscii(call), utf8::toUpperAscii(exch), 0, source, false});
  });
  if (skipped > 0)
    h.notes.push_back(noteText(path, std::to_string(skipped) + " 行を読み飛ばしました"));
}

// Names, sizes and change times of the sources: a cache made from other
// sources, or before a file changed, is not used.
std::uint64_t sourcesStamp(const HistorySources& sources) {
  std::uint64_t h = hashText(kCacheMagic);
  auto add = [&](const std::string& path) {
    h = hashText(path, h);
    std::error_code ec;
    const auto size = fs::file_size(path, ec);
    h = hashText(ec ? "-" : std::to_string(size), h);
    const auto time = fs::last_write_time(path, ec);
    h = hashText(ec ? "-" : std::to_string(time.time_since_epoch().count()), h);
  };
  for (const std::string& p : sources.logs) add(p);
  h = hashText("text file", h);
  if (!sources.exchangeFile.empty()) add(sources.exchangeFile);
  return h;
}

std::string stampText(std::uint64_t stamp) {
  char b[17];
  const auto r = std::to_chars(b, b + sizeof b, stamp, 16);
  return std::string(b, r.ptr);
}

std::string cacheText(const CallHistory& h, std::uint64_t stamp) {
  std::string out = std::string(kCacheMagic) + '\t' + stampText(stamp) + '\t' +
                    std::to_string(h.size()) + "\r\n";
  for (const std::string& n : h.notes) out += "N\t" + n + "\r\n";
  for (const HistoryEntry& e : h.entries()) {
    char t[32];
    const auto r = std::to_chars(t, t + sizeof t, e.QsoTime);
    out += (e.FromLog ? "L\t" : "F\t") + e.CallSign + '\t' + e.RcvdNo + '\t' +
           std::string(t, r.ptr) + '\t' + e.Source + "\r\n";
  }
  return cp932::encode(out);
}

std::vector<std::string_view> split(std::string_view line) {
  std::vector<std::string_view> parts;
  for (std::size_t from = 0;;) {
    const std::size_t tab = line.find('\t', from);
    parts.push_back(line.substr(from, tab - from));
    if (tab == std::string_view::npos) return parts;
    from = tab + 1;
  }
}

// The history the cache holds, when it is whole and made from these sources.
bool readCache(const std::string& cachePath, std::uint64_t stamp, CallHistory& h) {
  std::string bytes;
  // A file cut short ends within a line.
  if (!fileio::readAll(cachePath, bytes) || !bytes.ends_with("\r\n")) return false;
  bool ok = true, first = true;
  std::size_t count = 0;
  fileio::forEachLine(cp932::decode(bytes), [&](std::string_view line) {
    if (!ok) return;
    const std::vector<std::string_view> f = split(line);
    if (first) {
      first = false;
      ok = f.size() == 3 && f[0] == kCacheMagic && f[1] == stampText(stamp) &&
           std::from_chars(f[2].data(), f[2].data() + f[2].size(), count).ec == std::errc();
    } else if (f.size() == 2 && f[0] == "N") {
      h.notes.emplace_back(f[1]);
    } else if (f.size() == 5 && (f[0] == "L" || f[0] == "F")) {
      double t = 0;
      ok = std::from_chars(f[3].data(), f[3].data() + f[3].size(), t).ec == std::errc();
      h.offer(HistoryEntry{std::string(f[1]), std::string(f[2]), t, std::string(f[4]), f[0] == "L"});
    } else {
      ok = false;
    }
  });
  return ok && !first && h.size() == count;
}

}  // namespace

const HistoryEntry* CallHistory::find(std::string_view call) const {
  const std::uint32_t p =
      index_.find(hashText(call), [&](std::uint32_t i) { return entries_[i].CallSign == call; });
  return p == contest_detail::FlatIndex::kNone ? nullptr : &entries_[p];
}

void CallHistory::offer(HistoryEntry e) {
  const std::uint64_t h = hashText(e.CallSign);
  const std::uint32_t p =
      index_.find(h, [&](std::uint32_t i) { return entries_[i].CallSign == e.CallSign; });
  if (p == contest_detail::FlatIndex::kNone) {
    index_.insert(h, static_cast<std::uint32_t>(entries_.size()));
    entries_.push_back(std::move(e));
    return;
  }
  HistoryEntry& old = entries_[p];
  const bool later = e.FromLog ? !old.FromLog || e.QsoTime >= old.QsoTime : !old.FromLog;
  if (later) old = std::move(e);
}

std::vector<std::string> LogFilesIn(const std::string& folder) {
  std::vector<std::string> files;
  std::error_code ec;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    std::string ext = it->path().extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    std::error_code kind;
    if (ext == ".tmk" && it->is_regular_file(kind)) files.push_back(it->path().string());
  }
  std::sort(files.begin(), files.end());
  return files;
}

HistorySources HistorySourcesOf(const std::string& programFolder, const Settings& s,
                                const std::string& openLog) {
  auto full = [&](const std::string& p) {
    return fs::path(p).is_absolute() ? p : programFolder + "/" + p;
  };
  auto same = [](const std::string& a, const std::string& b) {
    std::error_code ea, eb;
    const fs::path ca = fs::weakly_canonical(a, ea), cb = fs::weakly_canonical(b, eb);
    return ea || eb ? a == b : ca == cb;
  };
  HistorySources src;
  std::vector<std::string> wanted = LogFilesIn(programFolder + "/Log");
  fileio::forEachLine(s.HistoryLogs, [&](std::string_view line) {
    const std::string_view p = utf8::trim(line);
    if (!p.empty()) wanted.push_back(full(std::string(p)));
  });
  for (const std::string& p : wanted) {
    if (!openLog.empty() && same(p, openLog)) continue;
    if (std::any_of(src.logs.begin(), src.logs.end(), [&](const std::string& q) { return same(p, q); }))
      continue;
    src.logs.push_back(p);
  }
  const std::string_view file = utf8::trim(s.HistoryFile);
  if (!file.empty()) src.exchangeFile = full(std::string(file));
  return src;
}

CallHistory BuildCallHistory(const HistorySources& sources) {
  CallHistory h;
  if (!sources.exchangeFile.empty()) readExchangeFile(sources.exchangeFile, h);
  for (const std::string& path : sources.logs) readLog(path, h);
  return h;
}

std::string CallHistoryCachePath(const std::string& programFolder) {
  return programFolder + "/CallHistory.cache";
}

CallHistory LoadCallHistory(const HistorySources& sources, const std::string& cachePath) {
  const std::uint64_t stamp = sourcesStamp(sources);
  CallHistory cached;
  if (readCache(cachePath, stamp, cached)) return cached;
  CallHistory built = BuildCallHistory(sources);
  fileio::writeAtomic(cachePath, cacheText(built, stamp));
  return built;
}

std::future<CallHistory> StartCallHistory(HistorySources sources, std::string cachePath) {
  return std::async(std::launch::async, [src = std::move(sources), path = std::move(cachePath)] {
    return LoadCallHistory(src, path);
  });
}

std::string HistoryLine(const HistoryEntry& e) {
  return e.CallSign + '\t' + e.RcvdNo + '\t' + (e.FromLog ? ole::formatMinutes(e.QsoTime) : "") +
         '\t' + e.Source;
}

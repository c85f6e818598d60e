#include "app/core/programfolder.h"

#include <stdlib.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <system_error>

#include "log/fileio.h"

namespace fs = std::filesystem;

namespace {

// The digital QSO party's definition as an earlier version shipped it (the
// party ended in 2011): its size and FNV-1a hash.
constexpr const char* kRetiredDqpName = "(8)デジタルＱＳＯパーティー.cfg";
constexpr std::uintmax_t kRetiredDqpSize = 1719;
constexpr std::uint64_t kRetiredDqpHash = 0x2e81c06ba7bf23e2ULL;

std::uint64_t fnv1a(const std::string& bytes) {
  std::uint64_t h = 0xcbf29ce484222325ULL;
  for (const char c : bytes) {
    h ^= static_cast<unsigned char>(c);
    h *= 0x100000001b3ULL;
  }
  return h;
}

// A copy the user has changed, or a file of their own by that name, stays.
void removeRetiredDqp(const fs::path& cfg) {
  const fs::path p = cfg / kRetiredDqpName;
  std::error_code ec;
  if (!fs::is_regular_file(p, ec) || fs::file_size(p, ec) != kRetiredDqpSize || ec) return;
  std::string bytes;
  if (fileio::readAll(p.string(), bytes) && bytes.size() == kRetiredDqpSize &&
      fnv1a(bytes) == kRetiredDqpHash)
    fs::remove(p, ec);
}

}  // namespace

std::string ResolveProgramFolder(const std::vector<std::string>& args, const char* tamarackHome,
                                 const char* xdgDataHome, const char* home) {
  std::string r;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--home" && i + 1 < args.size()) {
      r = args[i + 1];
      break;
    }
    if (args[i].rfind("--home=", 0) == 0) {
      r = args[i].substr(7);
      break;
    }
  }
  if (r.empty() && tamarackHome && *tamarackHome) r = tamarackHome;
  if (r.empty() && xdgDataHome && *xdgDataHome) r = std::string(xdgDataHome) + "/Tamarack";
  if (r.empty()) r = std::string(home && *home ? home : ".") + "/.local/share/Tamarack";
  std::error_code ec;
  fs::path p = fs::absolute(fs::path(r), ec);
  std::string s = ec ? r : p.lexically_normal().string();
  while (s.size() > 1 && s.back() == '/') s.pop_back();
  return s;
}

std::string ShippedDataFolder(const std::string& exeDir) {
  std::error_code ec;
  for (const fs::path& p : {fs::path(exeDir) / "data", fs::path(exeDir) / "../share/tamarack",
                            fs::path(TAMARACK_DATA_DIR)}) {
    if (fs::is_directory(p, ec)) return p.lexically_normal().string();
  }
  return std::string();
}

namespace {

// What was copied of each shipped file: the hash of the copy as made (0:
// not ours, or not known) and of the newer version last told about.
struct Copied {
  std::uint64_t copied = 0;
  std::uint64_t told = 0;
};
using Manifest = std::map<std::string, Copied>;

// One line per file: copied hash, told hash (hex), relative path.
Manifest readManifest(const fs::path& file) {
  Manifest m;
  std::string bytes;
  if (!fileio::readAll(file.string(), bytes)) return m;
  fileio::forEachLine(bytes, [&](std::string_view line) {
    const std::size_t a = line.find('\t');
    const std::size_t b = a == std::string_view::npos ? a : line.find('\t', a + 1);
    if (b == std::string_view::npos) return;
    Copied c;
    c.copied = std::strtoull(std::string(line.substr(0, a)).c_str(), nullptr, 16);
    c.told = std::strtoull(std::string(line.substr(a + 1, b - a - 1)).c_str(), nullptr, 16);
    m[std::string(line.substr(b + 1))] = c;
  });
  return m;
}

std::string manifestText(const Manifest& m) {
  std::string s;
  char hex[40];
  for (const auto& [rel, c] : m) {
    std::snprintf(hex, sizeof hex, "%016llx\t%016llx\t", static_cast<unsigned long long>(c.copied),
                  static_cast<unsigned long long>(c.told));
    s += hex + rel + "\n";
  }
  return s;
}

// Tables the program cannot work without: restored whenever missing.
bool alwaysRestored(const std::string& rel) { return rel == "AdiDxcc.dat" || rel == "TH_DX.dat"; }

void keepShippedCurrent(const fs::path& root, const fs::path& shipped, bool firstStart,
                        FolderPrepared& prepared) {
  const fs::path manifestPath = root / kShippedManifest;
  Manifest m = readManifest(manifestPath);
  const std::string before = manifestText(m);
  std::error_code ec;
  for (auto it = fs::recursive_directory_iterator(shipped, ec);
       !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
    std::error_code e2;
    if (!it->is_regular_file(e2)) continue;
    const std::string rel = fs::relative(it->path(), shipped, e2).generic_string();
    std::string ship;
    if (e2 || rel.empty() || !fileio::readAll(it->path().string(), ship)) continue;
    const std::uint64_t hs = fnv1a(ship);
    const fs::path dst = root / rel;
    const auto known = m.find(rel);
    std::string have;
    const bool present = fs::exists(dst, e2);
    if (present && !fileio::readAll(dst.string(), have)) continue;
    const std::uint64_t hd = present ? fnv1a(have) : 0;
    // Missing: copied unless the operator removed a file once copied.
    // Unchanged since copied: replaced by the shipped version.
    const bool copy = present ? (hd != hs && known != m.end() && known->second.copied == hd)
                              : (firstStart || known == m.end() || alwaysRestored(rel));
    if (present && hd == hs) {
      m[rel] = Copied{hs, 0};
    } else if (copy) {
      fs::create_directories(dst.parent_path(), e2);
      if (fileio::writeAtomic(dst.string(), ship)) m[rel] = Copied{hs, 0};
    } else if (present) {
      // The operator's version stays; a newer shipped one is told once.
      Copied& c = m[rel];
      if (c.told != hs) prepared.keptChanged.push_back(rel);
      c.told = hs;
    }
  }
  if (manifestText(m) != before) fileio::writeAtomic(manifestPath.string(), manifestText(m));
}

}  // namespace

bool PrepareProgramFolder(const std::string& folder, const std::string& shippedData,
                          const std::string& publicCountryFile, std::string* error,
                          FolderPrepared* prepared) {
  std::error_code ec;
  fs::create_directories(folder, ec);
  if (!fs::is_directory(folder, ec)) {
    if (error) *error = ec ? ec.message() : "not a folder";
    return false;
  }
  // Settings, logs and the country file all live here: a folder that takes
  // no file is found now, not at the first save.
  std::string probe = folder + "/.tamarack-XXXXXX";
  const int fd = ::mkstemp(probe.data());
  if (fd < 0) {
    if (error) *error = std::strerror(errno);
    return false;
  }
  ::close(fd);
  ::unlink(probe.c_str());
  const fs::path root(folder);
  FolderPrepared found;
  found.firstStart =
      !fs::exists(root / "Tamarack.ini", ec) && !fs::exists(root / kShippedManifest, ec);
  if (!shippedData.empty() && fs::is_directory(shippedData, ec))
    keepShippedCurrent(root, fs::path(shippedData), found.firstStart, found);
  if (!fs::exists(root / "Cty.dat", ec) && fs::exists(publicCountryFile, ec)) {
    std::error_code e2;
    fs::copy_file(publicCountryFile, root / "Cty.dat", e2);
  }
  if (prepared) *prepared = std::move(found);
  return true;
}

std::string KeptChangedMessage(const FolderPrepared& prepared) {
  std::string s =
      "次のファイルは変更されているため、新しい版に置き換えませんでした"
      "（新しい版はプログラムに同梱されています）：";
  for (const std::string& rel : prepared.keptChanged) s += "\r\n" + rel;
  return s;
}

void RemoveStaleTempFiles(const std::string& folder, const std::string& logFileName) {
  const fs::path root(folder);
  std::vector<fs::path> folders = {root, root / "Log", root / "SentLog", root / "Cfg", root / "Conv"};
  const std::size_t slash = logFileName.rfind('/');
  if (slash != std::string::npos) folders.push_back(fs::path(logFileName.substr(0, slash)));
  const auto limit = fs::file_time_type::clock::now() - std::chrono::minutes(1);
  for (const fs::path& dir : folders) {
    std::error_code ec;
    for (auto it = fs::directory_iterator(dir, ec); !ec && it != fs::directory_iterator();
         it.increment(ec)) {
      std::error_code e2;
      // A save still running in another instance is younger than a minute.
      if (fileio::isTempName(it->path().filename().string()) && it->is_regular_file(e2) &&
          it->last_write_time(e2) < limit && !e2)
        fs::remove(it->path(), e2);
    }
  }
}

std::string ProgramFolderMessage(const std::string& folder, const std::string& error) {
  return "プログラムフォルダ " + folder + " を作成できないか、書き込めません（" + error +
         "）。\r\n書き込めるフォルダを --home で指定して起動してください。";
}

void PrepareWorkFolders(const std::string& folder) {
  const fs::path root(folder);
  std::error_code ec;
  if (!fs::is_directory(root / "SentLog", ec)) fs::create_directory(root / "SentLog", ec);
  if (!fs::is_directory(root / "Log", ec)) fs::create_directory(root / "Log", ec);
  const fs::path cfg = root / "Cfg";
  if (fs::is_directory(cfg, ec)) {
    for (const char* old : {"(0)7MHz拡大記念 QSOパーティー.cfg", "(1)QSOパーティー.cfg",
                            "(3)デジタルＱＳＯパーティー.cfg"}) {
      std::error_code e2;
      if (fs::exists(cfg / old, e2)) fs::remove(cfg / old, e2);
    }
    removeRetiredDqp(cfg);
  } else {
    fs::create_directory(cfg, ec);
  }
}

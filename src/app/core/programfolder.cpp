#include "app/core/programfolder.h"

#include <stdlib.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <filesystem>
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

bool PrepareProgramFolder(const std::string& folder, const std::string& shippedData,
                          const std::string& publicCountryFile, std::string* error) {
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
  const bool firstStart = !fs::exists(root / "Tamarack.ini", ec);
  if (firstStart && !shippedData.empty() && fs::is_directory(shippedData, ec)) {
    for (auto it = fs::recursive_directory_iterator(shippedData, ec);
         !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
      const fs::path rel = fs::relative(it->path(), shippedData, ec);
      if (ec) break;
      const fs::path dst = root / rel;
      std::error_code e2;
      if (it->is_directory(e2)) {
        fs::create_directories(dst, e2);
      } else if (!fs::exists(dst, e2)) {
        fs::create_directories(dst.parent_path(), e2);
        fs::copy_file(it->path(), dst, e2);
      }
    }
    ec.clear();
  }
  // The DXCC table came later than some program folders; give it to them too.
  if (!shippedData.empty() && !fs::exists(root / "AdiDxcc.dat", ec) &&
      fs::exists(fs::path(shippedData) / "AdiDxcc.dat", ec)) {
    std::error_code e2;
    fs::copy_file(fs::path(shippedData) / "AdiDxcc.dat", root / "AdiDxcc.dat", e2);
  }
  if (!fs::exists(root / "Cty.dat", ec) && fs::exists(publicCountryFile, ec)) {
    std::error_code e2;
    fs::copy_file(publicCountryFile, root / "Cty.dat", e2);
  }
  return true;
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

#include "hamlog/hamloglib.h"

#include <dlfcn.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstring>

#include "bridge/wrenlink.h"
#include "log/fileio.h"

namespace {

constexpr const char* kHamlogFile = "libHamlog50.so";
constexpr const char* kBridgeFile = "libWrenlink.so";

std::string executableFolder() {
  char buf[PATH_MAX];
  const ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
  if (n <= 0) return {};
  std::string p(buf, static_cast<std::size_t>(n));
  const auto slash = p.rfind('/');
  return slash == std::string::npos ? std::string() : p.substr(0, slash);
}

}  // namespace

HamlogLibrary::HamlogLibrary(std::vector<std::string> folders) : folders_(std::move(folders)) {}

HamlogLibrary::~HamlogLibrary() {
  // The bridge first: it depends on the database library.
  if (bridge_.handle) dlclose(bridge_.handle);
  if (hamlog_.handle) dlclose(hamlog_.handle);
}

std::vector<std::string> HamlogLibrary::defaultFolders(const std::string& programFolder) {
  std::vector<std::string> f;
  const std::string exe = executableFolder();
  if (!exe.empty()) f.push_back(exe);
  f.push_back(TAMARACK_PRIVATE_LIBDIR);
  if (!programFolder.empty()) f.push_back(programFolder);
  return f;
}

HamlogLibrary& HamlogLibrary::shared(const std::string& programFolder) {
  static HamlogLibrary lib(defaultFolders(programFolder));
  return lib;
}

void* HamlogLibrary::symbol(Lib& lib, const char* file, const char* name) {
  if (!lib.tried) {
    lib.tried = true;
    // The bridge finds the database library already loaded by its name.
    if (&lib == &bridge_ && !hamlog_.tried) symbol(hamlog_, kHamlogFile, nullptr);
    for (const std::string& folder : folders_) {
      const std::string path = folder + "/" + file;
      if (!fileio::exists(path)) continue;
      lib.handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
      if (lib.handle) break;
      if (const char* e = dlerror()) lib.error = e;
    }
    if (!lib.handle && lib.error.empty())
      lib.error = std::string(file) + ": " + std::strerror(ENOENT);
  }
  if (!name) return nullptr;
  if (!lib.handle) throw HamlogError(lib.error);
  dlerror();
  void* f = dlsym(lib.handle, name);
  if (!f) {
    const char* e = dlerror();
    throw HamlogError(e ? e : std::string(name) + ": undefined symbol");
  }
  return f;
}

#define HAMLOG_CALL(lib, file, fn) reinterpret_cast<decltype(&::fn)>(symbol(lib, file, #fn))

std::int32_t HamlogLibrary::GetThdllVersion() {
  try {
    return HAMLOG_CALL(hamlog_, kHamlogFile, GetThdllVersion)();
  } catch (const HamlogError&) {
    return 0;
  }
}

std::int32_t HamlogLibrary::HamlogOpen(ThwWork& w, const std::string& path) {
  return HAMLOG_CALL(hamlog_, kHamlogFile, HamlogOpen)(0, w.bytes, path.c_str(), 1);
}

std::int32_t HamlogLibrary::HamlogClose(ThwWork& w) {
  return HAMLOG_CALL(hamlog_, kHamlogFile, HamlogClose)(w.bytes, 1);
}

std::int32_t HamlogLibrary::THW_read(ThwWork& w, std::int32_t recno) {
  return HAMLOG_CALL(hamlog_, kHamlogFile, THW_read)(w.bytes, recno, 4);
}

std::int32_t HamlogLibrary::THW_append(ThwWork& w) {
  std::int32_t zero = 0;
  return HAMLOG_CALL(hamlog_, kHamlogFile, THW_append)(w.bytes, 16, &zero);
}

std::int32_t HamlogLibrary::HamlogCreate(const std::string& path) {
  return HAMLOG_CALL(hamlog_, kHamlogFile, HamlogCreate)(path.c_str());
}

std::string HamlogLibrary::lastError() {
  try {
    return HAMLOG_CALL(hamlog_, kHamlogFile, HamlogLastError)();
  } catch (const HamlogError& e) {
    return e.what();
  }
}

std::int16_t HamlogLibrary::SetQsoOrMaster(std::int16_t value) {
  return HAMLOG_CALL(bridge_, kBridgeFile, SetQsoOrMaster)(value);
}

std::int32_t HamlogLibrary::Vdbf_rcount(ThwWork& w) {
  return HAMLOG_CALL(bridge_, kBridgeFile, Vdbf_rcount)(w.bytes);
}

std::string HamlogLibrary::ThwString(ThwWork& w, std::int16_t field) {
  char buf[wrenlink::kBufferSize] = {};
  HAMLOG_CALL(bridge_, kBridgeFile, ThwString)(buf, w.bytes, field);
  return std::string(buf, strnlen(buf, sizeof buf));
}

void HamlogLibrary::SetThBuffer(ThwWork& w, std::string_view text, std::int16_t field) {
  auto set = HAMLOG_CALL(bridge_, kBridgeFile, SetThBuffer);
  if (field > 16) {
    char bits[wrenlink::kBitsInput] = {};
    std::memcpy(bits, text.data(), std::min(text.size(), sizeof bits));
    set(w.bytes, bits, field);
    return;
  }
  const std::string t(text);
  set(w.bytes, t.c_str(), field);
}

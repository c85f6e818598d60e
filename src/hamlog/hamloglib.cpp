#include "hamlog/hamloglib.h"

#include <dlfcn.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstring>

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
  if (bridgeLib_.handle) dlclose(bridgeLib_.handle);
  if (hamlogLib_.handle) dlclose(hamlogLib_.handle);
}

std::vector<std::string> HamlogLibrary::defaultFolders(const std::string& programFolder) {
  std::vector<std::string> f;
  const std::string exe = executableFolder();
  if (!exe.empty()) f.push_back(exe);
  if (!exe.empty()) f.push_back(exe + "/" TAMARACK_PRIVATE_LIBDIR_FROM_BIN);
  f.push_back(TAMARACK_PRIVATE_LIBDIR);
  if (!programFolder.empty()) f.push_back(programFolder);
  return f;
}

HamlogLibrary& HamlogLibrary::shared(const std::string& programFolder) {
  static HamlogLibrary lib(defaultFolders(programFolder));
  return lib;
}

namespace {
// Resolves one export; false (with the loader's text) when it is missing.
template <typename F>
bool resolve(void* handle, const char* name, F& fn, std::string& error) {
  dlerror();
  fn = reinterpret_cast<F>(dlsym(handle, name));
  if (fn) return true;
  const char* e = dlerror();
  error = e ? e : std::string(name) + ": undefined symbol";
  return false;
}
}  // namespace

bool HamlogLibrary::load(Lib& lib, const char* file, const std::function<bool(Lib&)>& resolveAll) {
  if (lib.tried) return lib.handle != nullptr;
  lib.tried = true;
  for (const std::string& folder : folders_) {
    const std::string path = folder + "/" + file;
    if (!fileio::exists(path)) continue;
    lib.handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (lib.handle) break;
    if (const char* e = dlerror()) lib.error = e;
  }
  if (!lib.handle) {
    if (lib.error.empty()) lib.error = std::string(file) + ": " + std::strerror(ENOENT);
    return false;
  }
  if (resolveAll(lib)) return true;
  dlclose(lib.handle);
  lib.handle = nullptr;
  return false;
}

#define THW_RESOLVE(lib, fns, f) resolve(lib.handle, #f, fns.f, lib.error)

const HamlogLibrary::HamlogFns& HamlogLibrary::hamlog() {
  load(hamlogLib_, kHamlogFile, [this](Lib& lib) {
    return THW_RESOLVE(lib, hamlog_, GetThdllVersion) && THW_RESOLVE(lib, hamlog_, HamlogOpen) &&
           THW_RESOLVE(lib, hamlog_, HamlogClose) && THW_RESOLVE(lib, hamlog_, THW_read) &&
           THW_RESOLVE(lib, hamlog_, THW_append) && THW_RESOLVE(lib, hamlog_, HamlogCreate) &&
           THW_RESOLVE(lib, hamlog_, HamlogLastError);
  });
  if (!hamlogLib_.handle) throw HamlogError(hamlogLib_.error);
  return hamlog_;
}

const HamlogLibrary::BridgeFns& HamlogLibrary::bridge() {
  if (!bridgeLib_.tried) {
    // The bridge finds the database library already loaded, by its name.
    try {
      hamlog();
    } catch (const HamlogError&) {
    }
    load(bridgeLib_, kBridgeFile, [this](Lib& lib) {
      return THW_RESOLVE(lib, bridge_, SetQsoOrMaster) && THW_RESOLVE(lib, bridge_, Vdbf_rcount) &&
             THW_RESOLVE(lib, bridge_, ThwString) && THW_RESOLVE(lib, bridge_, SetThBuffer);
    });
  }
  if (!bridgeLib_.handle) throw HamlogError(bridgeLib_.error);
  return bridge_;
}

std::int32_t HamlogLibrary::GetThdllVersion() {
  try {
    return hamlog().GetThdllVersion();
  } catch (const HamlogError&) {
    return 0;
  }
}

std::int32_t HamlogLibrary::HamlogOpen(ThwWork& w, const std::string& path) {
  return hamlog().HamlogOpen(0, w.bytes, path.c_str(), 1);
}

std::int32_t HamlogLibrary::HamlogClose(ThwWork& w) {
  return hamlog().HamlogClose(w.bytes, 1);
}

std::int32_t HamlogLibrary::THW_read(ThwWork& w, std::int32_t recno) {
  return hamlog().THW_read(w.bytes, recno, 4);
}

std::int32_t HamlogLibrary::THW_append(ThwWork& w) {
  std::int32_t zero = 0;
  return hamlog().THW_append(w.bytes, 16, &zero);
}

std::int32_t HamlogLibrary::HamlogCreate(const std::string& path) {
  return hamlog().HamlogCreate(path.c_str());
}

std::string HamlogLibrary::lastError() {
  try {
    return hamlog().HamlogLastError();
  } catch (const HamlogError& e) {
    return e.what();
  }
}

std::int16_t HamlogLibrary::SetQsoOrMaster(std::int16_t value) {
  return bridge().SetQsoOrMaster(value);
}

std::int32_t HamlogLibrary::Vdbf_rcount(ThwWork& w) {
  return bridge().Vdbf_rcount(w.bytes);
}

std::string HamlogLibrary::ThwString(ThwWork& w, std::int16_t field) {
  char buf[wrenlink::kBufferSize] = {};
  bridge().ThwString(buf, w.bytes, field);
  return std::string(buf, strnlen(buf, sizeof buf));
}

void HamlogLibrary::SetThBuffer(ThwWork& w, std::string_view text, std::int16_t field) {
  auto set = bridge().SetThBuffer;
  if (field > 16) {
    char bits[wrenlink::kBitsInput] = {};
    std::memcpy(bits, text.data(), std::min(text.size(), sizeof bits));
    set(w.bytes, bits, field);
    return;
  }
  const std::string t(text);
  set(w.bytes, t.c_str(), field);
}

// The QSO database library and its bridge, loaded by name at their first
// use from a list of folders (beside the executable, the private library
// folder, the program folder). A library that cannot be loaded reads as
// version 0; any other call to it throws HamlogError with the loader's text.
#pragma once
#include <cstdint>
#include <stdexcept>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "bridge/wrenlink.h"
#include "hamlog50/hamlog50.h"

// The caller-owned work area every call passes.
struct ThwWork {
  alignas(8) char bytes[thw::kThwWorkSize] = {};
};

class HamlogError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class HamlogLibrary {
 public:
  explicit HamlogLibrary(std::vector<std::string> folders);
  ~HamlogLibrary();
  HamlogLibrary(const HamlogLibrary&) = delete;
  HamlogLibrary& operator=(const HamlogLibrary&) = delete;

  // Beside the executable, the private library folder, the program folder.
  static std::vector<std::string> defaultFolders(const std::string& programFolder);
  // The library the windows use, over defaultFolders(programFolder) of the first call.
  static HamlogLibrary& shared(const std::string& programFolder);

  // ---- The database library.
  std::int32_t GetThdllVersion();  // 0 when it cannot be loaded
  std::int32_t HamlogOpen(ThwWork& w, const std::string& path);
  std::int32_t HamlogClose(ThwWork& w);
  std::int32_t THW_read(ThwWork& w, std::int32_t recno);
  std::int32_t THW_append(ThwWork& w);
  std::int32_t HamlogCreate(const std::string& path);
  // The text of the library's last failure.
  std::string lastError();

  // ---- The bridge.
  std::int16_t SetQsoOrMaster(std::int16_t value);
  std::int32_t Vdbf_rcount(ThwWork& w);
  // The field's text read into an 80-byte buffer, cut at the first NUL.
  std::string ThwString(ThwWork& w, std::int16_t field);
  // Fields above 16 take exactly 51 bytes: text is cut or padded with NULs.
  void SetThBuffer(ThwWork& w, std::string_view text, std::int16_t field);

 private:
  struct Lib {
    void* handle = nullptr;
    bool tried = false;
    std::string error;
  };
#define THW_FN(f) decltype(&::f) f = nullptr;
  // Resolved once, when the library is loaded.
  struct HamlogFns {
    THW_FN(GetThdllVersion) THW_FN(HamlogOpen) THW_FN(HamlogClose) THW_FN(THW_read)
    THW_FN(THW_append) THW_FN(HamlogCreate) THW_FN(HamlogLastError)
  };
  struct BridgeFns {
    THW_FN(SetQsoOrMaster) THW_FN(Vdbf_rcount) THW_FN(ThwString) THW_FN(SetThBuffer)
  };
#undef THW_FN
  const HamlogFns& hamlog();
  const BridgeFns& bridge();
  // Opens `file` once, from the first folder that has it, and resolves its
  // exports with `resolveAll`; a library that lacks one is closed again.
  bool load(Lib& lib, const char* file, const std::function<bool(Lib&)>& resolveAll);
  std::vector<std::string> folders_;
  Lib hamlogLib_, bridgeLib_;
  HamlogFns hamlog_;
  BridgeFns bridge_;
};

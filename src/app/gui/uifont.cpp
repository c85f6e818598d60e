#include "app/gui/uifont.h"

#include <dlfcn.h>

// Fontconfig is the library Qt itself draws with; it is reached by name, so
// that the program needs no headers of its own for it.
std::string JapaneseSansFamily() {
  using Pattern = void;
  const auto sym = [](const char* name) { return dlsym(RTLD_DEFAULT, name); };
  const auto init = reinterpret_cast<int (*)()>(sym("FcInit"));
  const auto parse = reinterpret_cast<Pattern* (*)(const unsigned char*)>(sym("FcNameParse"));
  const auto substitute = reinterpret_cast<int (*)(void*, Pattern*, int)>(sym("FcConfigSubstitute"));
  const auto defaults = reinterpret_cast<void (*)(Pattern*)>(sym("FcDefaultSubstitute"));
  const auto match = reinterpret_cast<Pattern* (*)(void*, Pattern*, int*)>(sym("FcFontMatch"));
  const auto getString = reinterpret_cast<int (*)(Pattern*, const char*, int, unsigned char**)>(
      sym("FcPatternGetString"));
  const auto getLangs = reinterpret_cast<int (*)(Pattern*, const char*, int, void**)>(
      sym("FcPatternGetLangSet"));
  const auto hasLang = reinterpret_cast<int (*)(void*, const unsigned char*)>(sym("FcLangSetHasLang"));
  const auto destroy = reinterpret_cast<void (*)(Pattern*)>(sym("FcPatternDestroy"));
  if (!init || !init() || !parse || !substitute || !defaults || !match || !getString ||
      !getLangs || !hasLang || !destroy)
    return {};
  constexpr int kMatchPattern = 0, kResultMatch = 0, kLangDifferentLang = 2;
  Pattern* asked = parse(reinterpret_cast<const unsigned char*>("sans-serif:lang=ja"));
  if (!asked) return {};
  substitute(nullptr, asked, kMatchPattern);
  defaults(asked);
  int result = 0;
  Pattern* found = match(nullptr, asked, &result);
  destroy(asked);
  if (!found) return {};
  std::string family;
  unsigned char* name = nullptr;
  void* langs = nullptr;
  if (getLangs(found, "lang", 0, &langs) == kResultMatch &&
      hasLang(langs, reinterpret_cast<const unsigned char*>("ja")) != kLangDifferentLang &&
      getString(found, "family", 0, &name) == kResultMatch && name)
    family = reinterpret_cast<const char*>(name);
  destroy(found);
  return family;
}


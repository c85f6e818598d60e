// Settings file: any bytes are read; what is written reads back the same
// and is written again byte for byte.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "log/settingsfile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  Settings s;
  IniParse(std::string_view(reinterpret_cast<const char*>(data), size), s);
  const std::string first = IniFormat(s);
  Settings back;
  IniParse(first, back);
  if (IniFormat(back) != first) __builtin_trap();
  return 0;
}

#include <cstdint>
#include <string>
#include "log/settings.h"
#include "contest/contestdef.h"
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* d, size_t n) {
  ContestDefinition def;
  Settings s;
  CfgApplyText(std::string_view(reinterpret_cast<const char*>(d), n), def, &s);
  std::int16_t v;
  CfgParseInt16(std::string_view(reinterpret_cast<const char*>(d), n), v);
  return 0;
}

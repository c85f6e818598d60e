#include <cstdint>
#include <string>
#include "contest/cty.h"
#include "log/cp932.h"
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* d, size_t n) {
  std::string text = cp932::decode(std::string_view(reinterpret_cast<const char*>(d), n));
  CtyTables t;
  std::string err;
  CtyParse(text, t, &err);
  std::string e, c;
  for (size_t i = 0; i + 1 < text.size() && i < 64; i += 7) t.EntitySearch(std::string_view(text).substr(i, 12), e, c);
  return 0;
}

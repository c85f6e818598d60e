// Cabrillo reader: any text, any column settings; the sample and marking
// helpers of the dialog too.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include <vector>

#include "log/cabrillo.h"
#include "log/utf8.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 7) return 0;
  CabColumns c;
  // The first bytes choose the settings, the rest is the file.
  c.CabSrstPos = static_cast<std::int16_t>(data[0] % 90);
  c.CabSRptPos = static_cast<std::int16_t>(data[1] % 90);
  c.CabHCallPos = static_cast<std::int16_t>(data[2] % 90);
  c.CabRrstPos = static_cast<std::int16_t>(data[3] % 90);
  c.CabRRptPos = static_cast<std::int16_t>(data[4] % 90);
  c.CabCallLen = static_cast<std::int16_t>(static_cast<std::int8_t>(data[5]));
  c.CabRptLen = static_cast<std::int16_t>(static_cast<std::int8_t>(data[6]));
  const std::string_view bytes(reinterpret_cast<const char*>(data + 7), size - 7);

  const std::string sample = CabSampleLine(bytes);
  std::vector<int> owner(utf8::length(sample), -1);
  for (int k = 0; k < cabrillo::kFieldCount; ++k) {
    (void)CabShowField(sample, c, k);
    const CabSpan s = CabFieldSpan(c, k);
    CabMarkColumns(owner, k, s.start, s.length);
  }
  LogData log;
  const ImportResult r = CabConvert(bytes, c, log, noProgress());
  if (log.count() != r.appended) __builtin_trap();
  for (int i = 1; i <= log.count(); ++i) {
    if (log[i].QsoNo != i) __builtin_trap();
    if (log[i].RcvdNo.view().find('\t') != std::string_view::npos) __builtin_trap();
    (void)ole::formatSeconds(log[i].QsoTime);
  }
  return 0;
}

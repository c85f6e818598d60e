// CSV reader: any bytes; what is read and written again reads back the same.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "log/cp932.h"
#include "log/csv.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  LogData log;
  const ImportResult r = CsvParse(bytes, log, noProgress());
  if (log.count() != r.appended) __builtin_trap();
  LogData back;
  const ImportResult again = CsvParse(cp932::encode(CsvFormat(log, noProgress())), back, noProgress());
  if (again.failed) __builtin_trap();
  if (back.count() != log.count()) __builtin_trap();
  for (int i = 1; i <= back.count(); ++i) {
    // Fields are written trimmed.
    if (back[i].CallSign.trimmed() != log[i].CallSign.trimmed() ||
        back[i].Remarks.trimmed() != log[i].Remarks.trimmed() ||
        back[i].QsoNo != log[i].QsoNo || back[i].Points != log[i].Points)
      __builtin_trap();
    if (ole::valid(log[i].QsoTime) && back[i].QsoTime != log[i].QsoTime) __builtin_trap();
  }
  return 0;
}

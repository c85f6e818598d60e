// Log file: any bytes are read (or refused as no log); what is read is
// appended to itself, saved, and the saved file reads back the same.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "log/logfile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  if (size > logfile::kMaxFileBytes || !logfile::isLogBytes(bytes)) return 0;
  const int n = static_cast<int>(logfile::wholeRecords(size));
  LogData log;
  log.resize(n);
  logfile::decodeInto(bytes, log, 1, noProgress());
  // Append: the same records once more, as the append command reads them.
  if (2 * n <= kMaxQso) {
    log.resize(2 * n);
    logfile::decodeInto(bytes, log, n + 1, noProgress());
  }
  const std::int16_t testNo = n > 0 ? log[1].TestNo : 0;
  const std::string saved = logfile::encodeLog(log, testNo, noProgress());
  // Whatever the program saves is a log it reopens, unchanged.
  if (!logfile::isLogBytes(saved)) __builtin_trap();
  LogData back;
  back.resize(static_cast<int>(logfile::wholeRecords(saved.size())));
  logfile::decodeInto(saved, back, 1, noProgress());
  if (back.count() != log.count()) __builtin_trap();
  if (logfile::encodeLog(back, testNo, noProgress()) != saved) __builtin_trap();
  return 0;
}

// zLog reader: any bytes append at most the log's room, each record sound.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "log/zlog.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  LogData log;
  // Some runs start near the limit, so the stop at it is reached too.
  if (size > 0 && data[0] == 0xFF) log.resize(kMaxQso - 2);
  const int before = log.count();
  const ImportResult r = ZlogConvert(bytes, log, noProgress());
  if (log.count() != before + r.appended || log.count() > kMaxQso) __builtin_trap();
  for (int i = before + 1; i <= log.count(); ++i) {
    if (log[i].QsoNo != i) __builtin_trap();
    if (log[i].CallSign.view().find('\t') != std::string_view::npos) __builtin_trap();
    (void)ole::formatSeconds(log[i].QsoTime);
  }
  return 0;
}

// What every importer (zLog, Cabrillo, CSV) reports back, and the texts they
// share.
#pragma once
#include <string>
#include <string_view>

struct ImportResult {
  int appended = 0;      // QSOs added to the log
  bool limited = false;  // stopped because the log reached kMaxQso
  bool failed = false;   // stopped at an error; error holds its description
  std::string error;
};

namespace importtext {
inline constexpr std::string_view kNoFile = "ファイルがありません！";
// The log can hold no more QSOs: what was read so far stays.
std::string limitReached(int appended);
}  // namespace importtext

// The pieces both electronic-log formats are written with.
#pragma once
#include <functional>
#include <string>
#include <string_view>

#include "log/oledate.h"
#include "output/elog.h"

class Progress;

struct ContestDefinition;

namespace elog::parts {

inline constexpr std::string_view kCrLf = "\r\n";

bool isAscii(std::string_view s);
// Appends UTF-8 text as CP932.
void appendCp932(std::string& out, std::string_view s);
// "yyyy-mm-dd hh:nn " (17 characters; blanks for a time that is no date).
void appendQsoTime(std::string& out, ole::Date t);
// A station-data value: every control byte (a bare CR, ESC, TAB, ...) becomes
// a blank, so no value can break the sheet's lines; in a multi-line value CR
// LF and LF stay line breaks, each written CR LF.
enum class Lines { One, Kept };
void appendValue(std::string& out, std::string_view v, Lines lines);
// "<TAG>value</TAG>" and its line end; the second only for a value that is
// not blank.
void element(std::string& out, std::string_view tag, std::string_view value,
             Lines lines = Lines::One);
void elementIfSet(std::string& out, std::string_view tag, std::string_view value);
// The two parties count QSOs only.
bool partyStyle(const ContestDefinition& def);
// The log sheet: the opening tag, the column titles, one line a QSO that
// appendLine adds (each QSO reported to progress as "No CALL"), the closing
// tag; all with CR LF. False, with out as it stands, at the first QSO
// appendLine refuses.
bool appendLogSheet(std::string& out, const LogData& log, std::string_view openTag,
                    std::string_view titles, Progress& progress,
                    const std::function<bool(std::string& out, const QsoRecord& r)>& appendLine);
// Writes what make gives to path, replaced whole; a text make refuses with
// leaves the file there as it was. The progress is finished in every case.
ElogResult writeElogFile(const std::string& path, Progress& progress,
                         const std::function<ElogBytesResult()>& make);

}  // namespace elog::parts

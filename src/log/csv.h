// CSV export and import of the log: one line per QSO, the 13 grid columns in
// grid order, every field in double quotes, CP932 with CR LF.
#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "log/import.h"
#include "log/progress.h"
#include "log/qso.h"

namespace csv {
constexpr int kFieldCount = 13;

// One field quoted, embedded double quotes doubled.
void appendQuoted(std::string& out, std::string_view field);

// The fields of one line (RFC 4180 quoting within the line). `pos` starts at
// a line and is left after its line end, which always ends the record. Files
// written without escaping read as before: a double quote that does not open
// or close a quoted field is dropped, and a line whose quotes do not balance
// has every double quote removed and is split at every comma.
std::vector<std::string> nextRecord(std::string_view text, std::size_t& pos);

// A numeric field: decimal, a fraction rounded half to even, within 16 bits.
// An empty field is 0. False when it is no such number.
bool parseInt16(std::string_view text, std::int16_t& out);
}  // namespace csv

// The file's text (UTF-8 fields; the caller encodes) of records 1..count.
std::string CsvFormat(const LogData& log, Progress& progress);

// Writes the log to path as CP932, replacing a file there only once the new
// one is complete. False with the error's text.
bool CsvWrite(const std::string& path, const LogData& log, Progress& progress,
              std::string* error = nullptr);

// Appends one record per line of the file's bytes (CP932) to log. Blank
// lines are no QSOs; fields beyond the 13th are ignored; missing ones stay
// empty or 0. A numeric or date field that cannot be read stops the reading
// (failed, the line named in error); the records before it stay. Stops when
// the log is full (limited).
ImportResult CsvParse(std::string_view bytes, LogData& log, Progress& progress);

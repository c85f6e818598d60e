// zLog log files (.zlo): 256-byte records, the first a header, the others
// one QSO each.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "log/import.h"
#include "log/progress.h"
#include "log/qso.h"

namespace zlog {

constexpr std::size_t kRecordSize = 256;

// Byte offsets within a QSO record.
enum Offset : std::size_t {
  kOffTime = 0,       // double, days since 1899-12-30
  kOffCallSign = 8,   // length byte, then up to 12 characters
  kOffSentNo = 21,    // length byte, then up to 30 characters
  kOffRcvdNo = 52,    // length byte, then up to 31 characters
  kOffSentRst = 84,   // signed 16-bit
  kOffRcvdRst = 86,   // signed 16-bit
  kOffMode = 92,
  kOffBand = 93,
};

// Records in a file of `bytes` bytes: length / 256 rounded to the nearest
// whole number (half to even). Record 1 is the header.
std::int64_t RecordCount(std::uint64_t bytes);

// The count label: "ログデータがありません" when n < 2, else n − 1 in
// full-width digits + " 件のログデータがあります".
std::string CountText(std::int64_t n);

// Band and mode texts of the codes; empty for a code outside the tables.
std::string_view BandOf(unsigned code);
std::string_view ModeOf(unsigned code);

}  // namespace zlog

// The calendar date and time of a zLog time value, truncated to whole
// seconds, no zone shift. False for a value that is no date of the years
// 100..9999 (NaN, infinities, absurd magnitudes).
bool ZlogTimeToDate(double t, ole::Date& out);

// One QSO record to a log record (QsoNo left 0). `rec` holds kRecordSize
// bytes.
QsoRecord ZlogConvertRecord(const char* rec);

// Appends the QSO records (2 .. n) of a zLog file's bytes to the log in
// file order, numbered after the existing ones. A partial last record counts
// as filled with zero bytes. Stops when the log is full (limited). Reports
// each QSO to progress. LogDirty is the caller's.
ImportResult ZlogConvert(std::string_view bytes, LogData& log, Progress& progress);

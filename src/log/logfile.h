// The program's own log file (.tmk): no header, no trailer, one record of
// exactly 101 bytes per QSO in log order. Integers are little-endian, the
// QSO time is an OLE date double, text fields are CP932 cut to their byte
// width (never through a double-byte character) or padded with blanks.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "log/progress.h"
#include "log/qso.h"

namespace logfile {

constexpr std::size_t kRecordSize = 101;

// Byte offsets of the fields within a record.
enum Offset : std::size_t {
  kOffQsoNo = 0,
  kOffBand = 2,
  kOffMode = 7,
  kOffDupe = 13,
  kOffQsoTime = 15,
  kOffCallSign = 23,
  kOffSentRst = 36,
  kOffSentNo = 40,
  kOffRcvdRst = 50,
  kOffRcvdNo = 54,
  kOffPoints = 64,
  kOffMlt = 66,
  kOffReserved = 73,
  kOffRemarks = 79,
  kOffTestNo = 99,
};

// Writes the 101 bytes of r to out. What the reader would refuse is never
// written: control characters become blanks, a time that is no date 0.
void encodeRecord(const QsoRecord& r, char* out);

// Reads a record from 101 bytes. Made safe for a file written elsewhere:
// bytes that are no CP932 character (half characters included) are dropped,
// control bytes read as blanks (a tab would split a grid row), and a time
// that is no valid date (NaN, infinite, outside the years 100..9999) reads
// as 0, 1899-12-30 00:00, so that sorting, searching and formatting stay
// sound; the operator sees the odd date in the grid and can correct it.
QsoRecord decodeRecord(const char* in);

// The file's bytes for records 1..log.count(); record 1 carries testNo.
// Reports each record to progress.
std::string encodeLog(const LogData& log, std::int16_t testNo, Progress& progress);

// True when the bytes can be a log file this program wrote: in every record,
// a torn last one included, the text fields hold no control byte (NUL
// padding aside) and no byte CP932 never uses, and the time is a valid date. Text of another format
// (line ends inside text fields, letters where the time sits) is no log.
bool isLogBytes(std::string_view bytes);

// The text fields of records 1..count holding a character CP932 cannot
// express (saved as "?"): each field once, by its grid caption, with the
// number of the first record that has it, e.g. "備考 (No.12)".
std::vector<std::string> UnencodableFields(const LogData& log);

// Number of whole records in a file of `bytes` bytes. A partial last record
// (the program never writes one) is left out.
inline std::size_t wholeRecords(std::size_t bytes) { return bytes / kRecordSize; }

// Largest file that can still hold a log of kMaxQso records.
constexpr std::size_t kMaxFileBytes = kRecordSize * (kMaxQso + 1) - 1;

// Decodes the whole records of bytes into out[first .. first+n-1]; out must
// already have room. Reports each record to progress (1..n).
void decodeInto(std::string_view bytes, LogData& out, int first, Progress& progress);

// What reading a log file found.
enum class ReadStatus {
  Ok,       // bytes hold the file; wholeRecords(bytes.size()) records fit the room
  Missing,  // no such file
  TooMany,  // more whole records than the room (told before the file is read)
  NotALog,  // the bytes are no log's records (another format's text)
  Failed,   // the file cannot be read; error holds the system's text
};
struct FileBytes {
  ReadStatus status = ReadStatus::Failed;
  std::string bytes;
  std::string error;
};
// The one way a log file is read: a file with more whole records than room
// is refused before it is read, then the bytes are read and checked.
FileBytes readLogFile(const std::string& path, std::size_t room);

// The last records of a log file and how many whole records it holds: what
// the window shows while the whole log is read. Empty (total 0) when the
// file is missing, unreadable, larger than a log or not a log.
struct LogTail {
  int total = 0;
  std::vector<QsoRecord> records;  // the last ones, in the file's order
};
LogTail readLogTail(const std::string& path, int count);

// The name a log is saved under, from the path chosen in the save dialog:
// after the last "/", everything from the first "." on is replaced by
// ".tmk" ("abc.def.txt" -> "abc.tmk"); a name without "." gets ".tmk".
// Dots in folder names are kept ("a.b/c" -> "a.b/c.tmk").
std::string SaveName(std::string_view chosen);
// The same rule with another extension (".tmq" for the electronic log).
std::string SaveName(std::string_view chosen, std::string_view extension);

}  // namespace logfile

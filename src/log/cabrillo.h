// Cabrillo logs: the "QSO:" lines, read at fixed columns for frequency, mode,
// date and time and at columns the user sets for reports, exchanges and the
// worked call sign.
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "log/import.h"
#include "log/progress.h"
#include "log/qso.h"

struct Settings;

// The column settings (1-based character positions and lengths). The
// defaults are the standard "QSO:" line: call and report fields at 31, 45,
// 49, 56, 70, 74, calls 13 and exchanges 6 characters wide.
struct CabColumns {
  std::int16_t CabSrstPos = 45;
  std::int16_t CabSRptPos = 49;
  std::int16_t CabHCallPos = 56;
  std::int16_t CabRrstPos = 70;
  std::int16_t CabRRptPos = 74;
  std::int16_t CabCallLen = 13;
  std::int16_t CabRptLen = 6;
};

namespace cabrillo {
constexpr int kCallLenMin = 3, kCallLenMax = 21;
constexpr int kRptLenMin = 2, kRptLenMax = 11;
constexpr int kFieldCount = 9;
// Fields of the dialog's read-outs.
enum Field { kFreq, kMode, kDateTime, kOwnCall, kSentRst, kSentRpt, kHisCall, kRcvdRst, kRcvdRpt };
}  // namespace cabrillo

// The settings file's values, each 0 taking its default. A value the dialog
// could never set (a position below 1, a length outside its range) is
// brought to the default or into the range, so a hand-edited settings file
// cannot break the reading.
CabColumns CabColumnsFrom(const Settings& s);
void CabColumnsStore(const CabColumns& c, Settings& s);

// Start and length of read-out k (0..8).
struct CabSpan {
  int start;
  int length;
};
CabSpan CabFieldSpan(const CabColumns& c, int k);

// The characters of line from 1-based position `start`, at most `length`
// of them (empty when the line is too short), without the marks of
// undecodable bytes.
std::string CabMid(std::string_view line, int start, int length);

// A line of the file as text: Shift-JIS decoded, control characters (tabs)
// as blanks, each undecodable byte as a U+FFFD mark, so that every character
// takes one column.
std::string CabLineText(std::string_view bytes);

// True when the line starts with "QSO:" exactly (upper case, with colon).
bool CabIsQso(std::string_view line);

// The first "QSO:" line of a file's bytes, as text; empty when none.
std::string CabSampleLine(std::string_view bytes);

// Read-out k of the sample: its characters, trailing blanks removed.
std::string CabShowField(std::string_view sample, const CabColumns& c, int k);

// Colouring of the sample grid: owner[j] is the read-out whose colour grid
// column j has, -1 for the default colour. Columns of read-out k's span take
// its colour where they have the default one; columns outside the span that
// have k's colour get the default back; columns of other read-outs stay.
void CabMarkColumns(std::vector<int>& owner, int k, int start, int length);

// Band text of the frequency field (characters 6-10).
std::string CabBand(std::string_view freq);
// Mode text of the mode field (characters 12-13).
std::string CabMode(std::string_view mode);

// Converts one "QSO:" line to a record (QsoNo left 0). False when the date
// or time cannot be read.
bool CabConvertLine(std::string_view line, const CabColumns& c, QsoRecord& out);

// Appends a record for every "QSO:" line of the file's bytes, in file order.
// At a line whose date or time cannot be read it stops (failed, with the
// line's number in error); the QSOs before it stay. Stops when the log is
// full (limited).
ImportResult CabConvert(std::string_view bytes, const CabColumns& c, LogData& log,
                        Progress& progress);

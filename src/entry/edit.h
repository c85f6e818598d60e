// The rules behind the log-changing dialogs: deleting a QSO, shifting the
// time of the whole log, editing and inserting one QSO, and changing fields
// of a run of QSOs at once. No windows here; the dialogs call these.
#pragma once
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "log/grid.h"
#include "log/oledate.h"
#include "entry/realtime.h"
#include "log/qso.h"

namespace entry {

// ---------------------------------------------------------------- delete

// Removes the QSO at position `no` (1-based). The records after it move up
// one position and keep their stored numbers, so the grid shows a gap until
// the log is renumbered. False (and nothing removed) when `no` is no QSO.
bool QsoDelete(LogData& log, int no);

// ---------------------------------------------------------------- time shift

// Adds `hours` to the time of every QSO (crossing midnight changes the date,
// the seconds stay). A QSO whose shifted time falls outside the calendar
// keeps its time. False when nothing was to be done (0 hours, empty log).
bool TimeEdit(LogData& log, int hours);

// ---------------------------------------------------------------- time steppers

// The fields the year/month/day and hour/minute steppers move.
enum class TimeField { Year, Month, Day, Hour, Minute };

// `t` moved by `step` units of `field` with calendar arithmetic, then cut to
// the whole minute. A result outside the calendar leaves `t` as it was.
ole::Date StepTime(ole::Date t, TimeField field, int step);

// ---------------------------------------------------------------- time box

// The typed time of the insert and edit dialogs: the first ":" is dropped
// (so the loaded "hh:nn" works as well as "hhnn"), then the input window's
// rule applies. "hh:nn", or nothing when refused.
std::optional<std::string> TimeBoxText(std::string_view typed);
// The typed "hh:nn" on the day shown as "yyyy-mm-dd", seconds 00; nothing
// when the two make no date and time (minutes above 59, for one).
std::optional<ole::Date> TimeOnShownDay(std::string_view dateText, std::string_view hhnn);
// The date and time labels: "yyyy-mm-dd" and "hh:nn".
std::string DateLabelText(ole::Date t);
std::string TimeLabelText(ole::Date t);

// ---------------------------------------------------------------- edit and insert

// What the operator sees in the boxes of the insert and edit dialogs.
struct EntryBoxes {
  std::string band, mode, callSign, sentRst, sentNo, rcvdRst, rcvdNo;
};

// The boxes' texts as an entry typed at `time`.
QsoEntry EntryOf(ole::Date time, const EntryBoxes& b);

// The boxes filled from a record, trimmed (what the edit dialog loads; the
// insert dialog empties the call sign and the received exchange itself).
EntryBoxes BoxesOf(const QsoRecord& r);

// Writes the boxes and the time over the QSO at position `row`: the record
// keeps its position, takes `loadedNo` as its number, and keeps everything
// the dialog does not show (remarks, the marks the search sets). The working
// record receives the stored record too, without its contest number
// (`TestNo`), which stays 0 there. False when `row` is no QSO.
bool EditDataSet(LogData& log, QsoRecord& cur, int row, int loadedNo, ole::Date time,
                 const EntryBoxes& boxes);

// The insert dialog's check: call sign, both reports and both exchanges
// filled (the exchanges not in the digital QSO party), and the time box when
// the time is typed by hand.
bool InsertComplete(const EntryBoxes& boxes, bool manualTime, std::string_view timeBox,
                    bool digitalParty);

// The grid row of an inserted QSO standing at grid row `row`: its number is
// the row, its time the shown date and time (seconds 00), the operator goes
// into the remarks; the search fills the marks later. Empty when the shown
// date and time do not make a date.
std::string InsertRowText(int row, std::string_view dateText, std::string_view timeText,
                          const EntryBoxes& boxes, std::string_view op, int showSeconds);

// Before the grid is read back into the log after an insert at grid row
// `insertedRow`: every other row's time cell gets the seconds of the record
// it shows, so that reading the grid keeps them whatever the grid displays.
void KeepSecondsForRebuild(GridRows& grid, const LogData& log, int insertedRow);

// ---------------------------------------------------------------- multi-QSO edit

constexpr int kMultiEditRows = 6;
enum MultiEditRow { RowSentRst = 0, RowSentNo, RowRcvdRst, RowBand, RowMode, RowTime };

struct MultiEditRange {
  bool ticked = false;
  int start = 1;  // first and last QSO position, inclusive
  int end = 2;
};

struct MultiEdit {
  std::array<MultiEditRange, kMultiEditRows> rows{};
  // Values of rows 0 to 4, as typed.
  std::string sentRst, sentNo, rcvdRst, band, mode;
  // Row 5: the time shift.
  int months = 0, days = 0, hours = 0;
};

// `t` + hours, then + days, then + months, calendar arithmetic (a month step
// keeps the day of the month where the target month has it, else its last
// day). Nothing when a step leaves the calendar.
std::optional<ole::Date> ShiftTime(ole::Date t, int months, int days, int hours);

// Applies the ticked rows, 0 to 5 in order, each over its range. A range is
// cut to the QSOs the log holds; a row whose range holds fewer than two QSOs
// is not applied. Returns the number of rows applied.
int MultiEditApply(LogData& log, const MultiEdit& m);

}  // namespace entry

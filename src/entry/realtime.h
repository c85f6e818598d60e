// The rules of the real-time input window that need no window: checking an
// entry, appending it to the log and the grid, stepping the entry time, the
// typed hhnn time and the command words of the call-sign box.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "log/grid.h"
#include "log/oledate.h"
#include "log/qso.h"

namespace entry {

namespace text {
inline constexpr std::string_view kNeedAll =
    "モードをセットし、コールサインと受信レポートを入力して下さい";
inline constexpr std::string_view kNeedModeRcvd = "モードをセットし、受信レポートを入力して下さい";
inline constexpr std::string_view kNeedModeCall = "モードをセットし、コールサインを入力して下さい";
inline constexpr std::string_view kNeedCallRcvd = "コールサインと受信レポートを入力して下さい";
inline constexpr std::string_view kNeedMode = "モードをセットして下さい";
inline constexpr std::string_view kNeedRcvd = "受信レポートを入力して下さい";
inline constexpr std::string_view kNeedCall = "コールサインを入力して下さい";
inline constexpr std::string_view kLogFull =
    "ログデータが32767件に達したため、これ以上登録できません";
inline constexpr std::string_view kBadTime = "時間が不正です";
}  // namespace text

// The status message for an entry that may not be stored; empty when it may.
// The digital QSO party asks for the mode only.
std::string_view RegisterCheck(bool callGiven, bool rcvdGiven, bool modeGiven, bool dqp);

// The boxes of one entry, as typed.
struct QsoEntry {
  ole::Date time = 0;
  std::string band, mode, call, sentRst, sentNo, rcvdRst, rcvdNo;
};

// The typed texts (not the time) into a record, each cut to its field; the
// rest of the record stays as it was.
void StoreTyped(QsoRecord& r, const QsoEntry& e);

// The grid row of a newly entered QSO: number, time, the typed texts
// trimmed, and empty multiplier, points, dupe and remarks cells.
inline std::string EntryRowText(const QsoRecord& r, int showSeconds) {
  return GridRowText(r, showSeconds, false);
}

// Appends the entry as the log's next QSO (through the working record) and
// its row at the end of the grid; the first QSO of a log takes the place of
// the grid's empty row. Marks the log changed. Returns false, storing
// nothing, when the log is full.
bool AppendQso(LogDocument& doc, GridRows& grid, const QsoEntry& e);

// The grid's top row that keeps the newest QSO in view, or 0 for no scroll.
int ScrollRowAfterAppend(int logCount, int gridPageRows);

// (The up-downs step the time with StepTime of entry/edit.h.)

// The manual time box: a trimmed text of exactly four characters whose
// numeric value is below 2360 becomes "hh:nn"; nothing otherwise.
// Full-width digits count as digits.
std::optional<std::string> ManualTimeText(std::string_view typed);
// The date of `day` joined with a "hh:nn" text, seconds 00; nothing when
// the text is no time of day (minutes above 59, hours above 23).
std::optional<ole::Date> JoinDayTime(ole::Date day, std::string_view hhnn);

// Words typed into the call-sign box and confirmed with Enter.
enum class EntryCommand { None, Cabrillo, Zlog, SecondsOn, SecondsOff, ManualOn, ManualOff };
EntryCommand CommandWord(std::string_view callBoxText);

}  // namespace entry

#include "entry/edit.h"

#include <algorithm>
#include <cstdio>

#include "entry/realtime.h"
#include "log/utf8.h"

namespace entry {

// ---------------------------------------------------------------- delete

bool QsoDelete(LogData& log, int no) {
  if (no < 1 || no > log.count()) return false;
  log.erase(no);
  return true;
}

// ---------------------------------------------------------------- time shift

bool TimeEdit(LogData& log, int hours) {
  if (hours == 0 || log.empty()) return false;
  for (int i = 1; i <= log.count(); ++i) {
    QsoRecord& r = log[i];
    if (!ole::valid(r.QsoTime)) continue;
    const ole::Date t = ole::addHours(r.QsoTime, hours);
    if (ole::valid(t)) r.QsoTime = t;
  }
  return true;
}

// ---------------------------------------------------------------- time steppers

ole::Date StepTime(ole::Date t, TimeField field, int step) {
  if (!ole::valid(t)) return t;
  ole::Date moved = t;
  switch (field) {
    case TimeField::Year:
      moved = ole::addMonths(t, step * 12);
      if (step != 0 && moved == t) return t;  // would leave the calendar
      break;
    case TimeField::Month:
      moved = ole::addMonths(t, step);
      if (step != 0 && moved == t) return t;
      break;
    case TimeField::Day: moved = ole::addDays(t, step); break;
    case TimeField::Hour: moved = ole::addHours(t, step); break;
    case TimeField::Minute: moved = ole::addSeconds(t, static_cast<std::int64_t>(step) * 60); break;
  }
  if (!ole::valid(moved)) return t;
  ole::Parts p = ole::toParts(moved);
  p.second = 0;
  return ole::fromParts(p);
}

// ---------------------------------------------------------------- time box

std::optional<std::string> TimeBoxText(std::string_view typed) {
  std::string s(typed);
  if (auto colon = s.find(':'); colon != std::string::npos) s.erase(colon, 1);
  return ManualTimeText(s);
}

std::optional<ole::Date> TimeOnShownDay(std::string_view dateText, std::string_view hhnn) {
  const auto day = ole::parse(utf8::trim(dateText));
  if (!day) return std::nullopt;
  return JoinDayTime(*day, hhnn);
}

std::string DateLabelText(ole::Date t) {
  const std::string s = ole::formatMinutes(t);
  return s.size() >= 10 ? s.substr(0, 10) : std::string();
}

std::string TimeLabelText(ole::Date t) {
  const std::string s = ole::formatMinutes(t);
  return s.size() >= 16 ? s.substr(11, 5) : std::string();
}

// ---------------------------------------------------------------- edit and insert

EntryBoxes BoxesOf(const QsoRecord& r) {
  EntryBoxes b;
  b.band = r.Band.trimmed();
  b.mode = r.Mode.trimmed();
  b.callSign = r.CallSign.trimmed();
  b.sentRst = r.SentRst.trimmed();
  b.sentNo = r.SentNo.trimmed();
  b.rcvdRst = r.RcvdRst.trimmed();
  b.rcvdNo = r.RcvdNo.trimmed();
  return b;
}

QsoEntry EntryOf(ole::Date time, const EntryBoxes& b) {
  return {time, b.band, b.mode, b.callSign, b.sentRst, b.sentNo, b.rcvdRst, b.rcvdNo};
}

bool EditDataSet(LogData& log, QsoRecord& cur, int row, int loadedNo, ole::Date time,
                 const EntryBoxes& boxes) {
  if (row < 1 || row > log.count()) return false;
  // Start from the record itself: what the dialog does not show stays the
  // QSO's own, never that of whichever record last passed through.
  QsoRecord r = log[row];
  r.QsoNo = static_cast<std::int16_t>(loadedNo);
  if (ole::valid(time)) r.QsoTime = time;
  StoreTyped(r, EntryOf(time, boxes));
  r.Reserved.clear();
  log[row] = r;
  cur = r;
  cur.TestNo = 0;  // the log's contest number belongs to record 1 alone
  return true;
}

bool InsertComplete(const EntryBoxes& boxes, bool manualTime, std::string_view timeBox,
                    bool digitalParty) {
  auto filled = [](std::string_view s) { return !utf8::trim(s).empty(); };
  if (!filled(boxes.callSign) || !filled(boxes.sentRst) || !filled(boxes.rcvdRst)) return false;
  if (!digitalParty && (!filled(boxes.sentNo) || !filled(boxes.rcvdNo))) return false;
  if (manualTime && !filled(timeBox)) return false;
  return true;
}

std::string InsertRowText(int row, std::string_view dateText, std::string_view timeText,
                          const EntryBoxes& boxes, std::string_view op, int showSeconds) {
  std::string when(utf8::trim(dateText));
  when += ' ';
  when += utf8::trim(timeText);
  const auto t = ole::parse(when);
  if (!t) return std::string();
  auto trimmed = [](std::string_view s) { return std::string(utf8::trim(s)); };
  std::string out = QsoNoText(row);
  for (const std::string& cell :
       {ole::formatGrid(*t, showSeconds), trimmed(boxes.callSign), trimmed(boxes.sentRst),
        trimmed(boxes.sentNo), trimmed(boxes.rcvdRst), trimmed(boxes.rcvdNo), std::string(),
        trimmed(boxes.band), trimmed(boxes.mode), std::string(), std::string(), trimmed(op)}) {
    out += '\t';
    out += cell;
  }
  return out;
}

void KeepSecondsForRebuild(GridRows& grid, const LogData& log, int insertedRow) {
  for (int row = 1; row < grid.rows(); ++row) {
    if (row == insertedRow) continue;
    const int rec = row < insertedRow ? row : row - 1;
    if (rec < 1 || rec > log.count()) continue;
    const std::string t = ole::formatSeconds(log[rec].QsoTime);
    if (!t.empty()) grid.setCell(row, 1, t);
  }
}

// ---------------------------------------------------------------- multi-QSO edit

std::optional<ole::Date> ShiftTime(ole::Date t, int months, int days, int hours) {
  if (!ole::valid(t)) return std::nullopt;
  ole::Date s = ole::addHours(t, hours);
  if (!ole::valid(s)) return std::nullopt;
  s = ole::addDays(s, days);
  if (!ole::valid(s)) return std::nullopt;
  if (months != 0) {
    const ole::Date m = ole::addMonths(s, months);
    if (m == s) return std::nullopt;  // the target month lies outside the calendar
    s = m;
  }
  return s;
}

int MultiEditApply(LogData& log, const MultiEdit& m) {
  int applied = 0;
  for (int row = 0; row < kMultiEditRows; ++row) {
    const MultiEditRange& r = m.rows[static_cast<std::size_t>(row)];
    if (!r.ticked) continue;
    const int first = std::max(r.start, 1);
    const int last = std::min(r.end, log.count());
    if (last - first < 1) continue;
    for (int i = first; i <= last; ++i) {
      QsoRecord& q = log[i];
      switch (row) {
        case RowSentRst: q.SentRst = utf8::trim(m.sentRst); break;
        case RowSentNo: q.SentNo = utf8::trim(m.sentNo); break;
        case RowRcvdRst: q.RcvdRst = utf8::trim(m.rcvdRst); break;
        case RowBand: q.Band = utf8::trim(m.band); break;
        case RowMode: q.Mode = utf8::trim(m.mode); break;
        case RowTime:
          if (auto t = ShiftTime(q.QsoTime, m.months, m.days, m.hours)) q.QsoTime = *t;
          break;
        default: break;
      }
    }
    ++applied;
  }
  return applied;
}

}  // namespace entry

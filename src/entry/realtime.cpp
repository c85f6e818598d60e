#include "entry/realtime.h"

#include "log/utf8.h"

namespace entry {

std::string_view RegisterCheck(bool call, bool rcvd, bool mode, bool dqp) {
  if (dqp) return mode ? std::string_view{} : text::kNeedMode;
  if (call && rcvd && mode) return {};
  if (!mode) {
    if (!call && !rcvd) return text::kNeedAll;
    if (!rcvd) return text::kNeedModeRcvd;
    if (!call) return text::kNeedModeCall;
    return text::kNeedMode;
  }
  if (!call && !rcvd) return text::kNeedCallRcvd;
  if (!rcvd) return text::kNeedRcvd;
  return text::kNeedCall;
}

void StoreTyped(QsoRecord& r, const QsoEntry& e) {
  r.Band = e.band;
  r.Mode = e.mode;
  r.CallSign = e.call;
  r.SentRst = e.sentRst;
  r.SentNo = e.sentNo;
  r.RcvdRst = e.rcvdRst;
  r.RcvdNo = e.rcvdNo;
}

bool AppendQso(LogDocument& doc, GridRows& grid, const QsoEntry& e) {
  if (doc.Log.full()) return false;
  QsoRecord& q = doc.CurQso;
  q.QsoNo = static_cast<std::int16_t>(doc.Log.count() + 1);
  q.QsoTime = e.time;
  StoreTyped(q, e);
  q.Reserved.clear();
  q.Dupe = 0;
  q.Points = 0;
  q.Mlt.clear();
  q.Remarks.clear();
  if (!doc.Log.append(q)) return false;
  const QsoRecord& stored = doc.Log[doc.Log.count()];
  grid.addRow(EntryRowText(stored, doc.State.ShowSeconds));
  // The first QSO takes the place of the empty row an empty log shows.
  if (doc.Log.count() == 1 && grid.rows() > 2 && grid.rowText(1).find_first_not_of('\t') ==
                                                     std::string::npos)
    grid.removeRow(1);
  doc.State.LogDirty = 1;
  return true;
}

int ScrollRowAfterAppend(int logCount, int gridPageRows) {
  if (logCount >= gridPageRows) return logCount - gridPageRows + 1;
  return 0;
}

namespace {
// Full-width digits to ASCII; other characters unchanged.
std::string asciiDigits(std::string_view s) {
  std::string out;
  for (std::size_t i = 0; i < s.size();) {
    char32_t c = utf8::next(s, i);
    if (c >= U'\uFF10' && c <= U'\uFF19') c = c - 0xFF10 + U'0';
    utf8::append(out, c);
  }
  return out;
}

// The numeric value of the text's leading number (blanks skipped, digits
// and one decimal point); 0 when it starts with none.
double leadingValue(std::string_view s) {
  std::size_t i = 0;
  while (i < s.size() && s[i] == ' ') ++i;
  double v = 0, scale = 0;
  for (; i < s.size(); ++i) {
    const char c = s[i];
    if (c >= '0' && c <= '9') {
      if (scale == 0) v = v * 10 + (c - '0');
      else {
        v += (c - '0') * scale;
        scale /= 10;
      }
    } else if (c == '.' && scale == 0) {
      scale = 0.1;
    } else {
      break;
    }
  }
  return v;
}
}  // namespace

std::optional<std::string> ManualTimeText(std::string_view typed) {
  const std::string t = asciiDigits(utf8::trim(typed));
  if (utf8::length(t) != 4) return std::nullopt;
  if (!(leadingValue(t) < 2360)) return std::nullopt;
  return t.substr(0, 2) + ":" + t.substr(2);
}

std::optional<ole::Date> JoinDayTime(ole::Date day, std::string_view hhnn) {
  const std::string t = asciiDigits(hhnn);
  if (t.size() != 5 || t[2] != ':' || !ole::valid(day)) return std::nullopt;
  for (int i : {0, 1, 3, 4})
    if (t[static_cast<std::size_t>(i)] < '0' || t[static_cast<std::size_t>(i)] > '9')
      return std::nullopt;
  const int hh = (t[0] - '0') * 10 + (t[1] - '0');
  const int nn = (t[3] - '0') * 10 + (t[4] - '0');
  if (hh > 23 || nn > 59) return std::nullopt;
  const ole::Parts d = ole::toParts(day);
  return ole::fromDateTime(d.year, d.month, d.day, hh, nn, 0);
}

EntryCommand CommandWord(std::string_view s) {
  if (s == "KVRTUZA") return EntryCommand::Cabrillo;
  if (s == "WMQEXHIB") return EntryCommand::Zlog;
  if (s == "PYRDA") return EntryCommand::SecondsOn;
  if (s == "PYRDUX") return EntryCommand::SecondsOff;
  if (s == "GLORVA") return EntryCommand::ManualOn;
  if (s == "GLORVUX") return EntryCommand::ManualOff;
  return EntryCommand::None;
}

}  // namespace entry

#include "log/cabrillo.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "log/settings.h"
#include "log/cp932.h"
#include "log/fileio.h"
#include "log/utf8.h"

namespace {

std::int16_t position(std::int16_t v, std::int16_t def) { return v >= 1 ? v : def; }
std::int16_t length(std::int16_t v, std::int16_t def, int lo, int hi) {
  if (v == 0) return def;
  return static_cast<std::int16_t>(std::clamp<int>(v, lo, hi));
}

std::string_view trimmed(std::string_view s) { return utf8::trim(s); }

// The leading number of a text as a decimal value (blanks before it
// skipped); 0 when it starts with no number.
double leadingNumber(std::string_view s) {
  std::size_t i = 0;
  while (i < s.size() && s[i] == ' ') ++i;
  const std::size_t from = i;
  bool dot = false;
  if (i < s.size() && (s[i] == '-' || s[i] == '+')) ++i;
  for (; i < s.size(); ++i) {
    const char c = s[i];
    if (c == '.' && !dot)
      dot = true;
    else if (c < '0' || c > '9')
      break;
  }
  const std::string_view number = s.substr(from, i - from);
  if (number.empty()) return 0.0;
  char small[32];
  if (number.size() < sizeof small) {
    std::memcpy(small, number.data(), number.size());
    small[number.size()] = '\0';
    return std::strtod(small, nullptr);
  }
  return std::strtod(std::string(number).c_str(), nullptr);
}

std::string_view bandOf(std::string_view freq) {
  struct Range {
    double lo, hi;
    const char* band;
  };
  static constexpr Range kRanges[] = {
      {1800, 2000, "1.8"},     {3500, 4000, "3.5"},     {7000, 7500, "7"},
      {10000, 10500, "10"},    {14000, 14500, "14"},    {18000, 18500, "18"},
      {21000, 21500, "21"},    {24500, 25000, "24"},    {28000, 30000, "28"},
      {50000, 54000, "50"}};
  const double v = leadingNumber(freq);
  for (const Range& r : kRanges)
    if (v >= r.lo && v < r.hi) return r.band;
  const std::string_view f = trimmed(freq);
  if (f == "432") return "430";
  if (f == "1.2G") return "1200";
  if (f == "2.3G") return "2400";
  if (f == "5.7G") return "5600";
  if (f == "10G") return "10.1G";
  return f;
}

std::string_view modeOf(std::string_view mode) {
  const std::string_view m = trimmed(mode);
  if (m == "PH") return "SSB";
  if (m == "PK") return "PSK31";
  if (m == "RY") return "RTTY";
  return m;
}

// A line of printable ASCII is its own text, one column a byte: its fields
// are read in place.
std::string_view midAscii(std::string_view line, int start, int length) {
  if (start < 1 || length <= 0) return {};
  const auto from = std::min(static_cast<std::size_t>(start - 1), line.size());
  return line.substr(from, static_cast<std::size_t>(length));
}

// The fields of a line into r (a fresh record); mid(start, length) gives the
// characters at a 1-based position. False when the date or time cannot be read.
template <typename Mid>
bool convertInto(const Mid& mid, const CabColumns& c, QsoRecord& r) {
  char when[64];
  std::size_t n = 0;
  auto put = [&](std::string_view part) {
    part = part.substr(0, sizeof when - 1 - n);
    std::memcpy(when + n, part.data(), part.size());
    n += part.size();
  };
  const auto date = mid(15, 13);
  const auto hhmm = mid(28, 2);
  put(trimmed(date));
  put(":");
  put(trimmed(hhmm));
  const auto t = ole::parse(std::string_view(when, n));
  if (!t) return false;
  r.QsoTime = *t;
  r.Band = bandOf(mid(6, 5));
  r.Mode = modeOf(mid(12, 2));
  r.SentRst = trimmed(mid(c.CabSrstPos, 3));
  r.SentNo = trimmed(mid(c.CabSRptPos, c.CabRptLen));
  r.CallSign = trimmed(mid(c.CabHCallPos, c.CabCallLen));
  r.RcvdRst = trimmed(mid(c.CabRrstPos, 3));
  r.RcvdNo = trimmed(mid(c.CabRRptPos, c.CabRptLen));
  return true;
}

}  // namespace

CabColumns CabColumnsFrom(const Settings& s) {
  const CabColumns d;
  CabColumns c;
  c.CabSrstPos = position(s.CabSrstPos, d.CabSrstPos);
  c.CabSRptPos = position(s.CabSRptPos, d.CabSRptPos);
  c.CabHCallPos = position(s.CabHCallPos, d.CabHCallPos);
  c.CabRrstPos = position(s.CabRrstPos, d.CabRrstPos);
  c.CabRRptPos = position(s.CabRRptPos, d.CabRRptPos);
  c.CabCallLen = length(s.CabCallLen, d.CabCallLen, cabrillo::kCallLenMin, cabrillo::kCallLenMax);
  c.CabRptLen = length(s.CabRptLen, d.CabRptLen, cabrillo::kRptLenMin, cabrillo::kRptLenMax);
  return c;
}

void CabColumnsStore(const CabColumns& c, Settings& s) {
  s.CabSrstPos = c.CabSrstPos;
  s.CabSRptPos = c.CabSRptPos;
  s.CabHCallPos = c.CabHCallPos;
  s.CabRrstPos = c.CabRrstPos;
  s.CabRRptPos = c.CabRRptPos;
  s.CabCallLen = c.CabCallLen;
  s.CabRptLen = c.CabRptLen;
}

CabSpan CabFieldSpan(const CabColumns& c, int k) {
  switch (k) {
    case cabrillo::kFreq: return {6, 5};
    case cabrillo::kMode: return {12, 2};
    case cabrillo::kDateTime: return {15, 15};
    case cabrillo::kOwnCall: return {31, c.CabCallLen};
    case cabrillo::kSentRst: return {c.CabSrstPos, 3};
    case cabrillo::kSentRpt: return {c.CabSRptPos, c.CabRptLen};
    case cabrillo::kHisCall: return {c.CabHCallPos, c.CabCallLen};
    case cabrillo::kRcvdRst: return {c.CabRrstPos, 3};
    case cabrillo::kRcvdRpt: return {c.CabRRptPos, c.CabRptLen};
    default: return {1, 0};
  }
}

std::string CabMid(std::string_view line, int start, int length) {
  if (start < 1 || length <= 0) return {};
  const std::size_t from = utf8::prefixBytes(line, static_cast<std::size_t>(start - 1));
  const std::string_view rest = line.substr(from);
  std::string field(rest.substr(0, utf8::prefixBytes(rest, static_cast<std::size_t>(length))));
  // An undecodable byte held its column; it is no part of the field.
  for (std::size_t at; (at = field.find(cp932::kPlaceMark)) != std::string::npos;)
    field.erase(at, cp932::kPlaceMark.size());
  return field;
}

std::string CabLineText(std::string_view bytes) {
  // Columns are counted on the line as it is in the file.
  std::string text = cp932::decodeKeepingPlaces(bytes);
  for (char& ch : text) {
    const auto u = static_cast<unsigned char>(ch);
    if (u < 0x20 || u == 0x7F) ch = ' ';
  }
  return text;
}

bool CabIsQso(std::string_view line) { return line.substr(0, 4) == "QSO:"; }

std::string CabSampleLine(std::string_view bytes) {
  std::string sample;
  bool found = false;
  fileio::forEachLine(bytes, [&](std::string_view line) {
    if (found || !CabIsQso(line)) return;
    sample = CabLineText(line);
    found = true;
  });
  return sample;
}

std::string CabShowField(std::string_view sample, const CabColumns& c, int k) {
  const CabSpan s = CabFieldSpan(c, k);
  return std::string(utf8::trimRight(CabMid(sample, s.start, s.length)));
}

void CabMarkColumns(std::vector<int>& owner, int k, int start, int length) {
  for (int j = 0; j < static_cast<int>(owner.size()); ++j) {
    int& o = owner[static_cast<std::size_t>(j)];
    const bool inside = j >= start - 1 && j <= start + length - 2;
    if (inside && o == -1)
      o = k;
    else if (!inside && o == k)
      o = -1;
  }
}

std::string CabBand(std::string_view freq) { return std::string(bandOf(freq)); }

std::string CabMode(std::string_view mode) { return std::string(modeOf(mode)); }

bool CabConvertLine(std::string_view line, const CabColumns& c, QsoRecord& out) {
  QsoRecord r;
  auto mid = [line](int start, int length) { return CabMid(line, start, length); };
  if (!convertInto(mid, c, r)) return false;
  out = r;
  return true;
}

ImportResult CabConvert(std::string_view bytes, const CabColumns& c, LogData& log,
                        Progress& progress) {
  ImportResult res;
  // One pass finds the "QSO:" lines (with their line numbers); the log then
  // grows once, by as many as it has room for, and is cut back to what was read.
  struct QsoLine {
    std::string_view raw;
    int lineNo;
  };
  std::vector<QsoLine> lines;
  int lineNo = 0;
  fileio::forEachLine(bytes, [&](std::string_view line) {
    ++lineNo;
    if (CabIsQso(line)) lines.push_back({line, lineNo});
  });
  const int qsoLines = static_cast<int>(lines.size());
  const int before = log.count();
  const int room = kMaxQso - before;
  log.resize(before + std::min(qsoLines, room));
  progress.start(std::min(qsoLines, room));
  for (const QsoLine& q : lines) {
    if (res.appended >= room) {
      res.limited = true;
      break;
    }
    QsoRecord& r = log[before + res.appended + 1];
    bool read;
    if (utf8::printableAscii(q.raw)) {
      auto mid = [&q](int start, int length) { return midAscii(q.raw, start, length); };
      read = convertInto(mid, c, r);
    } else {
      const std::string line = CabLineText(q.raw);
      auto mid = [&line](int start, int length) { return CabMid(line, start, length); };
      read = convertInto(mid, c, r);
    }
    if (!read) {
      res.failed = true;
      res.error = std::to_string(q.lineNo) + " 行目の年月日・時間が読めません: " +
                  std::string(trimmed(CabMid(CabLineText(q.raw), 15, 15)));
      break;
    }
    ++res.appended;
    r.QsoNo = static_cast<std::int16_t>(before + res.appended);
    progress.step(res.appended);
  }
  log.resize(before + res.appended);
  progress.finish();
  return res;
}

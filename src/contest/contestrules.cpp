#include "contest/contestrules.h"

#include <cmath>

#include "contest/contestdef.h"
#include "log/numtext.h"
#include "log/utf8.h"

namespace rules {
namespace {

// The fields of a value cut at sep, each with its blanks trimmed.
std::vector<std::string_view> split(std::string_view v, char sep) {
  std::vector<std::string_view> out;
  std::size_t start = 0;
  while (true) {
    const std::size_t p = v.find(sep, start);
    out.push_back(utf8::trim(v.substr(start, p == std::string_view::npos ? v.npos : p - start)));
    if (p == std::string_view::npos) return out;
    start = p + 1;
  }
}

bool allDigits(std::string_view s) {
  if (s.empty()) return false;
  for (char c : s)
    if (c < '0' || c > '9') return false;
  return true;
}

bool readInt(std::string_view s, int low, int high, int& out) {
  std::int16_t v = 0;
  if (!allDigits(s) || !numtext::parseInteger(s, v) || v < low || v > high) return false;
  out = v;
  return true;
}

// Watts from fields[first] on: up to three, a missing one repeating the one
// before; at least one.
bool readWatts(const std::vector<std::string_view>& fields, std::size_t first, BandWatts& out) {
  if (fields.size() <= first || fields.size() > first + out.size()) return false;
  for (std::size_t g = 0; g < out.size(); ++g) {
    if (first + g >= fields.size()) {
      out[g] = out[g - 1];
      continue;
    }
    int w = 0;
    if (!readInt(fields[first + g], 0, 32767, w)) return false;
    out[g] = static_cast<std::int16_t>(w);
  }
  return true;
}

bool readPatterns(std::string_view v, std::vector<std::string>& out) {
  for (std::string_view p : split(v, ',')) {
    if (p.empty()) return false;
    out.emplace_back(p);
  }
  return !out.empty();
}

bool readLetter(std::string_view v, std::string& out) {
  if (v.empty()) return false;
  for (char c : v)
    if (c < 'A' || c > 'Z') return false;
  out = std::string(v);
  return true;
}

int bandOfWord(std::string_view w) {
  for (int b = 0; b < bands::kBandCount; ++b)
    if (bands::kBandKeyWords[static_cast<std::size_t>(b)] == w) return b;
  return -1;
}

// "*", "14" or "1.8-1200".
bool readBandRange(std::string_view v, int& first, int& last) {
  if (v == "*") {
    first = 0;
    last = bands::kBandCount - 1;
    return true;
  }
  const std::vector<std::string_view> ends = split(v, '-');
  if (ends.size() > 2) return false;
  first = bandOfWord(ends.front());
  last = bandOfWord(ends.back());
  return first >= 0 && last >= first;
}

// "02-48", "101" or "#4-6".
bool readNumberRange(std::string_view v, NumberRange& out) {
  const bool counted = !v.empty() && v[0] == '#';
  if (counted) v.remove_prefix(1);
  const std::vector<std::string_view> ends = split(v, '-');
  if (ends.size() > 2) return false;
  if (counted)
    return readInt(ends.front(), 1, 10, out.MinDigits) &&
           readInt(ends.back(), out.MinDigits, 10, out.MaxDigits);
  if (!allDigits(ends.front()) || ends.front().size() != ends.back().size() ||
      !allDigits(ends.back()) || ends.back() < ends.front())
    return false;
  out.Low = std::string(ends.front());
  out.High = std::string(ends.back());
  out.MinDigits = out.MaxDigits = static_cast<int>(out.Low.size());
  return true;
}

constexpr std::string_view kWeekdays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};

// "2026/01/02 09:00;132", "01/02 09:00;132", "04/SatL 21:00;24".
bool readPeriod(std::string_view v, ContestPeriodRule& out) {
  const std::vector<std::string_view> f = split(v, ';');
  if (f.size() != 2 || !readInt(f[1], 1, 24 * 366, out.Hours)) return false;
  const std::size_t blank = f[0].find(' ');
  if (blank == std::string_view::npos) return false;
  const std::vector<std::string_view> date = split(f[0].substr(0, blank), '/');
  const std::vector<std::string_view> time = split(utf8::trim(f[0].substr(blank)), ':');
  int hour = 0, minute = 0;
  if (time.size() != 2 || !readInt(time[0], 0, 23, hour) || !readInt(time[1], 0, 59, minute))
    return false;
  out.Minute = hour * 60 + minute;
  if (date.size() == 3 && !readInt(date[0], 100, 9999, out.Year)) return false;
  if (date.size() != 2 && date.size() != 3) return false;
  if (!readInt(date[date.size() - 2], 1, 12, out.Month)) return false;
  std::string_view day = date.back();
  if (readInt(day, 1, 31, out.Day)) return true;
  for (int w = 0; w < 7; ++w) {
    if (day.substr(0, 3) != kWeekdays[w] || day.size() != 4) continue;
    out.Weekday = w;
    if (day[3] == 'L') {
      out.Week = -1;
      return true;
    }
    return readInt(day.substr(3), 1, 5, out.Week);
  }
  return false;
}

// 0 Sunday .. 6 Saturday; day 0 (1899-12-30) was a Saturday.
int weekdayOf(ole::Date d) {
  const long days = static_cast<long>(std::floor(d));
  return static_cast<int>(((days + 6) % 7 + 7) % 7);
}

int daysInMonth(int y, int m) {
  for (int d = 31; d > 28; --d)
    if (ole::validParts({y, m, d, 0, 0, 0})) return d;
  return 28;
}

}  // namespace

bool ApplyRuleKey(std::string_view key, std::string_view value, ContestDefinition& def) {
  const std::vector<std::string_view> f = split(value, ';');
  if (key == "PowerCode") {
    PowerCodeRule r;
    if (readLetter(f[0], r.Letter) && readWatts(f, 1, r.Watts)) def.PowerCode.push_back(r);
  } else if (key == "CategoryPowerCode") {
    CategoryPowerCodeRule r;
    if (f.size() == 2 && readLetter(f[0], r.Letter) && readPatterns(f[1], r.Codes))
      def.CategoryPowerCode.push_back(r);
  } else if (key == "CategoryPower") {
    CategoryPowerRule r;
    if (readPatterns(f[0], r.Codes) && readWatts(f, 1, r.Watts)) def.CategoryPower.push_back(r);
  } else if (key == "PhoneExcludedBands") {
    std::array<std::int16_t, bands::kBandCount> flags{};
    for (std::string_view w : split(value, ',')) {
      if (w.empty()) continue;
      const int b = bandOfWord(w);
      if (b < 0) return true;
      flags[static_cast<std::size_t>(b)] = 1;
    }
    def.PhoneExcludedBands = flags;
  } else if (key == "RcvdNoShape") {
    RcvdNoShapeRule r;
    if (f.size() != 2 || !readBandRange(f[0], r.FirstBand, r.LastBand)) return true;
    for (std::string_view n : split(f[1], ',')) {
      NumberRange range;
      if (!readNumberRange(n, range)) return true;
      r.Numbers.push_back(range);
    }
    def.RcvdNoShape.push_back(r);
  } else if (key == "ContestPeriod") {
    ContestPeriodRule r;
    if (readPeriod(value, r)) def.ContestPeriod = r;
  } else {
    return false;
  }
  return true;
}

void ClearRules(ContestDefinition& def) {
  def.PowerCode.clear();
  def.CategoryPowerCode.clear();
  def.CategoryPower.clear();
  def.PhoneExcludedBands.fill(0);
  def.RcvdNoShape.clear();
  def.ContestPeriod.reset();
}

int WattGroup(int bandIndex) { return bandIndex < 9 ? 0 : bandIndex < 12 ? 1 : 2; }

bool CodeMatches(std::string_view pattern, std::string_view code) {
  std::size_t p = 0, c = 0, star = std::string_view::npos, mark = 0;
  while (c < code.size()) {
    if (p < pattern.size() && pattern[p] == '*') {
      star = p++;
      mark = c;
    } else if (p < pattern.size() && pattern[p] == code[c]) {
      ++p;
      ++c;
    } else if (star != std::string_view::npos) {
      p = star + 1;
      c = ++mark;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

const PowerCodeRule* FindPowerCode(const ContestDefinition& def, std::string_view letter) {
  for (const PowerCodeRule& r : def.PowerCode)
    if (r.Letter == letter) return &r;
  return nullptr;
}

std::string_view CategoryPowerLetter(const ContestDefinition& def, std::string_view cateCode) {
  cateCode = utf8::trim(cateCode);
  for (const CategoryPowerCodeRule& r : def.CategoryPowerCode)
    for (const std::string& p : r.Codes)
      if (CodeMatches(p, cateCode)) return r.Letter;
  return {};
}

int CategoryPowerLimit(const ContestDefinition& def, std::string_view cateCode, int bandIndex) {
  cateCode = utf8::trim(cateCode);
  const auto g = static_cast<std::size_t>(WattGroup(bandIndex));
  int limit = 0;
  auto take = [&](int w) {
    if (w > 0 && (limit == 0 || w < limit)) limit = w;
  };
  if (const PowerCodeRule* r = FindPowerCode(def, CategoryPowerLetter(def, cateCode)))
    take(r->Watts[g]);
  for (const CategoryPowerRule& r : def.CategoryPower)
    for (const std::string& p : r.Codes)
      if (CodeMatches(p, cateCode)) {
        take(r.Watts[g]);
        break;
      }
  return limit;
}

const RcvdNoShapeRule* RcvdNoShapeOf(const ContestDefinition& def, int bandIndex) {
  for (const RcvdNoShapeRule& r : def.RcvdNoShape)
    if (bandIndex >= r.FirstBand && bandIndex <= r.LastBand) return &r;
  return nullptr;
}

bool NumberFits(const std::vector<NumberRange>& ranges, std::string_view digits) {
  if (!allDigits(digits)) return false;
  const int n = static_cast<int>(digits.size());
  for (const NumberRange& r : ranges) {
    if (n < r.MinDigits || n > r.MaxDigits) continue;
    if (r.Low.empty() || (digits >= r.Low && digits <= r.High)) return true;
  }
  return false;
}

std::string NumberRangesText(const std::vector<NumberRange>& ranges) {
  std::string t;
  for (const NumberRange& r : ranges) {
    if (!t.empty()) t += ',';
    if (r.Low.empty()) {
      t += '#' + std::to_string(r.MinDigits);
      if (r.MaxDigits != r.MinDigits) t += '-' + std::to_string(r.MaxDigits);
    } else {
      t += r.Low;
      if (r.High != r.Low) t += '-' + r.High;
    }
  }
  return t;
}

std::optional<Period> PeriodOf(const ContestPeriodRule& rule, int year) {
  const int y = rule.Year ? rule.Year : year;
  if (y < 100 || y > 9999) return std::nullopt;
  int day = rule.Day;
  if (day == 0) {
    if (rule.Week == -1) {
      const int last = daysInMonth(y, rule.Month);
      day = last - (weekdayOf(ole::fromDate(y, rule.Month, last)) - rule.Weekday + 7) % 7;
    } else {
      day = 1 + (rule.Weekday - weekdayOf(ole::fromDate(y, rule.Month, 1)) + 7) % 7 +
            7 * (rule.Week - 1);
    }
  }
  if (day > daysInMonth(y, rule.Month)) return std::nullopt;
  Period p;
  p.Start = ole::fromDateTime(y, rule.Month, day, rule.Minute / 60, rule.Minute % 60, 0);
  p.End = ole::addHours(p.Start, rule.Hours);
  return p;
}

}  // namespace rules

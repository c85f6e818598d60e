#include "log/oledate.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace ole {
namespace {

constexpr std::int64_t kSecPerDay = 86400;

// Days from 1970-01-01 of a proleptic Gregorian date.
std::int64_t daysFromCivil(std::int64_t y, unsigned m, unsigned d) {
  y -= m <= 2;
  const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

void civilFromDays(std::int64_t z, int& y, int& m, int& d) {
  z += 719468;
  const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const std::int64_t yy = static_cast<std::int64_t>(yoe) + era * 400;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  y = static_cast<int>(yy + (m <= 2));
}

const std::int64_t kEpoch = daysFromCivil(1899, 12, 30);

int daysInMonth(int y, int m) {
  static const int dm[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (m == 2 && ((y % 4 == 0 && y % 100 != 0) || y % 400 == 0)) return 29;
  return dm[m - 1];
}

// OLE values before the epoch keep the day in the integer part and the time
// as a positive fraction (-1.25 is 1899-12-29 06:00); this turns them into a
// straight line of days.
double toLinear(Date d) {
  if (d >= 0) return d;
  const double whole = std::trunc(d);
  return whole + (whole - d);
}
Date fromLinear(double x) {
  if (x >= 0) return x;
  const double day = std::floor(x);
  const double frac = x - day;
  return frac == 0 ? day : day - frac;
}

constexpr double kMin = -657434.0;   // 0100-01-01
constexpr double kMax = 2958466.0;   // 10000-01-01 (exclusive)

}  // namespace

bool valid(Date d) {
  if (!std::isfinite(d)) return false;
  const double x = toLinear(d);
  return x >= kMin && x < kMax - 0.5 / kSecPerDay;
}

bool validParts(const Parts& p) {
  return p.year >= 100 && p.year <= 9999 && p.month >= 1 && p.month <= 12 && p.day >= 1 &&
         p.day <= daysInMonth(p.year, p.month) && p.hour >= 0 && p.hour <= 23 && p.minute >= 0 &&
         p.minute <= 59 && p.second >= 0 && p.second <= 59;
}

std::int64_t toSeconds(Date d) {
  // Whole milliseconds first, so that a value meant as half a second (which
  // a double holds only nearly) rounds up as it should.
  const auto ms = static_cast<std::int64_t>(std::llround(toLinear(d) * kSecPerDay * 1000.0));
  const std::int64_t q = ms + 500;
  return q >= 0 ? q / 1000 : -((-q + 999) / 1000);
}

Date fromSeconds(std::int64_t s) {
  const std::int64_t days = s >= 0 ? s / kSecPerDay : -((-s + kSecPerDay - 1) / kSecPerDay);
  const std::int64_t sod = s - days * kSecPerDay;
  return fromLinear(static_cast<double>(days) + static_cast<double>(sod) / kSecPerDay);
}

Date fromParts(const Parts& p) {
  const std::int64_t days = daysFromCivil(p.year, static_cast<unsigned>(p.month),
                                          static_cast<unsigned>(p.day)) - kEpoch;
  const std::int64_t sod = p.hour * 3600 + p.minute * 60 + p.second;
  return fromLinear(static_cast<double>(days) + static_cast<double>(sod) / kSecPerDay);
}

Date fromDate(int y, int m, int d) { return fromParts({y, m, d, 0, 0, 0}); }
Date fromDateTime(int y, int m, int d, int hh, int nn, int ss) {
  return fromParts({y, m, d, hh, nn, ss});
}

Parts toParts(Date d) {
  const std::int64_t s = toSeconds(d);
  std::int64_t days = s >= 0 ? s / kSecPerDay : -((-s + kSecPerDay - 1) / kSecPerDay);
  std::int64_t sod = s - days * kSecPerDay;
  Parts p;
  civilFromDays(days + kEpoch, p.year, p.month, p.day);
  p.hour = static_cast<int>(sod / 3600);
  p.minute = static_cast<int>(sod / 60 % 60);
  p.second = static_cast<int>(sod % 60);
  return p;
}

Date addSeconds(Date d, std::int64_t s) { return fromSeconds(toSeconds(d) + s); }
Date addHours(Date d, std::int64_t h) { return addSeconds(d, h * 3600); }
Date addDays(Date d, std::int64_t n) { return addSeconds(d, n * kSecPerDay); }

Date addMonths(Date d, int n) {
  Parts p = toParts(d);
  std::int64_t m = static_cast<std::int64_t>(p.year) * 12 + (p.month - 1) + n;
  p.year = static_cast<int>(m >= 0 ? m / 12 : -((-m + 11) / 12));
  p.month = static_cast<int>(m - static_cast<std::int64_t>(p.year) * 12) + 1;
  if (p.year < 100 || p.year > 9999) return d;
  p.day = std::min(p.day, daysInMonth(p.year, p.month));
  return fromParts(p);
}

namespace {
// "yyyy-mm-dd hh:nn", and ":ss" with seconds; a valid date has four digits of year.
std::string formatDateTime(Date d, bool seconds) {
  if (!valid(d)) return std::string();
  const Parts p = toParts(d);
  char b[19];
  auto put2 = [&b](int at, int v) {
    b[at] = static_cast<char>('0' + v / 10);
    b[at + 1] = static_cast<char>('0' + v % 10);
  };
  put2(0, p.year / 100);
  put2(2, p.year % 100);
  b[4] = '-';
  put2(5, p.month);
  b[7] = '-';
  put2(8, p.day);
  b[10] = ' ';
  put2(11, p.hour);
  b[13] = ':';
  put2(14, p.minute);
  if (!seconds) return std::string(b, 16);
  b[16] = ':';
  put2(17, p.second);
  return std::string(b, 19);
}
}  // namespace

std::string formatMinutes(Date d) { return formatDateTime(d, false); }

std::string formatSeconds(Date d) { return formatDateTime(d, true); }

std::string formatJapaneseDate(Date d) {
  if (!valid(d)) return std::string();
  const Parts p = toParts(d);
  char b[48];
  std::snprintf(b, sizeof b, "%04d年%02d月%02d日", p.year, p.month, p.day);
  return b;
}

std::string formatGrid(Date d, int showSeconds) {
  return showSeconds == 1 ? formatSeconds(d) : formatMinutes(d);
}

std::string formatGeneral(Date d) {
  if (!valid(d)) return std::string();
  const Parts p = toParts(d);
  char b[48];
  if (p.hour == 0 && p.minute == 0 && p.second == 0)
    std::snprintf(b, sizeof b, "%04d/%02d/%02d", p.year, p.month, p.day);
  else
    std::snprintf(b, sizeof b, "%04d/%02d/%02d %02d:%02d:%02d", p.year, p.month, p.day, p.hour,
                  p.minute, p.second);
  return b;
}

namespace {
bool readNumber(std::string_view s, std::size_t& i, int maxDigits, int& out) {
  int n = 0, digits = 0;
  while (i < s.size() && s[i] >= '0' && s[i] <= '9' && digits < maxDigits) {
    n = n * 10 + (s[i] - '0');
    ++i;
    ++digits;
  }
  if (digits == 0) return false;
  out = n;
  return true;
}
}  // namespace

std::optional<Date> parse(std::string_view s) {
  while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
  while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
  Parts p;
  std::size_t i = 0;
  if (!readNumber(s, i, 4, p.year) || i != 4) return std::nullopt;
  if (i >= s.size() || (s[i] != '-' && s[i] != '/')) return std::nullopt;
  const char sep = s[i++];
  if (!readNumber(s, i, 2, p.month)) return std::nullopt;
  if (i >= s.size() || s[i] != sep) return std::nullopt;
  ++i;
  if (!readNumber(s, i, 2, p.day)) return std::nullopt;
  if (i < s.size()) {
    if (s[i] != ' ' && s[i] != 'T') return std::nullopt;
    while (i < s.size() && (s[i] == ' ' || s[i] == 'T')) ++i;
    if (!readNumber(s, i, 2, p.hour)) return std::nullopt;
    if (i >= s.size() || s[i] != ':') return std::nullopt;
    ++i;
    if (!readNumber(s, i, 2, p.minute)) return std::nullopt;
    if (i < s.size()) {
      if (s[i] != ':') return std::nullopt;
      ++i;
      if (!readNumber(s, i, 2, p.second)) return std::nullopt;
    }
    if (i != s.size()) return std::nullopt;
  }
  if (!validParts(p)) return std::nullopt;
  return fromParts(p);
}

}  // namespace ole

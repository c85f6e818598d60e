// OLE date values: days since 1899-12-30 as a double, the fraction being the
// time of day. One rule everywhere: a date and time becomes days + seconds of
// the day / 86400, and a value shows its nearest whole second (half a second
// rounds up).
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace ole {

using Date = double;

struct Parts {
  int year = 1899, month = 12, day = 30;
  int hour = 0, minute = 0, second = 0;
  bool operator==(const Parts&) const = default;
};

// Valid dates are 0100-01-01 .. 9999-12-31, as on the original platform.
bool valid(Date d);
bool validParts(const Parts& p);

Date fromParts(const Parts& p);          // caller checks validParts
Date fromDate(int y, int m, int d);
Date fromDateTime(int y, int m, int d, int hh, int nn, int ss);
Parts toParts(Date d);                   // nearest whole second; d must be valid

// Whole seconds since 1899-12-30 00:00 (negative before), nearest second.
std::int64_t toSeconds(Date d);
Date fromSeconds(std::int64_t s);

// Calendar arithmetic (the result keeps the nearest whole second).
Date addSeconds(Date d, std::int64_t s);
Date addHours(Date d, std::int64_t h);
Date addDays(Date d, std::int64_t n);
// Whole months; a day past the end of the target month becomes its last day.
Date addMonths(Date d, int n);

// "yyyy-mm-dd hh:nn", "yyyy-mm-dd hh:nn:ss", "yyyy年mm月dd日".
std::string formatMinutes(Date d);
std::string formatSeconds(Date d);
std::string formatJapaneseDate(Date d);
// The grid's text of a QSO time: seconds when showSeconds is 1.
std::string formatGrid(Date d, int showSeconds);
// "yyyy/mm/dd hh:nn:ss", date only at exactly midnight.
std::string formatGeneral(Date d);

// Reads "yyyy-mm-dd hh:nn[:ss]" and "yyyy/mm/dd[ hh:nn[:ss]]" (one- or
// two-digit month, day, hour, minute and second), or a date alone.
std::optional<Date> parse(std::string_view text);

}  // namespace ole

// The contest's entry rules beyond scoring, as optional keys of a contest
// definition: the power letters and their limits, the power limits of the
// categories, the bands phone categories do not count, the shape of the
// received numbers and the contest period. A definition without them has
// none of these rules; each read of a definition starts them empty.
//
//   PowerCode=L;10;20              letter; watts 1.9-28 MHz; 50-430 MHz; 1200 MHz up
//   CategoryPowerCode=H;C*H,X*H    categories whose code matches send that letter
//   CategoryPower=P*;10;20;10      the power limit of the categories that match
//   PhoneExcludedBands=14          band words phone categories do not count
//   RcvdNoShape=1.8-1200;101-114,02-48   numbers received on a band range
//   RcvdNoShape=2400-10G;#4-6            (#4-6: any number of 4 to 6 digits)
//   ContestPeriod=04/SatL 21:00;24 start (in the log's zone) and hours
//
// Watts: 0 means up to the licence; a missing figure repeats the one before.
// Code patterns: "*" stands for any run of characters.
#pragma once
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "contest/bands.h"
#include "log/oledate.h"

struct ContestDefinition;

// Limits for 1.9-28 MHz, 50-430 MHz and 1200 MHz and up; 0 = none.
using BandWatts = std::array<std::int16_t, 3>;

struct PowerCodeRule {
  std::string Letter;
  BandWatts Watts{};
};

struct CategoryPowerCodeRule {
  std::string Letter;
  std::vector<std::string> Codes;  // patterns
};

struct CategoryPowerRule {
  std::vector<std::string> Codes;  // patterns
  BandWatts Watts{};
};

// Numbers of Low's width from Low to High ("02-48"), or, with Low empty,
// any number of MinDigits to MaxDigits digits ("#4-6").
struct NumberRange {
  std::string Low, High;
  int MinDigits = 0, MaxDigits = 0;
};

struct RcvdNoShapeRule {
  int FirstBand = 0, LastBand = bands::kBandCount - 1;  // band indexes
  std::vector<NumberRange> Numbers;
};

// "2026/01/02 09:00" (that year), "01/02 09:00" (every year) or
// "04/SatL 21:00" (a weekday of the month: Sat1..Sat5, SatL the last).
struct ContestPeriodRule {
  int Year = 0;  // 0: every year
  int Month = 1;
  int Day = 0;      // 0: by weekday
  int Weekday = 0;  // 0 Sunday .. 6 Saturday
  int Week = 0;     // 1..5, -1 the last
  int Minute = 0;   // of the start day
  int Hours = 0;    // length
};

namespace rules {

// Applies the value of one of the keys above; false when the key is none of
// them. A value that does not read adds or changes nothing.
bool ApplyRuleKey(std::string_view key, std::string_view value, ContestDefinition& def);
// Empties every rule above (a read starts from none).
void ClearRules(ContestDefinition& def);

// The watt group of a band index: 0 below 50 MHz, 1 for 50-430 MHz, 2 above.
int WattGroup(int bandIndex);
// A code pattern where "*" stands for any run of characters.
bool CodeMatches(std::string_view pattern, std::string_view code);

// The power letters the contest knows; nothing when it names none.
const PowerCodeRule* FindPowerCode(const ContestDefinition& def, std::string_view letter);
// The letter a category sends ("" when the definition ties it to none).
std::string_view CategoryPowerLetter(const ContestDefinition& def, std::string_view cateCode);
// The category's power limit on a band in watts, from its letter and its
// own limits (the lowest wins); 0 when it has none.
int CategoryPowerLimit(const ContestDefinition& def, std::string_view cateCode, int bandIndex);
// The numbers received on a band; nothing when the contest names none.
const RcvdNoShapeRule* RcvdNoShapeOf(const ContestDefinition& def, int bandIndex);
// The digits fit one of the ranges.
bool NumberFits(const std::vector<NumberRange>& ranges, std::string_view digits);
// The ranges as the definition writes them ("101-114,02-48").
std::string NumberRangesText(const std::vector<NumberRange>& ranges);

struct Period {
  ole::Date Start = 0, End = 0;  // both included
};
// The period of the given year (the rule's own year when it has one);
// nothing when that month has no such day.
std::optional<Period> PeriodOf(const ContestPeriodRule& rule, int year);

}  // namespace rules

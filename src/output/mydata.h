// The station data of the summary sheet as the station-data dialog shows and
// stores it: the fixed lists of the dialog, the key rule of the power box,
// and the copy between the settings and the dialog's controls.
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "contest/contestdef.h"

struct Settings;
struct ContestDefinition;

namespace mydata {

// The licence classes offered, in list order.
inline constexpr std::array<std::string_view, 7> kLicenseClasses = {
    "第一級アマチュア無線技士", "第二級アマチュア無線技士", "第三級アマチュア無線技士",
    "第四級アマチュア無線技士", "FCC EXTRA",                "FCC GENERAL",
    "FCC TECNITIAN"};

// The field-day coefficients offered; stored as list position + 1.
inline constexpr std::array<std::string_view, 2> kFdKeisuEntries = {"1", "2"};

inline constexpr int kBandCount = 16;

// The captions of the sixteen power lists, by band index.
inline constexpr std::array<std::string_view, kBandCount> kPowerCaptions = {
    "1.9MHz帯", "3.5MHz帯", "7MHz帯",    "10MHz帯",   "14MHz帯",   "18MHz帯",
    "21MHz帯",  "24MHz帯",  "28MHz帯",   "50MHz帯",   "144MHz帯",  "430MHz帯",
    "1200MHz帯", "2400MHz帯", "5600MHz帯", "10.1GHz帯"};

// The power letters a band offers, in list order: " " (no letter), then H up
// to 50 MHz, M up to 430 MHz, L up to 1200 MHz, and P on every band.
std::vector<std::string> PowerEntries(int bandIndex);

// The power box takes only digits, backspace, ".", "K", "p", "m" and "W".
bool PowerKeyAccepted(char32_t c);

// Characters a station-data box refuses: "<" and ">", which open and close
// the summary sheet's elements, control characters (line ends pass in a box
// of several lines) and whatever CP932 cannot hold.
bool RefusedInBox(char32_t c, bool severalLines);
// The notice for a refused character c.
std::string_view RefusedText(char32_t c);
inline constexpr std::string_view kPowerKeysText =
    "最大空中線電力には数字と単位（K、m、W）だけを入力できます";

// The power as entered: a number with at most one unit "K", "m" or "W"
// ("100", "100W", "0.5", "1K", "500m"), at least 1 mW. Empty when the text
// is such a power or empty (the check before submission asks for it),
// otherwise what is wrong with it.
std::string PowerError(std::string_view power);

// The dialog's controls as plain values. Multi-line texts end their lines
// with CR LF, as the settings keep them.
struct StationForm {
  std::string Contest;   // read-only label
  std::string Category;  // label: name of the chosen category row
  std::string CateCode;  // label: code of the chosen category row
  std::string CallSign, Name, Address, TelNo, Email, LicenseClass;
  std::string ClubName, ClubNo, Operator, OpsAndClass, UnyoChi, Setsubi;
  std::string Power;
  bool PowerRated = true;      // "定格出力"
  bool PowerMeasured = false;  // "実測出力"
  int FdKeisuIndex = 0;        // position in kFdKeisuEntries
  std::string PsType;
  std::string Oath;
  std::string Prf, Jcc, Age, TestName;
  std::array<std::string, kBandCount> PwCode;
};

// The oath the contest kind calls for (the contest definition's rule).
using ::OathOf;

// The list position for a stored coefficient. Only 1 and 2 exist; any other
// stored value shows as "1" (it used to stop the dialog from opening).
int FdKeisuIndexOf(std::int16_t stored);

// DataLoad (without the category grid, which the window fills from the
// definition's CategoryList): every control from its variable, then OathLoad.
StationForm DataLoad(const Settings& s, const ContestDefinition& def);

// What keeps the controls from being stored: a text with a refused
// character (from a hand-edited settings file) or a power PowerError
// refuses. `field` is the control's member, nullptr when all is well.
struct FormProblem {
  std::string message;
  std::string StationForm::*field = nullptr;
};
FormProblem CheckForm(const StationForm& f);

// MyDataSave: every control back into its variable, OathSave, then the
// chosen category's CateMode, CateBand and CateMlt from the first row of
// CategoryList with that code (unchanged when no row has it).
void MyDataSave(const StationForm& f, const ContestDefinition& def, Settings& s);

}  // namespace mydata

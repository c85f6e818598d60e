// The steps between a finished log and a submitted one that need no window:
// the summary sheet's required items, the electronic log's file name, the
// document date and the fixed texts of the log-making and mail dialogs.
#pragma once
#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "log/oledate.h"
#include "log/ui.h"

struct ContestDefinition;
struct Settings;

namespace submit {

// ---- The summary-sheet check

// Blank as the check sees it: nothing left once the spaces at both ends are
// trimmed (a line break counts as content).
bool Blank(std::string_view value);

// One display of the check dialog: the value as stored and whether it is missing.
struct CheckItem {
  std::string value;
  bool missing = false;
};

// The displays in dialog order: contest name, category name, category code,
// power, call sign, licensee's name, licence class, address, oath (the one
// the contest kind calls for).
enum CheckRow { kContest, kCategory, kCateCode, kPower, kCallSign, kName, kLicenseClass,
                kAddress, kOath, kCheckRows };

struct SummaryCheck {
  std::array<CheckItem, kCheckRows> items;
  std::string powerType;  // "実測出力" or "定格出力", never marked
  // Every required item is filled in.
  bool complete() const;
};

// SummaryCheckLoad: the required items of the summary sheet. A stored
// category code is taken as it is, listed in the definition or not.
SummaryCheck SummaryCheckLoad(const Settings& s, const ContestDefinition& def);

inline constexpr std::string_view kMissing = "未設定";

// The required items that are blank, by their settings key, in the check's
// order: JarlContest, JarlCategory, JarlCateCode, JarlPower, JarlCallSign,
// JarlName, JarlLicenseClass, JarlAddress, then the oath of the contest kind.
std::vector<std::string_view> MissingItems(const Settings& s, const ContestDefinition& def);

// What the R2.1 format needs beyond the check: the e-mail address, the
// licence date of a newcomer entry, the age of a silver or junior entry. The
// names of the blank ones, as the dialogs call them.
std::vector<std::string_view> R21MissingItems(const Settings& s, std::string_view licenseDate);

// ---- The electronic log's file

// "電子ログファイル (*.tmq)|*.tmq|" in the program folder's SentLog, with an
// overwrite prompt, proposing the station's call sign as the name.
FileDialogOptions ElogSaveDialog(const std::string& programFolder, std::string_view callSign = {});

// The name proposed for the electronic log of a call sign: the trimmed call
// with "/" (and any other character a file name cannot hold) as "_", then
// the .tmq rule below ("JA1ZZZ/1" -> "JA1ZZZ_1.tmq"); empty for a blank call.
std::string ElogProposedName(std::string_view callSign);

// The name the electronic log is written under: after the last "/",
// everything from the first "." on becomes ".tmq" ("abc.txt" -> "abc.tmq");
// a name without "." gets ".tmq".
std::string ElogSaveName(std::string_view chosen);

// ---- The document date

// Reads "yyyy年mm月dd日" (one- or two-digit month and day).
std::optional<ole::Date> ParseJapaneseDate(std::string_view text);

enum class DatePart { Day, Month, Year };
// One step of an up-down: a day moves across month and year ends; a month
// or a year keeps the day when the target month has it and takes the
// month's last day otherwise. A step out of 0100..9999 leaves the date.
ole::Date StepDate(ole::Date d, DatePart part, int step);

// ---- Texts of the dialogs
inline constexpr std::string_view kNoSignature = "署名をしてください！";
inline constexpr std::string_view kNoLog = "ログデータがありません！";
inline constexpr std::string_view kCfmPressOk = "OKボタンで実行します";
inline constexpr std::string_view kCfmSending = "E-メールを送信中です！";
inline constexpr std::string_view kCfmNoAddress = "送信先のメールアドレスがありません";

// Before the mail goes: the program that sends it and the addresses, one a line.
std::string CfmIntroText(std::string_view program, const std::vector<std::string>& to);
// After: how many messages went, and to which addresses, one a line.
std::string CfmSentText(const std::vector<std::string>& sent);

}  // namespace submit

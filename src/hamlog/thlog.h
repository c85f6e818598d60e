// The exchange with a HAMLOG database: reading the QSOs of a time window into
// the log, and appending the whole log to the database. Both go through the
// library and bridge of hamloglib.h; no window code here.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "hamlog/hamloglib.h"
#include "log/import.h"
#include "log/oledate.h"
#include "log/progress.h"
#include "log/qso.h"

class CtyTables;
class GridRows;
class Ui;
struct ContestDefinition;
struct Settings;

namespace thtext {
inline constexpr std::string_view kAskRead =
    "ターボハムログからログデータを取得します\r\nターボハムログを起動していたら終了してください";
inline constexpr std::string_view kAskReadTitle = "ターボハムログからデータ取得";
inline constexpr std::string_view kNoLibraryCaption = "(Not Hamlog50.dll)";
inline constexpr std::string_view kNoLibrary = "Hamlog50.dllを TAMARACK のカレントフォルダにおいて下さい";
inline constexpr std::string_view kNoDbFile = "HAMLOG.hdb ファイルを設定して下さい";
inline constexpr std::string_view kCannotOpen = "データベースをオープンできませんでした";
inline constexpr std::string_view kNoQso = "QSOデータがありません";
inline constexpr std::string_view kFrameUtc = "ターボハムログ読込日時設定 ( UTC )";
inline constexpr std::string_view kFrameJst = "ターボハムログ読込日時設定 ( JST )";

inline constexpr std::string_view kNoLog = "ログデータがありません！";
inline constexpr std::string_view kNoDbSet =
    "ハムログデータベースが設定されていません！\r\nハムログデータベースファイルを設定して下さい";
inline constexpr std::string_view kDbMissing =
    "ハムログデータベースファイルが見つかりません！\r\nハムログデータベースファイルを設定して下さい";
inline constexpr std::string_view kAskAppend =
    "ターボハムログデータベースにログデータを追加します\r\nターボハムログを起動していたら終了して下さい\r\nよろしいですか？";
inline constexpr std::string_view kAskAppendTitle = "Tamarack -> ターボハムログ";
inline constexpr std::string_view kNoTable = "TH_DX.dat が見つかりません";
inline constexpr std::string_view kAppendNoLibrary = "Hamlog50.dll が見つかりません";
inline constexpr std::string_view kAppendCannotOpen = "データベースがオープンできません";
inline constexpr std::string_view kAppendReplaced =
    "ログデータの追加中にデータベースファイルが削除されたか置き換えられました\r\n"
    "追加したログデータはデータベースに残っていません";
// "読み込めないデータが N 件あったため、読み飛ばしました"
std::string unreadableSkipped(int count);
// "周波数がバンドの範囲外のデータが N 件あったため、バンドを空欄にしました"
std::string bandLeftEmpty(int count);
// "(Hamlog50.dll Ver " + version + ")"
std::string versionCaption(int version);
}  // namespace thtext

// The version number written in hexadecimal, those digits read as a decimal
// number (as far as they are digits).
std::int64_t ThHexAsDecimal(std::int32_t version);
// The read dialog's version: ThHexAsDecimal / 10000 to the nearest whole number.
int ThReadVersion(std::int32_t version);

// HamlogOpen, record count, HamlogClose (also when the count throws).
// Returns the open result (0 = opened).
std::int32_t ThCountRecords(HamlogLibrary& lib, const std::string& path, std::int32_t& count);

// "yyyymmddhhnn" of a time, as the From/To window compares them.
std::string ThWindowText(ole::Date d);

// ---- Reading.

// The band text and index (0..15) of a frequency in MHz; false outside the table.
bool ThBandOf(double mhz, std::string& band, int& index);
// The band of a frequency field: a band text as the append writes it, else
// the frequency's band; false (band and index unchanged) outside the table.
bool ThBandOfFrequency(std::string_view freq, std::string& band, int& index);
// The log's mode text for a database mode.
std::string ThModeOf(std::string_view mode);
// The received number of a remarks text in the shape the append writes
// ("599-13M/599-10H", "599/599", either followed by two blanks and more),
// given the record's own reports; nothing when it has another shape.
std::optional<std::string> ThRcvdNoOfReportLine(std::string_view remarks, std::string_view sentRst,
                                                std::string_view rcvdRst);
// A record's date ("yy/mm/dd" or "yyyy/mm/dd") and the first five
// characters of its time; nothing when they do not read as a date and time.
std::optional<ole::Date> ThRecordTime(std::string_view date, std::string_view time);

struct ThReadRequest {
  std::string path;
  int version = 0;
  ole::Date from = 0, to = 0;
  int showSeconds = 0;
};

struct ThReadResult : ImportResult {
  int unreadable = 0;  // records that could not be read or carry no date and time: skipped
  int noBand = 0;      // QSOs read whose frequency lies outside the band table: band empty
};
// What the end of a read tells besides failures: empty when all was read.
std::string ThReadNote(const ThReadResult& r);

// Appends the QSOs of the window to the log and the grid and sets LogDirty.
// Stops at the log's limit (limited) or at a failure of the library (failed,
// error); what was read so far stays. The caller shows the messages,
// scrolls the grid and runs the search.
ThReadResult ThlogDataRead(HamlogLibrary& lib, const ThReadRequest& req, const Settings& ini,
                           const ContestDefinition& def, LogDocument& doc, GridRows& grid,
                           Progress& progress);

// ---- Appending.

struct ThDxEntry {
  std::string prefix, code, name;
};
// TH_DX.dat's lines (CP932 bytes); false when the file cannot be read.
bool ThDxRead(const std::string& path, std::vector<ThDxEntry>& out);

// What one QSO becomes: the texts of the record's fields (UTF-8).
struct ThRecord {
  std::string call, date, time, sentRst, rcvdRst, freq, mode, code, qsl, qslMsg, name, remarks1,
      remarks2, flag;
};

// Values fixed for a whole run.
struct ThAppendRun {
  std::string qsl;                  // the 3-character QSL field
  std::string qslMsg;               // the QSL card message (field 11), when switched on
  std::string remarkBase1, remarkBase2;
  std::vector<ThDxEntry> table;
};
ThAppendRun ThAppendRunFor(const Settings& ini, std::vector<ThDxEntry> table);

// The record of one QSO.
ThRecord ThRecordOf(const QsoRecord& q, const ThAppendRun& run, const Settings& ini,
                    const ContestDefinition& def, const CtyTables& cty);

struct ThAppendResult {
  // Replaced: the database file was deleted or replaced during the run.
  enum Outcome { Appended, NoLibrary, CannotOpen, Failed, Replaced } outcome = Appended;
  int appended = 0;   // what the database holds now less what it held before
  std::string error;  // Failed: the failing call's text
};

// Appends every QSO of the log, in log order, each record stored as it is
// appended. The caller has confirmed; this shows nothing but through progress.
ThAppendResult ThLogDbAppend(HamlogLibrary& lib, const std::string& path, const LogData& log,
                             const ThAppendRun& run, const Settings& ini, const ContestDefinition& def,
                             const CtyTables& cty, Progress& progress);

// The checks of the append command: the message that stops it, or empty to
// go on. settings is set when the settings dialog should open after it.
std::string_view ThConvRefusal(const LogData& log, const std::string& dbFile, bool& settings);

// The whole command: TH_DX.dat from the program folder (its absence told
// through ui), the append, and its messages through ui.
ThAppendResult ThLogDbAppendRun(HamlogLibrary& lib, const std::string& path, const LogData& log,
                                const std::string& programFolder, const Settings& ini,
                                const ContestDefinition& def, const CtyTables& cty, Ui& ui,
                                Progress& progress);

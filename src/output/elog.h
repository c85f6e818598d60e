// The JARL electronic log (".tmq"): a summary sheet made of the station
// data, the score table and the oath, then a log sheet with one fixed-column
// line per QSO. CP932 text, every line ended by CR LF.
//
// The log-making dialog calls MkJarlELog with the path it chose and stops
// before the editor and the mail when it fails:
//
//   ElogResult r = MkJarlELog(path, {log, def, score, settings, todayText, signature}, bar);
//   if (!r.ok) { ui.tell(r.error); return; }
//
// The score is taken as the last dupe and multiplier search left it; nothing
// is recomputed here.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "contest/search.h"
#include "log/qso.h"

struct ContestDefinition;
struct Settings;
class Progress;

namespace elog {

// Everything the electronic log is made of; read only.
struct ElogSource {
  const LogData& log;
  const ContestDefinition& def;
  const ScoreTable& score;       // BandStats and TotalScore of the last search
  const Settings& settings;      // the station data
  const std::string& todayText;  // the summary date, "yyyy年mm月dd日"
  const std::string& signature;  // JarlSignature
  // The licence date of a newcomer entry ("2020年02月28日"), written by the
  // R2.1 format only; asked for when the log is made, not kept.
  std::string_view licenseDate = {};
};

struct ElogResult {
  bool ok = false;
  std::string error;  // the system's description of the failure when !ok
  // The log holds what the chosen format cannot express (nothing written).
  bool refused = false;
};

// The score label of band index 0..15 ("1.8MHz" ... "10.1GHz").
std::string_view ScoreLabel(int bandIndex);

// The score table as text: one line per band (the score labels) and
// "TOTAL", each "label TAB QsoCount TAB DupeCount TAB PointSum TAB
// MltCount", then "TotalScore TAB n". LF line ends.
std::string ScoreTableText(const ScoreTable& score);

// The six-character band column of a QSO line for a stored band text.
std::string BandColumn(std::string_view band);

// The column-title line of the log sheet (without its line end).
std::string ColumnTitle(const ContestDefinition& def, std::int16_t cateMlt);

// One QSO line of the log sheet (UTF-8, without its line end).
std::string QsoLine(const QsoRecord& r, const ContestDefinition& def);

// The summary sheet, UTF-8 with CR LF line ends, "</SUMMARYSHEET>" included.
std::string SummarySheet(const ElogSource& src);

// The whole file as CP932 bytes. Reports each QSO to progress.
std::string ElogBytes(const ElogSource& src, Progress& progress);

// Writes the electronic log to path (replaced whole, or left as it was when
// writing fails). The progress runs from 0 to the number of QSOs, showing
// each QSO's number and call sign, and is finished in every case.
ElogResult MkJarlELog(const std::string& path, const ElogSource& src, Progress& progress);

// ---- The R2.1 format, beside R1.0: a shorter summary sheet and a log sheet
// of blank-separated fields, half-width characters only.

enum class ElogFormat { R10, R21 };

// "R1.0", "R2.1".
std::string_view FormatName(ElogFormat f);
// Reads "R1.0"/"r1.0"/"R2.1"/"r2.1"; nothing for any other text.
std::optional<ElogFormat> ParseFormat(std::string_view text);
// The format a contest starts with: its definition's ElogFormat, R1.0 when
// the definition says nothing (or something unknown); the parties are R1.0.
ElogFormat DefaultFormat(const ContestDefinition& def);
// The two parties are written in R1.0 only.
bool R21Allowed(const ContestDefinition& def);
// Categories whose R2.1 summary sheet carries the licence date (newcomers)
// or the age (silver and junior categories).
bool NeedsLicenseDate(std::string_view cateCode);
bool NeedsAge(std::string_view cateCode);
// The maximum power as a plain number of watts: "100" stays, "1K" gives
// "1000", "500m" gives "0.5". A text that is no number is kept as it is.
std::string PowerWatts(std::string_view jarlPower);

// The R2.1 summary sheet, UTF-8 with CR LF line ends.
std::string SummarySheetR21(const ElogSource& src);
// The R2.1 column-title line.
std::string ColumnTitleR21(const ContestDefinition& def);
// One R2.1 QSO line (without its line end), or nothing when the QSO holds a
// character other than half-width ones, or a blank inside a field.
std::optional<std::string> QsoLineR21(const QsoRecord& r);
// The message for a QSO that R2.1 cannot hold.
std::string R21RefusalText(const QsoRecord& r);

// The whole R2.1 file as CP932 bytes; an error text instead when a QSO
// cannot be written or the contest is a party.
struct ElogBytesResult {
  std::string bytes;
  std::string error;
};
ElogBytesResult ElogBytesR21(const ElogSource& src, Progress& progress);

// Writes the R2.1 electronic log to path, replacing it only when the whole
// log could be written; a refused QSO leaves any file there untouched.
ElogResult MkJarlELogR21(const std::string& path, const ElogSource& src, Progress& progress);

// The writer of the chosen format.
ElogResult MakeElog(ElogFormat format, const std::string& path, const ElogSource& src,
                    Progress& progress);

}  // namespace elog

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
#include <string>
#include <string_view>
#include <vector>

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
};

struct ElogResult {
  bool ok = false;
  std::string error;  // the system's description of the failure when !ok
};

// The score label of band index 0..15 ("1.8MHz" ... "10.1GHz").
std::string_view ScoreLabel(int bandIndex);

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

// The summary sheet's required items that are blank (after trimming), by
// their settings key, in the order the check names them: JarlContest,
// JarlCategory, JarlCateCode, JarlPower, JarlCallSign, JarlName,
// JarlLicenseClass, JarlAddress, then the oath that fits the contest kind.
std::vector<std::string_view> MissingItems(const Settings& s, const ContestDefinition& def);

// Writes the electronic log to path (replaced whole, or left as it was when
// writing fails). The progress runs from 0 to the number of QSOs, showing
// each QSO's number and call sign, and is finished in every case.
ElogResult MkJarlELog(const std::string& path, const ElogSource& src, Progress& progress);

}  // namespace elog

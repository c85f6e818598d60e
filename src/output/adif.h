// ADIF export (".adi"): the whole log as one line of ADIF elements per QSO,
// for other logging programs. CP932 text, CR LF, no header; or, with the
// standard switch, the file other loggers and QSL services take as it is.
// The DXCC number of each call sign's entity comes from the table AdiDxcc.dat.
//
// The main window's command calls AdifOut with the chosen name cut before
// its extension:
//
//   AdifOut(base, {log, def.SetUTCtime == 1, cty, settings, options, def.ContestNo,
//                  clock.now()}, programDir, ui, bar);
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "contest/detail.h"
#include "log/oledate.h"
#include "log/qso.h"

class CtyTables;
struct Settings;
class Progress;
class Ui;

namespace adif {

inline constexpr const char* kDxccFileName = "AdiDxcc.dat";
inline constexpr const char* kDxccMissing = "AdiDxcc.dat ファイルが有りません！";

// AdiDxcc.dat: characters 1-6 of a line an entity, 7-12 its DXCC number,
// both trimmed; a line whose number is no decimal number is skipped. A
// look-up answers the first line of an entity, as a scan from the top would.
class DxccTable {
 public:
  struct Entry {
    std::string Entity;
    std::string Number;
  };

  // Adds the lines of the table's text (UTF-8); CR LF or LF.
  void parse(std::string_view text);
  // The number of an entity; nullptr when the table has none.
  const std::string* find(std::string_view entity) const;
  std::size_t size() const { return entries_.size(); }
  const std::vector<Entry>& entries() const { return entries_; }

 private:
  std::vector<Entry> entries_;
  contest_detail::FlatIndex index_;
};

enum class DxccReadResult { Ok, Missing, Error };

// Reads the program folder's AdiDxcc.dat into table (emptied first).
DxccReadResult ReadDxccTable(const std::string& programDir, DxccTable& table,
                             std::string* error = nullptr);

inline constexpr const char* kAdifVersion = "3.1.4";
inline constexpr const char* kProgramId = "Tamarack";

// What the mode text "WSJT" (a family of modes) stands for in a standard file.
enum class WsjtMode : std::int16_t { FT8, FT4, JT65, JT9, Q65 };
inline constexpr std::array<std::string_view, 5> kWsjtModeNames = {"FT8", "FT4", "JT65", "JT9",
                                                                   "Q65"};

// The export's switches that live for the program's run only, never in the
// settings file; the ADIF settings window and the command line fill them.
struct AdifOptions {
  std::int16_t AdiRmkSw = 1;     // 1: AdiRemark goes into every record as comment
  std::int16_t AdiQslMsgSw = 1;  // 1: AdiQslMsg goes into every record as qslmsg
  // 1: the file as the ADIF standard has it, for other loggers and QSL
  // services: a header, enumerated modes, station call, exchange and contest.
  std::int16_t AdiStdSw = 0;
  WsjtMode AdiWsjtMode = WsjtMode::FT8;
};

// Everything an export is made of; read only.
struct AdifSource {
  const LogData& log;
  bool utcLog;                // the contest keeps UTC (SetUTCtime 1); else JST
  const CtyTables& cty;       // for each call sign's entity
  const Settings& settings;   // AdiSendSw, AdiRcvdSw, AdiCty2JaSw, AdiQslMsg, AdiRemark;
                              // JarlCallSign, JarlOperator for the standard file
  AdifOptions options{};
  std::int16_t contestNo = 0;  // ContestNo: the standard file's contest_id
  ole::Date now = 0;           // the clock (local time) when the file is made
};

// A mode text as the ADIF mode enumeration has it; mode is empty when the
// text has no ADIF meaning (compared exactly, like every mode text).
struct StandardMode {
  std::string_view mode;
  std::string_view submode;  // empty when the mode has none
};
StandardMode StandardModeOf(std::string_view modeText, WsjtMode wsjt);

// The standard file's freq of a stored band: MHz, inside the ADIF band;
// empty outside the table.
std::string_view StandardFreq(std::string_view band);

// The ADIF contest id of a contest number; empty for contests the
// enumeration has none for (the domestic JARL contests).
std::string_view ContestIdOf(std::int16_t contestNo);

// The standard file's header ("<eoh>" and CR LF included): version, program
// and the time the file was made, now less 9 hours as the program's UTC.
std::string AdifHeader(ole::Date now);

// One element: "<name:length>value " with the length in characters.
void AppendElement(std::string& out, std::string_view name, std::string_view value);

// The band element of a stored band text ("<band:3>40m "); empty for a band
// outside the table, whose QSO then gets neither band nor freq.
std::string_view BandElement(std::string_view band);

// One QSO's line (UTF-8, "<eor>" included, no line end). dxcc may be null.
// The standard file counts lengths in the file's (CP932) bytes, since a
// reader counts what it reads; the classic one in characters.
std::string AdifLine(const QsoRecord& r, const AdifSource& src, const DxccTable* dxcc);

// What an export wrote that a reader may miss.
struct AdifCounts {
  int noBand = 0;   // QSOs of a band outside the table: neither band nor freq
  int appMode = 0;  // standard file: QSOs whose mode ADIF lacks, kept as app_tamarack_mode
};

// The whole file as CP932 bytes. Reports each QSO's call sign to progress;
// counts, when given, gets what the file leaves out.
std::string AdifBytes(const AdifSource& src, const DxccTable* dxcc, Progress& progress,
                      AdifCounts* counts = nullptr);

struct AdifResult {
  bool ok = false;
  AdifCounts counts;
  std::string path;   // base + ".adi"
  std::string error;  // the system's description of the failure when !ok
};

// Writes base + ".adi" (replaced whole, or left as it was when writing
// fails). A missing AdiDxcc.dat is told and the file is written without
// DXCC numbers; a failure to write is told with its error text. After a
// write, what the file leaves out is told in one message: the QSOs without a
// band; in the standard file those without an ADIF mode and a missing station
// call sign. The progress runs from 0 to the number of QSOs and is finished
// in every case.
AdifResult AdifOut(const std::string& base, const AdifSource& src, const std::string& programDir,
                   Ui& ui, Progress& progress);

// The name AdifOut is given for a path chosen in the save dialog: cut before
// the first "." after the last "/".
std::string AdifBaseName(const std::string& chosen);

}  // namespace adif

// ADIF export (".adi"): the whole log as one line of ADIF elements per QSO,
// for other logging programs. CP932 text, CR LF, no header. The DXCC number
// of each call sign's entity comes from the table AdiDxcc.dat.
//
// The main window's command calls AdifOut with the chosen name cut before
// its extension:
//
//   AdifOut(base, {log, def.SetUTCtime == 1, cty, settings}, programDir, ui, bar);
#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "contest/detail.h"
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

// Everything an export is made of; read only.
struct AdifSource {
  const LogData& log;
  bool utcLog;                // the contest keeps UTC (SetUTCtime 1); else JST
  const CtyTables& cty;       // for each call sign's entity
  const Settings& settings;   // AdiSendSw, AdiRcvdSw, AdiCty2JaSw, AdiQslMsg, AdiRemark
};

// One element: "<name:length>value " with the length in characters.
void AppendElement(std::string& out, std::string_view name, std::string_view value);

// The band element of a stored band text ("<band:3>40m "); empty for a band
// outside the table, whose QSO then gets neither band nor freq.
std::string_view BandElement(std::string_view band);

// One QSO's line (UTF-8, "<eor>" included, no line end). dxcc may be null.
std::string AdifLine(const QsoRecord& r, const AdifSource& src, const DxccTable* dxcc);

// What an export wrote that a reader may miss.
struct AdifCounts {
  int noBand = 0;  // QSOs of a band outside the table: neither band nor freq
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
// DXCC numbers; a failure to write is told with its error text, and after a
// write the number of QSOs written without a band. The
// progress runs from 0 to the number of QSOs and is finished in every case.
AdifResult AdifOut(const std::string& base, const AdifSource& src, const std::string& programDir,
                   Ui& ui, Progress& progress);

// The name AdifOut is given for a path chosen in the save dialog: cut before
// the first "." after the last "/".
std::string AdifBaseName(const std::string& chosen);

}  // namespace adif

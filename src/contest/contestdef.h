// Contest definitions (the ".cfg" files in the program folder's Cfg) and the
// section list some of them name.
#pragma once
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "contest/bands.h"
#include "contest/contestrules.h"
#include "contest/detail.h"

struct Settings;
class Ui;

struct BandPoint {
  std::int16_t PointA = 0;
  std::int16_t PointB = 0;
  std::int16_t PointC = 0;
};

// One entry category, one per "StdCategory" line.
struct Category {
  std::string CategoryName;
  std::string CategoryCode;
  std::int16_t CateMode = 0;  // 1 phone, 2 CW, else no restriction
  std::int16_t CateBand = 0;  // 0 all, 1..13 one band, else no restriction
  std::int16_t CateMlt = 0;   // 1 multi-operator
};

// The rules of the loaded contest. Every setting is named by its key in the
// definition file. Integers start at 0 and texts empty; a read changes only
// the settings whose keys the file holds (CategoryList excepted, which each
// read empties).
struct ContestDefinition {
  std::string ContestName;
  std::int16_t ContestNo = 0;
  std::int16_t Exch = 0;
  std::int16_t MltType = 0;
  std::int16_t MltSearch = 0;
  std::int16_t PointType = 0;
  std::int16_t TotalPoint = 0;
  std::int16_t SentJarlCode = 0;
  std::int16_t FdKeisuEnabled = 0;
  std::int16_t ExchtoMlt = 0;
  std::int16_t SearchEntityFile = 0;
  std::int16_t SearchSectionFile = 0;
  std::int16_t SetUTCtime = 0;
  std::int16_t DqpEnabled = 0;
  std::int16_t NYPEnabled = 0;
  std::int16_t WpxSearch = 0;
  std::string SectionFile;
  std::string StdContestName;
  std::string TestMailAddress;
  std::string SendMailAddress;
  // The electronic log's format, "R1.0" (when the file says nothing) or
  // "R2.1"; unlike the older keys it is read afresh with every file.
  std::string ElogFormat;
  // The contest's web page for uploading electronic logs; optional.
  std::string UploadUrl;
  std::array<std::int16_t, bands::kBandCount> BandEnabled{};
  std::array<std::int16_t, bands::kModeCount> ModeEnabled{};
  std::array<BandPoint, bands::kBandCount> BandPoints{};
  std::vector<Category> CategoryList;  // rows 1..CategoryCount are [0..count-1]
  // The entry rules of contest/contestrules.h; optional, each read starts
  // them empty. Keys given more than once add a rule per line.
  std::vector<PowerCodeRule> PowerCode;
  std::vector<CategoryPowerCodeRule> CategoryPowerCode;
  std::vector<CategoryPowerRule> CategoryPower;
  std::array<std::int16_t, bands::kBandCount> PhoneExcludedBands{};  // 1 = not counted
  std::vector<RcvdNoShapeRule> RcvdNoShape;
  std::optional<ContestPeriodRule> ContestPeriod;

  std::int16_t CategoryCount() const { return static_cast<std::int16_t>(CategoryList.size()); }
  // Row i, 1-based as the station-data dialog numbers them.
  const Category& CategoryRow(int i) const { return CategoryList[static_cast<std::size_t>(i - 1)]; }
};

// The section texts of the section file, one per line, in file order, with
// an index for exact look-up.
class SectionList {
 public:
  std::int32_t SectionCount() const { return static_cast<std::int32_t>(entries_.size()); }
  // Entry i, 1-based.
  const std::string& Section(int i) const { return entries_[static_cast<std::size_t>(i - 1)]; }
  void clear();
  void add(std::string_view text);
  bool contains(std::string_view key) const;

 private:
  std::vector<std::string> entries_;
  contest_detail::FlatIndex index_;
};

// The contest name that goes with a contest number; empty for any number
// not in the table.
std::string ContestNameOf(std::int16_t contestNo);

// Applies one line of a definition file (UTF-8, line end removed). Lines
// without "=" and unknown keys are ignored; an integer value that does not
// convert leaves its setting unchanged. "StdContestName" also goes into
// settings.JarlContest when settings is given.
void CfgApplyLine(std::string_view line, ContestDefinition& def, Settings* settings);

// Applies every line of a definition text (CP932 bytes) in order, after
// emptying CategoryList, the optional ElogFormat and UploadUrl and the
// entry rules.
void CfgApplyText(std::string_view bytes, ContestDefinition& def, Settings* settings);

// Converts a definition file's integer text: blanks around it allowed, a
// decimal number (a fraction rounds half to even) within 16 bits.
bool CfgParseInt16(std::string_view text, std::int16_t& out);

struct CfgReadResult {
  // The definition file was read to its end: the window enables log_open.
  bool read = false;
  // The path read, or the path that was looked for when nothing was read.
  std::string path;
  // The stored path named no file but a file of the same name was found in
  // the program folder's Cfg and read instead; the caller stores path as
  // its CfgFileName.
  bool relocated = false;
  // The text for panel 1 of the main window's status bar (ContestName).
  std::string statusText;
};

// Reads the definition at path (the program folder's Cfg/dxped.cfg when
// path is empty) into def and then applies it (CfgDataSet). A path that
// names no file is looked up by its file name in the program folder's Cfg
// before "NOT CFG FILE" is shown; settings are then left as they were.
CfgReadResult CfgRead(const std::string& path, const std::string& programDir,
                      ContestDefinition& def, SectionList& sections, Settings& settings,
                      std::int16_t& logTestNo, Ui& ui);

// Applies the definition just read: loads the section list when the contest
// uses one, gives the log the contest number when it has none yet. Returns
// the status-bar text (ContestName).
std::string CfgDataSet(const std::string& programDir, const ContestDefinition& def,
                       SectionList& sections, std::int16_t& logTestNo, Ui& ui);

// Loads the section list from the program folder's Cfg/name. A missing file
// shows "セクションファイルがありません！" and keeps the previous list; a file
// that cannot be read empties it and is told by its path and the failure.
bool SectionRead(const std::string& programDir, const std::string& name, SectionList& sections,
                 Ui& ui);

// Sets notFound to 0 when some section equals key exactly; otherwise leaves
// it as the caller set it.
void SectionCheck(const SectionList& sections, std::string_view key, std::int16_t& notFound);

// The program folder's Cfg folder path with name appended.
std::string CfgPath(const std::string& programDir, std::string_view name);

// A definition text (CP932 bytes) with key set to value: the line that
// decides the key now (its last) gets the value; without one, a "key=value"
// line follows the last line of `after`, or ends the text. Every other byte,
// comments and key order included, stays; the new line ends in CR LF.
std::string CfgSetValue(std::string_view bytes, std::string_view key, std::string_view value,
                        std::string_view after = {});

// Sets key=value (UTF-8) in the program folder's copy of the definition at
// definitionPath (Cfg/ and its file name), replaced whole; the copy is made
// from definitionPath when there is none yet. False with the reason when it
// cannot be read or written.
bool CfgWriteValue(const std::string& programDir, const std::string& definitionPath,
                   std::string_view key, std::string_view value, std::string_view after,
                   std::string* error);

// The oath the contest kind calls for: the digital QSO party's, else the
// New-Year party's, else the contest oath.
std::string& OathOf(Settings& s, const ContestDefinition& def);
const std::string& OathOf(const Settings& s, const ContestDefinition& def);

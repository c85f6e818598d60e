// The dupe and multiplier search: re-scores the whole log under the loaded
// contest's rules.
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "log/qso.h"

struct ContestDefinition;
class CtyTables;
class SectionList;
class Progress;
class SearchWalk;

struct BandStat {
  std::int16_t QsoCount = 0;   // QSOs counted on the band, dupes included
  std::int16_t DupeCount = 0;  // duplicate QSOs on the band
  std::int32_t PointSum = 0;   // QSO points on the band, dupes excluded
  std::int16_t MltCount = 0;   // new multipliers found on the band
};

// One multiplier found: its key, band and mode as the QSO that brought it had them.
struct MltEntry {
  std::string MltKey;
  std::string Band;
  std::string Mode;
};

// What the search leaves behind for the score, the summary and the
// electronic log: BandStats rows 0..15 by band index, row 16 the totals of
// the enabled bands.
struct ScoreTable {
  static constexpr int kTotalRow = 16;
  std::array<BandStat, 17> BandStats{};
  // Kept as it was when the contest's TotalPoint is neither 1 nor 2. 64 bits:
  // points times multipliers passes 2^31 in large contests.
  std::int64_t TotalScore = 0;
  // The multipliers of the last run, in the order found.
  std::vector<MltEntry> MltList;
  std::int16_t MltListCount() const { return static_cast<std::int16_t>(MltList.size()); }
};

// Per-QSO search state.
enum SearchStatus : std::int16_t {
  SearchNormal = 0,
  SearchNoMlt = 1,         // counts, but is no multiplier candidate
  SearchNoPowerCode = 2,   // the received exchange lacks its power letter
  SearchOutOfCategory = 3  // outside the chosen category's band or mode
};

// Walks the log from the first QSO to the last and rewrites Dupe, Points and
// Mlt of every record (nothing else: number, order and remarks stay), then
// refills score. cateMode and cateBand are those of the chosen entry
// category. The progress shows "DUPE CHECK DATA  No. <n>  <call>" per QSO.
// The caller rebuilds its grid from the log afterwards.
void LogDataSearch(LogData& log, const ContestDefinition& def, const CtyTables& cty,
                   const SectionList& sections, std::int16_t cateMode, std::int16_t cateBand,
                   ScoreTable& score, Progress& progress);

// The same search with a walk the caller made, fresh, over the same
// definition; afterwards the walk knows the whole log (the live index takes
// it over).
void LogDataSearch(LogData& log, SearchWalk& walk, const ContestDefinition& def, ScoreTable& score,
                   Progress& progress);

#include "contest/search.h"

#include <charconv>
#include <limits>

#include "contest/bands.h"
#include "contest/contestdef.h"
#include "contest/searchwalk.h"
#include "log/progress.h"

namespace {

constexpr std::int16_t kInt16Max = std::numeric_limits<std::int16_t>::max();

// A count that would pass its 16-bit range is left as it is.
void bump(std::int16_t& count) {
  if (count < kInt16Max) ++count;
}

void add16(std::int16_t& to, std::int16_t v) {
  const int r = to + v;
  if (r >= std::numeric_limits<std::int16_t>::min() && r <= kInt16Max)
    to = static_cast<std::int16_t>(r);
}

void add32(std::int32_t& to, std::int32_t v) {
  const std::int64_t r = static_cast<std::int64_t>(to) + v;
  if (r >= std::numeric_limits<std::int32_t>::min() && r <= std::numeric_limits<std::int32_t>::max())
    to = static_cast<std::int32_t>(r);
}

// The progress label of a QSO: "DUPE CHECK DATA  No. <n>  <call>".
void showProgress(Progress& progress, int k, const QsoRecord& q, std::string& label) {
  progress.step(k);
  label.assign("DUPE CHECK DATA  No. ");
  char number[8];
  label.append(number, std::to_chars(number, number + sizeof number, q.QsoNo).ptr);
  label.append("  ");
  label.append(q.CallSign.trimmed());
  progress.label(label.c_str());
}

// The record takes the verdict; the multiplier list the key it brought.
void write(QsoRecord& q, const QsoVerdict& v, std::vector<MltEntry>& MltList) {
  q.Dupe = v.Dupe;
  q.Points = v.Points;
  if (v.listed) {
    MltList.push_back(MltEntry{v.MltKey, std::string(q.Band.trimmed()), std::string(q.Mode.trimmed())});
    q.Mlt.assign(v.MltKey);
  } else {
    q.Mlt.clear();
  }
}

// Counting on the QSO's band: dupes included in the QSO count but not in
// the points; the multiplier as the record shows it.
void countStep(BandStat& s, const QsoRecord& q, const QsoVerdict& v) {
  if (v.inCategory) bump(s.QsoCount);
  if (v.Dupe == 1)
    bump(s.DupeCount);
  else
    add32(s.PointSum, v.countedPoints);
  if (!q.Mlt.trimmed().empty()) bump(s.MltCount);
}

// The total row sums the enabled bands; the total score follows TotalPoint.
void totalsStep(ScoreTable& score, const ContestDefinition& def) {
  auto& stats = score.BandStats;
  BandStat& total = stats[ScoreTable::kTotalRow];
  for (std::size_t b = 0; b < bands::kBandCount; ++b) {
    if (def.BandEnabled[b] != 1) continue;
    add16(total.QsoCount, stats[b].QsoCount);
    add16(total.DupeCount, stats[b].DupeCount);
    add32(total.PointSum, stats[b].PointSum);
    add16(total.MltCount, stats[b].MltCount);
  }
  if (def.TotalPoint == 1) {
    score.TotalScore = total.PointSum;
  } else if (def.TotalPoint == 2) {
    score.TotalScore = static_cast<std::int64_t>(total.MltCount) * total.PointSum;
  }
}

}  // namespace

void LogDataSearch(LogData& log, const ContestDefinition& def, const CtyTables& cty,
                   const SectionList& sections, std::int16_t cateMode, std::int16_t cateBand,
                   ScoreTable& score, Progress& progress) {
  SearchWalk walk(def, cty, sections, cateMode, cateBand);
  LogDataSearch(log, walk, def, score, progress);
}

void LogDataSearch(LogData& log, SearchWalk& walk, const ContestDefinition& def, ScoreTable& score,
                   Progress& progress) {
  score.BandStats.fill(BandStat{});
  score.MltList.clear();
  const int count = log.count();
  if (count >= 1) {
    progress.start(count);
    QsoVerdict v;
    std::string label;
    for (int k = 1; k <= count; ++k) {
      QsoRecord& q = log[k];
      showProgress(progress, k, q, label);
      walk.next(q, v);
      write(q, v, score.MltList);
      if (v.band >= 0) countStep(score.BandStats[static_cast<std::size_t>(v.band)], q, v);
    }
    progress.finish();
  }
  totalsStep(score, def);
}

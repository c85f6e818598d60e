#include "contest/search.h"

#include <limits>

#include "contest/bands.h"
#include "contest/contestdef.h"
#include "contest/cty.h"
#include "contest/detail.h"
#include "log/progress.h"
#include "log/utf8.h"

namespace {

using contest_detail::FlatIndex;
using contest_detail::hashText;

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

// The call as the dupe rule compares it: a one-character portable suffix
// ("/1", "/P") dropped.
std::string_view dupeCall(std::string_view call) {
  const std::size_t last = contest_detail::lastCharStart(call);
  if (last >= 1 && call[last - 1] == '/') return call.substr(0, last - 1);
  return call;
}

bool lastIsDigit(std::string_view s) {
  if (s.empty()) return false;
  const char c = s.back();
  return c >= '0' && c <= '9';
}

// Outside the chosen category's band: codes 1..13 name one band, 13 being
// 10.1G or any band text with a "G".
bool outsideCategoryBand(std::int16_t cateBand, std::string_view band) {
  if (cateBand < 1 || cateBand > 13) return false;
  const std::string_view t = utf8::trim(band);
  if (cateBand == 13) return t != "10.1G" && band.find('G') == std::string_view::npos;
  return t != bands::CategoryBandText(cateBand);
}

bool outsideCategoryMode(std::int16_t cateMode, std::string_view mode) {
  if (cateMode == 1) return mode != "SSB" && mode != "FM" && mode != "AM";
  if (cateMode == 2) return mode != "CW";
  return false;
}

// Views into the log's records, whose call, band and mode the search never
// changes.
struct DupeEntry {
  std::string_view call, band, mode;
};

struct EntityAnswer {
  std::string call, entity, continent;
};

}  // namespace

void LogDataSearch(LogData& log, const ContestDefinition& def, const CtyTables& cty,
                   const SectionList& sections, std::int16_t cateMode, std::int16_t cateBand,
                   ScoreTable& score, Progress& progress) {
  auto& stats = score.BandStats;
  stats.fill(BandStat{});
  score.MltList.clear();
  const int count = log.count();
  if (count >= 1) {
    progress.start(count);

    // The lists are searched front to back by the rules; the indexes beside
    // them answer "is there a matching entry" with one hash probe.
    std::vector<DupeEntry> DupeList;
    DupeList.reserve(static_cast<std::size_t>(count));
    FlatIndex dupeIndex;
    dupeIndex.reserve(static_cast<std::size_t>(count));
    auto& MltList = score.MltList;
    MltList.reserve(static_cast<std::size_t>(count));
    FlatIndex mltIndex;
    mltIndex.reserve(static_cast<std::size_t>(count));
    // A country look-up depends on the call alone: each distinct call is
    // looked up once.
    std::vector<EntityAnswer> entities;
    FlatIndex entityIndex;

    std::string label;
    std::string MltKey, continent;
    int prevBand = 0;
    for (int k = 1; k <= count; ++k) {
      QsoRecord& q = log[k];
      const std::string_view callTrim = q.CallSign.trimmed();
      const std::string_view band = q.Band.trimmed();
      const std::string_view mode = q.Mode.trimmed();

      progress.step(k);
      label.assign("DUPE CHECK DATA  No. ");
      label.append(std::to_string(q.QsoNo));
      label.append("  ");
      label.append(callTrim);
      progress.label(label.c_str());

      // A band text no rule knows (only imports make one) counts on the
      // band of the QSO before it.
      int b = bands::BandIndexOf(band);
      if (b < 0) b = prevBand;
      prevBand = b;
      const auto bi = static_cast<std::size_t>(b);

      MltKey.clear();
      continent.clear();
      std::int16_t status = SearchNormal;
      std::int16_t notFound = 0;

      if (def.BandEnabled[bi] == 1) {
        const std::string_view call = dupeCall(callTrim);
        const std::uint64_t dupeHash = hashText(band, hashText(call));
        const auto sameDupe = [&](std::uint32_t p) {
          return DupeList[p].call == call && DupeList[p].band == band;
        };
        if (dupeIndex.find(dupeHash, sameDupe) != FlatIndex::kNone) {
          q.Dupe = 1;
          q.Points = 0;
        } else {
          dupeIndex.insert(dupeHash, static_cast<std::uint32_t>(DupeList.size()));
          DupeList.push_back(DupeEntry{call, band, mode});
          q.Dupe = 0;

          if (def.SearchEntityFile == 1) {
            const std::uint64_t h = hashText(call);
            std::uint32_t p =
                entityIndex.find(h, [&](std::uint32_t i) { return entities[i].call == call; });
            if (p == FlatIndex::kNone) {
              EntityAnswer a{std::string(call), {}, {}};
              cty.EntitySearch(call, a.entity, a.continent);
              p = static_cast<std::uint32_t>(entities.size());
              entityIndex.insert(h, p);
              entities.push_back(std::move(a));
            }
            MltKey = entities[p].entity;
            continent = entities[p].continent;
          }
          if (def.ExchtoMlt == 1) MltKey.assign(q.RcvdNo.trimmed());
          if (def.SentJarlCode == 1) {
            // The exchange ends with the power letter, which is no part of
            // the key; an exchange that ends in a digit (or is empty) lacks it.
            if (!MltKey.empty() && !lastIsDigit(MltKey)) {
              MltKey.resize(contest_detail::lastCharStart(MltKey));
            } else {
              MltKey.assign(q.RcvdNo.trimmed());
              status = SearchNoPowerCode;
            }
          }
          if (def.SearchSectionFile == 1 && status == SearchNormal) {
            notFound = 1;
            SectionCheck(sections, MltKey, notFound);
            if (notFound == 1) status = SearchNoMlt;
          }
          const BandPoint& pts = def.BandPoints[bi];
          if (def.PointType == 1) {
            q.Points = pts.PointA;
          } else if (def.PointType == 2) {
            if (continent == "AS")
              q.Points = MltKey == "JA" ? pts.PointC : pts.PointB;
            else if (continent.empty())
              q.Points = 0;
            else
              q.Points = pts.PointA;
          }
          if (status == SearchNoPowerCode || notFound == 1) q.Points = 0;
        }
      }

      if (outsideCategoryBand(cateBand, q.Band.view()) || outsideCategoryMode(cateMode, mode)) {
        q.Points = 0;
        status = SearchOutOfCategory;
      }

      BandStat& s = stats[bi];
      if (status != SearchOutOfCategory) bump(s.QsoCount);
      if (q.Dupe == 1)
        bump(s.DupeCount);
      else
        add32(s.PointSum, q.Points);

      if ((def.ContestNo == 5 || def.ContestNo == 6) && MltKey == "JA") status = SearchNoMlt;
      if (def.BandEnabled[bi] != 1 || def.MltSearch == 0 || status != SearchNormal) {
        q.Points = 0;
        q.Mlt.clear();
      } else {
        // Scope 1: one per key; 2: per key and band; 3: per key, band and
        // mode; any other value: no entry ever matches.
        const int scope = def.MltSearch;
        const bool scoped = scope >= 1 && scope <= 3;
        std::uint64_t h = hashText(MltKey);
        if (scope >= 2) h = hashText(band, h);
        if (scope == 3) h = hashText(mode, h);
        const auto sameMlt = [&](std::uint32_t p) {
          const MltEntry& m = MltList[p];
          return m.MltKey == MltKey && (scope < 2 || m.Band == band) && (scope < 3 || m.Mode == mode);
        };
        if (scoped && mltIndex.find(h, sameMlt) != FlatIndex::kNone) {
          q.Mlt.clear();
        } else {
          if (scoped) mltIndex.insert(h, static_cast<std::uint32_t>(MltList.size()));
          MltList.push_back(MltEntry{MltKey, std::string(band), std::string(mode)});
          q.Mlt.assign(MltKey);
        }
      }
      if (!q.Mlt.trimmed().empty()) bump(s.MltCount);
    }
    progress.finish();
  }

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
    const std::int64_t product = static_cast<std::int64_t>(total.MltCount) * total.PointSum;
    if (product >= std::numeric_limits<std::int32_t>::min() &&
        product <= std::numeric_limits<std::int32_t>::max())
      score.TotalScore = static_cast<std::int32_t>(product);
  }
}

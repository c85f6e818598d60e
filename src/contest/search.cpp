#include "contest/search.h"

#include <limits>
#include <unordered_map>
#include <unordered_set>
#include <utility>

#include "contest/bands.h"
#include "contest/contestdef.h"
#include "contest/cty.h"
#include "contest/detail.h"
#include "log/progress.h"
#include "log/utf8.h"

namespace {

using contest_detail::Key3;
using contest_detail::Key3Hash;

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

struct DupeEntry {
  std::string call, band, mode;
};

struct EntityAnswer {
  std::string entity, continent;
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
    // them answer "is there a matching entry" in constant time. Each QSO
    // adds at most one entry to each list, so reserving the log's size keeps
    // the entries (and the views the indexes hold into them) in place.
    std::vector<DupeEntry> DupeList;
    DupeList.reserve(static_cast<std::size_t>(count));
    std::unordered_set<Key3, Key3Hash> dupeIndex;
    dupeIndex.reserve(static_cast<std::size_t>(count));
    auto& MltList = score.MltList;
    MltList.reserve(static_cast<std::size_t>(count));
    std::unordered_set<Key3, Key3Hash> mltIndex;
    mltIndex.reserve(static_cast<std::size_t>(count));
    // A country look-up depends on the call alone: each distinct call is
    // looked up once.
    std::unordered_map<std::string, EntityAnswer, contest_detail::StrHash, contest_detail::StrEq>
        entities;

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
      int b = bands::BandIndexOf(q.Band.view());
      if (b < 0) b = prevBand;
      prevBand = b;
      const auto bi = static_cast<std::size_t>(b);

      MltKey.clear();
      continent.clear();
      std::int16_t status = SearchNormal;
      std::int16_t notFound = 0;

      if (def.BandEnabled[bi] == 1) {
        const std::string_view call = dupeCall(callTrim);
        if (dupeIndex.find(Key3{call, band, {}}) != dupeIndex.end()) {
          q.Dupe = 1;
          q.Points = 0;
        } else {
          const DupeEntry& d =
              DupeList.emplace_back(DupeEntry{std::string(call), std::string(band), std::string(mode)});
          dupeIndex.insert(Key3{d.call, d.band, {}});
          q.Dupe = 0;

          if (def.SearchEntityFile == 1) {
            auto it = entities.find(call);
            if (it == entities.end()) {
              EntityAnswer a;
              cty.EntitySearch(call, a.entity, a.continent);
              it = entities.emplace(std::string(call), std::move(a)).first;
            }
            MltKey = it->second.entity;
            continent = it->second.continent;
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
        Key3 key{MltKey, {}, {}};
        bool scoped = true;
        switch (def.MltSearch) {
          case 1: break;
          case 2: key.b = band; break;
          case 3: key.b = band; key.c = mode; break;
          default: scoped = false; break;  // no entry ever matches
        }
        if (scoped && mltIndex.find(key) != mltIndex.end()) {
          q.Mlt.clear();
        } else {
          const MltEntry& m =
              MltList.emplace_back(MltEntry{MltKey, std::string(band), std::string(mode)});
          if (scoped) {
            Key3 stored{m.MltKey, {}, {}};
            if (def.MltSearch >= 2) stored.b = m.Band;
            if (def.MltSearch == 3) stored.c = m.Mode;
            mltIndex.insert(stored);
          }
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

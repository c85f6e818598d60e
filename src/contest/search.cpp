#include "contest/search.h"

#include <charconv>
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

// An empty text with a place in memory (fixed fields copy from it).
constexpr std::string_view kEmpty = "";

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

// Distinct texts numbered in the order they are first met. Equal texts get
// equal numbers, so comparing numbers is comparing texts.
class TextIds {
 public:
  std::uint32_t id(std::string_view s) {
    if (hasLast_ && s == texts_[last_]) return last_;
    const std::uint64_t h = hashText(s);
    std::uint32_t p = index_.find(h, [&](std::uint32_t i) { return texts_[i] == s; });
    if (p == FlatIndex::kNone) {
      p = static_cast<std::uint32_t>(texts_.size());
      index_.insert(h, p);
      texts_.emplace_back(s);
    }
    last_ = p;
    hasLast_ = true;
    return p;
  }
  const std::string& text(std::uint32_t id) const { return texts_[id]; }
  std::size_t size() const { return texts_.size(); }

 private:
  std::vector<std::string> texts_;
  FlatIndex index_;
  std::uint32_t last_ = 0;  // band and mode texts mostly repeat
  bool hasLast_ = false;
};

// A set of numeric keys (open addressing). No key is all ones.
class KeySet {
 public:
  explicit KeySet(std::size_t n) {
    std::size_t cap = 16;
    shift_ = 60;
    while (cap < n * 2) {
      cap *= 2;
      --shift_;
    }
    slots_.assign(cap, kEmpty);
  }
  // True when the key was not in the set yet.
  bool insert(std::uint64_t key) {
    if ((count_ + 1) * 2 > slots_.size()) grow();
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t i = (key * 0x9e3779b97f4a7c15ULL) >> shift_;; i = (i + 1) & mask) {
      if (slots_[i] == key) return false;
      if (slots_[i] == kEmpty) {
        slots_[i] = key;
        ++count_;
        return true;
      }
    }
  }

 private:
  static constexpr std::uint64_t kEmpty = ~std::uint64_t{0};
  void grow() {
    std::vector<std::uint64_t> old(slots_.size() * 2, kEmpty);
    old.swap(slots_);
    --shift_;
    count_ = 0;
    for (const std::uint64_t k : old)
      if (k != kEmpty) insert(k);
  }
  std::vector<std::uint64_t> slots_;
  unsigned shift_ = 60;
  std::size_t count_ = 0;
};

// The dupe list holds the numbers of the call, band and mode texts.
struct DupeEntry {
  std::uint32_t call, band, mode;
};

struct EntityAnswer {
  bool known = false;
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

    // The rules search their lists front to back for a matching entry; only
    // whether one exists matters. Texts are numbered as they are met, and
    // sets of those numbers beside the lists answer in one probe. Each
    // distinct call is looked up in the country tables once, and each
    // distinct key in the section list once.
    TextIds calls, bandTexts, modeTexts, keys;
    std::vector<DupeEntry> DupeList;
    DupeList.reserve(static_cast<std::size_t>(count));
    // Bands worked per call: a bit per band text for the first 64 texts
    // (all a real log has), a set for any beyond.
    std::vector<std::uint64_t> bandsWorked;
    KeySet moreBandsWorked(16);
    auto& MltList = score.MltList;
    KeySet mlts(1024);
    std::vector<EntityAnswer> entities;
    std::vector<std::int8_t> knownSection;  // by key number: -1 not yet checked

    std::string label;
    // Views into the record or into the country answers; both stay put
    // until the next QSO.
    std::string_view MltKey, continent;
    int prevBand = 0;
    for (int k = 1; k <= count; ++k) {
      QsoRecord& q = log[k];
      const std::string_view callTrim = q.CallSign.trimmed();
      const std::string_view band = q.Band.trimmed();
      const std::string_view mode = q.Mode.trimmed();

      progress.step(k);
      label.assign("DUPE CHECK DATA  No. ");
      char number[8];
      label.append(number, std::to_chars(number, number + sizeof number, q.QsoNo).ptr);
      label.append("  ");
      label.append(callTrim);
      progress.label(label.c_str());

      // A band text no rule knows (only imports make one) counts on the
      // band of the QSO before it.
      int b = bands::BandIndexOf(band);
      if (b < 0) b = prevBand;
      prevBand = b;
      const auto bi = static_cast<std::size_t>(b);

      MltKey = kEmpty;
      continent = kEmpty;
      std::uint32_t bandId = 0, modeId = 0;
      std::int16_t status = SearchNormal;
      std::int16_t notFound = 0;

      if (def.BandEnabled[bi] == 1) {
        const std::string_view call = dupeCall(callTrim);
        const std::uint32_t callId = calls.id(call);
        bandId = bandTexts.id(band);
        modeId = modeTexts.id(mode);
        bool worked = false;
        if (bandId < 64) {
          if (bandsWorked.size() <= callId) bandsWorked.resize(calls.size(), 0);
          const std::uint64_t bit = std::uint64_t{1} << bandId;
          worked = (bandsWorked[callId] & bit) != 0;
          bandsWorked[callId] |= bit;
        } else {
          worked = !moreBandsWorked.insert(std::uint64_t{callId} << 32 | bandId);
        }
        if (worked) {
          q.Dupe = 1;
          q.Points = 0;
        } else {
          DupeList.push_back(DupeEntry{callId, bandId, modeId});
          q.Dupe = 0;

          if (def.SearchEntityFile == 1) {
            if (entities.size() <= callId) entities.resize(calls.size());
            EntityAnswer& a = entities[callId];
            if (!a.known) {
              cty.EntitySearch(call, a.entity, a.continent);
              a.known = true;
            }
            MltKey = a.entity;
            continent = a.continent;
          }
          if (def.ExchtoMlt == 1) MltKey = q.RcvdNo.trimmed();
          if (def.SentJarlCode == 1) {
            // The exchange ends with the power letter, which is no part of
            // the key; an exchange that ends in a digit (or is empty) lacks it.
            if (!MltKey.empty() && !lastIsDigit(MltKey)) {
              MltKey = contest_detail::dropLastChar(MltKey);
            } else {
              MltKey = q.RcvdNo.trimmed();
              status = SearchNoPowerCode;
            }
          }
          if (def.SearchSectionFile == 1 && status == SearchNormal) {
            notFound = 1;
            const std::uint32_t keyId = keys.id(MltKey);
            if (knownSection.size() <= keyId) knownSection.resize(keys.size(), -1);
            if (knownSection[keyId] < 0) {
              std::int16_t miss = 1;
              SectionCheck(sections, MltKey, miss);
              knownSection[keyId] = miss == 0 ? 1 : 0;
            }
            if (knownSection[keyId] == 1) notFound = 0;
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
        bool found = false;
        if (scoped) {
          // Numbers stay below 2^21 (at most one new text per QSO).
          std::uint64_t key = keys.id(MltKey);
          if (scope >= 2) key |= std::uint64_t{bandId} << 21;
          if (scope == 3) key |= std::uint64_t{modeId} << 42;
          found = !mlts.insert(key);
        }
        if (found) {
          q.Mlt.clear();
        } else {
          MltList.push_back(MltEntry{std::string(MltKey), std::string(band), std::string(mode)});
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
    score.TotalScore = static_cast<std::int64_t>(total.MltCount) * total.PointSum;
  }
}

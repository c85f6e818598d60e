#include "contest/searchwalk.h"

#include "contest/bands.h"
#include "contest/contestdef.h"
#include "contest/cty.h"
#include "log/fixedtext.h"
#include "log/utf8.h"

namespace {

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

}  // namespace

bool QsoVerdict::bringsMlt() const { return listed && !FixedText<7>(MltKey).trimmed().empty(); }

std::string_view DupeCall(std::string_view call) {
  const std::size_t last = contest_detail::lastCharStart(call);
  if (last >= 1 && call[last - 1] == '/') return call.substr(0, last - 1);
  return call;
}

SearchWalk::SearchWalk(const ContestDefinition& def, const CtyTables& cty,
                       const SectionList& sections, std::int16_t cateMode, std::int16_t cateBand)
    : def_(def), cty_(cty), sections_(sections), cateMode_(cateMode), cateBand_(cateBand) {}

// A band text no rule knows (only imports make one): -1, a band that is
// not enabled and that no band row counts.
int SearchWalk::bandOf(std::string_view band) const { return bands::BandIndexOf(band); }

bool SearchWalk::enabled(int band) const {
  return band >= 0 && def_.BandEnabled[static_cast<std::size_t>(band)] == 1;
}

// The numbers of a QSO's call, band and mode, by `number` (given, or only
// found); none on a band the contest does not count.
template <class Walk, class Number>
SearchWalk::TextRefs SearchWalk::refsOf(Walk& w, const QsoRecord& q, std::string_view call,
                                        QsoVerdict& v, Number number) {
  const std::string_view band = q.Band.trimmed();
  v.band = w.bandOf(band);
  TextRefs ids;
  if (w.enabled(v.band)) {
    ids.call = number(w.calls_, call);
    ids.band = number(w.bands_, band);
    ids.mode = number(w.modes_, q.Mode.trimmed());
  }
  return ids;
}

void SearchWalk::next(const QsoRecord& q, QsoVerdict& v) {
  const std::string_view call = DupeCall(q.CallSign.trimmed());
  TextRefs ids = refsOf(*this, q, call, v, [](auto& t, std::string_view s) { return t.id(s); });
  judge(q, call, ids, v);
  remember(ids, v);
}

void SearchWalk::probe(const QsoRecord& q, QsoVerdict& v) const {
  const std::string_view call = DupeCall(q.CallSign.trimmed());
  TextRefs ids = refsOf(*this, q, call, v, [](auto& t, std::string_view s) { return t.find(s); });
  judge(q, call, ids, v);
}

bool SearchWalk::worked(std::string_view call, std::string_view band) const {
  TextRefs ids;
  ids.call = calls_.find(DupeCall(call));
  ids.band = bands_.find(band);
  return dupeStep(ids);
}

bool SearchWalk::keyListed(std::string_view key) const {
  return keys_.find(key) != kNone;
}

// The steps in the order the rules take them; a QSO on a band the contest
// does not enable skips the dupe, key and points rules and keeps its stored
// Dupe.
void SearchWalk::judge(const QsoRecord& q, std::string_view call, TextRefs& ids,
                       QsoVerdict& v) const {
  v.MltKey.clear();
  v.continent.clear();
  v.status = SearchNormal;
  v.Dupe = q.Dupe;
  v.Points = q.Points;
  v.candidate = v.listed = false;
  bool fresh = false;
  if (enabled(v.band)) {
    v.Dupe = dupeStep(ids) ? 1 : 0;
    fresh = v.Dupe == 0;
    if (fresh) mltKeyStep(q, call, ids, v);
    else v.Points = 0;
  }
  pointsStep(q, fresh, v);
  mltStep(ids, v);
}

// Dupe: the same call (portable suffix dropped) met before on the same band
// text, in any mode.
bool SearchWalk::dupeStep(const TextRefs& ids) const {
  if (ids.call == kNone || ids.band == kNone) return false;
  if (ids.band < 64)
    return ids.call < bandsWorked_.size() && (bandsWorked_[ids.call] >> ids.band & 1) != 0;
  return moreBandsWorked_.contains(std::uint64_t{ids.call} << 32 | ids.band);
}

// Multiplier key: the entity, then the received exchange, then the power
// letter and the section list, as the definition asks.
void SearchWalk::mltKeyStep(const QsoRecord& q, std::string_view call, TextRefs& ids,
                            QsoVerdict& v) const {
  const Id callId = ids.call;
  if (def_.SearchEntityFile == 1) {
    if (callId == kNone) {
      cty_.EntitySearch(call, v.MltKey, v.continent);
    } else {
      if (entities_.size() <= callId) entities_.resize(calls_.size());
      EntityAnswer& a = entities_[callId];
      if (!a.known) {
        cty_.EntitySearch(call, a.entity, a.continent);
        a.known = true;
      }
      if (def_.ExchtoMlt != 1) v.MltKey = a.entity;  // else the exchange replaces it
      v.continent = a.continent;
    }
  }
  if (def_.ExchtoMlt == 1) v.MltKey = q.RcvdNo.trimmed();
  if (def_.SentJarlCode == 1) {
    // The exchange ends with the power letter, which is no part of the key;
    // an exchange that ends in a digit (or is empty) lacks it.
    if (!v.MltKey.empty() && !lastIsDigit(v.MltKey)) {
      v.MltKey.resize(contest_detail::lastCharStart(v.MltKey));
    } else {
      v.MltKey = q.RcvdNo.trimmed();
      v.status = SearchNoPowerCode;
    }
  }
  if (def_.SearchSectionFile == 1 && v.status == SearchNormal) {
    ids.key = keys_.find(v.MltKey);
    ids.keyLooked = true;
    if (ids.key != kNone && inSections_.size() <= ids.key) inSections_.resize(keys_.size(), -1);
    std::int8_t* known = ids.key != kNone ? &inSections_[ids.key] : nullptr;
    std::int16_t notFound = 1;
    if (known && *known >= 0) {
      notFound = *known == 1 ? 0 : 1;
    } else {
      SectionCheck(sections_, v.MltKey, notFound);
      if (known) *known = notFound == 0 ? 1 : 0;
    }
    if (notFound == 1) v.status = SearchNoMlt;
  }
}

// Points: by the point type for a QSO that is no dupe (none without the
// power letter or outside the section list), none outside the category.
void SearchWalk::pointsStep(const QsoRecord& q, bool fresh, QsoVerdict& v) const {
  if (fresh) {
    const BandPoint& pts = def_.BandPoints[static_cast<std::size_t>(v.band)];
    if (def_.PointType == 1) {
      v.Points = pts.PointA;
    } else if (def_.PointType == 2) {
      if (v.continent == "AS")
        v.Points = v.MltKey == "JA" ? pts.PointC : pts.PointB;
      else
        v.Points = v.continent.empty() ? 0 : pts.PointA;
    }
    // Here only the power letter and the section list have set a status.
    if (v.status != SearchNormal) v.Points = 0;
  }
  v.inCategory =
      !outsideCategoryBand(cateBand_, q.Band.view()) && !outsideCategoryMode(cateMode_, q.Mode.trimmed());
  if (!v.inCategory) {
    v.Points = 0;
    v.status = SearchOutOfCategory;
  }
  v.countedPoints = v.Points;
}

// Numbers stay below 2^21 (at most one new text per QSO).
std::uint64_t SearchWalk::mltCode(const TextRefs& ids, int scope) {
  std::uint64_t code = ids.key;
  if (scope >= 2) code |= std::uint64_t{ids.band} << 21;
  if (scope == 3) code |= std::uint64_t{ids.mode} << 42;
  return code;
}

// Multiplier: a candidate key not yet in the list by the contest's scope
// (1 per key, 2 per key and band, 3 per key, band and mode; any other value
// matches nothing) goes into it.
void SearchWalk::mltStep(TextRefs& ids, QsoVerdict& v) const {
  if ((def_.ContestNo == 5 || def_.ContestNo == 6) && v.MltKey == "JA") v.status = SearchNoMlt;
  v.candidate = enabled(v.band) && def_.MltSearch != 0 && v.status == SearchNormal;
  if (!v.candidate) {
    v.Points = 0;
    return;
  }
  const int scope = def_.MltSearch;
  bool found = false;
  if (scope >= 1 && scope <= 3) {
    if (!ids.keyLooked) ids.key = keys_.find(v.MltKey);
    // A text never met (only a probe has one) cannot be in the list.
    found = ids.key != kNone && (scope < 2 || ids.band != kNone) &&
            (scope < 3 || ids.mode != kNone) && mlts_.contains(mltCode(ids, scope));
  }
  v.listed = !found;
}

void SearchWalk::remember(const TextRefs& ids, const QsoVerdict& v) {
  if (ids.call != kNone && v.Dupe == 0 && enabled(v.band)) {
    if (ids.band < 64) {
      if (bandsWorked_.size() <= ids.call) bandsWorked_.resize(calls_.size(), 0);
      bandsWorked_[ids.call] |= std::uint64_t{1} << ids.band;
    } else {
      moreBandsWorked_.insert(std::uint64_t{ids.call} << 32 | ids.band);
    }
  }
  if (!v.listed) return;
  TextRefs listed = ids;
  if (listed.key == kNone) listed.key = keys_.id(v.MltKey);
  if (def_.MltSearch >= 1 && def_.MltSearch <= 3) mlts_.insert(mltCode(listed, def_.MltSearch));
}

// The rules of the dupe and multiplier search for one QSO at a time: each QSO
// is judged against the QSOs met before it in log order. The full search
// walks the whole log with it; the live index keeps one walked to the end of
// the log and asks it about a QSO that is not logged yet.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "contest/detail.h"
#include "contest/search.h"
#include "log/qso.h"

struct ContestDefinition;
class CtyTables;
class SectionList;

// What the rules make of one QSO.
struct QsoVerdict {
  int band = 0;              // band index it counts on; -1: none (a text no band rule knows)
  std::int16_t Dupe = 0;     // the record's Dupe afterwards
  std::int16_t Points = 0;   // the record's Points afterwards
  // The points its band's sum takes (the multiplier step may still clear
  // the record's).
  std::int16_t countedPoints = 0;
  bool inCategory = true;    // counted in its band's QSO count
  std::int16_t status = SearchNormal;
  std::string MltKey;        // the multiplier key as the definition forms it
  std::string continent;
  bool candidate = false;    // the multiplier step looked the key up
  bool listed = false;       // the key went into the multiplier list: Mlt := MltKey

  // The record's Mlt shows a multiplier (the key cut to the field, not blank).
  bool bringsMlt() const;
};

// The call as the dupe rule compares it: a one-character portable suffix
// ("/1", "/P") dropped.
std::string_view DupeCall(std::string_view call);

class SearchWalk {
 public:
  // def, cty and sections must outlive the walk unchanged. cateMode and
  // cateBand are those of the chosen entry category.
  SearchWalk(const ContestDefinition& def, const CtyTables& cty, const SectionList& sections,
             std::int16_t cateMode, std::int16_t cateBand);

  // Judges q, the next QSO of the log, and remembers it for those after it.
  void next(const QsoRecord& q, QsoVerdict& v);
  // What next would make of q, remembering nothing.
  void probe(const QsoRecord& q, QsoVerdict& v) const;

  // The call (trimmed) was met on the band text (trimmed) on an enabled band,
  // so a QSO with it there is a dupe.
  bool worked(std::string_view call, std::string_view band) const;
  // The key went into the multiplier list with some QSO, on any band and mode.
  bool keyListed(std::string_view key) const;

 private:
  using Id = std::uint32_t;
  static constexpr Id kNone = contest_detail::TextIds::kNone;
  // The numbers of a QSO's texts; kNone for a text never met.
  struct TextRefs {
    Id call = kNone, band = kNone, mode = kNone, key = kNone;
    bool keyLooked = false;  // key holds the number of the verdict's MltKey
  };

  int bandOf(std::string_view band) const;
  template <class Walk, class Number>
  static TextRefs refsOf(Walk& w, const QsoRecord& q, std::string_view call, QsoVerdict& v,
                         Number number);
  bool enabled(int band) const;
  void judge(const QsoRecord& q, std::string_view call, TextRefs& ids, QsoVerdict& v) const;
  bool dupeStep(const TextRefs& ids) const;
  static std::uint64_t mltCode(const TextRefs& ids, int scope);
  void mltKeyStep(const QsoRecord& q, std::string_view call, TextRefs& ids, QsoVerdict& v) const;
  void pointsStep(const QsoRecord& q, bool fresh, QsoVerdict& v) const;
  void mltStep(TextRefs& ids, QsoVerdict& v) const;
  void remember(const TextRefs& ids, const QsoVerdict& v);

  struct EntityAnswer {
    bool known = false;
    std::string entity, continent;
  };

  const ContestDefinition& def_;
  const CtyTables& cty_;
  const SectionList& sections_;
  std::int16_t cateMode_, cateBand_;
  // The dupe list is the calls met per band text; the multiplier list the
  // keys met per scope. Texts are numbered as they are met (keys_ only those
  // of the multiplier list), and sets of those numbers answer in one probe.
  contest_detail::TextIds calls_, bands_, modes_, keys_;
  // Bands worked per call: a bit per band text for the first 64 texts (all
  // a real log has), a set for any beyond.
  std::vector<std::uint64_t> bandsWorked_;
  contest_detail::KeySet moreBandsWorked_;
  contest_detail::KeySet mlts_{1024};
  // Each distinct call is looked up in the country tables once, each key of
  // the list in the section list once (by key number: -1 not yet).
  mutable std::vector<EntityAnswer> entities_;
  mutable std::vector<std::int8_t> inSections_;
};

// What the entry window asks while a call is typed: would this QSO be a
// dupe, would its received number bring a new multiplier, which calls of the
// log contain the typed text. Built from the log by the search's own rules,
// brought up to date as each QSO is registered, rebuilt by every full search.
//
// Per keystroke the window asks, with plain values:
//
//   const LiveCheck c = session.Live.check({call, band, mode, rcvdNo});
//   dupeLabel->setVisible(c.dupe);          // "DUPE"
//   newMultiLabel->setVisible(c.newMlt);    // new multiplier as the search counts it
//   const PartialCheck p = session.Live.partial(call, band);
//   for (const PartialMatch& m : p.calls) list->addItem(m.CallSign, m.dupe);
//
// and after a QSO was appended to the log:
//
//   session.Live.add(session.Doc.Log[session.Doc.Log.count()]);
//
// Asked and updated on the window thread only (its look-ups fill caches).
#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "contest/detail.h"
#include "contest/searchwalk.h"
#include "log/qso.h"

// A QSO as the entry window holds it before it is registered.
struct LiveQso {
  std::string_view CallSign, Band, Mode, RcvdNo;
};

struct LiveCheck {
  bool dupe = false;    // the search would mark it a dupe
  bool newMlt = false;  // the search would count a new multiplier for it
  bool newKey = false;  // its key is a multiplier of no QSO of the log yet, on any band
  std::string MltKey;   // the key as the definition forms it from call and number
  std::int16_t status = SearchNormal;
};

struct PartialMatch {
  std::string CallSign;  // as logged (trimmed)
  bool dupe = false;     // worked on the asked band: a QSO with it there is a dupe
};

struct PartialCheck {
  std::vector<PartialMatch> calls;  // in text order, at most the asked number
  bool more = false;                // more calls contain the text
};

// The distinct calls of a log, found by any part of their text.
class CallParts {
 public:
  void clear();
  // The calls of the log, and nothing else (kept as they are when they are
  // the same calls).
  void assign(const LogData& log);
  // A call as logged (trimmed); calls already known are ignored.
  void add(std::string_view call);
  std::size_t size() const { return calls_.size(); }
  // Makes the index of every known call now rather than at the first find.
  void settle() const {
    if (unfolded_) fold();
  }
  // The first limit + 1 known calls (by text) that contain text.
  std::vector<std::uint32_t> find(std::string_view text, std::size_t limit) const;
  const std::string& text(std::uint32_t id) const { return calls_.text(id); }

 private:
  // Every call now known goes into the sorted base with its parts. A whole
  // log assigned is folded when first looked in, not when the log is read.
  void fold() const;
  const std::vector<std::uint32_t>* posting(std::uint32_t part) const;
  void scanBase(std::string_view text, std::size_t want, std::vector<std::uint32_t>& out) const;

  contest_detail::TextIds calls_;
  // The base: call numbers in text order, and for each part of one to three
  // bytes the places in it of the calls holding that part, ascending.
  mutable std::vector<std::uint32_t> base_;
  mutable std::vector<std::uint32_t> partCodes_;
  mutable std::vector<std::vector<std::uint32_t>> postings_;
  mutable contest_detail::FlatIndex partIndex_;
  // Calls added since the base was built, in text order; scanned whole.
  mutable std::vector<std::uint32_t> recent_;
  // Calls are known that the base does not hold yet.
  mutable bool unfolded_ = false;
};

class LiveIndex {
 public:
  static constexpr std::size_t kPartialMax = 30;

  // Walks the whole log as the search does, and makes the call index (the
  // entry window opening). def, cty and sections must stay
  // as they are until the next rebuild (the session's own members do).
  void rebuild(const LogData& log, const ContestDefinition& def, const CtyTables& cty,
               const SectionList& sections, std::int16_t cateMode, std::int16_t cateBand);
  // Takes over a walk that has just walked the whole log (the search's).
  void rebuild(const LogData& log, SearchWalk&& walked);
  // q was appended to the log (after the last rebuild's QSOs).
  void add(const QsoRecord& q);
  // What the search would make of q if it were appended now. Before the
  // first rebuild everything is false.
  LiveCheck check(const LiveQso& q) const;
  // The calls of the log containing text, dupes on band (trimmed) marked.
  PartialCheck partial(std::string_view text, std::string_view band,
                       std::size_t limit = kPartialMax) const;
  std::size_t qsoCount() const { return qsos_; }

 private:
  std::optional<SearchWalk> walk_;
  CallParts parts_;
  QsoVerdict scratch_;
  std::size_t qsos_ = 0;
};

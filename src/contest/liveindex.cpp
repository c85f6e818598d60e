#include "contest/liveindex.h"

#include <algorithm>

#include "log/utf8.h"

namespace {

using contest_detail::hashText;

// Calls added after the base was built are scanned whole at every question;
// past this many they are sorted into the base.
constexpr std::size_t kRecentMax = 4096;

// A part of one to three bytes as one number: its length, then its bytes.
std::uint32_t partCode(std::string_view s) {
  std::uint32_t code = static_cast<std::uint32_t>(s.size()) << 24;
  for (std::size_t i = 0; i < s.size(); ++i)
    code |= std::uint32_t{static_cast<unsigned char>(s[i])} << (16 - 8 * i);
  return code;
}

std::uint64_t partHash(std::uint32_t code) { return code * 0x9e3779b97f4a7c15ULL; }

}  // namespace

// ---------------------------------------------------------------- CallParts

void CallParts::clear() { *this = CallParts{}; }

void CallParts::add(std::string_view call) {
  if (call.empty()) return;
  const std::size_t known = calls_.size();
  const std::uint32_t id = calls_.id(call);
  if (calls_.size() == known || unfolded_) return;
  const auto at = std::upper_bound(recent_.begin(), recent_.end(), call,
                                   [&](std::string_view c, std::uint32_t i) { return c < text(i); });
  recent_.insert(at, id);
  if (recent_.size() > kRecentMax) fold();
}

void CallParts::assign(const LogData& log) {
  // Most searches follow registrations, which added their calls already.
  std::vector<bool> inLog(calls_.size(), false);
  std::size_t found = 0;
  for (int k = 1; k <= log.count() && found <= calls_.size(); ++k) {
    const std::string_view call = log[k].CallSign.trimmed();
    if (call.empty()) continue;
    const std::uint32_t id = calls_.find(call);
    if (id == contest_detail::TextIds::kNone) {
      found = calls_.size() + 1;
    } else if (!inLog[id]) {
      inLog[id] = true;
      ++found;
    }
  }
  if (found == calls_.size()) return;
  clear();
  for (int k = 1; k <= log.count(); ++k) {
    const std::string_view call = log[k].CallSign.trimmed();
    if (!call.empty()) calls_.id(call);
  }
  unfolded_ = true;
}

void CallParts::fold() const {
  unfolded_ = false;
  base_.resize(calls_.size());
  for (std::uint32_t i = 0; i < base_.size(); ++i) base_[i] = i;
  std::sort(base_.begin(), base_.end(),
            [&](std::uint32_t a, std::uint32_t b) { return text(a) < text(b); });
  recent_.clear();
  partCodes_.clear();
  postings_.clear();
  partIndex_.clear();
  for (std::uint32_t rank = 0; rank < base_.size(); ++rank) {
    const std::string_view call = text(base_[rank]);
    for (std::size_t len = 1; len <= 3; ++len)
      for (std::size_t from = 0; from + len <= call.size(); ++from) {
        const std::uint32_t code = partCode(call.substr(from, len));
        std::uint32_t p = partIndex_.find(partHash(code),
                                          [&](std::uint32_t i) { return partCodes_[i] == code; });
        if (p == contest_detail::FlatIndex::kNone) {
          p = static_cast<std::uint32_t>(postings_.size());
          partIndex_.insert(partHash(code), p);
          partCodes_.push_back(code);
          postings_.emplace_back();
        }
        // A part a call holds twice is listed once.
        std::vector<std::uint32_t>& list = postings_[p];
        if (list.empty() || list.back() != rank) list.push_back(rank);
      }
  }
}

const std::vector<std::uint32_t>* CallParts::posting(std::uint32_t code) const {
  const std::uint32_t p =
      partIndex_.find(partHash(code), [&](std::uint32_t i) { return partCodes_[i] == code; });
  return p == contest_detail::FlatIndex::kNone ? nullptr : &postings_[p];
}

// Calls of the base holding text, in text order, until want are found. A
// text of up to three bytes is a part itself; a longer one is looked for
// among the calls holding its rarest three-byte part.
void CallParts::scanBase(std::string_view text, std::size_t want,
                         std::vector<std::uint32_t>& out) const {
  const std::vector<std::uint32_t>* list = nullptr;
  const bool exact = text.size() <= 3;
  if (exact) {
    list = posting(partCode(text));
  } else {
    for (std::size_t from = 0; from + 3 <= text.size(); ++from) {
      const std::vector<std::uint32_t>* l = posting(partCode(text.substr(from, 3)));
      if (!l) return;
      if (!list || l->size() < list->size()) list = l;
    }
  }
  if (!list) return;
  for (const std::uint32_t rank : *list) {
    const std::uint32_t id = base_[rank];
    if (!exact && std::string_view(calls_.text(id)).find(text) == std::string_view::npos) continue;
    out.push_back(id);
    if (out.size() >= want) return;
  }
}

std::vector<std::uint32_t> CallParts::find(std::string_view text, std::size_t limit) const {
  std::vector<std::uint32_t> base, recent;
  if (text.empty()) return base;
  settle();
  scanBase(text, limit + 1, base);
  for (const std::uint32_t id : recent_) {
    if (std::string_view(calls_.text(id)).find(text) == std::string_view::npos) continue;
    recent.push_back(id);
    if (recent.size() > limit) break;
  }
  std::vector<std::uint32_t> out(base.size() + recent.size());
  std::merge(base.begin(), base.end(), recent.begin(), recent.end(), out.begin(),
             [&](std::uint32_t a, std::uint32_t b) { return calls_.text(a) < calls_.text(b); });
  if (out.size() > limit + 1) out.resize(limit + 1);
  return out;
}

// ---------------------------------------------------------------- LiveIndex

void LiveIndex::rebuild(const LogData& log, const ContestDefinition& def, const CtyTables& cty,
                        const SectionList& sections, std::int16_t cateMode,
                        std::int16_t cateBand) {
  SearchWalk walk(def, cty, sections, cateMode, cateBand);
  for (int k = 1; k <= log.count(); ++k) walk.next(log[k], scratch_);
  rebuild(log, std::move(walk));
  parts_.settle();
}

void LiveIndex::rebuild(const LogData& log, SearchWalk&& walked) {
  walk_.emplace(std::move(walked));
  parts_.assign(log);
  qsos_ = static_cast<std::size_t>(log.count());
}

void LiveIndex::add(const QsoRecord& q) {
  if (!walk_) return;
  walk_->next(q, scratch_);
  parts_.add(q.CallSign.trimmed());
  ++qsos_;
}

LiveCheck LiveIndex::check(const LiveQso& q) const {
  LiveCheck c;
  if (!walk_) return c;
  // Cut and padded as the registered record would hold them.
  QsoRecord r;
  r.CallSign = q.CallSign;
  r.Band = q.Band;
  r.Mode = q.Mode;
  r.RcvdNo = q.RcvdNo;
  QsoVerdict v;
  walk_->probe(r, v);
  c.dupe = v.Dupe == 1;
  c.newMlt = v.bringsMlt();
  c.newKey = v.candidate && !v.MltKey.empty() && !walk_->keyListed(v.MltKey);
  c.MltKey = std::move(v.MltKey);
  c.status = v.status;
  return c;
}

PartialCheck LiveIndex::partial(std::string_view text, std::string_view band,
                                std::size_t limit) const {
  PartialCheck p;
  const std::vector<std::uint32_t> ids = parts_.find(utf8::trim(text), limit);
  p.more = ids.size() > limit;
  const std::string_view b = utf8::trim(band);
  for (std::size_t i = 0; i < ids.size() && i < limit; ++i) {
    const std::string& call = parts_.text(ids[i]);
    p.calls.push_back(PartialMatch{call, walk_ && walk_->worked(call, b)});
  }
  return p;
}

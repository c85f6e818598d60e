// Helpers the contest rules share among themselves: the look-up index kept
// beside a list, numbered texts, sets of numbers, and small text steps.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace contest_detail {

// 64-bit hash of a text (FNV-1a with a final mix), chainable through seed so
// that several texts can make one key.
inline std::uint64_t hashText(std::string_view s, std::uint64_t seed = 0xcbf29ce484222325ULL) {
  std::uint64_t h = seed ^ (s.size() * 0x9e3779b97f4a7c15ULL);
  for (const char c : s) {
    h ^= static_cast<unsigned char>(c);
    h *= 0x100000001b3ULL;
  }
  h ^= h >> 32;
  h *= 0xd6e8feb86659fd93ULL;
  h ^= h >> 32;
  return h;
}

// An index beside a list: maps a key's hash to the positions of list
// entries. It keeps no keys of its own; the caller tells by the position
// whether an entry's key is the one looked for. Open addressing, so a
// look-up is one or two probes of a flat array.
class FlatIndex {
 public:
  static constexpr std::uint32_t kNone = 0xffffffffu;

  void clear() {
    slots_.clear();
    count_ = 0;
  }

  void reserve(std::size_t n) {
    std::size_t cap = 16;
    while (cap < n * 2) cap *= 2;
    if (cap > slots_.size()) rehash(cap);
  }

  // The position inserted under hash h whose entry is equal(pos).
  template <typename Equal>
  std::uint32_t find(std::uint64_t h, Equal&& equal) const {
    if (slots_.empty()) return kNone;
    const std::size_t mask = slots_.size() - 1;
    const std::uint32_t code = fold(h);
    for (std::size_t i = code & mask;; i = (i + 1) & mask) {
      const Slot& s = slots_[i];
      if (s.pos == kNone) return kNone;
      if (s.code == code && equal(s.pos)) return s.pos;
    }
  }

  // Adds a position. The caller adds only keys not found yet, so each key
  // has one position: that of its first entry.
  void insert(std::uint64_t h, std::uint32_t pos) {
    if ((count_ + 1) * 2 > slots_.size()) rehash(slots_.empty() ? 16 : slots_.size() * 2);
    place(fold(h), pos);
    ++count_;
  }

 private:
  // A slot keeps 32 bits of the hash: they pick the slot and, compared
  // first, keep most mismatches from touching the list.
  struct Slot {
    std::uint32_t pos = kNone;
    std::uint32_t code = 0;
  };

  static std::uint32_t fold(std::uint64_t h) { return static_cast<std::uint32_t>(h ^ (h >> 32)); }

  void place(std::uint32_t code, std::uint32_t pos) {
    const std::size_t mask = slots_.size() - 1;
    std::size_t i = code & mask;
    while (slots_[i].pos != kNone) i = (i + 1) & mask;
    slots_[i] = Slot{pos, code};
  }

  void rehash(std::size_t cap) {
    std::vector<Slot> old(cap);
    old.swap(slots_);
    for (const Slot& s : old)
      if (s.pos != kNone) place(s.code, s.pos);
  }

  std::vector<Slot> slots_;
  std::size_t count_ = 0;
};

// Distinct texts numbered in the order they are first met. Equal texts get
// equal numbers, so comparing numbers is comparing texts.
class TextIds {
 public:
  static constexpr std::uint32_t kNone = FlatIndex::kNone;

  // The text's number, given it when it is new.
  std::uint32_t id(std::string_view s) {
    if (hasLast_ && s == texts_[last_]) return last_;
    const std::uint64_t h = hashText(s);
    std::uint32_t p = index_.find(h, [&](std::uint32_t i) { return texts_[i] == s; });
    if (p == kNone) {
      p = static_cast<std::uint32_t>(texts_.size());
      index_.insert(h, p);
      texts_.emplace_back(s);
    }
    last_ = p;
    hasLast_ = true;
    return p;
  }
  // The text's number, kNone when it was never met.
  std::uint32_t find(std::string_view s) const {
    if (hasLast_ && s == texts_[last_]) return last_;
    return index_.find(hashText(s), [&](std::uint32_t i) { return texts_[i] == s; });
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
  explicit KeySet(std::size_t n = 16) {
    std::size_t cap = 16;
    while (cap < n * 2) {
      cap *= 2;
      --shift_;
    }
    slots_.assign(cap, kFree);
  }
  // True when the key was not in the set yet.
  bool insert(std::uint64_t key) {
    if ((count_ + 1) * 2 > slots_.size()) grow();
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t i = slot(key);; i = (i + 1) & mask) {
      if (slots_[i] == key) return false;
      if (slots_[i] == kFree) {
        slots_[i] = key;
        ++count_;
        return true;
      }
    }
  }
  bool contains(std::uint64_t key) const {
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t i = slot(key);; i = (i + 1) & mask) {
      if (slots_[i] == key) return true;
      if (slots_[i] == kFree) return false;
    }
  }

 private:
  static constexpr std::uint64_t kFree = ~std::uint64_t{0};
  std::size_t slot(std::uint64_t key) const { return (key * 0x9e3779b97f4a7c15ULL) >> shift_; }
  void grow() {
    std::vector<std::uint64_t> old(slots_.size() * 2, kFree);
    old.swap(slots_);
    --shift_;
    count_ = 0;
    for (const std::uint64_t k : old)
      if (k != kFree) insert(k);
  }
  std::vector<std::uint64_t> slots_;
  unsigned shift_ = 60;
  std::size_t count_ = 0;
};

inline bool isAscii(std::string_view s) {
  for (const char c : s)
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  return true;
}

// Byte offset where the last character of s starts (0 when empty).
inline std::size_t lastCharStart(std::string_view s) {
  if (s.empty()) return 0;
  std::size_t n = s.size() - 1;
  while (n > 0 && (static_cast<unsigned char>(s[n]) & 0xC0) == 0x80) --n;
  return n;
}

// The text without its last character.
inline std::string_view dropLastChar(std::string_view s) { return s.substr(0, lastCharStart(s)); }

}  // namespace contest_detail

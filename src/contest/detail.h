// Helpers the contest rules share among themselves: hashing for the look-up
// indexes kept beside their lists, and small text steps.
#pragma once
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace contest_detail {

// Transparent, so a std::string_view finds a std::string key without a copy.
struct StrHash {
  using is_transparent = void;
  std::size_t operator()(std::string_view s) const noexcept {
    return std::hash<std::string_view>{}(s);
  }
};

struct StrEq {
  using is_transparent = void;
  bool operator()(std::string_view a, std::string_view b) const noexcept { return a == b; }
};

// Up to three texts compared together (the dupe and multiplier keys).
struct Key3 {
  std::string_view a, b, c;
  bool operator==(const Key3&) const = default;
};

struct Key3Hash {
  std::size_t operator()(const Key3& k) const noexcept {
    std::hash<std::string_view> h;
    std::size_t v = h(k.a);
    v ^= h(k.b) + 0x9e3779b97f4a7c15ULL + (v << 6) + (v >> 2);
    v ^= h(k.c) + 0x9e3779b97f4a7c15ULL + (v << 6) + (v >> 2);
    return v;
  }
};

inline bool isAscii(std::string_view s) {
  for (const char c : s)
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  return true;
}

// Byte offset where the last character of s starts (s.size() when empty).
inline std::size_t lastCharStart(std::string_view s) {
  if (s.empty()) return 0;
  std::size_t n = s.size() - 1;
  while (n > 0 && (static_cast<unsigned char>(s[n]) & 0xC0) == 0x80) --n;
  return n;
}

// The text without its last character.
inline std::string_view dropLastChar(std::string_view s) { return s.substr(0, lastCharStart(s)); }

}  // namespace contest_detail

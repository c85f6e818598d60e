// Small UTF-8 helpers used by the fixed-length fields and the codec.
#pragma once
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace utf8 {

// Length of the leading run of ASCII bytes (below 0x80) of p[0..n), read a
// word at a time: logs and their files are almost all ASCII.
inline std::size_t asciiPrefix(const char* p, std::size_t n) {
  constexpr std::uint64_t kHigh = 0x8080808080808080ull;
  std::size_t i = 0;
  for (; i + 8 <= n; i += 8) {
    std::uint64_t w;
    std::memcpy(&w, p + i, 8);
    if (const std::uint64_t h = w & kHigh) {
      if constexpr (std::endian::native == std::endian::little)
        return i + static_cast<std::size_t>(std::countr_zero(h) >> 3);
      else
        return i + static_cast<std::size_t>(std::countl_zero(h) >> 3);
    }
  }
  while (i < n && static_cast<unsigned char>(p[i]) < 0x80) ++i;
  return i;
}
inline std::size_t asciiPrefix(std::string_view s) { return asciiPrefix(s.data(), s.size()); }

// True when every byte of p[0..n) is printable ASCII (0x20..0x7E), read a
// word at a time; a text shorter than a word as two overlapping halves.
inline bool printableAscii(const char* p, std::size_t n) {
  constexpr std::uint64_t kOnes = 0x0101010101010101ull, kHigh = 0x8080808080808080ull;
  // High bit set in a byte below 0x20 or from 0x7F up: exact as to whether
  // there is one, not as to where.
  auto unprintable = [](std::uint64_t w) {
    return (w | (w + kOnes) | ((w - 0x20 * kOnes) & ~w)) & kHigh;
  };
  auto load = [p](std::size_t at) {
    std::uint64_t w;
    std::memcpy(&w, p + at, 8);
    return w;
  };
  if (n >= 8) {
    std::uint64_t bad = unprintable(load(n - 8));
    for (std::size_t k = 0; k + 8 <= n; k += 8) bad |= unprintable(load(k));
    return bad == 0;
  }
  if (n >= 4) {
    std::uint32_t a, b;
    std::memcpy(&a, p, 4);
    std::memcpy(&b, p + n - 4, 4);
    return unprintable(a | (std::uint64_t{b} << 32)) == 0;
  }
  for (std::size_t k = 0; k < n; ++k) {
    const auto b = static_cast<unsigned char>(p[k]);
    if (b < 0x20 || b >= 0x7F) return false;
  }
  return true;
}
inline bool printableAscii(std::string_view s) { return printableAscii(s.data(), s.size()); }

// Reads one code point at s[i], advancing i. Invalid sequences yield U+FFFD
// and advance one byte.
char32_t next(std::string_view s, std::size_t& i);
void append(std::string& out, char32_t cp);
std::size_t length(std::string_view s);  // in code points
// Byte offset of the first `n` code points (or the whole string).
std::size_t prefixBytes(std::string_view s, std::size_t n);

// Blanks (U+0020) trimmed, as every consumer of a fixed field does.
std::string_view trim(std::string_view s);
std::string_view trimRight(std::string_view s);
std::string_view trimLeft(std::string_view s);

std::string toUpperAscii(std::string_view s);

}  // namespace utf8

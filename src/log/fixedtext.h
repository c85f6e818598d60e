// Fixed-length text field: always exactly N characters in memory (cut or
// padded with blanks on assignment); stored on disk as N CP932 bytes.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "log/cp932.h"
#include "log/utf8.h"

template <std::size_t N>
class FixedText {
 public:
  static constexpr std::size_t kLength = N;

  FixedText() { clear(); }
  explicit FixedText(std::string_view s) { assign(s); }

  // Keeps the first N characters of s, pads to N with blanks.
  void assign(std::string_view s) {
    const std::size_t k = s.size() < N ? s.size() : N;
    if (utf8::asciiPrefix(s.data(), k) == k) {
      // ASCII: one byte a character
      if (k) std::memcpy(buf_, s.data(), k);
      std::memset(buf_ + k, ' ', N - k);
      size_ = static_cast<std::uint8_t>(N);
      return;
    }
    std::size_t cut = 0, chars = 0;
    for (; chars < N && cut < s.size(); ++chars) utf8::next(s, cut);
    if (cut) std::memcpy(buf_, s.data(), cut);
    std::memset(buf_ + cut, ' ', N - chars);
    size_ = static_cast<std::uint8_t>(cut + (N - chars));
  }
  FixedText& operator=(std::string_view s) {
    assign(s);
    return *this;
  }
  void clear() {
    std::memset(buf_, ' ', N);
    size_ = N;
  }

  // All N characters, blanks included.
  std::string_view view() const { return {buf_, size_}; }
  std::string str() const { return std::string(view()); }
  // Blanks trimmed at both ends, as shown and compared.
  std::string_view trimmed() const { return utf8::trim(view()); }

  // The N CP932 bytes of the file form.
  void toBytes(char* out) const { cp932::encodeFixed(view(), N, out); }
  void fromBytes(const char* in) { assign(cp932::decode(std::string_view(in, N))); }

  friend bool operator==(const FixedText& a, const FixedText& b) { return a.view() == b.view(); }

 private:
  char buf_[N * 4];
  std::uint8_t size_ = 0;
};

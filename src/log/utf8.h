// Small UTF-8 helpers used by the fixed-length fields and the codec.
#pragma once
#include <cstddef>
#include <string>
#include <string_view>

namespace utf8 {

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

// CP932 (Windows-31J) codec. Every text the program reads from or writes to a
// file passes through here; in memory all text is UTF-8.
#pragma once
#include <cstddef>
#include <string>
#include <string_view>

namespace cp932 {

// Builds the converter's tables now (a few milliseconds); otherwise the
// first text converted builds them.
void loadTables();

// Decodes CP932 bytes to UTF-8. Bytes that are no CP932 character (an
// undefined byte, a lead byte without a valid trail byte, a lead byte at the
// end) are dropped, so a half character never shows as garbage.
std::string decode(std::string_view bytes);

// Decodes as decode does into out, which has room for 3 * bytes.size()
// bytes; returns the number written.
std::size_t decodeTo(std::string_view bytes, char* out);

// U+FFFD: what decodeKeepingPlaces puts for each byte it cannot decode.
inline constexpr std::string_view kPlaceMark = "\xEF\xBF\xBD";

// Decodes as decode does, but each byte that is no CP932 character becomes
// one U+FFFD, so a fixed-column text keeps its columns.
std::string decodeKeepingPlaces(std::string_view bytes);

// Encodes UTF-8 to CP932. A character CP932 cannot express becomes "?".
std::string encode(std::string_view utf8);

// Encodes into exactly `width` bytes: cut at the width, padded with blanks.
// A double-byte character that would be split by the cut is left out whole
// and its first byte written as a blank, so no field ever holds half a
// character.
void encodeFixed(std::string_view utf8, std::size_t width, char* out);
std::string encodeFixed(std::string_view utf8, std::size_t width);

// True when the character (a Unicode code point) has a CP932 form.
bool representable(char32_t cp);

// True when every character of the UTF-8 text has a CP932 form, so that
// encode keeps it as it is (no "?" put in its place).
bool canEncode(std::string_view utf8);

// Number of CP932 bytes the UTF-8 text takes.
std::size_t byteLength(std::string_view utf8);

}  // namespace cp932

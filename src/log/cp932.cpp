#include "log/cp932.h"

#include <iconv.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

#include "log/utf8.h"

namespace cp932 {
namespace {

// Tables built once from the system's CP932 converter: decoding maps every
// single byte and every lead/trail pair, encoding maps each BMP code point to
// the converter's preferred byte form.
struct Tables {
  std::array<char16_t, 256> single{};       // 0 = not a character
  std::array<bool, 256> lead{};
  std::vector<char16_t> pair;               // [lead][trail] -> code point, 0 = none
  std::vector<std::uint16_t> enc;           // code point -> bytes (hi=lead, or lo only), 0 = none

  Tables() : pair(256 * 256, 0), enc(65536, 0) {
    iconv_t dec = iconv_open("UTF-16LE", "CP932");
    iconv_t en = iconv_open("CP932", "UTF-16LE");
    if (dec == reinterpret_cast<iconv_t>(-1) || en == reinterpret_cast<iconv_t>(-1)) return;
    auto conv = [&](const unsigned char* in, std::size_t n, char16_t& cp) {
      char inbuf[2];
      std::memcpy(inbuf, in, n);
      char outbuf[8];
      char* ip = inbuf;
      char* op = outbuf;
      std::size_t il = n, ol = sizeof outbuf;
      iconv(dec, nullptr, nullptr, nullptr, nullptr);
      if (iconv(dec, &ip, &il, &op, &ol) == static_cast<std::size_t>(-1) || il != 0) return false;
      if (op - outbuf != 2) return false;
      cp = static_cast<char16_t>(static_cast<unsigned char>(outbuf[0]) |
                                 (static_cast<unsigned char>(outbuf[1]) << 8));
      return true;
    };
    for (int b = 0; b < 256; ++b) {
      const auto c = static_cast<unsigned char>(b);
      if ((b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC)) {
        lead[b] = true;
        continue;
      }
      char16_t cp = 0;
      if (b == 0) {
        single[0] = 0;  // NUL handled as itself below
      } else if (conv(&c, 1, cp)) {
        single[b] = cp;
      }
    }
    for (int l = 0; l < 256; ++l) {
      if (!lead[l]) continue;
      for (int t = 0x40; t <= 0xFC; ++t) {
        if (t == 0x7F) continue;
        const unsigned char in[2] = {static_cast<unsigned char>(l), static_cast<unsigned char>(t)};
        char16_t cp = 0;
        if (conv(in, 2, cp)) pair[l * 256 + t] = cp;
      }
    }
    auto encodeOne = [&](char16_t cp) -> std::uint16_t {
      char inbuf[2] = {static_cast<char>(cp & 0xFF), static_cast<char>(cp >> 8)};
      char outbuf[8];
      char* ip = inbuf;
      char* op = outbuf;
      std::size_t il = 2, ol = sizeof outbuf;
      iconv(en, nullptr, nullptr, nullptr, nullptr);
      if (iconv(en, &ip, &il, &op, &ol) == static_cast<std::size_t>(-1)) return 0;
      const auto n = op - outbuf;
      if (n == 1) return static_cast<unsigned char>(outbuf[0]);
      if (n == 2)
        return static_cast<std::uint16_t>((static_cast<unsigned char>(outbuf[0]) << 8) |
                                          static_cast<unsigned char>(outbuf[1]));
      return 0;
    };
    for (int b = 1; b < 256; ++b)
      if (single[b] && !enc[single[b]]) enc[single[b]] = encodeOne(single[b]);
    for (std::size_t k = 0; k < pair.size(); ++k)
      if (pair[k] && !enc[pair[k]]) enc[pair[k]] = encodeOne(pair[k]);
    iconv_close(dec);
    iconv_close(en);
  }
};

const Tables& tables() {
  static const Tables t;
  return t;
}

}  // namespace

void loadTables() { tables(); }

namespace {

char* putUtf8(char* o, char16_t cp) {
  if (cp < 0x80) {
    *o++ = static_cast<char>(cp);
  } else if (cp < 0x800) {
    *o++ = static_cast<char>(0xC0 | (cp >> 6));
    *o++ = static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    *o++ = static_cast<char>(0xE0 | (cp >> 12));
    *o++ = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    *o++ = static_cast<char>(0x80 | (cp & 0x3F));
  }
  return o;
}

// Decodes p[i..] until i reaches stop (a double-byte character begun before
// stop may take the byte at stop, never one at n or past it). Writes at most
// three bytes for each byte read; returns the end of what was written.
char* decodeRun(const Tables& t, const char* p, std::size_t n, std::size_t& i, std::size_t stop,
                char* o, bool mark) {
  while (i < stop) {
    const std::size_t run = utf8::asciiPrefix(p + i, stop - i);
    std::memcpy(o, p + i, run);
    o += run;
    i += run;
    while (i < stop) {
      const auto b = static_cast<unsigned char>(p[i]);
      if (b < 0x80) break;
      ++i;
      if (t.lead[b]) {
        if (i < n) {
          const char16_t cp = t.pair[b * 256 + static_cast<unsigned char>(p[i])];
          if (cp) {
            o = putUtf8(o, cp);
            ++i;
            continue;
          }
          // an invalid trail byte: the lead is dropped, the trail is read anew
        }
      } else if (t.single[b]) {
        o = putUtf8(o, t.single[b]);
        continue;
      }
      if (mark) {
        std::memcpy(o, kPlaceMark.data(), kPlaceMark.size());
        o += kPlaceMark.size();
      }
    }
  }
  return o;
}

std::string decodeWith(std::string_view bytes, bool mark) {
  const Tables& t = tables();
  constexpr std::size_t kChunk = 4096;
  char buf[3 * (kChunk + 1)];
  std::string out;
  out.reserve(bytes.size() + bytes.size() / 2);
  for (std::size_t i = 0; i < bytes.size();) {
    const std::size_t stop = std::min(bytes.size(), i + kChunk);
    const char* end = decodeRun(t, bytes.data(), bytes.size(), i, stop, buf, mark);
    out.append(buf, static_cast<std::size_t>(end - buf));
  }
  return out;
}
}  // namespace

std::string decode(std::string_view bytes) { return decodeWith(bytes, false); }

std::string decodeKeepingPlaces(std::string_view bytes) { return decodeWith(bytes, true); }

std::size_t decodeTo(std::string_view bytes, char* out) {
  std::size_t i = 0;
  return static_cast<std::size_t>(
      decodeRun(tables(), bytes.data(), bytes.size(), i, bytes.size(), out, false) - out);
}

bool representable(char32_t cp) {
  if (cp == 0) return true;
  return cp < 0x10000 && tables().enc[cp] != 0;
}

namespace {
// Bytes of one code point: returns the count (1 or 2) and fills b.
int bytesOf(const Tables& t, char32_t cp, unsigned char b[2]) {
  if (cp < 0x80) {
    b[0] = static_cast<unsigned char>(cp);
    return 1;
  }
  const std::uint16_t e = cp < 0x10000 ? t.enc[cp] : 0;
  if (e == 0) {
    b[0] = '?';
    return 1;
  }
  if (e < 0x100) {
    b[0] = static_cast<unsigned char>(e);
    return 1;
  }
  b[0] = static_cast<unsigned char>(e >> 8);
  b[1] = static_cast<unsigned char>(e & 0xFF);
  return 2;
}
}  // namespace

std::string encode(std::string_view s) {
  const Tables& t = tables();
  std::string out;
  out.reserve(s.size());
  for (std::size_t i = 0; i < s.size();) {
    const std::size_t run = utf8::asciiPrefix(s.data() + i, s.size() - i);
    out.append(s.data() + i, run);
    i += run;
    if (i == s.size()) break;
    unsigned char b[2];
    const int n = bytesOf(t, utf8::next(s, i), b);
    out.append(reinterpret_cast<const char*>(b), n);
  }
  return out;
}

void encodeFixed(std::string_view s, std::size_t width, char* out) {
  const Tables& t = tables();
  std::size_t w = 0;
  for (std::size_t i = 0; i < s.size() && w < width;) {
    const std::size_t run = utf8::asciiPrefix(s.data() + i, std::min(s.size() - i, width - w));
    std::memcpy(out + w, s.data() + i, run);
    w += run;
    i += run;
    if (i == s.size() || w == width) break;
    unsigned char b[2];
    const int n = bytesOf(t, utf8::next(s, i), b);
    if (w + n > width) break;  // would split a double-byte character
    std::memcpy(out + w, b, n);
    w += n;
  }
  std::memset(out + w, ' ', width - w);
}

std::string encodeFixed(std::string_view s, std::size_t width) {
  std::string r(width, ' ');
  encodeFixed(s, width, r.data());
  return r;
}

bool canEncode(std::string_view s) {
  for (std::size_t i = 0; i < s.size();) {
    i += utf8::asciiPrefix(s.data() + i, s.size() - i);
    if (i == s.size()) break;
    if (!representable(utf8::next(s, i))) return false;
  }
  return true;
}

std::size_t byteLength(std::string_view s) {
  const Tables& t = tables();
  std::size_t n = 0;
  for (std::size_t i = 0; i < s.size();) {
    const std::size_t run = utf8::asciiPrefix(s.data() + i, s.size() - i);
    n += run;
    i += run;
    if (i == s.size()) break;
    unsigned char b[2];
    n += bytesOf(t, utf8::next(s, i), b);
  }
  return n;
}

}  // namespace cp932

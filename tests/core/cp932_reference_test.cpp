// The codec's run-at-a-time paths against a byte-at-a-time reference built
// straight on the system converter, on random text mixing ASCII runs, single-
// and double-byte characters and broken ones.
#include <gtest/gtest.h>
#include <iconv.h>

#include <random>
#include <string>

#include "log/cp932.h"
#include "log/fixedtext.h"
#include "log/utf8.h"

namespace {

// One CP932 character (1 or 2 bytes) as UTF-8; empty when it is none.
std::string convertOne(std::string_view in) {
  static iconv_t cd = iconv_open("UTF-8", "CP932");
  char inbuf[2];
  in.copy(inbuf, in.size());
  char outbuf[8];
  char* ip = inbuf;
  char* op = outbuf;
  std::size_t il = in.size(), ol = sizeof outbuf;
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  if (iconv(cd, &ip, &il, &op, &ol) == static_cast<std::size_t>(-1) || il != 0) return {};
  const std::string out(outbuf, static_cast<std::size_t>(op - outbuf));
  return out;
}

bool isLead(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }

// The codec's rules a byte at a time.
std::string referenceDecode(std::string_view s, bool mark) {
  std::string out;
  for (std::size_t i = 0; i < s.size(); ++i) {
    const auto b = static_cast<unsigned char>(s[i]);
    std::string ch;
    if (b < 0x80) {
      ch.assign(1, s[i]);
    } else if (isLead(b)) {
      const auto t = i + 1 < s.size() ? static_cast<unsigned char>(s[i + 1]) : 0;
      if (t >= 0x40 && t <= 0xFC && t != 0x7F) ch = convertOne(s.substr(i, 2));
      if (!ch.empty()) ++i;
    } else {
      ch = convertOne(s.substr(i, 1));
    }
    out += ch.empty() && mark ? std::string(cp932::kPlaceMark) : ch;
  }
  return out;
}

// Bytes as a log or an import file has them: mostly ASCII runs, some
// Japanese, now and then a broken character.
std::string randomBytes(std::mt19937& rng, std::size_t size) {
  static const std::string japanese = cp932::encode("移動運用　ＱＳＬ不要ｶﾀｶﾅ①～");
  std::string s;
  while (s.size() < size) {
    switch (rng() % 6) {
      case 0:
      case 1:
        for (std::size_t n = rng() % 40; n; --n) s += static_cast<char>(rng() % 0x80);
        break;
      case 2:
        s += japanese.substr(rng() % japanese.size(), rng() % 12);
        break;
      case 3:
        s += static_cast<char>(0x80 + rng() % 0x80);  // any high byte, a lead too
        break;
      case 4:
        s += static_cast<char>(0x81 + rng() % 0x1F);  // a lead with any next byte
        s += static_cast<char>(rng() % 0x100);
        break;
      default:
        s += static_cast<char>(rng() % 0x100);
    }
  }
  s.resize(size);
  return s;
}

// The encoder's rules a character at a time.
std::string referenceEncode(std::string_view s) {
  std::string out;
  for (std::size_t i = 0; i < s.size();) {
    const std::size_t from = i;
    utf8::next(s, i);
    out += cp932::encode(s.substr(from, i - from));
  }
  return out;
}

std::string referenceEncodeFixed(std::string_view s, std::size_t width) {
  std::string out;
  for (std::size_t i = 0; i < s.size();) {
    const std::size_t from = i;
    utf8::next(s, i);
    const std::string ch = cp932::encode(s.substr(from, i - from));
    if (out.size() + ch.size() > width) break;
    out += ch;
  }
  out.resize(width, ' ');
  return out;
}

}  // namespace

TEST(Cp932Reference, DecodeMatchesByteAtATime) {
  std::mt19937 rng(2024);
  for (int round = 0; round < 3000; ++round) {
    // Most short like a field; some past the decoder's 4096-byte chunks.
    const std::size_t size = round % 100 == 0 ? 4000 + rng() % 9000 : rng() % 64;
    const std::string bytes = randomBytes(rng, size);
    const std::string expect = referenceDecode(bytes, false);
    ASSERT_EQ(cp932::decode(bytes), expect) << "round " << round;
    ASSERT_EQ(cp932::decodeKeepingPlaces(bytes), referenceDecode(bytes, true)) << "round " << round;
    std::string into(3 * bytes.size(), '\0');
    into.resize(cp932::decodeTo(bytes, into.data()));
    ASSERT_EQ(into, expect) << "round " << round;
  }
}

TEST(Cp932Reference, ADoubleByteCharacterAcrossEveryChunkEdgeDecodes) {
  const std::string pair = cp932::encode("東");
  for (std::size_t at = 4090; at < 4100; ++at) {
    std::string bytes(at, 'A');
    bytes += pair;
    bytes += std::string(5000, 'B');
    bytes += pair[0];  // a lone lead at the very end
    EXPECT_EQ(cp932::decode(bytes), referenceDecode(bytes, false)) << at;
    EXPECT_EQ(cp932::decodeKeepingPlaces(bytes), referenceDecode(bytes, true)) << at;
  }
}

TEST(Cp932Reference, EncodeMatchesCharacterAtATime) {
  std::mt19937 rng(7);
  const std::string odd = "\xF0\x9F\x98\x80한\u00E9\xC3\x28\xE3\x81";  // none in CP932, broken UTF-8
  for (int round = 0; round < 3000; ++round) {
    std::string text = cp932::decode(randomBytes(rng, rng() % 80));
    if (round % 3 == 0) text.insert(rng() % (text.size() + 1), odd.substr(rng() % odd.size()));
    ASSERT_EQ(cp932::encode(text), referenceEncode(text)) << text;
    ASSERT_EQ(cp932::byteLength(text), referenceEncode(text).size()) << text;
    bool representable = true;
    for (std::size_t i = 0; i < text.size();) {
      const std::size_t from = i;
      // only "?" itself is "?" in CP932
      if (utf8::next(text, i) >= 0x80 && cp932::encode(text.substr(from, i - from)) == "?")
        representable = false;
    }
    ASSERT_EQ(cp932::canEncode(text), representable) << text;
    const std::size_t width = rng() % 30;
    ASSERT_EQ(cp932::encodeFixed(text, width), referenceEncodeFixed(text, width)) << text;
  }
}

TEST(Utf8, AsciiAndPrintableRunsMatchAByteLoop) {
  std::mt19937 rng(11);
  for (int round = 0; round < 20000; ++round) {
    std::string s(rng() % 24, 'a');
    for (char& c : s) c = static_cast<char>(0x20 + rng() % 0x5F);
    // one byte of any value at any place, or none
    if (!s.empty() && round % 4) s[rng() % s.size()] = static_cast<char>(rng() % 0x100);
    std::size_t ascii = 0;
    while (ascii < s.size() && static_cast<unsigned char>(s[ascii]) < 0x80) ++ascii;
    bool printable = true;
    for (const char c : s) printable &= c >= 0x20 && c < 0x7F;
    ASSERT_EQ(utf8::asciiPrefix(s), ascii) << round;
    ASSERT_EQ(utf8::printableAscii(s), printable) << round;
  }
}

TEST(FixedText, AssignMatchesCharacterCounting) {
  for (const std::string& s : std::initializer_list<std::string>{"", "7", "JA1ABCDEFGHIJKLMN", "JA1ABCDEFGHI東", "JA1ABCDEFGHIJ東",
                              "東京JA1", "ｶﾀｶﾅ1234567890123", std::string("A\0B", 3)}) {
    FixedText<13> f(s);
    const std::size_t cut = utf8::prefixBytes(s, 13);
    const std::string expect = s.substr(0, cut) + std::string(13 - utf8::length(s.substr(0, cut)), ' ');
    EXPECT_EQ(f.view(), expect) << s;
  }
}

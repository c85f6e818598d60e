// CP932 codec, fixed-length fields and OLE dates.
#include <gtest/gtest.h>

#include <cmath>

#include "log/cp932.h"
#include "log/fixedtext.h"
#include "log/oledate.h"

TEST(Cp932, RoundTripsJapaneseAndAscii) {
  const std::string text = "JA1ZZZ 東京都 ｶﾀｶﾅ ～①";
  const std::string bytes = cp932::encode(text);
  EXPECT_EQ(cp932::decode(bytes), text);
  EXPECT_EQ(cp932::encode("東"), "\x93\x8C");
  EXPECT_EQ(cp932::encode("ｱ"), "\xB1");
  EXPECT_EQ(cp932::byteLength("東京A"), 5u);
}

TEST(Cp932, InvalidBytesAreDroppedNotShown) {
  // a lone lead byte at the end, an undefined single byte, a lead byte with a bad trail
  EXPECT_EQ(cp932::decode("AB\x93"), "AB");
  EXPECT_EQ(cp932::decode("A\xA0" "B"), "AB");
  EXPECT_EQ(cp932::decode("\x93\x0A" "C"), "\nC");
  // characters CP932 cannot express become "?"
  EXPECT_EQ(cp932::encode("a\xF0\x9F\x98\x80" "b"), "a?b");
}

TEST(Cp932, CanEncodeTellsWhatWouldBecomeAQuestionMark) {
  EXPECT_TRUE(cp932::canEncode(""));
  EXPECT_TRUE(cp932::canEncode("JA1ABC 東京都 ｺｰﾙ ①～￢"));
  for (const char* bad : {"한국", "😀", "a\u00E9", "\u2603"}) {
    EXPECT_FALSE(cp932::canEncode(bad)) << bad;
    EXPECT_NE(cp932::encode(bad).find('?'), std::string::npos) << bad;
  }
}

TEST(Cp932, FixedWidthNeverSplitsADoubleByteCharacter) {
  EXPECT_EQ(cp932::encodeFixed("JA1ABC", 13), "JA1ABC       ");
  // 11 full-width characters are 22 bytes: a cut at 21 leaves the 11th out
  // whole and writes a blank in its first byte.
  const std::string s = cp932::encodeFixed("あいうえおかきくけこさ", 21);
  ASSERT_EQ(s.size(), 21u);
  EXPECT_EQ(s.back(), ' ');
  EXPECT_EQ(cp932::decode(s), "あいうえおかきくけこ ");
}

TEST(FixedText, CutsAndPadsByCharacters) {
  FixedText<13> call("JA1ABCDEFGHIJKLMN");
  EXPECT_EQ(call.view(), "JA1ABCDEFGHIJ");
  FixedText<5> band("7");
  EXPECT_EQ(band.view(), "7    ");
  EXPECT_EQ(band.trimmed(), "7");
  FixedText<20> rmk("一二三四五六七八九十一二三四五六七八九十一");
  EXPECT_EQ(rmk.view(), "一二三四五六七八九十一二三四五六七八九十");
  // on disk the field keeps only what fits in its bytes
  char bytes[20];
  rmk.toBytes(bytes);
  FixedText<20> back;
  back.fromBytes(bytes);
  EXPECT_EQ(back.trimmed(), "一二三四五六七八九十");
  FixedText<4> blanks("  x ");
  EXPECT_EQ(blanks.trimmed(), "x");
}

TEST(OleDate, ConvertsBothWays) {
  EXPECT_EQ(ole::fromDate(1899, 12, 30), 0.0);
  EXPECT_EQ(ole::fromDate(1900, 1, 1), 2.0);
  EXPECT_EQ(ole::fromDateTime(2026, 12, 7, 12, 0, 0), 46363.5);
  const ole::Date d = ole::fromDateTime(2024, 2, 29, 23, 59, 59);
  EXPECT_EQ(ole::toParts(d), (ole::Parts{2024, 2, 29, 23, 59, 59}));
  // before the epoch the fraction is the time of day, the integer part the day
  EXPECT_EQ(ole::fromDateTime(1899, 12, 29, 6, 0, 0), -1.25);
  EXPECT_EQ(ole::toParts(-1.25), (ole::Parts{1899, 12, 29, 6, 0, 0}));
}

TEST(OleDate, ShowsTheNearestWholeSecond) {
  const ole::Date base = ole::fromDateTime(2025, 1, 1, 10, 0, 0);
  EXPECT_EQ(ole::formatSeconds(base + 0.4 / 86400), "2025-01-01 10:00:00");
  EXPECT_EQ(ole::formatSeconds(base + 0.5 / 86400), "2025-01-01 10:00:01");
  EXPECT_EQ(ole::formatSeconds(ole::fromDateTime(2025, 1, 1, 23, 59, 59) + 0.6 / 86400),
            "2025-01-02 00:00:00");
  EXPECT_EQ(ole::formatMinutes(base + 59.0 / 86400), "2025-01-01 10:00");
  EXPECT_EQ(ole::formatJapaneseDate(base), "2025年01月01日");
  EXPECT_EQ(ole::formatGeneral(ole::fromDate(2025, 3, 4)), "2025/03/04");
  EXPECT_EQ(ole::formatGeneral(base), "2025/01/01 10:00:00");
  EXPECT_EQ(ole::formatSeconds(std::nan("")), "");
  EXPECT_EQ(ole::formatMinutes(1e300), "");
}

TEST(OleDate, CalendarArithmetic) {
  const ole::Date jan31 = ole::fromDateTime(2023, 1, 31, 21, 30, 15);
  EXPECT_EQ(ole::formatSeconds(ole::addMonths(jan31, 1)), "2023-02-28 21:30:15");
  EXPECT_EQ(ole::formatSeconds(ole::addMonths(ole::fromDate(2024, 1, 31), 1)),
            "2024-02-29 00:00:00");
  EXPECT_EQ(ole::formatSeconds(ole::addMonths(jan31, -2)), "2022-11-30 21:30:15");
  EXPECT_EQ(ole::formatSeconds(ole::addHours(jan31, 3)), "2023-02-01 00:30:15");
  EXPECT_EQ(ole::formatSeconds(ole::addHours(jan31, -9)), "2023-01-31 12:30:15");
  EXPECT_EQ(ole::formatSeconds(ole::addDays(ole::fromDate(2024, 2, 28), 1)),
            "2024-02-29 00:00:00");
}

TEST(OleDate, ParsesWhatTheProgramWrites) {
  const ole::Date d = ole::fromDateTime(2025, 11, 3, 9, 5, 7);
  EXPECT_EQ(ole::parse(ole::formatSeconds(d)), d);
  EXPECT_EQ(ole::parse("2025-11-03 09:05"), ole::fromDateTime(2025, 11, 3, 9, 5, 0));
  EXPECT_EQ(ole::parse("2025/11/03 09:05:07"), d);
  EXPECT_EQ(ole::parse("2025/11/3"), ole::fromDate(2025, 11, 3));
  for (const char* bad : {"", "2025-13-01 00:00", "2025-02-30", "2025-01-01 24:00",
                          "2025-01-01 10:00:61", "abc", "2025-01-01 10", "2025-01/01"})
    EXPECT_FALSE(ole::parse(bad).has_value()) << bad;
}

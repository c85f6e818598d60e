// CSV export and import: quoting, the round trip, old files, bad lines and
// the log's limit.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "log/cp932.h"
#include "log/csv.h"

namespace {

QsoRecord qso(const char* call, const char* remarks) {
  QsoRecord r;
  r.QsoTime = ole::fromDateTime(2024, 4, 29, 21, 5, 30);
  r.CallSign = call;
  r.SentRst = "599";
  r.SentNo = "13M";
  r.RcvdRst = "579";
  r.RcvdNo = "25H";
  r.Mlt = "25";
  r.Band = "7";
  r.Mode = "CW";
  r.Points = 1;
  r.Dupe = 1;
  r.Remarks = remarks;
  return r;
}

std::vector<std::string> fields(std::string_view line) {
  std::size_t pos = 0;
  return csv::nextRecord(line, pos);
}

TEST(CsvWrite, EveryFieldQuotedNoHeader) {
  LogData log;
  log.append(qso("JA1ABC", "a \"b\", c"));
  QsoRecord midnight = qso("JA2XYZ", "");
  midnight.QsoTime = ole::fromDate(2024, 4, 30);
  log.append(midnight);
  const std::string text = CsvFormat(log, noProgress());
  EXPECT_EQ(text,
            "\"1\",\"2024/04/29 21:05:30\",\"JA1ABC\",\"599\",\"13M\",\"579\",\"25H\",\"25\","
            "\"7\",\"CW\",\"1\",\"1\",\"a \"\"b\"\", c\"\r\n"
            "\"2\",\"2024/04/30\",\"JA2XYZ\",\"599\",\"13M\",\"579\",\"25H\",\"25\",\"7\","
            "\"CW\",\"1\",\"1\",\"\"\r\n");
}

TEST(CsvRead, RoundTripWithCommasAndQuotes) {
  LogData log;
  log.append(qso("JA1ABC", "a \"b\", c"));
  log.append(qso("JA2XYZ", ",,\"\""));
  log.append(qso("JA3QRP", "東京, 大阪"));
  const std::string bytes = cp932::encode(CsvFormat(log, noProgress()));
  LogData back;
  const ImportResult res = CsvParse(bytes, back, noProgress());
  EXPECT_FALSE(res.failed);
  ASSERT_EQ(back.count(), 3);  // the trailing line end adds no QSO
  for (int i = 1; i <= 3; ++i) {
    EXPECT_EQ(back[i].QsoNo, log[i].QsoNo);
    EXPECT_EQ(back[i].QsoTime, log[i].QsoTime);
    EXPECT_EQ(back[i].CallSign, log[i].CallSign);
    EXPECT_EQ(back[i].Remarks, log[i].Remarks) << i;
    EXPECT_EQ(back[i].Mlt, log[i].Mlt);
    EXPECT_EQ(back[i].Points, 1);
    EXPECT_EQ(back[i].Dupe, 1);
  }
}

TEST(CsvRead, OldFilesReadAsBefore) {
  // Written without escaping: quotes around every field, stray ones dropped.
  EXPECT_EQ(fields("\"1\",\"ab\",\"c\""), (std::vector<std::string>{"1", "ab", "c"}));
  EXPECT_EQ(fields("1,ab,c\r\n"), (std::vector<std::string>{"1", "ab", "c"}));
  EXPECT_EQ(fields("\"1\",a\"b,c"), (std::vector<std::string>{"1", "ab", "c"}));
  EXPECT_EQ(fields("\"x\"y\",z"), (std::vector<std::string>{"xy", "z"}));
  // Quotes that do not balance: all removed, split at every comma.
  EXPECT_EQ(fields("\"unterminated,x"), (std::vector<std::string>{"unterminated", "x"}));
  EXPECT_EQ(fields(""), (std::vector<std::string>{""}));
  // A line end always ends the record, even inside an open quote.
  std::size_t pos = 0;
  const std::string two = "\"a\r\nb\",c\r\n\"d\"";
  EXPECT_EQ(csv::nextRecord(two, pos), (std::vector<std::string>{"a"}));
  EXPECT_EQ(csv::nextRecord(two, pos), (std::vector<std::string>{"b", "c"}));
  EXPECT_EQ(csv::nextRecord(two, pos), (std::vector<std::string>{"d"}));
}

namespace {
// The field rules a character at a time.
std::vector<std::string> referenceFields(std::string_view line) {
  std::vector<std::string> f(1);
  bool quoted = false, wasQuoted = false, fieldStart = true;
  for (std::size_t i = 0; i < line.size(); ++i) {
    const char c = line[i];
    if (quoted) {
      if (c != '"')
        f.back() += c;
      else if (i + 1 < line.size() && line[i + 1] == '"')
        f.back() += line[i++];
      else
        quoted = false;
    } else if (c == ',') {
      f.emplace_back();
      fieldStart = true;
      wasQuoted = false;
    } else if (c == '"') {
      if (fieldStart && !wasQuoted) quoted = wasQuoted = true;
      fieldStart = false;
    } else {
      fieldStart = false;
      f.back() += c;
    }
  }
  if (!quoted) return f;
  std::vector<std::string> plain(1);
  for (const char c : line) {
    if (c == ',') plain.emplace_back();
    else if (c != '"') plain.back() += c;
  }
  return plain;
}
}  // namespace

TEST(CsvRead, FieldsSplitAsACharacterAtATime) {
  unsigned x = 17;
  auto next = [&x] { return (x = x * 1103515245u + 12345u) >> 16; };
  const char alphabet[] = {'"', '"', '"', ',', ',', 'a', 'b', ' ', '\t', '\r'};
  for (int round = 0; round < 20000; ++round) {
    std::string line;
    for (unsigned n = next() % 16; n; --n) line += alphabet[next() % sizeof alphabet];
    // a CR only ever ends a line
    while (!line.empty() && line.back() == '\r') line.pop_back();
    ASSERT_EQ(fields(line), referenceFields(line)) << line;
  }
}

TEST(CsvRead, BrokenCharactersAtLineEndsStayOnTheirLine) {
  // A lead byte before a quote, a CR or the line end has no trail: it is
  // dropped and the line ends where it did.
  const std::string row = "\"2024/04/29 21:05\",\"JA1ABC\",\"599\",\"13M\",\"579\",\"25H\",\"25\",\"7\","
                          "\"CW\",\"1\",\"0\",";
  const std::string text = "\"1\"," + row + "\"ab\x93\"\r\n\"2\"," + row + "\"cd\"\x93\r\n\"3\"," + row +
                           "\"\x82\xA0\"\x93\n\x93\r\n\"4\"," + row + "\"\xB1\"";
  LogData log;
  const ImportResult res = CsvParse(text, log, noProgress());
  EXPECT_FALSE(res.failed) << res.error;
  ASSERT_EQ(log.count(), 4);
  EXPECT_EQ(log[1].Remarks.trimmed(), "ab");
  EXPECT_EQ(log[2].Remarks.trimmed(), "cd");
  EXPECT_EQ(log[3].Remarks.trimmed(), "あ");
  EXPECT_EQ(log[4].QsoNo, 4);
  EXPECT_EQ(log[4].Remarks.trimmed(), "ｱ");
}

TEST(CsvRead, RemarkEndingInQuoteKeepsTheNextQso) {
  // Written without escaping: remarks abc" became "abc"".
  const std::string text =
      "\"1\",\"2024/04/29 21:05\",\"JA1ABC\",\"599\",\"13M\",\"579\",\"25H\",\"25\",\"7\","
      "\"CW\",\"1\",\"0\",\"abc\"\"\r\n"
      "\"2\",\"2024/04/29 21:06\",\"JA2XYZ\",\"599\",\"13M\",\"579\",\"10M\",\"10\",\"7\","
      "\"CW\",\"1\",\"0\",\"next\"\r\n";
  LogData log;
  const ImportResult res = CsvParse(text, log, noProgress());
  EXPECT_FALSE(res.failed);
  ASSERT_EQ(log.count(), 2);
  EXPECT_EQ(log[1].Remarks.trimmed(), "abc");
  EXPECT_EQ(log[2].CallSign.trimmed(), "JA2XYZ");
  EXPECT_EQ(log[2].Remarks.trimmed(), "next");
}

TEST(CsvRead, MissingExtraAndBlank) {
  const std::string text =
      "\"5\",\"2024/04/29 21:05\",\"JA1ABC\"\r\n"
      "\r\n"
      "\"7\",\"2024-04-29 21:06:07\",\"JA2XYZ\",\"599\",\"13M\",\"579\",\"25H\",\"\",\"7\","
      "\"CW\",\"\",\"0\",\"rem\",\"extra\",\"more\"\r\n"
      "  \r\n";
  LogData log;
  const ImportResult res = CsvParse(text, log, noProgress());
  EXPECT_FALSE(res.failed);
  ASSERT_EQ(log.count(), 2);
  EXPECT_EQ(log[1].QsoNo, 5);
  EXPECT_EQ(ole::formatSeconds(log[1].QsoTime), "2024-04-29 21:05:00");
  EXPECT_EQ(log[1].Band.trimmed(), "");
  EXPECT_EQ(log[1].Points, 0);
  EXPECT_EQ(log[2].QsoNo, 7);
  EXPECT_EQ(log[2].Remarks.trimmed(), "rem");
  EXPECT_EQ(ole::formatSeconds(log[2].QsoTime), "2024-04-29 21:06:07");
}

TEST(CsvRead, NumbersRoundedWithin16Bits) {
  std::int16_t v = 0;
  EXPECT_TRUE(csv::parseInt16(" 12 ", v));
  EXPECT_EQ(v, 12);
  EXPECT_TRUE(csv::parseInt16("2.5", v));
  EXPECT_EQ(v, 2);
  EXPECT_TRUE(csv::parseInt16("-32768", v));
  EXPECT_EQ(v, -32768);
  EXPECT_TRUE(csv::parseInt16("", v));
  EXPECT_EQ(v, 0);
  EXPECT_FALSE(csv::parseInt16("32768", v));
  EXPECT_FALSE(csv::parseInt16("1e3", v));
  EXPECT_FALSE(csv::parseInt16("abc", v));
  EXPECT_FALSE(csv::parseInt16(".", v));
}

TEST(CsvRead, WholeNumbersReadAsTheirDecimalValue) {
  for (long n = -40000; n <= 40000; ++n) {
    for (const std::string& text : {std::to_string(n), (n >= 0 ? "+0" : "-0") + std::to_string(std::labs(n)),
                                    std::to_string(n) + ".0"}) {
      std::int16_t v = 7;
      const bool fits = n >= -32768 && n <= 32767;
      ASSERT_EQ(csv::parseInt16(text, v), fits) << text;
      if (fits) {
        ASSERT_EQ(v, n) << text;
      }
    }
  }
  std::int16_t v = 7;
  EXPECT_TRUE(csv::parseInt16("-0", v));
  EXPECT_EQ(v, 0);
  EXPECT_FALSE(csv::parseInt16("+", v));
  EXPECT_FALSE(csv::parseInt16("1-", v));
}

TEST(CsvRead, BadLineStopsKeepingWhatWasRead) {
  const std::string text =
      "\"1\",\"2024/04/29 21:05\",\"A\"\r\n"
      "\"2\",\"2024/04/29 21:06\",\"B\\tC\"\r\n"
      "\"x3\",\"2024/04/29 21:07\",\"C\"\r\n"
      "\"4\",\"2024/04/29 21:08\",\"D\"\r\n";
  LogData log;
  ImportResult res = CsvParse(text, log, noProgress());
  EXPECT_TRUE(res.failed);
  EXPECT_NE(res.error.find("3 行目"), std::string::npos) << res.error;
  EXPECT_EQ(log.count(), 2);
  LogData log2;
  res = CsvParse("\"1\",\"not a date\",\"A\"\r\n", log2, noProgress());
  EXPECT_TRUE(res.failed);
  EXPECT_EQ(log2.count(), 0);
  // Invalid Shift-JIS bytes and control characters never reach a field.
  LogData log3;
  res = CsvParse(std::string("\"1\",\"\",\"JA\x81\x01\tX\"\r\n"), log3, noProgress());
  EXPECT_FALSE(res.failed);
  ASSERT_EQ(log3.count(), 1);
  EXPECT_EQ(log3[1].CallSign.view().find('\t'), std::string::npos);
}

TEST(CsvRead, LastQsoNumberedZeroIsKept) {
  // Only the empty record after the final line end is no QSO.
  LogData log;
  CsvParse("\"1\",\"\",\"A\"\r\n\"0\",\"\",\"B\"", log, noProgress());
  ASSERT_EQ(log.count(), 2);
  EXPECT_EQ(log[2].CallSign.trimmed(), "B");
  LogData log2;
  CsvParse("\"1\",\"\",\"A\"\r\n\"0\",\"\",\"B\"\r\n", log2, noProgress());
  EXPECT_EQ(log2.count(), 2);
}

TEST(CsvRead, StopsAtTheLimit) {
  LogData log;
  log.resize(kMaxQso - 1);
  const ImportResult res =
      CsvParse("\"1\",\"\",\"A\"\r\n\"2\",\"\",\"B\"\r\n", log, noProgress());
  EXPECT_TRUE(res.limited);
  EXPECT_EQ(res.appended, 1);
  EXPECT_EQ(log.count(), kMaxQso);
}

}  // namespace

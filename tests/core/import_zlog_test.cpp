// zLog files: record count, count text, time conversion, fields and the
// log's limit.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>

#include "log/cp932.h"
#include "log/zlog.h"

namespace {

struct ZRec {
  double time = 40000.75;
  std::string call = "JA1ABC", sent = "13M", rcvd = "25H";
  std::int16_t srst = 599, rrst = 579;
  unsigned char mode = 0, band = 2;
};

void putString(std::string& b, std::size_t at, const std::string& s) {
  b[at] = static_cast<char>(s.size());
  std::memcpy(b.data() + at + 1, s.data(), s.size());
}

std::string record(const ZRec& z) {
  std::string b(zlog::kRecordSize, '\0');
  std::memcpy(b.data(), &z.time, 8);
  putString(b, zlog::kOffCallSign, z.call);
  putString(b, zlog::kOffSentNo, z.sent);
  putString(b, zlog::kOffRcvdNo, z.rcvd);
  b[84] = static_cast<char>(z.srst & 0xFF);
  b[85] = static_cast<char>((z.srst >> 8) & 0xFF);
  b[86] = static_cast<char>(z.rrst & 0xFF);
  b[87] = static_cast<char>((z.rrst >> 8) & 0xFF);
  b[92] = static_cast<char>(z.mode);
  b[93] = static_cast<char>(z.band);
  return b;
}

std::string file(int qsos) {
  std::string f(zlog::kRecordSize, 'H');  // header, never read
  for (int i = 0; i < qsos; ++i) {
    ZRec z;
    z.call = "JA1A" + std::to_string(i);
    f += record(z);
  }
  return f;
}

ole::Date timeOf(double t) {
  ole::Date d = -1;
  EXPECT_TRUE(ZlogTimeToDate(t, d)) << t;
  return d;
}

TEST(ZlogFile, RecordCountRoundsToNearest) {
  EXPECT_EQ(zlog::RecordCount(0), 0);
  EXPECT_EQ(zlog::RecordCount(256), 1);
  EXPECT_EQ(zlog::RecordCount(256 * 11), 11);
  EXPECT_EQ(zlog::RecordCount(256 + 127), 1);
  EXPECT_EQ(zlog::RecordCount(256 + 129), 2);
  EXPECT_EQ(zlog::RecordCount(256 + 128), 2);      // 1.5 -> 2 (half to even)
  EXPECT_EQ(zlog::RecordCount(2 * 256 + 128), 2);  // 2.5 -> 2
}

TEST(ZlogFile, CountTexts) {
  EXPECT_EQ(zlog::CountText(0), "ログデータがありません");
  EXPECT_EQ(zlog::CountText(1), "ログデータがありません");
  EXPECT_EQ(zlog::CountText(11), "１０ 件のログデータがあります");
  EXPECT_EQ(zlog::CountText(2), "１ 件のログデータがあります");
  EXPECT_EQ(zlog::CountText(32768), "３２７６７ 件のログデータがあります");
}

TEST(ZlogTime, WorkedExamplesAndTruncation) {
  EXPECT_EQ(ole::formatSeconds(timeOf(40000.75)), "2009-07-06 18:00:00");
  EXPECT_EQ(ole::formatSeconds(timeOf(40000.25)), "2009-07-06 06:00:00");
  // Truncated, not rounded: 0.9 s past the minute stays on the minute.
  EXPECT_EQ(ole::formatSeconds(timeOf(40000.75 + 59.9 / 86400)), "2009-07-06 18:00:59");
  // A time made of hours and minutes keeps its whole second despite the
  // double's last bits.
  for (int m = 0; m < 1440; ++m) {
    const double t = 40000 + (m * 60.0) / 86400.0;
    const ole::Parts p = ole::toParts(timeOf(t));
    ASSERT_EQ(p.hour * 60 + p.minute, m);
    ASSERT_EQ(p.second, 0) << m;
  }
  // Before noon and after: no day is gained or lost.
  EXPECT_EQ(ole::formatSeconds(timeOf(2.0 + 1.0 / 86400)), "1900-01-01 00:00:01");
  EXPECT_EQ(ole::formatSeconds(timeOf(0)), "1899-12-30 00:00:00");
}

TEST(ZlogTime, AbsurdValuesAreNoDate) {
  ole::Date d = 123;
  for (double t : {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(),
                   -std::numeric_limits<double>::infinity(), 1e300, -1e300, 1e7, -1e6}) {
    EXPECT_FALSE(ZlogTimeToDate(t, d)) << t;
  }
  EXPECT_EQ(d, 123);
}

TEST(ZlogConvert, FieldsOfARecord) {
  ZRec z;
  z.band = 12;
  z.mode = 4;
  z.srst = 599;
  z.rrst = -1;
  const QsoRecord r = ZlogConvertRecord(record(z).data());
  EXPECT_EQ(r.CallSign.trimmed(), "JA1ABC");
  EXPECT_EQ(r.SentNo.trimmed(), "13M");
  EXPECT_EQ(r.RcvdNo.trimmed(), "25H");
  EXPECT_EQ(r.SentRst.trimmed(), "599");
  EXPECT_EQ(r.RcvdRst.trimmed(), "-1");
  EXPECT_EQ(r.Band.trimmed(), "1200");
  EXPECT_EQ(r.Mode.trimmed(), "RTTY");
  EXPECT_EQ(ole::formatSeconds(r.QsoTime), "2009-07-06 18:00:00");
  EXPECT_EQ(r.Dupe, 0);
  EXPECT_EQ(r.Points, 0);
  EXPECT_EQ(r.Mlt.trimmed(), "");
  EXPECT_EQ(r.TestNo, 0);
}

TEST(ZlogConvert, OddInputStaysInsideItsFields) {
  ZRec z;
  z.band = 16;   // outside the table
  z.mode = 200;  // outside the table
  z.time = std::numeric_limits<double>::quiet_NaN();
  z.sent = cp932::encode("東京");  // Shift-JIS bytes
  z.rcvd = "25\tH";
  std::string b = record(z);
  b[zlog::kOffCallSign] = static_cast<char>(255);  // longer than its 12 bytes
  std::memcpy(b.data() + 9, "JA1ABCDEFGHIJKLMNOP", 12);
  const QsoRecord r = ZlogConvertRecord(b.data());
  EXPECT_EQ(r.Band.trimmed(), "");
  EXPECT_EQ(r.Mode.trimmed(), "");
  EXPECT_EQ(r.QsoTime, 0);
  EXPECT_EQ(r.SentNo.trimmed(), "東京");
  EXPECT_EQ(r.RcvdNo.trimmed(), "25 H");  // no tab reaches a grid row
  EXPECT_EQ(r.CallSign.trimmed(), "JA1ABCDEFGHI");  // the 12 bytes of the field only
}

TEST(ZlogConvert, AppendsAfterTheLogInFileOrder) {
  LogData log;
  log.resize(3);
  const ImportResult res = ZlogConvert(file(10), log, noProgress());
  EXPECT_EQ(res.appended, 10);
  EXPECT_FALSE(res.limited);
  ASSERT_EQ(log.count(), 13);
  EXPECT_EQ(log[4].QsoNo, 4);
  EXPECT_EQ(log[4].CallSign.trimmed(), "JA1A0");
  EXPECT_EQ(log[13].QsoNo, 13);
  EXPECT_EQ(log[13].CallSign.trimmed(), "JA1A9");
}

TEST(ZlogConvert, HeaderOnlyAndPartialRecords) {
  LogData log;
  EXPECT_EQ(ZlogConvert(file(0), log, noProgress()).appended, 0);
  EXPECT_EQ(ZlogConvert("", log, noProgress()).appended, 0);
  EXPECT_EQ(log.count(), 0);
  // 1.6 records: the partial second one reads as zero bytes after its end.
  std::string f = file(1).substr(0, 256 + 150);
  EXPECT_EQ(ZlogConvert(f, log, noProgress()).appended, 1);
  EXPECT_EQ(log[1].CallSign.trimmed(), "JA1A0");
}

TEST(ZlogConvert, StopsAtTheLimitKeepingTheLog) {
  LogData log;
  log.resize(kMaxQso - 4);
  log[1].CallSign = "KEEP";
  const ImportResult res = ZlogConvert(file(10), log, noProgress());
  EXPECT_TRUE(res.limited);
  EXPECT_EQ(res.appended, 4);
  EXPECT_EQ(log.count(), kMaxQso);
  EXPECT_EQ(log[1].CallSign.trimmed(), "KEEP");
  EXPECT_EQ(log[kMaxQso].CallSign.trimmed(), "JA1A3");
  EXPECT_NE(importtext::limitReached(4).find("32767"), std::string::npos);
}

}  // namespace

// The 101-byte record of the log file: layout, text cuts and what a record
// written elsewhere may hold.
#include <gtest/gtest.h>

#include <stdlib.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <string>

#include "log/cp932.h"
#include "log/logfile.h"

namespace {

using namespace logfile;

QsoRecord sample() {
  QsoRecord r;
  r.QsoNo = 0x0102;
  r.Band = "7";
  r.Mode = "CW";
  r.Dupe = 1;
  r.QsoTime = ole::fromDateTime(2024, 4, 29, 21, 5, 30);
  r.CallSign = "JA1ABC";
  r.SentRst = "599";
  r.SentNo = "13M";
  r.RcvdRst = "579";
  r.RcvdNo = "25H";
  r.Points = -2;
  r.Mlt = "25";
  r.Remarks = "test";
  r.TestNo = 0x0304;
  return r;
}

std::string bytesOf(const QsoRecord& r) {
  std::string b(kRecordSize, '\0');
  encodeRecord(r, b.data());
  return b;
}

std::string encodedRemarks(std::string_view text) {
  QsoRecord r;
  r.Remarks = text;
  return bytesOf(r).substr(kOffRemarks, 20);
}

QsoRecord withRemarkBytes(std::string_view raw) {
  std::string b = bytesOf(QsoRecord{});
  std::memcpy(b.data() + kOffRemarks, raw.data(), raw.size());
  return decodeRecord(b.data());
}

// Full-width digits one to twelve: two CP932 bytes each.
const std::string kTwelveWide = "１２３４５６７８９０１２";
const std::string kTenWide = "１２３４５６７８９０";

TEST(LogFileRecord, FieldsSitAtTheirOffsetsLittleEndian) {
  const std::string b = bytesOf(sample());
  ASSERT_EQ(b.size(), 101u);
  EXPECT_EQ(b.substr(0, 2), std::string("\x02\x01", 2));
  EXPECT_EQ(b.substr(2, 5), "7    ");
  EXPECT_EQ(b.substr(7, 6), "CW    ");
  EXPECT_EQ(b.substr(13, 2), std::string("\x01\x00", 2));
  double t;
  std::uint64_t bits = 0;
  for (int k = 0; k < 8; ++k) bits |= std::uint64_t(static_cast<unsigned char>(b[15 + k])) << (8 * k);
  std::memcpy(&t, &bits, 8);
  EXPECT_EQ(t, sample().QsoTime);
  EXPECT_EQ(b.substr(23, 13), "JA1ABC       ");  // six letters, seven blanks
  EXPECT_EQ(b.substr(36, 4), "599 ");
  EXPECT_EQ(b.substr(40, 10), "13M       ");
  EXPECT_EQ(b.substr(50, 4), "579 ");
  EXPECT_EQ(b.substr(54, 10), "25H       ");
  EXPECT_EQ(b.substr(64, 2), std::string("\xFE\xFF", 2));
  EXPECT_EQ(b.substr(66, 7), "25     ");
  EXPECT_EQ(b.substr(73, 6), "      ");
  EXPECT_EQ(b.substr(79, 20), "test                ");
  EXPECT_EQ(b.substr(99, 2), std::string("\x04\x03", 2));
}

TEST(LogFileRecord, RoundTripKeepsEveryFieldAndEveryBit) {
  QsoRecord r = sample();
  r.QsoNo = -32768;
  r.Dupe = 32767;
  r.Points = -1;
  r.QsoTime = -1.25;  // 1899-12-29 06:00 is a valid date
  r.Band = "10.1G";
  r.Mode = "ＲＴＴＹ";
  r.CallSign = "JA1ZZZ/1";
  const std::string b = bytesOf(r);
  const QsoRecord back = decodeRecord(b.data());
  EXPECT_EQ(back.QsoNo, -32768);
  EXPECT_EQ(back.Dupe, 32767);
  EXPECT_EQ(back.Points, -1);
  EXPECT_EQ(back.QsoTime, -1.25);
  EXPECT_EQ(back.Band, r.Band);
  EXPECT_EQ(back.Mode.trimmed(), "ＲＴＴ");  // six bytes hold three full-width letters
  EXPECT_EQ(back.CallSign, r.CallSign);
  EXPECT_EQ(back.TestNo, r.TestNo);
  EXPECT_EQ(bytesOf(back), b);
}

TEST(LogFileRecord, JapaneseTextIsCutToTheFieldsByteWidth) {
  // Twelve full-width characters are 24 bytes: the first ten come back.
  const std::string stored = encodedRemarks(kTwelveWide);
  EXPECT_EQ(stored, encodedRemarks(kTenWide));
  EXPECT_EQ(withRemarkBytes(stored).Remarks.trimmed(), kTenWide);

  // One ASCII letter first: the tenth full-width character would be split,
  // so it is left out whole and a blank takes its first byte.
  const std::string shifted = encodedRemarks("A" + kTwelveWide);
  EXPECT_EQ(shifted.back(), ' ');
  EXPECT_EQ(withRemarkBytes(shifted).Remarks.trimmed(), "A１２３４５６７８９");

  // Half-width katakana are single bytes.
  const std::string kana = encodedRemarks("ｺｰﾙｻｲﾝ");
  EXPECT_EQ(kana.substr(0, 6), "\xBA\xB0\xD9\xBB\xB2\xDD");
  EXPECT_EQ(withRemarkBytes(kana).Remarks.trimmed(), "ｺｰﾙｻｲﾝ");
}

TEST(LogFileRecord, ForeignBytesNeverShowAsGarbage) {
  // A lead byte cut off at the end of the field.
  std::string raw = "ABC                 ";
  raw[19] = '\x82';
  EXPECT_EQ(withRemarkBytes(raw).Remarks.trimmed(), "ABC");
  // Undefined bytes and a lead byte with a bad trail byte are dropped.
  EXPECT_EQ(withRemarkBytes("A\xFD" "B\x82\x20" "C\xA0").Remarks.trimmed(), "AB C");
  // Control bytes (NUL padding, a tab that would split a grid row) read as blanks.
  EXPECT_EQ(withRemarkBytes(std::string("X\0\0\tY\x7F", 6)).Remarks.view(),
            "X   Y               ");
  // A valid double-byte character among them survives.
  EXPECT_EQ(withRemarkBytes("\x82\xA0\x01").Remarks.trimmed(), "あ");
}

TEST(LogFileRecord, DatesThatAreNoDatesReadAsZero) {
  for (const double bad : {std::numeric_limits<double>::quiet_NaN(),
                           std::numeric_limits<double>::infinity(),
                           -std::numeric_limits<double>::infinity(), 1e300, -1e7, 2958466.0}) {
    QsoRecord r = sample();
    r.QsoTime = bad;
    const std::string b = bytesOf(r);
    const QsoRecord back = decodeRecord(b.data());
    EXPECT_EQ(back.QsoTime, 0.0) << bad;
    EXPECT_EQ(ole::formatMinutes(back.QsoTime), "1899-12-30 00:00");
  }
}

TEST(LogFileLog, RecordOneCarriesTheContestNumberOthersTheirOwn) {
  LogData log;
  for (int i = 0; i < 3; ++i) log.append(sample());
  log[1].TestNo = 0;
  log[2].TestNo = 0;
  log[3].TestNo = 0;
  const std::string b = encodeLog(log, 7, noProgress());
  ASSERT_EQ(b.size(), 303u);
  EXPECT_EQ(b.substr(99, 2), std::string("\x07\x00", 2));
  EXPECT_EQ(b.substr(101 + 99, 2), std::string("\x00\x00", 2));
  EXPECT_EQ(b.substr(202 + 99, 2), std::string("\x00\x00", 2));
  EXPECT_EQ(b.substr(101, 2), std::string("\x02\x00", 2));  // QsoNo of record 2
  EXPECT_EQ(log[1].TestNo, 0);  // the log itself is not touched
  EXPECT_EQ(encodeLog(LogData{}, 7, noProgress()), "");
}

TEST(LogFileLog, OnlyWholeRecordsAreDecoded) {
  EXPECT_EQ(wholeRecords(0), 0u);
  EXPECT_EQ(wholeRecords(100), 0u);
  EXPECT_EQ(wholeRecords(202), 2u);
  EXPECT_EQ(wholeRecords(202 + 60), 2u);  // a truncated last record is left out
  EXPECT_EQ(kMaxFileBytes / kRecordSize, static_cast<std::size_t>(kMaxQso));
  EXPECT_EQ((kMaxFileBytes + 1) / kRecordSize, static_cast<std::size_t>(kMaxQso) + 1);

  LogData src;
  for (int i = 0; i < 2; ++i) src.append(sample());
  std::string bytes = encodeLog(src, 3, noProgress()) + std::string(60, 'x');
  LogData out;
  out.resize(5);
  out[1].CallSign = "KEEP";
  decodeInto(bytes, out, 4, noProgress());
  EXPECT_EQ(out[1].CallSign.trimmed(), "KEEP");
  EXPECT_EQ(out[4].QsoNo, 1);
  EXPECT_EQ(out[5].QsoNo, 2);
  EXPECT_EQ(out[4].TestNo, 3);
}

TEST(LogFileSaveName, ExtensionRuleLooksOnlyAtTheFileName) {
  EXPECT_EQ(SaveName("abc.def.txt"), "abc.tmk");
  EXPECT_EQ(SaveName("/home/op/Log/abc.def.txt"), "/home/op/Log/abc.tmk");
  EXPECT_EQ(SaveName("/home/op/Log/log"), "/home/op/Log/log.tmk");
  EXPECT_EQ(SaveName("/home/op/a.b/c"), "/home/op/a.b/c.tmk");
  EXPECT_EQ(SaveName("a.b/c.d"), "a.b/c.tmk");
  EXPECT_EQ(SaveName("/x/contest.tmk"), "/x/contest.tmk");
  EXPECT_EQ(SaveName("ログ２０２４"), "ログ２０２４.tmk");
}

}  // namespace

namespace {

// Every prefix of a saved log (a torn last record included) is still a log.
void expectEveryCutIsALog(const std::string& saved) {
  for (std::size_t n = 0; n <= saved.size(); ++n)
    ASSERT_TRUE(isLogBytes(std::string_view(saved).substr(0, n))) << "cut at " << n;
}

}  // namespace

TEST(LogFileBytes, AnythingTheProgramSavesReopens) {
  LogData log;
  log.append(sample());
  log.append(QsoRecord{});  // time 0, every field empty
  QsoRecord odd = sample();
  odd.QsoNo = 9000;          // a gap in the numbers
  odd.QsoTime = std::numeric_limits<double>::quiet_NaN();
  odd.Remarks = "a\tb\r\nc\x7F";  // control characters in memory
  odd.CallSign = "ｺｰﾙ東京";
  odd.Dupe = -1;
  log.append(odd);
  QsoRecord wide = sample();
  wide.QsoTime = ole::fromDateTime(9999, 12, 31, 23, 59, 59);
  wide.Remarks = kTwelveWide;
  log.append(wide);
  for (std::int16_t testNo : {0, 7, -1}) expectEveryCutIsALog(encodeLog(log, testNo, noProgress()));
  // What is read back is saved again unchanged.
  const std::string saved = encodeLog(log, 7, noProgress());
  LogData back;
  back.resize(log.count());
  decodeInto(saved, back, 1, noProgress());
  EXPECT_EQ(encodeLog(back, 7, noProgress()), saved);
  EXPECT_EQ(back[3].QsoTime, 0.0);
}

TEST(LogFileBytes, TextOfAnotherFormatIsNoLog) {
  std::string cty;
  {
    std::ifstream in("/usr/share/hamradio-files/cty.dat", std::ios::binary);
    cty.assign(std::istreambuf_iterator<char>(in), {});
  }
  if (cty.empty())
    cty = "Afghanistan:              21:  40:  AS:   33.00:   -65.00:    -4.5:  YA:\r\n"
          "    T6,YA;\r\n"
          "Agalega & St. Brandon:    39:  53:  AF:  -10.45:   -56.67:    -4.0:  3B6:\r\n"
          "    3B6,3B7;\r\n";
  EXPECT_FALSE(isLogBytes(cty));
  EXPECT_FALSE(isLogBytes("\"1\",\"2024/04/29 21:05:30\",\"JA1ABC\",\"599\",\"13M\",\"579\",\"25H\","
                          "\"25\",\"7\",\"CW\",\"1\",\"0\",\"\"\r\n"));
  EXPECT_FALSE(isLogBytes("START-OF-LOG: 3.0\r\nCALLSIGN: JA1ABC\r\n"
                          "QSO:  7000 CW 2024-04-29 2105 JA1ABC        599 13M    JA2XYZ        599 25H\r\n"
                          "END-OF-LOG:\r\n"));
  EXPECT_FALSE(isLogBytes("JarlCallSign=JA1ABC\r\nJarlName=Taro\r\nfrmLeft=1000\r\nfrmTop=1000\r\n"
                          "CfgFileName=/home/taro/Tamarack/Cfg/6D.cfg\r\n"));
  std::string junk(101 * 20, '\0');
  unsigned x = 12345;
  for (char& c : junk) c = static_cast<char>((x = x * 1103515245u + 12345u) >> 16);
  EXPECT_FALSE(isLogBytes(junk));
}

TEST(LogFileBytes, EveryByteOfEveryTextFieldIsJudgedAlone) {
  // Two whole records and a torn third; one byte changed at a time.
  const std::string saved = encodeLog([] {
    LogData log;
    log.append(sample());
    log.append(sample());
    log.append(sample());
    return log;
  }(), 7, noProgress()).substr(0, 2 * kRecordSize + 70);
  auto textByte = [](std::size_t k) {
    return (k >= kOffBand && k < kOffDupe) || (k >= kOffCallSign && k < kOffPoints) ||
           (k >= kOffMlt && k < kOffTestNo);
  };
  for (std::size_t at : {std::size_t{0}, kRecordSize, 2 * kRecordSize}) {
    for (std::size_t k = 0; k < kRecordSize && at + k < saved.size(); ++k) {
      if (!textByte(k)) continue;
      for (int b = 0; b < 256; ++b) {
        std::string bytes = saved;
        bytes[at + k] = static_cast<char>(b);
        const bool foreign = b != 0 && (b < 0x20 || b == 0x7F || b >= 0xFD);
        ASSERT_EQ(isLogBytes(bytes), !foreign) << "record at " << at << ", byte " << k << ", value " << b;
      }
    }
  }
}

TEST(LogFileRecord, TextFieldsDecodeAsTheCodecReadsThem) {
  // A field through the codec: control characters as blanks, cut and padded.
  auto viaCodec = [](const char* raw, std::size_t n) {
    std::string text = cp932::decode(std::string_view(raw, n));
    for (char& c : text)
      if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = ' ';
    return text;
  };
  const std::string japanese = cp932::encode("移動ｶﾀｶﾅ①");
  unsigned x = 99;
  auto next = [&x] { return (x = x * 1103515245u + 12345u) >> 16; };
  for (int round = 0; round < 4000; ++round) {
    std::string b = bytesOf(sample());
    for (std::size_t k = kOffBand; k < kOffTestNo; ++k) {
      if (k == kOffDupe) k = kOffCallSign;
      if (k == kOffPoints) k = kOffMlt;
      const unsigned r = next() % 16;
      b[k] = r < 10 ? static_cast<char>(0x20 + next() % 0x5F)
             : r < 14 ? japanese[next() % japanese.size()]
                      : static_cast<char>(next() % 0x100);
    }
    const QsoRecord got = decodeRecord(b.data());
    const char* p = b.data();
    EXPECT_EQ(got.Band, FixedText<5>(viaCodec(p + kOffBand, 5)));
    EXPECT_EQ(got.Mode, FixedText<6>(viaCodec(p + kOffMode, 6)));
    EXPECT_EQ(got.CallSign, FixedText<13>(viaCodec(p + kOffCallSign, 13)));
    EXPECT_EQ(got.SentRst, FixedText<4>(viaCodec(p + kOffSentRst, 4)));
    EXPECT_EQ(got.SentNo, FixedText<10>(viaCodec(p + kOffSentNo, 10)));
    EXPECT_EQ(got.RcvdRst, FixedText<4>(viaCodec(p + kOffRcvdRst, 4)));
    EXPECT_EQ(got.RcvdNo, FixedText<10>(viaCodec(p + kOffRcvdNo, 10)));
    EXPECT_EQ(got.Mlt, FixedText<7>(viaCodec(p + kOffMlt, 7)));
    EXPECT_EQ(got.Reserved, FixedText<6>(viaCodec(p + kOffReserved, 6)));
    ASSERT_EQ(got.Remarks, FixedText<20>(viaCodec(p + kOffRemarks, 20))) << round;
  }
}

namespace {

// The window shows the end of the last log from its file while the whole log
// is read: only whole records of a file that is a log, and their count.
TEST(LogFileTail, TheLastWholeRecordsAndHowManyTheFileHolds) {
  char tmpl[] = "/tmp/tamarack-tail-XXXXXX";
  ASSERT_NE(::mkdtemp(tmpl), nullptr);
  const std::string dir = tmpl;
  struct Case {
    int records;         // written, numbered from 1
    std::size_t torn;    // bytes of a record cut off after them
    int count;           // asked for
    int total;           // whole records the file holds
    int firstNo, shown;  // the first record returned, and how many
  };
  const Case cases[] = {
      {10, 0, 4, 10, 7, 4},  {3, 0, 160, 3, 1, 3}, {5, 60, 2, 5, 4, 2},
      {0, 0, 4, 0, 0, 0},    {0, 40, 4, 0, 0, 0},  {6, 0, 0, 0, 0, 0},
  };
  for (const Case& c : cases) {
    LogData log;
    for (int i = 1; i <= c.records; ++i) {
      QsoRecord r = sample();
      r.QsoNo = static_cast<std::int16_t>(i);
      log.append(r);
    }
    std::string bytes = encodeLog(log, 1, noProgress());
    if (c.torn > 0) bytes += bytesOf(sample()).substr(0, c.torn);
    const std::string path = dir + "/a.tmk";
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
    const LogTail t = readLogTail(path, c.count);
    SCOPED_TRACE(std::to_string(c.records) + " records, " + std::to_string(c.count) + " asked");
    EXPECT_EQ(t.total, c.total);
    ASSERT_EQ(t.records.size(), static_cast<std::size_t>(c.shown));
    for (int k = 0; k < c.shown; ++k) {
      EXPECT_EQ(t.records[static_cast<std::size_t>(k)].QsoNo, c.firstNo + k);
      EXPECT_EQ(t.records[static_cast<std::size_t>(k)].CallSign.trimmed(), "JA1ABC");
    }
  }
  // No file, a folder, another format's text: nothing to show.
  std::ofstream(dir + "/b.csv") << std::string(300, 'x') + "\r\n1,2,3\r\n";
  for (const std::string& p : {dir + "/none.tmk", dir, dir + "/b.csv"}) {
    const LogTail t = readLogTail(p, 4);
    EXPECT_EQ(t.total, 0) << p;
    EXPECT_TRUE(t.records.empty()) << p;
  }
  std::filesystem::remove_all(dir);
}

}  // namespace

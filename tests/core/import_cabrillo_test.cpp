// Cabrillo "QSO:" lines: fixed and set columns, bands and modes, the sample
// grid's colouring and the error path.
#include <gtest/gtest.h>

#include <string>

#include "log/settings.h"
#include "log/cabrillo.h"
#include "log/cp932.h"
#include "log/fileio.h"
#include "log/settingsfile.h"

namespace {

// The column layout most Cabrillo logs use.
CabColumns standard() {
  CabColumns c;
  c.CabSrstPos = 45;
  c.CabSRptPos = 49;
  c.CabHCallPos = 56;
  c.CabRrstPos = 70;
  c.CabRRptPos = 74;
  c.CabRptLen = 6;
  c.CabCallLen = 13;
  return c;
}

// A line with each text placed at its 1-based column.
std::string line(std::string_view freq, std::string_view mode = "CW",
                 std::string_view date = "2004-05-01", std::string_view time = "2134",
                 std::string_view his = "JA1ABC", std::string_view rcvd = "25H") {
  std::string s(80, ' ');
  auto put = [&](int col, std::string_view t) { s.replace(static_cast<std::size_t>(col - 1), t.size(), t); };
  put(1, "QSO:");
  put(11 - static_cast<int>(freq.size()), freq);
  put(12, mode);
  put(15, date);
  put(26, time);
  put(31, "JA1ZLO");
  put(45, "599");
  put(49, "13M");
  put(56, his);
  put(70, "599");
  put(74, rcvd);
  while (!s.empty() && s.back() == ' ') s.pop_back();
  return s;
}

TEST(CabrilloLine, StandardLayout) {
  QsoRecord r;
  ASSERT_TRUE(CabConvertLine(line("7012"), standard(), r));
  EXPECT_EQ(r.Band.trimmed(), "7");
  EXPECT_EQ(r.Mode.trimmed(), "CW");
  EXPECT_EQ(ole::formatSeconds(r.QsoTime), "2004-05-01 21:34:00");
  EXPECT_EQ(r.SentRst.trimmed(), "599");
  EXPECT_EQ(r.SentNo.trimmed(), "13M");
  EXPECT_EQ(r.CallSign.trimmed(), "JA1ABC");
  EXPECT_EQ(r.RcvdRst.trimmed(), "599");
  EXPECT_EQ(r.RcvdNo.trimmed(), "25H");
  EXPECT_EQ(r.Dupe + r.Points + r.TestNo, 0);
}

TEST(CabrilloLine, BandsByRangeAndDesignator) {
  struct Case { const char* f; const char* band; };
  for (const Case& c : {Case{"1800", "1.8"}, Case{"1999", "1.8"}, Case{"2000", "2000"},
                        Case{"3500", "3.5"}, Case{"7499", "7"}, Case{"7500", "7500"},
                        Case{"10100", "10"}, Case{"14000", "14"}, Case{"14499", "14"},
                        Case{"14999", "14999"}, Case{"18100", "18"}, Case{"21000", "21"},
                        Case{"24900", "24"}, Case{"28500", "28"}, Case{"29999", "28"},
                        Case{"50100", "50"}, Case{"144", "144"}, Case{"432", "430"},
                        Case{"1.2G", "1200"}, Case{"2.3G", "2400"}, Case{"5.7G", "5600"},
                        Case{"10G", "10.1G"}, Case{"", ""}}) {
    QsoRecord r;
    ASSERT_TRUE(CabConvertLine(line(c.f), standard(), r)) << c.f;
    EXPECT_EQ(r.Band.trimmed(), c.band) << c.f;
  }
}

TEST(CabrilloLine, Modes) {
  for (auto [code, mode] : {std::pair{"PH", "SSB"}, {"PK", "PSK31"}, {"RY", "RTTY"},
                            {"CW", "CW"}, {"FM", "FM"}, {"DG", "DG"}}) {
    QsoRecord r;
    ASSERT_TRUE(CabConvertLine(line("7012", code), standard(), r));
    EXPECT_EQ(r.Mode.trimmed(), mode);
  }
}

TEST(CabrilloLine, ShortLinesGiveEmptyFields) {
  QsoRecord r;
  std::string s = line("7012");
  ASSERT_TRUE(CabConvertLine(s.substr(0, 60), standard(), r));
  EXPECT_EQ(r.CallSign.trimmed(), "JA1AB");  // columns 56..60
  EXPECT_EQ(r.RcvdRst.trimmed(), "");
  EXPECT_EQ(r.RcvdNo.trimmed(), "");
  EXPECT_FALSE(CabConvertLine("QSO:", standard(), r));
  EXPECT_FALSE(CabConvertLine(line("7012", "CW", "2004-13-45"), standard(), r));
}

TEST(CabrilloFile, OnlyExactQsoLinesAndErrorPath) {
  const std::string text = "START-OF-LOG: 3.0\r\nqso:  7012 CW 2004-05-01 2134 X\r\n" +
                           line("7012") + "\r\nQSO  7012\r\n" + line("14012", "PH") +
                           "\r\nQSO: " + "\r\n" + line("21012") + "\r\nEND-OF-LOG:\r\n";
  LogData log;
  log.resize(1);
  const ImportResult res = CabConvert(text, standard(), log, noProgress());
  EXPECT_EQ(res.appended, 2);
  EXPECT_TRUE(res.failed);
  EXPECT_NE(res.error.find("6 行目"), std::string::npos) << res.error;
  ASSERT_EQ(log.count(), 3);
  EXPECT_EQ(log[2].QsoNo, 2);
  EXPECT_EQ(log[3].Band.trimmed(), "14");
  EXPECT_EQ(log[3].Mode.trimmed(), "SSB");
}

TEST(CabrilloFile, TabsAndShiftJisTakeOneColumnEach) {
  std::string s = line("7012");
  s[44 - 1] = '\t';  // a tab just before the sent RST
  const std::string bytes = cp932::encode(s + "\r\n");
  const std::string sample = CabSampleLine(bytes);
  EXPECT_EQ(sample.find('\t'), std::string::npos);
  EXPECT_EQ(CabShowField(sample, standard(), cabrillo::kSentRst), "599");
  EXPECT_EQ(CabSampleLine("no qso here\r\n"), "");
  // A full-width character counts as one column.
  std::string jp = line("7012", "CW", "2004-05-01", "2134", "JA1ABC", "東京");
  LogData log;
  EXPECT_EQ(CabConvert(cp932::encode(jp), standard(), log, noProgress()).appended, 1);
  EXPECT_EQ(log[1].RcvdNo.trimmed(), "東京");
}

TEST(CabrilloFile, AnUndecodableByteKeepsItsColumn) {
  // 0x80 and 0xFD are no CP932 character; 0x82 0x20 is a lead byte whose
  // trail is no trail (the blank after it stays a blank).
  for (const std::string bad : {"\x80", "\xFD", "\x82"}) {
    std::string s = line("7012", "CW", "2004-05-01", "2134", "JA1ABC", "25H");
    s[55 + 2] = bad[0];  // inside the call: "JA" bad "ABC"
    LogData log;
    ASSERT_EQ(CabConvert(s + "\r\n", standard(), log, noProgress()).appended, 1);
    EXPECT_EQ(log[1].CallSign.trimmed(), "JAABC") << int(static_cast<unsigned char>(bad[0]));
    EXPECT_EQ(log[1].RcvdRst.trimmed(), "599");
    EXPECT_EQ(log[1].RcvdNo.trimmed(), "25H");
    EXPECT_EQ(CabShowField(CabSampleLine(s), standard(), cabrillo::kRcvdRpt), "25H");
  }
}

TEST(CabrilloFile, StopsAtTheLimit) {
  LogData log;
  log.resize(kMaxQso - 1);
  const std::string text = line("7012") + "\n" + line("7013") + "\n";
  const ImportResult res = CabConvert(text, standard(), log, noProgress());
  EXPECT_TRUE(res.limited);
  EXPECT_EQ(res.appended, 1);
  EXPECT_EQ(log.count(), kMaxQso);
}

TEST(CabrilloFile, EveryLineReadsAsItsTextReads) {
  // Lines read in place and lines read through their decoded text agree,
  // whatever the columns: plain, short, with tabs, Japanese, odd frequencies.
  unsigned x = 3;
  auto next = [&x] { return (x = x * 1103515245u + 12345u) >> 16; };
  const char* freqs[] = {"7012", "  1.8", "432", "1.2G", "-7000", "+14.1", "10G", "", "50.", "2000"};
  const char* modes[] = {"CW", "PH", "RY", "PK", "DG", ""};
  std::string file;
  for (int i = 0; i < 600; ++i) {
    // the last line's time cannot be read
    const std::string hhmm = i == 599 ? "2399" : std::to_string(1000 + next() % 13 * 100 + next() % 60);
    std::string s = line(freqs[next() % 10], modes[next() % 6], "2004-05-01", hhmm,
                         "JA" + std::to_string(i), "25H");
    std::string bytes;
    switch (next() % 8) {
      case 0: s[31 + next() % (s.size() - 31)] = '\t'; break;
      case 1: s = s.substr(0, 60) + "東京ｶﾅ" + s.substr(60); break;
      case 2: s.resize(30 + next() % (s.size() - 30)); break;
      default: break;
    }
    if (s.size() < 4) s = "QSO:";
    bytes = cp932::encode(s);
    // now and then a byte that is no character, or a lead byte without its trail
    if (bytes.size() > 31 && next() % 6 == 0)
      bytes[31 + next() % (bytes.size() - 31)] = static_cast<char>(0x80 + next() % 0x80);
    file += bytes + (i % 2 ? "\r\n" : "\n");
  }
  CabColumns c = standard();
  for (int layout = 0; layout < 3; ++layout) {
    if (layout == 1) c = CabColumnsFrom(Settings{});
    if (layout == 2) c.CabHCallPos = 200;
    LogData log;
    const ImportResult res = CabConvert(file, c, log, noProgress());
    int i = 0, lineNo = 0;
    std::string error;
    fileio::forEachLine(file, [&](std::string_view raw) {
      ++lineNo;
      if (!error.empty() || !CabIsQso(raw)) return;
      QsoRecord r;
      if (!CabConvertLine(CabLineText(raw), c, r)) {
        error = std::to_string(lineNo) + " ";
        return;
      }
      ++i;
      ASSERT_LE(i, log.count());
      EXPECT_EQ(log[i].QsoTime, r.QsoTime) << lineNo;
      EXPECT_EQ(log[i].QsoNo, i);
      EXPECT_EQ(log[i].Band, r.Band) << lineNo;
      EXPECT_EQ(log[i].SentRst, r.SentRst) << lineNo;
      EXPECT_EQ(log[i].CallSign, r.CallSign) << lineNo;
      EXPECT_EQ(log[i].RcvdRst, r.RcvdRst) << lineNo;
      EXPECT_EQ(log[i].Mode, r.Mode) << lineNo;
      EXPECT_EQ(log[i].SentNo, r.SentNo) << lineNo;
      EXPECT_EQ(log[i].RcvdNo, r.RcvdNo) << lineNo;
    });
    EXPECT_EQ(res.appended, i) << layout;
    EXPECT_EQ(res.failed, !error.empty()) << layout;
    EXPECT_EQ(res.error.substr(0, error.size()), error) << layout;
  }
}

// A log as contest loggers write it (template line, header, info columns):
// read with the columns of a settings file that has none.
TEST(CabrilloFile, AStandardLogReadsWithTheDefaultColumns) {
  const std::string file =
      "START-OF-LOG: 3.0\r\n"
      "CONTEST: JARL-ALLJA\r\n"
      "CALLSIGN: JA1ZLO\r\n"
      "CATEGORY-OPERATOR: SINGLE-OP\r\n"
      "QSO:  7012 CW 2024-04-27 2101 JA1ZLO        599 13M    JA1ABC        599 10M    0\r\n"
      "QSO: 14025 CW 2024-04-27 2104 JA1ZLO        599 13M    JR2XYZ/2      599 20H    0\r\n"
      "QSO: 21300 PH 2024-04-28 0015 JA1ZLO         59 13M    JH8AAA         59 101L   0\r\n"
      "QSO:   432 FM 2024-04-28 0102 JA1ZLO         59 13M    7K1ABC         59 1301M  0\r\n"
      "END-OF-LOG:\r\n";
  LogData log;
  const ImportResult res = CabConvert(file, CabColumnsFrom(Settings{}), log, noProgress());
  ASSERT_FALSE(res.failed) << res.error;
  ASSERT_EQ(log.count(), 4);
  struct Want {
    const char *band, *mode, *time, *call, *srst, *sent, *rrst, *rcvd;
  } want[] = {{"7", "CW", "2024-04-27 21:01:00", "JA1ABC", "599", "13M", "599", "10M"},
              {"14", "CW", "2024-04-27 21:04:00", "JR2XYZ/2", "599", "13M", "599", "20H"},
              {"21", "SSB", "2024-04-28 00:15:00", "JH8AAA", "59", "13M", "59", "101L"},
              {"430", "FM", "2024-04-28 01:02:00", "7K1ABC", "59", "13M", "59", "1301M"}};
  for (int i = 1; i <= 4; ++i) {
    const QsoRecord& r = log[i];
    const Want& w = want[i - 1];
    EXPECT_EQ(r.Band.trimmed(), w.band) << i;
    EXPECT_EQ(r.Mode.trimmed(), w.mode) << i;
    EXPECT_EQ(ole::formatSeconds(r.QsoTime), w.time) << i;
    EXPECT_EQ(r.CallSign.trimmed(), w.call) << i;
    EXPECT_EQ(r.SentRst.trimmed(), w.srst) << i;
    EXPECT_EQ(r.SentNo.trimmed(), w.sent) << i;
    EXPECT_EQ(r.RcvdRst.trimmed(), w.rrst) << i;
    EXPECT_EQ(r.RcvdNo.trimmed(), w.rcvd) << i;
  }
}

TEST(CabrilloColumns, DefaultsAndRanges) {
  Settings s;
  CabColumns c = CabColumnsFrom(s);
  // nothing stored: the standard QSO line
  Settings std;
  CabColumnsStore(standard(), std);
  CabColumnsStore(c, s);
  EXPECT_EQ(IniFormat(s), IniFormat(std));
  s = Settings{};
  // a stored value counts field by field
  s.CabSRptPos = 50;
  s.CabRptLen = 4;
  c = CabColumnsFrom(s);
  EXPECT_EQ(c.CabSrstPos, 45);
  EXPECT_EQ(c.CabSRptPos, 50);
  EXPECT_EQ(c.CabRptLen, 4);
  EXPECT_EQ(c.CabCallLen, 13);
  s = Settings{};
  s.CabSrstPos = -4;
  s.CabCallLen = 99;
  s.CabRptLen = 1;
  s.CabHCallPos = 56;
  c = CabColumnsFrom(s);
  EXPECT_EQ(c.CabSrstPos, 45);
  EXPECT_EQ(c.CabCallLen, 21);
  EXPECT_EQ(c.CabRptLen, 2);
  EXPECT_EQ(c.CabHCallPos, 56);
  Settings back;
  CabColumnsStore(c, back);
  EXPECT_EQ(back.CabHCallPos, 56);
  EXPECT_EQ(back.CabCallLen, 21);
}

TEST(CabrilloColumns, MarkingKeepsTheFirstColour) {
  std::vector<int> owner(20, -1);
  CabMarkColumns(owner, 4, 3, 3);  // columns 2..4
  CabMarkColumns(owner, 5, 4, 4);  // columns 3..6, overlapping 3..4
  EXPECT_EQ(owner[1], -1);
  EXPECT_EQ(owner[2], 4);
  EXPECT_EQ(owner[4], 4);
  EXPECT_EQ(owner[5], 5);
  EXPECT_EQ(owner[6], 5);
  EXPECT_EQ(owner[7], -1);
  // Moving field 5 gives its old columns back and leaves field 4 alone.
  CabMarkColumns(owner, 5, 10, 4);
  EXPECT_EQ(owner[5], -1);
  EXPECT_EQ(owner[4], 4);
  EXPECT_EQ(owner[9], 5);
  EXPECT_EQ(owner[12], 5);
  EXPECT_EQ(owner[13], -1);
  // A span past the end colours what exists.
  CabMarkColumns(owner, 8, 19, 5);
  EXPECT_EQ(owner[18], 8);
}

}  // namespace

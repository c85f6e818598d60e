// Band, mode and report rules of the entry windows, and the window-free
// rules of the real-time input window.
#include <gtest/gtest.h>

#include "log/settings.h"
#include "contest/contestdef.h"
#include "entry/bandmode.h"
#include "entry/realtime.h"

using namespace entry;

namespace {
std::vector<std::string> strs(const std::vector<std::string_view>& v) {
  return {v.begin(), v.end()};
}
}  // namespace

TEST(EntryLists, OnlyFlagsOfExactlyOneAreOffered) {
  ContestDefinition c;
  EXPECT_TRUE(EnabledBands(c).empty());
  EXPECT_TRUE(EnabledModes(c).empty());
  c.BandEnabled[0] = 1;
  c.BandEnabled[2] = 2;   // not offered
  c.BandEnabled[11] = -1; // not offered
  c.BandEnabled[15] = 1;
  c.ModeEnabled[3] = 1;
  c.ModeEnabled[0] = 1;
  c.ModeEnabled[9] = 3;
  EXPECT_EQ(strs(EnabledBands(c)), (std::vector<std::string>{"1.8", "10.1G"}));
  EXPECT_EQ(strs(EnabledModes(c)), (std::vector<std::string>{"SSB", "CW"}));
  c.BandEnabled.fill(1);
  c.ModeEnabled.fill(1);
  EXPECT_EQ(EnabledBands(c).size(), 16u);
  EXPECT_EQ(strs(EnabledModes(c)), (std::vector<std::string>{"SSB", "FM", "AM", "CW", "RTTY",
                                                              "PSK31", "WSJT", "SSTV", "DV", "DD"}));
}

TEST(EntryReports, EntryWindowsAndMultiEditDiffer) {
  for (const char* m : {"SSB", "FM", "AM", "DV", "DD"}) {
    EXPECT_EQ(ModeReport(m, ReportRule::Entry), "59") << m;
    EXPECT_EQ(ModeReport(m, ReportRule::MultiEdit), "59") << m;
  }
  EXPECT_EQ(ModeReport("SSTV", ReportRule::Entry), "595");
  EXPECT_EQ(ModeReport("SSTV", ReportRule::MultiEdit), "595");
  EXPECT_EQ(ModeReport("CW", ReportRule::MultiEdit), "599");
  for (const char* m : {"CW", "RTTY", "PSK31", "WSJT", "", "ssb", " SSB", "XYZ"})
    EXPECT_EQ(ModeReport(m, ReportRule::Entry), "599") << m;
  for (const char* m : {"RTTY", "PSK31", "WSJT", "", "ssb"})
    EXPECT_FALSE(ModeReport(m, ReportRule::MultiEdit).has_value()) << m;
}

TEST(EntryExchange, BaseByExchAndPowerLetterByBand) {
  ExchangeSource s;
  s.JarlPrf = "13";
  s.JarlJcc = "1001";
  s.JarlAge = "45";
  s.JarlTestName = "TARO";
  for (int i = 0; i < 16; ++i) s.JarlPwCode[static_cast<std::size_t>(i)] = std::string(1, char('A' + i));

  s.Exch = 1;
  EXPECT_EQ(SentExchange("7", s), "13");
  s.SentJarlCode = 1;
  EXPECT_EQ(SentExchange("7", s), "13C");
  EXPECT_EQ(SentExchange("1.8", s), "13A");
  s.Exch = 3;
  EXPECT_EQ(SentExchange("1200", s), "13M");
  EXPECT_EQ(SentExchange("2400", s), "1001N");
  EXPECT_EQ(SentExchange("10.1G", s), "1001P");
  // a band the table lacks takes the 10.1G slot, and with Exch 3 the JCC
  EXPECT_EQ(SentExchange("430K", s), "1001P");
  EXPECT_EQ(SentExchange("", s), "1001P");
  EXPECT_EQ(SentExchange(" 7", s), "1001P");  // exact comparison, untrimmed
  s.SentJarlCode = 0;
  s.Exch = 2;
  EXPECT_EQ(SentExchange("7", s), "1001");
  s.Exch = 4;
  EXPECT_EQ(SentExchange("7", s), "TARO");
  s.Exch = 5;
  EXPECT_EQ(SentExchange("7", s), "45");
  s.Exch = 0;
  EXPECT_EQ(SentExchange("7", s), "");
  s.Exch = 6;
  s.SentJarlCode = 1;
  EXPECT_EQ(SentExchange("50", s), "J");
  // an unset power table adds nothing
  s.JarlPwCode = {};
  s.Exch = 1;
  EXPECT_EQ(SentExchange("50", s), "13");
}

TEST(EntryExchange, TakenFromTheContestAndTheSettings) {
  ContestDefinition c;
  Settings ini;
  c.Exch = 1;
  c.SentJarlCode = 1;
  ini.JarlPrf = "10";
  ini.JarlPwCode[9] = "M";
  EXPECT_EQ(SentExchange("50", c, ini), "10M");
}

TEST(EntryCategory, PresetsOnlyKnownCodes) {
  const CatePreset a = CateSet(1, 3);
  EXPECT_EQ(a.mode, "SSB");
  EXPECT_EQ(a.band, "7");
  EXPECT_EQ(CateSet(2, 13).mode, "CW");
  EXPECT_EQ(CateSet(2, 13).band, "10.1G");
  EXPECT_EQ(CateSet(5, 4).mode, "PSK31");
  EXPECT_EQ(CateSet(5, 4).band, "14");
  EXPECT_EQ(CateSet(6, 0).mode, "WSJT");
  EXPECT_EQ(CateSet(7, 0).mode, "DV");
  for (int m : {0, 3, 4, 8, 99, -1}) EXPECT_FALSE(CateSet(m, 1).mode.has_value()) << m;
  for (int b : {0, 14, -1, 300}) EXPECT_FALSE(CateSet(1, b).band.has_value()) << b;
}

TEST(EntryKeys, BandAndModeBoxes) {
  EXPECT_EQ(FilterChar(KeyFilter::Band, U'g'), U'G');
  EXPECT_EQ(FilterChar(KeyFilter::Band, U'k'), U'K');
  EXPECT_EQ(FilterChar(KeyFilter::Band, U'.'), U'.');
  EXPECT_EQ(FilterChar(KeyFilter::Band, kBackspace), kBackspace);
  EXPECT_EQ(FilterChar(KeyFilter::Band, U'7'), U'7');
  for (char32_t c : {U'M', U'z', U' ', U'/', kEnter, U'あ'})
    EXPECT_EQ(FilterChar(KeyFilter::Band, c), 0u);
  EXPECT_EQ(FilterChar(KeyFilter::Mode, U'c'), U'C');
  EXPECT_EQ(FilterChar(KeyFilter::Mode, U' '), U' ');
  EXPECT_EQ(FilterChar(KeyFilter::Mode, kEnter), 0u);
  EXPECT_EQ(FilterChar(KeyFilter::Mode, 7), 0u);
}

TEST(EntryKeys, BoxesOfTheWindows) {
  // call sign: upper case, "/", "?", digits, letters and double-byte characters
  EXPECT_EQ(FilterText(KeyFilter::CallSign, "ja1/zz?-9 x"), "JA1/ZZ?9X");
  EXPECT_EQ(FilterChar(KeyFilter::CallSign, U'ア'), U'ア');
  EXPECT_EQ(FilterChar(KeyFilter::CallSign, U'Ａ'), U'Ａ');
  EXPECT_EQ(FilterChar(KeyFilter::CallSign, U'ｱ'), 0u);   // half-width kana: one byte
  EXPECT_EQ(FilterChar(KeyFilter::CallSign, U'é'), 0u);   // no CP932 form
  EXPECT_EQ(FilterChar(KeyFilter::CallSign, kBackspace), kBackspace);
  EXPECT_EQ(FilterChar(KeyFilter::CallSign, kEnter), 0u);
  // exchanges: upper case, only Space, Esc and Enter dropped
  EXPECT_EQ(FilterText(KeyFilter::Exchange, "13m h-1"), "13MH-1");
  EXPECT_EQ(FilterChar(KeyFilter::Exchange, kEsc), 0u);
  EXPECT_EQ(FilterChar(KeyFilter::Exchange, kEnter), 0u);
  // reports: digits, "." and Backspace
  EXPECT_EQ(FilterText(KeyFilter::Report, "5a9.9 "), "59.9");
  EXPECT_EQ(FilterChar(KeyFilter::Report, kBackspace), kBackspace);
  // time box
  EXPECT_EQ(FilterText(KeyFilter::TimeBox, "12:3a4./"), "1234./");
  EXPECT_EQ(FilterChar(KeyFilter::TimeBox, kTab), kTab);
  EXPECT_EQ(FilterChar(KeyFilter::TimeBox, U'１'), U'１');
  // dialog boxes
  EXPECT_EQ(FilterText(KeyFilter::UpperNoBlank, "ja 1a-b"), "JA1A-B");
  EXPECT_EQ(FilterText(KeyFilter::Upper, "13m h"), "13M H");
  EXPECT_EQ(FilterText(KeyFilter::Free, "Happy New Year"), "Happy New Year");
}

TEST(EntryRegister, SevenMessagesAndTheDigitalParty) {
  EXPECT_EQ(RegisterCheck(false, false, false, false), text::kNeedAll);
  EXPECT_EQ(RegisterCheck(true, false, false, false), text::kNeedModeRcvd);
  EXPECT_EQ(RegisterCheck(false, true, false, false), text::kNeedModeCall);
  EXPECT_EQ(RegisterCheck(false, false, true, false), text::kNeedCallRcvd);
  EXPECT_EQ(RegisterCheck(true, true, false, false), text::kNeedMode);
  EXPECT_EQ(RegisterCheck(true, false, true, false), text::kNeedRcvd);
  EXPECT_EQ(RegisterCheck(false, true, true, false), text::kNeedCall);
  EXPECT_TRUE(RegisterCheck(true, true, true, false).empty());
  EXPECT_TRUE(RegisterCheck(false, false, true, true).empty());
  EXPECT_EQ(RegisterCheck(true, true, false, true), text::kNeedMode);
}

TEST(EntryRegister, AppendsRecordAndRowAndStopsAtTheLimit) {
  LogDocument doc;
  GridRows grid;
  FrmLogLoad(grid, doc.Log, 0);
  ASSERT_EQ(grid.rows(), 2);
  QsoEntry e;
  e.time = ole::fromDateTime(2026, 4, 25, 21, 3, 7);
  e.band = "7";
  e.mode = "CW";
  e.call = "JA1ABCDEFGHIJKLM";  // 16 characters: cut to 13
  e.sentRst = "599";
  e.sentNo = "13M";
  e.rcvdRst = "599";
  e.rcvdNo = "10H";
  doc.CurQso.TestNo = 0;
  doc.CurQso.Remarks = "old";
  ASSERT_TRUE(AppendQso(doc, grid, e));
  EXPECT_EQ(doc.Log.count(), 1);
  EXPECT_EQ(doc.State.LogDirty, 1);
  EXPECT_EQ(grid.rows(), 2);  // the empty row gave way
  EXPECT_EQ(grid.rowText(1), "0001\t2026-04-25 21:03\tJA1ABCDEFGHIJ\t599\t13M\t599\t10H\t\t7\tCW\t\t\t");
  const QsoRecord& r = doc.Log[1];
  EXPECT_EQ(r.QsoNo, 1);
  EXPECT_EQ(r.Remarks.trimmed(), "");
  EXPECT_EQ(r.Mlt.trimmed(), "");
  EXPECT_EQ(r.TestNo, 0);
  EXPECT_DOUBLE_EQ(r.QsoTime, e.time);

  doc.State.ShowSeconds = 1;
  e.call = "JA2XYZ";
  ASSERT_TRUE(AppendQso(doc, grid, e));
  EXPECT_EQ(grid.rows(), 3);
  EXPECT_EQ(grid.cell(2, 0), "0002");
  EXPECT_EQ(grid.cell(2, 1), "2026-04-25 21:03:07");
  EXPECT_EQ(grid.cell(1, 2), "JA1ABCDEFGHIJ");  // the first row stays

  // an empty band is stored as given (validation does not look at it)
  e.band = "";
  ASSERT_TRUE(AppendQso(doc, grid, e));
  EXPECT_EQ(doc.Log[3].Band.trimmed(), "");

  // at the limit nothing is stored and no record is overwritten
  doc.Log.resize(kMaxQso - 1);
  doc.Log[kMaxQso - 1].CallSign = "LAST";
  ASSERT_TRUE(AppendQso(doc, grid, e));
  EXPECT_EQ(doc.Log.count(), kMaxQso);
  EXPECT_EQ(doc.Log[kMaxQso].QsoNo, kMaxQso);
  const int rows = grid.rows();
  EXPECT_FALSE(AppendQso(doc, grid, e));
  EXPECT_EQ(doc.Log.count(), kMaxQso);
  EXPECT_EQ(grid.rows(), rows);
  EXPECT_EQ(doc.Log[kMaxQso - 1].CallSign.trimmed(), "LAST");
}

TEST(EntryRegister, NumbersAndScroll) {
  QsoRecord r;
  r.QsoNo = 1000;
  EXPECT_EQ(EntryRowText(r, 0).substr(0, 5), "1000\t");
  r.QsoNo = 7;
  EXPECT_EQ(EntryRowText(r, 0).substr(0, 5), "0007\t");
  EXPECT_EQ(ScrollRowAfterAppend(10, 20), 0);
  EXPECT_EQ(ScrollRowAfterAppend(20, 20), 1);
  EXPECT_EQ(ScrollRowAfterAppend(100, 20), 81);
}

TEST(EntryTime, TypedTimes) {
  EXPECT_EQ(ManualTimeText("2359"), "23:59");
  EXPECT_EQ(ManualTimeText(" 0005 "), "00:05");
  EXPECT_EQ(ManualTimeText("１２３４"), "12:34");
  EXPECT_FALSE(ManualTimeText("2400"));
  EXPECT_FALSE(ManualTimeText("2360"));
  EXPECT_FALSE(ManualTimeText("235"));
  EXPECT_FALSE(ManualTimeText("23590"));
  EXPECT_FALSE(ManualTimeText(""));
  // passes the numeric test, fails the conversion
  ASSERT_EQ(ManualTimeText("1260"), "12:60");
  const ole::Date day = ole::fromDateTime(2026, 5, 3, 17, 44, 12);
  EXPECT_FALSE(JoinDayTime(day, "12:60"));
  ASSERT_EQ(ManualTimeText("1.55"), "1.:55");
  EXPECT_FALSE(JoinDayTime(day, "1.:55"));
  EXPECT_EQ(ole::formatSeconds(*JoinDayTime(day, "23:59")), "2026-05-03 23:59:00");
  EXPECT_EQ(ole::formatSeconds(*JoinDayTime(day, "00:00")), "2026-05-03 00:00:00");
}

TEST(EntryCommands, Words) {
  EXPECT_EQ(CommandWord("KVRTUZA"), EntryCommand::Cabrillo);
  EXPECT_EQ(CommandWord("WMQEXHIB"), EntryCommand::Zlog);
  EXPECT_EQ(CommandWord("PYRDA"), EntryCommand::SecondsOn);
  EXPECT_EQ(CommandWord("PYRDUX"), EntryCommand::SecondsOff);
  EXPECT_EQ(CommandWord("GLORVA"), EntryCommand::ManualOn);
  EXPECT_EQ(CommandWord("GLORVUX"), EntryCommand::ManualOff);
  EXPECT_EQ(CommandWord("pyrda"), EntryCommand::None);  // the box upper-cases as typed
  EXPECT_EQ(CommandWord("JA1PYRDA"), EntryCommand::None);
}

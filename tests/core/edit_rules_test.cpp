// Delete, time shift, edit, insert and multi-edit rules of the log dialogs.
#include <gtest/gtest.h>

#include "entry/edit.h"
#include "entry/realtime.h"
#include "log/grid.h"

using namespace entry;

namespace {
ole::Date at(int y, int m, int d, int hh, int nn, int ss = 0) {
  return ole::fromDateTime(y, m, d, hh, nn, ss);
}

// n QSOs a minute apart from 2015-04-02 05:00:30, numbered 1..n.
LogData logOf(int n) {
  LogData log;
  for (int i = 0; i < n; ++i) {
    QsoRecord r;
    r.CallSign = "JA1AA" + std::to_string(i + 1);
    r.QsoTime = ole::addSeconds(at(2015, 4, 2, 5, 0, 30), i * 60);
    r.Band = "7";
    r.Mode = "CW";
    r.SentRst = "599";
    r.SentNo = "13M";
    r.RcvdRst = "599";
    r.RcvdNo = "10H";
    log.append(r);
  }
  return log;
}

std::string call(const LogData& log, int i) { return std::string(log[i].CallSign.trimmed()); }
}  // namespace

TEST(QsoDelete, LaterRecordsMoveUpAndKeepTheirNumbers) {
  LogData log = logOf(10);
  ASSERT_TRUE(QsoDelete(log, 5));
  EXPECT_EQ(log.count(), 9);
  EXPECT_EQ(log.slotCount(), 10u);
  EXPECT_EQ(call(log, 4), "JA1AA4");
  EXPECT_EQ(call(log, 5), "JA1AA6");
  EXPECT_EQ(log[5].QsoNo, 6);
  EXPECT_EQ(log[9].QsoNo, 10);
  // the grid built from it shows the gap
  GridRows grid;
  FrmLogLoad(grid, log, 0);
  EXPECT_EQ(grid.cell(4, 0), "0004");
  EXPECT_EQ(grid.cell(5, 0), "0006");
}

TEST(QsoDelete, OnlyQsoLeavesEmptyLogAndNoPositionIsRefused) {
  LogData log = logOf(1);
  EXPECT_FALSE(QsoDelete(log, 0));
  EXPECT_FALSE(QsoDelete(log, 2));
  EXPECT_EQ(log.count(), 1);
  EXPECT_TRUE(QsoDelete(log, 1));
  EXPECT_TRUE(log.empty());
  EXPECT_FALSE(QsoDelete(log, 1));
}

TEST(TimeEdit, ShiftsEveryQsoAcrossMidnightKeepingSeconds) {
  LogData log = logOf(3);
  ASSERT_TRUE(TimeEdit(log, -9));
  EXPECT_EQ(ole::formatSeconds(log[1].QsoTime), "2015-04-01 20:00:30");
  EXPECT_EQ(ole::formatSeconds(log[3].QsoTime), "2015-04-01 20:02:30");
  ASSERT_TRUE(TimeEdit(log, 24));
  EXPECT_EQ(ole::formatSeconds(log[1].QsoTime), "2015-04-02 20:00:30");
}

TEST(TimeEdit, ZeroHoursAndEdgesOfTheCalendar) {
  LogData log = logOf(2);
  const ole::Date before = log[1].QsoTime;
  EXPECT_FALSE(TimeEdit(log, 0));
  EXPECT_EQ(log[1].QsoTime, before);
  LogData empty;
  EXPECT_FALSE(TimeEdit(empty, 5));
  // a QSO at the calendar's last hour keeps its time; the others move
  log[2].QsoTime = at(9999, 12, 31, 23, 30);
  EXPECT_TRUE(TimeEdit(log, 1));
  EXPECT_EQ(ole::formatMinutes(log[2].QsoTime), "9999-12-31 23:30");
  EXPECT_EQ(ole::formatSeconds(log[1].QsoTime), "2015-04-02 06:00:30");
}

TEST(StepTime, CalendarStepsCutToTheMinute) {
  const ole::Date t = at(2016, 1, 31, 23, 59, 45);
  EXPECT_EQ(ole::formatSeconds(StepTime(t, TimeField::Minute, 1)), "2016-02-01 00:00:00");
  EXPECT_EQ(ole::formatSeconds(StepTime(t, TimeField::Month, 1)), "2016-02-29 23:59:00");
  EXPECT_EQ(ole::formatSeconds(StepTime(t, TimeField::Day, -31)), "2015-12-31 23:59:00");
  EXPECT_EQ(ole::formatSeconds(StepTime(t, TimeField::Hour, 1)), "2016-02-01 00:59:00");
  EXPECT_EQ(ole::formatSeconds(StepTime(at(2016, 2, 29, 1, 2), TimeField::Year, 1)),
            "2017-02-28 01:02:00");
  // leaving the calendar changes nothing
  const ole::Date last = at(9999, 12, 31, 10, 0, 5);
  EXPECT_EQ(StepTime(last, TimeField::Year, 1), last);
  EXPECT_EQ(StepTime(last, TimeField::Day, 1), last);
}

TEST(TimeBox, WithAndWithoutColon) {
  auto text = [](std::string_view s) { return TimeBoxText(s).value_or("refused"); };
  auto join = [](std::string_view s) {
    auto hhnn = TimeBoxText(s);
    auto t = hhnn ? TimeOnShownDay("2015-04-02", *hhnn) : std::nullopt;
    return t ? ole::formatSeconds(*t) : std::string("refused");
  };
  EXPECT_EQ(text("1234"), "12:34");
  EXPECT_EQ(text("12:34"), "12:34");
  EXPECT_EQ(text(" 0005 "), "00:05");
  EXPECT_EQ(join("2359"), "2015-04-02 23:59:00");
  EXPECT_EQ(join("23:59"), "2015-04-02 23:59:00");
  EXPECT_EQ(text("2400"), "refused");
  EXPECT_EQ(join("1260"), "refused");  // passes the number test, not the time
  EXPECT_EQ(text("123"), "refused");
  EXPECT_EQ(text("12345"), "refused");
  EXPECT_EQ(join("12:3:4"), "refused");  // only the first colon goes
  EXPECT_EQ(text(""), "refused");
  EXPECT_FALSE(TimeOnShownDay("", "01:02"));
  const ole::Date t = ole::fromDateTime(2015, 4, 2, 23, 59, 41);
  EXPECT_EQ(DateLabelText(t), "2015-04-02");
  EXPECT_EQ(TimeLabelText(t), "23:59");
}

TEST(EditDataSet, RewritesOneRecordAndKeepsWhatTheDialogDoesNotShow) {
  LogData log = logOf(14);
  log[12].Remarks = "JA1ZZZ op";
  log[12].Mlt = "10";
  log[12].Points = 1;
  log[12].QsoNo = 15;  // a renumbered-later log: the number stays the loaded one
  QsoRecord cur;
  cur.Remarks = "someone else";
  EntryBoxes b = BoxesOf(log[12]);
  b.callSign = "JR2XYZ/1 plus a long tail";
  b.rcvdNo = "";
  const ole::Date t = at(2015, 4, 3, 1, 2);
  ASSERT_TRUE(EditDataSet(log, cur, 12, 15, t, b));
  EXPECT_EQ(log.count(), 14);
  EXPECT_EQ(log[12].CallSign.view(), "JR2XYZ/1 plus");
  EXPECT_EQ(log[12].RcvdNo.view(), std::string(10, ' '));
  EXPECT_EQ(log[12].QsoNo, 15);
  EXPECT_EQ(log[12].QsoTime, t);
  EXPECT_EQ(log[12].Remarks.trimmed(), "JA1ZZZ op");
  EXPECT_EQ(cur.Remarks.trimmed(), "JA1ZZZ op");
  EXPECT_EQ(call(log, 11), "JA1AA11");
  EXPECT_EQ(call(log, 13), "JA1AA13");
  EXPECT_FALSE(EditDataSet(log, cur, 0, 0, t, b));
  EXPECT_FALSE(EditDataSet(log, cur, 15, 15, t, b));
}

TEST(EditDataSet, ContestNumberStaysInItsRecord) {
  // Record 1 carries the log's contest number; the working record never does.
  LogData log = logOf(3);
  log[1].TestNo = 7;
  QsoRecord cur;
  ASSERT_TRUE(EditDataSet(log, cur, 1, 1, at(2015, 4, 2, 5, 0), BoxesOf(log[1])));
  EXPECT_EQ(log[1].TestNo, 7);
  EXPECT_EQ(cur.TestNo, 0);
  ASSERT_TRUE(EditDataSet(log, cur, 2, 2, at(2015, 4, 2, 5, 1), BoxesOf(log[2])));
  EXPECT_EQ(log[2].TestNo, 0);

  // A QSO typed afterwards, then a time sort, carry no contest number.
  LogDocument doc;
  doc.Log = log;
  doc.CurQso = cur;
  GridRows grid;
  FrmLogLoad(grid, doc.Log, 0);
  QsoEntry e;
  e.time = at(2015, 4, 2, 4, 0);
  e.call = "JA9XYZ";
  e.band = "7";
  e.mode = "CW";
  ASSERT_TRUE(AppendQso(doc, grid, e));
  EXPECT_EQ(doc.Log[4].TestNo, 0);
  TimeSortGrid(grid, doc.Log, doc.CurQso, noProgress());
  for (int i = 1; i <= doc.Log.count(); ++i) EXPECT_EQ(doc.Log[i].TestNo, 0) << i;
}

TEST(Insert, CompletenessRules) {
  EntryBoxes b{"7", "CW", "JA1ABC", "599", "13M", "599", "10H"};
  EXPECT_TRUE(InsertComplete(b, false, "", false));
  EXPECT_FALSE(InsertComplete(b, true, " ", false));
  EXPECT_TRUE(InsertComplete(b, true, "1234", false));
  for (std::string EntryBoxes::*field : {&EntryBoxes::callSign, &EntryBoxes::sentRst,
                                         &EntryBoxes::sentNo, &EntryBoxes::rcvdRst,
                                         &EntryBoxes::rcvdNo}) {
    EntryBoxes e = b;
    e.*field = "  ";
    EXPECT_FALSE(InsertComplete(e, false, "", false));
  }
  // the exchanges are not asked for in the digital QSO party
  EntryBoxes d = b;
  d.sentNo.clear();
  d.rcvdNo.clear();
  EXPECT_TRUE(InsertComplete(d, false, "", true));
  d.callSign.clear();
  EXPECT_FALSE(InsertComplete(d, false, "", true));
}

TEST(Insert, RowAtTwelveRenumbersTheRestAndKeepsSeconds) {
  LogData log = logOf(20);
  log[13].Remarks = "kept";
  GridRows grid;
  FrmLogLoad(grid, log, 0);
  EntryBoxes b{"7", "CW", " JA9NEW ", "599", "13M", "599", "05M"};
  const std::string row = InsertRowText(12, "2015-04-02", "05:11", b, "JH1OPR", 0);
  EXPECT_EQ(row, "0012\t2015-04-02 05:11\tJA9NEW\t599\t13M\t599\t05M\t\t7\tCW\t\t\tJH1OPR");
  EXPECT_EQ(InsertRowText(1000, "2015-04-02", "05:11", b, "", 1).substr(0, 25),
            "1000\t2015-04-02 05:11:00\t");
  EXPECT_EQ(InsertRowText(3, "", "05:11", b, "", 0), "");

  grid.insertRow(12, row);
  KeepSecondsForRebuild(grid, log, 12);
  QsoRecord cur;
  GridToLog(grid, log, cur, noProgress());
  ASSERT_EQ(log.count(), 21);
  EXPECT_EQ(call(log, 11), "JA1AA11");
  EXPECT_EQ(call(log, 12), "JA9NEW");
  EXPECT_EQ(log[12].Remarks.trimmed(), "JH1OPR");
  EXPECT_EQ(call(log, 13), "JA1AA12");
  EXPECT_EQ(call(log, 14), "JA1AA13");
  EXPECT_EQ(log[14].Remarks.trimmed(), "kept");
  for (int i = 1; i <= 21; ++i) EXPECT_EQ(log[i].QsoNo, i);
  // the seconds of the QSOs the grid showed in minutes survive the rebuild
  EXPECT_EQ(ole::formatSeconds(log[13].QsoTime), "2015-04-02 05:11:30");
  EXPECT_EQ(ole::formatSeconds(log[12].QsoTime), "2015-04-02 05:11:00");
  EXPECT_EQ(ole::formatSeconds(log[21].QsoTime), "2015-04-02 05:19:30");
}

TEST(MultiEdit, TimeShiftOrderHoursDaysMonths) {
  auto shift = [](ole::Date t, int mo, int d, int h) {
    auto s = ShiftTime(t, mo, d, h);
    return s ? ole::formatSeconds(*s) : std::string("kept");
  };
  EXPECT_EQ(shift(at(2015, 1, 31, 12, 0, 7), 1, 0, 0), "2015-02-28 12:00:07");
  EXPECT_EQ(shift(at(2016, 1, 31, 12, 0), 1, 0, 0), "2016-02-29 12:00:00");
  EXPECT_EQ(shift(at(2015, 4, 2, 5, 0), 0, 0, -9), "2015-04-01 20:00:00");
  // hours first: 30 Jan 20:00 + 5 h is 31 Jan, + 1 month is 28 Feb
  EXPECT_EQ(shift(at(2015, 1, 30, 20, 0), 1, 0, 5), "2015-02-28 01:00:00");
  // days before months: 28 Feb + 3 days is 3 Mar, + 1 month is 3 Apr
  EXPECT_EQ(shift(at(2015, 2, 28, 0, 0), 1, 3, 0), "2015-04-03 00:00:00");
  EXPECT_EQ(shift(at(2015, 3, 31, 0, 0), -1, 0, 0), "2015-02-28 00:00:00");
  EXPECT_EQ(shift(at(9999, 12, 1, 0, 0), 1, 0, 0), "kept");
}

TEST(MultiEdit, TickedRowsOverTheirRangesOnly) {
  LogData log = logOf(12);
  MultiEdit m;
  m.rows[RowBand] = {true, 3, 10};
  m.band = " 14 ";
  m.rows[RowSentRst] = {false, 1, 12};
  m.sentRst = "579";
  m.rows[RowMode] = {true, 11, 12};
  m.mode = "SSB";
  m.rows[RowRcvdRst] = {true, 11, 12};
  m.rcvdRst = "";
  m.rows[RowTime] = {true, 2, 3};
  m.months = 1;
  m.hours = -9;
  EXPECT_EQ(MultiEditApply(log, m), 4);
  EXPECT_EQ(log[2].Band.trimmed(), "7");
  for (int i = 3; i <= 10; ++i) EXPECT_EQ(log[i].Band.view(), "14   ");
  EXPECT_EQ(log[11].Band.trimmed(), "7");
  for (int i = 1; i <= 12; ++i) EXPECT_EQ(log[i].SentRst.trimmed(), "599");
  EXPECT_EQ(log[10].Mode.trimmed(), "CW");
  EXPECT_EQ(log[11].Mode.trimmed(), "SSB");
  EXPECT_EQ(log[12].RcvdRst.view(), "    ");
  EXPECT_EQ(ole::formatSeconds(log[1].QsoTime), "2015-04-02 05:00:30");
  EXPECT_EQ(ole::formatSeconds(log[2].QsoTime), "2015-05-01 20:01:30");
  EXPECT_EQ(ole::formatSeconds(log[3].QsoTime), "2015-05-01 20:02:30");
  EXPECT_EQ(ole::formatSeconds(log[4].QsoTime), "2015-04-02 05:03:30");
}

TEST(MultiEdit, RangesNeverReachBeyondTheLog) {
  LogData log = logOf(5);
  MultiEdit m;
  m.rows[RowSentNo] = {true, 0, 40};  // cut to 1..5
  m.sentNo = "20h/extra-long";
  EXPECT_EQ(MultiEditApply(log, m), 1);
  for (int i = 1; i <= 5; ++i) EXPECT_EQ(log[i].SentNo.view(), "20h/extra-");
  EXPECT_EQ(log[0].SentNo.trimmed(), "");  // slot 0 untouched
  LogData one = logOf(1);
  m.rows[RowSentNo] = {true, 1, 2};
  EXPECT_EQ(MultiEditApply(one, m), 0);
  EXPECT_EQ(one[1].SentNo.trimmed(), "13M");
  LogData none;
  EXPECT_EQ(MultiEditApply(none, m), 0);
}

// The grid's texts, the conversions between grid and log, and the time sort.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>

#include "app/core/programfolder.h"
#include "log/grid.h"

namespace {
QsoRecord qso(const char* call, ole::Date t, const char* band = "7", const char* mode = "CW") {
  QsoRecord r;
  r.CallSign = call;
  r.QsoTime = t;
  r.Band = band;
  r.Mode = mode;
  r.SentRst = "599";
  r.SentNo = "13M";
  r.RcvdRst = "599";
  r.RcvdNo = "10H";
  r.Mlt = "10";
  r.Points = 1;
  return r;
}

struct Recorder : GridObserver {
  int resets = 0, inserts = 0, removes = 0, changes = 0;
  void gridReset() override { ++resets; }
  void rowsInserted(int, int) override { ++inserts; }
  void rowsRemoved(int, int) override { ++removes; }
  void cellChanged(int, int) override { ++changes; }
};
}  // namespace

TEST(Grid, RowTexts) {
  EXPECT_EQ(QsoNoText(7), "0007");
  EXPECT_EQ(QsoNoText(999), "0999");
  EXPECT_EQ(QsoNoText(1000), "1000");
  EXPECT_EQ(QsoNoText(12345), "12345");
  QsoRecord r = qso(" JA1ABC ", ole::fromDateTime(2025, 4, 26, 21, 5, 9), "1200", "SSB");
  r.QsoNo = 3;
  r.Dupe = 1;
  r.Points = 0;
  r.Remarks = "  memo ";
  EXPECT_EQ(GridRowText(r, 0),
            "0003\t2025-04-26 21:05\tJA1ABC\t599\t13M\t599\t10H\t10\t1200\tSSB\t0\tDUPE\tmemo");
  EXPECT_EQ(GridRowText(r, 1).substr(5, 19), "2025-04-26 21:05:09");
}

TEST(Grid, RowsKeepTheirCells) {
  GridRows g;
  EXPECT_EQ(g.rows(), 1);
  EXPECT_EQ(g.cell(0, 0), "番号");
  EXPECT_EQ(g.cell(0, 12), "備考");
  g.addRow("a\tb");
  g.addRow("1\t2\t3\t4\t5\t6\t7\t8\t9\t10\t11\t12\t13\textra");
  EXPECT_EQ(g.cell(1, 1), "b");
  EXPECT_EQ(g.cell(1, 2), "");
  EXPECT_EQ(g.cell(2, 12), "13");
  g.setCell(1, 2, "C\tD");
  EXPECT_EQ(g.cell(1, 2), "C D");
  EXPECT_EQ(g.cell(1, 3), "");
  g.insertRow(1, "first");
  EXPECT_EQ(g.cell(1, 0), "first");
  g.removeRow(1);
  EXPECT_EQ(g.cell(1, 0), "a");
  g.removeRow(0);  // the header stays
  EXPECT_EQ(g.rows(), 3);
}

TEST(Grid, RedrawOffCollectsChangesIntoOneReset) {
  GridRows g;
  Recorder rec;
  g.setObserver(&rec);
  g.addRow("x");
  EXPECT_EQ(rec.inserts, 1);
  g.setRedraw(false);
  g.addRow("y");
  g.removeRow(1);
  g.setCell(1, 1, "z");
  g.setRedraw(true);
  EXPECT_EQ(rec.inserts, 1);
  EXPECT_EQ(rec.removes, 0);
  EXPECT_EQ(rec.resets, 1);
}

TEST(Grid, LogLoadAndBack) {
  GridRows g;
  LogData log;
  FrmLogLoad(g, log, 0);
  EXPECT_EQ(g.rows(), 2);  // header and one blank row
  EXPECT_EQ(g.rowText(1), std::string(12, '\t'));

  for (int i = 0; i < 3; ++i) {
    QsoRecord r = qso(i == 1 ? "JA2XYZ" : "JA1ABC", ole::fromDateTime(2025, 4, 26, 21, i, 30));
    r.Remarks = "メモ";
    r.Reserved = "RSV";
    ASSERT_TRUE(log.append(r));
  }
  EXPECT_EQ(log.slotCount(), 4u);
  FrmLogLoad(g, log, 0);
  ASSERT_EQ(g.rows(), 4);
  EXPECT_EQ(g.cell(3, 0), "0003");

  g.setCell(1, 10, "2.5");
  g.setCell(2, 10, "3.5");
  g.setCell(3, 10, "");
  g.setCell(2, 11, "x");
  g.setCell(3, 1, "not a date");
  LogData back;
  QsoRecord cur;
  cur.Reserved = "CUR";
  GridToLog(g, back, cur, noProgress());
  ASSERT_EQ(back.count(), 3);
  EXPECT_EQ(back[1].Points, 2);
  EXPECT_EQ(back[2].Points, 4);
  EXPECT_EQ(back[3].Points, 0);
  EXPECT_EQ(back[2].Dupe, 1);
  EXPECT_EQ(back[1].Dupe, 0);
  // a time that does not convert keeps the working record's previous one
  EXPECT_EQ(back[3].QsoTime, back[2].QsoTime);
  EXPECT_EQ(back[1].Remarks.trimmed(), "メモ");
  EXPECT_EQ(back[1].Reserved.trimmed(), "CUR");
  EXPECT_EQ(back[3].QsoNo, 3);
  // minutes only in the grid: the seconds are gone after the rebuild
  EXPECT_EQ(ole::toParts(back[1].QsoTime).second, 0);

  // an empty log's blank row becomes no QSO
  FrmLogLoad(g, LogData{}, 0);
  GridToLog(g, back, cur, noProgress());
  EXPECT_EQ(back.count(), 0);
}

TEST(Grid, TimeSortUsesSecondsAndKeepsEqualTimesInOrder) {
  GridRows g;
  LogData log;
  QsoRecord cur;
  const ole::Date t = ole::fromDateTime(2025, 4, 26, 21, 0, 0);
  log.append(qso("C", t + 40.0 / 86400));
  log.append(qso("A", t + 10.0 / 86400));
  log.append(qso("E", t - 1));
  log.append(qso("B", t + 10.0 / 86400));
  log.append(qso("D", t + 10.0 / 86400));
  FrmLogLoad(g, log, 0);
  TimeSortGrid(g, log, cur, noProgress());
  std::string order;
  for (int i = 1; i <= log.count(); ++i) {
    order += log[i].CallSign.trimmed();
    EXPECT_EQ(log[i].QsoNo, i);
  }
  EXPECT_EQ(order, "EABDC");
  EXPECT_EQ(ole::toParts(log[5].QsoTime).second, 40);
  EXPECT_EQ(g.cell(5, 1), "2025-04-26 21:00");
  // sorting a sorted log changes nothing
  TimeSortGrid(g, log, cur, noProgress());
  order.clear();
  for (int i = 1; i <= log.count(); ++i) order += log[i].CallSign.trimmed();
  EXPECT_EQ(order, "EABDC");
}

TEST(Log, BoundedAt32767) {
  LogData log;
  log.resize(kMaxQso - 1);
  EXPECT_TRUE(log.append(QsoRecord{}));
  EXPECT_EQ(log[kMaxQso].QsoNo, kMaxQso);
  EXPECT_FALSE(log.append(QsoRecord{}));
  EXPECT_FALSE(log.insert(1, QsoRecord{}));
  log.resize(40000);
  EXPECT_EQ(log.count(), kMaxQso);
  // the grid rebuild never passes the bound either
  GridRows g;
  for (int i = 0; i < kMaxQso + 3; ++i) g.addRow("0001\t2025-01-01 00:00\tJA1A");
  QsoRecord cur;
  GridToLog(g, log, cur, noProgress());
  EXPECT_EQ(log.count(), kMaxQso);
}

TEST(HomeFolder, AFolderThatCannotBeMadeOrWrittenIsNamed) {
  namespace fs = std::filesystem;
  const fs::path base = fs::temp_directory_path() / "tamarack_folder_ro_test";
  fs::remove_all(base);
  fs::create_directories(base);
  { std::ofstream(base / "file") << "x"; }
  std::string err;
  EXPECT_FALSE(PrepareProgramFolder((base / "file/Tamarack").string(), "", "", &err));
  EXPECT_FALSE(err.empty());
  // A folder no file can be made in (root may write anywhere but in /proc).
  std::string readOnly = "/proc";
  if (::geteuid() != 0) {
    readOnly = (base / "ro").string();
    fs::create_directory(readOnly);
    fs::permissions(readOnly, fs::perms::owner_read | fs::perms::owner_exec);
  }
  err.clear();
  EXPECT_FALSE(PrepareProgramFolder(readOnly, "", "", &err));
  EXPECT_FALSE(err.empty());
  EXPECT_EQ(ProgramFolderMessage(readOnly, "Permission denied"),
            "プログラムフォルダ " + readOnly +
                " を作成できないか、書き込めません（Permission denied）。\r\n"
                "書き込めるフォルダを --home で指定して起動してください。");
  fs::permissions(base, fs::perms::owner_all, fs::perm_options::add);
  std::error_code ec;
  if (::geteuid() != 0) fs::permissions(readOnly, fs::perms::owner_all, ec);
  fs::remove_all(base);
}

TEST(HomeFolder, ResolutionAndFirstStart) {
  EXPECT_EQ(ResolveProgramFolder({"--home", "/tmp/x/"}, "/env", "/xdg", "/h"), "/tmp/x");
  EXPECT_EQ(ResolveProgramFolder({"--home=/tmp/y"}, "/env", "/xdg", "/h"), "/tmp/y");
  EXPECT_EQ(ResolveProgramFolder({}, "/env", "/xdg", "/h"), "/env");
  EXPECT_EQ(ResolveProgramFolder({}, "", "/xdg", "/h"), "/xdg/Tamarack");
  EXPECT_EQ(ResolveProgramFolder({}, nullptr, nullptr, "/h"), "/h/.local/share/Tamarack");

  namespace fs = std::filesystem;
  const fs::path base = fs::temp_directory_path() / "tamarack_folder_test";
  fs::remove_all(base);
  fs::create_directories(base / "ship/Cfg");
  { std::ofstream(base / "ship/Cfg/a.cfg") << "ContestNo=1\r\n"; }
  { std::ofstream(base / "ship/tamarack.html") << "<html></html>"; }
  { std::ofstream(base / "cty.dat") << "x"; }
  const std::string home = (base / "home").string();
  ASSERT_TRUE(PrepareProgramFolder(home, (base / "ship").string(), (base / "cty.dat").string(),
                                   nullptr));
  EXPECT_TRUE(fs::exists(base / "home/Cfg/a.cfg"));
  EXPECT_TRUE(fs::exists(base / "home/tamarack.html"));
  EXPECT_TRUE(fs::exists(base / "home/Cty.dat"));

  // The two outdated party definitions go at start; the others stay.
  { std::ofstream(base / "home/Cfg/(1)QSOパーティー.cfg") << "x"; }
  { std::ofstream(base / "home/Cfg/(0)7MHz拡大記念 QSOパーティー.cfg") << "x"; }
  { std::ofstream(base / "home/Cfg/(0)7MHz拡大記念 QSOパーティー2.cfg") << "x"; }
  PrepareWorkFolders(home);
  EXPECT_TRUE(fs::is_directory(base / "home/Log"));
  EXPECT_TRUE(fs::is_directory(base / "home/SentLog"));
  EXPECT_FALSE(fs::exists(base / "home/Cfg/(1)QSOパーティー.cfg"));
  EXPECT_FALSE(fs::exists(base / "home/Cfg/(0)7MHz拡大記念 QSOパーティー.cfg"));
  EXPECT_TRUE(fs::exists(base / "home/Cfg/(0)7MHz拡大記念 QSOパーティー2.cfg"));
  EXPECT_TRUE(fs::exists(base / "home/Cfg/a.cfg"));
  fs::remove_all(base);
}

namespace {
// Every field of a record, the time by its bits.
std::string fields(const QsoRecord& r) {
  std::uint64_t bits;
  std::memcpy(&bits, &r.QsoTime, sizeof bits);
  std::string s = std::to_string(r.QsoNo) + "|" + std::to_string(bits) + "|" + std::to_string(r.Dupe) +
                  "|" + std::to_string(r.Points) + "|" + std::to_string(r.TestNo);
  for (std::string_view f : {r.Band.view(), r.Mode.view(), r.CallSign.view(), r.SentRst.view(),
                             r.SentNo.view(), r.RcvdRst.view(), r.RcvdNo.view(), r.Mlt.view(),
                             r.Reserved.view(), r.Remarks.view()})
    (s += '|') += f;
  return s;
}

// The sort as the grid's texts give it: seconds shown, rows sorted by that
// text, the log rebuilt from the grid, minutes shown.
void timeSortThroughTexts(GridRows& grid, LogData& log, QsoRecord& cur) {
  grid.setRedraw(false);
  const int n = std::min(log.count(), grid.rows() - 1);
  for (int i = 1; i <= n; ++i) grid.setCell(i, 1, ole::formatSeconds(log[i].QsoTime));
  grid.sortByColumn(1);
  GridToLog(grid, log, cur, noProgress());
  for (int i = 1; i <= log.count(); ++i) grid.setCell(i, 1, ole::formatMinutes(log[i].QsoTime));
  grid.setRedraw(true);
}
}  // namespace

TEST(Grid, TimeSortGivesWhatSortingTheTextsGives) {
  std::mt19937 rng(5);
  const ole::Date base = ole::fromDateTime(2025, 4, 26, 21, 0, 0);
  struct Case {
    const char* what;
    std::function<void(LogData&, GridRows&)> shape;
  };
  const Case cases[] = {
      {"log and grid alike", [](LogData&, GridRows&) {}},
      {"grid edited", [&](LogData&, GridRows& g) {
         g.setCell(3, 2, "EDITED");
         g.setCell(4, 10, "x");         // points that do not convert keep the previous ones
         g.setCell(5, 12, "  メモ  ");
         g.setCell(6, 11, "");
       }},
      {"a time that is no date", [](LogData& l, GridRows&) { l[7].QsoTime = std::nan(""); }},
      {"more grid rows than QSOs", [](LogData&, GridRows& g) { g.addRow("9999\t2025-04-26 20:00\tJA9X"); }},
      {"fewer grid rows than QSOs", [](LogData&, GridRows& g) { g.removeRow(2); }},
      {"one QSO", [](LogData& l, GridRows& g) {
         l.resize(1);
         FrmLogLoad(g, l, 0);
       }},
      {"no QSO", [](LogData& l, GridRows& g) {
         l.clear();
         FrmLogLoad(g, l, 0);
       }},
  };
  for (const Case& c : cases) {
    for (int showSeconds : {0, 1}) {
      LogData log;
      for (int i = 0; i < 400; ++i) {
        // equal seconds, half seconds, the edges of the calendar and days before 1900
        ole::Date t = base + static_cast<double>(rng() % 120) / 86400;
        switch (rng() % 8) {
          case 0: t += 0.5 / 86400; break;
          case 1: t = ole::fromDateTime(100, 1, 1, 0, 0, static_cast<int>(rng() % 3)); break;
          case 2: t = ole::fromDateTime(9999, 12, 31, 23, 59, 59); break;
          case 3: t = -1.0 - static_cast<double>(rng() % 86400) / 86400; break;
          default: break;
        }
        QsoRecord r = qso(("JA" + std::to_string(i)).c_str(), t);
        r.Remarks = i % 5 ? " 先頭に空白" : "";
        r.Reserved = "R";
        r.TestNo = static_cast<std::int16_t>(i % 3);
        r.Dupe = static_cast<std::int16_t>(i % 4 == 0);
        r.Points = static_cast<std::int16_t>(i % 7);
        log.append(r);
      }
      GridRows fast;
      FrmLogLoad(fast, log, showSeconds);
      c.shape(log, fast);
      GridRows slow = fast;
      LogData slowLog = log;
      QsoRecord cur, slowCur;
      cur.Reserved = slowCur.Reserved = "CUR";
      cur.TestNo = slowCur.TestNo = 9;
      TimeSortGrid(fast, log, cur, noProgress());
      timeSortThroughTexts(slow, slowLog, slowCur);
      ASSERT_EQ(log.count(), slowLog.count()) << c.what;
      for (int i = 1; i <= log.count(); ++i) ASSERT_EQ(fields(log[i]), fields(slowLog[i])) << c.what << " " << i;
      EXPECT_EQ(fields(cur), fields(slowCur)) << c.what;
      ASSERT_EQ(fast.rows(), slow.rows()) << c.what;
      for (int i = 0; i < fast.rows(); ++i) ASSERT_EQ(fast.rowText(i), slow.rowText(i)) << c.what << " " << i;
    }
  }
}

// Reading QSOs of a time window from a HAMLOG database and appending the log
// to one, through the libraries loaded by name as the program loads them.
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>

#include "contest/contestdef.h"
#include "contest/cty.h"
#include "contest/session.h"
#include "hamlog/thlog.h"
#include "log/cp932.h"
#include "log/fileio.h"
#include "log/grid.h"
#include "log/logfile.h"
#include "log/settings.h"
#include "log/settingsfile.h"
#include "output/elog.h"
#include "scripted_ui.h"

namespace fs = std::filesystem;

namespace {

class HamlogExchangeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = fs::temp_directory_path() / ("hamlog_ex_" + std::to_string(::getpid()) + "_" +
                                       ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir);
    fs::create_directories(dir);
    db = (dir / "HAMLOG.hdb").string();
    ASSERT_EQ(lib.HamlogCreate(db), 0);
    cty.CtyPrefixAdd("JA", "AS", "JA");
    cty.CtyPrefixAdd("DL", "EU", "DL");
    ini.JarlPrf = "13";
    ini.JarlJcc = "1001";
    ini.JarlPwCode.fill("");
    ini.JarlPwCode[7] = "M";
    ini.JarlPwCode[12] = "L";
    ini.JarlPwCode[13] = "P";
    def.Exch = 1;
    grid.addRow("");
  }
  void TearDown() override { fs::remove_all(dir); }

  // Appends raw records: call, date, time, sent, rcvd, freq, mode, remarks 1, remarks 2.
  void put(std::initializer_list<std::array<const char*, 9>> recs) {
    ThwWork w;
    ASSERT_EQ(lib.HamlogOpen(w, db), 0);
    for (const auto& r : recs) {
      const std::int16_t fields[] = {1, 2, 3, 4, 5, 6, 7, 13, 14};
      for (int i = 0; i < 9; ++i) lib.SetThBuffer(w, r[static_cast<std::size_t>(i)], fields[i]);
      ASSERT_EQ(lib.THW_append(w), 0);
    }
    lib.HamlogClose(w);
  }

  ThReadResult read(const char* from, const char* to) {
    ThReadRequest req;
    req.path = db;
    req.version = ThReadVersion(lib.GetThdllVersion());
    req.from = *ole::parse(from);
    req.to = *ole::parse(to);
    return ThlogDataRead(lib, req, ini, def, doc, grid, noProgress());
  }

  HamlogLibrary lib{HamlogLibrary::defaultFolders("")};
  fs::path dir;
  std::string db;
  Settings ini;
  ContestDefinition def;
  CtyTables cty;
  LogDocument doc;
  GridRows grid;
};

}  // namespace

TEST(HamlogVersion, HexDigitsReadAsDecimal) {
  EXPECT_EQ(ThHexAsDecimal(0x50100), 50100);
  EXPECT_EQ(ThReadVersion(0x50100), 5);
  EXPECT_EQ(ThReadVersion(0x54999), 5);
  EXPECT_EQ(ThReadVersion(0x55001), 6);
  EXPECT_EQ(ThHexAsDecimal(0x5A), 5);  // reading stops at the first letter
  EXPECT_EQ(ThReadVersion(0), 0);
}

TEST(HamlogRules, ModesBandsAndTimes) {
  EXPECT_EQ(ThModeOf("J3E"), "SSB");
  EXPECT_EQ(ThModeOf("LSB"), "SSB");
  EXPECT_EQ(ThModeOf("F3E"), "FM");
  EXPECT_EQ(ThModeOf("A3"), "AM");
  EXPECT_EQ(ThModeOf("A1A"), "CW");
  EXPECT_EQ(ThModeOf("F1B"), "RTTY");
  EXPECT_EQ(ThModeOf("G1B"), "PSK31");
  EXPECT_EQ(ThModeOf("F3F"), "SSTV");
  EXPECT_EQ(ThModeOf("FT8"), "FT8");
  std::string band;
  int index = -1;
  ASSERT_TRUE(ThBandOf(24.9, band, index));
  EXPECT_EQ(band, "24");
  EXPECT_EQ(index, 7);
  ASSERT_TRUE(ThBandOf(1.91, band, index));
  EXPECT_EQ(band, "1.8");
  ASSERT_TRUE(ThBandOf(12000, band, index));
  EXPECT_EQ(band, "10.1G");
  EXPECT_EQ(index, 15);
  EXPECT_FALSE(ThBandOf(1.95, band, index));
  EXPECT_EQ(band, "10.1G");  // left as it was
  // The band texts the append writes read back as their bands.
  ASSERT_TRUE(ThBandOfFrequency("24", band, index));
  EXPECT_EQ(band, "24");
  ASSERT_TRUE(ThBandOfFrequency(" 10.1G", band, index));
  EXPECT_EQ(index, 15);
  ASSERT_TRUE(ThBandOfFrequency("7.025", band, index));
  EXPECT_EQ(band, "7");
  EXPECT_FALSE(ThBandOfFrequency("abc", band, index));

  EXPECT_EQ(ThRecordTime("24/04/30", "23:30"), ole::fromDateTime(2024, 4, 30, 23, 30, 0));
  EXPECT_EQ(ThRecordTime("99/12/31", "00:00"), ole::fromDateTime(1999, 12, 31, 0, 0, 0));
  EXPECT_EQ(ThRecordTime("2024/5/1", "8:05"), ole::fromDateTime(2024, 5, 1, 8, 5, 0));
  EXPECT_FALSE(ThRecordTime("24/02/30", "10:00"));
  EXPECT_FALSE(ThRecordTime("", "10:00"));
  EXPECT_FALSE(ThRecordTime("24/05/01", "25:00"));
  EXPECT_EQ(ThWindowText(ole::fromDateTime(2024, 5, 1, 3, 0, 0)), "202405010300");
}

TEST(HamlogRules, ReceivedNumberOfTheAppendsReportLine) {
  const struct {
    const char* remarks;
    const char* sent;
    const char* rcvd;
    std::optional<std::string> number;
  } cases[] = {
      {"599-13M/599-10H", "599", "599", "10H"},
      {"59-13M/57-101P  CONTEST", "59", "57", "101P"},  // the remark base follows two blanks
      {"599-13M/599-", "599", "599", ""},
      {"599-/599-45", "599", "599", "45"},
      {"599/579", "599", "579", ""},  // written without exchange numbers
      {"599/579  CONTEST", "599", "579", ""},
      {"599-13M/599-10H", "599", "579", std::nullopt},  // not this record's reports
      {"12HXY", "599", "599", std::nullopt},
      {"599-13M", "599", "599", std::nullopt},
      {"", "599", "599", std::nullopt},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.remarks);
    EXPECT_EQ(ThRcvdNoOfReportLine(c.remarks, c.sent, c.rcvd), c.number);
  }
}

TEST(HamlogRoundTrip, ALogAppendedAndReadBackScoresAsBefore) {
  char tmpl[] = "/tmp/tamarack_hlrt_XXXXXX";
  ASSERT_NE(mkdtemp(tmpl), nullptr);
  const std::string home = tmpl;
  fs::copy(fs::path(TAMARACK_DATA_DIR) / "Cfg", home + "/Cfg");
  Settings st;
  st.CfgFileName = home + "/Cfg/(1)ＡＬＬ ＪＡ コンテスト.cfg";
  st.JarlCallSign = "JA1ZZZ";
  st.JarlCateCode = "XAH";
  st.ThRptSw = 1;
  st.ThRRptCount = 3;
  ASSERT_TRUE(IniWrite(home + "/Tamarack.ini", st));
  ASSERT_TRUE(fileio::writeAtomic(home + "/TH_DX.dat", "JA    339   Japan\r\n"));
  LogData log;
  const char* bands[] = {"3.5", "7", "14", "21"};
  const char* numbers[] = {"13M", "01H", "20L", "101P", "25M", "13H", "47P", "01M", "22"};
  for (int i = 0; i < 40; ++i) {
    QsoRecord r;
    r.Band = bands[i % 4];
    r.Mode = i % 3 ? "CW" : "SSB";
    r.QsoTime = ole::fromDateTime(2024, 4, 27, 21 + i / 60, i % 60, 0);
    r.CallSign = "JA" + std::to_string(i % 7 + 1) + "A" + std::string(1, static_cast<char>('A' + i % 13));
    r.SentRst = i % 3 ? "599" : "59";
    r.SentNo = "13H";
    r.RcvdRst = i % 3 ? "599" : "59";
    r.RcvdNo = numbers[i % 9];
    log.append(r);
  }
  fs::create_directory(home + "/Log");
  ASSERT_TRUE(fileio::writeAtomic(home + "/Log/t.tmk", logfile::encodeLog(log, 1, noProgress())));

  std::string err;
  UnattendedSession first(home);
  first.ui.echo = false;
  ASSERT_TRUE(first.loadScoredLog(home + "/Log/t.tmk", &err)) << err;
  const std::string table = elog::ScoreTableText(first.session.Score);
  ASSERT_GT(first.session.Score.TotalScore, 0);

  HamlogLibrary lib(HamlogLibrary::defaultFolders(""));
  const std::string db = home + "/HAMLOG.hdb";
  ASSERT_EQ(lib.HamlogCreate(db), 0);
  Session& s1 = first.session;
  const ThAppendResult a =
      ThLogDbAppendRun(lib, db, s1.Doc.Log, home, s1.Ini, s1.Contest, s1.Cty, first.ui, noProgress());
  ASSERT_EQ(a.outcome, ThAppendResult::Appended) << a.error;
  EXPECT_EQ(a.appended, 40);

  UnattendedSession second(home);
  second.ui.echo = false;
  ASSERT_TRUE(second.loadStation(&err)) << err;
  Session& s2 = second.session;
  ThReadRequest req;
  req.path = db;
  req.version = ThReadVersion(lib.GetThdllVersion());
  req.from = ole::fromDateTime(2024, 4, 27, 0, 0, 0);
  req.to = ole::fromDateTime(2024, 4, 28, 0, 0, 0);
  const ThReadResult r = ThlogDataRead(lib, req, s2.Ini, s2.Contest, s2.Doc, s2.GridData, noProgress());
  ASSERT_EQ(r.appended, 40);
  s2.search();
  EXPECT_EQ(elog::ScoreTableText(s2.Score), table);
  fs::remove_all(home);
}

TEST_F(HamlogExchangeTest, JstRecordIntoUtcContestAndTheWindowEnds) {
  def.SetUTCtime = 1;
  put({{"JA1AAA", "24/05/01", "12:00J", "599", "599", "7.01", "A1A", "12HXY", ""},
       {"JA1BBB", "24/05/01", "03:10U", "599", "599", "7.01", "CW", "", ""},
       {"JA1CCC", "24/05/01", "12:11J", "599", "599", "7.01", "CW", "", ""},
       {"JA1DDD", "24/05/01", "11:59", "599", "599", "7.01", "CW", "", ""}});
  const ThReadResult r = read("2024-05-01 03:00", "2024-05-01 03:10");
  EXPECT_FALSE(r.failed);
  ASSERT_EQ(doc.Log.count(), 2);
  EXPECT_EQ(doc.Log[1].CallSign.trimmed(), "JA1AAA");
  EXPECT_EQ(doc.Log[1].QsoTime, ole::fromDateTime(2024, 5, 1, 3, 0, 0));
  EXPECT_EQ(doc.Log[1].Mode.trimmed(), "CW");
  EXPECT_EQ(doc.Log[2].CallSign.trimmed(), "JA1BBB");  // exactly at To
  EXPECT_EQ(doc.State.LogDirty, 1);
  // The empty first row gave way; points stay empty until the search.
  ASSERT_EQ(grid.rows(), 3);
  EXPECT_EQ(grid.cell(1, 2), "JA1AAA");
  EXPECT_EQ(grid.cell(1, 10), "");
}

TEST_F(HamlogExchangeTest, UtcRecordIntoJstContest) {
  put({{"JA1AAA", "24/04/30", "23:30U", "59", "59", "145.0", "F3E", "", ""}});
  read("2024-05-01 08:30", "2024-05-01 08:30");
  ASSERT_EQ(doc.Log.count(), 1);
  EXPECT_EQ(doc.Log[1].QsoTime, ole::fromDateTime(2024, 5, 1, 8, 30, 0));
  EXPECT_EQ(doc.Log[1].Band.trimmed(), "144");
  EXPECT_EQ(doc.Log[1].Mode.trimmed(), "FM");
}

TEST_F(HamlogExchangeTest, ExchangesFromSettingsAndRemarks) {
  def.SentJarlCode = 1;
  def.Exch = 3;
  ini.ThRRptCount = 3;
  put({{"JA1AAA", "24/05/01", "10:00J", "599", "579", "24.9", "J3E", "12HXY", "99ZZZ"},
       {"JA1BBB", "24/05/01", "10:01J", "599", "599", "2400.1", "CW", "", ""},
       {"JA1CCC", "24/05/01", "10:02J", "599", "599", "9999", "CW", "", ""}});
  const ThReadResult res = read("2024-05-01 10:00", "2024-05-01 10:30");
  ASSERT_EQ(doc.Log.count(), 3);
  EXPECT_EQ(doc.Log[1].Band.trimmed(), "24");
  EXPECT_EQ(doc.Log[1].Mode.trimmed(), "SSB");
  EXPECT_EQ(doc.Log[1].SentNo.trimmed(), "13M");   // prefecture + letter of index 7
  EXPECT_EQ(doc.Log[1].RcvdNo.trimmed(), "12H");
  EXPECT_EQ(doc.Log[1].RcvdRst.trimmed(), "579");
  EXPECT_EQ(doc.Log[2].SentNo.trimmed(), "1001P");  // above index 12: JCC
  // A frequency outside the table leaves the band (and the power letter) empty, and is told.
  EXPECT_EQ(doc.Log[3].Band.trimmed(), "");
  EXPECT_EQ(doc.Log[3].SentNo.trimmed(), "13");
  EXPECT_EQ(res.noBand, 1);
  EXPECT_EQ(res.unreadable, 0);
  EXPECT_EQ(ThReadNote(res), "周波数がバンドの範囲外のデータが 1 件あったため、バンドを空欄にしました");

  doc.Log.clear();
  ini.ThRmk2Rpt = 1;
  read("2024-05-01 10:00", "2024-05-01 10:00");
  EXPECT_EQ(doc.Log[1].RcvdNo.trimmed(), "99Z");
  doc.Log.clear();
  ini.ThRRptCount = 0;
  read("2024-05-01 10:00", "2024-05-01 10:00");
  EXPECT_EQ(doc.Log[1].RcvdNo.trimmed(), "");
}

TEST_F(HamlogExchangeTest, UnreadableRecordsAreSkippedCountedAndTold) {
  put({{"JA1AAA", "24/05/01", "10:00J", "599", "599", "7", "CW", "", ""},
       {"JA1BBB", "24/13/01", "10:01J", "599", "599", "7", "CW", "", ""},
       {"JA1CCC", "24/05/01", "", "599", "599", "7", "CW", "", ""},
       {"JA1DDD", "24/05/01", "10:03J", "599", "599", "7", "CW", "", ""},
       {"JA1EEE", "24/05/01", "10:04J", "599", "599", "9999", "CW", "", ""}});
  // A record the library cannot load (the count runs past the last one).
  sqlite3* raw = nullptr;
  ASSERT_EQ(sqlite3_open(db.c_str(), &raw), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(raw, "DELETE FROM qso WHERE id = 4", nullptr, nullptr, nullptr), SQLITE_OK);
  sqlite3_close(raw);
  ThReadResult r = read("2024-05-01 00:00", "2024-05-01 23:59");
  EXPECT_FALSE(r.failed);
  EXPECT_EQ(r.appended, 1);
  EXPECT_EQ(r.unreadable, 3);
  EXPECT_EQ(r.noBand, 0);
  EXPECT_EQ(ThReadNote(r), "読み込めないデータが 3 件あったため、読み飛ばしました");
  r.noBand = 2;
  EXPECT_EQ(ThReadNote(r),
            "読み込めないデータが 3 件あったため、読み飛ばしました\r\n"
            "周波数がバンドの範囲外のデータが 2 件あったため、バンドを空欄にしました");
  EXPECT_EQ(ThReadNote(ThReadResult{}), "");
}

TEST_F(HamlogExchangeTest, CountingClosesTheDatabaseWhenTheBridgeFails) {
  // The database library without its bridge.
  const fs::path half = dir / "half";
  fs::create_directories(half);
  fs::create_symlink(fs::read_symlink("/proc/self/exe").parent_path() / "libHamlog50.so",
                     half / "libHamlog50.so");
  HamlogLibrary lib2({half.string()});
  auto openFiles = [this] {
    int n = 0;
    for (const auto& e : fs::directory_iterator("/proc/self/fd")) {
      std::error_code ec;
      if (fs::read_symlink(e.path(), ec).string().rfind(db, 0) == 0) ++n;
    }
    return n;
  };
  std::int32_t count = -1;
  EXPECT_THROW(ThCountRecords(lib2, db, count), HamlogError);
  EXPECT_EQ(openFiles(), 0);
}

TEST_F(HamlogExchangeTest, ReadingStopsAtTheLogLimit) {
  put({{"JA1AAA", "24/05/01", "10:00J", "599", "599", "7", "CW", "", ""},
       {"JA1BBB", "24/05/01", "10:01J", "599", "599", "7", "CW", "", ""}});
  doc.Log.resize(kMaxQso - 1);
  const ThReadResult r = read("2024-05-01 10:00", "2024-05-01 10:30");
  EXPECT_TRUE(r.limited);
  EXPECT_EQ(r.appended, 1);
  EXPECT_EQ(doc.Log.count(), kMaxQso);
  EXPECT_EQ(doc.State.LogDirty, 1);
}

TEST_F(HamlogExchangeTest, MissingLibraryIsVersionZeroAndARunTimeFailure) {
  HamlogLibrary none({dir.string()});
  EXPECT_EQ(none.GetThdllVersion(), 0);
  EXPECT_THROW(none.SetQsoOrMaster(1), HamlogError);
  ThReadRequest req;
  req.path = db;
  req.version = 5;
  const ImportResult r = ThlogDataRead(none, req, ini, def, doc, grid, noProgress());
  EXPECT_TRUE(r.failed);
  EXPECT_NE(r.error.find("libHamlog50.so"), std::string::npos);

  doc.Log.append(QsoRecord{});
  ScriptedUi ui;
  const ThAppendResult a =
      ThLogDbAppendRun(none, db, doc.Log, dir.string(), ini, def, cty, ui, noProgress());
  EXPECT_EQ(a.outcome, ThAppendResult::NoLibrary);
  ASSERT_EQ(ui.messages.size(), 2u);
  EXPECT_EQ(ui.messages[0].text, thtext::kNoTable);
  EXPECT_EQ(ui.messages[1].text, "Hamlog50.dll が見つかりません");
}

TEST_F(HamlogExchangeTest, RecordOfAQso) {
  ThDxEntry ja{"JA", "339", "Japan"}, dl{"DL", "230", "Fed. Rep. of Germany"};
  QsoRecord q;
  q.QsoTime = ole::fromDateTime(2024, 5, 1, 8, 30, 0);
  q.CallSign = "DL1XX";
  q.SentRst = "599";
  q.SentNo = "13M";
  q.RcvdRst = "599";
  q.RcvdNo = "14";
  q.Band = "14";
  q.Mode = "CW";
  ini.ThUtcSw = 1;
  ini.ThQslSw = 3;
  ini.ThRptSw = 1;
  ini.ThRmkSw = 1;
  ini.ThRemark = "CONTEST";
  ini.ThRemark2 = "";
  ini.ThRptSw2 = 0;
  ini.ThQslMsg = " TNX FB QSO ";
  ThRecord r = ThRecordOf(q, ThAppendRunFor(ini, {ja, dl}), ini, def, cty);
  EXPECT_EQ(r.qslMsg, "");  // switched off
  ini.ThQslMsgSw = 1;
  r = ThRecordOf(q, ThAppendRunFor(ini, {ja, dl}), ini, def, cty);
  EXPECT_EQ(r.qslMsg, "TNX FB QSO");
  EXPECT_EQ(r.date, "24/04/30");
  EXPECT_EQ(r.time, "23:30U");
  EXPECT_EQ(r.qsl, "N  ");
  EXPECT_EQ(r.remarks1, "599-13M/599-14  CONTEST");
  EXPECT_EQ(r.remarks2, "");
  EXPECT_EQ(r.code, "230");
  EXPECT_EQ(r.name, "Fed. Rep. of Germany");
  EXPECT_EQ(r.flag, "8");
  EXPECT_EQ(r.freq, "14");

  def.Exch = 0;
  ini.ThRmkSw = 0;
  ini.ThUtcSw = 0;
  def.SetUTCtime = 1;
  ini.ThSendSw = 1;
  ini.ThSentMark = "  ";
  ini.ThRcvdSw = 1;
  ini.ThRcvdMark = " *x";
  ini.ThQslSw = 0;
  ini.ThCty2JaSw = 1;
  q.CallSign = "JA1AAA";
  r = ThRecordOf(q, ThAppendRunFor(ini, {ja, dl}), ini, def, cty);
  EXPECT_EQ(r.remarks1, "599/599");
  EXPECT_EQ(r.time, "17:30J");
  EXPECT_EQ(r.qsl, "J *");
  EXPECT_EQ(r.flag, "0");
  EXPECT_EQ(r.code, "");
  EXPECT_EQ(r.name, "");
}

TEST_F(HamlogExchangeTest, AppendThenReadGivesTheLogBack) {
  def.Exch = 1;
  ini.ThRRptCount = 2;
  ini.ThQslMsgSw = 1;
  ini.ThQslMsg = "TNX";
  // The database holds records already: the count is of what this run stored.
  put({{"JA9ZZZ", "24/04/01", "10:00J", "599", "599", "7", "CW", "", ""}});
  LogData log;
  const char* modes[] = {"CW", "SSB", "FM", "AM"};
  const char* bands[] = {"3.5", "7", "14", "21", "24", "28", "50", "144", "430", "10.1G"};
  for (int i = 0; i < 300; ++i) {
    QsoRecord q;
    q.QsoTime = ole::fromDateTime(2024, 5, 1, 10 + i / 60, i % 60, 0);
    q.CallSign = "JA" + std::to_string(i % 9 + 1) + "A" + std::string(1, static_cast<char>('A' + i % 26));
    q.Band = bands[i % 10];
    q.Mode = modes[i % 4];
    q.SentRst = i % 4 == 0 ? "599" : "59";
    q.RcvdRst = i % 4 == 0 ? "579" : "57";
    q.SentNo = "13M";
    q.RcvdNo = std::to_string(10 + i % 37) + "H";
    ASSERT_TRUE(log.append(q));
  }
  ScriptedUi ui;
  fs::create_directories(dir / "prog");
  { std::ofstream(dir / "prog" / "TH_DX.dat") << "JA    339   Japan\r\n"; }
  ini.ThRptSw = 1;
  const ThAppendResult a =
      ThLogDbAppendRun(lib, db, log, (dir / "prog").string(), ini, def, cty, ui, noProgress());
  ASSERT_EQ(a.outcome, ThAppendResult::Appended) << a.error;
  EXPECT_EQ(a.appended, 300);
  EXPECT_TRUE(ui.messages.empty());
  std::int32_t count = 0;
  EXPECT_EQ(ThCountRecords(lib, db, count), 0);
  EXPECT_EQ(count, 301);

  EXPECT_EQ(ThReadNote(read("2024-05-01 00:00", "2024-05-01 23:59")), "");
  ASSERT_EQ(doc.Log.count(), 300);
  for (int i = 1; i <= 300; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(doc.Log[i].CallSign, log[i].CallSign);
    EXPECT_EQ(doc.Log[i].QsoTime, log[i].QsoTime);
    EXPECT_EQ(doc.Log[i].Band, log[i].Band);
    EXPECT_EQ(doc.Log[i].Mode, log[i].Mode);
    EXPECT_EQ(doc.Log[i].SentRst, log[i].SentRst);
    EXPECT_EQ(doc.Log[i].RcvdRst, log[i].RcvdRst);
    // The remarks carry the report line, so the whole received number comes back.
    EXPECT_EQ(doc.Log[i].RcvdNo, log[i].RcvdNo);
  }
  ThwWork w;
  ASSERT_EQ(lib.HamlogOpen(w, db), 0);
  lib.THW_read(w, 3);
  EXPECT_EQ(lib.ThwString(w, 13), "59-13M/57-11H");
  EXPECT_EQ(lib.ThwString(w, 8), "339");
  EXPECT_EQ(lib.ThwString(w, 11), "TNX");
  EXPECT_EQ(lib.ThwString(w, 16), "0");
  lib.HamlogClose(w);
}

TEST_F(HamlogExchangeTest, AppendToAFileThatIsNoDatabase) {
  const std::string bad = (dir / "bad.hdb").string();
  { std::ofstream(bad) << "not a database"; }
  LogData log;
  QsoRecord q;
  q.CallSign = "JA1AAA";
  log.append(q);
  const ThAppendResult a = ThLogDbAppend(lib, bad, log, ThAppendRunFor(ini, {}), ini, def, cty,
                                         noProgress());
  EXPECT_EQ(a.outcome, ThAppendResult::CannotOpen);
  EXPECT_EQ(a.appended, 0);
}

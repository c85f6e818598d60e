// The journal of the open log: a program killed after three QSOs gives them
// back at the next start; every kind of change replays to the same log.
#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>

#include "contest/session.h"
#include "log/clock.h"
#include "log/fileio.h"
#include "log/journal.h"
#include "log/logfile.h"
#include "scripted_ui.h"

namespace {

namespace fs = std::filesystem;

QsoRecord qso(const std::string& call, int minute) {
  QsoRecord r;
  r.Band = "7";
  r.Mode = "CW";
  r.QsoTime = ole::fromDateTime(2025, 4, 26, 21, minute, 0);
  r.CallSign = call;
  r.SentRst = "599";
  r.SentNo = "13M";
  r.RcvdRst = "599";
  r.RcvdNo = "10H";
  return r;
}

// The operator's data of every record, marks of the search aside.
std::string dataOf(const LogData& log) {
  std::string s;
  for (int i = 1; i <= log.count(); ++i) {
    char rec[logfile::kRecordSize];
    QsoRecord r = log[i];
    r.Dupe = r.Points = 0;
    r.Mlt.clear();
    logfile::encodeRecord(r, rec);
    s.append(rec, sizeof rec);
  }
  return s;
}

class JournalTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char tmpl[] = "/tmp/tamarack-journal-XXXXXX";
    ASSERT_NE(::mkdtemp(tmpl), nullptr);
    home = tmpl;
    fs::create_directory(home + "/Log");
  }
  void TearDown() override { fs::remove_all(home); }

  // A start of the program over home: settings, safeguards, the last log.
  struct Start {
    ScriptedUi ui;
    FixedClock clock{ole::fromDateTime(2025, 4, 26, 22, 0, 0)};
    Session s;
    explicit Start(const std::string& home, std::deque<Answer> answers = {})
        : s(home, ui, clock, noProgress(), noView()) {
      ui.answers = std::move(answers);
      std::string err;
      s.readSettings(&err);
      s.enableSafeguards();
      s.Files.OpenLastLog();
    }
    // A QSO registered as the entry window does.
    void type(const std::string& call, int minute) {
      s.Doc.Log.append(qso(call, minute));
      s.Doc.State.LogDirty = 1;
      s.journalChange();
    }
  };

  std::string home;
};

// The program killed -9 after three QSOs typed into a saved log of two; the
// next start offers the three back, and they are the log again.
TEST_F(JournalTest, KilledAfterThreeQsosTheNextStartRecoversThem) {
  const std::string log = home + "/Log/test.tmk";
  {
    Start first(home);
    first.type("JA1AAA", 1);
    first.type("JA1BBB", 2);
    first.ui.files.push_back(log);
    first.s.Files.Save();  // named, saved, and the settings file names it
    ASSERT_TRUE(fs::exists(log));
    EXPECT_FALSE(fs::exists(log + ".journal"));
  }

  int ready[2];
  ASSERT_EQ(::pipe(ready), 0);
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    ::close(ready[0]);
    Start run(home);
    if (run.s.Doc.Log.count() != 2) ::_exit(3);
    for (int i = 0; i < 3; ++i) {
      run.type("JR" + std::to_string(i + 2) + "ZZZ", 10 + i);
      if (::write(ready[1], "q", 1) != 1) ::_exit(4);
    }
    for (;;) ::pause();  // killed here, as a crash would end it
  }
  ::close(ready[1]);
  char c;
  int typed = 0;
  while (typed < 3 && ::read(ready[0], &c, 1) == 1) ++typed;
  ::close(ready[0]);
  ASSERT_EQ(typed, 3);
  ASSERT_EQ(::kill(child, SIGKILL), 0);
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFSIGNALED(status));

  // The log file still holds the two saved QSOs only.
  std::string bytes;
  ASSERT_TRUE(fileio::readAll(log, bytes));
  EXPECT_EQ(bytes.size(), 2 * logfile::kRecordSize);

  Start next(home, {Answer::Yes});
  ASSERT_EQ(next.ui.messages.size(), 1u);
  EXPECT_EQ(next.ui.messages[0].text, "保存されていない交信が 3 件あります。復元しますか？");
  EXPECT_EQ(next.ui.messages[0].buttons, Buttons::YesNo);
  ASSERT_EQ(next.s.Doc.Log.count(), 5);
  EXPECT_EQ(next.s.Doc.Log[3].CallSign.trimmed(), "JR2ZZZ");
  EXPECT_EQ(next.s.Doc.Log[5].CallSign.trimmed(), "JR4ZZZ");
  EXPECT_EQ(next.s.Doc.Log[5].QsoNo, 5);
  EXPECT_EQ(next.s.Doc.State.LogDirty, 1);
  EXPECT_EQ(next.s.GridData.rows(), 6);  // searched and shown
  // Still journaled: a second crash before the save keeps them too.
  const auto again = journal::read(log + ".journal", bytes);
  ASSERT_TRUE(again);
  EXPECT_EQ(again->changes, 3);
  EXPECT_EQ(dataOf(again->log), dataOf(next.s.Doc.Log));

  // Saved, the journal goes and the next start offers nothing.
  next.ui.answers = {Answer::Ok};
  next.s.Files.Save();
  EXPECT_FALSE(fs::exists(log + ".journal"));
  Start last(home);
  EXPECT_TRUE(last.ui.messages.empty());
  EXPECT_EQ(last.s.Doc.Log.count(), 5);
}

// Declined, the journal goes; a log never saved keeps its journal in Log/
// and the next start offers it.
TEST_F(JournalTest, DeclinedOrUnsaved) {
  {
    Start run(home);
    run.type("JA1AAA", 1);
    run.type("JA1BBB", 2);
    EXPECT_TRUE(fs::exists(journal::pathFor(home, "")));
  }  // not closed: as good as killed
  {
    Start next(home, {Answer::No});
    ASSERT_EQ(next.ui.messages.size(), 1u);
    EXPECT_EQ(next.ui.messages[0].text, "保存されていない交信が 2 件あります。復元しますか？");
    EXPECT_EQ(next.s.Doc.Log.count(), 0);
    EXPECT_FALSE(fs::exists(journal::pathFor(home, "")));
    next.type("JA1CCC", 3);
    EXPECT_TRUE(fs::exists(journal::pathFor(home, "")));
    next.ui.answers = {Answer::No};  // the exit's "save?": no
    EXPECT_TRUE(next.s.Files.QueryUnload());
    EXPECT_FALSE(fs::exists(journal::pathFor(home, "")));
  }
  // The exit's question answered: the operator decided, nothing is offered.
  Start last(home);
  EXPECT_TRUE(last.ui.messages.empty());
}

// Each kind of change replays to the log it made; marks of the search alone
// write nothing; a torn last entry and a journal over other bytes are left
// out.
TEST(JournalReplay, EveryKindOfChange) {
  char tmpl[] = "/tmp/tamarack-jreplay-XXXXXX";
  ASSERT_NE(::mkdtemp(tmpl), nullptr);
  const std::string path = std::string(tmpl) + "/x.tmk.journal";

  LogData base;
  for (int i = 1; i <= 6; ++i) base.append(qso("JA1A" + std::to_string(i), i));
  const std::string baseBytes = logfile::encodeLog(base, 7, noProgress());
  base[1].TestNo = 7;

  struct Step {
    const char* what;
    std::function<void(LogData&)> change;
    bool appended = false;  // told as a QSO registered at the end
  };
  const Step steps[] = {
      {"register", [](LogData& l) { l.append(qso("JR9NEW", 30)); }, true},
      {"edit", [](LogData& l) { l[2].RcvdNo = "11M"; }},
      {"register again", [](LogData& l) { l.append(qso("JR8TWO", 31)); }, true},
      {"insert, renumbered", [](LogData& l) {
         l.insert(3, qso("JH3INS", 2));
         for (int i = 1; i <= l.count(); ++i) l[i].QsoNo = static_cast<std::int16_t>(i);
       }},
      {"delete", [](LogData& l) { l.erase(5); }},
      {"time shift", [](LogData& l) {
         for (int i = 1; i <= l.count(); ++i) l[i].QsoTime = ole::addSeconds(l[i].QsoTime, 3600);
       }},
      {"delete the last", [](LogData& l) { l.resize(l.count() - 1); }},
  };
  Journal j;
  j.begin(path, baseBytes, base);
  LogData log = base;
  int changes = 0;
  for (const Step& st : steps) {
    st.change(log);
    ASSERT_TRUE(st.appended ? j.recordAppended(log) : j.record(log)) << st.what;
    ++changes;
    const auto r = journal::read(path, baseBytes);
    ASSERT_TRUE(r) << st.what;
    EXPECT_EQ(r->changes, changes) << st.what;
    EXPECT_EQ(dataOf(r->log), dataOf(log)) << st.what;
  }

  // The search's marks are no change of the operator's.
  const auto size = fs::file_size(path);
  log[1].Dupe = 1;
  log[2].Points = 3;
  log[3].Mlt = "13";
  ASSERT_TRUE(j.record(log));
  EXPECT_EQ(fs::file_size(path), size);

  // A crash inside an append: the whole entries before it still replay.
  log[1].Remarks = "cut";
  ASSERT_TRUE(j.record(log));
  fs::resize_file(path, fs::file_size(path) - 3);
  auto torn = journal::read(path, baseBytes);
  ASSERT_TRUE(torn);
  EXPECT_EQ(torn->changes, changes);

  // Made over another file's bytes (the log was saved since): nothing.
  EXPECT_FALSE(journal::read(path, baseBytes.substr(logfile::kRecordSize)));
  EXPECT_FALSE(journal::read(path + ".none", baseBytes));
  fs::remove_all(tmpl);
}

}  // namespace

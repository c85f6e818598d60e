// The File-menu commands and the routines under them, driven through
// scripted answers and a recording stand-in for the main window.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <vector>

#include "log/fileio.h"
#include "log/logcommands.h"
#include "log/logfile.h"
#include "scripted_ui.h"

namespace {

namespace fs = std::filesystem;

class RecordingWindow : public LogWindow {
 public:
  std::vector<std::string> calls;
  std::string status;
  const LogData* log = nullptr;
  int countAtSearch = -1;

  void LogDataSearch() override {
    calls.push_back("search");
    countAtSearch = log ? log->count() : -1;
  }
  void clearGrid() override { calls.push_back("clear"); }
  void scrollGridTo(int row) override { calls.push_back("scroll " + std::to_string(row)); }
  void setLogFileText(const std::string& path) override { status = path; }
  void mnuOn() override { calls.push_back("mnuOn"); }
  void showMyData() override { calls.push_back("mydata"); }
  void showInput() override { calls.push_back("input"); }

  bool called(const std::string& c) const {
    for (const auto& s : calls)
      if (s == c) return true;
    return false;
  }
};

class CountingProgress : public Progress {
 public:
  int maximum = -1, last = 0, finished = 0;
  void start(int m) override { maximum = m; }
  void step(int v) override { last = v; }
  void finish() override { ++finished; }
};

QsoRecord qso(const std::string& call, int minute, std::int16_t testNo = 0) {
  QsoRecord r;
  r.Band = "7";
  r.Mode = "CW";
  r.QsoTime = ole::fromDateTime(2024, 4, 29, 21, minute, 0);
  r.CallSign = call;
  r.SentRst = "599";
  r.SentNo = "13M";
  r.RcvdRst = "599";
  r.RcvdNo = "10H";
  r.Remarks = "１２３４５６７８９０１２";
  r.TestNo = testNo;
  return r;
}

class LogFilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char tmpl[] = "/tmp/tamarack-logfile-XXXXXX";
    ASSERT_NE(::mkdtemp(tmpl), nullptr);
    home = tmpl;
    fs::create_directory(home + "/Log");
    window.log = &doc.Log;
    doc.State.GridPageRows = 100;
  }
  void TearDown() override {
    std::error_code ec;
    fs::permissions(home, fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove_all(home, ec);
  }

  void fill(int n, std::int16_t testNo = 0) {
    for (int i = 1; i <= n; ++i) doc.Log.append(qso("JA1AA" + std::to_string(i), i, i == 1 ? testNo : 0));
  }
  std::string path(const std::string& name) const { return home + "/Log/" + name; }
  static std::string contents(const std::string& p) {
    std::string s;
    fileio::readAll(p, s);
    return s;
  }
  static void write(const std::string& p, const std::string& bytes) {
    std::ofstream(p, std::ios::binary) << bytes;
  }
  // A file of n records numbered from `from`, record 1 stamped testNo.
  static std::string fileOf(int n, int from, std::int16_t testNo) {
    LogData l;
    for (int i = 0; i < n; ++i) {
      QsoRecord r = qso("JR2BB" + std::to_string(i), i);
      l.append(r);
      l[l.count()].QsoNo = static_cast<std::int16_t>(from + i);
    }
    return logfile::encodeLog(l, testNo, noProgress());
  }
  const std::string& lastText() const { return ui.messages.back().text; }

  std::string home;
  LogDocument doc;
  ScriptedUi ui;
  RecordingWindow window;
  CountingProgress progress;
  std::int16_t contestNo = 7;
  std::map<int, std::string> names{{5, "ALL JA"}, {7, "6m AND DOWN"}};

  LogFiles make() {
    return LogFiles(doc, ui, window, progress, home,
                    {[this] { return contestNo; },
                     [this](std::int16_t n) { return names.count(n) ? names[n] : std::string(); }});
  }
};

// ---- Save ----

TEST_F(LogFilesTest, SaveCloseOpenComesBackByteIdentical) {
  LogFiles f = make();
  fill(3);
  doc.State.LogDirty = 1;
  ui.files.push_back(path("contest.def.txt"));
  f.Save();

  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].text, "ログデータを保存します");
  EXPECT_EQ(ui.messages[0].buttons, Buttons::OkCancel);
  EXPECT_EQ(ui.messages[0].title, "ログの保存");
  ASSERT_EQ(ui.dialogs.size(), 1u);
  EXPECT_EQ(ui.dialogs[0].filter, "Tamarack　ログファイル (*.tmk)|*.tmk|");
  EXPECT_EQ(ui.dialogs[0].initialDir, home + "/Log/");
  EXPECT_TRUE(ui.dialogs[0].overwritePrompt);

  const std::string saved = path("contest.tmk");
  EXPECT_EQ(doc.State.LogFileName, saved);
  EXPECT_EQ(window.status, saved);
  EXPECT_EQ(doc.State.LogDirty, 0);
  const std::string first = contents(saved);
  ASSERT_EQ(first.size(), 303u);
  EXPECT_EQ(first.substr(99, 2), std::string("\x07\x00", 2));
  EXPECT_EQ(first.substr(101 + 99, 2), std::string("\x00\x00", 2));
  EXPECT_EQ(std::distance(fs::directory_iterator(home + "/Log"), fs::directory_iterator()), 1);

  f.Close();  // saved, so no question
  EXPECT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(doc.Log.count(), 0);
  EXPECT_EQ(doc.State.LogFileName, "");
  EXPECT_TRUE(window.called("clear"));

  ui.files.push_back(saved);
  f.Open();
  ASSERT_EQ(doc.Log.count(), 3);
  EXPECT_EQ(window.countAtSearch, 3);
  EXPECT_EQ(doc.State.LogFileName, saved);
  EXPECT_EQ(doc.State.LogTestNo, 7);
  EXPECT_EQ(doc.Log[1].Remarks.trimmed(), "１２３４５６７８９０");
  EXPECT_EQ(progress.maximum, 3);
  EXPECT_EQ(progress.last, 3);

  ASSERT_TRUE(f.DataSave(path("again.tmk")));
  EXPECT_EQ(contents(path("again.tmk")), first);
}

TEST_F(LogFilesTest, RecordOneIsStampedAndAnotherContestIsAskedAbout) {
  LogFiles f = make();
  fill(2);
  ASSERT_TRUE(f.DataSave(path("a.tmk")));
  EXPECT_TRUE(ui.messages.empty());  // 0 is stamped without asking
  EXPECT_EQ(doc.Log[1].TestNo, 7);
  EXPECT_EQ(doc.State.LogTestNo, 7);

  doc.Log[1].TestNo = 5;
  doc.State.LogTestNo = 5;
  ui.answers = {Answer::No};
  ASSERT_TRUE(f.DataSave(path("b.tmk")));
  EXPECT_EQ(lastText(),
            "ログのコンテストネーム　ALL JA を、\r\n設定コンテストネーム　6m AND DOWN　に変更しますか？");
  EXPECT_EQ(ui.messages.back().buttons, Buttons::YesNo);
  EXPECT_EQ(contents(path("b.tmk")).substr(99, 2), std::string("\x05\x00", 2));
  EXPECT_EQ(doc.Log[1].TestNo, 5);
  EXPECT_EQ(doc.State.LogTestNo, 5);

  ui.answers = {Answer::Yes};
  ASSERT_TRUE(f.DataSave(path("c.tmk")));
  EXPECT_EQ(contents(path("c.tmk")).substr(99, 2), std::string("\x07\x00", 2));
  EXPECT_EQ(doc.Log[1].TestNo, 7);
  EXPECT_EQ(doc.State.LogTestNo, 7);
}

TEST_F(LogFilesTest, FailedSaveLeavesTheOldFileAndTheLogAsTheyWere) {
  LogFiles f = make();
  fill(2);
  doc.State.LogDirty = 1;
  const std::string old = path("old.tmk");
  write(old, "previous log");

  // A read-only file is not replaced; the message names it.
  fs::permissions(old, fs::perms::owner_read);
  std::string error;
  EXPECT_FALSE(f.DataSave(old, &error));
  EXPECT_EQ(error, old + "\r\n読み取り専用のファイルです");
  EXPECT_EQ(lastText(), error);
  fs::permissions(old, fs::perms::owner_read | fs::perms::owner_write);
  EXPECT_EQ(contents(old), "previous log");
  EXPECT_EQ(doc.State.LogDirty, 1);
  EXPECT_EQ(doc.Log[1].TestNo, 0);  // not stamped either

  // A folder that is gone.
  EXPECT_FALSE(f.DataSave(home + "/gone/x.tmk", &error));
  EXPECT_EQ(error, home + "/gone/x.tmk\r\n" + std::strerror(ENOENT));
  EXPECT_EQ(doc.State.LogDirty, 1);

  // A read-only folder (root writes anywhere, so only checked for others).
  if (::geteuid() != 0) {
    const std::string ro = home + "/ro";
    fs::create_directory(ro);
    write(ro + "/log.tmk", "kept");
    fs::permissions(ro, fs::perms::owner_read | fs::perms::owner_exec);
    EXPECT_FALSE(f.DataSave(ro + "/log.tmk", &error));
    EXPECT_EQ(contents(ro + "/log.tmk"), "kept");
    fs::permissions(ro, fs::perms::owner_all);
  }

  // The Save command keeps the name it had when the save fails.
  doc.State.LogFileName = "";
  ui.messages.clear();
  ui.files.push_back(home + "/gone/y");
  f.Save();
  EXPECT_EQ(doc.State.LogFileName, "");
  EXPECT_EQ(window.status, "");
}

TEST_F(LogFilesTest, CharactersShiftJisCannotHoldAreNamedOnceOnSave) {
  LogFiles f = make();
  fill(3);
  doc.Log[2].Remarks = "서울 😀";
  doc.Log[3].Remarks = "한";
  doc.Log[3].CallSign = "JA1😀";
  ASSERT_TRUE(f.DataSave(path("x.tmk")));
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(lastText(), "Shift-JIS で表せない文字を「?」に置き換えて保存します：\r\n"
                        "備考 (No.2)、ｺｰﾙｻｲﾝ (No.3)");
  EXPECT_EQ(ui.messages[0].icon, Icon::Exclamation);
  // Nothing to replace: nothing said.
  ui.messages.clear();
  doc.Log[2].Remarks = "ソウル";
  doc.Log[3].Remarks = "";
  doc.Log[3].CallSign = "JA1ABC";
  ASSERT_TRUE(f.DataSave(path("x.tmk")));
  EXPECT_TRUE(ui.messages.empty());
}

TEST_F(LogFilesTest, SaveAsProposesTheCurrentNameAndNeverOverwritesUnasked) {
  LogFiles f = make();
  fill(1);
  doc.State.LogFileName = path("cur.tmk");
  write(path("log.tmk"), "other log");

  // The dialog saw "log", which does not exist; the rule makes it log.tmk.
  ui.files.push_back(path("log"));
  ui.answers = {Answer::Ok, Answer::No};
  f.SaveAs();
  EXPECT_EQ(ui.messages[0].text, "名前を付けてログを保存します");
  EXPECT_EQ(ui.messages[0].title, "名前を付けてログを保存");
  EXPECT_EQ(ui.messages[1].text, path("log.tmk") + " は既に存在します。\r\n上書きしますか？");
  EXPECT_EQ(ui.dialogs[0].filter, "Tamarack　ログ ファイル (*.tmk)|*.tmk|");
  EXPECT_EQ(ui.dialogs[0].fileName, path("cur.tmk"));
  EXPECT_EQ(contents(path("log.tmk")), "other log");
  EXPECT_EQ(doc.State.LogFileName, path("cur.tmk"));

  ui.files.push_back(path("log"));
  ui.answers = {Answer::Ok, Answer::Yes};
  f.SaveAs();
  EXPECT_EQ(contents(path("log.tmk")).size(), 101u);
  EXPECT_EQ(doc.State.LogFileName, path("log.tmk"));
  EXPECT_EQ(window.status, path("log.tmk"));

  // Cancel at the question: no dialog.
  ui.answers = {Answer::Cancel};
  const auto dialogs = ui.dialogs.size();
  f.SaveAs();
  EXPECT_EQ(ui.dialogs.size(), dialogs);
}

// ---- Read ----

TEST_F(LogFilesTest, AnotherContestsLogIsReadOnlyWhenWanted) {
  LogFiles f = make();
  const std::string other = path("other.tmk");
  write(other, fileOf(2, 1, 5));

  fill(4);
  doc.State.LogFileName = path("mine.tmk");
  doc.State.LogDirty = 1;
  doc.State.LogTestNo = 7;
  ui.files.push_back(other);
  ui.answers = {Answer::Yes, Answer::No};  // discard the changes: yes; the other contest's log: no
  f.Open();
  EXPECT_EQ(lastText(),
            "このデータは　ALL JA　のログデータです\r\nコンテスト設定と違いますが読み込みますか？");
  // Everything as before the command: the log, its name, its changed mark;
  // a later save writes the same log to the same file.
  EXPECT_EQ(doc.Log.count(), 4);
  EXPECT_EQ(doc.Log[4].CallSign.trimmed(), "JA1AA4");
  EXPECT_EQ(doc.State.LogFileName, path("mine.tmk"));
  EXPECT_EQ(window.status, path("mine.tmk"));
  EXPECT_EQ(doc.State.LogDirty, 1);
  EXPECT_EQ(doc.State.LogTestNo, 7);
  EXPECT_FALSE(window.called("clear"));
  EXPECT_FALSE(window.called("search"));
  EXPECT_EQ(contents(other), fileOf(2, 1, 5));

  // At start-up the declined log is not the log's file: typed QSOs never
  // go into it unasked.
  doc.Log.clear();
  doc.State.LogFileName = other;
  ui.answers = {Answer::No};
  f.OpenLastLog();
  EXPECT_EQ(doc.Log.count(), 0);
  EXPECT_EQ(doc.State.LogFileName, "");
  EXPECT_EQ(window.status, "");

  window.calls.clear();
  ui.answers = {Answer::Yes, Answer::Yes};
  EXPECT_EQ(f.LogRead(other), LogFiles::ReadResult::Read);
  EXPECT_EQ(doc.Log.count(), 2);
  EXPECT_EQ(lastText(), "コンテスト設定を変更しますか？");
  EXPECT_EQ(window.calls, (std::vector<std::string>{"search", "mydata"}));

  // No contest set, or the same one: no question.
  ui.messages.clear();
  contestNo = 0;
  EXPECT_EQ(f.LogRead(other), LogFiles::ReadResult::Read);
  contestNo = 5;
  EXPECT_EQ(f.LogRead(other), LogFiles::ReadResult::Read);
  EXPECT_TRUE(ui.messages.empty());
}

TEST_F(LogFilesTest, LastLogAtStartUp) {
  LogFiles f = make();
  write(path("last.tmk"), fileOf(3, 1, 7));
  doc.State.LogFileName = path("last.tmk");
  f.OpenLastLog();
  EXPECT_EQ(doc.Log.count(), 3);
  EXPECT_EQ(window.status, path("last.tmk"));

  // A log that is gone: empty, still searched, the name kept.
  doc.State.LogFileName = path("gone.tmk");
  window.calls.clear();
  f.OpenLastLog();
  EXPECT_EQ(doc.Log.count(), 0);
  EXPECT_TRUE(window.called("search"));
  EXPECT_EQ(doc.State.LogFileName, path("gone.tmk"));
  EXPECT_EQ(window.status, path("gone.tmk"));
  EXPECT_TRUE(ui.messages.empty());

  // A name that is a folder: told, and not taken as the log's file.
  doc.State.LogFileName = home + "/Log";
  f.OpenLastLog();
  EXPECT_EQ(lastText(), std::strerror(EISDIR));
  EXPECT_EQ(doc.State.LogFileName, "");

  doc.State.LogFileName = "";
  window.calls.clear();
  f.OpenLastLog();
  EXPECT_TRUE(window.calls.empty());
}

TEST_F(LogFilesTest, BadFilesNeverHarmTheOpenLog) {
  LogFiles f = make();
  fill(4);
  doc.State.LogFileName = path("mine.tmk");

  // A folder chosen in the dialog.
  ui.files.push_back(home + "/Log");
  f.Open();
  EXPECT_EQ(lastText(), std::strerror(EISDIR));
  EXPECT_EQ(doc.Log.count(), 4);
  EXPECT_EQ(doc.State.LogFileName, path("mine.tmk"));

  // An unreadable file (root reads anything).
  if (::geteuid() != 0) {
    write(path("locked.tmk"), fileOf(1, 1, 0));
    fs::permissions(path("locked.tmk"), fs::perms::none);
    EXPECT_EQ(f.LogRead(path("locked.tmk")), LogFiles::ReadResult::Failed);
    EXPECT_EQ(lastText(), std::strerror(EACCES));
    EXPECT_EQ(doc.Log.count(), 4);
  }

  // A FIFO or a device is refused at once, never waited on or read for ever.
  ASSERT_EQ(::mkfifo(path("fifo.tmk").c_str(), 0600), 0);
  EXPECT_EQ(f.LogRead(path("fifo.tmk")), LogFiles::ReadResult::Failed);
  EXPECT_EQ(lastText(), "通常のファイルではありません");
  EXPECT_EQ(f.LogAppend("/dev/zero"), LogFiles::AppendResult::Failed);
  EXPECT_EQ(lastText(), "通常のファイルではありません");
  EXPECT_EQ(doc.Log.count(), 4);

  // More records than a log can hold.
  write(path("huge.tmk"), std::string(logfile::kRecordSize * (kMaxQso + 1), ' '));
  EXPECT_EQ(f.LogRead(path("huge.tmk")), LogFiles::ReadResult::Failed);
  EXPECT_EQ(lastText(), "このファイルのログデータは32767件を超えるため読み込めません");
  EXPECT_EQ(doc.Log.count(), 4);
  EXPECT_EQ(doc.Log[1].CallSign.trimmed(), "JA1AA1");
}

// Going on with a cut last record reads the whole records before it.
TEST_F(LogFilesTest, OddLengthsKeepTheWholeRecords) {
  LogFiles f = make();
  const auto count = [&](const std::string& bytes) {
    write(path("odd.tmk"), bytes);
    EXPECT_EQ(f.LogRead(path("odd.tmk")), LogFiles::ReadResult::Read);
    return doc.Log.count();
  };
  contestNo = 0;
  const std::string three = fileOf(3, 1, 0);
  EXPECT_EQ(count(""), 0);
  EXPECT_EQ(count(three.substr(0, 60)), 0);
  EXPECT_EQ(count(three.substr(0, 2 * 101 + 30)), 2);
  EXPECT_EQ(count(three.substr(0, 2 * 101 + 80)), 2);  // truncated last record
  EXPECT_EQ(window.countAtSearch, 2);
  EXPECT_EQ(ui.messages.size(), 3u);  // each cut file told, the empty one not
}

TEST_F(LogFilesTest, AFileThatIsNoLogIsRefusedByName) {
  LogFiles f = make();
  fill(4);
  doc.State.LogFileName = path("mine.tmk");
  doc.State.LogDirty = 0;
  std::string cty;
  for (int i = 0; i < 40; ++i)
    cty += "Afghanistan:              21:  40:  AS:   33.00:   -65.00:    -4.5:  YA:\r\n"
           "    T6,YA;\r\n";
  const std::string ctyPath = home + "/Cty.dat";
  write(ctyPath, cty);

  ui.files.push_back(ctyPath);
  f.Open();
  EXPECT_EQ(lastText(), ctyPath + " はログファイルではありません");
  EXPECT_EQ(doc.Log.count(), 4);
  EXPECT_EQ(doc.State.LogFileName, path("mine.tmk"));
  EXPECT_EQ(window.status, path("mine.tmk"));

  ui.answers = {Answer::Ok};
  ui.files.push_back(ctyPath);
  f.Append();
  EXPECT_EQ(lastText(), ctyPath + " はログファイルではありません");
  EXPECT_EQ(doc.Log.count(), 4);

  // Random bytes are no log either.
  std::string junk(101 * 50, '\0');
  unsigned x = 12345;
  for (char& c : junk) c = static_cast<char>((x = x * 1103515245u + 12345u) >> 16);
  write(path("junk.tmk"), junk);
  EXPECT_EQ(f.LogRead(path("junk.tmk")), LogFiles::ReadResult::Failed);
  EXPECT_EQ(doc.Log.count(), 4);
  EXPECT_EQ(fileio::readAll(ctyPath, cty), true);
  EXPECT_EQ(cty.size(), 40u * 86u);  // the country file is untouched
}

TEST_F(LogFilesTest, ScrollShowsTheLastQso) {
  LogFiles f = make();
  write(path("five.tmk"), fileOf(5, 1, 7));
  doc.State.GridPageRows = 2;
  f.LogRead(path("five.tmk"));
  EXPECT_TRUE(window.called("scroll 4"));
  window.calls.clear();
  doc.State.GridPageRows = 10;
  f.LogRead(path("five.tmk"));
  EXPECT_EQ(window.calls, std::vector<std::string>{"search"});
}

// ---- Append ----

TEST_F(LogFilesTest, AppendKeepsTheAppendedFilesNumbers) {
  LogFiles f = make();
  fill(5, 7);
  doc.State.LogFileName = path("mine.tmk");
  write(path("two.tmk"), fileOf(2, 8, 7));
  ui.files.push_back(path("two.tmk"));
  f.Append();
  EXPECT_EQ(ui.messages[0].text, "ログデータに別のログデータを連結します");
  EXPECT_EQ(ui.messages[0].buttons, Buttons::OkCancel);
  EXPECT_EQ(ui.messages[0].title, "ログを連結");
  ASSERT_EQ(doc.Log.count(), 7);
  std::vector<int> numbers;
  for (int i = 1; i <= 7; ++i) numbers.push_back(doc.Log[i].QsoNo);
  EXPECT_EQ(numbers, (std::vector<int>{1, 2, 3, 4, 5, 8, 9}));
  EXPECT_EQ(doc.Log[6].TestNo, 7);  // records keep their own TestNo
  EXPECT_EQ(doc.State.LogDirty, 1);
  EXPECT_EQ(window.countAtSearch, 7);
  EXPECT_EQ(doc.State.LogFileName, path("mine.tmk"));
}

TEST_F(LogFilesTest, AppendThatCannotBeDoneChangesNothing) {
  LogFiles f = make();
  ui.answers = {Answer::Ok};
  f.Append();
  EXPECT_EQ(lastText(), "ログデータがありません！");
  EXPECT_EQ(ui.messages.back().title, "ログを連結");
  EXPECT_TRUE(ui.dialogs.empty());

  fill(3);
  write(path("five.tmk"), fileOf(5, 1, 5));
  ui.answers = {Answer::No};
  EXPECT_EQ(f.LogAppend(path("five.tmk")), LogFiles::AppendResult::Declined);
  EXPECT_EQ(doc.Log.count(), 3);
  EXPECT_EQ(doc.State.LogDirty, 0);
  EXPECT_FALSE(window.called("search"));

  doc.Log.resize(kMaxQso - 4);
  EXPECT_EQ(f.LogAppend(path("five.tmk")), LogFiles::AppendResult::Failed);
  EXPECT_EQ(lastText(), "連結するとログデータが32767件を超えるため連結できません");
  EXPECT_EQ(doc.Log.count(), kMaxQso - 4);
  EXPECT_EQ(doc.State.LogDirty, 0);

  EXPECT_EQ(f.LogAppend(home + "/Log"), LogFiles::AppendResult::Failed);
  EXPECT_EQ(doc.Log.count(), kMaxQso - 4);

  // A missing file appends nothing, yet the log is searched and marked.
  EXPECT_EQ(f.LogAppend(path("gone.tmk")), LogFiles::AppendResult::Missing);
  EXPECT_TRUE(window.called("search"));
  EXPECT_EQ(doc.State.LogDirty, 1);
}

// ---- New, close, exit ----

TEST_F(LogFilesTest, CloseAndNewKeepTheLogWhenItsSaveDoesNotHappen) {
  LogFiles f = make();
  fill(2);
  doc.State.LogDirty = 1;

  // Yes, then the save dialog cancelled: the log stays open.
  f.Close();
  EXPECT_EQ(ui.messages[0].text, "ログを保存しますか？");
  EXPECT_EQ(ui.messages[0].buttons, Buttons::YesNo);
  EXPECT_EQ(ui.messages[0].title, "ログの保存");
  EXPECT_EQ(doc.Log.count(), 2);

  // Yes, and the save fails.
  ui.files.push_back(home + "/gone/x");
  f.NewLog();
  EXPECT_EQ(doc.Log.count(), 2);
  EXPECT_FALSE(window.called("input"));

  // Yes and saved: emptied, the input window shown.
  ui.files.push_back(path("saved"));
  f.NewLog();
  EXPECT_EQ(doc.Log.count(), 0);
  EXPECT_EQ(doc.State.LogDirty, 0);
  EXPECT_EQ(contents(path("saved.tmk")).size(), 202u);
  EXPECT_EQ(doc.State.LogFileName, "");
  EXPECT_EQ(window.calls.back(), "input");

  // No: emptied without saving; LogDirty is left as it was.
  fill(1);
  doc.State.LogDirty = 1;
  ui.answers = {Answer::No};
  f.Close();
  EXPECT_EQ(doc.Log.count(), 0);
  EXPECT_EQ(doc.State.LogDirty, 1);
  EXPECT_EQ(window.calls.back(), "mnuOn");
}

TEST_F(LogFilesTest, ExitSavesUnderTheChosenNameAsItIs) {
  LogFiles f = make();
  EXPECT_TRUE(f.QueryUnload());  // nothing to save
  EXPECT_TRUE(ui.messages.empty());

  fill(1);
  doc.State.LogDirty = 1;
  ui.answers = {Answer::Cancel};
  EXPECT_FALSE(f.QueryUnload());
  EXPECT_EQ(lastText(), "ログファイルを保存しますか？？");
  EXPECT_EQ(ui.messages.back().buttons, Buttons::YesNoCancel);
  EXPECT_EQ(ui.messages.back().icon, Icon::Question);
  EXPECT_EQ(ui.messages.back().title, "Tamarack");

  EXPECT_FALSE(f.QueryUnload());  // Yes, dialog cancelled: keeps running
  ui.files.push_back(home + "/gone/x");
  EXPECT_FALSE(f.QueryUnload());  // Yes, save failed: keeps running
  EXPECT_EQ(doc.State.LogFileName, "");

  ui.files.push_back(path("final"));
  EXPECT_TRUE(f.QueryUnload());
  EXPECT_EQ(contents(path("final")).size(), 101u);
  EXPECT_EQ(doc.State.LogFileName, path("final"));

  doc.State.LogDirty = 1;
  ui.answers = {Answer::No};
  EXPECT_TRUE(f.QueryUnload());
}

TEST_F(LogFilesTest, OpenAsksBeforeDiscardingAChangedLog) {
  LogFiles f = make();
  fill(2);
  doc.State.LogDirty = 1;
  ui.answers = {Answer::No};
  f.Open();
  EXPECT_EQ(lastText(), "ログデータを破棄して新しいログを開きますか？");
  EXPECT_EQ(ui.messages.back().title, "ログを開く");
  EXPECT_TRUE(ui.dialogs.empty());

  f.Open();  // Yes, dialog cancelled: nothing changes
  EXPECT_EQ(doc.Log.count(), 2);
  ASSERT_EQ(ui.dialogs.size(), 1u);
  EXPECT_EQ(ui.dialogs[0].filter, "Tamarack　ログファイル (*.tmk)|*.tmk|");
  EXPECT_FALSE(ui.dialogs[0].overwritePrompt);
  EXPECT_FALSE(window.called("mnuOn"));
}

}  // namespace

// A file cut inside its last record: told when read; No leaves the open log
// and its file as they were, Yes reads the whole records and marks the log
// changed (the next save drops the cut record for good).
TEST_F(LogFilesTest, TornLastRecordIsTold) {
  LogFiles f = make();
  const std::string torn = path("torn.tmk");
  const std::string bytes = fileOf(3, 1, 7);
  write(torn, bytes.substr(0, bytes.size() - 40));

  fill(2);
  doc.State.LogFileName = path("mine.tmk");
  ui.files.push_back(torn);
  ui.answers = {Answer::No};
  f.Open();
  EXPECT_EQ(lastText(), "最後の交信データが壊れているため読み込めませんでした。\r\nこのまま続けますか？");
  EXPECT_EQ(doc.Log.count(), 2);
  EXPECT_EQ(doc.State.LogFileName, path("mine.tmk"));
  EXPECT_EQ(doc.State.LogDirty, 0);

  ui.files.push_back(torn);
  ui.answers = {Answer::Yes};
  f.Open();
  EXPECT_EQ(doc.Log.count(), 2);
  EXPECT_EQ(doc.Log[2].CallSign.trimmed(), "JR2BB1");
  EXPECT_EQ(doc.State.LogFileName, torn);
  EXPECT_EQ(doc.State.LogDirty, 1);

  // Appending such a file asks the same; No appends nothing.
  ui.answers = {Answer::No};
  EXPECT_EQ(f.LogAppend(torn), LogFiles::AppendResult::Failed);
  EXPECT_EQ(doc.Log.count(), 2);
}

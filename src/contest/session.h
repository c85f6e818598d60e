// The open log as one object: the program folder, its settings, the contest
// definition with its section list, the country tables, the log document,
// its grid rows and score, and what the program does to them. The main
// window, the command-line tool and the tests each open one; nobody else
// assembles these pieces.
#pragma once
#include <memory>
#include <string>

#include "contest/callhistory.h"
#include "contest/contestdef.h"
#include "contest/cty.h"
#include "contest/liveindex.h"
#include "contest/search.h"
#include "log/clock.h"
#include "log/grid.h"
#include "log/logcommands.h"
#include "log/progress.h"
#include "log/qso.h"
#include "log/settings.h"
#include "log/settingsfile.h"
#include "log/ui.h"
#include "log/unattendedui.h"

class Session : public LogWindow {
 public:
  // view shows the log (the main window); the file commands scroll it and
  // name the file in it.
  Session(std::string programFolder, Ui& ui, const Clock& clock, Progress& progress,
          LogView& view);
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  // ---- What is open
  const std::string ProgramFolder;  // no trailing "/"
  LogDocument Doc;
  Settings Ini;
  ContestDefinition Contest;
  SectionList Sections;
  CtyTables Cty;
  ScoreTable Score;
  // What the entry window asks per keystroke; rebuilt by every search.
  LiveIndex Live;
  // The grid's rows (row 0 the header); the main window's grid shows them.
  GridRows GridData;
  // The call history of the operator's earlier logs, once built in the
  // background; empty until then.
  std::shared_ptr<const CallHistory> History;
  // The signature of the electronic log: asked for when the log is made, not kept.
  std::string JarlSignature;
  // Manual-time mode of the entry windows (1 = the time is typed); memory only.
  int TimeMnl = 0;
  // The File commands over this log.
  LogFiles Files;

  Ui& ui() const { return ui_; }
  const Clock& clock() const { return clock_; }
  Progress& progress() const { return progress_; }

  // ---- The program folder's files
  std::string iniPath() const { return ProgramFolder + "/Tamarack.ini"; }
  // Reads the settings file; the document takes the definition and log
  // file names it holds.
  IniReadResult readSettings(std::string* error);
  // Writes the settings file (atomically) with the document's definition
  // and log file names.
  bool writeSettings(std::string* error);
  // The settings file written now, as a settings window's OK and the exit
  // do: a failure, and characters saved as "?", are told through the Ui. A
  // settings file that could not be read at start is never replaced (told
  // once). False when nothing was written.
  bool saveSettings();
  // The program's window works on this session: the log keeps a journal,
  // and the settings file is written whenever the log's file changes, so
  // that a crash loses neither QSOs nor the log to reopen.
  void enableSafeguards();
  // Reads a contest definition and applies it. A definition found under
  // another folder becomes the document's and the settings' definition.
  CfgReadResult readDefinition(const std::string& path);
  CtyReadResult readCountryFile();
  // The settings file, the definition it names and the country file, as a
  // start reads them. False (with the reason) only when the settings file
  // cannot be read; a missing definition or country file is told.
  bool openFolder(std::string* error);

  // ---- The log
  // Every change to the log reaches the journal through here before the
  // grid shows it (the search below does it too).
  void journalChange() { Files.recordChange(); }
  // journalChange() for a QSO registered at the end of the log.
  void journalAppended() { Files.recordAppended(); }
  // The dupe and multiplier search over the whole log: marks and score.
  void search();
  // The search, then the grid rebuilt from the log.
  void LogDataSearch() override;
  // Rebuilds the grid from the log.
  void FrmLogLoad();
  void clearGrid() override;
  // Rebuilds the log from the grid, renumbering it.
  void LogGridToMem();
  // Sorts grid and log by date and time, re-scores, marks the log changed.
  void TimeSort();

  // ---- The view (forwarded to the window that shows the log)
  void scrollGridTo(int row) override { view_.scrollGridTo(row); }
  void setLogFileText(const std::string& path) override { view_.setLogFileText(path); }
  void mnuOn() override { view_.mnuOn(); }
  void showMyData() override { view_.showMyData(); }
  void showInput() override { view_.showInput(); }
  void logFileChanged() override;

 private:
  bool safeguards_ = false;
  bool settingsUnread_ = false;  // the file was there but could not be read
  bool unreadTold_ = false;
  Ui& ui_;
  const Clock& clock_;
  Progress& progress_;
  LogView& view_;
};

// A view that shows nothing: for sessions without a window.
LogView& noView();

// A session no user watches (the command-line tool): unattended prompts,
// the system clock, no progress and no window.
class UnattendedSession {
 public:
  explicit UnattendedSession(std::string programFolder);

  UnattendedUi ui;
  Session session;

  // The settings file and the definition it names. False with the reason
  // when either cannot be read; messages of the definition's reading that
  // did not stop it (a missing section file) go to *notes.
  bool loadStation(std::string* error, std::string* notes = nullptr);
  // loadStation, the country file (required when the contest searches
  // entities), then the log at logPath, read also when it belongs to another
  // contest, and scored. False with a readable reason in *error.
  bool loadScoredLog(const std::string& logPath, std::string* error);

 private:
  SystemClock clock_;
  std::string cfgPath_;  // the definition read last
};

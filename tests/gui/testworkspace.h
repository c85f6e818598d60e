// A stand-in for the main window: the program's state in plain members and
// the main-window actions done by the same rules, recorded for the tests.
// Tool windows are built over it with no main window at all.
#pragma once
#include <QWidget>
#include <QPointer>
#include <QTemporaryDir>
#include <array>
#include <memory>
#include <string>
#include <vector>

#include "contest/contestdef.h"
#include "contest/cty.h"
#include "contest/search.h"
#include "log/clock.h"
#include "log/grid.h"
#include "log/gui/dialogregistry.h"
#include "log/gui/workspace.h"
#include "log/logcommands.h"
#include "log/progress.h"
#include "log/qso.h"
#include "log/settings.h"
#include "scripted_ui.h"

class TestWorkspace : public Workspace, public LogWindow {
 public:
  TestWorkspace();
  ~TestWorkspace() override;

  // --- the program's state, as the main window keeps it
  QTemporaryDir dir;
  std::string Folder;
  LogDocument Doc;
  Settings Ini;
  GridRows GridData;
  ContestDefinition Contest;
  SectionList Sections;
  CtyTables Cty;
  ScoreTable Score;
  std::string JarlSignature;
  int TimeMnl = 0;
  ScriptedUi Prompts;
  FixedClock Time{ole::fromDateTime(2026, 12, 7, 21, 30, 0)};
  // The main window: a plain widget at a known place.
  std::unique_ptr<QWidget> Main;

  // --- what the windows asked of the main window
  bool menusOn = true;
  int searches = 0, gridLoads = 0, scoreLoads = 0, myDataShown = 0, inputShown = 0;
  int selectedRow = 0, topRow = 0;
  bool thLogReadEnabled = false;
  std::array<std::string, 3> panels;

  // Fills the log with n QSOs a minute apart and shows them.
  void fillLog(int n);

  // Workspace
  LogDocument& doc() override { return Doc; }
  Settings& ini() override { return Ini; }
  GridRows& grid() override { return GridData; }
  const ContestDefinition& contest() const override { return Contest; }
  const SectionList& sections() const override { return Sections; }
  const CtyTables& cty() const override { return Cty; }
  const ScoreTable& score() const override { return Score; }
  const std::string& programFolder() const override { return Folder; }
  std::string& jarlSignature() override { return JarlSignature; }
  int& timeMnl() override { return TimeMnl; }
  Ui& ui() override { return Prompts; }
  const Clock& clock() const override { return Time; }
  Progress& progress() override { return noProgress(); }
  LogFiles& files() override { return *files_; }
  QWidget* mainWidget() override { return Main.get(); }
  bool unloaded() const override { return false; }
  void mnuOff() override { menusOn = false; }
  void mnuOn() override { menusOn = true; }
  void LogDataSearch() override;
  void FrmLogLoad() override;
  void LogGridToMem() override;
  bool CfgRead(const std::string& path) override;
  void ScoreLoad() override { ++scoreLoads; }
  void scrollGridTo(int row) override { topRow = row; }
  void scrollToEnd() override { topRow = -1; }
  void selectGridRow(int row) override { selectedRow = row; }
  void setStatusPanel(int panel, const std::string& text) override;
  void activateMain() override { Main->activateWindow(); }
  void setThLogReadEnabled(bool on) override { thLogReadEnabled = on; }
  void showMyData() override { ++myDataShown; }
  void showInput() override { ++inputShown; }
  void registerDialog(int no, QWidget* w) override;
  void unregisterDialog(int no) override;
  QWidget* openDialog(int no) const override;

  // LogWindow (the File commands)
  void clearGrid() override;
  void setLogFileText(const std::string& path) override { setStatusPanel(3, path); }

 private:
  std::unique_ptr<LogFiles> files_;
  DialogRegistry dialogs_;
};

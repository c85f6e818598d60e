// A stand-in for the main window: a real session over a temporary program
// folder, and the main-window actions recorded for the tests. Tool windows
// are built over it with no main window at all.
#pragma once
#include <QPointer>
#include <QTemporaryDir>
#include <QWidget>
#include <array>
#include <memory>
#include <string>
#include <vector>

#include "contest/gui/workspace.h"
#include "contest/session.h"
#include "log/clock.h"
#include "log/gui/dialogregistry.h"
#include "log/progress.h"
#include "scripted_ui.h"

class TestWorkspace : public Workspace {
 public:
  TestWorkspace();
  ~TestWorkspace() override;

  QTemporaryDir dir;
  ScriptedUi Prompts;
  FixedClock Time{ole::fromDateTime(2026, 12, 7, 21, 30, 0)};
  Session S;
  // The main window: a plain widget at a known place.
  std::unique_ptr<QWidget> Main;

  // --- what the windows asked of the main window
  bool menusOn = true;
  int myDataShown = 0, inputShown = 0;
  int selectedRow = 0, topRow = 0;
  std::vector<int> editedRows;  // editQso, in order
  int historyBuilds = 0;
  std::array<std::string, 3> panels;

  // Fills the log with n QSOs a minute apart and shows them.
  void fillLog(int n);

  // Workspace
  Session& session() override { return S; }
  QWidget* mainWidget() override { return Main.get(); }
  bool unloaded() const override { return false; }
  DialogRegistry& dialogs() override { return dialogs_; }
  void mnuOff() override { menusOn = false; }
  void mnuOn() override { menusOn = true; }
  bool CfgRead(const std::string& path) override;
  void scrollGridTo(int row) override { topRow = row; }
  void selectGridRow(int row) override { selectedRow = row; }
  void editQso(int row) override { editedRows.push_back(row); }
  void setStatusPanel(int panel, const std::string& text) override;
  void setLogFileText(const std::string& path) override { setStatusPanel(3, path); }
  void showMyData() override { ++myDataShown; }
  void showInput() override { ++inputShown; }
  void rebuildCallHistory() override { ++historyBuilds; }

 private:
  DialogRegistry dialogs_{S.Doc.State.OpenDialogNo};
};

// The one door through which a tool window reaches the program: the open
// log as one object (the session) and the few things only the main window
// can do. The main window implements it; window tests put a small stand-in
// of their own in its place, so no window needs the main window.
#pragma once
#include <string>

#include "log/logcommands.h"

class QWidget;
class DialogRegistry;
class Session;

class Workspace : public LogView {
 public:
  // The open log, its settings, contest, country file, grid, prompts and clock.
  virtual Session& session() = 0;
  // The main window itself: windows place themselves relative to it.
  virtual QWidget* mainWidget() = 0;
  // True once the main window is closing down: windows that close with it
  // leave the program's state alone.
  virtual bool unloaded() const = 0;
  // The tool windows open by their OpenDialogNo, so that the main window's
  // Esc and double click reach them.
  virtual DialogRegistry& dialogs() = 0;

  // ---- Main-window actions (with LogView's: scroll, file name, menus on,
  // station data, input window; the last QSO into view is the session's
  // Files.scrollToEnd()).
  virtual void mnuOff() = 0;
  // Loads a contest definition (status panel 1, log_open); true when read.
  virtual bool CfgRead(const std::string& path) = 0;
  // Makes `row` (1-based) the grid's current row.
  virtual void selectGridRow(int row) = 0;
  // Opens the edit window for the QSO of grid row `row` (1-based), made the
  // selected row; nothing opens while another tool window is open.
  virtual void editQso(int row) = 0;
  // Status-bar panels 1..3.
  virtual void setStatusPanel(int panel, const std::string& text) = 0;
  // The history's sources changed in the settings: build it again.
  virtual void rebuildCallHistory() {}
};

// The one door through which a tool window reaches the program: the log
// document, the settings, the contest definition, the country file, the
// prompts, the clock, the progress window and the few main-window actions a
// window calls. The main window implements it; window tests put a small
// stand-in of their own in its place, so no window needs the main window.
#pragma once
#include <string>

class QWidget;
class Clock;
class CtyTables;
class GridRows;
class LogFiles;
class Progress;
class SectionList;
class Ui;
struct ContestDefinition;
struct LogDocument;
struct ScoreTable;
struct Settings;

class Workspace {
 public:
  virtual ~Workspace() = default;

  // ---- State the main window owns for the whole run.
  virtual LogDocument& doc() = 0;
  virtual Settings& ini() = 0;
  // The grid's rows (row 0 the header), mirrored by the main window's grid.
  virtual GridRows& grid() = 0;
  virtual const ContestDefinition& contest() const = 0;
  virtual const SectionList& sections() const = 0;
  virtual const CtyTables& cty() const = 0;
  virtual const ScoreTable& score() const = 0;
  virtual const std::string& programFolder() const = 0;
  // The signature of the electronic log: asked for when the log is made, not kept.
  virtual std::string& jarlSignature() = 0;
  // The manual-time switch the entry windows share; memory only.
  virtual int& timeMnl() = 0;
  virtual Ui& ui() = 0;
  virtual const Clock& clock() const = 0;
  virtual Progress& progress() = 0;
  // The File commands (save, close, ...) over this log.
  virtual LogFiles& files() = 0;
  // The main window itself: windows place themselves relative to it.
  virtual QWidget* mainWidget() = 0;
  // True once the main window is closing down: windows that close with it
  // leave the program's state alone.
  virtual bool unloaded() const = 0;

  // ---- Main-window actions.
  virtual void mnuOff() = 0;
  virtual void mnuOn() = 0;
  // Re-scores the whole log and rebuilds the grid.
  virtual void LogDataSearch() = 0;
  // Rebuilds the grid from the log.
  virtual void FrmLogLoad() = 0;
  // Rebuilds the log from the grid, renumbering it.
  virtual void LogGridToMem() = 0;
  // Loads a contest definition (status panel 1, log_open); true when read.
  virtual bool CfgRead(const std::string& path) = 0;
  // Fills the summary window, opening it when closed.
  virtual void ScoreLoad() = 0;
  // Scrolls so that the grid's top row is `row` (1-based).
  virtual void scrollGridTo(int row) = 0;
  // Brings the last QSO into view.
  virtual void scrollToEnd() = 0;
  // Makes `row` (1-based) the grid's current row.
  virtual void selectGridRow(int row) = 0;
  // Status-bar panels 1..3.
  virtual void setStatusPanel(int panel, const std::string& text) = 0;
  // Gives the focus back to the main window.
  virtual void activateMain() = 0;
  // The HAMLOG reader's menu item follows the database setting.
  virtual void setThLogReadEnabled(bool on) = 0;
  // Other tool windows, modeless.
  virtual void showMyData() = 0;
  virtual void showInput() = 0;

  // ---- Tool windows register while open (OpenDialogNo), so that the main
  // window's Esc can close them.
  virtual void registerDialog(int no, QWidget* w) = 0;
  virtual void unregisterDialog(int no) = 0;
  virtual QWidget* openDialog(int no) const = 0;
};

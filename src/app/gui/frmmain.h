// The main window: the log grid, the menus, the status bar; owner of the
// log, the document state and the settings for the whole run.
#pragma once
#include <QAction>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QPointer>
#include <QTableView>
#include <QUrl>
#include <array>
#include <functional>
#include <memory>
#include <string>

#include "log/settings.h"
#include "contest/contestdef.h"
#include "contest/cty.h"
#include "contest/search.h"
#include "log/logcommands.h"
#include "app/gui/gridmodel.h"
#include "log/clock.h"
#include "log/grid.h"
#include "log/qso.h"
#include "log/gui/dialogregistry.h"
#include "log/gui/workspace.h"
#include "log/ui.h"

class frmBar;

// The log grid: keeps a right click from moving the current row, and tells
// the main window about clicks the way the grid's events are named.
class LogGridView : public QTableView {
  Q_OBJECT
 public:
  using QTableView::QTableView;
  // Brings the scroll range up to date at once (a rebuilt grid would
  // otherwise update it only later).
  void syncGeometries() { updateGeometries(); }
 signals:
  void Click();
  void MouseUp(Qt::MouseButton button, QPoint globalPos);
  void DblClick();

 protected:
  void mousePressEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  void mouseDoubleClickEvent(QMouseEvent* e) override;
};

struct AppEnv {
  std::string ProgramFolder;  // no trailing "/"
};

class frmMain : public QMainWindow, public LogWindow, public Workspace {
  Q_OBJECT
 public:
  frmMain(AppEnv env, Ui& ui, const Clock& clock);
  ~frmMain() override;

  // The start-up sequence.
  void Form_Load();

  // --- state owned for the whole run ---
  AppEnv Env;
  LogDocument Doc;
  Settings Ini;
  GridRows GridData;
  ContestDefinition Contest;
  SectionList Sections;
  CtyTables Cty;
  ScoreTable Score;
  std::unique_ptr<LogFiles> Files;
  // The signature of the electronic log: asked for when the log is made, not kept.
  std::string JarlSignature;
  // Manual-time mode of the entry windows (1 = the time is typed); memory only.
  int TimeMnl = 0;

  // --- the tool windows' door (Workspace)
  LogDocument& doc() override { return Doc; }
  Settings& ini() override { return Ini; }
  GridRows& grid() override { return GridData; }
  const ContestDefinition& contest() const override { return Contest; }
  const SectionList& sections() const override { return Sections; }
  const CtyTables& cty() const override { return Cty; }
  const ScoreTable& score() const override { return Score; }
  const std::string& programFolder() const override { return Env.ProgramFolder; }
  std::string& jarlSignature() override { return JarlSignature; }
  int& timeMnl() override { return TimeMnl; }
  Ui& ui() override { return ui_; }
  const Clock& clock() const override { return clock_; }
  Progress& progress() override;
  LogFiles& files() override { return *Files; }
  QWidget* mainWidget() override { return this; }
  std::string iniPath() const { return Env.ProgramFolder + "/Tamarack.ini"; }

  // --- controls ---
  LogGridView* Grid1;
  GridModel* GridModel1;
  QLabel* StatusPanel[3];
  // menus
  QMenu *m_1, *mnuEdit, *mnuGrdEdit, *mnuSortMnu, *m11, *m4, *m3;
  QAction *mnuNewOpen, *log_open, *AppendOpen, *m1, *LogSave, *mnuSaveAs, *m0, *mCsvOut, *mCsvIn,
      *m7, *mnuLogClose, *m33, *mnuThLogRead, *mnuZlRead, *mnuCabRead, *mnu16, *mnuMakeJaeLog,
      *mnuThConv, *mnuAdiConv, *m6, *owari;
  QAction *mnuDataEdit, *mnuDelete, *mnuAllEdit;
  QAction *mnuLogEdit, *mnuLogIns, *mnuLogDel, *mnu67, *mnuTimeAddDel;
  QAction* mnuTimeSort;
  QAction *mnuInBox, *mnuQTC, *mnuSumary;
  QAction *mnuElogSet, *mnuThSet, *mnuAdiSet;
  QAction *MH1, *abt;

  // --- operations other windows call ---
  void FrmSet();
  void mnuOff() override;
  void mnuOn() override;
  void FrmLogLoad() override;
  // Re-scores the whole log and rebuilds the grid.
  void LogDataSearch() override;
  // Loads a contest definition: status panel 1, log_open; true when read.
  bool CfgRead(const std::string& path) override;
  // Fills the summary window (opening it when closed).
  void ScoreLoad() override;
  void mnuInBox_Click();
  void LogGridToMem() override;
  void TimeSort();
  void setStatusPanel(int panel, const std::string& text) override;  // panels 1..3
  void selectGridRow(int row) override;
  void activateMain() override;
  void setThLogReadEnabled(bool on) override;
  // The progress window of long loops.
  frmBar& bar();

  // Tool windows register while open so that Esc can close them.
  void registerDialog(int no, QWidget* w) override;
  void unregisterDialog(int no) override;
  QWidget* openDialog(int no) const override;

  // Closing question; true when the window may close.
  bool Form_QueryUnload();
  void Form_Unload();
  bool unloaded() const override { return unloaded_; }

  // Menu handlers of this window.
  void owari_Click();
  void MH1_Click();
  void abt_Click();
  void mnuTimeSort_Click();

  // Grid events.
  void Grid1_Click();
  void Grid1_MouseUp(Qt::MouseButton button, QPoint globalPos);
  void Grid1_DblClick();
  void Form_KeyDown(int key);

  // Scrolls so that the grid's top row is `row` (1-based).
  void scrollGridTo(int row) override;
  void clearGrid() override;
  void setLogFileText(const std::string& path) override;
  void showMyData() override;
  void showInput() override;
  // Scroll rule after a read: the last QSO comes into view.
  void scrollToEnd() override;

  // The last help URL asked for, and how it is opened (tests replace it;
  // empty: the desktop's browser, else the program's own help window).
  QString lastHelpUrl;
  std::function<void(const QUrl&)> openUrl;

 protected:
  void closeEvent(QCloseEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;
  void moveEvent(QMoveEvent* e) override;
  void showEvent(QShowEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;
  bool eventFilter(QObject* o, QEvent* e) override;

 private:
  void buildMenus();
  void applyGeometry();
  void storeGeometry();
  void fitKeptFrame();
  void Form_Resize();

  Ui& ui_;
  const Clock& clock_;
  frmBar* bar_ = nullptr;
  DialogRegistry dialogs_;
  bool unloaded_ = false;
  // The settings file exists but could not be read: exit must not replace it.
  bool iniUnread_ = false;
  std::array<std::int32_t, kGridCols> appliedWidths_{};
  // The kept outer size, until the window manager's frame is known.
  QSize keptFrameSize_;
};

// The main window: the log grid, the menus, the status bar; owner of the
// session (the open log, its settings and contest) for the whole run.
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

#include "app/core/programfolder.h"
#include "app/gui/gridmodel.h"
#include "contest/gui/workspace.h"
#include "contest/session.h"
#include "entry/gui/historykeeper.h"
#include "log/clock.h"
#include "log/grid.h"
#include "log/gui/dialogregistry.h"
#include "log/progress.h"
#include "log/ui.h"

class frmBar;

// The log grid: keeps a right click from moving the current row, and tells
// the main window about clicks the way the grid's events are named.
class LogGridView : public QTableView {
  Q_OBJECT
 public:
  using QTableView::QTableView;
  // Brings the layout and the scroll range up to date at once (a rebuilt
  // grid, or one that just took its model, would otherwise do it later).
  void syncGeometries() {
    executeDelayedItemsLayout();
    updateGeometries();
  }
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
  FolderPrepared Prepared;    // what preparing the folder found
  // The window paints itself before the country file, the contest and the
  // last log are read (the program's start; tests load in one go).
  bool PaintFirst = false;
};

class frmMain : public QMainWindow, public Workspace {
  Q_OBJECT
 public:
  frmMain(AppEnv env, Ui& ui, const Clock& clock);
  ~frmMain() override;

  // The start-up sequence.
  void Form_Load();

  // --- the tool windows' door (Workspace)
  Session& session() override { return session_; }
  QWidget* mainWidget() override { return this; }
  bool unloaded() const override { return unloaded_; }
  DialogRegistry& dialogs() override { return dialogs_; }

  // --- controls ---
  // (made in the constructor, or at the program's start once the window is shown)
  LogGridView* Grid1 = nullptr;
  GridModel* GridModel1;
  QLabel* StatusPanel[3] = {};
  // menus
  QMenu *m_1 = nullptr, *mnuEdit = nullptr, *mnuGrdEdit = nullptr, *mnuSortMnu = nullptr,
      *m11 = nullptr, *m4 = nullptr, *m3 = nullptr;
  QAction *mnuNewOpen = nullptr, *log_open = nullptr, *AppendOpen = nullptr, *m1 = nullptr,
      *LogSave = nullptr, *mnuSaveAs = nullptr, *m0 = nullptr, *mCsvOut = nullptr,
      *mCsvIn = nullptr, *m7 = nullptr, *mnuLogClose = nullptr, *m33 = nullptr,
      *mnuThLogRead = nullptr, *mnuZlRead = nullptr, *mnuCabRead = nullptr, *mnu16 = nullptr,
      *mnuCheckLog = nullptr, *mnuMakeJaeLog = nullptr, *mnuThConv = nullptr, *mnuAdiConv = nullptr,
      *m6 = nullptr, *owari = nullptr;
  QAction *mnuDataEdit = nullptr, *mnuDelete = nullptr, *mnuAllEdit = nullptr;
  QAction *mnuLogEdit = nullptr, *mnuLogIns = nullptr, *mnuLogDel = nullptr, *mnu67 = nullptr,
      *mnuTimeAddDel = nullptr;
  QAction *mnuTimeSort = nullptr;
  QAction *mnuInBox = nullptr, *mnuQTC = nullptr, *mnuSumary = nullptr;
  QAction *mnuElogSet = nullptr, *mnuThSet = nullptr, *mnuAdiSet = nullptr;
  QAction *mnuHistorySet = nullptr, *mnuRigSet = nullptr;
  QAction *MH1 = nullptr, *abt = nullptr;

  // --- operations other windows call ---
  void FrmSet();
  void mnuOff() override;
  void mnuOn() override;
  // Loads a contest definition: status panel 1, log_open; true when read.
  bool CfgRead(const std::string& path) override;
  // Fills the summary window, opening it when closed.
  void ScoreLoad();
  void mnuInBox_Click();
  void setStatusPanel(int panel, const std::string& text) override;  // panels 1..3
  void selectGridRow(int row) override;
  void editQso(int row) override;
  void rebuildCallHistory() override;
  // Edit, insert and delete act on the row last clicked, else on the grid's
  // current row; with neither the operator is asked to click one. False
  // when no row is chosen.
  bool chooseRow();
  // The progress window of long loops.
  frmBar& bar();

  // Closing question; true when the window may close.
  bool Form_QueryUnload();
  void Form_Unload();

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
  void setLogFileText(const std::string& path) override;
  void showMyData() override;
  void showInput() override;
  // Scroll rule after a read: the last QSO comes into view.

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
  // The grid, the status bar and the menus.
  void buildControls();
  void buildMenus();
  // Shows the window at once, its controls not yet made (the program's start).
  void showBeforeControls();
  void applyGeometry();
  void storeGeometry();
  void fitKeptFrame();
  void Form_Resize();

  // The progress window, made when a long loop first reports.
  class BarProgress : public Progress {
   public:
    explicit BarProgress(frmMain& m) : m_(m) {}
    void start(int maximum) override;
    void step(int value) override;
    void label(const char* text) override;
    void finish() override;

   private:
    frmMain& m_;
  };

  Ui& ui_;
  // What preparing the program folder found: a first start, shipped files kept.
  FolderPrepared prepared_;
  const bool paintFirst_;
  void paintBeforeLoading();
  // The column widths: the default ones, then those the settings keep.
  void applyColumnWidths();
  // The last QSOs of the last log, shown from its file while it is read.
  void previewLastLog();
  void scrollPreviewToEnd();
  BarProgress progress_{*this};
  frmBar* bar_ = nullptr;
  Session session_;
  DialogRegistry dialogs_{session_.Doc.State.OpenDialogNo};
  bool unloaded_ = false;
  std::array<std::int32_t, kGridCols> appliedWidths_{};
  // The kept outer size, until the window manager's frame is known.
  QSize keptFrameSize_;
  std::unique_ptr<HistoryKeeper> history_;
};

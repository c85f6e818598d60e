#include "app/gui/frmmain.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QHeaderView>
#include <QLayout>
#include <QMenuBar>
#include <QMouseEvent>
#include <QScrollBar>
#include <QStatusBar>
#include <QThread>
#include <QWindow>
#include <QUrl>
#include <cmath>
#include <dlfcn.h>

#include "log/logfile.h"
#include "log/settingsfile.h"
#include "app/core/programfolder.h"
#include "app/gui/frmabout.h"
#include "app/gui/frmhelp.h"
#include "log/gui/frmbar.h"
#include "log/gui/qtui.h"
#include "contest/gui/frmsumary.h"
#include "contest/score.h"
#include "entry/gui/frmaddedit.h"
#include "entry/gui/frmdellog.h"
#include "entry/gui/frmhistoryset.h"
#include "entry/gui/frmrigset.h"
#include "hamlog/gui/frmthread.h"
#include "hamlog/gui/frmthset.h"
#include "entry/gui/frminput.h"
#include "entry/gui/frmmultiedit.h"
#include "entry/gui/frmtime.h"
#include "entry/gui/importcommands.h"
#include "output/gui/frmadifset.h"
#include "output/gui/frmchecklog.h"
#include "output/gui/frmmakelog.h"
#include "output/gui/frmmydata.h"
#include "output/gui/frmqtc.h"

// ---------------------------------------------------------------- grid view

namespace {

// The log grid's column header. Its height is measured in the header's own
// font: the stock header measures every caption in bold as well, which loads
// a second pair of faces before the window first paints, for captions that
// are never drawn bold here.
class LogGridHeader : public QHeaderView {
 public:
  explicit LogGridHeader(QWidget* parent) : QHeaderView(Qt::Horizontal, parent) {}

 protected:
  QSize sectionSizeFromContents(int logicalIndex) const override;
};

QSize LogGridHeader::sectionSizeFromContents(int logicalIndex) const {
  QStyleOptionHeader opt;
  initStyleOption(&opt);
  opt.section = logicalIndex;
  opt.fontMetrics = fontMetrics();
  opt.text = model()->headerData(logicalIndex, orientation(), Qt::DisplayRole).toString();
  return style()->sizeFromContents(QStyle::CT_HeaderSection, &opt, QSize(), this);
}

}  // namespace

void LogGridView::mousePressEvent(QMouseEvent* e) {
  // A right click opens the pop-up menu for the row clicked last; it does
  // not move the current row.
  if (e->button() == Qt::RightButton) {
    e->accept();
    return;
  }
  QTableView::mousePressEvent(e);
}

void LogGridView::mouseReleaseEvent(QMouseEvent* e) {
  if (e->button() != Qt::RightButton) QTableView::mouseReleaseEvent(e);
  if (e->button() == Qt::LeftButton && indexAt(e->position().toPoint()).isValid()) emit Click();
  emit MouseUp(e->button(), e->globalPosition().toPoint());
}

void LogGridView::mouseDoubleClickEvent(QMouseEvent* e) {
  QTableView::mouseDoubleClickEvent(e);
  if (e->button() == Qt::LeftButton) emit DblClick();
}

// ---------------------------------------------------------------- main window


namespace {
// A row of the menus' table (frmMain::buildMenus).
struct MenuRow {
  QMenu* frmMain::*menu = nullptr;
  bool onBar = true;
  QAction* frmMain::*action = nullptr;
  const char* name = nullptr;
  const char* caption = nullptr;
  void (*run)(frmMain&) = nullptr;
};
MenuRow menuRow(QMenu* frmMain::*menu, const char* name, const char* caption, bool onBar = true) {
  return {menu, onBar, nullptr, name, caption, nullptr};
}
MenuRow itemRow(QAction* frmMain::*action, const char* name, const char* caption = nullptr,
                void (*run)(frmMain&) = nullptr) {
  return {nullptr, true, action, name, caption, run};
}
}  // namespace

frmMain::frmMain(AppEnv env, Ui& ui, const Clock& clock)
    : ui_(ui), prepared_(std::move(env.Prepared)), paintFirst_(env.PaintFirst),
      session_(std::move(env.ProgramFolder), ui, clock, progress_, *this) {
  setObjectName(QStringLiteral("frmMain"));
  setWindowTitle(toQ(kProgramTitle));
  GridModel1 = new GridModel(session_.GridData, this);
  // Starting, the window goes to the screen first, bare: its controls are
  // made while the window manager frames it, and are all there when it
  // first paints.
  if (!paintFirst_) buildControls();
  // Before any settings file exists the window opens at this size.
  resize(twipsToPx(13500), twipsToPx(8400));
}

void frmMain::buildControls() {
  Grid1 = new LogGridView(this);
  Grid1->setObjectName(QStringLiteral("Grid1"));
  Grid1->setHorizontalHeader(new LogGridHeader(Grid1));
  Grid1->setSelectionMode(QAbstractItemView::SingleSelection);
  Grid1->setSelectionBehavior(QAbstractItemView::SelectItems);
  Grid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
  // The row header is set before the model comes: a starting window's
  // model already has the preview's rows, each a section of it.
  Grid1->verticalHeader()->setVisible(false);
  Grid1->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  Grid1->verticalHeader()->setDefaultSectionSize(twipsToPx(285));
  Grid1->setModel(GridModel1);
  Grid1->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
  Grid1->horizontalHeader()->setHighlightSections(false);
  Grid1->setWordWrap(false);
  Grid1->installEventFilter(this);
  setCentralWidget(Grid1);
  connect(Grid1, &LogGridView::Click, this, &frmMain::Grid1_Click);
  connect(Grid1, &LogGridView::MouseUp, this, &frmMain::Grid1_MouseUp);
  connect(Grid1, &LogGridView::DblClick, this, &frmMain::Grid1_DblClick);

  for (int p = 0; p < 3; ++p) {
    StatusPanel[p] = new QLabel(this);
    StatusPanel[p]->setObjectName(QStringLiteral("StatusBar1Panel%1").arg(p + 1));
    StatusPanel[p]->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    StatusPanel[p]->setMinimumWidth(twipsToPx(p == 1 ? 1500 : 3000));
  }
  statusBar()->setObjectName(QStringLiteral("StatusBar1"));
  statusBar()->setSizeGripEnabled(true);
  statusBar()->addWidget(StatusPanel[0], 2);
  statusBar()->addWidget(StatusPanel[1], 1);
  statusBar()->addWidget(StatusPanel[2], 3);
  buildMenus();
  applyColumnWidths();
}

frmMain::~frmMain() {
  // The grid's model reads the rows this window owns: both go first.
  unloaded_ = true;
  delete Grid1;
  delete GridModel1;
}

void frmMain::buildMenus() {
  // The menus in order: a menu row starts a menu of the bar (or the grid's
  // pop-up, on no bar), the rows below it are its items; an item with no
  // caption is a separator. What an item runs stands beside it.
  using W = frmMain;
  static const MenuRow rows[] = {
      menuRow(&W::m_1, "m_1", "ファイル(&F)"),
      itemRow(&W::mnuNewOpen, "mnuNewOpen", "ログの新規作成(&N)", [](W& w) { w.session_.Files.NewLog(); }),
      itemRow(&W::log_open, "log_open", "ログを開く(&O)", [](W& w) { w.session_.Files.Open(); }),
      itemRow(&W::AppendOpen, "AppendOpen", "ログを連結する(&R)", [](W& w) { w.session_.Files.Append(); }),
      itemRow(&W::m1, "m1"),
      itemRow(&W::LogSave, "LogSave", "ログを保存する(&S)", [](W& w) { w.session_.Files.Save(); }),
      itemRow(&W::mnuSaveAs, "mnuSaveAs", "名前を付けて保存する(&A)", [](W& w) { w.session_.Files.SaveAs(); }),
      itemRow(&W::m0, "m0"),
      itemRow(&W::mCsvOut, "mCsvOut", "CSVファイルで出力", [](W& w) { mCsvOut_Click(w); }),
      itemRow(&W::mCsvIn, "mCsvIn", "CSVファイルの読込", [](W& w) { mCsvIn_Click(w); }),
      itemRow(&W::m7, "m7"),
      itemRow(&W::mnuLogClose, "mnuLogClose", "ログを閉じる(&C)", [](W& w) { w.session_.Files.Close(); }),
      itemRow(&W::m33, "m33"),
      itemRow(&W::mnuThLogRead, "mnuThLogRead", "ターボハムログを開く(&T)",
              [](W& w) { frmThRead::mnuThLogRead_Click(w); }),
      itemRow(&W::mnuZlRead, "mnuZlRead", "ZLOGファイルを開く(&Z)", [](W& w) { ZlogOn(w); }),
      itemRow(&W::mnuCabRead, "mnuCabRead", "Cabrilloファイルを開く(&B)", [](W& w) { CabOn(w); }),
      itemRow(&W::mnu16, "mnu16"),
      itemRow(&W::mnuCheckLog, "mnuCheckLog", "提出前チェック(&K)", [](W& w) { frmCheckLog::open(w); }),
      itemRow(&W::mnuMakeJaeLog, "mnuMakeJaeLog", "電子ログ作成とE-メール送信(&J)",
              [](W& w) { frmMakeLog::mnuMakeJaeLog(w); }),
      itemRow(&W::mnuThConv, "mnuThConv", "ターボハムログにデータ追加(&H)", [](W& w) { ThConvOn(w); }),
      itemRow(&W::mnuAdiConv, "mnuAdiConv", "ADIFファイルを作成(&D)", [](W& w) { mnuAdiConv_Click(w); }),
      itemRow(&W::m6, "m6"),
      itemRow(&W::owari, "owari", "Tamarack 終了(&Q)", [](W& w) { w.owari_Click(); }),

      menuRow(&W::mnuEdit, "mnuEdit", "編集(&E)"),
      itemRow(&W::mnuDataEdit, "mnuDataEdit", "データ修正(&E)", [](W& w) { if (w.chooseRow()) frmEdit::showFor(w); }),
      itemRow(&W::mnuDelete, "mnuDelete", "データ削除(&D)", [](W& w) { if (w.chooseRow()) frmDelLog::showFor(w); }),
      itemRow(&W::mnuAllEdit, "mnuAllEdit", "データ一括修正(A)", [](W& w) { frmMultiEdit::showFor(w); }),

      // The grid's pop-up menu: never on the menu bar.
      menuRow(&W::mnuGrdEdit, "mnuGrdEdit", "編集", false),
      itemRow(&W::mnuLogEdit, "mnuLogEdit", "データ修正", [](W& w) { if (w.chooseRow()) frmEdit::showFor(w); }),
      itemRow(&W::mnuLogIns, "mnuLogIns", "データ挿入", [](W& w) { if (w.chooseRow()) frmAdd::showFor(w); }),
      itemRow(&W::mnuLogDel, "mnuLogDel", "データ削除", [](W& w) { if (w.chooseRow()) frmDelLog::showFor(w); }),
      itemRow(&W::mnu67, "mnu67"),
      itemRow(&W::mnuTimeAddDel, "mnuTimeAddDel", "時間の増減(&T)", [](W& w) { frmTime::showFor(w); }),

      menuRow(&W::mnuSortMnu, "mnuSortMnu", "整列(&S)"),
      itemRow(&W::mnuTimeSort, "mnuTimeSort", "年月日、時間で整列(&S)", [](W& w) { w.mnuTimeSort_Click(); }),

      menuRow(&W::m11, "m11", "表示(&V)"),
      itemRow(&W::mnuInBox, "mnuInBox", "データ入力フォーム(&I)", [](W& w) { w.mnuInBox_Click(); }),
      itemRow(&W::mnuQTC, "mnuQTC", "電子ログ必須記入事項確認(&H)", [](W& w) { frmQTC::open(w); }),
      itemRow(&W::mnuSumary, "mnuSumary", "サマリーシート(&S)", [](W& w) { w.ScoreLoad(); }),

      menuRow(&W::m4, "m4", "設定(&O)"),
      itemRow(&W::mnuElogSet, "mnuElogSet", "電子ログの設定(&J)", [](W& w) { w.showMyData(); }),
      itemRow(&W::mnuThSet, "mnuThSet", "ターボハムログの設定(&T)", [](W& w) { frmThSet::showFor(w); }),
      itemRow(&W::mnuAdiSet, "mnuAdiSet", "ＡＤＩＦファイル変換の設定(&A)", [](W& w) { frmAdifSet::showFor(w); }),
      itemRow(&W::mnuHistorySet, "mnuHistorySet", "入力補助の設定(&H)", [](W& w) { frmHistorySet::showFor(w); }),
      itemRow(&W::mnuRigSet, "mnuRigSet", "リグ設定(&R)", [](W& w) { frmRigSet::showFor(w); }),

      menuRow(&W::m3, "m3", "ヘルプ(&H)"),
      itemRow(&W::MH1, "MH1", "ヘルプ(&H)", [](W& w) { w.MH1_Click(); }),
      itemRow(&W::abt, "abt", "バージョン(&A)", [](W& w) { w.abt_Click(); }),
  };

  QMenu* menu = nullptr;
  for (const MenuRow& r : rows) {
    const QString name = QString::fromUtf8(r.name);
    if (r.menu) {
      menu = r.onBar ? menuBar()->addMenu(QString::fromUtf8(r.caption))
                     : new QMenu(QString::fromUtf8(r.caption), this);
      menu->setObjectName(name);
      if (r.onBar) menu->menuAction()->setObjectName(name);
      this->*r.menu = menu;
      continue;
    }
    QAction* a = r.caption ? menu->addAction(QString::fromUtf8(r.caption)) : menu->addSeparator();
    a->setObjectName(name);
    this->*r.action = a;
    if (r.run) connect(a, &QAction::triggered, this, [this, run = r.run] { run(*this); });
  }
  // Follows the settings once they are read (the database named).
  mnuThLogRead->setEnabled(false);
}

// ---------------------------------------------------------------- start-up

void frmMain::FrmSet() {
  if (session_.GridData.rows() < 2) session_.GridData.addRow("");
}

void frmMain::showBeforeControls() {
  show();
  // The request to map the window leaves at once, so the window manager
  // frames it while the controls are made.
#if QT_CONFIG(xcb)
  auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
  xcb_connection_t* display = x11 ? x11->connection() : nullptr;
  if (display)
    if (auto flush = reinterpret_cast<int (*)(xcb_connection_t*)>(dlsym(RTLD_DEFAULT, "xcb_flush")))
      flush(display);
#endif
}

void frmMain::Form_Load() {
  PrepareWorkFolders(session_.ProgramFolder);
  FrmSet();

  std::string err;
  switch (session_.readSettings(&err)) {
    case IniReadResult::Missing:
      // A new program folder has no settings yet: only a file that vanished is told.
      if (!prepared_.firstStart)
        ui_.tell("設定ファイル（Tamarack.ini）が見つかりません。\r\n初期値で起動します。",
                 Icon::Information);
      break;
    case IniReadResult::Error:
      ui_.tell(session_.iniPath() + "\r\n" + err, Icon::Critical);
      break;
    case IniReadResult::Ok:
      break;
  }
  RemoveStaleTempFiles(session_.ProgramFolder, session_.Doc.State.LogFileName);
  if (!prepared_.keptChanged.empty()) ui_.tell(KeptChangedMessage(prepared_), Icon::Information);
  applyGeometry();
  if (paintFirst_) {
    previewLastLog();
    showBeforeControls();
    buildControls();
    // The controls take their places now, not on the next turn of the loop.
    QCoreApplication::sendPostedEvents();
  }
  applyColumnWidths();
  // Shown once, where the settings put it, before the windows placed over it.
  show();
  Form_Resize();
  if (paintFirst_) paintBeforeLoading();

  session_.readCountryFile();

  if (!session_.Doc.State.CfgFileName.empty()) {
    CfgRead(session_.Doc.State.CfgFileName);
  } else {
    ui_.tell("コンテストが設定されていません\r\nコンテストを設定してください");
    showMyData();
  }

  // The grid takes its size now, so the last log scrolls to its end.
  if (layout()) layout()->activate();
  Form_Resize();
  session_.enableSafeguards();
  session_.Files.OpenLastLog();
  // Read or not, the grid shows the log as it now is.
  GridModel1->endPreview();
  // The call history of the earlier logs, built while the operator starts.
  rebuildCallHistory();

  session_.Doc.State.TodayText = ole::formatJapaneseDate(session_.clock().now());
  // A tool window opened during start-up (the station data) keeps the menus
  // off until it closes.
  if (session_.Doc.State.OpenDialogNo == 0) mnuOn();
}

void frmMain::applyColumnWidths() {
  for (std::size_t c = 0; c < kGridCols; ++c) {
    const std::int32_t kept = session_.Ini.GridWidth[c];
    appliedWidths_[c] = kept > 0 ? kept : kGridDefaultWidths[c];
    Grid1->setColumnWidth(static_cast<int>(c), twipsToPx(appliedWidths_[c]));
  }
}

void frmMain::paintBeforeLoading() {
  // Keys and clicks wait until the log is read: only the window system's
  // own events (map, expose, the frame) are handled here.
  scrollPreviewToEnd();
  QElapsedTimer waited;
  waited.start();
  const QWindow* win = windowHandle();
  // An expose handled here paints the window as it comes.
  bool paintedOnExpose = false;
  while (win && !win->isExposed() && waited.elapsed() < 1000) {
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    if (win->isExposed())
      paintedOnExpose = true;
    else
      QThread::msleep(2);
  }
  // The frame may have changed the grid's height since: the preview's end
  // is brought to the bottom again, and painted if it moved.
  const int top = Grid1->verticalScrollBar()->value();
  scrollPreviewToEnd();
  if (!paintedOnExpose || Grid1->verticalScrollBar()->value() != top) repaint();
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void frmMain::scrollPreviewToEnd() {
  // A preview stands where the log's end will: its last row at the bottom.
  const int pageRows = session_.Doc.State.GridPageRows;
  if (GridModel1->previewing() && pageRows > 0 && GridModel1->rowCount() >= pageRows)
    scrollGridTo(GridModel1->rowCount() - pageRows + 1);
}

void frmMain::previewLastLog() {
  // More rows than any screen shows.
  constexpr int kPreviewRows = 160;
  if (session_.Doc.State.LogFileName.empty()) return;
  const logfile::LogTail tail = logfile::readLogTail(session_.Doc.State.LogFileName, kPreviewRows);
  std::vector<std::string> rows;
  rows.reserve(tail.records.size());
  for (const QsoRecord& r : tail.records) rows.push_back(GridRowText(r, session_.Doc.State.ShowSeconds));
  GridModel1->showPreview(tail.total, rows);
}

void frmMain::applyGeometry() {
  // The kept values are the outer frame; a window not yet shown takes move()
  // as its frame position, so the window comes back exactly where it was.
  if (session_.Ini.frmWidth > 0 && session_.Ini.frmHeight > 0) {
    keptFrameSize_ = QSize(twipsToPx(session_.Ini.frmWidth), twipsToPx(session_.Ini.frmHeight));
    resize(keptFrameSize_);
    move(twipsToPx(session_.Ini.frmLeft), twipsToPx(session_.Ini.frmTop));
  }
}

void frmMain::fitKeptFrame() {
  // The frame's border is known only once the window manager has framed the
  // window: the inner size then gives way so the outer size is the kept one.
  if (keptFrameSize_.isEmpty() || !isVisible()) return;
  const QRect frame = frameGeometry();
  if (frame.size() == size()) return;
  const QSize inner = keptFrameSize_ - (frame.size() - size());
  keptFrameSize_ = QSize();
  if (inner.isValid() && inner != size()) resize(inner);
}

void frmMain::showEvent(QShowEvent* e) {
  QMainWindow::showEvent(e);
  fitKeptFrame();
}

void frmMain::moveEvent(QMoveEvent* e) {
  QMainWindow::moveEvent(e);
  fitKeptFrame();
}

void frmMain::storeGeometry() {
  // The normal (not maximised or minimised) geometry is the one kept.
  // Left, top, width and height are those of the outer frame.
  const QRect frame = frameGeometry(), inner = geometry();
  const QRect g = (isMaximized() || isMinimized() || isFullScreen())
                      ? normalGeometry().adjusted(frame.left() - inner.left(),
                                                  frame.top() - inner.top(),
                                                  frame.right() - inner.right(),
                                                  frame.bottom() - inner.bottom())
                      : frame;
  session_.Ini.frmLeft = static_cast<float>(pxToTwips(g.x()));
  session_.Ini.frmTop = static_cast<float>(pxToTwips(g.y()));
  session_.Ini.frmWidth = static_cast<float>(pxToTwips(g.width()));
  session_.Ini.frmHeight = static_cast<float>(pxToTwips(g.height()));
  // A width the user did not change keeps its twips, so that rounding to
  // pixels never makes the columns creep from run to run.
  for (int c = 0; Grid1 && c < kGridCols; ++c) {
    const auto k = static_cast<std::size_t>(c);
    const int shown = Grid1->columnWidth(c);
    session_.Ini.GridWidth[k] = shown == twipsToPx(appliedWidths_[k])
                           ? appliedWidths_[k]
                           : static_cast<std::int32_t>(std::lround(pxToTwips(shown)));
  }
}

// ---------------------------------------------------------------- menus

void frmMain::mnuOff() {
  for (QMenu* m : {m_1, mnuEdit, mnuSortMnu, m11, m4}) m->menuAction()->setEnabled(false);
}

void frmMain::mnuOn() {
  for (QMenu* m : {m_1, m11, m4}) m->menuAction()->setEnabled(true);
  const bool on = session_.Doc.Log.count() >= 1;
  for (QAction* a : {AppendOpen, mnuLogClose, LogSave, mnuSaveAs, mnuCheckLog, mnuMakeJaeLog, mnuThConv,
                     mnuAdiConv, mnuEdit->menuAction(), mnuSortMnu->menuAction(), mnuSumary,
                     mCsvOut})
    a->setEnabled(on);
  // The HAMLOG reader needs a database to read.
  mnuThLogRead->setEnabled(!session_.Ini.ThDbFile.empty());
}

void frmMain::setStatusPanel(int panel, const std::string& text) {
  if (panel >= 1 && panel <= 3) StatusPanel[panel - 1]->setText(toQ(text));
}

frmBar& frmMain::bar() {
  if (!bar_) bar_ = new frmBar(this);
  return *bar_;
}

void frmMain::BarProgress::start(int maximum) { m_.bar().start(maximum); }
void frmMain::BarProgress::step(int value) { m_.bar().step(value); }
void frmMain::BarProgress::label(const char* text) { m_.bar().label(text); }
void frmMain::BarProgress::finish() { m_.bar().finish(); }

// ---------------------------------------------------------------- grid

bool frmMain::CfgRead(const std::string& path) {
  const CfgReadResult r = session_.readDefinition(path);
  setStatusPanel(1, r.statusText);
  if (r.read) log_open->setEnabled(true);
  return r.read;
}

void frmMain::setLogFileText(const std::string& path) { setStatusPanel(3, path); }

void frmMain::showMyData() { frmMyData::open(*this); }

void frmMain::ScoreLoad() {
  auto* v = qobject_cast<frmSumary*>(dialogs_.find(DlgSumary));
  if (!v) v = frmSumary::open(*this);
  v->ScoreLoad(score::ScoreLoad(session_.Score, session_.Contest, session_.Ini, session_.Doc.State.TodayText, session_.JarlSignature));
}

void frmMain::mnuInBox_Click() {
  if (!session_.Ini.JarlCallSign.empty()) {
    showInput();
  } else {
    ui_.ask("コールサインを設定してください", Buttons::OkCancel);
    showMyData();
  }
}

void frmMain::showInput() { frmInput::showFor(*this); }

void frmMain::mnuTimeSort_Click() {
  mnuOff();
  session_.TimeSort();
  mnuOn();
}

void frmMain::scrollGridTo(int row) {
  // Past the last row the grid shows its end.
  if (row > GridModel1->rowCount()) row = GridModel1->rowCount();
  if (row < 1) row = 1;
  Grid1->syncGeometries();
  Grid1->scrollTo(GridModel1->index(row - 1, 0), QAbstractItemView::PositionAtTop);
}

void frmMain::selectGridRow(int row) {
  if (row >= 1 && row <= GridModel1->rowCount())
    Grid1->setCurrentIndex(GridModel1->index(row - 1, 0));
}

void frmMain::editQso(int row) {
  if (row < 1 || row > session_.Doc.Log.count()) return;
  selectGridRow(row);
  session_.Doc.State.SelRow = static_cast<std::int16_t>(row);
  frmEdit::showFor(*this);
}

void frmMain::rebuildCallHistory() {
  if (!history_) history_ = std::make_unique<HistoryKeeper>(*this);
  history_->build();
}

bool frmMain::chooseRow() {
  if (session_.Doc.State.OpenDialogNo != 0) return true;  // the commands open nothing then
  const int count = session_.Doc.Log.count();
  std::int16_t& sel = session_.Doc.State.SelRow;
  if (sel >= 1 && sel <= count) return true;
  const QModelIndex i = Grid1->currentIndex();
  if (i.isValid() && i.row() + 1 <= count) {
    sel = static_cast<std::int16_t>(i.row() + 1);
    return true;
  }
  ui_.tell("交信をクリックして選んでください");
  return false;
}

void frmMain::Grid1_Click() {
  const QModelIndex i = Grid1->currentIndex();
  session_.Doc.State.SelRow = static_cast<std::int16_t>(i.isValid() ? i.row() + 1 : 0);
}

void frmMain::Grid1_MouseUp(Qt::MouseButton button, QPoint globalPos) {
  if (button != Qt::RightButton) return;
  if (session_.Doc.State.SelRow >= 1 && session_.Doc.State.OpenDialogNo == 0) mnuGrdEdit->popup(globalPos);
}

void frmMain::Grid1_DblClick() {
  if (session_.Doc.State.SelRow < 1 || session_.Doc.Log.count() < 1) return;
  // The edit dialog opens, or the open edit or insert dialog loads the QSO.
  EditDialogsDblClick(*this);
}

void frmMain::Form_KeyDown(int key) {
  if (key != Qt::Key_Escape) return;
  const int no = session_.Doc.State.OpenDialogNo;
  if (no == 0) {
    mnuInBox_Click();
    return;
  }
  if (QWidget* w = dialogs_.find(no)) w->close();
}

bool frmMain::eventFilter(QObject* o, QEvent* e) {
  if (o == Grid1 && e->type() == QEvent::KeyPress) {
    auto* k = static_cast<QKeyEvent*>(e);
    if (k->key() == Qt::Key_Escape) {
      Form_KeyDown(k->key());
      return true;
    }
  }
  return QMainWindow::eventFilter(o, e);
}

void frmMain::keyPressEvent(QKeyEvent* e) {
  if (e->key() == Qt::Key_Escape) {
    Form_KeyDown(e->key());
    return;
  }
  QMainWindow::keyPressEvent(e);
}

// ---------------------------------------------------------------- resize

void frmMain::resizeEvent(QResizeEvent* e) {
  QMainWindow::resizeEvent(e);
  fitKeptFrame();
  Form_Resize();
}

void frmMain::Form_Resize() {
  if (!Grid1) return;  // starting: the controls are not made yet
  // Counted in data rows: the header row may stand taller or shorter, and
  // the last QSO must not be left below the visible rows.
  int rowHeight = Grid1->verticalHeader()->defaultSectionSize();
  if (GridModel1->rowCount() > 0) rowHeight = Grid1->rowHeight(0);
  const int gridHeight = Grid1->height();
  if (rowHeight > 0 && gridHeight > 0)
    session_.Doc.State.GridPageRows =
        static_cast<std::int32_t>(std::nearbyint(static_cast<double>(gridHeight) / rowHeight)) - 3;
}

// ---------------------------------------------------------------- closing

void frmMain::owari_Click() { close(); }

bool frmMain::Form_QueryUnload() { return session_.Files.QueryUnload(); }

void frmMain::Form_Unload() {
  if (unloaded_) return;
  unloaded_ = true;
  storeGeometry();
  session_.saveSettings();
  for (QWidget* w : QApplication::topLevelWidgets())
    if (w != this && w->isVisible()) w->close();
}

void frmMain::closeEvent(QCloseEvent* e) {
  if (!unloaded_ && !Form_QueryUnload()) {
    e->ignore();
    return;
  }
  Form_Unload();
  e->accept();
}

// ---------------------------------------------------------------- help

void frmMain::MH1_Click() {
  const QString path = toQ(session_.ProgramFolder) + QStringLiteral("/tamarack.html");
  if (!QFileInfo::exists(path)) return;
  lastHelpUrl = QUrl::fromLocalFile(path).toString();
  if (openUrl)
    openUrl(QUrl::fromLocalFile(path));
  else
    OpenHelpPage(this, path);  // the desktop's browser, else the program's own window
}

void frmMain::abt_Click() {
  auto* box = new frmAbout(this, false);  // the CSV commands are everyone's: no committee mark
  box->show();
}

#include "entry/gui/frmaddedit.h"

#include <QApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QVBoxLayout>

#include "contest/contestdef.h"
#include "entry/bandmode.h"
#include "entry/gui/entryfilters.h"
#include "entry/realtime.h"
#include "log/grid.h"
#include "log/gui/qtui.h"
#include "contest/gui/workspace.h"
#include "contest/session.h"
#include "log/gui/dialogregistry.h"
#include "log/qso.h"
#include "log/ui.h"

namespace {
bool selectedQso(Workspace& ws) {
  const int sel = ws.session().Doc.State.SelRow;
  return sel >= 1 && sel <= ws.session().Doc.Log.count();
}
}  // namespace

// ---------------------------------------------------------------- shared

QsoDialog::QsoDialog(Workspace& ws, int dialogNo, const char* name, const char* caption,
                     const char* command2, QColor background)
    : ToolWindow(ws, dialogNo) {
  setObjectName(QString::fromUtf8(name));
  setWindowTitle(QString::fromUtf8(caption));
  setAutoFillBackground(true);
  QPalette pal = palette();
  pal.setColor(QPalette::Window, background);
  setPalette(pal);

  auto* outer = new QVBoxLayout(this);
  outer->setContentsMargins(twipsToPx(120), twipsToPx(120), twipsToPx(120), twipsToPx(120));

  // time row
  auto* top = new QHBoxLayout;
  buildTimeRow(this, top, true);
  top->addSpacing(twipsToPx(120));
  top->addWidget(Text1);
  top->addStretch(1);
  outer->addLayout(top);

  // boxes: captions above
  body_ = new QWidget(this);
  Label10 = EntryCaption("Label10", "バンド", body_);
  Label11 = EntryCaption("Label11", "モード", body_);
  QGridLayout* g = buildBoxes(body_,
                              {entry::KeyFilter::UpperNoBlank, entry::KeyFilter::Report,
                               entry::KeyFilter::Upper, entry::KeyFilter::Report,
                               entry::KeyFilter::UpperNoBlank},
                              Label10, Label11);
  body_->setLayout(g);
  g->setContentsMargins(0, 0, 0, 0);
  outer->addWidget(body_);

  Command2 = EntryButton("Command2", command2, this);
  Command1 = EntryButton("Command1", "終了", this);
  outer->addLayout(EntryButtonRow({Command2, Command1}));

  QWidget* order[] = {Text1, Command2, Command1};
  for (std::size_t i = 0; i + 1 < std::size(order); ++i) setTabOrder(order[i], order[i + 1]);

  connect(Command1, &QPushButton::clicked, this, &QsoDialog::Command1_Click);
  connect(Command2, &QPushButton::clicked, this, [this] { Command2_Click(); });
  connectPanel(this);
}

// A dialog destroyed without closing goes with the main window itself,
// whose state is gone by then: nothing of it may be touched here.
QsoDialog::~QsoDialog() = default;

bool QsoDialog::dqp() const { return ws_.session().Contest.DqpEnabled == 1; }

void QsoDialog::Form_Load() {
  // The window's own keys sit on top of the keystroke filters.
  for (QWidget* w : findChildren<QWidget*>()) w->installEventFilter(this);
  adjustSize();
  const QRect m = ws_.mainWidget()->frameGeometry();
  move(m.x() + m.width() / 2 - width() / 2, m.y() + twipsToPx(500));
  BandModeSet();
  DataLoad();
  if (dqp()) applyDqp();
  registerOpen();
  TimeMnlSet(TimeMnl(ws_));
}

bool QsoDialog::loadCommon() {
  if (!selectedQso(ws_)) return false;
  loadedRow_ = ws_.session().Doc.State.SelRow;
  const QsoRecord& r = ws_.session().Doc.Log[loadedRow_];
  LoadedNo = r.QsoNo;
  EditTime = r.QsoTime;
  showPanelTime();
  const entry::EntryBoxes b = entry::BoxesOf(r);
  Combo1->setEditText(toQ(b.band));
  Combo2->setEditText(toQ(b.mode));
  Text6->setText(toQ(b.sentRst));
  Text7->setText(toQ(b.sentNo));
  Text8->setText(toQ(b.rcvdRst));
  return true;
}

void QsoDialog::BandModeSet() { fillLists(ws_.session().Contest); }

void QsoDialog::ModeSet() { modeReport(); }

void QsoDialog::topmostMessage(std::string_view text) {
  setTopmost(this, false);
  ws_.session().ui().ask(text, Buttons::OkCancel);
  setTopmost(this, true);
}

void QsoDialog::Combo1_Click() { caretToEnd(); }

void QsoDialog::Combo2_Click() {
  ModeSet();
  Text5->setFocus();
  caretToEnd();
}

bool QsoDialog::Text1_Apply() {
  const auto hhnn = entry::TimeBoxText(fromQ(Text1->text()));
  std::optional<ole::Date> t;
  if (hhnn) t = entry::TimeOnShownDay(fromQ(Label12->text()), *hhnn);
  if (!t) {
    topmostMessage(entry::text::kBadTime);
    Text1->setFocus();
    return false;
  }
  Text1->setText(toQ(*hhnn));
  EditTime = *t;
  // The shown time follows, so that what is stored is what is shown.
  showPanelTime();
  return true;
}

void QsoDialog::TimeMnlSet(int flag) { setManualTime(flag); }

void QsoDialog::AltKeyCmd(int key) {
  if (altFocus(key)) return;
  if (key == Qt::Key_D || key == Qt::Key_U) stepMinute(key == Qt::Key_D ? -1 : 1);
  else if (key == Qt::Key_W) clearCallAndNumber();
}

void QsoDialog::Command1_Click() { close(); }

bool QsoDialog::keyDown(QObject* source, QKeyEvent* e) {
  const int key = e->key();
  if (key == Qt::Key_Escape) {
    close();
    return true;
  }
  if (key == Qt::Key_Return || key == Qt::Key_Enter) {
    if (e->isAutoRepeat()) return true;
    if (source == Text1) {
      if (Text1_Apply()) enter();
    } else {
      enter();
    }
    return true;
  }
  if (key == Qt::Key_Space && !e->isAutoRepeat()) {
    spaceDown_ = true;
    return false;
  }
  const bool alt = (e->modifiers() & Qt::AltModifier) ||
                   (QGuiApplication::queryKeyboardModifiers() & Qt::AltModifier);
  if (alt && key >= Qt::Key_A && key <= Qt::Key_Z) {
    AltKeyCmd(key);
    return true;
  }
  return false;
}

bool QsoDialog::keyUp(QObject* source, QKeyEvent* e) {
  if (e->isAutoRepeat() || e->key() != Qt::Key_Space || !spaceDown_) return false;
  spaceDown_ = false;
  QObject* s = source;
  if (QWidget* next = spaceTarget(s, dqp())) next->setFocus();
  else if (s == Text1) {
    if (Text1_Apply()) Text5->setFocus();
  } else if (auto* add = qobject_cast<frmAdd*>(this); add && s == add->Text4) {
    Text9->setFocus();
  } else {
    return false;
  }
  return true;
}

bool QsoDialog::eventFilter(QObject* o, QEvent* e) {
  if (!closed()) {
    if (e->type() == QEvent::KeyPress && keyDown(o, static_cast<QKeyEvent*>(e))) return true;
    if (e->type() == QEvent::KeyRelease && keyUp(o, static_cast<QKeyEvent*>(e))) return true;
  }
  return QWidget::eventFilter(o, e);
}

void QsoDialog::keyPressEvent(QKeyEvent* e) {
  if (!closed() && keyDown(this, e)) return;
  ToolWindow::keyPressEvent(e);
}

void QsoDialog::onClose() {
  unload();
  ws_.session().Doc.State.SelRow = 0;
}

// ---------------------------------------------------------------- frmEdit

frmEdit::frmEdit(Workspace& ws)
    : QsoDialog(ws, DlgEdit, "frmEdit", "データの修正", "登録", QColor(192, 192, 192)) {
  Form_Load();
}

frmEdit* frmEdit::openOf(Workspace& ws) { return qobject_cast<frmEdit*>(ws.dialogs().find(DlgEdit)); }

namespace {
// The time box first when times are typed by hand, else the call sign.
auto firstBox(Workspace& ws) {
  return [&ws](auto* f) -> QWidget* { return TimeMnl(ws) == 1 ? static_cast<QWidget*>(f->Text1) : f->Text5; };
}
}  // namespace

frmEdit* frmEdit::showFor(Workspace& ws) {
  if (!selectedQso(ws)) return nullptr;
  return OpenToolWindow<frmEdit>(ws, firstBox(ws));
}

void frmEdit::DataLoad() {
  if (!loadCommon()) return;
  const QsoRecord& r = ws_.session().Doc.Log[loadedRow_];
  Text1->setText(toQ(entry::TimeLabelText(r.QsoTime)));
  Text5->setText(toQ(r.CallSign.trimmed()));
  Text9->setText(toQ(r.RcvdNo.trimmed()));
}

void frmEdit::EditDataSet() {
  // The QSO the dialog loaded is the one stored, whatever row was clicked
  // since without a double click.
  if (!entry::EditDataSet(ws_.session().Doc.Log, ws_.session().Doc.CurQso, loadedRow_, LoadedNo, EditTime,
                          panelBoxes()))
    return;
  Saved = 1;
  ws_.session().Doc.State.LogDirty = 1;
  ws_.session().LogDataSearch();
}

void frmEdit::Command2_Click() { EditDataSet(); }

void frmEdit::enter() { EditDataSet(); }

// ---------------------------------------------------------------- frmAdd

frmAdd::frmAdd(Workspace& ws)
    : QsoDialog(ws, DlgAdd, "frmAdd", "データの挿入", "挿入", QColor(192, 255, 192)) {
  auto* g = static_cast<QGridLayout*>(body_->layout());
  Label4 = EntryCaption("Label4", "オペレーター", body_);
  Text4 = EntryBox("Text4", 1800, body_);
  g->addWidget(Label4, 2, 2);
  g->addWidget(Text4, 3, 2);
  InstallKeyFilter(Text4, entry::KeyFilter::UpperNoBlank);
  setTabOrder(Text9, Text4);
  Form_Load();
}

frmAdd* frmAdd::showFor(Workspace& ws) {
  if (!selectedQso(ws)) return nullptr;
  return OpenToolWindow<frmAdd>(ws, firstBox(ws));
}

void frmAdd::DataLoad() {
  if (!loadCommon()) return;
  Text1->clear();
  Text5->clear();
  Text9->clear();
  Text4->clear();
}

bool frmAdd::InsDataSet() {
  if (Saved == 1 || loadedRow_ < 1) return false;
  const entry::EntryBoxes b = panelBoxes();
  if (!entry::InsertComplete(b, TimeMnl(ws_) == 1, fromQ(Text1->text()), dqp())) {
    topmostMessage("データを入力して下さい");
    Text5->setFocus();
    return false;
  }
  // A full log has no room: reading the grid back would drop its last QSO.
  if (ws_.session().Doc.Log.full()) {
    topmostMessage(entry::text::kLogFull);
    return false;
  }
  const std::string row =
      entry::InsertRowText(loadedRow_, fromQ(Label12->text()), fromQ(Label13->text()), b,
                           fromQ(Text4->text()), ws_.session().Doc.State.ShowSeconds);
  if (row.empty()) return false;
  ws_.session().GridData.insertRow(loadedRow_, row);
  insertedRow_ = loadedRow_;
  Saved = 1;
  close();
  return true;
}

void frmAdd::Command2_Click() { InsDataSet(); }

void frmAdd::enter() { InsDataSet(); }

void frmAdd::unload() {
  if (Saved != 1 || insertedRow_ < 1) return;
  // The grid is read back into the log; the other QSOs keep their seconds
  // even while the grid shows minutes only.
  entry::KeepSecondsForRebuild(ws_.session().GridData, ws_.session().Doc.Log, insertedRow_);
  ws_.session().LogGridToMem();
  ws_.session().Doc.State.LogDirty = 1;
  ws_.session().LogDataSearch();
}

// ---------------------------------------------------------------- main window

void EditDialogsDblClick(Workspace& ws) {
  if (ws.session().Doc.State.SelRow < 1 || ws.session().Doc.Log.count() < 1) return;
  switch (ws.session().Doc.State.OpenDialogNo) {
    case 0: frmEdit::showFor(ws); break;
    case DlgEdit:
    case DlgAdd:
      if (auto* f = qobject_cast<QsoDialog*>(ws.dialogs().find(ws.session().Doc.State.OpenDialogNo)))
        f->DataLoad();
      break;
    default: break;
  }
}

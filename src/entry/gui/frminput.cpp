#include "entry/gui/frminput.h"

#include <QApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QVBoxLayout>
#include <utility>

#include "contest/contestdef.h"
#include "entry/bandmode.h"
#include "entry/gui/entryassist.h"
#include "entry/gui/entryfilters.h"
#include "entry/gui/rigwatch.h"
#include "entry/rigmap.h"
#include "entry/realtime.h"
#include "log/clock.h"
#include "log/grid.h"
#include "entry/gui/importcommands.h"
#include "log/gui/qtui.h"
#include "contest/gui/workspace.h"
#include "contest/session.h"
#include "log/gui/dialogregistry.h"
#include "log/qso.h"
#include "log/settings.h"
#include "log/ui.h"

// ---------------------------------------------------------------- window

namespace {
bool given(const QString& s) { return !s.trimmed().isEmpty(); }
}  // namespace

frmInput::frmInput(Workspace& ws, InputLinks l)
    : ToolWindow(ws, DlgInput), links(std::move(l)) {
  setObjectName(QStringLiteral("frmInput"));
  setWindowTitle(QStringLiteral("データ入力"));
  buildControls();
  Form_Load();
}

// The close event has told the main window; a window deleted with the main
// window must not reach back into it.
frmInput::~frmInput() = default;

frmInput* frmInput::openOf(Workspace& ws) {
  return qobject_cast<frmInput*>(ws.dialogs().find(DlgInput));
}

frmInput* frmInput::showFor(Workspace& ws) {
  if (frmInput* f = openOf(ws)) {
    f->raise();
    f->activateWindow();
    return f;
  }
  InputLinks links;
  links.CabOn = [&ws] { CabOn(ws); };
  links.ZlogOn = [&ws] { ZlogOn(ws); };
  auto* f = new frmInput(ws, std::move(links));
  f->show();
  f->activateWindow();
  f->Text5->setFocus();
  if (TimeMnl(ws) == 1) f->Text1->setFocus();
  return f;
}

void OpenInputWindow(Workspace& ws) {
  if (ws.session().Ini.JarlCallSign.empty()) {
    ws.session().ui().ask("コールサインを設定してください", Buttons::OkCancel);
    ws.showMyData();
    return;
  }
  frmInput::showFor(ws);
}

void frmInput::buildControls() {
  auto* outer = new QVBoxLayout(this);
  outer->setContentsMargins(twipsToPx(120), twipsToPx(90), twipsToPx(120), 0);

  // time row
  auto* top = new QHBoxLayout;
  Check1 = new QCheckBox(QStringLiteral("リアルタイム入力"), this);
  Check1->setObjectName(QStringLiteral("Check1"));
  top->addWidget(Check1);
  top->addSpacing(twipsToPx(240));
  buildTimeRow(this, top, false);
  top->addWidget(Text1);
  top->addSpacing(twipsToPx(120));
  Label15 = EntryPanelLabel("Label15", 600, this);
  Label15->setText(QStringLiteral("JST"));
  top->addWidget(Label15);
  Label16 = EntryPanelLabel("Label16", 1300, this);
  Label16->setText(QStringLiteral("シングルオペ"));
  top->addWidget(Label16);
  top->addStretch(1);
  outer->addLayout(top);

  // entry row: captions above the boxes; under them the radio's frequency,
  // the live check and the history's exchange, then the partial list
  QGridLayout* boxes = buildBoxes(this, {entry::KeyFilter::CallSign, entry::KeyFilter::CallSign,
                                         entry::KeyFilter::Exchange, entry::KeyFilter::Report,
                                         entry::KeyFilter::Exchange});
  outer->addLayout(boxes);
  LabelFreq = new QLabel(this);
  LabelFreq->setObjectName(QStringLiteral("LabelFreq"));
  boxes->addWidget(LabelFreq, 2, 0, 1, 2);
  assist_ = new EntryAssist(ws_, Combo1, Combo2, Text5, Text9, this);
  boxes->addWidget(assist_->LabelCheck, 2, 2);
  boxes->addWidget(assist_->LabelHistory, 2, 3, 1, 5);
  outer->addWidget(assist_->ListPartial);

  Command1 = EntryButton("Command1", "消去", this);
  Command2 = EntryButton("Command2", "登録", this);
  outer->addLayout(EntryButtonRow({Command1, Command2}));

  StatusBar1 = new QStatusBar(this);
  StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
  StatusBar1->setSizeGripEnabled(false);
  StatusBar1Panel1 = new QLabel(StatusBar1);
  StatusBar1Panel1->setObjectName(QStringLiteral("StatusBar1Panel1"));
  StatusBar1->addWidget(StatusBar1Panel1, 1);
  LabelRig = new QLabel(StatusBar1);
  LabelRig->setObjectName(QStringLiteral("LabelRig"));
  StatusBar1->addPermanentWidget(LabelRig);
  outer->addWidget(StatusBar1);

  Timer1 = new QTimer(this);
  Timer1->setObjectName(QStringLiteral("Timer1"));
  Timer1->setInterval(5000);
  Timer2 = new QTimer(this);
  Timer2->setObjectName(QStringLiteral("Timer2"));
  Timer2->setInterval(1000);
  RigTypedTimer = new QTimer(this);
  RigTypedTimer->setObjectName(QStringLiteral("RigTypedTimer"));
  RigTypedTimer->setSingleShot(true);
  RigTypedTimer->setInterval(QApplication::keyboardInputInterval());
  connect(RigTypedTimer, &QTimer::timeout, this, &frmInput::RigTypedTimer_Timer);

  QWidget* order[] = {Text1, Command1, Command2, Check1};
  for (std::size_t i = 0; i + 1 < std::size(order); ++i) setTabOrder(order[i], order[i + 1]);

  // The window's own keys on top of the keystroke filters.
  for (QWidget* w : findChildren<QWidget*>()) w->installEventFilter(this);

  connect(Check1, &QCheckBox::toggled, this, [this] { Check1_Click(); });
  connect(Timer1, &QTimer::timeout, this, &frmInput::Timer1_Timer);
  connect(Timer2, &QTimer::timeout, this, &frmInput::Timer2_Timer);
  connect(Command1, &QPushButton::clicked, this, &frmInput::Command1_Click);
  connect(Command2, &QPushButton::clicked, this, &frmInput::Command2_Click);
  connectPanel(this);
}

void frmInput::place() {
  adjustSize();
  const QRect m = ws_.mainWidget()->frameGeometry();
  const int w = frameGeometry().width() > width() ? frameGeometry().width() : width();
  move(m.x() + m.width() / 2 - w / 2, m.y() + twipsToPx(500));
}

bool frmInput::realTime() const { return ws_.session().Ini.RealTime == 1; }
bool frmInput::dqp() const { return ws_.session().Contest.DqpEnabled == 1; }

void frmInput::Form_Load() {
  // 1. menus off, topmost, placed over the main window
  place();
  // 2. lists
  BandModeSet();
  // 3. real-time entry as the settings left it
  if (ws_.session().Ini.RealTime == 1) Check1->setChecked(true);
  // 4. time zone
  if (ws_.session().Contest.SetUTCtime == 1) Label15->setText(QStringLiteral("UTC"));
  // 5. the time of the next QSO
  const LogData& log = ws_.session().Doc.Log;
  InputTime = log.empty() ? ws_.session().clock().now() : ole::addSeconds(log[log.count()].QsoTime, 5);
  showPanelTime();
  // 6. selection
  if (log.empty()) {
    if (Combo1->count() > 0) Combo1->setCurrentIndex(0);
    if (Combo2->count() > 0) Combo2->setCurrentIndex(0);
  } else {
    const QsoRecord& last = log[log.count()];
    const int b = Combo1->findText(toQ(last.Band.trimmed()), Qt::MatchExactly | Qt::MatchCaseSensitive);
    const int m = Combo2->findText(toQ(last.Mode.trimmed()), Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (b >= 0) Combo1->setCurrentIndex(b);
    if (m >= 0) Combo2->setCurrentIndex(m);
    if (Combo1->count() > 0 && Combo1->currentIndex() < 0) Combo1->setCurrentIndex(0);
    if (Combo2->count() > 0 && Combo2->currentIndex() < 0) Combo2->setCurrentIndex(0);
  }
  // 7. digital QSO party: no exchange boxes
  if (dqp()) applyDqp();
  // 8. New-Year party: the sent RS(T) takes free text
  if (ws_.session().Contest.NYPEnabled == 1) SetKeyFilter(Text6, entry::KeyFilter::Free);
  // 9. category preset, reports, sent exchange
  CateSet(ws_.session().Ini.CateMode, ws_.session().Ini.CateBand);
  ModeSet();
  SentRptSet(Combo1->currentText());
  // 10. operator category
  if (ws_.session().Ini.CateMlt == 1) Label16->setText(QStringLiteral("マルチオペ"));
  // 11. registered; manual time as the main window keeps it
  registerOpen();
  TimeMnlSet(TimeMnl(ws_));
  // The radio, when the settings link one: its band and mode win over the
  // category preset once it answers.
  if (const auto cfg = entry::RigConfig::fromSettings(ws_.session().Ini)) {
    rig_ = new RigWatch(this);
    connect(rig_, &RigWatch::changed, this, &frmInput::rigChanged);
    LabelRig->setText(QStringLiteral("リグに接続しています..."));
    rig_->start(*cfg);
  }
}

// ---------------------------------------------------------------- rules

void frmInput::BandModeSet() { fillLists(ws_.session().Contest); }

void frmInput::ModeSet() { modeReport(); }

void frmInput::SentRptSet(const QString& band) {
  Text7->setText(toQ(entry::SentExchange(fromQ(band), ws_.session().Contest, ws_.session().Ini)));
}

void frmInput::CateSet(int cateMode, int cateBand) {
  const entry::CatePreset p = entry::CateSet(cateMode, cateBand);
  if (p.mode) Combo2->setEditText(toQ(*p.mode));
  if (p.band) Combo1->setEditText(toQ(*p.band));
}

void frmInput::showStatus(std::string_view text) {
  StatusBar1Panel1->setText(toQ(text));
  Timer1->start();
}

void frmInput::clearEntry() {
  Text9->clear();
  Text5->clear();
  ModeSet();
}

void frmInput::QsoRegister() {
  const std::string_view msg = entry::RegisterCheck(given(Text5->text()), given(Text9->text()),
                                                    given(Combo2->currentText()), dqp());
  if (!msg.empty()) {
    showStatus(msg);
    return;
  }
  entry::EntryBoxes b = panelBoxes();
  // The band and mode shown when Enter went down, whatever the radio did since.
  if (enterBoxes_) {
    b.band = enterBoxes_->band;
    b.mode = enterBoxes_->mode;
  }
  const entry::QsoEntry e = entry::EntryOf(InputTime, b);
  LogDocument& doc = ws_.session().Doc;
  if (!entry::AppendQso(doc, ws_.session().GridData, e)) {
    showStatus(entry::text::kLogFull);
    return;
  }
  ws_.session().journalAppended();
  if (const int top = entry::ScrollRowAfterAppend(doc.Log.count(), doc.State.GridPageRows))
    ws_.scrollGridTo(top);
  assist_->registered();
  clearEntry();
  if (!realTime()) {
    InputTime = ole::addSeconds(doc.Log[doc.Log.count()].QsoTime, 5);
    showPanelTime();
  }
  if (TimeMnl(ws_) == 1) Text1->setFocus();
  else Text5->setFocus();
  DataAdded = 1;
  doc.State.LogDirty = 1;
}

void frmInput::TimeMnlSet(int flag) { setManualTime(flag); }

void frmInput::AltKeyCmd(int key) {
  if (altFocus(key)) return;
  if (key == Qt::Key_D || key == Qt::Key_U) {
    if (!realTime()) stepMinute(key == Qt::Key_D ? -1 : 1);
  } else if (key == Qt::Key_W) {
    clearCallAndNumber();
    SentRptSet(Combo1->currentText());
  }
}

// ---------------------------------------------------------------- events

void frmInput::Check1_Click() {
  if (Check1->isChecked()) {
    ws_.session().Ini.RealTime = 1;
    Timer2->start();
    for (EntryUpDown* u : UpDown1) u->setEnabled(false);
    for (EntryUpDown* u : UpDown2) u->setEnabled(false);
  } else {
    ws_.session().Ini.RealTime = 0;
    Timer2->stop();
    for (EntryUpDown* u : UpDown1) u->setEnabled(true);
    for (EntryUpDown* u : UpDown2) u->setEnabled(true);
    const LogData& log = ws_.session().Doc.Log;
    if (!log.empty()) {
      InputTime = ole::addSeconds(log[log.count()].QsoTime, 5);
      showPanelTime();
    }
  }
}

void frmInput::Timer1_Timer() {
  StatusBar1Panel1->clear();
  Timer1->stop();
}

void frmInput::Timer2_Timer() {
  ole::Date now = ws_.session().clock().now();
  if (ws_.session().Contest.SetUTCtime == 1) now = ole::addHours(now, -9);
  InputTime = now;
  showPanelTime();
}

void frmInput::Command1_Click() { clearEntry(); }

void frmInput::Command2_Click() {
  QsoRegister();
  clearEntry();
}

void frmInput::Combo1_Click() {
  SentRptSet(Combo1->currentText());
  caretToEnd();
  if (rig_ && rig_->link()) rig_->link()->setBand(fromQ(Combo1->currentText()), fromQ(Combo2->currentText()));
}

void frmInput::Combo2_Click() {
  ModeSet();
  caretToEnd();
  if (rig_ && rig_->link()) rig_->link()->setMode(fromQ(Combo2->currentText()));
}

// Typed, the radio is told once the typing pauses, not at each key that
// passes through another item ("1", "14", "144").
void frmInput::bandTyped() {
  SentRptSet(Combo1->currentText());
  caretToEnd();
  rigTyped_ |= kRigBand;
  if (rig_) RigTypedTimer->start();
}

void frmInput::modeTyped() {
  ModeSet();
  caretToEnd();
  rigTyped_ |= kRigMode;
  if (rig_) RigTypedTimer->start();
}

void frmInput::RigTypedTimer_Timer() {
  const int typed = std::exchange(rigTyped_, 0);
  if (!rig_ || !rig_->link()) return;
  if (typed & kRigBand) rig_->link()->setBand(fromQ(Combo1->currentText()), fromQ(Combo2->currentText()));
  else if (typed & kRigMode) rig_->link()->setMode(fromQ(Combo2->currentText()));
}

void frmInput::historyArrived() { assist_->refresh(); }

// The radio's status, on the window's thread. A band or mode the radio
// moved to goes into its box as a pick would put it (the radio is not told
// again); the frequency stands beside the boxes; the status line says when
// the radio stops answering.
void frmInput::rigChanged(const entry::RigStatus& s) {
  if (s.state == entry::RigState::Answering) {
    LabelFreq->setText(toQ(entry::RigFrequencyText(s.frequency)) + QStringLiteral(" MHz"));
    // What the box shows already (the operator's own choice coming back) is left as it is.
    if (!s.band.empty() && s.band != rigBand_ && toQ(s.band) != Combo1->currentText()) {
      const int i = Combo1->findText(toQ(s.band), Qt::MatchExactly | Qt::MatchCaseSensitive);
      if (i >= 0) {
        Combo1->setCurrentIndex(i);
        Combo1->setEditText(Combo1->itemText(i));
        SentRptSet(Combo1->currentText());
      }
    }
    if (!s.mode.empty() && s.mode != rigMode_ && toQ(s.mode) != Combo2->currentText()) {
      const int i = Combo2->findText(toQ(s.mode), Qt::MatchExactly | Qt::MatchCaseSensitive);
      if (i >= 0) {
        Combo2->setCurrentIndex(i);
        Combo2->setEditText(Combo2->itemText(i));
        ModeSet();
      }
    }
    rigBand_ = s.band;
    rigMode_ = s.mode;
    LabelRig->setText(s.note.empty() ? QStringLiteral("リグ連動中") : toQ(s.note));
  } else if (s.state == entry::RigState::NotAnswering) {
    LabelFreq->clear();
    rigBand_.clear();
    rigMode_.clear();
    LabelRig->setText(QStringLiteral("リグが応答しません") +
                      (s.error.empty() ? QString() : QStringLiteral("（") + toQ(s.error) + QStringLiteral("）")));
  }
}

void frmInput::Text1_Apply() {
  const auto hhnn = entry::ManualTimeText(fromQ(Text1->text()));
  std::optional<ole::Date> t;
  if (hhnn) {
    if (const auto day = ole::parse(fromQ(Label12->text()))) t = entry::JoinDayTime(*day, *hhnn);
  }
  if (t) {
    Text1->setText(toQ(*hhnn));
    InputTime = *t;
    Text5->setFocus();
    return;
  }
  setTopmost(this, false);
  ws_.session().ui().ask(entry::text::kBadTime, Buttons::OkCancel);
  setTopmost(this, true);
  activateWindow();
  Text1->setFocus();
  Text1->clear();
}

bool frmInput::altHeld(const QKeyEvent* e) const {
  // The key's own state, confirmed by the keyboard's present state.
  return (e->modifiers() & Qt::AltModifier) &&
         (QGuiApplication::queryKeyboardModifiers() & Qt::AltModifier);
}

// Enter goes down: a command word typed into the call-sign box is carried
// out now; a QSO is registered when the key comes up.
bool frmInput::enterDown(QObject* source, const QKeyEvent* e) {
  if (!e->isAutoRepeat()) {
    enterDown_ = true;
    enterBoxes_ = panelBoxes();
  }
  if (source != Text5) return false;
  const entry::EntryCommand word = entry::CommandWord(fromQ(Text5->text()));
  switch (word) {
    case entry::EntryCommand::None: return false;
    case entry::EntryCommand::Cabrillo:
    case entry::EntryCommand::Zlog:
      afterClose_ = word == entry::EntryCommand::Cabrillo ? links.CabOn : links.ZlogOn;
      close();
      return true;
    case entry::EntryCommand::SecondsOn:
    case entry::EntryCommand::SecondsOff:
      Text5->clear();
      ws_.session().Doc.State.ShowSeconds = word == entry::EntryCommand::SecondsOn ? 1 : 0;
      if (!ws_.session().Doc.Log.empty()) ws_.session().FrmLogLoad();
      break;
    case entry::EntryCommand::ManualOn:
    case entry::EntryCommand::ManualOff: {
      const int flag = word == entry::EntryCommand::ManualOn ? 1 : 0;
      Text5->clear();
      SetTimeMnl(ws_, flag);
      TimeMnlSet(flag);
      break;
    }
  }
  swallowEnterUp_ = true;
  return true;
}

bool frmInput::keyDown(QObject* source, QKeyEvent* e) {
  const int key = e->key();
  if (key == Qt::Key_Return || key == Qt::Key_Enter) return enterDown(source, e);
  if (key == Qt::Key_Escape) {
    close();
    return true;
  }
  if (key == Qt::Key_Space && !e->isAutoRepeat()) spaceDown_ = true;
  if (key >= Qt::Key_A && key <= Qt::Key_Z && altHeld(e)) {
    AltKeyCmd(key);
    return true;
  }
  return false;
}

bool frmInput::keyUp(QObject* source, QKeyEvent* e) {
  if (e->isAutoRepeat()) return false;
  const int key = e->key();
  if (key == Qt::Key_Return || key == Qt::Key_Enter) {
    // Only a key that went down here registers (not the Enter that closed
    // a message box), and not the one that confirmed a command word.
    const bool mine = enterDown_ && !swallowEnterUp_;
    enterDown_ = false;
    swallowEnterUp_ = false;
    if (mine) QsoRegister();
    enterBoxes_.reset();
    return true;
  }
  if (key == Qt::Key_Space) {
    if (!spaceDown_) return false;
    spaceDown_ = false;
    if (QWidget* next = spaceTarget(source, dqp())) next->setFocus();
    else if (source == Text1) Text1_Apply();
    else return false;
    return true;
  }
  return false;
}

bool frmInput::eventFilter(QObject* o, QEvent* e) {
  switch (e->type()) {
    case QEvent::KeyPress:
      if (keyDown(o, static_cast<QKeyEvent*>(e))) return true;
      break;
    case QEvent::KeyRelease:
      if (keyUp(o, static_cast<QKeyEvent*>(e))) return true;
      break;
    case QEvent::FocusIn:
      // Emptied when the operator (or the window) moves into it, not when
      // the window merely becomes active again.
      if (o == Text1 && static_cast<QFocusEvent*>(e)->reason() != Qt::ActiveWindowFocusReason)
        Text1->clear();
      break;
    default: break;
  }
  return QWidget::eventFilter(o, e);
}

void frmInput::keyPressEvent(QKeyEvent* e) {
  if (!keyDown(this, e)) ToolWindow::keyPressEvent(e);
}

void frmInput::keyReleaseEvent(QKeyEvent* e) {
  if (!keyUp(this, e)) QWidget::keyReleaseEvent(e);
}

void frmInput::onClose() {
  Timer2->stop();
  Timer1->stop();
  RigTypedTimer->stop();
  if (rig_) rig_->stop();
  ws_.session().Doc.State.SelRow = 0;
  if (DataAdded == 1) ws_.session().LogDataSearch();
}

void frmInput::afterClose() {
  if (afterClose_) {
    auto next = std::move(afterClose_);
    afterClose_ = nullptr;
    next();
  }
}

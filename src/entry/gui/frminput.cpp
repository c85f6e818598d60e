#include "entry/gui/frminput.h"

#include <QApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QVBoxLayout>

#include "contest/contestdef.h"
#include "entry/bandmode.h"
#include "entry/gui/entryfilters.h"
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
QLabel* panel(const char* name, int widthTwips, QWidget* parent) {
  auto* l = new QLabel(parent);
  l->setObjectName(QString::fromUtf8(name));
  l->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  l->setAlignment(Qt::AlignCenter);
  l->setMinimumWidth(twipsToPx(widthTwips));
  return l;
}
std::string dateText(ole::Date t) { return ole::formatMinutes(t).substr(0, 10); }
std::string timeText(ole::Date t) { return ole::formatMinutes(t).substr(11, 5); }
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
  Label12 = panel("Label12", 1300, this);
  top->addWidget(Label12);
  const char* names1[] = {"UpDown1_0", "UpDown1_1", "UpDown1_2"};
  for (int i = 0; i < 3; ++i) {
    UpDown1[static_cast<std::size_t>(i)] = new EntryUpDown(-30000, 30000, this);
    UpDown1[static_cast<std::size_t>(i)]->setObjectName(QString::fromUtf8(names1[i]));
    top->addWidget(UpDown1[static_cast<std::size_t>(i)]);
  }
  top->addSpacing(twipsToPx(120));
  Label13 = panel("Label13", 800, this);
  top->addWidget(Label13);
  const char* names2[] = {"UpDown2_0", "UpDown2_1"};
  for (int i = 0; i < 2; ++i) {
    UpDown2[static_cast<std::size_t>(i)] = new EntryUpDown(-300000, 300000, this);
    UpDown2[static_cast<std::size_t>(i)]->setObjectName(QString::fromUtf8(names2[i]));
    top->addWidget(UpDown2[static_cast<std::size_t>(i)]);
  }
  Text1 = EntryBox("Text1", 800, this);
  Text1->setVisible(false);
  top->addWidget(Text1);
  top->addSpacing(twipsToPx(120));
  Label15 = panel("Label15", 600, this);
  Label15->setText(QStringLiteral("JST"));
  top->addWidget(Label15);
  Label16 = panel("Label16", 1300, this);
  Label16->setText(QStringLiteral("シングルオペ"));
  top->addWidget(Label16);
  top->addStretch(1);
  outer->addLayout(top);

  // entry row: captions above the boxes
  EntryRow row{};
  QGridLayout* g = BuildEntryRow(this, row);
  Combo1 = row.Combo1, Combo2 = row.Combo2;
  Text5 = row.Text5, Text6 = row.Text6, Text7 = row.Text7, Text8 = row.Text8, Text9 = row.Text9;
  Label5 = row.Label5, Label6 = row.Label6, Label7 = row.Label7, Label8 = row.Label8;
  Label9 = row.Label9;
  outer->addLayout(g);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  Command1 = new QPushButton(QStringLiteral("消去"), this);
  Command1->setObjectName(QStringLiteral("Command1"));
  Command2 = new QPushButton(QStringLiteral("登録"), this);
  Command2->setObjectName(QStringLiteral("Command2"));
  for (QPushButton* b : {Command1, Command2}) {
    b->setAutoDefault(false);
    b->setFixedWidth(twipsToPx(1100));
    buttons->addWidget(b);
  }
  outer->addLayout(buttons);

  StatusBar1 = new QStatusBar(this);
  StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
  StatusBar1->setSizeGripEnabled(false);
  StatusBar1Panel1 = new QLabel(StatusBar1);
  StatusBar1Panel1->setObjectName(QStringLiteral("StatusBar1Panel1"));
  StatusBar1->addWidget(StatusBar1Panel1, 1);
  outer->addWidget(StatusBar1);

  Timer1 = new QTimer(this);
  Timer1->setObjectName(QStringLiteral("Timer1"));
  Timer1->setInterval(5000);
  Timer2 = new QTimer(this);
  Timer2->setObjectName(QStringLiteral("Timer2"));
  Timer2->setInterval(1000);

  // Tab order; the received RS(T) box is no tab stop (the digital QSO
  // party makes it one).
  Text8->setFocusPolicy(Qt::ClickFocus);
  QWidget* order[] = {Combo1, Combo2, Text5, Text6, Text7, Text8, Text9, Text1, Command1, Command2, Check1};
  for (std::size_t i = 0; i + 1 < std::size(order); ++i) setTabOrder(order[i], order[i + 1]);

  // Keystroke filters first, the window's own keys on top of them.
  InstallKeyFilter(Combo1, entry::KeyFilter::Band);
  InstallKeyFilter(Combo2, entry::KeyFilter::Mode);
  InstallKeyFilter(Text5, entry::KeyFilter::CallSign);
  InstallKeyFilter(Text6, entry::KeyFilter::CallSign);
  InstallKeyFilter(Text7, entry::KeyFilter::Exchange);
  InstallKeyFilter(Text8, entry::KeyFilter::Report);
  InstallKeyFilter(Text9, entry::KeyFilter::Exchange);
  InstallKeyFilter(Text1, entry::KeyFilter::TimeBox);
  for (QWidget* w : findChildren<QWidget*>()) w->installEventFilter(this);

  connect(Check1, &QCheckBox::toggled, this, [this] { Check1_Click(); });
  connect(Timer1, &QTimer::timeout, this, &frmInput::Timer1_Timer);
  connect(Timer2, &QTimer::timeout, this, &frmInput::Timer2_Timer);
  connect(Command1, &QPushButton::clicked, this, &frmInput::Command1_Click);
  connect(Command2, &QPushButton::clicked, this, &frmInput::Command2_Click);
  connect(Combo1, &QComboBox::activated, this, [this] { Combo1_Click(); });
  connect(Combo2, &QComboBox::activated, this, [this] { Combo2_Click(); });
  for (int i = 0; i < 3; ++i) {
    connect(UpDown1[static_cast<std::size_t>(i)], &EntryUpDown::Change, this, [this, i] { UpDown1_Change(i); });
    connect(UpDown1[static_cast<std::size_t>(i)], &EntryUpDown::clickedDone, this, [this] { Text5->setFocus(); });
  }
  for (int i = 0; i < 2; ++i) {
    connect(UpDown2[static_cast<std::size_t>(i)], &EntryUpDown::Change, this, [this, i] { UpDown2_Change(i); });
    connect(UpDown2[static_cast<std::size_t>(i)], &EntryUpDown::clickedDone, this, [this] { Text5->setFocus(); });
  }
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
  showTime();
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
  if (dqp()) {
    for (QWidget* w : std::initializer_list<QWidget*>{Label7, Label9, Text7, Text9}) w->setEnabled(false);
    Text8->setFocusPolicy(Qt::StrongFocus);
  }
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
}

// ---------------------------------------------------------------- rules

void frmInput::BandModeSet() { FillBandModeLists(Combo1, Combo2, ws_.session().Contest); }

void frmInput::ModeSet() { ApplyModeReport(Combo2, Text6, Text8, entry::ReportRule::Entry); }

void frmInput::SentRptSet(const QString& band) {
  Text7->setText(toQ(entry::SentExchange(fromQ(band), ws_.session().Contest, ws_.session().Ini)));
}

void frmInput::CateSet(int cateMode, int cateBand) {
  const entry::CatePreset p = entry::CateSet(cateMode, cateBand);
  if (p.mode) Combo2->setEditText(toQ(*p.mode));
  if (p.band) Combo1->setEditText(toQ(*p.band));
}

void frmInput::showTime(bool dateOnly) {
  if (!ole::valid(InputTime)) return;
  Label12->setText(toQ(dateText(InputTime)));
  if (!dateOnly) Label13->setText(toQ(timeText(InputTime)));
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

void frmInput::caretToEnd() { Text5->setCursorPosition(static_cast<int>(Text5->text().size())); }

void frmInput::QsoRegister() {
  const std::string_view msg = entry::RegisterCheck(given(Text5->text()), given(Text9->text()),
                                                    given(Combo2->currentText()), dqp());
  if (!msg.empty()) {
    showStatus(msg);
    return;
  }
  entry::QsoEntry e;
  e.time = InputTime;
  e.band = fromQ(Combo1->currentText());
  e.mode = fromQ(Combo2->currentText());
  e.call = fromQ(Text5->text());
  e.sentRst = fromQ(Text6->text());
  e.sentNo = fromQ(Text7->text());
  e.rcvdRst = fromQ(Text8->text());
  e.rcvdNo = fromQ(Text9->text());
  LogDocument& doc = ws_.session().Doc;
  if (!entry::AppendQso(doc, ws_.session().GridData, e)) {
    showStatus(entry::text::kLogFull);
    return;
  }
  ws_.session().journalAppended();
  if (const int top = entry::ScrollRowAfterAppend(doc.Log.count(), doc.State.GridPageRows))
    ws_.scrollGridTo(top);
  clearEntry();
  if (!realTime()) {
    InputTime = ole::addSeconds(doc.Log[doc.Log.count()].QsoTime, 5);
    showTime();
  }
  if (TimeMnl(ws_) == 1) Text1->setFocus();
  else Text5->setFocus();
  DataAdded = 1;
  doc.State.LogDirty = 1;
}

void frmInput::TimeMnlSet(int flag) {
  const bool manual = flag == 1;
  for (EntryUpDown* u : UpDown2) u->setEnabled(!manual);
  Text1->setVisible(manual);
  if (manual) Text1->setFocus();
  else Text5->setFocus();
}

void frmInput::stepTime(entry::TimeField field, int step) {
  InputTime = entry::StepTime(InputTime, field, step);
}

void frmInput::AltKeyCmd(int key) {
  switch (key) {
    case Qt::Key_B: Combo1->setFocus(); break;
    case Qt::Key_C: Text5->setFocus(); break;
    case Qt::Key_M: Combo2->setFocus(); break;
    case Qt::Key_N: Text9->setFocus(); break;
    case Qt::Key_D:
    case Qt::Key_U:
      if (!realTime()) {
        stepTime(entry::TimeField::Minute, key == Qt::Key_D ? -1 : 1);
        showTime();
      }
      break;
    case Qt::Key_W:
      Text5->clear();
      Text9->clear();
      SentRptSet(Combo1->currentText());
      break;
    default: break;
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
      showTime();
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
  showTime();
}

void frmInput::Command1_Click() { clearEntry(); }

void frmInput::Command2_Click() {
  QsoRegister();
  clearEntry();
}

void frmInput::Combo1_Click() {
  SentRptSet(Combo1->currentText());
  caretToEnd();
}

void frmInput::Combo2_Click() {
  ModeSet();
  caretToEnd();
}

void frmInput::UpDown1_Change(int item) {
  const auto i = static_cast<std::size_t>(item);
  const int step = UpDown1[i]->takeStep();
  static constexpr entry::TimeField kFields[] = {entry::TimeField::Year, entry::TimeField::Month,
                                                 entry::TimeField::Day};
  stepTime(kFields[i], step);
  showTime(true);
}

void frmInput::UpDown2_Change(int item) {
  const auto i = static_cast<std::size_t>(item);
  const int step = UpDown2[i]->takeStep();
  stepTime(item == 0 ? entry::TimeField::Hour : entry::TimeField::Minute, step);
  showTime();
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

bool frmInput::keyDown(QObject* source, QKeyEvent* e) {
  const int key = e->key();
  if (key == Qt::Key_Escape) {
    close();
    return true;
  }
  if (key == Qt::Key_Return || key == Qt::Key_Enter) {
    if (!e->isAutoRepeat()) enterDown_ = true;
    if (source == Text5) {
      switch (entry::CommandWord(fromQ(Text5->text()))) {
        case entry::EntryCommand::None: break;
        case entry::EntryCommand::Cabrillo:
          afterClose_ = links.CabOn;
          close();
          return true;
        case entry::EntryCommand::Zlog:
          afterClose_ = links.ZlogOn;
          close();
          return true;
        case entry::EntryCommand::SecondsOn:
        case entry::EntryCommand::SecondsOff: {
          const bool on = entry::CommandWord(fromQ(Text5->text())) == entry::EntryCommand::SecondsOn;
          Text5->clear();
          ws_.session().Doc.State.ShowSeconds = on ? 1 : 0;
          if (!ws_.session().Doc.Log.empty()) ws_.session().FrmLogLoad();
          swallowEnterUp_ = true;
          return true;
        }
        case entry::EntryCommand::ManualOn:
        case entry::EntryCommand::ManualOff: {
          const int flag = entry::CommandWord(fromQ(Text5->text())) == entry::EntryCommand::ManualOn;
          Text5->clear();
          SetTimeMnl(ws_, flag);
          TimeMnlSet(flag);
          swallowEnterUp_ = true;
          return true;
        }
      }
    }
    return false;
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
    return true;
  }
  if (key == Qt::Key_Space) {
    if (!spaceDown_) return false;
    spaceDown_ = false;
    QObject* s = source;
    if (s == Combo1->lineEdit()) s = Combo1;
    if (s == Combo2->lineEdit()) s = Combo2;
    if (s == Text5 || s == Text6) (dqp() ? Text8 : Text9)->setFocus();
    else if (s == Text7 || s == Text8) Text9->setFocus();
    else if (s == Text9) Text5->setFocus();
    else if (s == Text1) Text1_Apply();
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

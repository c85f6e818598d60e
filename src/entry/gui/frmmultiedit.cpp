#include "entry/gui/frmmultiedit.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QVBoxLayout>
#include <algorithm>

#include "contest/contestdef.h"
#include "entry/bandmode.h"
#include "entry/gui/entryfilters.h"
#include "log/gui/cp932guard.h"
#include "log/gui/qtui.h"
#include "contest/gui/workspace.h"
#include "contest/session.h"
#include "log/gui/dialogregistry.h"
#include "log/qso.h"

// ---------------------------------------------------------------- window

namespace {
QLabel* label(const QString& name, const QString& text, QWidget* parent) {
  auto* l = new QLabel(text, parent);
  l->setObjectName(name);
  return l;
}
QLabel* panel(const QString& name, QWidget* parent) {
  auto* l = label(name, QString(), parent);
  l->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  l->setAlignment(Qt::AlignCenter);
  l->setFixedWidth(twipsToPx(700));
  return l;
}
}  // namespace

frmMultiEdit::frmMultiEdit(Workspace& ws) : ToolWindow(ws, kDlgMultiEdit) {
  setObjectName(QStringLiteral("frmMultiEdit"));
  setWindowTitle(QStringLiteral("データ一括エディット"));

  auto* outer = new QVBoxLayout(this);
  outer->setContentsMargins(twipsToPx(240), twipsToPx(180), twipsToPx(240), twipsToPx(180));
  auto* g = new QGridLayout;
  g->setHorizontalSpacing(twipsToPx(90));
  g->addWidget(label(QStringLiteral("Label4"), QStringLiteral("開　　始"), this), 0, 1, 1, 2,
               Qt::AlignCenter);
  g->addWidget(label(QStringLiteral("Label5"), QStringLiteral("終　　了"), this), 0, 3, 1, 2,
               Qt::AlignCenter);
  static const char* captions[] = {"送信RST", "送信RPT", "受信RST", "バンド", "モード", "時　間"};
  for (std::size_t i = 0; i < entry::kMultiEditRows; ++i) {
    const int r = static_cast<int>(i) + 1;
    Check1[i] = new QCheckBox(QString::fromUtf8(captions[i]), this);
    Check1[i]->setObjectName(QStringLiteral("Check1_%1").arg(i));
    Label1[i] = panel(QStringLiteral("Label1_%1").arg(i), this);
    UpDown1[i] = new EntryUpDown(1, 1, this);
    UpDown1[i]->setObjectName(QStringLiteral("UpDown1_%1").arg(i));
    Label2[i] = panel(QStringLiteral("Label2_%1").arg(i), this);
    UpDown2[i] = new EntryUpDown(2, 2, this);
    UpDown2[i]->setObjectName(QStringLiteral("UpDown2_%1").arg(i));
    g->addWidget(Check1[i], r, 0);
    g->addWidget(Label1[i], r, 1);
    g->addWidget(UpDown1[i], r, 2);
    g->addWidget(Label2[i], r, 3);
    g->addWidget(UpDown2[i], r, 4);
  }
  auto lineBox = [this](const char* name) {
    auto* t = new QLineEdit(this);
    t->setObjectName(QString::fromUtf8(name));
    RefuseNonCp932(t);
    t->setFixedWidth(twipsToPx(1300));
    return t;
  };
  Text1 = lineBox("Text1");
  Text2 = lineBox("Text2");
  Text3 = lineBox("Text3");
  Combo1 = new QComboBox(this);
  Combo1->setObjectName(QStringLiteral("Combo1"));
  Combo2 = new QComboBox(this);
  Combo2->setObjectName(QStringLiteral("Combo2"));
  for (QComboBox* c : {Combo1, Combo2}) {
    c->setEditable(true);
    c->setInsertPolicy(QComboBox::NoInsert);
    RefuseNonCp932(c);
    c->setFixedWidth(twipsToPx(1300));
  }
  g->addWidget(Text1, 1, 5, Qt::AlignLeft);
  g->addWidget(Text2, 2, 5, Qt::AlignLeft);
  g->addWidget(Text3, 3, 5, Qt::AlignLeft);
  g->addWidget(Combo1, 4, 5, Qt::AlignLeft);
  g->addWidget(Combo2, 5, 5, Qt::AlignLeft);

  // time row: months, days, hours
  auto* time = new QHBoxLayout;
  static const std::pair<int, int> ranges[] = {{-48, 48}, {-31, 31}, {-24, 24}};
  static const char* units[] = {"月", "日", "時間"};
  for (std::size_t i = 0; i < 3; ++i) {
    Label3[i] = panel(QStringLiteral("Label3_%1").arg(i), this);
    Label3[i]->setFixedWidth(twipsToPx(450));
    UpDown3[i] = new EntryUpDown(ranges[i].first, ranges[i].second, this);
    UpDown3[i]->setObjectName(QStringLiteral("UpDown3_%1").arg(i));
    time->addWidget(Label3[i]);
    time->addWidget(UpDown3[i]);
    time->addWidget(label(QStringLiteral("Label6_%1").arg(i), QString::fromUtf8(units[i]), this));
    time->addSpacing(twipsToPx(90));
  }
  time->addStretch(1);
  g->addLayout(time, 6, 5);
  g->setColumnStretch(6, 1);
  outer->addLayout(g);

  Command1 = namedButton("Command1", QStringLiteral("変　換"), this);
  Command2 = namedButton("Command2", QStringLiteral("終　了"), this);
  for (QPushButton* b : {Command1, Command2}) b->setAutoDefault(false);
  outer->addLayout(buttonRow({Command1, Command2}, 1215, true, RowAlign::Right));

  InstallKeyFilter(Text1, entry::KeyFilter::Report);
  InstallKeyFilter(Text2, entry::KeyFilter::CallSign);
  InstallKeyFilter(Text3, entry::KeyFilter::Report);
  for (QWidget* w : findChildren<QWidget*>()) w->installEventFilter(this);

  for (std::size_t i = 0; i < entry::kMultiEditRows; ++i) {
    const int row = static_cast<int>(i);
    connect(Check1[i], &QCheckBox::clicked, this, [this, row] { Check1_Click(row); });
    connect(UpDown1[i], &EntryUpDown::Change, this, [this, row] { UpDown1_Change(row); });
    connect(UpDown2[i], &EntryUpDown::Change, this, [this, row] { UpDown2_Change(row); });
  }
  for (std::size_t i = 0; i < 3; ++i) {
    const int item = static_cast<int>(i);
    connect(UpDown3[i], &EntryUpDown::Change, this, [this, item] { UpDown3_Change(item); });
  }
  connect(Combo2, &QComboBox::activated, this, [this] { Combo2_Click(); });
  connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
  connect(Command2, &QPushButton::clicked, this, &frmMultiEdit::Command2_Click);
  Form_Load();
}

frmMultiEdit* frmMultiEdit::showFor(Workspace& ws) {
  return OpenToolWindow<frmMultiEdit>(ws);
}

std::array<QWidget*, entry::kMultiEditRows> frmMultiEdit::valueControls() const {
  return {Text1, Text2, Text3, Combo1, Combo2, nullptr};
}

void frmMultiEdit::Form_Load() {
  adjustSize();
  const QRect m = ws_.mainWidget()->frameGeometry();
  move(m.x() + m.width() / 2 - width() / 2, m.y() + twipsToPx(500));
  BandModeSet();
  const int count = ws_.session().Doc.Log.count();
  for (std::size_t i = 0; i < entry::kMultiEditRows; ++i) {
    UpDown1[i]->setMinimum(1);
    UpDown1[i]->setMaximum(count - 1);
    UpDown2[i]->setMinimum(2);
    UpDown2[i]->setMaximum(count);
    UpDown2[i]->setValue(count);
    Label1[i]->setText(QString::number(UpDown1[i]->value()));
    Label2[i]->setText(QString::number(UpDown2[i]->value()));
  }
  for (std::size_t i = 0; i < 3; ++i) {
    UpDown3[i]->setValue(0);
    Label3[i]->setText(QStringLiteral("0"));
  }
  for (int row = 0; row < entry::kMultiEditRows; ++row) RowEnable(row, false);
  Command1->setEnabled(false);
  // Fewer than two QSOs make no range: nothing can be ticked.
  if (count < 2)
    for (QCheckBox* c : Check1) c->setEnabled(false);
  registerOpen();
}

void frmMultiEdit::BandModeSet() { FillBandModeLists(Combo1, Combo2, ws_.session().Contest); }

void frmMultiEdit::ModeSet() { ApplyModeReport(Combo2, Text1, Text3, entry::ReportRule::MultiEdit); }

void frmMultiEdit::RowEnable(int row, bool ticked) {
  const auto i = static_cast<std::size_t>(row);
  for (QWidget* w : std::initializer_list<QWidget*>{UpDown1[i], UpDown2[i], Label1[i], Label2[i]})
    w->setEnabled(ticked);
  if (QWidget* v = valueControls()[i]) v->setEnabled(ticked);
  if (row == entry::RowTime)
    for (std::size_t k = 0; k < 3; ++k) {
      UpDown3[k]->setEnabled(ticked);
      Label3[k]->setEnabled(ticked);
    }
}

void frmMultiEdit::Check1_Click(int row) {
  RowEnable(row, Check1[static_cast<std::size_t>(row)]->isChecked());
  Command1->setEnabled(std::any_of(Check1.begin(), Check1.end(),
                                   [](const QCheckBox* c) { return c->isChecked(); }));
}

void frmMultiEdit::UpDown1_Change(int row) {
  const auto i = static_cast<std::size_t>(row);
  const int v = UpDown1[i]->value();
  Label1[i]->setText(QString::number(v));
  UpDown2[i]->setMinimum(v + 1);
  if (row == entry::RowMode) {
    UpDown1[entry::RowSentRst]->setValue(v);
    UpDown1[entry::RowRcvdRst]->setValue(v);
  }
}

void frmMultiEdit::UpDown2_Change(int row) {
  const auto i = static_cast<std::size_t>(row);
  const int v = UpDown2[i]->value();
  Label2[i]->setText(QString::number(v));
  UpDown1[i]->setMaximum(v - 1);
  if (row == entry::RowMode) {
    UpDown2[entry::RowSentRst]->setValue(v);
    UpDown2[entry::RowRcvdRst]->setValue(v);
  }
}

void frmMultiEdit::UpDown3_Change(int item) {
  const auto i = static_cast<std::size_t>(item);
  Label3[i]->setText(QString::number(UpDown3[i]->value()));
}

void frmMultiEdit::Combo2_Click() { ModeSet(); }

bool frmMultiEdit::Command1_Click() {
  if (ws_.session().Doc.Log.count() < 2) return false;
  entry::MultiEdit m;
  for (std::size_t i = 0; i < entry::kMultiEditRows; ++i)
    m.rows[i] = {Check1[i]->isChecked(), UpDown1[i]->value(), UpDown2[i]->value()};
  m.sentRst = fromQ(Text1->text());
  m.sentNo = fromQ(Text2->text());
  m.rcvdRst = fromQ(Text3->text());
  m.band = fromQ(Combo1->currentText());
  m.mode = fromQ(Combo2->currentText());
  m.months = UpDown3[0]->value();
  m.days = UpDown3[1]->value();
  m.hours = UpDown3[2]->value();
  const int applied = entry::MultiEditApply(ws_.session().Doc.Log, m);
  if (m.rows[entry::RowTime].ticked)
    for (EntryUpDown* u : UpDown3) u->setValue(0);
  if (applied == 0) return false;
  ws_.session().LogDataSearch();
  ws_.session().Doc.State.LogDirty = 1;
  return true;
}

void frmMultiEdit::Command2_Click() { close(); }

bool frmMultiEdit::eventFilter(QObject* o, QEvent* e) {
  if (e->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(e)->key() == Qt::Key_Escape) {
    close();
    return true;
  }
  return QWidget::eventFilter(o, e);
}


#include "entry/gui/frmtime.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QVBoxLayout>

#include "contest/contestdef.h"
#include "entry/edit.h"
#include "entry/gui/entryfilters.h"
#include "log/gui/qtui.h"
#include "contest/gui/workspace.h"
#include "contest/session.h"
#include "log/gui/dialogregistry.h"
#include "log/qso.h"

void TimeEdit(Workspace& ws, int hours) {
  if (!entry::TimeEdit(ws.session().Doc.Log, hours)) return;
  ws.session().journalChange();
  ws.session().Doc.State.LogDirty = 1;
  ws.session().FrmLogLoad();
}

frmTime::frmTime(Workspace& ws) : ToolWindow(ws, DlgTime) {
  setObjectName(QStringLiteral("frmTime"));
  setWindowTitle(QStringLiteral("時間の増減"));

  auto* lay = new QVBoxLayout(this);
  lay->setContentsMargins(twipsToPx(240), twipsToPx(240), twipsToPx(240), twipsToPx(180));
  auto* line = new QHBoxLayout;
  line->addStretch(1);
  Label2 = new QLabel(QStringLiteral("全ログデータの時間に"), this);
  Label2->setObjectName(QStringLiteral("Label2"));
  Label1 = new QLabel(this);
  Label1->setObjectName(QStringLiteral("Label1"));
  Label1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  Label1->setAlignment(Qt::AlignCenter);
  Label1->setFixedWidth(twipsToPx(600));
  UpDown1 = new EntryUpDown(-24, 24, this);
  UpDown1->setObjectName(QStringLiteral("UpDown1"));
  Label3 = new QLabel(QStringLiteral("時間加算します"), this);
  Label3->setObjectName(QStringLiteral("Label3"));
  line->addWidget(Label2);
  line->addWidget(Label1);
  line->addWidget(UpDown1);
  line->addWidget(Label3);
  line->addStretch(1);
  lay->addLayout(line);
  Label5 = new QLabel(this);
  Label5->setObjectName(QStringLiteral("Label5"));
  Label5->setAlignment(Qt::AlignCenter);
  lay->addWidget(Label5);
  OKButton = namedButton("OKButton", QStringLiteral("開 始"), this);
  CancelButton = namedButton("CancelButton", QStringLiteral("ｷｬﾝｾﾙ"), this);
  for (QPushButton* b : {OKButton, CancelButton}) b->setAutoDefault(false);
  lay->addLayout(buttonRow({OKButton, CancelButton}, 1215));
  setFixedSize(twipsToPx(5400), twipsToPx(2100));

  for (QWidget* w : findChildren<QWidget*>()) w->installEventFilter(this);
  connect(UpDown1, &EntryUpDown::Change, this, &frmTime::UpDown1_Change);
  connect(OKButton, &QPushButton::clicked, this, &frmTime::OKButton_Click);
  connect(CancelButton, &QPushButton::clicked, this, &frmTime::CancelButton_Click);
  Form_Load();
}

frmTime* frmTime::showFor(Workspace& ws) {
  return OpenToolWindow<frmTime>(ws, &frmTime::OKButton);
}

void frmTime::Form_Load() {
  const QRect m = ws_.mainWidget()->frameGeometry();
  move(m.x() + m.width() / 2 - width() / 2, m.y() + twipsToPx(1000));
  Label5->setText(ws_.session().Contest.SetUTCtime == 1 ? QStringLiteral("時間を UTC に合わせてください")
                                                : QStringLiteral("時間を JST に合わせてください"));
  UpDown1_Change();
  registerOpen();
}

void frmTime::UpDown1_Change() { Label1->setText(QString::number(UpDown1->value())); }

void frmTime::OKButton_Click() {
  if (closed()) return;
  const int hours = UpDown1->value();
  TimeEdit(ws_, hours);
  close();
}

void frmTime::CancelButton_Click() { close(); }

bool frmTime::key(QKeyEvent* e) {
  if (e->key() == Qt::Key_Escape) {
    close();
    return true;
  }
  if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
    // Closed first; the shift runs with the value read before.
    const int hours = UpDown1->value();
    Workspace& ws = ws_;
    close();
    TimeEdit(ws, hours);
    return true;
  }
  return false;
}

bool frmTime::eventFilter(QObject* o, QEvent* e) {
  if (e->type() == QEvent::KeyPress && !closed() && key(static_cast<QKeyEvent*>(e))) return true;
  return QWidget::eventFilter(o, e);
}

void frmTime::keyPressEvent(QKeyEvent* e) {
  if (!closed() && key(e)) return;
  ToolWindow::keyPressEvent(e);
}


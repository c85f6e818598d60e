#include "output/gui/frmqtc.h"

#include <QApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QTextBlock>
#include <QVBoxLayout>

#include "log/gui/qtui.h"
#include "contest/gui/workspace.h"
#include "contest/session.h"
#include "log/gui/dialogregistry.h"
#include "log/qso.h"
#include "output/submit.h"

namespace {

QTextEdit* box(const char* name, QWidget* parent) {
  auto* t = new QTextEdit(parent);
  t->setObjectName(QString::fromUtf8(name));
  t->setReadOnly(true);
  t->setAcceptRichText(false);
  t->setTabChangesFocus(true);
  t->setFixedHeight(twipsToPx(1200));
  return t;
}

void paint(QWidget* w, bool missing) {
  QPalette p = w->palette();
  const QColor c = missing ? QColor(Qt::red) : QApplication::palette(w).color(QPalette::Text);
  p.setColor(QPalette::WindowText, c);
  p.setColor(QPalette::Text, c);
  w->setPalette(p);
}

void showItem(QLabel* l, const submit::CheckItem& item) {
  l->setText(item.missing ? toQ(submit::kMissing) : toQ(item.value));
  paint(l, item.missing);
}

void showItem(QTextEdit* t, const submit::CheckItem& item) {
  t->setPlainText(item.missing ? toQ(submit::kMissing) : boxText(item.value));
  t->selectAll();
  t->setAlignment(item.missing ? Qt::AlignHCenter : Qt::AlignLeft);
  QTextCursor c = t->textCursor();
  c.movePosition(QTextCursor::Start);
  t->setTextCursor(c);
  paint(t, item.missing);
}

}  // namespace

frmQTC::frmQTC(Workspace& ws) : ToolWindow(ws, DlgQTC) {
  setActivatesMain(false);
  setObjectName(QStringLiteral("frmQTC"));
  setWindowTitle(QStringLiteral("サマリーシート必須事項の確認"));

  auto* outer = new QVBoxLayout(this);
  auto* g = new QGridLayout;
  outer->addLayout(g);
  auto caption = [this](const char* text) { return new QLabel(QString::fromUtf8(text), this); };
  Label10 = selectablePanel("Label10", this);
  Label11 = selectablePanel("Label11", this);
  Label12 = selectablePanel("Label12", this);
  Label13 = selectablePanel("Label13", this);
  Label21 = selectablePanel("Label21", this);
  Label14 = selectablePanel("Label14", this);
  Label15 = selectablePanel("Label15", this);
  Label16 = selectablePanel("Label16", this);
  Text1 = box("Text1", this);
  Text2 = box("Text2", this);
  Text2->setFixedHeight(twipsToPx(1500));

  int r = 0;
  g->addWidget(caption("コンテストの名称"), r, 0);
  g->addWidget(Label10, r++, 1, 1, 4);
  g->addWidget(caption("参加部門および種類"), r, 0);
  g->addWidget(caption("名　称"), r, 1);
  g->addWidget(Label11, r, 2);
  g->addWidget(caption("コード"), r, 3);
  g->addWidget(Label12, r++, 4);
  g->addWidget(caption("コンテスト中使用した最大空中線電力"), r, 0);
  auto* power = new QHBoxLayout;
  power->addWidget(Label13, 1);
  power->addWidget(Label21);
  g->addLayout(power, r++, 1, 1, 4);
  g->addWidget(caption("コールサイン"), r, 0);
  g->addWidget(Label14, r++, 1, 1, 4);
  g->addWidget(caption("局免許者の氏名（社団の名称）"), r, 0);
  g->addWidget(Label15, r++, 1, 1, 4);
  g->addWidget(caption("局免許者の無線従事者資格"), r, 0);
  g->addWidget(Label16, r++, 1, 1, 4);
  g->addWidget(caption("連絡先"), r, 0, Qt::AlignTop);
  g->addWidget(Text1, r++, 1, 1, 4);
  g->addWidget(caption("宣誓文"), r, 0, Qt::AlignTop);
  g->addWidget(Text2, r++, 1, 1, 4);
  g->setColumnStretch(2, 1);
  Label12->setMinimumWidth(twipsToPx(1100));
  Label21->setMinimumWidth(twipsToPx(1100));

  OKButton = namedButton("OKButton", QStringLiteral("設定フォームを開く"), this);
  CancelButton = namedButton("CancelButton", QStringLiteral("ｷｬﾝｾﾙ"), this);
  outer->addLayout(buttonRow({OKButton, CancelButton}, 1800, false));
  connect(OKButton, &QPushButton::clicked, this, &frmQTC::OKButton_Click);
  connect(CancelButton, &QPushButton::clicked, this, &frmQTC::CancelButton_Click);
  resize(twipsToPx(10500), sizeHint().height());

  // Opening: menus off, topmost, 300 twips right of and below the main
  // window's corner, the snapshot, then registered.
  move(ws_.mainWidget()->pos() + QPoint(twipsToPx(300), twipsToPx(300)));
  SummaryCheckLoad();
  registerOpen();
}

frmQTC* frmQTC::open(Workspace& ws) {
  auto* d = qobject_cast<frmQTC*>(ws.dialogs().find(DlgQTC));
  if (!d) d = new frmQTC(ws);
  d->show();
  d->raise();
  d->activateWindow();
  d->OKButton->setFocus();
  return d;
}

void frmQTC::SummaryCheckLoad() {
  const submit::SummaryCheck c = submit::SummaryCheckLoad(ws_.session().Ini, ws_.session().Contest);
  showItem(Label10, c.items[submit::kContest]);
  showItem(Label11, c.items[submit::kCategory]);
  showItem(Label12, c.items[submit::kCateCode]);
  showItem(Label13, c.items[submit::kPower]);
  Label21->setText(toQ(c.powerType));
  showItem(Label14, c.items[submit::kCallSign]);
  showItem(Label15, c.items[submit::kName]);
  showItem(Label16, c.items[submit::kLicenseClass]);
  showItem(Text1, c.items[submit::kAddress]);
  showItem(Text2, c.items[submit::kOath]);
}

void frmQTC::OKButton_Click() {
  close();
  ws_.showMyData();
}

void frmQTC::CancelButton_Click() { close(); }


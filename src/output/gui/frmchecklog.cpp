#include "output/gui/frmchecklog.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QStyle>
#include <QVBoxLayout>
#include <array>

#include "contest/contestdef.h"
#include "contest/gui/workspace.h"
#include "contest/session.h"
#include "log/gui/dialogregistry.h"
#include "log/gui/qtui.h"
#include "log/qso.h"
#include "output/elog.h"
#include "output/gui/frmmakelog.h"

namespace {

constexpr std::array<check::Level, 3> kLevels = {check::Level::Error, check::Level::Warning,
                                                 check::Level::Note};
// Where a list item's finding is kept: its index in findings_, -1 for a heading.
constexpr int kIndexRole = Qt::UserRole;

QIcon levelIcon(check::Level level) {
  const QStyle::StandardPixmap p = level == check::Level::Error     ? QStyle::SP_MessageBoxCritical
                                   : level == check::Level::Warning ? QStyle::SP_MessageBoxWarning
                                                                    : QStyle::SP_MessageBoxInformation;
  return QApplication::style()->standardIcon(p);
}

int countOf(const std::vector<check::Finding>& findings, check::Level level) {
  int n = 0;
  for (const check::Finding& f : findings) n += f.level == level ? 1 : 0;
  return n;
}

}  // namespace

frmCheckLog::frmCheckLog(Workspace& ws, From from) : ToolWindow(ws, DlgCheckLog), from_(from) {
  setObjectName(QStringLiteral("frmCheckLog"));
  setWindowTitle(QStringLiteral("提出前チェック"));

  auto* outer = new QVBoxLayout(this);
  Label1 = new QLabel(this);
  Label1->setObjectName(QStringLiteral("Label1"));
  outer->addWidget(Label1);

  List1 = new QTreeWidget(this);
  List1->setObjectName(QStringLiteral("List1"));
  List1->setColumnCount(2);
  List1->setHeaderLabels({QStringLiteral("QSO"), QStringLiteral("内容")});
  List1->setRootIsDecorated(true);
  List1->setUniformRowHeights(true);
  List1->setWordWrap(false);
  List1->setExpandsOnDoubleClick(false);
  List1->header()->setStretchLastSection(true);
  List1->setColumnWidth(0, twipsToPx(1500));
  List1->installEventFilter(this);
  outer->addWidget(List1, 1);

  Label2 = new QLabel(
      QStringLiteral("QSO番号のある項目をダブルクリック（またはEnter）すると、その交信の修正画面を開きます。"),
      this);
  Label2->setObjectName(QStringLiteral("Label2"));
  Label2->setWordWrap(true);
  outer->addWidget(Label2);

  Command1 = namedButton("Command1", QStringLiteral("このまま作成"), this);
  Command2 = namedButton("Command2", QStringLiteral("閉じる"), this);
  outer->addLayout(buttonRow({Command1, Command2}, 1500, false, RowAlign::Right));
  connect(Command1, &QPushButton::clicked, this, &frmCheckLog::Command1_Click);
  connect(Command2, &QPushButton::clicked, this, &frmCheckLog::Command2_Click);
  connect(List1, &QTreeWidget::itemDoubleClicked, this,
          [this](QTreeWidgetItem* item) { jumpTo(item); });
  setEnterClicksButton(true);

  resize(twipsToPx(9600), twipsToPx(5400));
  move(ws_.mainWidget()->pos() + QPoint(twipsToPx(300), twipsToPx(300)));
  registerOpen();
}

// Destroyed with the main window: its state is gone by then.
frmCheckLog::~frmCheckLog() = default;

std::vector<check::Finding> frmCheckLog::Findings(Workspace& ws) {
  const Session& s = ws.session();
  return check::CheckLog({s.Doc.Log, s.Contest, s.Score, s.Ini, elog::DefaultFormat(s.Contest)});
}

frmCheckLog* frmCheckLog::open(Workspace& ws) { return open(ws, From::Menu, Findings(ws)); }

frmCheckLog* frmCheckLog::open(Workspace& ws, From from, std::vector<check::Finding> findings) {
  auto* d = qobject_cast<frmCheckLog*>(ws.dialogs().find(DlgCheckLog));
  if (!d) d = new frmCheckLog(ws, from);
  d->showFindings(std::move(findings));
  d->show();
  d->raise();
  d->activateWindow();
  return d;
}

void frmCheckLog::showFindings(std::vector<check::Finding> findings) {
  findings_ = std::move(findings);
  List1->clear();
  QStringList counts;
  QTreeWidgetItem* first = nullptr;
  for (check::Level level : kLevels) {
    const int n = countOf(findings_, level);
    if (n == 0) continue;
    counts << toQ(check::LevelText(level)) + QStringLiteral(" %1 件").arg(n);
    auto* group = new QTreeWidgetItem(List1);
    group->setText(0, toQ(check::LevelText(level)) + QStringLiteral("（%1）").arg(n));
    group->setIcon(0, levelIcon(level));
    group->setFirstColumnSpanned(true);
    group->setData(0, kIndexRole, -1);
    QFont bold = group->font(0);
    bold.setBold(true);
    group->setFont(0, bold);
    for (std::size_t i = 0; i < findings_.size(); ++i) {
      const check::Finding& f = findings_[i];
      if (f.level != level) continue;
      auto* item = new QTreeWidgetItem(group);
      item->setData(0, kIndexRole, static_cast<int>(i));
      if (f.qso > 0) item->setText(0, QString::number(f.qso));
      item->setText(1, toQ(f.text));
      item->setToolTip(1, toQ(f.text));
      if (level == check::Level::Error) item->setForeground(1, QColor(Qt::red));
      if (!first) first = item;
    }
    group->setExpanded(true);
  }
  Label1->setText(findings_.empty() ? QStringLiteral("問題は見つかりませんでした。")
                                    : counts.join(QStringLiteral("、")) +
                                          QStringLiteral(" が見つかりました。"));
  Label2->setVisible(!findings_.empty());
  if (first) {
    List1->setCurrentItem(first);
    List1->setFocus();
  } else {
    Command1->setFocus();
  }
}

const check::Finding* frmCheckLog::findingOf(const QTreeWidgetItem* item) const {
  if (!item) return nullptr;
  const int i = item->data(0, kIndexRole).toInt();
  return i >= 0 && i < static_cast<int>(findings_.size()) ? &findings_[static_cast<std::size_t>(i)]
                                                          : nullptr;
}

void frmCheckLog::jumpTo(const QTreeWidgetItem* item) {
  const check::Finding* f = findingOf(item);
  if (closed() || !f || f->qso < 1 || f->qso > ws_.session().Doc.Log.count()) return;
  const int row = f->qso;
  ws_.selectGridRow(row);
  ws_.session().Doc.State.SelRow = static_cast<std::int16_t>(row);
  // One tool window at a time: this one makes way for the edit window.
  Workspace& ws = ws_;
  close();
  ws.editQso(row);
}

bool frmCheckLog::eventFilter(QObject* o, QEvent* e) {
  if (o == List1 && e->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(e)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
      jumpTo(List1->currentItem());
      return true;
    }
  }
  return ToolWindow::eventFilter(o, e);
}

void frmCheckLog::Command1_Click() {
  const int errors = countOf(findings_, check::Level::Error);
  if (errors > 0 &&
      ws_.session().ui().ask("エラーが " + std::to_string(errors) +
                                 " 件あります。\r\nこのまま電子ログを作成しますか？",
                             Buttons::YesNo, Icon::Exclamation) != Answer::Yes)
    return;
  Workspace& ws = ws_;
  const From from = from_;
  close();
  // The command offered the save and checked the summary sheet already.
  frmMakeLog::openChecked(ws, from == From::Menu);
}

void frmCheckLog::Command2_Click() { close(); }

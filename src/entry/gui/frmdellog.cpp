#include "entry/gui/frmdellog.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "entry/edit.h"
#include "log/grid.h"
#include "log/gui/qtui.h"
#include "contest/gui/workspace.h"
#include "contest/session.h"
#include "log/gui/dialogregistry.h"
#include "log/qso.h"
#include "log/utf8.h"

frmDelLog::frmDelLog(Workspace& ws) : ToolWindow(ws, DlgDelLog) {
  setObjectName(QStringLiteral("frmDelLog"));
  setWindowTitle(QStringLiteral("ログデータの削除"));

  auto* lay = new QVBoxLayout(this);
  lay->setContentsMargins(twipsToPx(240), twipsToPx(240), twipsToPx(240), twipsToPx(180));
  Label1 = new QLabel(this);
  Label1->setObjectName(QStringLiteral("Label1"));
  Label1->setAlignment(Qt::AlignCenter);
  lay->addWidget(Label1, 1);
  OKButton = namedButton("OKButton", QStringLiteral("削　除"), this);
  CancelButton = namedButton("CancelButton", QStringLiteral("キャンセル"), this);
  lay->addLayout(buttonRow({OKButton, CancelButton}, 1215));
  setFixedSize(twipsToPx(5400), twipsToPx(1800));
  connect(OKButton, &QPushButton::clicked, this, &frmDelLog::OKButton_Click);
  connect(CancelButton, &QPushButton::clicked, this, &frmDelLog::CancelButton_Click);
  Form_Load();
}

frmDelLog* frmDelLog::showFor(Workspace& ws) {
  const int sel = ws.session().Doc.State.SelRow;
  if (sel < 1 || sel > ws.session().Doc.Log.count() || sel >= ws.session().GridData.rows()) return nullptr;
  return OpenToolWindow<frmDelLog>(ws, &frmDelLog::CancelButton);
}

void frmDelLog::Form_Load() {
  // 1. centred over the main window
  const QRect m = ws_.mainWidget()->frameGeometry();
  move(m.x() + m.width() / 2 - width() / 2, m.y() + twipsToPx(1000));
  // 2. the number and the call sign as the grid shows them
  row_ = ws_.session().Doc.State.SelRow;
  const std::string no(utf8::trim(ws_.session().GridData.cell(row_, 0)));
  const std::string call(utf8::trim(ws_.session().GridData.cell(row_, 2)));
  ws_.selectGridRow(row_);
  // 3. the question
  Label1->setText(QStringLiteral("No ") + toQ(no) + QStringLiteral("  ") + toQ(call) +
                  QStringLiteral("  ") + QStringLiteral("　を削除しますか ?"));
  // 4. menus off, topmost, registered; the log counts as changed from here on
  registerOpen();
  Deleted = 0;
  ws_.session().Doc.State.LogDirty = 1;
}

void frmDelLog::OKButton_Click() {
  if (closed()) return;
  // The grid keeps an empty data row when the last QSO goes.
  if (ws_.session().GridData.rows() == 2) ws_.session().GridData.addRow("");
  if (entry::QsoDelete(ws_.session().Doc.Log, row_)) Deleted = 1;
  close();
}

void frmDelLog::CancelButton_Click() { close(); }

void frmDelLog::onClose() {
  if (Deleted == 1) ws_.session().LogDataSearch();
  ws_.session().Doc.State.SelRow = 0;
}

void frmDelLog::changeEvent(QEvent* e) {
  QWidget::changeEvent(e);
  // Losing the focus hands it to the main window, where the operator goes on.
  if (e->type() == QEvent::ActivationChange && !closed() && isVisible() && !isActiveWindow() &&
      QApplication::activeWindow() != ws_.mainWidget())
    ws_.mainWidget()->activateWindow();
}

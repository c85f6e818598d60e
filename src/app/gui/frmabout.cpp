#include "app/gui/frmabout.h"

#include <QEvent>
#include <QKeyEvent>
#include <QVBoxLayout>

#include "app/core/version.h"
#include "log/gui/qtui.h"

QString frmAbout::versionText(bool committee) {
  QString v = QStringLiteral("Version ") + toQ(ProgramVersion());
  if (committee) v += QStringLiteral("  委員会");
  return v;
}

frmAbout::frmAbout(QWidget* mainWindow, bool committee) : QDialog(mainWindow) {
  setObjectName(QStringLiteral("frmAbout"));
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowFlag(Qt::WindowContextHelpButtonHint, false);
  setWindowTitle(toQ(kProgramTitle) + QStringLiteral(" のバージョン"));
  auto* lay = new QVBoxLayout(this);
  lblTitle = new QLabel(toQ(kProgramTitle), this);
  lblTitle->setObjectName(QStringLiteral("lblTitle"));
  QFont f = lblTitle->font();
  f.setPointSizeF(f.pointSizeF() * 1.6);
  f.setBold(true);
  lblTitle->setFont(f);
  lblVersion = new QLabel(versionText(committee), this);
  lblVersion->setObjectName(QStringLiteral("lblVersion"));
  auto* blurb = new QLabel(QStringLiteral("JARL 電子ログ作成・提出プログラム"), this);
  blurb->setObjectName(QStringLiteral("lblDescription"));
  cmdOK = new QPushButton(QStringLiteral("OK"), this);
  cmdOK->setObjectName(QStringLiteral("cmdOK"));
  cmdOK->setDefault(true);
  cmdOK->installEventFilter(this);
  lay->addWidget(lblTitle);
  lay->addWidget(lblVersion);
  lay->addWidget(blurb);
  lay->addWidget(cmdOK, 0, Qt::AlignRight);
  connect(cmdOK, &QPushButton::clicked, this, &QDialog::close);
  setFixedSize(twipsToPx(5700), twipsToPx(2600));
  if (mainWindow) {
    const QRect m = mainWindow->frameGeometry();
    move(m.center() - QPoint(width() / 2, height() / 2));
  }
}

bool frmAbout::eventFilter(QObject* o, QEvent* e) {
  // The box closes when its OK button loses the focus.
  if (o == cmdOK && e->type() == QEvent::FocusOut && isVisible()) close();
  return QDialog::eventFilter(o, e);
}

void frmAbout::keyPressEvent(QKeyEvent* e) {
  if (e->key() == Qt::Key_Escape) {
    close();
    return;
  }
  QDialog::keyPressEvent(e);
}

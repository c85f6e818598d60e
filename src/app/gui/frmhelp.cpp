#include "app/gui/frmhelp.h"

#include <QDesktopServices>
#include <QKeyEvent>
#include <QPointer>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>
#include <QVBoxLayout>

#include "log/gui/qtui.h"

frmHelp::frmHelp(QWidget* mainWindow) : QWidget(mainWindow, Qt::Window) {
  setObjectName(QStringLiteral("frmHelp"));
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowTitle(toQ(kProgramTitle) + QStringLiteral(" ヘルプ"));
  auto* lay = new QVBoxLayout(this);
  lay->setContentsMargins(0, 0, 0, 0);
  Browser1 = new QTextBrowser(this);
  Browser1->setObjectName(QStringLiteral("Browser1"));
  Browser1->setOpenExternalLinks(true);
  lay->addWidget(Browser1);
  resize(twipsToPx(11000), twipsToPx(10500));
  if (mainWindow) {
    const QRect m = mainWindow->frameGeometry();
    move(m.center() - QPoint(width() / 2, height() / 2));
  }
}

frmHelp* frmHelp::showPage(QWidget* mainWindow, const QString& path) {
  frmHelp* w = mainWindow ? mainWindow->findChild<frmHelp*>(QStringLiteral("frmHelp"),
                                                          Qt::FindDirectChildrenOnly)
                          : nullptr;
  if (!w) w = new frmHelp(mainWindow);
  w->Browser1->setSource(QUrl::fromLocalFile(path));
  if (!w->Browser1->documentTitle().isEmpty()) w->setWindowTitle(w->Browser1->documentTitle());
  w->show();
  w->raise();
  w->activateWindow();
  return w;
}

void frmHelp::keyPressEvent(QKeyEvent* e) {
  if (e->key() == Qt::Key_Escape) {
    close();
    return;
  }
  QWidget::keyPressEvent(e);
}

QProcess* OpenHelpPage(QWidget* mainWindow, const QString& path, const QString& opener) {
  const QString exe =
      opener.contains(QLatin1Char('/')) ? opener : QStandardPaths::findExecutable(opener);
  if (exe.isEmpty()) {
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(path))) frmHelp::showPage(mainWindow, path);
    return nullptr;
  }
  // The opener may live as long as the browser it starts: it is not the main
  // window's child, so closing the program neither waits for it nor kills it.
  auto* p = new QProcess;
  const QPointer<QWidget> owner(mainWindow);
  auto fallback = [owner, path] {
    if (owner) frmHelp::showPage(owner, path);
  };
  QObject::connect(p, &QProcess::errorOccurred, p, [p, fallback](QProcess::ProcessError e) {
    if (e != QProcess::FailedToStart) return;
    fallback();
    p->deleteLater();
  });
  QObject::connect(p, &QProcess::finished, p,
                   [p, fallback](int code, QProcess::ExitStatus status) {
                     if (status != QProcess::NormalExit || code != 0) fallback();
                     p->deleteLater();
                   });
  p->setStandardInputFile(QProcess::nullDevice());
  p->setStandardOutputFile(QProcess::nullDevice());
  p->setStandardErrorFile(QProcess::nullDevice());
  p->start(exe, {path});
  return p;
}

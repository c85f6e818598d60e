#include "app/gui/frmhelp.h"

#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
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

namespace {

QString program(const QString& name) {
  return name.contains(QLatin1Char('/')) ? name : QStandardPaths::findExecutable(name);
}

// The folders a desktop file ID is looked for in, most personal first.
QStringList applicationFolders() {
  QString home = qEnvironmentVariable("XDG_DATA_HOME");
  if (home.isEmpty()) home = QDir::homePath() + QStringLiteral("/.local/share");
  QString dirs = qEnvironmentVariable("XDG_DATA_DIRS");
  if (dirs.isEmpty()) dirs = QStringLiteral("/usr/local/share:/usr/share");
  QStringList out{home + QStringLiteral("/applications")};
  for (const QString& d : dirs.split(QLatin1Char(':'), Qt::SkipEmptyParts))
    out << d + QStringLiteral("/applications");
  return out;
}

// The desktop file of an ID: "vendor-app.desktop" may also lie in vendor/app.desktop.
QString desktopFile(const QString& id) {
  for (const QString& folder : applicationFolders()) {
    QString rel = id;
    for (;;) {
      if (QFileInfo(folder + QLatin1Char('/') + rel).isFile()) return folder + QLatin1Char('/') + rel;
      const qsizetype dash = rel.indexOf(QLatin1Char('-'));
      if (dash < 0) break;
      rel[dash] = QLatin1Char('/');
    }
  }
  return {};
}

}  // namespace

bool HtmlHandlerIsBrowser(const QString& mimeQuery) {
  const QString exe = program(mimeQuery);
  if (exe.isEmpty()) return false;
  QProcess q;
  q.setStandardInputFile(QProcess::nullDevice());
  q.start(exe, {QStringLiteral("query"), QStringLiteral("default"), QStringLiteral("text/html")});
  if (!q.waitForFinished(3000)) {
    q.kill();
    q.waitForFinished(1000);
    return false;
  }
  const QString answer = QString::fromUtf8(q.readAllStandardOutput()).section(QLatin1Char('\n'), 0, 0);
  const QString id = answer.section(QLatin1Char(';'), 0, 0).trimmed();
  if (id.isEmpty()) return false;
  QFile f(desktopFile(id));
  if (!f.open(QIODevice::ReadOnly)) return false;
  bool entry = false;
  for (const QByteArray& raw : f.readAll().split('\n')) {
    const QString line = QString::fromUtf8(raw).trimmed();
    if (line.startsWith(QLatin1Char('['))) entry = line == QStringLiteral("[Desktop Entry]");
    if (!entry) continue;
    const QStringList values = line.section(QLatin1Char('='), 1).split(QLatin1Char(';'));
    if (line.startsWith(QStringLiteral("Categories=")) && values.contains(QStringLiteral("WebBrowser")))
      return true;
    if (line.startsWith(QStringLiteral("MimeType=")) &&
        values.contains(QStringLiteral("x-scheme-handler/http")))
      return true;
  }
  return false;
}

QProcess* OpenHelpPage(QWidget* mainWindow, const QString& path, const QString& opener,
                       const QString& mimeQuery) {
  if (!HtmlHandlerIsBrowser(mimeQuery)) {
    frmHelp::showPage(mainWindow, path);
    return nullptr;
  }
  const QString exe = program(opener);
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

// The help page: the desktop's opener when a web browser handles HTML, the
// program's own window when the desktop cannot show it or would show the
// raw page in an editor.
#include <QFile>
#include <QImage>
#include <QTextBlock>
#include <QTextDocument>
#include <QPointer>
#include <QProcess>
#include <QSignalSpy>
#include <QtTest>

#include "app/gui/frmhelp.h"
#include "guitestsupport.h"

class TestFrmHelp : public QObject {
  Q_OBJECT
 private slots:
  void menuShowsOwnWindowWithoutOpener();
  void failingOpenerShowsOwnWindow();
  void openerThatCannotStartShowsOwnWindow();
  void workingOpenerShowsNothing();
  void mainWindowGoneBeforeOpenerFails();
  void browserOrEditorByTheDesktopFile();
  void editorHandlerShowsOwnWindow();
};

namespace {
// The shipped page and its pictures, laid out as first start lays them out.
QString copyPage(MainFixture& f) {
  const QString page = f.dir.filePath(QStringLiteral("tamarack.html"));
  QFile::remove(page);
  if (!QFile::copy(QStringLiteral(TAMARACK_SHIPPED_DIR "/tamarack.html"), page)) return {};
  const QDir pictures(QStringLiteral(TAMARACK_SHIPPED_DIR "/help"));
  QDir(f.dir.path()).mkpath(QStringLiteral("help"));
  for (const QString& name : pictures.entryList(QDir::Files))
    QFile::copy(pictures.filePath(name), f.dir.filePath(QStringLiteral("help/") + name));
  return page;
}
// The pictures the page shows, as its <img> elements name them.
QStringList pictureNames(const QTextDocument& doc) {
  QStringList names;
  for (QTextBlock b = doc.begin(); b.isValid(); b = b.next())
    for (auto it = b.begin(); !it.atEnd(); ++it)
      if (it.fragment().charFormat().isImageFormat())
        names << it.fragment().charFormat().toImageFormat().name();
  return names;
}
QList<frmHelp*> helpWindows(QWidget& w) {
  return w.findChildren<frmHelp*>(QString(), Qt::FindDirectChildrenOnly);
}
QString script(MainFixture& f, const char* body) {
  const QString p = f.dir.filePath(QStringLiteral("opener.sh"));
  QFile s(p);
  if (!s.open(QIODevice::WriteOnly)) return {};
  s.write(QByteArray("#!/bin/sh\n") + body + "\n");
  s.close();
  s.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  return p;
}
// A desktop of its own: `xdg-mime query default text/html` answers `handler`,
// whose desktop file (under XDG_DATA_HOME) says `entry`.
struct FakeDesktop {
  FakeDesktop(MainFixture& f, const QString& handler, const QByteArray& entry)
      : oldHome(qgetenv("XDG_DATA_HOME")), oldDirs(qgetenv("XDG_DATA_DIRS")) {
    QDir(data.path()).mkpath(QStringLiteral("applications/vendor"));
    QString rel = handler;
    if (handler.startsWith(QStringLiteral("vendor-"))) rel.replace(6, 1, QLatin1Char('/'));
    QFile d(data.filePath(QStringLiteral("applications/") + rel));
    if (d.open(QIODevice::WriteOnly)) d.write("[Desktop Entry]\nType=Application\n" + entry + "\n");
    d.close();
    query = f.dir.filePath(QStringLiteral("xdg-mime"));
    QFile::remove(query);
    QFile::rename(script(f, ("echo '" + handler + "'").toUtf8()), query);
    qputenv("XDG_DATA_HOME", data.path().toLocal8Bit());
    qputenv("XDG_DATA_DIRS", data.filePath(QStringLiteral("none")).toLocal8Bit());
  }
  ~FakeDesktop() {
    qputenv("XDG_DATA_HOME", oldHome);
    qputenv("XDG_DATA_DIRS", oldDirs);
  }
  QTemporaryDir data;
  QString query;
  QByteArray oldHome, oldDirs;
};
const QByteArray kBrowser = "Name=Browser\nCategories=Network;WebBrowser;";
}  // namespace

void TestFrmHelp::browserOrEditorByTheDesktopFile() {
  MainFixture f;
  struct Case {
    const char* handler;
    QByteArray entry;
    bool browser;
  } cases[] = {
      {"browser.desktop", kBrowser, true},
      {"vendor-browser.desktop", kBrowser, true},  // found as vendor/browser.desktop
      {"links.desktop", "MimeType=text/html;x-scheme-handler/http;", true},
      {"editor.desktop", "Name=Editor\nCategories=Utility;TextEditor;", false},
      {"other.desktop", "Categories=Network;WebBrowserish;", false},
      {"", kBrowser, false},  // no handler at all
  };
  for (const Case& c : cases) {
    FakeDesktop d(f, QString::fromUtf8(c.handler), c.entry);
    QVERIFY2(HtmlHandlerIsBrowser(d.query) == c.browser, c.handler);
  }
  FakeDesktop d(f, QStringLiteral("browser.desktop"), kBrowser);
  QVERIFY(!HtmlHandlerIsBrowser(f.dir.filePath(QStringLiteral("no-such-query"))));
}

// As after installing the package on a fresh machine: HTML opens in a
// text editor, which would show the page's tags.
void TestFrmHelp::editorHandlerShowsOwnWindow() {
  MainFixture f;
  frmMain& w = f.open();
  const QString page = copyPage(f);
  FakeDesktop d(f, QStringLiteral("vim.desktop"), "Name=Vim\nCategories=Utility;TextEditor;");
  const QString seen = f.dir.filePath(QStringLiteral("seen.txt"));
  QProcess* p = OpenHelpPage(&w, page, script(f, ("touch '" + seen + "'").toUtf8()), d.query);
  QVERIFY(!p);
  QCOMPARE(helpWindows(w).size(), 1);
  QVERIFY(helpWindows(w).first()->Browser1->toPlainText().contains(QStringLiteral("クイックスタート")));
  QTest::qWait(200);
  QVERIFY(!QFile::exists(seen));  // the opener never ran
}

void TestFrmHelp::menuShowsOwnWindowWithoutOpener() {
  MainFixture f;
  frmMain& w = f.open();
  w.openUrl = nullptr;
  QVERIFY(!copyPage(f).isEmpty());
  // No opener anywhere on PATH: the desktop cannot show the page.
  QTemporaryDir emptyBin;
  const QByteArray oldPath = qgetenv("PATH");
  qputenv("PATH", emptyBin.path().toLocal8Bit());
  w.MH1->trigger();
  w.MH1->trigger();
  qputenv("PATH", oldPath);
  QTRY_COMPARE(helpWindows(w).size(), 1);  // asked twice, one window
  QPointer<frmHelp> h = helpWindows(w).first();
  QVERIFY(h->isVisible());
  QVERIFY(h->isWindow());
  QCOMPARE(h->windowTitle(), QStringLiteral("Tamarack ヘルプ"));
  QCOMPARE(h->Browser1->objectName(), QStringLiteral("Browser1"));
  const QString text = h->Browser1->toPlainText();
  QVERIFY(text.contains(QStringLiteral("クイックスタート")));
  QVERIFY(text.contains(QStringLiteral("コマンドとキーの一覧")));
  // Every picture is found beside the page and is a picture the window can draw.
  const QStringList pictures = pictureNames(*h->Browser1->document());
  QVERIFY(pictures.size() >= 4);
  for (const QString& name : pictures) {
    const QVariant r = h->Browser1->loadResource(QTextDocument::ImageResource, QUrl(name));
    QImage image;
    QVERIFY2(r.isValid() && image.loadFromData(r.toByteArray()), qPrintable(name));
  }
  QCOMPARE(h->Browser1->source(), QUrl::fromLocalFile(f.dir.filePath("tamarack.html")));
  QTest::keyClick(h->Browser1, Qt::Key_Escape);
  QTRY_VERIFY(!h);
  QVERIFY(w.isVisible());
}

void TestFrmHelp::failingOpenerShowsOwnWindow() {
  MainFixture f;
  frmMain& w = f.open();
  const QString page = copyPage(f);
  FakeDesktop d(f, QStringLiteral("browser.desktop"), kBrowser);
  // xdg-open's exit status when no browser or handler is found.
  QProcess* p = OpenHelpPage(&w, page, script(f, "exit 3"), d.query);
  QVERIFY(p);
  QTRY_COMPARE(helpWindows(w).size(), 1);
  QVERIFY(helpWindows(w).first()->Browser1->toPlainText().contains(QStringLiteral("クイックスタート")));
}

void TestFrmHelp::openerThatCannotStartShowsOwnWindow() {
  MainFixture f;
  frmMain& w = f.open();
  const QString page = copyPage(f);
  FakeDesktop d(f, QStringLiteral("browser.desktop"), kBrowser);
  OpenHelpPage(&w, page, f.dir.filePath(QStringLiteral("no-such-opener")), d.query);
  QTRY_COMPARE(helpWindows(w).size(), 1);
}

void TestFrmHelp::workingOpenerShowsNothing() {
  MainFixture f;
  frmMain& w = f.open();
  const QString page = copyPage(f);
  const QString seen = f.dir.filePath(QStringLiteral("seen.txt"));
  FakeDesktop d(f, QStringLiteral("browser.desktop"), kBrowser);
  QProcess* p = OpenHelpPage(&w, page, script(f, ("printf %s \"$1\" > '" + seen + "'").toUtf8()),
                             d.query);
  QVERIFY(p);
  QSignalSpy finished(p, &QProcess::finished);
  QVERIFY(finished.wait(5000));
  QCoreApplication::processEvents();
  QVERIFY(helpWindows(w).isEmpty());
  QFile s(seen);
  QVERIFY(s.open(QIODevice::ReadOnly));
  QCOMPARE(QString::fromUtf8(s.readAll()), page);  // the path as its one argument
}

void TestFrmHelp::mainWindowGoneBeforeOpenerFails() {
  MainFixture f;
  f.open();
  const QString page = copyPage(f);
  FakeDesktop d(f, QStringLiteral("browser.desktop"), kBrowser);
  QPointer<QProcess> p = OpenHelpPage(f.w.get(), page, script(f, "sleep 0.3; exit 4"), d.query);
  QVERIFY(p);
  f.w.reset();
  QTRY_VERIFY_WITH_TIMEOUT(!p, 5000);  // finished and cleaned up without a window to show
}

QTEST_MAIN(TestFrmHelp)
#include "tst_frmhelp.moc"

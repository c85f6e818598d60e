// The help page in a window of the program's own, for desktops that cannot
// open it (no browser, no handler for HTML files).
#pragma once
#include <QString>
#include <QTextBrowser>
#include <QWidget>

class QProcess;

class frmHelp : public QWidget {
  Q_OBJECT
 public:
  explicit frmHelp(QWidget* mainWindow);

  // Shows the page at `path`, reusing the window the main window already has.
  static frmHelp* showPage(QWidget* mainWindow, const QString& path);

  QTextBrowser* Browser1;

 protected:
  void keyPressEvent(QKeyEvent* e) override;
};

// Whether the desktop opens HTML files in a web browser: the handler that
// `mimeQuery query default text/html` names is looked up among the
// applications of the XDG data folders, and its Categories say WebBrowser
// (or it handles http links). A missing query program or handler is no browser.
bool HtmlHandlerIsBrowser(const QString& mimeQuery = QStringLiteral("xdg-mime"));

// Opens the help page with the desktop's opener (`opener`, found on PATH
// unless it holds a "/", run without a shell) when a web browser handles
// HTML; otherwise (a text editor would show the raw page), or when the
// opener is missing, cannot start or exits non-zero, the page is shown in
// frmHelp. Returns the running opener, or nullptr when none was started.
QProcess* OpenHelpPage(QWidget* mainWindow, const QString& path,
                       const QString& opener = QStringLiteral("xdg-open"),
                       const QString& mimeQuery = QStringLiteral("xdg-mime"));

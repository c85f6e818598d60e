// Shared set-up of the window tests: a main window over a fresh program
// folder, scripted answers and a fixed clock.
#pragma once
#include <QString>
#include <QTemporaryDir>
#include <memory>

#include "app/gui/frmmain.h"
#include "log/clock.h"
#include "samples.h"
#include "scripted_ui.h"

struct MainFixture {
  QTemporaryDir dir;
  ScriptedUi ui;
  FixedClock clock{ole::fromDateTime(2026, 12, 7, 21, 30, 0)};
  std::unique_ptr<frmMain> w;
  bool closeStartupWindow = true;

  std::string home() const { return dir.path().toStdString(); }
  // Creates the window; Form_Load runs when load is true.
  frmMain& open(bool load = true);
  // Fills the log with n QSOs a minute apart and shows them.
  void fillLog(int n);
  // Texts of the messages shown so far.
  QStringList texts() const;
};

QAction* findAction(QWidget* w, const char* name);

// The main window after start-up, with the station-data dialog that an
// empty program folder opens closed again.
frmMain& openMain(MainFixture& f);
// A left click on the call-sign cell of a grid row (1-based).
void clickRow(frmMain& w, int row);

using samples::fillStationData;
// A key press and release as X11 delivers them: Esc, Tab, Enter, Backspace
// and Delete carry their control texts, Ctrl shortcuts their control
// character, the arrows and Home/End no text.
void x11Key(QWidget* w, Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier);

class QLineEdit;
// Drives a filtered box with X11 keys: Delete, Backspace, Home/End and the
// arrows edit it, Ctrl+A/X/V cut and paste, Tab leaves it. Returns what
// failed, or an empty text.
QString editingKeysFail(QWidget* box, QLineEdit* edit, const QString& text);

// Watches a tool window while the scripted messages show: it must stay
// shown over its owner (never hidden, never re-created) and not be topmost
// while a message is up.
class WindowWatch : public QObject {
 public:
  WindowWatch(QWidget* w, ScriptedUi& ui);
  ~WindowWatch() override;
  int hides = 0;
  int messages = 0;
  bool shownDuring = true;
  bool topmostDuring = false;
  bool sameNativeWindow() const;

 protected:
  bool eventFilter(QObject* o, QEvent* e) override;

 private:
  QWidget* w_;
  ScriptedUi& ui_;
  QWindow* native_;
  WId id_;
};

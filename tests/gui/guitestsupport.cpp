#include "guitestsupport.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QWindow>
#include <QtTest>

#include "sample_log.h"

frmMain& MainFixture::open(bool load) {
  AppEnv env;
  env.ProgramFolder = home();
  w = std::make_unique<frmMain>(env, ui, clock);
  w->openUrl = [](const QUrl&) {};
  // Form_Load shows the window itself, at its kept place.
  if (!load) w->show();
  if (load) {
    w->Form_Load();
    // Without a contest the start-up opens the station data: tests start
    // from the main window alone unless they ask for that window.
    if (closeStartupWindow)
      if (QWidget* tool = w->dialogs().find(w->session().Doc.State.OpenDialogNo)) tool->close();
  }
  return *w;
}

void MainFixture::fillLog(int n) {
  AppendSampleQsos(w->session().Doc.Log, n);
  w->session().FrmLogLoad();
  w->mnuOn();
}

QStringList MainFixture::texts() const {
  QStringList l;
  for (const auto& m : ui.messages) l << QString::fromStdString(m.text);
  return l;
}

QAction* findAction(QWidget* w, const char* name) {
  return w->findChild<QAction*>(QString::fromUtf8(name));
}

void x11Key(QWidget* w, Qt::Key key, Qt::KeyboardModifiers mods) {
  QString text;
  switch (key) {
    case Qt::Key_Escape: text = QStringLiteral("\x1b"); break;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: text = QStringLiteral("\t"); break;
    case Qt::Key_Return:
    case Qt::Key_Enter: text = QStringLiteral("\r"); break;
    case Qt::Key_Backspace: text = QStringLiteral("\b"); break;
    case Qt::Key_Delete: text = QStringLiteral("\x7f"); break;
    default:
      if ((mods & Qt::ControlModifier) && key >= Qt::Key_A && key <= Qt::Key_Z)
        text = QString(QChar(key - Qt::Key_A + 1));
      break;
  }
  QTest::sendKeyEvent(QTest::Press, w, key, text, mods);
  QTest::sendKeyEvent(QTest::Release, w, key, text, mods);
}

QString editingKeysFail(QWidget* box, QLineEdit* edit, const QString& text) {
  const QString name = box->objectName() + QStringLiteral(": ");
  box->setFocus();
  edit->setText(text);
  edit->setCursorPosition(0);
  x11Key(box, Qt::Key_Delete);
  if (edit->text() != text.mid(1)) return name + QStringLiteral("Delete gave ") + edit->text();
  x11Key(box, Qt::Key_End);
  x11Key(box, Qt::Key_Backspace);
  if (edit->text() != text.mid(1, text.size() - 2))
    return name + QStringLiteral("Backspace gave ") + edit->text();
  x11Key(box, Qt::Key_Home);
  x11Key(box, Qt::Key_Right);
  if (edit->cursorPosition() != 1) return name + QStringLiteral("Home, Right");
  const QString kept = edit->text();
  x11Key(box, Qt::Key_A, Qt::ControlModifier);
  x11Key(box, Qt::Key_X, Qt::ControlModifier);
  if (!edit->text().isEmpty()) return name + QStringLiteral("Ctrl+X left ") + edit->text();
  x11Key(box, Qt::Key_V, Qt::ControlModifier);
  if (edit->text() != kept) return name + QStringLiteral("Ctrl+V gave ") + edit->text();
  x11Key(box, Qt::Key_Tab);
  QWidget* now = QApplication::focusWidget();
  if (now == box || now == edit) return name + QStringLiteral("Tab stayed");
  return QString();
}

WindowWatch::WindowWatch(QWidget* w, ScriptedUi& ui)
    : w_(w), ui_(ui), native_(w->windowHandle()), id_(w->winId()) {
  w->installEventFilter(this);
  ui_.whileShown = [this](const ScriptedUi::Message&) {
    ++messages;
    if (!w_->isVisible() || w_->windowHandle() != native_ || !native_->isVisible())
      shownDuring = false;
    if (w_->windowFlags().testFlag(Qt::WindowStaysOnTopHint) ||
        native_->flags().testFlag(Qt::WindowStaysOnTopHint))
      topmostDuring = true;
  };
}

WindowWatch::~WindowWatch() { ui_.whileShown = nullptr; }

bool WindowWatch::sameNativeWindow() const {
  return w_->windowHandle() == native_ && w_->winId() == id_;
}

bool WindowWatch::eventFilter(QObject* o, QEvent* e) {
  if (o == w_ && e->type() == QEvent::Hide) ++hides;
  return false;
}

frmMain& openMain(MainFixture& f) {
  frmMain& w = f.open();
  if (QWidget* d = w.dialogs().find(DlgMyData)) d->close();
  QCoreApplication::processEvents();
  return w;
}

void clickRow(frmMain& w, int row) {
  QCoreApplication::processEvents();
  const QModelIndex i = w.GridModel1->index(row - 1, 2);
  w.Grid1->scrollTo(i);
  QTest::mouseClick(w.Grid1->viewport(), Qt::LeftButton, {}, w.Grid1->visualRect(i).center());
}

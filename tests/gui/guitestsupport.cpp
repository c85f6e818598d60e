#include "guitestsupport.h"

#include <QAction>

#include "sample_log.h"

frmMain& MainFixture::open(bool load) {
  AppEnv env;
  env.ProgramFolder = home();
  w = std::make_unique<frmMain>(env, ui, clock);
  w->openUrl = [](const QUrl&) {};
  w->show();
  if (load) {
    w->Form_Load();
    // Without a contest the start-up opens the station data: tests start
    // from the main window alone unless they ask for that window.
    if (closeStartupWindow)
      if (QWidget* tool = w->openDialog(w->Doc.State.OpenDialogNo)) tool->close();
  }
  return *w;
}

void MainFixture::fillLog(int n) {
  AppendSampleQsos(w->Doc.Log, n);
  w->FrmLogLoad();
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

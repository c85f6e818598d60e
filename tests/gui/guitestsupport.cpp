#include "guitestsupport.h"

#include <QAction>

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
  for (int i = 0; i < n; ++i) {
    QsoRecord r;
    r.CallSign = "JA1AA" + std::to_string(i);
    r.QsoTime = ole::fromDateTime(2026, 4, 25, 21, 0, 0) + i / 1440.0;
    r.Band = "7";
    r.Mode = "CW";
    w->Doc.Log.append(r);
  }
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

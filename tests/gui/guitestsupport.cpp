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

void fillStationData(Settings& s) {
  s.JarlContest = "ＡＬＬ ＪＡ コンテスト";
  s.JarlCategory = "電信電話部門 シングルオペ オールバンド";
  s.JarlCateCode = "XAM";
  s.JarlPower = "50";
  s.JarlCallSign = "JA1ZZZ";
  s.JarlName = "山田 太郎";
  s.JarlLicenseClass = "第一級アマチュア無線技士";
  s.JarlAddress = "東京都千代田区\r\n1-1-1";
  s.JarlOath = kDefaultOath;
  s.JarlDqpOath = kDefaultDqpOath;
  s.JarlNypOath = kDefaultNypOath;
}

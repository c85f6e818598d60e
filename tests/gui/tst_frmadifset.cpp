// The ADIF settings dialog and the ADIF command over a real main window.
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QtTest>
#include <filesystem>

#include "log/cp932.h"
#include "log/fileio.h"
#include "output/gui/frmadifset.h"
#include "guitestsupport.h"

class TestFrmAdifSet : public QObject {
  Q_OBJECT
 private slots:
  void init() { frmAdifSet::Memory = {}; }
  void opensWithTheSettings();
  void okStoresAndTheSettingsFileKeepsThem();
  void cancelEscAndTheMainWindowsEscStoreNothing();
  void exportAsksChoosesAndWrites();
  void exportCancelledOrEmpty();
  void exportAsksBeforeReplacingAFileNotNamed();
  void theSwitchesShapeTheExportedFile();
};

namespace {
frmMain& openStarted(MainFixture& f) {
  frmMain& w = f.open();
  QCoreApplication::processEvents();
  return w;
}
// A click on the box itself (the check box spans the dialog's width).
void tick(QCheckBox* c) {
  const bool was = c->isChecked();
  QTest::mouseClick(c, Qt::LeftButton, {}, QPoint(6, c->height() / 2));
  QVERIFY(c->isChecked() != was);
}
frmAdifSet* openDialog(frmMain& w) {
  findAction(&w, "mnuAdiSet")->trigger();
  QCoreApplication::processEvents();
  return qobject_cast<frmAdifSet*>(w.dialogs().find(DlgAdifSet));
}
}  // namespace

void TestFrmAdifSet::opensWithTheSettings() {
  MainFixture f;
  frmMain& w = openStarted(f);
  w.session().Ini.AdiSendSw = 1;
  w.session().Ini.AdiCty2JaSw = 1;
  w.session().Ini.AdiRemark = "ALL JA";
  w.session().Ini.AdiQslMsg = "TNX 初QSO";
  frmAdifSet::Memory.AdiRmkSw = 0;
  QPointer<frmAdifSet> d = openDialog(w);
  QVERIFY(d);
  QCOMPARE(d->windowTitle(), QStringLiteral("ADIFファイル変換の設定"));
  const std::pair<const char*, QString> captions[] = {
      {"Check1", QStringLiteral("QSL発送済みにチェック")},
      {"Check2", QStringLiteral("QSL受領済みにチェック")},
      {"Check3", QStringLiteral("エンティティ変換時、JA局は空欄")},
      {"Check4", QStringLiteral("備考を記入")},
      {"Check5", QStringLiteral("ＱＳＬカードメッセージを記入")}};
  for (const auto& [name, text] : captions) {
    QCheckBox* c = d->findChild<QCheckBox*>(QString::fromLatin1(name));
    QVERIFY2(c, name);
    QCOMPARE(c->text(), text);
  }
  QCOMPARE(d->findChild<QLabel*>("Label1")->text(), QStringLiteral("備　　　考"));
  QCOMPARE(d->findChild<QLabel*>("Label2")->text(), QStringLiteral("QSLﾒｯｾｰｼﾞ"));
  QCOMPARE(d->findChild<QPushButton*>("Command1")->text(), QStringLiteral("O K"));
  QCOMPARE(d->findChild<QPushButton*>("Command2")->text(), QStringLiteral("ｷｬﾝｾﾙ"));
  QCOMPARE(d->findChild<QLineEdit*>("Text1"), d->Text1);
  QCOMPARE(d->findChild<QLineEdit*>("Text2"), d->Text2);

  QVERIFY(d->Check1->isChecked());
  QVERIFY(!d->Check2->isChecked());
  QVERIFY(d->Check3->isChecked());
  QVERIFY(!d->Check4->isChecked());
  QVERIFY(d->Check5->isChecked());
  // The standard file is off until asked for; WSJT stands for FT8.
  QCOMPARE(d->Check6->text(), QStringLiteral("標準ADIF (ADIF 3.1)"));
  QVERIFY(!d->Check6->isChecked());
  QCOMPARE(d->Combo1->count(), 5);
  QCOMPARE(d->Combo1->currentText(), QStringLiteral("FT8"));
  QVERIFY(!d->Combo1->isEnabled());
  tick(d->Check6);
  QVERIFY(d->Combo1->isEnabled());
  QCOMPARE(d->Text1->text(), QStringLiteral("ALL JA"));
  QCOMPARE(d->Text2->text(), QStringLiteral("TNX 初QSO"));

  QVERIFY(d->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
  QCOMPARE(w.session().Doc.State.OpenDialogNo, std::int16_t(5));
  QVERIFY(!w.m_1->menuAction()->isEnabled());
  QVERIFY(!w.m4->menuAction()->isEnabled());
  QVERIFY(w.m3->menuAction()->isEnabled());
  // Menus off: a second open is not possible, and showFor refuses too.
  QCOMPARE(frmAdifSet::showFor(w), nullptr);
  d->close();
  QVERIFY(w.m4->menuAction()->isEnabled());
  QCOMPARE(w.session().Doc.State.OpenDialogNo, std::int16_t(0));
}

void TestFrmAdifSet::okStoresAndTheSettingsFileKeepsThem() {
  MainFixture f;
  frmMain& w = openStarted(f);
  w.session().Ini.AdiRemark = "old";
  QPointer<frmAdifSet> d = openDialog(w);
  QVERIFY(d);
  tick(d->Check2);
  tick(d->Check4);
  d->Check1->setFocus();
  QTest::keyClick(d->Check1, Qt::Key_Space);
  d->Text1->setFocus();
  d->Text1->selectAll();
  QTest::keyClicks(d->Text1, "CQ TEST");
  QTest::keyClick(d->Text1, Qt::Key_Backspace);
  QTest::keyClicks(d->Text1, "T");
  d->Text2->setFocus();
  d->Text2->insert(QStringLiteral("ありがとう"));
  // Enter in a text box is OK.
  QTest::keyClick(d->Text2, Qt::Key_Return);
  QVERIFY(!d || !d->isVisible());
  QCOMPARE(w.session().Ini.AdiSendSw, std::int16_t(1));
  QCOMPARE(w.session().Ini.AdiRcvdSw, std::int16_t(1));
  QCOMPARE(w.session().Ini.AdiCty2JaSw, std::int16_t(0));
  QCOMPARE(w.session().Ini.AdiRemark, std::string("CQ TEST"));
  QCOMPARE(w.session().Ini.AdiQslMsg, std::string("ありがとう"));
  QCOMPARE(frmAdifSet::Memory.AdiRmkSw, std::int16_t(0));
  QCOMPARE(frmAdifSet::Memory.AdiQslMsgSw, std::int16_t(1));
  QCOMPARE(w.session().Doc.State.OpenDialogNo, std::int16_t(0));

  // The memory switch comes back while the program runs.
  d = openDialog(w);
  QVERIFY(!d->Check4->isChecked());
  QTest::mouseClick(d->Command1, Qt::LeftButton);
  QVERIFY(!d || !d->isVisible());

  // The settings file holds the five values at their places, not the two switches.
  w.close();
  std::string bytes;
  QVERIFY(fileio::readAll(f.home() + "/Tamarack.ini", bytes));
  const std::string ini = cp932::decode(bytes);
  const std::size_t at = ini.find("AdiCty2JaSw=0\r\nAdiSendSw=1\r\nAdiRcvdSw=1\r\n"
                                  "AdiQslMsg=ありがとう\r\nAdiRemark=CQ TEST\r\nJarlCallSign=");
  QVERIFY2(at != std::string::npos, ini.c_str());
  QVERIFY(ini.find("ThRRptCount=0\r\nAdiCty2JaSw") != std::string::npos);
  QVERIFY(ini.find("AdiRmkSw") == std::string::npos);
  QVERIFY(ini.find("AdiQslMsgSw") == std::string::npos);
  QVERIFY(ini.find("AdiStd") == std::string::npos);
}

void TestFrmAdifSet::cancelEscAndTheMainWindowsEscStoreNothing() {
  MainFixture f;
  frmMain& w = openStarted(f);
  QPointer<frmAdifSet> d = openDialog(w);
  tick(d->Check1);
  tick(d->Check5);
  QTest::keyClicks(d->Text1, "X");
  QTest::mouseClick(d->Command2, Qt::LeftButton);
  QVERIFY(!d || !d->isVisible());

  d = openDialog(w);
  QVERIFY(!d->Check1->isChecked());
  QVERIFY(d->Check5->isChecked());
  tick(d->Check6);
  d->Combo1->setCurrentIndex(4);
  tick(d->Check3);
  d->Text2->setFocus();
  QTest::keyClicks(d->Text2, "Y");
  QTest::keyClick(d->Text2, Qt::Key_Escape);
  QVERIFY(!d || !d->isVisible());

  d = openDialog(w);
  QVERIFY(!d->Check3->isChecked());
  tick(d->Check2);
  QTest::keyClick(&w, Qt::Key_Escape);
  QVERIFY(!d || !d->isVisible());

  QCOMPARE(w.session().Ini.AdiSendSw, std::int16_t(0));
  QCOMPARE(w.session().Ini.AdiRcvdSw, std::int16_t(0));
  QCOMPARE(w.session().Ini.AdiCty2JaSw, std::int16_t(0));
  QCOMPARE(w.session().Ini.AdiRemark, std::string());
  QCOMPARE(w.session().Ini.AdiQslMsg, std::string());
  QCOMPARE(frmAdifSet::Memory.AdiQslMsgSw, std::int16_t(1));
  QCOMPARE(frmAdifSet::Memory.AdiStdSw, std::int16_t(0));
  QCOMPARE(frmAdifSet::Memory.AdiWsjtMode, adif::WsjtMode::FT8);
  QCOMPARE(w.session().Doc.State.OpenDialogNo, std::int16_t(0));
  QVERIFY(w.m4->menuAction()->isEnabled());
}

void TestFrmAdifSet::exportAsksChoosesAndWrites() {
  MainFixture f;
  frmMain& w = openStarted(f);
  f.fillLog(3);
  w.session().Ini.AdiRcvdSw = 1;
  f.ui.messages.clear();
  const std::string chosen = f.home() + "/Conv/contest.2024.adi";
  f.ui.answers = {Answer::Ok};
  f.ui.files = {chosen};
  QAction* conv = findAction(&w, "mnuAdiConv");
  QVERIFY(conv->isEnabled());
  conv->trigger();

  QVERIFY(f.ui.messages.size() >= 1);
  QCOMPARE(f.ui.messages[0].text, std::string("ＡＤＩＦファイルを作成します"));
  QCOMPARE(f.ui.messages[0].title, std::string("ＡＤＩＦファイルの作成"));
  QCOMPARE(f.ui.messages[0].buttons, Buttons::OkCancel);
  QCOMPARE(f.ui.dialogs.size(), std::size_t(1));
  QCOMPARE(f.ui.dialogs[0].initialDir, f.home() + "/Conv");
  QCOMPARE(f.ui.dialogs[0].filter, std::string("adi ファイル (*.adi)|*.adi|"));
  QVERIFY(f.ui.dialogs[0].overwritePrompt);
  QVERIFY(std::filesystem::is_directory(f.home() + "/Conv"));
  // The fresh program folder has no table: said, and written all the same.
  QCOMPARE(f.ui.messages.size(), std::size_t(2));
  QCOMPARE(f.ui.messages[1].text, std::string("AdiDxcc.dat ファイルが有りません！"));

  std::string bytes;
  QVERIFY(fileio::readAll(f.home() + "/Conv/contest.adi", bytes));
  QCOMPARE(bytes.substr(0, bytes.find("\r\n") + 2),
           std::string("<call:6>JA1AA0 <qso_date:8>20260425 <time_on:6>120000 <band:3>40m "
                       "<freq:1>7 <mode:2>CW <rst_sent:0> <rst_rcvd:0> <qsl_sent:1>N "
                       "<qsl_rcvd:1>Y <eor>\r\n"));
  QCOMPARE(std::count(bytes.begin(), bytes.end(), '\n'), 3L);
  QVERIFY(w.m_1->menuAction()->isEnabled());
}

void TestFrmAdifSet::exportCancelledOrEmpty() {
  MainFixture f;
  frmMain& w = openStarted(f);
  f.fillLog(2);
  f.ui.messages.clear();
  f.ui.answers = {Answer::Cancel};
  f.ui.files = {f.home() + "/x.adi"};
  findAction(&w, "mnuAdiConv")->trigger();
  QCOMPARE(f.ui.messages.size(), std::size_t(1));
  QVERIFY(f.ui.dialogs.empty());

  // Cancelling the save dialog ends the command silently.
  f.ui.answers = {Answer::Ok};
  f.ui.files.clear();
  findAction(&w, "mnuAdiConv")->trigger();
  QCOMPARE(f.ui.messages.size(), std::size_t(2));
  QCOMPARE(f.ui.dialogs.size(), std::size_t(1));
  QVERIFY(!std::filesystem::exists(f.home() + "/x.adi"));

  // An empty log: no question, an empty file after the save dialog.
  w.session().Doc.Log.clear();
  f.ui.messages.clear();
  QVERIFY(fileio::writeAtomic(f.home() + "/AdiDxcc.dat", "JA       339\r\n"));
  f.ui.files = {f.home() + "/empty.adi"};
  mnuAdiConv_Click(w);
  QVERIFY(f.ui.messages.empty());
  std::string bytes = "x";
  QVERIFY(fileio::readAll(f.home() + "/empty.adi", bytes));
  QCOMPARE(bytes, std::string());
}

void TestFrmAdifSet::exportAsksBeforeReplacingAFileNotNamed() {
  MainFixture f;
  frmMain& w = openStarted(f);
  f.fillLog(2);
  QVERIFY(fileio::writeAtomic(f.home() + "/AdiDxcc.dat", "JA       339\r\n"));
  std::filesystem::create_directories(f.home() + "/Conv");
  const std::string target = f.home() + "/Conv/x.adi";
  QVERIFY(fileio::writeAtomic(target, "mine"));
  QAction* conv = findAction(&w, "mnuAdiConv");
  std::string bytes;

  // The dialog asked about x.txt; x.adi is another file, so the command asks.
  f.ui.messages.clear();
  f.ui.answers = {Answer::Ok, Answer::No};
  f.ui.files = {f.home() + "/Conv/x.txt"};
  conv->trigger();
  QCOMPARE(f.ui.messages.size(), std::size_t(2));
  QCOMPARE(f.ui.messages[1].text, target + " は既に存在します。\r\n上書きしますか？");
  QCOMPARE(f.ui.messages[1].buttons, Buttons::YesNo);
  QCOMPARE(f.ui.messages[1].icon, Icon::Exclamation);
  QVERIFY(fileio::readAll(target, bytes));
  QCOMPARE(bytes, std::string("mine"));

  f.ui.messages.clear();
  f.ui.answers = {Answer::Ok, Answer::Yes};
  f.ui.files = {f.home() + "/Conv/x.2024.adi"};
  conv->trigger();
  QVERIFY(fileio::readAll(target, bytes));
  QVERIFY(bytes.rfind("<call:", 0) == 0);

  // The name the dialog itself asked about, and a new file: no second question.
  for (const char* name : {"/Conv/x.adi", "/Conv/y.txt"}) {
    f.ui.messages.clear();
    f.ui.answers = {Answer::Ok};
    f.ui.files = {f.home() + name};
    conv->trigger();
    QCOMPARE(f.ui.messages.size(), std::size_t(1));
  }
  QVERIFY(std::filesystem::exists(f.home() + "/Conv/y.adi"));
}

void TestFrmAdifSet::theSwitchesShapeTheExportedFile() {
  MainFixture f;
  frmMain& w = openStarted(f);
  f.fillLog(2);
  w.session().Ini.AdiRemark = "ALL JA";
  w.session().Ini.AdiQslMsg = "TNX";
  w.session().Ini.JarlCallSign = "JA1ZZZ";
  QVERIFY(fileio::writeAtomic(f.home() + "/AdiDxcc.dat", "JA       339\r\n"));
  auto exportTo = [&](const std::string& name) {
    f.ui.messages.clear();
    f.ui.answers = {Answer::Ok};
    f.ui.files = {f.home() + "/" + name};
    findAction(&w, "mnuAdiConv")->trigger();
    std::string bytes;
    fileio::readAll(f.home() + "/" + name, bytes);
    return bytes;
  };
  // Ticked by default: the remark and the message go into every record.
  std::string bytes = exportTo("a.adi");
  QVERIFY(bytes.find("<qslmsg:3>TNX <comment:6>ALL JA <eor>\r\n") != std::string::npos);

  QPointer<frmAdifSet> d = openDialog(w);
  tick(d->Check4);
  tick(d->Check6);
  d->Combo1->setCurrentIndex(1);
  QTest::mouseClick(d->Command1, Qt::LeftButton);
  QCOMPARE(frmAdifSet::Memory.AdiStdSw, std::int16_t(1));
  QCOMPARE(frmAdifSet::Memory.AdiWsjtMode, adif::WsjtMode::FT4);
  bytes = exportTo("b.adi");
  QVERIFY2(bytes.rfind("Tamarack ADIF export\r\n<adif_ver:5>3.1.4\r\n", 0) == 0, bytes.c_str());
  // The window's clock, less 9 hours.
  QVERIFY(bytes.find("<created_timestamp:15>20261207 123000\r\n<eoh>\r\n") != std::string::npos);
  QVERIFY(bytes.find("<comment:") == std::string::npos);
  QVERIFY(bytes.find("<station_callsign:6>JA1ZZZ <qslmsg:3>TNX <eor>\r\n") != std::string::npos);

  d = openDialog(w);
  QVERIFY(d->Check6->isChecked());
  QCOMPARE(d->Combo1->currentText(), QStringLiteral("FT4"));
  tick(d->Check5);
  tick(d->Check6);
  QTest::mouseClick(d->Command1, Qt::LeftButton);
  bytes = exportTo("c.adi");
  QVERIFY(bytes.rfind("<call:", 0) == 0);
  QVERIFY(bytes.find("<qsl_rcvd:1>N <eor>\r\n") != std::string::npos);
}

QTEST_MAIN(TestFrmAdifSet)
#include "tst_frmadifset.moc"

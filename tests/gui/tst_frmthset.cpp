// The HAMLOG settings dialog and the append command over a real main window.
#include <QPointer>
#include <QtTest>
#include <filesystem>

#include "guitestsupport.h"
#include "hamlog/gui/frmthset.h"
#include "hamlog/thlog.h"
#include "log/gui/qtui.h"

class TestFrmThSet : public QObject {
  Q_OBJECT
 private slots:
  void loadShowsTheSettings();
  void okSavesAndEnablesTheReader();
  void cancelAndEscKeepTheSettings();
  void referenceAndNewDatabase();
  void appendChecksAskAndAppend();
};

void TestFrmThSet::loadShowsTheSettings() {
  MainFixture f;
  frmMain& w = f.open();
  w.session().Ini.ThUtcSw = 1;
  w.session().Ini.ThRcvdSw = 1;
  w.session().Ini.ThQslSw = 3;
  w.session().Ini.ThSentMark = "";
  w.session().Ini.ThRcvdMark = "R";
  w.session().Ini.ThRemark = "CONTEST";
  w.session().Ini.ThRmk2Rpt = 1;
  w.session().Ini.ThDbFile = "/x/HAMLOG.hdb";
  findAction(&w, "mnuThSet")->trigger();
  QPointer<frmThSet> d = qobject_cast<frmThSet*>(w.dialogs().find(DlgThSet));
  QVERIFY(d);
  QCOMPARE(d->windowTitle(), QStringLiteral("データ変換の設定"));
  QCOMPARE(w.session().Doc.State.OpenDialogNo, std::int16_t(4));
  QVERIFY(!w.m_1->menuAction()->isEnabled());
  QVERIFY(d->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
  QCOMPARE(d->SSTab1->count(), 2);
  QCOMPARE(d->SSTab1->tabText(0), QStringLiteral("ターボハムログへの変換設定"));
  QCOMPARE(d->SSTab1->tabText(1), QStringLiteral("ターボハムログの読込設定/データベースの設定"));
  QCOMPARE(d->findChild<QCheckBox*>("ThUtcSw")->text(), QStringLiteral("時間をUTCに変更する"));
  QVERIFY(d->ThUtcSw->isChecked());
  QVERIFY(d->ThRcvdSw->isChecked());
  QVERIFY(!d->ThSendSw->isChecked());
  QCOMPARE(d->ThCty2JaSw->text(), QStringLiteral("ｴﾝﾃｨﾃｨ変換時、JA局は空欄"));
  QCOMPARE(d->fraQsl->title(), QStringLiteral("QSL 発送方法"));
  QVERIFY(d->optQsl[3]->isChecked());
  QCOMPARE(d->optQsl[4]->text(), QStringLiteral("NO ﾁｪｯｸ"));
  QCOMPARE(d->txtSentMark->text(), QStringLiteral("*"));  // an empty mark
  QCOMPARE(d->txtRcvdMark->text(), QStringLiteral("R"));
  QCOMPARE(d->txtRemark->text(), QStringLiteral("CONTEST"));
  QCOMPARE(d->lblDbFile->text(), QStringLiteral("/x/HAMLOG.hdb"));
  QVERIFY(d->chkRmk2Rpt->isChecked());
  QVERIFY(!d->chkRmk1Rpt->isChecked());
  QCOMPARE(d->OKButton->text(), QStringLiteral("O  K"));
  QCOMPARE(d->CancelButton->text(), QStringLiteral("ｷｬﾝｾﾙ"));
  QCOMPARE(d->cmdRef->text(), QStringLiteral("参照"));
  QCOMPARE(d->cmdNew->text(), QStringLiteral("新規作成"));
  const QRect m = w.frameGeometry();
  QVERIFY(qAbs(d->x() + d->width() / 2 - (m.x() + m.width() / 2)) <= 1);
  // A second window does not open over it.
  QVERIFY(!frmThSet::showFor(w));
  d->close();
  QCOMPARE(w.session().Doc.State.OpenDialogNo, std::int16_t(0));
  QVERIFY(w.m_1->menuAction()->isEnabled());
}

void TestFrmThSet::okSavesAndEnablesTheReader() {
  MainFixture f;
  frmMain& w = f.open();
  QVERIFY(!w.mnuThLogRead->isEnabled());
  QPointer<frmThSet> d = frmThSet::showFor(w);
  QVERIFY(d);
  QTest::mouseClick(d->ThSendSw, Qt::LeftButton);
  d->optQsl[1]->click();
  d->txtRemark2->setFocus();
  QTest::keyClicks(d->txtRemark2, "QSO PARTY");
  d->SSTab1->setCurrentIndex(1);
  QTest::mouseClick(d->chkRmk2Rpt, Qt::LeftButton);
  QVERIFY(!d->chkRmk1Rpt->isChecked());
  QTest::mouseClick(d->chkRmk2Rpt, Qt::LeftButton);  // one of the two stays checked
  QVERIFY(d->chkRmk1Rpt->isChecked());
  QTest::mouseClick(d->chkRmk2Rpt, Qt::LeftButton);
  f.ui.files = {std::string("/data/HAMLOG.hdb")};
  QTest::mouseClick(d->cmdRef, Qt::LeftButton);
  QCOMPARE(f.ui.dialogs.back().filter, std::string("hdb ファイル (*.hdb)|*.hdb|"));
  QCOMPARE(f.ui.dialogs.back().initialDir, f.home());
  QCOMPARE(d->lblDbFile->text(), QStringLiteral("/data/HAMLOG.hdb"));
  QTest::mouseClick(d->OKButton, Qt::LeftButton);
  QVERIFY(!d || !d->isVisible());
  QCOMPARE(w.session().Ini.ThSendSw, std::int16_t(1));
  QCOMPARE(w.session().Ini.ThQslSw, std::int16_t(1));
  QCOMPARE(w.session().Ini.ThRemark2, std::string("QSO PARTY"));
  QCOMPARE(w.session().Ini.ThRmk2Rpt, std::int16_t(1));
  QCOMPARE(w.session().Ini.ThSentMark, std::string("*"));
  QCOMPARE(w.session().Ini.ThDbFile, std::string("/data/HAMLOG.hdb"));
  QVERIFY(w.mnuThLogRead->isEnabled());
  // The next reference starts in the database's folder.
  d = frmThSet::showFor(w);
  QTest::mouseClick(d->cmdRef, Qt::LeftButton);  // cancelled
  QCOMPARE(f.ui.dialogs.back().initialDir, std::string("/data"));
  QCOMPARE(d->lblDbFile->text(), QStringLiteral("/data/HAMLOG.hdb"));
  d->close();
}

void TestFrmThSet::cancelAndEscKeepTheSettings() {
  MainFixture f;
  frmMain& w = f.open();
  QPointer<frmThSet> d = frmThSet::showFor(w);
  QTest::mouseClick(d->ThUtcSw, Qt::LeftButton);
  QTest::mouseClick(d->CancelButton, Qt::LeftButton);
  QVERIFY(!d || !d->isVisible());
  QCOMPARE(w.session().Ini.ThUtcSw, std::int16_t(0));
  d = frmThSet::showFor(w);
  QTest::mouseClick(d->ThUtcSw, Qt::LeftButton);
  d->txtRemark->setFocus();
  QTest::keyClicks(d->txtRemark, "AB");
  QTest::keyClick(d->txtRemark, Qt::Key_Backspace);  // editing keys reach the box
  QCOMPARE(d->txtRemark->text(), QStringLiteral("A"));
  QTest::keyClick(d->txtRemark, Qt::Key_Escape);
  QVERIFY(!d || !d->isVisible());
  QCOMPARE(w.session().Ini.ThUtcSw, std::int16_t(0));
  QCOMPARE(w.session().Ini.ThRemark, std::string());
  QCOMPARE(w.session().Doc.State.OpenDialogNo, std::int16_t(0));
}

void TestFrmThSet::referenceAndNewDatabase() {
  MainFixture f;
  frmMain& w = f.open();
  QPointer<frmThSet> d = frmThSet::showFor(w);
  const std::string db = f.home() + "/mylog";
  f.ui.files = {db};
  QTest::mouseClick(d->cmdNew, Qt::LeftButton);
  QVERIFY(std::filesystem::exists(db + ".hdb"));
  QCOMPARE(d->lblDbFile->text(), QString::fromStdString(db + ".hdb"));
  // An existing file is never replaced.
  f.ui.files = {db + ".hdb"};
  QTest::mouseClick(d->cmdNew, Qt::LeftButton);
  QCOMPARE(f.texts().back(), QStringLiteral("同じ名前のファイルがあります\r\n別の名前を指定して下さい"));
  std::int32_t count = -1;
  QCOMPARE(ThCountRecords(HamlogLibrary::shared(f.home()), db + ".hdb", count), 0);
  QCOMPARE(count, 0);
  d->close();
}

void TestFrmThSet::appendChecksAskAndAppend() {
  MainFixture f;
  frmMain& w = f.open();
  QAction* conv = findAction(&w, "mnuThConv");
  // An empty log (the menu item is off then): said, nothing else.
  ThConvOn(w);
  QVERIFY(f.texts().contains(QStringLiteral("ログデータがありません！")));
  f.fillLog(5);
  // No database: said, and the settings open.
  conv->trigger();
  QCOMPARE(f.texts().back(), QStringLiteral("ハムログデータベースが設定されていません！\r\nハムログデータベースファイルを設定して下さい"));
  QVERIFY(w.dialogs().find(DlgThSet));
  w.dialogs().find(DlgThSet)->close();
  w.session().Ini.ThDbFile = f.home() + "/none.hdb";
  conv->trigger();
  QCOMPARE(f.texts().back(), QStringLiteral("ハムログデータベースファイルが見つかりません！\r\nハムログデータベースファイルを設定して下さい"));
  w.dialogs().find(DlgThSet)->close();

  const std::string db = f.home() + "/HAMLOG.hdb";
  QCOMPARE(HamlogLibrary::shared(f.home()).HamlogCreate(db), 0);
  w.session().Ini.ThDbFile = db;
  f.ui.answers = {Answer::No};
  conv->trigger();
  QCOMPARE(f.ui.messages.back().title, std::string("Tamarack -> ターボハムログ"));
  QCOMPARE(f.ui.messages.back().buttons, Buttons::YesNo);
  std::int32_t count = -1;
  ThCountRecords(HamlogLibrary::shared(f.home()), db, count);
  QCOMPARE(count, 0);
  QFile table(QString::fromStdString(f.home() + "/TH_DX.dat"));
  QVERIFY(table.open(QIODevice::WriteOnly));
  table.write("JA    339   Japan\r\n");
  table.close();
  conv->trigger();  // answered Yes
  ThCountRecords(HamlogLibrary::shared(f.home()), db, count);
  QCOMPARE(count, 5);
  QCOMPARE(f.ui.messages.back().text, std::string(thtext::kAskAppend));
}

QTEST_MAIN(TestFrmThSet)
#include "tst_frmthset.moc"

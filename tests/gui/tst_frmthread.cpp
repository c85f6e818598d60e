// The HAMLOG read dialog over a real main window and a real database.
#include <QPointer>
#include <QtTest>
#include <filesystem>

#include "guitestsupport.h"
#include "hamlog/gui/frmthread.h"
#include "hamlog/thlog.h"
#include "log/gui/qtui.h"

class TestFrmThRead : public QObject {
  Q_OBJECT
 private slots:
  void menuAsksFirst();
  void opensWithTheVersionAndTheWindow();
  void utcContestMovesTheWindow();
  void stepsKeepFromNotAfterTo();
  void readAppendsScoresAndCloses();
  void missingLibraryAndDatabaseMessages();
};

namespace {
// A database with n QSOs a minute apart from 2026-12-07 21:00 JST.
std::string makeDb(MainFixture& f, int n) {
  HamlogLibrary& lib = HamlogLibrary::shared(f.home());
  const std::string db = f.home() + "/HAMLOG.hdb";
  std::filesystem::remove(db);
  lib.HamlogCreate(db);
  ThwWork w;
  lib.HamlogOpen(w, db);
  for (int i = 0; i < n; ++i) {
    char t[16];
    std::snprintf(t, sizeof t, "%02d:%02dJ", 21 + i / 60, i % 60);
    lib.SetThBuffer(w, "JA1A" + std::string(1, static_cast<char>('A' + i % 26)), 1);
    lib.SetThBuffer(w, "26/12/07", 2);
    lib.SetThBuffer(w, t, 3);
    lib.SetThBuffer(w, "599", 4);
    lib.SetThBuffer(w, "599", 5);
    lib.SetThBuffer(w, "7.012", 6);
    lib.SetThBuffer(w, "A1A", 7);
    lib.SetThBuffer(w, "13MXY", 13);
    lib.THW_append(w);
  }
  lib.HamlogClose(w);
  return db;
}
}  // namespace

void TestFrmThRead::menuAsksFirst() {
  MainFixture f;
  frmMain& w = f.open();
  w.session().Ini.ThDbFile = makeDb(f, 3);
  w.mnuOn();
  f.ui.answers = {Answer::Cancel};
  findAction(&w, "mnuThLogRead")->trigger();
  QCOMPARE(f.ui.messages.back().text,
           std::string("ターボハムログからログデータを取得します\r\nターボハムログを起動していたら終了してください"));
  QCOMPARE(f.ui.messages.back().title, std::string("ターボハムログからデータ取得"));
  QCOMPARE(f.ui.messages.back().buttons, Buttons::OkCancel);
  QVERIFY(!w.dialogs().find(DlgThRead));
  findAction(&w, "mnuThLogRead")->trigger();
  QVERIFY(w.dialogs().find(DlgThRead));
  w.dialogs().find(DlgThRead)->close();
}

void TestFrmThRead::opensWithTheVersionAndTheWindow() {
  MainFixture f;
  frmMain& w = f.open();
  w.session().Ini.ThDbFile = makeDb(f, 3);
  w.session().Ini.ThRRptCount = 3;
  QPointer<frmThRead> d = frmThRead::showFor(w, HamlogLibrary::shared(f.home()));
  QVERIFY(d);
  QCOMPARE(d->windowTitle(), QStringLiteral("(Hamlog50.dll Ver 5)"));
  QCOMPARE(d->Frame1->title(), QStringLiteral("ターボハムログ読込日時設定 ( JST )"));
  QCOMPARE(d->lblFromDate->text(), QStringLiteral("2026年12月07日"));
  QCOMPARE(d->lblFromTime->text(), QStringLiteral("21時30分"));
  QCOMPARE(d->lblToTime->text(), QStringLiteral("21時30分"));
  QCOMPARE(d->lblRptCount->text(), QStringLiteral("3"));
  QCOMPARE(d->RecordCount, 3);
  QCOMPARE(d->cmdRead->text(), QStringLiteral("読　込"));
  QCOMPARE(w.session().Doc.State.OpenDialogNo, std::int16_t(8));
  QVERIFY(!w.m_1->menuAction()->isEnabled());
  for (const char* n : {"udFromYear", "udFromMonth", "udFromDay", "udFromHour", "udFromMinute", "udToYear",
                        "udToMonth", "udToDay", "udToHour", "udToMinute", "udRptCount"})
    QVERIFY2(d->findChild<UpDown*>(n), n);
  const QRect m = w.frameGeometry();
  QVERIFY(qAbs(d->x() + d->width() / 2 - (m.x() + m.width() / 2)) <= 1);
  QCOMPARE(d->y(), m.y() + twipsToPx(500));
  QTest::keyClick(d, Qt::Key_Escape);
  QVERIFY(!d || !d->isVisible());
  QCOMPARE(w.session().Doc.State.OpenDialogNo, std::int16_t(0));
  QVERIFY(w.m_1->menuAction()->isEnabled());
}

void TestFrmThRead::utcContestMovesTheWindow() {
  MainFixture f;
  frmMain& w = f.open();
  w.session().Ini.ThDbFile = makeDb(f, 3);
  w.session().Contest.SetUTCtime = 1;
  QPointer<frmThRead> d = frmThRead::showFor(w, HamlogLibrary::shared(f.home()));
  QVERIFY(d);
  QCOMPARE(d->Frame1->title(), QStringLiteral("ターボハムログ読込日時設定 ( UTC )"));
  QCOMPARE(d->lblFromTime->text(), QStringLiteral("12時30分"));
  d->close();
}

void TestFrmThRead::stepsKeepFromNotAfterTo() {
  MainFixture f;
  frmMain& w = f.open();
  w.session().Ini.ThDbFile = makeDb(f, 3);
  QPointer<frmThRead> d = frmThRead::showFor(w, HamlogLibrary::shared(f.home()));
  QVERIFY(d);
  const ole::Date start = d->From;
  QTest::mouseClick(d->udFromMinute->up, Qt::LeftButton);  // past To: refused
  QCOMPARE(d->From, start);
  QTest::mouseClick(d->udToMinute->down, Qt::LeftButton);  // before From: refused
  QCOMPARE(d->To, start);
  QTest::mouseClick(d->udFromHour->down, Qt::LeftButton);  // always possible
  QCOMPARE(d->lblFromTime->text(), QStringLiteral("20時30分"));
  QTest::mouseClick(d->udFromYear->down, Qt::LeftButton);
  QCOMPARE(d->lblFromDate->text(), QStringLiteral("2025年12月07日"));
  QTest::mouseClick(d->udToMonth->up, Qt::LeftButton);  // always possible
  QCOMPARE(d->lblToDate->text(), QStringLiteral("2027年01月07日"));
  QTest::mouseClick(d->udFromYear->up, Qt::LeftButton);  // still not after To
  QCOMPARE(d->lblFromDate->text(), QStringLiteral("2026年12月07日"));
  QTest::mouseClick(d->udRptCount->down, Qt::LeftButton);
  QCOMPARE(d->lblRptCount->text(), QStringLiteral("0"));  // not below 0
  d->close();
}

void TestFrmThRead::readAppendsScoresAndCloses() {
  MainFixture f;
  frmMain& w = f.open();
  w.session().Ini.ThDbFile = makeDb(f, 20);
  QPointer<frmThRead> d = frmThRead::showFor(w, HamlogLibrary::shared(f.home()));
  QVERIFY(d);
  for (int i = 0; i < 40; ++i) QTest::mouseClick(d->udFromMinute->down, Qt::LeftButton);
  QTest::mouseClick(d->udRptCount->up, Qt::LeftButton);
  QTest::mouseClick(d->udRptCount->up, Qt::LeftButton);
  QTest::mouseClick(d->udRptCount->up, Qt::LeftButton);
  d->cmdRead->setFocus();
  QTest::keyClick(d->cmdRead, Qt::Key_Return);
  QVERIFY(!d || !d->isVisible());
  // 21:00 .. 21:30 inclusive
  QCOMPARE(w.session().Doc.Log.count(), 20);
  QCOMPARE(w.session().Ini.ThRRptCount, std::int16_t(3));
  QCOMPARE(w.session().Doc.Log[1].RcvdNo.trimmed(), std::string_view("13M"));
  QCOMPARE(w.session().Doc.Log[1].Mode.trimmed(), std::string_view("CW"));
  QCOMPARE(w.session().Doc.Log[1].Band.trimmed(), std::string_view("7"));
  QCOMPARE(w.session().Doc.State.LogDirty, std::int16_t(1));
  QCOMPARE(w.session().GridData.rows(), 21);
  QCOMPARE(w.session().GridData.cell(1, 2), std::string_view("JA1AA"));
  QCOMPARE(w.session().Doc.State.OpenDialogNo, std::int16_t(0));
}

void TestFrmThRead::missingLibraryAndDatabaseMessages() {
  MainFixture f;
  frmMain& w = f.open();
  // A loader pointed at a folder without the libraries.
  HamlogLibrary none({f.home()});
  QPointer<frmThRead> d = frmThRead::showFor(w, none);
  QVERIFY(d);
  QCOMPARE(d->windowTitle(), QStringLiteral("(Not Hamlog50.dll)"));
  QCOMPARE(f.texts().back(), QStringLiteral("Hamlog50.dllを TAMARACK のカレントフォルダにおいて下さい"));
  QVERIFY(!d->cmdRead->isEnabled());
  d->close();

  HamlogLibrary& lib = HamlogLibrary::shared(f.home());
  w.session().Ini.ThDbFile.clear();
  QVERIFY(!frmThRead::showFor(w, lib));
  QCOMPARE(f.texts().back(), QStringLiteral("HAMLOG.hdb ファイルを設定して下さい"));
  QCOMPARE(w.session().Doc.State.OpenDialogNo, std::int16_t(0));
  QVERIFY(w.m_1->menuAction()->isEnabled());
  w.session().Ini.ThDbFile = f.home() + "/garbage.hdb";
  QFile g(QString::fromStdString(w.session().Ini.ThDbFile));
  QVERIFY(g.open(QIODevice::WriteOnly));
  g.write(QByteArray(5000, '\x9c'));
  g.close();
  QVERIFY(!frmThRead::showFor(w, lib));
  QCOMPARE(f.texts().back(), QStringLiteral("データベースをオープンできませんでした"));
  w.session().Ini.ThDbFile = makeDb(f, 0);
  QVERIFY(!frmThRead::showFor(w, lib));
  QCOMPARE(f.texts().back(), QStringLiteral("QSOデータがありません"));
}

QTEST_MAIN(TestFrmThRead)
#include "tst_frmthread.moc"

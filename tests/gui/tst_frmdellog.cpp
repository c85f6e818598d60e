// The delete dialog over a real main window.
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QtTest>

#include "log/gui/qtui.h"
#include "entry/gui/frmdellog.h"
#include "guitestsupport.h"

class TestFrmDelLog : public QObject {
  Q_OBJECT
 private slots:
  void opensOverTheSelectedQso();
  void deleteKeepsNumberGaps();
  void cancelAndEscStillMarkTheLogChanged();
  void deletingTheOnlyQso();
  void noSelectedQsoOpensNothing();
  void mainWindowEscClosesIt();
  void losingTheFocusActivatesTheMainWindow();
};

namespace {
}  // namespace

void TestFrmDelLog::opensOverTheSelectedQso() {
  MainFixture f;
  frmMain& w = openMain(f);
  f.fillLog(20);
  clickRow(w, 12);
  QCOMPARE(w.session().Doc.State.SelRow, std::int16_t(12));
  QPointer<frmDelLog> d = frmDelLog::showFor(w);
  QVERIFY(d);
  QCOMPARE(d->windowTitle(), QStringLiteral("ログデータの削除"));
  QCOMPARE(d->Label1->text(), QStringLiteral("No 0012  JA1AA11  　を削除しますか ?"));
  QCOMPARE(d->OKButton->text(), QStringLiteral("削　除"));
  QCOMPARE(d->CancelButton->text(), QStringLiteral("キャンセル"));
  QCOMPARE(d->findChild<QLabel*>("Label1"), d->Label1);
  QVERIFY(d->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
  QCOMPARE(w.session().Doc.State.OpenDialogNo, std::int16_t(9));
  QCOMPARE(w.dialogs().find(DlgDelLog), d.data());
  QVERIFY(!w.mnuEdit->menuAction()->isEnabled());
  QVERIFY(!w.m_1->menuAction()->isEnabled());
  QVERIFY(w.m3->menuAction()->isEnabled());
  const QRect m = w.frameGeometry();
  QVERIFY(qAbs(d->x() + d->width() / 2 - (m.x() + m.width() / 2)) <= 1);
  QCOMPARE(d->y(), m.y() + twipsToPx(1000));
  d->close();
}

void TestFrmDelLog::deleteKeepsNumberGaps() {
  MainFixture f;
  frmMain& w = openMain(f);
  f.fillLog(10);
  clickRow(w, 5);
  QPointer<frmDelLog> d = frmDelLog::showFor(w);
  QVERIFY(d);
  QTest::mouseClick(d->OKButton, Qt::LeftButton);
  QVERIFY(!d || !d->isVisible());
  QCOMPARE(w.session().Doc.Log.count(), 9);
  QCOMPARE(w.session().Doc.Log[5].CallSign.trimmed(), std::string_view("JA1AA5"));
  QCOMPARE(w.session().Doc.Log[5].QsoNo, std::int16_t(6));
  QCOMPARE(w.session().GridData.rows(), 10);
  QCOMPARE(w.session().GridData.cell(4, 0), std::string_view("0004"));
  QCOMPARE(w.session().GridData.cell(5, 0), std::string_view("0006"));
  QCOMPARE(w.session().Doc.State.SelRow, std::int16_t(0));
  QCOMPARE(w.session().Doc.State.OpenDialogNo, std::int16_t(0));
  QCOMPARE(w.session().Doc.State.LogDirty, std::int16_t(1));
  QVERIFY(w.mnuEdit->menuAction()->isEnabled());
  QVERIFY(w.m_1->menuAction()->isEnabled());
}

void TestFrmDelLog::cancelAndEscStillMarkTheLogChanged() {
  MainFixture f;
  frmMain& w = openMain(f);
  f.fillLog(3);
  QCOMPARE(w.session().Doc.State.LogDirty, std::int16_t(0));
  clickRow(w, 2);
  QPointer<frmDelLog> d = frmDelLog::showFor(w);
  QTest::mouseClick(d->CancelButton, Qt::LeftButton);
  QVERIFY(!d || !d->isVisible());
  QCOMPARE(w.session().Doc.Log.count(), 3);
  QCOMPARE(w.session().Doc.State.LogDirty, std::int16_t(1));
  QCOMPARE(w.session().Doc.State.SelRow, std::int16_t(0));

  w.session().Doc.State.LogDirty = 0;
  clickRow(w, 3);
  d = frmDelLog::showFor(w);
  QVERIFY(d);
  QTest::keyClick(d->OKButton, Qt::Key_Escape);
  QVERIFY(!d || !d->isVisible());
  QCOMPARE(w.session().Doc.Log.count(), 3);
  QCOMPARE(w.session().Doc.State.LogDirty, std::int16_t(1));
  QCOMPARE(w.session().Doc.State.OpenDialogNo, std::int16_t(0));
}

void TestFrmDelLog::deletingTheOnlyQso() {
  MainFixture f;
  frmMain& w = openMain(f);
  f.fillLog(1);
  clickRow(w, 1);
  QPointer<frmDelLog> d = frmDelLog::showFor(w);
  QVERIFY(d);
  QTest::mouseClick(d->OKButton, Qt::LeftButton);
  QCOMPARE(w.session().Doc.Log.count(), 0);
  QCOMPARE(w.session().Doc.Log.slotCount(), std::size_t(1));
  QCOMPARE(w.session().GridData.rows(), 2);
  QCOMPARE(QString::fromStdString(w.session().GridData.rowText(1)), QString(12, '\t'));
  // an empty log leaves the edit menu off
  QVERIFY(!w.mnuEdit->menuAction()->isEnabled());
}

void TestFrmDelLog::noSelectedQsoOpensNothing() {
  MainFixture f;
  frmMain& w = openMain(f);
  f.fillLog(10);
  QCOMPARE(w.session().Doc.State.SelRow, std::int16_t(0));
  QVERIFY(!frmDelLog::showFor(w));
  // a row that was last clicked before deletions may lie past the last QSO
  w.session().Doc.State.SelRow = 11;
  QVERIFY(!frmDelLog::showFor(w));
  QCOMPARE(w.session().Doc.State.OpenDialogNo, std::int16_t(0));
  QCOMPARE(w.session().Doc.State.LogDirty, std::int16_t(0));
  QVERIFY(w.mnuEdit->menuAction()->isEnabled());
  QCOMPARE(w.session().Doc.Log.count(), 10);
}

void TestFrmDelLog::mainWindowEscClosesIt() {
  MainFixture f;
  frmMain& w = openMain(f);
  f.fillLog(4);
  clickRow(w, 4);
  QPointer<frmDelLog> d = frmDelLog::showFor(w);
  QVERIFY(d);
  f.ui.messages.clear();
  QTest::keyClick(&w, Qt::Key_Escape);
  QVERIFY(!d || !d->isVisible());
  QCOMPARE(w.session().Doc.Log.count(), 4);
  QCOMPARE(w.session().Doc.State.OpenDialogNo, std::int16_t(0));
  QVERIFY(f.ui.messages.empty());
}

void TestFrmDelLog::losingTheFocusActivatesTheMainWindow() {
  MainFixture f;
  frmMain& w = openMain(f);
  f.fillLog(3);
  clickRow(w, 2);
  QPointer<frmDelLog> d = frmDelLog::showFor(w);
  QVERIFY(QTest::qWaitForWindowActive(d));
  // another window takes the focus: the main window is activated
  QWidget other;
  other.show();
  other.activateWindow();
  QTRY_COMPARE(QApplication::activeWindow(), static_cast<QWidget*>(&w));
  QVERIFY(d && d->isVisible());
  QCOMPARE(w.session().Doc.State.OpenDialogNo, std::int16_t(9));
  d->close();
}

QTEST_MAIN(TestFrmDelLog)
#include "tst_frmdellog.moc"

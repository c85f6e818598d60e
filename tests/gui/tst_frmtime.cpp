// The time-shift dialog over a real main window.
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QtTest>

#include "log/gui/qtui.h"
#include "entry/gui/entryfilters.h"
#include "entry/gui/frmtime.h"
#include "guitestsupport.h"

class TestFrmTime : public QObject {
  Q_OBJECT
 private slots:
  void opensWithHintAndPlace();
  void stepperAndStartShiftAcrossMidnight();
  void enterShiftsEscDoesNot();
  void zeroHoursChangesNothing();
};

namespace {
// Two QSOs on 2015-04-02 at 05:00:30 and 23:59:59.
void twoQsos(MainFixture& f) {
  for (ole::Date t : {ole::fromDateTime(2015, 4, 2, 5, 0, 30), ole::fromDateTime(2015, 4, 2, 23, 59, 59)}) {
    QsoRecord r;
    r.CallSign = "JA1ABC";
    r.QsoTime = t;
    r.Band = "7";
    r.Mode = "CW";
    f.w->session().Doc.Log.append(r);
  }
  f.w->session().FrmLogLoad();
  f.w->mnuOn();
}
void clickTimes(QToolButton* b, int n) {
  for (int i = 0; i < n; ++i) QTest::mouseClick(b, Qt::LeftButton);
}
}  // namespace

void TestFrmTime::opensWithHintAndPlace() {
  MainFixture f;
  frmMain& w = openMain(f);
  QPointer<frmTime> d = frmTime::showFor(w);
  QVERIFY(d);
  QCOMPARE(d->windowTitle(), QStringLiteral("時間の増減"));
  QCOMPARE(d->Label1->text(), QStringLiteral("0"));
  QCOMPARE(d->Label2->text(), QStringLiteral("全ログデータの時間に"));
  QCOMPARE(d->Label3->text(), QStringLiteral("時間加算します"));
  QCOMPARE(d->Label5->text(), QStringLiteral("時間を JST に合わせてください"));
  QCOMPARE(d->OKButton->text(), QStringLiteral("開 始"));
  QCOMPARE(d->CancelButton->text(), QStringLiteral("ｷｬﾝｾﾙ"));
  QCOMPARE(d->UpDown1->objectName(), QStringLiteral("UpDown1"));
  QCOMPARE(d->UpDown1->minimum(), -24);
  QCOMPARE(d->UpDown1->maximum(), 24);
  QVERIFY(d->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
  QCOMPARE(w.session().Doc.State.OpenDialogNo, std::int16_t(10));
  QVERIFY(!w.m11->menuAction()->isEnabled());
  const QRect m = w.frameGeometry();
  QVERIFY(qAbs(d->x() + d->width() / 2 - (m.x() + m.width() / 2)) <= 1);
  QCOMPARE(d->y(), m.y() + twipsToPx(1000));
  QTest::mouseClick(d->CancelButton, Qt::LeftButton);
  QVERIFY(!d || !d->isVisible());
  QCOMPARE(w.session().Doc.State.OpenDialogNo, std::int16_t(0));
  QVERIFY(w.m11->menuAction()->isEnabled());

  w.session().Contest.SetUTCtime = 1;
  d = frmTime::showFor(w);
  QCOMPARE(d->Label5->text(), QStringLiteral("時間を UTC に合わせてください"));
  // the main window's Esc closes it
  QTest::keyClick(&w, Qt::Key_Escape);
  QVERIFY(!d || !d->isVisible());
  QCOMPARE(w.session().Doc.State.OpenDialogNo, std::int16_t(0));
}

void TestFrmTime::stepperAndStartShiftAcrossMidnight() {
  MainFixture f;
  frmMain& w = openMain(f);
  twoQsos(f);
  QPointer<frmTime> d = frmTime::showFor(w);
  clickTimes(d->UpDown1->downButton(), 9);
  QCOMPARE(d->Label1->text(), QStringLiteral("-9"));
  QTest::mouseClick(d->OKButton, Qt::LeftButton);
  QVERIFY(!d || !d->isVisible());
  QCOMPARE(ole::formatSeconds(w.session().Doc.Log[1].QsoTime), std::string("2015-04-01 20:00:30"));
  QCOMPARE(ole::formatSeconds(w.session().Doc.Log[2].QsoTime), std::string("2015-04-02 14:59:59"));
  QCOMPARE(w.session().GridData.cell(1, 1), std::string_view("2015-04-01 20:00"));
  // the shifted log is offered for saving at the end of the run
  QCOMPARE(w.session().Doc.State.LogDirty, std::int16_t(1));

  d = frmTime::showFor(w);
  clickTimes(d->UpDown1->upButton(), 30);
  QCOMPARE(d->Label1->text(), QStringLiteral("24"));
  QTest::mouseClick(d->OKButton, Qt::LeftButton);
  QCOMPARE(ole::formatSeconds(w.session().Doc.Log[2].QsoTime), std::string("2015-04-03 14:59:59"));
}

void TestFrmTime::enterShiftsEscDoesNot() {
  MainFixture f;
  frmMain& w = openMain(f);
  twoQsos(f);
  QPointer<frmTime> d = frmTime::showFor(w);
  clickTimes(d->UpDown1->upButton(), 9);
  QTest::keyClick(d->CancelButton, Qt::Key_Escape);
  QVERIFY(!d || !d->isVisible());
  QCOMPARE(ole::formatSeconds(w.session().Doc.Log[1].QsoTime), std::string("2015-04-02 05:00:30"));
  d = frmTime::showFor(w);
  clickTimes(d->UpDown1->upButton(), 1);
  QTest::keyClick(d->CancelButton, Qt::Key_Return);
  QVERIFY(!d || !d->isVisible());
  QCOMPARE(ole::formatSeconds(w.session().Doc.Log[2].QsoTime), std::string("2015-04-03 00:59:59"));
  QCOMPARE(w.session().GridData.cell(2, 1), std::string_view("2015-04-03 00:59"));
  QCOMPARE(w.session().Doc.State.OpenDialogNo, std::int16_t(0));
  QVERIFY(w.mnuEdit->menuAction()->isEnabled());
}

void TestFrmTime::zeroHoursChangesNothing() {
  MainFixture f;
  frmMain& w = openMain(f);
  twoQsos(f);
  w.session().GridData.setCell(1, 3, "marker");  // a rebuild would drop it
  QPointer<frmTime> d = frmTime::showFor(w);
  QTest::mouseClick(d->OKButton, Qt::LeftButton);
  QCOMPARE(w.session().GridData.cell(1, 3), std::string_view("marker"));
  QCOMPARE(w.session().Doc.State.LogDirty, std::int16_t(0));
  QCOMPARE(ole::formatSeconds(w.session().Doc.Log[1].QsoTime), std::string("2015-04-02 05:00:30"));
}

QTEST_MAIN(TestFrmTime)
#include "tst_frmtime.moc"

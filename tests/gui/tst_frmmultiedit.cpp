// The multi-QSO edit dialog over a real main window.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QtTest>

#include "log/gui/qtui.h"
#include "entry/gui/frmmultiedit.h"
#include "guitestsupport.h"

class TestFrmMultiEdit : public QObject {
  Q_OBJECT
 private slots:
  void opensWithRowsOff();
  void bandOverARange();
  void modeRowMovesTheReportRows();
  void timeShiftByMonthsAndStepperReset();
  void reportsFollowKnownModesOnly();
  void fewerThanTwoQsos();
};

namespace {
// n QSOs a day apart from 2015-01-31 05:00; bands 7 and 14, modes SSB, CW, RTTY.
frmMain& logWith(MainFixture& f, int n) {
  frmMain& w = openMain(f);
  w.session().Contest.BandEnabled[2] = 1;
  w.session().Contest.BandEnabled[4] = 1;
  w.session().Contest.ModeEnabled[0] = 1;
  w.session().Contest.ModeEnabled[3] = 1;
  w.session().Contest.ModeEnabled[4] = 1;
  for (int i = 0; i < n; ++i) {
    QsoRecord r;
    r.CallSign = "JA1AA" + std::to_string(i + 1);
    r.QsoTime = ole::addDays(ole::fromDateTime(2015, 1, 31, 5, 0, 0), i);
    r.Band = "7";
    r.Mode = "CW";
    r.SentRst = "599";
    r.SentNo = "13M";
    r.RcvdRst = "579";
    w.session().Doc.Log.append(r);
  }
  w.session().FrmLogLoad();
  w.mnuOn();
  return w;
}
void clicks(QToolButton* b, int n) {
  for (int i = 0; i < n; ++i) QTest::mouseClick(b, Qt::LeftButton);
}
void tick(QCheckBox* c) { QTest::mouseClick(c, Qt::LeftButton, {}, QPoint(6, c->height() / 2)); }
std::string band(frmMain& w, int i) { return std::string(w.session().Doc.Log[i].Band.trimmed()); }
}  // namespace

void TestFrmMultiEdit::opensWithRowsOff() {
  MainFixture f;
  frmMain& w = logWith(f, 12);
  QPointer<frmMultiEdit> d = frmMultiEdit::showFor(w);
  QVERIFY(d);
  QCOMPARE(d->windowTitle(), QStringLiteral("データ一括エディット"));
  const char* caps[] = {"送信RST", "送信RPT", "受信RST", "バンド", "モード", "時　間"};
  for (std::size_t i = 0; i < 6; ++i) {
    QCOMPARE(d->Check1[i]->text(), QString::fromUtf8(caps[i]));
    QCOMPARE(d->Check1[i]->objectName(), QStringLiteral("Check1_%1").arg(i));
    QVERIFY(!d->Check1[i]->isChecked());
    QVERIFY(d->Check1[i]->isEnabled());
    QVERIFY(!d->UpDown1[i]->isEnabled());
    QCOMPARE(d->UpDown1[i]->minimum(), 1);
    QCOMPARE(d->UpDown1[i]->maximum(), 11);
    QCOMPARE(d->UpDown2[i]->minimum(), 2);
    QCOMPARE(d->UpDown2[i]->maximum(), 12);
    QCOMPARE(d->Label1[i]->text(), QStringLiteral("1"));
    QCOMPARE(d->Label2[i]->text(), QStringLiteral("12"));
  }
  QCOMPARE(d->findChild<QLabel*>("Label4")->text(), QStringLiteral("開　　始"));
  QCOMPARE(d->findChild<QLabel*>("Label5")->text(), QStringLiteral("終　　了"));
  QCOMPARE(d->UpDown3[0]->minimum(), -48);
  QCOMPARE(d->UpDown3[1]->maximum(), 31);
  QCOMPARE(d->UpDown3[2]->maximum(), 24);
  QCOMPARE(d->Label3[2]->text(), QStringLiteral("0"));
  for (QWidget* v : std::initializer_list<QWidget*>{d->Text1, d->Text2, d->Text3, d->Combo1, d->Combo2})
    QVERIFY(!v->isEnabled());
  QCOMPARE(d->Command1->text(), QStringLiteral("変　換"));
  QCOMPARE(d->Command2->text(), QStringLiteral("終　了"));
  QVERIFY(!d->Command1->isEnabled());
  QCOMPARE(d->Combo1->count(), 2);
  QVERIFY(d->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
  QCOMPARE(d->y(), w.frameGeometry().y() + twipsToPx(500));
  QVERIFY(!w.mnuEdit->menuAction()->isEnabled());
  // registered, so that no other tool window opens over it
  QCOMPARE(w.session().Doc.State.OpenDialogNo, std::int16_t(kDlgMultiEdit));
  tick(d->Check1[3]);
  QVERIFY(d->Command1->isEnabled());
  QVERIFY(d->Combo1->isEnabled() && d->UpDown1[3]->isEnabled());
  tick(d->Check1[3]);
  QVERIFY(!d->Command1->isEnabled());
  QTest::keyClick(d->Text1, Qt::Key_Escape);
  QVERIFY(!d || !d->isVisible());
  QCOMPARE(w.session().Doc.State.OpenDialogNo, std::int16_t(0));
  QVERIFY(w.mnuEdit->menuAction()->isEnabled());
}

void TestFrmMultiEdit::bandOverARange() {
  MainFixture f;
  frmMain& w = logWith(f, 12);
  QPointer<frmMultiEdit> d = frmMultiEdit::showFor(w);
  tick(d->Check1[3]);
  clicks(d->UpDown1[3]->upButton(), 2);
  clicks(d->UpDown2[3]->downButton(), 2);
  QCOMPARE(d->Label1[3]->text(), QStringLiteral("3"));
  QCOMPARE(d->Label2[3]->text(), QStringLiteral("10"));
  QCOMPARE(d->UpDown2[3]->minimum(), 4);
  QCOMPARE(d->UpDown1[3]->maximum(), 9);
  // the start cannot pass the end
  clicks(d->UpDown1[3]->upButton(), 20);
  QCOMPARE(d->Label1[3]->text(), QStringLiteral("9"));
  clicks(d->UpDown1[3]->downButton(), 6);
  d->Combo1->lineEdit()->clear();
  QTest::keyClicks(d->Combo1, QStringLiteral("14"));
  QTest::mouseClick(d->Command1, Qt::LeftButton);
  QCOMPARE(band(w, 2), std::string("7"));
  for (int i = 3; i <= 10; ++i) QCOMPARE(band(w, i), std::string("14"));
  QCOMPARE(band(w, 11), std::string("7"));
  QCOMPARE(w.session().GridData.cell(3, 8), std::string_view("14"));
  QCOMPARE(w.session().Doc.Log[5].Mode.trimmed(), std::string_view("CW"));
  QCOMPARE(w.session().Doc.State.LogDirty, std::int16_t(1));
  QVERIFY(d && d->isVisible());
  QVERIFY(d->Check1[3]->isChecked());
  QTest::mouseClick(d->Command2, Qt::LeftButton);
  QVERIFY(!d || !d->isVisible());
}

void TestFrmMultiEdit::modeRowMovesTheReportRows() {
  MainFixture f;
  frmMain& w = logWith(f, 12);
  QPointer<frmMultiEdit> d = frmMultiEdit::showFor(w);
  for (int row : {0, 2, 4}) tick(d->Check1[static_cast<std::size_t>(row)]);
  clicks(d->UpDown1[4]->upButton(), 4);
  clicks(d->UpDown2[4]->downButton(), 3);
  for (std::size_t row : {std::size_t(0), std::size_t(2)}) {
    QCOMPARE(d->Label1[row]->text(), QStringLiteral("5"));
    QCOMPARE(d->Label2[row]->text(), QStringLiteral("9"));
  }
  QCOMPARE(d->Label1[1]->text(), QStringLiteral("1"));
  d->Combo2->setCurrentIndex(0);  // SSB
  emit d->Combo2->activated(0);
  QCOMPARE(d->Text1->text(), QStringLiteral("59"));
  QCOMPARE(d->Text3->text(), QStringLiteral("59"));
  QTest::mouseClick(d->Command1, Qt::LeftButton);
  QCOMPARE(w.session().Doc.Log[4].Mode.trimmed(), std::string_view("CW"));
  QCOMPARE(w.session().Doc.Log[4].SentRst.trimmed(), std::string_view("599"));
  for (int i = 5; i <= 9; ++i) {
    QCOMPARE(w.session().Doc.Log[i].Mode.trimmed(), std::string_view("SSB"));
    QCOMPARE(w.session().Doc.Log[i].SentRst.trimmed(), std::string_view("59"));
    QCOMPARE(w.session().Doc.Log[i].RcvdRst.trimmed(), std::string_view("59"));
  }
  QCOMPARE(w.session().Doc.Log[10].RcvdRst.trimmed(), std::string_view("579"));
  d->close();
}

void TestFrmMultiEdit::timeShiftByMonthsAndStepperReset() {
  MainFixture f;
  frmMain& w = logWith(f, 3);  // 31 Jan, 1 Feb, 2 Feb 05:00
  QPointer<frmMultiEdit> d = frmMultiEdit::showFor(w);
  tick(d->Check1[5]);
  QVERIFY(d->UpDown3[0]->isEnabled());
  clicks(d->UpDown3[0]->upButton(), 1);
  clicks(d->UpDown3[2]->downButton(), 9);
  QCOMPARE(d->Label3[0]->text(), QStringLiteral("1"));
  QCOMPARE(d->Label3[2]->text(), QStringLiteral("-9"));
  QTest::mouseClick(d->Command1, Qt::LeftButton);
  // -9 hours first (30 Jan 20:00), then +1 month
  QCOMPARE(ole::formatSeconds(w.session().Doc.Log[1].QsoTime), std::string("2015-02-28 20:00:00"));
  QCOMPARE(ole::formatSeconds(w.session().Doc.Log[2].QsoTime), std::string("2015-02-28 20:00:00"));
  QCOMPARE(ole::formatSeconds(w.session().Doc.Log[3].QsoTime), std::string("2015-03-01 20:00:00"));
  for (std::size_t i = 0; i < 3; ++i) {
    QCOMPARE(d->UpDown3[i]->value(), 0);
    QCOMPARE(d->Label3[i]->text(), QStringLiteral("0"));
  }
  // a second press shifts nothing
  QTest::mouseClick(d->Command1, Qt::LeftButton);
  QCOMPARE(ole::formatSeconds(w.session().Doc.Log[3].QsoTime), std::string("2015-03-01 20:00:00"));
  // +1 month straight on 31 January gives the last day of February
  w.session().Doc.Log[1].QsoTime = ole::fromDateTime(2016, 1, 31, 12, 0, 0);
  clicks(d->UpDown3[0]->upButton(), 1);
  QTest::mouseClick(d->Command1, Qt::LeftButton);
  QCOMPARE(ole::formatSeconds(w.session().Doc.Log[1].QsoTime), std::string("2016-02-29 12:00:00"));
  d->close();
}

void TestFrmMultiEdit::reportsFollowKnownModesOnly() {
  MainFixture f;
  frmMain& w = logWith(f, 4);
  QPointer<frmMultiEdit> d = frmMultiEdit::showFor(w);
  for (int row : {4, 0, 2}) tick(d->Check1[static_cast<std::size_t>(row)]);
  QTest::keyClicks(d->Text1, QStringLiteral("5a7"));
  QCOMPARE(d->Text1->text(), QStringLiteral("57"));
  QTest::keyClicks(d->Text3, QStringLiteral("4x4"));
  QCOMPARE(d->Text3->text(), QStringLiteral("44"));
  d->Combo2->setCurrentIndex(2);  // RTTY
  emit d->Combo2->activated(2);
  QCOMPARE(d->Text1->text(), QStringLiteral("57"));
  QCOMPARE(d->Text3->text(), QStringLiteral("44"));
  d->Combo2->setCurrentIndex(1);  // CW
  emit d->Combo2->activated(1);
  QCOMPARE(d->Text1->text(), QStringLiteral("599"));
  tick(d->Check1[1]);
  QTest::keyClicks(d->Text2, QStringLiteral("13m-h"));
  QCOMPARE(d->Text2->text(), QStringLiteral("13MH"));
  d->close();
}

void TestFrmMultiEdit::fewerThanTwoQsos() {
  MainFixture f;
  frmMain& w = logWith(f, 1);
  QPointer<frmMultiEdit> d = frmMultiEdit::showFor(w);
  QVERIFY(d);
  for (QCheckBox* c : d->Check1) QVERIFY(!c->isEnabled());
  QVERIFY(!d->Command1->isEnabled());
  d->Check1[3]->setChecked(true);
  d->Combo1->setEditText(QStringLiteral("14"));
  QVERIFY(!d->Command1_Click());
  QCOMPARE(band(w, 1), std::string("7"));
  QCOMPARE(w.session().Doc.State.LogDirty, std::int16_t(0));
  d->close();
}

QTEST_MAIN(TestFrmMultiEdit)
#include "tst_frmmultiedit.moc"

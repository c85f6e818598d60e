// Tool windows built over the stand-in workspace: no main window exists in
// this program at all, so every reach into the program goes through the
// workspace interface.
#include <QKeyEvent>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QToolButton>
#include <QtTest>

#include "entry/gui/entryfilters.h"
#include "entry/gui/frmdellog.h"
#include "entry/gui/frmtime.h"
#include "log/gui/qtui.h"
#include "testworkspace.h"

class TestWorkspaceWindows : public QObject {
  Q_OBJECT
 private slots:
  void deleteDialogOverTheStandIn();
  void deleteDialogClosesOnEscWithItsText();
  void timeShiftOverTheStandIn();
  void noMainWindowInThisProgram();
};

namespace {
// A key as the X server delivers it, with its control text.
void pressWithText(QWidget* w, Qt::Key key, const QString& text) {
  QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
  QApplication::sendEvent(w, &press);
  QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
  QApplication::sendEvent(w, &release);
}
}  // namespace

void TestWorkspaceWindows::deleteDialogOverTheStandIn() {
  TestWorkspace ws;
  ws.fillLog(10);
  ws.S.Doc.State.SelRow = 5;
  // A mark the search would clear: it shows that the log was re-scored.
  ws.S.Score.BandStats[0].QsoCount = 99;
  QPointer<frmDelLog> d = frmDelLog::showFor(ws);
  QVERIFY(d);
  QCOMPARE(d->parentWidget(), ws.Main.get());
  QCOMPARE(d->Label1->text(), QStringLiteral("No 0005  JA1AA4  　を削除しますか ?"));
  QCOMPARE(ws.S.Doc.State.OpenDialogNo, std::int16_t(DlgDelLog));
  QCOMPARE(ws.dialogs().find(DlgDelLog), d.data());
  QCOMPARE(ws.selectedRow, 5);
  QVERIFY(!ws.menusOn);
  const QRect m = ws.Main->frameGeometry();
  QVERIFY(qAbs(d->x() + d->width() / 2 - (m.x() + m.width() / 2)) <= 1);
  QCOMPARE(d->y(), m.y() + twipsToPx(1000));

  QTest::mouseClick(d->OKButton, Qt::LeftButton);
  QVERIFY(!d || !d->isVisible());
  QCOMPARE(ws.S.Doc.Log.count(), 9);
  QCOMPARE(ws.S.Doc.Log[5].CallSign.trimmed(), std::string_view("JA1AA5"));
  QCOMPARE(ws.S.Doc.State.LogDirty, std::int16_t(1));
  QCOMPARE(ws.S.Score.BandStats[0].QsoCount, std::int16_t(0));
  QCOMPARE(ws.S.GridData.cell(5, 0), std::string_view("0006"));
  QCOMPARE(ws.S.Doc.State.OpenDialogNo, std::int16_t(0));
  QCOMPARE(ws.dialogs().find(DlgDelLog), nullptr);
  QVERIFY(ws.menusOn);
}

void TestWorkspaceWindows::deleteDialogClosesOnEscWithItsText() {
  TestWorkspace ws;
  ws.fillLog(3);
  ws.S.Doc.State.SelRow = 2;
  ws.S.Score.BandStats[0].QsoCount = 99;
  QPointer<frmDelLog> d = frmDelLog::showFor(ws);
  QVERIFY(d);
  pressWithText(d, Qt::Key_Escape, QStringLiteral("\x1b"));
  QVERIFY(!d || !d->isVisible());
  QCOMPARE(ws.S.Doc.Log.count(), 3);
  QCOMPARE(ws.S.Score.BandStats[0].QsoCount, std::int16_t(99));
  QVERIFY(ws.menusOn);
  QCOMPARE(ws.S.Doc.State.OpenDialogNo, std::int16_t(0));
}

void TestWorkspaceWindows::timeShiftOverTheStandIn() {
  TestWorkspace ws;
  ws.S.Contest.SetUTCtime = 1;
  ws.fillLog(2);
  const ole::Date first = ws.S.Doc.Log[1].QsoTime;
  QPointer<frmTime> d = frmTime::showFor(ws);
  QVERIFY(d);
  QCOMPARE(d->Label5->text(), QStringLiteral("時間を UTC に合わせてください"));
  QCOMPARE(ws.S.Doc.State.OpenDialogNo, std::int16_t(DlgTime));
  QVERIFY(!ws.menusOn);
  for (int i = 0; i < 9; ++i) QTest::mouseClick(d->UpDown1->downButton(), Qt::LeftButton);
  QCOMPARE(d->Label1->text(), QStringLiteral("-9"));
  const std::string before = ws.S.GridData.rowText(1);
  QTest::mouseClick(d->OKButton, Qt::LeftButton);
  QVERIFY(!d || !d->isVisible());
  QCOMPARE(ole::formatSeconds(ws.S.Doc.Log[1].QsoTime), ole::formatSeconds(ole::addHours(first, -9)));
  QCOMPARE(ws.S.Doc.State.LogDirty, std::int16_t(1));
  QVERIFY(ws.S.GridData.rowText(1) != before);
  QVERIFY(ws.menusOn);
  QCOMPARE(ws.S.Doc.State.OpenDialogNo, std::int16_t(0));
}

void TestWorkspaceWindows::noMainWindowInThisProgram() {
  TestWorkspace ws;
  for (QWidget* w : QApplication::topLevelWidgets())
    QVERIFY2(!w->inherits("QMainWindow"), qPrintable(w->objectName()));
}

QTEST_MAIN(TestWorkspaceWindows)
#include "tst_ws_windows.moc"

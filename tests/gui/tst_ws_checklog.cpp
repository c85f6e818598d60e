// The check before submission over the stand-in workspace: the findings by
// level, the jump to a QSO, and going on to the log-making dialog.
#include <QPointer>
#include <QtTest>

#include "log/gui/qtui.h"
#include "output/gui/frmchecklog.h"
#include "output/gui/frmmakelog.h"
#include "output/gui/frmqtc.h"
#include "samples.h"
#include "testworkspace.h"

class TestCheckLog : public QObject {
  Q_OBJECT
 private slots:
  void findingsGroupedByLevel();
  void aQsoFindingJumpsToItsRow();
  void goesOnOnlyAfterConfirmationWhileErrorsRemain();
  void fromTheMenuTheCommandsStepsFollow();
  void theCheckOfTheOpenLog();
};

namespace {
using check::Finding;
using check::Level;

std::vector<Finding> sampleFindings() {
  return {{Level::Error, 0, "部門コード「XAM」はこのコンテストの部門にありません"},
          {Level::Error, 3, "JA1AA2: 送信ナンバー「10」に空中線電力の記号がありません"},
          {Level::Warning, 2, "JA1AA1: バンド「1.9」はこのコンテストの対象外です"},
          {Level::Note, 0, "総得点が0点です"}};
}

QTreeWidgetItem* itemOfRow(frmCheckLog* d, int qso) {
  for (int g = 0; g < d->List1->topLevelItemCount(); ++g)
    for (int c = 0; c < d->List1->topLevelItem(g)->childCount(); ++c) {
      QTreeWidgetItem* i = d->List1->topLevelItem(g)->child(c);
      if (d->findingOf(i) && d->findingOf(i)->qso == qso) return i;
    }
  return nullptr;
}

// A double click as the X server delivers it: press, release, double click, release.
void doubleClick(frmCheckLog* d, QTreeWidgetItem* item) {
  QWidget* v = d->List1->viewport();
  const QPoint at = d->List1->visualItemRect(item).center();
  QTest::mousePress(v, Qt::LeftButton, {}, at);
  QTest::mouseRelease(v, Qt::LeftButton, {}, at);
  QTest::mouseDClick(v, Qt::LeftButton, {}, at);
  QTest::mouseRelease(v, Qt::LeftButton, {}, at);
}
}  // namespace

void TestCheckLog::findingsGroupedByLevel() {
  TestWorkspace ws;
  ws.fillLog(5);
  QPointer<frmCheckLog> d =
      frmCheckLog::open(ws, frmCheckLog::From::MakeLogCommand, sampleFindings());
  QCOMPARE(d->windowTitle(), QStringLiteral("提出前チェック"));
  QCOMPARE(ws.S.Doc.State.OpenDialogNo, std::int16_t(DlgCheckLog));
  QCOMPARE(ws.dialogs().find(DlgCheckLog), d.data());
  QVERIFY(!ws.menusOn);
  QVERIFY(d->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
  QCOMPARE(d->Label1->text(), QStringLiteral("エラー 2 件、警告 1 件、注意 1 件 が見つかりました。"));

  // One group a level, in level order, each finding under its own.
  QCOMPARE(d->List1->topLevelItemCount(), 3);
  const QStringList groups = {QStringLiteral("エラー（2）"), QStringLiteral("警告（1）"),
                              QStringLiteral("注意（1）")};
  const std::vector<std::vector<std::pair<QString, int>>> rows = {
      {{"", 0}, {"3", 3}}, {{"2", 2}}, {{"", 0}}};
  for (int g = 0; g < 3; ++g) {
    QTreeWidgetItem* group = d->List1->topLevelItem(g);
    QCOMPARE(group->text(0), groups[g]);
    QVERIFY(group->isExpanded());
    QVERIFY(!d->findingOf(group));
    QCOMPARE(group->childCount(), static_cast<int>(rows[static_cast<std::size_t>(g)].size()));
    for (int c = 0; c < group->childCount(); ++c) {
      const auto& [shown, qso] = rows[static_cast<std::size_t>(g)][static_cast<std::size_t>(c)];
      QCOMPARE(group->child(c)->text(0), shown);
      QCOMPARE(d->findingOf(group->child(c))->qso, qso);
      QCOMPARE(group->child(c)->text(1), toQ(d->findingOf(group->child(c))->text));
    }
  }
  // The first finding has the focus, ready for Enter.
  QCOMPARE(d->List1->currentItem(), d->List1->topLevelItem(0)->child(0));

  // Nothing found: said so, no groups.
  d->showFindings({});
  QCOMPARE(d->List1->topLevelItemCount(), 0);
  QCOMPARE(d->Label1->text(), QStringLiteral("問題は見つかりませんでした。"));
  QTest::keyClick(d, Qt::Key_Escape);
  QTRY_VERIFY(!d);
  QVERIFY(ws.menusOn);
  QCOMPARE(ws.S.Doc.State.OpenDialogNo, std::int16_t(0));
}

void TestCheckLog::aQsoFindingJumpsToItsRow() {
  TestWorkspace ws;
  ws.fillLog(5);
  QPointer<frmCheckLog> d = frmCheckLog::open(ws, frmCheckLog::From::Menu, sampleFindings());
  d->show();
  QVERIFY(QTest::qWaitForWindowExposed(d));

  // A finding about the whole log goes nowhere.
  doubleClick(d, itemOfRow(d, 0));
  QVERIFY(d && d->isVisible());
  QVERIFY(ws.editedRows.empty());

  // Double click: the row is selected, this window makes way, the edit window opens.
  doubleClick(d, itemOfRow(d, 3));
  QTRY_VERIFY(!d);
  QCOMPARE(ws.selectedRow, 3);
  QCOMPARE(ws.S.Doc.State.SelRow, std::int16_t(3));
  QCOMPARE(ws.editedRows, std::vector<int>{3});
  QCOMPARE(ws.S.Doc.State.OpenDialogNo, std::int16_t(0));
  QVERIFY(ws.menusOn);

  // Enter on the current finding does the same.
  d = frmCheckLog::open(ws, frmCheckLog::From::Menu, sampleFindings());
  d->List1->setCurrentItem(itemOfRow(d, 2));
  QTest::keyClick(d->List1, Qt::Key_Return);
  QTRY_VERIFY(!d);
  QCOMPARE(ws.editedRows, (std::vector<int>{3, 2}));
  QCOMPARE(ws.selectedRow, 2);

  // A finding past the end of the log (changed since) goes nowhere.
  d = frmCheckLog::open(ws, frmCheckLog::From::Menu, {{Level::Warning, 9, "JA9XXX: ?"}});
  QTest::keyClick(d->List1, Qt::Key_Return);
  QVERIFY(d && d->isVisible());
  QCOMPARE(ws.editedRows.size(), std::size_t(2));
  d->close();
}

void TestCheckLog::goesOnOnlyAfterConfirmationWhileErrorsRemain() {
  TestWorkspace ws;
  ws.fillLog(3);
  samples::fillStationData(ws.S.Ini);
  QPointer<frmCheckLog> d =
      frmCheckLog::open(ws, frmCheckLog::From::MakeLogCommand, sampleFindings());
  QCOMPARE(d->Command1->text(), QStringLiteral("このまま作成"));
  QCOMPARE(d->Command2->text(), QStringLiteral("閉じる"));

  // No: the window stays, nothing else opens.
  ws.Prompts.answers = {Answer::No};
  QTest::mouseClick(d->Command1, Qt::LeftButton);
  QCOMPARE(ws.Prompts.messages.size(), std::size_t(1));
  QCOMPARE(ws.Prompts.messages[0].text,
           std::string("エラーが 2 件あります。\r\nこのまま電子ログを作成しますか？"));
  QCOMPARE(ws.Prompts.messages[0].buttons, Buttons::YesNo);
  QVERIFY(d && d->isVisible());
  QVERIFY(!ws.dialogs().find(DlgMakeLog));

  // Yes: on to the log-making dialog.
  ws.Prompts.answers = {Answer::Yes};
  QTest::mouseClick(d->Command1, Qt::LeftButton);
  QTRY_VERIFY(!d);
  QPointer<frmMakeLog> m = qobject_cast<frmMakeLog*>(ws.dialogs().find(DlgMakeLog));
  QVERIFY(m);
  QCOMPARE(ws.S.Doc.State.OpenDialogNo, std::int16_t(DlgMakeLog));
  m->close();

  // Warnings and notes only: no question.
  ws.Prompts.messages.clear();
  std::vector<Finding> noErrors = sampleFindings();
  noErrors.erase(noErrors.begin(), noErrors.begin() + 2);
  d = frmCheckLog::open(ws, frmCheckLog::From::MakeLogCommand, noErrors);
  QTest::mouseClick(d->Command1, Qt::LeftButton);
  QTRY_VERIFY(!d);
  QVERIFY(ws.Prompts.messages.empty());
  QVERIFY(ws.dialogs().find(DlgMakeLog));
  ws.dialogs().find(DlgMakeLog)->close();

  // "閉じる" goes nowhere.
  d = frmCheckLog::open(ws, frmCheckLog::From::MakeLogCommand, noErrors);
  QTest::mouseClick(d->Command2, Qt::LeftButton);
  QTRY_VERIFY(!d);
  QVERIFY(!ws.dialogs().find(DlgMakeLog));
  QCOMPARE(ws.S.Doc.State.OpenDialogNo, std::int16_t(0));
}

void TestCheckLog::fromTheMenuTheCommandsStepsFollow() {
  TestWorkspace ws;
  ws.fillLog(3);
  // Opened from its menu item, the window goes on the way the command
  // does: the changed log is offered for saving, the summary sheet checked.
  ws.S.Doc.State.LogDirty = 1;
  QPointer<frmCheckLog> d = frmCheckLog::open(ws, frmCheckLog::From::Menu, {});
  ws.Prompts.answers = {Answer::No};
  QTest::mouseClick(d->Command1, Qt::LeftButton);
  QTRY_VERIFY(!d);
  QCOMPARE(ws.Prompts.messages.size(), std::size_t(1));
  QCOMPARE(ws.Prompts.messages[0].text, std::string("ログを保存しますか？"));
  QPointer<frmQTC> q = qobject_cast<frmQTC*>(ws.dialogs().find(DlgQTC));
  QVERIFY(q);
  q->close();
}

void TestCheckLog::theCheckOfTheOpenLog() {
  TestWorkspace ws;
  ws.fillLog(3);
  samples::fillStationData(ws.S.Ini);
  // A blank call in the log is what JARL would refuse.
  ws.S.Doc.Log[2].CallSign = "";
  const std::vector<Finding> found = frmCheckLog::Findings(ws);
  QVERIFY(check::HasError(found));
  QPointer<frmCheckLog> d = frmCheckLog::open(ws);
  QCOMPARE(d->findings().size(), found.size());
  QCOMPARE(d->List1->topLevelItem(0)->text(0).left(3), QStringLiteral("エラー"));
  QVERIFY(itemOfRow(d, 2));
  d->close();
}

QTEST_MAIN(TestCheckLog)
#include "tst_ws_checklog.moc"

// The summary-sheet check over a real main window.
#include <QPointer>
#include <QTextBlock>
#include <QtTest>

#include "guitestsupport.h"
#include "log/gui/qtui.h"
#include "output/gui/frmqtc.h"

class TestFrmQTC : public QObject {
  Q_OBJECT
 private slots:
  void opensAsAToolWindow();
  void missingItemsInRed();
  void oathOfTheContestKindAndPowerType();
  void boxesAreReadOnly();
  void settingsButtonOpensStationData();
  void cancelEscAndMainEscClose();
};

namespace {
bool red(QWidget* w) {
  return w->palette().color(QPalette::WindowText) == QColor(Qt::red) ||
         w->palette().color(QPalette::Text) == QColor(Qt::red);
}
Qt::Alignment alignment(QTextEdit* t) { return t->document()->firstBlock().blockFormat().alignment(); }
}  // namespace

void TestFrmQTC::opensAsAToolWindow() {
  MainFixture f;
  frmMain& w = f.open();
  fillStationData(w.session().Ini);
  findAction(&w, "mnuQTC")->trigger();
  QPointer<frmQTC> d = qobject_cast<frmQTC*>(w.dialogs().find(DlgQTC));
  QVERIFY(d);
  QVERIFY(d->isVisible());
  QCOMPARE(d->windowTitle(), QStringLiteral("サマリーシート必須事項の確認"));
  QCOMPARE(w.session().Doc.State.OpenDialogNo, std::int16_t(11));
  QVERIFY(d->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
  QVERIFY(!w.m_1->menuAction()->isEnabled());
  QVERIFY(!w.m11->menuAction()->isEnabled());
  QCOMPARE(d->pos(), w.pos() + QPoint(twipsToPx(300), twipsToPx(300)));
  QCOMPARE(d->OKButton->text(), QStringLiteral("設定フォームを開く"));
  QCOMPARE(d->CancelButton->text(), QStringLiteral("ｷｬﾝｾﾙ"));
  for (const char* name : {"Label10", "Label11", "Label12", "Label13", "Label14", "Label15",
                           "Label16", "Label21", "Text1", "Text2", "OKButton", "CancelButton"})
    QVERIFY2(d->findChild<QWidget*>(QString::fromUtf8(name)), name);
  const QStringList captions = {"コンテストの名称", "参加部門および種類", "名　称", "コード",
                                "コンテスト中使用した最大空中線電力", "コールサイン",
                                "局免許者の氏名（社団の名称）", "局免許者の無線従事者資格",
                                "連絡先", "宣誓文"};
  QStringList shown;
  for (QLabel* l : d->findChildren<QLabel*>()) shown << l->text();
  for (const QString& c : captions) QVERIFY2(shown.contains(c), qPrintable(c));
  // Every item filled: nothing marked, values as stored.
  QCOMPARE(d->Label10->text(), QStringLiteral("ＡＬＬ ＪＡ コンテスト"));
  QCOMPARE(d->Text1->toPlainText(), QStringLiteral("東京都千代田区\n1-1-1"));
  for (QWidget* x : std::initializer_list<QWidget*>{d->Label10, d->Label11, d->Label12, d->Label13,
                                                    d->Label14, d->Label15, d->Label16, d->Text1,
                                                    d->Text2})
    QVERIFY(!red(x));
  d->close();
}

void TestFrmQTC::missingItemsInRed() {
  MainFixture f;
  frmMain& w = f.open();
  fillStationData(w.session().Ini);
  w.session().Ini.JarlCallSign.clear();
  w.session().Ini.JarlPower = "   ";
  w.session().Ini.JarlName = " 山田 ";
  w.session().Ini.JarlAddress = "  ";
  // A code the current definition does not list is still filled in.
  w.session().Ini.JarlCateCode = "OLD1";
  QPointer<frmQTC> d = frmQTC::open(w);
  QCOMPARE(d->Label14->text(), QStringLiteral("未設定"));
  QVERIFY(red(d->Label14));
  QCOMPARE(d->Label13->text(), QStringLiteral("未設定"));
  QVERIFY(red(d->Label13));
  QCOMPARE(d->Label15->text(), QStringLiteral(" 山田 "));
  QVERIFY(!red(d->Label15));
  QCOMPARE(d->Label12->text(), QStringLiteral("OLD1"));
  QVERIFY(!red(d->Label12));
  QCOMPARE(d->Text1->toPlainText(), QStringLiteral("未設定"));
  QVERIFY(red(d->Text1));
  QVERIFY(alignment(d->Text1) & Qt::AlignHCenter);
  QVERIFY(!(alignment(d->Text2) & Qt::AlignHCenter));
  d->close();

  // A line break is content.
  w.session().Ini.JarlAddress = "\r\n";
  d = frmQTC::open(w);
  QVERIFY(!red(d->Text1));
  QCOMPARE(d->Text1->toPlainText(), QStringLiteral("\n"));
  d->close();
}

void TestFrmQTC::oathOfTheContestKindAndPowerType() {
  MainFixture f;
  frmMain& w = f.open();
  fillStationData(w.session().Ini);
  w.session().Contest.DqpEnabled = 1;
  w.session().Ini.JarlDqpOath.clear();
  w.session().Ini.JarlPowerType = 1;
  QPointer<frmQTC> d = frmQTC::open(w);
  QCOMPARE(d->Text2->toPlainText(), QStringLiteral("未設定"));
  QVERIFY(red(d->Text2));
  QVERIFY(alignment(d->Text2) & Qt::AlignHCenter);
  QCOMPARE(d->Label21->text(), QStringLiteral("実測出力"));
  QVERIFY(!red(d->Label21));
  d->close();
  w.session().Contest.DqpEnabled = 0;
  w.session().Contest.NYPEnabled = 1;
  w.session().Ini.JarlPowerType = 0;
  w.session().Ini.JarlPower.clear();
  d = frmQTC::open(w);
  QCOMPARE(d->Text2->toPlainText(), toQ(w.session().Ini.JarlNypOath).replace("\r\n", "\n"));
  QCOMPARE(d->Label21->text(), QStringLiteral("定格出力"));
  QVERIFY(!red(d->Label21));  // never marked, even beside a missing power
  QVERIFY(red(d->Label13));
  d->close();
}

void TestFrmQTC::boxesAreReadOnly() {
  MainFixture f;
  frmMain& w = f.open();
  fillStationData(w.session().Ini);
  QPointer<frmQTC> d = frmQTC::open(w);
  d->Text1->setFocus();
  QTest::keyClicks(d->Text1, "abc");
  QTest::keyClick(d->Text1, Qt::Key_Delete);
  QTest::keyClick(d->Text1, Qt::Key_Backspace);
  QTest::keyClick(d->Text1, Qt::Key_Return);
  QCOMPARE(d->Text1->toPlainText(), QStringLiteral("東京都千代田区\n1-1-1"));
  QTest::keyClicks(d->Text2, "x");
  QCOMPARE(d->Text2->toPlainText(), toQ(kDefaultOath).replace("\r\n", "\n"));
  QCOMPARE(w.session().Ini.JarlAddress, std::string("東京都千代田区\r\n1-1-1"));
  d->close();
}

void TestFrmQTC::settingsButtonOpensStationData() {
  MainFixture f;
  frmMain& w = f.open();
  fillStationData(w.session().Ini);
  w.session().Ini.JarlName.clear();
  QPointer<frmQTC> d = frmQTC::open(w);
  QTest::mouseClick(d->OKButton, Qt::LeftButton);
  QTRY_VERIFY(!d);
  QWidget* my = w.dialogs().find(DlgMyData);
  QVERIFY(my);
  QVERIFY(my->isVisible());
  QCOMPARE(w.session().Doc.State.OpenDialogNo, std::int16_t(3));
  QVERIFY(!w.m_1->menuAction()->isEnabled());
  my->close();
  QCOMPARE(w.session().Doc.State.OpenDialogNo, std::int16_t(0));
}

void TestFrmQTC::cancelEscAndMainEscClose() {
  MainFixture f;
  frmMain& w = f.open();
  fillStationData(w.session().Ini);
  QPointer<frmQTC> d = frmQTC::open(w);
  QTest::mouseClick(d->CancelButton, Qt::LeftButton);
  QTRY_VERIFY(!d);
  QCOMPARE(w.session().Doc.State.OpenDialogNo, std::int16_t(0));
  QVERIFY(w.m_1->menuAction()->isEnabled());
  QVERIFY(!w.dialogs().find(DlgMyData));

  d = frmQTC::open(w);
  QTest::keyClick(d->OKButton, Qt::Key_Escape);
  QTRY_VERIFY(!d);
  QVERIFY(!w.dialogs().find(DlgMyData));

  d = frmQTC::open(w);
  f.ui.messages.clear();
  QTest::keyClick(&w, Qt::Key_Escape);
  QTRY_VERIFY(!d);
  QCOMPARE(w.session().Doc.State.OpenDialogNo, std::int16_t(0));
  QVERIFY(f.ui.messages.empty());  // the input window's question did not come
}

QTEST_MAIN(TestFrmQTC)
#include "tst_frmqtc.moc"

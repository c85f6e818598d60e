// Boxes that feed stored text refuse what Shift-JIS cannot hold, typed,
// committed by an input method or pasted; control keys keep working.
#include <QClipboard>
#include <QComboBox>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QtTest>

#include "guitestsupport.h"
#include "log/gui/cp932guard.h"

class TestCp932Guard : public QObject {
  Q_OBJECT
 private slots:
  void typedAndCommittedCharactersAreRefused();
  void pastedTextLosesThem();
  void theStoredFieldsBoxesRefuseThem();
};

namespace {
void typeText(QWidget* w, const QString& text) {
  QTest::sendKeyEvent(QTest::Press, w, Qt::Key_unknown, text, Qt::NoModifier);
  QTest::sendKeyEvent(QTest::Release, w, Qt::Key_unknown, text, Qt::NoModifier);
}
void commit(QWidget* w, const QString& text) {
  QInputMethodEvent e;
  e.setCommitString(text);
  QCoreApplication::sendEvent(w, &e);
}
void paste(QWidget* w, const QString& text) {
  QGuiApplication::clipboard()->setText(text);
  QTest::keyClick(w, Qt::Key_V, Qt::ControlModifier);
}
}  // namespace

void TestCp932Guard::typedAndCommittedCharactersAreRefused() {
  QLineEdit box;
  RefuseNonCp932(&box);
  box.show();
  box.setFocus();
  QTest::keyClicks(&box, "JA1");
  typeText(&box, QStringLiteral("한"));
  typeText(&box, QString::fromUtf8("😀"));
  typeText(&box, QStringLiteral("東"));
  commit(&box, QStringLiteral("京한☃都"));
  QCOMPARE(box.text(), QStringLiteral("JA1東京都"));
  // Control keys carry on.
  QTest::keyClick(&box, Qt::Key_Backspace);
  QTest::keyClick(&box, Qt::Key_Home);
  QTest::keyClick(&box, Qt::Key_Delete);
  QCOMPARE(box.text(), QStringLiteral("A1東京"));

  QPlainTextEdit text;
  RefuseNonCp932(&text);
  text.show();
  text.setFocus();
  QTest::keyClicks(&text, "ab");
  typeText(&text, QStringLiteral("서"));
  QTest::keyClick(&text, Qt::Key_Return);
  typeText(&text, QStringLiteral("ｶﾅ"));
  QCOMPARE(text.toPlainText(), QStringLiteral("ab\nｶﾅ"));
}

void TestCp932Guard::pastedTextLosesThem() {
  QLineEdit box;
  RefuseNonCp932(&box);
  box.show();
  box.setFocus();
  QTest::keyClicks(&box, "AB");
  QTest::keyClick(&box, Qt::Key_Left);
  paste(&box, QString::fromUtf8("x서울😀y"));
  QCOMPARE(box.text(), QStringLiteral("AxyB"));
  QCOMPARE(box.cursorPosition(), 3);  // just after what was pasted

  QPlainTextEdit text;
  RefuseNonCp932(&text);
  text.show();
  text.setFocus();
  paste(&text, QString::fromUtf8("東京都\n한국😀\n千代田区"));
  QCOMPARE(text.toPlainText(), QStringLiteral("東京都\n\n千代田区"));

  QComboBox combo;
  combo.setEditable(true);
  RefuseNonCp932(&combo);
  combo.show();
  combo.lineEdit()->setFocus();
  paste(combo.lineEdit(), QString::fromUtf8("第一級한"));
  QCOMPARE(combo.currentText(), QStringLiteral("第一級"));
}

void TestCp932Guard::theStoredFieldsBoxesRefuseThem() {
  MainFixture f;
  frmMain& w = f.open();
  w.showMyData();
  QWidget* d = w.dialogs().find(DlgMyData);
  QVERIFY(d);
  auto* address = d->findChild<QPlainTextEdit*>(QStringLiteral("Text3"));
  auto* name = d->findChild<QLineEdit*>(QStringLiteral("Text2"));
  QVERIFY(address && name);
  address->setFocus();
  paste(address, QString::fromUtf8("서울 東京都"));
  QCOMPARE(address->toPlainText(), QStringLiteral(" 東京都"));
  name->setFocus();
  name->clear();
  typeText(name, QString::fromUtf8("😀"));
  paste(name, QString::fromUtf8("山田😀太郎"));
  QCOMPARE(name->text(), QStringLiteral("山田太郎"));
  d->close();

  w.showInput();
  QWidget* in = w.dialogs().find(DlgInput);
  QVERIFY(in);
  for (const char* box : {"Text5", "Text7", "Text9"}) {
    auto* t = in->findChild<QLineEdit*>(QString::fromUtf8(box));
    QVERIFY2(t, box);
    t->setFocus();
    paste(t, QString::fromUtf8("12한3"));
    QVERIFY2(!t->text().contains(QStringLiteral("한")), box);
  }
}

QTEST_MAIN(TestCp932Guard)
#include "tst_cp932guard.moc"

// The insert and edit dialogs over a real main window, driven by real key
// and mouse events.
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QtTest>

#include "log/gui/qtui.h"
#include "entry/gui/entryfilters.h"
#include "entry/gui/frmaddedit.h"
#include "guitestsupport.h"

class TestFrmEdit : public QObject {
  Q_OBJECT
 private slots:
  void editOpensOverTheSelectedQso();
  void editStoresOneQsoKeepingItsRemarks();
  void editStoresTheLoadedQsoAfterAnotherClick();
  void doubleClickOpensAndReloads();
  void timeBoxWithAndWithoutColon();
  void steppersAndAltKeys();
  void filtersAndSpaceMoves();
  void editingKeysPassTheFilters();
  void noSelectedQsoOpensNothing();
  void menuCommandsTakeTheCurrentRowOrAsk();
  void insertOpensWithItsOwnNumber();
  void insertAtTwelveRenumbersTheRest();
  void insertRefusesMissingBoxes();
  void insertTypedTimeAndManualMode();
  void digitalPartyDialogs();
};

namespace {
// A log of n QSOs a minute apart from 2015-04-02 05:00:30, bands 7 and 14
// and modes SSB, CW and RTTY offered.
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
    r.QsoTime = ole::addSeconds(ole::fromDateTime(2015, 4, 2, 5, 0, 30), i * 60);
    r.Band = "7";
    r.Mode = "CW";
    r.SentRst = "599";
    r.SentNo = "13M";
    r.RcvdRst = "579";
    r.RcvdNo = "10H";
    w.session().Doc.Log.append(r);
  }
  w.session().FrmLogLoad();
  w.mnuOn();
  return w;
}
void doubleClickRow(frmMain& w, int row) {
  clickRow(w, row);
  const QModelIndex i = w.GridModel1->index(row - 1, 2);
  QTest::mouseDClick(w.Grid1->viewport(), Qt::LeftButton, {}, w.Grid1->visualRect(i).center());
  // (the main window's Grid1_DblClick, as wired there)
  EditDialogsDblClick(w);
}
void retype(QLineEdit* box, const char* text) {
  box->selectAll();
  QTest::keyClick(box, Qt::Key_Backspace);
  QTest::keyClicks(box, QString::fromUtf8(text));
}
std::string call(frmMain& w, int i) { return std::string(w.session().Doc.Log[i].CallSign.trimmed()); }

}  // namespace

void TestFrmEdit::editOpensOverTheSelectedQso() {
  MainFixture f;
  frmMain& w = logWith(f, 14);
  w.session().Doc.Log[12].Remarks = "JH1OPR";
  clickRow(w, 12);
  QPointer<frmEdit> d = frmEdit::showFor(w);
  QVERIFY(d);
  QCOMPARE(d->windowTitle(), QStringLiteral("データの修正"));
  QCOMPARE(d->palette().color(QPalette::Window), QColor(192, 192, 192));
  QCOMPARE(d->Command1->text(), QStringLiteral("終了"));
  QCOMPARE(d->Command2->text(), QStringLiteral("登録"));
  struct Cap { const char* name; const char* text; };
  for (const Cap& c : {Cap{"Label5", "コールサイン"}, Cap{"Label6", "送信RS(T)"}, Cap{"Label7", "ナンバー"},
                       Cap{"Label8", "受信RS(T)"}, Cap{"Label9", "ナンバー"}})
    QCOMPARE(d->findChild<QLabel*>(c.name)->text(), QString::fromUtf8(c.text));
  for (const char* n : {"UpDown1_0", "UpDown1_1", "UpDown1_2", "UpDown2_0", "UpDown2_1", "Text1",
                        "Combo1", "Combo2", "Text5", "Text6", "Text7", "Text8", "Text9", "Label12",
                        "Label13", "Command1", "Command2"})
    QVERIFY2(d->findChild<QWidget*>(n), n);
  QVERIFY(!d->findChild<QWidget*>("Text4"));
  QVERIFY(d->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
  const QRect m = w.frameGeometry();
  QVERIFY(qAbs(d->x() + d->width() / 2 - (m.x() + m.width() / 2)) <= 1);
  QCOMPARE(d->y(), m.y() + twipsToPx(500));
  QCOMPARE(w.session().Doc.State.OpenDialogNo, std::int16_t(2));
  QVERIFY(!w.m_1->menuAction()->isEnabled());
  // DataLoad
  QCOMPARE(d->LoadedNo, std::int16_t(12));
  QCOMPARE(d->Label12->text(), QStringLiteral("2015-04-02"));
  QCOMPARE(d->Label13->text(), QStringLiteral("05:11"));
  QCOMPARE(d->Text1->text(), QStringLiteral("05:11"));
  QVERIFY(d->Text1->isHidden());
  QCOMPARE(d->Combo1->currentText(), QStringLiteral("7"));
  QCOMPARE(d->Combo2->currentText(), QStringLiteral("CW"));
  QCOMPARE(d->Combo1->count(), 2);
  QCOMPARE(d->Text5->text(), QStringLiteral("JA1AA12"));
  QCOMPARE(d->Text6->text(), QStringLiteral("599"));
  QCOMPARE(d->Text7->text(), QStringLiteral("13M"));
  QCOMPARE(d->Text8->text(), QStringLiteral("579"));
  QCOMPARE(d->Text9->text(), QStringLiteral("10H"));
  QCOMPARE(d->focusWidget(), d->Text5);
  // Esc closes it and gives everything back
  QTest::keyClick(d->Text6, Qt::Key_Escape);
  QVERIFY(!d || !d->isVisible());
  QCOMPARE(w.session().Doc.State.OpenDialogNo, std::int16_t(0));
  QCOMPARE(w.session().Doc.State.SelRow, std::int16_t(0));
  QVERIFY(w.m_1->menuAction()->isEnabled());
  QCOMPARE(w.session().Doc.State.LogDirty, std::int16_t(0));
}

void TestFrmEdit::editStoresOneQsoKeepingItsRemarks() {
  MainFixture f;
  frmMain& w = logWith(f, 14);
  w.session().Doc.Log[12].Remarks = "JH1OPR";
  w.session().Doc.CurQso.Remarks = "from elsewhere";
  clickRow(w, 12);
  QPointer<frmEdit> d = frmEdit::showFor(w);
  retype(d->Text5, "jr2xyz/1");
  QCOMPARE(d->Text5->text(), QStringLiteral("JR2XYZ/1"));
  retype(d->Text9, "");
  QTest::keyClick(d->Text5, Qt::Key_Return);
  QVERIFY(d && d->isVisible());  // stays open for further changes
  QCOMPARE(w.session().Doc.Log.count(), 14);
  QCOMPARE(call(w, 12), std::string("JR2XYZ/1"));
  QCOMPARE(w.session().Doc.Log[12].RcvdNo.trimmed(), std::string_view(""));
  QCOMPARE(w.session().Doc.Log[12].Remarks.trimmed(), std::string_view("JH1OPR"));
  QCOMPARE(w.session().Doc.Log[12].QsoNo, std::int16_t(12));
  QCOMPARE(ole::formatSeconds(w.session().Doc.Log[12].QsoTime), std::string("2015-04-02 05:11:30"));
  QCOMPARE(call(w, 11), std::string("JA1AA11"));
  QCOMPARE(call(w, 13), std::string("JA1AA13"));
  QCOMPARE(w.session().GridData.cell(12, 2), std::string_view("JR2XYZ/1"));
  QCOMPARE(w.session().Doc.State.LogDirty, std::int16_t(1));
  QCOMPARE(d->Saved, std::int16_t(1));
  // "登録" stores again
  retype(d->Text7, "13l");
  QTest::mouseClick(d->Command2, Qt::LeftButton);
  QCOMPARE(w.session().Doc.Log[12].SentNo.trimmed(), std::string_view("13L"));
  QTest::mouseClick(d->Command1, Qt::LeftButton);
  QVERIFY(!d || !d->isVisible());
  QCOMPARE(w.session().Doc.State.OpenDialogNo, std::int16_t(0));
}

void TestFrmEdit::editStoresTheLoadedQsoAfterAnotherClick() {
  MainFixture f;
  frmMain& w = logWith(f, 10);
  clickRow(w, 5);
  QPointer<frmEdit> d = frmEdit::showFor(w);
  clickRow(w, 8);  // a single click does not reload the dialog
  QCOMPARE(w.session().Doc.State.SelRow, std::int16_t(8));
  retype(d->Text9, "20m");
  QTest::keyClick(d->Text9, Qt::Key_Return);
  QCOMPARE(w.session().Doc.Log[5].RcvdNo.trimmed(), std::string_view("20M"));
  QCOMPARE(call(w, 8), std::string("JA1AA8"));
  QCOMPARE(w.session().Doc.Log[8].RcvdNo.trimmed(), std::string_view("10H"));
  d->close();
}

void TestFrmEdit::doubleClickOpensAndReloads() {
  MainFixture f;
  frmMain& w = logWith(f, 10);
  doubleClickRow(w, 3);
  QPointer<frmEdit> d = frmEdit::openOf(w);
  QVERIFY(d);
  QCOMPARE(d->Text5->text(), QStringLiteral("JA1AA3"));
  doubleClickRow(w, 7);
  QCOMPARE(frmEdit::openOf(w), d.data());
  QCOMPARE(d->Text5->text(), QStringLiteral("JA1AA7"));
  QCOMPARE(d->LoadedNo, std::int16_t(7));
  QCOMPARE(d->Label13->text(), QStringLiteral("05:06"));
  QCOMPARE(w.findChildren<frmEdit*>().size(), 1);
  // the main window's Esc closes it
  QTest::keyClick(&w, Qt::Key_Escape);
  QVERIFY(!d || !d->isVisible());
  QCOMPARE(w.session().Doc.State.OpenDialogNo, std::int16_t(0));
}

void TestFrmEdit::timeBoxWithAndWithoutColon() {
  MainFixture f;
  frmMain& w = logWith(f, 3);
  SetTimeMnl(w, 1);
  clickRow(w, 2);
  QPointer<frmEdit> d = frmEdit::showFor(w);
  QVERIFY(d->Text1->isVisible());
  QVERIFY(!d->UpDown2[0]->isEnabled() && !d->UpDown2[1]->isEnabled());
  QVERIFY(d->UpDown1[0]->isEnabled());
  QCOMPARE(d->focusWidget(), d->Text1);
  // the loaded "hh:nn" is not cleared on focus, and Enter stores it
  QCOMPARE(d->Text1->text(), QStringLiteral("05:01"));
  retype(d->Text1, "12:34");
  QTest::keyClick(d->Text1, Qt::Key_Return);
  QCOMPARE(ole::formatSeconds(w.session().Doc.Log[2].QsoTime), std::string("2015-04-02 12:34:00"));
  QCOMPARE(d->Text1->text(), QStringLiteral("12:34"));
  QCOMPARE(d->Label13->text(), QStringLiteral("12:34"));
  QCOMPARE(d->focusWidget(), d->Text1);
  // without the colon, and Space: taken, focus to the call sign, not stored
  retype(d->Text1, "2359");
  QTest::keyClick(d->Text1, Qt::Key_Space);
  QCOMPARE(d->Text1->text(), QStringLiteral("23:59"));
  QCOMPARE(d->focusWidget(), d->Text5);
  QCOMPARE(ole::formatSeconds(w.session().Doc.Log[2].QsoTime), std::string("2015-04-02 12:34:00"));
  // refused: the message with the topmost state dropped, nothing stored
  retype(d->Text1, "2400");
  QTest::keyClick(d->Text1, Qt::Key_Return);
  QCOMPARE(f.texts().last(), QStringLiteral("時間が不正です"));
  QCOMPARE(f.ui.messages.back().buttons, Buttons::OkCancel);
  QVERIFY(d->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
  QCOMPARE(d->focusWidget(), d->Text1);
  QCOMPARE(ole::formatSeconds(w.session().Doc.Log[2].QsoTime), std::string("2015-04-02 12:34:00"));
  // letters never reach the box
  retype(d->Text1, "1a2b");
  QCOMPARE(d->Text1->text(), QStringLiteral("12"));
  d->close();
}

void TestFrmEdit::steppersAndAltKeys() {
  MainFixture f;
  frmMain& w = logWith(f, 3);
  w.session().Doc.Log[1].QsoTime = ole::fromDateTime(2016, 1, 31, 23, 59, 45);
  clickRow(w, 1);
  QPointer<frmEdit> d = frmEdit::showFor(w);
  d->Text9->setFocus();
  QTest::mouseClick(d->UpDown1[1]->upButton(), Qt::LeftButton);  // month
  QCOMPARE(d->Label12->text(), QStringLiteral("2016-02-29"));
  QCOMPARE(d->focusWidget(), d->Text5);
  QTest::mouseClick(d->UpDown2[1]->upButton(), Qt::LeftButton);  // minute
  QCOMPARE(d->Label12->text(), QStringLiteral("2016-03-01"));
  QCOMPARE(d->Label13->text(), QStringLiteral("00:00"));
  QTest::keyClick(d->Text5, Qt::Key_D, Qt::AltModifier);
  QCOMPARE(d->Label13->text(), QStringLiteral("23:59"));
  QCOMPARE(d->Label12->text(), QStringLiteral("2016-02-29"));
  QTest::keyClick(d->Text5, Qt::Key_U, Qt::AltModifier);
  QTest::keyClick(d->Text5, Qt::Key_U, Qt::AltModifier);
  QCOMPARE(d->Label13->text(), QStringLiteral("00:01"));
  QTest::mouseClick(d->UpDown1[0]->downButton(), Qt::LeftButton);  // year
  QCOMPARE(d->Label12->text(), QStringLiteral("2015-03-01"));
  QTest::keyClick(d->Text5, Qt::Key_Return);
  QCOMPARE(ole::formatSeconds(w.session().Doc.Log[1].QsoTime), std::string("2015-03-01 00:01:00"));
  // focus commands; Alt+W clears the call sign and the received exchange only
  QTest::keyClick(d->Text5, Qt::Key_B, Qt::AltModifier);
  QCOMPARE(d->focusWidget(), d->Combo1);
  QTest::keyClick(d->Text5, Qt::Key_M, Qt::AltModifier);
  QCOMPARE(d->focusWidget(), d->Combo2);
  QTest::keyClick(d->Text5, Qt::Key_N, Qt::AltModifier);
  QCOMPARE(d->focusWidget(), d->Text9);
  QTest::keyClick(d->Text9, Qt::Key_C, Qt::AltModifier);
  QCOMPARE(d->focusWidget(), d->Text5);
  QTest::keyClick(d->Text5, Qt::Key_W, Qt::AltModifier);
  QCOMPARE(d->Text5->text(), QString());
  QCOMPARE(d->Text9->text(), QString());
  QCOMPARE(d->Text7->text(), QStringLiteral("13M"));
  QCOMPARE(d->Text6->text(), QStringLiteral("599"));
  d->close();
}

void TestFrmEdit::filtersAndSpaceMoves() {
  MainFixture f;
  frmMain& w = logWith(f, 3);
  clickRow(w, 1);
  QPointer<frmEdit> d = frmEdit::showFor(w);
  retype(d->Text5, "ja1 xyz");
  QCOMPARE(d->Text5->text(), QStringLiteral("JA1XYZ"));
  QCOMPARE(d->focusWidget(), d->Text9);  // the Space moved on
  retype(d->Text6, "5x9.");
  QCOMPARE(d->Text6->text(), QStringLiteral("59."));
  retype(d->Text7, "13 m");
  QCOMPARE(d->Text7->text(), QStringLiteral("13 M"));
  QCOMPARE(d->focusWidget(), d->Text9);
  QTest::keyClick(d->Text9, Qt::Key_Space);
  QCOMPARE(d->focusWidget(), d->Text5);
  QTest::keyClick(d->Text6, Qt::Key_Space);
  QCOMPARE(d->focusWidget(), d->Text9);
  QTest::keyClick(d->Text8, Qt::Key_Space);
  QCOMPARE(d->focusWidget(), d->Text9);
  // the band box takes only its list's texts; a typed mode proposes the
  // reports and keeps the focus; a mode pick goes to the call sign
  d->Combo1->setFocus();
  QTest::keyClicks(d->Combo1, QStringLiteral("1"));
  QCOMPARE(d->Combo1->currentText(), QStringLiteral("14"));
  QTest::keyClicks(d->Combo1, QStringLiteral("7"));  // in the same run: nothing starts "17"
  QCOMPARE(d->Combo1->currentText(), QStringLiteral("14"));
  QTest::keyClick(d->Combo1, Qt::Key_B, Qt::AltModifier);
  QTest::keyClicks(d->Combo1, QStringLiteral("7g.x"));
  QCOMPARE(d->Combo1->currentText(), QStringLiteral("7"));
  d->Combo2->setFocus();
  QTest::keyClicks(d->Combo2, QStringLiteral("r"));
  QCOMPARE(d->Combo2->currentText(), QStringLiteral("RTTY"));
  QCOMPARE(d->Text6->text(), QStringLiteral("599"));
  QCOMPARE(d->focusWidget(), d->Combo2);
  d->Combo2->setCurrentIndex(0);
  emit d->Combo2->activated(0);
  QCOMPARE(d->Combo2->currentText(), QStringLiteral("SSB"));
  QCOMPARE(d->Text6->text(), QStringLiteral("59"));
  QCOMPARE(d->Text8->text(), QStringLiteral("59"));
  QCOMPARE(d->focusWidget(), d->Text5);
  QCOMPARE(d->Text5->cursorPosition(), d->Text5->text().size());
  d->close();
}

// Keys with X11 control texts edit and leave every filtered box of the
// insert dialog; Esc with its text closes it.
void TestFrmEdit::editingKeysPassTheFilters() {
  MainFixture f;
  frmMain& w = logWith(f, 3);
  clickRow(w, 2);
  QPointer<frmAdd> d = frmAdd::showFor(w);
  d->activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(d));
  SetTimeMnl(w, 1);
  d->TimeMnlSet(1);
  const std::pair<QWidget*, const char*> boxes[] = {
      {d->Text5, "JA1ABC"}, {d->Text6, "599"},
      {d->Text7, "13M"},  {d->Text8, "579"}, {d->Text9, "10H"},    {d->Text1, "1234"},
      {d->Text4, "JH1XYZ"}};
  for (const auto& [box, text] : boxes) {
    auto* combo = qobject_cast<QComboBox*>(box);
    QLineEdit* edit = combo ? combo->lineEdit() : static_cast<QLineEdit*>(box);
    const QString failed = editingKeysFail(box, edit, QString::fromUtf8(text));
    QVERIFY2(failed.isEmpty(), qPrintable(failed));
  }
  d->Text8->setFocus();
  x11Key(d->Text8, Qt::Key_Escape);
  QVERIFY(!d || !d->isVisible());
  QCOMPARE(w.session().Doc.Log.count(), 3);
}

void TestFrmEdit::noSelectedQsoOpensNothing() {
  MainFixture f;
  frmMain& w = logWith(f, 5);
  QVERIFY(!frmEdit::showFor(w));
  QVERIFY(!frmAdd::showFor(w));
  EditDialogsDblClick(w);
  QVERIFY(!frmEdit::openOf(w));
  w.session().Doc.State.SelRow = 6;
  QVERIFY(!frmEdit::showFor(w));
  QVERIFY(!frmAdd::showFor(w));
  QCOMPARE(w.session().Doc.State.OpenDialogNo, std::int16_t(0));
  QVERIFY(w.mnuEdit->menuAction()->isEnabled());
}

// After a dialog has reset the clicked row, the edit and delete commands act
// on the grid's current row; with none they ask for a click.
void TestFrmEdit::menuCommandsTakeTheCurrentRowOrAsk() {
  MainFixture f;
  frmMain& w = logWith(f, 5);
  f.ui.messages.clear();
  w.Grid1->setCurrentIndex(QModelIndex());
  w.session().Doc.State.SelRow = 0;
  for (QAction* a : {w.mnuDataEdit, w.mnuDelete, w.mnuLogEdit, w.mnuLogIns, w.mnuLogDel}) {
    f.ui.messages.clear();
    a->trigger();
    QCOMPARE(w.session().Doc.State.OpenDialogNo, std::int16_t(0));
    QCOMPARE(f.texts(), QStringList{QStringLiteral("交信をクリックして選んでください")});
  }
  // edit QSO 2, close: the clicked row is reset, the grid's current row stays
  clickRow(w, 2);
  w.mnuDataEdit->trigger();
  QPointer<frmEdit> d = frmEdit::openOf(w);
  QVERIFY(d);
  d->close();
  QCOMPARE(w.session().Doc.State.SelRow, std::int16_t(0));
  w.selectGridRow(3);
  f.ui.messages.clear();
  w.mnuDataEdit->trigger();
  d = frmEdit::openOf(w);
  QVERIFY(d);
  QVERIFY(f.ui.messages.empty());
  QCOMPARE(d->Text5->text(), QStringLiteral("JA1AA3"));
  d->close();
  w.selectGridRow(4);
  w.mnuDelete->trigger();
  QCOMPARE(w.session().Doc.State.OpenDialogNo, std::int16_t(DlgDelLog));
  QCOMPARE(w.session().Doc.State.SelRow, std::int16_t(4));
  w.dialogs().find(DlgDelLog)->close();
}

void TestFrmEdit::insertOpensWithItsOwnNumber() {
  MainFixture f;
  frmMain& w = logWith(f, 14);
  clickRow(w, 12);
  QPointer<frmAdd> d = frmAdd::showFor(w);
  QVERIFY(d);
  QCOMPARE(d->windowTitle(), QStringLiteral("データの挿入"));
  QCOMPARE(d->palette().color(QPalette::Window), QColor(192, 255, 192));
  QCOMPARE(d->Command2->text(), QStringLiteral("挿入"));
  QCOMPARE(d->Label4->text(), QStringLiteral("オペレーター"));
  QCOMPARE(d->Text4->objectName(), QStringLiteral("Text4"));
  QCOMPARE(w.session().Doc.State.OpenDialogNo, std::int16_t(15));
  QCOMPARE(d->y(), w.frameGeometry().y() + twipsToPx(500));
  // DataLoad: time, band, mode, reports and sent exchange of the selected QSO
  QCOMPARE(d->Label13->text(), QStringLiteral("05:11"));
  QCOMPARE(d->Text1->text(), QString());
  QCOMPARE(d->Text5->text(), QString());
  QCOMPARE(d->Text9->text(), QString());
  QCOMPARE(d->Text6->text(), QStringLiteral("599"));
  QCOMPARE(d->Text7->text(), QStringLiteral("13M"));
  QCOMPARE(d->Text8->text(), QStringLiteral("579"));
  // a double click reloads the insert dialog, not an edit dialog
  QTest::keyClicks(d->Text5, QStringLiteral("ja1abc"));
  doubleClickRow(w, 3);
  QVERIFY(!frmEdit::openOf(w));
  QCOMPARE(d->Label13->text(), QStringLiteral("05:02"));
  QCOMPARE(d->Text5->text(), QString());
  // and the main window's Esc closes it, inserting nothing
  QTest::keyClick(&w, Qt::Key_Escape);
  QVERIFY(!d || !d->isVisible());
  QCOMPARE(w.session().Doc.Log.count(), 14);
  QCOMPARE(w.session().Doc.State.OpenDialogNo, std::int16_t(0));
  QCOMPARE(w.session().Doc.State.LogDirty, std::int16_t(0));
}

void TestFrmEdit::insertAtTwelveRenumbersTheRest() {
  MainFixture f;
  frmMain& w = logWith(f, 20);
  w.session().Doc.Log[13].Remarks = "kept";
  w.session().FrmLogLoad();
  clickRow(w, 12);
  QPointer<frmAdd> d = frmAdd::showFor(w);
  QTest::keyClicks(d->Text5, QStringLiteral("ja9new"));
  QTest::keyClick(d->Text5, Qt::Key_Space);
  QCOMPARE(d->focusWidget(), d->Text9);
  QTest::keyClicks(d->Text9, QStringLiteral("05m"));
  QTest::keyClicks(d->Text4, QStringLiteral("jh1 opr"));
  QTest::keyClick(d->Text4, Qt::Key_Space);
  QCOMPARE(d->focusWidget(), d->Text9);
  QTest::keyClick(d->Text9, Qt::Key_Return);
  QVERIFY(!d || !d->isVisible());
  QCOMPARE(w.session().Doc.Log.count(), 21);
  QCOMPARE(call(w, 11), std::string("JA1AA11"));
  QCOMPARE(call(w, 12), std::string("JA9NEW"));
  QCOMPARE(call(w, 13), std::string("JA1AA12"));
  QCOMPARE(call(w, 21), std::string("JA1AA20"));
  for (int i = 1; i <= 21; ++i) QCOMPARE(w.session().Doc.Log[i].QsoNo, std::int16_t(i));
  const QsoRecord& r = w.session().Doc.Log[12];
  QCOMPARE(r.RcvdNo.trimmed(), std::string_view("05M"));
  QCOMPARE(r.SentNo.trimmed(), std::string_view("13M"));
  QCOMPARE(r.Remarks.trimmed(), std::string_view("JH1OPR"));
  QCOMPARE(r.Band.trimmed(), std::string_view("7"));
  QCOMPARE(ole::formatSeconds(r.QsoTime), std::string("2015-04-02 05:11:00"));
  QCOMPARE(w.session().Doc.Log[14].Remarks.trimmed(), std::string_view("kept"));
  // the QSOs around it keep their seconds
  QCOMPARE(ole::formatSeconds(w.session().Doc.Log[13].QsoTime), std::string("2015-04-02 05:11:30"));
  QCOMPARE(w.session().GridData.cell(12, 0), std::string_view("0012"));
  QCOMPARE(w.session().GridData.cell(13, 0), std::string_view("0013"));
  QCOMPARE(w.session().GridData.cell(13, 2), std::string_view("JA1AA12"));
  QCOMPARE(w.session().Doc.State.LogDirty, std::int16_t(1));
  QCOMPARE(w.session().Doc.State.SelRow, std::int16_t(0));
  QCOMPARE(w.session().Doc.State.OpenDialogNo, std::int16_t(0));
  QVERIFY(w.mnuEdit->menuAction()->isEnabled());
}

void TestFrmEdit::insertRefusesMissingBoxes() {
  MainFixture f;
  frmMain& w = logWith(f, 5);
  clickRow(w, 2);
  QPointer<frmAdd> d = frmAdd::showFor(w);
  QTest::keyClicks(d->Text5, QStringLiteral("ja1abc"));
  const int shown = static_cast<int>(f.texts().size());
  {
    WindowWatch watch(d, f.ui);
    QTest::mouseClick(d->Command2, Qt::LeftButton);  // no received exchange
    QCOMPARE(watch.messages, 1);
    QVERIFY(watch.shownDuring);
    QVERIFY(!watch.topmostDuring);
    QCOMPARE(watch.hides, 0);
    QVERIFY(watch.sameNativeWindow());
    QCOMPARE(d->windowHandle()->transientParent(), w.windowHandle());
  }
  QVERIFY(d && d->isVisible());
  QCOMPARE(f.texts().last(), QStringLiteral("データを入力して下さい"));
  QCOMPARE(f.ui.messages.back().buttons, Buttons::OkCancel);
  QVERIFY(d->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
  QCOMPARE(d->focusWidget(), d->Text5);
  QCOMPARE(w.session().Doc.Log.count(), 5);
  QCOMPARE(w.session().GridData.rows(), 6);
  retype(d->Text6, "");
  QTest::keyClicks(d->Text9, QStringLiteral("10"));
  QTest::keyClick(d->Text9, Qt::Key_Return);
  QCOMPARE(f.texts().size(), shown + 2);
  QCOMPARE(w.session().Doc.Log.count(), 5);
  QTest::keyClicks(d->Text6, QStringLiteral("59"));
  QTest::keyClick(d->Text9, Qt::Key_Return);
  QVERIFY(!d || !d->isVisible());
  QCOMPARE(w.session().Doc.Log.count(), 6);
  QCOMPARE(call(w, 2), std::string("JA1ABC"));
  QCOMPARE(w.session().Doc.Log[2].SentRst.trimmed(), std::string_view("59"));
}

void TestFrmEdit::insertTypedTimeAndManualMode() {
  MainFixture f;
  frmMain& w = logWith(f, 5);
  SetTimeMnl(w, 1);
  clickRow(w, 3);
  QPointer<frmAdd> d = frmAdd::showFor(w);
  QCOMPARE(d->focusWidget(), d->Text1);
  QTest::keyClicks(d->Text5, QStringLiteral("jr1zzz"));
  QTest::keyClicks(d->Text9, QStringLiteral("11"));
  // manual time: the time box is required
  QTest::keyClick(d->Text9, Qt::Key_Return);
  QCOMPARE(f.texts().last(), QStringLiteral("データを入力して下さい"));
  QVERIFY(d && d->isVisible());
  // a typed time shows in the labels and goes into the inserted QSO
  QTest::keyClicks(d->Text1, QStringLiteral("0458"));
  QTest::keyClick(d->Text1, Qt::Key_Return);
  QVERIFY(!d || !d->isVisible());
  QCOMPARE(w.session().Doc.Log.count(), 6);
  QCOMPARE(call(w, 3), std::string("JR1ZZZ"));
  QCOMPARE(ole::formatSeconds(w.session().Doc.Log[3].QsoTime), std::string("2015-04-02 04:58:00"));
  SetTimeMnl(w, 0);
}

void TestFrmEdit::digitalPartyDialogs() {
  MainFixture f;
  frmMain& w = logWith(f, 5);
  w.session().Contest.DqpEnabled = 1;
  clickRow(w, 2);
  QPointer<frmAdd> d = frmAdd::showFor(w);
  for (QWidget* x : std::initializer_list<QWidget*>{d->Label7, d->Label9, d->Text7, d->Text9})
    QVERIFY(!x->isEnabled());
  QCOMPARE(d->Text8->focusPolicy(), Qt::StrongFocus);
  QTest::keyClicks(d->Text5, QStringLiteral("ja1dig"));
  QTest::keyClick(d->Text5, Qt::Key_Space);
  QCOMPARE(d->focusWidget(), d->Text8);
  // the exchanges are not asked for
  QTest::keyClick(d->Text5, Qt::Key_Return);
  QVERIFY(!d || !d->isVisible());
  QCOMPARE(w.session().Doc.Log.count(), 6);
  QCOMPARE(call(w, 2), std::string("JA1DIG"));
}

QTEST_MAIN(TestFrmEdit)
#include "tst_frmedit.moc"

// The real-time input window, driven by real key and mouse events.
#include <QApplication>
#include <QClipboard>
#include <QMenuBar>
#include <QtTest>

#include "log/gui/qtui.h"
#include "entry/gui/entryfilters.h"
#include "entry/gui/frminput.h"
#include "entry/realtime.h"
#include "guitestsupport.h"

namespace {

// A 7 MHz / 21 MHz / 144 MHz CW and SSB contest with prefecture + power letter.
void setContest(frmMain& w) {
  w.session().Contest = ContestDefinition{};
  for (int b : {2, 6, 10}) w.session().Contest.BandEnabled[static_cast<std::size_t>(b)] = 1;
  w.session().Contest.BandEnabled[4] = 2;  // not offered
  w.session().Contest.ModeEnabled[0] = 1;  // SSB
  w.session().Contest.ModeEnabled[3] = 1;  // CW
  w.session().Contest.Exch = 1;
  w.session().Contest.SentJarlCode = 1;
  w.session().Ini.JarlCallSign = "JA1ZZZ";
  w.session().Ini.JarlPrf = "13";
  w.session().Ini.JarlPwCode[2] = "M";
  w.session().Ini.JarlPwCode[6] = "H";
  w.session().Ini.JarlPwCode[10] = "L";
  w.session().Ini.RealTime = 0;
  w.session().Ini.CateMode = 0;
  w.session().Ini.CateBand = 0;
}

QWidget* focused() { return QApplication::focusWidget(); }
void type(const QString& s) { QTest::keyClicks(focused(), s); }
void key(Qt::Key k, Qt::KeyboardModifiers m = Qt::NoModifier) { QTest::keyClick(focused(), k, m); }

QString panel1(frmInput* f) { return f->StatusBar1Panel1->text(); }

}  // namespace

class TestFrmInput : public QObject {
  Q_OBJECT
 private:
  MainFixture f;
  frmMain* w = nullptr;
  int cabCalls = 0, zlogCalls = 0;

  frmInput* openInput() {
    QCoreApplication::processEvents();
    frmInput* in = frmInput::showFor(*w);
    in->links.CabOn = [this] { ++cabCalls; };
    in->links.ZlogOn = [this] { ++zlogCalls; };
    in->activateWindow();
    if (!QTest::qWaitForWindowActive(in)) qWarning("input window not active");
    if (TimeMnl(*w) == 1) in->Text1->setFocus();
    else in->Text5->setFocus();
    // Activation completes once the window system's events have run.
    QCoreApplication::processEvents();
    return in;
  }
  void closeInput() {
    if (frmInput* in = frmInput::openOf(*w)) in->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
  }

 private slots:
  void init() {
    if (!f.w) {
      f.open();
      f.w->resize(twipsToPx(13500), twipsToPx(8400));
      f.w->move(100, 50);
    }
    w = f.w.get();
    f.ui.messages.clear();
    closeInput();
    w->session().Doc.Log.clear();
    w->session().FrmLogLoad();
    w->session().Doc.State.ShowSeconds = 0;
    w->session().Doc.State.LogDirty = 0;
    SetTimeMnl(*w, 0);
    setContest(*w);
    f.clock.set(ole::fromDateTime(2026, 4, 25, 21, 0, 30));
    cabCalls = zlogCalls = 0;
  }
  void cleanup() { closeInput(); }

  void controlsCaptionsAndPlacement();
  void openingFollowsTheLogAndTheCategory();
  void typingAContest();
  void validationMessagesClearAfterFiveSeconds();
  void registerButtonClearsEvenWhenRefused();
  void manualTimeBox();
  void realTimeClock();
  void upDownsAndAltCommands();
  void upDownStates();
  void spaceMovesTheFocus();
  void keystrokeFilters();
  void editingKeysPassTheFilters();
  void bandAndModeTakeOnlyTheirLists();
  void commandWords();
  void digitalAndNewYearParties();
  void closingRescoresWhenQsosWereAdded();
  void fullLogStoresNothing();
  void enterFromElsewhereDoesNotRegister();
  void callSignRequiredToOpen();
  void typedQsoIsSavedAndReadBack();
};

void TestFrmInput::controlsCaptionsAndPlacement() {
  frmInput* in = openInput();
  QCOMPARE(in->windowTitle(), QStringLiteral("データ入力"));
  QVERIFY(in->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
  const struct { const char* name; const char* text; } captions[] = {
      {"Check1", "リアルタイム入力"}, {"Command1", "消去"}, {"Command2", "登録"},
      {"Label5", "コールサイン"}, {"Label6", "送信RS(T)"}, {"Label7", "ナンバー"},
      {"Label8", "受信RS(T)"}, {"Label9", "ナンバー"}, {"Label15", "JST"},
      {"Label16", "シングルオペ"}};
  for (const auto& c : captions) {
    QWidget* x = in->findChild<QWidget*>(QString::fromUtf8(c.name));
    QVERIFY2(x, c.name);
    const QString t = qobject_cast<QLabel*>(x)             ? qobject_cast<QLabel*>(x)->text()
                      : qobject_cast<QAbstractButton*>(x) ? qobject_cast<QAbstractButton*>(x)->text()
                                                           : QString();
    QCOMPARE(t, QString::fromUtf8(c.text));
  }
  for (const char* n : {"Label12", "Label13", "UpDown1_0", "UpDown1_1", "UpDown1_2", "UpDown2_0",
                        "UpDown2_1", "Text1", "Combo1", "Combo2", "Text5", "Text6", "Text7",
                        "Text8", "Text9", "StatusBar1", "StatusBar1Panel1"})
    QVERIFY2(in->findChild<QWidget*>(QString::fromUtf8(n)), n);
  QVERIFY(in->findChild<QTimer*>("Timer1"));
  QCOMPARE(in->Timer1->interval(), 5000);
  QCOMPARE(in->Timer2->interval(), 1000);
  QVERIFY(!in->Timer1->isActive());
  QVERIFY(!in->Timer2->isActive());
  QCOMPARE(in->UpDown1[0]->minimum(), -30000);
  QCOMPARE(in->UpDown2[1]->maximum(), 300000);
  QVERIFY(!in->Text1->isVisible());

  // centred on the main window, 500 twips below its top
  const QRect m = w->frameGeometry();
  QVERIFY(qAbs(in->frameGeometry().center().x() - m.center().x()) <= 2);
  QCOMPARE(in->pos().y(), m.y() + twipsToPx(500));

  // registered, menus off
  QCOMPARE(w->session().Doc.State.OpenDialogNo, 1);
  QCOMPARE(w->dialogs().find(DlgInput), in);
  QVERIFY(!w->m_1->menuAction()->isEnabled());
  QVERIFY(!w->m11->menuAction()->isEnabled());
  QVERIFY(w->m3->menuAction()->isEnabled());

  // lists of the enabled bands and modes; empty log: first entries, the
  // present time, the reports of the mode and the sent exchange of the band
  QCOMPARE(in->Combo1->count(), 3);
  QCOMPARE(in->Combo1->itemText(0), QStringLiteral("7"));
  QCOMPARE(in->Combo1->itemText(2), QStringLiteral("144"));
  QCOMPARE(in->Combo2->itemText(1), QStringLiteral("CW"));
  QCOMPARE(in->Combo1->currentText(), QStringLiteral("7"));
  QCOMPARE(in->Combo2->currentText(), QStringLiteral("SSB"));
  QCOMPARE(in->Text6->text(), QStringLiteral("59"));
  QCOMPARE(in->Text8->text(), QStringLiteral("59"));
  QCOMPARE(in->Text7->text(), QStringLiteral("13M"));
  QCOMPARE(in->Label12->text(), QStringLiteral("2026-04-25"));
  QCOMPARE(in->Label13->text(), QStringLiteral("21:00"));

  // Esc closes; the main window gets its menus back
  key(Qt::Key_Escape);
  QCOMPARE(w->session().Doc.State.OpenDialogNo, 0);
  QVERIFY(!frmInput::openOf(*w));
  QVERIFY(w->m_1->menuAction()->isEnabled());
}

void TestFrmInput::openingFollowsTheLogAndTheCategory() {
  // the last QSO's band and mode, its time + 5 s; UTC and multi-op labels
  f.fillLog(3);
  w->session().Doc.Log[3].Band = "21";
  w->session().Doc.Log[3].Mode = "CW";
  w->session().Contest.SetUTCtime = 1;
  w->session().Ini.CateMlt = 1;
  frmInput* in = openInput();
  QCOMPARE(in->Combo1->currentText(), QStringLiteral("21"));
  QCOMPARE(in->Combo2->currentText(), QStringLiteral("CW"));
  QCOMPARE(in->Text6->text(), QStringLiteral("599"));
  QCOMPARE(in->Text7->text(), QStringLiteral("13H"));
  QCOMPARE(ole::formatSeconds(in->InputTime), "2026-04-25 21:02:05");
  QCOMPARE(in->Label15->text(), QStringLiteral("UTC"));
  QCOMPARE(in->Label16->text(), QStringLiteral("マルチオペ"));
  closeInput();

  // a band the list lacks falls back to the first; the category presets
  // the boxes' texts (CW on 144)
  w->session().Doc.Log[3].Band = "430";
  w->session().Ini.CateMode = 2;
  w->session().Ini.CateBand = 8;
  in = openInput();
  QCOMPARE(in->Combo1->currentText(), QStringLiteral("144"));
  QCOMPARE(in->Combo2->currentText(), QStringLiteral("CW"));
  QCOMPARE(in->Text7->text(), QStringLiteral("13L"));
  closeInput();

  // category mode 3 leaves the mode box as the window had it
  w->session().Ini.CateMode = 3;
  w->session().Ini.CateBand = 0;
  w->session().Doc.Log[3].Mode = "SSB";
  in = openInput();
  QCOMPARE(in->Combo2->currentText(), QStringLiteral("SSB"));
  QCOMPARE(in->Combo1->currentText(), QStringLiteral("7"));

  // no band enabled: nothing selected, an entered QSO has no band
  closeInput();
  w->session().Contest.BandEnabled = {};
  in = openInput();
  QCOMPARE(in->Combo1->count(), 0);
  QCOMPARE(in->Combo1->currentText(), QString());
  type("ja1abc");
  key(Qt::Key_Space);
  type("10m");
  key(Qt::Key_Return);
  QCOMPARE(w->session().Doc.Log.count(), 4);
  QCOMPARE(QString::fromStdString(std::string(w->session().Doc.Log[4].Band.trimmed())), QString());
}

void TestFrmInput::typingAContest() {
  frmInput* in = openInput();
  struct Q { const char* call; const char* rcvd; int band; int mode; };
  const Q qsos[] = {{"ja1abc", "10m", 0, 0}, {"jh2xyz/1", "13h", 1, 1}, {"7k3aaa", "25l", 2, 1}};
  int n = 0;
  for (const Q& q : qsos) {
    // pick band and mode from the lists by mouse-free activation (as a click)
    in->Combo1->setCurrentIndex(q.band);
    emit in->Combo1->activated(q.band);
    in->Combo2->setCurrentIndex(q.mode);
    emit in->Combo2->activated(q.mode);
    QCOMPARE(focused(), in->Text5);
    type(QString::fromUtf8(q.call));
    key(Qt::Key_Space);
    QCOMPARE(focused(), in->Text9);
    type(QString::fromUtf8(q.rcvd));
    key(Qt::Key_Return);
    ++n;
    QCOMPARE(w->session().Doc.Log.count(), n);
    // boxes cleared, reports refilled, focus back to the call sign
    QCOMPARE(in->Text5->text(), QString());
    QCOMPARE(in->Text9->text(), QString());
    QCOMPARE(focused(), in->Text5);
  }
  const LogData& log = w->session().Doc.Log;
  QCOMPARE(QString::fromStdString(log[1].CallSign.str()), QStringLiteral("JA1ABC       "));
  QCOMPARE(QString::fromStdString(std::string(log[1].SentNo.trimmed())), QStringLiteral("13M"));
  QCOMPARE(QString::fromStdString(std::string(log[1].SentRst.trimmed())), QStringLiteral("59"));
  QCOMPARE(QString::fromStdString(std::string(log[2].SentNo.trimmed())), QStringLiteral("13H"));
  QCOMPARE(QString::fromStdString(std::string(log[2].RcvdRst.trimmed())), QStringLiteral("599"));
  QCOMPARE(QString::fromStdString(std::string(log[3].RcvdNo.trimmed())), QStringLiteral("25L"));
  QCOMPARE(QString::fromStdString(std::string(log[3].Band.trimmed())), QStringLiteral("144"));
  QCOMPARE(log[3].QsoNo, 3);
  // manual entry: 5 seconds apart, starting at the present time
  QCOMPARE(ole::formatSeconds(log[1].QsoTime), "2026-04-25 21:00:30");
  QCOMPARE(ole::formatSeconds(log[2].QsoTime), "2026-04-25 21:00:35");
  QCOMPARE(ole::formatSeconds(log[3].QsoTime), "2026-04-25 21:00:40");
  QCOMPARE(w->session().Doc.State.LogDirty, 1);
  QCOMPARE(in->DataAdded, 1);
  // grid rows appended, placeholder gone
  QCOMPARE(w->session().GridData.rows(), 4);
  QCOMPARE(QString::fromUtf8(w->session().GridData.rowText(1)),
           QStringLiteral("0001\t2026-04-25 21:00\tJA1ABC\t59\t13M\t59\t10M\t\t7\tSSB\t\t\t"));
  QCOMPARE(QString::fromUtf8(w->session().GridData.cell(3, 2)), QStringLiteral("7K3AAA"));
  QCOMPARE(w->GridModel1->rowCount(), 3);
}

void TestFrmInput::validationMessagesClearAfterFiveSeconds() {
  frmInput* in = openInput();
  struct Case { const char* call; const char* rcvd; const char* mode; std::string_view msg; };
  const Case cases[] = {
      {"", "", "", entry::text::kNeedAll},        {"JA1A", "", "", entry::text::kNeedModeRcvd},
      {"", "10", "", entry::text::kNeedModeCall}, {"", "", "CW", entry::text::kNeedCallRcvd},
      {"JA1A", "10", "", entry::text::kNeedMode}, {"JA1A", "", "CW", entry::text::kNeedRcvd},
      {"", "10", "CW", entry::text::kNeedCall}};
  for (const Case& c : cases) {
    in->Text5->setText(QString::fromUtf8(c.call));
    in->Text9->setText(QString::fromUtf8(c.rcvd));
    in->Combo2->setEditText(QString::fromUtf8(c.mode));
    key(Qt::Key_Return);
    QCOMPARE(panel1(in), toQ(c.msg));
    QVERIFY(in->Timer1->isActive());
    QCOMPARE(w->session().Doc.Log.count(), 0);
    // Enter keeps what was typed
    QCOMPARE(in->Text5->text(), QString::fromUtf8(c.call));
    QCOMPARE(in->Text9->text(), QString::fromUtf8(c.rcvd));
    in->Timer1_Timer();
    QCOMPARE(panel1(in), QString());
    QVERIFY(!in->Timer1->isActive());
  }
  QVERIFY(f.ui.messages.empty());
  QCOMPARE(w->session().Doc.State.LogDirty, 0);
}

void TestFrmInput::registerButtonClearsEvenWhenRefused() {
  frmInput* in = openInput();
  type("ja1abc");
  in->Combo2->setEditText(QString());
  QTest::mouseClick(in->Command2, Qt::LeftButton);
  QCOMPARE(panel1(in), toQ(entry::text::kNeedModeRcvd));
  QCOMPARE(in->Text5->text(), QString());
  QCOMPARE(w->session().Doc.Log.count(), 0);
  // the reports went back to the (empty) mode's default
  QCOMPARE(in->Text6->text(), QStringLiteral("599"));

  in->Combo2->setCurrentIndex(0);
  in->Text5->setText("JA1ABC");
  in->Text9->setText("10M");
  in->Text6->setText("57");
  QTest::mouseClick(in->Command2, Qt::LeftButton);
  QCOMPARE(w->session().Doc.Log.count(), 1);
  QCOMPARE(QString::fromStdString(std::string(w->session().Doc.Log[1].SentRst.trimmed())), QStringLiteral("57"));
  QCOMPARE(in->Text6->text(), QStringLiteral("59"));

  // "消去" clears the call sign and the received exchange and resets the reports
  in->Text5->setText("JA1XYZ");
  in->Text9->setText("11");
  in->Text8->setText("33");
  QTest::mouseClick(in->Command1, Qt::LeftButton);
  QCOMPARE(in->Text5->text(), QString());
  QCOMPARE(in->Text9->text(), QString());
  QCOMPARE(in->Text8->text(), QStringLiteral("59"));
}

void TestFrmInput::manualTimeBox() {
  frmInput* in = openInput();
  type("glorva");
  key(Qt::Key_Return);
  QCOMPARE(TimeMnl(*w), 1);
  QVERIFY(in->Text1->isVisible());
  QVERIFY(!in->UpDown2[0]->isEnabled());
  QCOMPARE(focused(), in->Text1);
  QCOMPARE(w->session().Doc.Log.count(), 0);  // the command word registers nothing

  // 2400 is refused with the message; the time stays. The window stays
  // shown above the main window while the message is up, topmost after.
  const ole::Date before = in->InputTime;
  {
    WindowWatch watch(in, f.ui);
    type("2400");
    key(Qt::Key_Space);
    QCOMPARE(watch.messages, 1);
    QVERIFY(watch.shownDuring);
    QVERIFY(!watch.topmostDuring);
    QCOMPARE(watch.hides, 0);
    QVERIFY(watch.sameNativeWindow());
    QCOMPARE(in->windowHandle()->transientParent(), w->windowHandle());
    QVERIFY(in->windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint));
  }
  QCOMPARE(f.texts(), QStringList{QStringLiteral("時間が不正です")});
  QCOMPARE(f.ui.messages.back().buttons, Buttons::OkCancel);
  QCOMPARE(in->InputTime, before);
  QCOMPARE(in->focusWidget(), in->Text1);
  QCOMPARE(in->Text1->text(), QString());
  QVERIFY(in->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
  // minutes above 59 too
  QTest::keyClicks(in->Text1, "1260");
  QTest::keyClick(in->Text1, Qt::Key_Space);
  QCOMPARE(f.ui.messages.size(), std::size_t{2});

  // 2359 is accepted: "23:59", the time of the shown date, focus to the call sign
  in->Text1->clear();
  QTest::keyClicks(in->Text1, "2359");
  QTest::keyClick(in->Text1, Qt::Key_Space);
  QCOMPARE(in->Text1->text(), QStringLiteral("23:59"));
  QCOMPARE(ole::formatSeconds(in->InputTime), "2026-04-25 23:59:00");
  QCOMPARE(in->focusWidget(), in->Text5);
  QTest::keyClicks(in->Text5, "ja1abc");
  QTest::keyClicks(in->Text9, "10");
  QTest::keyClick(in->Text9, Qt::Key_Return);
  QCOMPARE(ole::formatSeconds(w->session().Doc.Log[1].QsoTime), "2026-04-25 23:59:00");
  // after a QSO the focus goes to the time box, which empties itself
  QCOMPARE(in->focusWidget(), in->Text1);
  QCOMPARE(in->Label13->text(), QStringLiteral("23:59"));
  QCOMPARE(ole::formatSeconds(in->InputTime), "2026-04-25 23:59:05");

  // manual time survives the window; GLORVUX turns it off
  closeInput();
  in = openInput();
  QVERIFY(in->Text1->isVisible());
  in->Text5->setFocus();
  type("glorvux");
  key(Qt::Key_Return);
  QCOMPARE(TimeMnl(*w), 0);
  QVERIFY(!in->Text1->isVisible());
  QVERIFY(in->UpDown2[0]->isEnabled());
  QCOMPARE(focused(), in->Text5);
}

void TestFrmInput::realTimeClock() {
  f.fillLog(2);
  w->session().Contest.SetUTCtime = 1;
  frmInput* in = openInput();
  QCOMPARE(ole::formatSeconds(in->InputTime), "2026-04-25 21:01:05");
  QTest::mouseClick(in->Check1, Qt::LeftButton);
  QVERIFY(in->Check1->isChecked());
  QCOMPARE(w->session().Ini.RealTime, 1);
  QVERIFY(in->Timer2->isActive());
  for (auto* u : in->UpDown1) QVERIFY(!u->isEnabled());
  for (auto* u : in->UpDown2) QVERIFY(!u->isEnabled());
  // each tick takes the clock, UTC 9 hours behind local time
  f.clock.set(ole::fromDateTime(2026, 4, 26, 3, 15, 42));
  in->Timer2_Timer();
  QCOMPARE(ole::formatSeconds(in->InputTime), "2026-04-25 18:15:42");
  QCOMPARE(in->Label12->text(), QStringLiteral("2026-04-25"));
  QCOMPARE(in->Label13->text(), QStringLiteral("18:15"));
  // Alt+D does nothing in real time
  in->Text5->setFocus();
  key(Qt::Key_D, Qt::AltModifier);
  QCOMPARE(ole::formatSeconds(in->InputTime), "2026-04-25 18:15:42");
  // registered with the clock's seconds; the time is not moved on by 5 s
  type("ja1abc");
  key(Qt::Key_Space);
  type("10");
  key(Qt::Key_Return);
  QCOMPARE(ole::formatSeconds(w->session().Doc.Log[3].QsoTime), "2026-04-25 18:15:42");
  QCOMPARE(ole::formatSeconds(in->InputTime), "2026-04-25 18:15:42");
  closeInput();

  // reopening in real time starts the clock again
  in = openInput();
  QVERIFY(in->Check1->isChecked());
  QVERIFY(in->Timer2->isActive());
  // off: the time follows the log again
  QTest::mouseClick(in->Check1, Qt::LeftButton);
  QCOMPARE(w->session().Ini.RealTime, 0);
  QVERIFY(!in->Timer2->isActive());
  QVERIFY(in->UpDown1[0]->isEnabled());
  QCOMPARE(ole::formatSeconds(in->InputTime), "2026-04-25 18:15:47");
}

void TestFrmInput::upDownsAndAltCommands() {
  f.clock.set(ole::fromDateTime(2026, 1, 31, 23, 59, 30));
  frmInput* in = openInput();
  // day up: calendar arithmetic, whole minutes; the time label is left
  QTest::mouseClick(in->UpDown1[2]->upButton(), Qt::LeftButton);
  QCOMPARE(ole::formatSeconds(in->InputTime), "2026-02-01 23:59:00");
  QCOMPARE(in->Label12->text(), QStringLiteral("2026-02-01"));
  QCOMPARE(focused(), in->Text5);
  // month up from 1 February, year down
  QTest::mouseClick(in->UpDown1[1]->upButton(), Qt::LeftButton);
  QCOMPARE(ole::formatSeconds(in->InputTime), "2026-03-01 23:59:00");
  QTest::mouseClick(in->UpDown1[0]->downButton(), Qt::LeftButton);
  QCOMPARE(ole::formatSeconds(in->InputTime), "2025-03-01 23:59:00");
  // minute up across midnight refreshes both labels
  QTest::mouseClick(in->UpDown2[1]->upButton(), Qt::LeftButton);
  QCOMPARE(ole::formatSeconds(in->InputTime), "2025-03-02 00:00:00");
  QCOMPARE(in->Label13->text(), QStringLiteral("00:00"));
  QTest::mouseClick(in->UpDown2[0]->downButton(), Qt::LeftButton);
  QTest::mouseClick(in->UpDown2[0]->downButton(), Qt::LeftButton);
  QCOMPARE(ole::formatSeconds(in->InputTime), "2025-03-01 22:00:00");
  QCOMPARE(in->UpDown2[0]->value(), -2);

  // Alt commands
  key(Qt::Key_U, Qt::AltModifier);
  QCOMPARE(in->Label13->text(), QStringLiteral("22:01"));
  key(Qt::Key_D, Qt::AltModifier);
  key(Qt::Key_D, Qt::AltModifier);
  QCOMPARE(in->Label13->text(), QStringLiteral("21:59"));
  key(Qt::Key_N, Qt::AltModifier);
  QCOMPARE(focused(), in->Text9);
  QCOMPARE(in->Text9->text(), QString());  // the letter is not typed
  key(Qt::Key_B, Qt::AltModifier);
  QCOMPARE(focused(), in->Combo1);
  key(Qt::Key_M, Qt::AltModifier);
  QCOMPARE(focused(), in->Combo2);
  key(Qt::Key_C, Qt::AltModifier);
  QCOMPARE(focused(), in->Text5);
  // Alt+W: clears call sign and received exchange, recomputes the exchange
  type("ja1abc");
  in->Text9->setText("10");
  in->Text7->setText("99X");
  in->Combo1->setEditText("430K");
  key(Qt::Key_W, Qt::AltModifier);
  QCOMPARE(in->Text5->text(), QString());
  QCOMPARE(in->Text9->text(), QString());
  QCOMPARE(in->Text7->text(), QStringLiteral("13"));  // the 10.1G slot has no letter
  key(Qt::Key_Q, Qt::AltModifier);                     // other letters: nothing
  QCOMPARE(focused(), in->Text5);
}

// TimeMnlSet switches the hour and minute up-downs only; unticking real-time
// entry turns all five on.
void TestFrmInput::upDownStates() {
  frmInput* in = openInput();
  auto enabled = [](const auto& ups) {
    QList<bool> l;
    for (auto* u : ups) l << u->isEnabled();
    return l;
  };
  in->TimeMnlSet(1);
  QCOMPARE(enabled(in->UpDown2), (QList<bool>{false, false}));
  QCOMPARE(enabled(in->UpDown1), (QList<bool>{true, true, true}));
  in->TimeMnlSet(0);
  QCOMPARE(enabled(in->UpDown2), (QList<bool>{true, true}));
  // ticked: all five off; TimeMnlSet(0) turns hour and minute on again
  QTest::mouseClick(in->Check1, Qt::LeftButton);
  QCOMPARE(enabled(in->UpDown1) + enabled(in->UpDown2), (QList<bool>(5, false)));
  in->TimeMnlSet(0);
  QCOMPARE(enabled(in->UpDown1), (QList<bool>{false, false, false}));
  QCOMPARE(enabled(in->UpDown2), (QList<bool>{true, true}));
  // manual time, then unticked: all five on
  SetTimeMnl(*w, 1);
  in->TimeMnlSet(1);
  QTest::mouseClick(in->Check1, Qt::LeftButton);
  QVERIFY(!in->Check1->isChecked());
  QCOMPARE(enabled(in->UpDown1) + enabled(in->UpDown2), (QList<bool>(5, true)));
  SetTimeMnl(*w, 0);
  w->session().Ini.RealTime = 0;
}

void TestFrmInput::spaceMovesTheFocus() {
  frmInput* in = openInput();
  in->Text6->setFocus();
  key(Qt::Key_Space);
  QCOMPARE(focused(), in->Text9);
  key(Qt::Key_Space);
  QCOMPARE(focused(), in->Text5);
  in->Text7->setFocus();
  key(Qt::Key_Space);
  QCOMPARE(focused(), in->Text9);
  in->Text8->setFocus();
  key(Qt::Key_Space);
  QCOMPARE(focused(), in->Text9);
  QCOMPARE(in->Text9->text(), QString());
  // band pick: exchange of the band, caret to the end of the call sign,
  // the focus stays
  in->Text5->setText("JA1ABC");
  in->Text5->setCursorPosition(0);
  in->Combo1->setCurrentIndex(1);
  emit in->Combo1->activated(1);
  QCOMPARE(in->Text7->text(), QStringLiteral("13H"));
  QCOMPARE(in->Text5->cursorPosition(), 6);
  QCOMPARE(focused(), in->Text9);
  in->Combo2->setCurrentIndex(1);
  in->Text8->setText("1");
  emit in->Combo2->activated(1);
  QCOMPARE(in->Text8->text(), QStringLiteral("599"));
}

void TestFrmInput::keystrokeFilters() {
  frmInput* in = openInput();
  type("ja1-ab/?c");
  QCOMPARE(in->Text5->text(), QStringLiteral("JA1AB/?C"));
  key(Qt::Key_Backspace);
  QCOMPARE(in->Text5->text(), QStringLiteral("JA1AB/?"));
  key(Qt::Key_Space);  // discarded; its release moves on
  QCOMPARE(in->Text5->text(), QStringLiteral("JA1AB/?"));
  QCOMPARE(focused(), in->Text9);
  in->Text6->setFocus();
  in->Text6->clear();
  type("5x9n-");
  QCOMPARE(in->Text6->text(), QStringLiteral("5X9N"));
  in->Text7->setFocus();
  in->Text7->clear();
  type("13m x");
  QCOMPARE(in->Text7->text(), QStringLiteral("13MX"));
  in->Text8->setFocus();
  in->Text8->clear();
  type("5a9.9n");
  QCOMPARE(in->Text8->text(), QStringLiteral("59.9"));
  // double-byte characters reach the call sign through the input method
  in->Text5->setFocus();
  in->Text5->clear();
  QInputMethodEvent ime;
  ime.setCommitString(QStringLiteral("ｊａあｱé"));
  QCoreApplication::sendEvent(in->Text5, &ime);
  QCOMPARE(in->Text5->text(), QStringLiteral("ｊａあ"));
  // the time box: digits, ".", "/" and double-byte characters
  SetTimeMnl(*w, 1);
  in->TimeMnlSet(1);
  type("1a2:3.4/");
  QCOMPARE(in->Text1->text(), QStringLiteral("123.4/"));
}

// Keys as X11 delivers them (Delete "\x7f", Backspace "\b", Tab "\t",
// Ctrl+X "\x18") edit and leave every filtered box.
void TestFrmInput::editingKeysPassTheFilters() {
  frmInput* in = openInput();
  SetTimeMnl(*w, 1);
  in->TimeMnlSet(1);
  struct Box {
    QWidget* target;
    QLineEdit* edit;
    QString text;
  };
  const Box boxes[] = {{in->Text5, in->Text5, QStringLiteral("JA1ABC")},
                       {in->Text6, in->Text6, QStringLiteral("599")},
                       {in->Text7, in->Text7, QStringLiteral("13M")},
                       {in->Text8, in->Text8, QStringLiteral("599")},
                       {in->Text9, in->Text9, QStringLiteral("10H")},
                       {in->Text1, in->Text1, QStringLiteral("1234")}};
  for (const Box& b : boxes) {
    const QString failed = editingKeysFail(b.target, b.edit, b.text);
    QVERIFY2(failed.isEmpty(), qPrintable(failed));
  }
  // Esc with its text still closes the window
  in->Text5->setFocus();
  x11Key(in->Text5, Qt::Key_Escape);
  QVERIFY(!frmInput::openOf(*w));
}

// Typing chooses an item of the list and nothing else: Alt+B selects the
// whole text, so "7" replaces "1.8"-like texts instead of appending to them.
void TestFrmInput::bandAndModeTakeOnlyTheirLists() {
  frmInput* in = openInput();
  QLineEdit* band = in->Combo1->lineEdit();
  key(Qt::Key_B, Qt::AltModifier);
  QCOMPARE(focused(), in->Combo1);
  QCOMPARE(band->selectedText(), QStringLiteral("7"));
  type("2");
  QCOMPARE(in->Combo1->currentText(), QStringLiteral("21"));
  QCOMPARE(in->Text7->text(), QStringLiteral("13H"));  // the band's power letter
  key(Qt::Key_C, Qt::AltModifier);
  key(Qt::Key_B, Qt::AltModifier);
  type("7");
  QCOMPARE(in->Combo1->currentText(), QStringLiteral("7"));
  QCOMPARE(in->Text7->text(), QStringLiteral("13M"));
  // each character narrows; one that fits nothing is dropped
  const struct {
    const char* typed;
    const char* shown;
  } cases[] = {{"1", "144"}, {"14", "144"}, {"145", "144"}, {"9", "7"}, {"2k", "21"},
               {"430", "7"}, {"1g", "144"}, {"ab", "7"}, {"17", "144"}, {"27", "21"}};
  for (const auto& c : cases) {
    in->Combo1->setCurrentIndex(0);
    key(Qt::Key_C, Qt::AltModifier);
    key(Qt::Key_B, Qt::AltModifier);
    type(QString::fromUtf8(c.typed));
    QVERIFY2(in->Combo1->currentText() == QString::fromUtf8(c.shown), c.typed);
  }
  // after a pause a character that goes on no item starts afresh
  QTest::qWait(QApplication::keyboardInputInterval() + 100);
  type("7");
  QCOMPARE(in->Combo1->currentText(), QStringLiteral("7"));
  // Backspace steps back through the typed part; Delete, cut and a paste
  // that is no item leave the box as it was
  in->Combo1->setCurrentIndex(0);
  key(Qt::Key_C, Qt::AltModifier);
  key(Qt::Key_B, Qt::AltModifier);
  type("14");
  QCOMPARE(in->Combo1->currentText(), QStringLiteral("144"));
  x11Key(in->Combo1, Qt::Key_Backspace);
  QCOMPARE(in->Combo1->currentText(), QStringLiteral("144"));
  QCOMPARE(band->selectedText(), QStringLiteral("44"));
  band->setCursorPosition(0);
  x11Key(in->Combo1, Qt::Key_Delete);
  QCOMPARE(in->Combo1->currentText(), QStringLiteral("144"));
  x11Key(in->Combo1, Qt::Key_A, Qt::ControlModifier);
  x11Key(in->Combo1, Qt::Key_X, Qt::ControlModifier);
  QCOMPARE(in->Combo1->currentText(), QStringLiteral("144"));
  QGuiApplication::clipboard()->setText(QStringLiteral("145"));
  x11Key(in->Combo1, Qt::Key_A, Qt::ControlModifier);
  x11Key(in->Combo1, Qt::Key_V, Qt::ControlModifier);
  QCOMPARE(in->Combo1->currentText(), QStringLiteral("144"));
  QGuiApplication::clipboard()->setText(QStringLiteral("21"));
  x11Key(in->Combo1, Qt::Key_A, Qt::ControlModifier);
  x11Key(in->Combo1, Qt::Key_V, Qt::ControlModifier);
  QCOMPARE(in->Combo1->currentText(), QStringLiteral("21"));
  // the mode box: upper-cased, the reports follow the typed mode
  key(Qt::Key_M, Qt::AltModifier);
  QCOMPARE(in->Combo2->lineEdit()->selectedText(), QStringLiteral("SSB"));
  type("c");
  QCOMPARE(in->Combo2->currentText(), QStringLiteral("CW"));
  QCOMPARE(in->Text6->text(), QStringLiteral("599"));
  type("ww");
  QCOMPARE(in->Combo2->currentText(), QStringLiteral("CW"));
  QCOMPARE(focused(), in->Combo2);
  // what is registered is what the boxes show
  key(Qt::Key_C, Qt::AltModifier);
  type("ja1abc");
  key(Qt::Key_N, Qt::AltModifier);
  type("10h");
  key(Qt::Key_Return);
  QCOMPARE(w->session().Doc.Log.count(), 1);
  QCOMPARE(w->session().Doc.Log[1].Band.trimmed(), std::string_view("21"));
  QCOMPARE(w->session().Doc.Log[1].Mode.trimmed(), std::string_view("CW"));
}

void TestFrmInput::commandWords() {
  f.fillLog(2);
  frmInput* in = openInput();
  // typed in lower case: upper-cased by the filter and recognised
  type("pyrda");
  key(Qt::Key_Return);
  QCOMPARE(w->session().Doc.State.ShowSeconds, 1);
  QCOMPARE(in->Text5->text(), QString());
  QCOMPARE(QString::fromUtf8(w->session().GridData.cell(1, 1)), QStringLiteral("2026-04-25 21:00:00"));
  QCOMPARE(w->session().Doc.Log.count(), 2);
  QCOMPARE(panel1(in), QString());  // no registration after a command word
  type("pyrdux");
  key(Qt::Key_Return);
  QCOMPARE(w->session().Doc.State.ShowSeconds, 0);
  QCOMPARE(QString::fromUtf8(w->session().GridData.cell(1, 1)), QStringLiteral("2026-04-25 21:00"));

  // the import words close the window first, then start the reader
  int openAtCall = -1;
  in->links.CabOn = [&] {
    ++cabCalls;
    openAtCall = w->session().Doc.State.OpenDialogNo;
  };
  type("kvrtuza");
  key(Qt::Key_Return);
  QCOMPARE(cabCalls, 1);
  QCOMPARE(openAtCall, 0);
  QVERIFY(!frmInput::openOf(*w));
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

  in = openInput();
  type("wmqexhib");
  key(Qt::Key_Return);
  QCOMPARE(zlogCalls, 1);
  QCOMPARE(cabCalls, 1);
  QVERIFY(!frmInput::openOf(*w));
  QCOMPARE(w->session().Doc.Log.count(), 2);
}

void TestFrmInput::digitalAndNewYearParties() {
  w->session().Contest.DqpEnabled = 1;
  frmInput* in = openInput();
  QVERIFY(!in->Text7->isEnabled());
  QVERIFY(!in->Text9->isEnabled());
  QVERIFY(!in->Label7->isEnabled());
  QVERIFY(!in->Label9->isEnabled());
  QCOMPARE(in->Text8->focusPolicy(), Qt::StrongFocus);
  key(Qt::Key_Space);
  QCOMPARE(focused(), in->Text8);
  // only the mode is required: an empty call sign is stored
  key(Qt::Key_Return);
  QCOMPARE(w->session().Doc.Log.count(), 1);
  in->Combo2->setEditText(QString());
  in->Text5->setFocus();
  key(Qt::Key_Return);
  QCOMPARE(panel1(in), toQ(entry::text::kNeedMode));
  QCOMPARE(w->session().Doc.Log.count(), 1);
  closeInput();

  w->session().Contest.DqpEnabled = 0;
  w->session().Contest.NYPEnabled = 1;
  in = openInput();
  QVERIFY(in->Text7->isEnabled());
  QCOMPARE(in->Text8->focusPolicy(), Qt::ClickFocus);
  in->Text6->setFocus();
  in->Text6->clear();
  type("Yo");
  QCOMPARE(in->Text6->text(), QStringLiteral("Yo"));
}

void TestFrmInput::closingRescoresWhenQsosWereAdded() {
  // no QSO added: no search, the grid keeps its rows as they were
  f.fillLog(2);
  w->session().GridData.setCell(1, 10, "keep");
  frmInput* in = openInput();
  w->session().Doc.State.SelRow = 2;
  in->close();
  QCOMPARE(QString::fromUtf8(w->session().GridData.cell(1, 10)), QStringLiteral("keep"));
  QCOMPARE(w->session().Doc.State.SelRow, 0);
  QCOMPARE(w->session().Doc.State.OpenDialogNo, 0);
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

  // a QSO added: the whole log is searched and the grid rebuilt
  in = openInput();
  type("ja1abc");
  key(Qt::Key_Space);
  type("10");
  key(Qt::Key_Return);
  QCOMPARE(QString::fromUtf8(w->session().GridData.cell(3, 10)), QString());
  QVERIFY(!w->mnuEdit->menuAction()->isEnabled());
  key(Qt::Key_Escape);
  QCOMPARE(QString::fromUtf8(w->session().GridData.cell(3, 10)), QStringLiteral("0"));
  QCOMPARE(QString::fromUtf8(w->session().GridData.cell(1, 10)), QStringLiteral("0"));
  QVERIFY(w->mnuEdit->menuAction()->isEnabled());
  QVERIFY(w->LogSave->isEnabled());
  QCOMPARE(w->session().Doc.State.OpenDialogNo, 0);
}

void TestFrmInput::fullLogStoresNothing() {
  w->session().Doc.Log.resize(kMaxQso);
  for (int i = 1; i <= kMaxQso; ++i) w->session().Doc.Log[i].QsoNo = static_cast<std::int16_t>(i);
  w->session().Doc.Log[kMaxQso].CallSign = "LAST";
  w->session().Doc.Log[kMaxQso].QsoTime = ole::fromDateTime(2026, 4, 25, 22, 0, 0);
  w->session().FrmLogLoad();
  frmInput* in = openInput();
  type("ja1abc");
  key(Qt::Key_Space);
  type("10");
  key(Qt::Key_Return);
  QCOMPARE(w->session().Doc.Log.count(), kMaxQso);
  QCOMPARE(QString::fromStdString(std::string(w->session().Doc.Log[kMaxQso].CallSign.trimmed())),
           QStringLiteral("LAST"));
  QCOMPARE(panel1(in), toQ(entry::text::kLogFull));
  QVERIFY(in->Timer1->isActive());
  QCOMPARE(in->Text5->text(), QStringLiteral("JA1ABC"));  // kept, as after a refusal
  QCOMPARE(w->session().GridData.rows(), kMaxQso + 1);
  QCOMPARE(in->DataAdded, 0);
}

void TestFrmInput::enterFromElsewhereDoesNotRegister() {
  frmInput* in = openInput();
  in->Text5->setText("JA1ABC");
  in->Text9->setText("10");
  // the release of an Enter that went down in another window (a message box)
  QTest::keyRelease(in->Text5, Qt::Key_Return);
  QCOMPARE(w->session().Doc.Log.count(), 0);
  // a held Enter registers once, on its final release
  QTest::keyPress(in->Text5, Qt::Key_Return);
  QKeyEvent rep(QEvent::KeyRelease, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"), true);
  QCoreApplication::sendEvent(in->Text5, &rep);
  QCOMPARE(w->session().Doc.Log.count(), 0);
  QTest::keyRelease(in->Text5, Qt::Key_Return);
  QCOMPARE(w->session().Doc.Log.count(), 1);
}

void TestFrmInput::callSignRequiredToOpen() {
  w->session().Ini.JarlCallSign.clear();
  OpenInputWindow(*w);
  QVERIFY(!frmInput::openOf(*w));
  QCOMPARE(f.texts(), QStringList{QStringLiteral("コールサインを設定してください")});
  QCOMPARE(f.ui.messages.back().buttons, Buttons::OkCancel);
  w->session().Ini.JarlCallSign = "JA1ZZZ";
  OpenInputWindow(*w);
  frmInput* in = frmInput::openOf(*w);
  QVERIFY(in);
  // a second command shows the same window
  OpenInputWindow(*w);
  QCOMPARE(frmInput::openOf(*w), in);
  QCOMPARE(w->findChildren<frmInput*>().size(), 1);
}

void TestFrmInput::typedQsoIsSavedAndReadBack() {
  frmInput* in = openInput();
  type("jr1xyz");
  key(Qt::Key_Space);
  type("13m");
  key(Qt::Key_Return);
  key(Qt::Key_Escape);
  QVERIFY(!frmInput::openOf(*w));
  const std::string path = f.home() + "/Log/typed.tmk";
  QVERIFY(w->session().Files.DataSave(path));
  w->session().Doc.Log.clear();
  QCOMPARE(w->session().Files.LogRead(path), LogFiles::ReadResult::Read);
  QCOMPARE(w->session().Doc.Log.count(), 1);
  QCOMPARE(QString::fromStdString(std::string(w->session().Doc.Log[1].CallSign.trimmed())),
           QStringLiteral("JR1XYZ"));
  QCOMPARE(QString::fromStdString(std::string(w->session().Doc.Log[1].RcvdNo.trimmed())), QStringLiteral("13M"));
  QCOMPARE(ole::formatSeconds(w->session().Doc.Log[1].QsoTime), "2026-04-25 21:00:30");
  (void)in;
}

QTEST_MAIN(TestFrmInput)
#include "tst_frminput.moc"

// The entry window's live checks, call history and rig link, and the two
// settings windows behind them, over the stand-in workspace with real key
// events; the radio is the rig library's dummy, in process or behind a
// rigctld started here.
#include <QApplication>
#include <QListWidget>
#include <QPointer>
#include <QtTest>

#include <algorithm>
#include <cstdlib>
#include <thread>

#include "contest/callhistory.h"
#include "entry/gui/entryassist.h"
#include "entry/gui/entryfilters.h"
#include "entry/gui/frmhistoryset.h"
#include "entry/gui/frminput.h"
#include "entry/gui/frmrigset.h"
#include "entry/gui/rigwatch.h"
#include "entry/riglink.h"
#include "log/fileio.h"
#include "log/gui/qtui.h"
#include "rigctld_process.h"
#include "testworkspace.h"

namespace {

// 7 and 14 MHz, CW and SSB; the received number is the multiplier, one per band.
void setContest(TestWorkspace& ws) {
  ContestDefinition& c = ws.S.Contest;
  c = ContestDefinition{};
  c.BandEnabled[2] = c.BandEnabled[4] = c.BandEnabled[6] = 1;
  c.ModeEnabled[0] = c.ModeEnabled[3] = 1;
  for (auto& p : c.BandPoints) p = BandPoint{1, 1, 1};
  c.PointType = 1;
  c.TotalPoint = 2;
  c.MltSearch = 2;
  c.ExchtoMlt = 1;
  c.Exch = 1;
  ws.S.Ini.JarlCallSign = "JA1ZZZ";
  ws.S.Ini.JarlPrf = "13";
  ws.S.Ini.RealTime = 0;
}

QsoRecord qso(const char* call, const char* band, const char* mode, const char* rcvd) {
  QsoRecord r;
  r.CallSign = call;
  r.Band = band;
  r.Mode = mode;
  r.RcvdNo = rcvd;
  r.SentRst = "599";
  r.RcvdRst = "599";
  r.QsoTime = ole::fromDateTime(2026, 4, 25, 21, 0, 0);
  return r;
}

frmInput* open(TestWorkspace& ws) {
  frmInput* in = frmInput::showFor(ws);
  in->activateWindow();
  if (!QTest::qWaitForWindowActive(in)) qWarning("input window not active");
  in->Text5->setFocus();
  QCoreApplication::processEvents();
  return in;
}

QWidget* focused() { return QApplication::focusWidget(); }
void type(const QString& s) { QTest::keyClicks(focused(), s); }
void key(Qt::Key k, Qt::KeyboardModifiers m = Qt::NoModifier) { QTest::keyClick(focused(), k, m); }
// Characters beyond ASCII, as the keyboard delivers them (key code unknown).
void typeWide(const QString& s) {
  for (const QChar c : s) {
    QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
    QApplication::sendEvent(focused(), &press);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(c));
    QApplication::sendEvent(focused(), &release);
  }
}

QStringList partial(frmInput* in) {
  QStringList out;
  for (int i = 0; i < in->assist()->ListPartial->count(); ++i) out << in->assist()->ListPartial->item(i)->text();
  return out;
}
QColor colourOf(frmInput* in, const QString& call) {
  const auto items = in->assist()->ListPartial->findItems(call, Qt::MatchExactly);
  return items.isEmpty() ? QColor() : items.first()->foreground().color();
}

bool onWindowThread() {
  const auto t = entry::RigLibraryThreads();
  return std::find(t.begin(), t.end(), std::this_thread::get_id()) != t.end();
}

}  // namespace

class TestEntryAssist : public QObject {
  Q_OBJECT
 private slots:
  void dupeAndNewMultiplierWhileTyping();
  void partialListAndHistory();
  void historyFillsTheEmptyNumber();
  void historySettingsWindow();
  void reportBoxesHoldWhatTheFieldHolds();
  void entryWindowFollowsTheRadio();
  void rigSettingsWindow();
};

void TestEntryAssist::dupeAndNewMultiplierWhileTyping() {
  TestWorkspace ws;
  setContest(ws);
  ws.S.Doc.Log.append(qso("JA1AAA", "7", "CW", "13"));
  ws.S.Doc.Log.append(qso("JA1AAB", "14", "CW", "14"));
  ws.S.LogDataSearch();
  frmInput* in = open(ws);
  QLabel* check = in->assist()->LabelCheck;
  in->Combo1->setCurrentIndex(0);  // 7 MHz
  type("ja1aaa");
  QCOMPARE(check->text(), QStringLiteral("DUPE"));
  QVERIFY(check->styleSheet().contains(QStringLiteral("200, 0, 0")));
  QCOMPARE(focused(), in->Text5);
  // on 14 MHz the call is new; its number 13 is a new multiplier there
  in->Combo1->setCurrentIndex(1);
  QCOMPARE(check->text(), QString());
  key(Qt::Key_N, Qt::AltModifier);
  type("13");
  QCOMPARE(check->text(), QStringLiteral("NEW MULTI"));
  // and not once it is logged: Enter logs it, no question, and the next
  // check sees it at once
  key(Qt::Key_Return);
  QCOMPARE(ws.S.Doc.Log.count(), 3);
  QVERIFY(ws.Prompts.messages.empty());
  QCOMPARE(ws.S.Live.qsoCount(), std::size_t(3));
  QCOMPARE(focused(), in->Text5);
  type("JA1AAA");
  QCOMPARE(check->text(), QStringLiteral("DUPE"));
  key(Qt::Key_N, Qt::AltModifier);
  type("13");
  QCOMPARE(check->text(), QStringLiteral("DUPE"));
  // a dupe is logged like any QSO
  key(Qt::Key_Return);
  QCOMPARE(ws.S.Doc.Log.count(), 4);
  QVERIFY(ws.Prompts.messages.empty());
  QCOMPARE(in->Text5->text(), QString());
  QCOMPARE(check->text(), QString());
  in->close();
  QCOMPARE(ws.S.Doc.Log[4].Dupe, std::int16_t(1));
}

void TestEntryAssist::partialListAndHistory() {
  TestWorkspace ws;
  setContest(ws);
  ws.S.Doc.Log.append(qso("JA1AAA", "7", "CW", "13"));
  ws.S.Doc.Log.append(qso("JR1AAB", "14", "CW", "14"));
  ws.S.LogDataSearch();
  CallHistory h;
  h.offer({"JH1AAC", "25M", ole::fromDateTime(2025, 4, 26, 9, 0, 0), "2025.tmk", true});
  h.offer({"JA1AAA", "13", 0, "calls.txt", false});
  frmInput* in = open(ws);
  in->Combo1->setCurrentIndex(0);  // 7 MHz
  type("1AA");
  QCOMPARE(partial(in), (QStringList{"JA1AAA", "JR1AAB"}));
  QCOMPARE(colourOf(in, "JA1AAA"), QColor(200, 0, 0));  // worked on this band
  QVERIFY(colourOf(in, "JR1AAB") != QColor(200, 0, 0));
  // the history comes later, from the main window's worker
  ws.S.History = std::make_shared<const CallHistory>(h);
  in->historyArrived();
  QCOMPARE(partial(in), (QStringList{"JA1AAA", "JR1AAB", "JH1AAC"}));
  QCOMPARE(colourOf(in, "JH1AAC"), QColor(0, 0, 170));
  QCOMPARE(in->assist()->LabelHistory->text(), QString());
  in->Text5->clear();
  type("JH1AAC");
  QVERIFY(in->assist()->LabelHistory->text().contains(QStringLiteral("25M")));
  QVERIFY(in->assist()->LabelHistory->text().contains(QStringLiteral("2025.tmk")));
  QCOMPARE(in->Text9->text(), QString());  // HistoryFill is off
  // nothing of it takes the focus
  QCOMPARE(focused(), in->Text5);
  QCOMPARE(in->assist()->ListPartial->focusPolicy(), Qt::NoFocus);
  in->close();
}

void TestEntryAssist::historyFillsTheEmptyNumber() {
  TestWorkspace ws;
  setContest(ws);
  ws.S.Ini.HistoryFill = 1;
  CallHistory h;
  h.offer({"JH1AAC", "25M", ole::fromDateTime(2025, 4, 26, 9, 0, 0), "2025.tmk", true});
  h.offer({"JH1AA", "11", 0, "calls.txt", false});
  ws.S.History = std::make_shared<const CallHistory>(h);
  frmInput* in = open(ws);
  type("JH1AA");
  QCOMPARE(in->Text9->text(), QStringLiteral("11"));
  type("C");  // the longer call brings its own number
  QCOMPARE(in->Text9->text(), QStringLiteral("25M"));
  QCOMPARE(in->Text9->selectedText(), QStringLiteral("25M"));
  type("X");  // no history: the number it brought goes
  QCOMPARE(in->Text9->text(), QString());
  key(Qt::Key_Backspace);
  QCOMPARE(in->Text9->text(), QStringLiteral("25M"));
  // Space moves on; typing replaces the selected number
  key(Qt::Key_Space);
  QCOMPARE(focused(), in->Text9);
  type("30");
  QCOMPARE(in->Text9->text(), QStringLiteral("30"));
  // a number the operator typed stays whatever the call becomes
  key(Qt::Key_C, Qt::AltModifier);
  key(Qt::Key_Backspace);
  QCOMPARE(in->Text9->text(), QStringLiteral("30"));
  key(Qt::Key_Return);
  QCOMPARE(ws.S.Doc.Log.count(), 1);
  QCOMPARE(ws.S.Doc.Log[1].RcvdNo.trimmed(), std::string_view("30"));
  QCOMPARE(ws.S.Doc.Log[1].CallSign.trimmed(), std::string_view("JH1AA"));
  in->close();
}

void TestEntryAssist::historySettingsWindow() {
  TestWorkspace ws;
  ws.S.Ini.HistoryLogs = "old/2024.tmk";
  QPointer<frmHistorySet> d = frmHistorySet::showFor(ws);
  QVERIFY(d);
  QCOMPARE(d->windowTitle(), QStringLiteral("入力補助の設定"));
  QCOMPARE(ws.S.Doc.State.OpenDialogNo, std::int16_t(DlgHistorySet));
  QCOMPARE(d->txtHistoryLogs->toPlainText(), QStringLiteral("old/2024.tmk"));
  ws.Prompts.files.push_back(std::string("/tmp/2025.tmk"));
  d->cmdAddLog->click();
  ws.Prompts.files.push_back(std::string("/tmp/calls.txt"));
  d->cmdRef->click();
  d->chkHistoryFill->setChecked(true);
  d->OKButton->click();
  QTRY_VERIFY(!d);
  QCOMPARE(ws.S.Ini.HistoryLogs, std::string("old/2024.tmk\r\n/tmp/2025.tmk"));
  QCOMPARE(ws.S.Ini.HistoryFile, std::string("/tmp/calls.txt"));
  QCOMPARE(ws.S.Ini.HistoryFill, std::int16_t(1));
  QCOMPARE(ws.historyBuilds, 1);
  std::string ini;
  QVERIFY(fileio::readAll(ws.S.iniPath(), ini));
  QVERIFY(ini.find("HistoryFill=1") != std::string::npos);
  QCOMPARE(ws.S.Doc.State.OpenDialogNo, std::int16_t(0));
  // Cancel keeps nothing
  d = frmHistorySet::showFor(ws);
  d->chkHistoryFill->setChecked(false);
  d->CancelButton->click();
  QTRY_VERIFY(!d);
  QCOMPARE(ws.S.Ini.HistoryFill, std::int16_t(1));
  // a settings file that cannot be written is told, and the window stays
  QVERIFY(QFile::remove(QString::fromStdString(ws.S.iniPath())));
  QVERIFY(QDir().mkdir(QString::fromStdString(ws.S.iniPath())));
  d = frmHistorySet::showFor(ws);
  ws.Prompts.messages.clear();
  d->OKButton->click();
  QCOMPARE(ws.Prompts.messages.size(), std::size_t(1));
  QVERIFY(ws.Prompts.messages[0].text.rfind("設定ファイルを書き込めませんでした。", 0) == 0);
  QVERIFY(d && d->isVisible());
  d->close();
}

// A New-Year party name typed into the sent RS(T) box stops at 4 bytes of
// CP932, so what is saved is what was typed.
void TestEntryAssist::reportBoxesHoldWhatTheFieldHolds() {
  TestWorkspace ws;
  setContest(ws);
  ws.S.Contest.NYPEnabled = 1;
  frmInput* in = open(ws);
  in->Text6->setFocus();
  in->Text6->clear();
  typeWide(QStringLiteral("たろう"));
  QCOMPARE(in->Text6->text(), QStringLiteral("たろ"));
  in->Text6->clear();
  type(QStringLiteral("Taro"));
  QCOMPARE(in->Text6->text(), QStringLiteral("Taro"));
  in->Text6->clear();
  typeWide(QStringLiteral("aたろ"));
  QCOMPARE(in->Text6->text(), QStringLiteral("aた"));
  in->Text8->setFocus();
  in->Text8->clear();
  type(QStringLiteral("59999"));
  QCOMPARE(in->Text8->text(), QStringLiteral("5999"));
  key(Qt::Key_C, Qt::AltModifier);
  type("JA1AAA");
  key(Qt::Key_N, Qt::AltModifier);
  type("1");
  in->Text6->setText(QStringLiteral("たろ"));
  key(Qt::Key_Return);
  QCOMPARE(ws.S.Doc.Log.count(), 1);
  QCOMPARE(ws.S.Doc.Log[1].SentRst.trimmed(), std::string_view("たろ"));
  in->close();
}

void TestEntryAssist::entryWindowFollowsTheRadio() {
  if (std::system("command -v rigctld >/dev/null 2>&1 && command -v rigctl >/dev/null 2>&1") != 0)
    QSKIP("rigctld is not installed");
  Rigctld radio(freePort());
  QVERIFY(radio.start());
  QCOMPARE(radio.set("7012000", "CW"), 0);
  TestWorkspace ws;
  setContest(ws);
  ws.S.Ini.RigOn = 1;
  ws.S.Ini.RigModel = entry::RigConfig::kRigctldModel;
  ws.S.Ini.RigctldAddress = radio.address();
  frmInput* in = open(ws);
  QVERIFY(in->rig());
  QTRY_COMPARE_WITH_TIMEOUT(in->Combo1->currentText(), QStringLiteral("7"), 10000);
  QTRY_COMPARE_WITH_TIMEOUT(in->Combo2->currentText(), QStringLiteral("CW"), 10000);
  QCOMPARE(in->LabelFreq->text(), QStringLiteral("7.0120 MHz"));
  // another program turns the radio
  QCOMPARE(radio.set("21200000", "USB"), 0);
  QTRY_COMPARE_WITH_TIMEOUT(in->Combo1->currentText(), QStringLiteral("21"), 10000);
  QTRY_COMPARE_WITH_TIMEOUT(in->Combo2->currentText(), QStringLiteral("SSB"), 10000);
  QCOMPARE(in->Text6->text(), QStringLiteral("59"));
  // the band typed in the box turns the radio
  key(Qt::Key_B, Qt::AltModifier);
  type("14");
  QCOMPARE(in->Combo1->currentText(), QStringLiteral("14"));
  QTRY_VERIFY_WITH_TIMEOUT(radio.frequency().rfind("14", 0) == 0, 10000);
  QTRY_COMPARE_WITH_TIMEOUT(in->LabelFreq->text().left(3), QStringLiteral("14."), 10000);
  QCOMPARE(in->Combo1->currentText(), QStringLiteral("14"));
  // a QSO takes the band and mode shown when Enter went down, even when the
  // radio moves before the key comes up
  key(Qt::Key_C, Qt::AltModifier);
  type("JA1AAA");
  key(Qt::Key_N, Qt::AltModifier);
  type("13");
  QTest::keyPress(focused(), Qt::Key_Return);
  in->rigChanged([] {
    entry::RigStatus s;
    s.state = entry::RigState::Answering;
    s.frequency = 7012000;
    s.band = "7";
    s.mode = "CW";
    return s;
  }());
  QCOMPARE(in->Combo1->currentText(), QStringLiteral("7"));
  QTest::keyRelease(focused(), Qt::Key_Return);
  QCOMPARE(ws.S.Doc.Log.count(), 1);
  QCOMPARE(ws.S.Doc.Log[1].Band.trimmed(), std::string_view("14"));
  QCOMPARE(ws.S.Doc.Log[1].Mode.trimmed(), std::string_view("SSB"));
  // the radio stops answering: the status line says so, no message, the
  // window goes on working
  radio.stop();
  QTRY_VERIFY_WITH_TIMEOUT(in->LabelRig->text().contains(QStringLiteral("応答しません")), 15000);
  QVERIFY(ws.Prompts.messages.empty());
  type("JA1AAB");
  QCOMPARE(in->Text5->text(), QStringLiteral("JA1AAB"));
  QVERIFY(!onWindowThread());
  QElapsedTimer t;
  t.start();
  in->close();
  QVERIFY(t.elapsed() < 1000);  // closing never waits for the radio
  RigWatch::waitForClosed();
  QVERIFY(!onWindowThread());
}

void TestEntryAssist::rigSettingsWindow() {
  TestWorkspace ws;
  QPointer<frmRigSet> d = frmRigSet::showFor(ws);
  QVERIFY(d);
  QCOMPARE(d->windowTitle(), QStringLiteral("リグ設定"));
  QVERIFY(d->lstModels->count() > 50);
  // searchable by maker and name
  d->txtFind->setText(QStringLiteral("hamlib dummy"));
  int shown = 0;
  for (int i = 0; i < d->lstModels->count(); ++i) shown += d->lstModels->item(i)->isHidden() ? 0 : 1;
  QVERIFY(shown >= 1 && shown <= 3);
  QCOMPARE(d->selectedModel(), 1);
  // the dummy radio answers the test, while the window keeps working
  d->cmdTest->click();
  QVERIFY(!d->cmdTest->isEnabled());
  QTRY_VERIFY_WITH_TIMEOUT(d->lblTest->text().contains(QStringLiteral("MHz")), 10000);
  QVERIFY(d->cmdTest->isEnabled());
  QVERIFY(!onWindowThread());
  // rigctld settings
  d->optRigctld->setChecked(true);
  d->txtHost->setText(QStringLiteral("127.0.0.1"));
  d->txtPort->setText(QStringLiteral("4599"));
  d->chkRigOn->setChecked(true);
  d->OKButton->click();
  QTRY_VERIFY(!d);
  QCOMPARE(ws.S.Ini.RigOn, std::int16_t(1));
  QCOMPARE(ws.S.Ini.RigModel, entry::RigConfig::kRigctldModel);
  QCOMPARE(ws.S.Ini.RigctldAddress, std::string("127.0.0.1:4599"));
  std::string ini;
  QVERIFY(fileio::readAll(ws.S.iniPath(), ini));
  QVERIFY(ini.find("RigctldAddress=127.0.0.1:4599") != std::string::npos);
  // reopened, it shows what was kept; the direct radio keeps its model
  d = frmRigSet::showFor(ws);
  QVERIFY(d->optRigctld->isChecked());
  QCOMPARE(d->txtPort->text(), QStringLiteral("4599"));
  d->optDirect->setChecked(true);
  d->selectModel(1);
  d->cboPort->setEditText(QStringLiteral("/dev/ttyUSB0"));
  d->cboSpeed->setEditText(QStringLiteral("9600"));
  QCOMPARE(d->config().model, 1);
  QCOMPARE(d->config().speed, 9600);
  d->OKButton->click();
  QCOMPARE(ws.S.Ini.RigModel, 1);
  QCOMPARE(ws.S.Ini.RigPort, std::string("/dev/ttyUSB0"));
  QCOMPARE(ws.S.Ini.RigSpeed, 9600);
  RigWatch::waitForClosed();
}

QTEST_MAIN(TestEntryAssist)
#include "tst_ws_entryassist.moc"

// The importer windows and commands: the zLog and Cabrillo dialogs driven by
// real clicks and keys, the CSV export and import, and the log's limit.
#include <QMenuBar>
#include <QtTest>
#include <cstring>

#include "log/settingsfile.h"
#include "log/gui/frmbar.h"
#include "contest/cty.h"
#include "log/gui/qtui.h"
#include "guitestsupport.h"
#include "log/cabrillo.h"
#include "log/cp932.h"
#include "log/csv.h"
#include "log/fileio.h"
#include "entry/gui/frmcabreadset.h"
#include "entry/gui/frmzlogreadset.h"
#include "entry/gui/importcommands.h"
#include "log/logfile.h"
#include "log/zlog.h"

namespace {

// One contest of the usual shape: numbered exchanges (prefecture + power),
// several bands and both modes, in time order.
struct SampleQso {
  int minute;
  const char* call;
  const char* rcvd;
  unsigned band;  // zLog band code
  unsigned mode;  // zLog mode code
};
const SampleQso kSample[] = {
    {0, "JA1ABC", "10M", 2, 0},  {3, "JH2XYZ", "20H", 2, 0},  {7, "JR3QHS", "25P", 2, 0},
    {12, "JA1ABC", "10M", 2, 0}, {20, "JE4KQJ", "31L", 1, 0}, {31, "JA6BZI", "40M", 4, 1},
    {45, "JA7ZF", "07H", 6, 1},  {62, "JO1CRA", "1003M", 8, 1}, {80, "JA0AXV", "11L", 9, 1},
    {95, "7K1CPT", "13P", 10, 2}};
constexpr int kSampleCount = static_cast<int>(std::size(kSample));
constexpr const char* kFreq[] = {" 1810", " 3520", " 7012", "10110", "14020", "18070",
                                 "21020", "24900", "28020", "50100", "  144"};
constexpr const char* kCabMode[] = {"CW", "PH", "FM"};

ole::Date sampleTime(int minute) { return ole::fromDateTime(2026, 4, 25, 21, 0, 0) + minute / 1440.0; }

std::string zlogFile() {
  std::string f(zlog::kRecordSize, '\0');
  for (const SampleQso& q : kSample) {
    std::string r(zlog::kRecordSize, '\0');
    const double t = sampleTime(q.minute);
    std::memcpy(r.data(), &t, 8);
    auto put = [&](std::size_t at, std::string_view s) {
      r[at] = static_cast<char>(s.size());
      std::memcpy(r.data() + at + 1, s.data(), s.size());
    };
    put(zlog::kOffCallSign, q.call);
    put(zlog::kOffSentNo, "13M");
    put(zlog::kOffRcvdNo, q.rcvd);
    const std::int16_t rst = q.mode == 0 ? 599 : 59;
    std::memcpy(r.data() + zlog::kOffSentRst, &rst, 2);
    std::memcpy(r.data() + zlog::kOffRcvdRst, &rst, 2);
    r[zlog::kOffMode] = static_cast<char>(q.mode);
    r[zlog::kOffBand] = static_cast<char>(q.band);
    f += r;
  }
  return f;
}

// The same QSOs as Cabrillo lines in the common column layout.
std::string cabrilloFile() {
  std::string f =
      "START-OF-LOG: 3.0\r\nCONTEST: JA-DOMESTIC\r\nCALLSIGN: JA1ZLO\r\n"
      "CATEGORY-OPERATOR: SINGLE-OP\r\n";
  for (const SampleQso& q : kSample) {
    const ole::Parts p = ole::toParts(sampleTime(q.minute));
    const char* rst = q.mode == 0 ? "599" : "59 ";
    char line[128];
    std::snprintf(line, sizeof line, "QSO: %5s %-2s %04d-%02d-%02d %02d%02d %-13s %s %-6s %-13s %s %-6s\r\n",
                  kFreq[q.band], kCabMode[q.mode], p.year, p.month, p.day, p.hour, p.minute,
                  "JA1ZLO", rst, "13M", q.call, rst, q.rcvd);
    f += line;
  }
  f += "END-OF-LOG:\r\n";
  return f;
}

void standardColumns(Settings& s) {
  s.CabSrstPos = 45;
  s.CabSRptPos = 49;
  s.CabHCallPos = 56;
  s.CabRrstPos = 70;
  s.CabRRptPos = 74;
  s.CabRptLen = 6;
  s.CabCallLen = 13;
}

std::string writeFile(const MainFixture& f, const std::string& name, const std::string& bytes) {
  const std::string path = f.home() + "/" + name;
  fileio::writeAtomic(path, bytes);
  return path;
}

bool topmost(QWidget* w) { return w->windowFlags().testFlag(Qt::WindowStaysOnTopHint); }

QPoint placed(frmMain& w) { return w.pos() + QPoint(twipsToPx(300), twipsToPx(300)); }

bool menusOff(frmMain& w) {
  return !w.m_1->menuAction()->isEnabled() && !w.m4->menuAction()->isEnabled() &&
         w.m3->menuAction()->isEnabled();
}

}  // namespace

class TestImport : public QObject {
  Q_OBJECT
 private slots:
  void zlogDialogReadsWithAClick();
  void zlogDialogClosesWithEscAndCancel();
  void zlogMissingAndVanishedFiles();
  void zlogHeaderOnly();
  void cabrilloDialogLayoutAndReadOuts();
  void cabrilloUpDownsMoveTheFields();
  void cabrilloReadsAndRemembersColumns();
  void cabrilloTypedColumnsAndStandardButton();
  void cabrilloErrorKeepsWhatWasRead();
  void cabrilloMissingFile();
  void importsStopAtTheLimit();
  void csvExportAndImportRoundTrip();
  void csvImportOfAVanishedFileKeepsTheLog();
  void dialogsAndCliGiveTheSameLog();
};

void TestImport::zlogDialogReadsWithAClick() {
  MainFixture f;
  frmMain& w = f.open(false);
  f.fillLog(2);
  w.session().Doc.State.LogDirty = 0;
  const std::string path = writeFile(f, "contest.zlo", zlogFile());
  f.ui.files.push_back(path);
  w.mnuZlRead->trigger();  // the File menu's item
  auto* dlg = qobject_cast<frmZlogReadSet*>(w.dialogs().find(DlgZlogReadSet));
  QVERIFY(dlg);
  // the open dialog: no remembered folder yet
  QCOMPARE(f.ui.dialogs.back().filter, std::string("ZLOGログファイル (*.zlo)|*.zlo|"));
  QCOMPARE(f.ui.dialogs.back().filterIndex, 1);
  QCOMPARE(f.ui.dialogs.back().initialDir, std::string());
  QCOMPARE(w.session().Ini.ZlogFolder, f.home());

  QCOMPARE(dlg->objectName(), QStringLiteral("frmZlogReadSet"));
  QCOMPARE(dlg->windowTitle(), QStringLiteral("ZLOGログファイル読込"));
  QCOMPARE(dlg->Label1->text(), toQ(path));
  QCOMPARE(dlg->Label2->text(), QStringLiteral("１０ 件のログデータがあります"));
  QCOMPARE(dlg->OKButton->text(), QStringLiteral("読　込"));
  QCOMPARE(dlg->CancelButton->text(), QStringLiteral("ｷｬﾝｾﾙ"));
  QCOMPARE(dlg->findChild<QPushButton*>("OKButton"), dlg->OKButton);
  QVERIFY(topmost(dlg));
  QCOMPARE(dlg->pos(), placed(w));
  QCOMPARE(w.session().Doc.State.OpenDialogNo, DlgZlogReadSet);
  QCOMPARE(w.dialogs().find(DlgZlogReadSet), dlg);
  QVERIFY(menusOff(w));

  QPointer<frmZlogReadSet> guard(dlg);
  QTest::mouseClick(dlg->OKButton, Qt::LeftButton);
  QTRY_VERIFY(!guard);
  QCOMPARE(w.session().Doc.State.OpenDialogNo, 0);
  QVERIFY(w.m_1->menuAction()->isEnabled());
  QCOMPARE(w.session().Doc.Log.count(), 12);
  QCOMPARE(w.session().Doc.State.LogDirty, 1);
  const QsoRecord& r = w.session().Doc.Log[3];
  QCOMPARE(r.QsoNo, 3);
  QCOMPARE(std::string(r.CallSign.trimmed()), std::string("JA1ABC"));
  QCOMPARE(std::string(r.RcvdNo.trimmed()), std::string("10M"));
  QCOMPARE(std::string(r.SentRst.trimmed()), std::string("599"));
  QCOMPARE(ole::formatSeconds(r.QsoTime), std::string("2026-04-25 21:00:00"));
  QCOMPARE(std::string(w.session().Doc.Log[12].Band.trimmed()), std::string("144"));
  QCOMPARE(std::string(w.session().Doc.Log[12].Mode.trimmed()), std::string("FM"));
  // the grid shows the log after the search
  QCOMPARE(w.session().GridData.rows(), 13);
  QCOMPARE(std::string(w.session().GridData.cell(12, 2)), std::string("7K1CPT"));

  // the next dialog opens in the remembered folder
  ZlogOn(w);
  QCOMPARE(f.ui.dialogs.back().initialDir, f.home());
}

void TestImport::zlogDialogClosesWithEscAndCancel() {
  MainFixture f;
  frmMain& w = f.open(false);
  const std::string path = writeFile(f, "contest.zlo", zlogFile());
  for (int how = 0; how < 3; ++how) {
    f.ui.files.push_back(path);
    QPointer<frmZlogReadSet> dlg = ZlogOn(w);
    QVERIFY(dlg);
    dlg->activateWindow();
    if (how == 0) QTest::keyClick(dlg.data(), Qt::Key_Escape);
    if (how == 1) QTest::mouseClick(dlg->CancelButton, Qt::LeftButton);
    if (how == 2) {
      // The main window's Esc closes the open tool window.
      QTest::keyClick(&w, Qt::Key_Escape);
    }
    QTRY_VERIFY(!dlg);
    QCOMPARE(w.session().Doc.State.OpenDialogNo, 0);
    QVERIFY(w.m_1->menuAction()->isEnabled());
    QCOMPARE(w.session().Doc.Log.count(), 0);
  }
  // Space on the focused read button reads; so does Enter, the read button
  // having the focus when the dialog opens.
  f.ui.files.push_back(path);
  QPointer<frmZlogReadSet> dlg = ZlogOn(w);
  QVERIFY(dlg->OKButton->hasFocus() || QApplication::focusWidget() == nullptr);
  QTest::keyClick(dlg->OKButton, Qt::Key_Space);
  QTRY_VERIFY(!dlg);
  QCOMPARE(w.session().Doc.Log.count(), kSampleCount);
  f.ui.files.push_back(path);
  dlg = ZlogOn(w);
  QTest::keyClick(dlg->OKButton, Qt::Key_Return);
  QTRY_VERIFY(!dlg);
  QCOMPARE(w.session().Doc.Log.count(), 2 * kSampleCount);
  // cancelling the file dialog does nothing
  QVERIFY(!ZlogOn(w));
  QCOMPARE(w.session().Doc.State.OpenDialogNo, 0);
}

void TestImport::zlogMissingAndVanishedFiles() {
  MainFixture f;
  frmMain& w = f.open(false);
  f.fillLog(3);
  w.session().Doc.State.LogDirty = 0;
  f.ui.files.push_back(f.home() + "/none.zlo");
  QVERIFY(!ZlogOn(w));
  QCOMPARE(f.texts().back(), QStringLiteral("ファイルがありません！"));
  QCOMPARE(w.session().Doc.State.OpenDialogNo, 0);
  QVERIFY(w.m_1->menuAction()->isEnabled());

  // The file goes away between the dialog and "読　込".
  const std::string path = writeFile(f, "gone.zlo", zlogFile());
  f.ui.files.push_back(path);
  QPointer<frmZlogReadSet> dlg = ZlogOn(w);
  QVERIFY(dlg);
  std::remove(path.c_str());
  QTest::mouseClick(dlg->OKButton, Qt::LeftButton);
  QTRY_VERIFY(!dlg);
  QCOMPARE(f.texts().back(), QStringLiteral("ファイルがありません！"));
  QCOMPARE(w.session().Doc.Log.count(), 3);
  QCOMPARE(w.session().Doc.State.LogDirty, 0);
  QCOMPARE(w.session().Doc.State.OpenDialogNo, 0);
}

void TestImport::zlogHeaderOnly() {
  MainFixture f;
  frmMain& w = f.open(false);
  f.fillLog(1);
  const std::string path = writeFile(f, "empty.zlo", std::string(256, '\0'));
  f.ui.files.push_back(path);
  QPointer<frmZlogReadSet> dlg = ZlogOn(w);
  QCOMPARE(dlg->Label2->text(), QStringLiteral("ログデータがありません"));
  w.session().GridData.setCell(1, 2, "STALE");
  QTest::mouseClick(dlg->OKButton, Qt::LeftButton);
  QTRY_VERIFY(!dlg);
  QCOMPARE(w.session().Doc.Log.count(), 1);
  // the search still ran and rebuilt the grid
  QCOMPARE(std::string(w.session().GridData.cell(1, 2)), std::string("JA1AA0"));
}

void TestImport::cabrilloDialogLayoutAndReadOuts() {
  MainFixture f;
  frmMain& w = f.open(false);
  standardColumns(w.session().Ini);
  const std::string path = writeFile(f, "contest.cbr", cabrilloFile());
  f.ui.files.push_back(path);
  frmCabReadSet* dlg = CabOn(w);
  QVERIFY(dlg);
  QCOMPARE(f.ui.dialogs.back().filter,
           std::string("すべてのファイル (*.*)|*.*|Cabrillo ファイル (*.cbr)|*.cbr|"));
  QCOMPARE(f.ui.dialogs.back().filterIndex, 2);
  QCOMPARE(w.session().Ini.CbrFolder, f.home());
  QCOMPARE(dlg->windowTitle(), QStringLiteral("Cabrilloファイル読込と設定"));
  QVERIFY(topmost(dlg));
  QCOMPARE(dlg->pos(), placed(w));
  QCOMPARE(w.session().Doc.State.OpenDialogNo, DlgCabReadSet);
  QVERIFY(menusOff(w));

  const std::string sample = dlg->sample();
  QVERIFY(sample.rfind("QSO:  7012 CW 2026-04-25 2100 JA1ZLO", 0) == 0);
  QCOMPARE(dlg->Grid1->columnCount(), static_cast<int>(sample.size()));
  QCOMPARE(dlg->Grid1->columnWidth(0), twipsToPx(210));
  QCOMPARE(dlg->Grid1->item(0, 6)->text(), QStringLiteral("7"));

  const char* captions[] = {"周波数", "モード", "年月日　時間", "自分のコールサイン",
                            "RST　(送信) レポート", "相手のコールサイン", "RST　(受信) レポート"};
  for (int i = 0; i < 7; ++i)
    QCOMPARE(dlg->findChild<QLabel*>(QStringLiteral("Label1_%1").arg(i))->text(),
             QString::fromUtf8(captions[i]));
  const char* readouts[] = {"7012", "CW", "2026-04-25 2100", "JA1ZLO", "599",
                            "13M",  "JA1ABC", "599", "10M"};
  const char* numbers[] = {"5", "2", "15", "13", "3", "6", "13", "3", "6"};
  for (int k = 0; k < 9; ++k) {
    QLabel* ro = dlg->findChild<QLabel*>(QStringLiteral("Label2_%1").arg(k));
    QVERIFY(ro);
    QCOMPARE(ro->text().trimmed(), QString::fromUtf8(readouts[k]));
    QCOMPARE(ro->palette().color(QPalette::Window), frmCabReadSet::fieldColour(k));
    QCOMPARE(dlg->findChild<NumberBox*>(QStringLiteral("Label3_%1").arg(k))->text(),
             QString::fromUtf8(numbers[k]));
  }
  QCOMPARE(dlg->Label4->text(),
           QStringLiteral("左右ボタンでデータを左寄せにセット、アップダウンボタンで最大読込文字数をセットする事"));
  QCOMPARE(dlg->OKButton->text(), QStringLiteral("読　込"));
  QCOMPARE(dlg->CancelButton->text(), QStringLiteral("ｷｬﾝｾﾙ"));
  // each field's columns carry its colour; the gap between fields does not
  QCOMPARE(dlg->Grid1->item(0, 5)->background().color(), frmCabReadSet::fieldColour(0));
  QCOMPARE(dlg->Grid1->item(0, 44)->background().color(), frmCabReadSet::fieldColour(4));
  QCOMPARE(dlg->Grid1->item(0, 55)->background().color(), frmCabReadSet::fieldColour(6));
  QCOMPARE(dlg->Grid1->item(0, 4)->background().color(), dlg->defaultCellColour());
  // position up-downs: five, with the sample's range
  for (int i = 0; i < 5; ++i) {
    auto* u = dlg->findChild<UpDownControl*>(QStringLiteral("UpDown2_%1").arg(i));
    QVERIFY(u);
    QCOMPARE(u->maximum(), static_cast<int>(sample.size()) - 1);
  }
  QCOMPARE(dlg->UpDown2[2]->value(), 56);
  for (int i = 0; i < 4; ++i) QVERIFY(dlg->findChild<UpDownControl*>(QStringLiteral("UpDown1_%1").arg(i)));

  QPointer<frmCabReadSet> guard(dlg);
  QTest::keyClick(dlg, Qt::Key_Escape);
  QTRY_VERIFY(!guard);
  QCOMPARE(w.session().Doc.State.OpenDialogNo, 0);
  QVERIFY(w.m_1->menuAction()->isEnabled());
  QCOMPARE(w.session().Doc.Log.count(), 0);
}

void TestImport::cabrilloUpDownsMoveTheFields() {
  MainFixture f;
  frmMain& w = f.open(false);
  standardColumns(w.session().Ini);
  f.ui.files.push_back(writeFile(f, "contest.cbr", cabrilloFile()));
  frmCabReadSet* dlg = CabOn(w);
  QVERIFY(dlg);
  // Received exchange one to the left: its block moves with it.
  QTest::mouseClick(dlg->UpDown2[4]->downButton, Qt::LeftButton);
  QCOMPARE(w.session().Ini.CabRRptPos, 73);
  QCOMPARE(dlg->UpDown2[4]->valueBox->text(), QStringLiteral("73"));
  QCOMPARE(dlg->Grid1->item(0, 72)->background().color(), frmCabReadSet::fieldColour(8));
  QCOMPARE(dlg->Grid1->item(0, 78)->background().color(), dlg->defaultCellColour());
  QCOMPARE(dlg->Label2[8]->text(), QStringLiteral(" 10M"));
  // Over the received RST (marked first): that RST keeps its colour.
  for (int i = 0; i < 4; ++i) QTest::mouseClick(dlg->UpDown2[4]->downButton, Qt::LeftButton);
  QCOMPARE(w.session().Ini.CabRRptPos, 69);
  QCOMPARE(dlg->Grid1->item(0, 69)->background().color(), frmCabReadSet::fieldColour(7));
  QCOMPARE(dlg->Grid1->item(0, 68)->background().color(), frmCabReadSet::fieldColour(8));
  // Lengths stay within 3..21 and 2..11.
  for (int i = 0; i < 15; ++i) QTest::mouseClick(dlg->UpDown1[0]->downButton, Qt::LeftButton);
  QCOMPARE(w.session().Ini.CabCallLen, 3);
  QCOMPARE(dlg->Label3[3]->text(), QStringLiteral("3"));
  QCOMPARE(dlg->Label3[6]->text(), QStringLiteral("3"));
  QCOMPARE(dlg->Label2[6]->text(), QStringLiteral("JA1"));
  for (int i = 0; i < 15; ++i) QTest::mouseClick(dlg->UpDown1[3]->upButton, Qt::LeftButton);
  QCOMPARE(w.session().Ini.CabRptLen, 11);
  QCOMPARE(dlg->Label3[5]->text(), QStringLiteral("11"));
  QCOMPARE(dlg->Label3[8]->text(), QStringLiteral("11"));
  QCOMPARE(dlg->Label2[5]->text(), QStringLiteral("13M    JA1A"));
  // The right end of the range holds.
  for (int i = 0; i < 200; ++i) QTest::mouseClick(dlg->UpDown2[0]->upButton, Qt::LeftButton);
  QCOMPARE(static_cast<int>(w.session().Ini.CabSrstPos), dlg->UpDown2[0]->maximum());
  dlg->close();
}

void TestImport::cabrilloReadsAndRemembersColumns() {
  MainFixture f;
  frmMain& w = f.open(false);
  f.fillLog(1);
  w.session().Doc.State.LogDirty = 0;
  // Nothing set yet (the File menu's item): the standard QSO line, kept.
  f.ui.files.push_back(writeFile(f, "contest.cbr", cabrilloFile()));
  w.mnuCabRead->trigger();
  QPointer<frmCabReadSet> dlg = qobject_cast<frmCabReadSet*>(w.dialogs().find(DlgCabReadSet));
  QVERIFY(dlg);
  Settings expect;
  standardColumns(expect);
  auto columns = [](const Settings& s) {
    return std::vector<int>{s.CabSrstPos, s.CabSRptPos, s.CabHCallPos, s.CabRrstPos,
                            s.CabRRptPos, s.CabCallLen, s.CabRptLen};
  };
  QCOMPARE(columns(w.session().Ini), columns(expect));
  QCOMPARE(dlg->Label2[6]->text(), QStringLiteral("JA1ABC"));
  QTest::mouseClick(dlg->OKButton, Qt::LeftButton);
  QTRY_VERIFY(!dlg);
  QCOMPARE(w.session().Doc.Log.count(), 1 + kSampleCount);
  QCOMPARE(w.session().Doc.State.LogDirty, 1);
  QCOMPARE(w.session().Doc.State.OpenDialogNo, 0);
  const QsoRecord& r = w.session().Doc.Log[9];
  QCOMPARE(std::string(r.CallSign.trimmed()), std::string("JO1CRA"));
  QCOMPARE(std::string(r.RcvdNo.trimmed()), std::string("1003M"));
  QCOMPARE(std::string(r.Band.trimmed()), std::string("28"));
  QCOMPARE(std::string(r.Mode.trimmed()), std::string("SSB"));
  QCOMPARE(std::string(r.RcvdRst.trimmed()), std::string("59"));
  QCOMPARE(ole::formatSeconds(r.QsoTime), std::string("2026-04-25 22:02:00"));
  // remembered in the settings written at the end
  const std::string ini = IniFormat(w.session().Ini);
  QVERIFY(ini.find("CabSrstPos=45\r\nCabSRptPos=49\r\nCabHCallPos=56\r\nCabRrstPos=70\r\n"
                   "CabRRptPos=74\r\nCabCallLen=13\r\nCabRptLen=6\r\n") != std::string::npos);
}

// Columns typed into the boxes (Enter takes the number, never the read
// button), and "標準" putting back the standard QSO line.
void TestImport::cabrilloTypedColumnsAndStandardButton() {
  MainFixture f;
  frmMain& w = f.open(false);
  Settings& s = w.session().Ini;
  s.CabSrstPos = 35, s.CabSRptPos = 36, s.CabHCallPos = 37, s.CabRrstPos = 38, s.CabRRptPos = 39;
  s.CabCallLen = 3, s.CabRptLen = 3;
  f.ui.files.push_back(writeFile(f, "contest.cbr", cabrilloFile()));
  QPointer<frmCabReadSet> dlg = CabOn(w);
  QVERIFY(dlg);
  dlg->activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(dlg));
  auto type = [](QLineEdit* box, const char* text) {
    box->setFocus();
    box->selectAll();
    QTest::keyClicks(box, text);
    QTest::keyClick(box, Qt::Key_Return);
  };
  type(dlg->UpDown2[2]->valueBox, "56");
  QCOMPARE(s.CabHCallPos, 56);
  QCOMPARE(dlg->UpDown2[2]->value(), 56);
  type(dlg->Label3[6], "13");
  QCOMPARE(s.CabCallLen, 13);
  QCOMPARE(dlg->Label3[3]->text(), QStringLiteral("13"));  // the own call's length too
  QCOMPARE(dlg->Label2[6]->text(), QStringLiteral("JA1ABC"));
  QCOMPARE(dlg->Grid1->item(0, 55)->background().color(), frmCabReadSet::fieldColour(6));
  // out of range: brought to the nearest end; letters never enter
  type(dlg->Label3[8], "40x");
  QCOMPARE(s.CabRptLen, 11);
  QCOMPARE(dlg->Label3[8]->text(), QStringLiteral("11"));
  QVERIFY(dlg->isVisible());  // Enter read nothing
  QCOMPARE(w.session().Doc.Log.count(), 0);
  // a box left with a new number takes it too
  dlg->UpDown2[0]->valueBox->setFocus();
  dlg->UpDown2[0]->valueBox->selectAll();
  QTest::keyClicks(dlg->UpDown2[0]->valueBox, "44");
  dlg->UpDown2[1]->valueBox->setFocus();
  QTRY_COMPARE(s.CabSrstPos, 44);
  QVERIFY(!dlg->Label3[0]->isEnabled() || dlg->Label3[0]->isReadOnly());

  QTest::mouseClick(dlg->StdButton, Qt::LeftButton);
  Settings expect;
  standardColumns(expect);
  QCOMPARE(std::vector<int>({s.CabSrstPos, s.CabSRptPos, s.CabHCallPos, s.CabRrstPos, s.CabRRptPos,
                             s.CabCallLen, s.CabRptLen}),
           std::vector<int>({expect.CabSrstPos, expect.CabSRptPos, expect.CabHCallPos,
                             expect.CabRrstPos, expect.CabRRptPos, expect.CabCallLen,
                             expect.CabRptLen}));
  QCOMPARE(dlg->UpDown2[0]->valueBox->text(), QStringLiteral("45"));
  QCOMPARE(dlg->Label3[8]->text(), QStringLiteral("6"));
  QCOMPARE(dlg->Label2[8]->text(), QStringLiteral("10M"));
  // every field's block where the standard line has it
  QCOMPARE(dlg->Grid1->item(0, 44)->background().color(), frmCabReadSet::fieldColour(4));
  QCOMPARE(dlg->Grid1->item(0, 73)->background().color(), frmCabReadSet::fieldColour(8));
  QCOMPARE(dlg->Grid1->item(0, 38)->background().color(), frmCabReadSet::fieldColour(3));
  QCOMPARE(dlg->Grid1->item(0, 54)->background().color(), dlg->defaultCellColour());
  QTest::mouseClick(dlg->OKButton, Qt::LeftButton);
  QTRY_VERIFY(!dlg);
  QCOMPARE(w.session().Doc.Log.count(), kSampleCount);
  QCOMPARE(std::string(w.session().Doc.Log[1].CallSign.trimmed()), std::string("JA1ABC"));
}

void TestImport::cabrilloErrorKeepsWhatWasRead() {
  MainFixture f;
  frmMain& w = f.open(false);
  standardColumns(w.session().Ini);
  w.session().Doc.State.LogDirty = 0;
  std::string text = cabrilloFile();
  const auto third = text.find("QSO:", text.find("QSO:", text.find("QSO:") + 1) + 1);
  text.replace(third + 15, 10, "2026-13-99");
  f.ui.files.push_back(writeFile(f, "bad.cbr", text));
  QPointer<frmCabReadSet> dlg = CabOn(w);
  QTest::mouseClick(dlg->OKButton, Qt::LeftButton);
  QTRY_VERIFY(!dlg);
  QVERIFY(f.texts().back().startsWith(QStringLiteral("7 行目")));
  QCOMPARE(w.session().Doc.Log.count(), 2);
  // what was read is shown and counts as unsaved
  QCOMPARE(w.session().GridData.rows(), 3);
  QCOMPARE(w.session().Doc.State.LogDirty, 1);
  QCOMPARE(w.session().Doc.State.OpenDialogNo, 0);
}

void TestImport::cabrilloMissingFile() {
  MainFixture f;
  frmMain& w = f.open(false);
  f.ui.files.push_back(f.home() + "/none.cbr");
  QPointer<frmCabReadSet> dlg = CabOn(w);
  QCOMPARE(f.texts().back(), QStringLiteral("ファイルがありません！"));
  // the dialog stays, with an empty sample; reading it appends nothing
  QVERIFY(dlg);
  QCOMPARE(dlg->Grid1->columnCount(), 0);
  // the remembered positions are not taken away by the empty sample
  QCOMPARE(dlg->UpDown2[0]->value(), 45);
  QCOMPARE(w.session().Ini.CabSrstPos, 45);
  QTest::mouseClick(dlg->OKButton, Qt::LeftButton);
  QTRY_VERIFY(!dlg);
  QCOMPARE(w.session().Doc.Log.count(), 0);
  QCOMPARE(w.session().Doc.State.OpenDialogNo, 0);
  QCOMPARE(w.session().Ini.CabSrstPos, 45);
}

void TestImport::importsStopAtTheLimit() {
  MainFixture f;
  frmMain& w = f.open(false);
  w.session().Doc.Log.resize(kMaxQso - 4);
  w.session().Doc.Log[1].CallSign = "FIRST";
  f.ui.files.push_back(writeFile(f, "contest.zlo", zlogFile()));
  QPointer<frmZlogReadSet> dlg = ZlogOn(w);
  QTest::mouseClick(dlg->OKButton, Qt::LeftButton);
  QTRY_VERIFY(!dlg);
  QCOMPARE(w.session().Doc.Log.count(), kMaxQso);
  QVERIFY(f.texts().contains(toQ(importtext::limitReached(4))));
  QCOMPARE(std::string(w.session().Doc.Log[1].CallSign.trimmed()), std::string("FIRST"));
  QCOMPARE(std::string(w.session().Doc.Log[kMaxQso].CallSign.trimmed()), std::string("JA1ABC"));
  QCOMPARE(w.session().Doc.State.LogDirty, 1);

  standardColumns(w.session().Ini);
  f.ui.files.push_back(writeFile(f, "contest.cbr", cabrilloFile()));
  QPointer<frmCabReadSet> cab = CabOn(w);
  QTest::mouseClick(cab->OKButton, Qt::LeftButton);
  QTRY_VERIFY(!cab);
  QCOMPARE(w.session().Doc.Log.count(), kMaxQso);
  QCOMPARE(f.texts().back(), toQ(importtext::limitReached(0)));
}

void TestImport::csvExportAndImportRoundTrip() {
  MainFixture f;
  frmMain& w = f.open(false);
  f.fillLog(2);
  w.session().Doc.Log[1].Remarks = "a \"b\", c";
  w.session().Doc.Log[2].Remarks = "東京,大阪";
  w.session().Doc.State.LogDirty = 0;
  w.session().Doc.State.LogFileName = f.home() + "/Log/old.tmk";

  // Export: the question, the dialog, the name rule. A missing folder is
  // an error shown, naming the file, nothing more.
  f.ui.files.push_back(f.home() + "/Log/out.csv");
  mCsvOut_Click(w);
  QCOMPARE(f.texts().back(),
           toQ(f.home() + "/Log/out.csv\r\n") + QString::fromUtf8(std::strerror(ENOENT)));
  QVERIFY(QDir().mkpath(toQ(f.home() + "/Log")));
  f.ui.files.push_back(f.home() + "/Log/out.part.txt");
  w.mCsvOut->trigger();  // the File menu's item
  QCOMPARE(f.ui.messages.back().text, std::string("名前を付けてＣＳＶファイルを保存します"));
  QCOMPARE(f.ui.messages.back().title, std::string("名前を付けてＣＳＶファイルを保存"));
  QCOMPARE(f.ui.messages.back().buttons, Buttons::OkCancel);
  const FileDialogOptions& save = f.ui.dialogs.back();
  QCOMPARE(save.filter, std::string("ＣＳＶファイル (*.csv)|*.csv|"));
  QCOMPARE(save.initialDir, f.home() + "/Log/");
  QVERIFY(save.overwritePrompt);
  const std::string csvPath = f.home() + "/Log/out.csv";
  QVERIFY(fileio::exists(csvPath));
  QCOMPARE(w.StatusPanel[2]->text(), toQ(csvPath));
  QCOMPARE(w.session().Doc.State.LogDirty, 0);

  // Import: no question for an unchanged log; the log is replaced.
  w.session().Doc.Log[1].CallSign = "CHANGED";
  f.ui.files.push_back(csvPath);
  const std::size_t asked = f.ui.messages.size();
  w.mCsvIn->trigger();
  QCOMPARE(f.ui.messages.size(), asked);
  QCOMPARE(f.ui.dialogs.back().filter, std::string("CSVファイル (*.csv)|*.csv|"));
  QCOMPARE(f.ui.dialogs.back().initialDir, f.home() + "/Log/");
  QCOMPARE(w.session().Doc.Log.count(), 2);
  QCOMPARE(std::string(w.session().Doc.Log[1].CallSign.trimmed()), std::string("JA1AA0"));
  QCOMPARE(std::string(w.session().Doc.Log[1].Remarks.trimmed()), std::string("a \"b\", c"));
  QCOMPARE(std::string(w.session().Doc.Log[2].Remarks.trimmed()), std::string("東京,大阪"));
  QCOMPARE(w.session().Doc.State.LogDirty, 0);
  QCOMPARE(w.session().Doc.State.LogFileName, std::string());
  QCOMPARE(w.StatusPanel[2]->text(), toQ(csvPath));
  QVERIFY(w.LogSave->isEnabled());

  // A changed log asks first; No keeps it.
  w.session().Doc.State.LogDirty = 1;
  f.ui.answers.push_back(Answer::No);
  mCsvIn_Click(w);
  QCOMPARE(f.ui.messages.back().text, std::string("ログデータを破棄してＣＳＶファイルを開きますか？"));
  QCOMPARE(f.ui.messages.back().title, std::string("ＣＳＶファイルを開く"));
  QCOMPARE(w.session().Doc.Log.count(), 2);
}

void TestImport::csvImportOfAVanishedFileKeepsTheLog() {
  MainFixture f;
  frmMain& w = f.open(false);
  f.fillLog(3);
  w.session().Doc.State.LogFileName = "/x/kept.tmk";
  f.ui.files.push_back(f.home() + "/gone.csv");
  mCsvIn_Click(w);
  QCOMPARE(f.texts().back(), QStringLiteral("ファイルがありません！"));
  QCOMPARE(w.session().Doc.Log.count(), 3);
  QCOMPARE(w.session().Doc.State.LogFileName, std::string("/x/kept.tmk"));
  QVERIFY(w.m_1->menuAction()->isEnabled());
}

// Both sample files read through their dialogs give the same log; when
// TAMARACK_IMPORT_DEMO is set the files and the saved logs are left there
// for a comparison with tamarack-cli import.
void TestImport::dialogsAndCliGiveTheSameLog() {
  MainFixture f;
  frmMain& w = f.open(false);
  const QByteArray demo = qgetenv("TAMARACK_IMPORT_DEMO");
  const std::string dir = demo.isEmpty() ? f.home() : demo.toStdString();
  const std::string zlo = dir + "/contest.zlo", cbr = dir + "/contest.cbr";
  fileio::writeAtomic(zlo, zlogFile());
  fileio::writeAtomic(cbr, cabrilloFile());
  // A demonstration runs under the contest of the folder's settings file.
  const std::string rules = dir + "/home";
  if (!demo.isEmpty() && fileio::exists(rules + "/Tamarack.ini")) {
    IniRead(rules + "/Tamarack.ini", w.session().Ini);
    w.session().Doc.State.CfgFileName = w.session().Ini.CfgFileName;
    QVERIFY(w.CfgRead(w.session().Ini.CfgFileName));
    CtyRead(rules, w.session().Cty, f.ui);
  }

  f.ui.files.push_back(zlo);
  QPointer<frmZlogReadSet> z = ZlogOn(w);
  QTest::mouseClick(z->OKButton, Qt::LeftButton);
  QTRY_VERIFY(!z);
  const LogData fromZlog = w.session().Doc.Log;
  QVERIFY(w.session().Files.DataSave(dir + "/gui-zlog.tmk"));

  w.session().Files.LogCls();
  if (demo.isEmpty()) standardColumns(w.session().Ini);
  f.ui.files.push_back(cbr);
  QPointer<frmCabReadSet> c = CabOn(w);
  QTest::mouseClick(c->OKButton, Qt::LeftButton);
  QTRY_VERIFY(!c);
  QVERIFY(w.session().Files.DataSave(dir + "/gui-cabrillo.tmk"));

  QCOMPARE(w.session().Doc.Log.count(), kSampleCount);
  for (int i = 1; i <= kSampleCount; ++i) {
    char a[logfile::kRecordSize], b[logfile::kRecordSize];
    QsoRecord x = fromZlog[i], y = w.session().Doc.Log[i];
    x.TestNo = y.TestNo = 0;
    logfile::encodeRecord(x, a);
    logfile::encodeRecord(y, b);
    QVERIFY2(std::memcmp(a, b, sizeof a) == 0, std::to_string(i).c_str());
  }
}

QTEST_MAIN(TestImport)
#include "tst_import.moc"

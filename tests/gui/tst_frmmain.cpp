// The main window: menus, start-up, closing, grid events and the small windows.
#include <QFontDatabase>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenuBar>
#include <QProgressBar>
#include <QMessageBox>
#include <QTimer>
#include <QtTest>
#include <unistd.h>

#include "log/settingsfile.h"
#include "app/gui/frmabout.h"
#include "app/gui/uifont.h"
#include "log/gui/frmbar.h"
#include "log/gui/qtui.h"
#include "guitestsupport.h"
#include "log/cp932.h"
#include "log/fileio.h"

class TestFrmMain : public QObject {
  Q_OBJECT
 private slots:
  void menuBarHasEveryItem();
  void startUpOnEmptyFolder();
  void firstStartSaysNothingOfTheSettingsFile();
  void menusFollowTheLog();
  void gridLayout();
  void closingAsksAndWritesSettings();
  void closingCancelled();
  void escapeWithoutCallSign();
  void escapeClosesTheRegisteredWindow();
  void gridClicksAndPopUp();
  void timeSortMarksTheLogChanged();
  void aboutBox();
  void progressWindow();
  void helpOpensThePage();
  void settingsAppliedOnRead();
  void geometryKeptOverStarts();
  void messageBelongsToTheToolWindow();
  void unreadableSettingsAreNeverOverwritten();
  void settingsShiftJisCannotHoldAreNamedAtExit();
  void startUpReadsContestAndLastLog();
  void startUpPaintsTheLastLogsEndFirst();
  void windowsFaceHasJapaneseLetters();
  void exitSavesTheLog();
  void fileMenuCommands();
  void editCommandsReachTheirWindows();
};

void TestFrmMain::menuBarHasEveryItem() {
  MainFixture f;
  frmMain& w = f.open(false);
  QCOMPARE(w.windowTitle(), QStringLiteral("Tamarack"));
  struct Item { const char* name; const char* caption; bool visible; };
  const Item items[] = {
      {"mnuNewOpen", "ログの新規作成(&N)", true}, {"log_open", "ログを開く(&O)", true},
      {"AppendOpen", "ログを連結する(&R)", true}, {"LogSave", "ログを保存する(&S)", true},
      {"mnuSaveAs", "名前を付けて保存する(&A)", true}, {"mCsvOut", "CSVファイルで出力", true},
      {"mCsvIn", "CSVファイルの読込", true}, {"mnuLogClose", "ログを閉じる(&C)", true},
      {"mnuThLogRead", "ターボハムログを開く(&T)", true},
      {"mnuZlRead", "ZLOGファイルを開く(&Z)", true},
      {"mnuCabRead", "Cabrilloファイルを開く(&B)", true},
      {"mnuCheckLog", "提出前チェック(&K)", true},
      {"mnuMakeJaeLog", "電子ログ作成とE-メール送信(&J)", true},
      {"mnuThConv", "ターボハムログにデータ追加(&H)", true},
      {"mnuAdiConv", "ADIFファイルを作成(&D)", true}, {"owari", "Tamarack 終了(&Q)", true},
      {"mnuDataEdit", "データ修正(&E)", true}, {"mnuDelete", "データ削除(&D)", true},
      {"mnuAllEdit", "データ一括修正(A)", true}, {"mnuLogEdit", "データ修正", true},
      {"mnuLogIns", "データ挿入", true}, {"mnuLogDel", "データ削除", true},
      {"mnuTimeAddDel", "時間の増減(&T)", true}, {"mnuTimeSort", "年月日、時間で整列(&S)", true},
      {"mnuInBox", "データ入力フォーム(&I)", true},
      {"mnuQTC", "電子ログ必須記入事項確認(&H)", true}, {"mnuSumary", "サマリーシート(&S)", true},
      {"mnuElogSet", "電子ログの設定(&J)", true}, {"mnuThSet", "ターボハムログの設定(&T)", true},
      {"mnuAdiSet", "ＡＤＩＦファイル変換の設定(&A)", true}, {"MH1", "ヘルプ(&H)", true},
      {"abt", "バージョン(&A)", true}};
  for (const Item& it : items) {
    QAction* a = findAction(&w, it.name);
    QVERIFY2(a, it.name);
    QCOMPARE(a->text(), QString::fromUtf8(it.caption));
    QCOMPARE(a->isVisible(), it.visible);
  }
  QVERIFY(!w.mnuThLogRead->isEnabled());
  QVERIFY(w.m0->isVisible());  // the importers are for everyone
  // the top-level menus in order; the grid's pop-up is not on the bar
  QStringList bar;
  for (QAction* a : w.menuBar()->actions()) bar << a->text();
  QCOMPARE(bar, (QStringList{"ファイル(&F)", "編集(&E)", "整列(&S)", "表示(&V)", "設定(&O)",
                             "ヘルプ(&H)"}));
  QCOMPARE(w.mnuGrdEdit->title(), QStringLiteral("編集"));
  QStringList file;
  for (QAction* a : w.m_1->actions()) file << (a->isSeparator() ? "-" : a->objectName());
  QCOMPARE(file, (QStringList{"mnuNewOpen", "log_open", "AppendOpen", "-", "LogSave",
                              "mnuSaveAs", "-", "mCsvOut", "mCsvIn", "-", "mnuLogClose", "-",
                              "mnuThLogRead", "mnuZlRead", "mnuCabRead", "-", "mnuCheckLog", "mnuMakeJaeLog",
                              "mnuThConv", "mnuAdiConv", "-", "owari"}));
}

void TestFrmMain::startUpOnEmptyFolder() {
  MainFixture f;
  f.closeStartupWindow = false;
  frmMain& w = f.open();
  // no contest yet: the station data opens over the main window
  QCOMPARE(w.session().Doc.State.OpenDialogNo, std::int16_t(DlgMyData));
  QVERIFY(w.dialogs().find(DlgMyData)->isVisible());
  // ... and the menus stay off while it is open
  QVERIFY(!w.m_1->menuAction()->isEnabled());
  QVERIFY(!w.m4->menuAction()->isEnabled());
  QVERIFY(w.m3->menuAction()->isEnabled());
  for (const char* d : {"SentLog", "Log", "Cfg"})
    QVERIFY(QFileInfo(f.dir.filePath(d)).isDir());
  // the settings file, the country file and the contest, in start-up order
  QCOMPARE(f.texts(), (QStringList{
      "設定ファイル（Tamarack.ini）が見つかりません。\r\n初期値で起動します。",
      "NOT [Cty.dat] FILE",
      "コンテストが設定されていません\r\nコンテストを設定してください"}));
  QCOMPARE(f.ui.messages[2].buttons, Buttons::Ok);
  QCOMPARE(f.ui.messages[2].title, std::string("Tamarack"));
  QCOMPARE(QString::fromStdString(w.session().Doc.State.TodayText), QStringLiteral("2026年12月07日"));
  QCOMPARE(w.session().Ini.JarlFdKeisu, std::int16_t(1));
  QCOMPARE(QString::fromStdString(w.session().Ini.JarlOath), QString::fromUtf8(kDefaultOath));
}

// A new program folder has no settings file to miss: nothing is said of it.
void TestFrmMain::firstStartSaysNothingOfTheSettingsFile() {
  MainFixture f;
  AppEnv env;
  env.ProgramFolder = f.home();
  env.Prepared.firstStart = true;
  frmMain w(env, f.ui, f.clock);
  w.Form_Load();
  QCOMPARE(f.texts(), (QStringList{"NOT [Cty.dat] FILE",
                                   "コンテストが設定されていません\r\nコンテストを設定してください"}));
  if (QWidget* tool = w.dialogs().find(w.session().Doc.State.OpenDialogNo)) tool->close();
}

void TestFrmMain::menusFollowTheLog() {
  MainFixture f;
  frmMain& w = f.open();
  const QList<QAction*> withLog = {w.AppendOpen, w.mnuLogClose, w.LogSave, w.mnuSaveAs,
                                  w.mnuCheckLog, w.mnuMakeJaeLog, w.mnuThConv, w.mnuAdiConv,
                                  w.mnuEdit->menuAction(), w.mnuSortMnu->menuAction(),
                                  w.mnuSumary, w.mCsvOut};
  for (QAction* a : withLog) QVERIFY2(!a->isEnabled(), qPrintable(a->objectName()));
  QVERIFY(w.m_1->menuAction()->isEnabled());
  QVERIFY(w.mnuNewOpen->isEnabled());
  f.fillLog(3);
  // (a hidden action never reads as enabled)
  for (QAction* a : withLog)
    if (a->isVisible()) QVERIFY2(a->isEnabled(), qPrintable(a->objectName()));
  w.mnuOff();
  for (QMenu* m : {w.m_1, w.mnuEdit, w.mnuSortMnu, w.m11, w.m4})
    QVERIFY(!m->menuAction()->isEnabled());
  QVERIFY(w.m3->menuAction()->isEnabled());
  w.mnuOn();
  for (QMenu* m : {w.m_1, w.mnuEdit, w.mnuSortMnu, w.m11, w.m4})
    QVERIFY(m->menuAction()->isEnabled());
}

void TestFrmMain::gridLayout() {
  MainFixture f;
  frmMain& w = f.open();
  QCOMPARE(w.GridModel1->columnCount(), 13);
  QCOMPARE(w.GridModel1->rowCount(), 1);  // the blank row of an empty log
  QCOMPARE(w.GridModel1->headerData(1, Qt::Horizontal, Qt::DisplayRole).toString(),
           QStringLiteral("年月日　時間"));
  QCOMPARE(w.GridModel1->headerData(12, Qt::Horizontal, Qt::DisplayRole).toString(),
           QStringLiteral("備考"));
  QCOMPARE(w.Grid1->columnWidth(0), twipsToPx(795));
  QCOMPARE(w.Grid1->columnWidth(12), twipsToPx(3000));
  f.fillLog(2);
  QCOMPARE(w.GridModel1->data(w.GridModel1->index(0, 0), Qt::DisplayRole).toString(),
           QStringLiteral("0001"));
  QCOMPARE(w.GridModel1->data(w.GridModel1->index(0, 0), Qt::TextAlignmentRole).value<Qt::Alignment>() & Qt::AlignRight,
           Qt::AlignRight);
  QCOMPARE(w.GridModel1->data(w.GridModel1->index(0, 7), Qt::TextAlignmentRole).value<Qt::Alignment>() & Qt::AlignHCenter,
           Qt::AlignHCenter);
  w.resize(800, 600);
  QCoreApplication::processEvents();
  // counted in data rows, whatever the header's height
  const int rows = static_cast<int>(std::nearbyint(double(w.Grid1->height()) /
                                                   w.Grid1->rowHeight(0)));
  QCOMPARE(w.session().Doc.State.GridPageRows, rows - 3);
  // after a read of a long log the last QSO is in view, with the header
  // taller or shorter than a data row
  for (const char* style : {"QHeaderView::section { padding: 12px; }",
                            "QHeaderView::section { padding: 0px; font-size: 6px; }"}) {
    w.Grid1->horizontalHeader()->setStyleSheet(QString::fromUtf8(style));
    w.resize(800, 601);
    w.resize(800, 600);
    QCoreApplication::processEvents();
    f.fillLog(60);
    w.session().Files.scrollToEnd();
    QCoreApplication::processEvents();
    const QRect last = w.Grid1->visualRect(w.GridModel1->index(w.session().Doc.Log.count() - 1, 2));
    QVERIFY2(last.isValid() && last.bottom() <= w.Grid1->viewport()->height(), style);
  }
}

// The kept geometry is the outer frame; over five starts the window opens
// exactly where it was closed, shown once, at that place.
void TestFrmMain::geometryKeptOverStarts() {
  MainFixture f;
  Settings s;
  s.frmLeft = 1500;
  s.frmTop = 1200;
  s.frmWidth = 9000;
  s.frmHeight = 6000;
  QVERIFY(IniWrite(f.home() + "/Tamarack.ini", s));
  const QRect kept(twipsToPx(1500), twipsToPx(1200), twipsToPx(9000), twipsToPx(6000));
  for (int start = 1; start <= 5; ++start) {
    AppEnv env;
    env.ProgramFolder = f.home();
    frmMain w(env, f.ui, f.clock);
    struct ShowSpy : QObject {
      QWidget* w;
      std::vector<QRect> shown;
      bool eventFilter(QObject* o, QEvent* e) override {
        if (o == w && e->type() == QEvent::Show) shown.push_back(w->frameGeometry());
        return false;
      }
    } spy;
    spy.w = &w;
    w.installEventFilter(&spy);
    w.Form_Load();
    if (QWidget* tool = w.dialogs().find(w.session().Doc.State.OpenDialogNo)) tool->close();
    QCOMPARE(spy.shown.size(), std::size_t{1});
    QCOMPARE(spy.shown[0].topLeft(), kept.topLeft());
    QCoreApplication::processEvents();
    QCOMPARE(w.frameGeometry(), kept);
    w.close();
    Settings back;
    QCOMPARE(IniRead(f.home() + "/Tamarack.ini", back), IniReadResult::Ok);
    QCOMPARE(back.frmLeft, 1500.0f);
    QCOMPARE(back.frmTop, 1200.0f);
    QCOMPARE(back.frmWidth, 9000.0f);
    QCOMPARE(back.frmHeight, 6000.0f);
  }
}

void TestFrmMain::closingAsksAndWritesSettings() {
  MainFixture f;
  frmMain& w = f.open();
  f.fillLog(2);
  w.session().Doc.State.LogDirty = 1;
  w.session().Ini.JarlCallSign = "JA1ZZZ";
  w.session().Ini.JarlOath = "誓います\r\n二行目";
  f.ui.answers = {Answer::No};
  f.ui.messages.clear();
  w.owari->trigger();
  QVERIFY(!w.isVisible());
  QCOMPARE(f.texts(), QStringList{"ログファイルを保存しますか？？"});
  QCOMPARE(f.ui.messages[0].buttons, Buttons::YesNoCancel);
  QCOMPARE(f.ui.messages[0].icon, Icon::Question);
  std::string bytes;
  QVERIFY(fileio::readAll(f.home() + "/Tamarack.ini", bytes));
  const std::string text = cp932::decode(bytes);
  // every key in table order, CR LF line ends
  std::size_t pos = 0;
  for (std::size_t i = 0; i < IniKeyCount(); ++i) {
    if (IniKeyOptional(i)) continue;
    const std::string key(IniKeyAt(i));
    const std::size_t at = text.find(key + "=", pos);
    QVERIFY2(at != std::string::npos, key.c_str());
    pos = at;
  }
  QVERIFY(text.find("JarlCallSign=JA1ZZZ\r\n") != std::string::npos);
  QVERIFY(text.find("JarlOath=誓います\r\nJarlOath=二行目\r\n") != std::string::npos);
  QVERIFY(text.find("GridWidth12=3000\r\n") != std::string::npos);
  QVERIFY(text.find("GridWidth3=610\r\n") != std::string::npos);  // no creep from rounding
  QVERIFY(text.find("\n") == text.find("\r\n") + 1);
}

void TestFrmMain::closingCancelled() {
  MainFixture f;
  frmMain& w = f.open();
  f.fillLog(1);
  w.session().Doc.State.LogDirty = 1;
  f.ui.answers = {Answer::Cancel};
  w.close();
  QVERIFY(w.isVisible());
  QVERIFY(!QFileInfo::exists(f.dir.filePath("Tamarack.ini")));
  // Yes, then the save dialog cancelled: the log stays open
  f.ui.answers = {Answer::Yes};
  w.close();
  QVERIFY(w.isVisible());
  QCOMPARE(f.ui.dialogs.size(), std::size_t(1));
  QCOMPARE(QString::fromStdString(f.ui.dialogs[0].filter),
           QStringLiteral("Tamarack　ログファイル (*.tmk)|*.tmk|"));
  QCOMPARE(f.ui.dialogs[0].initialDir, f.home() + "/Log/");
  QVERIFY(f.ui.dialogs[0].overwritePrompt);
  // a clean log closes without a question
  w.session().Doc.State.LogDirty = 0;
  f.ui.messages.clear();
  w.close();
  QVERIFY(!w.isVisible());
  QVERIFY(f.ui.messages.empty());
}

void TestFrmMain::escapeWithoutCallSign() {
  MainFixture f;
  frmMain& w = f.open();
  f.ui.messages.clear();
  QTest::keyClick(w.Grid1, Qt::Key_Escape);
  QCOMPARE(f.texts(), QStringList{"コールサインを設定してください"});
  QCOMPARE(f.ui.messages[0].buttons, Buttons::OkCancel);
  // then the station data, where the call sign is set
  QCOMPARE(w.session().Doc.State.OpenDialogNo, std::int16_t(DlgMyData));
  // Esc again closes it
  QTest::keyClick(w.Grid1, Qt::Key_Escape);
  QCOMPARE(w.session().Doc.State.OpenDialogNo, std::int16_t(0));
  // with a call sign Esc opens the input window, and Esc closes it again
  w.session().Ini.JarlCallSign = "JA1ZZZ";
  QTest::keyClick(w.Grid1, Qt::Key_Escape);
  QCOMPARE(w.session().Doc.State.OpenDialogNo, std::int16_t(DlgInput));
  QVERIFY(w.dialogs().find(DlgInput)->isVisible());
  QTest::keyClick(w.Grid1, Qt::Key_Escape);
  QCOMPARE(w.session().Doc.State.OpenDialogNo, std::int16_t(0));
}

void TestFrmMain::escapeClosesTheRegisteredWindow() {
  MainFixture f;
  frmMain& w = f.open();
  QWidget tool;
  tool.show();
  w.dialogs().add(DlgDelLog, &tool);
  QCOMPARE(w.session().Doc.State.OpenDialogNo, std::int16_t(9));
  f.ui.messages.clear();
  QTest::keyClick(&w, Qt::Key_Escape);
  QVERIFY(!tool.isVisible());
  QVERIFY(f.ui.messages.empty());
  w.dialogs().remove(DlgDelLog);
  QCOMPARE(w.session().Doc.State.OpenDialogNo, std::int16_t(0));
}

void TestFrmMain::gridClicksAndPopUp() {
  MainFixture f;
  frmMain& w = f.open();
  f.fillLog(5);
  QCoreApplication::processEvents();
  const QRect cell = w.Grid1->visualRect(w.GridModel1->index(2, 2));
  QTest::mouseClick(w.Grid1->viewport(), Qt::LeftButton, {}, cell.center());
  QCOMPARE(w.session().Doc.State.SelRow, std::int16_t(3));
  // a right click on another row opens the pop-up but keeps the selected row
  const QRect other = w.Grid1->visualRect(w.GridModel1->index(0, 2));
  QTimer::singleShot(0, [&] {
    QVERIFY(w.mnuGrdEdit->isVisible());
    w.mnuGrdEdit->close();
  });
  QTest::mouseClick(w.Grid1->viewport(), Qt::RightButton, {}, other.center());
  QCoreApplication::processEvents();
  QCOMPARE(w.session().Doc.State.SelRow, std::int16_t(3));
  QVERIFY(!w.mnuGrdEdit->isVisible());
  // with a tool window open a right click does nothing
  QWidget tool;
  w.dialogs().add(DlgTime, &tool);
  QTest::mouseClick(w.Grid1->viewport(), Qt::RightButton, {}, other.center());
  QVERIFY(!w.mnuGrdEdit->isVisible());
  w.dialogs().remove(DlgTime);
}

void TestFrmMain::timeSortMarksTheLogChanged() {
  MainFixture f;
  frmMain& w = f.open();
  f.fillLog(3);
  std::swap(w.session().Doc.Log[1], w.session().Doc.Log[3]);
  w.session().FrmLogLoad();
  QCOMPARE(w.session().Doc.State.LogDirty, std::int16_t(0));
  w.mnuTimeSort->trigger();
  QCOMPARE(w.session().Doc.State.LogDirty, std::int16_t(1));
  QCOMPARE(QString::fromStdString(std::string(w.session().Doc.Log[1].CallSign.trimmed())),
           QStringLiteral("JA1AA0"));
  QCOMPARE(w.session().Doc.Log[1].QsoNo, std::int16_t(1));
  QVERIFY(w.m_1->menuAction()->isEnabled());
}

void TestFrmMain::aboutBox() {
  MainFixture f;
  frmMain& w = f.open();
  w.abt->trigger();
  auto* box = w.findChild<frmAbout*>();
  QVERIFY(box);
  QCOMPARE(box->windowTitle(), QStringLiteral("Tamarack のバージョン"));
  QCOMPARE(box->lblTitle->text(), QStringLiteral("Tamarack"));
  QVERIFY(box->lblVersion->text().startsWith(QStringLiteral("Version ")));
  QVERIFY(!box->lblVersion->text().contains(QStringLiteral("委員会")));
  QCOMPARE(frmAbout::versionText(true).right(5), QStringLiteral("  委員会"));
  QVERIFY(box->isVisible());
  QTest::keyClick(box, Qt::Key_Escape);
  QVERIFY(!box->isVisible());
  // the box also closes when its OK button loses the focus
  w.abt->trigger();
  QTRY_VERIFY(w.findChildren<frmAbout*>().size() == 1);
  frmAbout* again = w.findChildren<frmAbout*>().first();
  again->activateWindow();
  again->cmdOK->setFocus();
  QTRY_VERIFY(again->cmdOK->hasFocus());
  QVERIFY(again->isVisible());
  QLineEdit other(again);
  other.show();
  other.setFocus();
  QTRY_VERIFY(!again->isVisible());
}

void TestFrmMain::progressWindow() {
  MainFixture f;
  frmMain& w = f.open();
  frmBar& bar = w.bar();
  QCOMPARE(bar.windowTitle(), QStringLiteral("CALCURATE"));
  QCOMPARE(bar.Label1->text(), QStringLiteral("作業中"));
  QCOMPARE(bar.Label1->font().family(), QStringLiteral("Times New Roman"));
  QVERIFY(bar.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
  bar.start(100);
  QVERIFY(bar.isVisible());
  QCOMPARE(bar.ProgressBar1->maximum(), 100);
  bar.finish();
  QVERIFY(!bar.isVisible());
  // the search's label reads from the left while it runs, centred after
  bar.start(3);
  bar.label("DUPE CHECK DATA  No. 1  JA1AA0");
  bar.step(1);
  QCOMPARE(bar.Label1->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignLeft);
  bar.finish();
  QCOMPARE(bar.Label1->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
  f.fillLog(3);
  w.session().LogDataSearch();
  QCOMPARE(bar.Label1->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
}

void TestFrmMain::helpOpensThePage() {
  MainFixture f;
  frmMain& w = f.open();
  QUrl opened;
  w.openUrl = [&](const QUrl& u) { opened = u; };
  w.MH1->trigger();
  QVERIFY(opened.isEmpty());  // no help file: nothing happens
  QFile page(f.dir.filePath("tamarack.html"));
  QVERIFY(page.open(QIODevice::WriteOnly));
  page.close();
  w.MH1->trigger();
  QCOMPARE(opened, QUrl::fromLocalFile(f.dir.filePath("tamarack.html")));
}

void TestFrmMain::settingsAppliedOnRead() {
  MainFixture f;
  Settings s;
  s.GridWidth[2] = 2000;
  s.ThDbFile = "/data/hamlog.hdb";
  s.frmWidth = 9000;
  s.frmHeight = 6000;
  s.JarlCallSign = "JA1ZZZ";
  QVERIFY(IniWrite(f.home() + "/Tamarack.ini", s));
  frmMain& w = f.open();
  QCOMPARE(w.Grid1->columnWidth(2), twipsToPx(2000));
  QCOMPARE(w.Grid1->columnWidth(3), twipsToPx(610));
  QVERIFY(w.mnuThLogRead->isEnabled());
  QCOMPARE(w.frameGeometry().width(), twipsToPx(9000));
  QCOMPARE(f.texts(), (QStringList{"NOT [Cty.dat] FILE",
                                   "コンテストが設定されていません\r\nコンテストを設定してください"}));
}

void TestFrmMain::unreadableSettingsAreNeverOverwritten() {
  MainFixture f;
  const std::string ini = f.home() + "/Tamarack.ini";
  Settings s;
  s.JarlCallSign = "JA1ZZZ";
  QVERIFY(IniWrite(ini, s));
  std::string before;
  QVERIFY(fileio::readAll(ini, before));
  // Root reads any file: there a folder in its place cannot be read either.
  const bool root = ::geteuid() == 0;
  if (root) {
    QVERIFY(QFile::remove(QString::fromStdString(ini)));
    QVERIFY(QDir().mkdir(QString::fromStdString(ini)));
  } else {
    QVERIFY(QFile::setPermissions(QString::fromStdString(ini), QFileDevice::Permissions()));
  }
  frmMain& w = f.open();
  QCOMPARE(f.texts().value(0).left(int(ini.size()) + 2), QString::fromStdString(ini + "\r\n"));
  w.session().Ini.JarlCallSign = "JA9DEF";
  f.ui.messages.clear();
  w.close();
  QCOMPARE(f.texts(), QStringList{QString::fromStdString(
                          "設定ファイル " + ini +
                          " を読み込めなかったため、今回の設定は保存しません。")});
  if (root) {
    QVERIFY(QFileInfo(QString::fromStdString(ini)).isDir());
  } else {
    QVERIFY(QFile::setPermissions(QString::fromStdString(ini), QFileDevice::ReadOwner | QFileDevice::WriteOwner));
    std::string after;
    QVERIFY(fileio::readAll(ini, after));
    QCOMPARE(after, before);
  }
}

void TestFrmMain::settingsShiftJisCannotHoldAreNamedAtExit() {
  MainFixture f;
  frmMain& w = f.open();
  w.session().Ini.JarlName = "山田😀";
  w.session().Ini.JarlAddress = "서울";
  f.ui.messages.clear();
  w.close();
  QCOMPARE(f.texts(), QStringList{QString::fromUtf8(
                          "Shift-JIS で表せない文字を「?」に置き換えて保存します：\r\n"
                          "JarlName、JarlAddress")});
  Settings back;
  QCOMPARE(IniRead(f.home() + "/Tamarack.ini", back), IniReadResult::Ok);
  QCOMPARE(QString::fromStdString(back.JarlName), QStringLiteral("山田?"));
}

namespace {
// A small contest: 7 MHz CW, one point a QSO, the received number is the multiplier.
void writeContest(const MainFixture& f) {
  QDir().mkpath(QString::fromStdString(f.home() + "/Cfg"));
  const std::string cfg =
      "ContestName=テストコンテスト\r\nContestNo=1\r\nMltSearch=2\r\nPointType=1\r\n"
      "TotalPoint=2\r\nExchtoMlt=1\r\nBand7Enabled=1\r\nBand7PointA=1\r\nCWEnabled=1\r\n";
  QVERIFY(fileio::writeAtomic(f.home() + "/Cfg/test.cfg", cp932::encode(cfg)));
}

// Saves the calls as the log Log/a.tmk (7 MHz CW, a minute apart), and
// settings `s` that name it and the contest as the last ones.
void writeLastLog(MainFixture& f, const std::vector<std::string>& calls, Settings s = {}) {
  QDir().mkpath(f.dir.filePath("Log"));
  {
    frmMain& w = f.open(false);
    w.session().Contest.ContestNo = 1;
    for (std::size_t i = 0; i < calls.size(); ++i) {
      QsoRecord r;
      r.CallSign = calls[i];
      r.Band = "7";
      r.Mode = "CW";
      r.RcvdNo = "10M";
      r.QsoTime = ole::fromDateTime(2026, 4, 25, 21, 0, 0) + static_cast<double>(i) / 1440.0;
      w.session().Doc.Log.append(r);
    }
    std::string err;
    QVERIFY(w.session().Files.DataSave(f.home() + "/Log/a.tmk", &err));
    w.session().Doc.State.LogDirty = 0;
    w.close();
  }
  s.CfgFileName = f.home() + "/Cfg/test.cfg";
  s.LogFileName = f.home() + "/Log/a.tmk";
  QVERIFY(IniWrite(f.home() + "/Tamarack.ini", s));
}
}  // namespace

void TestFrmMain::startUpReadsContestAndLastLog() {
  MainFixture f;
  writeContest(f);
  QVERIFY(QFile::copy(QStringLiteral("/usr/share/hamradio-files/cty.dat"),
                      f.dir.filePath("Cty.dat")));
  // a log of three QSOs, two of them with the same call
  writeLastLog(f, {"JA1AAA", "JA2BBB", "JA1AAA"});
  f.ui.messages.clear();
  frmMain& w = f.open();
  QVERIFY(f.ui.messages.empty());
  QCOMPARE(w.StatusPanel[0]->text(), QStringLiteral("テストコンテスト"));
  QCOMPARE(w.StatusPanel[2]->text(), QString::fromStdString(f.home() + "/Log/a.tmk"));
  QCOMPARE(w.session().Doc.Log.count(), 3);
  // re-scored at start: the third QSO is a dupe
  QCOMPARE(w.session().Doc.Log[3].Dupe, std::int16_t(1));
  QCOMPARE(w.GridModel1->data(w.GridModel1->index(2, 11), Qt::DisplayRole).toString(),
           QStringLiteral("DUPE"));
  QCOMPARE(w.session().Score.BandStats[16].QsoCount, std::int16_t(3));
  QVERIFY(w.LogSave->isEnabled());
  QVERIFY(w.log_open->isEnabled());
}

// The program's own start paints before reading: the last QSOs stand in the
// first paint, read from the file's end, and the whole log takes their place.
void TestFrmMain::startUpPaintsTheLastLogsEndFirst() {
  MainFixture f;
  writeContest(f);
  const int n = 300;  // more than the first paint takes from the file
  std::vector<std::string> calls;
  for (int i = 1; i <= n; ++i)
    calls.push_back("JA1A" + std::string(1, static_cast<char>('A' + i % 26)) + std::to_string(i));
  Settings s;
  s.GridWidth[2] = 2400;
  writeLastLog(f, calls, s);

  AppEnv env;
  env.ProgramFolder = f.home();
  env.PaintFirst = true;
  frmMain w(env, f.ui, f.clock);
  w.resize(800, 600);
  // What the grid shows when it first paints: the grid is made once the
  // window is shown, so its paint is caught on its way through the program.
  struct FirstPaint : QObject {
    frmMain* w;
    bool seen = false, preview = false, shownBare = false, menusMade = false;
    int rows = 0, rowHeight = 0;
    QString bottomCall;
    bool eventFilter(QObject* o, QEvent* e) override {
      // The window goes to the screen before its controls are made.
      if (e->type() == QEvent::Show && o == w) shownBare = !w->Grid1 && !w->m_1;
      if (e->type() == QEvent::Paint && !seen && w->Grid1 && o == w->Grid1->viewport()) {
        seen = true;
        menusMade = w->m_1 && w->abt && w->mnuLogEdit;
        preview = w->GridModel1->previewing();
        rows = w->GridModel1->rowCount();
        rowHeight = w->Grid1->rowHeight(rows - 1);
        const QModelIndex at = w->Grid1->indexAt(QPoint(5, w->Grid1->viewport()->height() - 4));
        bottomCall = w->GridModel1->data(w->GridModel1->index(at.row(), 2), Qt::DisplayRole).toString();
      }
      return false;
    }
  } paint;
  paint.w = &w;
  QVERIFY(!w.Grid1);
  qApp->installEventFilter(&paint);
  w.Form_Load();
  qApp->removeEventFilter(&paint);
  QVERIFY(paint.shownBare);
  QVERIFY(paint.seen);
  QVERIFY(paint.menusMade);
  QVERIFY(paint.preview);
  QCOMPARE(paint.rows, n);
  QCOMPARE(paint.rowHeight, twipsToPx(285));  // the rows' own height from the first paint
  QCOMPARE(paint.bottomCall, QStringLiteral("JA1AO300"));
  // Then the log itself, scored, with every menu and the kept widths.
  QVERIFY(!w.GridModel1->previewing());
  QCOMPARE(w.GridModel1->rowCount(), n);
  QCOMPARE(w.GridModel1->data(w.GridModel1->index(0, 2), Qt::DisplayRole).toString(),
           QStringLiteral("JA1AB1"));
  QCOMPARE(w.Grid1->columnWidth(2), twipsToPx(2400));
  QVERIFY(w.mnuNewOpen && w.abt && w.mnuLogEdit);
  QVERIFY(w.LogSave->isEnabled());
  QCOMPARE(w.StatusPanel[2]->text(), QString::fromStdString(f.home() + "/Log/a.tmk"));
  w.close();

  // Another contest's log, declined: the grid shows the empty log, not the preview.
  const std::string other =
      "ContestName=別のコンテスト\r\nContestNo=2\r\nMltSearch=2\r\nPointType=1\r\n"
      "TotalPoint=2\r\nExchtoMlt=1\r\nBand7Enabled=1\r\nBand7PointA=1\r\nCWEnabled=1\r\n";
  QVERIFY(fileio::writeAtomic(f.home() + "/Cfg/other.cfg", cp932::encode(other)));
  Settings o;
  QCOMPARE(IniRead(f.home() + "/Tamarack.ini", o), IniReadResult::Ok);
  o.CfgFileName = f.home() + "/Cfg/other.cfg";
  QVERIFY(IniWrite(f.home() + "/Tamarack.ini", o));
  f.ui.answers = {Answer::Ok, Answer::No};  // no country file; the other contest's log
  frmMain declined(env, f.ui, f.clock);
  declined.Form_Load();
  QVERIFY(!declined.GridModel1->previewing());
  QCOMPARE(declined.session().Doc.Log.count(), 0);
  QCOMPARE(declined.GridModel1->rowCount(), 1);
  QCOMPARE(declined.GridModel1->data(declined.GridModel1->index(0, 2), Qt::DisplayRole).toString(),
           QString());
  declined.close();
}

void TestFrmMain::windowsFaceHasJapaneseLetters() {
  // The face the program starts with draws the Japanese captions itself,
  // and is one Qt knows by that name.
  const QString family = QString::fromStdString(JapaneseSansFamily());
  QVERIFY(!family.isEmpty());
  QVERIFY(QFontDatabase::hasFamily(family));
  QVERIFY(QFontDatabase::writingSystems(family).contains(QFontDatabase::Japanese));
  const QFontMetrics face{QFont(family)};
  for (const char16_t c : u"番号年月日ｺｰﾙｻｲﾝ受信JA1ZZZ")
    if (c) QVERIFY(face.inFontUcs4(c));
}

void TestFrmMain::exitSavesTheLog() {
  MainFixture f;
  writeContest(f);
  Settings s;
  s.CfgFileName = f.home() + "/Cfg/test.cfg";
  QVERIFY(IniWrite(f.home() + "/Tamarack.ini", s));
  frmMain& w = f.open();
  f.fillLog(2);
  w.session().Doc.State.LogDirty = 1;
  f.ui.messages.clear();
  f.ui.answers = {Answer::Yes};
  f.ui.files = {f.home() + "/Log/exit"};
  w.owari->trigger();
  QVERIFY(!w.isVisible());
  QCOMPARE(f.texts(), QStringList{"ログファイルを保存しますか？？"});
  // the exit's save takes the chosen name as it is
  QCOMPARE(QFileInfo(QString::fromStdString(f.home() + "/Log/exit")).size(), 202);
  std::string bytes;
  QVERIFY(fileio::readAll(f.home() + "/Tamarack.ini", bytes));
  QVERIFY(bytes.find("LogFileName=" + f.home() + "/Log/exit\r\n") != std::string::npos);
}

void TestFrmMain::fileMenuCommands() {
  MainFixture f;
  writeContest(f);
  Settings s;
  s.CfgFileName = f.home() + "/Cfg/test.cfg";
  QVERIFY(IniWrite(f.home() + "/Tamarack.ini", s));
  frmMain& w = f.open();
  f.fillLog(3);
  w.session().Doc.State.LogDirty = 1;
  f.ui.messages.clear();
  // save: asks, then the save dialog; the name rule gives .tmk
  f.ui.answers = {Answer::Ok};
  f.ui.files = {f.home() + "/Log/day1.txt"};
  w.LogSave->trigger();
  QCOMPARE(f.texts(), QStringList{"ログデータを保存します"});
  QCOMPARE(f.ui.messages[0].title, std::string("ログの保存"));
  QCOMPARE(f.ui.dialogs.back().initialDir, f.home() + "/Log/");
  const QString saved = QString::fromStdString(f.home() + "/Log/day1.tmk");
  QCOMPARE(QFileInfo(saved).size(), 303);
  QCOMPARE(w.StatusPanel[2]->text(), saved);
  QCOMPARE(w.session().Doc.State.LogDirty, std::int16_t(0));

  // close: the log and the grid empty, the menus follow
  w.mnuLogClose->trigger();
  QCOMPARE(w.session().Doc.Log.count(), 0);
  QCOMPARE(w.GridModel1->rowCount(), 1);
  QCOMPARE(w.StatusPanel[2]->text(), QString());
  QVERIFY(!w.LogSave->isEnabled());

  // open it again through the dialog
  f.ui.files = {saved.toStdString()};
  w.log_open->trigger();
  QCOMPARE(QString::fromStdString(f.ui.dialogs.back().filter),
           QStringLiteral("Tamarack　ログファイル (*.tmk)|*.tmk|"));
  QCOMPARE(w.session().Doc.Log.count(), 3);
  QCOMPARE(w.GridModel1->rowCount(), 3);
  QCOMPARE(w.StatusPanel[2]->text(), saved);
  QVERIFY(w.LogSave->isEnabled());

  // append the same file: six QSOs, the log changed, its file unchanged
  f.ui.messages.clear();
  f.ui.answers = {Answer::Ok};
  f.ui.files = {saved.toStdString()};
  w.AppendOpen->trigger();
  QCOMPARE(f.texts(), QStringList{"ログデータに別のログデータを連結します"});
  QCOMPARE(w.session().Doc.Log.count(), 6);
  QCOMPARE(w.session().Doc.State.LogDirty, std::int16_t(1));
  QCOMPARE(w.StatusPanel[2]->text(), saved);

  // save as, with its own filter
  f.ui.answers = {Answer::Ok};
  f.ui.files = {f.home() + "/Log/both"};
  w.mnuSaveAs->trigger();
  QCOMPARE(QString::fromStdString(f.ui.dialogs.back().filter),
           QStringLiteral("Tamarack　ログ ファイル (*.tmk)|*.tmk|"));
  QCOMPARE(QFileInfo(QString::fromStdString(f.home() + "/Log/both.tmk")).size(), 606);
}

void TestFrmMain::editCommandsReachTheirWindows() {
  MainFixture f;
  frmMain& w = f.open();
  f.fillLog(4);
  // nothing selected: the commands open nothing
  w.mnuDataEdit->trigger();
  w.mnuDelete->trigger();
  QCOMPARE(w.session().Doc.State.OpenDialogNo, std::int16_t(0));
  QCoreApplication::processEvents();
  const QRect cell = w.Grid1->visualRect(w.GridModel1->index(1, 2));
  QTest::mouseClick(w.Grid1->viewport(), Qt::LeftButton, {}, cell.center());
  QTest::mouseDClick(w.Grid1->viewport(), Qt::LeftButton, {}, cell.center());
  QCOMPARE(w.session().Doc.State.SelRow, std::int16_t(2));
  QCOMPARE(w.session().Doc.State.OpenDialogNo, std::int16_t(DlgEdit));
  QVERIFY(w.dialogs().find(DlgEdit)->isVisible());
  QTest::keyClick(&w, Qt::Key_Escape);
  QCOMPARE(w.session().Doc.State.OpenDialogNo, std::int16_t(0));
  const struct { QAction* a; int no; } items[] = {
      {w.mnuLogIns, DlgAdd}, {w.mnuLogDel, DlgDelLog}, {w.mnuTimeAddDel, DlgTime},
      {w.mnuAllEdit, DlgMultiEdit}, {w.mnuLogEdit, DlgEdit}};
  for (const auto& it : items) {
    QTest::mouseClick(w.Grid1->viewport(), Qt::LeftButton, {}, cell.center());
    it.a->trigger();
    QCOMPARE(int(w.session().Doc.State.OpenDialogNo), it.no);
    QVERIFY(!w.m_1->menuAction()->isEnabled());
    QTest::keyClick(&w, Qt::Key_Escape);
    QCOMPARE(w.session().Doc.State.OpenDialogNo, std::int16_t(0));
    QVERIFY(w.m_1->menuAction()->isEnabled());
  }
}

// A message shown while a tool window is active is that window's, so the
// window manager keeps the window over the main window under its message.
void TestFrmMain::messageBelongsToTheToolWindow() {
  MainFixture f;
  frmMain& w = f.open();
  QtUi ui(&w);
  w.activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(&w));
  QCOMPARE(ui.owner(), static_cast<QWidget*>(&w));
  QWidget tool(&w, Qt::Window);
  tool.show();
  QCoreApplication::processEvents();
  tool.activateWindow();
  QTRY_COMPARE(QApplication::activeWindow(), &tool);
  QCOMPARE(ui.owner(), &tool);
  QWidget* ownerSeen = nullptr;
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, [&] {
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
      ownerSeen = box->parentWidget();
      box->button(QMessageBox::Ok)->click();
    }
  });
  poll.start(10);
  QCOMPARE(ui.ask("時間が不正です", Buttons::OkCancel, Icon::None, "Tamarack"), Answer::Ok);
  QCOMPARE(ownerSeen, &tool);
}

QTEST_MAIN(TestFrmMain)
#include "tst_frmmain.moc"

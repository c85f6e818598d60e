// The station-data dialog through real keys and clicks: layout and lists,
// loading, the keystroke rules, the contest change, O K, cancel and Esc.
#include <QClipboard>
#include <QHeaderView>
#include <QMenuBar>
#include <QPointer>
#include <QtTest>
#include <filesystem>
#include <fstream>

#include "log/gui/qtui.h"
#include "contest/contestdef.h"
#include "guitestsupport.h"
#include "log/cp932.h"
#include "log/settings.h"
#include "output/gui/frmmydata.h"

namespace {

// A main window, and the station data dialog over it.
struct MyDataFixture : MainFixture {
  void writeCfg(const std::string& name, const std::string& utf8) {
    std::string crlf;
    for (char c : utf8) {
      if (c == '\n') crlf += '\r';
      crlf += c;
    }
    std::ofstream(home() + "/Cfg/" + name, std::ios::binary) << cp932::encode(crlf);
  }

  frmMyData* dialog() {
    auto* d = new frmMyData(*w);
    d->show();
    return d;
  }
  // A mark the search clears: whether the log was searched since.
  void markUnsearched() { w->session().Score.BandStats[0].QsoCount = 99; }
  bool searched() const { return w->session().Score.BandStats[0].QsoCount != 99; }
};

void writeContests(MyDataFixture& f) {
  f.writeCfg("allja.cfg",
             "ContestName=ALL JA\nContestNo=1\nStdContestName=ALL JAコンテスト\n"
             "StdCategory=電信電話部門シングルオペオールバンド;XAH;0;0;0\n"
             "StdCategory=電信部門シングルオペ7MHzバンド;C7M;2;3;0\n"
             "StdCategory=電信電話部門マルチオペ;XMM;0;0;1\n");
  f.writeCfg("dqp.cfg", "ContestName=DQP\nContestNo=8\nStdContestName=デジタルQSOパーティー\n"
                        "DqpEnabled=1\nStdCategory=参加;DQP;0;0;0\n");
  std::ofstream(f.home() + "/Cfg/readme.txt") << "not a definition";
}

QPoint rowCentre(QListWidget* list, int row) { return list->visualItemRect(list->item(row)).center(); }

// A double click as the window system delivers it: press, release, double
// click, release.
void doubleClick(QWidget* w, QPoint at) {
  QTest::mousePress(w, Qt::LeftButton, {}, at);
  QTest::mouseRelease(w, Qt::LeftButton, {}, at);
  QTest::mouseDClick(w, Qt::LeftButton, {}, at);
  QTest::mouseRelease(w, Qt::LeftButton, {}, at);
}

}  // namespace

class TestFrmMyData : public QObject {
  Q_OBJECT
 private slots:
  void layoutListsAndPlacement();
  void loadsTheStoredData();
  void keystrokeRules();
  void powerBoxKeepsTheEditingKeys();
  void powerIsANumberWithAnOptionalW();
  void boxesRefuseWhatBreaksTheSheet();
  void eightContestsWholeAndCategoryByKeys();
  void powerTypePair();
  void changingTheContest();
  void changeWithoutAFileDoesNothing();
  void okStoresAndSearches();
  void okWithAnotherContestsLog();
  void cancelAndEscapeStoreNothing();
  void overTheMainWindowsOwnContest();
  void aCodeTheContestNoLongerLists();
};

void TestFrmMyData::layoutListsAndPlacement() {
  MyDataFixture f;
  frmMain& w = f.open();
  writeContests(f);
  w.move(100, 80);
  frmMyData* d = f.dialog();
  QCOMPARE(d->windowTitle(), QStringLiteral("電子ログの設定"));
  QVERIFY(d->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
  QVERIFY(!d->isModal());
  QCOMPARE(d->pos(), w.pos() + QPoint(twipsToPx(300), twipsToPx(300)));
  QCOMPARE(w.session().Doc.State.OpenDialogNo, std::int16_t(DlgMyData));
  QCOMPARE(w.dialogs().find(DlgMyData), d);
  for (QMenu* m : {w.m_1, w.mnuEdit, w.mnuSortMnu, w.m11, w.m4})
    QVERIFY(!m->menuAction()->isEnabled());

  QStringList tabs;
  for (int i = 0; i < d->TabStrip1->count(); ++i) tabs << d->TabStrip1->tabText(i);
  QCOMPARE(tabs, (QStringList{"参加コンテストの設定", "無線局免許者の設定", "無線局の設定",
                              "送信ナンバーなどの設定"}));
  // every caption the dialog should carry is on it
  QStringList captions;
  for (QLabel* l : d->findChildren<QLabel*>()) captions << l->text();
  for (const char* c :
       {"コンテストの名称　(必須)", "参加部門　(必須)", "コールサイン　（必須）",
        "局免許者の氏名（社団の名称）　（必須）", "連絡先　（必須）", "電話番号",
        "Ｅ－メールアドレス", "局免許者の無線従事者資格　（必須）", "登録クラブ名称",
        "登録クラブ番号", "運用者のコールサイン(シングルオペでゲストオペの場合)",
        "マルチオペの場合の運用者のコールサイン、コールサインの無い場合は氏名 "
        "ジュニア、シルバーの場合の年齢",
        "運用地（移動局の場合）",
        "使用した設備（リグ名称（自作の場合は終段管名称・個数）空中線）", "最大空中線電力　（必須）",
        "移動運用局種係数", "使用電源", "宣誓文    (必須)", "JARL制定の都道府県支庁ナンバー",
        "JARL制定の市、郡、区　ナンバー", "ｺﾝﾃｽﾄ時の満年齢 (ALL ASIAN DXｺﾝﾃｽﾄ)",
        "ニューイヤーパーティーで送信する名前", "1.9MHz帯", "10.1GHz帯"})
    QVERIFY2(captions.contains(QString::fromUtf8(c)), c);
  QCOMPARE(d->Command1->text(), QStringLiteral("O K"));
  QCOMPARE(d->Command2->text(), QStringLiteral("ｷｬﾝｾﾙ"));
  QCOMPARE(d->Command3->text(), QStringLiteral("変　更"));
  QCOMPARE(d->Check1[0]->text(), QStringLiteral("定格出力"));
  QCOMPARE(d->Check1[1]->text(), QStringLiteral("実測出力"));

  QCOMPARE(d->Combo1->count(), 7);
  QCOMPARE(d->Combo1->itemText(0), QStringLiteral("第一級アマチュア無線技士"));
  QCOMPARE(d->Combo2->count(), 2);
  auto entries = [d](int band) {
    QStringList l;
    for (int i = 0; i < d->Combo3[static_cast<std::size_t>(band)]->count(); ++i)
      l << d->Combo3[static_cast<std::size_t>(band)]->itemText(i);
    return l;
  };
  QCOMPARE(entries(9), (QStringList{" ", "H", "M", "L", "P"}));
  QCOMPARE(entries(11), (QStringList{" ", "M", "L", "P"}));
  QCOMPARE(entries(13), (QStringList{" ", "P"}));

  QCOMPARE(d->Grid1->horizontalHeaderItem(0)->text(), QStringLiteral("名　　　称"));
  QCOMPARE(d->Grid1->horizontalHeaderItem(1)->text(), QStringLiteral("ｺｰﾄﾞﾅﾝﾊﾞｰ"));
  QCOMPARE(d->Grid1->columnWidth(0), twipsToPx(4935));
  QCOMPARE(d->Grid1->columnWidth(1), twipsToPx(1450));
  // no contest yet: the grid keeps one empty row
  QCOMPARE(d->Grid1->rowCount(), 1);
  QStringList files;
  for (int i = 0; i < d->File1->count(); ++i) files << d->File1->item(i)->text();
  QCOMPARE(files, (QStringList{"allja.cfg", "dqp.cfg"}));
  QVERIFY(!d->Command3->isEnabled());
  QVERIFY(!d->Label3->isVisible());
  QVERIFY(!d->Label4->isVisible());
  d->close();
}

void TestFrmMyData::loadsTheStoredData() {
  MyDataFixture f;
  frmMain& w = f.open();
  writeContests(f);
  w.session().Contest.CategoryList = {{"一", "A1", 0, 0, 0}, {"二", "B2", 0, 0, 0}};
  Settings& s = w.session().Ini;
  s.JarlContest = "テスト";
  s.JarlCategory = "二";
  s.JarlCateCode = "B2";
  s.JarlCallSign = "JA1ZZZ";
  s.JarlAddress = "東京都\r\n千代田区";
  s.JarlLicenseClass = "FCC EXTRA";
  s.JarlFdKeisu = 2;
  s.JarlPowerType = 1;
  s.JarlPwCode[0] = "H";
  s.JarlPwCode[13] = "";     // stored blank (trimmed by the settings reader)
  s.JarlPwCode[12] = "X";    // not a letter of the list: kept as it is
  s.JarlOath = "contest oath";
  s.JarlDqpOath = "dqp oath";
  frmMyData* d = f.dialog();
  QCOMPARE(d->Grid1->rowCount(), 2);
  QCOMPARE(d->Grid1->item(1, 0)->text(), QStringLiteral("二"));
  QCOMPARE(d->Grid1->item(1, 1)->text(), QStringLiteral("B2"));
  QCOMPARE(d->Label1->text(), QStringLiteral("テスト"));
  QCOMPARE(d->Label5->text(), QStringLiteral("二"));
  QCOMPARE(d->Label6->text(), QStringLiteral("B2"));
  QCOMPARE(d->Text1->text(), QStringLiteral("JA1ZZZ"));
  QCOMPARE(d->Text3->toPlainText(), QStringLiteral("東京都\n千代田区"));
  QCOMPARE(d->Combo1->currentText(), QStringLiteral("FCC EXTRA"));
  QCOMPARE(d->Combo2->currentText(), QStringLiteral("2"));
  QVERIFY(d->Check1[1]->isChecked());
  QVERIFY(!d->Check1[0]->isChecked());
  QCOMPARE(d->Combo3[0]->currentText(), QStringLiteral("H"));
  QCOMPARE(d->Combo3[13]->currentText(), QStringLiteral(" "));
  QCOMPARE(d->Combo3[12]->currentText(), QStringLiteral("X"));
  QCOMPARE(d->Text14->toPlainText(), QStringLiteral("contest oath"));
  d->close();

  // A digital QSO party shows and saves its own oath; the contest oath stays.
  w.session().Contest.DqpEnabled = 1;
  s.JarlFdKeisu = 5;  // not a coefficient of the list: shows "1"
  d = f.dialog();
  QCOMPARE(d->Combo2->currentText(), QStringLiteral("1"));
  QCOMPARE(d->Text14->toPlainText(), QStringLiteral("dqp oath"));
  d->Text14->setFocus();
  QTest::keyClick(d->Text14, Qt::Key_End, Qt::ControlModifier);
  QTest::keyClick(d->Text14, Qt::Key_Return);
  QTest::keyClicks(d->Text14, "line2");
  QTest::mouseClick(d->Command1, Qt::LeftButton);
  QCOMPARE(QString::fromStdString(s.JarlDqpOath), QStringLiteral("dqp oath\r\nline2"));
  QCOMPARE(s.JarlOath, std::string("contest oath"));
  QCOMPARE(s.JarlAddress, std::string("東京都\r\n千代田区"));
  QCOMPARE(s.JarlFdKeisu, std::int16_t(1));
  QCOMPARE(s.JarlPwCode[12], std::string("X"));
  QCOMPARE(s.JarlPwCode[13], std::string(" "));
}

void TestFrmMyData::keystrokeRules() {
  MyDataFixture f;
  f.open();
  frmMyData* d = f.dialog();
  d->TabStrip1->setCurrentIndex(1);
  QTest::keyClicks(d->Text1, "ja1abc/1");
  QCOMPARE(d->Text1->text(), QStringLiteral("JA1ABC/1"));
  QTest::keyClicks(d->Text2, "yamada");
  QCOMPARE(d->Text2->text(), QStringLiteral("yamada"));
  d->TabStrip1->setCurrentIndex(2);
  QTest::keyClicks(d->Text7, "ab-1");
  QCOMPARE(d->Text7->text(), QStringLiteral("AB-1"));
  QTest::keyClicks(d->Text8, "jh1xyz");
  QCOMPARE(d->Text8->text(), QStringLiteral("JH1XYZ"));
  // the power box: digits, backspace, ".", "K", "p", "m", "W" only
  QTest::keyClicks(d->Text12, "1w0 0.5kKPpMm-");
  QCOMPARE(d->Text12->text(), QStringLiteral("100.5Kpm"));
  QTest::keyClick(d->Text12, Qt::Key_Backspace);
  QCOMPARE(d->Text12->text(), QStringLiteral("100.5Kp"));
  QTest::keyClick(d->Text12, Qt::Key_Left);
  QTest::keyClick(d->Text12, Qt::Key_Delete);
  QCOMPARE(d->Text12->text(), QStringLiteral("100.5K"));
  // Enter in a box presses nothing
  QTest::keyClick(d->Text12, Qt::Key_Return);
  QVERIFY(d->isVisible());
  QTest::mouseClick(d->Command1, Qt::LeftButton);
  QCOMPARE(f.w->session().Ini.JarlCallSign, std::string("JA1ABC/1"));
  QCOMPARE(f.w->session().Ini.JarlPower, std::string("100.5K"));
  QCOMPARE(f.w->session().Ini.JarlClubNo, std::string("AB-1"));
}

// The power box as X11 delivers keys: control texts are never its to drop.
void TestFrmMyData::powerBoxKeepsTheEditingKeys() {
  MyDataFixture f;
  f.open();
  frmMyData* d = f.dialog();
  d->activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(d));
  d->TabStrip1->setCurrentIndex(2);
  d->Text12->setFocus();
  QTest::keyClicks(d->Text12, "100wkKm");
  QCOMPARE(d->Text12->text(), QStringLiteral("100Km"));
  x11Key(d->Text12, Qt::Key_Home);
  x11Key(d->Text12, Qt::Key_Delete);
  QCOMPARE(d->Text12->text(), QStringLiteral("00Km"));
  x11Key(d->Text12, Qt::Key_End);
  x11Key(d->Text12, Qt::Key_Backspace);
  QCOMPARE(d->Text12->text(), QStringLiteral("00K"));
  x11Key(d->Text12, Qt::Key_Left);
  x11Key(d->Text12, Qt::Key_Delete);
  QCOMPARE(d->Text12->text(), QStringLiteral("00"));
  x11Key(d->Text12, Qt::Key_A, Qt::ControlModifier);
  x11Key(d->Text12, Qt::Key_C, Qt::ControlModifier);
  x11Key(d->Text12, Qt::Key_End);
  x11Key(d->Text12, Qt::Key_V, Qt::ControlModifier);
  QCOMPARE(d->Text12->text(), QStringLiteral("0000"));
  // Enter presses nothing; Tab leaves the box
  x11Key(d->Text12, Qt::Key_Return);
  QVERIFY(d->isVisible());
  QVERIFY(f.w->session().Ini.JarlPower.empty());
  x11Key(d->Text12, Qt::Key_Tab);
  QVERIFY(QApplication::focusWidget() != d->Text12);
  // Esc closes the dialog, storing nothing
  d->Text12->setFocus();
  x11Key(d->Text12, Qt::Key_Escape);
  QVERIFY(!d->isVisible());
  QVERIFY(f.w->session().Ini.JarlPower.empty());
  QCOMPARE(f.w->session().Doc.State.OpenDialogNo, std::int16_t(0));
}

// "100W" as typed; a power the summary sheet would carry as 0 or as text
// is refused at O K, on the page that has the box.
void TestFrmMyData::powerIsANumberWithAnOptionalW() {
  MyDataFixture f;
  f.open();
  frmMyData* d = f.dialog();
  d->TabStrip1->setCurrentIndex(2);
  QTest::keyClicks(d->Text12, "100W");
  QCOMPARE(d->Text12->text(), QStringLiteral("100W"));
  // a paste with a character no power has is refused whole, with a notice
  d->Text12->clear();
  QGuiApplication::clipboard()->setText(QStringLiteral("1e-9"));
  d->Text12->setFocus();
  QTest::keyClick(d->Text12, Qt::Key_V, Qt::ControlModifier);
  QCOMPARE(d->Text12->text(), QString());
  QCOMPARE(d->Label7->text(), QStringLiteral("最大空中線電力には数字と単位（K、m、W）だけを入力できます"));

  const std::size_t told = f.ui.messages.size();
  for (const char* bad : {"0.0001", "1.2.3", "W", "5p"}) {
    d->Text12->setText(QString::fromUtf8(bad));
    d->TabStrip1->setCurrentIndex(0);
    QTest::mouseClick(d->Command1, Qt::LeftButton);
    QVERIFY2(d->isVisible(), bad);
    QCOMPARE(d->TabStrip1->currentIndex(), 2);
    QVERIFY2(f.w->session().Ini.JarlPower.empty(), bad);
  }
  QCOMPARE(f.ui.messages.size(), told + 4);
  QVERIFY(f.texts().back().startsWith(QStringLiteral("最大空中線電力は数字で")));
  QCOMPARE(f.texts()[static_cast<int>(told)],
           QStringLiteral("最大空中線電力が 0 W です。1 mW 以上を入力してください"));
  d->Text12->setText(QStringLiteral("100W"));
  QTest::mouseClick(d->Command1, Qt::LeftButton);
  QVERIFY(!d->isVisible());
  QCOMPARE(f.w->session().Ini.JarlPower, std::string("100W"));
}

// "<", ">" and control characters, typed or pasted, never reach the summary
// sheet; line ends stay where a box has several lines.
void TestFrmMyData::boxesRefuseWhatBreaksTheSheet() {
  MyDataFixture f;
  f.open();
  frmMyData* d = f.dialog();
  d->TabStrip1->setCurrentIndex(1);
  d->Text2->setFocus();
  QTest::keyClicks(d->Text2, "a<b>c");
  QCOMPARE(d->Text2->text(), QStringLiteral("abc"));
  QCOMPARE(d->Label7->text(), QStringLiteral("「<」と「>」はサマリーシートの区切りになるため入力できません"));
  QGuiApplication::clipboard()->setText(QStringLiteral("d\te\x01" "f"));
  QTest::keyClick(d->Text2, Qt::Key_V, Qt::ControlModifier);
  QCOMPARE(d->Text2->text(), QStringLiteral("abcdef"));
  QCOMPARE(d->Label7->text(), QStringLiteral("制御文字（タブや改行など）は入力できません"));
  d->Text3->setFocus();
  QGuiApplication::clipboard()->setText(QStringLiteral("東京都\n<千代田区>\t1"));
  QTest::keyClick(d->Text3, Qt::Key_V, Qt::ControlModifier);
  QCOMPARE(d->Text3->toPlainText(), QStringLiteral("東京都\n千代田区1"));
  // Backspace and the other editing keys still work
  d->Text2->setFocus();
  QTest::keyClick(d->Text2, Qt::Key_Backspace);
  QCOMPARE(d->Text2->text(), QStringLiteral("abcde"));
  // what a hand-edited settings file brought in is refused at O K
  d->Text13->setText(QStringLiteral("<発電機>"));
  QTest::mouseClick(d->Command1, Qt::LeftButton);
  QVERIFY(d->isVisible());
  QCOMPARE(d->TabStrip1->currentIndex(), 2);
  QVERIFY(f.texts().back().startsWith(QStringLiteral("「使用電源」: ")));
  d->Text13->setText(QStringLiteral("発電機"));
  QTest::mouseClick(d->Command1, Qt::LeftButton);
  QVERIFY(!d->isVisible());
  QCOMPARE(f.w->session().Ini.JarlName, std::string("abcde"));
  QCOMPARE(f.w->session().Ini.JarlAddress, std::string("東京都\r\n千代田区1"));
}

void TestFrmMyData::eightContestsWholeAndCategoryByKeys() {
  MyDataFixture f;
  frmMain& w = f.open();
  const char* names[] = {"(1)ＡＬＬ ＪＡ コンテスト", "(2)6M and Down コンテスト",
                         "(3)フィールドデーコンテスト", "(4)全市全郡コンテスト",
                         "(5)ALL ASIAN DX コンテスト(電信)", "(6)ALL ASIAN DX コンテスト(電話)",
                         "(7)ＱＳＯパーティー", "(8)デジタルＱＳＯパーティー"};
  for (const char* n : names)
    f.writeCfg(std::string(n) + ".cfg",
               "ContestName=X\nContestNo=1\nStdCategory=電信電話部門シングルオペオールバンド;XAH;0;0;0\n");
  w.session().Contest.CategoryList = {{"電信電話部門シングルオペオールバンド", "XAH", 0, 0, 0},
                      {"電信部門シングルオペ7MHzバンド", "C7M", 2, 3, 0},
                      {"電信電話部門マルチオペ", "XMM", 0, 0, 1}};
  frmMyData* d = f.dialog();
  QVERIFY(QTest::qWaitForWindowExposed(d));
  QCOMPARE(d->File1->count(), 8);
  const QRect view = d->File1->viewport()->rect();
  for (int i = 0; i < 8; ++i) {
    const QRect item = d->File1->visualItemRect(d->File1->item(i));
    QVERIFY2(view.contains(item), qPrintable(d->File1->item(i)->text()));
    QVERIFY2(d->File1->fontMetrics().horizontalAdvance(d->File1->item(i)->text()) <= view.width(),
             qPrintable(d->File1->item(i)->text()));
  }
  // a file name shown beside the list leaves its width
  const int width = d->File1->width();
  QTest::mouseClick(d->File1->viewport(), Qt::LeftButton, {}, rowCentre(d->File1, 4));
  QCOMPARE(d->Label2->text(), QString::fromUtf8(names[4]) + QStringLiteral(".cfg"));
  QCoreApplication::processEvents();
  QCOMPARE(d->File1->width(), width);
  // arrows and Enter (with its X11 text) choose a category as a click does
  d->Grid1->setFocus();
  d->Grid1->setCurrentCell(0, 0);
  x11Key(d->Grid1, Qt::Key_Down);
  x11Key(d->Grid1, Qt::Key_Down);
  x11Key(d->Grid1, Qt::Key_Return);
  QCOMPARE(d->Label5->text(), QStringLiteral("電信電話部門マルチオペ"));
  QCOMPARE(d->Label6->text(), QStringLiteral("XMM"));
  QVERIFY(d->isVisible());
  x11Key(d->Grid1, Qt::Key_Up);
  x11Key(d->Grid1, Qt::Key_Enter);
  QCOMPARE(d->Label5->text(), QStringLiteral("電信部門シングルオペ7MHzバンド"));
  QCOMPARE(d->Label6->text(), QStringLiteral("C7M"));
}

void TestFrmMyData::powerTypePair() {
  MyDataFixture f;
  f.open();
  frmMyData* d = f.dialog();
  d->TabStrip1->setCurrentIndex(2);
  QVERIFY(d->Check1[0]->isChecked());
  QTest::mouseClick(d->Check1[1], Qt::LeftButton);
  QVERIFY(d->Check1[1]->isChecked());
  QVERIFY(!d->Check1[0]->isChecked());
  d->Check1[0]->setFocus();
  QTest::keyClick(d->Check1[0], Qt::Key_Space);
  QVERIFY(d->Check1[0]->isChecked());
  QVERIFY(!d->Check1[1]->isChecked());
  QTest::mouseClick(d->Check1[1], Qt::LeftButton);
  QTest::mouseClick(d->Command1, Qt::LeftButton);
  QCOMPARE(f.w->session().Ini.JarlPowerType, std::int16_t(1));
}

void TestFrmMyData::changingTheContest() {
  MyDataFixture f;
  frmMain& w = f.open();
  writeContests(f);
  w.session().Ini.JarlCategory = "old";
  w.session().Ini.JarlCateCode = "OLD";
  w.session().Ini.CateBand = 9;
  w.session().Ini.JarlOath = "contest oath";
  w.session().Ini.JarlDqpOath = "dqp oath";
  frmMyData* d = f.dialog();
  // typed on another page before the change: kept
  d->TabStrip1->setCurrentIndex(1);
  QTest::keyClicks(d->Text1, "jr1aaa");
  d->TabStrip1->setCurrentIndex(0);

  QTest::mouseClick(d->File1->viewport(), Qt::LeftButton, {}, rowCentre(d->File1, 0));
  QCOMPARE(d->Label2->text(), QStringLiteral("allja.cfg"));
  QVERIFY(d->Command3->isEnabled());
  QTest::mouseClick(d->Command3, Qt::LeftButton);
  const std::string path = f.home() + "/Cfg/allja.cfg";
  QCOMPARE(w.session().Doc.State.CfgFileName, path);
  QCOMPARE(w.StatusPanel[0]->text(), QStringLiteral("ALL JA"));
  QCOMPARE(d->Grid1->rowCount(), 3);
  QCOMPARE(d->Grid1->item(1, 1)->text(), QStringLiteral("C7M"));
  QCOMPARE(d->Label1->text(), QStringLiteral("ALL JAコンテスト"));
  QVERIFY(d->Label5->text().isEmpty());
  QVERIFY(d->Label6->text().isEmpty());
  QVERIFY(d->Label2->text().isEmpty());
  QVERIFY(!d->Command3->isEnabled());
  QVERIFY(d->Label3->isVisible());
  QVERIFY(d->Label4->isVisible());
  QCOMPARE(d->Label3->text(), QStringLiteral("コンテストが変更されました"));
  QCOMPARE(d->Label4->text(), QStringLiteral("参加部門を選択してください"));
  QCOMPARE(d->Text1->text(), QStringLiteral("JR1AAA"));

  // a click on a category row fills the labels and hides the notices
  const QRect cell = d->Grid1->visualRect(d->Grid1->model()->index(1, 0));
  QTest::mouseClick(d->Grid1->viewport(), Qt::LeftButton, {}, cell.center());
  QCOMPARE(d->Label5->text(), QStringLiteral("電信部門シングルオペ7MHzバンド"));
  QCOMPARE(d->Label6->text(), QStringLiteral("C7M"));
  QVERIFY(!d->Label3->isVisible());
  QVERIFY(!d->Label4->isVisible());

  // a double click changes at once; the party's oath replaces the contest's
  QCOMPARE(d->Text14->toPlainText(), QStringLiteral("contest oath"));
  doubleClick(d->File1->viewport(), rowCentre(d->File1, 1));
  QCOMPARE(w.session().Doc.State.CfgFileName, f.home() + "/Cfg/dqp.cfg");
  QCOMPARE(d->Grid1->rowCount(), 1);
  QCOMPARE(d->Text14->toPlainText(), QStringLiteral("dqp oath"));
  QVERIFY(d->Label6->text().isEmpty());

  // the change holds even when the dialog is then cancelled
  QTest::mouseClick(d->Command2, Qt::LeftButton);
  QCOMPARE(w.session().Doc.State.CfgFileName, f.home() + "/Cfg/dqp.cfg");
  QCOMPARE(w.session().Contest.DqpEnabled, std::int16_t(1));
  QCOMPARE(w.session().Ini.JarlCateCode, std::string("OLD"));
  QCOMPARE(w.session().Ini.CateBand, std::int16_t(9));
  QCOMPARE(w.session().Ini.JarlCallSign, std::string());
}

void TestFrmMyData::changeWithoutAFileDoesNothing() {
  MyDataFixture f;
  frmMain& w = f.open();
  writeContests(f);
  frmMyData* d = f.dialog();
  w.StatusPanel[0]->setText(QStringLiteral("-"));
  d->ChangeContest();  // nothing picked
  QCOMPARE(w.StatusPanel[0]->text(), QStringLiteral("-"));
  QVERIFY(w.session().Doc.State.CfgFileName.empty());
  QVERIFY(!d->Label3->isVisible());
  // a double click on the list's empty space picks nothing either
  doubleClick(d->File1->viewport(), QPoint(5, d->File1->viewport()->height() - 3));
  QCOMPARE(w.StatusPanel[0]->text(), QStringLiteral("-"));
  d->close();
}

void TestFrmMyData::okStoresAndSearches() {
  MyDataFixture f;
  frmMain& w = f.open();
  w.session().Contest.ContestNo = 1;
  w.session().Contest.CategoryList = {{"一", "A1", 2, 3, 1}};
  const std::size_t shown = f.ui.messages.size();
  f.markUnsearched();
  frmMyData* d = f.dialog();
  QSignalSpy destroyed(d, &QObject::destroyed);
  const QRect cell = d->Grid1->visualRect(d->Grid1->model()->index(0, 0));
  QTest::mouseClick(d->Grid1->viewport(), Qt::LeftButton, {}, cell.center());
  QTest::mouseClick(d->Command1, Qt::LeftButton);
  // an empty log: no question and no search
  QCOMPARE(f.ui.messages.size(), shown);
  QVERIFY(!f.searched());
  QCOMPARE(w.session().Ini.JarlCateCode, std::string("A1"));
  QCOMPARE(w.session().Ini.CateMode, std::int16_t(2));
  QCOMPARE(w.session().Ini.CateBand, std::int16_t(3));
  QCOMPARE(w.session().Ini.CateMlt, std::int16_t(1));
  // the settings file holds them at once, not only after a clean exit
  Settings kept;
  QCOMPARE(IniRead(f.home() + "/Tamarack.ini", kept), IniReadResult::Ok);
  QCOMPARE(kept.JarlCateCode, std::string("A1"));
  QCOMPARE(w.session().Doc.State.OpenDialogNo, std::int16_t(0));
  QVERIFY(w.m4->menuAction()->isEnabled());
  QTRY_COMPARE(destroyed.count(), 1);

  // a log of this contest: no question, then the search
  f.fillLog(3);
  w.session().Doc.State.LogTestNo = 1;
  f.markUnsearched();
  d = f.dialog();
  QTest::mouseClick(d->Command1, Qt::LeftButton);
  QCOMPARE(f.ui.messages.size(), shown);
  QVERIFY(f.searched());
  QCOMPARE(w.session().Doc.Log.count(), 3);
}

void TestFrmMyData::okWithAnotherContestsLog() {
  MyDataFixture f;
  frmMain& w = f.open();
  w.session().Contest.ContestNo = 2;
  f.fillLog(3);
  w.session().Doc.State.LogTestNo = 1;

  // No: the log stays and is searched under the new rules
  f.ui.answers.push_back(Answer::No);
  f.markUnsearched();
  QPointer<frmMyData> d = f.dialog();
  QTest::mouseClick(d->Command1, Qt::LeftButton);
  QCOMPARE(f.texts().last(), QStringLiteral("コンテストが変更されました。ログデータを破棄しますか？"));
  QCOMPARE(f.ui.messages.back().buttons, Buttons::YesNo);
  QCOMPARE(w.session().Doc.Log.count(), 3);
  QVERIFY(f.searched());
  QVERIFY(!d || !d->isVisible());

  // Yes: the log is discarded and not searched
  f.ui.answers.push_back(Answer::Yes);
  f.markUnsearched();
  d = f.dialog();
  QTest::mouseClick(d->Command1, Qt::LeftButton);
  QVERIFY(!f.searched());
  QCOMPARE(w.session().Doc.Log.count(), 0);
}

void TestFrmMyData::cancelAndEscapeStoreNothing() {
  MyDataFixture f;
  frmMain& w = f.open();
  frmMyData* d = f.dialog();
  d->TabStrip1->setCurrentIndex(1);
  QTest::keyClicks(d->Text1, "ja1xyz");
  QTest::mouseClick(d->Command2, Qt::LeftButton);
  QVERIFY(w.session().Ini.JarlCallSign.empty());
  QCOMPARE(w.session().Doc.State.OpenDialogNo, std::int16_t(0));
  QVERIFY(w.m_1->menuAction()->isEnabled());

  d = f.dialog();
  d->TabStrip1->setCurrentIndex(1);
  QTest::keyClicks(d->Text1, "ja1xyz");
  QTest::keyClick(d->Text1, Qt::Key_Escape);
  QVERIFY(!d->isVisible());
  QVERIFY(w.session().Ini.JarlCallSign.empty());
  QCOMPARE(w.session().Doc.State.OpenDialogNo, std::int16_t(0));

  // Esc in a multi-line box closes too; so does Esc on the main window
  d = f.dialog();
  d->TabStrip1->setCurrentIndex(1);
  QTest::keyClick(d->Text3, Qt::Key_Escape);
  QVERIFY(!d->isVisible());
  d = f.dialog();
  QTest::keyClick(w.Grid1, Qt::Key_Escape);
  QVERIFY(!d->isVisible());
  QCOMPARE(w.session().Doc.State.OpenDialogNo, std::int16_t(0));
  QVERIFY(w.m11->menuAction()->isEnabled());
  QVERIFY(w.session().Ini.JarlCallSign.empty());
}

void TestFrmMyData::overTheMainWindowsOwnContest() {
  MyDataFixture f;
  frmMain& w = f.open();
  writeContests(f);
  frmMyData* d = frmMyData::open(w);
  QCOMPARE(frmMyData::open(w), d);  // one at a time
  QTest::mouseClick(d->File1->viewport(), Qt::LeftButton, {}, rowCentre(d->File1, 0));
  QTest::mouseClick(d->Command3, Qt::LeftButton);
  QCOMPARE(w.session().Contest.ContestNo, std::int16_t(1));
  QCOMPARE(w.session().Contest.CategoryCount(), std::int16_t(3));
  QCOMPARE(w.StatusPanel[0]->text(), QStringLiteral("ALL JA"));
  QCOMPARE(d->Grid1->rowCount(), 3);
  const QRect cell = d->Grid1->visualRect(d->Grid1->model()->index(2, 0));
  QTest::mouseClick(d->Grid1->viewport(), Qt::LeftButton, {}, cell.center());
  QTest::mouseClick(d->Command1, Qt::LeftButton);
  QCOMPARE(w.session().Ini.JarlContest, std::string("ALL JAコンテスト"));
  QCOMPARE(w.session().Ini.JarlCateCode, std::string("XMM"));
  QCOMPARE(w.session().Ini.CateMlt, std::int16_t(1));
  QCOMPARE(w.session().Doc.State.CfgFileName, f.home() + "/Cfg/allja.cfg");
  QCOMPARE(w.session().Doc.State.OpenDialogNo, std::int16_t(0));

  // a log of another contest, discarded through the main window's file commands
  f.fillLog(2);
  w.session().Doc.State.LogTestNo = 8;
  w.session().Doc.State.LogFileName = f.home() + "/Log/x.tmk";
  f.ui.answers.push_back(Answer::Yes);
  d = frmMyData::open(w);
  QTest::mouseClick(d->Command1, Qt::LeftButton);
  QCOMPARE(f.texts().last(), QStringLiteral("コンテストが変更されました。ログデータを破棄しますか？"));
  QCOMPARE(w.session().Doc.Log.count(), 0);
  QVERIFY(w.session().Doc.State.LogFileName.empty());
}

// A settings file from before the shipped definitions followed JARL's rules:
// "CAH" is no category of ALL ASIAN DX.
void TestFrmMyData::aCodeTheContestNoLongerLists() {
  MyDataFixture f;
  frmMain& w = f.open();
  const std::string name = "(5)ALL ASIAN DX コンテスト(電信).cfg";
  std::filesystem::copy_file(std::string(TAMARACK_DATA_DIR) + "/Cfg/" + name,
                             f.home() + "/Cfg/" + name);
  w.CfgRead(f.home() + "/Cfg/" + name);
  Settings& s = w.session().Ini;
  s.JarlCategory = "シングルオペ 電信 オールバンド ハイパワー";
  s.JarlCateCode = "CAH";
  s.CateMode = 2;
  s.CateBand = 3;
  s.CateMlt = 1;
  frmMyData* d = f.dialog();
  QCOMPARE(d->Grid1->rowCount(), 22);
  QCOMPARE(d->Label5->text(), QStringLiteral("シングルオペ 電信 オールバンド ハイパワー"));
  QCOMPARE(d->Label6->text(), QStringLiteral("CAH"));
  QVERIFY(d->Label4->isVisible());
  QVERIFY(!d->Label3->isVisible());
  QVERIFY(d->Grid1->selectedItems().isEmpty());

  // Kept as it is until the operator picks another.
  QTest::mouseClick(d->Command1, Qt::LeftButton);
  QCOMPARE(s.JarlCateCode, std::string("CAH"));
  QCOMPARE(s.CateBand, std::int16_t(3));
  QCOMPARE(s.CateMlt, std::int16_t(1));

  d = f.dialog();
  d->Grid1->scrollToItem(d->Grid1->item(13, 0));
  const QRect cell = d->Grid1->visualRect(d->Grid1->model()->index(13, 0));
  QTest::mouseClick(d->Grid1->viewport(), Qt::LeftButton, {}, cell.center());
  QCOMPARE(d->Label6->text(), QStringLiteral("SOABLP"));
  QVERIFY(!d->Label4->isVisible());
  QTest::mouseClick(d->Command1, Qt::LeftButton);
  QCOMPARE(s.JarlCategory, std::string("シングルオペ オールバンド ローパワー"));
  QCOMPARE(s.JarlCateCode, std::string("SOABLP"));
  QCOMPARE(s.CateMode, std::int16_t(2));
  QCOMPARE(s.CateBand, std::int16_t(0));
  QCOMPARE(s.CateMlt, std::int16_t(0));

  // The chosen row is marked when the dialog opens again, and no longer
  // once another contest is picked, even one with the same code.
  const std::string phone = "(6)ALL ASIAN DX コンテスト(電話).cfg";
  std::filesystem::copy_file(std::string(TAMARACK_DATA_DIR) + "/Cfg/" + phone,
                             f.home() + "/Cfg/" + phone);
  d = f.dialog();
  QVERIFY(!d->Label4->isVisible());
  QCOMPARE(d->Grid1->selectedItems().size(), 2);
  QCOMPARE(d->Grid1->selectedItems().front()->row(), 13);
  d->File1->setCurrentRow(1);
  QCOMPARE(d->Label2->text(), toQ(phone));
  QTest::mouseClick(d->Command3, Qt::LeftButton);
  QCOMPARE(d->Grid1->item(13, 1)->text(), QStringLiteral("SOABLP"));
  QVERIFY(d->Grid1->selectedItems().isEmpty());
  QVERIFY(d->Label6->text().isEmpty());
  d->close();

  // The QSO party's categories have no codes: the name tells them apart.
  f.writeCfg("nyp.cfg", "ContestNo=7\nNYPEnabled=1\nStdCategory=アマチュア局;;0;0;0\n"
                        "StdCategory=SWL;;0;0;0\n");
  w.CfgRead(f.home() + "/Cfg/nyp.cfg");
  s.JarlCategory = "SWL";
  s.JarlCateCode = "";
  d = f.dialog();
  QVERIFY(!d->Label4->isVisible());
  QCOMPARE(d->Grid1->selectedItems().front()->row(), 1);
  d->close();
}

QTEST_MAIN(TestFrmMyData)
#include "tst_frmmydata.moc"

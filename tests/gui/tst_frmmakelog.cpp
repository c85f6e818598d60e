// The electronic-log command and the log-making dialog over a real main window.
#include <QClipboard>
#include <QDir>
#include <QGuiApplication>
#include <QPointer>
#include <QtTest>

#include "guitestsupport.h"
#include "log/cp932.h"
#include "log/fileio.h"
#include "entry/gui/frmcabreadset.h"
#include "log/gui/qtui.h"
#include "output/gui/desktop.h"
#include "output/gui/frmcfm.h"
#include "output/gui/frmchecklog.h"
#include "output/gui/frmmakelog.h"
#include "output/gui/frmqtc.h"

class TestFrmMakeLog : public QObject {
  Q_OBJECT
 private slots:
  void init();
  void commandSavesThenChecksTheSummarySheet();
  void commandOpensTheCheckBeforeSubmissionFirst();
  void loadAndEnablingRules();
  void dateStepsAcrossMonthAndYearEnds();
  void signatureAndEmptyLogAreRefused();
  void writesTheTmqAndOpensTheEditor();
  void aFailedWriteStopsBeforeEditorAndMail();
  void tickedAddressOpensTheMailDialog();
  void uploadPageAfterWriting();
  void aContestAddressTypedIsKeptInTheDefinition();
  void escAndMainEscClose();
  void formatChoiceStartsAtTheDefinitions();
  void r21NeedsItsItemsAndOffersR10ForAFullWidthQso();
  void partyCategoryWithoutCodeIsComplete();

 private:
  std::vector<std::string> edited, browsed;
};

namespace {
void fillStation(frmMain& w) {
  fillStationData(w.session().Ini);
  w.session().Ini.JarlEmail = "ja1zzz@example.jp";
  w.session().Contest.ContestName = "ＡＬＬ ＪＡ コンテスト";
  w.session().Contest.SendMailAddress = "contest@example.org";
  w.session().Contest.TestMailAddress = "test@example.org";
  w.session().Contest.BandEnabled[2] = 1;
}
// The command, past the check before submission when that opens.
void makeLogCommand(frmMain& w) {
  findAction(&w, "mnuMakeJaeLog")->trigger();
  if (auto* c = qobject_cast<frmCheckLog*>(w.dialogs().find(DlgCheckLog))) c->Command1->click();
}
frmMakeLog* openDialog(MainFixture& f, int qsos = 3) {
  frmMain& w = f.open();
  fillStation(w);
  f.fillLog(qsos);
  w.session().Doc.State.LogDirty = 0;
  makeLogCommand(w);
  return qobject_cast<frmMakeLog*>(w.dialogs().find(DlgMakeLog));
}
void click(QAbstractButton* b) { QTest::mouseClick(b, Qt::LeftButton); }
}  // namespace

void TestFrmMakeLog::init() {
  edited.clear();
  browsed.clear();
  desktop::launchers().editor = [this](const std::string& p) {
    edited.push_back(p);
    return std::string();
  };
  desktop::launchers().browser = [this](const std::string& u) {
    browsed.push_back(u);
    return std::string();
  };
}

void TestFrmMakeLog::commandSavesThenChecksTheSummarySheet() {
  MainFixture f;
  frmMain& w = f.open();
  fillStation(w);
  f.fillLog(2);
  w.session().Doc.State.LogDirty = 1;
  QVERIFY(w.mnuMakeJaeLog->isEnabled());
  // Yes to the save, then the save dialog cancelled: the command stops.
  f.ui.messages.clear();
  f.ui.answers = {Answer::Yes};
  w.mnuMakeJaeLog->trigger();
  QCOMPARE(f.texts(), QStringList{"ログを保存しますか？"});
  QCOMPARE(f.ui.messages[0].title, std::string("ログの保存"));
  QCOMPARE(f.ui.messages[0].buttons, Buttons::YesNo);
  QCOMPARE(f.ui.dialogs.size(), std::size_t(1));
  QCOMPARE(f.ui.dialogs[0].initialDir, f.home() + "/Log/");
  QCOMPARE(w.session().Doc.State.OpenDialogNo, std::int16_t(0));

  // Yes and a name: saved as .tmk, then (past the check) the dialog.
  f.ui.answers = {Answer::Yes};
  f.ui.files = {f.home() + "/Log/contest.txt"};
  makeLogCommand(w);
  QCOMPARE(w.session().Doc.State.LogFileName, f.home() + "/Log/contest.tmk");
  QVERIFY(fileio::exists(f.home() + "/Log/contest.tmk"));
  QCOMPARE(w.session().Doc.State.LogDirty, std::int16_t(0));
  QCOMPARE(w.StatusPanel[2]->text(), toQ(f.home() + "/Log/contest.tmk"));
  QPointer<frmMakeLog> d = qobject_cast<frmMakeLog*>(w.dialogs().find(DlgMakeLog));
  QVERIFY(d);
  d->close();

  // No to the save: straight on; a missing item opens the check instead.
  w.session().Doc.State.LogDirty = 1;
  w.session().Ini.JarlPower = "  ";
  f.ui.answers = {Answer::No};
  w.mnuMakeJaeLog->trigger();
  QVERIFY(!w.dialogs().find(DlgMakeLog));
  QPointer<frmQTC> q = qobject_cast<frmQTC*>(w.dialogs().find(DlgQTC));
  QVERIFY(q);
  QCOMPARE(q->Label13->text(), QStringLiteral("未設定"));
  q->close();
  // The oath of the contest kind counts.
  w.session().Ini.JarlPower = "50";
  w.session().Contest.NYPEnabled = 1;
  w.session().Ini.JarlNypOath = " ";
  f.ui.answers = {Answer::No};
  w.mnuMakeJaeLog->trigger();
  QVERIFY(w.dialogs().find(DlgQTC));
  w.dialogs().find(DlgQTC)->close();
}

void TestFrmMakeLog::commandOpensTheCheckBeforeSubmissionFirst() {
  MainFixture f;
  frmMain& w = f.open();
  fillStation(w);
  f.fillLog(3);
  w.session().Doc.State.LogDirty = 0;
  // The sample QSOs carry no numbers: the check finds errors and opens
  // before the log-making dialog.
  w.mnuMakeJaeLog->trigger();
  QPointer<frmCheckLog> c = qobject_cast<frmCheckLog*>(w.dialogs().find(DlgCheckLog));
  QVERIFY(c);
  QVERIFY(!w.dialogs().find(DlgMakeLog));
  QVERIFY(check::HasError(c->findings()));
  QCOMPARE(w.session().Doc.State.OpenDialogNo, std::int16_t(DlgCheckLog));
  QVERIFY(!w.m_1->menuAction()->isEnabled());

  // A finding of QSO 2: its grid row selected, the edit window open on it.
  QTreeWidgetItem* second = nullptr;
  for (int g = 0; g < c->List1->topLevelItemCount() && !second; ++g)
    for (int i = 0; i < c->List1->topLevelItem(g)->childCount(); ++i)
      if (const check::Finding* x = c->findingOf(c->List1->topLevelItem(g)->child(i)); x && x->qso == 2)
        second = c->List1->topLevelItem(g)->child(i);
  QVERIFY(second);
  c->List1->setCurrentItem(second);
  QTest::keyClick(c->List1, Qt::Key_Return);
  QTRY_VERIFY(!c);
  QCOMPARE(w.Grid1->currentIndex().row(), 1);
  QCOMPARE(w.session().Doc.State.SelRow, std::int16_t(2));
  QWidget* edit = w.dialogs().find(DlgEdit);
  QVERIFY(edit && edit->isVisible());
  QCOMPARE(w.session().Doc.State.OpenDialogNo, std::int16_t(DlgEdit));
  edit->close();

  // Its own menu item, beside the command.
  QVERIFY(w.mnuCheckLog->isEnabled());
  const QList<QAction*> file = w.m_1->actions();
  QCOMPARE(file.indexOf(w.mnuCheckLog) + 1, file.indexOf(w.mnuMakeJaeLog));
  w.mnuCheckLog->trigger();
  c = qobject_cast<frmCheckLog*>(w.dialogs().find(DlgCheckLog));
  QVERIFY(c);
  c->close();

  // A log the check finds nothing in goes straight to the dialog.
  ContestDefinition& def = w.session().Contest;
  def.NYPEnabled = 1;
  def.ModeEnabled[3] = 1;
  for (int k = 1; k <= w.session().Doc.Log.count(); ++k) {
    QsoRecord& r = w.session().Doc.Log[k];
    r.SentRst = "599";
    r.SentNo = "10";
    r.RcvdRst = "599";
    r.RcvdNo = "20";
  }
  const std::vector<check::Finding> none = frmCheckLog::Findings(w);
  QVERIFY2(none.empty(), none.empty() ? "" : none[0].text.c_str());
  w.mnuMakeJaeLog->trigger();
  QVERIFY(!w.dialogs().find(DlgCheckLog));
  QVERIFY(w.dialogs().find(DlgMakeLog));
  w.dialogs().find(DlgMakeLog)->close();
}

void TestFrmMakeLog::loadAndEnablingRules() {
  MainFixture f;
  QPointer<frmMakeLog> d = openDialog(f);
  frmMain& w = *f.w;
  QVERIFY(d);
  QCOMPARE(d->windowTitle(), QStringLiteral("電子ログの作成とE-メール送信"));
  QCOMPARE(w.session().Doc.State.OpenDialogNo, std::int16_t(7));
  QVERIFY(d->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
  QVERIFY(!w.m_1->menuAction()->isEnabled());
  QCOMPARE(d->pos(), w.pos() + QPoint(twipsToPx(500), twipsToPx(500)));
  QCOMPARE(d->Label2->text(), QStringLiteral("contest@example.org"));
  QCOMPARE(d->Label4->text(), QStringLiteral("test@example.org"));
  QCOMPARE(d->Text1->text(), QStringLiteral("ja1zzz@example.jp"));
  QCOMPARE(d->Label7->text(), QStringLiteral("2026年12月07日"));
  QCOMPARE(d->Check1->text(), QStringLiteral("電子ログを作成してからJARLへE-メールで送信(提出)する "));
  QCOMPARE(d->Check2->text(), QStringLiteral("電子ログを作成してからJARLのﾃｽﾄﾒｰﾙｱﾄﾞﾚｽへ送信する "));
  QCOMPARE(d->Check3->text(), QStringLiteral("自分のメールアドレスに電子ログのコピーを送信する"));
  QCOMPARE(d->Command1->text(), QStringLiteral("電子ログ作成"));
  QCOMPARE(d->Command2->text(), QStringLiteral("キャンセル"));
  QVERIFY(d->Command3->isHidden());
  QCOMPARE(d->focusWidget(), d->Text3);
  // The copy box goes with a ticked address box and an own address.
  QVERIFY(d->Check1->isEnabled());
  QVERIFY(d->Check2->isEnabled());
  QVERIFY(!d->Check3->isEnabled());
  click(d->Check1);
  QVERIFY(d->Check3->isEnabled());
  click(d->Check2);
  click(d->Check1);
  QVERIFY(d->Check3->isEnabled());
  click(d->Check2);
  QVERIFY(!d->Check3->isEnabled());
  click(d->Check2);
  d->Text1->clear();
  QVERIFY(!d->Check3->isEnabled());
  QTest::keyClicks(d->Text1, "me@example.jp");
  QVERIFY(d->Check3->isEnabled());
  d->close();
  QCOMPARE(w.session().Doc.State.OpenDialogNo, std::int16_t(0));
  QVERIFY(w.m_1->menuAction()->isEnabled());

  // Blank addresses cannot be ticked.
  w.session().Contest.SendMailAddress = " ";
  w.session().Contest.TestMailAddress.clear();
  w.session().Ini.MailAndMe = 1;
  d = frmMakeLog::open(w);
  QVERIFY(!d->Check1->isEnabled());
  QVERIFY(!d->Check2->isEnabled());
  QVERIFY(d->Check3->isChecked());
  QVERIFY(!d->Check3->isEnabled());
  d->close();
}

void TestFrmMakeLog::dateStepsAcrossMonthAndYearEnds() {
  MainFixture f;
  f.clock.set(ole::fromDateTime(2026, 12, 31, 23, 0, 0));
  QPointer<frmMakeLog> d = openDialog(f);
  QCOMPARE(d->Label7->text(), QStringLiteral("2026年12月31日"));
  click(d->UpDown1->upButton);
  QCOMPARE(d->Label7->text(), QStringLiteral("2027年01月01日"));
  click(d->UpDown1->downButton);
  click(d->UpDown2->upButton);
  QCOMPARE(d->Label7->text(), QStringLiteral("2027年01月31日"));
  click(d->UpDown2->upButton);
  QCOMPARE(d->Label7->text(), QStringLiteral("2027年02月28日"));
  click(d->UpDown3->downButton);
  click(d->UpDown3->downButton);
  click(d->UpDown3->downButton);
  QCOMPARE(d->Label7->text(), QStringLiteral("2024年02月28日"));
  click(d->UpDown1->upButton);
  QCOMPARE(d->Label7->text(), QStringLiteral("2024年02月29日"));
  click(d->UpDown3->upButton);
  QCOMPARE(d->Label7->text(), QStringLiteral("2025年02月28日"));
  // The date is stored when the log is made (here refused for the signature).
  click(d->Command1);
  QCOMPARE(f.w->session().Doc.State.TodayText, std::string("2025年02月28日"));
  d->close();
}

void TestFrmMakeLog::signatureAndEmptyLogAreRefused() {
  MainFixture f;
  QPointer<frmMakeLog> d = openDialog(f);
  frmMain& w = *f.w;
  f.ui.messages.clear();
  d->Text3->setText(QStringLiteral("   "));
  d->Text2->setPlainText("よろしく\nお願いします");
  click(d->Check2);
  click(d->Check3);
  click(d->Command1);
  QCOMPARE(f.texts(), QStringList{"署名をしてください！"});
  QVERIFY(f.ui.dialogs.empty());
  QVERIFY(d && d->isVisible());
  QCOMPARE(d->focusWidget(), d->Text3);
  // What the dialog shows was stored all the same.
  QCOMPARE(w.session().Ini.JarlComment, std::string("よろしく\r\nお願いします"));
  QCOMPARE(w.session().Ini.MailAndMe, std::int16_t(1));
  QCOMPARE(w.session().JarlSignature, std::string("   "));

  // An empty log: told so, and the dialog closes.
  d->Text3->setText(QStringLiteral("山田"));
  w.session().Doc.Log.clear();
  f.ui.messages.clear();
  click(d->Command1);
  QCOMPARE(f.texts(), QStringList{"ログデータがありません！"});
  QTRY_VERIFY(!d);
  QCOMPARE(w.session().Doc.State.OpenDialogNo, std::int16_t(0));
  QVERIFY(f.ui.dialogs.empty());
}

void TestFrmMakeLog::writesTheTmqAndOpensTheEditor() {
  MainFixture f;
  QPointer<frmMakeLog> d = openDialog(f, 5);
  frmMain& w = *f.w;
  d->Text3->setText(QStringLiteral("山田 太郎"));
  f.ui.messages.clear();
  // Cancelled: nothing written.
  click(d->Command1);
  QCOMPARE(f.ui.dialogs.size(), std::size_t(1));
  const FileDialogOptions& o = f.ui.dialogs[0];
  QCOMPARE(o.filter, std::string("電子ログファイル (*.tmq)|*.tmq|"));
  QCOMPARE(o.initialDir, f.home() + "/SentLog/");
  QVERIFY(o.overwritePrompt);
  QCOMPARE(o.fileName, std::string("JA1ZZZ.tmq"));
  QVERIFY(d && d->isVisible());
  QVERIFY(edited.empty());

  f.ui.files = {f.home() + "/SentLog/abc.txt"};
  click(d->Command1);
  const std::string tmq = f.home() + "/SentLog/abc.tmq";
  QVERIFY(fileio::exists(tmq));
  QVERIFY(!fileio::exists(f.home() + "/SentLog/abc.txt"));
  std::string bytes;
  QVERIFY(fileio::readAll(tmq, bytes));
  QVERIFY(bytes.find("<SIGNATURE>") != std::string::npos);
  QVERIFY(bytes.find("JA1AA4") != std::string::npos);
  QCOMPARE(edited, std::vector<std::string>{tmq});
  QVERIFY(f.ui.messages.empty());
  // No address box ticked: no mail dialog, the dialog closes.
  QTRY_VERIFY(!d);
  QVERIFY(!w.dialogs().find(DlgCfm));
  QCOMPARE(w.session().Doc.State.OpenDialogNo, std::int16_t(0));
  QCOMPARE(w.session().JarlSignature, std::string("山田 太郎"));

  // The rule's name is another file: asked before it is replaced.
  d = frmMakeLog::open(w);
  f.ui.files = {f.home() + "/SentLog/abc"};
  f.ui.answers = {Answer::No};
  click(d->Command1);
  QCOMPARE(f.texts().last(), toQ(tmq + " は既に存在します。\r\n上書きしますか？"));
  QCOMPARE(edited.size(), std::size_t(1));
  QVERIFY(d && d->isVisible());
  d->close();

  // An editor that does not start shows why; the rest goes on.
  desktop::launchers().editor = [](const std::string&) { return std::string("起動できません"); };
  d = frmMakeLog::open(w);
  f.ui.files = {f.home() + "/SentLog/xyz.tmq"};
  click(d->Command1);
  QCOMPARE(f.texts().last(), QStringLiteral("起動できません"));
  QVERIFY(fileio::exists(f.home() + "/SentLog/xyz.tmq"));
  QTRY_VERIFY(!d);
}

void TestFrmMakeLog::aFailedWriteStopsBeforeEditorAndMail() {
  MainFixture f;
  QPointer<frmMakeLog> d = openDialog(f);
  frmMain& w = *f.w;
  d->Text3->setText(QStringLiteral("山田"));
  click(d->Check1);
  f.ui.messages.clear();
  f.ui.files = {f.home() + "/no such folder/a.tmq"};
  click(d->Command1);
  QCOMPARE(f.ui.messages.size(), std::size_t(1));
  QVERIFY(f.texts()[0].contains("no such folder/a.tmq"));
  QCOMPARE(f.ui.messages[0].icon, Icon::Critical);
  QVERIFY(edited.empty());
  QVERIFY(!w.dialogs().find(DlgCfm));
  QVERIFY(d && d->isVisible());
  QCOMPARE(w.session().Doc.State.OpenDialogNo, std::int16_t(7));
  d->close();
}

void TestFrmMakeLog::tickedAddressOpensTheMailDialog() {
  MainFixture f;
  QPointer<frmMakeLog> d = openDialog(f);
  frmMain& w = *f.w;
  d->Text3->setText(QStringLiteral("山田"));
  click(d->Check2);
  click(d->Check3);
  f.ui.files = {f.home() + "/SentLog/ja1zzz"};
  click(d->Command1);
  QTRY_VERIFY(!d);
  QPointer<frmCfm> c = qobject_cast<frmCfm*>(w.dialogs().find(DlgCfm));
  QVERIFY(c);
  QCOMPARE(w.session().Doc.State.OpenDialogNo, std::int16_t(13));
  QCOMPARE(c->SendJarlMail, std::int16_t(0));
  QCOMPARE(c->SendTestMail, std::int16_t(1));
  QCOMPARE(c->ElogPath, f.home() + "/SentLog/ja1zzz.tmq");
  QCOMPARE(w.session().Ini.MailAndMe, std::int16_t(1));
  QVERIFY(!w.m_1->menuAction()->isEnabled());
  c->close();
  QCOMPARE(w.session().Doc.State.OpenDialogNo, std::int16_t(0));
}

void TestFrmMakeLog::uploadPageAfterWriting() {
  MainFixture f;
  frmMain& w = f.open();
  fillStation(w);
  f.fillLog(2);
  w.session().Contest.UploadUrl = "https://contest.example.org/upload/";
  QPointer<frmMakeLog> d = frmMakeLog::open(w);
  QVERIFY(!d->Command3->isHidden());
  QCOMPARE(d->Command3->text(), QStringLiteral("アップロードページを開く"));
  QVERIFY(!d->Command3->isEnabled());
  QCOMPARE(d->Command4->text(), QStringLiteral("電子ログをコピー"));
  QVERIFY(!d->Command4->isHidden());
  QVERIFY(!d->Command4->isEnabled());  // nothing written yet
  d->Text3->setText(QStringLiteral("山田"));
  f.ui.files = {f.home() + "/SentLog/up.tmq"};
  click(d->Command1);
  QVERIFY(d && d->isVisible());
  QVERIFY(d->Command3->isEnabled());
  QVERIFY(d->StatusLine->text().contains(toQ(f.home() + "/SentLog/up.tmq")));
  click(d->Command3);
  QCOMPARE(browsed, std::vector<std::string>{"https://contest.example.org/upload/"});

  // The copy: the file's text as the page reads it, decoded, LF line ends.
  QVERIFY(d->Command4->isEnabled());
  QGuiApplication::clipboard()->clear();
  click(d->Command4);
  std::string bytes;
  QVERIFY(fileio::readAll(f.home() + "/SentLog/up.tmq", bytes));
  QString expected = toQ(cp932::decode(bytes));
  expected.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  const QString pasted = QGuiApplication::clipboard()->text();
  QCOMPARE(pasted, expected);
  QVERIFY(pasted.startsWith(QStringLiteral("<SUMMARYSHEET VERSION=R1.0>\n<CONTESTNAME>ＡＬＬ ＪＡ")));
  QCOMPARE(d->StatusLine->text(),
           QStringLiteral("電子ログ（%1 行）をコピーしました。アップロードページに貼り付けてください。")
               .arg(pasted.count('\n')));
  click(d->Command2);
  QTRY_VERIFY(!d);

  // Only web addresses get the button.
  w.session().Contest.UploadUrl = "file:///etc/passwd";
  d = frmMakeLog::open(w);
  QVERIFY(d->Command3->isHidden());
  QVERIFY(d->Command4->isHidden());
  d->close();
}

void TestFrmMakeLog::aContestAddressTypedIsKeptInTheDefinition() {
  MainFixture f;
  frmMain& w = f.open();
  fillStation(w);
  f.fillLog(2);
  // The program folder's copy of the definition, with no address yet.
  const std::string cfg = f.home() + "/Cfg/(1)ALLJA.cfg";
  QVERIFY(fileio::writeAtomic(cfg, cp932::encode("; ＡＬＬ ＪＡ\r\nContestName=ＡＬＬ ＪＡ\r\n"
                                                 "SendMailAddress=\r\nTestMailAddress=test@example.org\r\n")));
  w.session().Doc.State.CfgFileName = cfg;
  w.session().Contest.SendMailAddress = "";
  QPointer<frmMakeLog> d = frmMakeLog::open(w);
  QVERIFY(d->Label2->isHidden());
  QVERIFY(!d->Text5->isHidden());
  QVERIFY(!d->Check1->isEnabled());
  QTest::keyClicks(d->Text5, "contest.example.org");
  QVERIFY(d->Check1->isEnabled());
  click(d->Check1);
  d->Text3->setText(QStringLiteral("山田"));

  // Not an address: told, nothing written.
  f.ui.messages.clear();
  click(d->Command1);
  QCOMPARE(f.texts().size(), 1);
  QVERIFY(f.texts()[0].contains(QStringLiteral("contest.example.org")));
  QVERIFY(f.ui.dialogs.empty());
  QCOMPARE(d->focusWidget(), d->Text5);

  // Emptied: the box cannot stay ticked.
  d->Text5->clear();
  QVERIFY(!d->Check1->isChecked());
  QVERIFY(!d->Check1->isEnabled());
  QTest::keyClicks(d->Text5, "contest@example.org");
  click(d->Check1);
  f.ui.messages.clear();
  f.ui.files = {f.home() + "/SentLog/typed.tmq"};
  click(d->Command1);
  QVERIFY(f.ui.messages.empty());
  QTRY_VERIFY(!d);
  QPointer<frmCfm> c = qobject_cast<frmCfm*>(w.dialogs().find(DlgCfm));
  QVERIFY(c);
  QCOMPARE(c->recipients(), std::vector<std::string>{"contest@example.org"});
  QCOMPARE(w.session().Contest.SendMailAddress, std::string("contest@example.org"));
  std::string bytes;
  QVERIFY(fileio::readAll(cfg, bytes));
  QCOMPARE(bytes, cp932::encode("; ＡＬＬ ＪＡ\r\nContestName=ＡＬＬ ＪＡ\r\n"
                                "SendMailAddress=contest@example.org\r\nTestMailAddress=test@example.org\r\n"));
  c->close();
  // Next time the definition's address shows.
  d = frmMakeLog::open(w);
  QVERIFY(d->Text5->isHidden());
  QCOMPARE(d->Label2->text(), QStringLiteral("contest@example.org"));
  d->close();
}

void TestFrmMakeLog::escAndMainEscClose() {
  MainFixture f;
  QPointer<frmMakeLog> d = openDialog(f);
  QTest::keyClick(d->Text1, Qt::Key_Escape);
  QTRY_VERIFY(!d);
  d = frmMakeLog::open(*f.w);
  f.ui.messages.clear();
  QTest::keyClick(f.w.get(), Qt::Key_Escape);
  QTRY_VERIFY(!d);
  QVERIFY(f.ui.messages.empty());
  QCOMPARE(f.w->session().Doc.State.OpenDialogNo, std::int16_t(0));
}

void TestFrmMakeLog::formatChoiceStartsAtTheDefinitions() {
  MainFixture f;
  QPointer<frmMakeLog> d = openDialog(f);
  QVERIFY(d);
  QCOMPARE(d->Combo1->objectName(), QStringLiteral("Combo1"));
  QCOMPARE(d->Combo1->count(), 2);
  QCOMPARE(d->Combo1->currentText(), QStringLiteral("R1.0"));
  QVERIFY(d->Combo1->isEnabled());
  QVERIFY(d->Text4->isHidden());
  d->close();

  frmMain& w = *f.w;
  w.session().Contest.ElogFormat = "R2.1";
  w.session().Ini.JarlCateCode = "PN";
  makeLogCommand(w);
  d = qobject_cast<frmMakeLog*>(w.dialogs().find(DlgMakeLog));
  QVERIFY(d);
  QCOMPARE(d->Combo1->currentText(), QStringLiteral("R2.1"));
  QVERIFY(!d->Text4->isHidden());
  // Choosing R1.0 with the keyboard hides the licence date again.
  d->Combo1->setFocus();
  QTest::keyClick(d->Combo1, Qt::Key_Up);
  QCOMPARE(d->Combo1->currentText(), QStringLiteral("R1.0"));
  QVERIFY(d->Text4->isHidden());
  d->close();

  // The parties are R1.0 only, whatever the definition says.
  w.session().Contest.NYPEnabled = 1;
  makeLogCommand(w);
  d = qobject_cast<frmMakeLog*>(w.dialogs().find(DlgMakeLog));
  QVERIFY(d);
  QCOMPARE(d->Combo1->currentText(), QStringLiteral("R1.0"));
  QVERIFY(!d->Combo1->isEnabled());
  d->close();
}

void TestFrmMakeLog::r21NeedsItsItemsAndOffersR10ForAFullWidthQso() {
  MainFixture f;
  QPointer<frmMakeLog> d = openDialog(f);
  frmMain& w = *f.w;
  QVERIFY(d);
  d->Combo1->setCurrentIndex(1);
  d->Text3->setText(QStringLiteral("山田"));
  d->Text1->setText(QString());
  w.session().Ini.JarlCateCode = "XS";
  w.session().Ini.JarlAge = "";
  f.ui.messages.clear();
  click(d->Command1);
  QCOMPARE(f.texts(), QStringList{"R2.1 形式の電子ログには次の項目が必要です：\r\n自分のメールアドレス\r\n年齢"});
  QVERIFY(f.ui.dialogs.empty());

  // A QSO R2.1 cannot hold: named, and R1.0 offered; Yes writes R1.0.
  d->Text1->setText(QStringLiteral("ja1zzz@example.jp"));
  w.session().Ini.JarlAge = "72";
  w.session().Doc.Log[2].RcvdNo = "ヤマダ";
  f.ui.messages.clear();
  f.ui.files = {f.home() + "/SentLog/r21.tmq"};
  f.ui.answers = {Answer::Yes};
  click(d->Command1);
  QCOMPARE(f.ui.messages.size(), std::size_t(1));
  QVERIFY(f.texts()[0].startsWith(QStringLiteral("No 0002  JA1AA1  の交信データに半角英数字以外の文字か空白がある")));
  QVERIFY(f.texts()[0].endsWith(QStringLiteral("R1.0 形式で作成しますか？")));
  std::string bytes;
  QVERIFY(fileio::readAll(f.home() + "/SentLog/r21.tmq", bytes));
  QVERIFY(bytes.rfind("<SUMMARYSHEET VERSION=R1.0>", 0) == 0);
  QCOMPARE(edited.size(), std::size_t(1));
}

void TestFrmMakeLog::partyCategoryWithoutCodeIsComplete() {
  MainFixture f;
  frmMain& w = f.open();
  fillStation(w);
  f.fillLog(2);
  w.session().Doc.State.LogDirty = 0;
  w.session().Contest.NYPEnabled = 1;
  w.session().Contest.CategoryList = {Category{}};
  w.session().Contest.CategoryList[0].CategoryName = "アマチュア局";
  w.session().Ini.JarlCategory = "アマチュア局";
  w.session().Ini.JarlCateCode = "";
  makeLogCommand(w);
  QVERIFY(w.dialogs().find(DlgMakeLog));
  QVERIFY(!w.dialogs().find(DlgQTC));
  w.dialogs().find(DlgMakeLog)->close();
  // A category the definition gives a code must have it.
  w.session().Contest.CategoryList[0].CategoryCode = "NYP";
  findAction(&w, "mnuMakeJaeLog")->trigger();
  QVERIFY(w.dialogs().find(DlgQTC));
  w.dialogs().find(DlgQTC)->close();
}

QTEST_MAIN(TestFrmMakeLog)
#include "tst_frmmakelog.moc"

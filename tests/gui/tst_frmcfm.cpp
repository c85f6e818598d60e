// The mail confirmation over a real main window, with a stand-in mail
// program that notes each recipient and refuses some.
#include <QPointer>
#include <QtTest>
#include <sys/stat.h>

#include <cstdlib>
#include <fstream>

#include "guitestsupport.h"
#include "log/fileio.h"
#include "log/gui/qtui.h"
#include "output/gui/frmcfm.h"
#include "output/mail.h"

class TestFrmCfm : public QObject {
  Q_OBJECT
 private slots:
  void initTestCase();
  void cleanupTestCase();
  void opensAndSendsInOrder();
  void onlyTestAndCopy();
  void oneFailureWhileLaterOnesStillGo();
  void aBadOwnAddressFailsOnlyItsCopy();
  void noMailProgramNamesWhatToInstall();
  void windowStaysLiveWhileSending();
  void escClosesOnlyWhenNotSending();
  void closingTheProgramStopsAHangingSend();

 private:
  QTemporaryDir bin;
  std::string log() const {
    std::string t;
    fileio::readAll(bin.path().toStdString() + "/sent.log", t);
    return t;
  }
  void resetLog() { std::remove((bin.path().toStdString() + "/sent.log").c_str()); }
  std::string script(const char* name, const std::string& body) {
    const std::string p = bin.path().toStdString() + "/" + name;
    std::ofstream(p) << "#!/bin/sh\n" << body;
    ::chmod(p.c_str(), 0755);
    return p;
  }
};

namespace {
frmCfm* openCfm(MainFixture& f, bool jarl, bool test, int mailAndMe) {
  frmMain& w = f.open();
  w.session().Ini.JarlCallSign = "JA1ZZZ";
  w.session().Ini.JarlEmail = "me@example.jp";
  w.session().Ini.MailAndMe = static_cast<std::int16_t>(mailAndMe);
  w.session().Contest.ContestName = "ＡＬＬ ＪＡ コンテスト";
  w.session().Contest.SendMailAddress = "contest@example.org";
  w.session().Contest.TestMailAddress = "test@example.org";
  const std::string path = f.home() + "/SentLog/JA1ZZZ.tmq";
  fileio::writeAtomic(path, "<SUMMARYSHEET VERSION=R1.0>\r\n</LOGSHEET>\r\n");
  return frmCfm::open(w, path, jarl, test);
}
void pressOk(frmCfm* d) { QTest::mouseClick(d->OKButton, Qt::LeftButton); }
}  // namespace

void TestFrmCfm::initTestCase() {
  // Reads the message, notes the To: address, refuses "fail..." addresses.
  const std::string p = script(
      "sendmail",
      "msg=$(cat)\n"
      "to=$(printf '%s\\n' \"$msg\" | grep -m1 '^To: ' | cut -c5- | tr -d '\\r')\n"
      "echo \"$* $to\" >> \"$(dirname \"$0\")/sent.log\"\n"
      "case \"$to\" in fail*) echo \"550 $to: no such user\" >&2; exit 67;; esac\n"
      "sleep 0.1\n");
  ::setenv("TAMARACK_SENDMAIL", p.c_str(), 1);
}

void TestFrmCfm::cleanupTestCase() { ::unsetenv("TAMARACK_SENDMAIL"); }

void TestFrmCfm::opensAndSendsInOrder() {
  resetLog();
  MainFixture f;
  QPointer<frmCfm> d = openCfm(f, true, true, 1);
  frmMain& w = *f.w;
  QCOMPARE(d->windowTitle(), QStringLiteral("E-メール送信の確認"));
  QCOMPARE(w.session().Doc.State.OpenDialogNo, std::int16_t(13));
  QVERIFY(d->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
  QVERIFY(!w.m_1->menuAction()->isEnabled());
  QVERIFY(qAbs(d->geometry().center().x() - w.frameGeometry().center().x()) <= 2);
  // Which program sends, and to whom.
  QCOMPARE(d->Label1->text(),
           QStringLiteral("電子ログを添付したE-メールを、メール送信プログラム ") +
               qEnvironmentVariable("TAMARACK_SENDMAIL") +
               QStringLiteral(" で次のあて先へ送信します。\ncontest@example.org\ntest@example.org\n"
                              "me@example.jp"));
  QVERIFY(!d->Label1->text().contains(QStringLiteral("WINDOWS")));
  QCOMPARE(d->Label2->text(), QStringLiteral("OKボタンで実行します"));
  QCOMPARE(d->OKButton->text(), QStringLiteral("O  K"));
  QCOMPARE(d->CancelButton->text(), QStringLiteral("ｷｬﾝｾﾙ"));

  pressOk(d);
  QVERIFY(d->OKButton->isHidden());
  QCOMPARE(d->CancelButton->text(), QStringLiteral("O K"));
  QCOMPARE(d->CancelButton->x(), twipsToPx(2520));
  QVERIFY(!d->CancelButton->isEnabled());
  QCOMPARE(d->Label2->text(), QString());
  QCOMPARE(d->Label1->text(), QStringLiteral("E-メールを送信中です！"));
  QTRY_VERIFY_WITH_TIMEOUT(d->CancelButton->isEnabled(), 10000);
  QCOMPARE(toQ(log()), QStringLiteral("-t -i contest@example.org\n-t -i test@example.org\n"
                                      "-t -i me@example.jp\n"));
  // How many went, and where.
  QCOMPARE(d->Label1->text(), QStringLiteral("3通のE-メールを送信しました：\ncontest@example.org\n"
                                             "test@example.org\nme@example.jp"));
  QVERIFY(d->CancelButton->y() >= d->Label1->geometry().bottom());
  QTest::mouseClick(d->CancelButton, Qt::LeftButton);
  QTRY_VERIFY(!d);
  QCOMPARE(w.session().Doc.State.OpenDialogNo, std::int16_t(0));
  QVERIFY(w.m_1->menuAction()->isEnabled());
}

void TestFrmCfm::onlyTestAndCopy() {
  resetLog();
  MainFixture f;
  QPointer<frmCfm> d = openCfm(f, false, true, 1);
  pressOk(d);
  QTRY_VERIFY_WITH_TIMEOUT(d->CancelButton->isEnabled(), 10000);
  QCOMPARE(toQ(log()), QStringLiteral("-t -i test@example.org\n-t -i me@example.jp\n"));
  QCOMPARE(d->outcome().size(), std::size_t(2));
  d->close();
}

void TestFrmCfm::oneFailureWhileLaterOnesStillGo() {
  resetLog();
  MainFixture f;
  QPointer<frmCfm> d = openCfm(f, true, true, 1);
  f.w->session().Contest.SendMailAddress = "fail@example.org";
  pressOk(d);
  QTRY_VERIFY_WITH_TIMEOUT(d->CancelButton->isEnabled(), 10000);
  QCOMPARE(toQ(log()), QStringLiteral("-t -i fail@example.org\n-t -i test@example.org\n"
                                      "-t -i me@example.jp\n"));
  const QString t = d->Label1->text();
  QVERIFY2(t.contains("fail@example.org: ") && t.contains("終了コード 67") &&
               t.contains("no such user"),
           qPrintable(t));
  QVERIFY(t.startsWith("送信できなかったE-メールがあります。"));  // a later success does not hide it
  QVERIFY(t.endsWith("2通のE-メールを送信しました：\ntest@example.org\nme@example.jp"));
  QCOMPARE(d->outcome()[0].rfind("fail@example.org\t", 0), std::size_t(0));
  QCOMPARE(d->outcome()[1], std::string("test@example.org\tsent"));
  QCOMPARE(d->CancelButton->text(), QStringLiteral("O K"));
  d->close();
  QTRY_VERIFY(!d);
}

void TestFrmCfm::aBadOwnAddressFailsOnlyItsCopy() {
  // The own address is the sender of every message and the recipient of
  // the copy: a bad one costs the copy alone, and is named.
  for (const char* own : {"me@example.jp\r\nBcc: victim@example.net", "me@@example.jp"}) {
    resetLog();
    MainFixture f;
    QPointer<frmCfm> d = openCfm(f, true, true, 1);
    f.w->session().Ini.JarlEmail = own;
    d = frmCfm::open(*f.w, d->ElogPath, true, true);
    const QString shown = toQ(mail::Printable(own));
    QVERIFY2(d->Label1->text().contains(QStringLiteral("自分のメールアドレス「") + shown),
             qPrintable(d->Label1->text()));
    pressOk(d);
    QTRY_VERIFY_WITH_TIMEOUT(d->CancelButton->isEnabled(), 10000);
    QCOMPARE(toQ(log()), QStringLiteral("-t -i contest@example.org\n-t -i test@example.org\n"));
    const QString t = d->Label1->text();
    QVERIFY2(t.contains(shown + QStringLiteral(": ")), qPrintable(t));
    QVERIFY(t.contains("2通のE-メールを送信しました：\ncontest@example.org\ntest@example.org"));
    QCOMPARE(d->outcome().size(), std::size_t(3));
    QCOMPARE(d->outcome()[0], std::string("contest@example.org\tsent"));
    QVERIFY(d->outcome()[2].find("sent") == std::string::npos);
    d->close();
  }
}

void TestFrmCfm::noMailProgramNamesWhatToInstall() {
  resetLog();
  const std::string keep = std::getenv("TAMARACK_SENDMAIL");
  ::setenv("TAMARACK_SENDMAIL", "/nonexistent/sendmail", 1);
  MainFixture f;
  QPointer<frmCfm> d = openCfm(f, false, true, 0);
  pressOk(d);
  QTRY_VERIFY_WITH_TIMEOUT(d->CancelButton->isEnabled(), 10000);
  QVERIFY2(d->Label1->text().contains("msmtp-mta"), qPrintable(d->Label1->text()));
  QVERIFY(d->Label1->text().contains("/nonexistent/sendmail"));
  // The message line grew to hold the text; the button stays below it.
  QVERIFY(d->CancelButton->y() >= d->Label1->geometry().bottom());
  QVERIFY(d->geometry().height() >= d->CancelButton->geometry().bottom());
  ::setenv("TAMARACK_SENDMAIL", keep.c_str(), 1);
  d->close();
}

void TestFrmCfm::windowStaysLiveWhileSending() {
  resetLog();
  const std::string keep = std::getenv("TAMARACK_SENDMAIL");
  ::setenv("TAMARACK_SENDMAIL", script("slow", "cat >/dev/null\nsleep 1\n").c_str(), 1);
  MainFixture f;
  QPointer<frmCfm> d = openCfm(f, true, false, 0);
  QElapsedTimer clock;
  clock.start();
  pressOk(d);
  QVERIFY(clock.elapsed() < 500);  // the click returned while the program runs
  QVERIFY(d->sending());
  int ticks = 0;
  QTimer timer;
  connect(&timer, &QTimer::timeout, [&] { ++ticks; });
  timer.start(50);
  QTRY_VERIFY_WITH_TIMEOUT(!d->sending(), 10000);
  QVERIFY(ticks >= 5);
  ::setenv("TAMARACK_SENDMAIL", keep.c_str(), 1);
  d->close();
}

void TestFrmCfm::escClosesOnlyWhenNotSending() {
  resetLog();
  const std::string keep = std::getenv("TAMARACK_SENDMAIL");
  ::setenv("TAMARACK_SENDMAIL", script("slow2", "cat >/dev/null\nsleep 0.5\n").c_str(), 1);
  MainFixture f;
  QPointer<frmCfm> d = openCfm(f, true, false, 0);
  pressOk(d);
  QTest::keyClick(f.w.get(), Qt::Key_Escape);
  QVERIFY(d && d->isVisible());
  QTRY_VERIFY_WITH_TIMEOUT(!d->sending(), 10000);
  QTest::keyClick(f.w.get(), Qt::Key_Escape);
  QTRY_VERIFY(!d);
  QCOMPARE(f.w->session().Doc.State.OpenDialogNo, std::int16_t(0));
  // Esc on the dialog itself, before sending.
  d = frmCfm::open(*f.w, f.home() + "/SentLog/JA1ZZZ.tmq", true, false);
  QTest::keyClick(d->OKButton, Qt::Key_Escape);
  QTRY_VERIFY(!d);
  ::setenv("TAMARACK_SENDMAIL", keep.c_str(), 1);
}

void TestFrmCfm::closingTheProgramStopsAHangingSend() {
  resetLog();
  const std::string keep = std::getenv("TAMARACK_SENDMAIL");
  // A mail program that never finishes, with a child of its own.
  ::setenv("TAMARACK_SENDMAIL",
           script("hang", "sleep 60 &\necho $! > \"$0.child\"\ncat >/dev/null\nwait\n").c_str(), 1);
  QElapsedTimer clock;
  {
    MainFixture f;
    QPointer<frmCfm> d = openCfm(f, true, false, 0);
    pressOk(d);
    QTRY_VERIFY(fileio::exists(bin.path().toStdString() + "/hang.child"));
    clock.start();
    f.w->close();
  }
  QVERIFY2(clock.elapsed() < 3000, qPrintable(QString::number(clock.elapsed())));
  std::string child;
  fileio::readAll(bin.path().toStdString() + "/hang.child", child);
  // The mail program's child went with it (a zombie nobody reaps counts as gone).
  const std::string stat = "/proc/" + std::to_string(std::stoi(child)) + "/stat";
  auto ended = [&] {
    std::string st;
    return !fileio::readAll(stat, st) || st.rfind(')') == std::string::npos ||
           st.substr(st.rfind(')') + 2, 1) == "Z";
  };
  QTRY_VERIFY_WITH_TIMEOUT(ended(), 2000);
  ::setenv("TAMARACK_SENDMAIL", keep.c_str(), 1);
}

QTEST_MAIN(TestFrmCfm)
#include "tst_frmcfm.moc"

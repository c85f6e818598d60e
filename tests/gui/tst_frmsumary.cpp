// The summary window: the page laid out from twips, the values ScoreLoad
// writes and the formula row's rules, the scroll bars, keys and focus, and
// the remembered geometry.
#include <QFile>
#include <QPlainTextEdit>
#include <QProcess>
#include <QScreen>
#include <QTemporaryDir>
#include <QtTest>

#include "log/gui/qtui.h"
#include "contest/gui/frmsumary.h"
#include "guitestsupport.h"

namespace {

QRect twips(int left, int top, int width, int height) {
  return QRect(twipsToPx(left), twipsToPx(top), twipsToPx(width), twipsToPx(height));
}

frmSumary* openSummary(frmMain& w) { return frmSumary::open(w); }

void loadScore(frmMain& w, frmSumary* s, const std::string& signature = std::string()) {
  s->ScoreLoad(score::ScoreLoad(w.session().Score, w.session().Contest, w.session().Ini, w.session().Doc.State.TodayText, signature));
}

// A field-day style table: 7 and 144 MHz enabled.
void fieldDay(frmMain& w) {
  w.session().Contest.BandEnabled.fill(0);
  w.session().Contest.BandEnabled[2] = 1;
  w.session().Contest.BandEnabled[10] = 1;
  w.session().Contest.FdKeisuEnabled = 1;
  w.session().Ini.JarlFdKeisu = 2;
  auto& b = w.session().Score.BandStats;
  b[2] = {700, 3, 1000, 40};
  b[10] = {300, 0, 234, 16};
  b[16] = {1000, 3, 1234, 56};
  // a band that is not enabled keeps empty cells even with numbers
  b[4] = {5, 0, 5, 5};
}

}  // namespace

class TestFrmSumary : public QObject {
  Q_OBJECT
 private slots:
  void pageLayout();
  void scoreAndFormulaWithCoefficient();
  void partyShowsQsoCountsOnly();
  void scoreBeyond32Bits();
  void stationData();
  void scrollBars();
  void escapeAndFocus();
  void rememberedGeometry();
  void textFitsItsPlace();
  void textFitsItsPlaceAt144Dpi();
  void wheelScrollsThePage();
  void oathOfTheContestKind();
};

void TestFrmSumary::pageLayout() {
  MainFixture f;
  frmMain& w = f.open();
  w.session().Ini.JarlContest = "ALL JAコンテスト";
  frmSumary* s = openSummary(w);
  QCOMPARE(s->windowTitle(), QStringLiteral("ALL JAコンテスト  のサマリー"));
  QVERIFY(s->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
  QCOMPARE(w.session().Doc.State.OpenDialogNo, std::int16_t(DlgSumary));
  QVERIFY(!w.m11->menuAction()->isEnabled());
  QCOMPARE(frmSumary::open(w), s);

  QCOMPARE(s->Picture1->size(), twips(0, 0, 10815, 11175).size());
  QCOMPARE(s->Picture2->geometry(), QRect(QPoint(0, 0), s->size()));
  QCOMPARE(s->Frame1->title(), QStringLiteral("スコア"));
  QCOMPARE(s->Frame1->geometry(), twips(360, 960, 4095, 5655));
  QCOMPARE(s->Label6[17]->text(), QStringLiteral("バンド"));
  QCOMPARE(s->Label7[17]->text(), QStringLiteral("交信数"));
  QCOMPARE(s->Label8[17]->text(), QStringLiteral("得点"));
  QCOMPARE(s->Label9[17]->text(), QStringLiteral("マルチ"));
  QCOMPARE(s->Label6[0]->text(), QStringLiteral("1.8MHz"));
  QCOMPARE(s->Label6[15]->text(), QStringLiteral("10.1GHz"));
  QCOMPARE(s->Label6[16]->text(), QStringLiteral("合　　計"));
  QCOMPARE(s->Label6[3]->palette().color(QPalette::Window), QColor(255, 224, 192));
  QCOMPARE(s->Label7[0]->geometry(), twips(1200, 495, 735, 255));
  QCOMPARE(s->Label8[15]->geometry(), twips(2160, 495 + 255 * 15, 735, 255));
  QCOMPARE(s->Label9[16]->geometry(), twips(3120, 4560, 735, 255));
  QVERIFY(s->Label7[5]->alignment().testFlag(Qt::AlignRight));
  QCOMPARE(s->findChild<QLabel*>("Label7_5"), s->Label7[5]);
  QCOMPARE(s->Label46->geometry(), twips(2640, 5160, 1215, 255));
  QCOMPARE(s->Label60->geometry(), twips(2160, 5160, 255, 255));
  QCOMPARE(s->Label48[0]->text(), QStringLiteral("得 点 "));
  QCOMPARE(s->Label48[3]->text(), QStringLiteral("総得点 "));
  QCOMPARE(s->Label47[2]->text(), QStringLiteral("="));
  // the coefficient part starts hidden, the rest of the formula shown
  QVERIFY(!s->Label48[2]->isVisible());
  QVERIFY(!s->Label47[1]->isVisible());
  QVERIFY(!s->Label60->isVisible());
  QVERIFY(s->Label46->isVisible());
  QVERIFY(s->Label47[0]->isVisible());
  QCOMPARE(s->Label1->geometry(), twips(3840, 480, 3495, 360));
  QCOMPARE(s->Label55->geometry(), twips(8160, 10440, 2295, 255));
  QCOMPARE(s->Text4->geometry(), twips(960, 9120, 9495, 1095));
  QStringList captions;
  for (QLabel* l : s->Picture1->findChildren<QLabel*>()) captions << l->text();
  for (const char* c : {"コンテストの名称", "運用者のｺｰﾙｻｲﾝ", "(コードナンバー)", "Ｗ", "出力",
                        "(連絡先と同一の場合は記入不要)", "局免許者（社団の代表者）の署名",
                        "日　付", "意　見", "宣誓文", "E-mail", "TEL"})
    QVERIFY2(captions.contains(QString::fromUtf8(c)), c);
  s->close();
}

void TestFrmSumary::scoreAndFormulaWithCoefficient() {
  MainFixture f;
  frmMain& w = f.open();
  fieldDay(w);
  frmSumary* s = openSummary(w);
  loadScore(w, s);
  QCOMPARE(s->Label7[2]->text(), QStringLiteral("700"));
  QCOMPARE(s->Label8[2]->text(), QStringLiteral("1,000"));
  QCOMPARE(s->Label9[10]->text(), QStringLiteral("16"));
  QCOMPARE(s->Label7[16]->text(), QStringLiteral("1,000"));
  QCOMPARE(s->Label8[16]->text(), QStringLiteral("1,234"));
  QVERIFY(s->Label7[4]->text().isEmpty());
  QVERIFY(s->Label8[0]->text().isEmpty());
  // 1,234 X 56 X 2 = 138,208
  QCOMPARE(s->Label58->text(), QStringLiteral("1,234"));
  QCOMPARE(s->Label59->text(), QStringLiteral("56"));
  QCOMPARE(s->Label60->text(), QStringLiteral("2"));
  QCOMPARE(s->Label46->text(), QStringLiteral("138,208"));
  for (QWidget* l : {s->Label48[2], s->Label47[1], s->Label60, s->Label46})
    QVERIFY(l->isVisible());

  // without the coefficient: 1,234 X 56 = 69,104, coefficient hidden
  s->close();
  w.session().Contest.FdKeisuEnabled = 0;
  s = openSummary(w);
  loadScore(w, s);
  QCOMPARE(s->Label46->text(), QStringLiteral("69,104"));
  QVERIFY(!s->Label60->isVisible());
  QVERIFY(!s->Label47[1]->isVisible());
  QVERIFY(s->Label47[2]->isVisible());

  // points only and no multipliers: the displayed score is 0
  s->close();
  w.session().Contest.TotalPoint = 1;
  w.session().Score.BandStats[16].MltCount = 0;
  s = openSummary(w);
  loadScore(w, s);
  QCOMPARE(s->Label58->text(), QStringLiteral("1,234"));
  QCOMPARE(s->Label46->text(), QStringLiteral("0"));
  s->close();
}

void TestFrmSumary::partyShowsQsoCountsOnly() {
  MainFixture f;
  frmMain& w = f.open();
  fieldDay(w);
  w.session().Contest.DqpEnabled = 1;
  frmSumary* s = openSummary(w);
  loadScore(w, s);
  QCOMPARE(s->Label7[2]->text(), QStringLiteral("700"));
  QCOMPARE(s->Label7[16]->text(), QStringLiteral("1,000"));
  QVERIFY(s->Label8[2]->text().isEmpty());
  QVERIFY(s->Label9[16]->text().isEmpty());
  for (QWidget* l : {static_cast<QWidget*>(s->Label58), static_cast<QWidget*>(s->Label59),
                     static_cast<QWidget*>(s->Label60), static_cast<QWidget*>(s->Label46)})
    QVERIFY(!l->isVisible());
  for (QLabel* l : s->Label47) QVERIFY(!l->isVisible());
  for (QLabel* l : s->Label48) QVERIFY(!l->isVisible());
  s->close();
}

void TestFrmSumary::scoreBeyond32Bits() {
  MainFixture f;
  frmMain& w = f.open();
  w.session().Contest.BandEnabled.fill(1);
  w.session().Contest.FdKeisuEnabled = 1;
  w.session().Ini.JarlFdKeisu = 2;
  w.session().Score.BandStats[16] = {30000, 0, 2000000, 32000};
  frmSumary* s = openSummary(w);
  loadScore(w, s);
  QCOMPARE(s->Label46->text(), QStringLiteral("128,000,000,000"));
  s->close();
}

void TestFrmSumary::stationData() {
  MainFixture f;
  frmMain& w = f.open();
  Settings& i = w.session().Ini;
  i.JarlContest = "ALL JAコンテスト";
  i.JarlCallSign = "JA1ZZZ";
  i.JarlOperator = "JA1YYY";
  i.JarlCategory = "電信部門";
  i.JarlCateCode = "C7M";
  i.JarlPower = "100";
  i.JarlPowerType = 1;
  i.JarlAddress = "東京都\r\n千代田区";
  i.JarlSetsubi = "IC-7300";
  i.JarlOath = "誓います";
  i.JarlComment = "意見1\r\n意見2";
  frmSumary* s = openSummary(w);
  loadScore(w, s, "山田太郎");
  QCOMPARE(s->Label1->text(), QStringLiteral("ALL JAコンテスト"));
  QCOMPARE(s->Label4->text(), QStringLiteral("JA1ZZZ"));
  QCOMPARE(s->Label5->text(), QStringLiteral("JA1YYY"));
  QCOMPARE(s->Label3->text(), QStringLiteral("電信部門"));
  QCOMPARE(s->Label2->text(), QStringLiteral("C7M"));
  QCOMPARE(s->Label17->text(), QStringLiteral("100"));
  QCOMPARE(s->Label18->text(), QStringLiteral("実測"));
  QCOMPARE(s->Text5->toPlainText(), QStringLiteral("東京都\n千代田区"));
  QCOMPARE(s->Text1->toPlainText(), QStringLiteral("IC-7300"));
  QCOMPARE(s->Text3->toPlainText(), QStringLiteral("誓います"));
  QCOMPARE(s->Text4->toPlainText(), QStringLiteral("意見1\n意見2"));
  QCOMPARE(s->Label54->text(), QStringLiteral("2026年12月07日"));
  QCOMPARE(s->Label55->text(), QStringLiteral("山田太郎"));
  s->close();
}

void TestFrmSumary::scrollBars() {
  MainFixture f;
  frmMain& w = f.open();
  frmSumary* s = openSummary(w);
  const int bar = twipsToPx(frmSumary::kBarThickness);
  const int pw = s->Picture1->width(), ph = s->Picture1->height();

  // larger than the page: no bars, page at the top left
  s->resize(pw + 40, ph + 40);
  QVERIFY(!s->hScrollShown());
  QVERIFY(!s->vScrollShown());
  QVERIFY(!s->HScroll1->isVisible());
  QCOMPARE(s->Picture1->pos(), QPoint(0, 0));

  // only too short: the vertical bar alone, full height
  s->resize(pw + 40, 400);
  QVERIFY(!s->hScrollShown());
  QVERIFY(s->vScrollShown());
  QCOMPARE(s->VScroll1->geometry(), QRect(pw + 40 - bar, 0, bar, 400));
  QCOMPARE(s->VScroll1->maximum(), ph - 400);

  // narrower and shorter: both, each maximum grown by the other's thickness
  s->resize(500, 400);
  QVERIFY(s->hScrollShown());
  QVERIFY(s->vScrollShown());
  QVERIFY(s->HScroll1->isVisible());
  QCOMPARE(s->HScroll1->geometry(), QRect(0, 400 - bar, 500 - bar, bar));
  QCOMPARE(s->VScroll1->geometry(), QRect(500 - bar, 0, bar, 400 - bar));
  QCOMPARE(s->HScroll1->maximum(), pw - 500 + bar);
  QCOMPARE(s->VScroll1->maximum(), ph - 400 + bar);
  QCOMPARE(s->HScroll1->pageStep(), qRound(s->HScroll1->maximum() / 5.0));
  QCOMPARE(s->VScroll1->singleStep(), qRound(s->VScroll1->maximum() / 20.0));

  // the bars move the page; the far corner comes fully into view
  QTest::mouseClick(s->VScroll1, Qt::LeftButton, {}, QPoint(bar / 2, 400 - bar - 3));
  QCOMPARE(s->Picture1->y(), -s->VScroll1->value());
  QVERIFY(s->VScroll1->value() > 0);
  s->HScroll1->setValue(s->HScroll1->maximum());
  s->VScroll1->setValue(s->VScroll1->maximum());
  QCOMPARE(s->Picture1->geometry().bottomRight(), QPoint(500 - bar - 1, 400 - bar - 1));

  // made large again: bars gone, page back at the top left
  s->resize(pw + 40, ph + 40);
  QVERIFY(!s->hScrollShown());
  QVERIFY(!s->vScrollShown());
  QCOMPARE(s->Picture1->pos(), QPoint(0, 0));

  // a page only a little larger than the room still gets a usable bar
  s->resize(pw + bar - 1, ph + 40 );
  QVERIFY(!s->hScrollShown());
  s->resize(pw - 1, ph + 40);
  QVERIFY(s->hScrollShown());
  QCOMPARE(s->HScroll1->maximum(), 1);
  QCOMPARE(s->HScroll1->pageStep(), 1);
  s->close();
}

void TestFrmSumary::escapeAndFocus() {
  MainFixture f;
  frmMain& w = f.open();
  w.session().Ini.JarlAddress = "東京都";
  frmSumary* s = openSummary(w);
  loadScore(w, s);
  QSignalSpy destroyed(s, &QObject::destroyed);

  // typing into a box changes nothing, and the main window takes the focus
  QTest::mouseClick(s->Text5->viewport(), Qt::LeftButton, {}, QPoint(5, 5));
  QTest::keyClicks(s->Text5, "abc");
  QTest::keyClick(s->Text5, Qt::Key_Delete);
  QCOMPARE(s->Text5->toPlainText(), QStringLiteral("東京都"));
  QTRY_VERIFY(w.isActiveWindow());

  // Esc on the summary window closes it
  s->activateWindow();
  QTest::keyClick(s, Qt::Key_Escape);
  QVERIFY(!s->isVisible());
  QCOMPARE(w.session().Doc.State.OpenDialogNo, std::int16_t(0));
  QVERIFY(w.m11->menuAction()->isEnabled());
  QTRY_COMPARE(destroyed.count(), 1);

  // and so does Esc on the main window
  s = openSummary(w);
  QTest::keyClick(w.Grid1, Qt::Key_Escape);
  QVERIFY(!s->isVisible());
  QCOMPARE(w.session().Doc.State.OpenDialogNo, std::int16_t(0));
}

void TestFrmSumary::rememberedGeometry() {
  MainFixture f;
  frmMain& w = f.open();
  w.session().Ini.ViewLeft = 1500;
  w.session().Ini.ViewTop = 0;  // not set: left as it comes
  w.session().Ini.ViewWidth = 6000;
  w.session().Ini.ViewHeight = 4500;
  frmSumary* s = openSummary(w);
  QCOMPARE(s->pos().x(), twipsToPx(1500));
  QCOMPARE(s->size(), QSize(twipsToPx(6000), twipsToPx(4500)));
  const int top = s->pos().y();
  s->close();
  // unmoved: the twips stay exactly as they were
  QCOMPARE(w.session().Ini.ViewLeft, 1500);
  QCOMPARE(w.session().Ini.ViewWidth, 6000);
  QCOMPARE(w.session().Ini.ViewHeight, 4500);
  QCOMPARE(w.session().Ini.ViewTop, static_cast<std::int32_t>(std::lround(pxToTwips(top))));

  s = openSummary(w);
  s->move(200, 150);
  s->resize(600, 500);
  s->close();
  QCOMPARE(w.session().Ini.ViewLeft, static_cast<std::int32_t>(std::lround(pxToTwips(200))));
  QCOMPARE(w.session().Ini.ViewWidth, static_cast<std::int32_t>(std::lround(pxToTwips(600))));
  QCOMPARE(w.session().Ini.ViewHeight, static_cast<std::int32_t>(std::lround(pxToTwips(500))));

  // closed while minimised: the remembered geometry stays
  const Settings before = w.session().Ini;
  s = openSummary(w);
  s->resize(300, 200);
  s->showMinimized();
  QVERIFY(s->isMinimized());
  s->close();
  QCOMPARE(w.session().Ini.ViewLeft, before.ViewLeft);
  QCOMPARE(w.session().Ini.ViewWidth, before.ViewWidth);
  QCOMPARE(w.session().Ini.ViewHeight, before.ViewHeight);
  QCOMPARE(w.session().Doc.State.OpenDialogNo, std::int16_t(0));
}

namespace {
// Where a one-line label's text stands as QLabel draws it (across its
// advance, down its ink), in the page's coordinates.
QRect inkOnPage(const QLabel* l, QWidget* page) {
  const QFontMetrics fm(l->font());
  const QRect cr = l->contentsRect();
  const QString text = l->text();
  const QRect ink = fm.tightBoundingRect(text);
  const int advance = fm.horizontalAdvance(text);
  int x = cr.left();
  if (l->alignment() & Qt::AlignHCenter) x = cr.left() + (cr.width() - advance) / 2;
  else if (l->alignment() & Qt::AlignRight) x = cr.right() + 1 - advance;
  int baseline = cr.top() + (cr.height() - fm.height()) / 2 + fm.ascent();
  if (l->alignment() & Qt::AlignTop) baseline = cr.top() + fm.ascent();
  if (l->alignment() & Qt::AlignBottom) baseline = cr.bottom() + 1 - fm.descent();
  const QRect r(x, baseline + ink.top(), advance, ink.height());
  return r.translated(l->mapTo(page, QPoint(0, 0)));
}
}  // namespace

// Every text of the page lies inside its label and crosses no box, with a
// long category name and the seven-point notes; run at 96 dpi and again at
// 144 dpi.
void TestFrmSumary::textFitsItsPlace() {
  const QByteArray dpi = qgetenv("TAMARACK_TEST_DPI");
  if (!dpi.isEmpty())
    QCOMPARE(qRound(QGuiApplication::primaryScreen()->logicalDotsPerInchY()), dpi.toInt());
  MainFixture f;
  frmMain& w = f.open();
  fieldDay(w);
  Settings& i = w.session().Ini;
  i.JarlContest = "ＡＬＬ ＪＡ コンテスト";
  i.JarlCategory = "電信電話部門シングルオペ1200MHz以上バンド（ジュニア）";
  i.JarlCateCode = "XSJH";
  i.JarlCallSign = "JA1ZZZ/1";
  i.JarlOperator = "JH1XYZ";
  i.JarlPower = "1000";
  i.JarlPowerType = 1;
  i.JarlName = "日本アマチュア無線連盟東京都支部クラブ";
  i.JarlLicenseClass = "第一級アマチュア無線技士";
  i.JarlEmail = "ja1zzz.contest.station@example.ne.jp";
  frmSumary* s = openSummary(w);
  loadScore(w, s, "山田太郎");
  QWidget* page = s->Picture1;
  QList<QRect> boxes;
  for (QLabel* l : page->findChildren<QLabel*>())
    if (l->frameShape() != QFrame::NoFrame && l->isVisibleTo(s))
      boxes << QRect(l->mapTo(page, QPoint(0, 0)), l->size());
  for (QPlainTextEdit* t : page->findChildren<QPlainTextEdit*>()) boxes << t->geometry();
  for (QLabel* l : page->findChildren<QLabel*>()) {
    if (!l->isVisibleTo(s) || l->text().isEmpty()) continue;
    const QByteArray what = l->text().toUtf8() + " (" + l->objectName().toUtf8() + ")";
    if (l->wordWrap()) {
      const QRect need = l->fontMetrics().boundingRect(
          QRect(0, 0, l->contentsRect().width(), 100000), Qt::TextWordWrap, l->text());
      QVERIFY2(need.height() <= l->contentsRect().height(), what);
      continue;
    }
    const QRect ink = inkOnPage(l, page);
    const QRect inside(l->mapTo(page, l->contentsRect().topLeft()), l->contentsRect().size());
    QVERIFY2(inside.contains(ink), what);
    if (l->frameShape() == QFrame::NoFrame)
      for (const QRect& b : boxes) QVERIFY2(!ink.intersects(b), what);
    // a cut text shows whole in its tooltip
    if (!l->toolTip().isEmpty()) QVERIFY2(l->text().endsWith(QChar(0x2026)), what);
  }
  // the long category keeps every character, or its tooltip does
  const QString category = QString::fromStdString(i.JarlCategory);
  QVERIFY(s->Label3->text() == category || s->Label3->toolTip() == category);
  s->close();
}

void TestFrmSumary::textFitsItsPlaceAt144Dpi() {
  if (!qgetenv("TAMARACK_TEST_DPI").isEmpty()) QSKIP("the run at 144 dpi itself");
  QTemporaryDir dir;
  const QString config = dir.filePath(QStringLiteral("screen.json"));
  QFile file(config);
  QVERIFY(file.open(QIODevice::WriteOnly));
  file.write(R"({"screens": [{"name": "s144", "x": 0, "y": 0, "width": 2400, "height": 1500,)"
             R"( "logicalDpi": 144, "logicalBaseDpi": 144, "dpr": 1}]})");
  file.close();
  QProcess run;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen:configfile=") + config);
  env.insert(QStringLiteral("TAMARACK_TEST_DPI"), QStringLiteral("144"));
  run.setProcessEnvironment(env);
  run.setProcessChannelMode(QProcess::MergedChannels);
  run.start(QCoreApplication::applicationFilePath(), {QStringLiteral("textFitsItsPlace")});
  QVERIFY(run.waitForFinished(60000));
  const QByteArray out = run.readAll();
  QVERIFY2(run.exitCode() == 0, out.constData());
  QVERIFY2(out.contains("PASS   : TestFrmSumary::textFitsItsPlace()"), out.constData());
}

namespace {
// A wheel turn sent to a widget. (Qt hands a wheel that a widget ignores on
// to its parents only for the window system's own events; a label of the
// page ignores it, so the window is the receiver here.)
void wheel(QWidget* to, QPoint angle, Qt::KeyboardModifiers mods = Qt::NoModifier) {
  const QPoint at(5, 5);
  QWheelEvent e(at, to->mapToGlobal(at), QPoint(), angle, Qt::NoButton, mods, Qt::NoScrollPhase,
                false);
  QCoreApplication::sendEvent(to, &e);
}
}  // namespace

void TestFrmSumary::wheelScrollsThePage() {
  MainFixture f;
  frmMain& w = f.open();
  frmSumary* s = openSummary(w);
  s->resize(twipsToPx(6000), twipsToPx(5000));
  QVERIFY(s->vScrollShown());
  QCOMPARE(s->VScroll1->value(), 0);
  // over the page, then over a box with nothing to scroll: the page moves down
  wheel(s, QPoint(0, -120));
  const int after = s->VScroll1->value();
  QVERIFY(after > 0);
  QCOMPARE(s->Picture1->y(), -after);
  wheel(s->Text1->viewport(), QPoint(0, -120));
  QVERIFY(s->VScroll1->value() > after);
  // up again to the top; Shift scrolls across
  wheel(s, QPoint(0, 1200));
  QCOMPARE(s->VScroll1->value(), 0);
  wheel(s, QPoint(0, -120), Qt::ShiftModifier);
  QVERIFY(s->HScroll1->value() > 0);
  QCOMPARE(s->Picture1->x(), -s->HScroll1->value());
  s->close();
}

// The oath shown is the one the e-log carries: by the contest's kind.
void TestFrmSumary::oathOfTheContestKind() {
  MainFixture f;
  frmMain& w = f.open();
  w.session().Ini.JarlOath = "コンテストの宣誓";
  w.session().Ini.JarlDqpOath = "デジタルQSOパーティーの宣誓";
  w.session().Ini.JarlNypOath = "QSOパーティーの宣誓";
  const struct {
    int dqp, nyp;
    const char* oath;
  } kinds[] = {{0, 0, "コンテストの宣誓"},
               {1, 0, "デジタルQSOパーティーの宣誓"},
               {0, 1, "QSOパーティーの宣誓"}};
  for (const auto& k : kinds) {
    w.session().Contest.DqpEnabled = static_cast<std::int16_t>(k.dqp);
    w.session().Contest.NYPEnabled = static_cast<std::int16_t>(k.nyp);
    frmSumary* s = openSummary(w);
    loadScore(w, s);
    QCOMPARE(s->Text3->toPlainText(), QString::fromUtf8(k.oath));
    s->close();
  }
}

QTEST_MAIN(TestFrmSumary)
#include "tst_frmsumary.moc"

#include "output/gui/frmmydata.h"

#include <QApplication>
#include <QDir>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QScrollBar>
#include <algorithm>
#include <QTextDocument>
#include <QValidator>
#include <QVBoxLayout>

#include "contest/contestdef.h"
#include "log/gui/cp932guard.h"
#include "log/gui/qtui.h"
#include "contest/gui/workspace.h"
#include "contest/session.h"
#include "log/gui/dialogregistry.h"
#include "log/logcommands.h"
#include "log/qso.h"
#include "log/settings.h"
#include "log/ui.h"

namespace {

// Letters turn to upper case as they are typed (and as they are pasted).
class UpperCaseValidator : public QValidator {
 public:
  using QValidator::QValidator;
  State validate(QString& input, int&) const override {
    for (QChar& c : input)
      if (c >= QLatin1Char('a') && c <= QLatin1Char('z')) c = QChar(c.unicode() - 0x20);
    return Acceptable;
  }
};

// The power box takes typed keys and pasted text only when every character
// may stand in a power: a paste of "1e-9" is refused whole, never kept as "19".
class PowerValidator : public QValidator {
 public:
  PowerValidator(QObject* parent, std::function<void()> refused)
      : QValidator(parent), refused_(std::move(refused)) {}
  State validate(QString& input, int&) const override {
    for (char32_t c : input.toUcs4())
      if (c < 0x20 || !mydata::PowerKeyAccepted(c)) {
        QApplication::beep();
        refused_();
        return Invalid;
      }
    return Acceptable;
  }

 private:
  std::function<void()> refused_;
};

QLabel* caption(const char* text, QWidget* parent) {
  return new QLabel(QString::fromUtf8(text), parent);
}

QLabel* valueLabel(const char* name, QWidget* parent) {
  QLabel* l = panelLabel(name, parent);
  l->setMinimumHeight(twipsToPx(300));
  return l;
}

QLineEdit* lineBox(const char* name, QWidget* parent) {
  auto* t = new QLineEdit(parent);
  t->setObjectName(QString::fromUtf8(name));
  return t;
}

QPlainTextEdit* multiBox(const char* name, int lines, QWidget* parent) {
  auto* t = new QPlainTextEdit(parent);
  t->setObjectName(QString::fromUtf8(name));
  t->setTabChangesFocus(true);
  t->setLineWrapMode(QPlainTextEdit::NoWrap);
  // Japanese lines stand taller than the Latin face's line spacing.
  const int line = t->fontMetrics().lineSpacing() + 5;
  t->setFixedHeight(line * lines + 2 * t->frameWidth() +
                    2 * static_cast<int>(t->document()->documentMargin()) + 4);
  return t;
}

QWidget* page(QTabWidget* tabs, const char* name, const char* title) {
  auto* p = new QWidget(tabs);
  p->setObjectName(QString::fromUtf8(name));
  tabs->addTab(p, QString::fromUtf8(title));
  return p;
}

// Caption above its box, in cell (row, col) of a grid of such pairs.
void field(QGridLayout* g, int row, int col, const char* text, QWidget* box, int span = 1) {
  auto* cap = caption(text, box->parentWidget());
  g->addWidget(cap, row * 2, col, 1, span);
  g->addWidget(box, row * 2 + 1, col, 1, span);
}

// A one-line box, and a box of `lines` lines, placed by field().
QLineEdit* lineField(QGridLayout* g, int row, int col, const char* text, const char* name,
                     int span = 1) {
  QLineEdit* t = lineBox(name, g->parentWidget());
  field(g, row, col, text, t, span);
  return t;
}
QPlainTextEdit* multiField(QGridLayout* g, int row, int col, const char* text, const char* name,
                           int lines, int span = 1) {
  QPlainTextEdit* t = multiBox(name, lines, g->parentWidget());
  field(g, row, col, text, t, span);
  return t;
}

// Shows the stored text in a list; a text the list lacks is added so that
// it is neither lost nor refused.
void selectText(QComboBox* c, const std::string& stored) {
  const QString want = toQ(stored).trimmed();
  for (int i = 0; i < c->count(); ++i)
    if (c->itemText(i).trimmed() == want) {
      c->setCurrentIndex(i);
      return;
    }
  c->addItem(toQ(stored));
  c->setCurrentIndex(c->count() - 1);
}

}  // namespace

frmMyData::frmMyData(Workspace& ws) : ToolWindow(ws, DlgMyData, Qt::Dialog) {
  setActivatesMain(false);
  setObjectName(QStringLiteral("frmMyData"));
  setWindowTitle(QStringLiteral("電子ログの設定"));
  setWindowFlag(Qt::WindowContextHelpButtonHint, false);
  setModal(false);

  buildPages();

  // Form load: placed 300 twips right of and below the main window's
  // corner, topmost; the lists, the grid and the file list; then the data.
  move(ws_.mainWidget()->pos() + QPoint(twipsToPx(300), twipsToPx(300)));
  fillFileList();
  DataLoad();

  registerOpen();
}

frmMyData* frmMyData::open(Workspace& ws) {
  auto* d = qobject_cast<frmMyData*>(ws.dialogs().find(DlgMyData));
  if (!d) d = new frmMyData(ws);
  d->show();
  d->raise();
  d->activateWindow();
  return d;
}

void frmMyData::buildPages() {
  auto* outer = new QVBoxLayout(this);
  TabStrip1 = new QTabWidget(this);
  TabStrip1->setObjectName(QStringLiteral("TabStrip1"));
  outer->addWidget(TabStrip1);

  // ---- 参加コンテストの設定
  QWidget* p1 = page(TabStrip1, "Frame1", "参加コンテストの設定");
  auto* g1 = new QGridLayout(p1);
  g1->addWidget(caption("コンテストの名称　(必須)", p1), 0, 0, 1, 2);
  Label1 = valueLabel("Label1", p1);
  g1->addWidget(Label1, 1, 0, 1, 2);
  File1 = new QListWidget(p1);
  File1->setObjectName(QStringLiteral("File1"));
  File1->setFixedHeight(twipsToPx(2100));
  g1->addWidget(File1, 2, 0, 4, 1);
  Label2 = valueLabel("Label2", p1);
  // The file name shown never widens its column at the list's cost.
  Label2->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
  g1->addWidget(Label2, 2, 1);
  Command3 = new QPushButton(QStringLiteral("変　更"), p1);
  Command3->setObjectName(QStringLiteral("Command3"));
  Command3->setEnabled(false);
  g1->addWidget(Command3, 3, 1, Qt::AlignLeft);
  Label3 = new QLabel(QStringLiteral("コンテストが変更されました"), p1);
  Label3->setObjectName(QStringLiteral("Label3"));
  Label4 = new QLabel(QStringLiteral("参加部門を選択してください"), p1);
  Label4->setObjectName(QStringLiteral("Label4"));
  for (QLabel* n : {Label3, Label4}) {
    n->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    n->setStyleSheet(QStringLiteral("color: red; font-weight: bold;"));
    n->setVisible(false);
  }
  g1->addWidget(Label3, 4, 1);
  g1->addWidget(Label4, 5, 1);
  g1->addWidget(caption("参加部門　(必須)", p1), 6, 0, 1, 2);
  Label5 = valueLabel("Label5", p1);
  Label6 = valueLabel("Label6", p1);
  Label6->setFixedWidth(twipsToPx(1450));
  auto* cat = new QHBoxLayout;
  cat->addWidget(Label5, 1);
  cat->addWidget(Label6);
  g1->addLayout(cat, 7, 0, 1, 2);
  Grid1 = new QTableWidget(0, 2, p1);
  Grid1->setObjectName(QStringLiteral("Grid1"));
  Grid1->setHorizontalHeaderLabels({QStringLiteral("名　　　称"), QStringLiteral("ｺｰﾄﾞﾅﾝﾊﾞｰ")});
  Grid1->setColumnWidth(0, twipsToPx(4935));
  Grid1->setColumnWidth(1, twipsToPx(1450));
  Grid1->verticalHeader()->setVisible(false);
  Grid1->verticalHeader()->setDefaultSectionSize(twipsToPx(285));
  Grid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
  Grid1->setSelectionBehavior(QAbstractItemView::SelectRows);
  Grid1->setSelectionMode(QAbstractItemView::SingleSelection);
  Grid1->setMinimumHeight(twipsToPx(2400));
  Grid1->installEventFilter(this);
  g1->addWidget(Grid1, 8, 0, 1, 2);
  g1->setColumnStretch(1, 1);
  g1->setRowStretch(8, 1);

  // ---- 無線局免許者の設定
  QWidget* p2 = page(TabStrip1, "Frame2", "無線局免許者の設定");
  auto* g2 = new QGridLayout(p2);
  Text1 = lineField(g2, 0, 0, "コールサイン　（必須）", "Text1");
  Text1->setValidator(new UpperCaseValidator(Text1));
  Text2 = lineField(g2, 0, 1, "局免許者の氏名（社団の名称）　（必須）", "Text2");
  Combo1 = new QComboBox(p2);
  Combo1->setObjectName(QStringLiteral("Combo1"));
  Combo1->setEditable(true);
  Combo1->setInsertPolicy(QComboBox::NoInsert);
  for (auto c : mydata::kLicenseClasses) Combo1->addItem(toQ(c));
  field(g2, 1, 0, "局免許者の無線従事者資格　（必須）", Combo1);
  Text4 = lineField(g2, 1, 1, "電話番号", "Text4");
  Text3 = multiField(g2, 2, 0, "連絡先　（必須）", "Text3", 3, 2);
  Text5 = lineField(g2, 3, 0, "Ｅ－メールアドレス", "Text5", 2);
  Text14 = multiField(g2, 4, 0, "宣誓文    (必須)", "Text14", 3, 2);
  g2->setRowStretch(10, 1);

  // ---- 無線局の設定
  QWidget* p3 = page(TabStrip1, "Frame3", "無線局の設定");
  auto* g3 = new QGridLayout(p3);
  Text6 = lineField(g3, 0, 0, "登録クラブ名称", "Text6", 2);
  Text7 = lineField(g3, 0, 2, "登録クラブ番号", "Text7");
  Text7->setValidator(new UpperCaseValidator(Text7));
  Text8 = lineField(g3, 1, 0, "運用者のコールサイン(シングルオペでゲストオペの場合)", "Text8", 3);
  Text8->setValidator(new UpperCaseValidator(Text8));
  Text9 = multiField(g3, 2, 0,
                     "マルチオペの場合の運用者のコールサイン、コールサインの無い場合は氏名 "
                     "ジュニア、シルバーの場合の年齢",
                     "Text9", 2, 3);
  Text10 = lineField(g3, 3, 0, "運用地（移動局の場合）", "Text10", 3);
  Text11 = multiField(g3, 4, 0, "使用した設備（リグ名称（自作の場合は終段管名称・個数）空中線）",
                      "Text11", 3, 3);
  Text12 = lineField(g3, 5, 0, "最大空中線電力　（必須）", "Text12");
  Text12->setAttribute(Qt::WA_InputMethodEnabled, false);
  auto* powerType = new QWidget(p3);
  auto* pt = new QHBoxLayout(powerType);
  pt->setContentsMargins(0, 0, 0, 0);
  const char* checkCaptions[2] = {"定格出力", "実測出力"};
  for (int i = 0; i < 2; ++i) {
    Check1[static_cast<std::size_t>(i)] = new QCheckBox(QString::fromUtf8(checkCaptions[i]), powerType);
    Check1[static_cast<std::size_t>(i)]->setObjectName(QStringLiteral("Check1_%1").arg(i));
    pt->addWidget(Check1[static_cast<std::size_t>(i)]);
    connect(Check1[static_cast<std::size_t>(i)], &QCheckBox::clicked, this,
            [this, i] { Check1_Click(i); });
  }
  g3->addWidget(powerType, 11, 1);
  Combo2 = new QComboBox(p3);
  Combo2->setObjectName(QStringLiteral("Combo2"));
  for (auto c : mydata::kFdKeisuEntries) Combo2->addItem(toQ(c));
  field(g3, 5, 2, "移動運用局種係数", Combo2);
  Text13 = lineField(g3, 6, 0, "使用電源", "Text13", 3);
  g3->setColumnStretch(0, 1);
  g3->setColumnStretch(1, 1);
  g3->setRowStretch(14, 1);

  // ---- 送信ナンバーなどの設定
  QWidget* p4 = page(TabStrip1, "Frame4", "送信ナンバーなどの設定");
  auto* g4 = new QGridLayout(p4);
  Text15 = lineField(g4, 0, 0, "JARL制定の都道府県支庁ナンバー", "Text15", 2);
  Text16 = lineField(g4, 0, 2, "JARL制定の市、郡、区　ナンバー", "Text16", 2);
  Text17 = lineField(g4, 1, 0, "ｺﾝﾃｽﾄ時の満年齢 (ALL ASIAN DXｺﾝﾃｽﾄ)", "Text17", 2);
  Text18 = lineField(g4, 1, 2, "ニューイヤーパーティーで送信する名前", "Text18", 2);
  for (int i = 0; i < kBands; ++i) {
    auto* c = new QComboBox(p4);
    c->setObjectName(QStringLiteral("Combo3_%1").arg(i));
    for (const std::string& e : mydata::PowerEntries(i)) c->addItem(toQ(e));
    Combo3[static_cast<std::size_t>(i)] = c;
    field(g4, 2 + i / 4, i % 4, mydata::kPowerCaptions[static_cast<std::size_t>(i)].data(), c);
  }
  g4->setRowStretch(14, 1);

  // ---- notice, O K / ｷｬﾝｾﾙ
  Label7 = new QLabel(this);
  Label7->setObjectName(QStringLiteral("Label7"));
  Label7->setStyleSheet(QStringLiteral("color: red;"));
  Label7->setWordWrap(true);
  Label7->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
  noticeTimer_.setSingleShot(true);
  noticeTimer_.setInterval(8000);
  connect(&noticeTimer_, &QTimer::timeout, Label7, &QLabel::clear);
  Command1 = namedButton("Command1", QStringLiteral("O K"), this);
  Command2 = namedButton("Command2", QStringLiteral("ｷｬﾝｾﾙ"), this);
  QHBoxLayout* buttons = buttonRow({Command1, Command2}, 1300, false, RowAlign::Right);
  buttons->insertWidget(0, Label7, 1);
  buttons->setStretch(1, 0);  // the notice takes the room before the buttons
  outer->addLayout(buttons);
  guardBoxes();

  connect(File1, &QListWidget::itemSelectionChanged, this, &frmMyData::File1_Click);
  connect(File1, &QListWidget::itemDoubleClicked, this, [this] { ChangeContest(); });
  connect(Command3, &QPushButton::clicked, this, &frmMyData::ChangeContest);
  connect(Grid1, &QTableWidget::cellClicked, this, [this](int row, int) { Grid1_Click(row); });
  connect(Command1, &QPushButton::clicked, this, &frmMyData::Command1_Click);
  connect(Command2, &QPushButton::clicked, this, &frmMyData::Command2_Click);

  resize(twipsToPx(10200), sizeHint().height());
}

void frmMyData::fillFileList() {
  File1->clear();
  QDir cfg(toQ(ws_.session().ProgramFolder + "/Cfg"));
  const QStringList names = cfg.entryList(QDir::Files | QDir::NoDotAndDotDot, QDir::Name);
  for (const QString& n : names)
    if (n.endsWith(QStringLiteral(".cfg"), Qt::CaseInsensitive)) File1->addItem(n);
  // Every file shows whole: the shipped eight without a scroll bar.
  const int frame = 2 * File1->frameWidth();
  const int rowHeight = File1->count() > 0 ? File1->sizeHintForRow(0) : fontMetrics().height();
  File1->setFixedHeight(std::max(twipsToPx(2100), 8 * rowHeight + frame));
  const int scroll = File1->count() > 8 ? File1->verticalScrollBar()->sizeHint().width() : 0;
  File1->setFixedWidth(std::max(twipsToPx(3000), File1->sizeHintForColumn(0) + frame + scroll + 8));
}

void frmMyData::guardBoxes() {
  auto told = [this](char32_t c) { notice(mydata::RefusedText(c)); };
  for (QWidget* box : std::initializer_list<QWidget*>{
           Text1, Text2, Combo1, Text4, Text5, Text6, Text7, Text8, Text10, Text13, Text15, Text16,
           Text17, Text18})
    RefuseCharacters(box, [](char32_t c) { return mydata::RefusedInBox(c, false); }, told);
  for (QWidget* box : std::initializer_list<QWidget*>{Text3, Text9, Text11, Text14})
    RefuseCharacters(box, [](char32_t c) { return mydata::RefusedInBox(c, true); }, told);
  Text12->setValidator(new PowerValidator(Text12, [this] { notice(mydata::kPowerKeysText); }));
}

void frmMyData::notice(std::string_view text) {
  Label7->setText(toQ(text));
  noticeTimer_.start();
}

QWidget* frmMyData::boxOf(std::string mydata::StationForm::*field) const {
  using F = mydata::StationForm;
  const std::pair<std::string F::*, QWidget*> boxes[] = {
      {&F::CallSign, Text1}, {&F::Name, Text2},     {&F::Address, Text3},     {&F::TelNo, Text4},
      {&F::Email, Text5},    {&F::LicenseClass, Combo1}, {&F::ClubName, Text6}, {&F::ClubNo, Text7},
      {&F::Operator, Text8}, {&F::OpsAndClass, Text9}, {&F::UnyoChi, Text10}, {&F::Setsubi, Text11},
      {&F::Power, Text12},   {&F::PsType, Text13},  {&F::Oath, Text14},       {&F::Prf, Text15},
      {&F::Jcc, Text16},     {&F::Age, Text17},     {&F::TestName, Text18}};
  for (const auto& [f, box] : boxes)
    if (f == field) return box;
  return nullptr;
}

// ---------------------------------------------------------------- data

mydata::StationForm frmMyData::form() const {
  mydata::StationForm f;
  f.Contest = fromQ(Label1->text());
  f.Category = fromQ(Label5->text());
  f.CateCode = fromQ(Label6->text());
  f.CallSign = fromQ(Text1->text());
  f.Name = fromQ(Text2->text());
  f.Address = varText(Text3->toPlainText());
  f.TelNo = fromQ(Text4->text());
  f.Email = fromQ(Text5->text());
  f.LicenseClass = fromQ(Combo1->currentText());
  f.ClubName = fromQ(Text6->text());
  f.ClubNo = fromQ(Text7->text());
  f.Operator = fromQ(Text8->text());
  f.OpsAndClass = varText(Text9->toPlainText());
  f.UnyoChi = fromQ(Text10->text());
  f.Setsubi = varText(Text11->toPlainText());
  f.Power = fromQ(Text12->text());
  f.PowerRated = Check1[0]->isChecked();
  f.PowerMeasured = Check1[1]->isChecked();
  f.FdKeisuIndex = Combo2->currentIndex();
  f.PsType = fromQ(Text13->text());
  f.Oath = varText(Text14->toPlainText());
  f.Prf = fromQ(Text15->text());
  f.Jcc = fromQ(Text16->text());
  f.Age = fromQ(Text17->text());
  f.TestName = fromQ(Text18->text());
  for (int i = 0; i < kBands; ++i)
    f.PwCode[static_cast<std::size_t>(i)] = fromQ(Combo3[static_cast<std::size_t>(i)]->currentText());
  return f;
}

void frmMyData::setForm(const mydata::StationForm& f) {
  Label1->setText(toQ(f.Contest));
  Label5->setText(toQ(f.Category));
  Label6->setText(toQ(f.CateCode));
  Text1->setText(toQ(f.CallSign));
  Text2->setText(toQ(f.Name));
  Text3->setPlainText(boxText(f.Address));
  Text4->setText(toQ(f.TelNo));
  Text5->setText(toQ(f.Email));
  Combo1->setCurrentText(toQ(f.LicenseClass));
  Combo1->setEditText(toQ(f.LicenseClass));
  Text6->setText(toQ(f.ClubName));
  Text7->setText(toQ(f.ClubNo));
  Text8->setText(toQ(f.Operator));
  Text9->setPlainText(boxText(f.OpsAndClass));
  Text10->setText(toQ(f.UnyoChi));
  Text11->setPlainText(boxText(f.Setsubi));
  Text12->setText(toQ(f.Power));
  Check1[0]->setChecked(f.PowerRated);
  Check1[1]->setChecked(f.PowerMeasured);
  Combo2->setCurrentIndex(f.FdKeisuIndex);
  Text13->setText(toQ(f.PsType));
  Text14->setPlainText(boxText(f.Oath));
  Text15->setText(toQ(f.Prf));
  Text16->setText(toQ(f.Jcc));
  Text17->setText(toQ(f.Age));
  Text18->setText(toQ(f.TestName));
  for (int i = 0; i < kBands; ++i)
    selectText(Combo3[static_cast<std::size_t>(i)], f.PwCode[static_cast<std::size_t>(i)]);
}

void frmMyData::DataLoad() {
  const ContestDefinition& def = ws_.session().Contest;
  // The grid: one empty row, replaced by the categories when there are any.
  Grid1->clearContents();
  const int rows = def.CategoryCount();
  Grid1->setRowCount(rows > 0 ? rows : 1);
  for (int r = 0; r < rows; ++r) {
    const Category& c = def.CategoryRow(r + 1);
    Grid1->setItem(r, 0, new QTableWidgetItem(toQ(c.CategoryName)));
    auto* code = new QTableWidgetItem(toQ(c.CategoryCode));
    Grid1->setItem(r, 1, code);
  }
  if (rows == 0) {
    Grid1->setItem(0, 0, new QTableWidgetItem());
    Grid1->setItem(0, 1, new QTableWidgetItem());
  }
  setForm(mydata::DataLoad(ws_.session().Ini, def));

  // The chosen category is marked in the grid; a stored code the definition
  // no longer lists stays shown, and the operator is asked for a new one.
  const Settings& s = ws_.session().Ini;
  int chosen = -1;
  for (int r = 0; r < rows && chosen < 0; ++r)
    if (def.CategoryRow(r + 1).CategoryCode == s.JarlCateCode &&
        def.CategoryRow(r + 1).CategoryName == s.JarlCategory)
      chosen = r;
  for (int r = 0; r < rows && chosen < 0; ++r)
    if (def.CategoryRow(r + 1).CategoryCode == s.JarlCateCode) chosen = r;
  Grid1->clearSelection();
  if (chosen >= 0) {
    Grid1->selectRow(chosen);
    Grid1->scrollToItem(Grid1->item(chosen, 0));
  } else {
    Grid1->scrollToTop();
  }
  Label4->setVisible(chosen < 0 && rows > 0 && !s.JarlCateCode.empty());
}

void frmMyData::OathLoad() {
  Text14->setPlainText(boxText(mydata::OathOf(ws_.session().Ini, ws_.session().Contest)));
}

void frmMyData::MyDataSave() { mydata::MyDataSave(form(), ws_.session().Contest, ws_.session().Ini); }

// ---------------------------------------------------------------- contest

void frmMyData::File1_Click() {
  const QList<QListWidgetItem*> sel = File1->selectedItems();
  if (sel.isEmpty()) return;
  Label2->setText(sel.front()->text());
  Command3->setEnabled(true);
}

void frmMyData::ChangeContest() {
  if (Label2->text().isEmpty()) return;
  const std::string path = ws_.session().ProgramFolder + "/Cfg/" + fromQ(Label2->text());

  // What was typed on the other pages stays: only what the contest decides
  // (its name, its categories and which oath applies) is loaded again.
  const mydata::StationForm typed = form();
  const std::string* oathBefore = &mydata::OathOf(ws_.session().Ini, ws_.session().Contest);

  ws_.session().Doc.State.CfgFileName = path;
  ws_.CfgRead(path);
  DataLoad();

  mydata::StationForm f = mydata::DataLoad(ws_.session().Ini, ws_.session().Contest);
  const std::string* oathAfter = &mydata::OathOf(ws_.session().Ini, ws_.session().Contest);
  mydata::StationForm keep = typed;
  keep.Contest = f.Contest;
  keep.Oath = oathBefore == oathAfter ? typed.Oath : f.Oath;
  setForm(keep);

  Label5->clear();
  Label6->clear();
  Grid1->clearSelection();  // the stored category is no choice in the new contest yet
  Grid1->scrollToTop();
  Label2->clear();
  Command3->setEnabled(false);
  Label3->setVisible(true);
  Label4->setVisible(true);
}

void frmMyData::Grid1_Click(int row) {
  auto text = [this, row](int col) {
    const QTableWidgetItem* it = Grid1->item(row, col);
    return it ? it->text() : QString();
  };
  Label5->setText(text(0));
  Label6->setText(text(1));
  Label3->setVisible(false);
  Label4->setVisible(false);
}

void frmMyData::Check1_Click(int index) {
  // The two boxes are a pair: a click on either clears the other.
  Check1[static_cast<std::size_t>(1 - index)]->setChecked(false);
}

// ---------------------------------------------------------------- O K / cancel

void frmMyData::Command1_Click() {
  // A value the summary sheet cannot carry is not stored: the box is shown.
  const mydata::FormProblem problem = mydata::CheckForm(form());
  if (QWidget* box = problem.field ? boxOf(problem.field) : nullptr) {
    for (QWidget* p = box->parentWidget(); p; p = p->parentWidget())
      if (const int i = TabStrip1->indexOf(p); i >= 0) TabStrip1->setCurrentIndex(i);
    ws_.session().ui().tell(problem.message, Icon::Exclamation);
    box->setFocus();
    return;
  }
  setTopmost(this, false);
  MyDataSave();
  ws_.session().saveSettings();
  if (ws_.session().Doc.Log.count() >= 1 && ws_.session().Doc.State.LogTestNo != ws_.session().Contest.ContestNo) {
    if (ws_.session().ui().ask("コンテストが変更されました。ログデータを破棄しますか？", Buttons::YesNo) ==
        Answer::Yes)
      ws_.session().Files.LogCls();
  }
  close();
  if (ws_.session().Doc.Log.count() >= 1) ws_.session().LogDataSearch();
}

void frmMyData::Command2_Click() { close(); }

bool frmMyData::eventFilter(QObject* o, QEvent* e) {
  // Enter on a category row chosen with the arrow keys is a click on it.
  if (o == Grid1 && e->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(e)->key();
    if ((key == Qt::Key_Return || key == Qt::Key_Enter) && Grid1->currentRow() >= 0) {
      Grid1_Click(Grid1->currentRow());
      return true;
    }
  }
  return QDialog::eventFilter(o, e);
}


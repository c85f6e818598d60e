#include "hamlog/gui/frmthset.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "hamlog/thlog.h"
#include "log/fileio.h"
#include "log/gui/cp932guard.h"
#include "log/gui/qtui.h"
#include "contest/gui/workspace.h"
#include "contest/session.h"
#include "log/qso.h"
#include "log/settings.h"
#include "log/utf8.h"

namespace {
constexpr std::string_view kFilter = "hdb ファイル (*.hdb)|*.hdb|";
constexpr std::string_view kExists = "同じ名前のファイルがあります\r\n別の名前を指定して下さい";

QCheckBox* check(QWidget* parent, const char* name, const char* caption) {
  auto* c = new QCheckBox(QString::fromUtf8(caption), parent);
  c->setObjectName(QString::fromUtf8(name));
  return c;
}
QLineEdit* box(QWidget* parent, const char* name) {
  auto* e = new QLineEdit(parent);
  e->setObjectName(QString::fromUtf8(name));
  RefuseNonCp932(e);
  return e;
}
QGroupBox* group(QWidget* parent, const char* name, const char* title) {
  auto* g = new QGroupBox(QString::fromUtf8(title), parent);
  g->setObjectName(QString::fromUtf8(name));
  return g;
}
QString folderOf(const std::string& path) {
  const auto slash = path.rfind('/');
  return slash == std::string::npos ? QString() : toQ(path.substr(0, slash));
}

// The append's switches: each box, its caption and the setting it keeps
// (1 checked, 0 not), in the order they stand.
struct Switch {
  QCheckBox* frmThSet::*box;
  const char* name;
  const char* caption;
  std::int16_t Settings::*value;
};
const Switch kSwitches[] = {
    {&frmThSet::ThUtcSw, "ThUtcSw", "時間をUTCに変更する", &Settings::ThUtcSw},
    {&frmThSet::ThRptSw, "ThRptSw", "備考１に受信ﾚﾎﾟｰﾄを記入", &Settings::ThRptSw},
    {&frmThSet::ThRptSw2, "ThRptSw2", "備考２に受信ﾚﾎﾟｰﾄを記入", &Settings::ThRptSw2},
    {&frmThSet::ThCty2JaSw, "ThCty2JaSw", "ｴﾝﾃｨﾃｨ変換時、JA局は空欄", &Settings::ThCty2JaSw},
    {&frmThSet::ThRmkSw, "ThRmkSw", "備考を記入", &Settings::ThRmkSw},
    {&frmThSet::ThQslMsgSw, "ThQslMsgSw", "ＱＳＬカードメッセージを記入", &Settings::ThQslMsgSw},
    {&frmThSet::ThSendSw, "ThSendSw", "QSL発送済にチェック", &Settings::ThSendSw},
    {&frmThSet::ThRcvdSw, "ThRcvdSw", "QSL受領済にチェック", &Settings::ThRcvdSw},
};
}  // namespace

frmThSet::frmThSet(Workspace& ws) : ToolWindow(ws, DlgThSet) {
  setEnterClicksButton(true);
  setObjectName(QStringLiteral("frmThSet"));
  setWindowTitle(QStringLiteral("データ変換の設定"));

  auto* lay = new QVBoxLayout(this);
  SSTab1 = new QTabWidget(this);
  SSTab1->setObjectName(QStringLiteral("SSTab1"));
  lay->addWidget(SSTab1, 1);

  // Tab 0: what the append writes.
  auto* conv = new QWidget;
  auto* cl = new QGridLayout(conv);
  int row = 0;
  for (const Switch& w : kSwitches) {
    this->*w.box = check(conv, w.name, w.caption);
    cl->addWidget(this->*w.box, row++, 0);
  }

  fraQsl = group(conv, "fraQsl", "QSL 発送方法");
  auto* ql = new QVBoxLayout(fraQsl);
  const char* qslCaptions[] = {"JARL", "ﾀﾞｲﾚｸﾄ", "ﾏﾈｰｼﾞｬｰ", "NO QSL", "NO ﾁｪｯｸ"};
  for (int i = 0; i < 5; ++i) {
    optQsl[static_cast<std::size_t>(i)] = new QRadioButton(QString::fromUtf8(qslCaptions[i]), fraQsl);
    optQsl[static_cast<std::size_t>(i)]->setObjectName(QStringLiteral("optQsl%1").arg(i));
    ql->addWidget(optQsl[static_cast<std::size_t>(i)]);
  }
  cl->addWidget(fraQsl, 0, 1, 5, 1);

  auto* fraMark = group(conv, "fraMark", "QSLカード発送済/受領済のマーク");
  auto* ml = new QHBoxLayout(fraMark);
  txtSentMark = box(fraMark, "txtSentMark");
  txtRcvdMark = box(fraMark, "txtRcvdMark");
  for (QLineEdit* e : {txtSentMark, txtRcvdMark}) {
    e->setMaxLength(1);
    e->setFixedWidth(twipsToPx(500));
    ml->addWidget(e);
  }
  ml->addStretch(1);
  cl->addWidget(fraMark, 5, 1, 3, 1);

  auto* fraInput = group(conv, "fraInput", "データ変換の入力データ");
  auto* il = new QGridLayout(fraInput);
  txtRemark = box(fraInput, "txtRemark");
  txtRemark2 = box(fraInput, "txtRemark2");
  txtQslMsg = box(fraInput, "txtQslMsg");
  const char* inputCaptions[] = {"備考　１", "備考　２", "QSLﾒｯｾｰｼﾞ"};
  int i = 0;
  for (QLineEdit* e : {txtRemark, txtRemark2, txtQslMsg}) {
    il->addWidget(new QLabel(QString::fromUtf8(inputCaptions[i]), fraInput), i, 0);
    il->addWidget(e, i, 1);
    ++i;
  }
  cl->addWidget(fraInput, 8, 0, 1, 2);
  SSTab1->addTab(conv, QStringLiteral("ターボハムログへの変換設定"));

  // Tab 1: the database and where the read finds the received exchange.
  auto* db = new QWidget;
  auto* dl = new QVBoxLayout(db);
  auto* fraDb = group(db, "fraDb", "ターボハムログデータベースファイル");
  auto* fl = new QHBoxLayout(fraDb);
  lblDbFile = new QLabel(fraDb);
  lblDbFile->setObjectName(QStringLiteral("lblDbFile"));
  lblDbFile->setFrameShape(QFrame::Panel);
  lblDbFile->setFrameShadow(QFrame::Sunken);
  lblDbFile->setMinimumWidth(twipsToPx(4500));
  cmdRef = new QPushButton(QStringLiteral("参照"), fraDb);
  cmdRef->setObjectName(QStringLiteral("cmdRef"));
  cmdNew = new QPushButton(QStringLiteral("新規作成"), fraDb);
  cmdNew->setObjectName(QStringLiteral("cmdNew"));
  fl->addWidget(lblDbFile, 1);
  fl->addWidget(cmdRef);
  fl->addWidget(cmdNew);
  dl->addWidget(fraDb);
  chkRmk1Rpt = check(db, "chkRmk1Rpt", "コンテスト受信レポートを備考１から取得する");
  chkRmk2Rpt = check(db, "chkRmk2Rpt", "コンテスト受信レポートを備考２から取得する");
  dl->addWidget(chkRmk1Rpt);
  dl->addWidget(chkRmk2Rpt);
  dl->addStretch(1);
  SSTab1->addTab(db, QStringLiteral("ターボハムログの読込設定/データベースの設定"));

  OKButton = namedButton("OKButton", QStringLiteral("O  K"), this);
  CancelButton = namedButton("CancelButton", QStringLiteral("ｷｬﾝｾﾙ"), this);
  lay->addLayout(buttonRow({OKButton, CancelButton}, 1215, true, RowAlign::Right));

  // The two check boxes act as one choice: exactly one is checked.
  connect(chkRmk1Rpt, &QCheckBox::toggled, this, [this](bool on) { chkRmk2Rpt->setChecked(!on); });
  connect(chkRmk2Rpt, &QCheckBox::toggled, this, [this](bool on) { chkRmk1Rpt->setChecked(!on); });
  connect(cmdRef, &QPushButton::clicked, this, &frmThSet::cmdRef_Click);
  connect(cmdNew, &QPushButton::clicked, this, &frmThSet::cmdNew_Click);
  connect(OKButton, &QPushButton::clicked, this, [this] {
    ThSetSave();
    ws_.session().saveSettings();
    close();
  });
  connect(CancelButton, &QPushButton::clicked, this, &QWidget::close);

  registerOpen();
  ThSetLoad();
  adjustSize();
  const QRect m = ws_.mainWidget()->frameGeometry();
  move(m.x() + m.width() / 2 - width() / 2, m.y() + twipsToPx(500));
}

frmThSet* frmThSet::showFor(Workspace& ws) {
  return OpenToolWindow<frmThSet>(ws, &frmThSet::OKButton);
}

void frmThSet::ThSetLoad() {
  const Settings& ini = ws_.session().Ini;
  for (const Switch& w : kSwitches) (this->*w.box)->setChecked(ini.*w.value == 1);
  optQsl[static_cast<std::size_t>(ini.ThQslSw >= 0 && ini.ThQslSw <= 4 ? ini.ThQslSw : 0)]->setChecked(true);
  auto mark = [](const std::string& m) { return utf8::trim(m).empty() ? QStringLiteral("*") : toQ(m); };
  txtSentMark->setText(mark(ini.ThSentMark));
  txtRcvdMark->setText(mark(ini.ThRcvdMark));
  txtRemark->setText(toQ(ini.ThRemark));
  txtRemark2->setText(toQ(ini.ThRemark2));
  txtQslMsg->setText(toQ(ini.ThQslMsg));
  lblDbFile->setText(toQ(ini.ThDbFile));
  chkRmk2Rpt->setChecked(ini.ThRmk2Rpt != 0);
  chkRmk1Rpt->setChecked(ini.ThRmk2Rpt == 0);
}

void frmThSet::ThSetSave() {
  Settings& ini = ws_.session().Ini;
  for (const Switch& w : kSwitches)
    ini.*w.value = static_cast<std::int16_t>((this->*w.box)->isChecked() ? 1 : 0);
  for (std::size_t i = 0; i < optQsl.size(); ++i)
    if (optQsl[i]->isChecked()) ini.ThQslSw = static_cast<std::int16_t>(i);
  ini.ThSentMark = fromQ(txtSentMark->text());
  ini.ThRcvdMark = fromQ(txtRcvdMark->text());
  ini.ThRemark = fromQ(txtRemark->text());
  ini.ThRemark2 = fromQ(txtRemark2->text());
  ini.ThQslMsg = fromQ(txtQslMsg->text());
  ini.ThRmk2Rpt = static_cast<std::int16_t>(chkRmk2Rpt->isChecked() ? 1 : 0);
  ini.ThDbFile = fromQ(lblDbFile->text());
}

void frmThSet::cmdRef_Click() {
  FileDialogOptions o;
  o.filter = std::string(kFilter);
  const std::string current = fromQ(lblDbFile->text());
  o.initialDir = current.empty() ? ws_.session().ProgramFolder : fromQ(folderOf(current));
  TopmostPause pause;
  if (auto path = ws_.session().ui().openFile(o)) lblDbFile->setText(toQ(*path));
}

void frmThSet::cmdNew_Click() {
  FileDialogOptions o;
  o.filter = std::string(kFilter);
  const std::string current = fromQ(lblDbFile->text());
  o.initialDir = current.empty() ? ws_.session().ProgramFolder : fromQ(folderOf(current));
  o.fileName = "HAMLOG.hdb";
  TopmostPause pause;
  auto path = ws_.session().ui().saveFile(o);
  if (!path || path->empty()) return;
  if (path->size() < 4 || path->compare(path->size() - 4, 4, ".hdb") != 0) *path += ".hdb";
  if (fileio::exists(*path)) {
    ws_.session().ui().tell(kExists, Icon::Exclamation);
    return;
  }
  HamlogLibrary& lib = HamlogLibrary::shared(ws_.session().ProgramFolder);
  try {
    if (lib.HamlogCreate(*path) != 0) {
      ws_.session().ui().tell(lib.lastError(), Icon::Critical);
      return;
    }
  } catch (const HamlogError& e) {
    ws_.session().ui().tell(e.what(), Icon::Critical);
    return;
  }
  lblDbFile->setText(toQ(*path));
}

void ThConvOn(Workspace& ws) {
  bool settings = false;
  const std::string_view refusal = ThConvRefusal(ws.session().Doc.Log, ws.session().Ini.ThDbFile, settings);
  if (!refusal.empty()) {
    ws.session().ui().tell(refusal, Icon::Exclamation);
    if (settings) frmThSet::showFor(ws);
    return;
  }
  if (ws.session().ui().ask(thtext::kAskAppend, Buttons::YesNo, Icon::Question, thtext::kAskAppendTitle) !=
      Answer::Yes)
    return;
  ThLogDbAppendRun(HamlogLibrary::shared(ws.session().ProgramFolder), ws.session().Ini.ThDbFile, ws.session().Doc.Log,
                   ws.session().ProgramFolder, ws.session().Ini, ws.session().Contest, ws.session().Cty, ws.session().ui(), ws.session().progress());
}

#include "entry/gui/frmrigset.h"

#include <QButtonGroup>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QIntValidator>
#include <QVBoxLayout>

#include "contest/gui/workspace.h"
#include "entry/gui/entrysettings.h"
#include "contest/session.h"
#include "entry/gui/rigwatch.h"
#include "entry/rigmap.h"
#include "log/gui/qtui.h"
#include "log/settings.h"

namespace {
constexpr const char* kDefaultHost = "127.0.0.1";
constexpr const char* kDefaultPort = "4532";

QString modelText(const entry::RigModelInfo& m) {
  return QStringLiteral("%1  %2  (%3, %4)")
      .arg(toQ(m.maker), toQ(m.name))
      .arg(m.model)
      .arg(toQ(m.status));
}
}  // namespace

QStringList SerialPorts() {
  QStringList out;
  const QDir dev(QStringLiteral("/dev"));
  for (const QString& pattern : {QStringLiteral("ttyUSB*"), QStringLiteral("ttyACM*"), QStringLiteral("ttyS*")})
    for (const QString& name : dev.entryList({pattern}, QDir::System | QDir::Files, QDir::Name))
      out << dev.filePath(name);
  const QDir byId(QStringLiteral("/dev/serial/by-id"));
  for (const QString& name : byId.entryList(QDir::System | QDir::Files | QDir::NoDotAndDotDot, QDir::Name))
    out << byId.filePath(name);
  return out;
}

frmRigSet::frmRigSet(Workspace& ws) : ToolWindow(ws, DlgRigSet) {
  setObjectName(QStringLiteral("frmRigSet"));
  setWindowTitle(QStringLiteral("リグ設定"));
  auto* lay = new QVBoxLayout(this);

  chkRigOn = new QCheckBox(QStringLiteral("リグのバンドとモードを入力画面に連動させる"), this);
  chkRigOn->setObjectName(QStringLiteral("chkRigOn"));
  lay->addWidget(chkRigOn);

  optDirect = new QRadioButton(QStringLiteral("リグを直接つなぐ（シリアル / USB）"), this);
  optDirect->setObjectName(QStringLiteral("optDirect"));
  auto* direct = new QGroupBox(this);
  auto* dl = new QGridLayout(direct);
  dl->addWidget(optDirect, 0, 0, 1, 4);
  dl->addWidget(new QLabel(QStringLiteral("機種の検索"), direct), 1, 0);
  txtFind = new QLineEdit(direct);
  txtFind->setObjectName(QStringLiteral("txtFind"));
  txtFind->setPlaceholderText(QStringLiteral("メーカー名や機種名の一部"));
  txtFind->setClearButtonEnabled(true);
  dl->addWidget(txtFind, 1, 1, 1, 3);
  lstModels = new QListWidget(direct);
  lstModels->setObjectName(QStringLiteral("lstModels"));
  lstModels->setMinimumSize(twipsToPx(6500), twipsToPx(3000));
  dl->addWidget(lstModels, 2, 0, 1, 4);
  dl->addWidget(new QLabel(QStringLiteral("ポート"), direct), 3, 0);
  cboPort = new QComboBox(direct);
  cboPort->setObjectName(QStringLiteral("cboPort"));
  cboPort->setEditable(true);
  cboPort->setMinimumWidth(twipsToPx(3500));
  cboPort->addItems(SerialPorts());
  dl->addWidget(cboPort, 3, 1);
  dl->addWidget(new QLabel(QStringLiteral("速度"), direct), 3, 2);
  cboSpeed = new QComboBox(direct);
  cboSpeed->setObjectName(QStringLiteral("cboSpeed"));
  cboSpeed->setEditable(true);
  cboSpeed->addItem(QStringLiteral("機種の既定"));
  for (int s : {1200, 2400, 4800, 9600, 19200, 38400, 57600, 115200}) cboSpeed->addItem(QString::number(s));
  dl->addWidget(cboSpeed, 3, 3);
  lay->addWidget(direct);

  optRigctld = new QRadioButton(QStringLiteral("rigctld につなぐ"), this);
  optRigctld->setObjectName(QStringLiteral("optRigctld"));
  auto* net = new QGroupBox(this);
  auto* nl = new QHBoxLayout(net);
  nl->addWidget(optRigctld);
  nl->addWidget(new QLabel(QStringLiteral("ホスト"), net));
  txtHost = new QLineEdit(net);
  txtHost->setObjectName(QStringLiteral("txtHost"));
  nl->addWidget(txtHost, 1);
  nl->addWidget(new QLabel(QStringLiteral("ポート"), net));
  txtPort = new QLineEdit(net);
  txtPort->setObjectName(QStringLiteral("txtPort"));
  txtPort->setValidator(new QIntValidator(1, 65535, txtPort));
  txtPort->setFixedWidth(twipsToPx(900));
  nl->addWidget(txtPort);
  lay->addWidget(net);

  auto* more = new QHBoxLayout;
  more->addWidget(new QLabel(QStringLiteral("データ通信モード（PKT）のときのモード"), this));
  cboDigiMode = new QComboBox(this);
  cboDigiMode->setObjectName(QStringLiteral("cboDigiMode"));
  cboDigiMode->addItems({QString(), QStringLiteral("WSJT"), QStringLiteral("PSK31"), QStringLiteral("RTTY"),
                         QStringLiteral("DD"), QStringLiteral("SSTV")});
  more->addWidget(cboDigiMode);
  more->addStretch(1);
  lay->addLayout(more);

  auto* test = new QHBoxLayout;
  cmdTest = namedButton("cmdTest", QStringLiteral("接続テスト"), this);
  lblTest = new QLabel(this);
  lblTest->setObjectName(QStringLiteral("lblTest"));
  lblTest->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  lblTest->setMinimumWidth(twipsToPx(5000));
  lblTest->setTextInteractionFlags(Qt::TextSelectableByMouse);
  test->addWidget(cmdTest);
  test->addWidget(lblTest, 1);
  lay->addLayout(test);

  OKButton = namedButton("OKButton", QStringLiteral("O  K"), this);
  CancelButton = namedButton("CancelButton", QStringLiteral("ｷｬﾝｾﾙ"), this);
  lay->addLayout(buttonRow({OKButton, CancelButton}, 1215, true, RowAlign::Right));

  // One choice, though the two stand in frames of their own.
  auto* kind = new QButtonGroup(this);
  kind->addButton(optDirect);
  kind->addButton(optRigctld);

  testTimer = new QTimer(this);
  testTimer->setSingleShot(true);
  testTimer->setInterval(kTestSeconds * 1000);
  test_ = new RigWatch(this);

  for (const entry::RigModelInfo& m : entry::RigModels()) {
    if (m.model == entry::RigConfig::kRigctldModel) continue;
    auto* item = new QListWidgetItem(modelText(m), lstModels);
    item->setData(Qt::UserRole, m.model);
  }

  connect(txtFind, &QLineEdit::textChanged, this, &frmRigSet::txtFind_Change);
  connect(optDirect, &QRadioButton::toggled, this, &frmRigSet::followKind);
  connect(cmdTest, &QPushButton::clicked, this, &frmRigSet::cmdTest_Click);
  connect(test_, &RigWatch::changed, this, &frmRigSet::testStatus);
  connect(testTimer, &QTimer::timeout, this, [this] {
    const std::string err = test_->status().error;
    endTest(QStringLiteral("応答がありません") + (err.empty() ? QString() : QStringLiteral("：") + toQ(err)));
  });
  connect(OKButton, &QPushButton::clicked, this, [this] {
    if (OKButton_Click()) close();
  });
  connect(CancelButton, &QPushButton::clicked, this, &QWidget::close);

  const Settings& ini = ws_.session().Ini;
  chkRigOn->setChecked(ini.RigOn == 1);
  const bool rigctld = ini.RigModel == entry::RigConfig::kRigctldModel;
  (rigctld ? optRigctld : optDirect)->setChecked(true);
  if (!rigctld) selectModel(ini.RigModel);
  cboPort->setEditText(toQ(ini.RigPort));
  cboSpeed->setCurrentIndex(0);
  if (ini.RigSpeed > 0) cboSpeed->setEditText(QString::number(ini.RigSpeed));
  const std::string addr = ini.RigctldAddress;
  const auto colon = addr.rfind(':');
  txtHost->setText(addr.empty() ? QString::fromUtf8(kDefaultHost)
                                : toQ(colon == std::string::npos ? addr : addr.substr(0, colon)));
  txtPort->setText(colon == std::string::npos ? QString::fromUtf8(kDefaultPort) : toQ(addr.substr(colon + 1)));
  cboDigiMode->setCurrentIndex(std::max(0, cboDigiMode->findText(toQ(ini.RigDigiMode))));
  followKind();

  registerOpen();
  PlaceOverMain(this, ws_, 300);
}

frmRigSet* frmRigSet::showFor(Workspace& ws) { return OpenToolWindow<frmRigSet>(ws, &frmRigSet::OKButton); }

void frmRigSet::followKind() {
  const bool direct = optDirect->isChecked();
  for (QWidget* w : std::initializer_list<QWidget*>{txtFind, lstModels, cboPort, cboSpeed}) w->setEnabled(direct);
  for (QWidget* w : std::initializer_list<QWidget*>{txtHost, txtPort}) w->setEnabled(!direct);
}

void frmRigSet::selectModel(int model) {
  for (int i = 0; i < lstModels->count(); ++i) {
    QListWidgetItem* item = lstModels->item(i);
    if (item->data(Qt::UserRole).toInt() != model) continue;
    item->setHidden(false);
    lstModels->setCurrentItem(item);
    lstModels->scrollToItem(item);
    return;
  }
}

int frmRigSet::selectedModel() const {
  const QListWidgetItem* item = lstModels->currentItem();
  return item ? item->data(Qt::UserRole).toInt() : 0;
}

// Every word typed must stand in the maker, the name or the number.
void frmRigSet::txtFind_Change() {
  const QStringList words = txtFind->text().split(QLatin1Char(' '), Qt::SkipEmptyParts);
  QListWidgetItem* first = nullptr;
  for (int i = 0; i < lstModels->count(); ++i) {
    QListWidgetItem* item = lstModels->item(i);
    bool shown = true;
    for (const QString& w : words) shown = shown && item->text().contains(w, Qt::CaseInsensitive);
    item->setHidden(!shown);
    if (shown && !first) first = item;
  }
  QListWidgetItem* cur = lstModels->currentItem();
  if ((!cur || cur->isHidden()) && first) lstModels->setCurrentItem(first);
  if (lstModels->currentItem()) lstModels->scrollToItem(lstModels->currentItem());
}

entry::RigConfig frmRigSet::config() const {
  entry::RigConfig c;
  const std::string digi = fromQ(cboDigiMode->currentText());
  if (optRigctld->isChecked()) {
    return entry::RigConfig::rigctld(fromQ(txtHost->text().trimmed() + QLatin1Char(':') + txtPort->text().trimmed()),
                                     digi);
  }
  c.model = selectedModel();
  c.port = fromQ(cboPort->currentText().trimmed());
  c.speed = cboSpeed->currentIndex() == 0 && cboSpeed->currentText() == cboSpeed->itemText(0)
                ? 0
                : cboSpeed->currentText().toInt();
  c.digiMode = digi;
  return c;
}

void frmRigSet::cmdTest_Click() {
  const entry::RigConfig c = config();
  if (c.model <= 0) {
    lblTest->setText(QStringLiteral("機種を選んでください"));
    return;
  }
  lblTest->setText(QStringLiteral("接続しています..."));
  cmdTest->setEnabled(false);
  test_->start(c);
  testTimer->start();
}

void frmRigSet::testStatus(const entry::RigStatus& s) {
  if (s.state != entry::RigState::Answering) return;
  QString text = QStringLiteral("周波数 %1 MHz　モード %2").arg(toQ(entry::RigFrequencyText(s.frequency)), toQ(s.rigMode));
  if (!s.band.empty() || !s.mode.empty())
    text += QStringLiteral("（バンド %1 / %2）").arg(toQ(s.band), toQ(s.mode));
  endTest(text);
}

void frmRigSet::endTest(const QString& text) {
  testTimer->stop();
  test_->stop();
  lblTest->setText(text);
  cmdTest->setEnabled(true);
}

bool frmRigSet::OKButton_Click() {
  Settings& ini = ws_.session().Ini;
  const entry::RigConfig c = config();
  ini.RigOn = chkRigOn->isChecked() ? 1 : 0;
  if (optRigctld->isChecked()) {
    ini.RigModel = entry::RigConfig::kRigctldModel;
    ini.RigctldAddress = c.port;
  } else {
    ini.RigModel = c.model;
    ini.RigPort = c.port;
    ini.RigSpeed = c.speed;
  }
  ini.RigDigiMode = c.digiMode;
  return WriteSettingsTold(ws_, this);
}

void frmRigSet::onClose() {
  testTimer->stop();
  test_->stop();
}

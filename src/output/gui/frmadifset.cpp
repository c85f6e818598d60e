#include "output/gui/frmadifset.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QVBoxLayout>
#include <algorithm>
#include <filesystem>
#include <system_error>

#include "contest/contestdef.h"
#include "log/clock.h"
#include "log/fileio.h"
#include "log/gui/cp932guard.h"
#include "log/gui/qtui.h"
#include "contest/gui/workspace.h"
#include "contest/session.h"
#include "log/gui/dialogregistry.h"
#include "log/logcommands.h"
#include "log/qso.h"
#include "log/settings.h"
#include "log/ui.h"
#include "output/adif.h"

adif::AdifOptions frmAdifSet::Memory;

namespace {
Qt::CheckState checked(std::int16_t v) { return v == 1 ? Qt::Checked : Qt::Unchecked; }
std::int16_t value(const QCheckBox* c) { return c->isChecked() ? 1 : 0; }
}  // namespace

frmAdifSet::frmAdifSet(Workspace& ws) : ToolWindow(ws, DlgAdifSet, Qt::Dialog) {
  setObjectName(QStringLiteral("frmAdifSet"));
  setWindowTitle(QStringLiteral("ADIFファイル変換の設定"));
  setWindowFlag(Qt::WindowContextHelpButtonHint, false);
  setModal(false);

  auto* lay = new QVBoxLayout(this);
  lay->setContentsMargins(twipsToPx(360), twipsToPx(240), twipsToPx(360), twipsToPx(240));
  lay->setSpacing(twipsToPx(90));
  auto check = [&](QCheckBox*& c, const char* name, const QString& text) {
    c = new QCheckBox(text, this);
    c->setObjectName(QString::fromLatin1(name));
    lay->addWidget(c);
  };
  check(Check1, "Check1", QStringLiteral("QSL発送済みにチェック"));
  check(Check2, "Check2", QStringLiteral("QSL受領済みにチェック"));
  check(Check3, "Check3", QStringLiteral("エンティティ変換時、JA局は空欄"));
  check(Check4, "Check4", QStringLiteral("備考を記入"));
  check(Check5, "Check5", QStringLiteral("ＱＳＬカードメッセージを記入"));
  check(Check6, "Check6", QStringLiteral("標準ADIF (ADIF 3.1)"));
  // What "WSJT" stands for matters only in the standard file.
  auto* wsjt = new QHBoxLayout;
  Label3 = new QLabel(QStringLiteral("WSJTのモード"), this);
  Label3->setObjectName(QStringLiteral("Label3"));
  Combo1 = new QComboBox(this);
  Combo1->setObjectName(QStringLiteral("Combo1"));
  for (const std::string_view m : adif::kWsjtModeNames) Combo1->addItem(toQ(m));
  wsjt->addSpacing(twipsToPx(300));
  wsjt->addWidget(Label3);
  wsjt->addWidget(Combo1);
  wsjt->addStretch(1);
  lay->addLayout(wsjt);
  connect(Check6, &QCheckBox::toggled, this, [this](bool on) {
    Label3->setEnabled(on);
    Combo1->setEnabled(on);
  });

  auto* texts = new QGridLayout;
  texts->setHorizontalSpacing(twipsToPx(120));
  Label1 = new QLabel(QStringLiteral("備　　　考"), this);
  Label1->setObjectName(QStringLiteral("Label1"));
  Text1 = new QLineEdit(this);
  Text1->setObjectName(QStringLiteral("Text1"));
  Label2 = new QLabel(QStringLiteral("QSLﾒｯｾｰｼﾞ"), this);
  Label2->setObjectName(QStringLiteral("Label2"));
  Text2 = new QLineEdit(this);
  Text2->setObjectName(QStringLiteral("Text2"));
  RefuseNonCp932(Text1);
  RefuseNonCp932(Text2);
  texts->addWidget(Label1, 0, 0);
  texts->addWidget(Text1, 0, 1);
  texts->addWidget(Label2, 1, 0);
  texts->addWidget(Text2, 1, 1);
  lay->addSpacing(twipsToPx(60));
  lay->addLayout(texts);

  Command1 = namedButton("Command1", QStringLiteral("O K"), this);
  Command2 = namedButton("Command2", QStringLiteral("ｷｬﾝｾﾙ"), this);
  lay->addSpacing(twipsToPx(120));
  lay->addLayout(buttonRow({Command1, Command2}, 1215));
  // Enter in a text box is OK.
  Command1->setDefault(true);
  setFixedSize(twipsToPx(5400), sizeHint().height());
  connect(Command1, &QPushButton::clicked, this, &frmAdifSet::Command1_Click);
  connect(Command2, &QPushButton::clicked, this, &frmAdifSet::Command2_Click);
  Form_Load();
}

frmAdifSet* frmAdifSet::showFor(Workspace& ws) {
  return OpenToolWindow<frmAdifSet>(ws, &frmAdifSet::Check1);
}

void frmAdifSet::Form_Load() {
  move(ws_.mainWidget()->pos() + QPoint(twipsToPx(300), twipsToPx(300)));
  const Settings& s = ws_.session().Ini;
  Check1->setCheckState(checked(s.AdiSendSw));
  Check2->setCheckState(checked(s.AdiRcvdSw));
  Check3->setCheckState(checked(s.AdiCty2JaSw));
  Check4->setCheckState(checked(Memory.AdiRmkSw));
  Check5->setCheckState(checked(Memory.AdiQslMsgSw));
  Check6->setCheckState(checked(Memory.AdiStdSw));
  Combo1->setCurrentIndex(static_cast<int>(Memory.AdiWsjtMode));
  Label3->setEnabled(Check6->isChecked());
  Combo1->setEnabled(Check6->isChecked());
  Text1->setText(toQ(s.AdiRemark));
  Text2->setText(toQ(s.AdiQslMsg));
  registerOpen();
}

void frmAdifSet::Command1_Click() {
  if (closed()) return;
  Settings& s = ws_.session().Ini;
  s.AdiSendSw = value(Check1);
  s.AdiRcvdSw = value(Check2);
  s.AdiCty2JaSw = value(Check3);
  Memory.AdiRmkSw = value(Check4);
  Memory.AdiQslMsgSw = value(Check5);
  Memory.AdiStdSw = value(Check6);
  Memory.AdiWsjtMode = static_cast<adif::WsjtMode>(std::max(0, Combo1->currentIndex()));
  s.AdiRemark = fromQ(Text1->text());
  s.AdiQslMsg = fromQ(Text2->text());
  ws_.session().saveSettings();
  close();
}

void frmAdifSet::Command2_Click() { close(); }

void mnuAdiConv_Click(Workspace& ws) {
  const LogData& log = ws.session().Doc.Log;
  if (!log.empty() &&
      ws.session().ui().ask("ＡＤＩＦファイルを作成します", Buttons::OkCancel, Icon::None,
                  "ＡＤＩＦファイルの作成") != Answer::Ok)
    return;
  FileDialogOptions d;
  d.initialDir = ws.session().ProgramFolder + "/Conv";
  std::error_code ec;
  std::filesystem::create_directories(d.initialDir, ec);
  d.filter = "adi ファイル (*.adi)|*.adi|";
  d.overwritePrompt = true;
  const std::optional<std::string> chosen = ws.session().ui().saveFile(d);
  if (!chosen) return;
  const std::string base = adif::AdifBaseName(*chosen);
  // The dialog asked about the name typed, not about the one the rule made.
  if (base + ".adi" != *chosen && fileio::exists(base + ".adi") &&
      ws.session().ui().question(Question::Overwrite, logtext::askOverwrite(base + ".adi"), Buttons::YesNo,
                       Icon::Exclamation) != Answer::Yes)
    return;
  const adif::AdifSource src{log,
                             ws.session().Contest.SetUTCtime == 1,
                             ws.session().Cty,
                             ws.session().Ini,
                             frmAdifSet::Memory,
                             ws.session().Contest.ContestNo,
                             ws.session().clock().now()};
  adif::AdifOut(base, src, ws.session().ProgramFolder, ws.session().ui(), ws.session().progress());
}

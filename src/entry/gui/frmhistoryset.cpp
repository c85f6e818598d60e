#include "entry/gui/frmhistoryset.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QVBoxLayout>

#include "contest/gui/workspace.h"
#include "entry/gui/entrysettings.h"
#include "contest/session.h"
#include "log/gui/cp932guard.h"
#include "log/gui/qtui.h"
#include "log/settings.h"

namespace {
constexpr std::string_view kLogFilter = "Tamarack　ログファイル (*.tmk)|*.tmk|";
constexpr std::string_view kTextFilter = "テキストファイル (*.txt;*.csv)|*.txt;*.csv|すべてのファイル (*)|*|";
}  // namespace

frmHistorySet::frmHistorySet(Workspace& ws) : ToolWindow(ws, DlgHistorySet) {
  setEnterClicksButton(true);
  setObjectName(QStringLiteral("frmHistorySet"));
  setWindowTitle(QStringLiteral("入力補助の設定"));
  auto* lay = new QVBoxLayout(this);

  auto* logs = new QGroupBox(QStringLiteral("コールサイン履歴に使う過去のログ（1行に1ファイル）"), this);
  auto* ll = new QGridLayout(logs);
  ll->addWidget(new QLabel(QStringLiteral("Log フォルダのログのほかに読むログファイル："), logs), 0, 0, 1, 2);
  txtHistoryLogs = new QPlainTextEdit(logs);
  txtHistoryLogs->setObjectName(QStringLiteral("txtHistoryLogs"));
  txtHistoryLogs->setMinimumWidth(twipsToPx(6000));
  txtHistoryLogs->setFixedHeight(twipsToPx(1200));
  RefuseNonCp932(txtHistoryLogs);
  cmdAddLog = namedButton("cmdAddLog", QStringLiteral("ログを追加..."), logs);
  ll->addWidget(txtHistoryLogs, 1, 0);
  ll->addWidget(cmdAddLog, 1, 1, Qt::AlignTop);
  lay->addWidget(logs);

  auto* file = new QGroupBox(QStringLiteral("コールサインとナンバーのファイル（CALL,EXCHANGE の行）"), this);
  auto* fl = new QHBoxLayout(file);
  txtHistoryFile = new QLineEdit(file);
  txtHistoryFile->setObjectName(QStringLiteral("txtHistoryFile"));
  RefuseNonCp932(txtHistoryFile);
  cmdRef = namedButton("cmdRef", QStringLiteral("参照..."), file);
  fl->addWidget(txtHistoryFile, 1);
  fl->addWidget(cmdRef);
  lay->addWidget(file);

  chkHistoryFill = new QCheckBox(
      QStringLiteral("受信ナンバーが空のとき、履歴のナンバーを入れる（選択状態で入るので、打てば置き換わります）"), this);
  chkHistoryFill->setObjectName(QStringLiteral("chkHistoryFill"));
  lay->addWidget(chkHistoryFill);

  OKButton = namedButton("OKButton", QStringLiteral("O  K"), this);
  CancelButton = namedButton("CancelButton", QStringLiteral("ｷｬﾝｾﾙ"), this);
  lay->addLayout(buttonRow({OKButton, CancelButton}, 1215, true, RowAlign::Right));

  connect(cmdAddLog, &QPushButton::clicked, this, &frmHistorySet::cmdAddLog_Click);
  connect(cmdRef, &QPushButton::clicked, this, &frmHistorySet::cmdRef_Click);
  connect(OKButton, &QPushButton::clicked, this, [this] {
    if (OKButton_Click()) close();
  });
  connect(CancelButton, &QPushButton::clicked, this, &QWidget::close);

  const Settings& ini = ws_.session().Ini;
  txtHistoryLogs->setPlainText(toQ(ini.HistoryLogs).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
  txtHistoryFile->setText(toQ(ini.HistoryFile));
  chkHistoryFill->setChecked(ini.HistoryFill == 1);

  registerOpen();
  PlaceOverMain(this, ws_, 500);
}

frmHistorySet* frmHistorySet::showFor(Workspace& ws) { return OpenToolWindow<frmHistorySet>(ws, &frmHistorySet::OKButton); }

void frmHistorySet::cmdAddLog_Click() {
  FileDialogOptions o;
  o.title = "履歴に使うログ";
  o.filter = std::string(kLogFilter);
  o.initialDir = ws_.session().ProgramFolder + "/Log";
  setTopmost(this, false);
  const auto path = ws_.session().ui().openFile(o);
  setTopmost(this, true);
  if (!path) return;
  QString text = txtHistoryLogs->toPlainText();
  if (!text.isEmpty() && !text.endsWith(QLatin1Char('\n'))) text += QLatin1Char('\n');
  txtHistoryLogs->setPlainText(text + toQ(*path));
}

void frmHistorySet::cmdRef_Click() {
  FileDialogOptions o;
  o.title = "コールサインとナンバーのファイル";
  o.filter = std::string(kTextFilter);
  o.initialDir = ws_.session().ProgramFolder;
  setTopmost(this, false);
  const auto path = ws_.session().ui().openFile(o);
  setTopmost(this, true);
  if (path) txtHistoryFile->setText(toQ(*path));
}

bool frmHistorySet::OKButton_Click() {
  Settings& ini = ws_.session().Ini;
  // One file a line, blank lines dropped; kept with CR LF as the settings file holds it.
  std::string logs;
  for (const QString& line : txtHistoryLogs->toPlainText().split(QLatin1Char('\n'))) {
    const QString t = line.trimmed();
    if (t.isEmpty()) continue;
    if (!logs.empty()) logs += "\r\n";
    logs += fromQ(t);
  }
  ini.HistoryLogs = logs;
  ini.HistoryFile = fromQ(txtHistoryFile->text().trimmed());
  ini.HistoryFill = chkHistoryFill->isChecked() ? 1 : 0;
  ws_.rebuildCallHistory();
  return WriteSettingsTold(ws_, this);
}

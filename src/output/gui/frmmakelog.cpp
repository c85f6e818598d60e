#include "output/gui/frmmakelog.h"

#include <QClipboard>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QVBoxLayout>
#include <algorithm>

#include "contest/contestdef.h"
#include "log/cp932.h"
#include "log/fileio.h"
#include "log/clock.h"
#include "log/gui/cp932guard.h"
#include "log/gui/updown.h"
#include "log/gui/qtui.h"
#include "contest/gui/workspace.h"
#include "contest/session.h"
#include "log/gui/dialogregistry.h"
#include "log/logcommands.h"
#include "log/qso.h"
#include "log/settings.h"
#include "log/utf8.h"
#include "output/mail.h"
#include "output/elog.h"
#include "output/gui/desktop.h"
#include "output/gui/frmcfm.h"
#include "output/gui/frmchecklog.h"
#include "output/gui/frmqtc.h"

frmMakeLog::frmMakeLog(Workspace& ws) : ToolWindow(ws, DlgMakeLog) {
  setActivatesMain(false);
  setObjectName(QStringLiteral("frmMakeLog"));
  setWindowTitle(QStringLiteral("電子ログの作成とE-メール送信"));

  auto caption = [this](const char* text) { return new QLabel(QString::fromUtf8(text), this); };
  auto* outer = new QVBoxLayout(this);
  auto* g = new QGridLayout;
  outer->addLayout(g);
  Label2 = selectablePanel("Label2", this);
  Label4 = selectablePanel("Label4", this);
  Text1 = new QLineEdit(this);
  Text1->setObjectName(QStringLiteral("Text1"));
  Text5 = new QLineEdit(this);
  Text5->setObjectName(QStringLiteral("Text5"));
  Text5->setPlaceholderText(QStringLiteral("提出先のアドレスを入力（コンテストの規約で確かめてください）"));
  g->addWidget(caption("ｺﾝﾃｽﾄﾒｰﾙｱﾄﾞﾚｽ"), 0, 0);
  // One of the two shows: the definition's address, or the box to type it.
  g->addWidget(Label2, 0, 1);
  g->addWidget(Text5, 0, 1);
  g->addWidget(caption("ﾃｽﾄﾒｰﾙｱﾄﾞﾚｽ"), 1, 0);
  g->addWidget(Label4, 1, 1);
  g->addWidget(caption("自分のﾒｰﾙｱﾄﾞﾚｽ"), 2, 0);
  g->addWidget(Text1, 2, 1);
  g->setColumnStretch(1, 1);

  outer->addWidget(caption("意　見"));
  Text2 = new QPlainTextEdit(this);
  Text2->setObjectName(QStringLiteral("Text2"));
  Text2->setTabChangesFocus(true);
  Text2->setFixedHeight(twipsToPx(1100));
  outer->addWidget(Text2);

  outer->addWidget(caption("局免許者（社団の代表者）の署名　（必須）"));
  Text3 = new QLineEdit(this);
  Text3->setObjectName(QStringLiteral("Text3"));
  outer->addWidget(Text3);

  auto* dateRow = new QHBoxLayout;
  dateRow->addWidget(caption("書類作成日付"));
  Label7 = selectablePanel("Label7", this);
  Label7->setMinimumWidth(twipsToPx(1900));
  Label7->setAlignment(Qt::AlignCenter);
  dateRow->addWidget(Label7);
  auto upDown = [&](const char* name, const char* unit, submit::DatePart part) {
    auto* u = new UpDownControl(Qt::Vertical, false, this);
    u->setObjectName(QString::fromUtf8(name));
    u->setFixedSize(twipsToPx(255), twipsToPx(390));
    connect(u, &UpDownControl::UpClick, this, [this, part] { stepDate(part, 1); });
    connect(u, &UpDownControl::DownClick, this, [this, part] { stepDate(part, -1); });
    dateRow->addWidget(u);
    dateRow->addWidget(caption(unit));
    return u;
  };
  UpDown3 = upDown("UpDown3", "年", submit::DatePart::Year);
  UpDown2 = upDown("UpDown2", "月", submit::DatePart::Month);
  UpDown1 = upDown("UpDown1", "日", submit::DatePart::Day);
  dateRow->addStretch(1);
  outer->addLayout(dateRow);

  auto* formatRow = new QHBoxLayout;
  formatRow->addWidget(caption("形式"));
  Combo1 = new QComboBox(this);
  Combo1->setObjectName(QStringLiteral("Combo1"));
  Combo1->addItems({QStringLiteral("R1.0"), QStringLiteral("R2.1")});
  formatRow->addWidget(Combo1);
  formatRow->addSpacing(twipsToPx(300));
  licenseCaption_ = caption("免許年月日（ニューカマー部門）");
  formatRow->addWidget(licenseCaption_);
  Text4 = new QLineEdit(this);
  Text4->setObjectName(QStringLiteral("Text4"));
  Text4->setPlaceholderText(QStringLiteral("2020年02月28日"));
  RefuseNonCp932(Text4);
  Text4->setMinimumWidth(twipsToPx(2400));
  formatRow->addWidget(Text4);
  // The format box keeps its place when the licence date is hidden.
  formatRow->addStretch(1);
  outer->addLayout(formatRow);

  Check1 = new QCheckBox(QStringLiteral("電子ログを作成してからJARLへE-メールで送信(提出)する "), this);
  Check1->setObjectName(QStringLiteral("Check1"));
  Check2 = new QCheckBox(QStringLiteral("電子ログを作成してからJARLのﾃｽﾄﾒｰﾙｱﾄﾞﾚｽへ送信する "), this);
  Check2->setObjectName(QStringLiteral("Check2"));
  Check3 = new QCheckBox(QStringLiteral("自分のメールアドレスに電子ログのコピーを送信する"), this);
  Check3->setObjectName(QStringLiteral("Check3"));
  for (QCheckBox* c : {Check1, Check2, Check3}) outer->addWidget(c);
  for (QWidget* box : std::initializer_list<QWidget*>{Text1, Text2, Text3, Text5}) RefuseNonCp932(box);

  StatusLine = new QLabel(this);
  StatusLine->setObjectName(QStringLiteral("StatusLine"));
  StatusLine->setWordWrap(true);
  StatusLine->setTextInteractionFlags(Qt::TextSelectableByMouse);
  outer->addWidget(StatusLine);

  auto* buttons = new QHBoxLayout;
  Command3 = new QPushButton(QStringLiteral("アップロードページを開く"), this);
  Command3->setObjectName(QStringLiteral("Command3"));
  buttons->addWidget(Command3);
  Command4 = namedButton("Command4", QStringLiteral("電子ログをコピー"), this);
  buttons->addWidget(Command4);
  buttons->addStretch(1);
  Command1 = new QPushButton(QStringLiteral("電子ログ作成"), this);
  Command1->setObjectName(QStringLiteral("Command1"));
  Command2 = new QPushButton(QStringLiteral("キャンセル"), this);
  Command2->setObjectName(QStringLiteral("Command2"));
  for (QPushButton* b : {Command1, Command2}) {
    b->setMinimumWidth(twipsToPx(1500));
    buttons->addWidget(b);
  }
  outer->addLayout(buttons);

  connect(Check1, &QCheckBox::toggled, this, &frmMakeLog::updateCopyBox);
  connect(Check2, &QCheckBox::toggled, this, &frmMakeLog::updateCopyBox);
  connect(Text1, &QLineEdit::textChanged, this, &frmMakeLog::updateCopyBox);
  connect(Text5, &QLineEdit::textChanged, this, &frmMakeLog::updateCopyBox);
  connect(Command1, &QPushButton::clicked, this, &frmMakeLog::Command1_Click);
  connect(Command2, &QPushButton::clicked, this, &frmMakeLog::Command2_Click);
  connect(Command3, &QPushButton::clicked, this, &frmMakeLog::Command3_Click);
  connect(Command4, &QPushButton::clicked, this, &frmMakeLog::Command4_Click);
  connect(Combo1, &QComboBox::currentIndexChanged, this, &frmMakeLog::updateFormatRows);
  resize(std::max(twipsToPx(8400), sizeHint().width()), sizeHint().height());
  Form_Load();
}

void frmMakeLog::mnuMakeJaeLog(Workspace& ws) {
  if (!ws.session().Files.OfferSave()) return;
  if (!submit::SummaryCheckLoad(ws.session().Ini, ws.session().Contest).complete()) {
    frmQTC::open(ws);
    return;
  }
  if (std::vector<check::Finding> findings = frmCheckLog::Findings(ws); !findings.empty())
    frmCheckLog::open(ws, frmCheckLog::From::MakeLogCommand, std::move(findings));
  else
    open(ws);
}

void frmMakeLog::openChecked(Workspace& ws, bool offerSave) {
  if (offerSave && !ws.session().Files.OfferSave()) return;
  if (!submit::SummaryCheckLoad(ws.session().Ini, ws.session().Contest).complete())
    frmQTC::open(ws);
  else
    open(ws);
}

frmMakeLog* frmMakeLog::open(Workspace& ws) {
  auto* d = qobject_cast<frmMakeLog*>(ws.dialogs().find(DlgMakeLog));
  if (!d) d = new frmMakeLog(ws);
  d->show();
  d->raise();
  d->activateWindow();
  if (submit::Blank(fromQ(d->Text3->text()))) d->Text3->setFocus();
  return d;
}

void frmMakeLog::Form_Load() {
  // 1. menus off, registered, topmost, 500 twips right of and below the main window's corner
  registerOpen();
  move(ws_.mainWidget()->pos() + QPoint(twipsToPx(500), twipsToPx(500)));

  // 2. the addresses, the boxes, the date and the copy box
  const ContestDefinition& def = ws_.session().Contest;
  const Settings& s = ws_.session().Ini;
  Label2->setText(toQ(def.SendMailAddress));
  Label4->setText(toQ(def.TestMailAddress));
  Text1->setText(toQ(s.JarlEmail));
  Text2->setPlainText(boxText(s.JarlComment));
  const auto today = submit::ParseJapaneseDate(ws_.session().Doc.State.TodayText);
  date_ = today ? *today : ole::fromParts([&] {
    ole::Parts p = ole::toParts(ws_.session().clock().now());
    p.hour = p.minute = p.second = 0;
    return p;
  }());
  showDate();
  Text3->setText(toQ(ws_.session().JarlSignature));
  Check3->setChecked(s.MailAndMe == 1);

  // 3. an address box without an address cannot be ticked; a contest
  // without its address offers a box to type it
  const bool typed = submit::Blank(def.SendMailAddress);
  Label2->setVisible(!typed);
  Text5->setVisible(typed);
  Text5->clear();
  Check2->setEnabled(!submit::Blank(def.TestMailAddress));
  updateCopyBox();
  for (QPushButton* b : {Command3, Command4}) {
    b->setVisible(!uploadUrl().empty());
    b->setEnabled(false);
  }

  // 4. the format: the definition's; the parties are R1.0 only
  Combo1->setCurrentIndex(elog::DefaultFormat(def) == elog::ElogFormat::R21 ? 1 : 0);
  Combo1->setEnabled(elog::R21Allowed(def));
  updateFormatRows();
}

elog::ElogFormat frmMakeLog::format() const {
  return Combo1->currentIndex() == 1 ? elog::ElogFormat::R21 : elog::ElogFormat::R10;
}

void frmMakeLog::updateFormatRows() {
  const bool on = format() == elog::ElogFormat::R21 && elog::NeedsLicenseDate(ws_.session().Ini.JarlCateCode);
  licenseCaption_->setVisible(on);
  Text4->setVisible(on);
}

std::string frmMakeLog::uploadUrl() const {
  const std::string& u = ws_.session().Contest.UploadUrl;
  const bool web = u.rfind("https://", 0) == 0 || u.rfind("http://", 0) == 0;
  return web ? u : std::string();
}

void frmMakeLog::showDate() { Label7->setText(toQ(ole::formatJapaneseDate(date_))); }

void frmMakeLog::stepDate(submit::DatePart part, int step) {
  date_ = submit::StepDate(date_, part, step);
  showDate();
}

std::string frmMakeLog::contestAddress() const {
  const std::string& def = ws_.session().Contest.SendMailAddress;
  return std::string(utf8::trim(submit::Blank(def) ? fromQ(Text5->text()) : def));
}

bool frmMakeLog::checkTypedAddress() {
  std::string error;
  if (!Check1->isChecked() || !Text5->isVisible() || mail::CheckAddress(contestAddress(), &error))
    return true;
  ws_.session().ui().tell(error, Icon::Exclamation);
  Text5->setFocus();
  return false;
}

void frmMakeLog::keepTypedAddress() {
  if (!Check1->isChecked() || !Text5->isVisible()) return;
  Session& session = ws_.session();
  const std::string address = contestAddress();
  session.Contest.SendMailAddress = address;
  const std::string& path = session.Doc.State.CfgFileName;
  std::string error;
  if (!CfgWriteValue(session.ProgramFolder, path, "SendMailAddress", address, "TestMailAddress",
                     &error))
    session.ui().tell("コンテストのメールアドレスを定義ファイルに書き込めませんでした。\r\n" +
                          CfgPath(session.ProgramFolder, path.substr(path.rfind('/') + 1)) +
                          "\r\n" + error,
                      Icon::Exclamation);
}

void frmMakeLog::updateCopyBox() {
  const bool contest = !contestAddress().empty();
  if (!contest && Check1->isChecked()) Check1->setChecked(false);
  Check1->setEnabled(contest);
  Check3->setEnabled((Check1->isChecked() || Check2->isChecked()) &&
                     !submit::Blank(fromQ(Text1->text())));
}

bool frmMakeLog::writeElog(const std::string& path) {
  const std::string licenseDate = fromQ(Text4->text());
  const elog::ElogSource src{ws_.session().Doc.Log,          ws_.session().Contest,       ws_.session().Score, ws_.session().Ini,
                             ws_.session().Doc.State.TodayText, ws_.session().JarlSignature, licenseDate};
  elog::ElogResult r = elog::MakeElog(format(), path, src, ws_.session().progress());
  if (!r.ok && r.refused) {
    // What R2.1 cannot hold is named; R1.0 is offered instead.
    if (ws_.session().ui().ask(r.error + "\r\n\r\nR1.0 形式で作成しますか？", Buttons::YesNo, Icon::Question) !=
        Answer::Yes)
      return false;
    Combo1->setCurrentIndex(0);
    r = elog::MakeElog(elog::ElogFormat::R10, path, src, ws_.session().progress());
  }
  if (!r.ok) ws_.session().ui().tell(path + "\r\n" + r.error, Icon::Critical);
  return r.ok;
}

void frmMakeLog::Command1_Click() {
  // 1. what the dialog shows goes back into the variables
  Settings& s = ws_.session().Ini;
  s.JarlEmail = fromQ(Text1->text());
  s.JarlComment = varText(Text2->toPlainText());
  s.MailAndMe = Check3->isChecked() ? 1 : 0;
  ws_.session().JarlSignature = fromQ(Text3->text());
  ws_.session().Doc.State.TodayText = ole::formatJapaneseDate(date_);

  // 2. the signature is required
  if (submit::Blank(ws_.session().JarlSignature)) {
    ws_.session().ui().tell(submit::kNoSignature);
    Text3->setFocus();
    return;
  }
  // R2.1 needs a few items more than the check does.
  if (format() == elog::ElogFormat::R21) {
    const auto missing = submit::R21MissingItems(s, fromQ(Text4->text()));
    if (!missing.empty()) {
      std::string text = "R2.1 形式の電子ログには次の項目が必要です：";
      for (std::string_view m : missing) (text += "\r\n") += m;
      ws_.session().ui().tell(text, Icon::Exclamation);
      return;
    }
  }
  if (!checkTypedAddress()) return;
  // 3. nothing to write
  if (ws_.session().Doc.Log.count() < 1) {
    ws_.session().ui().tell(submit::kNoLog);
    close();
    return;
  }
  // 4., 5. the file, named by the .tmq rule
  const auto chosen = ws_.session().ui().saveFile(
      submit::ElogSaveDialog(ws_.session().ProgramFolder, ws_.session().Ini.JarlCallSign));
  if (!chosen || chosen->empty()) return;
  const std::string path = submit::ElogSaveName(*chosen);
  // The dialog asked about the name typed, not about the one the rule made.
  if (path != *chosen && fileio::exists(path) &&
      ws_.session().ui().ask(logtext::askOverwrite(path), Buttons::YesNo, Icon::Exclamation) != Answer::Yes)
    return;

  // 6. written, then shown in the editor; a log that was not written is neither shown nor mailed
  if (!writeElog(path)) return;
  elogPath_ = path;
  StatusLine->setText(QStringLiteral("電子ログを保存しました: ") + toQ(path));
  if (const std::string err = desktop::launchers().editor(path); !err.empty())
    ws_.session().ui().tell(err, Icon::Exclamation);

  // 7. the mail, or the upload page
  setTopmost(this, false);
  if (Check1->isChecked() || Check2->isChecked()) {
    const bool jarl = Check1->isChecked(), test = Check2->isChecked();
    keepTypedAddress();
    close();
    frmCfm::open(ws_, path, jarl, test);
    return;
  }
  if (!uploadUrl().empty()) {
    Command3->setEnabled(true);
    Command4->setEnabled(true);
    Command2->setText(QStringLiteral("閉じる"));
    Command3->setFocus();
    return;
  }
  close();
}

void frmMakeLog::Command2_Click() { close(); }

void frmMakeLog::Command3_Click() {
  if (const std::string err = desktop::launchers().browser(uploadUrl()); !err.empty())
    ws_.session().ui().tell(err, Icon::Exclamation);
}

void frmMakeLog::Command4_Click() {
  std::string bytes, error;
  if (!fileio::readAll(elogPath_, bytes, &error)) {
    ws_.session().ui().tell(elogPath_ + "\r\n" + error, Icon::Critical);
    return;
  }
  // The page takes the text as it reads: decoded, with the desktop's line ends.
  QString text = toQ(cp932::decode(bytes));
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  QGuiApplication::clipboard()->setText(text);
  StatusLine->setText(QStringLiteral("電子ログ（%1 行）をコピーしました。アップロードページに貼り付けてください。")
                          .arg(text.count(QLatin1Char('\n'))));
  // A longer line grows the dialog rather than squeezing its rows.
  if (sizeHint().height() > height()) resize(width(), sizeHint().height());
}

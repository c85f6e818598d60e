#include "output/gui/frmcfm.h"

#include <QApplication>
#include <QKeyEvent>
#include <algorithm>

#include "contest/contestdef.h"
#include "log/gui/qtui.h"
#include "contest/gui/workspace.h"
#include "contest/session.h"
#include "log/gui/dialogregistry.h"
#include "log/qso.h"
#include "log/settings.h"
#include "output/mail.h"
#include "output/submit.h"

namespace {
// The client area and its controls, in twips.
constexpr int kWidth = 6255, kHeight = 1950;
constexpr int kButtonWidth = 1215, kButtonHeight = 375, kButtonTop = 1395;
constexpr int kOkLeft = 1200, kCancelLeft = 3840, kAloneLeft = 2520;
}  // namespace

frmCfm::frmCfm(Workspace& ws) : ToolWindow(ws, DlgCfm) {
  setActivatesMain(false);
  setObjectName(QStringLiteral("frmCfm"));
  setWindowTitle(QStringLiteral("E-メール送信の確認"));
  setFixedSize(twipsToPx(kWidth), twipsToPx(kHeight));

  Label1 = new QLabel(this);
  Label1->setObjectName(QStringLiteral("Label1"));
  Label1->setWordWrap(true);
  Label1->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
  Label1->setTextInteractionFlags(Qt::TextSelectableByMouse);
  Label1->setGeometry(twipsToPx(120), twipsToPx(120), twipsToPx(kWidth - 240), twipsToPx(840));
  Label2 = new QLabel(toQ(submit::kCfmPressOk), this);
  Label2->setObjectName(QStringLiteral("Label2"));
  Label2->setAlignment(Qt::AlignHCenter);
  Label2->setGeometry(twipsToPx(120), twipsToPx(1000), twipsToPx(kWidth - 240), twipsToPx(300));

  OKButton = new QPushButton(QStringLiteral("O  K"), this);
  OKButton->setObjectName(QStringLiteral("OKButton"));
  OKButton->setGeometry(twipsToPx(kOkLeft), twipsToPx(kButtonTop), twipsToPx(kButtonWidth),
                        twipsToPx(kButtonHeight));
  CancelButton = new QPushButton(QStringLiteral("ｷｬﾝｾﾙ"), this);
  CancelButton->setObjectName(QStringLiteral("CancelButton"));
  CancelButton->setGeometry(twipsToPx(kCancelLeft), twipsToPx(kButtonTop),
                            twipsToPx(kButtonWidth), twipsToPx(kButtonHeight));
  connect(OKButton, &QPushButton::clicked, this, &frmCfm::OKButton_Click);
  connect(CancelButton, &QPushButton::clicked, this, &frmCfm::CancelButton_Click);

  // Topmost, centred over the main window; menus off while open.
  const QRect m = ws_.mainWidget()->frameGeometry();
  move(m.center() - QPoint(width() / 2, height() / 2));
  registerOpen();
}

frmCfm::~frmCfm() {
  // A run still going is stopped before the window's state goes.
  cancel_ = true;
  if (worker_.joinable()) worker_.join();
}

frmCfm* frmCfm::open(Workspace& ws, const std::string& path, bool sendJarlMail,
                     bool sendTestMail) {
  auto* d = qobject_cast<frmCfm*>(ws.dialogs().find(DlgCfm));
  if (!d) d = new frmCfm(ws);
  d->ElogPath = path;
  d->SendJarlMail = sendJarlMail ? 1 : 0;
  d->SendTestMail = sendTestMail ? 1 : 0;
  d->showIntro();
  d->show();
  d->raise();
  d->activateWindow();
  d->OKButton->setFocus();
  return d;
}

void frmCfm::OKButton_Click() {
  if (sending_ || !OKButton->isVisible()) return;
  CancelButton->setEnabled(false);
  OKButton->hide();
  CancelButton->move(twipsToPx(kAloneLeft), CancelButton->y());
  CancelButton->setText(QStringLiteral("O K"));
  Label2->clear();
  Label1->setText(toQ(submit::kCfmSending));
  SendAllMail();
}

void frmCfm::showIntro() {
  if (sending_) return;
  const Settings& s = ws_.session().Ini;
  to_ = mail::ElogRecipients(ws_.session().Contest, s, SendJarlMail == 1, SendTestMail == 1);
  std::string t = submit::CfmIntroText(mail::SendmailProgram(), to_);
  if (const std::string note = mail::OwnAddressNote(s); !note.empty() && !to_.empty())
    t += "\r\n" + note;
  Label1->setText(messageText(t));
  fitMessage();
}

void frmCfm::SendAllMail() {
  const Settings& s = ws_.session().Ini;
  const ContestDefinition& def = ws_.session().Contest;
  to_ = mail::ElogRecipients(def, s, SendJarlMail == 1, SendTestMail == 1);
  results_.assign(to_.size(), mail::SendResult{});
  outcome_.clear();

  // Each message stands on its own: one that cannot be made fails alone.
  std::vector<mail::MimeResult> messages;
  for (const std::string& a : to_) messages.push_back(mail::ElogMessage(s, def, a, ElogPath));

  sending_ = true;
  const std::string program = mail::SendmailProgram();
  worker_ = std::thread([this, program, messages = std::move(messages)] {
    for (std::size_t i = 0; i < messages.size() && !cancel_; ++i) {
      mail::SendResult r;
      if (messages[i].ok)
        r = mail::RunSendmail(program, messages[i].message, 120, &cancel_);
      else
        r.error = messages[i].error;
      QMetaObject::invokeMethod(this, [this, i, r] { sent(i, r); }, Qt::QueuedConnection);
    }
    QMetaObject::invokeMethod(this, [this] { done(); }, Qt::QueuedConnection);
  });
}

void frmCfm::sent(std::size_t index, const mail::SendResult& r) {
  results_[index] = r;
  if (!r.ok) {
    QApplication::beep();
    QString t = toQ(submit::kCfmSending);
    for (std::size_t i = 0; i <= index; ++i)
      if (!results_[i].ok)
        t += QLatin1Char('\n') + toQ(mail::Printable(to_[i])) + QStringLiteral(": ") +
             messageText(results_[i].error);
    Label1->setText(t);
  }
}

void frmCfm::done() {
  if (worker_.joinable()) worker_.join();
  sending_ = false;
  QStringList failed;
  std::vector<std::string> went;
  // Addresses that failed for the same reason share one line.
  std::vector<std::pair<std::string, QStringList>> reasons;
  for (std::size_t i = 0; i < to_.size(); ++i) {
    outcome_.push_back(to_[i] + "\t" + (results_[i].ok ? std::string("sent") : results_[i].error));
    if (results_[i].ok) {
      went.push_back(to_[i]);
      continue;
    }
    auto same = std::find_if(reasons.begin(), reasons.end(),
                             [&](const auto& r) { return r.first == results_[i].error; });
    if (same == reasons.end()) same = reasons.insert(reasons.end(), {results_[i].error, {}});
    same->second << toQ(mail::Printable(to_[i]));
  }
  for (const auto& [error, addresses] : reasons)
    failed << addresses.join(QStringLiteral(", ")) + QStringLiteral(": ") + messageText(error);
  const std::string note = mail::OwnAddressNote(ws_.session().Ini);
  if (to_.empty()) {
    Label1->setText(toQ(submit::kCfmNoAddress));
  } else if (failed.isEmpty()) {
    QApplication::beep();
    Label1->setText(messageText(submit::CfmSentText(went) + (note.empty() ? "" : "\r\n" + note)));
  } else {
    // A later success never hides an earlier failure.
    QString t = QStringLiteral("送信できなかったE-メールがあります。\n") +
                failed.join(QLatin1Char('\n'));
    if (!went.empty()) t += QLatin1Char('\n') + messageText(submit::CfmSentText(went));
    Label1->setText(t);
  }
  Label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  fitMessage();
  CancelButton->setEnabled(true);
  CancelButton->setFocus();
  emit finished();
}

void frmCfm::fitMessage() {
  const int needed = Label1->heightForWidth(Label1->width());
  if (needed <= Label1->height()) return;
  const int grow = needed - Label1->height();
  Label1->resize(Label1->width(), needed);
  Label2->move(Label2->x(), Label2->y() + grow);
  for (QPushButton* b : {OKButton, CancelButton}) b->move(b->x(), b->y() + grow);
  setFixedSize(width(), height() + grow);
}

void frmCfm::onClose() {
  if (sending_) cancel_ = true;
}

void frmCfm::CancelButton_Click() { close(); }

bool frmCfm::mayClose() const { return !sending_; }

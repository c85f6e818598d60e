// The mail confirmation "E-メール送信の確認": sends the electronic log to
// the contest's address, its test address and the operator's own, in that
// order, through the system's mail program. The mail program runs on a
// worker thread, so the window keeps repainting while it works. Modeless and
// topmost; registered as tool window 13 while open.
//
// Controls (object names): Label1 the message line, Label2 the second line,
// OKButton "O  K", CancelButton "ｷｬﾝｾﾙ" (it becomes the "O K" that closes
// the dialog once the mail has gone).
#pragma once
#include <QLabel>
#include <QPushButton>
#include <QWidget>
#include <atomic>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

#include "output/sendmail.h"

#include "contest/gui/toolwindow.h"


class frmCfm : public ToolWindow<QWidget> {
  Q_OBJECT
 public:
  explicit frmCfm(Workspace& ws);
  ~frmCfm() override;

  // Opens the dialog for the electronic log at path; shown.
  static frmCfm* open(Workspace& ws, const std::string& path, bool sendJarlMail,
                      bool sendTestMail);

  QLabel *Label1, *Label2;
  QPushButton *OKButton, *CancelButton;

  std::int16_t SendJarlMail = 0;
  std::int16_t SendTestMail = 0;
  std::string ElogPath;

  // The addresses the run goes to, in order (known once opened).
  const std::vector<std::string>& recipients() const { return to_; }
  // True from "O  K" until every message has been handed over.
  bool sending() const { return sending_; }
  // One line per address once the run is over: the address and "sent" or the error.
  const std::vector<std::string>& outcome() const { return outcome_; }

  void OKButton_Click();
  void CancelButton_Click();
  void SendAllMail();

 signals:
  // Every message of the run has been tried.
  void finished();

 protected:
  // The run is not cut off halfway, unless the program itself is closing.
  bool mayClose() const override;
  // A run still going when the program closes is stopped, mail program and all.
  void onClose() override;

 private:
  // Says which program sends and to whom.
  void showIntro();
  void sent(std::size_t index, const mail::SendResult& r);
  void done();
  // The message line grows to hold its text; the button moves below it.
  void fitMessage();

  std::vector<std::string> to_;
  std::vector<mail::SendResult> results_;
  std::vector<std::string> outcome_;
  std::thread worker_;
  std::atomic<bool> cancel_{false};
  bool sending_ = false;
};

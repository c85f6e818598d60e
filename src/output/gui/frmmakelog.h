// The log-making dialog "電子ログの作成とE-メール送信": the own address,
// the comments, the signature and the document date; writes the electronic
// log into SentLog, opens it in the text editor and hands the mailing to
// frmCfm. Modeless and topmost; registered as tool window 7 while open.
//
// Controls (object names):
//   Label2 contest address (SendMailAddress); Text5 in its place when the
//   definition has none, written into the definition when the log is sent
//   Label4 test address
//   Text1 own address (JarlEmail), Text2 comments (JarlComment),
//   Text3 signature (JarlSignature)
//   Label7 the date "yyyy年mm月dd日"; UpDown3 year, UpDown2 month, UpDown1 day
//   Combo1 the format "形式" (R1.0, R2.1), starting at the contest
//   definition's; Text4 the licence date of a newcomer entry (R2.1 only)
//   Check1 mail to the contest address, Check2 to the test address,
//   Check3 a copy to the own address (MailAndMe)
//   Command1 "電子ログ作成", Command2 "キャンセル"
//   Command3 "アップロードページを開く" and Command4 "電子ログをコピー"
//   (only when the contest has an upload page; the copy puts the written
//   log's text on the clipboard), StatusLine where the electronic log was
//   written
#pragma once
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QWidget>
#include <string>

#include "log/oledate.h"
#include "output/elog.h"
#include "output/submit.h"

#include "contest/gui/toolwindow.h"

class UpDownControl;

class frmMakeLog : public ToolWindow<QWidget> {
  Q_OBJECT
 public:
  explicit frmMakeLog(Workspace& ws);

  // mnuMakeJaeLog_Click: offers to save a changed log, then opens the
  // summary-sheet check when a required item is missing, else the check
  // before submission when it finds anything, else this dialog.
  static void mnuMakeJaeLog(Workspace& ws);
  // The command past the check before submission: the save offer (when
  // asked for), then the summary-sheet check or this dialog.
  static void openChecked(Workspace& ws, bool offerSave);
  // The open dialog, or a new one; shown.
  static frmMakeLog* open(Workspace& ws);

  QLabel *Label2, *Label4, *Label7, *StatusLine;
  QLineEdit *Text1, *Text3, *Text4, *Text5;
  QComboBox* Combo1;
  QPlainTextEdit* Text2;
  UpDownControl *UpDown1, *UpDown2, *UpDown3;
  QCheckBox *Check1, *Check2, *Check3;
  QPushButton *Command1, *Command2, *Command3, *Command4;

  // The document date while the dialog is open.
  ole::Date date() const { return date_; }
  // The electronic log last written (kept for the mail).
  const std::string& elogPath() const { return elogPath_; }

  void Command1_Click();  // "電子ログ作成"
  void Command2_Click();  // "キャンセル"
  void Command3_Click();  // "アップロードページを開く"
  void Command4_Click();  // "電子ログをコピー"
  void stepDate(submit::DatePart part, int step);

 protected:

 private:
  void Form_Load();
  void showDate();
  // The copy box follows the address boxes and the own address; the
  // contest box, a typed contest address.
  void updateCopyBox();
  // The contest address: the definition's, else the one typed.
  std::string contestAddress() const;
  // A typed contest address is checked, and kept in the definition once
  // the log goes to it; false (told why) when it is no address.
  bool checkTypedAddress();
  void keepTypedAddress();
  // The one call of the electronic-log writer; its failure is shown here.
  bool writeElog(const std::string& path);
  elog::ElogFormat format() const;
  // The licence date row is there for a newcomer entry written as R2.1.
  void updateFormatRows();
  std::string uploadUrl() const;

  QLabel* licenseCaption_ = nullptr;
  ole::Date date_ = 0;
  std::string elogPath_;
};

// The entry help settings "入力補助の設定": the operator's earlier logs the
// call history reads besides the Log folder (HistoryLogs, one file a line),
// the text file of "CALL,EXCHANGE" lines (HistoryFile), and whether the entry
// window fills the received number from the history (HistoryFill). OK keeps
// the values, writes the settings file and has the history built again.
// Modeless; registered as tool window 17 while open.
//
// Controls (object names): txtHistoryLogs with cmdAddLog "ログを追加...",
// txtHistoryFile with cmdRef "参照...", chkHistoryFill, OKButton "O  K",
// CancelButton "ｷｬﾝｾﾙ".
#pragma once
#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include "contest/gui/toolwindow.h"

class frmHistorySet : public ToolWindow<QWidget> {
  Q_OBJECT
 public:
  explicit frmHistorySet(Workspace& ws);
  // Opens the window unless another tool window is open.
  static frmHistorySet* showFor(Workspace& ws);

  QPlainTextEdit* txtHistoryLogs;
  QPushButton* cmdAddLog;
  QLineEdit* txtHistoryFile;
  QPushButton* cmdRef;
  QCheckBox* chkHistoryFill;
  QPushButton *OKButton, *CancelButton;

  void cmdAddLog_Click();
  void cmdRef_Click();
  // Keeps the values in the settings and writes the settings file; false
  // (told) when the file could not be written.
  bool OKButton_Click();
};

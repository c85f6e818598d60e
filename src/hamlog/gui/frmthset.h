// The HAMLOG exchange settings "データ変換の設定": what the append writes into
// the database, the database file and where the read takes the received
// exchange from. Modeless; registered as tool window 4 while open.
//
// Controls (object names): SSTab1 with the tabs "ターボハムログへの変換設定" and
// "ターボハムログの読込設定/データベースの設定"; check boxes named after their
// settings (ThUtcSw, ThRptSw, ThRptSw2, ThCty2JaSw, ThRmkSw, ThQslMsgSw,
// ThSendSw, ThRcvdSw); option buttons optQsl0..optQsl4 in fraQsl; the mark
// boxes txtSentMark and txtRcvdMark; txtRemark, txtRemark2, txtQslMsg;
// lblDbFile with cmdRef "参照" and cmdNew "新規作成"; chkRmk1Rpt and
// chkRmk2Rpt; OKButton "O  K", CancelButton "ｷｬﾝｾﾙ".
#pragma once
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <array>

#include "contest/gui/toolwindow.h"

class Workspace;

class frmThSet : public ToolWindow<QWidget> {
  Q_OBJECT
 public:
  explicit frmThSet(Workspace& ws);
  // mnuThSet: opens the dialog unless another tool window is open.
  static frmThSet* showFor(Workspace& ws);

  QTabWidget* SSTab1;
  QCheckBox *ThUtcSw, *ThRptSw, *ThRptSw2, *ThCty2JaSw, *ThRmkSw, *ThQslMsgSw, *ThSendSw, *ThRcvdSw;
  QGroupBox* fraQsl;
  std::array<QRadioButton*, 5> optQsl;
  QLineEdit *txtSentMark, *txtRcvdMark, *txtRemark, *txtRemark2, *txtQslMsg;
  QLabel* lblDbFile;
  QPushButton *cmdRef, *cmdNew;
  QCheckBox *chkRmk1Rpt, *chkRmk2Rpt;
  QPushButton *OKButton, *CancelButton;

  void ThSetLoad();
  void ThSetSave();
  void cmdRef_Click();
  void cmdNew_Click();

};

// mnuThConv: checks the settings and the log, asks, and appends the log to
// the database (the settings dialog opens when the database is not set).
void ThConvOn(Workspace& ws);

// The ADIF settings dialog "ADIFファイル変換の設定": the QSL switches, the JA
// rule of the DXCC numbers, the two texts every exported QSO carries and
// their switches, and whether the file is standard ADIF.
// Modeless and topmost; registered as tool window 5 while open.
//
// Controls (object names):
//   Check1 "QSL発送済みにチェック"        AdiSendSw
//   Check2 "QSL受領済みにチェック"        AdiRcvdSw
//   Check3 "エンティティ変換時、JA局は空欄" AdiCty2JaSw
//   Check4 "備考を記入"                   AdiRmkSw (memory only)
//   Check5 "ＱＳＬカードメッセージを記入"  AdiQslMsgSw (memory only)
//   Check6 "標準ADIF (ADIF 3.1)"          AdiStdSw (memory only)
//   Label3 "WSJTのモード", Combo1         AdiWsjtMode (memory only)
//   Label1 "備　　　考", Text1            AdiRemark
//   Label2 "QSLﾒｯｾｰｼﾞ", Text2             AdiQslMsg
//   Command1 "O K", Command2 "ｷｬﾝｾﾙ"
#pragma once
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "output/adif.h"

#include "contest/gui/toolwindow.h"


class frmAdifSet : public ToolWindow<QDialog> {
  Q_OBJECT
 public:
  explicit frmAdifSet(Workspace& ws);

  // mnuAdiSet_Click: opens the dialog unless another tool window is open.
  static frmAdifSet* showFor(Workspace& ws);

  // The memory-only switches of this run.
  static adif::AdifOptions Memory;

  QCheckBox* Check1;
  QCheckBox* Check2;
  QCheckBox* Check3;
  QCheckBox* Check4;
  QCheckBox* Check5;
  QCheckBox* Check6;
  QLabel* Label3;
  QComboBox* Combo1;
  QLabel* Label1;
  QLineEdit* Text1;
  QLabel* Label2;
  QLineEdit* Text2;
  QPushButton* Command1;
  QPushButton* Command2;

  void Command1_Click();
  void Command2_Click();

 protected:

 private:
  void Form_Load();

};

// mnuAdiConv_Click: asks, lets the user choose the file in Conv under the
// program folder, and writes the whole log as ADIF.
void mnuAdiConv_Click(Workspace& ws);

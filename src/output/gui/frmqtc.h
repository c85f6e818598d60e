// The summary-sheet check "サマリーシート必須事項の確認": shows, read-only,
// the station data the electronic log's summary sheet must hold and marks
// each missing item "未設定" in red. Modeless and topmost; registered as
// tool window 11 while open, so the main window's Esc closes it.
//
// Controls (object names):
//   Label10 contest name, Label11 / Label12 category name and code,
//   Label13 power, Label21 power type (never marked), Label14 call sign,
//   Label15 licensee's name, Label16 licence class,
//   Text1 address, Text2 oath (read-only boxes),
//   OKButton "設定フォームを開く", CancelButton "ｷｬﾝｾﾙ"
#pragma once
#include <QLabel>
#include <QPushButton>
#include <QTextEdit>
#include <QWidget>

#include "contest/gui/toolwindow.h"


class frmQTC : public ToolWindow<QWidget> {
  Q_OBJECT
 public:
  explicit frmQTC(Workspace& ws);

  // mnuQTC_Click and the electronic-log command: the open dialog, or a new one; shown.
  static frmQTC* open(Workspace& ws);

  QLabel *Label10, *Label11, *Label12, *Label13, *Label14, *Label15, *Label16, *Label21;
  QTextEdit *Text1, *Text2;
  QPushButton *OKButton, *CancelButton;

  // Fills the displays from the station data (a snapshot).
  void SummaryCheckLoad();

  void OKButton_Click();
  void CancelButton_Click();

 protected:

 private:
};

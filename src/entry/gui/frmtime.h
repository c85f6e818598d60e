// The time-shift dialog "時間の増減": adds a whole number of hours to the
// time of every QSO of the log (TimeEdit), typically to turn a log kept in
// JST into UTC or back. Modeless and topmost; registered as tool window 10
// while open, so the main window's Esc closes it.
//
// Controls (object names): UpDown1 (hours, -24..24) shown in Label1 between
// Label2 "全ログデータの時間に" and Label3 "時間加算します"; Label5 the
// hint for the contest's time zone; OKButton "開 始", CancelButton "ｷｬﾝｾﾙ".
#pragma once
#include <QLabel>
#include <QPushButton>
#include <QWidget>

#include "contest/gui/toolwindow.h"

class EntryUpDown;

class frmTime : public ToolWindow<QWidget> {
  Q_OBJECT
 public:
  explicit frmTime(Workspace& ws);

  // mnuTimeAddDel_Click: shows the dialog.
  static frmTime* showFor(Workspace& ws);

  EntryUpDown* UpDown1;
  QLabel *Label1, *Label2, *Label3, *Label5;
  QPushButton *OKButton, *CancelButton;

  void UpDown1_Change();
  void OKButton_Click();
  void CancelButton_Click();

 protected:
  bool eventFilter(QObject* o, QEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;

 private:
  void Form_Load();
  // Enter and Esc wherever the focus is.
  bool key(QKeyEvent* e);

};

// The main window's time shift: every QSO's time moves by `hours` and the
// grid is rebuilt. 0 hours does nothing. The log counts as changed, so the
// shift is not lost at the end of the run.
void TimeEdit(Workspace& ws, int hours);

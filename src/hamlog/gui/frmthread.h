// The HAMLOG read dialog: the library version in its caption, the From/To
// window of QSO times, the number of remark characters that make the
// received exchange, and "読　込". Modeless; tool window 8 while open.
//
// Controls (object names): Frame1 (captioned with the time zone) holding
// lblFromDate, lblFromTime, lblToDate, lblToTime and the up-downs
// udFromYear, udFromMonth, udFromDay, udFromHour, udFromMinute and the same
// for To; udRptCount with lblRptCount; cmdRead "読　込", CancelButton "ｷｬﾝｾﾙ".
#pragma once
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QToolButton>
#include <QWidget>
#include <cstdint>

#include "contest/gui/toolwindow.h"
#include "log/oledate.h"

class HamlogLibrary;
class Workspace;

// An up-down control: two arrow buttons, "up" and "down".
class UpDown : public QWidget {
  Q_OBJECT
 public:
  UpDown(const QString& name, QWidget* parent);
  QToolButton *up, *down;
 signals:
  void stepped(int delta);
};

class frmThRead : public ToolWindow<QWidget> {
  Q_OBJECT
 public:
  frmThRead(Workspace& ws, HamlogLibrary& lib);

  // mnuThLogRead: asks, then opens the dialog. Returns it while it stays open.
  static frmThRead* mnuThLogRead_Click(Workspace& ws);
  // Opens the dialog without asking; nullptr when it closed while opening.
  static frmThRead* showFor(Workspace& ws, HamlogLibrary& lib);

  QGroupBox* Frame1;
  QLabel *lblFromDate, *lblFromTime, *lblToDate, *lblToTime;
  UpDown *udFromYear, *udFromMonth, *udFromDay, *udFromHour, *udFromMinute;
  UpDown *udToYear, *udToMonth, *udToDay, *udToHour, *udToMinute;
  UpDown* udRptCount;
  QLabel* lblRptCount;
  QPushButton *cmdRead, *CancelButton;

  ole::Date From = 0, To = 0;
  std::int32_t RecordCount = 0;
  int Version = 0;
  int RptCount = 0;

  // Moves From or To by one unit (0 year .. 4 minute), under the window rule.
  void stepFrom(int unit, int delta);
  void stepTo(int unit, int delta);
  void cmdRead_Click();

 private:
  // False when the dialog closed itself.
  bool Form_Load();
  void showTimes();
  HamlogLibrary& lib_;
};

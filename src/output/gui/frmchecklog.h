// The check before submission "提出前チェック": what the check finds in the
// log, the score and the station data, grouped by level (errors, warnings,
// notes). A finding with a QSO takes the operator to it: the grid row is
// selected and the edit window opens. "このまま作成" goes on to the
// log-making dialog, after a confirmation while errors remain. Modeless and
// topmost; registered as tool window 17 while open.
//
// Controls (object names):
//   Label1 the count of each level, List1 the findings (one group a level;
//   column 0 the QSO's grid row, column 1 the text), Label2 the hint,
//   Command1 "このまま作成", Command2 "閉じる"
#pragma once
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QWidget>
#include <vector>

#include "output/check.h"

#include "contest/gui/toolwindow.h"

class frmCheckLog : public ToolWindow<QWidget> {
  Q_OBJECT
 public:
  // How the window was opened: by its own menu item, or by the
  // electronic-log command, which has offered the save and checked the
  // summary sheet already.
  enum class From { Menu, MakeLogCommand };

  frmCheckLog(Workspace& ws, From from);
  ~frmCheckLog() override;

  // What the check finds in the open log, for the format the contest starts with.
  static std::vector<check::Finding> Findings(Workspace& ws);
  // mnuCheckLog_Click: the open window, or a new one, with the findings of now; shown.
  static frmCheckLog* open(Workspace& ws);
  // The same with findings made already.
  static frmCheckLog* open(Workspace& ws, From from, std::vector<check::Finding> findings);

  QLabel *Label1, *Label2;
  QTreeWidget* List1;
  QPushButton *Command1, *Command2;

  const std::vector<check::Finding>& findings() const { return findings_; }
  // Fills the list.
  void showFindings(std::vector<check::Finding> findings);

  // The finding of a list item; nothing for a group's heading.
  const check::Finding* findingOf(const QTreeWidgetItem* item) const;
  // Double click or Enter: a finding with a QSO selects its grid row and
  // opens the edit window (this window closes to let it open).
  void jumpTo(const QTreeWidgetItem* item);

  void Command1_Click();  // "このまま作成"
  void Command2_Click();  // "閉じる"

 protected:
  bool eventFilter(QObject* o, QEvent* e) override;

 private:
  From from_;
  std::vector<check::Finding> findings_;
};

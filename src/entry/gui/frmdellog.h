// The delete dialog "ログデータの削除": asks whether the QSO selected in the
// grid goes, and removes it from the log. Modeless and topmost; registered
// as tool window 9 while open, so the main window's Esc closes it.
//
// Controls (object names): Label1 (the question), OKButton "削　除",
// CancelButton "キャンセル".
#pragma once
#include <QLabel>
#include <QPushButton>
#include <QWidget>
#include <cstdint>

#include "contest/gui/toolwindow.h"

class frmDelLog : public ToolWindow<QWidget> {
  Q_OBJECT
 public:
  // Opens the dialog over the QSO of the selected row. The caller shows it.
  explicit frmDelLog(Workspace& ws);

  // mnuLogDel_Click / mnuDelete_Click: shows the dialog for the selected
  // row; with no QSO selected nothing opens and nothing is returned.
  static frmDelLog* showFor(Workspace& ws);

  QLabel* Label1;
  QPushButton* OKButton;
  QPushButton* CancelButton;

  // 1 once the QSO was deleted.
  std::int16_t Deleted = 0;
  // The grid row the dialog asks about.
  int row() const { return row_; }

  void OKButton_Click();
  void CancelButton_Click();

 protected:
  void onClose() override;
  void changeEvent(QEvent* e) override;

 private:
  void Form_Load();

  int row_ = 0;
};

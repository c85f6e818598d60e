// The zLog read dialog: the chosen file, how many QSOs it holds, and the
// button that appends them to the log.
#pragma once
#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <cstdint>
#include <string>

#include "contest/gui/toolwindow.h"


class frmZlogReadSet : public ToolWindow<QDialog> {
  Q_OBJECT
 public:
  explicit frmZlogReadSet(Workspace& ws);

  QLabel* Label1;  // the file's path
  QLabel* Label2;  // the QSO count
  QPushButton* OKButton;
  QPushButton* CancelButton;

  std::string ZlogFileName;

  // Checks the file and shows its QSO count; a missing file closes the dialog.
  void ZlogTempRead(const std::string& ZlogName);
  // Loads the file's QSO records; false (message shown, dialog closed) when
  // the file is missing or cannot be read.
  bool ZlogRead(const std::string& ZlogName);
  // Appends the loaded QSOs to the log.
  void ZlogConvert();

  void OKButton_Click();
  void CancelButton_Click();

  // QSOs loaded by ZlogRead.
  std::int64_t qsoCount() const { return count_; }

 protected:

 private:

  std::string bytes_;
  std::int64_t count_ = 0;
};

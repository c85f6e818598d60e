// The about box.
#pragma once
#include <QDialog>
#include <QLabel>
#include <QPushButton>

class frmAbout : public QDialog {
  Q_OBJECT
 public:
  // committee: both CSV menu items are visible.
  frmAbout(QWidget* mainWindow, bool committee);

  QLabel* lblTitle;
  QLabel* lblVersion;
  QPushButton* cmdOK;

  static QString versionText(bool committee);

 protected:
  bool eventFilter(QObject* o, QEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;
};

// The progress window of long loops: "CALCURATE", "作業中" and a bar.
#pragma once
#include <QDialog>
#include <QElapsedTimer>
#include <QLabel>
#include <QProgressBar>

#include "log/progress.h"

class frmBar : public QDialog, public Progress {
  Q_OBJECT
 public:
  explicit frmBar(QWidget* mainWindow);

  QLabel* Label1;
  QProgressBar* ProgressBar1;

  // Progress: shown at start, value as it goes, closed at finish. Window
  // updates and pending events run at most every 50 ms so the loop keeps
  // its speed.
  void start(int maximum) override;
  void step(int value) override;
  void label(const char* text) override;
  void finish() override;

 private:
  void centreOnMain();
  void pump(bool force);
  QWidget* main_;
  QElapsedTimer since_;
};

// What the HAMLOG windows share: a topmost tool window of the main window
// that registers under its number while open, closes on Esc, clicks the
// focused button on Enter, and gives the menus back when it closes.
#pragma once
#include <QWidget>

class Workspace;

class ThWindow : public QWidget {
  Q_OBJECT
 public:
  ThWindow(Workspace& ws, int dialogNo);

 protected:
  // Registers the window under its number (menus are off from here on).
  void registerSelf();
  void keyPressEvent(QKeyEvent* e) override;
  void closeEvent(QCloseEvent* e) override;
  bool closed() const { return closed_; }

  Workspace& ws_;

 private:
  int dialogNo_;
  bool closed_ = false;
  bool registered_ = false;
};

// The up-down control of the dialogs: two arrow buttons, with or without a
// value between them; and the box a whole number is typed into.
#pragma once
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>
#include <QWidget>

// A whole number typed in a range: Enter or leaving the box takes it,
// brought into the range (an empty box shows its number again). Enter goes
// no further, so it never presses the dialog's default button.
class NumberBox : public QLineEdit {
  Q_OBJECT
 public:
  explicit NumberBox(QWidget* parent);

  void setRange(int lo, int hi);
  // Shows v without reporting it.
  void setNumber(int v);
  int number() const { return number_; }

 signals:
  void typed(int v);

 protected:
  void keyPressEvent(QKeyEvent* e) override;
  void focusOutEvent(QFocusEvent* e) override;

 private:
  void take();
  int number_ = 0, lo_ = 0, hi_ = 9999;
};

// An up-down control: two arrow buttons. With a value (the position
// up-downs) the value lies in a range and is shown between the arrows, where
// it can also be typed; without one (the length up-downs) it only reports
// its clicks.
class UpDownControl : public QWidget {
  Q_OBJECT
 public:
  UpDownControl(Qt::Orientation orientation, bool holdsValue, QWidget* parent);

  int value() const { return value_; }
  void setValue(int v);
  void setRange(int lo, int hi);
  int minimum() const { return lo_; }
  int maximum() const { return hi_; }

  QToolButton* upButton;    // right or up
  QToolButton* downButton;  // left or down
  NumberBox* valueBox = nullptr;

 signals:
  void Change();
  void UpClick();
  void DownClick();

 private:
  void step(int d);
  bool holdsValue_;
  int value_ = 0, lo_ = 0, hi_ = 100;
};

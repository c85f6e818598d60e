// The up-down control of the dialogs: two arrow buttons, with or without a
// value between them.
#pragma once
#include <QLabel>
#include <QToolButton>
#include <QWidget>

// An up-down control: two arrow buttons. With a value (the position
// up-downs) the value lies in a range and is shown between the arrows;
// without one (the length up-downs) it only reports its clicks.
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
  QLabel* valueLabel = nullptr;

 signals:
  void Change();
  void UpClick();
  void DownClick();

 private:
  void step(int d);
  bool holdsValue_;
  int value_ = 0, lo_ = 0, hi_ = 100;
};


#include "log/gui/updown.h"

#include <QEvent>
#include <algorithm>
#include <functional>

UpDownControl::UpDownControl(Qt::Orientation orientation, bool holdsValue, QWidget* parent)
    : QWidget(parent), holdsValue_(holdsValue) {
  upButton = new QToolButton(this);
  downButton = new QToolButton(this);
  upButton->setObjectName(QStringLiteral("up"));
  downButton->setObjectName(QStringLiteral("down"));
  upButton->setAutoRepeat(true);
  downButton->setAutoRepeat(true);
  upButton->setFocusPolicy(Qt::NoFocus);
  downButton->setFocusPolicy(Qt::NoFocus);
  if (orientation == Qt::Horizontal) {
    downButton->setArrowType(Qt::LeftArrow);
    upButton->setArrowType(Qt::RightArrow);
    if (holdsValue_) {
      valueLabel = new QLabel(this);
      valueLabel->setObjectName(QStringLiteral("value"));
      valueLabel->setAlignment(Qt::AlignCenter);
    }
  } else {
    upButton->setArrowType(Qt::UpArrow);
    downButton->setArrowType(Qt::DownArrow);
  }
  connect(upButton, &QToolButton::clicked, this, [this] { step(1); });
  connect(downButton, &QToolButton::clicked, this, [this] { step(-1); });
  // Lays the buttons out once the control has its size.
  auto layout = [this, orientation] {
    const int w = width(), h = height();
    if (orientation == Qt::Horizontal) {
      const int b = std::min(h, w / 3);
      downButton->setGeometry(0, 0, b, h);
      upButton->setGeometry(w - b, 0, b, h);
      if (valueLabel) valueLabel->setGeometry(b, 0, w - 2 * b, h);
    } else {
      downButton->setGeometry(0, h / 2, w, h - h / 2);
      upButton->setGeometry(0, 0, w, h / 2);
    }
  };
  struct Relayout : QObject {
    std::function<void()> f;
    bool eventFilter(QObject*, QEvent* e) override {
      if (e->type() == QEvent::Resize) f();
      return false;
    }
  };
  auto* r = new Relayout;
  r->setParent(this);
  r->f = layout;
  installEventFilter(r);
}

void UpDownControl::setValue(int v) {
  v = std::clamp(v, lo_, hi_);
  if (v == value_) return;
  value_ = v;
  if (valueLabel) valueLabel->setText(QString::number(v));
  emit Change();
}

void UpDownControl::setRange(int lo, int hi) {
  lo_ = lo;
  hi_ = std::max(lo, hi);
  setValue(value_);
  if (valueLabel) valueLabel->setText(QString::number(value_));
}

void UpDownControl::step(int d) {
  if (holdsValue_) setValue(value_ + d);
  if (d > 0)
    emit UpClick();
  else
    emit DownClick();
}


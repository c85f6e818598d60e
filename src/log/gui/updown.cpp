#include "log/gui/updown.h"

#include <QEvent>
#include <QKeyEvent>
#include <QRegularExpressionValidator>
#include <algorithm>
#include <functional>

NumberBox::NumberBox(QWidget* parent) : QLineEdit(parent) {
  setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,5}")), this));
  setAlignment(Qt::AlignCenter);
  setText(QString::number(number_));
}

void NumberBox::setRange(int lo, int hi) {
  lo_ = lo;
  hi_ = std::max(lo, hi);
}

void NumberBox::setNumber(int v) {
  number_ = v;
  setText(QString::number(v));
}

void NumberBox::take() {
  bool ok = false;
  const int typedValue = text().toInt(&ok);
  if (ok) number_ = std::clamp(typedValue, lo_, hi_);
  setText(QString::number(number_));
  if (ok) emit typed(number_);
}

void NumberBox::keyPressEvent(QKeyEvent* e) {
  if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
    take();
    selectAll();
    e->accept();
    return;
  }
  QLineEdit::keyPressEvent(e);
}

void NumberBox::focusOutEvent(QFocusEvent* e) {
  if (text() != QString::number(number_)) take();
  QLineEdit::focusOutEvent(e);
}

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
      valueBox = new NumberBox(this);
      valueBox->setObjectName(QStringLiteral("value"));
      valueBox->setRange(lo_, hi_);
      valueBox->setNumber(value_);
      connect(valueBox, &NumberBox::typed, this, [this](int v) { setValue(v); });
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
      if (valueBox) valueBox->setGeometry(b, 0, w - 2 * b, h);
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
  if (valueBox) valueBox->setNumber(v);
  if (v == value_) return;
  value_ = v;
  emit Change();
}

void UpDownControl::setRange(int lo, int hi) {
  lo_ = lo;
  hi_ = std::max(lo, hi);
  if (valueBox) valueBox->setRange(lo_, hi_);
  setValue(value_);
}

void UpDownControl::step(int d) {
  if (holdsValue_) setValue(value_ + d);
  if (d > 0)
    emit UpClick();
  else
    emit DownClick();
}


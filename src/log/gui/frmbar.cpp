#include "log/gui/frmbar.h"

#include <QApplication>
#include <QVBoxLayout>

#include "log/gui/qtui.h"

frmBar::frmBar(QWidget* mainWindow) : QDialog(mainWindow), main_(mainWindow) {
  setObjectName(QStringLiteral("frmBar"));
  setWindowTitle(QStringLiteral("CALCURATE"));
  setWindowFlag(Qt::WindowStaysOnTopHint, true);
  setWindowFlag(Qt::WindowContextHelpButtonHint, false);
  auto* lay = new QVBoxLayout(this);
  Label1 = new QLabel(QStringLiteral("作業中"), this);
  Label1->setObjectName(QStringLiteral("Label1"));
  Label1->setFont(QFont(QStringLiteral("Times New Roman")));
  Label1->setAlignment(Qt::AlignCenter);
  ProgressBar1 = new QProgressBar(this);
  ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
  ProgressBar1->setTextVisible(false);
  lay->addWidget(Label1);
  lay->addWidget(ProgressBar1);
  setFixedSize(twipsToPx(4800), twipsToPx(1500));
}

void frmBar::centreOnMain() {
  if (!main_) return;
  const QRect m = main_->frameGeometry();
  move(m.center() - QPoint(width() / 2, height() / 2));
}

void frmBar::pump(bool force) {
  if (!force && since_.isValid() && since_.elapsed() < 50) return;
  since_.restart();
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void frmBar::start(int maximum) {
  ProgressBar1->setRange(0, maximum > 0 ? maximum : 1);
  ProgressBar1->setValue(0);
  centreOnMain();
  show();
  raise();
  since_.invalidate();
  pump(true);
}

void frmBar::step(int value) {
  if (!since_.isValid() || since_.elapsed() >= 50) {
    ProgressBar1->setValue(std::min(value, ProgressBar1->maximum()));
    pump(false);
  }
}

void frmBar::label(const char* text) {
  // A text that changes as the loop runs (the search's QSO) reads from the left.
  Label1->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  if (!since_.isValid() || since_.elapsed() >= 50) Label1->setText(QString::fromUtf8(text));
}

void frmBar::finish() {
  Label1->setAlignment(Qt::AlignCenter);
  hide();
  Label1->setText(QStringLiteral("作業中"));
}

#include "hamlog/gui/thwindow.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QPushButton>

#include "contest/gui/workspace.h"
#include "log/gui/dialogregistry.h"

ThWindow::ThWindow(Workspace& ws, int dialogNo)
    : QWidget(ws.mainWidget(), Qt::Window), ws_(ws), dialogNo_(dialogNo) {
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowFlag(Qt::WindowStaysOnTopHint, true);
}

void ThWindow::registerSelf() {
  ws_.dialogs().add(dialogNo_, this);
  registered_ = true;
}

void ThWindow::keyPressEvent(QKeyEvent* e) {
  if (e->key() == Qt::Key_Escape) {
    close();
    return;
  }
  if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
    if (auto* b = qobject_cast<QPushButton*>(focusWidget())) {
      b->click();
      return;
    }
  }
  QWidget::keyPressEvent(e);
}

void ThWindow::closeEvent(QCloseEvent* e) {
  if (!closed_) {
    closed_ = true;
    if (!ws_.unloaded()) {
      if (registered_) ws_.dialogs().remove(dialogNo_);
      ws_.mnuOn();
      ws_.activateMain();
    }
  }
  e->accept();
}

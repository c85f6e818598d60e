// What every tool window shares: a window over the main window that, while
// open, keeps the menus off and is registered under its OpenDialogNo (so the
// main window's Esc and double click reach it); Esc closes it; closing runs
// the window's own steps once, then gives the number and the menus back and,
// unless the window says otherwise, the focus to the main window. Once the
// main window is closing down, the number and the menus are left alone; a
// window destroyed with it, never closed, touches none of its state.
//
// Base is QWidget or QDialog. A window calls registerOpen() when its form is loaded,
// and puts its own closing steps into onClose().
#pragma once
#include <QCloseEvent>
#include <QDialog>
#include <QKeyEvent>
#include <QPushButton>
#include <QWidget>
#include <functional>

#include "contest/gui/workspace.h"
#include "contest/session.h"
#include "log/gui/dialogregistry.h"

template <class Base>
class ToolWindow : public Base {
 public:
  ToolWindow(Workspace& ws, int dialogNo, Qt::WindowFlags flags = Qt::Window)
      : Base(ws.mainWidget(), flags), ws_(ws), dialogNo_(dialogNo) {
    this->setAttribute(Qt::WA_DeleteOnClose);
  }

  int dialogNo() const { return dialogNo_; }
  // A dialog's Esc and Cancel end in reject(): they close the window the same way.
  void reject() { this->close(); }

 protected:
  // The open steps: the menus go off and the window is registered under its
  // number; topmost unless told otherwise.
  void registerOpen(bool topmost = true) {
    ws_.mnuOff();
    if (topmost) this->setWindowFlag(Qt::WindowStaysOnTopHint, true);
    ws_.dialogs().add(dialogNo_, this);
    registered_ = true;
  }
  // The window's own closing steps; they run once, before the number and
  // the menus are given back (also when the main window is closing down).
  virtual void onClose() {}
  // Steps that follow the closing (another window to open).
  virtual void afterClose() {}
  // False keeps the window open (a run that must not be cut off halfway).
  virtual bool mayClose() const { return true; }
  // Whether closing gives the focus back to the main window.
  void setActivatesMain(bool on) { activatesMain_ = on; }
  // Whether Enter clicks the button that has the focus.
  void setEnterClicksButton(bool on) { enterClicksButton_ = on; }
  bool closed() const { return closed_; }

  void keyPressEvent(QKeyEvent* e) override {
    if (e->key() == Qt::Key_Escape) {
      this->close();
      return;
    }
    if (enterClicksButton_ && (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter)) {
      if (auto* b = qobject_cast<QPushButton*>(this->focusWidget())) {
        b->click();
        return;
      }
    }
    Base::keyPressEvent(e);
  }

  // Not QDialog's: it would go round through reject().
  void closeEvent(QCloseEvent* e) override {
    if (!closed_ && !ws_.unloaded() && !mayClose()) {
      e->ignore();
      return;
    }
    e->accept();
    if (closed_) return;
    closed_ = true;
    onClose();
    if (ws_.unloaded()) return;
    if (registered_ && (ws_.dialogs().find(dialogNo_) == this ||
                        ws_.session().Doc.State.OpenDialogNo == dialogNo_))
      ws_.dialogs().remove(dialogNo_);
    ws_.mnuOn();
    if (activatesMain_) ws_.mainWidget()->activateWindow();
    afterClose();
  }

  Workspace& ws_;

 private:
  int dialogNo_;
  bool registered_ = false;
  bool closed_ = false;
  bool activatesMain_ = true;
  bool enterClicksButton_ = false;
};

// Opens W unless another tool window is open: shown, active, and the focus on
// the control `first` names (a member such as &W::OKButton, or a function of the window).
template <class W>
W* OpenToolWindow(Workspace& ws) {
  if (ws.session().Doc.State.OpenDialogNo != 0) return nullptr;
  auto* f = new W(ws);
  f->show();
  f->activateWindow();
  return f;
}
template <class W, class First>
W* OpenToolWindow(Workspace& ws, First first) {
  W* f = OpenToolWindow<W>(ws);
  if (f) std::invoke(first, f)->setFocus();
  return f;
}

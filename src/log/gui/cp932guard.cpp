#include "log/gui/cp932guard.h"

#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>

#include "log/cp932.h"

namespace {

// The text without the characters CP932 cannot express.
QString kept(const QString& in, bool& changed) {
  changed = false;
  QString out;
  for (char32_t c : in.toUcs4()) {
    if (c >= 0x80 && !cp932::representable(c)) {
      changed = true;
      continue;
    }
    out.append(QString::fromUcs4(&c, 1));
  }
  return out;
}

class Cp932Guard : public QObject {
 public:
  explicit Cp932Guard(QObject* parent) : QObject(parent) {}

  // Typed keys and input-method commits: refused before they reach the box.
  bool eventFilter(QObject* o, QEvent* e) override {
    if (resending_) return false;
    if (e->type() == QEvent::KeyPress) {
      const auto* k = static_cast<QKeyEvent*>(e);
      bool changed = false;
      const QString out = kept(k->text(), changed);
      if (!changed) return false;
      QApplication::beep();
      if (out.isEmpty()) return true;
      QKeyEvent rest(k->type(), k->key(), k->modifiers(), out, k->isAutoRepeat(),
                     static_cast<quint16>(k->count()));
      resend(o, &rest);
      return true;
    }
    if (e->type() == QEvent::InputMethod) {
      const auto* im = static_cast<QInputMethodEvent*>(e);
      bool changed = false;
      const QString out = kept(im->commitString(), changed);
      if (!changed) return false;
      QApplication::beep();
      QInputMethodEvent rest(im->preeditString(), im->attributes());
      rest.setCommitString(out, im->replacementStart(), im->replacementLength());
      resend(o, &rest);
      return true;
    }
    return false;
  }

  // Pasted or dropped text: the characters are taken out again at once.
  void clean(QLineEdit* box) {
    bool changed = false;
    const QString text = box->text();
    const QString out = kept(text, changed);
    if (!changed) return;
    QApplication::beep();
    const int cursor = box->cursorPosition();
    bool before = false;
    const int lost = static_cast<int>(text.left(cursor).size() - kept(text.left(cursor), before).size());
    box->setText(out);
    box->setCursorPosition(cursor - lost);
  }

  template <typename Edit>
  void clean(Edit* box) {
    if (cleaning_) return;
    bool changed = false;
    const QString text = box->toPlainText();
    kept(text, changed);
    if (!changed) return;
    cleaning_ = true;
    QApplication::beep();
    // Remove the characters one by one, so the rest keeps its formatting and undo.
    QTextCursor c(box->document());
    c.beginEditBlock();
    const QString all = box->document()->toPlainText();
    int pos = 0;
    for (char32_t ch : all.toUcs4()) {
      const int width = ch > 0xFFFF ? 2 : 1;
      if (ch >= 0x80 && !cp932::representable(ch)) {
        c.setPosition(pos);
        c.setPosition(pos + width, QTextCursor::KeepAnchor);
        c.removeSelectedText();
      } else {
        pos += width;
      }
    }
    c.endEditBlock();
    cleaning_ = false;
  }

 private:
  void resend(QObject* o, QEvent* e) {
    resending_ = true;
    QCoreApplication::sendEvent(o, e);
    resending_ = false;
  }
  bool resending_ = false;
  bool cleaning_ = false;
};

}  // namespace

void RefuseNonCp932(QWidget* box) {
  if (auto* combo = qobject_cast<QComboBox*>(box)) {
    if (combo->lineEdit()) RefuseNonCp932(combo->lineEdit());
    return;
  }
  if (auto* line = qobject_cast<QLineEdit*>(box)) {
    auto* g = new Cp932Guard(line);
    line->installEventFilter(g);
    QObject::connect(line, &QLineEdit::textEdited, g, [g, line] { g->clean(line); });
  } else if (auto* plain = qobject_cast<QPlainTextEdit*>(box)) {
    auto* g = new Cp932Guard(plain);
    plain->installEventFilter(g);
    QObject::connect(plain, &QPlainTextEdit::textChanged, g, [g, plain] { g->clean(plain); });
  } else if (auto* rich = qobject_cast<QTextEdit*>(box)) {
    auto* g = new Cp932Guard(rich);
    rich->installEventFilter(g);
    QObject::connect(rich, &QTextEdit::textChanged, g, [g, rich] { g->clean(rich); });
  }
}

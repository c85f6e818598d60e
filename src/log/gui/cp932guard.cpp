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
#include "log/gui/qtui.h"

namespace {

using Refused = std::function<bool(char32_t)>;
using Told = std::function<void(char32_t)>;

class Cp932Guard : public QObject {
 public:
  Cp932Guard(QObject* parent, Refused refused, Told told)
      : QObject(parent), refused_(std::move(refused)), told_(std::move(told)) {}

  // The text without the refused characters. `extra`: whether the box's own
  // refusals apply (not to control keys and shortcuts: they insert nothing).
  QString kept(const QString& in, bool& changed, bool extra = true) {
    changed = false;
    QString out;
    for (char32_t c : in.toUcs4()) {
      if (isRefused(c, extra)) {
        if (!changed) first_ = c;
        changed = true;
        continue;
      }
      out.append(QString::fromUcs4(&c, 1));
    }
    return out;
  }

  // Typed keys and input-method commits: refused before they reach the box.
  bool eventFilter(QObject* o, QEvent* e) override {
    if (resending_) return false;
    if (e->type() == QEvent::KeyPress) {
      const auto* k = static_cast<QKeyEvent*>(e);
      bool changed = false;
      const QString out = kept(k->text(), changed, IsTypedCharacter(k));
      if (!changed) return false;
      refusal();
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
      refusal();
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
    refusal();
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
    refusal();
    // Remove the characters one by one, so the rest keeps its formatting and undo.
    QTextCursor c(box->document());
    c.beginEditBlock();
    const QString all = box->document()->toPlainText();
    int pos = 0;
    for (char32_t ch : all.toUcs4()) {
      const int width = ch > 0xFFFF ? 2 : 1;
      if (isRefused(ch, true)) {
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
  bool isRefused(char32_t c, bool extra) const {
    if (c >= 0x80 && !cp932::representable(c)) return true;
    return extra && refused_ && refused_(c);
  }
  void refusal() {
    QApplication::beep();
    if (told_) told_(first_);
  }
  void resend(QObject* o, QEvent* e) {
    resending_ = true;
    QCoreApplication::sendEvent(o, e);
    resending_ = false;
  }
  Refused refused_;
  Told told_;
  char32_t first_ = 0;
  bool resending_ = false;
  bool cleaning_ = false;
};

}  // namespace

void RefuseNonCp932(QWidget* box) { RefuseCharacters(box, {}); }

void RefuseCharacters(QWidget* box, Refused refused, Told told) {
  if (auto* combo = qobject_cast<QComboBox*>(box)) {
    if (combo->lineEdit()) RefuseCharacters(combo->lineEdit(), std::move(refused), std::move(told));
    return;
  }
  if (auto* line = qobject_cast<QLineEdit*>(box)) {
    auto* g = new Cp932Guard(line, std::move(refused), std::move(told));
    line->installEventFilter(g);
    QObject::connect(line, &QLineEdit::textEdited, g, [g, line] { g->clean(line); });
  } else if (auto* plain = qobject_cast<QPlainTextEdit*>(box)) {
    auto* g = new Cp932Guard(plain, std::move(refused), std::move(told));
    plain->installEventFilter(g);
    QObject::connect(plain, &QPlainTextEdit::textChanged, g, [g, plain] { g->clean(plain); });
  } else if (auto* rich = qobject_cast<QTextEdit*>(box)) {
    auto* g = new Cp932Guard(rich, std::move(refused), std::move(told));
    rich->installEventFilter(g);
    QObject::connect(rich, &QTextEdit::textChanged, g, [g, rich] { g->clean(rich); });
  }
}

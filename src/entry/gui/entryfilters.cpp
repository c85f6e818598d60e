#include "entry/gui/entryfilters.h"

#include <QApplication>
#include <QCoreApplication>
#include <QGridLayout>
#include <QLabel>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QVBoxLayout>
#include <QValidator>
#include <QVariant>
#include <algorithm>

#include "log/cp932.h"
#include "log/gui/cp932guard.h"
#include "log/gui/qtui.h"
#include "contest/gui/workspace.h"
#include "contest/session.h"

namespace {

// The text a rule leaves of a typed text; `same` tells whether it is unchanged.
QString filtered(entry::KeyFilter kind, const QString& in, bool& same) {
  QString out;
  same = true;
  for (char32_t c : in.toUcs4()) {
    const char32_t f = entry::FilterChar(kind, c);
    if (f != c) same = false;
    if (f != 0) out.append(QString::fromUcs4(&f, 1));
  }
  return out;
}

}  // namespace


bool KeyFilterObject::eventFilter(QObject* o, QEvent* e) {
  if (resending_) return false;
  if (e->type() == QEvent::KeyPress) {
    auto* k = static_cast<QKeyEvent*>(e);
    // Editing and moving keys (Esc, Tab, Delete, Enter, clipboard) carry
    // control texts on X11: they are the box's own, never the rule's.
    if (!IsTypedCharacter(k)) return false;
    const QString text = k->text();
    bool same = false;
    const QString out = filtered(kind_, text, same);
    if (same) return false;
    if (out.isEmpty()) return true;  // discarded
    QKeyEvent changed(k->type(), k->key(), k->modifiers(), out, k->isAutoRepeat(),
                      static_cast<quint16>(k->count()));
    resending_ = true;
    QCoreApplication::sendEvent(o, &changed);
    resending_ = false;
    return true;
  }
  if (e->type() == QEvent::InputMethod) {
    auto* im = static_cast<QInputMethodEvent*>(e);
    if (im->commitString().isEmpty() || CarriesControlText(im->commitString())) return false;
    bool same = false;
    const QString out = filtered(kind_, im->commitString(), same);
    if (same) return false;
    QInputMethodEvent changed(im->preeditString(), im->attributes());
    changed.setCommitString(out, im->replacementStart(), im->replacementLength());
    resending_ = true;
    QCoreApplication::sendEvent(o, &changed);
    resending_ = false;
    return true;
  }
  return false;
}

ListChoice::ListChoice(QComboBox* box, entry::KeyFilter kind)
    : QObject(box), box_(box), kind_(kind) {
  box->setCompleter(nullptr);
  QLineEdit* e = box->lineEdit();
  e->setContextMenuPolicy(Qt::NoContextMenu);
  e->setDragEnabled(false);
  e->setAcceptDrops(false);
  box->installEventFilter(this);
  e->installEventFilter(this);
  connect(e, &QLineEdit::textEdited, this, &ListChoice::edited);
}

int ListChoice::startingWith(const QString& prefix) const {
  if (prefix.isEmpty()) return -1;
  for (int i = 0; i < box_->count(); ++i)
    if (box_->itemText(i).startsWith(prefix, Qt::CaseSensitive)) return i;
  return -1;
}

void ListChoice::choose(int index, int typedLength) {
  const QString was = box_->currentText();
  const QString item = box_->itemText(index);
  box_->setCurrentIndex(index);
  box_->setEditText(item);
  QLineEdit* e = box_->lineEdit();
  if (typedLength < item.size()) e->setSelection(typedLength, static_cast<int>(item.size()) - typedLength);
  else e->setCursorPosition(static_cast<int>(item.size()));
  if (item != was) emit chosen(index);
}

void ListChoice::type(const QString& typed) {
  QLineEdit* e = box_->lineEdit();
  const int start = e->hasSelectedText() ? e->selectionStart() : e->cursorPosition();
  // After a pause a character that goes on no item starts afresh; in a run
  // of keys it is dropped ("145" stays 14, it does not jump to 50).
  const bool pause = !lastKey_.isValid() || lastKey_.elapsed() > QApplication::keyboardInputInterval();
  lastKey_.start();
  QStringList wanted{e->text().left(start) + typed};
  if (pause) wanted << typed;
  for (const QString& w : wanted) {
    const int i = startingWith(w);
    if (i >= 0) {
      choose(i, static_cast<int>(w.size()));
      return;
    }
  }
}

void ListChoice::backspace() {
  QLineEdit* e = box_->lineEdit();
  const int start = e->hasSelectedText() ? e->selectionStart() : e->cursorPosition();
  const QString wanted = e->text().left(start).chopped(start > 0 ? 1 : 0);
  const int i = startingWith(wanted);
  if (i >= 0) choose(i, static_cast<int>(wanted.size()));
  else e->selectAll();
}

// What slipped past the keys (paste, cut, undo) stays only as an item's text.
void ListChoice::edited(const QString& text) {
  const int i = box_->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
  if (i >= 0) {
    choose(i, static_cast<int>(text.size()));
    return;
  }
  box_->setEditText(before_);
  box_->lineEdit()->selectAll();
}

bool ListChoice::eventFilter(QObject* o, QEvent* e) {
  switch (e->type()) {
    case QEvent::KeyPress: {
      auto* k = static_cast<QKeyEvent*>(e);
      before_ = box_->currentText();
      if (k->key() == Qt::Key_Backspace && !(k->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
        backspace();
        return true;
      }
      if (k->key() == Qt::Key_Delete) return true;
      if (!IsTypedCharacter(k)) return false;
      QString typed;
      for (char32_t c : k->text().toUcs4())
        if (const char32_t f = entry::FilterChar(kind_, c)) typed.append(QString::fromUcs4(&f, 1));
      if (!typed.isEmpty()) type(typed);
      return true;
    }
    case QEvent::InputMethod: {
      auto* im = static_cast<QInputMethodEvent*>(e);
      before_ = box_->currentText();
      if (im->commitString().isEmpty() || CarriesControlText(im->commitString())) return false;
      for (char32_t c : im->commitString().toUcs4())
        if (const char32_t f = entry::FilterChar(kind_, c)) type(QString::fromUcs4(&f, 1));
      return true;
    }
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
      before_ = box_->currentText();
      return false;
    case QEvent::FocusIn: {
      const auto reason = static_cast<QFocusEvent*>(e)->reason();
      if (o == box_ && reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason &&
          reason != Qt::MouseFocusReason)
        box_->lineEdit()->selectAll();
      return false;
    }
    default: return false;
  }
}

namespace {
class Cp932Bytes : public QValidator {
 public:
  Cp932Bytes(int bytes, QObject* parent) : QValidator(parent), bytes_(bytes) {}
  State validate(QString& input, int&) const override {
    return cp932::byteLength(fromQ(input)) <= static_cast<std::size_t>(bytes_) ? Acceptable : Invalid;
  }

 private:
  int bytes_;
};
}  // namespace

void LimitCp932Bytes(QLineEdit* box, int bytes) { box->setValidator(new Cp932Bytes(bytes, box)); }

ListChoice* InstallListChoice(QComboBox* box, entry::KeyFilter kind) {
  if (auto* l = box->findChild<ListChoice*>(QString(), Qt::FindDirectChildrenOnly)) return l;
  return new ListChoice(box, kind);
}

void InstallKeyFilter(QWidget* box, entry::KeyFilter kind) {
  if (!box) return;
  if (auto* f = box->findChild<KeyFilterObject*>(QString(), Qt::FindDirectChildrenOnly)) {
    f->setKind(kind);
    return;
  }
  auto* f = new KeyFilterObject(kind, box);
  box->installEventFilter(f);
}

void SetKeyFilter(QWidget* box, entry::KeyFilter kind) { InstallKeyFilter(box, kind); }

entry::KeyFilter KeyFilterOf(QWidget* box) {
  if (auto* f = box ? box->findChild<KeyFilterObject*>(QString(), Qt::FindDirectChildrenOnly)
                    : nullptr)
    return f->kind();
  return entry::KeyFilter::Free;
}

void FillBandModeLists(QComboBox* band, QComboBox* mode, const ContestDefinition& contest) {
  band->clear();
  mode->clear();
  for (std::string_view b : entry::EnabledBands(contest)) band->addItem(toQ(b));
  for (std::string_view m : entry::EnabledModes(contest)) mode->addItem(toQ(m));
  band->setCurrentIndex(-1);
  mode->setCurrentIndex(-1);
}

void ApplyModeReport(const QComboBox* mode, QLineEdit* sentRst, QLineEdit* rcvdRst,
                     entry::ReportRule rule) {
  const std::string text = fromQ(mode->currentText());
  if (const auto r = entry::ModeReport(text, rule)) {
    sentRst->setText(toQ(*r));
    rcvdRst->setText(toQ(*r));
  }
}

int TimeMnl(Workspace& ws) { return ws.session().TimeMnl; }

void SetTimeMnl(Workspace& ws, int value) { ws.session().TimeMnl = value; }

// ---------------------------------------------------------------- up-down

EntryUpDown::EntryUpDown(int minimum, int maximum, QWidget* parent)
    : QWidget(parent), min_(minimum), max_(maximum) {
  auto* lay = new QVBoxLayout(this);
  lay->setContentsMargins(0, 0, 0, 0);
  lay->setSpacing(0);
  up_ = new QToolButton(this);
  down_ = new QToolButton(this);
  up_->setArrowType(Qt::UpArrow);
  down_->setArrowType(Qt::DownArrow);
  for (QToolButton* b : {up_, down_}) {
    b->setFocusPolicy(Qt::NoFocus);
    b->setAutoRepeat(true);
    b->setFixedSize(twipsToPx(255), twipsToPx(165));
    lay->addWidget(b);
  }
  setFocusPolicy(Qt::NoFocus);
  value_ = taken_ = std::clamp(0, min_, std::max(min_, max_));
  connect(up_, &QToolButton::clicked, this, [this] { step(1); });
  connect(down_, &QToolButton::clicked, this, [this] { step(-1); });
  connect(up_, &QToolButton::released, this, &EntryUpDown::clickedDone);
  connect(down_, &QToolButton::released, this, &EntryUpDown::clickedDone);
}

void EntryUpDown::setValue(int v) {
  v = std::clamp(v, min_, std::max(min_, max_));
  if (v == value_) return;
  value_ = v;
  emit Change(value_);
}

void EntryUpDown::step(int by) { setValue(value_ + by); }

void EntryUpDown::setMinimum(int v) {
  min_ = v;
  setValue(value_);
}

void EntryUpDown::setMaximum(int v) {
  max_ = v;
  setValue(value_);
}


QLabel* EntryCaption(const char* name, const char* text, QWidget* parent) {
  auto* l = new QLabel(QString::fromUtf8(text), parent);
  l->setObjectName(QString::fromUtf8(name));
  return l;
}

QLineEdit* EntryBox(const char* name, int widthTwips, QWidget* parent) {
  auto* t = new QLineEdit(parent);
  t->setObjectName(QString::fromUtf8(name));
  t->setFixedWidth(twipsToPx(widthTwips));
  RefuseNonCp932(t);
  return t;
}

QGridLayout* BuildEntryRow(QWidget* parent, EntryRow& r, QLabel* bandCaption,
                           QLabel* modeCaption) {
  auto* g = new QGridLayout;
  g->setHorizontalSpacing(twipsToPx(60));
  r.Combo1 = new QComboBox(parent);
  r.Combo1->setObjectName(QStringLiteral("Combo1"));
  r.Combo2 = new QComboBox(parent);
  r.Combo2->setObjectName(QStringLiteral("Combo2"));
  for (QComboBox* c : {r.Combo1, r.Combo2}) {
    c->setEditable(true);
    c->setInsertPolicy(QComboBox::NoInsert);
    c->setFixedWidth(twipsToPx(1000));
    RefuseNonCp932(c);
  }
  r.Text5 = EntryBox("Text5", 1800, parent);
  r.Text6 = EntryBox("Text6", 800, parent);
  r.Text7 = EntryBox("Text7", 1300, parent);
  r.Text8 = EntryBox("Text8", 800, parent);
  r.Text9 = EntryBox("Text9", 1300, parent);
  r.Label5 = EntryCaption("Label5", "コールサイン", parent);
  r.Label6 = EntryCaption("Label6", "送信RS(T)", parent);
  r.Label7 = EntryCaption("Label7", "ナンバー", parent);
  r.Label8 = EntryCaption("Label8", "受信RS(T)", parent);
  r.Label9 = EntryCaption("Label9", "ナンバー", parent);
  QWidget* boxes[] = {r.Combo1, r.Combo2, r.Text5, r.Text6, r.Text7, r.Text8, r.Text9};
  QLabel* caps[] = {bandCaption, modeCaption, r.Label5, r.Label6, r.Label7, r.Label8, r.Label9};
  for (int c = 0; c < 7; ++c) {
    if (caps[c]) g->addWidget(caps[c], 0, c);
    g->addWidget(boxes[c], 1, c);
  }
  g->setColumnStretch(7, 1);
  return g;
}

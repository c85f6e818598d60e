#include "log/gui/qtui.h"

#include <QApplication>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPushButton>
#include <QPointer>
#include <QScreen>
#include <QWindow>

QString messageText(std::string_view s) {
  QString q = toQ(s);
  q.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  return q;
}

QString boxText(std::string_view s) { return messageText(s); }

std::string varText(const QString& box) {
  QString q = box;
  q.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  q.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
  return fromQ(q);
}

QString qtFilter(std::string_view filter) {
  const QStringList parts = toQ(filter).split(QLatin1Char('|'));
  QStringList out;
  for (int i = 0; i + 1 < parts.size(); i += 2) {
    const QString desc = parts[i];
    QString pattern = parts[i + 1];
    if (desc.isEmpty() && pattern.isEmpty()) continue;
    pattern.replace(QLatin1Char(';'), QLatin1Char(' '));
    if (desc.contains(QLatin1Char('(') + pattern + QLatin1Char(')')))
      out << desc;
    else
      out << desc + QStringLiteral(" (") + pattern + QLatin1Char(')');
  }
  return out.join(QStringLiteral(";;"));
}

bool CarriesControlText(const QString& text) {
  for (QChar c : text)
    if (c.unicode() < 0x20 || c.unicode() == 0x7f) return true;
  return false;
}

bool IsTypedCharacter(const QKeyEvent* k) {
  if (k->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) return false;
  const QString text = k->text();
  return !text.isEmpty() && !CarriesControlText(text);
}

namespace {
double logicalDpi() {
  if (auto* s = QGuiApplication::primaryScreen()) return s->logicalDotsPerInchY();
  return 96.0;
}
}  // namespace

QPushButton* namedButton(const char* name, const QString& caption, QWidget* parent) {
  auto* b = new QPushButton(caption, parent);
  b->setObjectName(QString::fromUtf8(name));
  return b;
}

QHBoxLayout* buttonRow(std::initializer_list<QPushButton*> buttons, int widthTwips,
                       bool fixedWidth, RowAlign align) {
  auto* row = new QHBoxLayout;
  row->addStretch(1);
  for (QPushButton* b : buttons) {
    if (fixedWidth)
      b->setFixedWidth(twipsToPx(widthTwips));
    else
      b->setMinimumWidth(twipsToPx(widthTwips));
    row->addWidget(b);
  }
  if (align == RowAlign::Centre) row->addStretch(1);
  return row;
}

QLabel* panelLabel(const char* name, QWidget* parent) {
  auto* l = new QLabel(parent);
  l->setObjectName(QString::fromUtf8(name));
  l->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  return l;
}

QLabel* selectablePanel(const char* name, QWidget* parent) {
  QLabel* l = panelLabel(name, parent);
  l->setMinimumHeight(twipsToPx(300));
  l->setTextInteractionFlags(Qt::TextSelectableByMouse);
  return l;
}

int twipsToPx(double twips) { return static_cast<int>(twips * logicalDpi() / 1440.0 + 0.5); }
double pxToTwips(int px) { return px * 1440.0 / logicalDpi(); }

void setTopmost(QWidget* w, bool on) {
  if (!w) return;
  const Qt::WindowFlags was = w->windowFlags();
  if (was.testFlag(Qt::WindowStaysOnTopHint) == on) return;
  const Qt::WindowFlags now =
      on ? (was | Qt::WindowStaysOnTopHint) : (was & ~Qt::WindowStaysOnTopHint);
  if (QWindow* native = w->windowHandle()) {
    // Told to the window system in place: re-creating the window would hide
    // it and drop it behind the main window.
    w->overrideWindowFlags(now);
    native->setFlags(now);
    if (on && w->isVisible()) w->raise();
  } else {
    w->setWindowFlags(now);
  }
}

TopmostPause::TopmostPause() {
  for (QWidget* w : QApplication::topLevelWidgets()) {
    if (w->isVisible() && w->windowFlags().testFlag(Qt::WindowStaysOnTopHint)) {
      paused_.push_back(w);
    }
  }
  for (QWidget* w : paused_) setTopmost(w, false);
}

TopmostPause::~TopmostPause() {
  for (QWidget* w : paused_) setTopmost(w, true);
}

QWidget* QtUi::owner() const {
  // A message belongs to the window it answers: the window manager then keeps
  // both above the main window while the message shows.
  QWidget* active = QApplication::activeWindow();
  if (active && active->isVisible() && !active->isModal() && active->parentWidget() == parent_)
    return active;
  return parent_;
}

Answer QtUi::ask(std::string_view text, Buttons buttons, Icon icon, std::string_view title) {
  QWidget* owner = this->owner();
  TopmostPause pause;
  QMessageBox box(owner);
  box.setWindowTitle(toQ(title));
  box.setText(messageText(text));
  switch (icon) {
    case Icon::None: box.setIcon(QMessageBox::NoIcon); break;
    case Icon::Information: box.setIcon(QMessageBox::Information); break;
    case Icon::Question: box.setIcon(QMessageBox::Question); break;
    case Icon::Exclamation: box.setIcon(QMessageBox::Warning); break;
    case Icon::Critical: box.setIcon(QMessageBox::Critical); break;
  }
  switch (buttons) {
    case Buttons::Ok: box.setStandardButtons(QMessageBox::Ok); break;
    case Buttons::OkCancel: box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel); break;
    case Buttons::YesNo: box.setStandardButtons(QMessageBox::Yes | QMessageBox::No); break;
    case Buttons::YesNoCancel:
      box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
      break;
  }
  switch (box.exec()) {
    case QMessageBox::Yes: return Answer::Yes;
    case QMessageBox::No: return Answer::No;
    case QMessageBox::Cancel: return Answer::Cancel;
    case QMessageBox::Ok: return Answer::Ok;
    default:
      // Closed from the title bar: the same as the box's escape button.
      return buttons == Buttons::YesNo ? Answer::No
             : buttons == Buttons::Ok  ? Answer::Ok
                                       : Answer::Cancel;
  }
}

namespace {
QString startPath(const FileDialogOptions& dialog) {
  QString dir = toQ(dialog.initialDir);
  if (dialog.fileName.empty()) return dir;
  const QString name = toQ(dialog.fileName);
  if (name.startsWith(QLatin1Char('/')) || dir.isEmpty()) return name;
  return dir + (dir.endsWith(QLatin1Char('/')) ? QString() : QStringLiteral("/")) + name;
}

QString selectedFilter(const QString& filters, int index) {
  const QStringList list = filters.split(QStringLiteral(";;"));
  if (index >= 1 && index <= list.size()) return list[index - 1];
  return QString();
}
}  // namespace

std::optional<std::string> QtUi::openFile(const FileDialogOptions& dialog) {
  TopmostPause pause;
  const QString filters = qtFilter(dialog.filter);
  QString sel = selectedFilter(filters, dialog.filterIndex);
  const QString f = QFileDialog::getOpenFileName(owner(), toQ(dialog.title), startPath(dialog),
                                                 filters, &sel);
  if (f.isEmpty()) return std::nullopt;
  return fromQ(f);
}

std::optional<std::string> QtUi::saveFile(const FileDialogOptions& dialog) {
  TopmostPause pause;
  const QString filters = qtFilter(dialog.filter);
  QString sel = selectedFilter(filters, dialog.filterIndex);
  QFileDialog::Options opts;
  if (!dialog.overwritePrompt) opts |= QFileDialog::DontConfirmOverwrite;
  const QString f = QFileDialog::getSaveFileName(owner(), toQ(dialog.title), startPath(dialog),
                                                 filters, &sel, opts);
  if (f.isEmpty()) return std::nullopt;
  return fromQ(f);
}

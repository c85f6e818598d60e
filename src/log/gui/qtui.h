// Message boxes and file dialogs of the windows, and the small Qt helpers
// every window shares.
#pragma once
#include <QString>
#include <QWidget>
#include <initializer_list>
#include <string>
#include <string_view>

#include "log/ui.h"

inline QString toQ(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }
inline std::string fromQ(const QString& s) { return s.toStdString(); }

// Texts of the rules end lines with CR LF; Qt wants LF.
QString messageText(std::string_view s);
// A multi-line setting (CR LF between lines) for a text box, and back.
QString boxText(std::string_view s);
std::string varText(const QString& box);

// "desc|*.ext|desc2|*.a;*.b|" to Qt's "desc (*.ext);;desc2 (*.a *.b)".
QString qtFilter(std::string_view filter);

// Twips to pixels at the screen's logical dpi (15 twips a pixel at 96 dpi).
int twipsToPx(double twips);
double pxToTwips(int px);

class QHBoxLayout;
class QLabel;
class QPushButton;
// A push button with its object name.
QPushButton* namedButton(const char* name, const QString& caption, QWidget* parent);
// A row of buttons of one width (twips): centred, or pushed to the right.
enum class RowAlign { Centre, Right };
QHBoxLayout* buttonRow(std::initializer_list<QPushButton*> buttons, int widthTwips,
                       bool fixedWidth = true, RowAlign align = RowAlign::Centre);
// A sunken panel label with its object name.
QLabel* panelLabel(const char* name, QWidget* parent);
// A sunken panel whose text (an address, a file name) can be selected and copied.
QLabel* selectablePanel(const char* name, QWidget* parent);

class QKeyEvent;
// A key press that types printable characters: not a key whose text is a
// control character (Esc "\x1b", Tab "\t", Delete "\x7f", Backspace,
// Enter), not a key without text (arrows, Home/End), not a Ctrl or Alt
// shortcut. Keystroke filters judge only these.
bool IsTypedCharacter(const QKeyEvent* k);
bool CarriesControlText(const QString& text);

// Drops the topmost state of every topmost tool window while a message box
// is up, and restores it afterwards.
class TopmostPause {
 public:
  TopmostPause();
  ~TopmostPause();

 private:
  std::vector<QWidget*> paused_;
};

// Makes a window topmost or not; a shown window stays shown and keeps its
// place in the stacking order above its owner.
void setTopmost(QWidget* w, bool on);

class QtUi : public Ui {
 public:
  explicit QtUi(QWidget* parent = nullptr) : parent_(parent) {}
  void setParent(QWidget* p) { parent_ = p; }
  Answer ask(std::string_view text, Buttons buttons, Icon icon, std::string_view title) override;
  std::optional<std::string> openFile(const FileDialogOptions& dialog) override;
  std::optional<std::string> saveFile(const FileDialogOptions& dialog) override;
  // The window a message or file dialog belongs to: the active tool window
  // of the main window, else the main window.
  QWidget* owner() const;

 private:
  QWidget* parent_;
};

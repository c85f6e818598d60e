// Qt side of the entry windows' shared rules: the keystroke filters as event
// filters on a box, the band and mode lists and the proposed reports written
// into the boxes, and the manual-time switch the main window keeps for all
// entry windows.
//
//   InstallKeyFilter(Text5, entry::KeyFilter::CallSign);   // once, at build
//   SetKeyFilter(Text6, entry::KeyFilter::Free);            // change later
//   FillBandModeLists(Combo1, Combo2, ws.session().Contest);        // BandModeSet
//   ApplyModeReport(Combo2, Text6, Text8, entry::ReportRule::Entry);  // ModeSet
//
// A box's filter sees every typed character (key presses and input-method
// commits): a character the rule discards is eaten, one it changes (upper
// case) reaches the box changed. Keys whose text is a control character
// (Esc, Tab, Enter, Delete, Backspace) and keys with Ctrl or Alt pass untouched.
// A window that handles keys of its own (Enter, Esc, Alt commands) installs
// its own filter on the boxes after these, so that it sees the keys first.
#pragma once
#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QObject>
#include <QToolButton>
#include <QWidget>

#include "entry/bandmode.h"

class Workspace;

// The up-down control of the entry windows: two arrow buttons over a value with a range. Each
// click steps the value by the increment (within the range) and reports
// Change; the arrows never take the focus.
class EntryUpDown : public QWidget {
  Q_OBJECT
 public:
  EntryUpDown(int minimum, int maximum, QWidget* parent);
  int value() const { return value_; }
  void setValue(int v);
  int minimum() const { return min_; }
  int maximum() const { return max_; }
  // How far the value moved since the last call (the time steppers step
  // the time by that much).
  int takeStep() {
    const int s = value_ - taken_;
    taken_ = value_;
    return s;
  }
  // A new limit pulls the value inside the range.
  void setMinimum(int v);
  void setMaximum(int v);
  QToolButton* upButton() const { return up_; }
  QToolButton* downButton() const { return down_; }

 signals:
  void Change(int value);
  // A mouse click on either arrow has ended.
  void clickedDone();

 private:
  void step(int by);
  QToolButton *up_, *down_;
  int min_, max_, value_ = 0;
  int taken_ = 0;
};


class KeyFilterObject : public QObject {
  Q_OBJECT
 public:
  KeyFilterObject(entry::KeyFilter kind, QObject* parent) : QObject(parent), kind_(kind) {}
  entry::KeyFilter kind() const { return kind_; }
  void setKind(entry::KeyFilter k) { kind_ = k; }

 protected:
  bool eventFilter(QObject* o, QEvent* e) override;

 private:
  entry::KeyFilter kind_;
  bool resending_ = false;
};

// The band and mode boxes take only the texts of their lists. A typed
// character (filtered by the box's rule) chooses the first item that starts
// with what was typed so far, the rest of the item selected so that typing
// on narrows it (or, after a pause, when nothing does, the first item that
// starts with the character alone); Backspace steps back; Delete does nothing; any other
// edit (paste, cut, undo) that leaves no item's text is undone. Getting the
// focus selects the whole text, so a typed character replaces it. A text
// the window sets (a loaded QSO's band) stays as it is until the operator
// changes it.
class ListChoice : public QObject {
  Q_OBJECT
 public:
  ListChoice(QComboBox* box, entry::KeyFilter kind);

 signals:
  // The operator's typing chose another item.
  void chosen(int index);

 protected:
  bool eventFilter(QObject* o, QEvent* e) override;

 private:
  void type(const QString& typed);
  void backspace();
  void choose(int index, int typedLength);
  void edited(const QString& text);
  int startingWith(const QString& prefix) const;

  QComboBox* box_;
  entry::KeyFilter kind_;
  QString before_;  // the text before the event that is being handled
  QElapsedTimer lastKey_;
};
// Limits a box to what its record field holds: at most `bytes` bytes in
// CP932 (a double-byte character takes two). A typed or pasted text that
// would not fit is refused as a whole, so nothing is cut when it is saved.
void LimitCp932Bytes(QLineEdit* box, int bytes);

// Makes box list-only (once); the box's ListChoice.
ListChoice* InstallListChoice(QComboBox* box, entry::KeyFilter kind);

// Installs (or changes) the keystroke filter of a text box or an editable
// combo box.
void InstallKeyFilter(QWidget* box, entry::KeyFilter kind);
void SetKeyFilter(QWidget* box, entry::KeyFilter kind);
entry::KeyFilter KeyFilterOf(QWidget* box);

// BandModeSet: empties both lists and fills them with the enabled bands and
// modes; nothing is selected here (the caller selects). Editable combos show
// an empty text afterwards.
void FillBandModeLists(QComboBox* band, QComboBox* mode, const ContestDefinition& contest);
// ModeSet: writes the report proposed for the mode box's text into both
// report boxes (or leaves them, where the rule has no report for the mode).
void ApplyModeReport(const QComboBox* mode, QLineEdit* sentRst, QLineEdit* rcvdRst,
                     entry::ReportRule rule);

// TimeMnl, the manual-time switch the entry windows share for the run of
// the program (not kept in the settings file).
int TimeMnl(Workspace& ws);
void SetTimeMnl(Workspace& ws, int value);

// Controls every entry window builds the same way.
class QGridLayout;
class QLabel;
QLabel* EntryCaption(const char* name, const char* text, QWidget* parent);
QLineEdit* EntryBox(const char* name, int widthTwips, QWidget* parent);

// The entry row: band and mode lists, then call sign, sent RS(T), sent
// exchange, received RS(T) and received exchange (Text5..Text9), with their
// captions Label5..Label9 above them. bandCaption and modeCaption, when
// given, stand above the two lists.
struct EntryRow {
  QComboBox *Combo1, *Combo2;
  QLineEdit *Text5, *Text6, *Text7, *Text8, *Text9;
  QLabel *Label5, *Label6, *Label7, *Label8, *Label9;
};
QGridLayout* BuildEntryRow(QWidget* parent, EntryRow& row, QLabel* bandCaption = nullptr,
                           QLabel* modeCaption = nullptr);

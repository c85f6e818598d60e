// The QSO entry panel the real-time input window and the insert and edit
// dialogs share: the time of the QSO with its steppers and typed-time box,
// the band and mode lists, the call sign, report and number boxes, and what
// these boxes do alike in every entry window (stepping the time, the
// manual-time switch, Alt+B/C/M/N, the Space moves, the digital QSO party).
// A window derives from it beside its tool-window base and says where its
// time lives and what a band or mode pick does.
#pragma once
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <array>
#include <initializer_list>

#include "entry/bandmode.h"
#include "entry/edit.h"
#include "log/oledate.h"
#include "log/qso.h"

class EntryUpDown;
class QGridLayout;
class QHBoxLayout;
class QWidget;
struct ContestDefinition;

// A sunken, centred label of the time row (white in the dialogs).
QLabel* EntryPanelLabel(const char* name, int widthTwips, QWidget* parent, bool white = false);

// A command button of the entry windows (Enter never clicks it) and their
// row at the right under the boxes.
QPushButton* EntryButton(const char* name, const char* caption, QWidget* parent);
QHBoxLayout* EntryButtonRow(std::initializer_list<QPushButton*> buttons);

class QsoEntryPanel {
 public:
  virtual ~QsoEntryPanel() = default;

  // --- controls (object names as the windows have always had them) ---
  QLabel *Label12 = nullptr, *Label13 = nullptr;
  std::array<EntryUpDown*, 3> UpDown1{};
  std::array<EntryUpDown*, 2> UpDown2{};
  QLineEdit* Text1 = nullptr;
  QComboBox *Combo1 = nullptr, *Combo2 = nullptr;
  QLineEdit *Text5 = nullptr, *Text6 = nullptr, *Text7 = nullptr, *Text8 = nullptr,
            *Text9 = nullptr;
  QLabel *Label5 = nullptr, *Label6 = nullptr, *Label7 = nullptr, *Label8 = nullptr,
         *Label9 = nullptr;

  // The width of the report fields (SentRst, RcvdRst) in CP932 bytes.
  static constexpr int kRstBytes = static_cast<int>(decltype(QsoRecord::SentRst)::kLength);

  // The keystroke filters of Text5..Text9, which differ between the windows.
  using BoxFilters = std::array<entry::KeyFilter, 5>;

 protected:
  // Date, its three steppers, the time and its two steppers, into row;
  // Text1 is made but placed by the window. whitePanels: the dialogs' look.
  void buildTimeRow(QWidget* parent, QHBoxLayout* row, bool whitePanels);
  // The band, mode and text boxes with their captions, the keystroke
  // filters, the received RS(T) box out of the tab chain; the tab order runs
  // from the band box to Text1.
  QGridLayout* buildBoxes(QWidget* parent, const BoxFilters& filters, QLabel* bandCaption = nullptr,
                          QLabel* modeCaption = nullptr);
  // Steppers, band and mode picks; context owns the connections.
  void connectPanel(QObject* context);

  // Where the window keeps the time of its QSO.
  virtual ole::Date& panelTime() = 0;
  // A band or mode picked from the list.
  // A band or mode picked from the list.
  virtual void bandPicked() = 0;
  virtual void modePicked() = 0;
  // A band or mode chosen by typing in its box (the focus stays there).
  virtual void bandTyped() = 0;
  virtual void modeTyped() = 0;

  void showPanelTime(bool dateOnly = false);
  void stepPanelTime(entry::TimeField field, int step);
  void upDownChanged(bool timeGroup, int item);
  // Alt+D / Alt+U: one minute earlier or later, both labels shown.
  void stepMinute(int by);
  // Alt+W: the call sign and the received number emptied.
  void clearCallAndNumber();
  // Manual-time mode on (1): minutes steppers off, Text1 shown and focused.
  void setManualTime(int flag);
  // Alt+B, C, M, N (the band and mode boxes' text selected); false for
  // another letter.
  bool altFocus(int key);
  // Where Space released in source moves the focus; nullptr for a box
  // that does not move it.
  QWidget* spaceTarget(QObject* source, bool dqp) const;
  void caretToEnd();
  // The digital QSO party: no exchange boxes; the received RS(T) a tab stop.
  void applyDqp();
  void fillLists(const ContestDefinition& contest);
  void modeReport();
  entry::EntryBoxes panelBoxes() const;
};

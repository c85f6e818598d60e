// The multi-QSO edit dialog "データ一括エディット": changes the sent RST,
// sent exchange, received RST, band, mode or time of a run of consecutive
// QSOs at once, each field over its own range. Modeless and topmost.
// While open it is registered as tool window 16, so that no other tool
// window opens over it and the main window's Esc closes it.
//
// Controls (object names; item i of an array is Name_i):
//   Check1_0..5           tick boxes "送信RST", "送信RPT", "受信RST",
//                         "バンド", "モード", "時　間"
//   UpDown1_0..5          range starts, shown in Label1_0..5 ("開　　始")
//   UpDown2_0..5          range ends, shown in Label2_0..5 ("終　　了")
//   Text1, Text2, Text3   sent RST, sent exchange, received RST
//   Combo1, Combo2        band, mode
//   UpDown3_0..2          months (-48..48), days (-31..31), hours (-24..24),
//                         shown in Label3_0..2
//   Command1 "変　換", Command2 "終　了"
#pragma once
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QWidget>
#include <array>

#include "entry/edit.h"
#include "entry/gui/entryfilters.h"

#include "contest/gui/toolwindow.h"


// The number the dialog registers under while open (the numbers 1 to 15
// belong to the other tool windows).
inline constexpr int kDlgMultiEdit = DlgMultiEdit;

class frmMultiEdit : public ToolWindow<QWidget> {
  Q_OBJECT
 public:
  explicit frmMultiEdit(Workspace& ws);

  // mnuAllEdit_Click: shows the dialog (nothing when another tool window is
  // open).
  static frmMultiEdit* showFor(Workspace& ws);

  std::array<QCheckBox*, entry::kMultiEditRows> Check1;
  std::array<EntryUpDown*, entry::kMultiEditRows> UpDown1, UpDown2;
  std::array<QLabel*, entry::kMultiEditRows> Label1, Label2;
  std::array<EntryUpDown*, 3> UpDown3;
  std::array<QLabel*, 3> Label3;
  QLineEdit *Text1, *Text2, *Text3;
  QComboBox *Combo1, *Combo2;
  QPushButton *Command1, *Command2;

  void BandModeSet();
  void ModeSet();
  void RowEnable(int row, bool ticked);

  void Check1_Click(int row);
  void UpDown1_Change(int row);
  void UpDown2_Change(int row);
  void UpDown3_Change(int item);
  void Combo2_Click();
  // "変　換": applies the ticked rows; true when the log changed.
  bool Command1_Click();
  void Command2_Click();

 protected:
  bool eventFilter(QObject* o, QEvent* e) override;

 private:
  void Form_Load();
  std::array<QWidget*, entry::kMultiEditRows> valueControls() const;

};

// The insert and edit dialogs. frmEdit "データの修正" (light grey)
// rewrites the QSO selected in the grid; frmAdd "データの挿入" (light green)
// inserts a new QSO in front of it. Both are near twins of the input window:
// the same boxes, band and mode rules, time steppers and Alt commands.
// Modeless and topmost; while open they are registered as tool window 2
// (frmEdit) or 15 (frmAdd), so the main window's Esc closes the right one and
// a double click on the grid reloads it.
//
// Controls (object names):
//   Label12, Label13      date "yyyy-mm-dd" and time "hh:nn" of the QSO
//   UpDown1_0.._2         year, month, day steppers
//   UpDown2_0, UpDown2_1  hour, minute steppers
//   Text1                 typed time hhnn or hh:nn (manual-time mode only)
//   Combo1, Combo2        band, mode; captions Label10, Label11
//   Text5..Text9          call sign, sent RS(T), sent exchange, received
//                         RS(T), received exchange; captions Label5..Label9
//   Text4                 operator, frmAdd only; caption Label4
//   Command1 "終了", Command2 "登録" (frmEdit) / "挿入" (frmAdd)
#pragma once
#include <QColor>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QWidget>
#include <array>
#include <cstdint>

#include "entry/edit.h"
#include "entry/gui/qsoentrypanel.h"
#include "log/oledate.h"

#include "contest/gui/toolwindow.h"

class EntryUpDown;

// What the two dialogs share.
class QsoDialog : public ToolWindow<QWidget>, public QsoEntryPanel {
  Q_OBJECT
 public:
  ~QsoDialog() override;

  // --- controls (the entry boxes are the panel's) ---
  QLabel *Label10, *Label11;
  QPushButton *Command1, *Command2;

  // --- state ---
  std::int16_t LoadedNo = 0;  // QsoNo of the loaded QSO
  ole::Date EditTime = 0;
  std::int16_t Saved = 0;     // 1 after the first save or insert
  // The log position the dialog loaded (the selected row at DataLoad).
  int loadedRow() const { return loadedRow_; }

  // Fills the dialog from the QSO of the selected row; does nothing when no
  // QSO is selected.
  virtual void DataLoad() = 0;

  void BandModeSet();
  void ModeSet();
  void AltKeyCmd(int key);
  void TimeMnlSet(int flag);

  void Combo1_Click();
  void Combo2_Click();
  // Space released or Enter pressed in Text1: true when the time was taken.
  bool Text1_Apply();
  void Command1_Click();
  // "登録" or "挿入".
  virtual void Command2_Click() = 0;

 protected:
  QsoDialog(Workspace& ws, int dialogNo, const char* name, const char* caption,
            const char* command2, QColor background);
  // The part of DataLoad both dialogs share; false when no QSO is selected.
  bool loadCommon();
  void Form_Load();
  void topmostMessage(std::string_view text);
  bool dqp() const;
  // Enter pressed anywhere but the time box.
  virtual void enter() = 0;
  // Run once when the dialog closes, before the common part.
  virtual void unload() {}

  bool eventFilter(QObject* o, QEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;
  void onClose() override;
  ole::Date& panelTime() override { return EditTime; }
  void bandPicked() override { Combo1_Click(); }
  void modePicked() override { Combo2_Click(); }
  // Typed: the reports follow the mode; the focus stays in the box.
  void bandTyped() override {}
  void modeTyped() override { ModeSet(); }

  QWidget* body_;  // the box row; frmAdd adds the operator box to it
  int loadedRow_ = 0;

 private:
  bool keyDown(QObject* source, QKeyEvent* e);
  bool keyUp(QObject* source, QKeyEvent* e);

  bool spaceDown_ = false;
};

class frmEdit : public QsoDialog {
  Q_OBJECT
 public:
  explicit frmEdit(Workspace& ws);

  // The open edit dialog of a main window, if any.
  static frmEdit* openOf(Workspace& ws);
  // mnuLogEdit_Click / mnuDataEdit_Click / the grid's double click with no
  // tool window open: shows the dialog for the selected row. Nothing opens
  // when no QSO is selected or another tool window is open.
  static frmEdit* showFor(Workspace& ws);

  void DataLoad() override;
  // Stores the dialog into the log, then re-scores it and rebuilds the grid.
  void EditDataSet();
  void Command2_Click() override;

 protected:
  void enter() override;
};

class frmAdd : public QsoDialog {
  Q_OBJECT
 public:
  explicit frmAdd(Workspace& ws);

  // mnuLogIns_Click: shows the dialog in front of the selected row. Nothing
  // opens when no QSO is selected or another tool window is open.
  static frmAdd* showFor(Workspace& ws);

  QLineEdit* Text4;
  QLabel* Label4;

  void DataLoad() override;
  // Checks the boxes and inserts the QSO's row into the grid in front of the
  // loaded row; the dialog then closes. False when nothing was inserted.
  bool InsDataSet();
  void Command2_Click() override;

 protected:
  void enter() override;
  void unload() override;

 private:
  int insertedRow_ = 0;
};

// Grid1_DblClick of the main window: with no tool window open the edit
// dialog opens; with the edit or the insert dialog open, that dialog loads
// the selected QSO. Nothing happens without a selected QSO.
void EditDialogsDblClick(Workspace& ws);

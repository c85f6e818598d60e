// The real-time input window "データ入力": the operator types QSOs one after
// the other while operating; each Enter stamps the QSO with the window's
// time, appends it to the log and adds its grid row. Modeless and topmost;
// registered as tool window 1 while open, so the main window's Esc closes it.
// Closing re-scores the whole log when QSOs were added.
//
// Controls (object names):
//   Check1                "リアルタイム入力"
//   Label12, Label13      date "yyyy-mm-dd" and time "hh:nn" of the next QSO
//   UpDown1_0.._2         year, month, day steppers
//   UpDown2_0, UpDown2_1  hour, minute steppers
//   Text1                 typed time hhnn (manual-time mode only)
//   Label15, Label16      "JST"/"UTC", "シングルオペ"/"マルチオペ"
//   Combo1, Combo2        band, mode
//   Text5..Text9          call sign, sent RS(T), sent exchange, received
//                         RS(T), received exchange; captions Label5..Label9
//   Command1 "消去", Command2 "登録"
//   StatusBar1            panel 1: StatusBar1Panel1; LabelRig at its right
//   Timer1 (5 s message), Timer2 (1 s clock)
//   LabelFreq             the radio's frequency, under the band and mode boxes
//   LabelCheck, LabelHistory, ListPartial   the live checks (entryassist.h)
//
// While the settings link a radio (RigOn), the band and mode boxes follow it
// and a band or mode the operator picks or types turns it.
#pragma once
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>
#include <QToolButton>
#include <QWidget>
#include <array>
#include <functional>
#include <optional>
#include <string>

#include "entry/edit.h"
#include "entry/gui/entryfilters.h"
#include "entry/gui/qsoentrypanel.h"
#include "entry/riglink.h"
#include "log/oledate.h"

#include "contest/gui/toolwindow.h"


class EntryAssist;
class RigWatch;

// What the window starts after it closed on a command word.
struct InputLinks {
  std::function<void()> CabOn;   // "KVRTUZA"
  std::function<void()> ZlogOn;  // "WMQEXHIB"
};

class frmInput : public ToolWindow<QWidget>, public QsoEntryPanel {
  Q_OBJECT
 public:
  // Opens the window over the main window (menus off, lists, selection,
  // time, registration as tool window 1). The caller shows it.
  frmInput(Workspace& ws, InputLinks links = {});
  ~frmInput() override;

  // The open input window of a main window, if any.
  static frmInput* openOf(Workspace& ws);
  // Shows the window, opening it when it is not open yet (the main window's
  // showInput). The import commands default to the main window's readers.
  static frmInput* showFor(Workspace& ws);

  // --- controls (the entry boxes are the panel's) ---
  QCheckBox* Check1;
  QLabel *Label15, *Label16;
  QPushButton *Command1, *Command2;
  QStatusBar* StatusBar1;
  QLabel* StatusBar1Panel1;
  QLabel* LabelFreq;  // the radio's frequency, beside the band and mode boxes
  QLabel* LabelRig;   // the radio's state, at the right of the status bar
  QTimer *Timer1, *Timer2;
  QTimer* RigTypedTimer;  // a band or mode typed goes to the radio when it fires

  // --- state ---
  ole::Date InputTime = 0;
  std::int16_t DataAdded = 0;

  // --- operations ---
  void BandModeSet();
  void ModeSet();
  void SentRptSet(const QString& band);
  void CateSet(int cateMode, int cateBand);
  void QsoRegister();
  void AltKeyCmd(int key);
  void TimeMnlSet(int flag);

  // Events, named as the window's handlers.
  void Check1_Click();
  void Timer1_Timer();
  void Timer2_Timer();
  void Command1_Click();
  void Command2_Click();
  void Combo1_Click();
  void Combo2_Click();
  void Text1_Apply();
  void RigTypedTimer_Timer();

  InputLinks links;

  // The call history is ready (the main window built it).
  void historyArrived();
  EntryAssist* assist() const { return assist_; }
  RigWatch* rig() const { return rig_; }
  void rigChanged(const entry::RigStatus& s);

 protected:
  bool eventFilter(QObject* o, QEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;
  void keyReleaseEvent(QKeyEvent* e) override;
  void onClose() override;
  void afterClose() override;
  ole::Date& panelTime() override { return InputTime; }
  void bandPicked() override { Combo1_Click(); }
  void modePicked() override { Combo2_Click(); }
  void bandTyped() override;
  void modeTyped() override;

 private:
  void buildControls();
  void place();
  void Form_Load();
  void showStatus(std::string_view text);
  void clearEntry();
  bool altHeld(const QKeyEvent* e) const;
  // Key handling of the whole window; true when the key was used up.
  bool keyDown(QObject* source, QKeyEvent* e);
  bool enterDown(QObject* source, const QKeyEvent* e);
  bool keyUp(QObject* source, QKeyEvent* e);
  bool realTime() const;
  bool dqp() const;

  EntryAssist* assist_ = nullptr;
  RigWatch* rig_ = nullptr;
  std::string rigBand_, rigMode_;  // what the radio reported last
  static constexpr int kRigBand = 1, kRigMode = 2;
  int rigTyped_ = 0;               // what was typed since the radio was last told
  std::optional<entry::EntryBoxes> enterBoxes_;
  bool enterDown_ = false;
  bool spaceDown_ = false;
  bool swallowEnterUp_ = false;
  std::function<void()> afterClose_;
};

// What mnuInBox_Click does: the input window, or, without a station call sign, the
// message "コールサインを設定してください" and the station-data dialog.
void OpenInputWindow(Workspace& ws);

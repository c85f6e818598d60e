// The rig settings "リグ設定": whether the entry window follows the radio,
// and how it reaches it, either a model of the rig library on a serial or
// USB port (the model chosen from the library's own list, searchable by
// maker and name; the port from the serial ports found; the speed) or a
// rigctld server (host and port); the mode box text of the radio's packet
// modes. "接続テスト" opens the radio as set and shows the frequency and
// mode it reads, while the window goes on working. OK keeps the values in
// the settings and writes the settings file. Registered as tool window 18.
//
// Controls (object names): chkRigOn, optDirect, optRigctld, txtFind,
// lstModels, cboPort, cboSpeed, txtHost, txtPort, cboDigiMode, cmdTest,
// lblTest, OKButton "O  K", CancelButton "ｷｬﾝｾﾙ".
#pragma once
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QStringList>
#include <QTimer>

#include "contest/gui/toolwindow.h"
#include "entry/riglink.h"

class RigWatch;

// The serial and USB ports of this machine, by name.
QStringList SerialPorts();

class frmRigSet : public ToolWindow<QWidget> {
  Q_OBJECT
 public:
  static constexpr int kTestSeconds = 8;

  explicit frmRigSet(Workspace& ws);
  // Opens the window unless another tool window is open.
  static frmRigSet* showFor(Workspace& ws);

  QCheckBox* chkRigOn;
  QRadioButton *optDirect, *optRigctld;
  QLineEdit* txtFind;
  QListWidget* lstModels;
  QComboBox *cboPort, *cboSpeed;
  QLineEdit *txtHost, *txtPort;
  QComboBox* cboDigiMode;
  QPushButton* cmdTest;
  QLabel* lblTest;
  QPushButton *OKButton, *CancelButton;
  QTimer* testTimer;

  // The radio as the window's boxes set it (the chosen model, or rigctld).
  entry::RigConfig config() const;
  // Selects the model in the list (shown even when the search hides it).
  void selectModel(int model);
  int selectedModel() const;
  void txtFind_Change();
  void cmdTest_Click();
  // Keeps the values in the settings and writes the file; false (told)
  // when it could not be written.
  bool OKButton_Click();

 protected:
  void onClose() override;

 private:
  void testStatus(const entry::RigStatus& s);
  void endTest(const QString& text);
  void followKind();

  RigWatch* test_;
};

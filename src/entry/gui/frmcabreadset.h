// The Cabrillo read dialog: the first "QSO:" line of the file, one character
// a grid column, the fields read from it, and the up-downs and number boxes
// that set where the reports, exchanges and the worked call sign start and
// how long the calls and exchanges are; "標準" sets the standard QSO line.
#pragma once
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QToolButton>
#include <array>
#include <string>
#include <vector>

#include "log/cabrillo.h"
#include "log/gui/updown.h"

#include "contest/gui/toolwindow.h"


class frmCabReadSet : public ToolWindow<QDialog> {
  Q_OBJECT
 public:
  explicit frmCabReadSet(Workspace& ws);
  ~frmCabReadSet() override;

  QTableWidget* Grid1;                        // the sample line
  std::array<QLabel*, 7> Label1{};            // captions
  std::array<QLabel*, 9> Label2{};            // field read-outs 0..8
  std::array<NumberBox*, 9> Label3{};         // field lengths (typed for 3, 5, 6, 8)
  std::array<UpDownControl*, 5> UpDown2{};    // positions of fields 4..8
  std::array<UpDownControl*, 4> UpDown1{};    // lengths: 0, 2 call; 1, 3 exchange
  QGroupBox* Frame1;
  QLabel* Label4;                             // the instruction
  QPushButton* StdButton;                     // "標準"
  QPushButton* OKButton;
  QPushButton* CancelButton;

  std::string CabFileName;

  // Loads the file's first "QSO:" line as the sample.
  void CabTempRead(const std::string& CabName);
  // Converts the file's "QSO:" lines and appends them.
  void CabRead(const std::string& CabName);
  // The file's bytes; false (said, and the window closed when unreadable) when there are none.
  bool readCabFile(const std::string& CabName, std::string& bytes);
  void CabShowField(int k);
  void CabMarkColumns(int k, int start, int length);
  void CabShowAll();

  void UpDown2_Change(int index);
  void UpDown1_UpClick(int index);
  void UpDown1_DownClick(int index);
  void Label3_Typed(int k, int length);
  void StdButton_Click();
  void OKButton_Click();
  void CancelButton_Click();

  const std::string& sample() const { return sample_; }
  const CabColumns& columns() const { return cols_; }
  // Background colour of read-out k.
  static QColor fieldColour(int k);
  QColor defaultCellColour() const { return defaultColour_; }

 protected:

 private:
  void build();
  void lengthChanged(bool call);
  void storeColumns();
  // The up-downs and number boxes from cols_; the range keeps every position.
  void showColumns();

  CabColumns cols_;
  std::string sample_;
  std::vector<int> owner_;  // read-out whose colour each grid column has, -1 none
  QColor defaultColour_;
};

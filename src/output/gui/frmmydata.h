// The station-data dialog "電子ログの設定": the contest and entry category,
// the licensee's and the station's data, the oath, the power letters and
// the parts of the sent exchange. Modeless and topmost; registers itself
// as tool window 3 while open.
//
// Controls (object names):
//   TabStrip1           the four pages
//   File1, Label2       contest files of Cfg, the file picked
//   Command3            "変　更"
//   Label1              contest name (JarlContest)
//   Label3, Label4      the notices after a contest change
//   Grid1               category grid ("名　　　称", "ｺｰﾄﾞﾅﾝﾊﾞｰ")
//   Label5, Label6      category name and code (JarlCategory, JarlCateCode)
//   Text1..Text5        call sign, licensee's name, address, telephone, e-mail
//   Combo1              licence class
//   Text14              oath
//   Text6..Text11       club name, club number, operator, operators and
//                       classes, operating place, equipment
//   Text12              power; Check1_0 "定格出力", Check1_1 "実測出力"
//   Combo2              field-day coefficient; Text13 power supply
//   Text15..Text18      prefecture, JCC, age, name sent in the exchange
//   Combo3_0..Combo3_15 power letter per band
//   Label7              notice of a refused character
//   Command1 "O K", Command2 "ｷｬﾝｾﾙ"
#pragma once
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTabWidget>
#include <QTimer>
#include <array>
#include <functional>
#include <string>

#include "output/mydata.h"

#include "contest/gui/toolwindow.h"


class frmMyData : public ToolWindow<QDialog> {
  Q_OBJECT
 public:
  explicit frmMyData(Workspace& ws);

  // The open dialog, or a new one; shown either way.
  static frmMyData* open(Workspace& ws);

  static constexpr int kBands = mydata::kBandCount;

  QTabWidget* TabStrip1;
  QListWidget* File1;
  QLabel *Label1, *Label2, *Label3, *Label4, *Label5, *Label6, *Label7;
  QPushButton *Command1, *Command2, *Command3;
  QTableWidget* Grid1;
  QLineEdit *Text1, *Text2, *Text4, *Text5, *Text6, *Text7, *Text8, *Text10, *Text12, *Text13,
      *Text15, *Text16, *Text17, *Text18;
  QPlainTextEdit *Text3, *Text9, *Text11, *Text14;
  QComboBox *Combo1, *Combo2;
  std::array<QCheckBox*, 2> Check1{};
  std::array<QComboBox*, kBands> Combo3{};

  // Fills the category grid and every control from the main window's variables.
  void DataLoad();
  // Puts the oath of the contest's kind into the oath box.
  void OathLoad();
  // Copies every control back into the main window's variables.
  void MyDataSave();

  // The controls as plain values, and back.
  mydata::StationForm form() const;
  void setForm(const mydata::StationForm& f);

  // Event handlers.
  void File1_Click();
  void ChangeContest();  // "変　更" and a double click in the file list
  void Grid1_Click(int row);
  void Command1_Click();  // "O K"
  void Command2_Click();  // "ｷｬﾝｾﾙ"
  void Check1_Click(int index);

 protected:
  bool eventFilter(QObject* o, QEvent* e) override;

 private:
  void buildPages();
  void fillFileList();
  // Every box refuses what the summary sheet cannot carry, with a notice.
  void guardBoxes();
  void notice(std::string_view text);
  QWidget* boxOf(std::string mydata::StationForm::*field) const;

  QTimer noticeTimer_;

};

// The summary window: one scrollable page laid out like the paper summary
// sheet, with the score table, the formula row and the station data the
// electronic log will carry. Shows values only; tool window 6 while open.
//
// Controls (object names): Picture2 (viewport), Picture1 (page), HScroll1,
// VScroll1, Frame1 "スコア"; the score table Label6_i, Label7_i, Label8_i,
// Label9_i (i = band index 0..15, 16 total, 17 header); the formula row
// Label48_0..3 (captions), Label47_0..2 (signs), Label58, Label59, Label60,
// Label46; the station data Label1..Label5, Label13..Label20, Label42,
// Label43, Label54, Label55 and the read-only boxes Text1..Text5.
#pragma once
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QWidget>
#include <array>
#include <cstdint>

#include "contest/score.h"

#include "contest/gui/toolwindow.h"


class frmSumary : public ToolWindow<QWidget> {
  Q_OBJECT
 public:
  explicit frmSumary(Workspace& ws);

  // The open summary window, or a new one; shown either way.
  static frmSumary* open(Workspace& ws);

  // Page size and scroll-bar thickness (twips).
  static constexpr int kPageWidth = 10815;
  static constexpr int kPageHeight = 11175;
  static constexpr int kBarThickness = 255;

  QWidget *Picture2, *Picture1;
  QScrollBar *HScroll1, *VScroll1;
  QGroupBox* Frame1;
  std::array<QLabel*, 18> Label6{}, Label7{}, Label8{}, Label9{};
  std::array<QLabel*, 3> Label47{};
  std::array<QLabel*, 4> Label48{};
  QLabel *Label58, *Label59, *Label60, *Label46;
  QLabel *Label1, *Label2, *Label3, *Label4, *Label5, *Label13, *Label14, *Label15, *Label16,
      *Label17, *Label18, *Label19, *Label20, *Label42, *Label43, *Label54, *Label55;
  QPlainTextEdit *Text1, *Text2, *Text3, *Text4, *Text5;

  // Writes the values of the score and the station data into the page.
  void ScoreLoad(const score::SummaryView& v);

  // Whether each scroll bar is shown (also while the window is hidden).
  bool hScrollShown() const { return hShown_; }
  bool vScrollShown() const { return vShown_; }

 protected:
  void resizeEvent(QResizeEvent* e) override;
  void onClose() override;
  void wheelEvent(QWheelEvent* e) override;
  bool eventFilter(QObject* o, QEvent* e) override;

 private:
  void buildPage();
  void Form_Resize();
  void storeGeometry();
  void scrollPage();

  bool hShown_ = false, vShown_ = false;
  // The remembered geometry as applied, so that an unmoved window keeps
  // its twips exactly.
  std::array<std::int32_t, 4> applied_{};
};

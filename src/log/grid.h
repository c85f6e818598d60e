// The log grid's rows as texts, and the conversions between grid and log.
// The window shows this model; every rule works on it without a window.
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "log/bigblock.h"
#include "log/progress.h"
#include "log/qso.h"

constexpr int kGridCols = 13;

// Told about changes so that a view can follow; while redrawing is off the
// grid collects changes and asks for one reset when it is turned back on.
class GridObserver {
 public:
  virtual ~GridObserver() = default;
  virtual void gridReset() = 0;
  virtual void rowsInserted(int first, int last) = 0;  // grid row numbers
  virtual void rowsRemoved(int first, int last) = 0;
  virtual void cellChanged(int row, int col) = 0;
};

// Row 0 is the fixed header row; rows 1.. are data rows. Each row is kept as
// one text with its cell boundaries, so a full log costs one allocation a row.
class GridRows {
 public:
  GridRows();

  int rows() const { return static_cast<int>(rows_.size()); }
  std::string_view cell(int row, int col) const;
  void setCell(int row, int col, std::string_view text);
  std::string rowText(int row) const;  // cells joined by TAB

  // Append a TAB-separated row (missing cells are empty, extra ones dropped).
  void addRow(std::string_view tabText);
  void insertRow(int before, std::string_view tabText);
  void removeRow(int row);
  // Keeps the header and the first `n` data rows.
  void truncate(int n);
  // Room for n rows (the header included) without moving them again.
  void reserve(int n) { rows_.reserve(static_cast<std::size_t>(n < 0 ? 0 : n)); }
  // Sorts data rows by the text of one column, ascending, ignoring ASCII
  // case; equal keys keep their order.
  void sortByColumn(int col);
  // Puts the data rows in the order given: new row k is old row order[k-1]
  // (order holds each data row number once).
  void reorder(const std::vector<int>& order);

  void setRedraw(bool on);
  bool redraw() const { return redraw_ == 0; }

  void setObserver(GridObserver* o) { observer_ = o; }

 private:
  struct Row {
    std::string text;
    std::array<std::uint16_t, kGridCols + 1> off{};  // cell c is [off[c], off[c+1]-1)
  };
  static Row makeRow(std::string_view tabText);
  void changed();

  std::vector<Row, BigBlockAllocator<Row>> rows_;
  GridObserver* observer_ = nullptr;
  int redraw_ = 0;
  bool dirty_ = false;
};

// Header captions and widths (twips) of the 13 columns.
extern const std::array<const char*, kGridCols> kGridHeaders;
extern const std::array<int, kGridCols> kGridDefaultWidths;
enum class CellAlign { Left, Centre, Right };
extern const std::array<CellAlign, kGridCols> kGridAlign;

// "0001" .. "0999", then plain decimal.
std::string QsoNoText(int n);
// The 13 cell texts of a record joined by TAB. A QSO not yet searched (just
// typed) shows no multiplier, points, dupe mark or remarks.
std::string GridRowText(const QsoRecord& r, int showSeconds, bool searched = true);

// Rebuilds the grid from the log: header and one empty row for an empty log.
void FrmLogLoad(GridRows& grid, const LogData& log, int showSeconds);

// Rebuilds the log from the grid's texts, numbering from 1. A cell that does
// not convert leaves the field as the working record held it.
void GridToLog(const GridRows& grid, LogData& log, QsoRecord& cur, Progress& progress);

// Sorts the grid and the log by date and time (seconds in the key, equal
// times keep their order) and renumbers. The caller re-scores afterwards and
// marks the log changed.
void TimeSortGrid(GridRows& grid, LogData& log, QsoRecord& cur, Progress& progress);

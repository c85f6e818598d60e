// The table model the log grid shows: a view over the grid's rows.
#pragma once
#include <QAbstractTableModel>
#include <string>
#include <vector>

#include "log/grid.h"

class GridModel : public QAbstractTableModel, public GridObserver {
  Q_OBJECT
 public:
  explicit GridModel(GridRows& rows, QObject* parent = nullptr);
  ~GridModel() override;

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation o, int role) const override;

  GridRows& rows() { return rows_; }

  // While the log is read: `total` rows, of which the last ones are
  // `lastRows` (grid row texts) and the rest blank. The grid's own rows come
  // back at endPreview() or at their first change.
  void showPreview(int total, const std::vector<std::string>& lastRows);
  void endPreview();
  bool previewing() const { return previewTotal_ > 0; }

  // GridObserver
  void gridReset() override;
  void rowsInserted(int first, int last) override;
  void rowsRemoved(int first, int last) override;
  void cellChanged(int row, int col) override;

 private:
  GridRows& rows_;
  int shownRows_ = 0;  // data rows the view knows of
  int previewTotal_ = 0;
  GridRows preview_;  // the preview's last rows, as rows 1..
};

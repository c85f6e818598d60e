#include "app/gui/gridmodel.h"

#include <algorithm>

#include "log/gui/qtui.h"

GridModel::GridModel(GridRows& rows, QObject* parent) : QAbstractTableModel(parent), rows_(rows) {
  shownRows_ = rows_.rows() - 1;
  rows_.setObserver(this);
}

GridModel::~GridModel() { rows_.setObserver(nullptr); }

int GridModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : previewTotal_ > 0 ? previewTotal_ : shownRows_;
}
int GridModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : kGridCols;
}

QVariant GridModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid()) return {};
  if (role == Qt::DisplayRole) {
    if (previewTotal_ == 0) return toQ(rows_.cell(index.row() + 1, index.column()));
    const int k = index.row() - (previewTotal_ - (preview_.rows() - 1));
    return k < 0 ? QString() : toQ(preview_.cell(k + 1, index.column()));
  }
  if (role == Qt::TextAlignmentRole) {
    switch (kGridAlign[static_cast<std::size_t>(index.column())]) {
      case CellAlign::Left: return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
      case CellAlign::Centre: return QVariant::fromValue(Qt::AlignHCenter | Qt::AlignVCenter);
      case CellAlign::Right: return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    }
  }
  return {};
}

QVariant GridModel::headerData(int section, Qt::Orientation o, int role) const {
  if (o == Qt::Horizontal && role == Qt::DisplayRole) return toQ(rows_.cell(0, section));
  if (o == Qt::Horizontal && role == Qt::TextAlignmentRole)
    return QVariant::fromValue(Qt::AlignCenter);
  return {};
}

void GridModel::showPreview(int total, const std::vector<std::string>& lastRows) {
  if (total <= 0 || lastRows.empty()) return;
  beginResetModel();
  previewTotal_ = std::max(total, static_cast<int>(lastRows.size()));
  preview_.truncate(0);
  for (const std::string& row : lastRows) preview_.addRow(row);
  endResetModel();
}

void GridModel::endPreview() {
  if (previewTotal_ == 0) return;
  beginResetModel();
  previewTotal_ = 0;
  preview_.truncate(0);
  shownRows_ = rows_.rows() - 1;
  endResetModel();
}

void GridModel::gridReset() {
  if (previewTotal_ > 0) return endPreview();
  beginResetModel();
  shownRows_ = rows_.rows() - 1;
  endResetModel();
}

void GridModel::rowsInserted(int first, int last) {
  if (previewTotal_ > 0) return endPreview();
  beginInsertRows(QModelIndex(), first - 1, last - 1);
  shownRows_ = rows_.rows() - 1;
  endInsertRows();
}

void GridModel::rowsRemoved(int first, int last) {
  if (previewTotal_ > 0) return endPreview();
  beginRemoveRows(QModelIndex(), first - 1, last - 1);
  shownRows_ = rows_.rows() - 1;
  endRemoveRows();
}

void GridModel::cellChanged(int row, int col) {
  if (previewTotal_ > 0) return endPreview();
  const QModelIndex i = index(row - 1, col);
  emit dataChanged(i, i);
}

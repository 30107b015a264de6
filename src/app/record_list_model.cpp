#include "app/record_list_model.h"

#include <algorithm>

namespace quillon::app {

RecordListModel::RecordListModel(QObject* parent) : QAbstractTableModel(parent) {}

void RecordListModel::SetColumns(const QStringList& captions) {
  beginResetModel();
  columns_ = captions;
  rows_.clear();
  row_index_ = 0;
  endResetModel();
}

void RecordListModel::AddRow(const QStringList& cells, bool first) {
  if (first) row_index_ = 0;
  const int at = std::min(row_index_, static_cast<int>(rows_.size()));
  beginInsertRows(QModelIndex(), at, at);
  rows_.insert(rows_.begin() + at, cells);
  endInsertRows();
  row_index_ = at + 1;
}

void RecordListModel::ClearRows() {
  if (rows_.empty()) return;
  beginRemoveRows(QModelIndex(), 0, static_cast<int>(rows_.size()) - 1);
  rows_.clear();
  endRemoveRows();
}

int RecordListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int RecordListModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(columns_.size());
}

QVariant RecordListModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || static_cast<std::size_t>(index.row()) >= rows_.size()) return {};
  const QStringList& row = rows_[static_cast<std::size_t>(index.row())];
  switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole:
      return index.column() < row.size() ? row[index.column()] : QString();
    case Qt::BackgroundRole:
      return index.row() % 2 == 1 ? QVariant(OddRowColor()) : QVariant();
    case Qt::TextAlignmentRole:
      return QVariant(Qt::AlignLeft | Qt::AlignVCenter);
    default:
      return {};
  }
}

QVariant RecordListModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || section < 0 || section >= columns_.size()) return {};
  if (role == Qt::DisplayRole) return columns_[section];
  if (role == Qt::TextAlignmentRole) return QVariant(Qt::AlignLeft | Qt::AlignVCenter);
  return {};
}

}  // namespace quillon::app

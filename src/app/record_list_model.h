// The rows of the record list: one page of a table as text, a column per
// shown table column. Odd rows carry the tinted background; a cell's tooltip
// is its whole text (the list shows values cut to the column's width).
#pragma once

#include <QAbstractTableModel>
#include <QColor>
#include <QStringList>
#include <vector>

namespace quillon::app {

class RecordListModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  // The background of rows with an odd index.
  static QColor OddRowColor() { return QColor(184, 214, 205); }

  explicit RecordListModel(QObject* parent = nullptr);

  // New columns; every row goes.
  void SetColumns(const QStringList& captions);
  // Inserts a row at the current row index, which then grows by one; first
  // sets the row index back to 0 before the row.
  void AddRow(const QStringList& cells, bool first);
  // Deletes every row.
  void ClearRows();

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

 private:
  QStringList columns_;
  std::vector<QStringList> rows_;
  int row_index_ = 0;
};

}  // namespace quillon::app

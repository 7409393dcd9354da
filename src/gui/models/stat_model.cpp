#include "models/stat_model.h"


namespace vexa::gui {

TStatModel::TStatModel(QObject* parent) : QAbstractTableModel(parent) {}

int TStatModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(Order_.size());
}

int TStatModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : ColumnCount; }

QVariant TStatModel::data(const QModelIndex& index, int role) const {
  if (role != Qt::DisplayRole || !index.isValid() || index.row() >= rowCount()) return {};
  const TStatRow& row = RowAt(index.row());
  return QString::fromStdString(row.Texts[static_cast<size_t>(index.column())]);
}

QVariant TStatModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= ColumnCount) return {};
  return QString::fromUtf8(StatColumnCaptions[static_cast<size_t>(section)]);
}

void TStatModel::sort(int column, Qt::SortOrder order) {
  if (column < 0 || column >= ColumnCount) return;
  SortColumn_ = column;
  Descending_ = order == Qt::DescendingOrder;
  emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
  ApplySort();
  emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void TStatModel::ApplySort() {
  const std::vector<TStatRow>& rows = Rows_.Rows;
  Order_ = SortListOrder(
      static_cast<int>(rows.size()),
      [&rows](int r, int c) -> std::string_view { return rows[static_cast<size_t>(r)].Texts[static_cast<size_t>(c)]; },
      SortColumn_, Descending_);
}

void TStatModel::SetRows(TStatRows rows) {
  beginResetModel();
  Rows_ = std::move(rows);
  ApplySort();
  endResetModel();
}

void TStatModel::Clear() { SetRows({}); }

}  // namespace vexa::gui

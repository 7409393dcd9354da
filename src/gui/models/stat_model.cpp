#include "models/stat_model.h"

#include <algorithm>
#include <numeric>

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
  const int column = SortColumn_;
  const bool descending = Descending_;
  std::stable_sort(Order_.begin(), Order_.end(), [&](int a, int b) {
    return CompareListRows(Texts_[static_cast<size_t>(a)], Texts_[static_cast<size_t>(b)], column, descending) < 0;
  });
}

void TStatModel::SetRows(TStatRows rows) {
  beginResetModel();
  Rows_ = std::move(rows);
  Texts_.clear();
  Texts_.reserve(Rows_.Rows.size());
  for (const TStatRow& r : Rows_.Rows) Texts_.emplace_back(r.Texts.begin(), r.Texts.end());
  Order_.resize(Rows_.Rows.size());
  std::iota(Order_.begin(), Order_.end(), 0);
  ApplySort();
  endResetModel();
}

void TStatModel::Clear() { SetRows({}); }

}  // namespace vexa::gui

#include "models/text_rows_model.h"

#include <numeric>

#include "core/list_compare.h"

namespace vexa::gui {

TTextRowsModel::TTextRowsModel(QStringList captions, QObject* parent)
    : QAbstractTableModel(parent), Captions_(std::move(captions)) {}

int TTextRowsModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(Order_.size());
}

int TTextRowsModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(Captions_.size());
}

QVariant TTextRowsModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount()) return {};
  const TTextRow& row = Rows_[static_cast<size_t>(Order_[static_cast<size_t>(index.row())])];
  if (role == Qt::DecorationRole) return index.column() == 0 && !row.Icon.isNull() ? QVariant(row.Icon) : QVariant();
  if (role != Qt::DisplayRole && role != Qt::ToolTipRole) return {};
  const size_t c = static_cast<size_t>(index.column());
  return c < row.Cells.size() ? QString::fromUtf8(row.Cells[c].c_str()) : QString();
}

QVariant TTextRowsModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= Captions_.size()) return {};
  return Captions_[section];
}

void TTextRowsModel::sort(int column, Qt::SortOrder order) {
  if (column < -1 || column >= columnCount()) return;
  emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
  const QModelIndexList before = persistentIndexList();
  std::vector<int> sources;
  for (const QModelIndex& i : before) sources.push_back(SourceRow(i.row()));
  SortColumn_ = column;
  Descending_ = order == Qt::DescendingOrder;
  ApplySort();
  QModelIndexList after;
  for (int i = 0; i < before.size(); ++i)
    after << index(ViewRow(sources[static_cast<size_t>(i)]), before[i].column());
  changePersistentIndexList(before, after);
  emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void TTextRowsModel::SetSort(int column, bool descending) {
  sort(column, descending ? Qt::DescendingOrder : Qt::AscendingOrder);
}

void TTextRowsModel::ApplySort() {
  if (SortColumn_ < 0) {
    Order_.resize(Rows_.size());
    std::iota(Order_.begin(), Order_.end(), 0);
  } else {
    const std::vector<TTextRow>& rows = Rows_;
    Order_ = SortListOrder(
        static_cast<int>(rows.size()),
        [&rows](int r, int c) -> std::string_view {
          const std::vector<std::string>& cells = rows[static_cast<size_t>(r)].Cells;
          static const std::string empty;
          return static_cast<size_t>(c) < cells.size() ? cells[static_cast<size_t>(c)] : empty;
        },
        SortColumn_, Descending_);
  }
  Inverse_.assign(Order_.size(), -1);
  for (size_t v = 0; v < Order_.size(); ++v) Inverse_[static_cast<size_t>(Order_[v])] = static_cast<int>(v);
}

void TTextRowsModel::SetRows(std::vector<TTextRow> rows) {
  beginResetModel();
  Rows_ = std::move(rows);
  ApplySort();
  endResetModel();
}

void TTextRowsModel::SetRow(int sourceRow, TTextRow row) {
  if (sourceRow < 0 || sourceRow >= static_cast<int>(Rows_.size())) return;
  Rows_[static_cast<size_t>(sourceRow)] = std::move(row);
  sort(SortColumn_, Descending_ ? Qt::DescendingOrder : Qt::AscendingOrder);
  const int v = ViewRow(sourceRow);
  emit dataChanged(index(v, 0), index(v, columnCount() - 1));
}

int TTextRowsModel::SourceRow(int viewRow) const {
  return viewRow >= 0 && viewRow < static_cast<int>(Order_.size()) ? Order_[static_cast<size_t>(viewRow)] : -1;
}

int TTextRowsModel::ViewRow(int sourceRow) const {
  return sourceRow >= 0 && sourceRow < static_cast<int>(Inverse_.size()) ? Inverse_[static_cast<size_t>(sourceRow)]
                                                                          : -1;
}

}  // namespace vexa::gui

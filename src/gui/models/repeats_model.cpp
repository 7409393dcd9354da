#include "models/repeats_model.h"

namespace vexa::gui {

int TRepeatsModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(Rows_.size());
}

QVariant TRepeatsModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || role != Qt::DisplayRole) return {};
  const TRepeatsRow& r = Rows_[static_cast<size_t>(index.row())];
  switch (index.column()) {
    case 0:
      return QString::number(r.Draw);
    case 1:
      return QString::number(r.Matches);
    case 2:
      return QString::number(r.Repeats);
    case 3:
      return QString::fromUtf8(r.Draws.c_str());
    default:
      return {};
  }
}

QVariant TRepeatsModel::headerData(int section, Qt::Orientation orientation, int role) const {
  static const char* const captions[ColumnCount] = {"Тираж", "Совпадений", "Кол-во повторов", "Список тиражей"};
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= ColumnCount) return {};
  return QString::fromUtf8(captions[section]);
}

void TRepeatsModel::SetRows(std::vector<TRepeatsRow> rows) {
  beginResetModel();
  Rows_ = std::move(rows);
  endResetModel();
}

}  // namespace vexa::gui

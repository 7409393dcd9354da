#include "models/ratings_model.h"

#include "stakes/ratings.h"
#include "workspace/workspace.h"

namespace vexa::gui {

const int TRatingsModel::DefaultWidths[ColumnCount] = {300, 60, 60, 60, 80, 80, 45, 45, 45, 45, 45,
                                                       45,  45, 60, 60, 60, 60, 60, 60, 60, 70};

TRatingsModel::TRatingsModel(TWorkspace& ws, std::function<bool()> mayRead, QObject* parent)
    : QAbstractTableModel(parent), Ws_(ws), MayRead_(std::move(mayRead)) {
  Refresh();
}

int TRatingsModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : Rows_; }

int TRatingsModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : ColumnCount; }

const QStringList* TRatingsModel::Row(int row) const {
  if (row < 0 || row >= Rows_) return nullptr;
  std::optional<QStringList>& cached = Cache_[static_cast<size_t>(row)];
  if (!cached) {
    if (!MayRead_() || row >= Ws_.Ratings().Count()) return nullptr;
    const TRating& rating = Ws_.Ratings()[static_cast<size_t>(row)];
    QStringList cells;
    for (const std::string& cell : RatingRow(rating, Mode_)) cells << QString::fromUtf8(cell.c_str());
    while (cells.size() < RatingColumns) cells << QString();
    cells << QString::fromUtf8(RatingPValueText(rating).c_str());
    cached = std::move(cells);
  }
  return &*cached;
}

QVariant TRatingsModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid()) return {};
  if (role == Qt::TextAlignmentRole)
    return int((index.column() == 0 ? Qt::AlignLeft : Qt::AlignRight) | Qt::AlignVCenter);
  if (role != Qt::DisplayRole && role != Qt::ToolTipRole) return {};
  if (role == Qt::ToolTipRole && index.column() != 0) return {};
  const QStringList* cells = Row(index.row());
  return cells != nullptr ? cells->value(index.column()) : QVariant();
}

QVariant TRatingsModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= ColumnCount) return {};
  if (section == RatingColumns) return QString::fromUtf8(RatingPValueCaption);
  return QString::fromUtf8(RatingColumnCaptions[static_cast<size_t>(section)]);
}

void TRatingsModel::Refresh() {
  if (!MayRead_()) return;
  beginResetModel();
  Rows_ = Ws_.Ratings().Count();
  Mode_ = Ws_.Window().RatingsEffMode;
  Cache_.assign(static_cast<size_t>(Rows_), std::nullopt);
  endResetModel();
}

}  // namespace vexa::gui

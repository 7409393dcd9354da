#include "models/stakes_model.h"

#include <QBrush>
#include <QColor>

#include "models/draws_model.h"
#include "stakes/stakes_file.h"

namespace vexa::gui {

TStakesModel::TStakesModel(const TStakesFile& file, std::function<bool()> mayRead, QObject* parent)
    : QAbstractTableModel(parent), File_(file), MayRead_(std::move(mayRead)) {
  Refresh();
}

int TStakesModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : Rows_; }

int TStakesModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : ColumnCount; }

const TStakeRec* TStakesModel::Record(int row) const {
  if (row < 0 || row >= Rows_) return nullptr;
  if (PageFirst_ < 0 || row < PageFirst_ || row >= PageFirst_ + static_cast<int>(Page_.size())) {
    if (!MayRead_()) return nullptr;
    // A page centred a little behind the row: scrolling either way stays in it for a while.
    const int first = std::max(0, row - PageSize / 4);
    try {
      Page_ = File_.ReadStakes(first, PageSize);
      PageFirst_ = first;
    } catch (const std::exception&) {
      // An unreadable record shows empty cells.
      Page_.clear();
      PageFirst_ = -1;
      return nullptr;
    }
    if (row >= PageFirst_ + static_cast<int>(Page_.size())) return nullptr;
  }
  return &Page_[static_cast<size_t>(row - PageFirst_)];
}

QVariant TStakesModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid()) return {};
  const TStakeRec* stake = Record(index.row());
  if (stake == nullptr) return {};
  const int col = index.column();
  switch (role) {
    case Qt::DisplayRole: {
      // Columns 2 and 4 are painted number by number by the grid's delegate.
      return QString::fromUtf8(StakeGridCells(*stake)[static_cast<size_t>(col)].c_str());
    }
    case NumbersRole: {
      if (IsSeparator(*stake)) return {};
      QVariantList nums;
      if (col == 2) {
        for (int i = 0; i < stake->Numbers.Count && i < static_cast<int>(stake->Numbers.Nums.size()); ++i)
          nums << int(stake->Numbers.Nums[static_cast<size_t>(i)]);
      } else if (col == 4 && stake->Checked != 0) {
        for (uint8_t n : stake->DrawNums) nums << int(n);
      }
      return nums;
    }
    case MatchedRole: {
      QVariantList nums;
      for (int i = 0; i < stake->Matched.Count && i < static_cast<int>(stake->Matched.Nums.size()); ++i)
        nums << int(stake->Matched.Nums[static_cast<size_t>(i)]);
      return nums;
    }
    case Qt::BackgroundRole: {
      const int32_t bgr = StakeRowColor(*stake);
      if (bgr < 0) return {};
      return QBrush(FromBgr(static_cast<uint32_t>(bgr)));
    }
    case Qt::ForegroundRole:
      if (col >= 5 && col <= 7 && stake->Checked != 0 && !IsSeparator(*stake))
        return QBrush(stake->Profit > 0 ? FromBgr(0x008000) : FromBgr(0x0000FF));
      return {};
    case Qt::TextAlignmentRole:
      if (col == 7) return int(Qt::AlignRight | Qt::AlignVCenter);
      if (col == 8) return int(Qt::AlignLeft | Qt::AlignVCenter);
      return int(Qt::AlignCenter);
    default:
      return {};
  }
}

QVariant TStakesModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || section < 0 || section >= ColumnCount) return {};
  if (role == Qt::DisplayRole) return QString::fromUtf8(StakeGridCaptions[static_cast<size_t>(section)]);
  if (role == Qt::TextAlignmentRole) return int(Qt::AlignCenter);
  return {};
}

void TStakesModel::Refresh() {
  beginResetModel();
  PageFirst_ = -1;
  Page_.clear();
  Rows_ = MayRead_() ? File_.Count() : Rows_;
  endResetModel();
}

}  // namespace vexa::gui

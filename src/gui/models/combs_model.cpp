#include "models/combs_model.h"

#include <QColor>

#include "models/draws_model.h"
#include "workspace/workspace.h"

namespace vexa::gui {

const int TCombsModel::DefaultWidths[ColumnCount] = {80, 30, 30, 30, 30, 30, 30, 40};

TCombsModel::TCombsModel(TWorkspace& ws, QObject* parent) : QAbstractTableModel(parent), Ws_(ws) { Refresh(); }

int TCombsModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : Rows_; }
int TCombsModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : ColumnCount; }

QVariant TCombsModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= Rows_) return {};
  const int col = index.column();
  if (role == Qt::TextAlignmentRole) return QVariant(Qt::AlignRight | Qt::AlignVCenter);
  if (col == ColIndex) return role == Qt::DisplayRole ? QVariant(index.row() + 1) : QVariant();
  TComb comb;
  if (Frozen_.Frozen()) {
    const TComb* copy = Frozen_.Find(index.row());
    if (copy == nullptr) return {};
    comb = *copy;
  } else {
    comb = Ws_.Combs()[index.row()];
  }
  switch (role) {
    case Qt::DisplayRole:
      if (col == ColSum) {
        int sum = 0;
        for (uint8_t n : comb) sum += n;
        return sum;
      }
      return comb[static_cast<size_t>(col - ColFirstNum)];
    case Qt::BackgroundRole:
      if (!Colored_) return {};
      if (col == ColSum) return QColor(Qt::white);
      return FromBgr(NumColor(comb[static_cast<size_t>(col - ColFirstNum)], ChannelSize_));
    case Qt::ForegroundRole:
      return Colored_ ? QVariant(QColor(Qt::black)) : QVariant();
    default:
      return {};
  }
}

QVariant TCombsModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= ColumnCount) return {};
  if (section == ColIndex) return QStringLiteral("№ п.п.");
  if (section == ColSum) return QStringLiteral("S");
  return QString::number(section);
}

void TCombsModel::Refresh() {
  Frozen_.Thaw();
  Colored_ = Ws_.Window().ColorCombs;
  ChannelSize_ = Ws_.Stats().Config.ChannelSize;
  const int rows = Ws_.Combs().Count();
  if (rows != Rows_) {
    beginResetModel();
    Rows_ = rows;
    endResetModel();
  } else if (Rows_ > 0) {
    emit dataChanged(index(0, 0), index(Rows_ - 1, ColumnCount - 1));
  }
}

void TCombsModel::Freeze(int firstRow, int lastRow) {
  if (lastRow >= Rows_) lastRow = Rows_ - 1;
  Frozen_.Freeze(firstRow, lastRow, [this](int r) { return Ws_.Combs()[r]; });
}

}  // namespace vexa::gui

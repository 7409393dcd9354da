#include "models/draws_model.h"

#include <QColor>

#include "core/draws_archive.h"
#include "workspace/workspace.h"

namespace vexa::gui {

const int TDrawsModel::DefaultWidths[ColumnCount] = {54, 24, 24, 24, 24, 24, 24, 24, 24, 30, 100};

namespace {

// 0xAAAAFF in BGR: the newest draw inside the analysis window.
constexpr uint32_t OffsetRowBgr = 0xAAAAFF;

}  // namespace

QColor FromBgr(uint32_t bgr) {
  return QColor(static_cast<int>(bgr & 0xFF), static_cast<int>((bgr >> 8) & 0xFF), static_cast<int>((bgr >> 16) & 0xFF));
}

TDrawsModel::TDrawsModel(TWorkspace& ws, QObject* parent) : QAbstractTableModel(parent), Ws_(ws) {
  Rows_ = Ws_.Archive().Count();
}

int TDrawsModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : Rows_; }
int TDrawsModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : ColumnCount; }

TDrawsModel::TRowView TDrawsModel::Row(int row) const {
  return {Ws_.Archive().RowDraw(row, Ws_.SortedDraws()), Ws_.DrawsOffset(), Ws_.Window().ColorDraws,
          Ws_.Stats().Config.ChannelSize};
}

QVariant TDrawsModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= Rows_) return {};
  TRowView view;
  if (Frozen_.Frozen()) {
    const TRowView* copy = Frozen_.Find(index.row());
    if (copy == nullptr) return {};
    view = *copy;
  } else {
    view = Row(index.row());
  }
  const TDraw& d = view.Draw;
  const int col = index.column();
  const bool offsetRow = index.row() == view.Offset;
  const bool numberCell = col >= ColFirstNum && col < ColFirstSupp;
  switch (role) {
    case Qt::DisplayRole:
      if (col == ColNumber) return d.Number;
      if (numberCell) return d.Nums[static_cast<size_t>(col - ColFirstNum)];
      if (col == ColFirstSupp || col == ColFirstSupp + 1) return d.Supp[static_cast<size_t>(col - ColFirstSupp)];
      if (col == ColSum) {
        int sum = 0;
        for (uint8_t n : d.Nums) sum += n;
        return sum;
      }
      return QString::fromUtf8(DrawDateText(d).c_str());
    case Qt::BackgroundRole:
      if (view.Colored && numberCell) return FromBgr(NumColor(d.Nums[static_cast<size_t>(col - ColFirstNum)], view.ChannelSize));
      if (offsetRow) return FromBgr(OffsetRowBgr);
      if (view.Colored) return QColor(Qt::white);
      return {};
    case Qt::ForegroundRole:
      if (view.Colored || offsetRow) return QColor(Qt::black);
      return {};
    case Qt::TextAlignmentRole:
      return col == ColDate ? QVariant(Qt::AlignLeft | Qt::AlignVCenter) : QVariant(Qt::AlignRight | Qt::AlignVCenter);
    default:
      return {};
  }
}

QVariant TDrawsModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= ColumnCount) return {};
  if (section == ColNumber) return QStringLiteral("Тираж");
  if (section < ColFirstSupp) return QString::number(section);
  if (section < ColSum) return QStringLiteral("E%1").arg(section - ColFirstSupp + 1);
  if (section == ColSum) return QStringLiteral("S");
  return QStringLiteral("Дата тиража");
}

void TDrawsModel::Refresh() {
  Frozen_.Thaw();
  const int rows = Ws_.Archive().Count();
  if (rows != Rows_) {
    beginResetModel();
    Rows_ = rows;
    endResetModel();
  } else if (Rows_ > 0) {
    emit dataChanged(index(0, 0), index(Rows_ - 1, ColumnCount - 1));
  }
}

void TDrawsModel::Freeze(int firstRow, int lastRow) {
  if (lastRow >= Rows_) lastRow = Rows_ - 1;
  Frozen_.Freeze(firstRow, lastRow, [this](int r) { return Row(r); });
}

}  // namespace vexa::gui

#include "models/filters_model.h"

#include <QPainter>
#include <QPixmap>

#include <array>

namespace vexa::gui {

const int TFiltersModel::DefaultWidths[ColumnCount] = {150, 100, 60};

namespace {

// A green plus (kept), a red minus (deleted), a blue back arrow (undone).
QIcon DrawIcon(TLogIcon icon) {
  QPixmap pm(16, 16);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  const QColor colour = icon == TLogIcon::Keep     ? QColor(0, 150, 0)
                        : icon == TLogIcon::Delete ? QColor(200, 0, 0)
                                                   : QColor(0, 80, 200);
  p.setPen(QPen(colour, 3, Qt::SolidLine, Qt::RoundCap));
  if (icon == TLogIcon::Keep) {
    p.drawLine(8, 3, 8, 13);
    p.drawLine(3, 8, 13, 8);
  } else if (icon == TLogIcon::Delete) {
    p.drawLine(3, 8, 13, 8);
  } else {
    p.drawArc(QRect(4, 4, 9, 9), 90 * 16, -270 * 16);
    p.drawLine(4, 4, 8, 4);
    p.drawLine(4, 4, 4, 8);
  }
  return QIcon(pm);
}

}  // namespace

QIcon TFiltersModel::IconOf(TLogIcon icon) {
  static const std::array<QIcon, 3> icons{DrawIcon(TLogIcon::Keep), DrawIcon(TLogIcon::Delete),
                                          DrawIcon(TLogIcon::Undo)};
  return icons[static_cast<size_t>(icon)];
}

TFiltersModel::TFiltersModel(QObject* parent) : QAbstractTableModel(parent) {}

int TFiltersModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(Rows_.size());
}
int TFiltersModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : ColumnCount; }

QVariant TFiltersModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount()) return {};
  const TLogRow& row = Rows_[static_cast<size_t>(index.row())];
  if (role == Qt::DisplayRole) {
    if (index.column() == 0) return QString::fromUtf8(row.Name.c_str());
    if (index.column() == 1) return QString::fromUtf8(row.Values.c_str());
    return row.Count;
  }
  if (role == Qt::DecorationRole && index.column() == 0) return IconOf(row.Icon);
  if (role == Qt::TextAlignmentRole && index.column() == 2) return QVariant(Qt::AlignRight | Qt::AlignVCenter);
  return {};
}

QVariant TFiltersModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
  switch (section) {
    case 0: return QStringLiteral("Примененные фильтры");
    case 1: return QStringLiteral("Значения");
    case 2: return QStringLiteral("Комбинаций");
    default: return {};
  }
}

void TFiltersModel::Refresh(const std::vector<TLogRow>& rows) {
  beginResetModel();
  Rows_ = rows;
  endResetModel();
}

}  // namespace vexa::gui

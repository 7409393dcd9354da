#include "models/view_grid_models.h"

#include <QItemSelectionModel>

#include <array>

#include "core/list_compare.h"

namespace vexa::gui {
namespace {

// Decimal texts of the numbers a card cell can hold, made once.
const std::array<QString, 256>& NumberStrings() {
  static const std::array<QString, 256> strings = [] {
    std::array<QString, 256> s;
    for (int i = 0; i < 256; ++i) s[static_cast<size_t>(i)] = QString::number(i);
    return s;
  }();
  return strings;
}

QString Utf8(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

}  // namespace

bool SelectedGridRect(const QItemSelectionModel* selection, TGridRect& rect) {
  if (selection == nullptr || !selection->hasSelection()) return false;
  // The views allow one rectangle; should there be more, their bounds count.
  bool first = true;
  for (const QItemSelectionRange& r : selection->selection()) {
    if (first) {
      rect = {r.left() + 1, r.top() + 1, r.right() + 1, r.bottom() + 1};
      first = false;
      continue;
    }
    rect.Left = std::min(rect.Left, r.left() + 1);
    rect.Top = std::min(rect.Top, r.top() + 1);
    rect.Right = std::max(rect.Right, r.right() + 1);
    rect.Bottom = std::max(rect.Bottom, r.bottom() + 1);
  }
  return !first;
}

// ---- Card --------------------------------------------------------------------------

int TCardModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : Card_.RowCount() - 1; }

int TCardModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : Card_.ColumnCount() - 1;
}

const QString& TCardModel::CellString(int row, int column) const {
  static const QString empty;
  // A number column holds its own number or nothing.
  if (column + 1 <= MaxNumber)
    return Card_.HasNumber(row + 1, column + 1) ? NumberStrings()[static_cast<size_t>(column + 1)] : empty;
  const std::string text = Card_.CellText(row + 1, column + 1);
  int n = 0;
  for (char c : text) n = n * 10 + (c - '0');
  return text.empty() || n > 255 ? empty : NumberStrings()[static_cast<size_t>(n)];
}

QVariant TCardModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid()) return {};
  if (role == Qt::DisplayRole) return CellString(index.row(), index.column());
  if (role == Qt::TextAlignmentRole) return int(Qt::AlignHCenter | Qt::AlignTop);
  if (role == Qt::BackgroundRole) {
    const QColor c = CellFill(index.row(), index.column());
    return c.isValid() ? QVariant(c) : QVariant();
  }
  return {};
}

QVariant TCardModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role == Qt::TextAlignmentRole) return int(Qt::AlignCenter);
  if (role != Qt::DisplayRole) return {};
  return orientation == Qt::Horizontal ? Utf8(Card_.CellText(0, section + 1)) : Utf8(Card_.CellText(section + 1, 0));
}

void TCardModel::SetCard(TDrawsCard card) {
  beginResetModel();
  Card_ = std::move(card);
  endResetModel();
}

QColor TCardModel::CellFill(int row, int column) const {
  const TCardColor c = Card_.CellColor(row + 1, column + 1, Options_);
  return c.Kind == TCardColorKind::Default ? QColor() : ToQColor(c.Rgb);
}

// ---- Layout ------------------------------------------------------------------------

int TLayoutModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : Grid_.RowCount() - 1; }

int TLayoutModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : Grid_.ColumnCount() - 1;
}

QVariant TLayoutModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid()) return {};
  if (role == Qt::DisplayRole) return Utf8(Grid_.CellText(index.row() + 1, index.column() + 1));
  if (role == Qt::TextAlignmentRole) return int(Qt::AlignHCenter | Qt::AlignTop);
  if (role == Qt::BackgroundRole) return CellFill(index.row(), index.column());
  return {};
}

QVariant TLayoutModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role == Qt::TextAlignmentRole) return int(Qt::AlignCenter);
  if (role != Qt::DisplayRole) return {};
  return orientation == Qt::Horizontal ? Utf8(Grid_.CellText(0, section + 1)) : Utf8(Grid_.CellText(section + 1, 0));
}

void TLayoutModel::SetGrid(TLayoutGrid grid) {
  beginResetModel();
  Grid_ = std::move(grid);
  endResetModel();
}

QColor TLayoutModel::CellFill(int row, int column) const {
  return ToQColor(LayoutCellColor(Grid_, row + 1, column + 1, Gradient_));
}

// ---- Comparison list ------------------------------------------------------------------

int TCompareModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(Order_.size());
}

QString TCompareModel::Text(int row, int column) const {
  if (row < 0 || row >= static_cast<int>(Order_.size()) || column < 0 || column > 1) return {};
  return Utf8(Texts_[static_cast<size_t>(Order_[static_cast<size_t>(row)])][static_cast<size_t>(column)]);
}

QVariant TCompareModel::data(const QModelIndex& index, int role) const {
  // The numbers of a narrow list in full as the tip.
  if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::ToolTipRole)) return {};
  return Text(index.row(), index.column());
}

QVariant TCompareModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
  if (section == 0) return QString::fromUtf8(CompareCountCaption);
  return section == 1 ? Utf8(List_.Caption) : QVariant();
}

void TCompareModel::sort(int column, Qt::SortOrder order) {
  if (column < 0 || column > 1) return;
  SortColumn_ = column;
  Descending_ = order == Qt::DescendingOrder;
  emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
  ApplySort();
  emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void TCompareModel::ApplySort() {
  Order_ = SortListOrder(
      static_cast<int>(Texts_.size()),
      [this](int r, int c) -> std::string_view { return Texts_[static_cast<size_t>(r)][static_cast<size_t>(c)]; },
      SortColumn_, Descending_);
}

void TCompareModel::SetList(TCompareList list) {
  beginResetModel();
  List_ = std::move(list);
  Texts_.clear();
  Texts_.reserve(List_.Rows.size());
  for (const TCompareRow& r : List_.Rows) Texts_.push_back({std::to_string(r.Count), r.Numbers});
  ApplySort();
  endResetModel();
  emit headerDataChanged(Qt::Horizontal, 1, 1);
}

}  // namespace vexa::gui

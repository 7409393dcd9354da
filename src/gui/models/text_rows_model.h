// A sortable list of text rows (the systems, the library scripts, the
// ratings of a script): the rows come formatted, one icon per row at most,
// and are shown through an index permutation. Sorting follows the program's
// list comparison (numbers as numbers, else text without regard to case; a
// tie settled by the caption column); the rows keep their given order.
#pragma once

#include <QAbstractTableModel>
#include <QIcon>
#include <QStringList>

#include <string>
#include <vector>

namespace vexa::gui {

struct TTextRow {
  std::vector<std::string> Cells;  // UTF-8, one per column
  QIcon Icon;                      // shown in the first column; null: none
};

class TTextRowsModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  explicit TTextRowsModel(QStringList captions, QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  void sort(int column, Qt::SortOrder order) override;

  // Takes the rows (in their source order) and applies the current sort.
  void SetRows(std::vector<TTextRow> rows);
  // Replaces one source row in place (the sort is re-applied).
  void SetRow(int sourceRow, TTextRow row);
  // The source row shown at a view row, and back; -1 when out of range.
  int SourceRow(int viewRow) const;
  int ViewRow(int sourceRow) const;
  const TTextRow& Row(int sourceRow) const { return Rows_.at(static_cast<size_t>(sourceRow)); }
  int SortColumn() const { return SortColumn_; }
  bool SortDescending() const { return Descending_; }
  // -1: unsorted (source order).
  void SetSort(int column, bool descending);

 private:
  void ApplySort();

  QStringList Captions_;
  std::vector<TTextRow> Rows_;
  std::vector<int> Order_;
  std::vector<int> Inverse_;
  int SortColumn_ = -1;
  bool Descending_ = false;
};

}  // namespace vexa::gui

// The statistics list: the twenty column texts of the engine's rows, shown
// through an index permutation. Sorting reorders the permutation with the
// engine's list comparison; the rows themselves stay in the method's order.
#pragma once

#include <QAbstractTableModel>

#include <vector>

#include "core/list_compare.h"
#include "stats/stat_rows.h"

namespace vexa::gui {

class TStatModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  static constexpr int ColumnCount = StatColumnCount;

  explicit TStatModel(QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  void sort(int column, Qt::SortOrder order) override;

  // Takes the rows and re-applies the current sort.
  void SetRows(TStatRows rows);
  void Clear();
  const TStatRows& Rows() const { return Rows_; }
  // The engine row shown at view row r.
  int SourceRow(int viewRow) const { return Order_.at(static_cast<size_t>(viewRow)); }
  const TStatRow& RowAt(int viewRow) const { return Rows_.Rows.at(static_cast<size_t>(SourceRow(viewRow))); }
  int SortColumn() const { return SortColumn_; }
  bool SortDescending() const { return Descending_; }

 private:
  void ApplySort();

  TStatRows Rows_;
  std::vector<int> Order_;
  int SortColumn_ = scHits;
  bool Descending_ = false;
};

}  // namespace vexa::gui

// The repeats window's list lvList: "Тираж", "Совпадений", "Кол-во
// повторов", "Список тиражей" of the engine's rows, in the engine's order.
#pragma once

#include <QAbstractTableModel>

#include <vector>

#include "views/graphs.h"

namespace vexa::gui {

class TRepeatsModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  static constexpr int ColumnCount = 4;
  static constexpr int DefaultWidths[ColumnCount] = {60, 80, 100, 300};

  explicit TRepeatsModel(QObject* parent = nullptr) : QAbstractTableModel(parent) {}
  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : ColumnCount; }
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  void SetRows(std::vector<TRepeatsRow> rows);
  const std::vector<TRepeatsRow>& Rows() const { return Rows_; }

 private:
  std::vector<TRepeatsRow> Rows_;
};

}  // namespace vexa::gui

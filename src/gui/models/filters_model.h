// The applied-filters log beside the combinations list: "Примененные
// фильтры", "Значения", "Комбинаций", with the keep, delete or undo icon.
// Holds a copy of the engine's log (a few rows), taken on Refresh.
#pragma once

#include <QAbstractTableModel>
#include <QIcon>

#include <vector>

#include "combs/combs_list.h"

namespace vexa::gui {

class TFiltersModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  enum { ColumnCount = 3 };
  static const int DefaultWidths[ColumnCount];

  explicit TFiltersModel(QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  void Refresh(const std::vector<TLogRow>& rows);
  static QIcon IconOf(TLogIcon icon);

 private:
  std::vector<TLogRow> Rows_;
};

}  // namespace vexa::gui

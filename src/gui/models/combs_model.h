// The combinations list: row i is element i of the engine's list (up to
// 8 145 060 rows, nothing stored per row). Columns "№ п.п.", "1".."6", "S".
#pragma once

#include <QAbstractTableModel>

#include "core/game.h"
#include "models/frozen_rows.h"

namespace vexa {
class TWorkspace;
}

namespace vexa::gui {

class TCombsModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  enum { ColIndex = 0, ColFirstNum = 1, ColSum = 7, ColumnCount = 8 };
  static const int DefaultWidths[ColumnCount];

  explicit TCombsModel(TWorkspace& ws, QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  void Refresh();
  void Freeze(int firstRow, int lastRow);
  void Thaw() { Frozen_.Thaw(); }

 private:
  TWorkspace& Ws_;
  int Rows_ = 0;
  bool Colored_ = true;
  int ChannelSize_ = 5;
  TFrozenRows<TComb> Frozen_;
};

}  // namespace vexa::gui

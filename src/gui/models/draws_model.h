// The draws list: newest draw first, one row per archive element, cells
// formatted on demand. Columns "Тираж", "1".."6", "E1", "E2", "S", "Дата тиража".
#pragma once

#include <QAbstractTableModel>

#include "core/game.h"
#include "models/frozen_rows.h"

namespace vexa {
class TWorkspace;
}

namespace vexa::gui {

class TDrawsModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  enum { ColNumber = 0, ColFirstNum = 1, ColFirstSupp = 7, ColSum = 9, ColDate = 10, ColumnCount = 11 };
  static const int DefaultWidths[ColumnCount];

  explicit TDrawsModel(TWorkspace& ws, QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  // After the archive, the offset or a display switch changed.
  void Refresh();
  void Freeze(int firstRow, int lastRow);
  void Thaw() { Frozen_.Thaw(); }

 private:
  struct TRowView {
    TDraw Draw;
    int Offset = 0;
    bool Colored = true;
    int ChannelSize = 5;
  };
  TRowView Row(int row) const;

  TWorkspace& Ws_;
  int Rows_ = 0;
  TFrozenRows<TRowView> Frozen_;
};

// A BGR colour of the engine as a QColor.
QColor FromBgr(uint32_t bgr);

}  // namespace vexa::gui

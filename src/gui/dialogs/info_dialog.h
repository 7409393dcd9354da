// "Подробная информация": the numbers of a draw or a combination on a grid
// of the 45 numbers, and the graph value of every method with a graph.
#pragma once

#include <QDialog>

#include "core/game.h"
#include "stats/stat_info.h"

class QSpinBox;
class QTableWidget;

namespace vexa::gui {

class TInfoDialog : public QDialog {
  Q_OBJECT

 public:
  TInfoDialog(const TComb& numbers, TStatInfo info, int columns, int channelSize, QWidget* parent = nullptr);

  QSpinBox* ColumnsSpin() const { return ColumnsSpin_; }
  QTableWidget* Grid() const { return Grid_; }
  QTableWidget* Properties() const { return Properties_; }

 private:
  void LayOut(int columns);

  TComb Numbers_;
  int ChannelSize_;
  QSpinBox* ColumnsSpin_ = nullptr;
  QTableWidget* Grid_ = nullptr;
  QTableWidget* Properties_ = nullptr;
};

}  // namespace vexa::gui

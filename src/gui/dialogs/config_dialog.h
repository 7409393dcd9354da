// "Параметры системы": matrix and channel sizes, the stake cost, the prize
// table, the weight coefficients and the matrix segments. OK hands the
// record to TWorkspace::EditConfig, which checks and stores it.
#pragma once

#include <QDialog>

#include "core/settings.h"

class QCheckBox;
class QDoubleSpinBox;
class QLabel;
class QSpinBox;
class QTableWidget;
class QTableWidgetItem;

namespace vexa {
class TWorkspace;
}

namespace vexa::gui {

class TConfigDialog : public QDialog {
  Q_OBJECT

 public:
  TConfigDialog(TWorkspace& ws, QWidget* parent = nullptr);

  // The record as the fields hold it.
  TConfigData Config() const;
  void accept() override;

  QSpinBox* MatrixColsEdit() const { return MatrixCols_; }
  QSpinBox* ChannelEdit() const { return Channel_; }
  QDoubleSpinBox* CostEdit() const { return Cost_; }
  QTableWidget* ProfitsGrid() const { return Profits_; }
  QTableWidget* SegmentsGrid() const { return Segments_; }

 private:
  void LayoutSegments();
  void OnSegmentChanged(QTableWidgetItem* item);

  TWorkspace& Ws_;
  TConfigData Initial_;
  TMatrixSegments Segments45_;
  QSpinBox* MatrixCols_;
  QLabel* MatrixRows_;
  QSpinBox* Channel_;
  QDoubleSpinBox* Cost_;
  QTableWidget* Profits_;
  QDoubleSpinBox* CdlCount_;
  QDoubleSpinBox* CdlDeviation_;
  QDoubleSpinBox* CdlLevel_;
  QCheckBox* UsePercents_;
  QCheckBox* UseAbs_;
  QTableWidget* Segments_;
  bool Laying_ = false;
};

}  // namespace vexa::gui

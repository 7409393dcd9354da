// The graph window of the sums distribution (TFormGraph, `TotalSumCombs`):
// the engine's TGraphWindow series on the chart with the legend at the
// bottom, and cbShowMarks for the value marks of the series made with them.
#pragma once

#include <QDialog>

#include "views/graphs.h"

class QCheckBox;
class QChartView;

namespace vexa::gui {

class TSumsDialog : public QDialog {
  Q_OBJECT

 public:
  TSumsDialog(const QString& caption, const TGraphWindow& graph, QWidget* parent);

  QChartView* Chart() const { return Chart_; }
  QCheckBox* MarksBox() const { return MarksBox_; }
  const std::vector<TViewSeries>& Series() const { return Series_; }

 private:
  std::vector<TViewSeries> Series_;
  QChartView* Chart_;
  QCheckBox* MarksBox_;
};

}  // namespace vexa::gui

// The graph window of the sums distribution (TFormGraph, `TotalSumCombs`):
// the engine's TGraphWindow series on the chart with the legend at the
// bottom, and cbShowMarks for the value marks of the series made with them.
#pragma once

#include <QDialog>

#include "views/graphs.h"

class QCheckBox;
class QChartView;

namespace vexa {
class TWorkspace;
}

namespace vexa::gui {

class TSumsDialog : public QDialog {
  Q_OBJECT

 public:
  // The placement of the last one comes from the window settings file and goes back there on closing.
  TSumsDialog(TWorkspace& ws, const QString& caption, const TGraphWindow& graph, QWidget* parent);

  QChartView* Chart() const { return Chart_; }
  QCheckBox* MarksBox() const { return MarksBox_; }
  const std::vector<TViewSeries>& Series() const { return Series_; }

 protected:
  void done(int result) override;

 private:
  TWorkspace& Ws_;
  std::vector<TViewSeries> Series_;
  QChartView* Chart_;
  QCheckBox* MarksBox_;
};

}  // namespace vexa::gui

// The tab "Графики" (tsDrawsGraph): the value one statistic method gives
// each draw of a recent window (edDrawsGraphLen), with its mean and its
// most frequent value, on the chart crtDrawsGraph. Rebuilt lazily by the
// key (draws, offset, window, method) and only while the tab is shown.
#pragma once

#include <QWidget>

#include <vector>

#include "views/graphs.h"
#include "views/view_refresh.h"

class QCheckBox;
class QChartView;
class QComboBox;
class QSpinBox;

namespace vexa::gui {

class TMainWindow;

class TGraphsTab : public QWidget {
  Q_OBJECT

 public:
  TGraphsTab(TMainWindow& window, QWidget* parent);
  void RegisterCommands();

  QComboBox* MethodBox() const { return MethodBox_; }
  QSpinBox* LengthSpin() const { return LengthSpin_; }
  QCheckBox* MarksBox() const { return MarksBox_; }
  QChartView* Chart() const { return Chart_; }
  const TDrawsGraph& Graph() const { return Graph_; }
  // How many times the chart was built (the tests follow the lazy rule by it).
  int Builds() const { return Builds_; }

  int MethodIndex() const;
  bool SelectMethod(int methodIndex);
  bool CanDraw() const;
  void Refresh(bool force);
  void ApplyVisibility();
  bool Shown() const;

 private:
  TMainWindow& W_;
  QComboBox* MethodBox_ = nullptr;
  QSpinBox* LengthSpin_ = nullptr;
  QCheckBox* MarksBox_ = nullptr;
  QChartView* Chart_ = nullptr;
  std::vector<int> Methods_;
  TDrawsGraph Graph_;
  TViewRefresh Keys_;
  int Builds_ = 0;
};

}  // namespace vexa::gui

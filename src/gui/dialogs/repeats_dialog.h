// The repeats window (TFormRepeats, `AnalyzeRepeats`): for each of the
// newest edDrawsLen draws, how many of the edDeep draws before it share k
// of its numbers, as the list lvList and one curve per k on crtGraph. The
// analysis runs on the worker when the window opens, on "Рассчитать" and on
// Enter in either edit; the lengths and the chart height are stored when
// the window closes.
#pragma once

#include <QDialog>

#include "views/graphs.h"

class QChartView;
class QPushButton;
class QSpinBox;
class QSplitter;
class QTableView;

namespace vexa::gui {

class TMainWindow;
class TRepeatsModel;

class TRepeatsDialog : public QDialog {
  Q_OBJECT

 public:
  TRepeatsDialog(TMainWindow& window, QWidget* parent);

  QSpinBox* LengthSpin() const { return LengthSpin_; }
  QSpinBox* DeepSpin() const { return DeepSpin_; }
  QTableView* List() const { return List_; }
  TRepeatsModel* Model() const { return Model_; }
  QChartView* Chart() const { return Chart_; }
  const TRepeatsAnalysis& Analysis() const { return Analysis_; }
  // True while an analysis runs on the worker.
  bool Running() const { return Running_; }

  void Calculate();

 protected:
  void showEvent(QShowEvent* event) override;
  void done(int result) override;

 private:
  TMainWindow& W_;
  QSpinBox* LengthSpin_;
  QSpinBox* DeepSpin_;
  QPushButton* Calc_;
  QTableView* List_;
  TRepeatsModel* Model_;
  QChartView* Chart_;
  QSplitter* Splitter_;
  TRepeatsAnalysis Analysis_;
  int GraphHeight_ = 131;
  bool Opened_ = false;
  bool Running_ = false;
};

}  // namespace vexa::gui

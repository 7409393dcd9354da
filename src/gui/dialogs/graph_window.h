// The graph window: the engine's series as named lines on a Qt chart, the
// caption being the hint of the command that opened it. Points carry
// markers and value labels where the series asks for them; x is shown as
// its decimal text.
#pragma once

#include <QDialog>

#include <vector>

#include "stakes/ratings.h"

class QChart;

namespace vexa::gui {

class TGraphWindow : public QDialog {
  Q_OBJECT

 public:
  TGraphWindow(const QString& caption, const std::vector<TGraphSeries>& series, QWidget* parent = nullptr);

  const std::vector<TGraphSeries>& Series() const { return Series_; }
  QChart* Chart() const { return Chart_; }

  // Opens a window (non-modal, deleted on close) over `parent`.
  static TGraphWindow* Show(const QString& caption, const std::vector<TGraphSeries>& series, QWidget* parent);

 private:
  std::vector<TGraphSeries> Series_;
  QChart* Chart_;
};

}  // namespace vexa::gui

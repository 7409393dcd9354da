// The graph window of the stakes and ratings: the engine's series as named
// lines on a Qt chart, the caption being the hint of the command that
// opened it. Points carry markers and value labels where the series asks
// for them; x is shown as its decimal text. (The sums distribution has its
// own window, dialogs/sums_dialog.h, over the engine's TGraphWindow.)
#pragma once

#include <QDialog>

#include <vector>

#include "stakes/ratings.h"

class QChart;

namespace vexa::gui {

class TStakesGraphWindow : public QDialog {
  Q_OBJECT

 public:
  TStakesGraphWindow(const QString& caption, const std::vector<TGraphSeries>& series,
                     QWidget* parent = nullptr);

  const std::vector<TGraphSeries>& Series() const { return Series_; }
  QChart* Chart() const { return Chart_; }

  // Opens a window (non-modal, deleted on close) over `parent`.
  static TStakesGraphWindow* Show(const QString& caption, const std::vector<TGraphSeries>& series,
                                  QWidget* parent);

 private:
  std::vector<TGraphSeries> Series_;
  QChart* Chart_;
};

}  // namespace vexa::gui

// The engine's view series (TViewSeries) as line series of a Qt chart:
// titles, colours, line widths, point markers, value marks and visibility
// as the engine set them; x is an integer axis.
#pragma once

#include <vector>

#include "views/graphs.h"

class QChart;
class QLineSeries;

namespace vexa::gui {

// Removes what the chart holds and adds the series, with one x and one y
// axis over all of them.
void ShowViewSeries(QChart* chart, const std::vector<TViewSeries>& series);
// Value marks of the series that were created with them.
void ShowViewMarks(QChart* chart, const std::vector<TViewSeries>& series, bool visible);

}  // namespace vexa::gui

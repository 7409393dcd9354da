// The engine's view series (TViewSeries) as line series of a Qt chart:
// titles, colours, line widths, point markers, value marks and visibility
// as the engine set them; x is an integer axis.
#pragma once

#include <vector>

#include "views/graphs.h"

class QChart;
class QLineSeries;
class QWidget;

namespace vexa::gui {

// Removes what the chart holds and adds the series, with one x and one y
// axis over all of them.
void ShowViewSeries(QChart* chart, const std::vector<TViewSeries>& series);
// The series' titles in their colours, one a line: for titles too long
// for the chart's own legend row.
QWidget* ViewLegend(const std::vector<TViewSeries>& series, QWidget* parent);
// Value marks of the series that were created with them.
void ShowViewMarks(QChart* chart, const std::vector<TViewSeries>& series, bool visible);

}  // namespace vexa::gui

#include "tabs/view_chart.h"

#include <QChart>
#include <QImage>
#include <QLabel>
#include <QLineSeries>
#include <QPen>
#include <QValueAxis>
#include <QVBoxLayout>

#include <algorithm>
#include <limits>

#include "models/view_grid_models.h"

namespace vexa::gui {

void ShowViewSeries(QChart* chart, const std::vector<TViewSeries>& series) {
  chart->removeAllSeries();
  for (QAbstractAxis* a : chart->axes()) {
    chart->removeAxis(a);
    delete a;
  }
  if (series.empty()) return;
  auto* x = new QValueAxis(chart);
  auto* y = new QValueAxis(chart);
  x->setLabelFormat(QStringLiteral("%.0f"));
  chart->addAxis(x, Qt::AlignBottom);
  chart->addAxis(y, Qt::AlignLeft);
  double minX = std::numeric_limits<double>::max(), maxX = std::numeric_limits<double>::lowest();
  double minY = minX, maxY = maxX;
  for (const TViewSeries& s : series) {
    auto* line = new QLineSeries(chart);
    line->setName(QString::fromUtf8(s.Title.c_str()));
    QList<QPointF> points;
    points.reserve(static_cast<qsizetype>(s.Points.size()));
    for (const TViewPoint& p : s.Points) {
      points.append(QPointF(p.X, p.Y));
      minX = std::min(minX, double(p.X));
      maxX = std::max(maxX, double(p.X));
      minY = std::min(minY, p.Y);
      maxY = std::max(maxY, p.Y);
    }
    line->replace(points);
    chart->addSeries(line);
    line->attachAxis(x);
    line->attachAxis(y);
    QPen pen = line->pen();
    if (s.HasColor) pen.setColor(ToQColor(s.Color));
    pen.setWidth(s.LineWidth);
    line->setPen(pen);
    line->setPointsVisible(s.Markers);
    if (s.Markers) {
      line->setMarkerSize(std::max(2, s.MarkerSize));
      if (s.HasMarkerColor) {
        QImage marker(std::max(2, s.MarkerSize), std::max(2, s.MarkerSize), QImage::Format_ARGB32);
        marker.fill(ToQColor(s.MarkerColor));
        line->setLightMarker(marker);
      }
    }
    line->setPointLabelsFormat(QStringLiteral("@yPoint"));
    line->setPointLabelsClipping(false);
    line->setPointLabelsVisible(s.Marks);
    line->setVisible(s.Visible);
  }
  if (minX <= maxX) {
    x->setRange(minX, maxX > minX ? maxX : minX + 1);
    const double pad = (maxY - minY) * 0.05 + (maxY == minY ? 1 : 0);
    // Counts and other values that cannot go below 0 keep the axis there.
    y->setRange(minY >= 0 ? std::max(0.0, minY - pad) : minY - pad, maxY + pad);
    y->applyNiceNumbers();
  }
}

QWidget* ViewLegend(const std::vector<TViewSeries>& series, QWidget* parent) {
  auto* box = new QWidget(parent);
  auto* layout = new QVBoxLayout(box);
  layout->setContentsMargins(8, 0, 8, 0);
  layout->setSpacing(0);
  for (const TViewSeries& s : series) {
    const QString colour = s.HasColor ? ToQColor(s.Color).name() : QStringLiteral("#808080");
    auto* label = new QLabel(box);
    label->setTextFormat(Qt::RichText);
    label->setText(QStringLiteral("<span style=\"color:%1\">&#9632;</span> %2")
                       .arg(colour, QString::fromUtf8(s.Title.c_str()).toHtmlEscaped()));
    layout->addWidget(label);
  }
  return box;
}

void ShowViewMarks(QChart* chart, const std::vector<TViewSeries>& series, bool visible) {
  const QList<QAbstractSeries*> shown = chart->series();
  for (qsizetype i = 0; i < shown.size() && i < static_cast<qsizetype>(series.size()); ++i)
    if (series[static_cast<size_t>(i)].Marks)
      if (auto* line = qobject_cast<QLineSeries*>(shown[i])) line->setPointLabelsVisible(visible);
}

}  // namespace vexa::gui

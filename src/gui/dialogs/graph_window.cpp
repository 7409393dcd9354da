#include "dialogs/graph_window.h"

#include <QChart>
#include <QChartView>
#include <QLineSeries>
#include <QValueAxis>
#include <QVBoxLayout>

#include <algorithm>
#include <limits>

#include "models/draws_model.h"

namespace vexa::gui {

TStakesGraphWindow::TStakesGraphWindow(const QString& caption, const std::vector<TGraphSeries>& series,
                                       QWidget* parent)
    : QDialog(parent), Series_(series), Chart_(new QChart) {
  setObjectName(QStringLiteral("TFormGraph"));
  setWindowTitle(caption);
  setWindowFlag(Qt::WindowMaximizeButtonHint, true);
  Chart_->legend()->setAlignment(Qt::AlignBottom);
  auto* x = new QValueAxis(Chart_);
  auto* y = new QValueAxis(Chart_);
  x->setLabelFormat(QStringLiteral("%.0f"));
  Chart_->addAxis(x, Qt::AlignBottom);
  Chart_->addAxis(y, Qt::AlignLeft);
  double minX = std::numeric_limits<double>::max(), maxX = std::numeric_limits<double>::lowest();
  double minY = minX, maxY = maxX;
  for (const TGraphSeries& s : series) {
    auto* line = new QLineSeries(Chart_);
    line->setName(QString::fromUtf8(s.Title.c_str()));
    for (const TGraphPoint& p : s.Points) {
      line->append(p.X, p.Y);
      minX = std::min(minX, p.X);
      maxX = std::max(maxX, p.X);
      minY = std::min(minY, p.Y);
      maxY = std::max(maxY, p.Y);
    }
    Chart_->addSeries(line);
    line->attachAxis(x);
    line->attachAxis(y);
    if (s.Color >= 0) line->setColor(FromBgr(static_cast<uint32_t>(s.Color)));
    line->setPointsVisible(s.Markers);
    line->setPointLabelsVisible(s.Labels);
    line->setPointLabelsFormat(QStringLiteral("@yPoint"));
    line->setPointLabelsClipping(false);
  }
  if (minX <= maxX) {
    x->setRange(minX, maxX > minX ? maxX : minX + 1);
    const double pad = (maxY - minY) * 0.05 + (maxY == minY ? 1 : 0);
    y->setRange(minY - pad, maxY + pad);
  }
  auto* view = new QChartView(Chart_, this);
  view->setRenderHint(QPainter::Antialiasing);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(view);
  resize(800, 500);
}

TStakesGraphWindow* TStakesGraphWindow::Show(const QString& caption, const std::vector<TGraphSeries>& series,
                                             QWidget* parent) {
  auto* w = new TStakesGraphWindow(caption, series, parent);
  w->setAttribute(Qt::WA_DeleteOnClose);
  w->show();
  return w;
}

}  // namespace vexa::gui

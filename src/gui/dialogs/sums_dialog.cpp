#include "dialogs/sums_dialog.h"

#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QGuiApplication>
#include <QScreen>
#include <QVBoxLayout>

#include "tabs/view_chart.h"
#include "workspace/workspace.h"

namespace vexa::gui {

namespace {

TScreenMetrics MetricsOf(const QScreen* screen) {
  if (screen == nullptr) return {};
  return {screen->geometry().width(), screen->geometry().height(), qRound(screen->logicalDotsPerInch())};
}

}  // namespace

TSumsDialog::TSumsDialog(TWorkspace& ws, const QString& caption, const TGraphWindow& graph, QWidget* parent)
    : QDialog(parent), Ws_(ws), Series_(graph.Series()) {
  setObjectName(QStringLiteral("TFormGraph"));
  setWindowTitle(caption);
  setWindowFlag(Qt::Tool, true);
  setWindowFlag(Qt::WindowMaximizeButtonHint, true);
  setSizeGripEnabled(true);
  auto* chart = new QChart;
  // The level titles name their sum ranges: the chart's one-row legend
  // would cut them, so the legend lies below the chart one title a line.
  chart->legend()->hide();
  Chart_ = new QChartView(chart, this);
  Chart_->setObjectName(QStringLiteral("Chart"));
  Chart_->setRenderHint(QPainter::Antialiasing);
  ShowViewSeries(chart, Series_);
  MarksBox_ = new QCheckBox(QStringLiteral("Отображать метки на графиках"), this);
  MarksBox_->setObjectName(QStringLiteral("cbShowMarks"));
  MarksBox_->setChecked(true);
  connect(MarksBox_, &QCheckBox::toggled, this, [this](bool on) { ShowViewMarks(Chart_->chart(), Series_, on); });
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(4, 4, 4, 4);
  layout->addWidget(Chart_, 1);
  layout->addWidget(ViewLegend(Series_, this));
  layout->addWidget(MarksBox_);
  resize(900, 600);
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (screen != nullptr) move(screen->availableGeometry().center() - rect().center());
  // The stored placement when it was made on this screen and lies on it.
  try {
    const TRestoredPlacement placement = Ws_.GraphWindowPlacement(MetricsOf(screen));
    if (placement.NormPos && screen != nullptr) {
      const auto& p = *placement.NormPos;
      const QRect r(QPoint(p[0], p[1]), QPoint(p[2] - 1, p[3] - 1));
      const QRect common = screen->availableGeometry().intersected(r);
      if (r.width() >= 100 && r.height() >= 100 && common.width() >= 100 && common.height() >= 50) setGeometry(r);
    }
  } catch (const std::exception&) {
    // Read errors of this file were reported at start-up; centred it stays.
  }
}

void TSumsDialog::done(int result) {
  TWindowPlacement placement;
  const QScreen* s = screen();
  placement.PixelsPerInch = MetricsOf(s).PixelsPerInch;
  placement.ShowCmd = isMaximized() ? 3 : 1;
  placement.MinMaxPos = {-1, -1, -1, -1};
  const QRect g = normalGeometry().isValid() ? normalGeometry() : geometry();
  placement.NormPos = {g.left(), g.top(), g.right() + 1, g.bottom() + 1};
  try {
    Ws_.SaveGraphWindowPlacement(placement, MetricsOf(s));
  } catch (const std::exception&) {
    // Only the placement is lost; the window closes all the same.
  }
  QDialog::done(result);
}

}  // namespace vexa::gui

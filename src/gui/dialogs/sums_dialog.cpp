#include "dialogs/sums_dialog.h"

#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QGuiApplication>
#include <QScreen>
#include <QVBoxLayout>

#include "tabs/view_chart.h"

namespace vexa::gui {

TSumsDialog::TSumsDialog(const QString& caption, const TGraphWindow& graph, QWidget* parent)
    : QDialog(parent), Series_(graph.Series()) {
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
  if (const QScreen* s = QGuiApplication::primaryScreen()) move(s->availableGeometry().center() - rect().center());
}

}  // namespace vexa::gui

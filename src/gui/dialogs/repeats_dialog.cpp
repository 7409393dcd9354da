#include "dialogs/repeats_dialog.h"

#include <QChart>
#include <QChartView>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QSpinBox>
#include <QSplitter>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

#include "models/repeats_model.h"
#include "shell/main_window.h"
#include "tabs/tab_tools.h"
#include "tabs/view_chart.h"
#include "tabs/view_tabs.h"
#include "workspace/workspace.h"

namespace vexa::gui {
namespace {

constexpr int MinChartHeight = 240;

}  // namespace

TRepeatsDialog::TRepeatsDialog(TMainWindow& window, QWidget* parent) : QDialog(parent), W_(window) {
  setObjectName(QStringLiteral("TFormRepeats"));
  setWindowTitle(QString::fromUtf8(RepeatsCaption));
  setWindowFlag(Qt::WindowMaximizeButtonHint, true);
  TRepeatsWindowSettings settings;
  W_.RunHere([&] { settings = W_.Workspace().RepeatsWindow(); });
  GraphHeight_ = settings.GraphHeight;

  LengthSpin_ = ViewLengthSpin("edDrawsLen", "Количество тиражей, использующихся для расчета статистики",
                               settings.DrawsLength, this);
  DeepSpin_ = ViewLengthSpin("edDeep", "Количество тиражей, просматриваемых \"в глубину\" для поиска совпадений",
                             settings.DrawsDeep, this);
  for (QSpinBox* s : {LengthSpin_, DeepSpin_}) new TEnterKey(s, [this] { Calculate(); });
  Calc_ = new QPushButton(QStringLiteral("Рассчитать"), this);
  Calc_->setObjectName(QStringLiteral("btnCalc"));
  Calc_->setAutoDefault(false);
  connect(Calc_, &QPushButton::clicked, this, &TRepeatsDialog::Calculate);

  Splitter_ = new QSplitter(Qt::Vertical, this);
  Splitter_->setChildrenCollapsible(false);
  List_ = new QTableView(Splitter_);
  List_->setObjectName(QStringLiteral("lvList"));
  Model_ = new TRepeatsModel(this);
  SetupTabList(List_, Model_, TRepeatsModel::DefaultWidths, TRepeatsModel::ColumnCount);
  List_->horizontalHeader()->setStretchLastSection(true);
  auto* chart = new QChart;
  chart->legend()->setAlignment(Qt::AlignBottom);
  Chart_ = new QChartView(chart, Splitter_);
  Chart_->setObjectName(QStringLiteral("crtGraph"));
  Chart_->setRenderHint(QPainter::Antialiasing);
  Splitter_->addWidget(List_);
  Splitter_->addWidget(Chart_);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(4, 4, 4, 4);
  auto* top = new QHBoxLayout;
  top->addWidget(new QLabel(QStringLiteral("Тиражей:"), this));
  top->addWidget(LengthSpin_);
  top->addWidget(new QLabel(QStringLiteral("Глубина:"), this));
  top->addWidget(DeepSpin_);
  top->addWidget(Calc_);
  top->addStretch(1);
  layout->addLayout(top);
  layout->addWidget(Splitter_, 1);
  resize(900, 700);
}

void TRepeatsDialog::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (Opened_) return;
  Opened_ = true;
  // Centred on the main window, the chart at its stored height.
  move(W_.geometry().center() - rect().center());
  // A chart lower than this cannot show its axes and legend.
  const int chart = std::max(MinChartHeight, GraphHeight_);
  Splitter_->setSizes({std::max(40, Splitter_->height() - chart), chart});
  QTimer::singleShot(0, this, &TRepeatsDialog::Calculate);
}

void TRepeatsDialog::Calculate() {
  if (Running_ || W_.Busy()) return;
  Running_ = true;
  Calc_->setEnabled(false);
  TWorkspace& ws = W_.Workspace();
  auto result = std::make_shared<TRepeatsAnalysis>();
  const int length = LengthSpin_->value();
  const int deep = DeepSpin_->value();
  QPointer<TRepeatsDialog> self(this);
  W_.RunLong([&ws, result, length, deep] { *result = ws.AnalyzeRepeats(length, deep); },
             [self, result] {
               if (self == nullptr) return;
               self->Running_ = false;
               self->Calc_->setEnabled(true);
               self->Analysis_ = std::move(*result);
               self->Model_->SetRows(self->Analysis_.Rows);
               ShowViewSeries(self->Chart_->chart(), self->Analysis_.Series);
             });
}

void TRepeatsDialog::done(int result) {
  // The worker writes into this window's result: it closes after it.
  if (Running_) return;
  const QList<int> sizes = Splitter_->sizes();
  TRepeatsWindowSettings settings;
  settings.DrawsLength = LengthSpin_->value();
  settings.DrawsDeep = DeepSpin_->value();
  settings.GraphHeight = sizes.size() == 2 ? sizes[1] : GraphHeight_;
  W_.RunHere([&] { W_.Workspace().SaveRepeatsWindow(settings); });
  QDialog::done(result);
}

}  // namespace vexa::gui

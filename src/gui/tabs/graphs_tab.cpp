#include "tabs/graphs_tab.h"

#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineSeries>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>

#include "shell/main_window.h"
#include "tabs/tab_tools.h"
#include "tabs/view_chart.h"
#include "tabs/view_tabs.h"
#include "workspace/workspace.h"

namespace vexa::gui {

TGraphsTab::TGraphsTab(TMainWindow& window, QWidget* parent) : QWidget(parent), W_(window) {
  setObjectName(QStringLiteral("tsDrawsGraph"));
  TWorkspace& ws = W_.Workspace();
  LengthSpin_ = ViewLengthSpin("edDrawsGraphLen", "Количество тиражей, использующихся для построения графиков",
                               ws.ViewLengths().DrawsGraphLen, this);
  new TEnterKey(LengthSpin_, [this] {
    if (CanDraw()) Refresh(false);
  });
  connect(LengthSpin_, &QSpinBox::valueChanged, this, [this](int value) {
    TWorkspace::TViewLengths l = W_.Workspace().ViewLengths();
    l.DrawsGraphLen = value;
    W_.Workspace().SetViewLengths(l);
  });
  MethodBox_ = new QComboBox(this);
  MethodBox_->setObjectName(QStringLiteral("cbDrawsGraphType"));
  MethodBox_->setStatusTip(QStringLiteral("Тип графика"));
  MethodBox_->setToolTip(QStringLiteral("Тип графика"));
  MethodBox_->setMaxVisibleItems(30);
  MethodBox_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  MethodBox_->setMinimumContentsLength(30);
  Methods_ = ws.DrawsGraphMethods();
  for (int i : Methods_) MethodBox_->addItem(QString::fromStdString(ws.Stats().ListCaption(i, false)));
  MethodBox_->setCurrentIndex(Methods_.empty() ? -1 : 0);
  connect(MethodBox_, &QComboBox::currentIndexChanged, this, [this] {
    if (CanDraw()) Refresh(false);
    W_.UpdateActions();
  });
  MarksBox_ = new QCheckBox(QStringLiteral("Отображать метки на графике"), this);
  MarksBox_->setObjectName(QStringLiteral("cbDrawsGraphShowMarks"));
  connect(MarksBox_, &QCheckBox::toggled, this, [this](bool on) {
    const QList<QAbstractSeries*> series = Chart_->chart()->series();
    if (!series.isEmpty())
      if (auto* first = qobject_cast<QLineSeries*>(series.front())) first->setPointLabelsVisible(on);
  });

  auto* chart = new QChart;
  chart->legend()->setAlignment(Qt::AlignBottom);
  Chart_ = new QChartView(chart, this);
  Chart_->setObjectName(QStringLiteral("crtDrawsGraph"));
  Chart_->setRenderHint(QPainter::Antialiasing);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(2, 2, 2, 2);
  layout->setSpacing(2);
  auto* top = new QHBoxLayout;
  top->setSpacing(4);
  top->addWidget(MethodBox_, 1);
  top->addWidget(new QLabel(QStringLiteral("Тиражей:"), this));
  top->addWidget(LengthSpin_);
  top->addWidget(MarksBox_);
  layout->addLayout(top);
  layout->addWidget(CommandBar(W_, this, {{"DrawsGraphDraw", "Обновить"}}));
  layout->addWidget(Chart_, 1);
}

void TGraphsTab::RegisterCommands() {
  TWorkspace& ws = W_.Workspace();
  TCommandTable& t = W_.Commands();
  AddCommand(t, "DrawsGraphDraw", "Статистика", "Обновить", "", "Построить графики по выбранным параметрам",
             [this] { Refresh(true); }, [this] { return CanDraw(); });
  AddCommand(t, "TabGraps", "Вид", "Вкладка \"Графики\"", "", "Вкладка \"Графики\"",
             [this, &ws] {
               W_.RunHere([&ws] { ws.TabGraps(); });
               ApplyVisibility();
               if (Shown()) W_.RightPages()->setCurrentWidget(this);
             },
             {}, [this] { return Shown(); });
  t.SetPopup(Chart_, {QStringLiteral("DrawsGraphDraw")});
}

int TGraphsTab::MethodIndex() const {
  const int pos = MethodBox_->currentIndex();
  return pos >= 0 && pos < static_cast<int>(Methods_.size()) ? Methods_[static_cast<size_t>(pos)] : -1;
}

bool TGraphsTab::SelectMethod(int methodIndex) {
  const auto it = std::find(Methods_.begin(), Methods_.end(), methodIndex);
  if (it == Methods_.end()) return false;
  MethodBox_->setCurrentIndex(static_cast<int>(it - Methods_.begin()));
  return true;
}

bool TGraphsTab::Shown() const { return W_.Workspace().Window().TabGraphs; }

bool TGraphsTab::CanDraw() const {
  return !W_.Busy() && !W_.Workspace().Archive().Empty() && MethodIndex() >= 0;
}

void TGraphsTab::ApplyVisibility() {
  ShowRightTab(W_, this, Shown());
  if (Shown()) Refresh(true);
}

void TGraphsTab::Refresh(bool force) {
  if (!Shown() || W_.Busy()) return;
  TWorkspace& ws = W_.Workspace();
  const int method = MethodIndex();
  if (!Keys_.DrawsGraph(ws.Archive().Count(), ws.DrawsOffset(), LengthSpin_->value(), method, force)) return;
  ++Builds_;
  Graph_ = {};
  ShowViewSeries(Chart_->chart(), {});
  if (method < 0 || ws.Archive().Empty()) return;
  if (W_.RunHere([&] { Graph_ = ws.DrawsGraph(method, LengthSpin_->value(), MarksBox_->isChecked()); }))
    ShowViewSeries(Chart_->chart(), Graph_.Series);
}

}  // namespace vexa::gui

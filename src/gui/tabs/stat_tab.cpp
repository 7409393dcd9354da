#include "tabs/stat_tab.h"

#include <QCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineSeries>
#include <QSpinBox>
#include <QSplitter>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>
#include <QValueAxis>

#include "models/stat_model.h"
#include "shell/command_table.h"
#include "shell/main_window.h"
#include "shell/message_boxes.h"
#include "shell/worker.h"
#include "workspace/workspace.h"

namespace vexa::gui {
namespace {

QToolButton* CommandButton(const QString& text, const char* id, TMainWindow& window, QWidget* parent) {
  auto* b = new QToolButton(parent);
  b->setText(text);
  b->setToolButtonStyle(Qt::ToolButtonTextOnly);
  b->setFocusPolicy(Qt::NoFocus);
  b->setObjectName(QStringLiteral("btn") + QString::fromLatin1(id));
  b->setProperty("command", QString::fromLatin1(id));
  QObject::connect(b, &QToolButton::clicked, &window, [&window, command = QString::fromLatin1(id)] {
    window.Commands().Trigger(command);
    window.UpdateActions();
  });
  return b;
}

constexpr int ComparisonColumns[] = {scExpected, scDeviation, scDeviationPercent};

}  // namespace

TStatTab::TStatTab(TMainWindow& window, QWidget* parent) : QWidget(parent), Window_(window) {
  setObjectName(QStringLiteral("tsStat"));
  TWorkspace& ws = Window_.Workspace();
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(2, 2, 2, 2);
  layout->setSpacing(2);

  auto* top = new QHBoxLayout;
  top->setSpacing(4);
  MethodBox_ = new QComboBox(this);
  MethodBox_->setObjectName(QStringLiteral("cbStatType"));
  const QString methodHint = QStringLiteral("Вид расчета статистики");
  MethodBox_->setStatusTip(methodHint);
  MethodBox_->setToolTip(methodHint);
  MethodBox_->setMaxVisibleItems(30);
  MethodBox_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  MethodBox_->setMinimumContentsLength(30);
  LengthSpin_ = new QSpinBox(this);
  LengthSpin_->setObjectName(QStringLiteral("edStatLen"));
  const QString lengthHint = QStringLiteral("Количество тиражей, использующихся для расчета статистики");
  LengthSpin_->setStatusTip(lengthHint);
  LengthSpin_->setToolTip(lengthHint);
  LengthSpin_->setRange(1, 999999);
  LengthSpin_->setValue(std::max(1, ws.Window().DrawsStatLen));
  LengthSpin_->setMinimumWidth(70);
  LengthSpin_->installEventFilter(this);
  top->addWidget(MethodBox_, 1);
  top->addWidget(new QLabel(QStringLiteral("Тиражей:"), this));
  top->addWidget(LengthSpin_);
  top->addWidget(CommandButton(QStringLiteral("Обновить"), "DrawsStatCalc", Window_, this));
  layout->addLayout(top);

  auto* buttons = new QHBoxLayout;
  buttons->setSpacing(2);
  buttons->addWidget(CommandButton(QStringLiteral("Описание"), "FiltersInfo", Window_, this));
  buttons->addWidget(CommandButton(QStringLiteral("Избранные"), "FiltersManager", Window_, this));
  buttons->addStretch(1);
  buttons->addWidget(CommandButton(QStringLiteral("Оставить выделенные"), "StatFilter_Include", Window_, this));
  buttons->addWidget(CommandButton(QStringLiteral("Удалить выделенные"), "StatFilter_Exclude", Window_, this));
  layout->addLayout(buttons);

  Splitter_ = new QSplitter(Qt::Vertical, this);
  Splitter_->setObjectName(QStringLiteral("StatSplitter"));
  Splitter_->setChildrenCollapsible(false);
  View_ = new QTableView(Splitter_);
  View_->setObjectName(QString::fromLatin1(ListName));
  Model_ = new TStatModel(this);
  View_->setModel(Model_);
  View_->verticalHeader()->hide();
  View_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  View_->verticalHeader()->setDefaultSectionSize(View_->fontMetrics().height() + 4);
  View_->horizontalHeader()->setHighlightSections(false);
  View_->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  View_->horizontalHeader()->setSortIndicatorShown(true);
  View_->horizontalHeader()->setSectionsClickable(true);
  View_->horizontalHeader()->setSortIndicator(scHits, Qt::AscendingOrder);
  View_->setSortingEnabled(true);
  View_->setSelectionBehavior(QAbstractItemView::SelectRows);
  View_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  View_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  View_->setShowGrid(false);
  View_->setWordWrap(false);
  View_->setCornerButtonEnabled(false);
  // 80 (the value 120), widened where this font would cut the header.
  const QFontMetrics fm = View_->horizontalHeader()->fontMetrics();
  for (int c = 0; c < TStatModel::ColumnCount; ++c) {
    const QString header = Model_->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString();
    View_->setColumnWidth(c, std::max(c == scValue ? 120 : 80, fm.horizontalAdvance(header) + 24));
  }
  RestoreColumns();

  Chart_ = new QChartView(Splitter_);
  Chart_->setObjectName(QStringLiteral("chStat"));
  Chart_->setRenderHint(QPainter::Antialiasing);
  Chart_->chart()->legend()->setAlignment(Qt::AlignBottom);
  Chart_->chart()->setMargins(QMargins(2, 2, 2, 2));
  Chart_->setMinimumHeight(200);
  Splitter_->setStretchFactor(0, 1);
  Splitter_->setStretchFactor(1, 1);
  Splitter_->setSizes({400, 300});
  layout->addWidget(Splitter_, 1);

  connect(View_->selectionModel(), &QItemSelectionModel::selectionChanged, &Window_, &TMainWindow::UpdateActions);
  // The length stays the workspace's (written at exit; a script run sets it too).
  connect(LengthSpin_, &QSpinBox::valueChanged, this, [this](int n) { Window_.Workspace().SetDrawsStatLen(n); });
  connect(MethodBox_, &QComboBox::currentIndexChanged, this, [this](int) {
    // Choosing another method recalculates at once.
    if (Window_.Commands().IsEnabled(QStringLiteral("DrawsStatCalc"))) Recalculate(false);
    Window_.UpdateActions();
  });
  FillMethods(false);
  ApplyComparisonColumns();
}

int TStatTab::MethodIndex() const {
  const int pos = MethodBox_->currentIndex();
  return pos >= 0 && pos < static_cast<int>(Methods_.size()) ? Methods_[static_cast<size_t>(pos)] : -1;
}

bool TStatTab::SelectMethod(int methodIndex) {
  const auto it = std::find(Methods_.begin(), Methods_.end(), methodIndex);
  if (it == Methods_.end()) return false;
  MethodBox_->setCurrentIndex(static_cast<int>(it - Methods_.begin()));
  return true;
}

void TStatTab::FillMethods(bool keep) {
  const TWorkspace& ws = Window_.Workspace();
  const std::string keptCode = keep && MethodIndex() >= 0 ? ws.Stats().Items(MethodIndex()).Code() : std::string();
  {
    const QSignalBlocker block(MethodBox_);
    MethodBox_->clear();
    Methods_ = ws.StatMethodList();
    for (int i : Methods_) MethodBox_->addItem(QString::fromStdString(ws.Stats().ListCaption(i, true)));
    int pos = Methods_.empty() ? -1 : 0;
    if (!keptCode.empty())
      for (size_t k = 0; k < Methods_.size(); ++k)
        if (ws.Stats().Items(Methods_[k]).Code() == keptCode) pos = static_cast<int>(k);
    MethodBox_->setCurrentIndex(pos);
  }
  Last_.reset();
}

bool TStatTab::CanCalculate() const {
  return !Window_.Busy() && !Window_.Workspace().Archive().Empty() && MethodIndex() >= 0;
}

bool TStatTab::HasSelection() const {
  return View_->selectionModel() != nullptr && View_->selectionModel()->hasSelection();
}

void TStatTab::ClearView() {
  Model_->Clear();
  FillChart();
}

void TStatTab::Refresh() {
  if (Window_.Busy()) return;
  {
    const QSignalBlocker block(LengthSpin_);
    LengthSpin_->setValue(std::max(1, Window_.Workspace().Window().DrawsStatLen));
  }
  ApplyComparisonColumns();
  Recalculate(false);
}

void TStatTab::Recalculate(bool force) {
  if (Window_.Busy()) return;
  TWorkspace& ws = Window_.Workspace();
  if (Methods_.empty()) return;
  const int method = MethodIndex();
  if (method < 0) {
    ClearView();
    return;
  }
  const TKey key{ws.Archive().Count(), ws.DrawsOffset(), LengthSpin_->value(), method};
  if (!force && Last_ == key) return;
  Last_ = key;
  if (ws.Archive().Empty()) {
    ClearView();
    return;
  }
  const bool prefetch = ws.Window().PrefetchsEnabled;
  if (prefetch && ws.Stats().IsFullSetComputable(method) &&
      !FullSetFileExists(ws.FullSetPlace().FileOf(ws.Stats().Items(method).Code()))) {
    // Counting the method over all combinations takes seconds: on the worker, with progress.
    Last_.reset();
    Window_.RunLong([&ws, method] { ws.FullSetBuild({method}, false); }, [this] { Recalculate(true); });
    return;
  }
  TStatRows rows;
  const bool ok = Window_.RunHere([&] { rows = ws.StatRecalculate(method, key.Window, prefetch); });
  if (!ok) {
    ClearView();
    return;
  }
  Model_->SetRows(std::move(rows));
  FillChart();
  ApplyComparisonColumns();
  Window_.UpdateActions();
}

void TStatTab::RestoreColumns() {
  TListColumns columns;
  for (int c = 0; c < TStatModel::ColumnCount; ++c) columns.Widths.push_back(View_->columnWidth(c));
  columns.Sort = std::array<int32_t, 2>{Model_->SortColumn(), Model_->SortDescending() ? 1 : 0};
  try {
    Window_.Workspace().ReadListColumns(ListName, columns);
  } catch (const std::exception&) {
    // An unreadable window settings file was reported at start-up; the defaults stay.
  }
  // A hidden comparison column is stored with width 0 and comes back at 80
  // when shown (ApplyComparisonColumns); any other column keeps its default
  // rather than vanishing at width 0.
  for (int c = 0; c < TStatModel::ColumnCount && c < static_cast<int>(columns.Widths.size()); ++c)
    if (columns.Widths[static_cast<size_t>(c)] > 0) View_->setColumnWidth(c, columns.Widths[static_cast<size_t>(c)]);
  const auto [column, direction] = *columns.Sort;
  if (column >= 0 && column < TStatModel::ColumnCount)
    View_->horizontalHeader()->setSortIndicator(column, direction != 0 ? Qt::DescendingOrder : Qt::AscendingOrder);
  Window_.AddExitSaver([this](std::vector<std::pair<std::string, TListColumns>>& lists) {
    TListColumns out;
    for (int c = 0; c < TStatModel::ColumnCount; ++c) out.Widths.push_back(View_->columnWidth(c));
    out.Sort = std::array<int32_t, 2>{Model_->SortColumn(), Model_->SortDescending() ? 1 : 0};
    lists.emplace_back(ListName, out);
  });
}

void TStatTab::ApplyComparisonColumns() {
  const bool on = Window_.Workspace().Window().PrefetchsEnabled;
  for (int c : ComparisonColumns) {
    View_->setColumnHidden(c, !on);
    if (on && View_->columnWidth(c) == 0) View_->setColumnWidth(c, 80);
    if (on) View_->setColumnWidth(c, std::max(View_->columnWidth(c), 80));
  }
}

void TStatTab::FillChart() {
  QChart* chart = Chart_->chart();
  chart->removeAllSeries();
  for (QAbstractAxis* axis : chart->axes()) {
    chart->removeAxis(axis);
    delete axis;
  }
  const TStatRows& rows = Model_->Rows();
  if (rows.Rows.size() < 2) return;
  const TStatChart& data = rows.Chart;
  auto* actual = new QLineSeries(chart);
  actual->setName(QString::fromUtf8(ActualSeriesTitle));
  QPen green(QColor(0, 160, 0));
  green.setWidth(2);
  actual->setPen(green);
  actual->setPointsVisible(true);
  actual->setMarkerSize(4);
  actual->setColor(QColor(0, 160, 0));
  double minX = 0, maxX = 0, maxY = 0;
  bool first = true;
  auto extend = [&](const TChartPoint& p) {
    if (first) minX = maxX = p.X;
    minX = std::min(minX, p.X);
    maxX = std::max(maxX, p.X);
    maxY = std::max(maxY, p.Y);
    first = false;
  };
  for (const TChartPoint& p : data.Actual) {
    actual->append(p.X, p.Y);
    extend(p);
  }
  chart->addSeries(actual);
  QLineSeries* total = nullptr;
  if (!data.Total.empty()) {
    total = new QLineSeries(chart);
    total->setName(QString::fromUtf8(TotalSeriesTitle));
    QPen red(Qt::red);
    red.setWidth(1);
    total->setPen(red);
    for (const TChartPoint& p : data.Total) {
      total->append(p.X, p.Y);
      extend(p);
    }
    chart->addSeries(total);
  }
  // The value texts under the points when they fit; positions otherwise.
  const std::vector<TChartPoint>& labelled = data.Total.empty() ? data.Actual : data.Total;
  QAbstractAxis* xAxis = nullptr;
  if (labelled.size() <= 200) {
    auto* cat = new QCategoryAxis;
    cat->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    QFont small = cat->labelsFont();
    small.setPointSizeF(std::max(6.0, small.pointSizeF() - 2));
    cat->setLabelsFont(small);
    // Every k-th value text, so that about 25 stand side by side.
    const size_t step = std::max<size_t>(1, (labelled.size() + 24) / 25);
    for (size_t k = 0; k < labelled.size(); k += step) {
      const TChartPoint& p = labelled[k];
      QString label = QString::fromStdString(p.Label);
      // Two points with the same text would merge into one label.
      while (cat->categoriesLabels().contains(label)) label += QLatin1Char(' ');
      cat->append(label, p.X);
    }
    cat->setRange(minX, maxX);
    xAxis = cat;
  } else {
    auto* value = new QValueAxis;
    value->setRange(minX, maxX);
    value->setLabelFormat(QStringLiteral("%d"));
    xAxis = value;
  }
  auto* yAxis = new QValueAxis;
  yAxis->setRange(0, maxY > 0 ? maxY * 1.05 : 1);
  yAxis->setLabelFormat(QStringLiteral("%d"));
  chart->addAxis(xAxis, Qt::AlignBottom);
  chart->addAxis(yAxis, Qt::AlignLeft);
  for (QAbstractSeries* s : chart->series()) {
    s->attachAxis(xAxis);
    s->attachAxis(yAxis);
  }
  chart->legend()->setVisible(total != nullptr);
}

void TStatTab::Filter(bool del) {
  TWorkspace& ws = Window_.Workspace();
  const int method = MethodIndex();
  TStatDrawArray values;
  for (int r : Window_.SelectedRows(View_)) values.push_back(Model_->RowAt(r).Rec);
  Window_.RunLong([&ws, method, values, del] {
    if (del)
      ws.StatFilter_Exclude(method, values);
    else
      ws.StatFilter_Include(method, values);
  });
}

bool TStatTab::eventFilter(QObject* watched, QEvent* event) {
  if (watched == LengthSpin_ && event->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
      LengthSpin_->interpretText();
      if (CanCalculate()) Recalculate(true);
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}

}  // namespace vexa::gui

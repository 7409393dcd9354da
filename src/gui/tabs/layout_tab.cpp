#include "tabs/layout_tab.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QSpinBox>
#include <QSplitter>
#include <QStyledItemDelegate>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>

#include "models/view_grid_models.h"
#include "shell/main_window.h"
#include "tabs/tab_tools.h"
#include "tabs/view_tabs.h"
#include "workspace/workspace.h"

namespace vexa::gui {
namespace {

constexpr int CompareCountWidth = 50;  // "Кол-во"

class TLayoutDelegate : public QStyledItemDelegate {
 public:
  TLayoutDelegate(const TLayoutModel& model, QObject* parent) : QStyledItemDelegate(parent), Model_(model) {}

  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    const bool selected = (option.state & QStyle::State_Selected) != 0 || (option.state & QStyle::State_HasFocus) != 0;
    painter->fillRect(option.rect, selected ? option.palette.color(QPalette::Highlight)
                                            : Model_.CellFill(index.row(), index.column()));
    const QString text = index.data(Qt::DisplayRole).toString();
    if (text.isEmpty()) return;
    // The fills are light: dark text on them whatever the palette says.
    painter->setPen(selected ? option.palette.color(QPalette::HighlightedText) : QColor(Qt::black));
    painter->drawText(option.rect.adjusted(0, 2, 0, 0), Qt::AlignHCenter | Qt::AlignTop, text);
  }

 private:
  const TLayoutModel& Model_;
};

}  // namespace

TLayoutTab::TLayoutTab(TMainWindow& window, QWidget* parent)
    : QWidget(parent), W_(window), Model_(new TLayoutModel(this)), View_(new QTableView(this)) {
  setObjectName(QStringLiteral("tsLayout"));
  TWorkspace& ws = W_.Workspace();
  const TWorkspace::TViewLengths lengths = ws.ViewLengths();
  setStatusTip(QStringLiteral("Схема выпадения номеров"));

  View_->setObjectName(QStringLiteral("sgLayout"));
  View_->setModel(Model_);
  View_->setItemDelegate(new TLayoutDelegate(*Model_, View_));
  View_->setSelectionMode(QAbstractItemView::ContiguousSelection);
  View_->setSelectionBehavior(QAbstractItemView::SelectItems);
  View_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  View_->setWordWrap(false);
  View_->setCornerButtonEnabled(false);
  View_->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  View_->horizontalHeader()->setHighlightSections(false);
  View_->horizontalHeader()->setDefaultSectionSize(LayoutColumnWidth);
  View_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  View_->verticalHeader()->setHighlightSections(false);
  View_->verticalHeader()->setDefaultSectionSize(View_->fontMetrics().height() + 6);
  View_->verticalHeader()->setFixedWidth(LayoutFirstColumnWidth);
  View_->verticalHeader()->setDefaultAlignment(Qt::AlignCenter);
  connect(View_->selectionModel(), &QItemSelectionModel::selectionChanged, &W_, &TMainWindow::UpdateActions);

  LengthSpin_ = ViewLengthSpin("edLayoutLen", "Количество тиражей, использующихся для построения схемы",
                               lengths.LayoutLen, this);
  new TEnterKey(LengthSpin_, [this] { RefreshLayout(false); });
  connect(LengthSpin_, &QSpinBox::valueChanged, this, [this] { StoreLengths(); });

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(2, 2, 2, 2);
  layout->setSpacing(2);
  auto* top = new QHBoxLayout;
  top->setSpacing(4);
  top->addWidget(new QLabel(QStringLiteral("Тиражей:"), this));
  top->addWidget(LengthSpin_);
  top->addWidget(CommandBar(W_, this,
                            {{"LayoutCalc", "Обновить"},
                             {"LayoutFilter_Include", "Оставить выделенные"},
                             {"LayoutFilter_Exclude", "Удалить выделенные"}}),
                 1);
  layout->addLayout(top);

  Splitter_ = new QSplitter(Qt::Vertical, this);
  Splitter_->setObjectName(QStringLiteral("LayoutSplitter"));
  Splitter_->setChildrenCollapsible(false);
  Splitter_->addWidget(View_);
  Panel_ = new QWidget(Splitter_);
  Panel_->setObjectName(QStringLiteral("pnlLayoutLists"));
  auto* pl = new QVBoxLayout(Panel_);
  pl->setContentsMargins(0, 0, 0, 0);
  pl->setSpacing(2);
  pl->addWidget(CommandBar(W_, Panel_, {{"LayoutCmpCalc", "Обновить"}}));
  ListsSplitter_ = new QSplitter(Qt::Horizontal, Panel_);
  ListsSplitter_->setChildrenCollapsible(false);
  for (int k = 0; k < CompareListCount; ++k) {
    auto* column = new QWidget(ListsSplitter_);
    auto* cl = new QVBoxLayout(column);
    cl->setContentsMargins(0, 0, 0, 0);
    cl->setSpacing(2);
    const QByteArray name = "edLayoutCmp" + QByteArray::number(k + 1);
    QSpinBox* spin = ViewLengthSpin(name.constData(), "Количество тиражей, использующихся для построения списка",
                                    lengths.Compare[static_cast<size_t>(k)], column);
    new TEnterKey(spin, [this] { RefreshLists(true); });
    connect(spin, &QSpinBox::valueChanged, this, [this] { StoreLengths(); });
    auto* list = new QTableView(column);
    list->setObjectName(QStringLiteral("lvLayoutCmp%1").arg(k + 1));
    auto* model = new TCompareModel(list);
    const int widths[2] = {CompareCountWidth, 100};
    SetupTabList(list, model, widths, 2);
    list->horizontalHeader()->setStretchLastSection(true);
    list->setSortingEnabled(true);
    list->horizontalHeader()->setSortIndicator(0, Qt::DescendingOrder);
    // Room for the sort indicator beside "Кол-во".
    list->setColumnWidth(0, std::max(CompareCountWidth, list->horizontalHeader()->fontMetrics().horizontalAdvance(
                                                            QString::fromUtf8(CompareCountCaption)) + 28));
    cl->addWidget(spin);
    cl->addWidget(list, 1);
    ListsSplitter_->addWidget(column);
    Lists_[static_cast<size_t>(k)] = list;
    ListModels_[static_cast<size_t>(k)] = model;
    ListSpins_[static_cast<size_t>(k)] = spin;
  }
  pl->addWidget(ListsSplitter_, 1);
  RestoreLists();
  W_.AddBeforeSave([this] { SaveLists(); });
  Panel_->installEventFilter(this);
  Splitter_->setStretchFactor(0, 1);
  Splitter_->setStretchFactor(1, 0);
  connect(Splitter_, &QSplitter::splitterMoved, this, [this] { StoreLengths(); });
  layout->addWidget(Splitter_, 1);
}

void TLayoutTab::RegisterCommands() {
  TWorkspace& ws = W_.Workspace();
  TCommandTable& t = W_.Commands();
  auto canBuild = [this, &ws] { return Shown() && !ws.Archive().Empty(); };
  const char* cat = "Схема";
  AddCommand(t, "LayoutCalc", cat, "Обновить", "", "Построить схему выпадения номеров", [this] { RefreshLayout(true); },
             canBuild);
  AddCommand(t, "LayoutCmpCalc", cat, "Обновить", "", "Построить списки сравнения", [this] { RefreshLists(true); },
             canBuild);
  const char* filters = "Фильтры";
  AddCommand(t, "LayoutFilter_Include", filters, "Оставить выделенные", "",
             "Оставить в списке комбинации, имеющие выделенные номера", [this] { Filter(false); },
             [this] { return FilterEnabled(); });
  AddCommand(t, "LayoutFilter_Exclude", filters, "Удалить выделенные", "",
             "Удалить из списка комбинации, имеющие выделенные номера", [this] { Filter(true); },
             [this] { return FilterEnabled(); });
  AddCommand(t, "ViewShemaGradient", "Вид", "Градиентная раскраска схемы", "", "Градиентная раскраска схемы",
             [this, &ws] {
               W_.RunHere([&ws] { ws.ViewShemaGradient(); });
               Model_->SetGradient(ws.Window().LayoutGradient);
               View_->viewport()->update();
             },
             [this] { return Shown(); }, [&ws] { return ws.Window().LayoutGradient; });
  AddCommand(t, "TabLayout", "Вид", "Вкладка \"Схема\"", "", "Вкладка \"Схема\"",
             [this, &ws] {
               W_.RunHere([&ws] { ws.TabLayout(); });
               ApplyVisibility();
               if (Shown()) W_.RightPages()->setCurrentWidget(this);
             },
             {}, [this] { return Shown(); });
  t.SetPopup(View_, {QStringLiteral("LayoutFilter_Include"), QStringLiteral("LayoutFilter_Exclude"),
                     QStringLiteral("|"), QStringLiteral("LayoutCalc"), QStringLiteral("|"),
                     QStringLiteral("LayoutXlsExport"), QStringLiteral("|"), QStringLiteral("ViewShemaGradient")});
  for (QTableView* list : Lists_) t.SetPopup(list, {QStringLiteral("LayoutCmpCalc")});
  Model_->SetGradient(ws.Window().LayoutGradient);
}

bool TLayoutTab::Shown() const { return W_.Workspace().Window().TabLayout; }

bool TLayoutTab::FilterEnabled() const {
  TGridRect rect;
  return Shown() && W_.Workspace().Combs().Count() > 0 && SelectedGridRect(View_->selectionModel(), rect) &&
         GridFilterEnabled(rect);
}

void TLayoutTab::ApplyVisibility() {
  ShowRightTab(W_, this, Shown());
  if (Shown()) Refresh(true);
}

void TLayoutTab::RefreshLayout(bool force) {
  if (!Shown() || W_.Busy()) return;
  TWorkspace& ws = W_.Workspace();
  Model_->SetGradient(ws.Window().LayoutGradient);
  if (Keys_.Layout(ws.Archive().Count(), ws.DrawsOffset(), LengthSpin_->value(), force)) {
    TLayoutGrid grid;
    if (W_.RunHere([&] { grid = ws.BuildLayout(LengthSpin_->value()); })) {
      Model_->SetGrid(std::move(grid));
      FitColumns();
    }
  }
  View_->viewport()->update();
}

void TLayoutTab::RefreshLists(bool force) {
  if (!Shown() || W_.Busy()) return;
  TWorkspace& ws = W_.Workspace();
  if (!Keys_.CompareLists(ws.Archive().Count(), ws.DrawsOffset(), force)) return;
  TCompareLengths lengths{};
  for (int k = 0; k < CompareListCount; ++k) lengths[static_cast<size_t>(k)] = ListSpins_[static_cast<size_t>(k)]->value();
  TCompareLists lists;
  if (!W_.RunHere([&] { lists = ws.BuildCompareLists(lengths); })) return;
  for (int k = 0; k < CompareListCount; ++k)
    ListModels_[static_cast<size_t>(k)]->SetList(std::move(lists[static_cast<size_t>(k)]));
}

void TLayoutTab::FitColumns() {
  // Each column as wide as its widest text + 10, at least the default.
  const QFontMetrics fm = View_->fontMetrics();
  const TLayoutGrid& grid = Model_->Grid();
  for (int c = 1; c < grid.ColumnCount(); ++c) {
    int width = LayoutColumnWidth;
    for (int r = 0; r < grid.RowCount(); ++r) {
      const std::string& text = grid.CellText(r, c);
      if (!text.empty()) width = std::max(width, fm.horizontalAdvance(QString::fromUtf8(text.c_str())) + LayoutTextMargin);
    }
    View_->setColumnWidth(c - 1, width);
  }
}

void TLayoutTab::FitLists() {
  const int width = ListsSplitter_->width();
  const int part = width / CompareListCount - ListsSplitter_->handleWidth();
  QList<int> sizes;
  for (int k = 0; k < CompareListCount - 1; ++k) sizes.push_back(std::max(1, part));
  sizes.push_back(std::max(1, width - (CompareListCount - 1) * (part + ListsSplitter_->handleWidth())));
  ListsSplitter_->setSizes(sizes);
}

bool TLayoutTab::eventFilter(QObject* watched, QEvent* event) {
  if (watched == Panel_ && event->type() == QEvent::Resize) {
    FitLists();
    if (!HeightApplied_ && Splitter_->height() > 0) {
      // The stored panel height once the tab has its real size.
      HeightApplied_ = true;
      const int panel = W_.Workspace().ViewLengths().LayoutCompareHeight;
      Splitter_->setSizes({std::max(1, Splitter_->height() - panel), panel});
    }
  }
  return QWidget::eventFilter(watched, event);
}

void TLayoutTab::StoreLengths() {
  TWorkspace& ws = W_.Workspace();
  TWorkspace::TViewLengths l = ws.ViewLengths();
  l.LayoutLen = LengthSpin_->value();
  for (int k = 0; k < CompareListCount; ++k) l.Compare[static_cast<size_t>(k)] = ListSpins_[static_cast<size_t>(k)]->value();
  if (HeightApplied_) {
    const QList<int> sizes = Splitter_->sizes();
    if (sizes.size() == 2) l.LayoutCompareHeight = sizes[1];
  }
  ws.SetViewLengths(l);
}

void TLayoutTab::RestoreLists() {
  for (int k = 0; k < CompareListCount; ++k) {
    QTableView* list = Lists_[static_cast<size_t>(k)];
    TListColumns columns;
    columns.Widths = {list->columnWidth(0), list->columnWidth(1)};
    columns.Sort = std::array<int32_t, 2>{0, 1};
    try {
      W_.Workspace().ReadListColumns(list->objectName().toStdString(), columns);
    } catch (const std::exception&) {
      continue;  // read errors of this file were reported at start-up
    }
    list->setColumnWidth(0, std::max(1, columns.Widths[0]));
    const int column = (*columns.Sort)[0];
    if (column >= 0 && column < 2)
      list->sortByColumn(column, (*columns.Sort)[1] != 0 ? Qt::DescendingOrder : Qt::AscendingOrder);
  }
}

void TLayoutTab::SaveLists() {
  std::vector<std::pair<std::string, TListColumns>> lists;
  for (QTableView* list : Lists_) {
    TListColumns columns;
    columns.Widths = {list->columnWidth(0), list->columnWidth(1)};
    const QHeaderView* h = list->horizontalHeader();
    columns.Sort = std::array<int32_t, 2>{h->sortIndicatorSection(), h->sortIndicatorOrder() == Qt::DescendingOrder};
    lists.emplace_back(list->objectName().toStdString(), columns);
  }
  W_.RunHere([&] { W_.Workspace().SaveListsColumns(lists); });
}

void TLayoutTab::Filter(bool del) {
  TGridRect rect;
  if (!SelectedGridRect(View_->selectionModel(), rect)) return;
  TWorkspace& ws = W_.Workspace();
  auto grid = std::make_shared<TLayoutGrid>(Model_->Grid());
  W_.RunLong([&ws, grid, rect, del] {
    if (del)
      ws.LayoutFilter_Exclude(*grid, rect);
    else
      ws.LayoutFilter_Include(*grid, rect);
  });
}

}  // namespace vexa::gui

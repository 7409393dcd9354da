#include "tabs/card_tab.h"

#include <QHeaderView>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>

#include "models/view_grid_models.h"
#include "shell/main_window.h"
#include "tabs/tab_tools.h"
#include "tabs/view_tabs.h"
#include "views/view_refresh.h"
#include "workspace/workspace.h"

namespace vexa::gui {
namespace {

// Fills a cell in its card colour and writes its number centred, 2 pixels
// below the top; a cell never goes through the style's item painting,
// which would cost more than the grid of a screenful allows.
class TCardDelegate : public QStyledItemDelegate {
 public:
  TCardDelegate(const TCardModel& model, QObject* parent) : QStyledItemDelegate(parent), Model_(model) {}

  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    const bool selected = (option.state & QStyle::State_Selected) != 0 || (option.state & QStyle::State_HasFocus) != 0;
    QColor fill;
    if (selected) {
      fill = option.palette.color(QPalette::Highlight);
    } else {
      fill = Model_.CellFill(index.row(), index.column());
      if (!fill.isValid()) fill = option.palette.color(QPalette::Base);
    }
    painter->fillRect(option.rect, fill);
    const QString& text = Model_.CellString(index.row(), index.column());
    if (text.isEmpty()) return;
    painter->setPen(option.palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
    painter->drawText(option.rect.adjusted(0, 2, 0, 0), Qt::AlignHCenter | Qt::AlignTop, text);
  }

 private:
  const TCardModel& Model_;
};

}  // namespace

TCardTab::TCardTab(TMainWindow& window, QWidget* parent)
    : QWidget(parent), W_(window), Model_(new TCardModel(this)), View_(new QTableView(this)) {
  setObjectName(QStringLiteral("tsCard"));
  View_->setObjectName(QStringLiteral("sgCard"));
  View_->setModel(Model_);
  View_->setItemDelegate(new TCardDelegate(*Model_, View_));
  View_->setSelectionMode(QAbstractItemView::ContiguousSelection);
  View_->setSelectionBehavior(QAbstractItemView::SelectItems);
  View_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  View_->setWordWrap(false);
  View_->setCornerButtonEnabled(false);
  for (QHeaderView* h : {View_->horizontalHeader(), View_->verticalHeader()}) {
    h->setSectionResizeMode(QHeaderView::Fixed);
    // The minimum first: the style's own would keep the cells wider.
    h->setMinimumSectionSize(CardCellSize);
    h->setDefaultSectionSize(CardCellSize);
    h->setHighlightSections(false);
    h->setDefaultAlignment(Qt::AlignCenter);
  }
  // Column 0 (the draw number) as wide as the draws list's first column.
  View_->verticalHeader()->setFixedWidth(W_.DrawsView()->columnWidth(0));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(2, 2, 2, 2);
  layout->setSpacing(2);
  layout->addWidget(CommandBar(W_, this,
                               {{"CardFilter_Include", "Оставить выделенные"},
                                {"CardFilter_Exclude", "Удалить выделенные"}}));
  layout->addWidget(View_, 1);
  connect(View_->selectionModel(), &QItemSelectionModel::selectionChanged, &W_, &TMainWindow::UpdateActions);
}

void TCardTab::RegisterCommands() {
  TWorkspace& ws = W_.Workspace();
  TCommandTable& t = W_.Commands();
  const char* filters = "Фильтры";
  AddCommand(t, "CardFilter_Include", filters, "Оставить выделенные", "",
             "Оставить в списке комбинации, имеющие выделенные номера", [this] { Filter(false); },
             [this] { return FilterEnabled(); });
  AddCommand(t, "CardFilter_Exclude", filters, "Удалить выделенные", "",
             "Удалить из списка комбинации, имеющие выделенные номера", [this] { Filter(true); },
             [this] { return FilterEnabled(); });
  const char* view = "Вид";
  AddCommand(t, "ViewColorCard", view, "Выделять каналы в карте тиражей", "", "Выделять каналы в карте тиражей",
             [this, &ws] {
               W_.RunHere([&ws] { ws.ViewColorCard(); });
               Refresh(false);
             },
             [this] { return Shown(); }, [&ws] { return ws.Window().ColorCard; });
  AddCommand(t, "ViewColorCardSequences", view, "Выделять последовательности в карте тиражей", "",
             "Выделять последовательности в карте тиражей",
             [this, &ws] {
               W_.RunHere([&ws] { ws.ViewColorCardSequences(); });
               Refresh(false);
             },
             [this] { return Shown(); }, [&ws] { return ws.Window().ColorCardSequences; });
  AddCommand(t, "TabCard", view, "Вкладка \"Карта\"", "", "Вкладка \"Карта\"",
             [this, &ws] {
               W_.RunHere([&ws] { ws.TabCard(); });
               ApplyVisibility();
               if (Shown()) W_.RightPages()->setCurrentWidget(this);
             },
             {}, [this] { return Shown(); });
  t.SetPopup(View_, {QStringLiteral("CardFilter_Include"), QStringLiteral("CardFilter_Exclude"), QStringLiteral("|"),
                     QStringLiteral("CardXlsExport"), QStringLiteral("|"), QStringLiteral("ViewColorCard"),
                     QStringLiteral("ViewColorCardSequences")});
}

bool TCardTab::Shown() const { return W_.Workspace().Window().TabCard; }

bool TCardTab::FilterEnabled() const {
  TGridRect rect;
  return Shown() && W_.Workspace().Combs().Count() > 0 && SelectedGridRect(View_->selectionModel(), rect) &&
         GridFilterEnabled(rect);
}

void TCardTab::ApplyVisibility() {
  ShowRightTab(W_, this, Shown());
  if (Shown()) Refresh(true);
}

void TCardTab::Refresh(bool force) {
  if (!Shown() || W_.Busy()) return;
  TWorkspace& ws = W_.Workspace();
  Model_->SetOptions(ws.CardColorOptions());
  if (force || !TViewRefresh::CardCurrent(Model_->Card(), ws.Archive().Count())) {
    TDrawsCard card;
    if (W_.RunHere([&] { card = ws.BuildCard(); })) Model_->SetCard(std::move(card));
  }
  View_->viewport()->update();
}

void TCardTab::Filter(bool del) {
  TGridRect rect;
  if (!SelectedGridRect(View_->selectionModel(), rect)) return;
  TWorkspace& ws = W_.Workspace();
  // The worker filters over a copy: the grid keeps painting its own.
  auto card = std::make_shared<TDrawsCard>(Model_->Card());
  W_.RunLong([&ws, card, rect, del] {
    if (del)
      ws.CardFilter_Exclude(*card, rect);
    else
      ws.CardFilter_Include(*card, rect);
  });
}

}  // namespace vexa::gui

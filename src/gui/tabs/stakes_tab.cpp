#include "tabs/stakes_tab.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPainter>
#include <QRandomGenerator>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QVBoxLayout>

#include "core/error.h"
#include "dialogs/graph_window.h"
#include "dialogs/stake_dialogs.h"
#include "models/draws_model.h"
#include "models/stakes_model.h"
#include "shell/main_window.h"
#include "shell/message_boxes.h"
#include "shell/qt_user_interface.h"
#include "shell/worker.h"
#include "stakes/stake_graphs.h"
#include "tabs/tab_tools.h"
#include "workspace/workspace.h"

namespace vexa::gui {
namespace {

// Columns 2 and 4: each number apart, three pixels between, the matched
// ones bold and blue.
class TNumbersDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;

  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    const QVariant nums = index.data(TStakesModel::NumbersRole);
    if (!nums.isValid()) {
      QStyledItemDelegate::paint(painter, option, index);
      return;
    }
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    opt.text.clear();
    opt.widget->style()->drawControl(QStyle::CE_ItemViewItem, &opt, painter, opt.widget);
    const QVariantList list = nums.toList();
    const QVariantList matched = index.data(TStakesModel::MatchedRole).toList();
    QFont bold = opt.font;
    bold.setBold(true);
    const QFontMetrics normalFm(opt.font), boldFm(bold);
    int width = 0;
    for (const QVariant& n : list) {
      const QString t = QString::number(n.toInt());
      width += (matched.contains(n) ? boldFm : normalFm).horizontalAdvance(t) + 3;
    }
    int x = opt.rect.left() + std::max(2, (opt.rect.width() - width + 3) / 2);
    const bool selected = (opt.state & QStyle::State_Selected) != 0;
    painter->save();
    for (const QVariant& n : list) {
      const bool hit = matched.contains(n);
      const QString t = QString::number(n.toInt());
      painter->setFont(hit ? bold : opt.font);
      painter->setPen(hit ? FromBgr(0xFF0000)
                          : opt.palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
      const int w = (hit ? boldFm : normalFm).horizontalAdvance(t);
      painter->drawText(QRect(x, opt.rect.top(), w, opt.rect.height()), Qt::AlignVCenter | Qt::AlignLeft, t);
      x += w + 3;
    }
    painter->restore();
  }
};

}  // namespace

TStakesTab::TStakesTab(TMainWindow& window, TQtUserInterface& ui, QWidget* parent) : QWidget(parent), W_(window) {
  setObjectName(QStringLiteral("tsStakes"));
  TWorkspace& ws = W_.Workspace();
  Model_ = new TStakesModel(ws.Stakes(), [this] { return !W_.Worker().Running(); }, this);
  View_ = new QTableView(this);
  View_->setObjectName(QStringLiteral("sgStakes"));
  SetupTabList(View_, Model_, StakeGridWidths.data(), TStakesModel::ColumnCount);
  View_->setShowGrid(true);
  View_->horizontalHeader()->setStretchLastSection(true);
  View_->setItemDelegateForColumn(2, new TNumbersDelegate(View_));
  View_->setItemDelegateForColumn(4, new TNumbersDelegate(View_));
  connect(View_->selectionModel(), &QItemSelectionModel::selectionChanged, &W_, &TMainWindow::UpdateActions);
  connect(&ui, &TQtUserInterface::DataChanged, this, [this](unsigned what) {
    if ((what & ChangeStakes) != 0 && !W_.Worker().Running()) Refresh();
  });
  connect(&W_.Worker(), &TWorker::RunningChanged, this, [this](bool running) {
    if (!running) Refresh();
  });
  // A double click on the combinations list stakes the clicked combination.
  connect(W_.CombsView(), &QTableView::doubleClicked, this, [this] {
    W_.Commands().Trigger(QStringLiteral("StakeAdd"));
    W_.UpdateActions();
  });
}

void TStakesTab::RegisterCommands() {
  TCommandTable& t = W_.Commands();
  TWorkspace& ws = W_.Workspace();
  const char* cat = "Ставки";
  auto open = [&ws] { return ws.Stakes().IsOpen(); };
  auto combs = [&ws] { return ws.Stakes().IsOpen() && ws.Combs().Count() > 0; };
  auto full = [&ws] { return !ws.Stakes().Empty(); };
  AddCommand(t, "StakeAdd", cat, "Сделать ставку", "F4",
             "Добавить текущую комбинацию в список ставок с возможностью ручного ввода", [this] { Add(false); }, open);
  AddCommand(t, "StakeAddRandom", cat, "Сделать случайную ставку", "Ctrl+F4", "Сделать случайную ставку",
             [this] { Add(true); }, combs);
  AddCommand(t, "StakeAddSelected", cat, "Сделать ставки для выделенных комбинаций", "Alt+F4",
             "Сделать ставки для выделенных комбинаций", [this] { AddMulti(true); },
             [this, &ws] { return ws.Stakes().IsOpen() && ws.Combs().Count() > 0 && W_.HasSelection(W_.CombsView()); });
  AddCommand(t, "StakeAddAll", cat, "Сделать ставки для всех комбинаций", "Ctrl+Alt+F4",
             "Сделать ставки для всех комбинаций", [this] { AddMulti(false); }, combs);
  AddCommand(t, "StakeDel", cat, "Удалить ставку", "Ctrl+Del", "Удалить выделенные ставки", [this] { Delete(); },
             [this, &ws] { return !ws.Stakes().Empty() && W_.HasSelection(View_); });
  AddCommand(t, "StakeFilter", cat, "Удалить по условию", "Alt+D", "Удалить ставки по условию",
             [this] { DeleteWhere(); }, full);
  AddCommand(t, "StakeClear", cat, "Удалить все ставки", "Ctrl+Shift+Del", "Удалить все ставки",
             [this, &ws] { W_.RunLong([&ws] { ws.StakeClear(); }); }, full);
  AddCommand(t, "StakesCheckManual", cat, "Проверить ставки", "Ctrl+F5", "Проверить ставки",
             [this, &ws] { W_.RunLong([&ws] { ws.StakesCheckManual(); }); }, full);
  AddCommand(t, "StakesGraphDraws", cat, "Суммарный профит по тиражам", "F6", StakesGraphDrawsCaption,
             [this, &ws] {
               std::vector<TGraphSeries> series;
               if (W_.RunHere([&] { series = StakesGraphDraws(ws.Stakes()); }))
                 TStakesGraphWindow::Show(U8(StakesGraphDrawsCaption), series, &W_);
             },
             full);
  AddCommand(t, "LogStakes", cat, "Журналы ставок", "", "Журналы ставок",
             [this, &ws] { W_.RunHere([&] { ws.LogStakes(); }); }, {},
             [&ws] { return ws.Window().StakesLogEnabled; });
  AddCommand(t, "LogStakesDelete", cat, "Удалить журналы ставок", "", "Удалить журналы ставок",
             [this, &ws] { W_.RunHere([&] { ws.LogStakesDelete(); }); });
  AddCommand(t, "StakesScroll", cat, "Прокручивать список при добавлении", "", "Прокручивать список при добавлении",
             [this, &ws] { W_.RunHere([&] { ws.StakesScroll(); }); }, {},
             [&ws] { return ws.Window().StakesScrollEnabled; });

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(2, 2, 2, 2);
  layout->setSpacing(2);
  layout->addWidget(CommandBar(W_, this,
                    {{"StakeAdd", "Ставка"}, {"StakeAddRandom", "Случайная"}, {"StakeAddSelected", "Выделенные"},
                     {"StakeAddAll", "Все"}, {"StakeDel", "Удалить"}, {"StakeFilter", "По условию"},
                     {"StakeClear", "Удалить все"}, {"StakesCheckManual", "Проверить"},
                     {"StakesGraphDraws", "График"}}));
  layout->addWidget(View_, 1);
  t.SetPopup(View_, {QStringLiteral("StakeAdd"), QStringLiteral("StakeAddSelected"), QStringLiteral("|"),
                     QStringLiteral("StakeDel"), QStringLiteral("StakeFilter"), QStringLiteral("StakeClear"),
                     QStringLiteral("|"), QStringLiteral("StakesCheckManual")});
}

void TStakesTab::Refresh() {
  const int before = Model_->rowCount();
  Model_->Refresh();
  const int after = Model_->rowCount();
  if (after > before && W_.Workspace().Window().StakesScrollEnabled) View_->scrollToBottom();
  // Read the rows on screen now: while the next operation runs the grid reads nothing.
  const int top = View_->rowAt(0);
  Model_->Record(top >= 0 ? top : (after > before ? after - 1 : 0));
}

void TStakesTab::Add(bool random) {
  TWorkspace& ws = W_.Workspace();
  const TComb* comb = nullptr;
  const int count = ws.Combs().Count();
  if (random && count > 0) {
    comb = &ws.Combs()[static_cast<int>(QRandomGenerator::global()->bounded(count))];
  } else if (count > 0 && W_.CombsView()->currentIndex().isValid()) {
    comb = &ws.Combs()[W_.CombsView()->currentIndex().row()];
  }
  TStakeRec prefilled;
  if (!W_.RunHere([&] { prefilled = ws.StakePrefill(comb); })) return;
  TStakeDialog dialog(prefilled,
                      [this, &ws, prefilled](const TManualStakeInput& in) {
                        TStakeInputCheck check;
                        if (!W_.RunHere([&] { check = ws.StakeAdd(prefilled, in); }))
                          check.Message.clear();
                        return check;
                      },
                      this);
  dialog.exec();
  Refresh();
}

void TStakesTab::AddMulti(bool selected) {
  TWorkspace& ws = W_.Workspace();
  TMultiStakeDialog dialog(ws.Archive().NextDrawNumber(ws.DrawsOffset()), this);
  if (dialog.exec() != QDialog::Accepted) return;
  TCombsArray combs;
  if (selected) {
    for (int row : W_.SelectedRows(W_.CombsView())) combs.push_back(ws.Combs()[row]);
  } else {
    combs.reserve(static_cast<size_t>(ws.Combs().Count()));
    for (int i = 0; i < ws.Combs().Count(); ++i) combs.push_back(ws.Combs()[i]);
  }
  if (selected) W_.CombsView()->clearSelection();
  const TMultiStakeInput input = dialog.Read();
  W_.RunLong([&ws, combs = std::move(combs), input] {
    const TStakeInputCheck check = ws.StakeAddMulti(combs, input);
    if (!check.Message.empty()) throw EVexaError(check.Message);
  });
}

void TStakesTab::Delete() {
  TWorkspace& ws = W_.Workspace();
  const std::vector<int> rows = W_.SelectedRows(View_);
  W_.RunLong([&ws, rows] { ws.StakeDel(rows); });
  View_->clearSelection();
}

void TStakesTab::DeleteWhere() {
  TWorkspace& ws = W_.Workspace();
  TStakeFilterDialog dialog(this);
  if (dialog.exec() != QDialog::Accepted) return;
  const TStakeCondition condition = dialog.Condition();
  const int value = dialog.Value();
  W_.RunLong([&ws, condition, value] { ws.StakeFilter(condition, value); });
}

}  // namespace vexa::gui

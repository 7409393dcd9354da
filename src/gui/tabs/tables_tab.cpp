#include "tabs/tables_tab.h"

#include <QHBoxLayout>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>

#include "dialogs/stake_dialogs.h"
#include "dialogs/table_dialog.h"
#include "dialogs/test_count_dialog.h"
#include "shell/main_window.h"
#include "shell/message_boxes.h"
#include "shell/qt_user_interface.h"
#include "shell/worker.h"
#include "stakes/tables.h"
#include "tabs/tab_tools.h"
#include "workspace/workspace.h"

namespace vexa::gui {
namespace {

const int TableWidths[TableColumns] = {200, 140, 50, 140, 60};

}  // namespace

int TTablesModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : static_cast<int>(Rows_.size()); }
int TTablesModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : TableColumns; }

QVariant TTablesModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || role != Qt::DisplayRole || index.row() >= rowCount()) return {};
  return Rows_[static_cast<size_t>(index.row())].value(index.column());
}

QVariant TTablesModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= TableColumns) return {};
  return U8(TableColumnCaptions[static_cast<size_t>(section)]);
}

void TTablesModel::Refresh(const TWorkspace& ws) {
  beginResetModel();
  Rows_.clear();
  for (const TTableRec& t : ws.Tables()) {
    QStringList cells;
    for (const std::string& c : TableRow(t)) cells << U8(c);
    Rows_.push_back(std::move(cells));
  }
  endResetModel();
}

TTablesTab::TTablesTab(TMainWindow& window, TQtUserInterface& ui, QWidget* parent) : QWidget(parent), W_(window) {
  setObjectName(QStringLiteral("tsTables"));
  Model_ = new TTablesModel(this);
  View_ = new QTableView(this);
  View_->setObjectName(QStringLiteral("lvTables"));
  SetupTabList(View_, Model_, TableWidths, TableColumns);
  connect(View_->selectionModel(), &QItemSelectionModel::selectionChanged, &W_, &TMainWindow::UpdateActions);
  connect(View_->selectionModel(), &QItemSelectionModel::currentChanged, &W_, &TMainWindow::UpdateActions);
  connect(&ui, &TQtUserInterface::DataChanged, this, [this](unsigned what) {
    if ((what & (ChangeTables | ChangeSettings)) != 0 && !W_.Worker().Running()) Refresh();
  });
  connect(&W_.Worker(), &TWorker::RunningChanged, this, [this](bool running) {
    if (!running) Refresh();
  });
}

void TTablesTab::RegisterCommands() {
  TCommandTable& t = W_.Commands();
  TWorkspace& ws = W_.Workspace();
  const char* cat = "Регуляры";
  auto shown = [&ws] { return ws.Window().TabTables; };
  AddCommand(t, "TablesAdd", cat, "Добавить регулярную ставку", "", "Добавить регулярную ставку", [this] { Add(); },
             shown);
  AddCommand(t, "TablesDel", cat, "Удалить регулярную ставку", "", "Удалить регулярную ставку",
             [this, &ws] {
               const std::vector<int> rows = W_.SelectedRows(View_);
               W_.RunHere([&] { ws.TablesDel(rows); });
               View_->clearSelection();
               Refresh();
             },
             [this, shown] { return shown() && W_.HasSelection(View_); });
  AddCommand(t, "TablesStakeAdd", cat, "Сделать ставку по регуляру", "", "Сделать ставку по регуляру",
             [this] { StakeAdd(); }, [this, shown] { return shown() && FocusedRow(View_) >= 0; });
  AddCommand(t, "TablesStakeTest", cat, "Тест регуляров", "", "Тест регуляров", [this] { StakeTest(); },
             [this, shown] { return shown() && W_.HasSelection(View_); });
  AddCommand(t, "TabTables", "Вид", "Вкладка \"Регуляры\"", "", "Вкладка \"Регуляры\"",
             [this, &ws] {
               W_.RunHere([&] { ws.TabTables(); });
               ApplyVisibility();
               if (ws.Window().TabTables) W_.RightPages()->setCurrentWidget(this);
             },
             {}, shown);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(2, 2, 2, 2);
  layout->setSpacing(2);
  layout->addWidget(CommandBar(W_, this,
                    {{"TablesAdd", "Добавить"}, {"TablesDel", "Удалить"}, {"TablesStakeAdd", "Ставка"},
                     {"TablesStakeTest", "Тест"}}));
  layout->addWidget(View_, 1);
  t.SetPopup(View_, {QStringLiteral("TablesAdd"), QStringLiteral("TablesDel"), QStringLiteral("|"),
                     QStringLiteral("TablesStakeAdd"), QStringLiteral("TablesStakeTest")});
}

void TTablesTab::Refresh() {
  if (W_.Worker().Running()) return;
  Model_->Refresh(W_.Workspace());
}

void TTablesTab::ApplyVisibility() {
  QTabWidget* pages = W_.RightPages();
  const int index = pages->indexOf(this);
  if (index >= 0) pages->setTabVisible(index, W_.Workspace().Window().TabTables);
  Refresh();
}

void TTablesTab::Add() {
  TWorkspace& ws = W_.Workspace();
  const std::vector<int> rows = W_.SelectedRows(W_.CombsView());
  TCombsArray selected;
  for (int r : rows) selected.push_back(ws.Combs()[r]);
  QString start;
  if (selected.size() == 1) {
    QStringList words;
    for (uint8_t n : selected[0]) words << QString::number(n);
    start = words.join(QLatin1Char(';'));
  }
  TTableDialog dialog(start, static_cast<int>(selected.size()),
                      [this, &ws, &selected, &rows](const TTableInput& in) {
                        TTableInputCheck check;
                        if (!W_.RunHere([&] { check = ws.TablesAdd(in, selected, rows); })) check.Message.clear();
                        return check;
                      },
                      this);
  dialog.exec();
  Refresh();
}

void TTablesTab::StakeAdd() {
  TWorkspace& ws = W_.Workspace();
  const int index = FocusedRow(View_);
  TWorkspace::TTableStakeDraft draft;
  if (!W_.RunHere([&] { draft = ws.TablesStakePrepare(index); })) return;
  TStakeDialog dialog(draft.Stake,
                      [this, &ws, &draft](const TManualStakeInput& in) {
                        TStakeInputCheck check;
                        if (!W_.RunHere([&] { check = ws.TablesStakeAdd(draft, in); })) check.Message.clear();
                        return check;
                      },
                      this);
  dialog.exec();
  Refresh();
}

void TTablesTab::StakeTest() {
  TWorkspace& ws = W_.Workspace();
  const int n = TTestCountDialog::Ask(ws.Archive().Count() - 1, this);
  if (n == 0) return;
  const std::vector<int> rows = W_.SelectedRows(View_);
  W_.RunLong([&ws, rows, n] { ws.TablesStakeTest(rows, n); });
}

}  // namespace vexa::gui

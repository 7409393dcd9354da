#include "tabs/systems_tab.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>

#include <memory>

#include "core/error.h"
#include "dialogs/stake_dialogs.h"
#include "dialogs/system_dialog.h"
#include "models/systems_model.h"
#include "shell/main_window.h"
#include "shell/message_boxes.h"
#include "shell/qt_user_interface.h"
#include "shell/worker.h"
#include "tabs/online_tools.h"
#include "tabs/tab_tools.h"
#include "workspace/workspace.h"

namespace vexa::gui {

TSystemsTab::TSystemsTab(TMainWindow& window, TQtUserInterface& ui, QWidget* parent) : QWidget(parent), W_(window) {
  setObjectName(QStringLiteral("tsSystems"));
  Model_ = new TSystemsModel(this);
  View_ = new QTableView(this);
  View_->setObjectName(QStringLiteral("lvSystems"));
  SetupTabList(View_, Model_, TSystemsModel::DefaultWidths, TSystemsModel::ColumnCount);
  View_->horizontalHeader()->setSortIndicatorShown(true);
  View_->horizontalHeader()->setSectionsClickable(true);
  Model_->SetSort(TSystemsModel::NumsColumn, false);
  View_->horizontalHeader()->setSortIndicator(TSystemsModel::NumsColumn, Qt::AscendingOrder);
  connect(View_->horizontalHeader(), &QHeaderView::sectionClicked, this, [this](int column) {
    const bool descending = column == Model_->SortColumn() ? !Model_->SortDescending() : false;
    Model_->SetSort(column, descending);
    View_->horizontalHeader()->setSortIndicator(column, descending ? Qt::DescendingOrder : Qt::AscendingOrder);
  });
  connect(View_, &QTableView::doubleClicked, this, [this] {
    W_.Commands().Trigger(QStringLiteral("SystemsProp"));
    W_.UpdateActions();
  });
  connect(View_->selectionModel(), &QItemSelectionModel::selectionChanged, &W_, &TMainWindow::UpdateActions);
  connect(View_->selectionModel(), &QItemSelectionModel::currentChanged, &W_, &TMainWindow::UpdateActions);
  connect(&ui, &TQtUserInterface::DataChanged, this, [this](unsigned what) {
    if ((what & (ChangeSystems | ChangeSettings)) != 0 && !W_.Worker().Running()) Refresh();
  });
  connect(&W_.Worker(), &TWorker::RunningChanged, this, [this](bool running) {
    if (!running) Refresh();
  });
}

bool TSystemsTab::Shown() const { return W_.Workspace().Window().SystemsEnabled; }

void TSystemsTab::RegisterCommands() {
  TCommandTable& t = W_.Commands();
  TWorkspace& ws = W_.Workspace();
  const char* cat = "Системы";
  auto shown = [this] { return Shown(); };
  auto selected = [this] { return Shown() && !SelectedIds().empty(); };
  AddCommand(t, "SystemsOn", cat, "Системная игра", "Ctrl+J", "Включить или выключить список систем",
             [this, &ws] {
               W_.RunLong([&ws] { ws.SystemsOn(); },
                          [this, &ws] {
                            ApplyVisibility();
                            if (ws.Window().SystemsEnabled) W_.RightPages()->setCurrentWidget(this);
                          });
             },
             {}, shown);
  AddCommand(t, "SystemsRefresh", cat, "Обновить", "", "Обновить список систем", [this] { Reload(); }, shown);
  AddCommand(t, "SystemsDownload", cat, "Загрузить", "", "Загрузить выделенные системы на компьютер",
             [this] { Download(); }, selected);
  AddCommand(t, "SystemsAdd", cat, "Добавить", "", "Опубликовать новую систему", [this] { Add(); }, shown);
  AddCommand(t, "SystemsProp", cat, "Свойства", "", "Свойства выделенной системы", [this] { Properties(); },
             [this] { return Shown() && FocusedRow(View_) >= 0 && Model_->IdAt(FocusedRow(View_)) != -1; });
  AddCommand(t, "SystemsDel", cat, "Удалить", "", "Удалить выделенную систему из каталога", [this] { Delete(); },
             // Enabled for any system: someone else's gets the engine's refusal
             // instead of a grey button without a reason.
             [this] { return Shown() && Model_->IdAt(FocusedRow(View_)) != -1; });
  auto playable = [&ws] { return ws.Window().SystemsEnabled && ws.Combs().Count() > 0 && ws.Stakes().IsOpen(); };
  AddCommand(t, "SystemStakeAll", "Ставки", "Cистемная игра по списку системы", "Ctrl+Alt+J",
             "Cистемная игра по списку системы", [this] { Play(false); }, playable);
  AddCommand(t, "SystemStakeFilter", "Ставки", "Cистемная игра по списку комбинаций", "Alt+J",
             "Cистемная игра по списку комбинаций", [this] { Play(true); }, playable);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(2, 2, 2, 2);
  layout->setSpacing(2);
  QWidget* bar = CommandBar(W_, this,
                            {{"SystemsRefresh", "Обновить"}, {"SystemsDownload", "Загрузить"}, {"SystemsAdd", "Добавить"},
                             {"SystemsProp", "Свойства"}, {"SystemsDel", "Удалить"}});
  bar->setObjectName(QStringLiteral("pnlSystems"));
  layout->addWidget(bar);
  layout->addWidget(View_, 1);
  t.SetPopup(View_, {QStringLiteral("SystemsDownload"), QStringLiteral("|"), QStringLiteral("SystemsRefresh"),
                     QStringLiteral("|"), QStringLiteral("SystemsAdd"), QStringLiteral("SystemsProp"),
                     QStringLiteral("SystemsDel"), QStringLiteral("|"), QStringLiteral("SystemStakeAll"),
                     QStringLiteral("SystemStakeFilter")});
  KeepListColumns(W_, "lvSystems", View_, Model_, {5, 8});
  Refresh();
}

std::vector<int32_t> TSystemsTab::SelectedIds() const {
  std::vector<int32_t> ids;
  for (int row : W_.SelectedRows(View_)) {
    const int32_t id = Model_->IdAt(row);
    if (id != -1) ids.push_back(id);
  }
  return ids;
}

void TSystemsTab::SelectIds(const std::vector<int32_t>& ids, int32_t focus) {
  QItemSelectionModel* sm = View_->selectionModel();
  const QSignalBlocker block(sm);
  sm->clearSelection();
  const int focusRow = Model_->ViewRowOf(focus);
  if (focusRow >= 0)
    sm->setCurrentIndex(Model_->index(focusRow, 0), QItemSelectionModel::NoUpdate);
  for (int32_t id : ids) {
    const int row = Model_->ViewRowOf(id);
    if (row >= 0) sm->select(Model_->index(row, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
  }
  if (focusRow >= 0) View_->scrollTo(Model_->index(focusRow, 0));
  View_->viewport()->update();
}

void TSystemsTab::Refresh() {
  if (W_.Worker().Running()) return;
  const std::vector<int32_t> ids = SelectedIds();
  const int32_t focus = Model_->IdAt(FocusedRow(View_));
  Model_->SetSystems(W_.Workspace().Systems());
  SelectIds(ids, focus);
  W_.UpdateActions();
}

void TSystemsTab::ApplyVisibility() {
  const bool shown = Shown();
  QTabWidget* pages = W_.RightPages();
  const int index = pages->indexOf(this);
  if (index >= 0) pages->setTabVisible(index, shown);
  for (const char* id : {"SystemStakeAll", "SystemStakeFilter"})
    if (QAction* a = W_.Commands().Action(QString::fromLatin1(id))) a->setVisible(shown);
  Refresh();
}

void TSystemsTab::Reload() {
  TWorkspace& ws = W_.Workspace();
  W_.RunLong([&ws] { ws.SystemsRefresh(); });
}

void TSystemsTab::Download() {
  TWorkspace& ws = W_.Workspace();
  const std::vector<int32_t> ids = SelectedIds();
  const int32_t focus = Model_->IdAt(FocusedRow(View_));
  W_.RunLong([&ws, ids] { ws.SystemsDownload(ids); },
             [this, &ws, ids, focus] {
               // Downloaded rows leave the selection, except the focused one.
               std::vector<int32_t> keep;
               for (int32_t id : ids) {
                 const int row = Model_->ViewRowOf(id);
                 const int index = Model_->SystemIndex(row);
                 const bool done = index >= 0 && index < static_cast<int>(ws.Systems().size()) &&
                                   ws.Systems()[static_cast<size_t>(index)].Downloaded;
                 if (!done || id == focus) keep.push_back(id);
               }
               SelectIds(keep, focus);
               W_.UpdateActions();
             });
}

void TSystemsTab::Add() {
  TWorkspace& ws = W_.Workspace();
  if (!EnsureUserIdentity(W_, this)) return;
  const TSystemData data = ws.SystemNew();
  auto row = std::make_shared<int>(-1);
  TSystemDialog dialog(SystemFormOf(data), true,
                       [this, &ws, data, row](const TSystemForm& form) {
                         TSystemData result;
                         TSystemFormCheck check = AcceptSystemForm(form, data, result);
                         if (!check.Message.empty()) return check;
                         RunAndWait(W_, [&ws, result, row] { *row = ws.SystemsAdd(result); });
                         return check;
                       },
                       this);
  if (dialog.exec() != QDialog::Accepted || *row < 0) return;
  Refresh();
  if (*row < static_cast<int>(ws.Systems().size())) {
    const int32_t id = ws.Systems()[static_cast<size_t>(*row)].Id;
    SelectIds({id}, id);
  }
}

void TSystemsTab::Properties() {
  TWorkspace& ws = W_.Workspace();
  const int32_t id = Model_->IdAt(FocusedRow(View_));
  if (id == -1) return;
  auto data = std::make_shared<TSystemData>();
  if (!RunAndWait(W_, [&ws, id, data] { *data = ws.SystemData(id); })) return;
  TSystemDialog dialog(SystemFormOf(*data), data->Own,
                       [this, &ws, data](const TSystemForm& form) {
                         TSystemData result;
                         TSystemFormCheck check = AcceptSystemForm(form, *data, result);
                         if (!check.Message.empty()) return check;
                         RunAndWait(W_, [&ws, result] { ws.SystemsProp(result); });
                         return check;
                       },
                       this);
  dialog.exec();
  Refresh();
}

void TSystemsTab::Delete() {
  TWorkspace& ws = W_.Workspace();
  const int32_t id = Model_->IdAt(FocusedRow(View_));
  if (id == -1) return;
  // The ownership rule and the question are the engine's.
  W_.RunLong([&ws, id] { ws.SystemsDel(id); });
}

void TSystemsTab::Play(bool filter) {
  TWorkspace& ws = W_.Workspace();
  auto draft = std::make_shared<TWorkspace::TSystemPlayDraft>();
  W_.RunLong([&ws, filter, draft] { *draft = ws.SystemPlayPrepare(filter); },
             [this, &ws, draft] {
               if (!draft->Ok) return;
               TMultiStakeDialog dialog(static_cast<int32_t>(draft->Input.DrawNumber), &W_);
               dialog.DrawNumberEdit()->setValue(static_cast<int>(draft->Input.DrawNumber));
               dialog.DrawsCountEdit()->setValue(static_cast<int>(draft->Input.DrawsCount));
               dialog.CommentEdit()->setText(FromEngine(draft->Input.Comment));
               if (dialog.exec() != QDialog::Accepted) return;
               const TMultiStakeInput input = dialog.Read();
               W_.RunLong([&ws, draft, input] {
                 const TStakeInputCheck check = ws.SystemPlay(*draft, input);
                 if (!check.Message.empty()) throw EVexaError(check.Message);
               });
             });
}

}  // namespace vexa::gui

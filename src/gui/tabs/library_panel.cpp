#include "tabs/library_panel.h"

#include <QComboBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QItemSelectionModel>
#include <QLabel>
#include <QSplitter>
#include <QTableView>
#include <QVBoxLayout>

#include <memory>

#include "dialogs/script_public_dialog.h"
#include "dialogs/script_rates_dialog.h"
#include "models/library_model.h"
#include "shell/main_window.h"
#include "shell/message_boxes.h"
#include "shell/qt_user_interface.h"
#include "shell/worker.h"
#include "tabs/online_tools.h"
#include "tabs/script_tab.h"
#include "tabs/tab_tools.h"
#include "workspace/workspace.h"

namespace vexa::gui {
namespace {

TLibraryPanel::TCommentAsker& CommentAsker() {
  static TLibraryPanel::TCommentAsker asker = [](QWidget* parent, QString& comment) {
    bool ok = false;
    comment = QInputDialog::getText(parent, QStringLiteral("Комментарий"),
                                    QStringLiteral("Вы можете оставить свой комментарий:"), QLineEdit::Normal,
                                    QString(), &ok);
    return ok;
  };
  return asker;
}

const char* const RateCaptions[5] = {"[ 1 ] - Бесполезно", "[ 2 ] - Плохо", "[ 3 ] - Удовлетворительно",
                                     "[ 4 ] - Хорошо", "[ 5 ] - Отлично"};

}  // namespace

void TLibraryPanel::SetCommentAsker(TCommentAsker asker) { CommentAsker() = std::move(asker); }

TLibraryPanel::TLibraryPanel(TMainWindow& window, TQtUserInterface& ui, QWidget* parent) : QWidget(parent), W_(window) {
  setObjectName(QStringLiteral("pnlOnlineScripts"));
  Model_ = new TLibraryModel(this);
  View_ = new QTableView(this);
  View_->setObjectName(QStringLiteral("lvOnlineScripts"));
  SetupTabList(View_, Model_, TLibraryModel::DefaultWidths, TLibraryModel::ColumnCount);
  View_->setSelectionMode(QAbstractItemView::SingleSelection);
  View_->horizontalHeader()->setSortIndicatorShown(true);
  View_->horizontalHeader()->setSectionsClickable(true);
  Model_->SetSort(TLibraryModel::RatingColumn, false);
  View_->horizontalHeader()->setSortIndicator(TLibraryModel::RatingColumn, Qt::AscendingOrder);
  connect(View_->horizontalHeader(), &QHeaderView::sectionClicked, this, [this](int column) {
    const bool descending = column == Model_->SortColumn() ? !Model_->SortDescending() : false;
    Model_->SetSort(column, descending);
    View_->horizontalHeader()->setSortIndicator(column, descending ? Qt::DescendingOrder : Qt::AscendingOrder);
  });
  connect(View_, &QTableView::doubleClicked, this, [this] {
    W_.Commands().Trigger(QStringLiteral("ScriptLibraryView"));
    W_.UpdateActions();
  });
  connect(View_->selectionModel(), &QItemSelectionModel::selectionChanged, &W_, &TMainWindow::UpdateActions);
  connect(View_->selectionModel(), &QItemSelectionModel::currentChanged, &W_, &TMainWindow::UpdateActions);

  Filter_ = new QComboBox(this);
  Filter_->setObjectName(QStringLiteral("cbOnlineScriptsFilter"));
  Filter_->setToolTip(QStringLiteral("Фильтр сценариев"));
  Filter_->setStatusTip(Filter_->toolTip());
  for (const char* item : LibraryFilterItems()) Filter_->addItem(QString::fromUtf8(item));
  Filter_->setCurrentIndex(W_.Workspace().ScriptLibraryFilterIndex());
  Filter_->setEnabled(false);
  connect(Filter_, &QComboBox::currentIndexChanged, this, [this](int index) {
    if (index < 0 || !Started_ || W_.Busy()) return;
    Reload(index);
  });

  connect(&ui, &TQtUserInterface::DataChanged, this, [this](unsigned what) {
    if ((what & (ChangeLibrary | ChangeSettings)) != 0 && !W_.Worker().Running()) Refresh();
  });
  connect(&W_.Worker(), &TWorker::RunningChanged, this, [this](bool running) {
    Filter_->setEnabled(Started_ && !running);
    if (!running) Refresh();
  });
}

bool TLibraryPanel::Shown() const { return W_.Workspace().Window().ScriptLibraryOn; }

void TLibraryPanel::RegisterCommands() {
  TCommandTable& t = W_.Commands();
  TWorkspace& ws = W_.Workspace();
  const char* cat = "Сценарий";
  auto shown = [this] { return Shown(); };
  auto selected = [this] { return Shown() && Selected() != nullptr; };
  auto scriptFull = [&ws] { return !ws.ScriptLines().empty(); };
  AddCommand(t, "ScriptLibrary", cat, "Online каталог сценариев", "Ctrl+L", "Online каталог сценариев",
             [this, &ws] { W_.RunLong([&ws] { ws.ScriptLibrary(); }, [this] { ApplyVisibility(); }); }, {}, shown);
  AddCommand(t, "ScriptLibraryRefresh", cat, "Обновить", "", "Обновить список online-сценариев",
             [this] { Reload(); }, shown);
  AddCommand(t, "ScriptLibraryDownload", cat, "Скачать из каталога", "", "Скачать сценарий из online-каталога",
             [this] { Download(); },
             [this] {
               const TScriptInfo* s = Shown() ? Selected() : nullptr;
               return s != nullptr && s->Compatible;
             });
  AddCommand(t, "ScriptLibraryView", cat, "Свойства сценария", "", "Свойства сценария", [this] { ShowProperties(); },
             selected);
  AddCommand(t, "ScriptLibraryUpload", cat, "Опубликовать", "", "Опубликовать текущий сценарий в online-каталоге",
             [this] { Publish(false); }, [shown, scriptFull] { return shown() && scriptFull(); });
  AddCommand(t, "ScriptLibraryReplace", cat, "Изменить", "", "Заменить выделенный сценарий текущим",
             [this] { Publish(true); },
             [this, scriptFull] {
               const TScriptInfo* s = Shown() ? Selected() : nullptr;
               return s != nullptr && s->Editable && scriptFull();
             });
  AddCommand(t, "ScriptLibraryDelete", cat, "Удалить", "", "Удалить выделенный сценарий из online-каталога",
             [this] { Delete(); },
             [this] {
               const TScriptInfo* s = Shown() ? Selected() : nullptr;
               return s != nullptr && s->Editable;
             });
  AddCommand(t, "ScriptLibraryRates", cat, "Просмотр оценок", "", "Просмотр оценок пользователей",
             [this] { Rates(); }, selected);
  for (int value = 1; value <= 5; ++value) {
    const std::string id = "ScriptLibraryRate" + std::to_string(value);
    AddCommand(t, id.c_str(), cat, RateCaptions[value - 1], "", RateCaptions[value - 1],
               [this, value] { Rate(value); }, selected, [this, value] {
                 const TScriptInfo* s = Selected();
                 return s != nullptr && s->YourRating == value;
               });
  }
  AddCommand(t, "ScriptLibraryHide", cat, "Скрыть сценарий", "", "Скрыть сценарий из списка",
             [this] { Rate(-1); }, selected, [this] {
               const TScriptInfo* s = Selected();
               return s != nullptr && s->YourRating == -1;
             });
  AddCommand(t, "ScriptLibraryRate0", cat, "Удалить оценку", "", "Удалить свою оценку или скрытие",
             [this] { Rate(0); },
             [this] {
               const TScriptInfo* s = Shown() ? Selected() : nullptr;
               return s != nullptr && s->YourRating != 0;
             });

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 2, 0, 0);
  layout->setSpacing(2);
  layout->addWidget(CommandBar(W_, this,
                               {{"ScriptLibraryRefresh", "Обновить"}, {"ScriptLibraryDownload", "Скачать"},
                                {"ScriptLibraryView", "Свойства"}, {"ScriptLibraryUpload", "Опубликовать"},
                                {"ScriptLibraryReplace", "Изменить"}, {"ScriptLibraryDelete", "Удалить"},
                                {"ScriptLibraryRates", "Оценки"}}));
  // The filter has a row of its own so that the buttons are not cut.
  auto* filterRow = new QHBoxLayout;
  filterRow->setSpacing(4);
  auto* filterLabel = new QLabel(QStringLiteral("Фильтр:"), this);
  filterLabel->setBuddy(Filter_);
  filterRow->addWidget(filterLabel);
  filterRow->addWidget(Filter_);
  filterRow->addStretch(1);
  layout->addLayout(filterRow);
  layout->addWidget(View_, 1);
  t.SetPopup(View_, {QStringLiteral("ScriptLibraryDownload"), QStringLiteral("ScriptLibraryView"),
                     QStringLiteral("|"), QStringLiteral("ScriptLibraryUpload"),
                     QStringLiteral("ScriptLibraryReplace"), QStringLiteral("ScriptLibraryDelete"),
                     QStringLiteral("|"), QStringLiteral("[Оценить"), QStringLiteral("ScriptLibraryRate1"),
                     QStringLiteral("ScriptLibraryRate2"), QStringLiteral("ScriptLibraryRate3"),
                     QStringLiteral("ScriptLibraryRate4"), QStringLiteral("ScriptLibraryRate5"),
                     QStringLiteral("|"), QStringLiteral("ScriptLibraryHide"), QStringLiteral("|"),
                     QStringLiteral("ScriptLibraryRate0"), QStringLiteral("]"), QStringLiteral("ScriptLibraryRates"),
                     QStringLiteral("|"), QStringLiteral("ScriptLibraryRefresh")});
  KeepListColumns(W_, "lvOnlineScripts", View_, Model_, {6, 11});
  Refresh();
}

int TLibraryPanel::SelectedIndex() const {
  if (!View_->selectionModel()->hasSelection()) return -1;
  const int index = Model_->ScriptIndex(FocusedRow(View_));
  return index >= 0 && index < static_cast<int>(W_.Workspace().Library().size()) ? index : -1;
}

const TScriptInfo* TLibraryPanel::Selected() const {
  if (W_.Worker().Running()) return nullptr;
  const int index = SelectedIndex();
  return index >= 0 ? &W_.Workspace().Library()[static_cast<size_t>(index)] : nullptr;
}

int32_t TLibraryPanel::SelectedId() const {
  const TScriptInfo* s = Selected();
  return s != nullptr ? s->Id : -1;
}

void TLibraryPanel::Refresh() {
  if (W_.Worker().Running()) return;
  const int32_t id = Model_->IdAt(FocusedRow(View_));
  const bool had = View_->selectionModel()->hasSelection();
  Model_->SetScripts(W_.Workspace().Library());
  {
    const QSignalBlocker block(Filter_);
    Filter_->setCurrentIndex(W_.Workspace().ScriptLibraryFilterIndex());
  }
  const int row = Model_->ViewRowOf(id);
  if (had && row >= 0) FocusRow(View_, row);
  W_.UpdateActions();
}

void TLibraryPanel::ApplyVisibility() {
  setVisible(Shown());
  Refresh();
}

void TLibraryPanel::Attach(QSplitter* splitter) {
  Splitter_ = splitter;
  splitter->setStretchFactor(0, 1);
  splitter->setStretchFactor(1, 0);
  splitter->installEventFilter(this);
  ApplyVisibility();
  W_.AddExitSaver([this](std::vector<std::pair<std::string, TListColumns>>&) {
    if (HeightApplied_ && !isHidden()) W_.Workspace().SetScriptLibraryHeight(height());
  });
}

bool TLibraryPanel::eventFilter(QObject* watched, QEvent* event) {
  // The stored height is applied once the splitter has its real size.
  if (watched == Splitter_ && event->type() == QEvent::Resize && !HeightApplied_ && Splitter_->height() > 50) {
    HeightApplied_ = true;
    const int panel = std::min(W_.Workspace().Window().ScriptLibraryHeight, Splitter_->height() - 50);
    Splitter_->setSizes({Splitter_->height() - panel, panel});
  }
  return QWidget::eventFilter(watched, event);
}

void TLibraryPanel::SetStarted() {
  Started_ = true;
  Filter_->setEnabled(!W_.Busy());
}

void TLibraryPanel::Reload(std::optional<int> filter) {
  TWorkspace& ws = W_.Workspace();
  W_.RunLong([&ws, filter] { ws.ScriptLibraryRefresh(filter); });
}

void TLibraryPanel::Download() {
  TWorkspace& ws = W_.Workspace();
  const int32_t id = SelectedId();
  if (id < 0) return;
  // The editor shows the new script as after opening a script file.
  W_.RunLong([&ws, id] { ws.ScriptLibraryDownload(id); },
             [this] {
               if (auto* script = W_.findChild<TScriptTab*>()) script->Refresh();
             });
}

void TLibraryPanel::ShowProperties() {
  const TScriptInfo* s = Selected();
  if (s == nullptr) return;
  TScriptPublicDialog dialog(ScriptDataOf(*s), false, {}, this);
  dialog.exec();
}

void TLibraryPanel::Publish(bool replace) {
  TWorkspace& ws = W_.Workspace();
  if (!EnsureUserIdentity(W_, this)) return;
  TScriptData start;
  if (replace) {
    const TScriptInfo* s = Selected();
    if (s == nullptr) return;
    start = ScriptDataOf(*s);
  } else {
    start = ws.ScriptLibraryNewData();
  }
  auto id = std::make_shared<int32_t>(-1);
  TScriptPublicDialog dialog(start, true,
                             [this, &ws, replace, id](const TScriptData& data) {
                               TScriptDataCheck check;
                               // A failed request was shown; the dialog closes.
                               RunAndWait(W_, [&ws, &check, replace, data] {
                                 check = replace ? ws.ScriptLibraryReplace(data) : ws.ScriptLibraryUpload(data);
                               });
                               *id = check.Id;
                               return check;
                             },
                             this);
  if (dialog.exec() != QDialog::Accepted) return;
  Refresh();
  const int row = Model_->ViewRowOf(*id);
  if (row >= 0) FocusRow(View_, row);
  W_.UpdateActions();
}

void TLibraryPanel::Delete() {
  TWorkspace& ws = W_.Workspace();
  const int32_t id = SelectedId();
  if (id < 0) return;
  // The question is the engine's.
  W_.RunLong([&ws, id] { ws.ScriptLibraryDelete(id); });
}

void TLibraryPanel::Rates() {
  TWorkspace& ws = W_.Workspace();
  const int32_t id = SelectedId();
  if (id < 0) return;
  auto rates = std::make_shared<TScriptRates>();
  W_.RunLong([&ws, id, rates] { *rates = ws.ScriptLibraryRates(id); },
             [this, &ws, rates] {
               if (!rates->HasResult) return;
               std::vector<TTextRow> rows;
               for (const TScriptRate& r : rates->Rows)
                 rows.push_back({{r.Name, r.Rate, r.Created, r.Program, r.Version, r.Notes}, {}});
               TScriptRatesDialog dialog(ws, std::move(rows), &W_);
               dialog.exec();
             });
}

void TLibraryPanel::Rate(int value) {
  TWorkspace& ws = W_.Workspace();
  const int32_t id = SelectedId();
  if (id < 0) return;
  QString comment;
  if (value > 0 && !CommentAsker()(this, comment)) return;
  const std::string notes = ToEngine(comment);
  W_.RunLong([&ws, id, value, notes] { ws.ScriptLibraryRate(id, value, notes); });
}

}  // namespace vexa::gui

#include "tabs/ratings_tab.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QSignalBlocker>
#include <QTableView>
#include <QVBoxLayout>

#include "dialogs/graph_window.h"
#include "models/ratings_model.h"
#include "shell/file_dialogs.h"
#include "shell/main_window.h"
#include "shell/qt_user_interface.h"
#include "shell/worker.h"
#include "stakes/ratings.h"
#include "stakes/stake_graphs.h"
#include "tabs/tab_tools.h"
#include "workspace/workspace.h"

namespace vexa::gui {

TRatingsTab::TRatingsTab(TMainWindow& window, TQtUserInterface& ui, QWidget* parent) : QWidget(parent), W_(window) {
  setObjectName(QStringLiteral("tsRating"));
  Model_ = new TRatingsModel(W_.Workspace(), [this] { return !W_.Worker().Running(); }, this);
  View_ = new QTableView(this);
  View_->setObjectName(QStringLiteral("lvRatings"));
  SetupTabList(View_, Model_, TRatingsModel::DefaultWidths, TRatingsModel::ColumnCount, true);
  // The header flips its own arrow on a click; the engine decides the order
  // and the arrow is set back to it (ShowSortOrder), whichever comes first.
  connect(View_->horizontalHeader(), &QHeaderView::sortIndicatorChanged, this,
          [this](int column, Qt::SortOrder) { SortBy(column); });
  connect(View_->selectionModel(), &QItemSelectionModel::selectionChanged, &W_, &TMainWindow::UpdateActions);
  connect(&ui, &TQtUserInterface::DataChanged, this, [this](unsigned what) {
    if ((what & (ChangeRatings | ChangeSettings)) != 0 && !W_.Worker().Running()) Refresh();
  });
  connect(&W_.Worker(), &TWorker::RunningChanged, this, [this](bool running) {
    if (!running) Refresh();
  });
}

void TRatingsTab::RegisterCommands() {
  TCommandTable& t = W_.Commands();
  TWorkspace& ws = W_.Workspace();
  const char* cat = "Ставки";
  AddCommand(t, "RatingsRefresh", cat, "Обновить рейтинг", "F5", "Обновить рейтинг",
             [this, &ws] { W_.RunLong([&ws] { ws.RatingsRefresh(); }); }, [&ws] { return ws.Stakes().IsOpen(); });
  AddCommand(t, "RatingsExport", cat, "Экспорт рейтинга в CSV-файл", "", "Экспорт рейтинга в CSV-файл",
             [this] { Export(); }, [&ws] { return !ws.Ratings().Empty(); });
  AddCommand(t, "RatingsToScript", cat, "Добавить в сценарий", "", "Добавить в сценарий",
             [this, &ws] {
               const std::vector<int> rows = W_.SelectedRows(View_);
               W_.RunHere([&] { ws.RatingsToScript(rows); });
             },
             [this] { return W_.HasSelection(View_); });
  auto selected = [this, &ws] { return !ws.Stakes().Empty() && W_.HasSelection(View_); };
  auto byOrigin = [this, &ws](bool profit) {
    std::vector<std::string> names;
    for (int row : W_.SelectedRows(View_))
      if (row < ws.Ratings().Count()) names.push_back(ws.Ratings()[static_cast<size_t>(row)].Name);
    std::vector<TGraphSeries> series;
    if (W_.RunHere([&] { series = StakesGraphByOrigin(ws.Stakes(), names, profit); }))
      TStakesGraphWindow::Show(U8(profit ? StakesGraphProfitsCaption : StakesGraphOverlapCaption), series, &W_);
  };
  AddCommand(t, "StakesGraphOverlap", cat, "График совпадений ставок", "Ctrl+F6", StakesGraphOverlapCaption,
             [byOrigin] { byOrigin(false); }, selected);
  AddCommand(t, "StakesGraphProfits", cat, "График профита ставок", "Alt+F6", StakesGraphProfitsCaption,
             [byOrigin] { byOrigin(true); }, selected);
  AddCommand(t, "RatingsGraphOverlap", cat, "Количество совпадений", "", "Количество совпадений",
             [this, &ws] {
               TStakesGraphWindow::Show(QStringLiteral("Количество совпадений"),
                                  RatingsGraphOverlap(ws.Ratings().Items(), W_.SelectedRows(View_)), &W_);
             },
             [this] { return W_.HasSelection(View_); });
  connect(View_, &QTableView::doubleClicked, this, [this] {
    W_.Commands().Trigger(QStringLiteral("RatingsGraphOverlap"));
  });
  for (int mode = 0; mode < RatingModes; ++mode) {
    const std::string id = "RatingsEffMode" + std::to_string(mode);
    AddCommand(t, id.c_str(), cat, RatingModeCaptions[static_cast<size_t>(mode)], "",
               RatingModeCaptions[static_cast<size_t>(mode)],
               [this, &ws, mode] {
                 W_.RunHere([&] { ws.RatingsEffMode(mode); });
                 Refresh();
               },
               {}, [&ws, mode] { return ws.Window().RatingsEffMode == mode; }, "RatingsEffMode");
  }

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(2, 2, 2, 2);
  layout->setSpacing(2);
  layout->addWidget(CommandBar(W_, this,
                    {{"RatingsRefresh", "Обновить"}, {"StakesGraphOverlap", "Совпадения"},
                     {"StakesGraphProfits", "Профит"}, {"RatingsGraphOverlap", "Распределение"}, {"RatingsToScript", "В сценарий"}, {"RatingsExport", "Экспорт"},
                     {"RatingsEffMode0", "Ожидаемые"}, {"RatingsEffMode1", "Абсолютные"},
                     {"RatingsEffMode2", "Относительные"}}));
  layout->addWidget(View_, 1);
  t.SetPopup(View_, {QStringLiteral("StakesGraphOverlap"), QStringLiteral("StakesGraphProfits"),
                     QStringLiteral("RatingsGraphOverlap"), QStringLiteral("|"), QStringLiteral("RatingsRefresh"),
                     QStringLiteral("RatingsToScript"), QStringLiteral("RatingsExport"), QStringLiteral("|"),
                     QStringLiteral("RatingsEffMode0"), QStringLiteral("RatingsEffMode1"),
                     QStringLiteral("RatingsEffMode2")});
  Refresh();
}

void TRatingsTab::Refresh() {
  if (W_.Worker().Running()) return;
  Model_->Refresh();
  ShowSortOrder();
}

void TRatingsTab::ShowSortOrder() {
  const TWorkspace& ws = W_.Workspace();
  const QSignalBlocker block(View_->horizontalHeader());
  View_->horizontalHeader()->setSortIndicator(ws.RatingsSortColumn(),
                                              ws.RatingsSortDescending() ? Qt::DescendingOrder : Qt::AscendingOrder);
}

void TRatingsTab::SortBy(int column) {
  TWorkspace& ws = W_.Workspace();
  if (W_.Busy() || column >= RatingColumns) {
    Refresh();
    return;
  }
  const bool descending = column == ws.RatingsSortColumn() ? !ws.RatingsSortDescending() : true;
  W_.RunHere([&] { ws.RatingsSort(column, descending); });
  Refresh();
}

void TRatingsTab::Export() {
  const QString file = ChooseFile(this, {true, QStringLiteral("CSV-файлы (*.csv)|*.csv"), QStringLiteral("csv")});
  if (file.isEmpty()) return;
  TWorkspace& ws = W_.Workspace();
  W_.RunHere([&] { ws.RatingsExport(std::filesystem::path(file.toStdString())); });
}

}  // namespace vexa::gui

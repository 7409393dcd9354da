// The main window's placement, panel sizes and list columns in the window
// settings file (section TFormMain).
#include <QGuiApplication>
#include <QHeaderView>
#include <QScreen>
#include <QScrollBar>
#include <QTabWidget>
#include <QSplitter>
#include <QTableView>

#include "models/combs_model.h"
#include "models/draws_model.h"
#include "models/filters_model.h"
#include "shell/main_window.h"
#include "shell/message_boxes.h"
#include "workspace/workspace.h"

namespace vexa::gui {
namespace {

TScreenMetrics MetricsOf(const QScreen* screen) {
  if (screen == nullptr) return {};
  return {screen->geometry().width(), screen->geometry().height(), qRound(screen->logicalDotsPerInch())};
}

// A stored rectangle is used only when enough of it lies on a screen that exists now.
bool OnSomeScreen(const QRect& r) {
  for (const QScreen* s : QGuiApplication::screens()) {
    const QRect common = s->availableGeometry().intersected(r);
    if (common.width() >= 100 && common.height() >= 50) return true;
  }
  return false;
}

// The lists of the stakes, ratings, regular tables and script tabs.
constexpr const char* TabListNames[] = {"sgStakes", "lvRatings", "lvTables", "lvScript"};

struct TListRef {
  const char* Name;
  QTableView* View;
  const int* Defaults;
  int Columns;
};

}  // namespace

void TMainWindow::RestorePlacement() {
  QScreen* screen = QGuiApplication::primaryScreen();
  resize(DefaultWidth(), DefaultHeight());
  if (screen != nullptr) move(screen->availableGeometry().center() - rect().center());
  try {
    const TRestoredPlacement placement = Ws_.WindowPlacement(MetricsOf(screen));
    if (placement.NormPos) {
      const auto& p = *placement.NormPos;
      const QRect r(QPoint(p[0], p[1]), QPoint(p[2] - 1, p[3] - 1));
      if (r.width() >= 100 && r.height() >= 100 && OnSomeScreen(r)) setGeometry(r);
    }
    if (placement.Found && ShowStateOf(placement.ShowCmd) == TShowState::Maximised)
      setWindowState(windowState() | Qt::WindowMaximized);
  } catch (const std::exception&) {
    // Read errors of this file were reported at start-up; the defaults stay.
  }
}

void TMainWindow::RestoreColumns() {
  const TListRef lists[] = {
      {"lvDraws", DrawsView_, TDrawsModel::DefaultWidths, TDrawsModel::ColumnCount},
      {"lvCombs", CombsView_, TCombsModel::DefaultWidths, TCombsModel::ColumnCount},
      {"lvFilters", FiltersView_, TFiltersModel::DefaultWidths, TFiltersModel::ColumnCount}};
  for (const TListRef& list : lists) {
    TListColumns columns;
    columns.Widths.assign(list.Defaults, list.Defaults + list.Columns);
    try {
      Ws_.ReadListColumns(list.Name, columns);
    } catch (const std::exception&) {
      continue;
    }
    for (int c = 0; c < list.Columns && c < static_cast<int>(columns.Widths.size()); ++c)
      list.View->setColumnWidth(c, columns.Widths[static_cast<size_t>(c)]);
  }
  // The tabs' lists: their widths as set up are the defaults.
  for (const char* name : TabListNames) {
    auto* view = findChild<QTableView*>(QString::fromLatin1(name));
    if (view == nullptr) continue;
    TListColumns columns;
    for (int c = 0; c < view->model()->columnCount(); ++c) columns.Widths.push_back(view->columnWidth(c));
    try {
      Ws_.ReadListColumns(name, columns);
    } catch (const std::exception&) {
      continue;
    }
    for (int c = 0; c < view->model()->columnCount() && c < static_cast<int>(columns.Widths.size()); ++c)
      view->setColumnWidth(c, columns.Widths[static_cast<size_t>(c)]);
  }
}

void TMainWindow::ApplySizes() {
  // Splitters get their sizes once the window has its real size.
  if (SizesApplied_) return;
  SizesApplied_ = true;
  int left = Ws_.Window().LeftPanelWidth;
  if (left == TMainWindowSettings{}.LeftPanelWidth) {
    // The default width: widened so that this font does not cut the draws list's last column.
    int columns = 0;
    for (int c = 0; c < DrawsModel_->columnCount(); ++c) columns += DrawsView_->columnWidth(c);
    const int frame = DrawsView_->width() - DrawsView_->viewport()->width();
    left = std::max(left, columns + DrawsView_->verticalScrollBar()->sizeHint().width() + frame +
                              (LeftPages_->width() - DrawsView_->width()) + 2);
  }
  MainSplitter_->setSizes({left, std::max(1, MainSplitter_->width() - left)});
  const int filters = Ws_.Window().FiltersHeight;
  CombsSplitter_->setSizes({std::max(1, CombsSplitter_->height() - filters), filters});
}

void TMainWindow::SaveState() {
  for (const auto& save : BeforeSave_) save();
  TWorkspace::TWindowExitState state;
  const QScreen* s = screen();
  state.Screen = MetricsOf(s);
  state.Placement.PixelsPerInch = state.Screen.PixelsPerInch;
  state.Placement.ShowCmd = isMaximized() ? 3 : isMinimized() ? 2 : 1;
  state.Placement.MinMaxPos = {-1, -1, -1, -1};
  const QRect g = normalGeometry().isValid() ? normalGeometry() : geometry();
  state.Placement.NormPos = {g.left(), g.top(), g.right() + 1, g.bottom() + 1};
  const QList<int> main = MainSplitter_->sizes();
  state.LeftPanelWidth = main.isEmpty() ? Ws_.Window().LeftPanelWidth : main.front();
  const QList<int> combs = CombsSplitter_->sizes();
  state.FiltersHeight = combs.size() < 2 ? Ws_.Window().FiltersHeight : combs[1];
  for (const auto& [name, view] : {std::pair{"lvDraws", DrawsView_}, std::pair{"lvCombs", CombsView_},
                                   std::pair{"lvFilters", FiltersView_}}) {
    TListColumns columns;
    for (int c = 0; c < view->model()->columnCount(); ++c) columns.Widths.push_back(view->columnWidth(c));
    state.Lists.emplace_back(name, columns);
  }
  for (const TExitSaver& saver : ExitSavers_) saver(state.Lists);
  for (const char* name : TabListNames) {
    const auto* view = findChild<QTableView*>(QString::fromLatin1(name));
    if (view == nullptr) continue;
    TListColumns columns;
    for (int c = 0; c < view->model()->columnCount(); ++c) columns.Widths.push_back(view->columnWidth(c));
    state.Lists.emplace_back(name, columns);
  }
  RunHere([&] { Ws_.SaveWindowState(state); });
}

}  // namespace vexa::gui

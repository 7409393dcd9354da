// The main window: the command table, the menus, the draws and combinations
// tabs on the left, the analysis tabs on the right, the status bar.
//
// The window collects input and calls workspace operations. Long ones run
// on the worker (RunLong); the models then show the rows they had on screen
// and everything is refreshed when the operation ends.
#pragma once

#include <QMainWindow>

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "core/settings.h"
#include "core/user_interface.h"

class QLabel;
class QSpinBox;
class QSplitter;
class QTabWidget;
class QTableView;

namespace vexa {
class TWorkspace;
}

namespace vexa::gui {

class TCommandTable;
class TCombsModel;
class TDrawsModel;
class TFiltersModel;
class TQtUserInterface;
class TStatTab;
class TWorker;

inline constexpr int StatusPanelCount = 7;
inline constexpr int ProgressPanel = 6;

class TMainWindow : public QMainWindow {
  Q_OBJECT

 public:
  TMainWindow(TWorkspace& ws, TQtUserInterface& ui, QWidget* parent = nullptr);
  ~TMainWindow() override;

  // The initial run once the window is on screen: the combinations list,
  // the full-set files, the draws on start, the first-run dialog.
  void InitialRun();

  TWorkspace& Workspace() { return Ws_; }
  TCommandTable& Commands() { return *Commands_; }
  TWorker& Worker() { return *Worker_; }
  bool Busy() const;

  QTableView* DrawsView() const { return DrawsView_; }
  QTableView* CombsView() const { return CombsView_; }
  QTableView* FiltersView() const { return FiltersView_; }
  TDrawsModel* DrawsModel() const { return DrawsModel_; }
  TCombsModel* CombsModel() const { return CombsModel_; }
  TFiltersModel* FiltersModel() const { return FiltersModel_; }
  QSpinBox* OffsetSpin() const { return OffsetSpin_; }
  QSpinBox* ExcludeSpin() const { return ExcludeSpin_; }
  QTabWidget* LeftPages() const { return LeftPages_; }
  QTabWidget* RightPages() const { return RightPages_; }
  QSplitter* MainSplitter() const { return MainSplitter_; }
  QSplitter* CombsSplitter() const { return CombsSplitter_; }
  QLabel* Panel(int i) const { return Panels_[static_cast<size_t>(i)]; }
  TStatTab* StatTab() const { return StatTab_; }

  // Selected rows, read from the selection's ranges in ascending order.
  std::vector<int> SelectedRows(QTableView* view) const;
  bool HasSelection(QTableView* view) const;

  // Runs op on the worker; `done` and the refresh follow on the UI thread.
  void RunLong(std::function<void()> op, std::function<void()> done = {});
  // Runs op here; an engine error is shown in a box.
  bool RunHere(const std::function<void()>& op);
  void RefreshAll();
  // The analysis views (tabs/view_tabs.cpp) rebuild lazily with RefreshAll
  // and forcibly where the data changed under the same keys.
  void SetViewsRefresh(std::function<void(bool force)> refresh) { ViewsRefresh_ = std::move(refresh); }
  void RefreshViews(bool force) {
    if (ViewsRefresh_) ViewsRefresh_(force);
  }
  // Runs first in SaveState: tabs store what the window's exit store does not hold.
  void AddBeforeSave(std::function<void()> save) { BeforeSave_.push_back(std::move(save)); }
  void RefreshStatusPanels();
  void UpdateActions();

  // Writes placement, panel sizes and column widths (also at close).
  void SaveState();
  // A tab's part of the exit state: its lists' columns (name, columns), and
  // whatever it hands the workspace before the state is written.
  using TExitSaver = std::function<void(std::vector<std::pair<std::string, TListColumns>>& lists)>;
  void AddExitSaver(TExitSaver saver) { ExitSavers_.push_back(std::move(saver)); }
  static int DefaultWidth() { return 1077; }
  static int DefaultHeight() { return 782; }

 protected:
  void closeEvent(QCloseEvent* event) override;
  bool event(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  void BuildLayout();
  void BuildStatusBar();
  void BuildCommands();
  void BuildMenus();
  void RestorePlacement();
  void RestoreColumns();
  void ApplySizes();
  void OnBusyChanged(bool busy);
  void OnProgress(const QString& text);
  void FreezeViews();
  void ThawViews();

  // Start-up after the combinations list.
  void AfterCombsInit();
  void AfterOnline();
  void DrawsOnStart();
  void ShowFirstRun();

  // Command handlers (main_window_draws.cpp, main_window_combs.cpp, main_window_commands.cpp).
  void DrawsAdd();
  void DrawsEdit();
  void DrawsDel();
  void DrawsImport();
  void DrawsExport();
  void DrawsDownload(std::function<void()> then = {});
  void CombsGen();
  void CombsOpen();
  void CombsSave();
  void CombsCopy();
  void CombsPaste();
  void CombsDelSelected();
  void CombsDelExists();
  void CombsUndo();
  void CombsFindInDraws();
  void CombsCheckNums();
  void EditConfig();
  void EditProxy();
  void OpenUrl(const std::string& url);

  TWorkspace& Ws_;
  TQtUserInterface& Ui_;
  std::unique_ptr<TWorker> Worker_;
  TCommandTable* Commands_ = nullptr;
  QTabWidget* LeftPages_ = nullptr;
  QTabWidget* RightPages_ = nullptr;
  QSplitter* MainSplitter_ = nullptr;
  QSplitter* CombsSplitter_ = nullptr;
  QTableView* DrawsView_ = nullptr;
  QTableView* CombsView_ = nullptr;
  QTableView* FiltersView_ = nullptr;
  TDrawsModel* DrawsModel_ = nullptr;
  TCombsModel* CombsModel_ = nullptr;
  TFiltersModel* FiltersModel_ = nullptr;
  QSpinBox* OffsetSpin_ = nullptr;
  QSpinBox* ExcludeSpin_ = nullptr;
  TStatTab* StatTab_ = nullptr;
  std::array<QLabel*, StatusPanelCount> Panels_{};
  bool SizesApplied_ = false;
  bool Closing_ = false;
  bool RefreshQueued_ = false;
  std::vector<TExitSaver> ExitSavers_;
  std::function<void(bool)> ViewsRefresh_;
  std::vector<std::function<void()>> BeforeSave_;
};

}  // namespace vexa::gui

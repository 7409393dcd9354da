// The tab "Схема" (tsLayout): the number layout sgLayout over the window
// edLayoutLen, painted in the gradient or the checkerboard, and below it
// the panel pnlLayoutLists with the five comparison lists lvLayoutCmp1 ..
// lvLayoutCmp5 and their window edits. Both parts rebuild lazily by their
// keys (TViewRefresh) and only while the tab is shown.
#pragma once

#include <QWidget>

#include <array>

#include "views/layout.h"
#include "views/view_refresh.h"

class QSpinBox;
class QSplitter;
class QTableView;

namespace vexa::gui {

class TMainWindow;
class TLayoutModel;
class TCompareModel;

class TLayoutTab : public QWidget {
  Q_OBJECT

 public:
  TLayoutTab(TMainWindow& window, QWidget* parent);
  void RegisterCommands();

  QTableView* View() const { return View_; }
  TLayoutModel* Model() const { return Model_; }
  QSpinBox* LengthSpin() const { return LengthSpin_; }
  QTableView* CompareView(int k) const { return Lists_[static_cast<size_t>(k)]; }
  TCompareModel* CompareModel(int k) const { return ListModels_[static_cast<size_t>(k)]; }
  QSpinBox* CompareSpin(int k) const { return ListSpins_[static_cast<size_t>(k)]; }
  QWidget* ListsPanel() const { return Panel_; }

  void RefreshLayout(bool force);
  void RefreshLists(bool force);
  void Refresh(bool force) {
    RefreshLayout(force);
    RefreshLists(force);
  }
  void ApplyVisibility();
  bool Shown() const;
  bool FilterEnabled() const;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Filter(bool del);
  void FitColumns();
  void FitLists();
  void StoreLengths();
  // Columns and sort of the comparison lists in the window settings file.
  void RestoreLists();
  void SaveLists();

  TMainWindow& W_;
  TLayoutModel* Model_;
  QTableView* View_;
  QSpinBox* LengthSpin_ = nullptr;
  QSplitter* Splitter_ = nullptr;
  QWidget* Panel_ = nullptr;
  QSplitter* ListsSplitter_ = nullptr;
  std::array<QTableView*, CompareListCount> Lists_{};
  std::array<TCompareModel*, CompareListCount> ListModels_{};
  std::array<QSpinBox*, CompareListCount> ListSpins_{};
  TViewRefresh Keys_;
  bool HeightApplied_ = false;
};

}  // namespace vexa::gui

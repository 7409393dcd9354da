// The statistics tab "Статистика": a method over a window of draws as a
// sortable list of twenty columns and a chart; keeping or deleting the
// combinations that have the selected values.
//
// The list is recalculated lazily: only when the draws count, the offset,
// the window length or the method changed since the last computation,
// unless forced ("Обновить", the options, the favourites).
#pragma once

#include <QWidget>

#include <optional>
#include <vector>

class QChartView;
class QComboBox;
class QSpinBox;
class QSplitter;
class QTableView;

namespace vexa::gui {

class TMainWindow;
class TStatModel;

class TStatTab : public QWidget {
  Q_OBJECT

 public:
  // The list's name in the window settings file (widths and sort order).
  static constexpr const char* ListName = "lvDrawsStat";

  TStatTab(TMainWindow& window, QWidget* parent = nullptr);

  QComboBox* MethodBox() const { return MethodBox_; }
  QSpinBox* LengthSpin() const { return LengthSpin_; }
  QTableView* View() const { return View_; }
  TStatModel* Model() const { return Model_; }
  QChartView* Chart() const { return Chart_; }

  // The engine's index of the selected method, -1 for none.
  int MethodIndex() const;
  // Selects the method by its engine index; false when it is not listed.
  bool SelectMethod(int methodIndex);
  // Rebuilds the method list from the engine's (first entry, or the same
  // method when keep and it is still listed).
  void FillMethods(bool keep);
  void Recalculate(bool force);
  // After a change elsewhere: recalculates when the lazy rules say so.
  void Refresh();
  // "Норма", "Отклонение", "Откл-ие в %": shown only while the comparison is on.
  void ApplyComparisonColumns();
  // StatFilter_Include (del false) / StatFilter_Exclude over the selected rows.
  void Filter(bool del);
  bool HasSelection() const;
  bool CanCalculate() const;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  struct TKey {
    int Draws = 0, Offset = 0, Window = 0, Method = -1;
    bool operator==(const TKey&) const = default;
  };
  void FillChart();
  void ClearView();
  // Widths and sort order from the window settings file, saved again at exit.
  void RestoreColumns();

  TMainWindow& Window_;
  QComboBox* MethodBox_ = nullptr;
  QSpinBox* LengthSpin_ = nullptr;
  QTableView* View_ = nullptr;
  TStatModel* Model_ = nullptr;
  QChartView* Chart_ = nullptr;
  QSplitter* Splitter_ = nullptr;
  std::vector<int> Methods_;  // list position -> engine index
  std::optional<TKey> Last_;
};

// The tab's commands in the window's command table, with the list's
// pop-up menu; also finds the help folder.
void RegisterStatCommands(TMainWindow& window, TStatTab& tab);

}  // namespace vexa::gui

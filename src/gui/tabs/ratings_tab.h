// The tab "Рейтинг" (tsRating): the ratings list with its sort by column,
// the three efficiency modes, the rebuild, the CSV export and the script
// lines from selected ratings.
#pragma once

#include <QWidget>

class QTableView;

namespace vexa::gui {

class TMainWindow;
class TQtUserInterface;
class TRatingsModel;

class TRatingsTab : public QWidget {
  Q_OBJECT

 public:
  TRatingsTab(TMainWindow& window, TQtUserInterface& ui, QWidget* parent);
  void RegisterCommands();

  QTableView* View() const { return View_; }
  TRatingsModel* Model() const { return Model_; }
  void Refresh();
  // Clicking a column header: the same column again turns the direction.
  void SortBy(int column);

 private:
  void Export();
  // The header's arrow as the engine sorts: column and direction.
  void ShowSortOrder();

  TMainWindow& W_;
  TRatingsModel* Model_;
  QTableView* View_;
};

}  // namespace vexa::gui

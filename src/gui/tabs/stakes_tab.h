// The tab "Ставки" (tsStakes): the stakes grid over the stakes file and
// every stake command with its dialogs. The grid reloads when the engine
// announces ChangeStakes and when an operation of the worker ends.
#pragma once

#include <QWidget>

class QTableView;

namespace vexa::gui {

class TMainWindow;
class TQtUserInterface;
class TStakesModel;

class TStakesTab : public QWidget {
  Q_OBJECT

 public:
  TStakesTab(TMainWindow& window, TQtUserInterface& ui, QWidget* parent);
  void RegisterCommands();

  QTableView* View() const { return View_; }
  TStakesModel* Model() const { return Model_; }
  void Refresh();

 private:
  void Add(bool random);
  void AddMulti(bool selected);
  void Delete();
  void DeleteWhere();

  TMainWindow& W_;
  TStakesModel* Model_;
  QTableView* View_;
};

}  // namespace vexa::gui

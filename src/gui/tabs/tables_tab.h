// The tab "Регуляры" (tsTables): the regular table rules lvTables, their
// dialog, the stake from a rule and the back-test; TabTables shows or hides
// the tab (hidden, the rules are emptied).
#pragma once

#include <QAbstractTableModel>
#include <QWidget>

#include <array>
#include <string>
#include <vector>

class QTableView;

namespace vexa {
class TWorkspace;
}

namespace vexa::gui {

class TMainWindow;
class TQtUserInterface;

// The rules as the engine formats them, copied at every refresh.
class TTablesModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  explicit TTablesModel(QObject* parent = nullptr) : QAbstractTableModel(parent) {}
  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  void Refresh(const TWorkspace& ws);

 private:
  std::vector<QStringList> Rows_;
};

class TTablesTab : public QWidget {
  Q_OBJECT

 public:
  TTablesTab(TMainWindow& window, TQtUserInterface& ui, QWidget* parent);
  void RegisterCommands();

  QTableView* View() const { return View_; }
  TTablesModel* Model() const { return Model_; }
  void Refresh();
  // Shows or hides the page as the setting says.
  void ApplyVisibility();

 private:
  void Add();
  void StakeAdd();
  void StakeTest();

  TMainWindow& W_;
  TTablesModel* Model_;
  QTableView* View_;
};

}  // namespace vexa::gui

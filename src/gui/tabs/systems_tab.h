// The tab "Системы" (tsSystems): the systems catalogue lvSystems with its
// commands (refresh, download, add, properties, delete), the system dialog,
// and the two system-play commands of the stakes menu, visible only while
// the tab is shown. SystemsOn shows or hides the tab.
//
// Every request runs on the worker; the list shows the engine's rows
// (Systems()) as they were when the last operation ended.
#pragma once

#include <QWidget>

#include <cstdint>
#include <vector>

class QTableView;

namespace vexa::gui {

class TMainWindow;
class TQtUserInterface;
class TSystemsModel;

class TSystemsTab : public QWidget {
  Q_OBJECT

 public:
  TSystemsTab(TMainWindow& window, TQtUserInterface& ui, QWidget* parent);
  void RegisterCommands();

  QTableView* View() const { return View_; }
  TSystemsModel* Model() const { return Model_; }
  bool Shown() const;
  // Rebuilds the rows from the engine's list; the selection follows the ids.
  void Refresh();
  // Shows or hides the page and the two play commands as SystemsEnabled says.
  void ApplyVisibility();
  // Ids of the selected rows in the list's order.
  std::vector<int32_t> SelectedIds() const;
  void SelectIds(const std::vector<int32_t>& ids, int32_t focus);

 private:
  void Reload();
  void Download();
  void Add();
  void Properties();
  void Delete();
  void Play(bool filter);
  bool EnsureIdentity();

  TMainWindow& W_;
  TSystemsModel* Model_;
  QTableView* View_;
};

}  // namespace vexa::gui

// "Избранные статистики": the favourites manager. A tree of the method
// groups and their methods with check boxes (a group's box shows and sets
// all of its methods), the three naming options, renaming, names files.
// Everything is a working copy until OK; the window then applies Result().
#pragma once

#include <QDialog>

#include "workspace/workspace.h"

class QCheckBox;
class QLabel;
class QTreeWidget;
class QTreeWidgetItem;

namespace vexa::gui {

class TFavouritesDialog : public QDialog {
  Q_OBJECT

 public:
  TFavouritesDialog(TWorkspace& ws, QWidget* parent = nullptr);

  TWorkspace::TFavouritesEdit Result() const;
  QTreeWidget* Tree() const { return Tree_; }
  QCheckBox* OrderedBox() const { return Ordered_; }
  QCheckBox* GroupNameBox() const { return GroupName_; }
  QCheckBox* FlagsBox() const { return Flags_; }
  QLabel* CountLabel() const { return Count_; }
  QAction* Command(const QString& id) const;

  // The method node of method i, null when not shown.
  QTreeWidgetItem* MethodNode(int methodIndex) const;
  // The manager's commands; Rename asks for the text unless one is given.
  void CheckAll(bool on);
  void CheckGroup(bool on);
  void Rename(const QString* text = nullptr);
  void ResetName();
  void Info();
  void NamesImport();
  void NamesExport();

 private:
  void Fill();
  void UpdateCommands();
  std::vector<std::pair<int, std::string>> Names() const;
  QTreeWidgetItem* SelectedMethod() const;
  QTreeWidgetItem* SelectedGroup() const;

  TWorkspace& Ws_;
  QTreeWidget* Tree_ = nullptr;
  QCheckBox* Ordered_ = nullptr;
  QCheckBox* GroupName_ = nullptr;
  QCheckBox* Flags_ = nullptr;
  QLabel* Count_ = nullptr;
  QList<QAction*> Actions_;
};

}  // namespace vexa::gui

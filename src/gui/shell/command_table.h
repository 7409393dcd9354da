// The window's commands as data: one row per command (id, category,
// caption, key, hint, enabled rule, checked rule, handler). Menus, pop-up
// menus and buttons are built from id lists and share the row's QAction;
// UpdateActions re-evaluates every enabled and checked state at once.
//
// Every command is disabled while the program is busy. A few keys belong
// to two commands; those are not bound as shortcuts but resolved by
// ResolveKey: the pop-up menu of the focused control and of the controls
// around it (innermost first), then the main menu, then the fixed order of
// the shared-key commands.
#pragma once

#include <QAction>
#include <QHash>
#include <QKeySequence>
#include <QObject>
#include <QPointer>
#include <QStringList>

#include <functional>
#include <vector>

class QMenu;
class QMenuBar;
class QWidget;

namespace vexa::gui {

struct TCommand {
  QString Id;
  QString Category;
  QString Caption;
  QString Key;   // QKeySequence text, "" for none
  QString Hint;  // empty: the caption
  std::function<bool()> Enabled;  // the command's own condition; unset: always
  std::function<bool()> Checked;  // unset: not checkable
  std::function<void()> Handler;
  QString RadioGroup;  // commands of one group are exclusive
  bool WhileBusy = false;  // Stop: enabled by its own rule while an operation runs
};

// Menu lists: a command id, "|" for a separator, "[Caption" opening a
// submenu and "]" closing it. Ids of commands that do not exist are left out.
using TMenuList = QStringList;

struct TKeyResolution {
  bool Consumed = false;
  QString Id;  // the command to run; empty when consumed without one
};

class TCommandTable : public QObject {
  Q_OBJECT

 public:
  TCommandTable(std::function<bool()> busy, QWidget* owner);

  void Add(TCommand command);
  const std::vector<TCommand>& Commands() const { return Commands_; }
  const TCommand* Find(const QString& id) const;
  QAction* Action(const QString& id) const { return Actions_.value(id); }
  bool IsEnabled(const QString& id) const;
  bool IsChecked(const QString& id) const;
  // Runs the command when it is enabled; false otherwise.
  bool Trigger(const QString& id);
  void UpdateActions();

  // Fills the menu; the top-level lists of the main menu are remembered in
  // their order for the key dispatch.
  void FillMenu(QMenu* menu, const TMenuList& items);
  QMenu* AddMainMenu(QMenuBar* bar, const QString& title, const TMenuList& items);
  // The pop-up menu of a control (context menu and key dispatch).
  void SetPopup(QWidget* widget, const TMenuList& items);
  QStringList MainMenuIds() const { return MainMenuIds_; }

  static bool IsSharedKey(const QKeySequence& key);
  TKeyResolution ResolveKey(const QKeySequence& key, QWidget* focus) const;

 private:
  bool Bound(const QString& id, const QKeySequence& key) const;
  bool ResolveIn(const QStringList& ids, const QKeySequence& key, TKeyResolution& out) const;

  std::function<bool()> Busy_;
  QWidget* Owner_;
  std::vector<TCommand> Commands_;
  QHash<QString, QAction*> Actions_;
  QHash<QString, int> Index_;
  QHash<QString, QActionGroup*> Groups_;
  QStringList MainMenuIds_;
  QHash<QWidget*, QStringList> Popups_;
};

}  // namespace vexa::gui

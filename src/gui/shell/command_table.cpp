#include "shell/command_table.h"

#include <QActionGroup>
#include <QMenu>
#include <QMenuBar>
#include <QWidget>

namespace vexa::gui {
namespace {

// The commands of the shared keys in the order that decides last.
const QStringList& SharedKeyOrder() {
  static const QStringList order{
      QStringLiteral("ExitProgram"),      QStringLiteral("StatFilter_Include"), QStringLiteral("StatFilter_Exclude"),
      QStringLiteral("StakeAddSelected"), QStringLiteral("StakeDel"),           QStringLiteral("CombsDelSelected"),
      QStringLiteral("ScriptOpen"),       QStringLiteral("ScriptDel"),          QStringLiteral("SystemsOn"),
      QStringLiteral("FiltersManager"),   QStringLiteral("FiltersReset")};
  return order;
}

}  // namespace

TCommandTable::TCommandTable(std::function<bool()> busy, QWidget* owner)
    : QObject(owner), Busy_(std::move(busy)), Owner_(owner) {}

bool TCommandTable::IsSharedKey(const QKeySequence& key) {
  static const QList<QKeySequence> keys{QKeySequence(QStringLiteral("F7")), QKeySequence(QStringLiteral("Ctrl+F7")),
                                        QKeySequence(QStringLiteral("Alt+F4")), QKeySequence(QStringLiteral("Ctrl+Del")),
                                        QKeySequence(QStringLiteral("Ctrl+J"))};
  return keys.contains(key);
}

void TCommandTable::Add(TCommand command) {
  Q_ASSERT(!Index_.contains(command.Id));
  auto* action = new QAction(command.Caption, this);
  action->setObjectName(command.Id);
  const QString hint = command.Hint.isEmpty() ? command.Caption : command.Hint;
  action->setStatusTip(hint);
  action->setToolTip(hint);
  if (!command.Key.isEmpty()) {
    const QKeySequence key(command.Key);
    action->setShortcut(key);
    // A shared key only shows in the menus; ResolveKey decides which command it runs.
    action->setShortcutContext(IsSharedKey(key) ? Qt::WidgetShortcut : Qt::WindowShortcut);
    if (!IsSharedKey(key) && Owner_ != nullptr) Owner_->addAction(action);
  }
  if (command.Checked) action->setCheckable(true);
  if (!command.RadioGroup.isEmpty()) {
    QActionGroup*& group = Groups_[command.RadioGroup];
    if (group == nullptr) group = new QActionGroup(this);
    group->addAction(action);
  }
  const QString id = command.Id;
  connect(action, &QAction::triggered, this, [this, id] {
    Trigger(id);
    UpdateActions();
  });
  Index_.insert(id, static_cast<int>(Commands_.size()));
  Actions_.insert(id, action);
  Commands_.push_back(std::move(command));
}

const TCommand* TCommandTable::Find(const QString& id) const {
  const auto it = Index_.find(id);
  return it == Index_.end() ? nullptr : &Commands_[static_cast<size_t>(*it)];
}

bool TCommandTable::IsEnabled(const QString& id) const {
  const TCommand* c = Find(id);
  if (c == nullptr || (Busy_() && !c->WhileBusy)) return false;
  return !c->Enabled || c->Enabled();
}

bool TCommandTable::IsChecked(const QString& id) const {
  const TCommand* c = Find(id);
  return c != nullptr && c->Checked && c->Checked();
}

bool TCommandTable::Trigger(const QString& id) {
  if (!IsEnabled(id)) return false;
  const TCommand* c = Find(id);
  if (c->Handler) c->Handler();
  return true;
}

void TCommandTable::UpdateActions() {
  for (const TCommand& c : Commands_) {
    QAction* a = Actions_.value(c.Id);
    a->setEnabled(IsEnabled(c.Id));
    if (c.Checked) a->setChecked(c.Checked());
  }
}

void TCommandTable::FillMenu(QMenu* menu, const TMenuList& items) {
  std::vector<QMenu*> stack{menu};
  for (const QString& item : items) {
    QMenu* current = stack.back();
    if (item == QLatin1String("|")) {
      current->addSeparator();
    } else if (item.startsWith(QLatin1Char('['))) {
      stack.push_back(current->addMenu(item.mid(1)));
    } else if (item == QLatin1String("]")) {
      if (stack.size() > 1) stack.pop_back();
    } else if (QAction* a = Action(item)) {
      current->addAction(a);
    }
  }
  // QMenu collapses neighbouring separators itself.
  menu->setSeparatorsCollapsible(true);
}

QMenu* TCommandTable::AddMainMenu(QMenuBar* bar, const QString& title, const TMenuList& items) {
  QMenu* menu = bar->addMenu(title);
  FillMenu(menu, items);
  for (const QString& item : items)
    if (Find(item) != nullptr) MainMenuIds_.push_back(item);
  return menu;
}

void TCommandTable::SetPopup(QWidget* widget, const TMenuList& items) {
  QStringList ids;
  for (const QString& item : items)
    if (Find(item) != nullptr) ids.push_back(item);
  Popups_.insert(widget, ids);
  widget->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(widget, &QWidget::customContextMenuRequested, this, [this, widget, items](const QPoint& pos) {
    UpdateActions();
    QMenu menu;
    FillMenu(&menu, items);
    menu.exec(widget->mapToGlobal(pos));
  });
}

bool TCommandTable::Bound(const QString& id, const QKeySequence& key) const {
  const TCommand* c = Find(id);
  return c != nullptr && !c->Key.isEmpty() && QKeySequence(c->Key) == key;
}

bool TCommandTable::ResolveIn(const QStringList& ids, const QKeySequence& key, TKeyResolution& out) const {
  for (const QString& id : ids) {
    if (!Bound(id, key)) continue;
    // The first item with the key decides for its menu: run it, or let the next stage try.
    if (!IsEnabled(id)) return false;
    out = {true, id};
    return true;
  }
  return false;
}

TKeyResolution TCommandTable::ResolveKey(const QKeySequence& key, QWidget* focus) const {
  TKeyResolution out;
  for (QWidget* w = focus; w != nullptr; w = w->parentWidget()) {
    const auto it = Popups_.find(w);
    if (it != Popups_.end() && ResolveIn(*it, key, out)) return out;
  }
  if (ResolveIn(MainMenuIds_, key, out)) return out;
  for (const QString& id : SharedKeyOrder()) {
    if (!Bound(id, key)) continue;
    out.Consumed = true;
    if (IsEnabled(id)) out.Id = id;
    return out;
  }
  return out;
}

}  // namespace vexa::gui

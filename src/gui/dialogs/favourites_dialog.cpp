#include "dialogs/favourites_dialog.h"

#include <QAction>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "dialogs/help_dialog.h"
#include "shell/file_dialogs.h"
#include "shell/message_boxes.h"

namespace vexa::gui {
namespace {

constexpr int MethodRole = Qt::UserRole + 1;  // the engine's index; -1 on a group node
constexpr const char* NamesFilter = "Наименования фильтров (*.flt)|*.flt";

}  // namespace

TFavouritesDialog::TFavouritesDialog(TWorkspace& ws, QWidget* parent) : QDialog(parent), Ws_(ws) {
  setObjectName(QStringLiteral("TFormFilters"));
  setWindowTitle(QStringLiteral("Избранные статистики"));
  auto* layout = new QVBoxLayout(this);
  Count_ = new QLabel(this);
  Count_->setObjectName(QStringLiteral("lbCount"));
  layout->addWidget(Count_);
  Tree_ = new QTreeWidget(this);
  Tree_->setObjectName(QStringLiteral("tvFilters"));
  Tree_->setHeaderHidden(true);
  Tree_->setSelectionMode(QAbstractItemView::SingleSelection);
  Tree_->setSelectionBehavior(QAbstractItemView::SelectRows);
  Tree_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  Tree_->setContextMenuPolicy(Qt::ActionsContextMenu);
  layout->addWidget(Tree_, 1);

  auto* frame = new QGroupBox(
      QStringLiteral(" Параметры вывода наименований в списках методов расчета статистики "), this);
  auto* fl = new QVBoxLayout(frame);
  Ordered_ = new QCheckBox(QStringLiteral("Сортировать списки по названию метода"), frame);
  GroupName_ = new QCheckBox(QStringLiteral("Отображать идентификатор группы { xxx } перед названием метода"), frame);
  Flags_ = new QCheckBox(QStringLiteral("Отображать особенности метода [ YYY ] после названия метода"), frame);
  for (QCheckBox* b : {Ordered_, GroupName_, Flags_}) fl->addWidget(b);
  Ordered_->setChecked(ws.Stats().Ordered);
  GroupName_->setChecked(ws.Stats().ShowGroupName);
  Flags_->setChecked(ws.Stats().ShowMethodFlags);
  layout->addWidget(frame);

  struct TDef {
    const char* Id;
    const char* Caption;
    const char* Hint;
    std::function<void()> Run;
  };
  const TDef defs[] = {
      {"GroupNone", "Сбросить группу", "Снять отметки со всех фильтров группы", [this] { CheckGroup(false); }},
      {"GroupAll", "Выбрать группу", "Поставить отметки у всех фильтров группы", [this] { CheckGroup(true); }},
      {"|", "", "", {}},
      {"CheckNone", "Сбросить все", "Снять отметки со всех фильтров", [this] { CheckAll(false); }},
      {"CheckAll", "Выбрать все", "Поставить отметки у всех фильтров", [this] { CheckAll(true); }},
      {"|", "", "", {}},
      {"Info", "Описание", "Справочная информация о выделенном методе расчета статистики", [this] { Info(); }},
      {"|", "", "", {}},
      {"Rename", "Переименовать", "Переименовать фильтр", [this] { Rename(); }},
      {"ResetName", "Вернуть", "Вернуть наименование \"по умолчанию\"", [this] { ResetName(); }},
      {"|", "", "", {}},
      {"NamesImport", "Импорт названий", "Импорт названий фильтров из файла", [this] { NamesImport(); }},
      {"NamesExport", "Экспорт названий", "Экспорт названий фильтров в файл", [this] { NamesExport(); }},
  };
  for (const TDef& d : defs) {
    auto* a = new QAction(QString::fromUtf8(d.Caption), this);
    if (std::string_view(d.Id) == "|") {
      a->setSeparator(true);
    } else {
      a->setObjectName(QString::fromLatin1(d.Id));
      a->setStatusTip(QString::fromUtf8(d.Hint));
      a->setToolTip(a->statusTip());
      connect(a, &QAction::triggered, this, d.Run);
      Actions_.push_back(a);
    }
    Tree_->addAction(a);
  }
  auto* row = new QHBoxLayout;
  for (const char* id : {"Rename", "ResetName", "Info"}) {
    auto* b = new QPushButton(Command(QString::fromLatin1(id))->text(), this);
    b->setObjectName(QStringLiteral("btn") + QString::fromLatin1(id));
    connect(b, &QPushButton::clicked, Command(QString::fromLatin1(id)), &QAction::trigger);
    connect(Command(QString::fromLatin1(id)), &QAction::changed, b,
            [b, a = Command(QString::fromLatin1(id))] { b->setEnabled(a->isEnabled()); });
    row->addWidget(b);
  }
  row->addStretch(1);
  auto* box = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  box->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Отмена"));
  connect(box, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(box, &QDialogButtonBox::rejected, this, &QDialog::reject);
  row->addWidget(box);
  layout->addLayout(row);

  connect(Tree_, &QTreeWidget::itemSelectionChanged, this, &TFavouritesDialog::UpdateCommands);
  connect(Tree_, &QTreeWidget::itemDoubleClicked, this, [](QTreeWidgetItem* item, int) {
    if (item->data(0, MethodRole).toInt() < 0) return;
    item->setCheckState(0, item->checkState(0) == Qt::Checked ? Qt::Unchecked : Qt::Checked);
  });
  Fill();
  resize(620, 640);
}

QAction* TFavouritesDialog::Command(const QString& id) const {
  for (QAction* a : Actions_)
    if (a->objectName() == id) return a;
  return nullptr;
}

void TFavouritesDialog::Fill() {
  const TWorkspace::TBusy busy(Ws_);
  Tree_->clear();
  const TStatList& stats = Ws_.Stats();
  Count_->setText(QStringLiteral("всего %1 методов").arg(stats.Count()));
  for (const TWorkspace::TFavouriteGroup& g : Ws_.FavouriteTree()) {
    auto* group = new QTreeWidgetItem(Tree_, {QString::fromStdString(g.Heading)});
    group->setData(0, MethodRole, -1);
    group->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable | Qt::ItemIsAutoTristate);
    for (int i : g.Methods) {
      auto* node = new QTreeWidgetItem(group, {QString::fromStdString(stats.Items(i).DisplayName())});
      node->setData(0, MethodRole, i);
      node->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
      node->setCheckState(0, stats.IsFavourite(i) ? Qt::Checked : Qt::Unchecked);
    }
  }
  Tree_->expandAll();
  UpdateCommands();
}

void TFavouritesDialog::UpdateCommands() {
  const bool any = Tree_->topLevelItemCount() > 0;
  const bool selected = !Tree_->selectedItems().isEmpty();
  const bool method = SelectedMethod() != nullptr;
  Command(QStringLiteral("CheckNone"))->setEnabled(any);
  Command(QStringLiteral("CheckAll"))->setEnabled(any);
  Command(QStringLiteral("GroupNone"))->setEnabled(selected);
  Command(QStringLiteral("GroupAll"))->setEnabled(selected);
  for (const char* id : {"Rename", "ResetName", "Info"}) Command(QString::fromLatin1(id))->setEnabled(method);
}

QTreeWidgetItem* TFavouritesDialog::SelectedMethod() const {
  const QList<QTreeWidgetItem*> items = Tree_->selectedItems();
  if (items.isEmpty() || items.front()->data(0, MethodRole).toInt() < 0) return nullptr;
  return items.front();
}

QTreeWidgetItem* TFavouritesDialog::SelectedGroup() const {
  const QList<QTreeWidgetItem*> items = Tree_->selectedItems();
  if (items.isEmpty()) return nullptr;
  return items.front()->parent() != nullptr ? items.front()->parent() : items.front();
}

QTreeWidgetItem* TFavouritesDialog::MethodNode(int methodIndex) const {
  for (int g = 0; g < Tree_->topLevelItemCount(); ++g) {
    QTreeWidgetItem* group = Tree_->topLevelItem(g);
    for (int k = 0; k < group->childCount(); ++k)
      if (group->child(k)->data(0, MethodRole).toInt() == methodIndex) return group->child(k);
  }
  return nullptr;
}

void TFavouritesDialog::CheckAll(bool on) {
  for (int g = 0; g < Tree_->topLevelItemCount(); ++g)
    Tree_->topLevelItem(g)->setCheckState(0, on ? Qt::Checked : Qt::Unchecked);
}

void TFavouritesDialog::CheckGroup(bool on) {
  if (QTreeWidgetItem* group = SelectedGroup()) group->setCheckState(0, on ? Qt::Checked : Qt::Unchecked);
}

void TFavouritesDialog::Rename(const QString* text) {
  QTreeWidgetItem* node = SelectedMethod();
  if (node == nullptr) return;
  QString value;
  if (text != nullptr) {
    value = *text;
  } else {
    bool ok = false;
    value = QInputDialog::getText(this, QStringLiteral("Переименование"), QStringLiteral("Введите наименование фильтра:"),
                                  QLineEdit::Normal, node->text(0), &ok);
    if (!ok) return;
  }
  node->setText(0, value);
}

void TFavouritesDialog::ResetName() {
  if (QTreeWidgetItem* node = SelectedMethod())
    node->setText(0, QString::fromStdString(Ws_.Stats().Items(node->data(0, MethodRole).toInt()).DefaultName()));
}

void TFavouritesDialog::Info() {
  QTreeWidgetItem* node = SelectedMethod();
  if (node == nullptr) return;
  THelpDialog help(QString::fromStdString(Ws_.StatHelpPage(node->data(0, MethodRole).toInt())), this);
  help.exec();
}

std::vector<std::pair<int, std::string>> TFavouritesDialog::Names() const {
  std::vector<std::pair<int, std::string>> names;
  for (int g = 0; g < Tree_->topLevelItemCount(); ++g) {
    QTreeWidgetItem* group = Tree_->topLevelItem(g);
    for (int k = 0; k < group->childCount(); ++k)
      names.emplace_back(group->child(k)->data(0, MethodRole).toInt(), ToEngine(group->child(k)->text(0)));
  }
  return names;
}

TWorkspace::TFavouritesEdit TFavouritesDialog::Result() const {
  TWorkspace::TFavouritesEdit edit;
  edit.Names = Names();
  for (int g = 0; g < Tree_->topLevelItemCount(); ++g) {
    QTreeWidgetItem* group = Tree_->topLevelItem(g);
    for (int k = 0; k < group->childCount(); ++k)
      if (group->child(k)->checkState(0) == Qt::Checked) edit.Checked.push_back(group->child(k)->data(0, MethodRole).toInt());
  }
  edit.Ordered = Ordered_->isChecked();
  edit.ShowGroupName = GroupName_->isChecked();
  edit.ShowMethodFlags = Flags_->isChecked();
  return edit;
}

void TFavouritesDialog::NamesImport() {
  const QString file = ChooseFile(this, {false, QString::fromUtf8(NamesFilter), QStringLiteral("flt")});
  if (file.isEmpty()) return;
  // The imported names are the registry's at once; marks not yet confirmed go with the refill.
  Ws_.FavouritesNamesImport(file.toStdString());
  Fill();
}

void TFavouritesDialog::NamesExport() {
  const QString file = ChooseFile(this, {true, QString::fromUtf8(NamesFilter), QStringLiteral("flt")});
  if (file.isEmpty()) return;
  Ws_.FavouritesNamesExport(file.toStdString(), Names());
}

}  // namespace vexa::gui

#include "dialogs/export_dialog.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "dialogs/export_field_dialog.h"
#include "shell/file_dialogs.h"
#include "shell/message_boxes.h"
#include "workspace/workspace.h"

namespace vexa::gui {
namespace {

QString Q(const char* utf8) { return QString::fromUtf8(utf8); }

QAction* MakeAction(QWidget* owner, const char* id, const char* caption, const char* hint, const QKeySequence& key) {
  auto* a = new QAction(Q(caption), owner);
  a->setObjectName(QString::fromLatin1(id));
  a->setToolTip(Q(hint));
  a->setStatusTip(Q(hint));
  a->setShortcut(key);
  a->setShortcutContext(Qt::WidgetWithChildrenShortcut);
  owner->addAction(a);
  return a;
}

QPushButton* ActionButton(QAction* action, QWidget* parent) {
  auto* b = new QPushButton(action->text(), parent);
  b->setObjectName(QStringLiteral("btn") + action->objectName());
  b->setToolTip(action->toolTip());
  b->setAutoDefault(false);
  QObject::connect(b, &QPushButton::clicked, action, &QAction::trigger);
  QObject::connect(action, &QAction::changed, b, [b, action] { b->setEnabled(action->isEnabled()); });
  return b;
}

}  // namespace

TExportDialog::TExportDialog(TWorkspace& ws, const TExportTable& table, bool allowSave, QWidget* parent)
    : QDialog(parent), Ws_(ws), Table_(table), AllowSave_(allowSave) {
  setObjectName(QStringLiteral("TFormExpExcel"));
  setWindowTitle(QStringLiteral("Экспорт в Microsoft Excel"));
  Counts_ = ExportRowCounts(table);
  // The initial values, then those stored for the table (restore mode).
  Params_ = ws.ExportParamsFor(table, allowSave);

  OpenFile_ = MakeAction(this, "OpenFile", "Загрузить из файла", "Загрузить параметры экспорта из файла",
                         QKeySequence(Qt::CTRL | Qt::Key_O));
  SaveFile_ = MakeAction(this, "SaveFile", "Сохранить в файле", "Сохранить параметры экспорта в файле",
                         QKeySequence(Qt::CTRL | Qt::Key_S));
  MoveUp_ = MakeAction(this, "MoveUp", "Вверх", "Переместить на одну строку вверх", QKeySequence(Qt::CTRL | Qt::Key_Up));
  MoveDown_ = MakeAction(this, "MoveDown", "Вниз", "Переместить на одну строку вниз",
                         QKeySequence(Qt::CTRL | Qt::Key_Down));
  Rename_ = MakeAction(this, "Rename", "Свойства", "Изменить свойства экспортируемого поля",
                       QKeySequence(Qt::CTRL | Qt::Key_Return));
  Rename_->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Return), QKeySequence(Qt::CTRL | Qt::Key_Enter)});
  connect(OpenFile_, &QAction::triggered, this, &TExportDialog::OpenFile);
  connect(SaveFile_, &QAction::triggered, this, &TExportDialog::SaveFile);
  connect(MoveUp_, &QAction::triggered, this, [this] { Move(-1); });
  connect(MoveDown_, &QAction::triggered, this, [this] { Move(1); });
  connect(Rename_, &QAction::triggered, this, &TExportDialog::Rename);

  Pages_ = new QTabWidget(this);
  Pages_->setObjectName(QStringLiteral("PageControl"));
  auto* sheetPage = new QWidget(Pages_);
  sheetPage->setObjectName(QStringLiteral("tsSheet"));
  auto* fieldsPage = new QWidget(Pages_);
  fieldsPage->setObjectName(QStringLiteral("tsFields"));
  BuildSheetPage(sheetPage);
  BuildFieldsPage(fieldsPage);
  Pages_->addTab(sheetPage, QStringLiteral("Параметры листа"));
  Pages_->addTab(fieldsPage, QStringLiteral("Столбцы таблицы"));
  connect(Pages_, &QTabWidget::currentChanged, this, [this](int page) {
    if (page == 0) {
      Title_->setFocus();
    } else {
      List_->setFocus();
    }
  });

  Save_ = new QCheckBox(QStringLiteral("Сохранить параметры экспорта в файле конфигурации"), this);
  Save_->setObjectName(QStringLiteral("SaveCheckBox"));
  ParamsButton_ = new QPushButton(QStringLiteral("Параметры"), this);
  ParamsButton_->setObjectName(QStringLiteral("btnParams"));
  ParamsButton_->setToolTip(QStringLiteral("Сохранение параметров экспорта в файле"));
  ParamsButton_->setAutoDefault(false);
  auto* paramsMenu = new QMenu(ParamsButton_);
  paramsMenu->addAction(OpenFile_);
  paramsMenu->addAction(SaveFile_);
  ParamsButton_->setMenu(paramsMenu);
  ParamsButton_->setVisible(allowSave);

  auto* buttons = new QDialogButtonBox(this);
  QPushButton* ok = buttons->addButton(QStringLiteral("Начать экспорт"), QDialogButtonBox::AcceptRole);
  ok->setObjectName(QStringLiteral("btnOk"));
  ok->setDefault(true);
  QPushButton* cancel = buttons->addButton(QStringLiteral("Закрыть окно"), QDialogButtonBox::RejectRole);
  cancel->setObjectName(QStringLiteral("btnCancel"));
  connect(buttons, &QDialogButtonBox::accepted, this, &TExportDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &TExportDialog::reject);

  auto* bottom = new QHBoxLayout;
  bottom->addWidget(ParamsButton_);
  bottom->addStretch(1);
  bottom->addWidget(buttons);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(Pages_, 1);
  layout->addWidget(Save_);
  layout->addLayout(bottom);

  ShowParams();
  FillList(Params_.Fields.empty() ? -1 : 0);
  resize(640, 470);
}

void TExportDialog::BuildSheetPage(QWidget* page) {
  Title_ = new QLineEdit(page);
  Title_->setObjectName(QStringLiteral("edTitle"));
  Notes_ = new QLineEdit(page);
  Notes_->setObjectName(QStringLiteral("edNotes"));
  CreateTime_ = new QCheckBox(
      QStringLiteral("Добавить строку с датой и временем формирования отчета (экспорта)."), page);
  CreateTime_->setObjectName(QStringLiteral("DateCreateCheckBox"));
  SheetName_ = new QLineEdit(page);
  SheetName_->setObjectName(QStringLiteral("edPageName"));
  SheetName_->setMaxLength(ExportSheetNameMax);
  Orientation_ = new QComboBox(page);
  Orientation_->setObjectName(QStringLiteral("edOrientation"));
  for (const char* name : ExportOrientationNames) Orientation_->addItem(Q(name));
  FontSize_ = new QSpinBox(page);
  FontSize_->setObjectName(QStringLiteral("edFontSize"));
  FontSize_->setRange(ExportMinFontSize, ExportMaxFontSize);
  SendMode_ = new QComboBox(page);
  SendMode_->setObjectName(QStringLiteral("edSendMode"));
  for (const char* name : ExportSendModeNames) SendMode_->addItem(Q(name));
  RowCount_ = new QLineEdit(page);
  RowCount_->setObjectName(QStringLiteral("edRecNum"));
  RowCount_->setReadOnly(true);
  RowCount_->setToolTip(QStringLiteral("Число строк, которые будут переданы в Microsoft Excel"));
  RowCount_->setMaximumWidth(110);
  connect(SendMode_, &QComboBox::currentIndexChanged, this, &TExportDialog::ShowRowCount);

  auto* layout = new QVBoxLayout(page);
  layout->addWidget(new QLabel(QStringLiteral("Наименование отчета:"), page));
  layout->addWidget(Title_);
  layout->addWidget(new QLabel(QStringLiteral("Дополнительные сведения:"), page));
  layout->addWidget(Notes_);
  layout->addWidget(CreateTime_);
  auto* sheet = new QGroupBox(QStringLiteral(" Параметры листа Microsoft Excel "), page);
  auto* sheetForm = new QFormLayout(sheet);
  sheetForm->addRow(QStringLiteral("Наименование листа:"), SheetName_);
  sheetForm->addRow(QStringLiteral("Ориентация:"), Orientation_);
  sheetForm->addRow(QStringLiteral("Базовый размер шрифта:"), FontSize_);
  layout->addWidget(sheet);
  auto* send = new QGroupBox(QStringLiteral(" Режим передачи данных "), page);
  auto* sendRow = new QHBoxLayout(send);
  sendRow->addWidget(new QLabel(QStringLiteral("Число строк:"), send));
  sendRow->addWidget(SendMode_, 1);
  sendRow->addWidget(RowCount_);
  layout->addWidget(send);
  layout->addStretch(1);
}

void TExportDialog::BuildFieldsPage(QWidget* page) {
  List_ = new QTreeWidget(page);
  List_->setObjectName(QString::fromLatin1(FieldListName));
  List_->setRootIsDecorated(false);
  List_->setItemsExpandable(false);
  List_->setSortingEnabled(false);
  List_->setSelectionMode(QAbstractItemView::SingleSelection);
  List_->setSelectionBehavior(QAbstractItemView::SelectRows);
  List_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  List_->setAllColumnsShowFocus(true);
  List_->setHeaderLabels({QStringLiteral("Наименование столбца"), QStringLiteral("Выравнивание"),
                          QStringLiteral("Ширина"), QStringLiteral("Физическое поле")});
  List_->headerItem()->setTextAlignment(1, Qt::AlignCenter);
  List_->headerItem()->setTextAlignment(2, Qt::AlignCenter);
  TListColumns columns;
  columns.Widths = {250, 134, 60, 150};
  try {
    Ws_.ReadWindowListColumns(WindowSection, FieldListName, columns);
  } catch (const std::exception&) {
    // An unreadable window settings file keeps the defaults; it was reported at start-up.
  }
  for (int c = 0; c < 4; ++c)
    if (columns.Widths[static_cast<size_t>(c)] > 0) List_->setColumnWidth(c, columns.Widths[static_cast<size_t>(c)]);
  List_->setAlternatingRowColors(true);
  List_->setContextMenuPolicy(Qt::CustomContextMenu);
  auto* popup = new QMenu(List_);
  popup->addAction(MoveUp_);
  popup->addAction(MoveDown_);
  popup->addSeparator();
  popup->addAction(Rename_);
  popup->setDefaultAction(Rename_);
  connect(List_, &QWidget::customContextMenuRequested, this,
          [this, popup](const QPoint& at) { popup->exec(List_->viewport()->mapToGlobal(at)); });
  connect(List_, &QTreeWidget::itemDoubleClicked, this, [this] { Rename_->trigger(); });
  connect(List_, &QTreeWidget::currentItemChanged, this, &TExportDialog::UpdateActions);
  connect(List_, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem* item, int column) {
    if (Filling_ || column != 0) return;
    const int index = List_->indexOfTopLevelItem(item);
    const bool now = item->checkState(0) == Qt::Checked;
    if (index < 0 || now == Params_.Fields[static_cast<size_t>(index)].Checked) return;
    // Deferred: the list is rebuilt, and the item must outlive its own signal.
    QMetaObject::invokeMethod(this, [this, index] { ToggleField(index); }, Qt::QueuedConnection);
  });

  auto* layout = new QVBoxLayout(page);
  layout->addWidget(new QLabel(QStringLiteral("Перечень экспортируемых полей:"), page));
  layout->addWidget(List_, 1);
  auto* row = new QHBoxLayout;
  row->addWidget(ActionButton(MoveUp_, page));
  row->addWidget(ActionButton(MoveDown_, page));
  row->addWidget(ActionButton(Rename_, page));
  row->addStretch(1);
  layout->addLayout(row);
}

void TExportDialog::ShowParams() {
  Title_->setText(FromEngine(Params_.Title));
  Notes_->setText(FromEngine(Params_.Notes));
  CreateTime_->setChecked(Params_.ShowCreateTime);
  SheetName_->setText(FromEngine(Params_.SheetName));
  Orientation_->setCurrentIndex(std::clamp(Params_.PageOrientation, 0, 2));
  FontSize_->setValue(Params_.BaseFontSize);
  SendMode_->setCurrentIndex(Params_.SendMode == ExportSendSelected ? 1 : 0);
  Save_->setChecked(AllowSave_ && Params_.SaveParameters);
  Save_->setEnabled(AllowSave_);
  ShowRowCount();
}

void TExportDialog::ReadControls() { Params_ = Result(); }

TExportParams TExportDialog::Result() const {
  TExportParams p = Params_;
  p.Title = ToEngine(Title_->text());
  p.Notes = ToEngine(Notes_->text());
  p.ShowCreateTime = CreateTime_->isChecked();
  p.SheetName = ToEngine(SheetName_->text());
  p.PageOrientation = Orientation_->currentIndex();
  p.BaseFontSize = FontSize_->value();
  p.SendMode = SendMode_->currentIndex() == 1 ? ExportSendSelected : ExportSendAll;
  p.SaveParameters = Save_->isChecked();
  return p;
}

void TExportDialog::ShowRowCount() {
  RowCount_->setText(QString::number(Counts_.Of(SendMode_->currentIndex() == 1 ? ExportSendSelected : ExportSendAll)));
}

void TExportDialog::FillList(int select) {
  Filling_ = true;
  List_->clear();
  for (const TExportField& f : Params_.Fields) {
    auto* item = new QTreeWidgetItem(List_);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
    item->setText(0, FromEngine(f.Caption));
    item->setCheckState(0, f.Checked ? Qt::Checked : Qt::Unchecked);
    const int a = f.Alignment >= 0 && f.Alignment < 3 ? f.Alignment : ExportAlignLeft;
    item->setText(1, Q(ExportAlignmentNames[a]));
    item->setTextAlignment(1, Qt::AlignCenter);
    item->setText(2, FromEngine(f.Width));
    item->setTextAlignment(2, Qt::AlignCenter);
    item->setText(3, FromEngine(f.PhysicalField));
  }
  Filling_ = false;
  SelectField(select);
}

int TExportDialog::CurrentField() const {
  QTreeWidgetItem* item = List_->currentItem();
  return item != nullptr && item->isSelected() ? List_->indexOfTopLevelItem(item) : -1;
}

void TExportDialog::SelectField(int index) {
  if (index >= 0 && index < List_->topLevelItemCount()) {
    QTreeWidgetItem* item = List_->topLevelItem(index);
    List_->setCurrentItem(item);
    item->setSelected(true);
    List_->scrollToItem(item);
  }
  UpdateActions();
}

QAction* TExportDialog::Action(const QString& id) const {
  for (QAction* a : {OpenFile_, SaveFile_, MoveUp_, MoveDown_, Rename_})
    if (a->objectName() == id) return a;
  return nullptr;
}

void TExportDialog::UpdateActions() {
  const int i = CurrentField();
  const int count = static_cast<int>(Params_.Fields.size());
  OpenFile_->setEnabled(AllowSave_);
  SaveFile_->setEnabled(AllowSave_);
  MoveUp_->setEnabled(i > 0);
  MoveDown_->setEnabled(i >= 0 && i < count - 1);
  Rename_->setEnabled(i >= 0);
}

void TExportDialog::ToggleField(int index) {
  if (index < 0 || index >= static_cast<int>(Params_.Fields.size())) return;
  FillList(ToggleExportField(Params_.Fields, index));
}

void TExportDialog::Move(int delta) {
  const int i = CurrentField();
  if (i < 0) return;
  FillList(MoveExportField(Params_.Fields, i, delta));
  List_->setFocus();
}

void TExportDialog::Rename() {
  const int i = CurrentField();
  if (i < 0) return;
  TExportFieldDialog dialog(Params_.Fields[static_cast<size_t>(i)], this);
  if (dialog.exec() != QDialog::Accepted) return;
  Params_.Fields[static_cast<size_t>(i)] = dialog.Result();
  FillList(i);
}

void TExportDialog::OpenFile() {
  if (!AllowSave_) return;
  const QString file = ChooseFile(this, TFileRequest{false, Q(ExportFileFilter), QStringLiteral("exp")});
  if (file.isEmpty()) return;
  ReadControls();
  try {
    Ws_.ExportLoadParamsFile(file.toStdString(), Table_, Params_);
  } catch (const std::exception& e) {
    ShowError(this, FromEngine(e.what()));
  }
  // A failed load keeps what was loaded before the failure.
  ShowParams();
  FillList(Params_.Fields.empty() ? -1 : 0);
}

void TExportDialog::SaveFile() {
  if (!AllowSave_) return;
  const QString file = ChooseFile(this, TFileRequest{true, Q(ExportFileFilter), QStringLiteral("exp")});
  if (file.isEmpty()) return;
  ReadControls();
  try {
    Ws_.ExportSaveParamsFile(file.toStdString(), Table_, Params_);
  } catch (const std::exception& e) {
    ShowError(this, FromEngine(e.what()));
  }
}

void TExportDialog::done(int result) {
  TListColumns columns;
  for (int c = 0; c < 4; ++c) columns.Widths.push_back(List_->columnWidth(c));
  try {
    Ws_.SaveWindowListColumns(WindowSection, FieldListName, columns);
  } catch (const std::exception&) {
    // Column widths are a convenience: a failed write loses nothing else.
  }
  QDialog::done(result);
}

void TExportDialog::accept() {
  ReadControls();
  if (AllowSave_) {
    // Stored whatever the check box says; it only decides RestoreParameters.
    try {
      Ws_.ExportStoreParams(Table_, Params_);
    } catch (const std::exception& e) {
      ShowError(this, FromEngine(e.what()));
    }
  }
  QDialog::accept();
}

}  // namespace vexa::gui

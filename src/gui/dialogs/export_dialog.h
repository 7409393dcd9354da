// The export parameters dialog TFormExpExcel ("Экспорт в Microsoft Excel"):
// the report's texts, the sheet settings, the send mode with its row
// count, and the list of fields in checked-first order.
//
// The dialog works on a copy of the parameters; every rule (the order after
// a toggle or a move, the stored section, the ".exp" files, the counts) is
// the engine's. OK with saving allowed stores the parameters in the
// settings file; the caller then exports Result().
#pragma once

#include <QDialog>

#include "export/export_params.h"
#include "export/export_table.h"

class QAction;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTabWidget;
class QTreeWidget;
class QTreeWidgetItem;

namespace vexa {
class TWorkspace;
}

namespace vexa::gui {

class TExportDialog : public QDialog {
  Q_OBJECT

 public:
  static constexpr const char* WindowSection = "TFormExpExcel";
  static constexpr const char* FieldListName = "lvFields";

  TExportDialog(TWorkspace& ws, const TExportTable& table, bool allowSave = true, QWidget* parent = nullptr);

  // The parameters as the controls hold them.
  TExportParams Result() const;
  const std::vector<TExportField>& Fields() const { return Params_.Fields; }
  int CurrentField() const;
  void SelectField(int index);

  // The dialog's commands by id: OpenFile, SaveFile, MoveUp, MoveDown, Rename.
  QAction* Action(const QString& id) const;
  void UpdateActions();
  // The check box of field `index` as a click on it.
  void ToggleField(int index);

  QTabWidget* Pages() const { return Pages_; }
  QTreeWidget* FieldList() const { return List_; }
  QLineEdit* TitleEdit() const { return Title_; }
  QLineEdit* NotesEdit() const { return Notes_; }
  QCheckBox* CreateTimeBox() const { return CreateTime_; }
  QLineEdit* SheetNameEdit() const { return SheetName_; }
  QComboBox* OrientationBox() const { return Orientation_; }
  QSpinBox* FontSizeEdit() const { return FontSize_; }
  QComboBox* SendModeBox() const { return SendMode_; }
  QLineEdit* RowCountEdit() const { return RowCount_; }
  QCheckBox* SaveBox() const { return Save_; }
  QPushButton* ParamsButton() const { return ParamsButton_; }

  void accept() override;
  // Keeps the field list's column widths (section TFormExpExcel of the
  // window settings file) however the dialog closes.
  void done(int result) override;

 private:
  void BuildSheetPage(QWidget* page);
  void BuildFieldsPage(QWidget* page);
  void ShowParams();
  void ReadControls();
  void FillList(int select);
  void ShowRowCount();
  void Move(int delta);
  void Rename();
  void OpenFile();
  void SaveFile();

  TWorkspace& Ws_;
  const TExportTable& Table_;
  bool AllowSave_;
  TExportRowCounts Counts_;
  TExportParams Params_;
  bool Filling_ = false;
  QTabWidget* Pages_ = nullptr;
  QTreeWidget* List_ = nullptr;
  QLineEdit* Title_ = nullptr;
  QLineEdit* Notes_ = nullptr;
  QCheckBox* CreateTime_ = nullptr;
  QLineEdit* SheetName_ = nullptr;
  QComboBox* Orientation_ = nullptr;
  QSpinBox* FontSize_ = nullptr;
  QComboBox* SendMode_ = nullptr;
  QLineEdit* RowCount_ = nullptr;
  QCheckBox* Save_ = nullptr;
  QPushButton* ParamsButton_ = nullptr;
  QAction* OpenFile_ = nullptr;
  QAction* SaveFile_ = nullptr;
  QAction* MoveUp_ = nullptr;
  QAction* MoveDown_ = nullptr;
  QAction* Rename_ = nullptr;
};

}  // namespace vexa::gui

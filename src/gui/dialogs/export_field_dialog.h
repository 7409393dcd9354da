// The field dialog TFormExpExcelParam ("Параметры поля"): the caption, the
// alignment and the width of one exported column.
#pragma once

#include <QDialog>

#include "export/export_params.h"

class QComboBox;
class QDoubleSpinBox;
class QLineEdit;

namespace vexa::gui {

class TExportFieldDialog : public QDialog {
  Q_OBJECT

 public:
  TExportFieldDialog(const TExportField& field, QWidget* parent = nullptr);

  // The field with the caption, the alignment and the width (fixed, two decimals) of the dialog.
  TExportField Result() const;

  QLineEdit* CaptionEdit() const { return Caption_; }
  QComboBox* AlignmentBox() const { return Alignment_; }
  QDoubleSpinBox* WidthEdit() const { return Width_; }

 private:
  TExportField Field_;
  QLineEdit* Caption_;
  QComboBox* Alignment_;
  QDoubleSpinBox* Width_;
};

}  // namespace vexa::gui

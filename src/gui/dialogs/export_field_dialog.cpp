#include "dialogs/export_field_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "shell/message_boxes.h"

namespace vexa::gui {

TExportFieldDialog::TExportFieldDialog(const TExportField& field, QWidget* parent)
    : QDialog(parent), Field_(field) {
  setObjectName(QStringLiteral("TFormExpExcelParam"));
  setWindowTitle(QStringLiteral("Параметры поля"));
  Caption_ = new QLineEdit(FromEngine(field.Caption), this);
  Caption_->setObjectName(QStringLiteral("edCaption"));
  Alignment_ = new QComboBox(this);
  Alignment_->setObjectName(QStringLiteral("edAlignment"));
  for (const char* name : ExportAlignmentNames) Alignment_->addItem(QString::fromUtf8(name));
  Alignment_->setCurrentIndex(field.Alignment >= 0 && field.Alignment < 3 ? field.Alignment : ExportAlignLeft);
  Width_ = new QDoubleSpinBox(this);
  Width_->setObjectName(QStringLiteral("edWidth"));
  // ",0.00": grouped thousands, two decimals.
  Width_->setDecimals(2);
  Width_->setGroupSeparatorShown(true);
  Width_->setRange(0, 1000000);
  Width_->setValue(ReadExportWidth(field.Width));
  auto* form = new QFormLayout;
  form->addRow(QStringLiteral("Заголовок столбца:"), Caption_);
  form->addRow(QStringLiteral("Выравнивание данных:"), Alignment_);
  form->addRow(QStringLiteral("Ширина:"), Width_);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
  buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Отмена"));
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(buttons);
  resize(360, sizeHint().height());
}

TExportField TExportFieldDialog::Result() const {
  TExportField f = Field_;
  f.Caption = ToEngine(Caption_->text());
  f.Alignment = Alignment_->currentIndex();
  f.Width = ExportWidthText(Width_->value());
  return f;
}

}  // namespace vexa::gui

#include "dialogs/table_dialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "shell/message_boxes.h"

namespace vexa::gui {

TTableDialog::TTableDialog(const QString& startText, int selectedCount, TSubmit submit, QWidget* parent)
    : QDialog(parent), Submit_(std::move(submit)), SelectedCount_(selectedCount) {
  setObjectName(QStringLiteral("TFormTable"));
  setWindowTitle(QStringLiteral("Добавление регулярной ставки"));
  UseMyComb_ = new QRadioButton(QStringLiteral("Использовать постоянную стартовую комбинацию:"), this);
  UseMyComb_->setObjectName(QStringLiteral("rbUseMyComb"));
  UseMyComb_->setChecked(true);
  UseLastDraw_ = new QRadioButton(QStringLiteral("Использовать данные предыдущего тиража"), this);
  UseLastDraw_->setObjectName(QStringLiteral("rbUseLastDraw"));
  Start_ = new QLineEdit(selectedCount == 1 ? startText : QString::fromUtf8(SelectedCombsText), this);
  Start_->setObjectName(QStringLiteral("edCombStart"));
  Start_->setToolTip(QStringLiteral("Введите числа, разделенные точкой с запятой или запятой"));
  Step_ = new QSpinBox(this);
  Step_->setObjectName(QStringLiteral("edStep"));
  Step_->setRange(-45, 45);
  Step_->setValue(1);
  Comment_ = new QLineEdit(QString::fromUtf8(TableDefaultComment), this);
  Comment_->setObjectName(QStringLiteral("edComment"));
  Comment_->setMaxLength(static_cast<int>(TableCommentMaxLen));
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
  buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Отмена"));
  connect(buttons, &QDialogButtonBox::accepted, this, &TTableDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &TTableDialog::reject);
  connect(UseMyComb_, &QRadioButton::toggled, this, &TTableDialog::UpdateEnabling);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(UseMyComb_);
  layout->addWidget(Start_);
  layout->addWidget(UseLastDraw_);
  layout->addWidget(new QLabel(QStringLiteral("Шаг изменения элементов комбинации"), this));
  layout->addWidget(Step_);
  layout->addWidget(new QLabel(QStringLiteral("Комментарий к ставке"), this));
  layout->addWidget(Comment_);
  layout->addWidget(buttons);
  UpdateEnabling();
}

void TTableDialog::UpdateEnabling() { Start_->setEnabled(UseMyComb_->isChecked() && SelectedCount_ == 1); }

TTableInput TTableDialog::Read() const {
  TTableInput in;
  in.UseLastDraw = UseLastDraw_->isChecked();
  in.Start = ToEngine(Start_->text());
  in.Step = Step_->value();
  in.Comment = ToEngine(Comment_->text());
  return in;
}

void TTableDialog::accept() {
  const TTableInputCheck check = Submit_ ? Submit_(Read()) : TTableInputCheck{};
  if (!check.Message.empty()) {
    ShowBox(this, TBoxKind::Warning, FromEngine(check.Message));
    (check.FocusStart ? Start_ : Comment_)->setFocus();
    return;
  }
  QDialog::accept();
}

}  // namespace vexa::gui

#include "dialogs/test_count_dialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "scripts/script_runner.h"

namespace vexa::gui {

TTestCountDialog::TTestCountDialog(int most, QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("TFormTestCnt"));
  setWindowTitle(QString::fromUtf8(TestCountCaption));
  Count_ = new QSpinBox(this);
  Count_->setObjectName(QStringLiteral("edTestCount"));
  Count_->setRange(1, std::max(1, most));
  Count_->setValue(std::min(std::max(1, most), TestCountDefault));
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
  buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Отмена"));
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel(QString::fromUtf8(TestCountLabel), this));
  layout->addWidget(Count_);
  layout->addWidget(buttons);
}

int TTestCountDialog::Ask(int most, QWidget* parent) {
  TTestCountDialog dialog(most, parent);
  return dialog.exec() == QDialog::Accepted ? dialog.Count_->value() : 0;
}

}  // namespace vexa::gui

#include "dialogs/shredding_dialog.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QVBoxLayout>

#include "shell/message_boxes.h"
#include "stats/shredding_stats.h"
#include "workspace/workspace.h"

namespace vexa::gui {

TShreddingDialog::TShreddingDialog(const TShredding& shredding, QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("TFormShredding"));
  setWindowTitle(QStringLiteral("Методы шинковки"));
  auto* layout = new QVBoxLayout(this);
  auto* grid = new QGridLayout;
  for (int i = 0; i < 3; ++i) {
    auto* label = new QLabel(QStringLiteral("Формула %1:").arg(i + 1), this);
    auto* edit = new QLineEdit(QString::fromStdString(shredding.Formulas[static_cast<size_t>(i)]), this);
    edit->setObjectName(QStringLiteral("edFormula%1").arg(i + 1));
    edit->setToolTip(QStringLiteral("Используемая формула"));
    edit->setStatusTip(edit->toolTip());
    edit->setMinimumWidth(320);
    auto* spin = new QSpinBox(this);
    spin->setObjectName(QStringLiteral("edDigits%1").arg(i + 1));
    spin->setRange(ShreddingMinDigits, ShreddingMaxDigits);
    spin->setValue(shredding.Digits[static_cast<size_t>(i)]);
    spin->setToolTip(QStringLiteral("Количество используемых знаков после запятой"));
    spin->setStatusTip(spin->toolTip());
    label->setBuddy(edit);
    grid->addWidget(label, i, 0);
    grid->addWidget(edit, i, 1);
    grid->addWidget(spin, i, 2);
    Formulas_[static_cast<size_t>(i)] = edit;
    Digits_[static_cast<size_t>(i)] = spin;
  }
  layout->addLayout(grid);
  layout->addWidget(new QLabel(QStringLiteral("Используемые переменные:\nn1, n2, n3, ..., nX - числа текущего тиража\n"
                                              "p1, p2, p3, ..., pX - числа предыдущего тиража"),
                               this));
  auto* box = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  box->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Отмена"));
  connect(box, &QDialogButtonBox::accepted, this, &TShreddingDialog::accept);
  connect(box, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(box);
}

TShredding TShreddingDialog::Result() const {
  TShredding s;
  for (size_t i = 0; i < 3; ++i) {
    s.Formulas[i] = ToEngine(Formulas_[i]->text());
    s.Digits[i] = static_cast<uint8_t>(Digits_[i]->value());
  }
  return s;
}

void TShreddingDialog::accept() {
  for (int i = 0; i < 3; ++i) {
    const std::string message = TWorkspace::CheckShreddingFormula(i + 1, ToEngine(Formulas_[static_cast<size_t>(i)]->text()));
    if (!message.empty()) {
      ShowError(this, FromEngine(message));
      Formulas_[static_cast<size_t>(i)]->setFocus();
      return;
    }
  }
  QDialog::accept();
}

}  // namespace vexa::gui

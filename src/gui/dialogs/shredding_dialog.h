// "Методы шинковки": the three shredding formulas and their digit counts.
// OK refuses a formula the engine cannot evaluate, with its message.
#pragma once

#include <QDialog>

#include <array>

#include "core/settings.h"

class QLineEdit;
class QSpinBox;

namespace vexa::gui {

class TShreddingDialog : public QDialog {
  Q_OBJECT

 public:
  explicit TShreddingDialog(const TShredding& shredding, QWidget* parent = nullptr);

  TShredding Result() const;
  QLineEdit* FormulaEdit(int i) const { return Formulas_[static_cast<size_t>(i)]; }
  QSpinBox* DigitsSpin(int i) const { return Digits_[static_cast<size_t>(i)]; }

  void accept() override;

 private:
  std::array<QLineEdit*, 3> Formulas_{};
  std::array<QSpinBox*, 3> Digits_{};
};

}  // namespace vexa::gui

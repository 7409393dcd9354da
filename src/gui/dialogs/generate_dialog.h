// "Создание нового списка комбинаций": the mode, my numbers or a file name,
// and whether the choice becomes the default.
#pragma once

#include <QDialog>

#include "core/settings.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QToolButton;

namespace vexa::gui {

class TGenerateDialog : public QDialog {
  Q_OBJECT

 public:
  TGenerateDialog(const TGenerateParams& defaults, QWidget* parent = nullptr);

  TGenerateParams Params() const;
  bool MakeDefault() const;
  QComboBox* ModeBox() const { return Mode_; }
  QLineEdit* ParametersEdit() const { return Parameters_; }
  QCheckBox* DefaultBox() const { return Default_; }

 private:
  void UpdateControls();

  QComboBox* Mode_;
  QLineEdit* Parameters_;
  QToolButton* Browse_;
  QCheckBox* Default_;
};

}  // namespace vexa::gui

// The regular table rule dialog TFormTable ("Добавление регулярной ставки").
// OK hands the input to the engine, which checks and adds the rules; a
// refusal keeps the dialog open with the focus where the engine says.
#pragma once

#include <QDialog>

#include <functional>

#include "stakes/tables.h"

class QLineEdit;
class QRadioButton;
class QSpinBox;

namespace vexa::gui {

class TTableDialog : public QDialog {
  Q_OBJECT

 public:
  using TSubmit = std::function<TTableInputCheck(const TTableInput&)>;
  // startText: the one selected combination as text, or empty (several or none).
  TTableDialog(const QString& startText, int selectedCount, TSubmit submit, QWidget* parent = nullptr);

  TTableInput Read() const;
  QRadioButton* UseMyCombButton() const { return UseMyComb_; }
  QRadioButton* UseLastDrawButton() const { return UseLastDraw_; }
  QLineEdit* StartEdit() const { return Start_; }
  QSpinBox* StepEdit() const { return Step_; }
  QLineEdit* CommentEdit() const { return Comment_; }

  void accept() override;

 private:
  void UpdateEnabling();

  TSubmit Submit_;
  int SelectedCount_;
  QRadioButton* UseMyComb_;
  QRadioButton* UseLastDraw_;
  QLineEdit* Start_;
  QSpinBox* Step_;
  QLineEdit* Comment_;
};

}  // namespace vexa::gui

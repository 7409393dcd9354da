// The stake dialogs: the manual stake TFormStake, the multi-stake
// TFormMulti and delete by condition TFormStakeFilter. OK hands the input
// to a check of the engine; a refusal keeps the dialog open with the
// engine's message and the focus on the field it names.
#pragma once

#include <QDialog>

#include <functional>

#include "stakes/stake_record.h"
#include "stakes/stakes_file.h"

class QComboBox;
class QLineEdit;
class QSpinBox;

namespace vexa::gui {

class TStakeDialog : public QDialog {
  Q_OBJECT

 public:
  // submit: the engine's OK (it adds the stake when it accepts the input).
  using TSubmit = std::function<TStakeInputCheck(const TManualStakeInput&)>;
  TStakeDialog(const TStakeRec& prefilled, TSubmit submit, QWidget* parent = nullptr);

  TManualStakeInput Read() const;
  QSpinBox* DrawNumberEdit() const { return DrawNumber_; }
  QLineEdit* NumbersEdit() const { return Numbers_; }
  QLineEdit* CommentEdit() const { return Comment_; }
  QSpinBox* DrawsCountEdit() const { return DrawsCount_; }
  QLineEdit* SumEdit() const { return Sum_; }

  void accept() override;

 private:
  TSubmit Submit_;
  QSpinBox* DrawNumber_;
  QLineEdit* Numbers_;
  QLineEdit* Comment_;
  QSpinBox* DrawsCount_;
  QLineEdit* Sum_;
};

class TMultiStakeDialog : public QDialog {
  Q_OBJECT

 public:
  TMultiStakeDialog(int32_t nextDraw, QWidget* parent = nullptr);

  TMultiStakeInput Read() const;
  QSpinBox* DrawNumberEdit() const { return DrawNumber_; }
  QSpinBox* DrawsCountEdit() const { return DrawsCount_; }
  QLineEdit* CommentEdit() const { return Comment_; }

  void accept() override;

 private:
  QSpinBox* DrawNumber_;
  QSpinBox* DrawsCount_;
  QLineEdit* Comment_;
};

class TStakeFilterDialog : public QDialog {
  Q_OBJECT

 public:
  explicit TStakeFilterDialog(QWidget* parent = nullptr);

  TStakeCondition Condition() const;
  int Value() const;
  QComboBox* ConditionBox() const { return Condition_; }
  QSpinBox* ValueEdit() const { return Value_; }

 private:
  QComboBox* Condition_;
  QSpinBox* Value_;
};

// Shows a refusal and focuses the field.
void ShowStakeRefusal(QWidget* parent, const TStakeInputCheck& check, QWidget* drawNumber, QWidget* numbers,
                      QWidget* comment, QWidget* drawsCount);

}  // namespace vexa::gui

#include "dialogs/stake_dialogs.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include <limits>

#include "shell/message_boxes.h"

namespace vexa::gui {
namespace {

QDialogButtonBox* OkCancel(QDialog* dialog) {
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, dialog);
  buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
  buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Отмена"));
  QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
  return buttons;
}

QString NumbersText(const TNumList& numbers) {
  QStringList words;
  for (int i = 0; i < numbers.Count && i < static_cast<int>(numbers.Nums.size()); ++i)
    words << QString::number(numbers.Nums[static_cast<size_t>(i)]);
  return words.join(QLatin1Char(';'));
}

QSpinBox* Spin(QWidget* parent, const char* name, int low, int high, int value) {
  auto* s = new QSpinBox(parent);
  s->setObjectName(QString::fromLatin1(name));
  s->setRange(low, high);
  s->setValue(value);
  return s;
}

}  // namespace

void ShowStakeRefusal(QWidget* parent, const TStakeInputCheck& check, QWidget* drawNumber, QWidget* numbers,
                      QWidget* comment, QWidget* drawsCount) {
  ShowBox(parent, TBoxKind::Warning, FromEngine(check.Message));
  QWidget* focus = nullptr;
  switch (check.Focus) {
    case TStakeField::DrawNumber: focus = drawNumber; break;
    case TStakeField::Numbers: focus = numbers; break;
    case TStakeField::Comment: focus = comment; break;
    case TStakeField::DrawsCount: focus = drawsCount; break;
    default: break;
  }
  if (focus != nullptr) focus->setFocus();
}

TStakeDialog::TStakeDialog(const TStakeRec& prefilled, TSubmit submit, QWidget* parent)
    : QDialog(parent), Submit_(std::move(submit)) {
  setObjectName(QStringLiteral("TFormStake"));
  setWindowTitle(QStringLiteral("Добавление ставки"));
  DrawNumber_ = Spin(this, "edDrawNumber", 1, std::numeric_limits<int>::max(), std::max(1, prefilled.DrawNumber));
  Numbers_ = new QLineEdit(NumbersText(prefilled.Numbers), this);
  Numbers_->setObjectName(QStringLiteral("edStakeData"));
  Numbers_->setMinimumWidth(300);
  Comment_ = new QLineEdit(QString::fromUtf8(StakeOrigin(prefilled).c_str()), this);
  Comment_->setObjectName(QStringLiteral("edComment"));
  DrawsCount_ = Spin(this, "edDrawsCount", 1, MaxStakeDraws, 1);
  Sum_ = new QLineEdit(this);
  Sum_->setObjectName(QStringLiteral("edStakeSum"));
  Sum_->setReadOnly(true);
  auto sum = [this] { Sum_->setText(QString::number(StakeNumbersSum(ToEngine(Numbers_->text())))); };
  connect(Numbers_, &QLineEdit::textChanged, this, sum);
  sum();
  auto* form = new QVBoxLayout(this);
  auto row = [this, form](const char* label, QWidget* w) {
    auto* l = new QLabel(QString::fromUtf8(label), this);
    l->setBuddy(w);
    form->addWidget(l);
    form->addWidget(w);
  };
  row("Номер первого тиража", DrawNumber_);
  row("Введите числа, разделенные точкой с запятой или запятой", Numbers_);
  row("Сумма введенных чисел", Sum_);
  row("Комментарий к ставке", Comment_);
  row("Количество тиражей, на которые нужно сделать ставку (начиная с указанного)", DrawsCount_);
  form->addWidget(OkCancel(this));
  Numbers_->setFocus();
}

TManualStakeInput TStakeDialog::Read() const {
  TManualStakeInput in;
  in.DrawNumber = DrawNumber_->value();
  in.Numbers = ToEngine(Numbers_->text());
  in.Comment = ToEngine(Comment_->text());
  in.DrawsCount = DrawsCount_->value();
  return in;
}

void TStakeDialog::accept() {
  const TStakeInputCheck check = Submit_ ? Submit_(Read()) : TStakeInputCheck{};
  if (!check.Message.empty()) {
    ShowStakeRefusal(this, check, DrawNumber_, Numbers_, Comment_, DrawsCount_);
    return;
  }
  QDialog::accept();
}

TMultiStakeDialog::TMultiStakeDialog(int32_t nextDraw, QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("TFormMulti"));
  setWindowTitle(QStringLiteral("Добавление мультиставки"));
  DrawNumber_ = Spin(this, "edDrawNumber", 1, std::numeric_limits<int>::max(), std::max(1, nextDraw));
  DrawsCount_ = Spin(this, "edDrawsCount", 1, MaxStakeDraws, 1);
  Comment_ = new QLineEdit(QString::fromUtf8(ManualStakeOrigin), this);
  Comment_->setObjectName(QStringLiteral("edComment"));
  Comment_->setMinimumWidth(300);
  auto* form = new QFormLayout;
  form->addRow(QStringLiteral("Номер тиража"), DrawNumber_);
  form->addRow(QStringLiteral("Количество тиражей"), DrawsCount_);
  form->addRow(QStringLiteral("Комментарий"), Comment_);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(OkCancel(this));
}

TMultiStakeInput TMultiStakeDialog::Read() const {
  TMultiStakeInput in;
  in.DrawNumber = DrawNumber_->value();
  in.DrawsCount = DrawsCount_->value();
  in.Comment = ToEngine(Comment_->text());
  return in;
}

void TMultiStakeDialog::accept() {
  const TStakeInputCheck check = CheckMultiStake(Read());
  if (!check.Message.empty()) {
    ShowStakeRefusal(this, check, DrawNumber_, nullptr, Comment_, DrawsCount_);
    return;
  }
  QDialog::accept();
}

TStakeFilterDialog::TStakeFilterDialog(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("TFormStakeFilter"));
  setWindowTitle(QStringLiteral("Удаление по условию"));
  Condition_ = new QComboBox(this);
  Condition_->setObjectName(QStringLiteral("cbCondition"));
  for (const char* c : StakeConditionCaptions) Condition_->addItem(QString::fromUtf8(c));
  Condition_->setCurrentIndex(0);
  Value_ = Spin(this, "edValue", 0, MainCount, 0);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel(QStringLiteral("Выберите условие:"), this));
  auto* row = new QHBoxLayout;
  row->addWidget(Condition_, 1);
  row->addWidget(Value_);
  layout->addLayout(row);
  layout->addWidget(OkCancel(this));
}

TStakeCondition TStakeFilterDialog::Condition() const {
  return static_cast<TStakeCondition>(std::max(0, Condition_->currentIndex()));
}

int TStakeFilterDialog::Value() const { return Value_->value(); }

}  // namespace vexa::gui

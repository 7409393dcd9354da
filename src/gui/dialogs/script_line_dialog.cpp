#include "dialogs/script_line_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QEvent>
#include <QFormLayout>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QToolButton>
#include <QVBoxLayout>

#include <limits>

#include "shell/message_boxes.h"

namespace vexa::gui {
namespace {

QString U(const char* utf8) { return QString::fromUtf8(utf8); }
QString U(const std::string& utf8) { return QString::fromUtf8(utf8.c_str()); }

}  // namespace

TScriptLineDialog::TScriptLineDialog(const TScriptLineInput& input, TFilterEditor editFilter, const QString& caption,
                                     QWidget* parent)
    : QDialog(parent), EditFilter_(std::move(editFilter)) {
  setObjectName(QStringLiteral("TFormScript"));
  setWindowTitle(caption.isEmpty() ? U(ScriptLineDialogCaption) : caption);
  Comment_ = new QLineEdit(U(input.Comment), this);
  Comment_->setObjectName(QStringLiteral("edComments"));
  Start_ = new QComboBox(this);
  Start_->setObjectName(QStringLiteral("cbStartCombsType"));
  for (const TScriptKeyword& k : StartCombsTypes) Start_->addItem(U(k.Text));
  Start_->setCurrentIndex(input.Options.StartCombsType < Start_->count() ? input.Options.StartCombsType : 0);
  Exclude_ = new QSpinBox(this);
  Exclude_->setObjectName(QStringLiteral("edDrawsExclude"));
  Exclude_->setRange(0, std::numeric_limits<int>::max());
  Exclude_->setValue(input.Options.DrawsExclude);
  Result_ = new QComboBox(this);
  Result_->setObjectName(QStringLiteral("cbResultCombsMode"));
  for (const TScriptKeyword& k : ResultCombsModes) Result_->addItem(U(k.Text));
  Result_->setCurrentIndex(input.Options.ResultCombsMode < Result_->count() ? input.Options.ResultCombsMode : 0);
  Clear_ = new QCheckBox(U(ClearStakesCheckText), this);
  Clear_->setObjectName(QStringLiteral("cbClearStakes"));
  Clear_->setChecked(input.Options.ClearStakes);
  NewOnly_ = new QCheckBox(U(NewOnlyCheckText), this);
  NewOnly_->setObjectName(QStringLiteral("cbNewOnly"));
  NewOnly_->setChecked(input.Options.NewOnly);

  auto* form = new QFormLayout;
  form->addRow(QStringLiteral("Комментарии (можно оставить пустым)"), Comment_);
  auto* start = new QHBoxLayout;
  start->addWidget(Start_, 1);
  start->addWidget(Exclude_);
  form->addRow(QStringLiteral("Исходный список комбинаций:"), start);
  form->addRow(QStringLiteral("Результат:"), Result_);
  form->addRow(Clear_);
  form->addRow(NewOnly_);
  auto* grid = new QGridLayout;
  for (int i = 0; i < ScriptFilterCount; ++i) {
    auto* edit = new QLineEdit(U(input.Filters[static_cast<size_t>(i)]), this);
    edit->setObjectName(QStringLiteral("edFilter%1").arg(i + 1));
    edit->setMinimumWidth(420);
    edit->installEventFilter(this);
    auto* button = new QToolButton(this);
    button->setObjectName(QStringLiteral("btnFilter%1").arg(i + 1));
    button->setText(QStringLiteral("..."));
    connect(button, &QToolButton::clicked, this, [this, i] { EditFilter(i); });
    grid->addWidget(new QLabel(QStringLiteral("Фильтр %1:").arg(i + 1), this), i, 0);
    grid->addWidget(edit, i, 1);
    grid->addWidget(button, i, 2);
    Filters_[static_cast<size_t>(i)] = edit;
    Buttons_[static_cast<size_t>(i)] = button;
  }
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
  buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Отмена"));
  connect(buttons, &QDialogButtonBox::accepted, this, &TScriptLineDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &TScriptLineDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addLayout(grid);
  layout->addWidget(buttons);
}

TScriptLineInput TScriptLineDialog::Read() const {
  TScriptLineInput in;
  in.Comment = ToEngine(Comment_->text());
  in.Options.StartCombsType = static_cast<uint8_t>(std::max(0, Start_->currentIndex()));
  in.Options.DrawsExclude = Exclude_->value();
  in.Options.ResultCombsMode = static_cast<uint8_t>(std::max(0, Result_->currentIndex()));
  in.Options.ClearStakes = Clear_->isChecked();
  in.Options.NewOnly = NewOnly_->isChecked();
  for (int i = 0; i < ScriptFilterCount; ++i) in.Filters[static_cast<size_t>(i)] = ToEngine(Filters_[static_cast<size_t>(i)]->text());
  return in;
}

void TScriptLineDialog::EditFilter(int i) {
  QString text = Filters_[static_cast<size_t>(i)]->text();
  if (EditFilter_ && EditFilter_(this, text)) Filters_[static_cast<size_t>(i)]->setText(text);
}

bool TScriptLineDialog::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseButtonDblClick)
    for (int i = 0; i < ScriptFilterCount; ++i)
      if (watched == Filters_[static_cast<size_t>(i)]) {
        EditFilter(i);
        return true;
      }
  return QDialog::eventFilter(watched, event);
}

void TScriptLineDialog::accept() {
  // No checks here: a hand-typed filter is checked when the script runs.
  Line_ = ComposeScriptLine(Read());
  QDialog::accept();
}

}  // namespace vexa::gui

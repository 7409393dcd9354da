#include "dialogs/script_public_dialog.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "shell/message_boxes.h"

namespace vexa::gui {
namespace {

constexpr int BuiltInLanguage = 1049;

}  // namespace

TScriptPublicDialog::TScriptPublicDialog(const TScriptData& form, bool editable, TSubmit submit, QWidget* parent)
    : QDialog(parent), Data_(form), Editable_(editable), Submit_(std::move(submit)) {
  setObjectName(QStringLiteral("TFormScrPublic"));
  setWindowTitle(QStringLiteral("Свойства сценария"));
  resize(520, 440);
  Title_ = new QLineEdit(FromEngine(form.Title), this);
  Title_->setObjectName(QStringLiteral("edTitle"));
  Title_->setMaxLength(LibraryTitleMaxLength);
  Title_->setToolTip(QStringLiteral("Название сценария"));
  Author_ = new QLineEdit(FromEngine(form.Author), this);
  Author_->setObjectName(QStringLiteral("edClName"));
  Author_->setMaxLength(LibraryAuthorMaxLength);
  Author_->setToolTip(QStringLiteral("Автор сценария"));
  Language_ = new QComboBox(this);
  Language_->setObjectName(QStringLiteral("cbClLcid"));
  Language_->setToolTip(QStringLiteral("Язык сценария"));
  int selected = -1;
  int builtIn = -1;
  for (const auto& [lcid, name] : ScriptLanguages()) {
    if (lcid == form.Language) selected = Language_->count();
    if (lcid == BuiltInLanguage) builtIn = Language_->count();
    Language_->addItem(FromEngine(name), lcid);
  }
  Language_->setCurrentIndex(selected >= 0 ? selected : builtIn);

  auto* view = new QGroupBox(QStringLiteral(" Доступность "), this);
  view->setObjectName(QStringLiteral("rgViewMode"));
  Public_ = new QRadioButton(QStringLiteral("Сценарий виден всем пользователям"), view);
  Private_ = new QRadioButton(QStringLiteral("Сценарий виден только мне"), view);
  (form.Public ? Public_ : Private_)->setChecked(true);
  auto* vl = new QVBoxLayout(view);
  vl->addWidget(Public_);
  vl->addWidget(Private_);
  auto* app = new QGroupBox(QStringLiteral(" Применяемость "), this);
  app->setObjectName(QStringLiteral("rgAppMode"));
  OnlyHere_ = new QRadioButton(FromEngine(ScriptOwnProgramItem()), app);
  Universal_ = new QRadioButton(QStringLiteral("В любом приложении Vexa"), app);
  (form.Universal ? Universal_ : OnlyHere_)->setChecked(true);
  auto* al = new QVBoxLayout(app);
  al->addWidget(OnlyHere_);
  al->addWidget(Universal_);

  Descr_ = new QPlainTextEdit(FromEngine(form.Descr), this);
  Descr_->setObjectName(QStringLiteral("edDescr"));

  Ok_ = new QPushButton(QStringLiteral("OK"), this);
  Ok_->setObjectName(QStringLiteral("btnOK"));
  Ok_->setToolTip(QStringLiteral("Отправить сценарий на сервер"));
  Cancel_ = new QPushButton(editable ? QStringLiteral("Отмена") : QStringLiteral("Закрыть"), this);
  Cancel_->setObjectName(QStringLiteral("btnCancel"));
  Cancel_->setToolTip(QStringLiteral("Закрыть окно"));
  connect(Ok_, &QPushButton::clicked, this, &TScriptPublicDialog::accept);
  connect(Cancel_, &QPushButton::clicked, this, &TScriptPublicDialog::reject);

  auto* fields = new QFormLayout;
  fields->addRow(QStringLiteral("Название:"), Title_);
  fields->addRow(QStringLiteral("Автор:"), Author_);
  fields->addRow(QStringLiteral("Язык:"), Language_);
  auto* groups = new QHBoxLayout;
  groups->addWidget(view, 1);
  groups->addWidget(app, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(Ok_);
  buttons->addWidget(Cancel_);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(fields);
  layout->addLayout(groups);
  layout->addWidget(new QLabel(QStringLiteral("Описание:"), this));
  layout->addWidget(Descr_, 1);
  layout->addLayout(buttons);

  if (editable) {
    Ok_->setDefault(true);
    Title_->setFocus();
  } else {
    Title_->setReadOnly(true);
    Author_->setReadOnly(true);
    Descr_->setReadOnly(true);
    Language_->setEnabled(false);
    view->setEnabled(false);
    app->setEnabled(false);
    Ok_->hide();
    Cancel_->setDefault(true);
    Cancel_->setFocus();
  }
}

TScriptData TScriptPublicDialog::Read() const {
  TScriptData f = Data_;
  f.Title = ToEngine(Title_->text().trimmed());
  f.Author = ToEngine(Author_->text().trimmed());
  f.Language = Language_->currentIndex() >= 0 ? Language_->currentData().toInt() : BuiltInLanguage;
  f.Public = Public_->isChecked();
  f.Universal = Universal_->isChecked();
  f.Descr = ToEngine(Descr_->toPlainText());
  return f;
}

void TScriptPublicDialog::accept() {
  if (!Editable_) return;
  const TScriptDataCheck check = Submit_ ? Submit_(Read()) : TScriptDataCheck{};
  if (!check.Message.empty()) {
    ShowBox(this, TBoxKind::Warning, FromEngine(check.Message));
    if (check.Focus == TScriptField::Title) Title_->setFocus();
    if (check.Focus == TScriptField::Author) Author_->setFocus();
    return;
  }
  QDialog::accept();
}

}  // namespace vexa::gui

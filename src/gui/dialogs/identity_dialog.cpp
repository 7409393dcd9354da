#include "dialogs/identity_dialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "shell/message_boxes.h"

namespace vexa::gui {

TIdentityDialog::TIdentityDialog(const QString& name, const QString& mail, TSubmit submit, QWidget* parent)
    : QDialog(parent), Submit_(std::move(submit)) {
  setObjectName(QStringLiteral("TFormIdentity"));
  setWindowTitle(QStringLiteral("Автор публикаций"));
  Name_ = new QLineEdit(name, this);
  Name_->setObjectName(QStringLiteral("edName"));
  Name_->setMaxLength(64);
  Mail_ = new QLineEdit(mail, this);
  Mail_->setObjectName(QStringLiteral("edMail"));
  Mail_->setMaxLength(64);
  auto* note = new QLabel(QStringLiteral("Имя и адрес электронной почты сохраняются в настройках программы и "
                                         "отправляются вместе с Вашими публикациями. По адресу каталог и "
                                         "библиотека сценариев узнают Ваши системы и сценарии."),
                          this);
  note->setWordWrap(true);
  auto* form = new QFormLayout;
  form->addRow(QStringLiteral("Имя:"), Name_);
  form->addRow(QStringLiteral("E-mail:"), Mail_);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
  buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Отмена"));
  connect(buttons, &QDialogButtonBox::accepted, this, &TIdentityDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &TIdentityDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(note);
  layout->addLayout(form);
  layout->addWidget(buttons);
  resize(420, sizeHint().height());
}

void TIdentityDialog::accept() {
  const QString refusal = Submit_ ? Submit_(Name_->text().trimmed(), Mail_->text().trimmed()) : QString();
  if (!refusal.isEmpty()) {
    ShowBox(this, TBoxKind::Warning, refusal);
    (Name_->text().trimmed().isEmpty() ? Name_ : Mail_)->setFocus();
    return;
  }
  QDialog::accept();
}

}  // namespace vexa::gui

#include "dialogs/proxy_dialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "shell/message_boxes.h"

namespace vexa::gui {

TProxyDialog::TProxyDialog(const TProxy& proxy, QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("Параметры proxy-сервера"));
  Off_ = new QRadioButton(QStringLiteral("Не использовать proxy-сервер"), this);
  Off_->setObjectName(QStringLiteral("rbProxyOff"));
  Auto_ = new QRadioButton(QStringLiteral("Автоматический поиск сервера (возможны задержки)"), this);
  Auto_->setObjectName(QStringLiteral("rbProxyAuto"));
  Manual_ = new QRadioButton(QStringLiteral("Ручной выбор proxy-сервера:"), this);
  Manual_->setObjectName(QStringLiteral("rbProxyManual"));
  Server_ = new QLineEdit(FromEngine(proxy.Server), this);
  Server_->setObjectName(QStringLiteral("edServer"));
  Server_->setToolTip(QStringLiteral("Имя или адрес сервера"));
  Port_ = new QSpinBox(this);
  Port_->setObjectName(QStringLiteral("edPort"));
  Port_->setRange(1, 65535);
  Port_->setValue(proxy.Port >= 1 && proxy.Port <= 65535 ? proxy.Port : 80);
  Username_ = new QLineEdit(FromEngine(proxy.Username), this);
  Username_->setObjectName(QStringLiteral("edUsername"));
  Username_->setToolTip(QStringLiteral("Имя пользователя (не обязательно)"));
  Password_ = new QLineEdit(FromEngine(proxy.Password), this);
  Password_->setObjectName(QStringLiteral("edPassword"));
  Password_->setToolTip(QStringLiteral("Пароль (не обязательно)"));
  Password_->setEchoMode(QLineEdit::Password);

  if (proxy.Mode == 1) {
    Auto_->setChecked(true);
  } else if (proxy.Mode == 2) {
    Manual_->setChecked(true);
  } else {
    Off_->setChecked(true);
  }

  auto* form = new QFormLayout;
  form->setContentsMargins(20, 0, 0, 0);
  form->addRow(QStringLiteral("Имя или адрес сервера:"), Server_);
  form->addRow(QStringLiteral("Порт:"), Port_);
  form->addRow(QStringLiteral("Имя пользователя:"), Username_);
  form->addRow(QStringLiteral("Пароль:"), Password_);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
  buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Отмена"));
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(Off_);
  layout->addWidget(Auto_);
  layout->addWidget(Manual_);
  layout->addLayout(form);
  layout->addWidget(buttons);
  for (QRadioButton* b : {Off_, Auto_, Manual_}) connect(b, &QRadioButton::toggled, this, &TProxyDialog::UpdateFields);
  UpdateFields();
  setMinimumWidth(420);
}

void TProxyDialog::UpdateFields() {
  const bool manual = Manual_->isChecked();
  for (QWidget* w : std::initializer_list<QWidget*>{Server_, Port_, Username_, Password_}) w->setEnabled(manual);
}

TProxy TProxyDialog::Result() const {
  TProxy p;
  p.Mode = Manual_->isChecked() ? 2 : Off_->isChecked() ? 0 : 1;
  p.Server = ToEngine(Server_->text().trimmed());
  p.Port = Port_->value();
  p.Username = ToEngine(Username_->text());
  p.Password = ToEngine(Password_->text());
  return p;
}

}  // namespace vexa::gui

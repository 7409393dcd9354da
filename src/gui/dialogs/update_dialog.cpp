#include "dialogs/update_dialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "shell/message_boxes.h"

namespace vexa::gui {

TUpdateDialog::TUpdateDialog(const TUpdateOffer& offer, QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("TfrmUpdateInformer"));
  setWindowTitle(QStringLiteral("Найдена новая версия программы"));
  Current_ = new QLineEdit(FromEngine(offer.CurrentVersion), this);
  Current_->setObjectName(QStringLiteral("edCurrentVersion"));
  Current_->setReadOnly(true);
  New_ = new QLineEdit(FromEngine(offer.Description), this);
  New_->setObjectName(QStringLiteral("edNewVersion"));
  New_->setReadOnly(true);
  Description_ = new QPlainTextEdit(this);
  Description_->setObjectName(QStringLiteral("mmDescription"));
  Description_->setReadOnly(true);
  Description_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  Description_->setLineWrapMode(QPlainTextEdit::NoWrap);
  QStringList lines;
  for (const std::string& line : offer.DescriptionLines) lines.push_back(FromEngine(line));
  Description_->setPlainText(lines.join(QLatin1Char('\n')));

  auto* buttons = new QDialogButtonBox(this);
  Install_ = buttons->addButton(QStringLiteral("Установить"), QDialogButtonBox::AcceptRole);
  Install_->setObjectName(QStringLiteral("btnInstall"));
  Install_->setToolTip(QStringLiteral("Установить это обновление"));
  Install_->setDefault(true);
  QPushButton* cancel = buttons->addButton(QStringLiteral("Отмена"), QDialogButtonBox::RejectRole);
  cancel->setObjectName(QStringLiteral("btnCancel"));
  cancel->setToolTip(QStringLiteral("Отказаться от обновления"));
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel(QStringLiteral("Текущая версия программы:"), this));
  layout->addWidget(Current_);
  layout->addWidget(new QLabel(QStringLiteral("Новая версия программы:"), this));
  layout->addWidget(New_);
  layout->addWidget(new QLabel(QStringLiteral("Описание версии:"), this));
  layout->addWidget(Description_, 1);
  layout->addWidget(buttons);
  resize(480, 380);
}

}  // namespace vexa::gui

#include "dialogs/generate_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

#include "combs/combs_list.h"
#include "shell/file_dialogs.h"
#include "shell/message_boxes.h"

namespace vexa::gui {

TGenerateDialog::TGenerateDialog(const TGenerateParams& defaults, QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("Создание нового списка комбинаций"));
  Mode_ = new QComboBox(this);
  Mode_->setObjectName(QStringLiteral("cbMode"));
  for (int m = 0; m < GenerateModeCount; ++m) Mode_->addItem(FromEngine(GenerateModeText(m)));
  Mode_->setCurrentIndex(defaults.Mode < GenerateModeCount ? defaults.Mode : 0);
  Parameters_ = new QLineEdit(FromEngine(defaults.Parameters), this);
  Parameters_->setObjectName(QStringLiteral("edParameters"));
  Parameters_->setMaxLength(static_cast<int>(GenerateParametersMaxLen));
  Browse_ = new QToolButton(this);
  Browse_->setText(QStringLiteral("..."));
  Default_ = new QCheckBox(QStringLiteral("Сохранить эти параметры для генерации комбинаций \"по умолчанию\""), this);
  Default_->setObjectName(QStringLiteral("cbDefault"));

  auto* row = new QHBoxLayout;
  row->addWidget(Parameters_, 1);
  row->addWidget(Browse_);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
  buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Отмена"));
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel(QStringLiteral("Режим генерации списка комбинаций:"), this));
  layout->addWidget(Mode_);
  layout->addWidget(new QLabel(QStringLiteral("Мои числа или имя файла для загрузки:"), this));
  layout->addLayout(row);
  layout->addWidget(Default_);
  layout->addWidget(buttons);

  connect(Mode_, &QComboBox::currentIndexChanged, this, &TGenerateDialog::UpdateControls);
  connect(Browse_, &QToolButton::clicked, this, [this] {
    const QString file = ChooseFile(this, {false, QString::fromUtf8(CombsFileFilter), QStringLiteral("lcv")});
    if (!file.isEmpty()) Parameters_->setText(file);
  });
  UpdateControls();
  setMinimumWidth(480);
}

void TGenerateDialog::UpdateControls() {
  const int mode = Mode_->currentIndex();
  Parameters_->setEnabled(mode != GenerateAll);
  Browse_->setEnabled(mode == GenerateFromFile);
}

TGenerateParams TGenerateDialog::Params() const {
  return {static_cast<uint8_t>(Mode_->currentIndex()), ToEngine(Parameters_->text())};
}

bool TGenerateDialog::MakeDefault() const { return Default_->isChecked(); }

}  // namespace vexa::gui

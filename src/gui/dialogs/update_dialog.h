// The confirmation dialog TfrmUpdateInformer ("Найдена новая версия
// программы"): the running version, the new one and its description. The
// update is installed only when it closes with "Установить".
#pragma once

#include <QDialog>

#include "update/update.h"

class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace vexa::gui {

class TUpdateDialog : public QDialog {
  Q_OBJECT

 public:
  TUpdateDialog(const TUpdateOffer& offer, QWidget* parent = nullptr);

  QLineEdit* CurrentVersionEdit() const { return Current_; }
  QLineEdit* NewVersionEdit() const { return New_; }
  QPlainTextEdit* DescriptionMemo() const { return Description_; }
  QPushButton* InstallButton() const { return Install_; }

 private:
  QLineEdit* Current_;
  QLineEdit* New_;
  QPlainTextEdit* Description_;
  QPushButton* Install_;
};

}  // namespace vexa::gui

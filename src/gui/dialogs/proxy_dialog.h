// "Параметры proxy-сервера": no proxy, automatic choice, or the given one.
// The four fields are enabled only for the manual choice; the engine's
// EditProxy applies the mode to them.
#pragma once

#include <QDialog>

#include "core/settings.h"

class QLineEdit;
class QRadioButton;
class QSpinBox;

namespace vexa::gui {

class TProxyDialog : public QDialog {
  Q_OBJECT

 public:
  TProxyDialog(const TProxy& proxy, QWidget* parent = nullptr);
  TProxy Result() const;

  QRadioButton* OffButton() const { return Off_; }
  QRadioButton* AutoButton() const { return Auto_; }
  QRadioButton* ManualButton() const { return Manual_; }
  QLineEdit* ServerEdit() const { return Server_; }
  QSpinBox* PortEdit() const { return Port_; }

 private:
  void UpdateFields();

  QRadioButton* Off_;
  QRadioButton* Auto_;
  QRadioButton* Manual_;
  QLineEdit* Server_;
  QSpinBox* Port_;
  QLineEdit* Username_;
  QLineEdit* Password_;
};

}  // namespace vexa::gui

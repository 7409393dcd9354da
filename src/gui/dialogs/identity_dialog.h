// The user's name and e-mail, asked once before the first publication; the
// engine stores them (they decide what the catalogue and the library count
// as the user's own).
#pragma once

#include <QDialog>

#include <functional>

class QLineEdit;

namespace vexa::gui {

class TIdentityDialog : public QDialog {
  Q_OBJECT

 public:
  // submit: the engine's store; returns the refusal message, or "" when stored.
  using TSubmit = std::function<QString(const QString& name, const QString& mail)>;
  TIdentityDialog(const QString& name, const QString& mail, TSubmit submit, QWidget* parent = nullptr);

  QLineEdit* NameEdit() const { return Name_; }
  QLineEdit* MailEdit() const { return Mail_; }

  void accept() override;

 private:
  TSubmit Submit_;
  QLineEdit* Name_;
  QLineEdit* Mail_;
};

}  // namespace vexa::gui

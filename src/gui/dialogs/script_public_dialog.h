// The script properties dialog TFormScrPublic ("Свойства сценария"): the
// title, author, language, visibility, application mode and description of
// a library script (ScriptLanguages and ScriptOwnProgramItem of the engine). Editable when publishing or replacing; read-only when
// viewing (OK hidden, "Закрыть окно" focused).
//
// OK hands the texts to the caller's check (the engine's, with the title
// check on the service); a refusal keeps the dialog open with the focus on
// the field the check names.
#pragma once

#include <QDialog>

#include <functional>
#include <utility>
#include <vector>

#include "online/script_library.h"

class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;

namespace vexa::gui {

class TScriptPublicDialog : public QDialog {
  Q_OBJECT

 public:
  // submit: the engine's OK (checks, title check, publication).
  using TSubmit = std::function<TScriptDataCheck(const TScriptData&)>;
  TScriptPublicDialog(const TScriptData& data, bool editable, TSubmit submit, QWidget* parent = nullptr);

  // Title and author trimmed; the language of the selected item (the
  // built-in one when none is selected).
  TScriptData Read() const;

  QLineEdit* TitleEdit() const { return Title_; }
  QLineEdit* AuthorEdit() const { return Author_; }
  QComboBox* LanguageBox() const { return Language_; }
  QRadioButton* PublicButton() const { return Public_; }
  QRadioButton* PrivateButton() const { return Private_; }
  QRadioButton* OnlyHereButton() const { return OnlyHere_; }
  QRadioButton* UniversalButton() const { return Universal_; }
  QPlainTextEdit* DescrEdit() const { return Descr_; }
  QPushButton* OkButton() const { return Ok_; }
  QPushButton* CancelButton() const { return Cancel_; }

  void accept() override;

 private:
  TScriptData Data_;
  bool Editable_;
  TSubmit Submit_;
  QLineEdit* Title_;
  QLineEdit* Author_;
  QComboBox* Language_;
  QRadioButton* Public_;
  QRadioButton* Private_;
  QRadioButton* OnlyHere_;
  QRadioButton* Universal_;
  QPlainTextEdit* Descr_;
  QPushButton* Ok_;
  QPushButton* Cancel_;
};

}  // namespace vexa::gui

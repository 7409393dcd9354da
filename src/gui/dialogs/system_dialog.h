// The system dialog TFormSystem ("Система"): shows a catalogue system and,
// for the user's own systems, edits it.
//
// The dialog holds the engine's texts (TSystemForm). Leaving the
// combinations box hands its text to the engine's normaliser (lines rewritten, "Числа" and "Комбинаций"
// recomputed); OK hands the texts to the engine's check, and a refusal keeps
// the dialog open with the engine's message and the focus on its field.
// Read-only (someone else's system): every edit is read-only, the
// combinations are not normalised, OK is hidden and "Закрыть окно" focused.
#pragma once

#include <QDialog>
#include <QLineEdit>

#include <functional>

#include "online/systems_catalogue.h"

class QLabel;
class QPlainTextEdit;
class QPushButton;
class QToolButton;

namespace vexa::gui {

// An edit that takes only the keys 0-9, Enter and Escape; others beep.
class TDigitEdit : public QLineEdit {
  Q_OBJECT

 public:
  using QLineEdit::QLineEdit;

 protected:
  void keyPressEvent(QKeyEvent* event) override;
};

class TSystemDialog : public QDialog {
  Q_OBJECT

 public:
  // submit: the engine's OK (AcceptSystemForm, then the request).
  using TSubmit = std::function<TSystemFormCheck(const TSystemForm&)>;

  TSystemDialog(const TSystemForm& form, bool editable, TSubmit submit,
                QWidget* parent = nullptr);

  TSystemForm Read() const;
  bool Editable() const { return Editable_; }
  // Normalises the combinations box as leaving it does (editable only;
  // NormaliseSystemCombs).
  void NormaliseCombs();

  QLineEdit* TitleEdit() const { return Title_; }
  QPlainTextEdit* DescrEdit() const { return Descr_; }
  QLineEdit* AuthorEdit() const { return Author_; }
  QLineEdit* UrlEdit() const { return Url_; }
  QToolButton* UrlButton() const { return UrlButton_; }
  QPlainTextEdit* CombsEdit() const { return Combs_; }
  TDigitEdit* NumsEdit() const { return Nums_; }
  QLineEdit* CLenEdit() const { return CLen_; }
  TDigitEdit* OlapEdit() const { return Olap_; }
  QLineEdit* CSizeEdit() const { return CSize_; }
  QPushButton* OkButton() const { return Ok_; }
  QPushButton* CancelButton() const { return Cancel_; }

  void accept() override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void ShowCombsMenu(const QPoint& pos);
  void LoadCombs();
  void SaveCombs();

  bool Editable_;
  TSubmit Submit_;
  QLineEdit* Title_;
  QPlainTextEdit* Descr_;
  QLineEdit* Author_;
  QLineEdit* Url_;
  QToolButton* UrlButton_;
  QPlainTextEdit* Combs_;
  TDigitEdit* Nums_;
  QLineEdit* CLen_;
  TDigitEdit* Olap_;
  QLineEdit* Created_;
  QLineEdit* CSize_;
  QLineEdit* Downloads_;
  QLineEdit* LastDownload_;
  QPushButton* Ok_;
  QPushButton* Cancel_;
};

}  // namespace vexa::gui

// The script line dialog TFormScript: comment, options and seven filter
// boxes, each with a "..." button (and a double click) opening the filter
// dialog for its own filter. OK composes the line in the engine.
#pragma once

#include <QDialog>

#include <array>
#include <functional>

#include "scripts/script_dialogs.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QSpinBox;
class QToolButton;

namespace vexa::gui {

class TScriptLineDialog : public QDialog {
  Q_OBJECT

 public:
  // editFilter: opens the filter dialog on a box's text; returns false on Cancel.
  using TFilterEditor = std::function<bool(QWidget* parent, QString& text)>;
  TScriptLineDialog(const TScriptLineInput& input, TFilterEditor editFilter, const QString& caption = {},
                    QWidget* parent = nullptr);

  TScriptLineInput Read() const;
  // The composed line (after OK).
  const std::string& Line() const { return Line_; }

  QLineEdit* FilterEdit(int i) const { return Filters_[static_cast<size_t>(i)]; }
  QToolButton* FilterButton(int i) const { return Buttons_[static_cast<size_t>(i)]; }
  QComboBox* StartBox() const { return Start_; }
  QComboBox* ResultBox() const { return Result_; }
  QSpinBox* ExcludeSpin() const { return Exclude_; }
  QLineEdit* CommentEdit() const { return Comment_; }
  QCheckBox* ClearBox() const { return Clear_; }
  QCheckBox* NewOnlyBox() const { return NewOnly_; }

  void accept() override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void EditFilter(int i);

  TFilterEditor EditFilter_;
  QLineEdit* Comment_;
  QComboBox* Start_;
  QSpinBox* Exclude_;
  QComboBox* Result_;
  QCheckBox* Clear_;
  QCheckBox* NewOnly_;
  std::array<QLineEdit*, ScriptFilterCount> Filters_{};
  std::array<QToolButton*, ScriptFilterCount> Buttons_{};
  std::string Line_;
};

}  // namespace vexa::gui

// The draw dialog "Введите данные следующего тиража": number, the eight
// numbers as text, date and time. OK passes only what the engine accepts;
// otherwise its message is shown and the numbers field gets the focus.
#pragma once

#include <QDialog>

#include "core/game.h"

class QDateEdit;
class QLineEdit;
class QSpinBox;
class QTimeEdit;

namespace vexa::gui {

class TDrawDialog : public QDialog {
  Q_OBJECT

 public:
  TDrawDialog(const TDraw& draw, QWidget* parent = nullptr);

  const TDraw& Result() const { return Result_; }
  QSpinBox* NumberEdit() const { return Number_; }
  QLineEdit* NumbersEdit() const { return Numbers_; }
  QDateEdit* DateEdit() const { return Date_; }
  QTimeEdit* TimeEdit() const { return Time_; }

  void accept() override;

 private:
  QSpinBox* Number_;
  QLineEdit* Numbers_;
  QDateEdit* Date_;
  QTimeEdit* Time_;
  TDraw Result_{};
};

// Days from 30 Dec 1899, the time as the fraction.
double ToDateTime(const QDate& date, const QTime& time);
QDateTime FromDateTime(double value);

}  // namespace vexa::gui

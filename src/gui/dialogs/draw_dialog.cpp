#include "dialogs/draw_dialog.h"

#include <QDateEdit>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTimeEdit>
#include <QVBoxLayout>

#include <cmath>
#include <limits>

#include "acquire/draws_csv.h"
#include "core/dates.h"
#include "shell/message_boxes.h"

namespace vexa::gui {
namespace {

const QDate DayZero(1899, 12, 30);

}  // namespace

double ToDateTime(const QDate& date, const QTime& time) {
  return static_cast<double>(DayZero.daysTo(date)) + time.msecsSinceStartOfDay() / 86400000.0;
}

QDateTime FromDateTime(double value) {
  const double days = std::floor(value);
  const QDate date = DayZero.addDays(static_cast<qint64>(days));
  return QDateTime(date, QTime::fromMSecsSinceStartOfDay(static_cast<int>(std::lround((value - days) * 86400000.0)) % 86400000));
}

TDrawDialog::TDrawDialog(const TDraw& draw, QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("Введите данные следующего тиража"));
  auto* form = new QFormLayout;
  Number_ = new QSpinBox(this);
  Number_->setObjectName(QStringLiteral("edNumber"));
  Number_->setRange(1, std::numeric_limits<int>::max());
  Number_->setValue(std::max(1, static_cast<int>(draw.Number)));
  Number_->setToolTip(QStringLiteral("Номер тиража"));
  form->addRow(QStringLiteral("Номер тиража:"), Number_);

  QStringList words;
  for (uint8_t n : draw.Nums) words << QString::number(n);
  for (uint8_t n : draw.Supp) words << QString::number(n);
  Numbers_ = new QLineEdit(words.join(QLatin1Char(';')), this);
  Numbers_->setObjectName(QStringLiteral("edNumbers"));
  Numbers_->setMinimumWidth(320);
  auto* numbersLabel = new QLabel(QStringLiteral("Выпавшие числа, разделенные точкой с запятой или запятой:"), this);
  numbersLabel->setBuddy(Numbers_);

  QDateTime when = QDateTime::currentDateTime();
  const std::string dateText = DrawDateText(draw);
  if (!dateText.empty()) {
    try {
      when = FromDateTime(DrawTextToDate(dateText));
    } catch (const std::exception&) {
      // An unreadable stored date: today, as for a new draw.
    }
  }
  Date_ = new QDateEdit(when.date(), this);
  Date_->setObjectName(QStringLiteral("edDate"));
  Date_->setCalendarPopup(true);
  Date_->setDisplayFormat(QLocale().dateFormat(QLocale::LongFormat));
  Date_->setToolTip(QStringLiteral("Дата проведения тиража"));
  Time_ = new QTimeEdit(when.time(), this);
  Time_->setObjectName(QStringLiteral("edTime"));
  Time_->setToolTip(QStringLiteral("Время проведения тиража"));
  auto* when_ = new QHBoxLayout;
  when_->addWidget(Date_, 1);
  when_->addWidget(Time_);
  auto* dateLabel = new QLabel(QStringLiteral("Дата и время тиража:"), this);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
  buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Отмена"));
  connect(buttons, &QDialogButtonBox::accepted, this, &TDrawDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &TDrawDialog::reject);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(numbersLabel);
  layout->addWidget(Numbers_);
  layout->addWidget(dateLabel);
  layout->addLayout(when_);
  layout->addWidget(buttons);
  Numbers_->setFocus();
}

void TDrawDialog::accept() {
  TDraw draw{};
  const std::string message = MakeEnteredDraw(Number_->value(), ToEngine(Numbers_->text()),
                                              ToDateTime(Date_->date(), Time_->time()), draw);
  if (!message.empty()) {
    ShowError(this, FromEngine(message));
    Numbers_->setFocus();
    Numbers_->selectAll();
    return;
  }
  Result_ = draw;
  QDialog::accept();
}

}  // namespace vexa::gui

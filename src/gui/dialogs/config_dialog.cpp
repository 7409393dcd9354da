#include "dialogs/config_dialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QSpinBox>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <QVBoxLayout>

#include <cmath>

#include "shell/message_boxes.h"
#include "workspace/workspace.h"

namespace vexa::gui {
namespace {

// Cells that take only what the expression allows while typing.
class TPatternDelegate : public QStyledItemDelegate {
 public:
  TPatternDelegate(const QString& pattern, QObject* parent) : QStyledItemDelegate(parent), Pattern_(pattern) {}
  QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&, const QModelIndex&) const override {
    auto* edit = new QLineEdit(parent);
    edit->setValidator(new QRegularExpressionValidator(QRegularExpression(Pattern_), edit));
    return edit;
  }

 private:
  QString Pattern_;
};

QString MoneyText(int64_t money) { return QLocale().toString(static_cast<double>(money) / 10000.0, 'f', 2); }

int64_t MoneyOf(const QString& text) {
  QString t = text.trimmed();
  const QChar sep = QLocale().decimalPoint().front();
  t.replace(QLatin1Char(','), sep).replace(QLatin1Char('.'), sep);
  bool ok = false;
  const double v = QLocale().toDouble(t, &ok);
  return ok ? static_cast<int64_t>(std::llround(v * 10000.0)) : 0;
}

QDoubleSpinBox* Coefficient(double value, QWidget* parent) {
  auto* s = new QDoubleSpinBox(parent);
  s->setDecimals(3);
  s->setRange(-1000000.0, 1000000.0);
  s->setValue(value);
  return s;
}

}  // namespace

TConfigDialog::TConfigDialog(TWorkspace& ws, QWidget* parent)
    : QDialog(parent), Ws_(ws), Initial_(ws.Stats().Config), Segments45_(Initial_.MatrixSegments) {
  setWindowTitle(QStringLiteral("Параметры системы"));

  MatrixCols_ = new QSpinBox(this);
  MatrixCols_->setObjectName(QStringLiteral("edMatrixCols"));
  MatrixCols_->setRange(1, MaxNumber);
  MatrixCols_->setValue(Initial_.MatrixCols);
  MatrixRows_ = new QLabel(this);
  Channel_ = new QSpinBox(this);
  Channel_->setObjectName(QStringLiteral("edChannelSize"));
  Channel_->setRange(3, MaxNumber);
  Channel_->setValue(Initial_.ChannelSize);
  Cost_ = new QDoubleSpinBox(this);
  Cost_->setObjectName(QStringLiteral("edCost"));
  Cost_->setDecimals(2);
  Cost_->setRange(0, 1e12);
  Cost_->setValue(static_cast<double>(Initial_.Cost) / 10000.0);

  auto* sizes = new QFormLayout;
  auto* matrixRow = new QHBoxLayout;
  matrixRow->addWidget(MatrixCols_);
  matrixRow->addWidget(MatrixRows_);
  matrixRow->addStretch(1);
  sizes->addRow(QStringLiteral("Размер матрицы"), matrixRow);
  sizes->addRow(QStringLiteral("Размер канала"), Channel_);
  sizes->addRow(QStringLiteral("Стоимость ставки"), Cost_);

  Profits_ = new QTableWidget(MainCount + 1, 2, this);
  Profits_->setObjectName(QStringLiteral("sgProfits"));
  Profits_->setHorizontalHeaderLabels({QStringLiteral("Совпадений"), QStringLiteral("Сумма выигрыша")});
  Profits_->verticalHeader()->hide();
  Profits_->horizontalHeader()->setStretchLastSection(true);
  Profits_->setItemDelegateForColumn(1, new TPatternDelegate(QStringLiteral("^[0-9]*[.,]?[0-9]*$"), Profits_));
  for (int k = 0; k <= MainCount; ++k) {
    int64_t prize = 0;
    for (const TProfitRow& row : Initial_.Profits)
      if (row.Overlap == k) prize = row.Profit;
    auto* matches = new QTableWidgetItem(QString::number(k));
    matches->setFlags(Qt::ItemIsEnabled);
    Profits_->setItem(k, 0, matches);
    Profits_->setItem(k, 1, new QTableWidgetItem(MoneyText(prize)));
    Profits_->setRowHeight(k, Profits_->fontMetrics().height() + 6);
  }
  Profits_->setFixedHeight(Profits_->horizontalHeader()->sizeHint().height() +
                           (MainCount + 1) * Profits_->rowHeight(0) + 2 * Profits_->frameWidth() + 2);
  auto* profitsBox = new QGroupBox(QStringLiteral("Размеры выигрышей"), this);
  auto* pl = new QVBoxLayout(profitsBox);
  pl->addWidget(Profits_);

  auto* cdlBox = new QGroupBox(QStringLiteral(" Коэффициенты для поля \"Вес\" "), this);
  CdlCount_ = Coefficient(static_cast<double>(Initial_.Cdl.Count), cdlBox);
  CdlDeviation_ = Coefficient(static_cast<double>(Initial_.Cdl.Deviation), cdlBox);
  CdlLevel_ = Coefficient(static_cast<double>(Initial_.Cdl.Level), cdlBox);
  UsePercents_ = new QCheckBox(QStringLiteral("Использовать значения в %"), cdlBox);
  UsePercents_->setChecked(Initial_.Cdl.UsePercents);
  UseAbs_ = new QCheckBox(QStringLiteral("Использовать абсолютные значения"), cdlBox);
  UseAbs_->setChecked(Initial_.Cdl.UseAbsValues);
  auto* cl = new QFormLayout(cdlBox);
  cl->addRow(QStringLiteral("Количество"), CdlCount_);
  cl->addRow(QStringLiteral("Отклонение"), CdlDeviation_);
  cl->addRow(QStringLiteral("Глубина"), CdlLevel_);
  cl->addRow(UsePercents_);
  cl->addRow(UseAbs_);

  auto* segBox = new QGroupBox(QStringLiteral("Сегменты матрицы"), this);
  Segments_ = new QTableWidget(segBox);
  Segments_->setObjectName(QStringLiteral("sgSegments"));
  Segments_->horizontalHeader()->hide();
  Segments_->verticalHeader()->hide();
  Segments_->setItemDelegate(new TPatternDelegate(QStringLiteral("^[0-9]*$"), Segments_));
  auto* sl = new QVBoxLayout(segBox);
  sl->addWidget(Segments_);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
  buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Отмена"));
  connect(buttons, &QDialogButtonBox::accepted, this, &TConfigDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto* grid = new QGridLayout;
  grid->addLayout(sizes, 0, 0);
  grid->addWidget(profitsBox, 1, 0);
  grid->addWidget(cdlBox, 0, 1, 2, 1);
  grid->addWidget(segBox, 2, 0, 1, 2);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(grid);
  layout->addWidget(buttons);

  connect(MatrixCols_, &QSpinBox::valueChanged, this, &TConfigDialog::LayoutSegments);
  connect(Segments_, &QTableWidget::itemChanged, this, &TConfigDialog::OnSegmentChanged);
  LayoutSegments();
  resize(sizeHint().expandedTo(QSize(620, 0)));
}

void TConfigDialog::LayoutSegments() {
  const int cols = MatrixCols_->value();
  const int rows = GroupCount(1, MaxNumber, cols);
  MatrixRows_->setText(QStringLiteral("x %1").arg(rows));
  Laying_ = true;
  Segments_->clear();
  Segments_->setColumnCount(cols);
  Segments_->setRowCount(rows);
  const int cell = Segments_->fontMetrics().height() + 8;
  for (int r = 0; r < rows; ++r) {
    Segments_->setRowHeight(r, cell);
    for (int c = 0; c < cols; ++c) {
      const int n = r * cols + c + 1;
      auto* item = new QTableWidgetItem;
      item->setTextAlignment(Qt::AlignCenter);
      if (n <= MaxNumber) {
        item->setText(QString::number(Segments45_[static_cast<size_t>(n - 1)]));
        item->setToolTip(QStringLiteral("Число %1").arg(n));
      } else {
        // Past number 45: nothing to edit or select.
        item->setFlags(Qt::NoItemFlags);
      }
      Segments_->setItem(r, c, item);
    }
  }
  for (int c = 0; c < cols; ++c) Segments_->setColumnWidth(c, std::max(cell, 26));
  // The whole grid shows: 45 numbers never need a scroll bar.
  const int frame = 2 * Segments_->frameWidth() + 2;
  Segments_->setMinimumHeight(rows * cell + frame);
  Segments_->setMinimumWidth(std::min(cols * std::max(cell, 26), 26 * 23) + frame);
  Laying_ = false;
}

void TConfigDialog::OnSegmentChanged(QTableWidgetItem* item) {
  if (Laying_ || item == nullptr) return;
  const int n = item->row() * MatrixCols_->value() + item->column() + 1;
  if (n > MaxNumber) return;
  uint8_t segment = 1;
  const std::string message = TWorkspace::CheckSegmentCell(ToEngine(item->text()), segment);
  Segments45_[static_cast<size_t>(n - 1)] = segment;
  if (!message.empty()) {
    ShowError(this, FromEngine(message));
    Laying_ = true;
    item->setText(QStringLiteral("1"));
    Laying_ = false;
  }
}

TConfigData TConfigDialog::Config() const {
  TConfigData c = Initial_;  // MaxStake keeps its value: its control is hidden
  c.MatrixCols = MatrixCols_->value();
  c.ChannelSize = Channel_->value();
  c.Cost = static_cast<int64_t>(std::llround(Cost_->value() * 10000.0));
  c.Profits.clear();
  for (int k = 0; k <= MainCount; ++k)
    c.Profits.push_back({static_cast<uint8_t>(k), MoneyOf(Profits_->item(k, 1)->text())});
  c.Cdl.Count = CdlCount_->value();
  c.Cdl.Deviation = CdlDeviation_->value();
  c.Cdl.Level = CdlLevel_->value();
  c.Cdl.UsePercents = UsePercents_->isChecked();
  c.Cdl.UseAbsValues = UseAbs_->isChecked();
  c.MatrixSegments = Segments45_;
  return c;
}

void TConfigDialog::accept() {
  try {
    Ws_.EditConfig(Config());
  } catch (const std::exception& e) {
    ShowError(this, FromEngine(e.what()));
    return;
  }
  QDialog::accept();
}

}  // namespace vexa::gui

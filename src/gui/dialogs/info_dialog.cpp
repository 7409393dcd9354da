#include "dialogs/info_dialog.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

#include "models/draws_model.h"

namespace vexa::gui {

TInfoDialog::TInfoDialog(const TComb& numbers, TStatInfo info, int columns, int channelSize, QWidget* parent)
    : QDialog(parent), Numbers_(numbers), ChannelSize_(channelSize) {
  setObjectName(QStringLiteral("TFormInfo"));
  setWindowTitle(QString::fromUtf8(StatInfoCaption));
  setWindowFlag(Qt::Tool);
  setModal(true);
  auto* layout = new QVBoxLayout(this);
  auto* top = new QHBoxLayout;
  auto* label = new QLabel(QStringLiteral("Количество столбцов:"), this);
  ColumnsSpin_ = new QSpinBox(this);
  ColumnsSpin_->setObjectName(QStringLiteral("edCols"));
  ColumnsSpin_->setRange(1, MaxNumber);
  ColumnsSpin_->setValue(std::clamp(columns, 1, MaxNumber));
  label->setBuddy(ColumnsSpin_);
  top->addWidget(label);
  top->addWidget(ColumnsSpin_);
  top->addStretch(1);
  layout->addLayout(top);

  Grid_ = new QTableWidget(this);
  Grid_->setObjectName(QStringLiteral("sgNums"));
  Grid_->horizontalHeader()->hide();
  Grid_->verticalHeader()->hide();
  Grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  Grid_->setSelectionMode(QAbstractItemView::NoSelection);
  Grid_->setFocusPolicy(Qt::NoFocus);
  layout->addWidget(Grid_);

  Properties_ = new QTableWidget(static_cast<int>(info.size()), 2, this);
  Properties_->setObjectName(QStringLiteral("lvInfo"));
  Properties_->setHorizontalHeaderLabels(
      {QString::fromUtf8(StatInfoPropertyColumn), QString::fromUtf8(StatInfoValueColumn)});
  Properties_->verticalHeader()->hide();
  Properties_->verticalHeader()->setDefaultSectionSize(Properties_->fontMetrics().height() + 4);
  Properties_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  Properties_->setSelectionBehavior(QAbstractItemView::SelectRows);
  Properties_->setShowGrid(false);
  Properties_->setWordWrap(false);
  for (size_t r = 0; r < info.size(); ++r) {
    Properties_->setItem(static_cast<int>(r), 0, new QTableWidgetItem(QString::fromStdString(info[r].Caption)));
    Properties_->setItem(static_cast<int>(r), 1, new QTableWidgetItem(QString::fromStdString(info[r].Value)));
  }
  Properties_->setColumnWidth(0, 360);
  Properties_->horizontalHeader()->setStretchLastSection(true);
  layout->addWidget(Properties_, 1);

  auto* box = new QDialogButtonBox(QDialogButtonBox::Close, this);
  box->button(QDialogButtonBox::Close)->setText(QStringLiteral("Закрыть"));
  connect(box, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(box);
  connect(ColumnsSpin_, &QSpinBox::valueChanged, this, &TInfoDialog::LayOut);
  LayOut(ColumnsSpin_->value());
  resize(560, 620);
}

void TInfoDialog::LayOut(int columns) {
  const int rows = (MaxNumber + columns - 1) / columns;
  Grid_->clear();
  Grid_->setColumnCount(columns);
  Grid_->setRowCount(rows);
  const int cell = Grid_->fontMetrics().height() + 6;
  for (int c = 0; c < columns; ++c) Grid_->setColumnWidth(c, cell + 4);
  for (int r = 0; r < rows; ++r) Grid_->setRowHeight(r, cell);
  for (int n = 1; n <= MaxNumber; ++n) {
    auto* item = new QTableWidgetItem;
    item->setBackground(FromBgr(NumColor(n, ChannelSize_)));
    item->setTextAlignment(Qt::AlignCenter);
    if (std::find(Numbers_.begin(), Numbers_.end(), n) != Numbers_.end()) {
      item->setText(QString::number(n));
      QFont bold = item->font();
      bold.setBold(true);
      item->setFont(bold);
    }
    Grid_->setItem(MatrixRow(n, columns) - 1, MatrixCol(n, columns) - 1, item);  // 1-based
  }
  const int width = std::min(columns * (cell + 4) + 4, 520);
  Grid_->setFixedHeight(std::min(rows * cell + 4, 260));
  Grid_->setMinimumWidth(width);
}

}  // namespace vexa::gui

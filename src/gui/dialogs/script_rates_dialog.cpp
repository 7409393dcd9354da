#include "dialogs/script_rates_dialog.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include "tabs/tab_tools.h"
#include "workspace/workspace.h"

namespace vexa::gui {
namespace {

constexpr const char* Section = "TFormScrRates";
constexpr const char* ListName = "lvRates";
const int DefaultWidths[TScriptRatesDialog::ColumnCount] = {140, 60, 130, 100, 70, 300};

}  // namespace

TScriptRatesDialog::TScriptRatesDialog(TWorkspace& ws, std::vector<TTextRow> rows, QWidget* parent)
    : QDialog(parent), Ws_(ws) {
  setObjectName(QStringLiteral("TFormScrRates"));
  setWindowTitle(QStringLiteral("Оценки пользователей"));
  resize(760, 360);
  Model_ = new TTextRowsModel({QStringLiteral("Имя"), QStringLiteral("Оценка"), QStringLiteral("Дата"),
                               QStringLiteral("Программа"), QStringLiteral("Версия"), QStringLiteral("Комментарии")},
                              this);
  View_ = new QTableView(this);
  View_->setObjectName(QString::fromLatin1(ListName));
  SetupTabList(View_, Model_, DefaultWidths, ColumnCount);
  View_->horizontalHeader()->setSortIndicatorShown(true);
  View_->horizontalHeader()->setSectionsClickable(true);
  View_->horizontalHeader()->setStretchLastSection(true);
  TListColumns columns;
  columns.Widths.assign(DefaultWidths, DefaultWidths + ColumnCount);
  for (int c = 0; c < ColumnCount; ++c) columns.Widths[static_cast<size_t>(c)] = View_->columnWidth(c);
  columns.Sort = std::array<int32_t, 2>{-1, 0};
  try {
    Ws_.ReadWindowListColumns(Section, ListName, columns);
  } catch (const std::exception&) {
    // An unreadable settings file keeps the defaults; it was reported at start-up.
  }
  for (int c = 0; c < ColumnCount && c < static_cast<int>(columns.Widths.size()); ++c)
    View_->setColumnWidth(c, columns.Widths[static_cast<size_t>(c)]);
  Model_->SetRows(std::move(rows));
  const auto [column, direction] = *columns.Sort;
  if (column >= 0 && column < ColumnCount) {
    Model_->SetSort(column, direction != 0);
    View_->horizontalHeader()->setSortIndicator(column, direction != 0 ? Qt::DescendingOrder : Qt::AscendingOrder);
  } else {
    View_->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
  }
  connect(View_->horizontalHeader(), &QHeaderView::sectionClicked, this, [this](int column) {
    const bool descending = column == Model_->SortColumn() ? !Model_->SortDescending() : false;
    Model_->SetSort(column, descending);
    View_->horizontalHeader()->setSortIndicator(column, descending ? Qt::DescendingOrder : Qt::AscendingOrder);
  });

  auto* close = new QPushButton(QStringLiteral("Закрыть"), this);
  close->setObjectName(QStringLiteral("btnClose"));
  close->setDefault(true);
  connect(close, &QPushButton::clicked, this, &QDialog::accept);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(close);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(View_, 1);
  layout->addLayout(buttons);
}

void TScriptRatesDialog::done(int result) {
  TListColumns columns;
  for (int c = 0; c < ColumnCount; ++c) columns.Widths.push_back(View_->columnWidth(c));
  columns.Sort = std::array<int32_t, 2>{Model_->SortColumn(), Model_->SortDescending() ? 1 : 0};
  try {
    Ws_.SaveWindowListColumns(Section, ListName, columns);
  } catch (const std::exception&) {
    // Column widths are a convenience: a failed write loses nothing else.
  }
  QDialog::done(result);
}

}  // namespace vexa::gui

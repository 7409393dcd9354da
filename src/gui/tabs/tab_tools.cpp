#include "tabs/tab_tools.h"

#include <QBoxLayout>
#include <QHeaderView>
#include <QTableView>

#include "shell/main_window.h"
#include "tabs/flow_layout.h"

namespace vexa::gui {

void AddCommand(TCommandTable& t, const char* id, const char* category, const char* caption, const char* key,
                const char* hint, std::function<void()> handler, std::function<bool()> enabled,
                std::function<bool()> checked, const char* group, bool whileBusy) {
  TCommand c{U8(id), U8(category), U8(caption), U8(key), U8(hint), std::move(enabled), std::move(checked),
             std::move(handler), U8(group)};
  c.WhileBusy = whileBusy;
  t.Add(std::move(c));
}

QWidget* CommandBar(TMainWindow& w, QWidget* parent, std::initializer_list<std::pair<const char*, const char*>> buttons) {
  // The buttons wrap onto a second row when the tab is narrower than them:
  // every button shows whole and the row never widens the window.
  auto* bar = new QWidget(parent);
  auto* row = new TFlowLayout(bar, 2);
  for (const auto& [id, text] : buttons) {
    auto* b = new QToolButton(bar);
    b->setText(U8(text));
    b->setToolButtonStyle(Qt::ToolButtonTextOnly);
    b->setFocusPolicy(Qt::NoFocus);
    b->setObjectName(QStringLiteral("btn") + QString::fromLatin1(id));
    b->setProperty("command", QString::fromLatin1(id));
    if (const TCommand* c = w.Commands().Find(QString::fromLatin1(id))) b->setToolTip(c->Hint);
    QObject::connect(b, &QToolButton::clicked, &w, [&w, command = QString::fromLatin1(id)] {
      w.Commands().Trigger(command);
      w.UpdateActions();
    });
    row->addWidget(b);
  }
  QSizePolicy policy(QSizePolicy::Ignored, QSizePolicy::Preferred);
  policy.setHeightForWidth(true);
  bar->setSizePolicy(policy);
  return bar;
}

void SetupTabList(QTableView* view, QAbstractItemModel* model, const int* widths, int columns, bool sortable) {
  view->setModel(model);
  view->verticalHeader()->hide();
  view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  view->verticalHeader()->setDefaultSectionSize(view->fontMetrics().height() + 4);
  view->horizontalHeader()->setHighlightSections(false);
  view->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  // The column header asks its selection model about every row of a column
  // when it paints; with millions of selected rows it gets one of its own.
  view->horizontalHeader()->setSelectionModel(new QItemSelectionModel(model, view));
  view->setSelectionBehavior(QAbstractItemView::SelectRows);
  view->setSelectionMode(QAbstractItemView::ExtendedSelection);
  view->setEditTriggers(QAbstractItemView::NoEditTriggers);
  view->setShowGrid(false);
  view->setWordWrap(false);
  view->setCornerButtonEnabled(false);
  QHeaderView* header = view->horizontalHeader();
  if (sortable) {
    header->setSortIndicatorShown(true);
    header->setSectionsClickable(true);
  }
  // The default widths, widened where this font would cut a header text;
  // a sortable list keeps room for the sort arrow beside any of its texts.
  const QFontMetrics fm = header->fontMetrics();
  for (int c = 0; c < columns; ++c) {
    const QString text = model->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString();
    const int needed = sortable ? header->sectionSizeHint(c) : fm.horizontalAdvance(text) + 12;
    view->setColumnWidth(c, std::max(widths[c], needed));
  }
}

int FocusedRow(const QTableView* view) {
  const QModelIndex i = view->selectionModel() != nullptr ? view->selectionModel()->currentIndex() : QModelIndex();
  return i.isValid() ? i.row() : -1;
}

void FocusRow(QTableView* view, int row) {
  if (row < 0 || row >= view->model()->rowCount()) return;
  const QModelIndex i = view->model()->index(row, 0);
  view->selectionModel()->setCurrentIndex(i, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  view->scrollTo(i);
}

}  // namespace vexa::gui

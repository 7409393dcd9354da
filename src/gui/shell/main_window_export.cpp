// The spreadsheet export commands. The engine gives each table with its
// texts; the window puts in what only it knows (its column widths, its
// selection and the statistics list's sort order) and runs the export.
#include <QDesktopServices>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QProgressDialog>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableView>
#include <QUrl>

#include <algorithm>
#include <memory>

#include "dialogs/export_dialog.h"
#include "models/stat_model.h"
#include "shell/command_table.h"
#include "shell/export_commands.h"
#include "shell/main_window.h"
#include "shell/message_boxes.h"
#include "shell/qt_user_interface.h"
#include "tabs/layout_tab.h"
#include "tabs/stat_tab.h"
#include "workspace/workspace.h"

namespace vexa::gui {
namespace {

QString Q(const char* utf8) { return QString::fromUtf8(utf8); }

TWorkbookOpener& Opener() {
  static TWorkbookOpener opener;
  return opener;
}

bool OpenWorkbook(const QString& file) {
  if (Opener()) return Opener()(file);
  return QDesktopServices::openUrl(QUrl::fromLocalFile(file));
}

QAbstractItemView* FindView(TMainWindow& w, const char* name) {
  return w.findChild<QAbstractItemView*>(QString::fromLatin1(name));
}

// The view's column widths in pixels (hidden columns 0).
void TakeWidths(const QAbstractItemView* view, TExportTable& table) {
  const auto* tv = qobject_cast<const QTableView*>(view);
  if (tv == nullptr) return;
  for (size_t k = 0; k < table.Columns.size(); ++k) {
    const int c = static_cast<int>(k);
    if (c >= tv->model()->columnCount()) break;
    table.Columns[k].WidthPixels = tv->isColumnHidden(c) ? 0 : tv->columnWidth(c);
  }
}

// A grid view shows the grid's row 0 and column 0 as its headers, so the
// table's column k is the view's column k - 1 and column 0 the row header.
void TakeGridWidths(const QAbstractItemView* view, TExportTable& table) {
  const auto* tv = qobject_cast<const QTableView*>(view);
  if (tv == nullptr || table.Columns.empty()) return;
  table.Columns[0].WidthPixels = tv->verticalHeader()->width();
  for (size_t k = 1; k < table.Columns.size(); ++k) {
    const int c = static_cast<int>(k) - 1;
    if (c >= tv->model()->columnCount()) break;
    table.Columns[k].WidthPixels = tv->isColumnHidden(c) ? 0 : tv->columnWidth(c);
  }
}

// Selected view rows in ascending order, and the focused row first when nothing is selected.
std::vector<int64_t> ViewSelection(const QAbstractItemView* view) {
  std::vector<int64_t> rows;
  const QItemSelectionModel* sm = view->selectionModel();
  if (sm == nullptr) return rows;
  for (const QItemSelectionRange& r : sm->selection())
    for (int row = r.top(); row <= r.bottom(); ++row) rows.push_back(row);
  std::sort(rows.begin(), rows.end());
  rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
  if (rows.empty() && sm->currentIndex().isValid()) rows.push_back(sm->currentIndex().row());
  return rows;
}

void TakeListSelection(const QAbstractItemView* view, TExportTable& table) {
  table.MultiSelect = view->selectionMode() != QAbstractItemView::SingleSelection;
  table.SelectedRows = ViewSelection(view);
}

// Grid rows: the view shows row 0 (the captions) as its header, so view row r is grid row r + 1.
void TakeGridSelection(const QAbstractItemView* view, TExportTable& table) {
  const std::vector<int64_t> rows = ViewSelection(view);
  table.SelectionTop = rows.empty() ? 1 : rows.front() + 1;
  table.SelectionBottom = rows.empty() ? 1 : rows.back() + 1;
}

// The statistics list in the view's order: the engine's rows in the method's order, permuted.
void TakeStatOrder(const TStatModel* model, TExportTable& table) {
  if (model == nullptr || model->rowCount() != table.RowCount) return;
  auto order = std::make_shared<std::vector<int>>();
  order->reserve(static_cast<size_t>(table.RowCount));
  for (int r = 0; r < model->rowCount(); ++r) order->push_back(model->SourceRow(r));
  table.Cell = [cell = std::move(table.Cell), order](int64_t row, int column) {
    return cell((*order)[static_cast<size_t>(row)], column);
  };
}

// Its tab shown (TabCard / TabLayout) and the grid, with its row header as
// column 0, more than 2 columns wide.
bool GridShown(TMainWindow& w, const char* name) {
  QAbstractItemView* v = FindView(w, name);
  if (v == nullptr || v->model() == nullptr || v->model()->columnCount() + 1 <= 2) return false;
  // The page holding the grid is a child of the tab widget's stack.
  for (QWidget* page = v; page != nullptr; page = page->parentWidget())
    if (auto* pages = page->parentWidget() != nullptr
                          ? qobject_cast<QTabWidget*>(page->parentWidget()->parentWidget())
                          : nullptr;
        pages != nullptr && pages->indexOf(page) >= 0)
      return pages->isTabVisible(pages->indexOf(page));
  return true;
}

void RunExport(TMainWindow& w, TQtUserInterface& ui, TExportTable table) {
  TWorkspace& ws = w.Workspace();
  TExportParams params;
  {
    TExportDialog dialog(ws, table, true, &w);
    if (dialog.exec() != QDialog::Accepted) return;
    params = dialog.Result();
  }
  std::filesystem::path file;
  if (!w.RunHere([&] { file = ws.ExportWorkbookFile(params); })) return;

  auto* progress = new QProgressDialog(Q("Вызов Microsoft Excel..."), Q("Прервать"), 0, 0, &w);
  progress->setObjectName(QStringLiteral("ExportProgress"));
  progress->setWindowTitle(Q("Экспорт в Microsoft Excel"));
  progress->setMinimumDuration(300);
  progress->setAutoClose(false);
  progress->setAutoReset(false);
  progress->setMinimumWidth(420);
  QObject::connect(progress, &QProgressDialog::canceled, &ui, [&ui] { ui.RequestStop(); });
  QObject::connect(&ui, &TQtUserInterface::ProgressChanged, progress, &QProgressDialog::setLabelText);
  QObject::connect(&ui, &TQtUserInterface::ProgressCounted, progress, [progress](qint64 done, qint64 total) {
    if (total <= 0) return;
    // The gauge shows per mille: a row count can pass an int.
    progress->setMaximum(1000);
    progress->setValue(static_cast<int>(std::min<qint64>(1000, done * 1000 / total)));
  });

  auto shared = std::make_shared<TExportTable>(std::move(table));
  auto written = std::make_shared<bool>(false);
  w.RunLong([&ws, shared, params, file, written] {
    ws.ExportToXlsx(*shared, params, file);
    *written = true;
  },
            [&w, progress, file, written] {
              progress->close();
              progress->deleteLater();
              if (!*written) return;
              const QString path = QString::fromStdString(file.string());
              if (!OpenWorkbook(path))
                ShowInfo(&w, Q("Книга записана в файл \"%1\".\n\nПрограмма для просмотра книг Microsoft Excel "
                               "не найдена: откройте файл любой программой электронных таблиц.")
                                 .arg(path));
            });
}

}  // namespace

void SetWorkbookOpener(TWorkbookOpener opener) { Opener() = std::move(opener); }

bool ExportTableOf(TMainWindow& w, const QString& id, TExportTable& table) {
  TWorkspace& ws = w.Workspace();
  if (id == QLatin1String("DrawsXlsExport")) {
    table = ws.ExportDrawsTable();
    TakeWidths(w.DrawsView(), table);
    TakeListSelection(w.DrawsView(), table);
  } else if (id == QLatin1String("CombsXlsExport")) {
    table = ws.ExportCombsTable();
    TakeWidths(w.CombsView(), table);
    TakeListSelection(w.CombsView(), table);
  } else if (id == QLatin1String("DrawsStatExportToExcel")) {
    TStatTab* tab = w.StatTab();
    if (tab == nullptr || tab->MethodIndex() < 0) return false;
    table = ws.ExportStatsTable(tab->MethodIndex(), tab->LengthSpin()->value());
    TakeWidths(tab->View(), table);
    TakeListSelection(tab->View(), table);
    TakeStatOrder(tab->Model(), table);
  } else if (id == QLatin1String("RatingsXlsExport")) {
    table = ws.ExportRatingsTable();
    if (QAbstractItemView* v = FindView(w, "lvRatings")) {
      TakeWidths(v, table);
      TakeListSelection(v, table);
    }
  } else if (id == QLatin1String("StakesXlsExport")) {
    table = ws.ExportStakesTable();
    if (QAbstractItemView* v = FindView(w, "sgStakes")) {
      TakeWidths(v, table);
      TakeGridSelection(v, table);
    }
  } else if (id == QLatin1String("CardXlsExport") || id == QLatin1String("LayoutXlsExport")) {
    const bool card = id == QLatin1String("CardXlsExport");
    QAbstractItemView* v = FindView(w, card ? "sgCard" : "sgLayout");
    if (v == nullptr) return false;
    const TLayoutTab* layout = card ? nullptr : w.findChild<TLayoutTab*>();
    table = card ? ws.ExportCardTable() : ws.ExportLayoutTable(layout != nullptr ? layout->LengthSpin()->value() : 0);
    TakeGridWidths(v, table);
    TakeGridSelection(v, table);
  } else {
    return false;
  }
  return true;
}

void RegisterExportCommands(TMainWindow& w, TQtUserInterface& ui) {
  TCommandTable& t = w.Commands();
  TWorkspace& ws = w.Workspace();
  auto add = [&](const char* id, const char* category, const char* caption, const char* hint,
                 std::function<bool()> enabled) {
    const QString command = QString::fromLatin1(id);
    // A tab that registers its own export command keeps it.
    if (t.Find(command) != nullptr) return;
    t.Add(TCommand{command, Q(category), Q(caption), QString(), Q(hint), std::move(enabled), {},
                   [&w, &ui, command] {
                     TExportTable table;
                     bool ok = false;
                     if (!w.RunHere([&] { ok = ExportTableOf(w, command, table); }) || !ok) return;
                     RunExport(w, ui, std::move(table));
                   },
                   QString()});
  };
  add("DrawsXlsExport", "Архив тиражей", "Экспорт в Microsoft Excel", "Экспорт архива тиражей в Microsoft Excel",
      [&ws] { return !ws.Archive().Empty(); });
  add("CombsXlsExport", "Комбинации", "Экспорт в Microsoft Excel", "Экспорт списка комбинаций в Microsoft Excel",
      [&ws] { return ws.Combs().Count() > 0; });
  add("DrawsStatExportToExcel", "Статистика", "Экспорт статистики в Microsoft Excel",
      "Экспорт данных статистики в Microsoft Excel",
      [&w] { return w.StatTab() != nullptr && w.StatTab()->Model()->rowCount() > 0; });
  add("RatingsXlsExport", "Рейтинг", "Экспорт рейтинга в Microsoft Excel", "Экспорт рейтинга в Microsoft Excel",
      [&ws] { return ws.Ratings().Count() > 0; });
  add("StakesXlsExport", "Ставки", "Экспорт ставок в Microsoft Excel", "Экспорт ставок в Microsoft Excel",
      [&ws] { return ws.Stakes().Count() > 0; });
  // The card and layout grids belong to their tabs; without them the commands stay disabled.
  add("CardXlsExport", "Карта", "Экспорт карты тиражей в Microsoft Excel",
      "Экспорт карты тиражей в Microsoft Excel", [&w] { return GridShown(w, "sgCard"); });
  add("LayoutXlsExport", "Схема", "Экспорт схемы в Microsoft Excel", "Экспорт схемы в Microsoft Excel",
      [&w] { return GridShown(w, "sgLayout"); });
}

}  // namespace vexa::gui

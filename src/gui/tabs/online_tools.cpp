#include "tabs/online_tools.h"

#include <atomic>
#include <memory>

#include <QHeaderView>
#include <QTableView>

#include "dialogs/identity_dialog.h"
#include "models/text_rows_model.h"
#include "shell/main_window.h"
#include "shell/message_boxes.h"
#include "shell/worker.h"
#include "workspace/workspace.h"

namespace vexa::gui {

bool RunAndWait(TMainWindow& w, const std::function<void()>& op) {
  auto ok = std::make_shared<std::atomic<bool>>(false);
  w.RunLong([op, ok] {
    op();
    *ok = true;
  });
  w.Worker().WaitIdle();
  return *ok;
}

void KeepListColumns(TMainWindow& w, const char* name, QTableView* view, TTextRowsModel* model,
                     const QList<int>& dateColumns) {
  const int count = model->columnCount();
  // The defaults leave room for the sort mark beside a header, and for a
  // whole date-time in the date columns.
  const QFontMetrics fm = view->fontMetrics();
  const int dateWidth = fm.horizontalAdvance(QStringLiteral("0000-00-00 00:00:00")) + 16;
  for (int c = 0; c < count; ++c) {
    const QString header = model->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString();
    int width = std::max(view->columnWidth(c), view->horizontalHeader()->fontMetrics().horizontalAdvance(header) + 30);
    if (dateColumns.contains(c)) width = std::max(width, dateWidth);
    view->setColumnWidth(c, width);
  }
  TListColumns columns;
  for (int c = 0; c < count; ++c) columns.Widths.push_back(view->columnWidth(c));
  columns.Sort = std::array<int32_t, 2>{model->SortColumn(), model->SortDescending() ? 1 : 0};
  try {
    w.Workspace().ReadListColumns(name, columns);
  } catch (const std::exception&) {
    // An unreadable window settings file was reported at start-up; the defaults stay.
  }
  for (int c = 0; c < count && c < static_cast<int>(columns.Widths.size()); ++c)
    view->setColumnWidth(c, columns.Widths[static_cast<size_t>(c)]);
  const auto [column, direction] = *columns.Sort;
  if (column >= -1 && column < count) {
    model->SetSort(column, direction != 0);
    view->horizontalHeader()->setSortIndicator(column, direction != 0 ? Qt::DescendingOrder : Qt::AscendingOrder);
  }
  w.AddExitSaver([name = std::string(name), view, model](std::vector<std::pair<std::string, TListColumns>>& lists) {
    TListColumns out;
    for (int c = 0; c < model->columnCount(); ++c) out.Widths.push_back(view->columnWidth(c));
    out.Sort = std::array<int32_t, 2>{model->SortColumn(), model->SortDescending() ? 1 : 0};
    lists.emplace_back(name, out);
  });
}

bool EnsureUserIdentity(TMainWindow& w, QWidget* parent) {
  TWorkspace& ws = w.Workspace();
  if (ws.HasUserIdentity()) return true;
  TIdentityDialog dialog(FromEngine(ws.Online().UserName), FromEngine(ws.Online().UserMail),
                         [&ws](const QString& name, const QString& mail) {
                           try {
                             ws.SetUserIdentity(ToEngine(name), ToEngine(mail));
                             return QString();
                           } catch (const std::exception& e) {
                             return FromEngine(e.what());
                           }
                         },
                         parent);
  return dialog.exec() == QDialog::Accepted;
}

}  // namespace vexa::gui

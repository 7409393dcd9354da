// Commands of the draws list.
#include <QItemSelectionModel>
#include <QTableView>

#include "acquire/draws_csv.h"
#include "dialogs/draw_dialog.h"
#include "shell/file_dialogs.h"
#include "shell/main_window.h"
#include "shell/message_boxes.h"
#include "workspace/workspace.h"

namespace vexa::gui {

void TMainWindow::DrawsAdd() {
  TDraw draw{};
  draw.Number = Ws_.Archive().NextDrawNumber(0);
  TDrawDialog dialog(draw, this);
  if (dialog.exec() != QDialog::Accepted) return;
  RunHere([&] { Ws_.DrawsAdd(dialog.Result()); });
  RefreshAll();
}

void TMainWindow::DrawsEdit() {
  const QModelIndex current = DrawsView_->selectionModel()->currentIndex();
  const std::vector<int> rows = SelectedRows(DrawsView_);
  if (rows.empty()) return;
  const bool currentSelected = current.isValid() && DrawsView_->selectionModel()->isRowSelected(current.row());
  const int row = currentSelected ? current.row() : rows.front();
  // The dialog edits the numbers in their stored order, whatever the display.
  TDrawDialog dialog(Ws_.Archive().RowDraw(row, false), this);
  if (dialog.exec() != QDialog::Accepted) return;
  RunHere([&] { Ws_.DrawsEdit(row, dialog.Result()); });
  RefreshAll();
}

void TMainWindow::DrawsDel() {
  const std::vector<int> rows = SelectedRows(DrawsView_);
  if (rows.empty() || !AskDelete(this, static_cast<int>(rows.size()))) return;
  std::vector<int> numbers;
  // From the last selected row to the first, by the number in the first column.
  for (auto it = rows.rbegin(); it != rows.rend(); ++it) numbers.push_back(Ws_.Archive().RowDraw(*it, false).Number);
  RunHere([&] { Ws_.DrawsDel(numbers); });
  DrawsView_->clearSelection();
  RefreshAll();
}

void TMainWindow::DrawsImport() {
  const QString file = ChooseFile(this, {false, QString::fromUtf8(TWorkspace::DrawsFileFilter), QStringLiteral("csv")});
  if (file.isEmpty()) return;
  const std::filesystem::path path = file.toStdString();
  RunLong([this, path] { Ws_.DrawsImport(path); });
}

void TMainWindow::DrawsExport() {
  const QString file = ChooseFile(this, {true, QString::fromUtf8(TWorkspace::DrawsFileFilter), QStringLiteral("csv")});
  if (file.isEmpty()) return;
  const std::filesystem::path path = file.toStdString();
  RunLong([this, path] { Ws_.DrawsExport(path); });
}

void TMainWindow::DrawsDownload(std::function<void()> then) {
  // The retry question of a failing month comes up as a box from the worker.
  RunLong([this] { Ws_.DrawsDownload(); }, std::move(then));
}

}  // namespace vexa::gui

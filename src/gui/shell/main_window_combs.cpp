// Commands of the combinations list. Everything that walks the list runs on
// the worker; the selection is read from its ranges.
#include <QApplication>
#include <QClipboard>
#include <QSpinBox>
#include <QTableView>

#include <memory>

#include "combs/combs_list.h"
#include "dialogs/generate_dialog.h"
#include "shell/file_dialogs.h"
#include "shell/main_window.h"
#include "shell/message_boxes.h"
#include "workspace/workspace.h"

namespace vexa::gui {
namespace {

TFileRequest CombsFile(bool save) { return {save, QString::fromUtf8(CombsFileFilter), QStringLiteral("lcv")}; }

}  // namespace

void TMainWindow::CombsGen() {
  TGenerateDialog dialog(Ws_.Stats().Generate, this);
  if (dialog.exec() != QDialog::Accepted) return;
  const TGenerateParams params = dialog.Params();
  const bool makeDefault = dialog.MakeDefault();
  CombsView_->clearSelection();
  RunLong([this, params, makeDefault] { Ws_.CombsGen(params, makeDefault); });
}

void TMainWindow::CombsOpen() {
  const QString file = ChooseFile(this, CombsFile(false));
  if (file.isEmpty()) return;
  const std::filesystem::path path = file.toStdString();
  CombsView_->clearSelection();
  RunLong([this, path] { Ws_.CombsOpen(path); });
}

void TMainWindow::CombsSave() {
  const QString file = ChooseFile(this, CombsFile(true));
  if (file.isEmpty()) return;
  const std::filesystem::path path = file.toStdString();
  RunLong([this, path] { Ws_.CombsSave(path); });
}

void TMainWindow::CombsCopy() {
  auto text = std::make_shared<std::string>();
  RunLong([this, rows = SelectedRows(CombsView_), text] { *text = Ws_.CombsCopy(rows); },
          [text] { QGuiApplication::clipboard()->setText(QString::fromUtf8(text->data(), static_cast<qsizetype>(text->size()))); });
}

void TMainWindow::CombsPaste() {
  const std::string text = ToEngine(QGuiApplication::clipboard()->text());
  CombsView_->clearSelection();
  RunLong([this, text] { Ws_.CombsPaste(text); });
}

void TMainWindow::CombsDelSelected() {
  std::vector<int> rows = SelectedRows(CombsView_);
  if (rows.empty()) return;
  CombsView_->clearSelection();
  RunLong([this, rows = std::move(rows)] { Ws_.CombsDelSelected(rows); });
}

void TMainWindow::CombsDelExists() {
  const int n = ExcludeSpin_->value();
  CombsView_->clearSelection();
  RunLong([this, n] { Ws_.CombsDelExists(n); });
}

void TMainWindow::CombsUndo() {
  CombsView_->clearSelection();
  RunLong([this] { Ws_.CombsUndo(); });
}

void TMainWindow::CombsFindInDraws() {
  const QModelIndex current = CombsView_->selectionModel()->currentIndex();
  const std::vector<int> rows = current.isValid() ? std::vector<int>{current.row()} : SelectedRows(CombsView_);
  if (rows.empty() || rows.front() >= Ws_.Combs().Count()) return;
  const TComb comb = Ws_.Combs()[rows.front()];
  RunLong([this, comb] { Ws_.CombsFindInDraws(comb); });
}

void TMainWindow::CombsCheckNums() {
  RunLong([this] { Ws_.CombsCheckNums(); });
}

}  // namespace vexa::gui

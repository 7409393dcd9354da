#include "shell/file_dialogs.h"

#include <QFileDialog>
#include <QFileInfo>

namespace vexa::gui {
namespace {

TFileChooser& Chooser() {
  static TFileChooser chooser;
  return chooser;
}

}  // namespace

void SetFileChooser(TFileChooser chooser) { Chooser() = std::move(chooser); }

QString ChooseFile(QWidget* parent, const TFileRequest& request) {
  if (Chooser()) return Chooser()(request);
  // "Description (*.ext)|*.ext" -> Qt's "Description (*.ext)".
  const QString filter = request.Filter.section(QLatin1Char('|'), 0, 0);
  QFileDialog dialog(parent);
  dialog.setNameFilter(filter);
  dialog.setDefaultSuffix(request.DefaultExt);
  dialog.setAcceptMode(request.Save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(request.Save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return dialog.selectedFiles().constFirst();
}

}  // namespace vexa::gui

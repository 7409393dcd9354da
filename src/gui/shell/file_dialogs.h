// Open and save file dialogs with the program's filters ("Файлы тиражей
// (*.csv)|*.csv"). Tests install a chooser that answers instead.
#pragma once

#include <QString>

#include <functional>

class QWidget;

namespace vexa::gui {

struct TFileRequest {
  bool Save = false;
  QString Filter;      // the engine's form: "Описание (*.ext)|*.ext"
  QString DefaultExt;  // without the dot
};
// Returns the chosen file, or "" when cancelled.
using TFileChooser = std::function<QString(const TFileRequest&)>;
void SetFileChooser(TFileChooser chooser);

QString ChooseFile(QWidget* parent, const TFileRequest& request);

}  // namespace vexa::gui

// The menu "Язык интерфейса": one radio item per available interface
// language; choosing another stores it and restarts the program.
#pragma once

#include <QString>
#include <QStringList>

#include <filesystem>
#include <functional>

class QMenu;

namespace vexa::gui {

class TMainWindow;

// Starts the program anew (detached, in `folder`); false with the system's
// error text when it cannot be started.
using TRestarter =
    std::function<bool(const QString& program, const QStringList& args, const QString& folder, QString& error)>;

struct TLanguageMenuEnv {
  std::filesystem::path Program;  // the program file; modules lie beside it
  TRestarter Restart;
};
// The program file and a real restart; tests put their own.
TLanguageMenuEnv& LanguageMenuEnv();

// Fills `menu` at window creation.
void FillLanguageMenu(QMenu* menu, TMainWindow& window);

}  // namespace vexa::gui

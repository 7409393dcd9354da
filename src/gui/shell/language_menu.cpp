#include "shell/language_menu.h"

#include <QActionGroup>
#include <QCoreApplication>
#include <QLocale>
#include <QMenu>
#include <QProcess>

#include "core/languages.h"
#include "shell/main_window.h"
#include "shell/message_boxes.h"
#include "workspace/workspace.h"

namespace vexa::gui {
namespace {

bool StartDetached(const QString& program, const QStringList& args, const QString& folder, QString& error) {
  QProcess process;
  process.setProgram(program);
  process.setArguments(args);
  process.setWorkingDirectory(folder);
  if (process.startDetached()) return true;
  error = process.errorString();
  return false;
}

// The language's name as the desktop gives it: "Русский (Россия)".
QString LanguageName(const TLanguage& language) {
  const QLocale locale(QString::fromLatin1(language.Tag));
  QString name = locale.nativeLanguageName();
  if (name.isEmpty()) return QString::fromLatin1(language.Abbr);
  name[0] = name[0].toUpper();
  const QString territory = locale.nativeTerritoryName();
  return territory.isEmpty() ? name : name + QStringLiteral(" (") + territory + QStringLiteral(")");
}

// True when the program restarts.
bool Choose(TMainWindow& w, int32_t lcid) {
  TWorkspace& ws = w.Workspace();
  TLanguageMenuEnv& env = LanguageMenuEnv();
  if (lcid == ws.CurrentLanguage(env.Program)) return false;
  if (!w.RunHere([&] { ws.ChooseLanguage(lcid, env.Program); })) return false;
  // The new copy waits ("restart") until this one has closed and saved its state.
  const QString program = QString::fromStdString(env.Program.string());
  const QStringList args = {QStringLiteral("restart"), QStringLiteral("--data-dir"),
                            QString::fromStdString(ws.DataDir().string())};
  QString error;
  if (!env.Restart(program, args, QString::fromStdString(env.Program.parent_path().string()), error)) {
    ShowError(&w, error);
    return false;
  }
  w.close();
  return true;
}

// The item of the language in use is checked.
void ShowCurrent(QActionGroup* group, int32_t current) {
  for (QAction* a : group->actions())
    a->setChecked(PrimaryLanguage(a->data().toInt()) == PrimaryLanguage(current));
}

}  // namespace

TLanguageMenuEnv& LanguageMenuEnv() {
  static TLanguageMenuEnv env{QCoreApplication::applicationFilePath().toStdString(), &StartDetached};
  return env;
}

void FillLanguageMenu(QMenu* menu, TMainWindow& window) {
  const std::filesystem::path& program = LanguageMenuEnv().Program;
  const int32_t current = window.Workspace().CurrentLanguage(program);
  auto* group = new QActionGroup(menu);
  group->setExclusive(true);
  for (int32_t lcid : AvailableLanguages(program)) {
    const TLanguage* language = LanguageOf(lcid);
    if (language == nullptr) continue;
    QAction* a = menu->addAction(LanguageName(*language));
    a->setObjectName(QStringLiteral("Language%1").arg(lcid));
    a->setData(lcid);
    a->setCheckable(true);
    a->setStatusTip(a->text());
    group->addAction(a);
    QObject::connect(a, &QAction::triggered, &window, [&window, group, lcid] {
      if (Choose(window, lcid)) return;
      // Refused or unchanged: the check goes back to the language in use.
      ShowCurrent(group, window.Workspace().CurrentLanguage(LanguageMenuEnv().Program));
    });
  }
  ShowCurrent(group, current);
}

}  // namespace vexa::gui

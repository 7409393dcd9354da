// The self-update commands and the restart of the program.
#include <QCoreApplication>
#include <QProcess>
#include <QThread>
#include <QTimer>

#include <memory>

#include "dialogs/update_dialog.h"
#include "shell/command_table.h"
#include "shell/main_window.h"
#include "shell/message_boxes.h"
#include "shell/update_commands.h"
#include "workspace/workspace.h"

namespace vexa::gui {
namespace {

// The language the program runs in: its own, Russian.
constexpr int CurrentLanguageId = 1049;

TUpdateHooks& Hooks() {
  static TUpdateHooks hooks;
  return hooks;
}

std::filesystem::path ProgramFile() {
  if (!Hooks().ProgramFile.empty()) return Hooks().ProgramFile;
  std::error_code ec;
  const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  return ec ? std::filesystem::path(QCoreApplication::applicationFilePath().toStdString()) : exe;
}

}  // namespace

bool StartRestartProcess(const std::filesystem::path& program, const std::filesystem::path& dataDir,
                         std::string& error) {
  QProcess process;
  process.setProgram(QString::fromStdString(program.string()));
  process.setArguments({QStringLiteral("restart")});
  process.setWorkingDirectory(QString::fromStdString(program.parent_path().string()));
  // The new copy opens the data folder this one has, however it was chosen.
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert(QStringLiteral("VEXA_DATA_DIR"), QString::fromStdString(dataDir.string()));
  process.setProcessEnvironment(env);
  if (process.startDetached()) return true;
  error = process.errorString().toStdString();
  return false;
}

std::filesystem::path UpdateProgramFile() { return ProgramFile(); }

namespace {

// Asks on the UI thread; the worker waits for the answer.
bool Confirm(TMainWindow& w, const TUpdateOffer& offer) {
  bool install = false;
  auto ask = [&] {
    TUpdateDialog dialog(offer, &w);
    install = dialog.exec() == QDialog::Accepted;
  };
  if (QThread::currentThread() == w.thread()) {
    ask();
  } else {
    QMetaObject::invokeMethod(&w, ask, Qt::BlockingQueuedConnection);
  }
  return install;
}

void RunCheck(TMainWindow& w, bool silent, std::function<void()> then) {
  TWorkspace& ws = w.Workspace();
  auto result = std::make_shared<int>(UpdateNothing);
  const std::filesystem::path program = ProgramFile();
  w.RunLong(
      [&w, &ws, result, program, silent] {
        *result = ws.CheckForUpdates(program, silent, CurrentLanguageId,
                                     [&w](const TUpdateOffer& offer) { return Confirm(w, offer); });
      },
      [&w, result, then = std::move(then)] {
        if (*result == UpdateInstalled && RestartProgram(w)) return;
        if (then) then();
      });
}

}  // namespace

void SetUpdateHooks(TUpdateHooks hooks) { Hooks() = std::move(hooks); }

bool RestartProgram(TMainWindow& w) {
  const std::filesystem::path program = ProgramFile();
  const std::filesystem::path dataDir = w.Workspace().DataDir();
  bool started = false;
  std::string error;
  if (Hooks().Restart) {
    started = Hooks().Restart(program, dataDir);
  } else {
    started = StartRestartProcess(program, dataDir, error);
    if (!started) ShowError(&w, FromEngine(MessageBoxText("Ошибка перезапуска программы!", error)));
  }
  // The new copy waits until this one has gone.
  if (started) QTimer::singleShot(0, &w, [&w] { w.close(); });
  return started;
}

void StartupUpdateCheck(TMainWindow& w, std::function<void()> then) {
  if (!w.Workspace().Window().AutoUpdates) {
    if (then) then();
    return;
  }
  RunCheck(w, true, std::move(then));
}

void RegisterUpdateCommands(TMainWindow& w) {
  TCommandTable& t = w.Commands();
  TWorkspace& ws = w.Workspace();
  const QString help = QStringLiteral("Справка");
  t.Add(TCommand{QStringLiteral("AutoSelfUpdate"), help, QStringLiteral("Автоматическое обновление"), QString(),
                 QStringLiteral("Автоматическое обновление"), {}, [&ws] { return ws.Window().AutoUpdates; },
                 [&w, &ws] { w.RunHere([&ws] { ws.AutoSelfUpdate(); }); }, QString()});
  t.Add(TCommand{QStringLiteral("CheckUpdate"), help, QStringLiteral("Поиск обновлений"), QString(),
                 QStringLiteral("Поиск обновлений"), {}, {}, [&w] { RunCheck(w, false, {}); }, QString()});
}

}  // namespace vexa::gui

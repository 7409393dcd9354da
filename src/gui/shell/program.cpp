#include "shell/program.h"

#include <unistd.h>

#include <QApplication>
#include <QTimer>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include "core/dates.h"
#include "dialogs/update_dialog.h"
#include "shell/main_window.h"
#include "shell/message_boxes.h"
#include "shell/qt_user_interface.h"
#include "shell/update_commands.h"
#include "stats/full_set.h"
#include "workspace/workspace.h"

namespace vexa::gui {
namespace {

std::filesystem::path ProgramFile() {
  std::error_code ec;
  const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  return ec ? std::filesystem::path() : exe;
}

bool OtherInstanceRuns(const std::filesystem::path& exe) {
  std::error_code ec;
  const std::string self = std::to_string(::getpid());
  for (const auto& entry : std::filesystem::directory_iterator("/proc", ec)) {
    const std::string pid = entry.path().filename().string();
    if (pid.empty() || pid.find_first_not_of("0123456789") != std::string::npos || pid == self) continue;
    std::error_code linkEc;
    const auto target = std::filesystem::read_symlink(entry.path() / "exe", linkEc);
    if (linkEc) continue;
    // An update renames the running file to its backup ("name.~" ...): still the same program.
    const std::string name = target.filename().string();
    const std::string own = exe.filename().string();
    if (name == own || name.rfind(own + ".~", 0) == 0) return true;
  }
  return false;
}

// The switches that end the run after the start-up steps; no window shows.
int RunWithoutWindow(TWorkspace& ws, const TStartSwitches& switches) {
  auto step = [](const std::function<void()>& fn) {
    try {
      fn();
    } catch (const std::exception& e) {
      ShowError(nullptr, FromEngine(e.what()));
    }
  };
  step([&] { ws.CombsInit(); });
  if (switches.LoadOnly) step([&] { ws.DrawsDownload(); });
  if (!switches.FullRecreate && !switches.FullRefresh) return 0;
  if (ws.Window().AutoUpdates) {
    int result = UpdateNothing;
    step([&] {
      result = ws.CheckForUpdates(UpdateProgramFile(), true, 1049, [](const TUpdateOffer& offer) {
        TUpdateDialog dialog(offer);
        return dialog.exec() == QDialog::Accepted;
      });
    });
    if (result == UpdateInstalled) {
      std::string error;
      if (!StartRestartProcess(UpdateProgramFile(), ws.DataDir(), error))
        ShowError(nullptr, FromEngine(MessageBoxText("Ошибка перезапуска программы!", error)));
      return 0;
    }
  }
  if (switches.FullRecreate) {
    step([&] { ws.RefreshFullSetFiles(true, AllStatGroups); });
  } else {
    step([&] { ws.RefreshFullSetFiles(true, 0); });
  }
  return 0;
}

}  // namespace

TCommandLine ParseCommandLine(const std::vector<std::string>& args) {
  TCommandLine out;
  std::vector<std::string> rest;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--data-dir" && i + 1 < args.size()) {
      out.DataDir = args[++i];
    } else if (a.rfind("--data-dir=", 0) == 0) {
      out.DataDir = a.substr(11);
    } else {
      rest.push_back(a);
    }
  }
  out.Switches = ParseStartSwitches(rest);
  return out;
}

QString NoDisplayMessage() {
  return QStringLiteral(
      "Korvane_6x45: нет графического дисплея (DISPLAY и WAYLAND_DISPLAY не заданы); "
      "запустите программу в виртуальном дисплее: xvfb-run -a Korvane_6x45 [--data-dir КАТАЛОГ]");
}

bool DisplayMissing() {
  auto set = [](const char* name) {
    const char* v = std::getenv(name);
    return v != nullptr && *v != '\0';
  };
  return !set("DISPLAY") && !set("WAYLAND_DISPLAY") && !set("QT_QPA_PLATFORM");
}

bool WaitForPreviousInstance() {
  const std::filesystem::path exe = ProgramFile();
  if (exe.empty()) return true;
  for (int poll = 0; poll < 601; ++poll) {
    if (!OtherInstanceRuns(exe)) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  return !OtherInstanceRuns(exe);
}

int RunProgram(int argc, char** argv) {
  if (DisplayMissing()) {
    std::fprintf(stderr, "%s\n", NoDisplayMessage().toLocal8Bit().constData());
    return 2;
  }
  const TCommandLine cmd = ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Korvane_6x45"));
  QApplication::setApplicationDisplayName(QString());
  QApplication::setWindowIcon(QIcon(QStringLiteral(":/vexa/icon.svg")));
  InstallDrawDateHooks();

  if (cmd.Switches.Restart && !WaitForPreviousInstance()) return 0;

  std::filesystem::path dataDir;
  try {
    dataDir = TWorkspace::ProgramDataDir(cmd.DataDir, std::getenv("VEXA_DATA_DIR"), ProgramFile().parent_path(),
                                         std::getenv("XDG_DATA_HOME"), std::getenv("HOME"));
  } catch (const std::exception& e) {
    ShowError(nullptr, FromEngine(e.what()));
    return 1;
  }

  TQtUserInterface ui;
  TWorkspace ws(dataDir, ui);
  ws.Open(cmd.Switches);
  // Both exclusive-access messages have been shown.
  if (ws.MustQuit()) return 1;
  if (cmd.Switches.QuitsAfterStart()) return RunWithoutWindow(ws, cmd.Switches);

  TMainWindow window(ws, ui);
  window.show();
  QTimer::singleShot(100, &window, [&window] { window.InitialRun(); });
  return QApplication::exec();
}

}  // namespace vexa::gui

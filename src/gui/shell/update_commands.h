// The self-update in the window: CheckUpdate, AutoSelfUpdate, the silent
// check of the start-up, the confirmation dialog and the restart.
//
// The check and the install run on the worker; the confirmation is asked
// on the UI thread while the worker waits. When an update was installed
// the program restarts: a new process "<program> restart" is started in
// the program's folder (with this data folder) and this window closes.
#pragma once

#include <filesystem>
#include <functional>
#include <string>

namespace vexa::gui {

class TMainWindow;

struct TUpdateHooks {
  // The running program file; empty: the process's own.
  std::filesystem::path ProgramFile;
  // Starts the new process; false when it could not (the error is shown).
  std::function<bool(const std::filesystem::path& program, const std::filesystem::path& dataDir)> Restart;
};
// Tests point the update at a copy of the program and see the restart.
void SetUpdateHooks(TUpdateHooks hooks);

void RegisterUpdateCommands(TMainWindow& window);
// Step 24 of the start-up: the silent check when AutoUpdates is on; `then`
// follows unless the program restarts.
void StartupUpdateCheck(TMainWindow& window, std::function<void()> then);
// Starts "<program> restart" in the program's folder with VEXA_DATA_DIR =
// dataDir; false with the system's error text when it could not.
bool StartRestartProcess(const std::filesystem::path& program, const std::filesystem::path& dataDir,
                         std::string& error);
// The running program file (the hooks' one when set).
std::filesystem::path UpdateProgramFile();
// Starts "<program> restart" and closes the window; false when the new
// process could not start (this one keeps running).
bool RestartProgram(TMainWindow& window);

}  // namespace vexa::gui

// The program Korvane_6x45: command line, data folder, start-up and the
// event loop.
//
// Arguments: "--data-dir DIR" (or --data-dir=DIR) and the switches of
// ParseStartSwitches in any position and form.
#pragma once

#include <QString>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "workspace/start_switches.h"

namespace vexa::gui {

struct TCommandLine {
  std::string DataDir;  // --data-dir, "" when not given
  TStartSwitches Switches;
};
TCommandLine ParseCommandLine(const std::vector<std::string>& args);

// The one line said when no display is there.
QString NoDisplayMessage();
// No DISPLAY, no WAYLAND_DISPLAY and no platform chosen through QT_QPA_PLATFORM.
bool DisplayMissing();

// "restart": waits, polling every 100 ms at most 601 times, while another
// process runs the same program file. False when it still runs then.
bool WaitForPreviousInstance();

int RunProgram(int argc, char** argv);

}  // namespace vexa::gui

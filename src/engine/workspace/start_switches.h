// The program's command-line switches.
//
// Each is recognised in any position, without regard to case, bare or after
// one of the prefixes "-", "--", "/", "\". Other arguments are ignored.
#pragma once

#include <string>
#include <vector>

namespace vexa {

struct TStartSwitches {
  bool Restart = false;       // wait for the previous instance to end
  bool LoadOnly = false;      // download new draws and quit
  bool FullRecreate = false;  // recreate every full-set file and quit
  bool FullRefresh = false;   // create the missing full-set files and quit
  bool NoLanguage = false;    // built-in Russian interface

  bool operator==(const TStartSwitches&) const = default;
  // Whether the run ends after the start-up sequence.
  bool QuitsAfterStart() const { return LoadOnly || FullRecreate || FullRefresh; }
};

TStartSwitches ParseStartSwitches(const std::vector<std::string>& args);

}  // namespace vexa

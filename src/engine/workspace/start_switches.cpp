#include "workspace/start_switches.h"

#include <cctype>

namespace vexa {
namespace {

std::string Bare(const std::string& arg) {
  size_t skip = 0;
  if (arg.rfind("--", 0) == 0)
    skip = 2;
  else if (!arg.empty() && (arg[0] == '-' || arg[0] == '/' || arg[0] == '\\'))
    skip = 1;
  std::string s = arg.substr(skip);
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

}  // namespace

TStartSwitches ParseStartSwitches(const std::vector<std::string>& args) {
  TStartSwitches s;
  for (const std::string& arg : args) {
    const std::string b = Bare(arg);
    if (b == "restart") s.Restart = true;
    else if (b == "loadonly") s.LoadOnly = true;
    else if (b == "fullrecreate") s.FullRecreate = true;
    else if (b == "fullrefresh") s.FullRefresh = true;
    else if (b == "no-language") s.NoLanguage = true;
  }
  return s;
}

}  // namespace vexa

// Runs the `vexa` command as scripts use it: arguments in, the exit status
// and the text of stdout and stderr out. Shared by every CLI test.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace vexa::test {

struct TCliResult {
  int Status = -1;
  std::string Out;
  std::string Err;
};

struct TCliOptions {
  bool WithDataDir = true;  // --data-dir DIR before the command words
  std::string Input;        // standard input ("" reads as an empty input)
  bool CLocale = true;      // LC_ALL=C, so that decimal texts do not follow the machine
};

// The word quoted for /bin/sh.
std::string ShellQuote(const std::string& word);
// The command line for `vexa` over the data folder `dir` (no redirections).
std::string CliCommand(const std::filesystem::path& dir, const std::vector<std::string>& args,
                       const TCliOptions& options = {});
// The lines of a command's output, without their line ends.
std::vector<std::string> Lines(const std::string& text);

// Runs it; the output files are written in `dir`.
TCliResult RunCli(const std::filesystem::path& dir, const std::vector<std::string>& args,
                  const TCliOptions& options = {});

}  // namespace vexa::test

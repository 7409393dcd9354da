// The `vexa` command: the engine without a window.
//
//   vexa [--data-dir DIR] COMMAND ...
// Exit status: 0 done, 1 the operation failed (the program's message on
// stderr), 2 usage error (usage text on stderr). Output is UTF-8 with
// tab-separated columns and one header line per table.
#pragma once

#include <filesystem>
#include <iosfwd>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/user_interface.h"
#include "workspace/workspace.h"

namespace vexa::cli {

constexpr int ExitOk = 0;
constexpr int ExitFailed = 1;
constexpr int ExitUsage = 2;

inline constexpr const char* BaseName = "Korvane_6x45";

class EUsageError : public std::runtime_error {
 public:
  explicit EUsageError(const std::string& message) : std::runtime_error(message) {}
};

// The failure was already reported on stderr; only the exit status is left.
class EReported : public std::runtime_error {
 public:
  EReported() : std::runtime_error("") {}
};

// Progress goes nowhere; messages go to stderr as plain text; questions get
// their default answer, since the command runs unattended.
class TTerminalUserInterface : public TUserInterface {
 public:
  explicit TTerminalUserInterface(std::ostream& err) : Err_(err) {}
  void SetStatus(std::string_view) override {}
  void Message(TMessageKind kind, std::string_view text) override;
  bool Ask(std::string_view, std::string_view, bool noIsDefault) override { return !noIsDefault; }
  bool StopRequested() override { return false; }

 private:
  std::ostream& Err_;
};

struct TContext {
  std::filesystem::path DataDir;
  std::ostream& Out;
  std::ostream& Err;
  TUserInterface& Ui;

  std::filesystem::path DataFile(const std::string& ext) const { return DataDir / (std::string(BaseName) + ext); }
};

// Opens the data folder as the program does at start-up. Any failure there
// (settings, archive) has been printed and makes the command fail: scripts
// must not get output computed from half-loaded data.
std::unique_ptr<TWorkspace> OpenWorkspace(TContext& ctx);

// Arguments after the command words, with "--name value" options.
class TArgs {
 public:
  explicit TArgs(std::vector<std::string> words) : Words_(std::move(words)) {}
  // Removes "--name VALUE" and returns VALUE, or "" with found = false.
  std::string TakeOption(const std::string& name, bool& found);
  bool TakeFlag(const std::string& name);
  // Removes and returns the first word ("" when there is none).
  std::string TakeFirst();
  // Throws EUsageError for a leftover "--..." word.
  std::vector<std::string> Positional() const;
  static int ToInt(const std::string& text, const std::string& what);

 private:
  std::vector<std::string> Words_;
};

int RunDraws(TContext& ctx, TArgs args);
int RunDrawsDownload(TContext& ctx, TArgs& args);  // download_command.cpp
int RunProxy(TContext& ctx, TArgs args);           // proxy_command.cpp
int RunStats(TContext& ctx, TArgs args);
int RunFullSet(TContext& ctx, TArgs args);
int RunConfig(TContext& ctx, TArgs args);
int RunCombs(TContext& ctx, TArgs args);
int RunStakes(TContext& ctx, TArgs args);
int RunRatings(TContext& ctx, TArgs args);
int RunTables(TContext& ctx, TArgs args);
int RunScript(TContext& ctx, TArgs args);  // script_command.cpp
int RunScriptRun(TContext& ctx, TArgs& args);   // script_run_command.cpp
int RunScriptTest(TContext& ctx, TArgs& args);  // script_run_command.cpp
int RunViews(TContext& ctx, TArgs args);        // views_command.cpp

std::string Usage();

}  // namespace vexa::cli

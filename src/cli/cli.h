// The `vexa` command: the engine without a window.
//
//   vexa [--data-dir DIR] COMMAND ...
// Exit status: 0 done, 1 the operation failed (the program's message on
// stderr), 2 usage error (usage text on stderr). Output is UTF-8 with
// tab-separated columns and one header line per table.
#pragma once

#include <filesystem>
#include <iosfwd>
#include <ostream>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "core/user_interface.h"
#include "workspace/workspace.h"

namespace vexa::cli {

constexpr int ExitOk = 0;
constexpr int ExitFailed = 1;
constexpr int ExitUsage = 2;

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
  void Progress(const TProgress&) override {}
  void ShowMessage(TMessageKind kind, std::string_view text, std::string_view cause) override;
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

  std::filesystem::path DataFile(const std::string& ext) const { return DataDir / (std::string(ProgramBaseName) + ext); }
};

// Opens the data folder as the program does at start-up. Any failure there
// (settings, archive) has been printed and makes the command fail: scripts
// must not get output computed from half-loaded data. With withCombs the
// combinations list is made as at start-up too, for the commands that work
// on it (a script line CURR, the stake's list size).
std::unique_ptr<TWorkspace> OpenWorkspace(TContext& ctx, bool withCombs = false);

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

// The command table: "vexa GROUP NAME ARGS". Each command file defines
// the group of its commands; main dispatches and prints the usage from
// them, so a command and its usage line cannot drift apart.
using TCommandHandler = int (*)(TContext& ctx, TArgs& args);
struct TCommand {
  const char* Name;     // "list"
  const char* Args;     // "[--last N] [--offset K] [--sorted]"
  const char* Help;     // lines of the usage text, "\n" between them
  TCommandHandler Run;
};
struct TCommandGroup {
  const char* Name;  // "draws"
  std::vector<TCommand> Commands;
};

extern const TCommandGroup DrawsCommands;    // draws_command.cpp
extern const TCommandGroup ProxyCommands;    // proxy_command.cpp
extern const TCommandGroup ConfigCommands;   // config_command.cpp
extern const TCommandGroup StatsCommands;    // stats_command.cpp
extern const TCommandGroup FullSetCommands;  // stats_command.cpp
extern const TCommandGroup CombsCommands;    // combs_command.cpp
extern const TCommandGroup StakesCommands;   // stakes_command.cpp
extern const TCommandGroup RatingsCommands;  // stakes_command.cpp
extern const TCommandGroup TablesCommands;   // stakes_command.cpp
extern const TCommandGroup ScriptCommands;   // script_command.cpp
extern const TCommandGroup ViewsCommands;    // views_command.cpp
extern const TCommandGroup ExportCommands;   // export_command.cpp
extern const TCommandGroup UpdateCommands;   // update_command.cpp
extern const TCommandGroup SystemsCommands;  // systems_command.cpp
extern const TCommandGroup LibraryCommands;  // library_command.cpp
extern const TCommandGroup OnlineCommands;   // systems_command.cpp

// In the order of the usage text.
const std::vector<const TCommandGroup*>& CommandGroups();
// Runs "GROUP NAME ARGS..."; a missing or unknown word is a usage error.
int RunCommand(TContext& ctx, std::vector<std::string> words);

int RunDrawsDownload(TContext& ctx, TArgs& args);  // download_command.cpp
int RunScriptRun(TContext& ctx, TArgs& args);      // script_run_command.cpp
int RunScriptTest(TContext& ctx, TArgs& args);     // script_run_command.cpp

std::string Usage();

// A table cell as one field of its line: tabs and line breaks become blanks.
std::string TsvCell(std::string_view text);

template <typename TCells>
void PrintCells(std::ostream& out, const std::string& first, const TCells& cells) {
  out << TsvCell(first);
  for (const auto& cell : cells) out << '\t' << TsvCell(cell);
  out << '\n';
}

// Running a command that asks (a delete, a replace) is the user's answer to its question.
class TConfirmedUi final : public TUserInterface {
 public:
  explicit TConfirmedUi(TUserInterface& inner) : Inner_(inner) {}
  void Progress(const TProgress& progress) override { Inner_.Progress(progress); }
  void ShowMessage(TMessageKind kind, std::string_view text, std::string_view cause) override {
    Inner_.Message(kind, text, cause);
  }
  bool Ask(std::string_view, std::string_view, bool) override { return true; }
  bool StopRequested() override { return Inner_.StopRequested(); }

 private:
  TUserInterface& Inner_;
};


}  // namespace vexa::cli

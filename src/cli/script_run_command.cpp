// vexa script run / script test: the forecast and the test of the working
// script, with progress on stderr. Ctrl+C asks the run to stop; it then
// winds down as the Stop command makes it (a second Ctrl+C ends the program).
#include <signal.h>
#include <unistd.h>

#include <charconv>
#include <chrono>
#include <csignal>
#include <ctime>
#include <ostream>

#include "cli/cli.h"
#include "core/error.h"
#include "core/format.h"

namespace vexa::cli {
namespace {

volatile std::sig_atomic_t StopSignal = 0;

extern "C" void OnInterrupt(int) { StopSignal = 1; }

// Ctrl+C sets the stop flag while it lives.
class TInterruptScope {
 public:
  TInterruptScope() {
    StopSignal = 0;
    struct sigaction action {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESETHAND;
    ::sigaction(SIGINT, &action, &Previous_);
  }
  ~TInterruptScope() { ::sigaction(SIGINT, &Previous_, nullptr); }
  TInterruptScope(const TInterruptScope&) = delete;
  TInterruptScope& operator=(const TInterruptScope&) = delete;

 private:
  struct sigaction Previous_ {};
};

// The run's progress (the script tab's status bar) on stderr: rewritten in
// place on a terminal, a line now and then otherwise.
class TRunUserInterface : public TUserInterface {
 public:
  TRunUserInterface(TUserInterface& messages, std::ostream& err)
      : Messages_(messages), Err_(err), Terminal_(::isatty(STDERR_FILENO) != 0) {}
  ~TRunUserInterface() override { EndLine(); }

  void Progress(const TProgress& progress) override {
    const std::string_view text = progress.Text;
    if (text.rfind("Цикл: ", 0) != 0) return;
    const auto now = std::chrono::steady_clock::now();
    const auto gap = Terminal_ ? std::chrono::milliseconds(200) : std::chrono::milliseconds(2000);
    if (Shown_ && now - Last_ < gap) return;
    Last_ = now;
    Shown_ = true;
    if (Terminal_) {
      Err_ << "\r\x1b[K" << text << std::flush;
      Open_ = true;
    } else {
      Err_ << text << '\n';
    }
  }
  void ShowMessage(TMessageKind kind, std::string_view text, std::string_view cause) override {
    EndLine();
    Messages_.Message(kind, text, cause);
  }
  bool Ask(std::string_view text, std::string_view title, bool noIsDefault) override {
    return Messages_.Ask(text, title, noIsDefault);
  }
  bool StopRequested() override { return StopSignal != 0; }

  void EndLine() {
    if (!Open_) return;
    Err_ << '\n';
    Open_ = false;
  }

 private:
  TUserInterface& Messages_;
  std::ostream& Err_;
  bool Terminal_;
  bool Shown_ = false;
  bool Open_ = false;
  std::chrono::steady_clock::time_point Last_{};
};

uint64_t ParseSeed(const std::string& text) {
  uint64_t seed = 0;
  const char* end = text.data() + text.size();
  const auto [ptr, ec] = std::from_chars(text.data(), end, seed);
  if (text.empty() || ec != std::errc() || ptr != end) throw EUsageError("--seed: не число: " + text);
  return seed;
}

int Execute(TContext& ctx, TArgs& args, bool test) {
  bool hasOffset = false;
  bool hasTests = false;
  bool hasSeed = false;
  const std::string offsetText = test ? "" : args.TakeOption("--offset", hasOffset);
  const std::string testsText = test ? args.TakeOption("--tests", hasTests) : "";
  const std::string seedText = args.TakeOption("--seed", hasSeed);
  const bool log = args.TakeFlag("--log");
  const bool plain = args.TakeFlag("--no-speedups");
  if (!args.Positional().empty())
    throw EUsageError(test ? "лишние параметры команды script test" : "лишние параметры команды script run");
  if (test && !hasTests) throw EUsageError("script test: нужен параметр --tests N");
  const int tests = test ? TArgs::ToInt(testsText, "--tests") : 0;
  if (test && tests < 1) throw EUsageError("--tests: число должно быть не меньше 1");
  const uint64_t seed = hasSeed ? ParseSeed(seedText) : 0;

  TRunUserInterface ui(ctx.Ui, ctx.Err);
  TContext runCtx{ctx.DataDir, ctx.Out, ctx.Err, ui};
  // The list the program has after start-up: a line CURR starts from it.
  auto ws = OpenWorkspace(runCtx, true);
  if (hasOffset) ws->SetDrawsOffset(TArgs::ToInt(offsetText, "--offset"));
  // For this run only; the stored settings stay as they are.
  TRunOverrides overrides;
  if (log) overrides.ScriptLogEnabled = true;
  if (hasSeed) overrides.ScriptSeed = seed;
  overrides.ScriptSpeedUps = !plain;
  ws->SetRunOverrides(overrides);

  const std::clock_t cpuStart = std::clock();
  const auto wallStart = std::chrono::steady_clock::now();
  TScriptRunResult result;
  {
    TInterruptScope interrupt;
    result = test ? ws->ScriptTest(tests) : ws->ScriptRun();
  }
  const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count();
  const double cpu = static_cast<double>(std::clock() - cpuStart) / CLOCKS_PER_SEC;
  ui.EndLine();

  ctx.Out << Format("Ставок: %d", {result.Stakes}) << '\n';
  ctx.Out << Format("Время: %.2f с (процессор: %.2f с)", {wall, cpu}) << '\n';
  if (!result.LogFile.empty()) ctx.Out << "Журнал: " << result.LogFile.string() << '\n';
  if (!result.LogError.empty()) return ExitFailed;
  if (!result.Stopped) return ExitOk;
  ctx.Err << "Выполнение сценария прервано!\n";
  return ExitFailed;
}

}  // namespace

int RunScriptRun(TContext& ctx, TArgs& args) { return Execute(ctx, args, false); }
int RunScriptTest(TContext& ctx, TArgs& args) { return Execute(ctx, args, true); }

}  // namespace vexa::cli

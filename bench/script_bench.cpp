// A back-test, the heaviest job of the program: the script of
// fixtures/backtest.lss tested over the newest draws of the demo archive
// (the archive of `vexa draws demo --count 1500 --seed 7`), random choices
// seeded with 1, as `vexa script test --tests N --seed 1` runs it.
//
// Arg 0: passes (tests). Arg 1: 1 with the speed-ups, 0 without (the same
// stakes; only for comparison). Every iteration starts from a fresh data
// folder, so the stakes of one do not weigh on the next. The time includes
// checking the stakes after every variant, each check flushed to disk.
// Real time is reported; the "cpu_s" counter is the process CPU time of the
// run (both cores), since the machine may be shared.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <ctime>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "acquire/demo_draws.h"
#include "core/draws_archive.h"
#include "workspace/workspace.h"

namespace vexa {
namespace {

std::string Fixture(const char* name) {
  std::ifstream in(std::filesystem::path(VEXA_BENCH_FIXTURES) / name, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

class TDataFolder {
 public:
  TDataFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "vexa-bench-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    Path_ = pattern;
    TSilentUserInterface ui;
    TDrawsArchive archive(Path_ / "Korvane_6x45.ldr");
    archive.SetDraws(GenerateDemoDraws(1500, 7));
    archive.SaveDraws(ui);
    std::ofstream(Path_ / "Korvane_6x45.lss", std::ios::binary) << Fixture("backtest.lss");
  }
  ~TDataFolder() {
    std::error_code ec;
    std::filesystem::remove_all(Path_, ec);
  }
  TDataFolder(const TDataFolder&) = delete;
  TDataFolder& operator=(const TDataFolder&) = delete;
  const std::filesystem::path& Path() const { return Path_; }

 private:
  std::filesystem::path Path_;
};

void BM_ScriptTest(benchmark::State& state) {
  const int passes = static_cast<int>(state.range(0));
  const bool speedUps = state.range(1) != 0;
  double cpu = 0;
  int stakes = 0;
  for (auto _ : state) {
    state.PauseTiming();
    {
      TDataFolder folder;
      TSilentUserInterface ui;
      TWorkspace ws(folder.Path(), ui);
      ws.Open();
      TRunOverrides overrides;
      overrides.ScriptSeed = 1;
      overrides.ScriptSpeedUps = speedUps;
      ws.SetRunOverrides(overrides);
      state.ResumeTiming();
      const std::clock_t start = std::clock();
      stakes = ws.ScriptTest(passes).Stakes;
      cpu += static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC;
      state.PauseTiming();
    }
    state.ResumeTiming();
  }
  state.counters["cpu_s"] = benchmark::Counter(cpu, benchmark::Counter::kAvgIterations);
  state.counters["stakes"] = stakes;
}
BENCHMARK(BM_ScriptTest)
    ->Args({100, 1})
    ->Args({5, 1})
    ->Args({5, 0})
    ->Iterations(1)
    ->Unit(benchmark::kSecond)
    ->UseRealTime();

}  // namespace
}  // namespace vexa

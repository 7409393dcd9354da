// Archive-sized operations: searching, loading, saving and the CSV round trip.
#include <benchmark/benchmark.h>

#include <filesystem>

#include "acquire/demo_draws.h"
#include "acquire/draws_csv.h"
#include "core/draws_archive.h"

namespace vexa {
namespace {

std::filesystem::path BenchDir() {
  auto dir = std::filesystem::temp_directory_path() / "vexa-bench";
  std::filesystem::create_directories(dir);
  return dir;
}

void BM_IndexOfDrawNumber(benchmark::State& state) {
  TDrawsArchive a;
  a.SetDraws(GenerateDemoDraws(static_cast<int>(state.range(0)), 1));
  int n = 1;
  for (auto _ : state) {
    benchmark::DoNotOptimize(a.IndexOfDrawNumber(n));
    n = n % a.Count() + 1;
  }
}
BENCHMARK(BM_IndexOfDrawNumber)->Arg(5000);

void BM_SaveLoadArchive(benchmark::State& state) {
  TSilentUserInterface ui;
  TDrawsArchive a(BenchDir() / "bench.ldr");
  a.SetDraws(GenerateDemoDraws(static_cast<int>(state.range(0)), 1));
  for (auto _ : state) {
    a.SaveDraws(ui);
    a.LoadDraws(ui);
  }
}
BENCHMARK(BM_SaveLoadArchive)->Arg(5000)->Unit(benchmark::kMillisecond);

void BM_CsvImport(benchmark::State& state) {
  TSilentUserInterface ui;
  const auto dir = BenchDir();
  TDrawsArchive source(dir / "src.ldr");
  source.SetDraws(GenerateDemoDraws(static_cast<int>(state.range(0)), 1));
  DrawsExport(source, dir / "bench.csv", ui);
  for (auto _ : state) {
    TDrawsArchive target(dir / "target.ldr");
    benchmark::DoNotOptimize(DrawsImport(target, dir / "bench.csv", ui));
  }
}
BENCHMARK(BM_CsvImport)->Arg(5000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vexa

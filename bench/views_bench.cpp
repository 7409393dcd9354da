// The analysis views: the card of a large archive with every cell's colour,
// the layout with its comparison lists, and the two chart analyses.
#include <benchmark/benchmark.h>

#include "acquire/demo_draws.h"
#include "core/user_interface.h"
#include "views/card.h"
#include "views/graphs.h"
#include "views/layout.h"

namespace vexa {
namespace {

void BM_CardWithColours(benchmark::State& state) {
  const TDrawsArray draws = GenerateDemoDraws(static_cast<int>(state.range(0)), 1);
  for (auto _ : state) {
    const TDrawsCard card(draws);
    benchmark::DoNotOptimize(CardColors(card, {}));
  }
}
BENCHMARK(BM_CardWithColours)->Arg(5000)->Unit(benchmark::kMillisecond);

// The layout over L draws and all five lists over L draws (the worst case).
void BM_LayoutAndCompareLists(benchmark::State& state) {
  TDrawsArchive archive;
  archive.SetDraws(GenerateDemoDraws(5000, 1));
  archive.SetDrawsOffset(3);
  const auto l = static_cast<int32_t>(state.range(0));
  for (auto _ : state) {
    benchmark::DoNotOptimize(BuildLayout(archive, l));
    benchmark::DoNotOptimize(BuildCompareLists(archive, {l, l, l, l, l}));
  }
}
BENCHMARK(BM_LayoutAndCompareLists)->Arg(100)->Arg(1000)->Arg(5000)->Unit(benchmark::kMillisecond);

void BM_AnalyzeRepeats(benchmark::State& state) {
  const TDrawsArray draws = GenerateDemoDraws(5000, 1);
  TSilentUserInterface ui;
  std::mt19937 random(1);
  const auto n = static_cast<int>(state.range(0));
  for (auto _ : state) benchmark::DoNotOptimize(AnalyzeRepeats(draws, n, n, random, ui));
}
BENCHMARK(BM_AnalyzeRepeats)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond);

void BM_TotalSumCombs(benchmark::State& state) {
  const TDrawsArray draws = GenerateDemoDraws(5000, 1);
  for (auto _ : state) benchmark::DoNotOptimize(TotalSumCombs(draws));
}
BENCHMARK(BM_TotalSumCombs)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vexa

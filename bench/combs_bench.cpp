// The combinations list over the full set, with its buffers reserved once
// for the whole program run (as the program does at start-up).
//
// Arg 0 of the filter benchmarks: threads of the walk (0 = one per core).
#include <benchmark/benchmark.h>

#include <memory>

#include "acquire/demo_draws.h"
#include "combs/combs_list.h"
#include "combs/filter.h"
#include "stats/stat_list.h"

namespace vexa {
namespace {

struct TBench {
  TSilentUserInterface Ui;
  TCombsList Combs{Ui};
  TDrawsArray Draws = GenerateDemoDraws(2000, 1);
  TStatList Stats{Draws};

  TBench() {
    Combs.Reserve(AllCombsCount);
    Stats.RegisterAll();
    Combs.Generate(false, {GenerateAll, ""});
    Combs.SaveUndo(false);
  }
};

TBench& Bench() {
  static TBench bench;
  return bench;
}

// The list back to the full set, the undo copy holding it too.
void FullSetInBoth(TBench& b) {
  b.Combs.Generate(false, {GenerateAll, ""});
  b.Combs.SaveUndo(false);
}

void BM_GenerateAll(benchmark::State& state) {
  TBench& b = Bench();
  for (auto _ : state) b.Combs.Generate(false, {GenerateAll, ""});
  state.counters["combs"] = b.Combs.Count();
}
BENCHMARK(BM_GenerateAll)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_SaveUndo(benchmark::State& state) {
  TBench& b = Bench();
  FullSetInBoth(b);
  for (auto _ : state) b.Combs.SaveUndo(false);
}
BENCHMARK(BM_SaveUndo)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_RestoreUndo(benchmark::State& state) {
  TBench& b = Bench();
  FullSetInBoth(b);
  for (auto _ : state) {
    b.Combs.RestoreUndo(false);
    state.PauseTiming();
    b.Combs.SaveUndo(false);
    state.ResumeTiming();
  }
}
BENCHMARK(BM_RestoreUndo)->Unit(benchmark::kMillisecond)->UseRealTime();

void Filter(benchmark::State& state, const char* code, const TStatDrawArray& values, int expected) {
  TBench& b = Bench();
  FullSetInBoth(b);
  b.Combs.SetWalkOptions({static_cast<int>(state.range(0)), TWalkOptions{}.BlockSize});
  auto stat = b.Stats.CreateStat(b.Stats.IndexOfCode(code));
  for (auto _ : state) ApplyFilter(b.Combs, *stat, values, false, code, "", 0, false, b.Ui);
  if (b.Combs.Count() != expected) state.SkipWithError("wrong count");
  state.counters["left"] = b.Combs.Count();
  b.Combs.SetWalkOptions({});
}

TStatDrawArray Range(int low, int high) {
  TStatDrawArray values;
  for (int v = low; v <= high; ++v) {
    TStatDraw d;
    SetKey32(d.Key, v);
    values.push_back(d);
  }
  return values;
}

void BM_FilterKeepNums7And12(benchmark::State& state) {
  TStatDrawArray values = Range(7, 7);
  values.push_back(Range(12, 12)[0]);
  Filter(state, "NUMS", values, 2048606);
}
BENCHMARK(BM_FilterKeepNums7And12)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_FilterKeepSums93To183(benchmark::State& state) { Filter(state, "SUMS", Range(93, 183), 7076136); }
BENCHMARK(BM_FilterKeepSums93To183)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_RemoveDrawn10(benchmark::State& state) {
  TBench& b = Bench();
  FullSetInBoth(b);
  for (auto _ : state) b.Combs.RemoveDrawn(10, b.Draws, 0);
  state.counters["left"] = b.Combs.Count();
}
BENCHMARK(BM_RemoveDrawn10)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace vexa

// Characteristic-number and shredding methods over all combinations: the
// filter test (Matches, two threads splitting the list) and the full-set
// count, each a few repetitions of one pass; read the median. SHR1 and SHR2
// keep their default formulas.
#include <benchmark/benchmark.h>

#include <string>
#include <thread>
#include <vector>

#include "acquire/demo_draws.h"
#include "stats/full_set.h"
#include "stats/stat_list.h"

namespace vexa {
namespace {

const TCombsArray& AllCombs() {
  static const TCombsArray combs = [] {
    TCombsArray all;
    all.reserve(AllCombsCount);
    TComb c{1, 2, 3, 4, 5, 6};
    for (;;) {
      all.push_back(c);
      int i = MainCount - 1;
      while (i >= 0 && c[static_cast<size_t>(i)] == MaxNumber - (MainCount - 1 - i)) --i;
      if (i < 0) break;
      ++c[static_cast<size_t>(i)];
      for (int j = i + 1; j < MainCount; ++j) c[static_cast<size_t>(j)] = static_cast<uint8_t>(c[static_cast<size_t>(j - 1)] + 1);
    }
    return all;
  }();
  return combs;
}

struct TBenchList {
  TDrawsArray Draws = GenerateDemoDraws(2000, 17);
  TStatList List{Draws};
  TBenchList() {
    // SHR3 gets a formula too wide for a table of remembered values: the
    // cost of evaluating every combination.
    List.Shredding.Formulas[2] = "n1*n2*n3/(n4*n5*n6)";
    List.RegisterAll();
  }
};

TBenchList& Bench() {
  static TBenchList b;
  return b;
}

// What a user typically selects: every other value of the last 100 draws'
// statistics (all of them for HCO3, which lists one draw's candidates).
TStatDrawArray TypicalSelection(TCustomStat& stat, int last, bool all) {
  TStatDrawArray window;
  stat.ListAllValues(last, window);
  TStatWork work{};
  TLastValueArray seen;
  for (int i = last - 99; i <= last; ++i) stat.CalcDraw(i, last, false, window, work, seen);
  TStatDrawArray chosen;
  for (size_t k = 0; k < window.size(); ++k)
    if (all || k % 2 == 0) chosen.push_back(window[k]);
  return chosen;
}

void BM_Matches(benchmark::State& state, const char* code) {
  const TCombsArray& combs = AllCombs();
  TStatList& list = Bench().List;
  auto stat = list.CreateStat(list.IndexOfCode(code));
  const int last = static_cast<int>(Bench().Draws.size()) - 1;
  const TStatDrawArray chosen = TypicalSelection(*stat, last, std::string(code) == "HCO3");
  stat->LoadDraw(-1, last, false);
  stat->PrepareValues(chosen);
  size_t kept = 0;
  for (auto _ : state) {
    size_t counts[2] = {0, 0};
    auto run = [&](size_t part) {
      const size_t half = combs.size() / 2;
      const size_t from = part * half;
      const size_t to = part == 0 ? half : combs.size();
      size_t n = 0;
      for (size_t k = from; k < to; ++k) n += stat->Matches(combs[k], chosen, last, false, false) ? 1 : 0;
      counts[part] = n;
    };
    std::thread other(run, 1);
    run(0);
    other.join();
    kept = counts[0] + counts[1];
    benchmark::DoNotOptimize(kept);
  }
  state.counters["selected"] = static_cast<double>(chosen.size());
  state.counters["kept"] = static_cast<double>(kept);
}

void BM_FullSet(benchmark::State& state, const char* code) {
  TStatList& list = Bench().List;
  auto stat = list.CreateStat(list.IndexOfCode(code));
  size_t records = 0;
  for (auto _ : state) {
    const TFullSet set = ComputeFullSet(*stat, 2);
    records = set.Records.size();
    benchmark::DoNotOptimize(records);
  }
  state.counters["values"] = static_cast<double>(records);
}

#define VEXA_ONE_PASS ->Iterations(1)->Repetitions(5)->ReportAggregatesOnly(true)->UseRealTime()->Unit(benchmark::kMillisecond)

BENCHMARK_CAPTURE(BM_Matches, HCO1, "HCO1") VEXA_ONE_PASS;
BENCHMARK_CAPTURE(BM_Matches, HCO2, "HCO2") VEXA_ONE_PASS;
BENCHMARK_CAPTURE(BM_Matches, HCO3, "HCO3") VEXA_ONE_PASS;
BENCHMARK_CAPTURE(BM_Matches, SHR1, "SHR1") VEXA_ONE_PASS;
BENCHMARK_CAPTURE(BM_Matches, SHR2, "SHR2") VEXA_ONE_PASS;
BENCHMARK_CAPTURE(BM_Matches, SHR3_no_table, "SHR3") VEXA_ONE_PASS;
BENCHMARK_CAPTURE(BM_FullSet, HCO1, "HCO1") VEXA_ONE_PASS;
BENCHMARK_CAPTURE(BM_FullSet, HCO2, "HCO2") VEXA_ONE_PASS;
BENCHMARK_CAPTURE(BM_FullSet, SHR1, "SHR1") VEXA_ONE_PASS;
BENCHMARK_CAPTURE(BM_FullSet, SHR3_no_table, "SHR3") VEXA_ONE_PASS;

}  // namespace
}  // namespace vexa

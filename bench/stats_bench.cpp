// The statistics list and the full-set files.
//
//   BM_FullSet/<CODE>      counting one method over all 8 145 060 combinations
//                          (what creating its full-set file costs, without the write)
//   BM_RecalculateNums     NUMS over 1000 draws with all twenty columns
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "acquire/demo_draws.h"
#include "stats/full_set.h"
#include "stats/stat_list.h"
#include "stats/stat_rows.h"

namespace vexa {
namespace {

struct TBenchData {
  TDrawsArray Draws = GenerateDemoDraws(1200, 7);
  TStatList List{Draws};
  TBenchData() { List.RegisterAll(); }
};

TBenchData& Data() {
  static TBenchData data;
  return data;
}

void BM_FullSet(benchmark::State& state, int method) {
  const auto stat = Data().List.CreateStat(method);
  size_t records = 0;
  for (auto _ : state) {
    const TFullSet set = ComputeFullSet(*stat);
    records = set.Records.size();
    benchmark::DoNotOptimize(set.MaxCount);
  }
  state.counters["values"] = static_cast<double>(records);
}

void BM_RecalculateNums(benchmark::State& state) {
  TBenchData& d = Data();
  const int nums = d.List.IndexOfCode("NUMS");
  TSilentUserInterface ui;
  TStatRowsParams params;
  params.WindowLength = 1000;
  params.DrawsOffset = static_cast<int>(state.range(0));
  for (auto _ : state) {
    const TStatRows rows = RecalculateStat(d.List, nums, params, TFullSetPlace{}, false, ui);
    benchmark::DoNotOptimize(rows.Rows.data());
  }
}
BENCHMARK(BM_RecalculateNums)->Arg(0)->Arg(100)->Unit(benchmark::kMillisecond);

// One benchmark per method with a full-set file, named by its code.
const bool Registered = [] {
  TBenchData& d = Data();
  for (int i = 0; i < d.List.Count(); ++i) {
    if (!d.List.IsFullSetComputable(i)) continue;
    benchmark::RegisterBenchmark(("BM_FullSet/" + d.List.Items(i).Code()).c_str(), BM_FullSet, i)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime()  // the counting runs on every core
        ->Iterations(2);
  }
  return true;
}();

}  // namespace
}  // namespace vexa

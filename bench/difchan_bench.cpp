// The difference and channel methods over the full set of combinations.
//
//   BM_Matches/<CODE>/typical  a keep filter over all 8 145 060 combinations
//                              (ascending, in lexicographic order) on two
//                              threads; the selection is the most frequent
//                              third of the rows of the last 100 draws
//   BM_Matches/<CODE>/rare     the same with the least frequent third
//   BM_FullSet/<CODE>          counting a method of kind N over all combinations
//                              (what its full-set file costs, without the write)
//
// Each case runs five repetitions and prints their mean, median and stddev;
// the median is the figure to quote:
//   build/bench/difchan_bench --benchmark_filter=BM_Matches/KCM4
#include <benchmark/benchmark.h>

#include <algorithm>
#include <string>
#include <thread>
#include <vector>

#include "acquire/demo_draws.h"
#include "stats/full_set.h"
#include "stats/stat_list.h"

namespace vexa {
namespace {

constexpr const char* Codes[] = {"DIFA", "DIFM", "DIFD", "DIFO", "DIFK", "KDS2", "KDS3", "KDS4", "CHAN",
                                 "CHNV", "CHNC", "KCM2", "KCM3", "KCM4", "KCS2", "KCS3", "KCS4", "CHN1",
                                 "CHN5", "CHN9"};
constexpr int WindowLength = 100;
constexpr int Threads = 2;

struct TBenchData {
  TDrawsArray Draws = GenerateDemoDraws(1000, 7);
  TStatList List{Draws};
  std::vector<TComb> Combs;

  TBenchData() {
    List.RegisterAll();
    Combs.reserve(AllCombsCount);
    TComb c{};
    for (c[0] = 1; c[0] <= 40; ++c[0])
      for (c[1] = c[0] + 1; c[1] <= 41; ++c[1])
        for (c[2] = c[1] + 1; c[2] <= 42; ++c[2])
          for (c[3] = c[2] + 1; c[3] <= 43; ++c[3])
            for (c[4] = c[3] + 1; c[4] <= 44; ++c[4])
              for (c[5] = c[4] + 1; c[5] <= 45; ++c[5]) Combs.push_back(c);
  }
};

TBenchData& Data() {
  static TBenchData data;
  return data;
}

// A third of the rows of the statistics list, by Hits.
TStatDrawArray SelectThird(TCustomStat& stat, int last, bool mostFrequent) {
  TStatDrawArray rows;
  stat.ListAllValues(last, rows);
  TStatWork work{};
  TLastValueArray seen;
  for (int i = last - WindowLength + 1; i <= last; ++i) stat.CalcDraw(i, last, true, rows, work, seen);
  std::stable_sort(rows.begin(), rows.end(), [&](const TStatDraw& a, const TStatDraw& b) {
    return mostFrequent ? a.Hits > b.Hits : a.Hits < b.Hits;
  });
  rows.resize(std::max<size_t>(1, rows.size() / 3));
  return rows;
}

void BM_Matches(benchmark::State& state, const std::string& code, bool mostFrequent) {
  TBenchData& d = Data();
  const auto stat = d.List.CreateStat(d.List.IndexOfCode(code));
  const int last = static_cast<int>(d.Draws.size()) - 1;
  const TStatDrawArray selected = SelectThird(*stat, last, mostFrequent);
  stat->LoadDraw(-1, last, true);
  stat->PrepareValues(selected);

  const size_t total = d.Combs.size();
  size_t kept = 0;
  for (auto _ : state) {
    std::vector<size_t> counts(Threads, 0);
    auto run = [&](size_t t) {
      size_t n = 0;
      for (size_t i = total * t / Threads; i < total * (t + 1) / Threads; ++i)
        n += stat->Matches(d.Combs[i], selected, last, true, false) ? 1 : 0;
      counts[t] = n;
    };
    std::vector<std::thread> pool;
    for (size_t t = 1; t < Threads; ++t) pool.emplace_back(run, t);
    run(0);
    for (auto& th : pool) th.join();
    kept = 0;
    for (size_t n : counts) kept += n;
    benchmark::DoNotOptimize(kept);
  }
  state.counters["selected"] = static_cast<double>(selected.size());
  state.counters["kept"] = static_cast<double>(kept);
}

void BM_FullSet(benchmark::State& state, const std::string& code) {
  TBenchData& d = Data();
  const auto stat = d.List.CreateStat(d.List.IndexOfCode(code));
  size_t records = 0;
  for (auto _ : state) {
    const TFullSet set = ComputeFullSet(*stat, Threads);
    records = set.Records.size();
    benchmark::DoNotOptimize(set.MaxCount);
  }
  state.counters["values"] = static_cast<double>(records);
}

const bool Registered = [] {
  TBenchData& d = Data();
  for (const char* code : Codes) {
    const int i = d.List.IndexOfCode(code);
    if (i < 0) continue;
    for (bool mostFrequent : {true, false})
      benchmark::RegisterBenchmark(
          ("BM_Matches/" + std::string(code) + (mostFrequent ? "/typical" : "/rare")).c_str(), BM_Matches,
          std::string(code), mostFrequent)
          ->Unit(benchmark::kMillisecond)
          ->UseRealTime()
          ->Iterations(3)
          ->Repetitions(5)
          ->ReportAggregatesOnly(true);
    if (d.List.IsFullSetComputable(i))
      benchmark::RegisterBenchmark(("BM_FullSet/" + std::string(code)).c_str(), BM_FullSet, std::string(code))
          ->Unit(benchmark::kMillisecond)
          ->UseRealTime()
          ->Iterations(2)
          ->Repetitions(5)
          ->ReportAggregatesOnly(true);
  }
  return true;
}();

}  // namespace
}  // namespace vexa

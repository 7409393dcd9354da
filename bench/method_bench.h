// The statistic-method benchmarks shared by the family benches.
//
//   BM_Matches/<CODE>[suffix]/typical  a keep filter over all 8 145 060
//                                      combinations (ascending, lexicographic)
//                                      on two threads; the selection is the most
//                                      frequent third of the rows of the last
//                                      100 draws
//   BM_Matches/<CODE>[suffix]/rare     the same with the least frequent third
//   BM_FullSet/<CODE>[suffix]          counting a method of kind N over all
//                                      combinations (its full-set file without the write)
//   BM_Values/<CODE>[suffix]           the values of every combination (optional)
//
// Each case runs five repetitions and prints their mean, median and stddev;
// the median is the figure to quote.
#pragma once

#include <benchmark/benchmark.h>

#include <algorithm>
#include <string>
#include <thread>
#include <vector>

#include "stats/full_set.h"
#include "stats/stat_list.h"

namespace vexa::bench {

constexpr int DefaultWindow = 100;
constexpr size_t Threads = 2;

// All combinations in lexicographic order, built once.
inline const std::vector<TComb>& AllCombinations() {
  static const std::vector<TComb> combs = [] {
    std::vector<TComb> all;
    all.reserve(AllCombsCount);
    TComb c{};
    for (c[0] = 1; c[0] <= 40; ++c[0])
      for (c[1] = c[0] + 1; c[1] <= 41; ++c[1])
        for (c[2] = c[1] + 1; c[2] <= 42; ++c[2])
          for (c[3] = c[2] + 1; c[3] <= 43; ++c[3])
            for (c[4] = c[3] + 1; c[4] <= 44; ++c[4])
              for (c[5] = c[4] + 1; c[5] <= 45; ++c[5]) all.push_back(c);
    return all;
  }();
  return combs;
}

// A third of the rows of the statistics list of the newest window, by Hits.
inline TStatDrawArray SelectThird(TCustomStat& stat, int last, int window, bool mostFrequent) {
  TStatDrawArray rows;
  stat.ListAllValues(last, rows);
  TStatWork work{};
  TLastValueArray seen;
  for (int i = std::max(0, last - window + 1); i <= last; ++i) stat.CalcDraw(i, last, true, rows, work, seen);
  std::stable_sort(rows.begin(), rows.end(), [&](const TStatDraw& a, const TStatDraw& b) {
    return mostFrequent ? a.Hits > b.Hits : a.Hits < b.Hits;
  });
  rows.resize(std::max<size_t>(1, rows.size() / 3));
  return rows;
}

// Sums f(t, from, to) over the combinations split among the threads.
template <typename F>
size_t OverAllCombinations(F f) {
  const size_t total = AllCombinations().size();
  std::vector<size_t> counts(Threads, 0);
  auto run = [&](size_t t) { counts[t] = f(total * t / Threads, total * (t + 1) / Threads); };
  std::vector<std::thread> pool;
  for (size_t t = 1; t < Threads; ++t) pool.emplace_back(run, t);
  run(0);
  for (auto& th : pool) th.join();
  size_t sum = 0;
  for (size_t n : counts) sum += n;
  return sum;
}

inline void BM_Matches(benchmark::State& state, const TStatList* list, const std::string& code, int window,
                       bool mostFrequent) {
  const auto stat = list->CreateStat(list->IndexOfCode(code));
  const int last = static_cast<int>(list->Draws().size()) - 1;
  const TStatDrawArray selected = SelectThird(*stat, last, window, mostFrequent);
  stat->LoadDraw(-1, last, true);
  stat->PrepareValues(selected);
  const std::vector<TComb>& combs = AllCombinations();
  size_t kept = 0;
  for (auto _ : state) {
    kept = OverAllCombinations([&](size_t from, size_t to) {
      size_t n = 0;
      for (size_t i = from; i < to; ++i) n += stat->Matches(combs[i], selected, last, true, false) ? 1 : 0;
      return n;
    });
    benchmark::DoNotOptimize(kept);
  }
  state.counters["selected"] = static_cast<double>(selected.size());
  state.counters["kept"] = static_cast<double>(kept);
}

inline void BM_FullSet(benchmark::State& state, const TStatList* list, const std::string& code) {
  const auto stat = list->CreateStat(list->IndexOfCode(code));
  size_t records = 0;
  for (auto _ : state) {
    const TFullSet set = ComputeFullSet(*stat, static_cast<int>(Threads));
    records = set.Records.size();
    benchmark::DoNotOptimize(set.MaxCount);
  }
  state.counters["values"] = static_cast<double>(records);
}

inline void BM_Values(benchmark::State& state, const TStatList* list, const std::string& code) {
  const auto stat = list->CreateStat(list->IndexOfCode(code));
  const std::vector<TComb>& combs = AllCombinations();
  size_t values = 0;
  for (auto _ : state) {
    values = OverAllCombinations([&](size_t from, size_t to) {
      TStatDrawArray own;
      size_t n = 0;
      for (size_t i = from; i < to; ++i) {
        own.clear();
        stat->CalcCombination(combs[i], own);
        n += own.size();
      }
      return n;
    });
    benchmark::DoNotOptimize(values);
  }
  state.counters["values"] = static_cast<double>(values);
}

struct TRegisterOptions {
  std::string Suffix;          // told after the code, for a second settings list
  bool Values = false;         // BM_Values as well
  int Window = DefaultWindow;  // draws whose statistics give the selection
};

// Registers the cases of one method of `list` (which must outlive them);
// a code the list does not hold registers nothing.
inline void RegisterMethod(const TStatList& list, const std::string& code, const TRegisterOptions& options = {}) {
  const int i = list.IndexOfCode(code);
  if (i < 0) return;
  const std::string name = code + options.Suffix;
  for (bool mostFrequent : {true, false})
    benchmark::RegisterBenchmark(("BM_Matches/" + name + (mostFrequent ? "/typical" : "/rare")).c_str(), BM_Matches,
                                 &list, code, options.Window, mostFrequent)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime()
        ->Iterations(3)
        ->Repetitions(5)
        ->ReportAggregatesOnly(true);
  if (!list.IsFullSetComputable(i)) return;
  benchmark::RegisterBenchmark(("BM_FullSet/" + name).c_str(), BM_FullSet, &list, code)
      ->Unit(benchmark::kMillisecond)
      ->UseRealTime()
      ->Iterations(2)
      ->Repetitions(5)
      ->ReportAggregatesOnly(true);
  if (options.Values)
    benchmark::RegisterBenchmark(("BM_Values/" + name).c_str(), BM_Values, &list, code)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime()
        ->Iterations(2)
        ->Repetitions(5)
        ->ReportAggregatesOnly(true);
}

}  // namespace vexa::bench

// Filter tests of the sequence, repeat and combination-value methods over
// all 8 145 060 combinations, and the full-set counts of the N methods.
//
// Each Matches run splits the lexicographic list of all combinations
// between two threads, as a filter run does; the selection is the few
// most frequent values of the last 100 draws of a demo archive, prepared
// once. The time reported for Matches is the larger of the two threads'
// CPU times (the wall time is the wall_ms counter): other builds on the
// machine stretch wall times. Run with --benchmark_repetitions=5
// --benchmark_report_aggregates_only=true for the medians.
#include <benchmark/benchmark.h>

#include <time.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "acquire/demo_draws.h"
#include "stats/full_set.h"
#include "stats/stat_list.h"

namespace vexa {
namespace {

constexpr int BenchThreads = 2;

const TCombsArray& AllCombs() {
  static const TCombsArray combs = [] {
    TCombsArray all;
    all.reserve(AllCombsCount);
    TComb c{};
    for (c[0] = 1; c[0] <= 40; ++c[0])
      for (c[1] = static_cast<uint8_t>(c[0] + 1); c[1] <= 41; ++c[1])
        for (c[2] = static_cast<uint8_t>(c[1] + 1); c[2] <= 42; ++c[2])
          for (c[3] = static_cast<uint8_t>(c[2] + 1); c[3] <= 43; ++c[3])
            for (c[4] = static_cast<uint8_t>(c[3] + 1); c[4] <= 44; ++c[4])
              for (c[5] = static_cast<uint8_t>(c[4] + 1); c[5] <= 45; ++c[5]) all.push_back(c);
    return all;
  }();
  return combs;
}

// CPU time of the calling thread: on a busy machine the wall time of a run
// says little, the larger of the two threads' CPU times says what an idle
// machine would take.
double CpuMs(clockid_t clock) {
  timespec ts{};
  clock_gettime(clock, &ts);
  return static_cast<double>(ts.tv_sec) * 1e3 + static_cast<double>(ts.tv_nsec) / 1e6;
}

struct TBenchData {
  TDrawsArray Draws = GenerateDemoDraws(2000, 7);
  TStatList List{Draws};
  TBenchData() { List.RegisterAll(); }
};

TBenchData& Data() {
  static TBenchData data;
  return data;
}

// The most frequent values of the last 100 draws: a third of them, 1 to 10.
TStatDrawArray TypicalSelection(TCustomStat& stat, int last) {
  TStatDrawArray values;
  stat.ListAllValues(last, values);
  TStatWork work{};
  TLastValueArray seen;
  for (int i = last - 99; i <= last; ++i) stat.CalcDraw(i, last, false, values, work, seen);
  std::stable_sort(values.begin(), values.end(),
                   [](const TStatDraw& a, const TStatDraw& b) { return a.Hits > b.Hits; });
  const size_t n = std::clamp<size_t>(values.size() / 3, 1, 10);
  values.resize(std::min(n, values.size()));
  return values;
}

void BM_Matches(benchmark::State& state, const std::string& code) {
  TBenchData& data = Data();
  const int index = data.List.IndexOfCode(code);
  if (index < 0) {
    state.SkipWithError(("no method " + code).c_str());
    return;
  }
  auto stat = data.List.CreateStat(index);
  const int last = static_cast<int>(data.Draws.size()) - 1;
  const TStatDrawArray selected = TypicalSelection(*stat, last);
  stat->LoadDraw(-1, last, false);
  stat->PrepareValues(selected);
  const TCombsArray& combs = AllCombs();
  size_t kept = 0;
  double wallMs = 0;
  for (auto _ : state) {
    const auto wallStart = std::chrono::steady_clock::now();
    size_t counts[BenchThreads] = {};
    double cpu[BenchThreads] = {};
    std::vector<std::thread> threads;
    for (int t = 0; t < BenchThreads; ++t) {
      threads.emplace_back([&, t] {
        const size_t from = combs.size() * static_cast<size_t>(t) / BenchThreads;
        const size_t to = combs.size() * static_cast<size_t>(t + 1) / BenchThreads;
        const double start = CpuMs(CLOCK_THREAD_CPUTIME_ID);
        size_t n = 0;
        for (size_t i = from; i < to; ++i) n += stat->Matches(combs[i], selected, last, false, false) ? 1 : 0;
        counts[t] = n;
        cpu[t] = CpuMs(CLOCK_THREAD_CPUTIME_ID) - start;
      });
    }
    for (auto& th : threads) th.join();
    kept = counts[0] + counts[1];
    state.SetIterationTime(std::max(cpu[0], cpu[1]) / 1e3);
    wallMs = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - wallStart).count();
    benchmark::DoNotOptimize(kept);
  }
  state.counters["selected"] = static_cast<double>(selected.size());
  state.counters["kept"] = static_cast<double>(kept);
  state.counters["wall_ms"] = wallMs;
}

void BM_FullSet(benchmark::State& state, const std::string& code) {
  TBenchData& data = Data();
  auto stat = data.List.CreateStat(data.List.IndexOfCode(code));
  size_t records = 0;
  double cpuMs = 0;
  for (auto _ : state) {
    const double start = CpuMs(CLOCK_PROCESS_CPUTIME_ID);
    const TFullSet set = ComputeFullSet(*stat, BenchThreads);
    cpuMs = CpuMs(CLOCK_PROCESS_CPUTIME_ID) - start;
    records = set.Records.size();
    benchmark::DoNotOptimize(records);
  }
  state.counters["values"] = static_cast<double>(records);
  // Both threads' CPU time over two: the wall time of an idle machine.
  state.counters["cpu_ms_per_thread"] = cpuMs / BenchThreads;
}

const char* const MatchesCodes[] = {
    "SEQL",  "SEQS",  "LENS",  "RPV2",  "RPV3",  "PRL2",  "PRV2O1", "PRV2O2", "PRV2O3", "PRV+1", "PRV-1",
    "PRV+2", "PRV-2", "RPC2",  "RPC3",  "PRB2",  "RPO1",  "PRC2O2", "PRC2O3", "PRC+1",  "PRC-1", "PRC+2",
    "PRC-2", "KNM2",  "KNM3",  "KNM4",  "KNS2",  "KNS3",  "KNS4",   "KNP21",  "KNP22",  "KNP23", "KNP24",
    "KNP25", "KNP31", "KNP32", "KNP33", "KNP34", "KNP41", "KNP42",  "KNP43",
};

const char* const FullSetCodes[] = {"SEQL", "SEQS", "LENS"};

const int Registered = [] {
  for (const char* code : MatchesCodes)
    benchmark::RegisterBenchmark((std::string("BM_Matches/") + code).c_str(), BM_Matches, std::string(code))
        ->Unit(benchmark::kMillisecond)
        ->UseManualTime();
  for (const char* code : FullSetCodes)
    benchmark::RegisterBenchmark((std::string("BM_FullSet/") + code).c_str(), BM_FullSet, std::string(code))
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
  return 0;
}();

}  // namespace
}  // namespace vexa

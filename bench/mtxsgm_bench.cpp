// The matrix and segment methods over the full set of combinations.
//
//   BM_Matches/<CODE>/typical  a keep filter over all 8 145 060 combinations
//                              (ascending, in lexicographic order) on two
//                              threads; the selection is the most frequent
//                              third of the rows of the last 100 draws
//   BM_Matches/<CODE>/rare     the same with the least frequent third: few
//                              combinations match, so every test runs in full
//   BM_FullSet/<CODE>          counting a method of kind N over all combinations
//                              (what its full-set file costs, without the write)
//   BM_Values/<CODE>           CalcCombination alone over all combinations on
//                              two threads: the method's share of BM_FullSet
//
// Default settings (5 columns) except the segment table, which is nine
// blocks of five numbers (one segment makes every segment method trivial).
// The "@1" cases run with MatrixCols 1: 45 rows, the widest row pattern and
// the largest row tuple tables.
//
// Report the median: each case prints mean, median and stddev of five
// repetitions.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "acquire/demo_draws.h"
#include "core/settings.h"
#include "stats/full_set.h"
#include "stats/stat_list.h"

namespace vexa {
namespace {

constexpr const char* Codes[] = {
    "COLS", "ROWS", "COLV", "ROWV", "COLN", "ROWN", "COLM", "ROWM", "COLA", "ROWA", "COLC", "ROWC",
    "KFM2", "KFM3", "KFM4", "KFS2", "KFS3", "KFS4", "KRM2", "KRM3", "KRM4", "KRS2", "KRS3", "KRS4",
    "COL1", "COL5", "ROW1", "ROW9", "SGMS", "SGMV", "SGMC", "KGM2", "KGM3", "KGM4", "KGS2", "KGS3",
    "KGS4", "SGM1", "SGM9"};
constexpr const char* OneColumnCodes[] = {"ROWS", "ROWV", "ROWM", "COLA", "KRM4", "KRS4", "ROW45"};
constexpr int WindowLength = 100;
constexpr int Threads = 2;

struct TBenchData {
  TDrawsArray Draws = GenerateDemoDraws(1000, 7);
  TStatList List{Draws};
  TStatList OneColumn{Draws};
  std::vector<TComb> Combs;

  TBenchData() {
    std::string blocks;
    for (char s = '1'; s <= '9'; ++s) blocks += std::string(5, s);
    List.Config.MatrixSegments = MatrixSegmentsFromText(blocks);
    List.RegisterAll();
    OneColumn.Config.MatrixCols = 1;
    OneColumn.RegisterAll();
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

std::unique_ptr<TCustomStat> CreateStat(const TStatList& list, const std::string& code) {
  return list.CreateStat(list.IndexOfCode(code));
}

void BM_Matches(benchmark::State& state, const TStatList* list, const std::string& code, bool mostFrequent) {
  TBenchData& d = Data();
  const auto stat = CreateStat(*list, code);
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

void BM_FullSet(benchmark::State& state, const TStatList* list, const std::string& code) {
  const auto stat = CreateStat(*list, code);
  size_t records = 0;
  for (auto _ : state) {
    const TFullSet set = ComputeFullSet(*stat, Threads);
    records = set.Records.size();
    benchmark::DoNotOptimize(set.MaxCount);
  }
  state.counters["values"] = static_cast<double>(records);
}

void BM_Values(benchmark::State& state, const TStatList* list, const std::string& code) {
  TBenchData& d = Data();
  const auto stat = CreateStat(*list, code);
  const size_t total = d.Combs.size();
  size_t values = 0;
  for (auto _ : state) {
    std::vector<size_t> counts(Threads, 0);
    auto run = [&](size_t t) {
      TStatDrawArray own;
      size_t n = 0;
      for (size_t i = total * t / Threads; i < total * (t + 1) / Threads; ++i) {
        own.clear();
        stat->CalcCombination(d.Combs[i], own);
        n += own.size();
      }
      counts[t] = n;
    };
    std::vector<std::thread> pool;
    for (size_t t = 1; t < Threads; ++t) pool.emplace_back(run, t);
    run(0);
    for (auto& th : pool) th.join();
    values = 0;
    for (size_t n : counts) values += n;
    benchmark::DoNotOptimize(values);
  }
  state.counters["values"] = static_cast<double>(values);
}

void Register(const TStatList& list, const std::string& code, const std::string& suffix) {
  const int i = list.IndexOfCode(code);
  if (i < 0) return;
  for (bool mostFrequent : {true, false})
    benchmark::RegisterBenchmark(("BM_Matches/" + code + suffix + (mostFrequent ? "/typical" : "/rare")).c_str(),
                                 BM_Matches, &list, code, mostFrequent)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime()
        ->Iterations(3)
        ->Repetitions(5)
        ->ReportAggregatesOnly(true);
  if (!list.IsFullSetComputable(i)) return;
  benchmark::RegisterBenchmark(("BM_FullSet/" + code + suffix).c_str(), BM_FullSet, &list, code)
      ->Unit(benchmark::kMillisecond)
      ->UseRealTime()
      ->Iterations(2)
      ->Repetitions(5)
      ->ReportAggregatesOnly(true);
  benchmark::RegisterBenchmark(("BM_Values/" + code + suffix).c_str(), BM_Values, &list, code)
      ->Unit(benchmark::kMillisecond)
      ->UseRealTime()
      ->Iterations(2)
      ->Repetitions(5)
      ->ReportAggregatesOnly(true);
}

const bool Registered = [] {
  TBenchData& d = Data();
  for (const char* code : Codes) Register(d.List, code, "");
  for (const char* code : OneColumnCodes) Register(d.OneColumn, code, "@1");
  return true;
}();

}  // namespace
}  // namespace vexa

// The stakes grid over a long back-test's file: opening it and reading every
// record page by page with the grid's cells, as scrolling the grid end to
// end does.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>

#include "core/settings.h"
#include "stakes/stake_record.h"
#include "stakes/stakes_file.h"

namespace vexa {
namespace {

constexpr int StakeCount = 100000;

std::filesystem::path StakesFixture() {
  const auto dir = std::filesystem::temp_directory_path() / "vexa-bench";
  std::filesystem::create_directories(dir);
  const auto file = dir / "grid.lsk";
  if (std::filesystem::exists(file) &&
      std::filesystem::file_size(file) == static_cast<uintmax_t>(StakeCount) * StakeRecordSize)
    return file;
  TConfigData config;
  std::string bytes(static_cast<size_t>(StakeCount) * StakeRecordSize, '\0');
  for (int i = 0; i < StakeCount; ++i) {
    TNumList nums;
    nums.Count = MainCount;
    for (int k = 0; k < MainCount; ++k) nums.Nums[static_cast<size_t>(k)] = static_cast<uint8_t>(1 + (i + k * 7) % 45);
    std::sort(nums.Nums.begin(), nums.Nums.begin() + MainCount);
    TStakeRec s = i % 50 == 0 ? MakeSeparator()
                              : NewStake(StakeScript, 1000 + i / 50, 8145060, nums, "01.001: test @ FULL#RAND", config);
    EncodeStake(s, reinterpret_cast<unsigned char*>(bytes.data()) + static_cast<size_t>(i) * StakeRecordSize);
  }
  std::ofstream(file, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return file;
}

void BM_StakesGridReadAll(benchmark::State& state) {
  const auto file = StakesFixture();
  constexpr int page = 256;  // the grid model's page
  for (auto _ : state) {
    TStakesFile stakes(file);
    stakes.OpenStakesFile();
    const int count = stakes.Count();
    size_t cells = 0;
    for (int first = 0; first < count; first += page)
      for (const TStakeRec& s : stakes.ReadStakes(first, page)) cells += StakeGridCells(s)[8].size();
    benchmark::DoNotOptimize(cells);
  }
  state.SetItemsProcessed(state.iterations() * StakeCount);
}
BENCHMARK(BM_StakesGridReadAll)->Unit(benchmark::kMillisecond);

void BM_StakesGridOpenAndFirstPage(benchmark::State& state) {
  const auto file = StakesFixture();
  for (auto _ : state) {
    TStakesFile stakes(file);
    stakes.OpenStakesFile();
    benchmark::DoNotOptimize(stakes.Count());
    benchmark::DoNotOptimize(stakes.ReadStakes(stakes.Count() - 256, 256));
  }
}
BENCHMARK(BM_StakesGridOpenAndFirstPage)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vexa

#include "combs/combs_walk.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <thread>

#include "combs/combs_list.h"
#include "support/scripted_ui.h"

namespace vexa {
namespace {

using test::TScriptedUi;

std::vector<TComb> Shuffled(size_t n, unsigned seed) {
  std::mt19937 rng(seed);
  std::vector<TComb> v(n);
  for (auto& c : v)
    for (auto& x : c) x = static_cast<uint8_t>(rng() % 46);
  return v;
}

std::vector<TComb> Copy(std::span<const TComb> combs) { return {combs.begin(), combs.end()}; }

// The same list walked by one thread and by several, with several block
// sizes and predicates of different density, gives the same result.
TEST(CombsWalk, ParallelEqualsSequentialOnAnUnsortedList) {
  TScriptedUi ui;
  TCombsList combs(ui);
  struct TPredicate {
    const char* name;
    bool (*keep)(const TComb&);
  };
  const TPredicate predicates[] = {
      {"none", [](const TComb&) { return false; }},
      {"all", [](const TComb&) { return true; }},
      {"sparse", [](const TComb& c) { return c[0] == 7 && c[1] < 20; }},
      {"dense", [](const TComb& c) { return c[2] != 11; }},
      {"half", [](const TComb& c) { return (c[0] + c[5]) % 2 == 0; }},
  };
  for (const size_t n : {size_t{0}, size_t{1}, size_t{64}, size_t{255}, size_t{4097}, size_t{300001}}) {
    const std::vector<TComb> start = Shuffled(n, static_cast<unsigned>(n) + 1);
    combs.SetCombs(start);
    combs.SaveUndo(false);
    for (const auto& p : predicates) {
      std::vector<TComb> expected;
      std::copy_if(start.begin(), start.end(), std::back_inserter(expected), p.keep);
      for (const TWalkOptions options : {TWalkOptions{1, 64}, TWalkOptions{2, 64}, TWalkOptions{3, 128},
                                         TWalkOptions{2, 32768}, TWalkOptions{0, 1024}}) {
        combs.SetWalkOptions(options);
        combs.RebuildFromUndo(p.keep);
        ASSERT_EQ(Copy(combs.Combs()), expected)
            << n << " " << p.name << " threads " << options.Threads << " block " << options.BlockSize;
      }
    }
  }
}

TEST(CombsWalk, ThreadsOnlyForEnoughWork) {
  EXPECT_EQ(WalkThreads({2, 64}, 64 * 3), 1);
  EXPECT_EQ(WalkThreads({2, 64}, 64 * 4), 2);
  EXPECT_EQ(WalkThreads({1, 64}, 1 << 20), 1);
  EXPECT_EQ(WalkThreads({0, 64}, 1 << 20), std::clamp(static_cast<int>(std::thread::hardware_concurrency()), 1, 16));
}

TEST(CombsWalk, ProgressOnTheCallingThreadUpToTheEnd) {
  TScriptedUi ui;
  TCombsList combs(ui);
  const std::vector<TComb> start = Shuffled(64 * 100, 5);
  combs.SetCombs(start);
  combs.SaveUndo(false);
  combs.SetWalkOptions({2, 64});
  std::vector<size_t> seen;
  const auto caller = std::this_thread::get_id();
  bool elsewhere = false;
  combs.RebuildFromUndo([](const TComb& c) { return c[0] < 23; },
                        [&](size_t done, size_t total) {
                          elsewhere |= std::this_thread::get_id() != caller;
                          EXPECT_EQ(total, start.size());
                          seen.push_back(done);
                        });
  ASSERT_FALSE(seen.empty());
  EXPECT_FALSE(elsewhere);
  EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end()));
  EXPECT_EQ(seen.back(), start.size());
}

}  // namespace
}  // namespace vexa

// Draws holding a main number twice (an import may bring them: numbers are
// not checked) count every number where the method counts numbers.
#include <gtest/gtest.h>

#include <vector>

#include "stats_fixture.h"

namespace vexa {
namespace {

using test::Draw;
using test::Select;
using test::WindowValues;

TDrawsArray DrawsOf(const std::vector<TComb>& nums) {
  TDrawsArray d;
  for (const TComb& n : nums) d.push_back(Draw(static_cast<int>(d.size()) + 1, n));
  return d;
}

class RepeatedNumbers : public ::testing::Test, public test::TStatsFixture {};

TEST_F(RepeatedNumbers, EveryNumberCounts) {
  const TComb none{1, 2, 3, 4, 5, 6};
  const struct {
    const char* Code;
    std::vector<TComb> Draws;
    int32_t Newest;  // the value of the newest draw
    TComb Next;      // a combination as the draw after the newest
    int32_t NextValue;
  } cases[] = {
      // The earlier draw's 7 stands twice: both count.
      {"RPC2", {{7, 7, 8, 9, 10, 11}, {7, 7, 12, 13, 14, 15}}, 2, {7, 12, 20, 21, 22, 23}, 3},
      // Counted over the earlier draw: a 7 twice in the later one counts once.
      {"RPC2", {{7, 8, 9, 10, 11, 12}, {7, 7, 13, 14, 15, 16}}, 1, {7, 7, 13, 20, 21, 22}, 3},
      {"RPO1", {{7, 7, 8, 9, 10, 11}, {20, 20, 21, 22, 23, 24}, {7, 7, 12, 13, 14, 15}}, 2,
       {20, 21, 30, 31, 32, 33}, 3},
      {"PRC2O2", {{7, 7, 8, 9, 10, 11}, {20, 20, 21, 22, 23, 24}, none, {7, 12, 13, 14, 15, 16}}, 2,
       {20, 21, 30, 31, 32, 33}, 3},
      {"PRC2O3", {{7, 7, 8, 9, 10, 11}, {20, 20, 21, 22, 23, 24}, none, none, {7, 12, 13, 14, 15, 16}}, 2,
       {20, 21, 30, 31, 32, 33}, 3},
      // 6 6 shifted by one is 7 7.
      {"PRC+1", {{6, 6, 8, 9, 10, 11}, {7, 7, 20, 21, 22, 23}}, 2, {8, 21, 30, 31, 32, 33}, 3},
      {"PRC-1", {{8, 8, 9, 10, 11, 12}, {7, 20, 21, 22, 23, 24}}, 2, {19, 30, 31, 32, 33, 34}, 1},
      // Counted over the newest draw: its 7 twice counts twice.
      {"RPC3", {{7, 8, 9, 10, 11, 12}, {7, 8, 20, 21, 22, 23}, {7, 7, 8, 30, 31, 32}}, 3,
       {7, 8, 40, 41, 42, 43}, 2},
      {"PRB2", {{1, 2, 3, 4, 5, 6}, {7, 8, 20, 21, 22, 23}, {7, 7, 8, 30, 31, 32}}, 3, {30, 31, 1, 2, 3, 4}, 2},
      // Default segments: every number is in segment 1, always six of them.
      {"SGM1", {{7, 7, 8, 9, 10, 11}}, 6, none, 6},
      // Five columns: column 2 is 2 7 12 ..., row 2 is 6 .. 10.
      {"COL2", {{7, 7, 12, 1, 3, 4}}, 3, {2, 7, 12, 1, 3, 4}, 3},
      {"ROW2", {{7, 7, 8, 20, 30, 40}}, 3, {6, 7, 8, 20, 30, 40}, 3},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Code);
    draws = DrawsOf(c.Draws);
    const int newest = static_cast<int>(draws.size()) - 1;
    auto stat = Create(c.Code);
    const TStatDrawArray values = WindowValues(*stat, newest, newest, false);
    std::vector<int32_t> hit;
    for (const auto& v : values)
      if (v.Hits > 0) hit.push_back(Key32(v.Key));
    EXPECT_EQ(hit, std::vector<int32_t>{c.Newest});

    stat->LoadDraw(-1, newest, false);
    for (int32_t k = 0; k <= MainCount; ++k) {
      const TStatDrawArray selected = Select({k});
      EXPECT_EQ(stat->Matches(c.Next, selected, newest, false, false), k == c.NextValue) << k;
      EXPECT_EQ(stat->MatchWord(&c.Next, 1, selected, newest, false, true), k == c.NextValue ? 0u : 1u) << k;
    }
    if (stat->HasGraph()) {
      EXPECT_EQ(stat->GraphValueOfDraw(newest, newest, false), c.Newest);
    }
  }
}

}  // namespace
}  // namespace vexa

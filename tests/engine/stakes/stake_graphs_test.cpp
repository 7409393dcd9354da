#include "stakes/stake_graphs.h"

#include <gtest/gtest.h>

#include "core/error.h"
#include "support/scripted_ui.h"
#include "support/temp_dir.h"

namespace vexa {
namespace {

using test::TScriptedUi;
using test::TTempDir;

TStakeRec Stake(int draw, int64_t profit, const char* origin, int overlap = -1) {
  TConfigData c;
  TNumList nums;
  for (int i = 0; i < 6; ++i) nums.Nums[static_cast<size_t>(nums.Count++)] = static_cast<uint8_t>(i + 1);
  TStakeRec s = NewStake(StakeScript, draw, 0, nums, origin, c);
  s.Profit = profit;
  if (overlap >= 0) {
    s.Checked = 1;
    s.Matched = TNumList{};
    for (int i = 0; i < overlap; ++i) s.Matched.Nums[static_cast<size_t>(s.Matched.Count++)] = static_cast<uint8_t>(i + 1);
  }
  return s;
}

class StakeGraphsTest : public ::testing::Test {
 protected:
  TTempDir dir;
  TScriptedUi ui;
  TStakesFile file{dir / "Korvane_6x45.lsk"};

  void SetUp() override { file.OpenStakesFile(); }
  // A checked stake is appended unchecked and then rewritten, as a check does.
  void Add(const TStakeRec& s) {
    TStakeRec unchecked = s;
    unchecked.Checked = 0;
    file.AppendStake(unchecked, 1, false, ui);
    if (s.Checked != 0) file.WriteStake(file.Count() - 1, s);
  }
};

TEST_F(StakeGraphsTest, ProfitPerDrawWithMeanAndRunningTotal) {
  EXPECT_THROW(StakesGraphDraws(file), EVexaError) << "no record for a draw";
  Add(Stake(10, -20000, "a"));
  Add(Stake(10, 50000, "b"));
  file.AppendRunSeparator();
  Add(Stake(12, -10000, "a"));
  const auto series = StakesGraphDraws(file);
  ASSERT_EQ(series.size(), 3u);
  EXPECT_EQ(series[0].Title, DrawProfitSeriesTitle);
  EXPECT_EQ(series[0].Color, 0x008000);
  EXPECT_TRUE(series[0].Labels);
  ASSERT_EQ(series[0].Points.size(), 2u);
  EXPECT_DOUBLE_EQ(series[0].Points[0].X, 10);
  EXPECT_DOUBLE_EQ(series[0].Points[0].Y, 3.0);
  EXPECT_DOUBLE_EQ(series[0].Points[1].Y, -1.0);
  EXPECT_DOUBLE_EQ(series[1].Points[0].Y, 1.0);
  EXPECT_DOUBLE_EQ(series[1].Points[1].Y, 1.0);
  EXPECT_FALSE(series[1].Markers);
  EXPECT_DOUBLE_EQ(series[2].Points[0].Y, 3.0);
  EXPECT_DOUBLE_EQ(series[2].Points[1].Y, 2.0);
}

TEST_F(StakeGraphsTest, ByOriginTakesTheNamedCheckedStakes) {
  EXPECT_THROW(StakesGraphByOrigin(file, {"a"}, false), EVexaError);
  Add(Stake(1, -10000, "A", 2));
  Add(Stake(1, -10000, "b", 3));
  Add(Stake(2, 40000, "a", 3));
  Add(Stake(3, -10000, "a"));  // unchecked: left out
  EXPECT_THROW(StakesGraphByOrigin(file, {}, false), EVexaError) << "no names";
  const auto overlap = StakesGraphByOrigin(file, {"a"}, false);
  ASSERT_EQ(overlap.size(), 1u) << "one series for \"A\" and \"a\"";
  ASSERT_EQ(overlap[0].Points.size(), 2u);
  EXPECT_DOUBLE_EQ(overlap[0].Points[0].X, 1);
  EXPECT_DOUBLE_EQ(overlap[0].Points[0].Y, 2);
  EXPECT_DOUBLE_EQ(overlap[0].Points[1].Y, 3);
  const auto profit = StakesGraphByOrigin(file, {"a", "B"}, true);
  ASSERT_EQ(profit.size(), 2u);
  EXPECT_EQ(profit[1].Title, "b");
  EXPECT_DOUBLE_EQ(profit[0].Points[1].Y, 4.0);
}

TEST_F(StakeGraphsTest, ByOriginKeepsTheLastHundredDraws) {
  for (int d = 1; d <= 120; ++d) Add(Stake(d, 0, "a", 1));
  const auto series = StakesGraphByOrigin(file, {"a"}, false);
  ASSERT_EQ(series.size(), 1u);
  ASSERT_EQ(series[0].Points.size(), 100u);
  EXPECT_DOUBLE_EQ(series[0].Points.front().X, 21);
}

}  // namespace
}  // namespace vexa

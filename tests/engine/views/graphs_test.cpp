// The chart views: the graphs tab's series, the repeats analysis and the
// sums distribution.
#include <gtest/gtest.h>

#include "core/format.h"
#include "stats/stat_list.h"
#include "stats/sum_stats.h"
#include "views/graphs.h"

namespace vexa {
namespace {

TDraw Draw(int number, TComb nums) {
  TDraw d;
  d.Number = number;
  d.Nums = nums;
  return d;
}

std::vector<std::pair<int32_t, double>> Points(const TViewSeries& s) {
  std::vector<std::pair<int32_t, double>> p;
  for (const TViewPoint& point : s.Points) p.emplace_back(point.X, point.Y);
  return p;
}

// Sums 21, 37, 37, 21, 59.
const TDrawsArray GraphDraws = {
    Draw(11, {1, 2, 3, 4, 5, 6}),  Draw(12, {1, 2, 7, 8, 9, 10}), Draw(13, {10, 9, 8, 7, 2, 1}),
    Draw(14, {6, 5, 4, 3, 2, 1}),  Draw(15, {1, 7, 8, 20, 21, 2}),
};

TEST(DrawsGraph, ValuesMeanAndMostFrequent) {
  TStatList list(GraphDraws);
  const auto stat = TstSumValuesClass.Create(list, 0);
  const struct {
    int Offset, Length;
    std::vector<std::pair<int32_t, double>> Values;
    double Mean;
    int32_t MostFrequent;
    const char* Why;
  } cases[] = {
      {1, 100, {{11, 21}, {12, 37}, {13, 37}, {14, 21}}, 29, 21, "equally frequent: the oldest value wins"},
      {0, 3, {{13, 37}, {14, 21}, {15, 59}}, 39, 37, "no repeat: the first value"},
      {4, 100, {{11, 21}}, 21, 21, "one draw analysed"},
  };
  for (const auto& c : cases) {
    const TDrawsGraph g = BuildDrawsGraph(*stat, "Сумма", GraphDraws, c.Offset, c.Length, false, true);
    ASSERT_EQ(g.Series.size(), 3u) << c.Why;
    EXPECT_EQ(Points(g.Series[0]), c.Values) << c.Why;
    EXPECT_DOUBLE_EQ(g.Mean, c.Mean) << c.Why;
    EXPECT_EQ(g.MostFrequent, c.MostFrequent) << c.Why;
    for (const TViewPoint& p : g.Series[1].Points) EXPECT_DOUBLE_EQ(p.Y, c.Mean);
    for (const TViewPoint& p : g.Series[2].Points) EXPECT_EQ(p.Y, c.MostFrequent);
    EXPECT_EQ(g.Series[1].Points.size(), c.Values.size());
  }
}

TEST(DrawsGraph, SeriesStyles) {
  TStatList list(GraphDraws);
  const auto stat = TstSumValuesClass.Create(list, 0);
  const TDrawsGraph g = BuildDrawsGraph(*stat, "Сумма", GraphDraws, 0, 100, false, false);
  const TViewSeries& v = g.Series[0];
  EXPECT_EQ(v.Title, "Сумма");
  EXPECT_EQ(v.Color, (TRgb{0, 128, 0}));
  EXPECT_TRUE(v.Markers);
  EXPECT_EQ(v.MarkerSize, 2);
  EXPECT_EQ(v.MarkerColor, (TRgb{255, 0, 255}));
  EXPECT_FALSE(v.Marks) << "the check box is off";
  EXPECT_EQ(v.Points[0].Label, "11");
  EXPECT_EQ(g.Series[1].Title, "Среднее значение");
  EXPECT_EQ(g.Series[1].Color, (TRgb{0, 0, 255}));
  EXPECT_FALSE(g.Series[1].Markers);
  EXPECT_EQ(g.Series[1].Points[0].Label, "");
  EXPECT_EQ(g.Series[2].Title, "Наиболее часто встречающееся значение");
  EXPECT_EQ(g.Series[2].Color, (TRgb{255, 0, 0}));
  EXPECT_TRUE(BuildDrawsGraph(*stat, "Сумма", {}, 0, 100, false, true).Series.empty());
}

const TDrawsArray RepeatDraws = {
    Draw(1, {1, 2, 3, 4, 5, 6}),
    Draw(2, {1, 2, 7, 8, 9, 10}),
    Draw(3, {1, 2, 3, 11, 12, 13}),
    Draw(4, {1, 7, 8, 20, 21, 22}),
};

TEST(Repeats, RowsPerDrawInOrderOfFirstMeeting) {
  TSilentUserInterface ui;
  std::mt19937 random(1);
  const struct {
    int Length, Deep;
    std::vector<TRepeatsRow> Rows;
    int Max;
  } cases[] = {
      {100, 100, {{4, 1, 2, "3 1"}, {4, 3, 1, "2"}, {3, 2, 1, "2"}, {3, 3, 1, "1"}, {2, 2, 1, "1"}}, 3},
      {100, 1, {{4, 1, 1, "3"}, {3, 2, 1, "2"}, {2, 2, 1, "1"}}, 2},  // the oldest draw gets no row
      {2, 100, {{4, 1, 2, "3 1"}, {4, 3, 1, "2"}, {3, 2, 1, "2"}, {3, 3, 1, "1"}}, 3},
      {1, 2, {{4, 1, 1, "3"}, {4, 3, 1, "2"}}, 3},
  };
  for (const auto& c : cases) {
    const TRepeatsAnalysis r = AnalyzeRepeats(RepeatDraws, c.Length, c.Deep, random, ui);
    EXPECT_EQ(r.Rows, c.Rows) << c.Length << "/" << c.Deep;
    EXPECT_EQ(r.MaxMatches, c.Max);
    EXPECT_EQ(static_cast<int>(r.Series.size()), c.Max);
  }
}

TEST(Repeats, OneSeriesPerCountOldestDrawFirst) {
  TSilentUserInterface ui;
  std::mt19937 a(5), b(5);
  const TRepeatsAnalysis r = AnalyzeRepeats(RepeatDraws, 100, 100, a, ui);
  ASSERT_EQ(r.Series.size(), 3u);
  EXPECT_EQ(r.Series[0].Title, "Совпадений: 1");
  EXPECT_EQ(r.Series[2].Title, "Совпадений: 3");
  EXPECT_EQ(Points(r.Series[0]), (std::vector<std::pair<int32_t, double>>{{4, 2}}));
  EXPECT_EQ(Points(r.Series[1]), (std::vector<std::pair<int32_t, double>>{{2, 1}, {3, 1}}));
  EXPECT_EQ(Points(r.Series[2]), (std::vector<std::pair<int32_t, double>>{{3, 1}, {4, 1}}));
  EXPECT_TRUE(r.Series[0].Markers);
  EXPECT_FALSE(r.Series[0].Marks);
  const TRepeatsAnalysis again = AnalyzeRepeats(RepeatDraws, 100, 100, b, ui);
  EXPECT_EQ(again.Series[1].Color, r.Series[1].Color) << "the same seed, the same colours";
  EXPECT_TRUE(AnalyzeRepeats({}, 100, 100, a, ui).Rows.empty());
}

// Combinations per sum by counting, independent of the enumeration.
std::array<int64_t, 256> SumCounts() {
  // ways[k][s]: k distinct numbers out of those seen so far with sum s.
  std::array<std::array<int64_t, 256>, MainCount + 1> ways{};
  ways[0][0] = 1;
  for (int n = 1; n <= MaxNumber; ++n)
    for (int k = MainCount; k >= 1; --k)
      for (int s = 255; s >= n; --s) ways[static_cast<size_t>(k)][static_cast<size_t>(s)] += ways[k - 1][s - n];
  return ways[MainCount];
}

TEST(Sums, TheoreticalTableAndLevels) {
  const TSumsDistribution d = TotalSumCombs(GraphDraws);
  const std::array<int64_t, 256> expected = SumCounts();
  ASSERT_EQ(d.Theoretical.size(), 235u);
  EXPECT_EQ(d.Theoretical.front().Key, 21);
  EXPECT_EQ(d.Theoretical.back().Key, 255);
  int64_t total = 0;
  for (const TStatSimple& p : d.Theoretical) {
    EXPECT_EQ(p.Count, expected[static_cast<size_t>(p.Key)]) << p.Key;
    total += p.Count;
  }
  EXPECT_EQ(total, AllCombsCount);
  EXPECT_EQ(d.MinT, 1);
  EXPECT_EQ(d.MaxT, expected[138]);
  EXPECT_EQ(d.MaxT, 105690);
  EXPECT_EQ(d.MaxA, 2);

  const double span = d.MaxT - d.MinT + 1.0;
  const std::array<int32_t, 3> levels{static_cast<int32_t>(d.MinT + span / 3), static_cast<int32_t>(d.MinT + span / 2),
                                      static_cast<int32_t>(d.MinT + 2 * span / 3)};
  for (size_t f = 0; f < 3; ++f) {
    const TSumLevel& l = d.Levels[f];
    EXPECT_EQ(l.Level, levels[f]);
    // The distribution is symmetric about 138; the range is where it reaches the level.
    EXPECT_EQ(l.Low + l.High, 276) << f;
    EXPECT_GE(expected[static_cast<size_t>(l.Low)], l.Level);
    EXPECT_LT(expected[static_cast<size_t>(l.Low - 1)], l.Level);
  }
  const struct {
    int32_t Level, Low, High;
  } figures[] = {{35231, 93, 183}, {52846, 102, 174}, {70461, 110, 166}};
  for (size_t f = 0; f < 3; ++f) {
    EXPECT_EQ(d.Levels[f].Level, figures[f].Level);
    EXPECT_EQ(d.Levels[f].Low, figures[f].Low);
    EXPECT_EQ(d.Levels[f].High, figures[f].High);
  }
}

TEST(Sums, SeriesOfTheGraphWindow) {
  const TSumsDistribution d = TotalSumCombs(GraphDraws);
  const std::vector<TViewSeries>& s = d.Graph.Series();
  ASSERT_EQ(s.size(), 5u);
  EXPECT_EQ(s[0].Title, "Фактическое распределение сумм (по тиражам)");
  EXPECT_EQ(Points(s[0]), (std::vector<std::pair<int32_t, double>>{{21, 2}, {37, 2}, {59, 1}}))
      << "sums that never came are absent";
  EXPECT_TRUE(s[0].Markers);
  EXPECT_TRUE(s[0].Marks);
  EXPECT_EQ(s[0].Color, (TRgb{255, 0, 0}));
  EXPECT_EQ(s[1].Title, "Теоретическое распределение сумм (по комбинациям)");
  EXPECT_EQ(s[1].Points.size(), 235u);
  EXPECT_FALSE(s[1].Markers);
  double peak = 0;
  for (const TViewPoint& p : s[1].Points) peak = std::max(peak, p.Y);
  EXPECT_EQ(peak, d.MaxA) << "the theoretical peak meets the actual highest count";
  EXPECT_EQ(s[2].Title, Format("Диапазон 1 (от 1/3 и выше по оси Y) - суммы %d-%d", {d.Levels[0].Low, d.Levels[0].High}));
  EXPECT_EQ(s[3].Color, (TRgb{0, 0, 255}));
  EXPECT_EQ(s[4].Color, (TRgb{255, 0, 255}));
  EXPECT_EQ(s[2].Points.size(), 235u);
  EXPECT_DOUBLE_EQ(s[2].Points[0].Y, static_cast<double>(d.Levels[0].Level) / d.MaxT * d.MaxA);

  const TSumsDistribution other = TotalSumCombs({Draw(1, {40, 41, 42, 43, 44, 45})});
  for (size_t i = 2; i < 5; ++i) EXPECT_EQ(other.Graph.Series()[i].Title, s[i].Title) << "ranges depend on T only";
  const TSumsDistribution empty = TotalSumCombs({});
  EXPECT_EQ(empty.MaxA, 0);
  EXPECT_EQ(empty.Graph.Series().size(), 4u) << "no actual series without draws";
}

TEST(GraphWindow, SeriesFoundByTitleWithoutCase) {
  TGraphWindow w;
  w.AddGraphPoint(1, "Series A", 2.5, true, false, {});
  w.AddGraphPoint(2, "series a", 3, false, true, {1, 2, 3});
  w.AddGraphPoint(3, "Other", 1, false, false, {9, 9, 9});
  ASSERT_EQ(w.Series().size(), 2u);
  const TViewSeries& a = w.Series()[0];
  EXPECT_EQ(a.Points.size(), 2u);
  EXPECT_EQ(a.Points[1].Label, "2");
  EXPECT_FALSE(a.HasColor) << "black leaves the chart's colour";
  EXPECT_TRUE(a.Markers);
  EXPECT_EQ(a.MarkerSize, 3);
  EXPECT_FALSE(a.Marks) << "set when the series was created";
  EXPECT_EQ(w.Series()[1].Color, (TRgb{9, 9, 9}));
}

}  // namespace
}  // namespace vexa

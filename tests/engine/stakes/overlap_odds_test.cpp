#include "stakes/overlap_odds.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "core/format.h"

namespace vexa {
namespace {

// Combinations sharing exactly k numbers with a draw: C(6,k)·C(39,6-k).
constexpr long double C[7] = {3262623, 3454542, 1233765, 182780, 11115, 234, 1};
constexpr long double All = 8145060;

void ExpectRelative(long double got, long double want, long double tolerance = 1e-12L) {
  EXPECT_LE(std::fabs(got - want), tolerance * want) << static_cast<double>(got) << " vs " << static_cast<double>(want);
}

TEST(OverlapOdds, HandComputedCases) {
  // One stake matching at least 3: (182780 + 11115 + 234 + 1) / 8145060.
  ExpectRelative(OverlapPValue(1, 3), 194130 / All);
  // One stake matching at least 1: all but the 3262623 that match nothing.
  ExpectRelative(OverlapPValue(1, 1), (All - C[0]) / All);
  // Two stakes with 5 matches or more in all: pairs (i, j) with i + j >= 5,
  // counted with T(x) = combinations matching at least x.
  const long double t[] = {8145060, 4882437, 1427895, 194130, 11350, 235};
  const long double pairs =
      C[0] * t[5] + C[1] * t[4] + C[2] * t[3] + C[3] * t[2] + C[4] * t[1] + C[5] * t[0] + C[6] * t[0];
  ExpectRelative(OverlapPValue(2, 5), pairs / (All * All));
  // Three stakes, all six matched each time.
  ExpectRelative(OverlapPValue(3, 18), 1 / (All * All * All));
}

TEST(OverlapOdds, Bounds) {
  EXPECT_TRUE(std::isnan(OverlapPValue(0, 0)));
  EXPECT_EQ(OverlapPValue(5, 0), 1);
  EXPECT_EQ(OverlapPValue(5, 31), 0) << "more than six a stake cannot happen";
  // Nothing matched in 100 stakes: the lower tail, P(S >= 1) = 1 - P(0)^100.
  ExpectRelative(OverlapPValue(100, 1), 1 - std::pow(C[0] / All, 100.0L));
}

// The distribution of the sum by plain convolution, term by term.
std::vector<long double> Convolved(int n) {
  std::vector<long double> d{1};
  for (int s = 0; s < n; ++s) {
    std::vector<long double> next(d.size() + 6, 0);
    for (size_t i = 0; i < d.size(); ++i)
      for (int k = 0; k <= 6; ++k) next[i + static_cast<size_t>(k)] += d[i] * C[k] / All;
    d = next;
  }
  return d;
}

TEST(OverlapOdds, AgreesWithPlainConvolutionFarIntoBothTails) {
  for (int n : {7, 60, 250}) {
    const std::vector<long double> d = Convolved(n);
    long double tail = 0;
    for (int s = 6 * n; s >= 1; --s) {
      tail += d[static_cast<size_t>(s)];
      // Far tails lose nothing: even at 1e-1700 the digits agree.
      ExpectRelative(OverlapPValue(n, s), tail, 1e-9L);
    }
  }
}

TEST(OverlapOdds, LargeRatingsStayQuickAndSensible) {
  // 200000 stakes at exactly chance (mean 0.8): about one half.
  const long double p = OverlapPValue(200000, 160000);
  EXPECT_GT(p, 0.49L);
  EXPECT_LT(p, 0.51L);
  // A mean of 0.9 over 200000 stakes is far beyond luck.
  EXPECT_LT(OverlapPValue(200000, 180000), 1e-300L);
  EXPECT_GT(OverlapPValue(200000, 180000), 0);
}

TEST(OverlapOdds, TooManyChecksAreNotComputed) {
  // At the limit itself the value is computed (a sure case, so quickly).
  EXPECT_EQ(OverlapPValue(OverlapPValueMaxChecks, 0), 1);
  EXPECT_TRUE(std::isnan(OverlapPValue(OverlapPValueMaxChecks + 1, 1)));
  EXPECT_TRUE(std::isnan(OverlapPValue(INT32_MAX, INT32_MAX)));
}

TEST(OverlapOdds, Text) {
  SetFormatSettings({",", " "});
  EXPECT_EQ(PValueText(std::numeric_limits<long double>::quiet_NaN()), "");
  EXPECT_EQ(PValueText(1), "1");
  EXPECT_EQ(PValueText(0), "0");
  EXPECT_EQ(PValueText(0.5L), "0,5000");
  EXPECT_EQ(PValueText(0.0123L), "0,0123");
  EXPECT_EQ(PValueText(0.000123456L), "1,23e-4");
  EXPECT_EQ(PValueText(9.999e-8L), "1,00e-7");
  EXPECT_EQ(PValueText(2.5e-1000L), "2,50e-1000");
  SetFormatSettings({".", ","});
}

}  // namespace
}  // namespace vexa

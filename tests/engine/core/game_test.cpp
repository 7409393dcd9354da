#include "core/game.h"

#include <gtest/gtest.h>

#include <limits>
#include <numeric>

#include "core/error.h"

namespace vexa {
namespace {

TDraw MakeDraw(int number, TComb nums, std::array<uint8_t, 2> supp = {0, 0}) {
  TDraw d;
  d.Number = number;
  d.Nums = nums;
  d.Supp = supp;
  return d;
}

TEST(Counting, Binomials) {
  struct Case {
    int n, k;
    int64_t expected;
  } cases[] = {{45, 6, 8145060}, {6, 6, 1}, {5, 6, 1}, {39, 6, 3262623}, {45, 0, 1}, {45, 1, 45}, {10, 3, 120}};
  for (const auto& c : cases) EXPECT_EQ(Binomial(c.n, c.k), c.expected) << c.n << " " << c.k;
  EXPECT_EQ(Binomial(45, 6), AllCombsCount);
  // A count from a damaged record: quick, and past int64 it saturates.
  EXPECT_EQ(Binomial(8, 6), 28);
  EXPECT_EQ(Binomial(1000, 6), 1368173298991500);
  EXPECT_EQ(Binomial(INT32_MAX, 6), INT64_MAX);
  EXPECT_EQ(Binomial(INT32_MAX, INT32_MAX - 1), INT32_MAX);
}

TEST(Counting, ShiftsOfAnyStepDoNotWrapInt) {
  EXPECT_EQ(ShiftNumber(45, 44), 44);
  EXPECT_EQ(ShiftNumber(1, -2), 44);
  // A step from a damaged record computes in 64 bits, no overflow.
  EXPECT_EQ(ShiftNumber(45, INT32_MAX), INT32_MAX);
  EXPECT_EQ(ShiftNumber(1, INT32_MIN), INT32_MIN + 46);
}

TEST(Counting, CountWithMatchesCoversAllCombinations) {
  const int64_t expected[] = {3262623, 3454542, 1233765, 182780, 11115, 234, 1};
  int64_t sum = 0;
  for (int k = 0; k <= 6; ++k) {
    EXPECT_EQ(CountWithMatches(k), expected[k]) << k;
    sum += CountWithMatches(k);
  }
  EXPECT_EQ(sum, AllCombsCount);
  EXPECT_EQ(CountWithMatches(7), 0);
}

TEST(Counting, GroupsMatrixAndShifts) {
  EXPECT_EQ(GroupOf(10, 5), 2);
  EXPECT_EQ(GroupOf(11, 5), 3);
  EXPECT_EQ(GroupOf(1, 5), 1);
  EXPECT_EQ(GroupCount(1, 45, 5), 9);
  EXPECT_EQ(GroupCount(0, 45, 10), 5);
  EXPECT_EQ(GroupCount(3, 10, 3), 3);
  EXPECT_EQ(MatrixCol(7, 5), 2);
  EXPECT_EQ(MatrixRow(7, 5), 2);
  EXPECT_EQ(MatrixCol(45, 5), 5);
  EXPECT_EQ(MatrixRow(45, 5), 9);
  for (int n = 1; n <= MaxNumber; ++n)
    EXPECT_EQ(MatrixNumber(1, MatrixRow(n, 7) - 1, 7, MatrixCol(n, 7) - 1), n);

  EXPECT_EQ(ShiftNumber(44, 3), 2);
  EXPECT_EQ(ShiftNumber(2, -3), 44);
  EXPECT_EQ(ShiftNumber(45, 0), 45);
  EXPECT_EQ(ShiftNumber(1, -1), 45);
  EXPECT_EQ(ShiftNumber(45, 1), 1);
  EXPECT_EQ(ShiftComb(TComb{1, 2, 43, 44, 45, 10}, 2), (TComb{3, 4, 45, 1, 2, 12}));
}

TEST(Sets, MembershipAndIntersections) {
  const TDraw draw = MakeDraw(1, {30, 3, 17, 22, 41, 8}, {12, 40});
  EXPECT_TRUE(NumInDraw(17, draw));
  EXPECT_FALSE(NumInDraw(12, draw));  // supplementary numbers are not main numbers
  EXPECT_TRUE(GroupInDraw(9, draw, 5));
  EXPECT_FALSE(GroupInDraw(3, draw, 5));
  std::array<uint8_t, MaxNumber> map{};
  map[16] = 7;  // number 17
  EXPECT_TRUE(MapInDraw(7, draw, map));
  EXPECT_FALSE(MapInDraw(6, draw, map));

  EXPECT_EQ(CommonCount(draw, TComb{3, 8, 9, 10, 11, 30}), 3);
  EXPECT_EQ(CommonCount(draw, TComb{3, 3, 9, 10, 11, 12}), 2);  // repeats count each time

  TNumList stake;
  stake.Count = 7;
  stake.Nums = {41, 1, 2, 8, 30, 4, 5, 0};
  const TNumList hit = IntersectList(draw, stake);
  EXPECT_EQ(NumListToText(hit, ","), "8,30,41");

  TNumList a = CombToNumList(TComb{1, 2, 3, 4, 5, 6});
  TNumList b = CombToNumList(TComb{6, 5, 4, 3, 2, 1});
  EXPECT_TRUE(SameNumList(a, b));
  b.Nums[0] = 7;
  EXPECT_FALSE(SameNumList(a, b));
  b.Count = 5;
  EXPECT_FALSE(SameNumList(a, b));

  TByteArray bytes;
  AddUniqueNum(5, bytes);
  AddUniqueNum(5, bytes);
  AddNum(5, bytes);
  EXPECT_EQ(bytes, (TByteArray{5, 5}));
}

TEST(Sets, DistinctNumsKeepsFirstAppearanceAndStopsAt45) {
  TCombsArray combs = {{5, 1, 2, 3, 4, 6}, {6, 7, 1, 8, 9, 10}, {11, 12, 13, 14, 15, 16}};
  EXPECT_EQ(DistinctNums(combs, 2), (TByteArray{5, 1, 2, 3, 4, 6, 7, 8, 9, 10}));
  EXPECT_EQ(CountDistinctNums(combs, 1), 6);
  TCombsArray many;
  for (int i = 0; i < 20; ++i) many.push_back(TComb{1, 2, 3, 4, 5, 6});
  for (int i = 0; i < 10; ++i) {
    TComb c;
    for (int k = 0; k < 6; ++k) c[static_cast<size_t>(k)] = static_cast<uint8_t>((i * 6 + k) % 45 + 1);
    many.push_back(c);
  }
  EXPECT_EQ(CountDistinctNums(many, 30), 45);
}

TEST(Sorting, StableAscendingAndDescending) {
  TComb c{45, 1, 30, 2, 17, 3};
  SortComb(c);
  EXPECT_EQ(c, (TComb{1, 2, 3, 17, 30, 45}));

  TDraw d = MakeDraw(7, {9, 8, 7, 6, 5, 4}, {44, 1});
  SortDrawNums(d);
  EXPECT_EQ(d.Nums, (TComb{4, 5, 6, 7, 8, 9}));
  EXPECT_EQ(d.Supp, (std::array<uint8_t, 2>{44, 1}));

  TNumList l;
  l.Count = 3;
  l.Nums = {9, 3, 5, 1, 0, 0, 0, 0};
  SortNumList(l);
  EXPECT_EQ(l.Nums, (std::array<uint8_t, 8>{3, 5, 9, 1, 0, 0, 0, 0}));  // only Count numbers move

  TIntArray ints{3, -1, 10, 3};
  SortIntArrayDesc(ints);
  EXPECT_EQ(ints, (TIntArray{10, 3, 3, -1}));
}

TEST(Text, CombinationForms) {
  const TComb c{1, 5, 12, 23, 34, 45};
  EXPECT_EQ(CombToText(c), "01 05 12 23 34 45");
  EXPECT_EQ(CombToListText(c), "1;5;12;23;34;45");
  EXPECT_EQ(IntsToText({}, ";"), "");
  EXPECT_EQ(IntsToText({-3, 4}, ", "), "-3, 4");
}

TEST(Text, TextToCombAcceptsAnyDelimiterRun) {
  struct Case {
    const char* text;
    TComb expected;
  } cases[] = {
      {"1, 2, 3, 4, 5, 6", {1, 2, 3, 4, 5, 6}},
      {"1 2 3 4 5 6", {1, 2, 3, 4, 5, 6}},
      {"01-02-03-04-05-06", {1, 2, 3, 4, 5, 6}},
      {";;6|5:4.3\t2 1;", {6, 5, 4, 3, 2, 1}},
      {"1 2 3 4 5 x", {1, 2, 3, 4, 5, 0}},
      {"1 2 3 4 5 300", {1, 2, 3, 4, 5, 0}},
  };
  for (const auto& c : cases) EXPECT_EQ(TextToComb(c.text), c.expected) << c.text;
}

TEST(Text, TextToCombRejectsWrongWordCount) {
  for (const char* text : {"1;2;3;4;5", "1 2 3 4 5 6 7", ""}) {
    try {
      TextToComb(text);
      FAIL() << text;
    } catch (const EVexaError& e) {
      EXPECT_EQ(std::string(e.what()), std::string("Некорректная комбинация: \"") + text + "\"!");
    }
  }
}

TEST(Text, DrawToText) {
  TDraw d = MakeDraw(1234, {3, 17, 22, 30, 41, 8}, {12, 40});
  SetDrawDateText(d, "5 Mar 2025");
  EXPECT_EQ(DrawToText(d), "Тираж № 1234 от 5 Mar 2025, значения: 3;17;22;30;41;8 e:12;40");
}

TEST(Text, DiffTextAndStakeKinds) {
  EXPECT_EQ(DiffText("12", 10), "+2");
  EXPECT_EQ(DiffText("10", 10), "0");
  EXPECT_EQ(DiffText("3", 10), "-7");
  EXPECT_EQ(DiffText("-3", 10), "-");
  EXPECT_EQ(DiffText("abc", 10), "-");
  EXPECT_EQ(DiffText("", 10), "-");
  const char* names[] = {"", "Вручную", "Регуляр", "Сценарий", "Система", ""};
  for (int k = 0; k <= 5; ++k) EXPECT_EQ(StakeKindName(k), names[k]);
}

TEST(Text, ParseValueList) {
  struct Case {
    const char* text;
    TIntArray expected;
  } cases[] = {
      {"1-10;2", {1, 3, 5, 7, 9}},
      {"1-10,3", {1, 4, 7, 10}},
      {"5", {5}},
      {"3, 4 ,7", {3, 4, 7}},
      {"3;4;7", {3, 4, 7}},
      {"-5", {-5}},
      {"-5-5;5", {-5, 0, 5}},
      {"10-1;-3", {10, 7, 4, 1}},
      {"1-10", {}},
      {"", {}},
      {"a,b", {}},
      {"1-10;0", {}},  // a zero step would never end
      {"10-1;2", {}},
      {"1,,2", {}},
  };
  for (const auto& c : cases) EXPECT_EQ(ParseValueList(c.text), c.expected) << c.text;
}

TEST(Text, StrToInt) {
  int32_t v = 0;
  EXPECT_TRUE(TryStrToInt(" 42 ", v));
  EXPECT_EQ(v, 42);
  EXPECT_TRUE(TryStrToInt("-2147483648", v));
  EXPECT_EQ(v, INT32_MIN);
  EXPECT_FALSE(TryStrToInt("2147483648", v));
  EXPECT_FALSE(TryStrToInt("4x", v));
  EXPECT_FALSE(TryStrToInt("-", v));
  EXPECT_EQ(StrToIntDef("", 7), 7);
}

TEST(Scores, NumColor) {
  EXPECT_EQ(NumColor(0, 10), 255u);
  EXPECT_EQ(NumColor(46, 10), 255u);
  EXPECT_EQ(NumColor(12, 10), 0xAAFFFFu);
  EXPECT_EQ(NumColor(1, 5), 0xAAFFAAu);
  EXPECT_EQ(NumColor(45, 5), 0xFFD5AAu);  // group 9
  EXPECT_EQ(NumColor(19, 1), 0xFFEAD5u);
  EXPECT_EQ(NumColor(20, 1), 0xAAFFAAu);  // group 20 is taken as group 1
  EXPECT_EQ(NumColor(38, 1), 0xFFEAD5u);  // a hand-edited size 1 wraps round the palette
  EXPECT_EQ(NumColor(39, 1), 0xAAFFAAu);
}

TEST(Scores, CdlScore) {
  TCdl plain;  // 0, -1, 1
  EXPECT_DOUBLE_EQ(CdlScore(plain, true, 10, 100, 4, 3, 50), 0 * 10 - 1 * 6 + 1 * 3);
  EXPECT_DOUBLE_EQ(CdlScore(plain, false, 10, 100, 4, 3, 50), 3);

  TCdl pct;
  pct.Count = 1;
  pct.Deviation = 1;
  pct.Level = 1;
  pct.UsePercents = true;
  EXPECT_DOUBLE_EQ(CdlScore(pct, true, 10, 200, 4, 5, 50), 5.0 + 150.0 + 10.0);
  EXPECT_DOUBLE_EQ(CdlScore(pct, true, 10, 0, 0, 5, 0), 0.0);  // zero divisors give zero terms

  TCdl abs = pct;
  abs.UseAbsValues = true;
  EXPECT_DOUBLE_EQ(CdlScore(abs, true, 2, 100, 4, 0, 10), 2.0 + 50.0);

  TCdl huge;
  huge.Count = std::numeric_limits<long double>::max();
  huge.Deviation = 0;
  huge.Level = -std::numeric_limits<long double>::max();
  EXPECT_DOUBLE_EQ(CdlScore(huge, false, 2, 1, 0, 2, 1), -999.99);  // inf - inf
  huge.Level = 0;
  EXPECT_DOUBLE_EQ(CdlScore(huge, false, 1, 1, 0, 0, 1), -999.99);  // beyond a double
}

}  // namespace
}  // namespace vexa

#include "stats/stat_rows.h"

#include "stats/stat_info.h"

#include <gtest/gtest.h>

#include "acquire/demo_draws.h"
#include "core/format.h"
#include "stats_fixture.h"
#include "support/scripted_ui.h"
#include "support/temp_dir.h"

namespace vexa {
namespace {

using test::Draw;
using test::TScriptedUi;
using test::TTempDir;

TStatDraw Value(int32_t v) {
  TStatDraw d;
  SetKey32(d.Key, v);
  return d;
}

const TStatRow* RowOf(const TStatRows& rows, int32_t v) {
  for (const auto& r : rows.Rows)
    if (Key32(r.Rec.Key) == v && r.Rec.Key[2] == 0 && r.Rec.Key[3] == 0) return &r;
  return nullptr;
}

// ---- FindNextOccurrence ------------------------------------------------------

class StatNextOccurrence : public ::testing::Test, public test::TStatsFixture {
 protected:
  void SetUp() override {
    draws = {Draw(100, {1, 2, 3, 4, 5, 6}), Draw(101, {7, 8, 9, 10, 11, 12}), Draw(102, {1, 13, 14, 15, 16, 17}),
             Draw(103, {7, 18, 19, 20, 21, 22}), Draw(104, {1, 23, 24, 25, 26, 27})};
  }
};

TEST_F(StatNextOccurrence, FindsTheFirstLaterDrawByNumber) {
  auto nums = Create("NUMS");
  struct {
    int value, from, expected;
  } cases[] = {
      {1, 0, 100},   // the starting draw itself counts
      {1, 1, 102},   // skips draws without the value
      {1, 3, 104},   // the newest draw
      {7, 2, 103},   //
      {7, 4, -1},    // never again after its last occurrence
      {45, 0, -1},   // never at all
      {1, 5, -1},    // from just past the newest draw
      {1, 99, -1},   // from far beyond it
  };
  for (const auto& c : cases)
    EXPECT_EQ(nums->FindNextOccurrence(Value(c.value), c.from, 1, false), c.expected)
        << "value " << c.value << " from " << c.from;
}

TEST_F(StatNextOccurrence, FollowsTheSortedOption) {
  draws = {Draw(1, {9, 1, 2, 3, 4, 5}), Draw(2, {1, 9, 2, 3, 4, 5})};
  auto pos1 = Create("POS1");
  EXPECT_EQ(pos1->FindNextOccurrence(Value(1), 0, 0, false), 2);
  EXPECT_EQ(pos1->FindNextOccurrence(Value(1), 0, 0, true), 1);
  EXPECT_EQ(pos1->FindNextOccurrence(Value(9), 1, 0, true), -1);
}

TEST_F(StatNextOccurrence, EmptyArchiveHasNone) {
  draws.clear();
  auto nums = Create("NUMS");
  EXPECT_EQ(nums->FindNextOccurrence(Value(1), 0, -1, false), -1);
}

// ---- Nearest -----------------------------------------------------------------

TEST(StatNearest, HalvesGoToTheEvenNeighbour) {
  struct {
    int64_t num, den, expected;
  } cases[] = {
      {5, 2, 2},     {7, 2, 4},     {1, 2, 0},   {3, 2, 2},   {-5, 2, -2}, {-7, 2, -4}, {-1, 2, 0},
      {9, 4, 2},     {11, 4, 3},    {-9, 4, -2}, {-11, 4, -3}, {1, 3, 0},  {2, 3, 1},   {0, 7, 0},
      {1000001, 2, 500000},         {1000003, 2, 500002},
      {INT64_MAX, 1, INT64_MAX},    {INT64_MAX, INT64_MAX, 1}, {INT64_MIN, 2, INT64_MIN / 2},
  };
  for (const auto& c : cases) EXPECT_EQ(NearestRatio(c.num, c.den), c.expected) << c.num << "/" << c.den;
}

// ---- The twenty columns --------------------------------------------------------

class StatColumns : public ::testing::Test {
 protected:
  TStatRowContext ctx{300, TStatTotals{18, 0, 3, 4}, true, TCdl{}};

  static TStatDraw Rec(int hits, int draw, int age, int minGap, int maxGap, int expected) {
    TStatDraw r;
    r.Hits = hits;
    r.Draw = draw;
    r.PrevDraw = draw;
    r.Age = age;
    r.MinGap = static_cast<uint16_t>(minGap);
    r.MaxGap = static_cast<uint16_t>(maxGap);
    r.Expected = expected;
    return r;
  }
};

TEST_F(StatColumns, CaptionsInOrder) {
  const char* expected[] = {"Значение",   "Количество", "Кол-во в %", "Норма",    "Отклонение",
                            "Откл-ие в %", "Глубина",   "Глубина в %", "Вес",     "Посл. тираж",
                            "Период min", "Период",     "Период max",  "Ожд. ПРД", "Ожд. СТФ",
                            "Ожд. КРН",   "Факт",       "+/- ПРД",     "+/- СТФ",  "+/- КРН"};
  for (size_t c = 0; c < StatColumnCount; ++c) EXPECT_STREQ(StatColumnCaptions[c], expected[c]);
}

TEST_F(StatColumns, FullRowByHand) {
  // Hits 3 in draws 100, 103, 110 of a 300-draw window; 18 hits in all;
  // default weights: -1 x deviation + 1 x depth.
  const TStatRowTexts t = StatRowTexts("7", Rec(3, 110, 1, 3, 7, 2), ctx, 140);
  const TStatRowTexts expected = {"7",   "3",   "16.66667", "2",   "1",   "50.00000", "1",
                                  "25.00", "0.00", "110",    "3",   "100.0000", "7", "210",
                                  "147", "139", "140",      "+70", "+7",  "-1"};
  EXPECT_EQ(t, expected);
}

TEST_F(StatColumns, DashRules) {
  struct TCase {
    const char* what;
    TStatDraw rec;
    bool comparison;
    int64_t total;
    int actual;
    TStatRowTexts expected;
  } cases[] = {
      {"never occurred: the fourteen columns from depth on",
       Rec(0, 0, 0, 0, 0, 5), true, 18, -1,
       {"v", "0", "0.00000", "5", "-5", "-100.00000", "-", "-", "-", "-", "-", "-", "-", "-", "-", "-", "-", "-", "-",
        "-"}},
      {"one hit: no periods and no period forecast",
       Rec(1, 50, 3, 0, 0, 0), true, 18, 60,
       {"v", "1", "5.55556", "0", "1", "100.00000", "3", "75.00", "2.00", "50", "-", "-", "-", "-", "100", "76", "60",
        "-", "+40", "+16"}},
      {"without the full-set file",
       Rec(2, 9, 2, 4, 4, 0), false, 18, -1,
       {"v", "2", "11.11111", "-", "-", "-", "2", "50.00", "2.00", "9", "4", "150.0000", "4", "159", "14", "13", "-",
        "-", "-", "-"}},
      {"no hits in the whole list", Rec(0, 0, 0, 0, 0, 0), true, 0, -1,
       {"v", "0", "-", "0", "0", "0.00000", "-", "-", "-", "-", "-", "-", "-", "-", "-", "-", "-", "-", "-", "-"}},
  };
  for (const auto& c : cases) {
    TStatRowContext x = ctx;
    x.Comparison = c.comparison;
    x.Totals.SumHits = c.total;
    EXPECT_EQ(StatRowTexts("v", c.rec, x, c.actual), c.expected) << c.what;
  }
}

TEST_F(StatColumns, ForecastsRoundHalvesToEven) {
  struct {
    int window, hits, draw;
    const char *byPeriod, *stf, *krn;
  } cases[] = {
      {5, 2, 10, "12", "15", "15"},  // 12.5 -> 12; 15; 4 x 11 / 3 = 14.67 -> 15
      {7, 2, 10, "14", "15", "15"},  // 13.5 -> 14
      {5, 2, 5, "8", "8", "8"},      // 7.5 -> 8; 3 x 5 / 2 = 7.5 -> 8; 4 x 6 / 3 = 8
      {5, 2, 7, "10", "10", "11"},   // 9.5 -> 10; 10.5 -> 10; 4 x 8 / 3 = 10.67 -> 11
      {3, 2, 2, "4", "3", "4"},      // 3.5 -> 4; 3; 4 x 3 / 3 = 4
      {1, 3, 1, "1", "1", "2"},      // 1.33 -> 1; 4 / 3 -> 1; 5 x 2 / 4 = 2.5 -> 2
  };
  for (const auto& c : cases) {
    TStatRowContext x = ctx;
    x.Window = c.window;
    const TStatRowTexts t = StatRowTexts("v", Rec(c.hits, c.draw, 1, 1, 1, 0), x, -1);
    EXPECT_EQ(t[scNextByPeriod], c.byPeriod) << c.window << " " << c.hits << " " << c.draw;
    EXPECT_EQ(t[scNextStf], c.stf) << c.hits << " " << c.draw;
    EXPECT_EQ(t[scNextKrn], c.krn) << c.hits << " " << c.draw;
  }
}

TEST_F(StatColumns, DecimalSeparatorFollowsTheFormatSettings) {
  const TFormatSettings saved = FormatSettings();
  SetFormatSettings(TFormatSettings{",", " "});
  const TStatRowTexts t = StatRowTexts("v", Rec(3, 110, 1, 3, 7, 2), ctx, -1);
  SetFormatSettings(saved);
  EXPECT_EQ(t[scHitsPercent], "16,66667");
  EXPECT_EQ(t[scPeriod], "100,0000");
}

// ---- The full-set scaling --------------------------------------------------------

TEST(StatFullSetScale, ScalesByTheHighestCountOrByTheMeanWhenAllAreEqual) {
  auto list = [](std::initializer_list<std::pair<int, int>> valueHits) {
    TStatDrawArray a;
    for (auto [v, h] : valueHits) {
      TStatDraw d = Value(v);
      d.Hits = h;
      a.push_back(d);
    }
    return a;
  };
  auto set = [](std::initializer_list<std::pair<int, int>> valueCounts) {
    TFullSet s;
    for (auto [v, c] : valueCounts) s.Records.push_back({Value(v).Key, c});
    s.MinCount = s.MaxCount = s.Records.front().Count;
    for (const auto& r : s.Records) {
      s.MinCount = std::min(s.MinCount, r.Count);
      s.MaxCount = std::max(s.MaxCount, r.Count);
    }
    return s;
  };

  // dmax / fmax = 8 / 40; value 9 is not in the file and keeps 0.
  TStatDrawArray a = list({{1, 3}, {2, 8}, {3, 1}, {9, 2}});
  ASSERT_TRUE(ApplyFullSet(a, StatDrawTotals(a), set({{1, 10}, {2, 20}, {3, 40}, {4, 5}})));
  EXPECT_EQ(a[0].Expected, 2);
  EXPECT_EQ(a[1].Expected, 4);
  EXPECT_EQ(a[2].Expected, 8);
  EXPECT_EQ(a[3].Expected, 0);

  // Halves to even: 5 x 6 / 20 = 1.5 -> 2, 15 x 6 / 20 = 4.5 -> 4.
  a = list({{1, 6}, {2, 0}, {3, 1}});
  ASSERT_TRUE(ApplyFullSet(a, StatDrawTotals(a), set({{1, 5}, {2, 15}, {3, 20}})));
  EXPECT_EQ(a[0].Expected, 2);
  EXPECT_EQ(a[1].Expected, 4);
  EXPECT_EQ(a[2].Expected, 6);

  // All counts equal: (dmin + dmax) / 2 for every value, (1 + 4) / 2 = 2.5 -> 2.
  a = list({{1, 1}, {2, 4}, {3, 2}});
  ASSERT_TRUE(ApplyFullSet(a, StatDrawTotals(a), set({{1, 1086008}, {2, 1086008}, {3, 1086008}})));
  for (const auto& e : a) EXPECT_EQ(e.Expected, 2);

  // A highest count of 0 means no comparison.
  a = list({{1, 1}});
  EXPECT_FALSE(ApplyFullSet(a, StatDrawTotals(a), set({{1, 0}})));
  EXPECT_EQ(a[0].Expected, 0);
}

// ---- Recalculate -------------------------------------------------------------

class StatRecalculate : public ::testing::Test, public test::TStatsFixture {
 protected:
  TTempDir dir;
  TFullSetPlace place{dir.Path(), "Korvane_6x45"};
  TScriptedUi ui;

  TStatRows Run(const char* code, int window, int offset, bool prefetch = false) {
    TStatRowsParams p;
    p.WindowLength = window;
    p.DrawsOffset = offset;
    return RecalculateStat(list, list.IndexOfCode(code), p, place, prefetch, ui);
  }
};

TEST_F(StatRecalculate, WindowLongerThanTheArchiveUsesEveryDraw) {
  draws = GenerateDemoDraws(300, 4);
  const TStatRows rows = Run("NUMS", 1000, 0);
  EXPECT_EQ(rows.First, 0);
  EXPECT_EQ(rows.Last, 299);
  EXPECT_EQ(rows.Window, 300);
  ASSERT_EQ(rows.Rows.size(), 45u);
  EXPECT_EQ(ui.Statuses.front(), "Анализ тиражей и расчет статистики...");
  int64_t total = 0;
  for (const auto& r : rows.Rows) {
    total += r.Rec.Hits;
    if (r.Rec.Hits >= 2) {
      EXPECT_EQ(r.Texts[scPeriod], Format("%.4f", {300.0 / r.Rec.Hits}));
    }
    // Offset 0: nothing after the window.
    for (int c : {scActual, scDiffPeriod, scDiffStf, scDiffKrn}) EXPECT_EQ(r.Texts[static_cast<size_t>(c)], "-");
    for (int c : {scExpected, scDeviation, scDeviationPercent}) EXPECT_EQ(r.Texts[static_cast<size_t>(c)], "-");
  }
  EXPECT_EQ(total, 1800);
}

TEST_F(StatRecalculate, HiddenDrawsGiveTheActualDraw) {
  // Window: draws 10..12 (offset 2 hides 13 and 14).
  draws = {Draw(10, {1, 2, 3, 4, 5, 6}), Draw(11, {1, 7, 8, 9, 10, 11}), Draw(12, {2, 7, 12, 13, 14, 15}),
           Draw(13, {3, 16, 17, 18, 19, 20}), Draw(14, {1, 3, 21, 22, 23, 24})};
  const TStatRows rows = Run("NUMS", 3, 2);
  EXPECT_EQ(rows.Last, 2);
  const TStatRow* one = RowOf(rows, 1);  // draws 10, 11; back in 14
  ASSERT_NE(one, nullptr);
  // Period 3 / 2 = 1.5; by period 12.5 -> 12; 3 x 11 / 2 = 16.5 -> 16; 4 x 12 / 3 = 16.
  const TStatRowTexts expectedOne = {"1",   "2",      "11.11111", "-",  "-",  "-",  "2",  "66.67", "2.00", "11",
                                     "1",   "1.5000", "1",        "12", "16", "16", "14", "-2",    "+2",   "+2"};
  EXPECT_EQ(one->Texts, expectedOne);
  EXPECT_EQ(RowOf(rows, 3)->Texts[scActual], "13") << "the first hidden draw with the value";
  EXPECT_EQ(RowOf(rows, 15)->Texts[scActual], "-") << "not in the hidden draws";
  EXPECT_EQ(RowOf(rows, 16)->Texts[scAge], "-") << "16 first comes in a hidden draw";
  EXPECT_TRUE(rows.Chart.Total.empty());
  ASSERT_EQ(rows.Chart.Actual.size(), 45u);
  EXPECT_EQ(rows.Chart.Actual[0].Label, "1");
  EXPECT_EQ(rows.Chart.Actual[0].Y, 2);
}

TEST_F(StatRecalculate, NumsWithTheFullSetHasOneNormForEveryNumber) {
  draws = GenerateDemoDraws(200, 9);
  const TStatRows rows = Run("NUMS", 150, 10, true);
  ASSERT_TRUE(rows.Comparison);
  ASSERT_EQ(rows.Rows.size(), 45u);
  const int64_t norm = NearestRatio(static_cast<int64_t>(rows.Totals.MinHits) + rows.Totals.MaxHits, 2);
  for (const auto& r : rows.Rows) {
    EXPECT_EQ(r.Texts[scExpected], std::to_string(norm)) << r.Texts[scValue];
    EXPECT_EQ(r.Texts[scDeviation], std::to_string(r.Rec.Hits - norm));
  }
  EXPECT_TRUE(std::filesystem::exists(dir / "Prefetchs/Korvane_6x45_NUMS.dfc"));
  // The chart follows the file: 45 records, the ideal line at the norm before rounding.
  ASSERT_EQ(rows.Chart.Total.size(), 45u);
  EXPECT_DOUBLE_EQ(rows.Chart.Total[44].Y, (rows.Totals.MinHits + rows.Totals.MaxHits) / 2.0);
  EXPECT_EQ(rows.Chart.Total[44].Label, "45");
  EXPECT_EQ(rows.Chart.Actual.size(), 45u);
}

TEST_F(StatRecalculate, MethodsWithoutKindNNeverShowANorm) {
  draws = GenerateDemoDraws(120, 2);
  for (const char* code : {"SUMC", "POE1"}) {
    if (list.IndexOfCode(code) < 0) continue;
    const TStatRows rows = Run(code, 100, 0, true);
    EXPECT_FALSE(rows.Comparison) << code;
    ASSERT_FALSE(rows.Rows.empty()) << code;
    for (const auto& r : rows.Rows)
      for (int c : {scExpected, scDeviation, scDeviationPercent})
        EXPECT_EQ(r.Texts[static_cast<size_t>(c)], "-") << code;
  }
  EXPECT_FALSE(std::filesystem::exists(dir / "Prefetchs"));
  EXPECT_TRUE(ui.Messages.empty());
}

TEST_F(StatRecalculate, EmptyArchiveGivesNothing) {
  const TStatRows rows = Run("NUMS", 1000, 0, true);
  EXPECT_TRUE(rows.Rows.empty());
  EXPECT_TRUE(ui.Statuses.empty());
  EXPECT_FALSE(std::filesystem::exists(dir / "Prefetchs")) << "no file for nothing to compare";
}

TEST_F(StatRecalculate, ActualAgreesWithFindNextOccurrenceForEveryMethod) {
  draws = GenerateDemoDraws(150, 21);
  for (int i = 0; i < list.Count(); ++i) {
    const std::string code = list.Items(i).Code();
    for (bool sorted : {false, true}) {
      TStatRowsParams p;
      p.WindowLength = 60;
      p.DrawsOffset = 30;
      p.Sorted = sorted;
      const TStatRows rows = RecalculateStat(list, i, p, place, false, ui);
      auto stat = list.CreateStat(i);
      for (const auto& r : rows.Rows) {
        if (r.Rec.Age == 0) continue;
        const int next = stat->FindNextOccurrence(r.Rec, rows.Last - r.Rec.Age + 2, rows.Last, sorted);
        EXPECT_EQ(r.Texts[scActual], next < 0 ? "-" : std::to_string(next)) << code << " " << r.Texts[scValue];
      }
    }
  }
}

TEST_F(StatRecalculate, RowsKeepTheValuesAndOrderOfThePlainWindowForEveryMethod) {
  draws = GenerateDemoDraws(400, 3);
  for (int i = 0; i < list.Count(); ++i) {
    for (bool sorted : {false, true}) {
      TStatRowsParams p;
      p.WindowLength = 300;
      p.DrawsOffset = 20;
      p.Sorted = sorted;
      const TStatRows rows = RecalculateStat(list, i, p, place, false, ui);
      auto stat = list.CreateStat(i);
      const TStatDrawArray expected = test::WindowValues(*stat, rows.First, rows.Last, sorted);
      TStatDrawArray got;
      for (const auto& r : rows.Rows) got.push_back(r.Rec);
      EXPECT_EQ(got, expected) << list.Items(i).Code() << (sorted ? " sorted" : "");
    }
  }
}

TEST_F(StatRecalculate, SnapshotTakesElevenTextsOfARow) {
  draws = {Draw(10, {1, 2, 3, 4, 5, 6}), Draw(11, {1, 7, 8, 9, 10, 11})};
  const TStatRows rows = Run("NUMS", 10, 0);
  const TStatValues v = StatValuesOf(rows.Rows, 0);  // value 1
  const TStatValues expected{"1", 0, "2", "16.66667", "-", "-", "1", "50.00", "1.00", "1", "1.0000", "1"};
  EXPECT_EQ(v, expected);
  EXPECT_EQ(StatValuesOf(rows.Rows, 45), TStatValues{});
  EXPECT_EQ(StatValuesOf(rows.Rows, -1), TStatValues{});
}

// ---- The information dialog -----------------------------------------------------

class StatInfo : public ::testing::Test, public test::TStatsFixture {
 protected:
  void SetUp() override {
    draws = {Draw(10, {1, 2, 3, 4, 5, 6}), Draw(11, {40, 2, 30, 4, 5, 6}), Draw(12, {7, 8, 9, 10, 11, 12})};
    SetDrawDateText(draws[1], "4 Mar 2025");
  }

  static std::string ValueOf(const TStatInfo& info, const std::string& caption) {
    for (const auto& item : info)
      if (item.Caption == caption) return item.Value;
    return "?";
  }
};

TEST_F(StatInfo, EveryGraphMethodInRegistrationOrderUnderItsDefaultCaption) {
  list.Items(list.IndexOfCode("EVEN")).CustomName = "Мои чётные";
  const TStatInfo info = DrawInfo(list, 1, false);
  std::vector<std::string> expected = {"Номер тиража:", "Дата тиража:"};
  for (int i = 0; i < list.Count(); ++i)
    if (list.HasGraph(i) && list.Items(i).StatClass->Group != 12) expected.push_back(list.Items(i).DefaultName());
  std::vector<std::string> captions;
  for (const auto& item : info)
    if (item.Caption.rfind("Метод шинковки", 0) != 0) captions.push_back(item.Caption);
  EXPECT_EQ(captions, expected);
  EXPECT_EQ(info[0].Value, "11");
  EXPECT_EQ(info[1].Value, "4 Mar 2025");
  EXPECT_EQ(ValueOf(info, "Количество четных чисел в тираже (Ч:Н)"), "5");
  EXPECT_EQ(ValueOf(info, "Число в 1 позиции тиража"), "40");
  EXPECT_EQ(ValueOf(DrawInfo(list, 1, true), "Число в 1 позиции тиража"), "2");
}

TEST_F(StatInfo, ShreddingCaptionsCarryTheirFormula) {
  if (list.IndexOfCode("SHR1") < 0) GTEST_SKIP() << "the shredding methods are not registered in this build";
  const TStatInfo info = DrawInfo(list, 0, false);
  EXPECT_NE(std::find_if(info.begin(), info.end(),
                         [](const TStatInfoItem& i) {
                           return i.Caption.find("(n1+n2+n3)/(n4+n5+n6)") != std::string::npos;
                         }),
            info.end());
  for (const auto& item : info) EXPECT_EQ(item.Caption.find("%s"), std::string::npos) << item.Caption;
}

TEST_F(StatInfo, CombinationIsTheDrawAfterTheWindow) {
  // SUMC compares with the draw before: with offset 1 that is draw 11 (sum 87).
  const TComb comb{1, 2, 3, 4, 5, 45};  // sum 60
  const std::string caption = list.Items(list.IndexOfCode("SUMC")).DefaultName();
  EXPECT_EQ(ValueOf(CombinationInfo(list, comb, 1, false), caption), "-27");
  EXPECT_EQ(ValueOf(CombinationInfo(list, comb, 0, false), caption), "3") << "draw 12: sum 57";
  const TStatInfo info = CombinationInfo(list, comb, 0, false);
  EXPECT_EQ(ValueOf(info, "Число в 6 позиции тиража"), "45");
  EXPECT_EQ(info.front().Caption, "Количество четных чисел в тираже (Ч:Н)") << "no draw number or date";
}

}  // namespace
}  // namespace vexa

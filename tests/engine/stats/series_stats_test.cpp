#include "stats/series_stats.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "acquire/demo_draws.h"
#include "core/settings.h"
#include "stat_contract.h"
#include "stats_fixture.h"

namespace vexa {
namespace {

using test::Draw;
using test::WindowValues;

// "text=hits@draw/age" of every row, in list order.
std::vector<std::string> Rows(const TCustomStat& stat, const TStatDrawArray& values) {
  std::vector<std::string> s;
  for (const auto& v : values)
    s.push_back(stat.ValueToText(v) + "=" + std::to_string(v.Hits) + "@" + std::to_string(v.Draw) + "/" +
                std::to_string(v.Age));
  return s;
}

// Rows whose item (Key[0]) is `item`.
std::vector<std::string> RowsOf(const TCustomStat& stat, const TStatDrawArray& values, int item) {
  TStatDrawArray some;
  for (const auto& v : values)
    if (v.Key[0] == item) some.push_back(v);
  return Rows(stat, some);
}

TStatDrawArray Pairs(std::initializer_list<std::pair<int, int>> pairs) {
  TStatDrawArray a;
  for (auto [item, second] : pairs) {
    TStatDraw d;
    d.Key = {static_cast<int16_t>(item), static_cast<int16_t>(second), 0, 0};
    a.push_back(d);
  }
  return a;
}

constexpr const char* AllCodes[] = {"GRPV", "GRPP", "GRCV", "GRCP", "GRSV", "GRSP", "PRDV", "PRDC", "PRDG"};

class SeriesStats : public ::testing::Test, public test::TStatsFixture {
 protected:
  // Draws numbered from `first` on, one per index, oldest first.
  void SetDraws(std::initializer_list<TComb> nums, int first = 101) {
    draws.clear();
    int number = first;
    for (const TComb& c : nums) draws.push_back(Draw(number++, c));
  }
  TStatDrawArray Window(const std::string& code, int first, int last) {
    auto stat = Create(code);
    return WindowValues(*stat, first, last, false);
  }
};

TEST_F(SeriesStats, DescriptorsAndRegistration) {
  struct TCase {
    const char* Code;
    const char* Caption;
    const char* Flags;
  };
  const TCase cases[] = {
      {"GRPV", "Повторы чисел в нескольких тиражах подряд", "D"},
      {"GRPP", "Интервалы между повторениями чисел", "D"},
      {"GRCV", "Повторы каналов в нескольких тиражах подряд", "D"},
      {"GRCP", "Интервалы между повторениями каналов", "D"},
      {"GRSV", "Повторы сегментов в нескольких тиражах подряд", "D"},
      {"GRSP", "Интервалы между повторениями сегментов", "D"},
      {"PRDV", "Периоды повторения чисел", "P"},
      {"PRDC", "Периоды повторения каналов", "P"},
      {"PRDG", "Периоды повторения сегментов", "P"},
  };
  const int first = list.IndexOfCode("GRPV");
  ASSERT_GE(first, 0);
  ASSERT_EQ(list.Items(first - 1).Code(), "SGM1");  // right after the segment counts
  for (int k = 0; k < static_cast<int>(std::size(cases)); ++k) {
    const TCase& c = cases[k];
    const TStatMethod& m = list.Items(first + k);  // one entry each, in this order
    EXPECT_EQ(m.Code(), c.Code);
    EXPECT_EQ(m.DefaultName(), c.Caption) << c.Code;
    EXPECT_EQ(KindMarks(StatFlags(*m.StatClass)), c.Flags) << c.Code;
    EXPECT_EQ(m.StatClass->Group, k < 6 ? 8 : 9) << c.Code;
    EXPECT_FALSE(m.StatClass->AcceptsValueList) << c.Code;
    EXPECT_FALSE(m.StatClass->HasParam) << c.Code;
    EXPECT_FALSE(m.StatClass->HasGraph) << c.Code;
    EXPECT_FALSE(list.IsFullSetComputable(first + k)) << c.Code;
    EXPECT_EQ(HelpTopicFor(*m.StatClass, m.Param), c.Code);
  }
  EXPECT_EQ(list.ListCaption(first, true), "{ ser } Повторы чисел в нескольких тиражах подряд [ D ]");
  EXPECT_EQ(list.ListCaption(first + 6, true), "{ per } Периоды повторения чисел [ P ]");
}

TEST_F(SeriesStats, NothingPreListedNothingForACombination) {
  SetDraws({{1, 2, 3, 4, 5, 6}});
  for (const char* code : AllCodes) {
    auto stat = Create(code);
    TStatDrawArray values;
    stat->ListAllValues(0, values);
    stat->CalcCombination({1, 2, 3, 4, 5, 6}, values);
    EXPECT_TRUE(values.empty()) << code;
    EXPECT_EQ(stat->ParseValue("17"), 0) << code;
  }
}

TEST_F(SeriesStats, ValueTexts) {
  list.Config.ChannelSize = 5;
  struct TCase {
    const char* Code;
    int Item, Second;
    const char* Text;
  };
  const TCase cases[] = {
      {"GRPV", 17, 3, "17 x 3"}, {"GRPP", 5, 12, "5 x 12"}, {"GRCV", 3, 2, "03 x 2"}, {"GRCP", 11, 1, "11 x 1"},
      {"GRSV", 7, 2, "7 x 2"},   {"GRSP", 0, 4, "0 x 4"},   {"PRDV", 17, 7, "17 x 7"}, {"PRDC", 9, 10, "09 x 10"},
      {"PRDG", 2, 3, "2 x 3"},
  };
  for (const TCase& c : cases) {
    TStatDraw rec;
    rec.Key = {static_cast<int16_t>(c.Item), static_cast<int16_t>(c.Second), 0, 0};
    EXPECT_EQ(Create(c.Code)->ValueToText(rec), c.Text) << c.Code;
  }
}

TEST_F(SeriesStats, GroupsOfANumber) {
  SetDraws({{17, 1, 2, 3, 4, 5},
            {6, 17, 7, 8, 9, 10},
            {11, 12, 17, 13, 14, 15},
            {20, 21, 22, 23, 24, 25},
            {17, 30, 31, 32, 33, 34}});
  auto stat = Create("GRPV");
  // The finished run of draws 1..3 and the run reaching the reference draw;
  // the other numbers of the reference draw have their one-draw runs.
  EXPECT_EQ(Rows(*stat, WindowValues(*stat, 0, 4, false)),
            (std::vector<std::string>{"17 x 3=1@103/3", "17 x 1=1@105/1", "30 x 1=1@105/1", "31 x 1=1@105/1",
                                      "32 x 1=1@105/1", "33 x 1=1@105/1", "34 x 1=1@105/1"}));

  // Without 17 in the reference draw nothing is listed for 17.
  draws[4] = Draw(105, {40, 30, 31, 32, 33, 34});
  const TStatDrawArray values = WindowValues(*stat, 0, 4, false);
  EXPECT_TRUE(RowsOf(*stat, values, 17).empty());
  EXPECT_EQ(RowsOf(*stat, values, 40), (std::vector<std::string>{"40 x 1=1@105/1"}));
}

TEST_F(SeriesStats, PausesOfANumber) {
  SetDraws({{17, 1, 2, 3, 4, 5},
            {6, 7, 8, 9, 10, 11},
            {12, 13, 14, 15, 16, 18},
            {20, 21, 22, 23, 24, 25},
            {17, 30, 31, 32, 33, 34}});
  auto stat = Create("GRPP");
  const TStatDrawArray values = WindowValues(*stat, 0, 4, false);
  EXPECT_EQ(RowsOf(*stat, values, 17), (std::vector<std::string>{"17 x 3=1@104/2"}));
  // 30 never came before: its pause counts from the first draw of the window.
  EXPECT_EQ(RowsOf(*stat, values, 30), (std::vector<std::string>{"30 x 4=1@104/2"}));

  // Missing from draws 1 and 2, present in 3 and 5.
  draws[0] = Draw(101, {1, 2, 3, 4, 5, 6});
  draws[2] = Draw(103, {12, 13, 17, 15, 16, 18});
  EXPECT_EQ(RowsOf(*stat, WindowValues(*stat, 0, 4, false), 17),
            (std::vector<std::string>{"17 x 2=1@102/4", "17 x 1=1@104/2"}));
}

TEST_F(SeriesStats, HitsCountRunsOfOneLengthWithTheirGaps) {
  // 17 in draws 1, 3, 5, 7 of seven.
  SetDraws({{17, 1, 2, 3, 4, 5},
            {6, 7, 8, 9, 10, 11},
            {17, 1, 2, 3, 4, 5},
            {6, 7, 8, 9, 10, 11},
            {17, 1, 2, 3, 4, 5},
            {6, 7, 8, 9, 10, 11},
            {17, 1, 2, 3, 4, 5}});
  struct TCase {
    const char* Code;
    int Hits, Draw, Age;
  };
  for (const TCase& c : {TCase{"GRPV", 4, 107, 1}, TCase{"GRPP", 3, 106, 2}}) {
    auto stat = Create(c.Code);
    const TStatDrawArray values = WindowValues(*stat, 0, 6, false);
    const TStatDraw* row = nullptr;
    for (const auto& v : values)
      if (v.Key == TStatKey4{17, 1, 0, 0}) row = &v;
    ASSERT_NE(row, nullptr) << c.Code;
    EXPECT_EQ(row->Hits, c.Hits) << c.Code;
    EXPECT_EQ(row->Draw, c.Draw) << c.Code;
    EXPECT_EQ(row->Age, c.Age) << c.Code;
    EXPECT_EQ(row->MinGap, 2) << c.Code;
    EXPECT_EQ(row->MaxGap, 2) << c.Code;
  }
}

TEST_F(SeriesStats, ChannelAndSegmentSeries) {
  list.Config.ChannelSize = 5;
  // Channel 3 is 11..15; channel 1 (1..5) only in the middle draw.
  SetDraws({{11, 20, 26, 31, 36, 41}, {12, 1, 27, 32, 37, 42}, {13, 21, 28, 33, 38, 43}});
  auto grcv = Create("GRCV");
  const TStatDrawArray groups = WindowValues(*grcv, 0, 2, false);
  EXPECT_EQ(RowsOf(*grcv, groups, 3), (std::vector<std::string>{"03 x 3=1@103/1"}));
  EXPECT_TRUE(RowsOf(*grcv, groups, 1).empty());  // not in the reference draw
  // Channel 5 (21..25) was missing from draws 1 and 2; the others of draw 3 came every time.
  auto grcp = Create("GRCP");
  EXPECT_EQ(Rows(*grcp, WindowValues(*grcp, 0, 2, false)), (std::vector<std::string>{"05 x 2=1@102/2"}));

  // Numbers 1..5 in segment 0, the rest in segment 1.
  list.Config.MatrixSegments = MatrixSegmentsFromText("00000");
  SetDraws({{1, 10, 20, 30, 40, 45}, {6, 10, 20, 30, 40, 45}, {2, 10, 20, 30, 40, 45}});
  auto grsv = Create("GRSV");
  EXPECT_EQ(Rows(*grsv, WindowValues(*grsv, 0, 2, false)),
            (std::vector<std::string>{"0 x 1=2@103/1", "1 x 3=1@103/1"}));
  auto grsp = Create("GRSP");
  EXPECT_EQ(Rows(*grsp, WindowValues(*grsp, 0, 2, false)), (std::vector<std::string>{"0 x 1=1@102/2"}));

  // The default table: every number in segment 1, one run of the whole window.
  list.Config.MatrixSegments = MatrixSegmentsFromText("");
  EXPECT_EQ(Rows(*Create("GRSV"), Window("GRSV", 0, 2)), (std::vector<std::string>{"1 x 3=1@103/1"}));
  EXPECT_TRUE(Window("GRSP", 0, 2).empty());
}

TEST_F(SeriesStats, WorkAreaCarriesTheRunsOfOneComputation) {
  SetDraws({{17, 1, 2, 3, 4, 5}, {17, 6, 7, 8, 9, 10}, {17, 11, 12, 13, 14, 15}, {17, 20, 21, 22, 23, 24}});
  auto stat = Create("GRPV");
  TStatDrawArray values;
  TStatWork work{};
  TLastValueArray seen;
  stat->CalcDraw(0, 3, false, values, work, seen);
  EXPECT_EQ(ReadSeriesEntry(work, 0), (TSeriesEntry{1, 101, 4}));  // number 1
  stat->CalcDraw(1, 3, false, values, work, seen);
  stat->CalcDraw(2, 3, false, values, work, seen);
  EXPECT_EQ(ReadSeriesEntry(work, 0), TSeriesEntry{});  // its run ended with draw 2
  EXPECT_TRUE(values.empty());  // and 1 is not in the reference draw
  // The entry of 17 sits at 16 * 12: length 3, newest draw 103, age 2.
  EXPECT_EQ(ReadSeriesEntry(work, 16), (TSeriesEntry{3, 103, 2}));
  EXPECT_EQ(work[16 * 12], 3);
  EXPECT_EQ(work[16 * 12 + 4], 103);
  EXPECT_EQ(work[16 * 12 + 8], 2);

  // A window over a work area left from another run continues its runs;
  // zeroed once per run, the same instance gives the same rows every time.
  TStatDrawArray stale;
  for (int i = 0; i <= 3; ++i) stat->CalcDraw(i, 3, false, stale, work, seen);
  EXPECT_EQ(Rows(*stat, stale).front(), "17 x 7=1@104/1");
  EXPECT_EQ(Rows(*stat, WindowValues(*stat, 0, 3, false)).front(), "17 x 4=1@104/1");
  EXPECT_EQ(WindowValues(*stat, 0, 3, false), WindowValues(*stat, 0, 3, false));
}

TEST_F(SeriesStats, WorkAreaRoundTripsEveryEntry) {
  TStatWork work{};
  for (int slot = 0; slot < SeriesEntryCount; ++slot) WriteSeriesEntry(work, slot, {slot + 1, -slot, 1000 * slot});
  for (int slot = 0; slot < SeriesEntryCount; ++slot)
    EXPECT_EQ(ReadSeriesEntry(work, slot), (TSeriesEntry{slot + 1, -slot, 1000 * slot}));
  EXPECT_EQ(work[539], 0);  // the last byte: high byte of a small positive age
  EXPECT_EQ(work[12 * 1 + 4], 0xFF);  // -1, little-endian
}

TEST_F(SeriesStats, SegmentZeroUsesTheLastEntry) {
  list.Config.MatrixSegments = MatrixSegmentsFromText("00000");
  SetDraws({{1, 10, 20, 30, 40, 45}, {2, 10, 20, 30, 40, 45}, {3, 10, 20, 30, 40, 45}});
  auto stat = Create("GRSV");
  TStatDrawArray values;
  TStatWork work{};
  TLastValueArray seen;
  stat->CalcDraw(0, 2, false, values, work, seen);
  stat->CalcDraw(1, 2, false, values, work, seen);
  EXPECT_EQ(ReadSeriesEntry(work, SeriesEntryCount - 1), (TSeriesEntry{2, 102, 2}));
  EXPECT_EQ(ReadSeriesEntry(work, 0), (TSeriesEntry{2, 102, 2}));  // segment 1
}

TEST_F(SeriesStats, FindNextOccurrenceOfASeries) {
  SetDraws({{17, 1, 2, 3, 4, 5}, {17, 6, 7, 8, 9, 10}, {20, 11, 12, 13, 14, 15}, {17, 21, 22, 23, 24, 25}});
  auto stat = Create("GRPV");
  TStatDraw rec;
  rec.Key = {17, 2, 0, 0};
  EXPECT_EQ(stat->FindNextOccurrence(rec, 0, 3, false), 102);  // the run 1..2 ends at draw 3
  rec.Key = {17, 1, 0, 0};
  EXPECT_EQ(stat->FindNextOccurrence(rec, 0, 3, false), 104);
  EXPECT_EQ(stat->FindNextOccurrence(rec, 9, 3, false), -1);
}

TEST_F(SeriesStats, EmptyWindowsAndItemsNeverSeen) {
  SetDraws({{1, 2, 3, 4, 5, 6}, {7, 8, 9, 10, 11, 12}});
  for (const char* code : AllCodes) EXPECT_TRUE(Window(code, 1, 0).empty()) << code;  // no draw in the window
  // Every number came once: no period, and only numbers of the reference draw have series.
  EXPECT_TRUE(Window("PRDV", 0, 1).empty());
  for (const TStatDraw& v : Window("GRPV", 0, 1)) EXPECT_EQ(v.Key, (TStatKey4{v.Key[0], 1, 0, 0}));
  EXPECT_EQ(Window("GRPV", 0, 1).size(), 6u);
  EXPECT_EQ(Window("GRPP", 0, 1).size(), 6u);  // 7..12 were missing from draw 1

  // An empty archive: no draw a period could point at.
  draws.clear();
  for (const char* code : {"PRDV", "PRDC", "PRDG"}) {
    auto stat = Create(code);
    stat->LoadDraw(-1, 0, false);
    EXPECT_FALSE(stat->Matches({1, 2, 3, 4, 5, 6}, Pairs({{1, 1}}), 0, false, false)) << code;
  }
}

TEST_F(SeriesStats, PeriodsOfNumbers) {
  draws = {Draw(100, {17, 1, 2, 3, 4, 5}), Draw(103, {17, 6, 7, 8, 9, 10}), Draw(110, {17, 11, 12, 13, 14, 15})};
  auto stat = Create("PRDV");
  EXPECT_EQ(Rows(*stat, WindowValues(*stat, 0, 2, false)),
            (std::vector<std::string>{"17 x 3=1@103/2", "17 x 7=1@110/1"}));

  // A period met twice: Hits 2 and the gap between its two draws.
  draws = {Draw(100, {17, 1, 2, 3, 4, 5}), Draw(103, {17, 6, 7, 8, 9, 10}), Draw(106, {17, 11, 12, 13, 14, 15})};
  const TStatDrawArray values = WindowValues(*stat, 0, 2, false);
  ASSERT_EQ(values.size(), 1u);
  EXPECT_EQ(values[0].Hits, 2);
  EXPECT_EQ(values[0].Draw, 106);
  EXPECT_EQ(values[0].MinGap, 3);
  EXPECT_EQ(values[0].MaxGap, 3);
}

TEST_F(SeriesStats, PeriodsOfChannelsAndSegments) {
  list.Config.ChannelSize = 5;
  draws = {Draw(10, {3, 8, 9, 21, 44, 45}), Draw(12, {3, 8, 9, 21, 44, 45})};
  // Items 1, 2, 2, 5, 9, 9: the second 2 and the second 9 of a draw add nothing.
  auto prdc = Create("PRDC");
  EXPECT_EQ(Rows(*prdc, WindowValues(*prdc, 0, 1, false)),
            (std::vector<std::string>{"01 x 2=1@12/1", "02 x 2=1@12/1", "05 x 2=1@12/1", "09 x 2=1@12/1"}));

  list.Config.MatrixSegments = MatrixSegmentsFromText("0000022222");
  draws = {Draw(10, {1, 6, 20, 30, 40, 45}), Draw(11, {2, 11, 21, 31, 41, 42}), Draw(15, {7, 12, 22, 32, 33, 34})};
  auto prdg = Create("PRDG");
  EXPECT_EQ(Rows(*prdg, WindowValues(*prdg, 0, 2, false)),
            (std::vector<std::string>{"0 x 1=1@11/2", "1 x 1=1@11/2", "2 x 5=1@15/1", "1 x 4=1@15/1"}));
}

// ---- Matches ----------------------------------------------------------------------------

TEST_F(SeriesStats, SeriesMatchTheItemNotTheLength) {
  list.Config.ChannelSize = 5;
  list.Config.MatrixSegments = MatrixSegmentsFromText("0000022222");
  SetDraws({{1, 2, 3, 4, 5, 6}});
  struct TCase {
    const char* Code;
    TStatDrawArray Selected;
    TComb Comb;
    bool Matches;
  };
  const TCase cases[] = {
      {"GRPV", Pairs({{17, 3}}), {1, 2, 3, 17, 30, 40}, true},
      {"GRPP", Pairs({{17, 99}}), {1, 2, 3, 17, 30, 40}, true},
      {"GRPV", Pairs({{17, 3}}), {1, 2, 3, 16, 18, 40}, false},
      {"GRCV", Pairs({{3, 2}}), {1, 2, 14, 20, 30, 40}, true},
      {"GRCP", Pairs({{3, 2}, {4, 1}}), {1, 2, 10, 21, 30, 40}, false},
      {"GRSV", Pairs({{0, 1}}), {5, 20, 21, 22, 23, 24}, true},
      {"GRSP", Pairs({{0, 1}}), {6, 20, 21, 22, 23, 24}, false},
      {"GRSP", Pairs({{2, 1}}), {6, 20, 21, 22, 23, 24}, true},
  };
  for (const TCase& c : cases) {
    auto stat = Create(c.Code);
    stat->LoadDraw(-1, 0, false);
    for (bool del : {false, true}) EXPECT_EQ(stat->Matches(c.Comb, c.Selected, 0, false, del), c.Matches) << c.Code;
    stat->PrepareValues(c.Selected);
    EXPECT_EQ(stat->Matches(c.Comb, c.Selected, 0, false, false), c.Matches) << c.Code << " prepared";
  }
}

TEST_F(SeriesStats, PeriodMatchesReadsTheDrawThePeriodPointsTo) {
  // Indices 0..9; 17 is in the draw at index 7 only.
  draws.clear();
  for (int i = 0; i < 10; ++i) draws.push_back(Draw(100 + i, {1, 2, 3, 4, 5, i == 7 ? uint8_t{17} : uint8_t{6}}));
  auto stat = Create("PRDV");
  const int last = 9;
  stat->LoadDraw(-1, last, false);
  const TComb with17{10, 11, 12, 17, 30, 40};
  const TComb without17{10, 11, 12, 18, 30, 40};
  struct TCase {
    int Period;
    bool With17;  // Matches of a combination with 17
  };
  // 17 x 3 points at L - 2 = 7, which has 17; the other periods at draws without it.
  for (const TCase& c : {TCase{3, true}, TCase{2, false}, TCase{4, false}, TCase{20, false}}) {
    const TStatDrawArray selected = Pairs({{17, c.Period}});
    for (bool del : {false, true}) {
      EXPECT_EQ(stat->Matches(with17, selected, last, false, del), c.With17) << c.Period << " " << del;
      EXPECT_FALSE(stat->Matches(without17, selected, last, false, del)) << c.Period;
    }
  }
  // Keeping 17 x 3 keeps exactly the combinations with 17; deleting it removes exactly them.
  const TStatDrawArray selected = Pairs({{17, 3}});
  stat->PrepareValues(selected);
  auto stays = [&](const TComb& c, bool del) { return stat->Matches(c, selected, last, false, del) != del; };
  EXPECT_TRUE(stays(with17, false));
  EXPECT_FALSE(stays(without17, false));
  EXPECT_FALSE(stays(with17, true));
  EXPECT_TRUE(stays(without17, true));

  // With the window ending at 8, 17 x 2 points at 7; the prepared table for 9 does not apply.
  const TStatDrawArray two = Pairs({{17, 2}});
  stat->PrepareValues(two);
  EXPECT_FALSE(stat->Matches(with17, two, 9, false, false));
  EXPECT_TRUE(stat->Matches(with17, two, 8, false, false));
  stat->LoadDraw(-1, 8, false);  // the table follows the reference index
  EXPECT_TRUE(stat->Matches(with17, two, 8, false, false));

  // A period 0 would point past the window's end, at the draw being forecast: never read.
  const TStatDrawArray zero = Pairs({{17, 0}});
  stat->PrepareValues(zero);
  EXPECT_FALSE(stat->Matches(with17, zero, 6, false, false));
}

TEST_F(SeriesStats, SegmentZeroIsNotInADrawOutsideTheArchive) {
  list.Config.MatrixSegments = MatrixSegmentsFromText("00000");
  SetDraws({{1, 10, 20, 30, 40, 45}, {6, 10, 20, 30, 40, 45}});
  auto stat = Create("PRDG");
  stat->LoadDraw(-1, 1, false);
  const TComb comb{1, 10, 20, 30, 40, 45};
  EXPECT_TRUE(stat->Matches(comb, Pairs({{0, 2}}), 1, false, false));   // index 0 has segment 0
  EXPECT_FALSE(stat->Matches(comb, Pairs({{0, 1}}), 1, false, false));  // index 1 has not
  EXPECT_FALSE(stat->Matches(comb, Pairs({{0, 5}}), 1, false, false));  // index -3: no draw
}

// Channels of 7 and every segment 0..9 in use.
TEST_F(SeriesStats, FilterContractWithTenSegments) {
  draws = GenerateDemoDraws(120, 11);
  list.Config.ChannelSize = 7;
  list.Config.MatrixSegments = MatrixSegmentsFromText("111222333444555666777888999000111222333444555");
  list.RegisterAll();
  const auto sample = test::ContractSample(draws, 119, test::QuickContract ? 60 : 400, 3);
  test::ExpectFilterContract(list, sample, 119, "channels 7, ten segments",
                             [](const TStatMethod& m) { return m.StatClass->Group == 8 || m.StatClass->Group == 9; });
}

}  // namespace
}  // namespace vexa

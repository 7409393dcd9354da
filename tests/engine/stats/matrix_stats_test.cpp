#include "stats/matrix_stats.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "acquire/demo_draws.h"
#include "stat_contract.h"
#include "stats_fixture.h"

namespace vexa {
namespace {

using test::Draw;
using test::FindValue;
using test::Select;
using test::WindowValues;

// "text=hits" of every value that occurred, in list order.
std::vector<std::string> Occurred(const TCustomStat& stat, const TStatDrawArray& values) {
  std::vector<std::string> s;
  for (const auto& v : values)
    if (v.Hits > 0) s.push_back(stat.ValueToText(v) + "=" + std::to_string(v.Hits));
  return s;
}

TStatDrawArray SelectKey(TStatKey4 key) {
  TStatDrawArray a(1);
  a[0].Key = key;
  return a;
}

class MatrixStats : public ::testing::Test, public test::TStatsFixture {
 protected:
  void UseCols(int cols) {
    list.Config.MatrixCols = cols;
    list.RegisterAll();
  }
};

TEST_F(MatrixStats, Descriptors) {
  struct Case {
    const char* code;
    const char* flags;
    const char* topic;
    bool valueList;
  } cases[] = {
      {"COLS", "N", "COLS", true},  {"ROWS", "N", "ROWS", true},  {"COLV", "N", "COLV", false},
      {"ROWV", "N", "ROWV", false}, {"COLN", "NG", "COLN", true}, {"ROWN", "NG", "ROWN", true},
      {"COLM", "N", "COLM", true},  {"ROWM", "N", "ROWM", true},  {"COLA", "N", "COLA", true},
      {"ROWA", "N", "ROWA", true},  {"COLC", "NG", "COLC", true}, {"ROWC", "NG", "ROWC", true},
      {"KFM2", "S", "KFM2", false}, {"KFS4", "S", "KFS4", false}, {"KRM3", "S", "KRM3", false},
      {"KRS2", "S", "KRS2", false}, {"COL3", "NG", "COLx", true}, {"ROW9", "NG", "ROWx", true},
  };
  for (const auto& c : cases) {
    const int i = list.IndexOfCode(c.code);
    ASSERT_GE(i, 0) << c.code;
    const TStatClass& cls = *list.Items(i).StatClass;
    EXPECT_EQ(cls.Group, 4) << c.code;
    EXPECT_EQ(KindMarks(StatFlags(cls)), c.flags) << c.code;
    EXPECT_EQ(HelpTopicFor(cls, list.Items(i).Param), c.topic) << c.code;
    EXPECT_EQ(cls.AcceptsValueList, c.valueList) << c.code;
  }
  EXPECT_EQ(list.Items(list.IndexOfCode("KFM3")).DefaultName(), "Сочетания из 3 столбцов по всем числам тиража");
  EXPECT_EQ(list.Items(list.IndexOfCode("KRS4")).DefaultName(), "Сочетания из 4 строк по соседним числам");
  EXPECT_EQ(list.Items(list.IndexOfCode("COL2")).DefaultName(), "Количество чисел в 2 столбце матрицы");
  EXPECT_EQ(list.Items(list.IndexOfCode("ROW7")).DefaultName(), "Количество чисел в 7 строке матрицы");
}

TEST_F(MatrixStats, ParameterRangesFollowMatrixCols) {
  struct Case {
    int cols, lastCol, lastRow;
  } cases[] = {{5, 5, 9}, {9, 9, 5}, {1, 1, 45}, {45, 45, 1}, {7, 7, 7}, {0, 0, 0}, {-3, 0, 0}};
  for (const auto& c : cases) {
    UseCols(c.cols);
    for (int p = 0; p <= 46; ++p) {
      EXPECT_EQ(list.IndexOfCode("COL" + std::to_string(p)) >= 0, p >= 1 && p <= c.lastCol) << c.cols << " " << p;
      EXPECT_EQ(list.IndexOfCode("ROW" + std::to_string(p)) >= 0, p >= 1 && p <= c.lastRow) << c.cols << " " << p;
    }
  }
  // COL%d and ROW%d follow CHN%d in registration order, ROW right after COL.
  UseCols(9);
  EXPECT_EQ(list.IndexOfCode("ROW1"), list.IndexOfCode("COL9") + 1);
}

TEST_F(MatrixStats, ValuesOfTheExampleDraw) {
  // 1 6 11 | 13 18 | 45 with 5 columns: columns 1 1 1 3 3 5, rows 1 2 3 3 4 9;
  // 1-6-11 stacked in column 1, 13-18 stacked in column 3.
  draws = {Draw(8, {1, 6, 11, 13, 18, 45})};
  struct Case {
    const char* code;
    std::vector<std::string> occurred;
  } cases[] = {
      {"COLS", {"1=3", "3=2", "5=1"}},
      {"ROWS", {"1=1", "2=1", "3=2", "4=1", "9=1"}},
      {"COLV", {"1 x 3=1", "2 x 0=1", "3 x 2=1", "4 x 0=1", "5 x 1=1"}},
      {"ROWV", {"1 x 1=1", "2 x 1=1", "3 x 2=1", "4 x 1=1", "5 x 0=1", "6 x 0=1", "7 x 0=1", "8 x 0=1",
                "9 x 1=1"}},
      {"COLN", {"3=1"}},
      {"ROWN", {"5=1"}},
      {"COLM", {"10101 (021)=1"}},
      {"ROWM", {"111100001 (481)=1"}},
      {"COLA", {"1 x 3=1", "3 x 2=1"}},
      {"ROWA", {}},  // 11 and 13 share row 3, but two columns apart
      {"COLC", {"2=1"}},
      {"ROWC", {"0=1"}},
      {"COL1", {"3=1"}},
      {"COL2", {"0=1"}},
      {"COL3", {"2=1"}},
      {"ROW3", {"2=1"}},
      {"ROW9", {"1=1"}},
      {"KFM2", {"1:1=3", "1:3=6", "1:5=3", "3:3=1", "3:5=2"}},
      {"KFS2", {"1:1=2", "1:3=1", "3:3=1", "3:5=1"}},
      {"KRS3", {"1:2:3=1", "2:3:3=1", "3:3:4=1", "3:4:9=1"}},
      {"KRM4", {"1:2:3:3=1", "1:2:3:4=2", "1:2:3:9=2", "1:2:4:9=1", "1:3:3:4=1", "1:3:3:9=1", "1:3:4:9=2",
                "2:3:3:4=1", "2:3:3:9=1", "2:3:4:9=2", "3:3:4:9=1"}},
  };
  for (const auto& c : cases) {
    auto stat = Create(c.code);
    for (bool sorted : {false, true})
      EXPECT_EQ(Occurred(*stat, WindowValues(*stat, 0, 0, sorted)), c.occurred) << c.code;
  }
  struct Graph {
    const char* code;
    int value;
  } graphs[] = {{"COLN", 3}, {"ROWN", 5}, {"COLC", 2}, {"ROWC", 0}, {"COL1", 3}, {"COL4", 0}, {"ROW3", 2}};
  for (const auto& g : graphs) EXPECT_EQ(Create(g.code)->GraphValueOfDraw(0, 0, false), g.value) << g.code;
}

TEST_F(MatrixStats, RowNeighboursStopAtTheRowEnd) {
  // 5 ends row 1 and 6 starts row 2: not neighbours.
  draws = {Draw(1, {4, 5, 6, 7, 30, 41})};
  struct Case {
    const char* code;
    std::vector<std::string> occurred;
  } cases[] = {{"ROWA", {"1 x 2=1", "2 x 2=1"}}, {"ROWC", {"2=1"}}, {"COLA", {}}, {"COLC", {"0=1"}}};
  for (const auto& c : cases) {
    auto stat = Create(c.code);
    EXPECT_EQ(Occurred(*stat, WindowValues(*stat, 0, 0, false)), c.occurred) << c.code;
  }
  // Three in a row and two separate pairs both count the pairs of the row.
  draws = {Draw(2, {1, 2, 3, 11, 12, 14}), Draw(3, {21, 22, 24, 25, 40, 45})};
  auto rowa = Create("ROWA");
  EXPECT_EQ(Occurred(*rowa, WindowValues(*rowa, 0, 1, false)), (std::vector<std::string>{"1 x 3=1", "3 x 2=1",
                                                                                         "5 x 3=1"}));
}

TEST_F(MatrixStats, AjacentColumnsInOrderOfFirstAppearance) {
  draws = {Draw(1, {18, 13, 45, 11, 6, 1})};
  auto cola = Create("COLA");
  EXPECT_EQ(Occurred(*cola, WindowValues(*cola, 0, 0, false)), (std::vector<std::string>{"3 x 2=1", "1 x 3=1"}));
  EXPECT_EQ(Occurred(*cola, WindowValues(*cola, 0, 0, true)), (std::vector<std::string>{"1 x 3=1", "3 x 2=1"}));
  // The pair is the column over Key[0..1] and pairs + 1 over Key[2..3].
  const TStatDrawArray v = WindowValues(*cola, 0, 0, false);
  EXPECT_EQ(Key32(v[0].Key, 1), 3);
  EXPECT_EQ(Key32(v[0].Key, 2), 2);
}

TEST_F(MatrixStats, PreListedValues) {
  draws = {Draw(1, {1, 2, 3, 4, 5, 6})};
  struct Case {
    int cols;
    const char* code;
    size_t listed;
    int32_t first, last;  // Key32 of the first and last listed
  } cases[] = {
      {5, "COLS", 5, 1, 5},       {5, "ROWS", 9, 1, 9},   {5, "COLN", 5, 1, 5},  {5, "ROWN", 6, 1, 6},
      {5, "COL1", 9, 1, 9},       {5, "ROW9", 5, 1, 5},   {9, "COL9", 5, 1, 5},  {9, "ROWN", 5, 1, 5},
      {1, "ROWS", 45, 1, 45},     {1, "COLN", 1, 1, 1},   {1, "ROW45", 1, 1, 1}, {45, "COL45", 1, 1, 1},
      {5, "COLV", 35, 1, 6 << 16 | 5}, {5, "ROWV", 54, 1, 5 << 16 | 9}, {1, "COLV", 7, 1, 6 << 16 | 1},
      {5, "COLM", 0, 0, 0},       {5, "ROWM", 0, 0, 0},   {5, "COLA", 0, 0, 0},  {5, "ROWC", 0, 0, 0},
      {5, "KFM4", 0, 0, 0},       {5, "KRS2", 0, 0, 0},
  };
  for (const auto& c : cases) {
    UseCols(c.cols);
    auto stat = Create(c.code);
    TStatDrawArray v;
    stat->ListAllValues(0, v);
    ASSERT_EQ(v.size(), c.listed) << c.code << " " << c.cols;
    for (const auto& e : v) EXPECT_EQ(e.Hits + e.Age + e.Draw + e.MinGap + e.MaxGap, 0) << c.code;
    if (v.empty()) continue;
    EXPECT_EQ(Key32(v.front().Key), c.first) << c.code << " " << c.cols;
    EXPECT_EQ(Key32(v.back().Key), c.last) << c.code << " " << c.cols;
  }
}

TEST_F(MatrixStats, GapsTrackedOverDrawsOnly) {
  // Column 1 in draws 100, 103 and 110.
  draws = {Draw(100, {1, 2, 3, 4, 5, 7}), Draw(103, {6, 8, 9, 10, 12, 13}), Draw(105, {2, 3, 4, 5, 7, 8}),
           Draw(110, {1, 12, 22, 23, 24, 25})};
  auto cols = Create("COLS");
  const TStatDrawArray values = WindowValues(*cols, 0, 3, false);
  const TStatDraw* e = FindValue(values, 1);
  ASSERT_NE(e, nullptr);
  EXPECT_EQ(e->Hits, 3);
  EXPECT_EQ(e->Draw, 110);
  EXPECT_EQ(e->Age, 1);
  EXPECT_EQ(e->MinGap, 3);
  EXPECT_EQ(e->MaxGap, 7);
  // Six numbers in one column count six times; a combination tracks no gaps.
  TStatDrawArray combs;
  cols->CalcCombination({1, 6, 11, 16, 21, 26}, combs);
  cols->CalcCombination({31, 6, 36, 16, 41, 26}, combs);
  ASSERT_EQ(combs.size(), 1u);
  EXPECT_EQ(combs[0].Hits, 12);
  EXPECT_EQ(combs[0].MinGap + combs[0].MaxGap + combs[0].Draw + combs[0].Age, 0);
}

TEST_F(MatrixStats, TuplesAddNothingForACombination) {
  for (const char* code : {"KFM2", "KFM3", "KFM4", "KFS2", "KFS3", "KFS4", "KRM2", "KRM3", "KRM4", "KRS2", "KRS3",
                           "KRS4"}) {
    TStatDrawArray v;
    Create(code)->CalcCombination({1, 2, 3, 4, 5, 6}, v);
    EXPECT_TRUE(v.empty()) << code;
  }
}

TEST_F(MatrixStats, MaskTextsAndTypedValues) {
  auto colm = Create("COLM");
  struct Case {
    const char* text;
    int32_t value;
  } cases[] = {{"10101", 21}, {"10101 (021)", 21}, {"11111", 31}, {"1", 16}, {"", 0}, {"1x1я1", 21}, {"00001", 1}};
  for (const auto& c : cases) EXPECT_EQ(colm->TextToValue(c.text), c.value) << c.text;
  TStatDraw rec;
  SetKey32(rec.Key, 2);
  EXPECT_EQ(colm->ValueToText(rec), "00010 (002)");
  // 32 columns fill the 32-bit value: column 1 is its sign bit.
  UseCols(32);
  auto wide32 = Create("COLM");
  TStatDrawArray v;
  wide32->CalcCombination({1, 2, 3, 4, 33, 34}, v);
  ASSERT_EQ(v.size(), 1u);
  EXPECT_EQ(Key32(v[0].Key), static_cast<int32_t>(0xF0000000u));
  EXPECT_EQ(Key32(v[0].Key, 2), 0);
  const std::string text = wide32->ValueToText(v[0]);
  EXPECT_EQ(text, "1111" + std::string(28, '0') + " (-268435456)");
  EXPECT_EQ(wide32->TextToValue(text), Key32(v[0].Key));
}

TEST_F(MatrixStats, OneColumnMatrix) {
  UseCols(1);
  draws = {Draw(1, {1, 2, 3, 4, 5, 45})};
  struct Case {
    const char* code;
    std::vector<std::string> occurred;
  } cases[] = {
      {"COLS", {"1=6"}},
      {"COLN", {"1=1"}},
      {"COLM", {"1 (001)=1"}},
      {"ROWS", {"1=1", "2=1", "3=1", "4=1", "5=1", "45=1"}},
      {"ROWN", {"6=1"}},
      {"COLA", {"1 x 5=1"}},
      {"ROWA", {}},
      {"COL1", {"6=1"}},
      {"ROW45", {"1=1"}},
      {"ROW44", {"0=1"}},
      {"ROWM", {"11111" + std::string(39, '0') + "1 (34084860461057)=1"}},
  };
  for (const auto& c : cases) {
    auto stat = Create(c.code);
    EXPECT_EQ(Occurred(*stat, WindowValues(*stat, 0, 0, false)), c.occurred) << c.code;
  }
  // 45 rows keep every bit: the pattern takes the whole key.
  const uint64_t pattern = (uint64_t{31} << 40) | 1u;
  for (bool prepared : {false, true}) {
    struct Sel {
      TStatKey4 key;
      bool expected;
    } sels[] = {{UnpackKey(pattern), true}, {UnpackKey(1), false}, {UnpackKey(pattern | 2), false}};
    for (const auto& sel : sels) {
      auto rowm = Create("ROWM");
      rowm->LoadDraw(-1, 0, false);
      const TStatDrawArray values = SelectKey(sel.key);
      if (prepared) rowm->PrepareValues(values);
      EXPECT_EQ(rowm->Matches({1, 2, 3, 4, 5, 45}, values, 0, false, false), sel.expected) << prepared;
      EXPECT_EQ(rowm->Matches({45, 3, 1, 2, 5, 4}, values, 0, false, false), sel.expected) << prepared;
    }
  }
  // A typed value keeps the last 32 rows.
  auto rowm = Create("ROWM");
  EXPECT_EQ(rowm->TextToValue("11111" + std::string(39, '0') + "1"), 1);
  EXPECT_EQ(rowm->TextToValue(std::string(13, '0') + "11" + std::string(30, '0')), static_cast<int32_t>(0xC0000000u));
  EXPECT_EQ(rowm->TextToValue("1" + std::string(44, '0')), 0);
}

TEST_F(MatrixStats, ASettingChangeDoesNotReachACreatedMethod) {
  auto coln = Create("COLN");
  list.Config.MatrixCols = 1;
  EXPECT_EQ(coln->GraphValue({1, 2, 3, 4, 5, 6}, 0, 0, false), 5);
  EXPECT_EQ(Create("COLN")->GraphValue({1, 2, 3, 4, 5, 6}, 0, 0, false), 1);
}

TEST_F(MatrixStats, MatchesByHand) {
  struct Case {
    const char* code;
    TComb comb;
    TStatKey4 selected;
    bool expected;
  } cases[] = {
      {"COLS", {1, 6, 11, 13, 18, 45}, {5, 0, 0, 0}, true},
      {"COLS", {1, 6, 11, 13, 18, 45}, {2, 0, 0, 0}, false},
      {"COLS", {1, 6, 11, 13, 18, 45}, {3, 7, 0, 0}, true},  // Key[0] alone decides
      {"ROWS", {1, 6, 11, 13, 18, 45}, {9, 0, 0, 0}, true},
      {"ROWS", {1, 6, 11, 13, 18, 45}, {5, 0, 0, 0}, false},
      {"COLV", {1, 6, 11, 13, 18, 45}, {2, 0, 0, 0}, true},  // no number in column 2
      {"COLV", {1, 6, 11, 13, 18, 45}, {1, 3, 0, 0}, true},
      {"COLV", {1, 6, 11, 13, 18, 45}, {1, 2, 0, 0}, false},
      {"COLV", {2, 6, 11, 13, 18, 45}, {2, 0, 0, 0}, false},
      {"ROWV", {1, 6, 11, 13, 18, 45}, {3, 2, 0, 0}, true},
      {"ROWV", {1, 6, 11, 13, 18, 45}, {3, 2, 1, 0}, false},
      {"COLN", {1, 6, 11, 13, 18, 45}, {3, 0, 0, 0}, true},
      {"COLN", {1, 6, 11, 13, 18, 45}, {3, 1, 0, 0}, true},  // Key[0] alone decides
      {"ROWN", {1, 6, 11, 13, 18, 45}, {6, 0, 0, 0}, false},
      {"COLM", {1, 6, 11, 13, 18, 45}, {21, 0, 0, 0}, true},
      {"COLM", {1, 6, 11, 13, 18, 45}, {21, 0, 5, 0}, true},  // Key[0..1] alone decide
      {"COLM", {1, 6, 11, 13, 18, 45}, {20, 0, 0, 0}, false},
      {"ROWM", {1, 6, 11, 13, 18, 45}, {481, 0, 0, 0}, true},
      {"COLA", {1, 6, 11, 13, 18, 45}, {1, 0, 3, 0}, true},
      {"COLA", {1, 6, 11, 13, 18, 45}, {3, 0, 2, 0}, true},
      {"COLA", {1, 6, 11, 13, 18, 45}, {3, 0, 3, 0}, false},
      {"COLA", {1, 6, 11, 13, 18, 45}, {5, 0, 1, 0}, false},
      {"ROWA", {4, 5, 6, 7, 30, 41}, {2, 0, 2, 0}, true},
      {"ROWA", {4, 5, 6, 7, 30, 41}, {1, 0, 3, 0}, false},
      {"COLC", {1, 6, 11, 13, 18, 45}, {2, 0, 0, 0}, true},
      {"ROWC", {1, 6, 11, 13, 18, 45}, {0, 0, 0, 0}, true},
      {"ROWC", {4, 5, 6, 7, 30, 41}, {0, 0, 0, 0}, false},
      {"COL3", {1, 6, 11, 13, 18, 45}, {2, 0, 0, 0}, true},
      {"COL2", {1, 6, 11, 13, 18, 45}, {0, 0, 0, 0}, true},
      {"ROW1", {1, 6, 11, 13, 18, 45}, {2, 0, 0, 0}, false},
      {"KFM2", {1, 6, 11, 13, 18, 45}, {3, 5, 0, 0}, true},
      {"KFM2", {1, 6, 11, 13, 18, 45}, {5, 3, 0, 0}, false},  // positions in order
      {"KFM2", {45, 18, 13, 11, 6, 1}, {5, 3, 0, 0}, true},
      {"KFM2", {1, 6, 11, 13, 18, 45}, {3, 5, 1, 0}, false},  // components past the tuple are 0
      {"KFS2", {1, 6, 11, 13, 18, 45}, {1, 5, 0, 0}, false},
      {"KFS3", {1, 6, 11, 13, 18, 45}, {3, 3, 5, 0}, true},
      {"KFM4", {1, 6, 11, 13, 18, 45}, {1, 1, 3, 5}, true},
      {"KFM4", {1, 6, 11, 13, 18, 45}, {1, 3, 3, 3}, false},
      {"KRS4", {1, 6, 11, 13, 18, 45}, {3, 3, 4, 9}, true},
      {"KRM3", {1, 6, 11, 13, 18, 45}, {1, 4, 9, 0}, true},
      {"KRM3", {1, 6, 11, 13, 18, 45}, {0, 4, 9, 0}, false},
  };
  for (const auto& c : cases) {
    auto stat = Create(c.code);
    stat->LoadDraw(-1, 0, false);
    const TStatDrawArray values = SelectKey(c.selected);
    EXPECT_EQ(stat->Matches(c.comb, values, 0, false, false), c.expected) << c.code;
    stat->PrepareValues(values);
    EXPECT_EQ(stat->Matches(c.comb, values, 0, false, false), c.expected) << c.code << " prepared";
    EXPECT_EQ(stat->Matches(c.comb, values, 0, false, true), c.expected) << c.code << " delete";
  }
}

// A combination has the values of a draw of the same numbers, in the same
// order and with the same hits; the tuple methods (order-dependent) give none.
// Every method, several widths: Matches with and without PrepareValues says
// whether the numbers, taken as a draw in their order, have a selected value.
// The contract suite walks 5, 9 and 1 columns; these widths have their own
// edges: two columns, 32 (the widest 32-bit pattern), 33 and 45.
TEST_F(MatrixStats, FilterContractUnderOtherWidths) {
  draws = GenerateDemoDraws(80, 17);
  const auto sample = test::ContractSample(draws, 79, test::QuickContract ? 60 : 300, 17);
  for (int cols : {2, 7, 32, 33, 45}) {
    UseCols(cols);
    test::ExpectFilterContract(list, sample, 79, "cols " + std::to_string(cols),
                               [](const TStatMethod& m) { return m.StatClass->Group == 4; });
  }
}

}  // namespace
}  // namespace vexa

#include "combs/filter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <stdexcept>

#include "core/error.h"
#include "engine/stats/stats_fixture.h"
#include "support/scripted_ui.h"

namespace vexa {
namespace {

using test::Select;
using test::TScriptedUi;

std::vector<TComb> Copy(std::span<const TComb> combs) { return {combs.begin(), combs.end()}; }

int64_t CountIf(std::span<const TComb> combs, bool (*f)(const TComb&)) {
  return std::count_if(combs.begin(), combs.end(), f);
}

bool Has7Or12(const TComb& c) { return NumInComb(7, c) || NumInComb(12, c); }

// The full set once for the suite; each test starts from it.
class FilterFullSet : public ::testing::Test, public test::TStatsFixture {
 protected:
  static void SetUpTestSuite() {
    Ui = std::make_unique<TScriptedUi>();
    Combs = std::make_unique<TCombsList>(*Ui);
    Combs->Reserve(AllCombsCount);
  }
  static void TearDownTestSuite() {
    Combs.reset();
    Ui.reset();
  }
  void SetUp() override {
    ASSERT_TRUE(Combs->Generate(true, {GenerateAll, ""}));
    Ui->Statuses.clear();
  }
  void Run(const std::string& code, const TStatDrawArray& values, bool del, const std::string& description) {
    auto stat = Create(code);
    Combs->SaveUndo(true);
    ApplyFilter(*Combs, *stat, values, del, code, description, 0, false, *Ui);
  }
  static std::unique_ptr<TScriptedUi> Ui;
  static std::unique_ptr<TCombsList> Combs;
};
std::unique_ptr<TScriptedUi> FilterFullSet::Ui;
std::unique_ptr<TCombsList> FilterFullSet::Combs;

TEST_F(FilterFullSet, KeepNumbers7And12) {
  Run("NUMS", Select({7, 12}), false, "7; 12");
  EXPECT_EQ(Combs->Count(), AllCombsCount - 6096454);
  EXPECT_EQ(CountIf(Combs->Combs(), &Has7Or12), Combs->Count()) << "only combinations with 7 or 12";
  const auto kept = Combs->Combs();
  EXPECT_TRUE(std::is_sorted(kept.begin(), kept.end())) << "the full set's order";
  EXPECT_EQ(Combs->Log().back(), (TLogRow{TLogIcon::Keep, "NUMS", "7; 12", 2048606}));
  EXPECT_EQ(Combs->UndoCount(), AllCombsCount) << "the undo copy stays";
  EXPECT_EQ(Ui->Statuses.back(), FilteringStatus);
}

TEST_F(FilterFullSet, DeleteNumbers7And12LeavesC43_6) {
  Run("NUMS", Select({7, 12}), true, "7; 12");
  EXPECT_EQ(Combs->Count(), 6096454);
  EXPECT_EQ(CountIf(Combs->Combs(), &Has7Or12), 0);
  EXPECT_EQ(Combs->Log().back().Icon, TLogIcon::Delete);
}

TEST_F(FilterFullSet, KeepSums93To183) {
  TStatDrawArray values;
  for (int s = 93; s <= 183; ++s) values.push_back(Select({s})[0]);
  Run("SUMS", values, false, "93..183");
  EXPECT_EQ(Combs->Count(), 7076136);
  const auto kept = Combs->Combs();
  EXPECT_TRUE(std::all_of(kept.begin(), kept.end(), [](const TComb& c) {
    int s = 0;
    for (uint8_t n : c) s += n;
    return s >= 93 && s <= 183;
  }));
}

TEST_F(FilterFullSet, FiltersNarrowCumulativelyAndUndoRestoresTheLast) {
  Run("NUMS", Select({7}), false, "7");
  const std::vector<TComb> afterFirst = Copy(Combs->Combs());
  Run("NUMS", Select({12}), false, "12");
  EXPECT_EQ(Combs->Count(), 123410) << "C(43,4): both 7 and 12";
  Combs->RestoreUndo(true);
  Combs->RemoveLastLog();
  EXPECT_EQ(Copy(Combs->Combs()), afterFirst);
  ASSERT_EQ(Combs->Log().size(), 1u);
  EXPECT_EQ(Combs->Log()[0].Values, "7");
}

// A method that remembers how it was prepared and can fail on one combination.
class TProbeStat : public TCustomValuesStat {
 public:
  using TCustomValuesStat::TCustomValuesStat;
  bool Matches(const TComb& comb, const TStatDrawArray& values, int lastIndex, bool sorted,
               bool del) const override {
    if (comb == FailOn) throw EVexaError("сбой метода");
    if (lastIndex != LoadedRef || sorted != LoadedSorted || LoadedIndex != -1 || del != ExpectDel)
      throw std::logic_error("Matches before LoadDraw(-1, L, sorted)");
    return HasKey(values, TStatKey4{static_cast<int16_t>(comb[0]), 0, 0, 0});
  }
  void LoadDraw(int index, int refIndex, bool sorted) override {
    LoadedIndex = index;
    LoadedRef = refIndex;
    LoadedSorted = sorted;
  }
  void PrepareValues(const TStatDrawArray& values) override { Prepared = values.size(); }

  TComb FailOn{};
  bool ExpectDel = false;
  int LoadedIndex = 0;
  int LoadedRef = 0;
  bool LoadedSorted = false;
  size_t Prepared = 0;
};

const TStatClass ProbeClass{.ClassName = "TProbeStat", .Code = "PROB", .Caption = "Проба", .Kind = skDraw};

struct TSmallList : public ::testing::Test {
  TScriptedUi ui;
  TCombsList combs{ui};
  TDrawsArray draws;
  TStatList list{draws};
  TProbeStat probe{ProbeClass, list, 0};
  std::vector<TComb> start;

  void SetUp() override {
    // Not sorted: the filter must keep the list's own order.
    for (int a = 40; a >= 1; --a)
      for (int f = 45; f >= a + 5; --f) start.push_back(TComb{static_cast<uint8_t>(a), 50, 51, 52, 53, static_cast<uint8_t>(f)});
    combs.SetCombs(start);
    combs.SetWalkOptions({2, 64});
  }
};

TEST_F(TSmallList, KeepsOrderPassesLAndSortedAndPreparesOnce) {
  combs.SaveUndo(false);
  ApplyFilter(combs, probe, Select({3, 17}), false, "Проба", "3; 17", 12, true, ui);
  std::vector<TComb> expected;
  std::copy_if(start.begin(), start.end(), std::back_inserter(expected),
               [](const TComb& c) { return c[0] == 3 || c[0] == 17; });
  EXPECT_EQ(Copy(combs.Combs()), expected);
  EXPECT_EQ(probe.LoadedIndex, -1);
  EXPECT_EQ(probe.LoadedRef, 12);
  EXPECT_TRUE(probe.LoadedSorted);
  EXPECT_EQ(probe.Prepared, 2u);

  probe.ExpectDel = true;
  combs.SaveUndo(false);
  ApplyFilter(combs, probe, Select({3}), true, "Проба", "3", 0, false, ui);
  EXPECT_EQ(combs.Count(), 41 - 17) << "those starting with 17 stay";
  EXPECT_EQ(combs[0][0], 17);
}

TEST_F(TSmallList, AnErrorLeavesASequentialPrefixAndNoLogRow) {
  std::vector<TComb> expected;
  std::copy_if(start.begin(), start.end(), std::back_inserter(expected), [](const TComb& c) { return c[0] % 2 == 0; });
  TStatDrawArray evens;
  for (int n = 2; n <= 40; n += 2) evens.push_back(Select({n})[0]);
  for (const size_t failAt : {size_t{0}, size_t{100}, start.size() / 2, start.size() - 1}) {
    probe.FailOn = start[failAt];
    combs.SetCombs(start);
    combs.SaveUndo(false);
    EXPECT_THROW(ApplyFilter(combs, probe, evens, false, "Проба", "", 0, false, ui), EVexaError);
    const auto left = Copy(combs.Combs());
    ASSERT_LE(left.size(), expected.size());
    EXPECT_TRUE(std::equal(left.begin(), left.end(), expected.begin())) << failAt;
    EXPECT_TRUE(combs.Log().empty());
    EXPECT_EQ(combs.UndoCount(), static_cast<int>(start.size())) << "the previous list is still there";
  }
}

TEST_F(TSmallList, AnEmptyUndoCopyGivesAnEmptyList) {
  combs.SetCombs({});
  combs.SaveUndo(false);
  combs.SetCombs(start);
  ApplyFilter(combs, probe, Select({3}), false, "Проба", "3", 0, false, ui);
  EXPECT_EQ(combs.Count(), 0);
  EXPECT_EQ(combs.Log().back(), (TLogRow{TLogIcon::Keep, "Проба", "3", 0}));
}

TEST(FilterValues, LastIndex) {
  EXPECT_EQ(FilterLastIndex(10, 0), 9);
  EXPECT_EQ(FilterLastIndex(10, 3), 6);
  EXPECT_EQ(FilterLastIndex(10, 10), 0) << "an offset of the whole archive";
  EXPECT_EQ(FilterLastIndex(0, 0), 0);
}

TEST(FilterValues, Description) {
  std::string d;
  AppendDescription(d, "7");
  EXPECT_EQ(d, "7");
  AppendDescription(d, "12");
  AppendDescription(d, "3:3");
  EXPECT_EQ(d, "7; 12; 3:3");
}

TEST(FilterValues, CardColumnsLeftToRightSkippingEmptyAndRepeated) {
  const TFilterValues v = CardFilterValues({{"5", "", "17"}, {"", "5", "x"}, {"42", " 17"}});
  ASSERT_EQ(v.Values.size(), 4u);
  EXPECT_EQ(v.Values[0].Key, (TStatKey4{5, 0, 0, 0}));
  EXPECT_EQ(v.Values[1].Key, (TStatKey4{17, 0, 0, 0}));
  EXPECT_EQ(v.Values[2].Key, (TStatKey4{0, 0, 0, 0})) << "an unreadable cell reads 0";
  EXPECT_EQ(v.Values[3].Key, (TStatKey4{42, 0, 0, 0}));
  EXPECT_EQ(v.Values[0].Hits, 0);
  EXPECT_EQ(v.Description, "5; 17; x; 42");
}

TEST(FilterValues, LayoutPiecesWithoutBrackets) {
  const TFilterValues v = LayoutFilterValues({{"[5], 17", "5"}, {"", "[[9]],5,, 44 "}});
  ASSERT_EQ(v.Values.size(), 4u);
  EXPECT_EQ(v.Values[0].Key[0], 5);
  EXPECT_EQ(v.Values[1].Key[0], 17);
  EXPECT_EQ(v.Values[2].Key[0], 9);
  EXPECT_EQ(v.Values[3].Key[0], 44);
  EXPECT_EQ(v.Description, "5; 17; 9; 44");
}

TEST(FilterValues, EmptySelectionIsAnError) {
  for (const TGridCells& cells : {TGridCells{}, TGridCells{{"", ""}, {""}}}) {
    try {
      CardFilterValues(cells);
      ADD_FAILURE() << "no error";
    } catch (const EVexaError& e) {
      EXPECT_STREQ(e.what(), "В выделенном диапазоне нет значений для фильтра!");
    }
    EXPECT_THROW(LayoutFilterValues(cells), EVexaError);
  }
  EXPECT_THROW(LayoutFilterValues({{"[], ,"}}), EVexaError);
}

}  // namespace
}  // namespace vexa

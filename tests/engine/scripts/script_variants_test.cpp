// Filter variants, row conditions and the small texts of a script run.
#include <gtest/gtest.h>

#include <new>
#include <string>
#include <vector>

#include "core/error.h"
#include "core/format.h"
#include "scripts/script_log.h"
#include "scripts/script_runner.h"

namespace vexa {
namespace {

class Variants : public ::testing::Test {
 protected:
  TDrawsArray draws;
  TStatList stats{draws};
  void SetUp() override { stats.RegisterAll(); }

  std::vector<TFilterItem> Items(std::initializer_list<const char*> texts) {
    std::vector<TFilterItem> items;
    for (const char* t : texts) items.push_back(ParseFilterItem(t, stats));
    return items;
  }
  std::string BadFilterText(const char* item) {
    try {
      BuildFilterVariants(Items({item}));
    } catch (const EVexaError& e) {
      return e.what();
    }
    return "";
  }
};

TEST_F(Variants, CartesianProductWithTheFirstFilterSlowest) {
  const TFilterVariants v = BuildFilterVariants(Items({"TSD1#NUMS:10,20#LNO:#SF:1", "BMF2#SUMS:5-15;5#LNO:#ST:3"}));
  ASSERT_EQ(v.Count(), 6);
  const std::vector<std::pair<int, int>> expected = {{10, 5}, {10, 10}, {10, 15}, {20, 5}, {20, 10}, {20, 15}};
  for (int i = 0; i < v.Count(); ++i) {
    const TFilterSet set = v.Set(i);
    EXPECT_EQ(std::make_pair(set[0].DrawsLen, set[1].DrawsLen), expected[static_cast<size_t>(i)]) << i;
    EXPECT_FALSE(set[2].Used);
  }
  EXPECT_EQ(FormatFilterSet(v.Set(4)), "TSD#NUMS:20#LNO:#SF:1 + BMF#SUMS:10#LNO:#ST:3");
}

TEST_F(Variants, SingleValueModesMakeAVariantPerValue) {
  struct TCase {
    const char* Item;
    int Count;
    const char* Arg;   // of the first variant
    const char* Text;  // its LevelText
  };
  const TCase cases[] = {
      {"TSD1#NUMS:10,20#LMV:1,2#SF:1", 4, "1", "1"},        // two values, two lengths
      {"TSD1#NUMS:10,20#LDV:1, 2#SF:1", 2, "1,2", "1, 2"},  // the list as one argument, shown as typed
      {"TSD1#NUMS:10#WDV:1,2#SF:1", 2, "1", "1"},           // "from a list" of the weight column: one each
      {"TSD1#NUMS:10#PXR:3-7;2#SF:1", 3, "3", "3"},
      {"TSD1#NUMS:10#LVA:4,5#SF:1", 1, "4,5", "4,5"},
      {"TSD1#NUMS:10#LNO:anything#SF:1", 1, "anything", "anything"},
  };
  for (const TCase& c : cases) {
    const TFilterVariants v = BuildFilterVariants(Items({c.Item}));
    ASSERT_EQ(v.Count(), c.Count) << c.Item;
    EXPECT_EQ(v.Set(0)[0].LevelArg, c.Arg) << c.Item;
    EXPECT_EQ(v.Set(0)[0].LevelText, c.Text) << c.Item;
  }
  const TFilterVariants lmv = BuildFilterVariants(Items({"TSD1#NUMS:10,20#LMV:1,2#SF:1"}));
  EXPECT_EQ(lmv.Set(1)[0].DrawsLen, 10);
  EXPECT_EQ(lmv.Set(1)[0].LevelArg, "2");
  EXPECT_EQ(lmv.Set(2)[0].DrawsLen, 20);
}

TEST_F(Variants, SingleValueModes) {
  std::string single;
  for (int mode = 0; mode < static_cast<int>(LevelModeCount); ++mode)
    if (IsSingleValueLevelMode(mode)) single += KeywordOf(LevelModes, mode) + " ";
  EXPECT_EQ(single,
            "LMV LMP LLV LLP DMV DMP DLV DLP CMV CMP CLV CLP WMV WLV WDV PIM PIL PIR PAM PAL PAR PXM PXL PXR ");
}

TEST_F(Variants, BadDescriptions) {
  EXPECT_EQ(BadFilterText("TSD1#NUMS:#LNO:#SF:1"), "Некорректное описание фильтра: TSD1#NUMS:#LNO:#SF:1!");
  EXPECT_EQ(BadFilterText("TSD1#NUMS:0-10#LNO:#SF:1"), "Некорректное описание фильтра: TSD1#NUMS:0-10#LNO:#SF:1!");
  EXPECT_EQ(BadFilterText("TSD1#NUMS:10#CMV:#SF:1"), "Некорректное описание фильтра: TSD1#NUMS:10#CMV:#SF:1!");
  EXPECT_EQ(BadFilterText("TSD1"), "Некорректное описание фильтра: TSD1##LNO:#SF:0!");
  EXPECT_EQ(BadFilterText("TSD1#NOSUCH:5#LNO:#SF:1"),
            "Метод расчета статистики \"NOSUCH\" не зарегистрирован в программе!\rФильтр: TSD1#NOSUCH:5#LNO:#SF:1"
            "\r\rВозможно, сценарий создан другой модификацией программы.");
  try {
    BuildFilterVariants({});
    FAIL() << "a line without filters must fail";
  } catch (const EVexaError& e) {
    EXPECT_STREQ(e.what(), "Некорректное описание фильтра: !");
  }
  // The second filter is checked only once the first has a valid choice.
  try {
    BuildFilterVariants(Items({"TSD1#NUMS:5#LNO:#SF:1", "TSD1#SUMS:x#LNO:#SF:1"}));
    FAIL();
  } catch (const EVexaError& e) {
    EXPECT_STREQ(e.what(), "Некорректное описание фильтра: TSD1#SUMS:x#LNO:#SF:1!");
  }
}

TEST_F(Variants, TooManyVariantsAndStops) {
  // 1000 lengths x 1000 values x 1000 lengths: refused before anything is built.
  EXPECT_THROW(BuildFilterVariants(Items({"TSD1#NUMS:1-1000;1#LMV:1-1000;1#SF:1", "TSD1#SUMS:1-1000;1#LNO:#SF:1"})),
               std::bad_alloc);

  int polls = 0;
  std::vector<int> progress;
  TVariantHooks hooks;
  hooks.Stopped = [&] { return ++polls > 5; };
  hooks.Progress = [&](int n) { progress.push_back(n); };
  const TFilterVariants stopped = BuildFilterVariants(Items({"TSD1#NUMS:1-10;1#LNO:#SF:1", "TSD1#SUMS:1-10;1#LNO:#SF:1"}), hooks);
  EXPECT_EQ(stopped.Count(), 4) << "a stop keeps the variants made so far";

  hooks.Stopped = [] { return false; };
  const TFilterVariants all = BuildFilterVariants(Items({"TSD1#NUMS:1-50;1#LMV:1-50;1#SF:1"}), hooks);
  EXPECT_EQ(all.Count(), 2500);
  EXPECT_EQ(progress, (std::vector<int>{1000, 2000}));
}

// ---- Row conditions ------------------------------------------------------------------

TStatValues Row() {
  TStatValues r;
  r.Value = "7";
  r.Count = "12";
  r.CountPercent = "2.50000";
  r.Deviation = "-3";
  r.DeviationPercent = "-10.00000";
  r.Depth = "4";
  r.DepthPercent = "40.00";
  r.Weight = "4.50";
  r.PeriodMin = "2";
  r.Period = "8.3333";
  r.PeriodMax = "20";
  return r;
}

TEST(RowConditions, EveryMode) {
  SetFormatSettings({".", ","});
  struct TCase {
    const char* Mode;
    const char* Arg;
    bool Meets;
  };
  const TCase cases[] = {
      {"LNO", "", true},         {"LMV", "4", true},          {"LMV", "5", false},       {"LMP", "40", true},
      {"LMP", "41", false},      {"LLV", "4", true},          {"LLV", "3", false},       {"LLP", "40", true},
      {"LLP", "39", false},      {"LDV", "1,4", true},        {"LDV", "1,5", false},     {"LDP", "40", true},
      {"LDP", "41,39", false},   {"DMV", "-3", true},         {"DMV", "-2", false},      {"DMP", "-10", true},
      {"DLV", "-4", false},      {"DLP", "-10", true},        {"DDV", "-3", true},       {"DDP", "-10", true},
      {"CMV", "12", true},       {"CMV", "13", false},        {"CMP", "2", true},        {"CMP", "3", false},
      {"CLV", "12", true},       {"CLV", "11", false},        {"CLP", "3", true},        {"CLP", "2", false},
      {"CDV", "11,12", true},    {"CDP", "2", false},         {"WMV", "4", true},        {"WMV", "5", false},
      {"WLV", "5", true},        {"WLV", "4", false},         {"WDV", "4", false},       {"PIM", "2", true},
      {"PIM", "3", false},       {"PIL", "2", true},          {"PIL", "1", false},       {"PIR", "1,2", true},
      {"PAM", "8", true},        {"PAM", "9", false},         {"PAL", "9", true},        {"PAL", "8", false},
      {"PAR", "8", false},       {"PXM", "20", true},         {"PXL", "19", false},      {"PXR", "20", true},
      {"LVA", "6,7", true},      {"LVA", "6", false},
  };
  for (const TCase& c : cases) {
    const int mode = FindKeyword(LevelModes, c.Mode, false);
    ASSERT_GE(mode, 0) << c.Mode;
    EXPECT_EQ(RowMeetsCondition(Row(), 7, static_cast<uint8_t>(mode), c.Arg), c.Meets) << c.Mode << ":" << c.Arg;
  }
}

TEST(RowConditions, UnreadableColumns) {
  SetFormatSettings({".", ","});
  TStatValues never = Row();  // a value that never came: "-" from the depth on
  never.Depth = never.DepthPercent = never.Weight = never.PeriodMin = never.Period = never.PeriodMax = "-";
  never.Deviation = never.DeviationPercent = "-";
  // Thresholds read an unreadable text as 0 ("not less") or 65535 ("not more").
  EXPECT_TRUE(RowMeetsCondition(never, 7, lmLMV, "0"));
  EXPECT_FALSE(RowMeetsCondition(never, 7, lmLMV, "1"));
  EXPECT_FALSE(RowMeetsCondition(never, 7, lmLLV, "100"));
  EXPECT_TRUE(RowMeetsCondition(never, 7, lmLLP, "65535"));
  EXPECT_TRUE(RowMeetsCondition(never, 7, lmWLV, "0")) << "the weight reads as 0 for both";
  EXPECT_FALSE(RowMeetsCondition(never, 7, lmPAM, "1"));
  EXPECT_FALSE(RowMeetsCondition(never, 7, lmPIL, "100"));
  // Lists need a readable column, and arguments must be numbers.
  EXPECT_THROW(RowMeetsCondition(never, 7, lmLDV, "1,2"), EConvertError);
  EXPECT_THROW(RowMeetsCondition(never, 7, lmWDV, "1"), EConvertError);
  EXPECT_THROW(RowMeetsCondition(never, 7, lmPXR, "1"), EConvertError);
  EXPECT_THROW(RowMeetsCondition(Row(), 7, lmCDV, "1,x"), EConvertError);
  EXPECT_THROW(RowMeetsCondition(Row(), 7, lmCMV, "x"), EConvertError);
  try {
    RowMeetsCondition(never, 7, lmDDV, "1");
  } catch (const EConvertError& e) {
    EXPECT_STREQ(e.what(), "Значение \"-\" не является целым числом!");
  }
  // The table's own decimal separator.
  SetFormatSettings({",", " "});
  TStatValues comma = Row();
  comma.Weight = "4,50";
  EXPECT_TRUE(RowMeetsCondition(comma, 7, lmWMV, "4"));
  EXPECT_TRUE(RowMeetsCondition(comma, 7, lmWLV, "5"));
  SetFormatSettings({".", ","});
}

// ---- Texts ----------------------------------------------------------------------------

TEST(ScriptRunTexts, OriginStatusAndLogPadding) {
  EXPECT_EQ(StakeOriginText(3, 12, "comment", "FULL#RAND + TSD#NUMS:20#CMV:3#SF:1"),
            "03.012: comment @ FULL#RAND + TSD#NUMS:20#CMV:3#SF:1");
  EXPECT_EQ(StakeOriginText(11, 1234, "", "EXCL:2#ALL + X"), "11.1234: @ EXCL:2#ALL + X");
  EXPECT_EQ(ScriptStatusText({"Цикл: 1", "Строка: 2", "Ставок: 3", "Фильтр 1 из 2: X"}),
            "Цикл: 1 | Строка: 2 | Ставок: 3 | Фильтр 1 из 2: X");

  const std::string start = PadLogText(ScriptLogStartText, '#');
  EXPECT_EQ(start, "### ЗАПУСК СЦЕНАРИЯ " + std::string(74, '#')) << "94 characters, not bytes";
  EXPECT_EQ(PadLogText(std::string(100, 'x'), '='), std::string(100, 'x'));
  EXPECT_EQ(ScriptLogPattern("/data"), "/data/ScriptLog_*.txt");
}

TEST(ScriptRunTexts, RandomIndexStaysInRange) {
  std::mt19937_64 random(1);
  std::vector<int> seen(7, 0);
  for (int i = 0; i < 7000; ++i) ++seen[RandomIndex(random, 7)];
  for (int n : seen) EXPECT_GT(n, 800);
  EXPECT_EQ(RandomIndex(random, 1), 0u);
}

}  // namespace
}  // namespace vexa

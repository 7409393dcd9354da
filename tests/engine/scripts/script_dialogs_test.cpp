// The line dialog's record and the filter dialog's values, enabling and OK check.
#include "scripts/script_dialogs.h"

#include <gtest/gtest.h>

#include <string>

namespace vexa {
namespace {

class ScriptDialogs : public ::testing::Test {
 protected:
  TDrawsArray draws;
  TStatList stats{draws};

  void SetUp() override { stats.RegisterAll(); }
  const TStatMethod* ListMethod(bool acceptsList) {
    for (int i = 0; i < stats.Count(); ++i)
      if (stats.Items(i).StatClass->AcceptsValueList == acceptsList) return &stats.Items(i);
    return nullptr;
  }
  // A filter the dialog would hand back: NUMS, one window length, no condition.
  TFilterItem Filter(const char* text = "TSD1#NUMS:20#LNO:#SF:1") { return ParseFilterItem(text, stats); }
};

TEST_F(ScriptDialogs, WindowLengths) {
  struct TCase {
    const char* DrawsLen;
    bool Accepted;
  };
  const TCase cases[] = {{"20", true},   {"0, 5", true},  {"10-50;10", true}, {"10,20;30", true},
                         {"0", false},   {"1-10", false}, {"", false},         {"abc", false},
                         {" 0 ", false}, {"5,x", false}};
  for (const TCase& c : cases) {
    TFilterItem item = Filter();
    item.DrawsLen = c.DrawsLen;
    const TFilterCheck check = CheckFilterItem(item);
    if (c.Accepted) {
      EXPECT_EQ(check.Message, "") << c.DrawsLen;
      EXPECT_EQ(check.Focus, TFilterField::None);
    } else {
      EXPECT_EQ(check.Message, "Введен некорректный диапазон значений!") << c.DrawsLen;
      EXPECT_EQ(check.Focus, TFilterField::DrawsLen);
    }
  }
}

TEST_F(ScriptDialogs, LevelValuesAndTheValueListMode) {
  TFilterItem item = Filter("TSD1#NUMS:20#CMV:#SF:1");
  EXPECT_EQ(CheckFilterItem(item).Focus, TFilterField::LevelValue);
  EXPECT_EQ(CheckFilterItem(item).Message, "Введен некорректный диапазон значений!");
  item.LevelValue = "3";
  EXPECT_EQ(CheckFilterItem(item).Message, "");
  item.LevelMode = lmLNO;
  item.LevelValue = "";
  EXPECT_EQ(CheckFilterItem(item).Message, "") << "no condition needs no value";

  const TStatMethod* noList = ListMethod(false);
  ASSERT_NE(noList, nullptr);
  item.Stat = noList;
  item.LevelMode = lmLVA;
  item.LevelValue = "1,2";
  EXPECT_EQ(CheckFilterItem(item).Message,
            "Для данного вида статистики не доступен режим выделения по списку значений!");
  EXPECT_EQ(CheckFilterItem(item).Focus, TFilterField::LevelMode);
  item.LevelMode = lmCDV;
  EXPECT_EQ(CheckFilterItem(item).Message, "") << "other list modes need no support";

  item.Stat = ListMethod(true);
  item.LevelMode = lmLVA;
  EXPECT_EQ(CheckFilterItem(item).Message, "");
  item.LevelValue = "";
  EXPECT_EQ(CheckFilterItem(item).Focus, TFilterField::LevelValue);

  // The window lengths are checked first.
  item.DrawsLen = "0";
  EXPECT_EQ(CheckFilterItem(item).Focus, TFilterField::DrawsLen);
}

TEST_F(ScriptDialogs, NoCountStopWithMultiSelection) {
  TFilterItem item = Filter("TMD1#NUMS:20#LNO:#SC:10");
  ASSERT_TRUE(item.MultiSelect);
  EXPECT_EQ(CheckFilterItem(item).Message,
            "В режиме мультивыделения остановка сценария по количеству комбинаций или чисел не может быть "
            "выполнена!\rВыберите другой способ останова.");
  EXPECT_EQ(CheckFilterItem(item).Focus, TFilterField::StopMode);
  for (uint8_t stop : {smSF, smSZ, smST, smSV, smSP}) {
    item.StopMode = stop;
    EXPECT_EQ(CheckFilterItem(item).Message, "") << int(stop);
  }
  item.MultiSelect = false;
  item.StopMode = smSC;
  EXPECT_EQ(CheckFilterItem(item).Message, "");
}

TEST_F(ScriptDialogs, AFilterWithoutAMethodIsRefused) {
  TFilterItem item = Filter("TSD1#NOSUCH:20#LNO:#SF:1");
  EXPECT_EQ(CheckFilterItem(item).Message, "Не выбран метод расчета статистики (cb: cbDrawsStatType)!");
  EXPECT_EQ(CheckFilterItem(item).Focus, TFilterField::Stat);
}

TEST_F(ScriptDialogs, ValuesWhenTheDialogOpens) {
  const TStatMethod* current = &stats.Items(3);
  const TCdl global{2, -1, 1.5L, true, false};

  const TFilterItem fresh = FilterDialogValues(TFilterItem{}, current, 150, global);
  EXPECT_EQ(fresh.Stat, current);
  EXPECT_EQ(fresh.DrawsLen, "150");
  EXPECT_EQ(fresh.SortOrder, 1);
  EXPECT_FALSE(fresh.BottomUp);
  EXPECT_FALSE(fresh.KeepSelected);
  EXPECT_FALSE(fresh.MultiSelect);
  EXPECT_EQ(fresh.LevelMode, lmLNO);
  EXPECT_EQ(fresh.LevelValue, "");
  EXPECT_FALSE(fresh.CDLOverride);
  EXPECT_EQ(fresh.CoefCount, 2.0L);
  EXPECT_EQ(fresh.CoefLevel, 1.5L);
  EXPECT_TRUE(fresh.CoefPercents);
  EXPECT_EQ(fresh.StopMode, smSF);
  EXPECT_EQ(fresh.StopValue, 1);

  TFilterItem used = Filter("BMF12#SUMS:30#LMV:2#ST:4");
  TFilterItem shown = FilterDialogValues(used, current, 150, global);
  EXPECT_EQ(shown.Stat, used.Stat) << "a used filter keeps its own method";
  EXPECT_EQ(shown.SortOrder, 12);
  EXPECT_EQ(shown.CoefCount, 2.0L) << "global weights while not overridden";
  EXPECT_EQ(shown.StopValue, 4);

  used = Filter("TSD1#SUMS:30#WMV:2#SF:0#0.5:0:0:0:1");
  shown = FilterDialogValues(used, current, 150, global);
  EXPECT_EQ(shown.CoefCount, 0.5L);
  EXPECT_TRUE(shown.CoefAbs);
  EXPECT_FALSE(shown.CoefPercents);
  EXPECT_EQ(shown.StopValue, 1) << "the spin starts at 1";

  // What the dialog hands back with Used set formats as the filter text.
  shown.Used = true;
  EXPECT_EQ(FormatFilterItem(shown), "TSD1#SUMS:30#WMV:2#SF:1#0.5:0:0:0:1");
}

TEST(ScriptDialogEnabling, WeightModesOnly) {
  for (int mode = 0; mode < 32; ++mode) {
    const bool weight = mode >= 19 && mode <= 21;
    const TFilterDialogEnabling off = FilterDialogEnabling(static_cast<uint8_t>(mode), false);
    const TFilterDialogEnabling on = FilterDialogEnabling(static_cast<uint8_t>(mode), true);
    EXPECT_EQ(off.CDLOverride, weight) << mode;
    EXPECT_FALSE(off.Coefficients);
    EXPECT_EQ(on.CDLOverride, weight);
    EXPECT_EQ(on.Coefficients, weight);
  }
}

TEST(ScriptDialogKeys, ValueBoxesTakeDigitsAndSeparators) {
  for (char32_t k : {U'0', U'9', U',', U'-', U';', U'\b', U'\r', U'\x03', U'\x16'}) EXPECT_TRUE(IsFilterValueKey(k));
  for (char32_t k : {U'a', U' ', U'.', U'#', U':', U'|', U'Я'}) EXPECT_FALSE(IsFilterValueKey(k));
}

TEST(ScriptLineDialog, FilledFromALineAndComposedBack) {
  const std::string line = "EXCL:2#FIRST#NEX|TSD1#NUMS:20#CMV:3#SF:1|BSF1#SUMS:10-30;10#LNO:#SC:50| | | | | |test1";
  const TScriptLineInput input = ScriptLineInputOf(line);
  EXPECT_EQ(input.Comment, "test1");
  EXPECT_EQ(input.Options, (TScriptOptions{2, sctExcl, rcmFirst, false, true}));
  EXPECT_EQ(input.Filters[1], "BSF1#SUMS:10-30;10#LNO:#SC:50");
  EXPECT_EQ(input.Filters[6], "");
  EXPECT_EQ(ComposeScriptLine(input), line);

  // Filters typed by hand are stored as typed.
  TScriptLineInput typed = NewScriptLineInput(5);
  EXPECT_EQ(ComposeScriptLine(typed), "FULL:5#RAND| | | | | | | |");
  typed.Filters[3] = "tsd#whatever";
  typed.Options.ResultCombsMode = rcmSysA;
  EXPECT_EQ(ComposeScriptLine(typed), "FULL:5#SYSA| | | |tsd#whatever| | | |");
  EXPECT_EQ(ScriptLineInputOf(ComposeScriptLine(typed)), typed);
}

}  // namespace
}  // namespace vexa

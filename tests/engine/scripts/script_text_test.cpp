// Script lines, options and filters in their text forms.
#include "scripts/script_text.h"

#include <gtest/gtest.h>

#include <array>
#include <string>

#include "core/format.h"

namespace vexa {
namespace {

class ScriptText : public ::testing::Test {
 protected:
  TDrawsArray draws;
  TStatList stats{draws};

  void SetUp() override { stats.RegisterAll(); }
  const TStatMethod* Method(const char* code) {
    const int i = stats.IndexOfCode(code);
    EXPECT_GE(i, 0) << code;
    return i < 0 ? nullptr : &stats.Items(i);
  }
  std::string Normalised(const std::string& text) { return FormatFilterItem(ParseFilterItem(text, stats)); }
};

// ---- Word splitter --------------------------------------------------------------------

TEST(ScriptWords, RunsOfDelimitersCountAsOneAndWordsAreTrimmed) {
  EXPECT_EQ(ExtractWord("||a | b ||c|", 1, "|"), "a");
  EXPECT_EQ(ExtractWord("||a | b ||c|", 2, "|"), "b");
  EXPECT_EQ(ExtractWord("||a | b ||c|", 3, "|"), "c");
  EXPECT_EQ(ExtractWord("||a | b ||c|", 4, "|"), "");
  EXPECT_EQ(ExtractWord("a|b", 0, "|"), "");
  EXPECT_EQ(WordCount("||a | b ||c|", "|"), 3);
  // A blank word is still a word (it only trims to nothing).
  EXPECT_EQ(WordCount("a| |b", "|"), 3);
  EXPECT_EQ(ExtractWord("a| |b", 3, "|"), "b");
  EXPECT_EQ(WordCount("", "|"), 0);
}

// ---- Keyword tables -------------------------------------------------------------------

TEST(ScriptKeywords, TablesHoldTheKeywordsInOrderAndOutOfRangeIsAnError) {
  ASSERT_EQ(LevelModes.size(), 32u);
  ASSERT_EQ(StopModes.size(), 6u);
  const char* levels[] = {"LNO", "LMV", "LMP", "LLV", "LLP", "LDV", "LDP", "DMV", "DMP", "DLV", "DLP",
                          "DDV", "DDP", "CMV", "CMP", "CLV", "CLP", "CDV", "CDP", "WMV", "WLV", "WDV",
                          "PIM", "PIL", "PIR", "PAM", "PAL", "PAR", "PXM", "PXL", "PXR", "LVA"};
  for (int i = 0; i < 32; ++i) {
    EXPECT_EQ(KeywordOf(LevelModes, i), levels[i]);
    EXPECT_EQ(FindKeyword(LevelModes, std::string(levels[i]) + ":7", true), i);
  }
  EXPECT_EQ(KeywordOf(LevelModes, lmLVA), "LVA");
  EXPECT_EQ(KeywordText(LevelModes, lmWDV), "\"Вес\": из заданного списка значений");
  EXPECT_EQ(KeywordText(StopModes, smSZ), "Пока список не будет пуст и откатить на шаг");
  EXPECT_EQ(KeywordText(ResultCombsModes, rcmSysC), "Системная игра [система * комбинации]");
  EXPECT_EQ(KeywordShortText(ResultCombsModes, rcmNone), "Не делать ставок");
  EXPECT_EQ(KeywordText(StartCombsTypes, sctCurr), "Текущий список (для последовательного выполнения)");

  for (int bad : {-1, 32, 255}) {
    EXPECT_EQ(KeywordOf(LevelModes, bad), "# ERROR #");
    EXPECT_EQ(KeywordText(LevelModes, bad), "# ERROR #");
  }
  EXPECT_EQ(KeywordOf(StopModes, 6), "# ERROR #");
  EXPECT_EQ(KeywordOf(ResultCombsModes, 9), "# ERROR #");
  EXPECT_EQ(KeywordShortText(StartCombsTypes, 3), "# ERROR #");

  EXPECT_EQ(FindKeyword(ResultCombsModes, "first", false), rcmFirst);
  EXPECT_EQ(FindKeyword(ResultCombsModes, "FIRSTX", false), -1);
  EXPECT_EQ(FindKeyword(ResultCombsModes, "FIRSTX", true), rcmFirst);
}

// ---- Options ---------------------------------------------------------------------------

TEST(ScriptOptions, TextFormsAndTheirRoundTrips) {
  struct TCase {
    TScriptOptions Options;
    const char* Full;
    const char* Short;
    const char* Display;
  };
  const TCase cases[] = {
      {{0, sctFull, rcmRand, false, false}, "FULL:0#RAND", "FULL#RAND", "Исходный список; Случайно; Все создаваемые ставки"},
      {{3, sctExcl, rcmAll, true, true}, "EXCL:3#ALL#CLR#NEX", "EXCL:3#ALL#NEX",
       "Исключить 3 тиражей; Все; Удалить ставки; Только новые ставки"},
      {{2, sctExcl, rcmFirst, false, true}, "EXCL:2#FIRST#NEX", "EXCL:2#FIRST#NEX",
       "Исключить 2 тиражей; Первая; Только новые ставки"},
      {{7, sctCurr, rcmNone, true, false}, "CURR:7#NONE#CLR", "CURR#NONE",
       "Текущий список; Не делать ставок; Удалить ставки; Все создаваемые ставки"},
      {{0, sctFull, rcmSysC, false, false}, "FULL:0#SYSC", "FULL#SYSC",
       "Исходный список; Система [комб]; Все создаваемые ставки"},
  };
  for (const TCase& c : cases) {
    EXPECT_EQ(FormatScriptOptions(c.Options), c.Full);
    EXPECT_EQ(FormatScriptOptionsShort(c.Options), c.Short);
    EXPECT_EQ(ScriptOptionsText(c.Options), c.Display);
    EXPECT_EQ(ParseScriptOptions(c.Full), c.Options) << c.Full;
  }
  const TScriptOptions bad{0, 5, 12, false, false};
  EXPECT_EQ(FormatScriptOptions(bad), "# ERROR #:0## ERROR #");
}

TEST(ScriptOptions, ParsingIsLenient) {
  EXPECT_EQ(ParseScriptOptions(""), TScriptOptions{});
  EXPECT_EQ(ParseScriptOptions("EXCL:5#ALL#NEX"), (TScriptOptions{5, sctExcl, rcmAll, false, true}));
  // The short form of stake origins (no N) reads back too.
  EXPECT_EQ(ParseScriptOptions("FULL#RAND"), TScriptOptions{});
  EXPECT_EQ(ParseScriptOptions("excl:4#last#nex#clr"), (TScriptOptions{4, sctExcl, rcmLast, true, true}));
  // Unknown words leave the defaults; the flags may come in any order.
  EXPECT_EQ(ParseScriptOptions("XXX:9#WHAT#FOO#CLR"), (TScriptOptions{9, sctFull, rcmRand, true, false}));
  EXPECT_EQ(ParseScriptOptions("EXCL:abc#ALL"), (TScriptOptions{0, sctExcl, rcmAll, false, false}));
  // The result keyword must be whole; the start keyword only begins its word.
  EXPECT_EQ(ParseScriptOptions("EXCLUDE:2#ALLX").ResultCombsMode, rcmRand);
  EXPECT_EQ(ParseScriptOptions("EXCLUDE:2#ALLX").StartCombsType, sctExcl);
}

// ---- Filters ---------------------------------------------------------------------------

TEST_F(ScriptText, FilterFieldsFromTheText) {
  const TFilterItem a = ParseFilterItem("TSD1#NUMS:20#CMV:3#SF:1", stats);
  EXPECT_TRUE(a.Used);
  EXPECT_FALSE(a.BottomUp);
  EXPECT_FALSE(a.MultiSelect);
  EXPECT_FALSE(a.KeepSelected);
  EXPECT_EQ(a.SortOrder, 1);
  EXPECT_EQ(a.Stat, Method("NUMS"));
  EXPECT_EQ(a.StatText, "NUMS:20");
  EXPECT_EQ(a.DrawsLen, "20");
  EXPECT_EQ(a.LevelMode, lmCMV);
  EXPECT_EQ(a.LevelValue, "3");
  EXPECT_EQ(a.StopMode, smSF);
  EXPECT_EQ(a.StopValue, 1);
  EXPECT_FALSE(a.CDLOverride);

  const TFilterItem b = ParseFilterItem("BMF12#sums:10-50;10#LDV:1,2;5#SC:50#1:0,5:-0.25:0:1", stats);
  EXPECT_TRUE(b.BottomUp);
  EXPECT_TRUE(b.MultiSelect);
  EXPECT_TRUE(b.KeepSelected);
  EXPECT_EQ(b.SortOrder, 12) << "the number after the letters is read whole";
  EXPECT_EQ(b.Stat, Method("SUMS"));
  EXPECT_EQ(b.DrawsLen, "10-50;10");
  EXPECT_EQ(b.LevelMode, lmLDV);
  EXPECT_EQ(b.LevelValue, "1,2;5");
  EXPECT_EQ(b.StopMode, smSC);
  EXPECT_EQ(b.StopValue, 50);
  EXPECT_TRUE(b.CDLOverride);
  EXPECT_EQ(b.CoefCount, 1.0L);
  EXPECT_EQ(b.CoefDeviation, 0.5L);
  EXPECT_EQ(b.CoefLevel, -0.25L);
  EXPECT_FALSE(b.CoefPercents);
  EXPECT_TRUE(b.CoefAbs);
  EXPECT_EQ(FormatFilterItem(b), "BMF12#SUMS:10-50;10#LDV:1,2;5#SC:50#1:0.5:-0.25:0:1");
  const TCdl cdl = CdlOf(b);
  EXPECT_EQ(cdl.Count, 1.0L);
  EXPECT_EQ(cdl.Deviation, 0.5L);
  EXPECT_TRUE(cdl.UseAbsValues);
}

TEST_F(ScriptText, FilterDefaultsForMissingOrUnreadableParts) {
  EXPECT_EQ(ParseFilterItem("", stats), TFilterItem{});
  EXPECT_EQ(ParseFilterItem("   ", stats), TFilterItem{});

  const TFilterItem three = ParseFilterItem("TSD#NUMS:20", stats);
  EXPECT_EQ(three.SortOrder, 1) << "three letters only";
  EXPECT_EQ(three.LevelMode, lmLNO);
  EXPECT_EQ(three.LevelValue, "");
  EXPECT_EQ(three.StopMode, smSF);
  EXPECT_EQ(three.StopValue, 0) << "absent stop part";
  EXPECT_EQ(ParseFilterItem("TSDx#NUMS:20", stats).SortOrder, 1);

  const TFilterItem unknown = ParseFilterItem("TSD2#NUMS:20#XYZ:3#QQ:4", stats);
  EXPECT_EQ(unknown.LevelMode, lmLNO);
  EXPECT_EQ(unknown.LevelValue, "");
  EXPECT_EQ(unknown.StopMode, smSF);
  EXPECT_EQ(unknown.StopValue, 0);

  const TFilterItem noValue = ParseFilterItem("TSD2#NUMS:20#LNO:#ST:", stats);
  EXPECT_EQ(noValue.StopMode, smST);
  EXPECT_EQ(noValue.StopValue, 1) << "a stop keyword without a readable value";

  const TFilterItem flags = ParseFilterItem("TSD1#NUMS:20#LNO:#SF:1#x:y:z:true:01", stats);
  EXPECT_TRUE(flags.CDLOverride);
  EXPECT_EQ(flags.CoefCount, 0.0L);
  EXPECT_FALSE(flags.CoefPercents) << "a flag is only exactly 1";
  EXPECT_FALSE(flags.CoefAbs);
}

TEST_F(ScriptText, EveryRegisteredCodeFindsItsOwnMethod) {
  // A code that begins another (SUM1 / SUM10) must not take its place.
  for (int i = 0; i < stats.Count(); ++i) {
    const std::string code = stats.Items(i).Code();
    const TFilterItem item = ParseFilterItem("TSD1#" + code + ":20#LNO:#SF:1", stats);
    ASSERT_EQ(item.Stat, &stats.Items(i)) << code;
    EXPECT_EQ(StatIndexOf(stats, item.Stat), i);
    EXPECT_EQ(FormatFilterItem(item), "TSD1#" + code + ":20#LNO:#SF:1");
  }
  EXPECT_EQ(StatIndexOf(stats, nullptr), -1);
}

TEST_F(ScriptText, AnUnregisteredMethodIsKeptAsText) {
  for (const char* text : {"TSD1#NOSUCH:10-30;10#CMV:2#SF:1", "TSD1#NUMSX:20#LNO:#SF:1", "BSF3#?? 17#LNO:#SV:4"}) {
    const TFilterItem item = ParseFilterItem(text, stats);
    EXPECT_TRUE(item.Used);
    EXPECT_EQ(item.Stat, nullptr) << text;
    EXPECT_EQ(item.DrawsLen, "");
    EXPECT_EQ(FormatFilterItem(item), text) << "the second part stays as it was read";
  }
}

TEST_F(ScriptText, FilterRoundTripsAndNormalisation) {
  // Texts the dialogs produce read back to the same text.
  for (const char* text : {"TSD1#NUMS:20#CMV:3#SF:1", "BSF1#SUMS:10-30;10#LNO:#SC:50", "TMF0#NUMS:5,10,15#LVA:1,2,3#ST:3",
                           "BMD7#SUMS:100#WDV:1;2#SP:40#2.5:-1:1.125:1:0", "TSD1#NUMS:20#PXR:3-9;3#SZ:1"}) {
    const TFilterItem item = ParseFilterItem(text, stats);
    EXPECT_EQ(FormatFilterItem(item), text);
    EXPECT_EQ(ParseFilterItem(FormatFilterItem(item), stats), item);
  }
  // Hand-typed texts come out normalised.
  EXPECT_EQ(Normalised(" tsd#nums:20 "), "TSD1#NUMS:20#LNO:#SF:0");
  EXPECT_EQ(Normalised("TSD5#NUMS:20#cmv:3#sc:10"), "TSD5#NUMS:20#CMV:3#SC:10");
  EXPECT_EQ(Normalised("TSD1#NUMS:20#LNO:#SF:1#0.250:1,5:0:0:0"), "TSD1#NUMS:20#LNO:#SF:1#0.25:1.5:0:0:0");
  EXPECT_EQ(FormatFilterItem(TFilterItem{}), "");
  TFilterItem broken = ParseFilterItem("TSD1#NUMS:20", stats);
  broken.LevelMode = 40;
  broken.StopMode = 9;
  EXPECT_EQ(FormatFilterItem(broken), "TSD1#NUMS:20## ERROR #:## ERROR #:0");
}

TEST(ScriptCoefficients, CommaOrPointAndTheLocaleSeparator) {
  EXPECT_EQ(ReadCoefficient("0,25"), 0.25L);
  EXPECT_EQ(ReadCoefficient("0.25"), 0.25L);
  EXPECT_EQ(ReadCoefficient(" -1.5x "), -1.5L);
  EXPECT_EQ(ReadCoefficient("1e3"), 13.0L) << "letters are dropped";
  EXPECT_EQ(ReadCoefficient(""), 0.0L);
  EXPECT_EQ(ReadCoefficient("1.2.3"), 0.0L);
  EXPECT_EQ(ReadCoefficient("--1"), 0.0L);
  const TFormatSettings saved = FormatSettings();
  SetFormatSettings({"·", " "});
  EXPECT_EQ(ReadCoefficient("0·5"), 0.5L);
  SetFormatSettings(saved);

  EXPECT_EQ(FormatCoefficient(0.5L), "0.5");
  EXPECT_EQ(FormatCoefficient(-1), "-1");
  EXPECT_EQ(FormatCoefficient(0), "0");
  EXPECT_EQ(FormatCoefficient(0.00001L), "0.00001") << "never an exponent";
  for (long double v : {0.1L, 1.0L / 3, 123456.789L, -0.001L})
    EXPECT_EQ(ReadCoefficient(FormatCoefficient(v)), v) << FormatCoefficient(v);
}

// ---- Variants --------------------------------------------------------------------------

TEST_F(ScriptText, FilterSetTextOfVariants) {
  const TFilterItem first = ParseFilterItem("TSD12#NUMS:10,20#CMV:3,4#SF:1", stats);
  const TFilterItem second = ParseFilterItem("BMF1#SUMS:5-15;5#LDV:1, 2#ST:3#0.5:1:0:1:0", stats);
  TFilterSet set{};
  set[0] = MakeFilterPart(first, 20, "4", "4");
  set[2] = MakeFilterPart(second, 5, "1,2", "1, 2");
  EXPECT_EQ(FormatFilterPart(set[0]), "TSD#NUMS:20#CMV:4#SF:1") << "no sort column";
  EXPECT_EQ(FormatFilterSet(set), "TSD#NUMS:20#CMV:4#SF:1 + BMF#SUMS:5#LDV:1, 2#ST:3#0.5:1:0:1:0");
  EXPECT_EQ(FormatFilterSet(TFilterSet{}), "");
  EXPECT_EQ(set[2].SortOrder, 1);
  EXPECT_EQ(set[2].LevelArg, "1,2");
  EXPECT_TRUE(CdlOf(set[2]).UsePercents);

  // Read back (as ratings do), a variant sorts by column 1.
  const TFilterItem back = ParseFilterItem(FormatFilterPart(set[0]), stats);
  EXPECT_EQ(back.SortOrder, 1);
  EXPECT_EQ(back.Stat, Method("NUMS"));
  EXPECT_EQ(back.DrawsLen, "20");
  EXPECT_EQ(back.LevelValue, "4");

  // An unknown method shows its code with the variant's length.
  const TFilterItem unknown = ParseFilterItem("TSD1#ZZZ:10,20#LNO:#SF:1", stats);
  EXPECT_EQ(FormatFilterPart(MakeFilterPart(unknown, 10, "", "")), "TSD#ZZZ:10#LNO:#SF:1");
}

// ---- Lines -----------------------------------------------------------------------------

TEST(ScriptLines, ComposeKeepsNineFields) {
  const std::array<std::string, 7> filters = {"TSD1#NUMS:20#CMV:3#SF:1", "BSF1#SUMS:10-30;10#LNO:#SC:50", "", "", "", "", ""};
  EXPECT_EQ(ComposeScriptLine("EXCL:2#FIRST#NEX", filters, "test1"),
            "EXCL:2#FIRST#NEX|TSD1#NUMS:20#CMV:3#SF:1|BSF1#SUMS:10-30;10#LNO:#SC:50| | | | | |test1");
  EXPECT_EQ(ComposeScriptLine("FULL:0#RAND", filters, "  "),
            "FULL:0#RAND|TSD1#NUMS:20#CMV:3#SF:1|BSF1#SUMS:10-30;10#LNO:#SC:50| | | | | |")
      << "an empty comment is left out";
  // Non-empty fields are written as entered.
  const std::array<std::string, 7> padded = {" TSD1#NUMS:20 ", "  ", "", "", "", "", ""};
  EXPECT_EQ(ComposeScriptLine("", padded, " c "), " | TSD1#NUMS:20 | | | | | | | c ");
}

TEST(ScriptLines, OnlyFilterTwoUsed) {
  const std::array<std::string, 7> filters = {"", "TSD1#NUMS:20#CMV:3#SF:1", "", "", "", "", ""};
  const std::string line = ComposeScriptLine("FULL:0#RAND", filters, "");
  EXPECT_EQ(line, "FULL:0#RAND| |TSD1#NUMS:20#CMV:3#SF:1| | | | | |");
  EXPECT_EQ(ScriptLineOptions(line), "FULL:0#RAND");
  EXPECT_EQ(ScriptLineFilter(line, 1), "");
  EXPECT_EQ(ScriptLineFilter(line, 2), "TSD1#NUMS:20#CMV:3#SF:1");
  for (int i = 3; i <= 7; ++i) EXPECT_EQ(ScriptLineFilter(line, i), "");
  EXPECT_EQ(ScriptLineComment(line), "");
  EXPECT_EQ(ScriptLineFilter(line, 0), "");
  EXPECT_EQ(ScriptLineFilter(line, 8), "");
}

TEST(ScriptLines, FieldsOfTypedLines) {
  const std::string example = "EXCL:2#FIRST#NEX|TSD1#NUMS:20#CMV:3#SF:1|BSF1#SUMS:10-30;10#LNO:#SC:50| | | | | |test1";
  EXPECT_EQ(ScriptLineOptions(example), "EXCL:2#FIRST#NEX");
  EXPECT_EQ(ScriptLineFilter(example, 1), "TSD1#NUMS:20#CMV:3#SF:1");
  EXPECT_EQ(ScriptLineFilter(example, 2), "BSF1#SUMS:10-30;10#LNO:#SC:50");
  EXPECT_EQ(ScriptLineComment(example), "test1");

  // A "|" in the comment cuts it there.
  const std::array<std::string, 7> filters = {"TSD1#NUMS:20", "", "", "", "", "", ""};
  const std::string cut = ComposeScriptLine("FULL:0#RAND", filters, "left|right");
  EXPECT_EQ(ScriptLineComment(cut), "left");

  // Fewer than nine fields: the rest are empty. Runs of "|" count as one.
  EXPECT_EQ(ScriptLineFilter("FULL:0#RAND|TSD1#NUMS:20", 2), "");
  EXPECT_EQ(ScriptLineComment("FULL:0#RAND|TSD1#NUMS:20"), "");
  EXPECT_EQ(ScriptLineFilter("FULL:0#RAND||TSD1#NUMS:20", 1), "TSD1#NUMS:20");
  EXPECT_EQ(ScriptLineOptions("||FULL:0#RAND"), "FULL:0#RAND");

  EXPECT_TRUE(IsScriptSeparator(""));
  EXPECT_TRUE(IsScriptSeparator(" \t "));
  EXPECT_FALSE(IsScriptSeparator("|"));
}

TEST_F(ScriptText, ListViewRow) {
  const auto row = ScriptRow("EXCL:2#FIRST#NEX|tsd1#nums:20#cmv:3#sf:1|BSF1#NOSUCH:5| | | | | |test1", stats);
  EXPECT_EQ(row[0], "test1");
  EXPECT_EQ(row[1], "Исключить 2 тиражей; Первая; Только новые ставки");
  EXPECT_EQ(row[2], "TSD1#NUMS:20#CMV:3#SF:1");
  EXPECT_EQ(row[3], "BSF1#NOSUCH:5#LNO:#SF:0");
  for (size_t i = 4; i < row.size(); ++i) EXPECT_EQ(row[i], "");
  for (const std::string& cell : ScriptRow("  ", stats)) EXPECT_EQ(cell, "");
  EXPECT_EQ(ScriptColumnCaptions[0], std::string("Комментарии"));
  EXPECT_EQ(ScriptColumnCaptions[8], std::string("Фильтр 7"));
  EXPECT_EQ(ScriptCountText(12), "Строк: 12");
}

}  // namespace
}  // namespace vexa

namespace vexa {
namespace {

TEST(RatingLines, StakeOriginsBecomeScriptLines) {
  struct {
    const char* name;
    const char* line;
  } cases[] = {
      {"03.012: comment @ FULL#RAND + TSD#NUMS:20#CMV:3#SF:1",
       "FULL#RAND|TSD#NUMS:20#CMV:3#SF:1| | | | | | |03.012: comment"},
      {"01.002: @ EXCL:5#FIRST + TSD#SUMS:50#LNO:#ST:5 + TMD#EVEN:100#CLV:20#SF:1",
       "EXCL:5#FIRST|TSD#SUMS:50#LNO:#ST:5|TMD#EVEN:100#CLV:20#SF:1| | | | | |01.002:"},
      {"FULL#LAST + TMF#NUMS:10#LNO:#SF:1", "FULL#LAST|TMF#NUMS:10#LNO:#SF:1| | | | | | |"},
      // Nothing to filter by: no line.
      {"05.001: @ FULL:0#RAND", ""},
      {"Ручные ставки", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(RatingScriptLine(c.name), c.line) << c.name;
}

}  // namespace
}  // namespace vexa

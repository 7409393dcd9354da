#include "stakes/ratings.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>

#include "core/codec.h"
#include "core/error.h"
#include "core/format.h"
#include "support/fault.h"
#include "support/scripted_ui.h"
#include "support/temp_dir.h"

namespace vexa {
namespace {

using test::ReadBytes;
using test::TFileSizeLimit;
using test::TScriptedUi;
using test::TTempDir;
using test::WriteBytes;

TStakeRec CheckedStake(const std::string& origin, int overlap, int64_t profit) {
  TStakeRec s;
  s.Kind = StakeScript;
  s.DrawNumber = 10;
  s.Checked = 1;
  s.Matched.Count = overlap;
  s.Profit = profit;
  SetStakeOrigin(s, origin);
  return s;
}

TRating Rating(const std::string& name, int32_t checks, int32_t matchSum, int64_t money = 0) {
  TRating r;
  r.Name = name;
  r.Checks = checks;
  r.MatchSum = matchSum;
  r.Money = money;
  return r;
}

std::vector<std::string> Names(const TRatings& ratings) {
  std::vector<std::string> n;
  for (const TRating& r : ratings.Items()) n.push_back(r.Name);
  return n;
}

int Fields(const std::string& line) {
  int n = 1;
  bool quoted = false;
  for (char c : line) {
    if (c == '"') quoted = !quoted;
    if (c == ';' && !quoted) ++n;
  }
  return n;
}

TEST(RatingRecord, LayoutByteForByte) {
  TRating r;
  r.Name = "Тест";
  r.Checks = 3;
  r.MatchSum = 0x0102;
  r.OverlapHits = {1, 2, 0, 0, 0, 0, 0x7FFFFFFF};
  r.Money = -20000;
  std::string expected(RatingRecordSize, '\0');
  expected.replace(0, 5, "\x04\xD2\xE5\xF1\xF2");
  expected.replace(256, 4, std::string("\x03\x00\x00\x00", 4));
  expected.replace(260, 4, std::string("\x02\x01\x00\x00", 4));
  expected.replace(264, 4, std::string("\x01\x00\x00\x00", 4));
  expected.replace(268, 4, std::string("\x02\x00\x00\x00", 4));
  expected.replace(288, 4, "\xFF\xFF\xFF\x7F");
  expected.replace(296, 8, "\xE0\xB1\xFF\xFF\xFF\xFF\xFF\xFF");
  EXPECT_EQ(EncodeRatings({r}), expected);
  const TRatingsArray back = DecodeRatings(expected + "partial");
  ASSERT_EQ(back.size(), 1u);
  EXPECT_EQ(back[0], r);
}

TEST(RatingsMerge, OriginsDifferingInCaseShareOneRating) {
  TRatings ratings;
  ratings.MergeRating(CheckedStake("01.002: Тест @ FULL", 3, -20000));
  ASSERT_EQ(ratings.Count(), 1);
  const TRating& r = ratings[0];
  EXPECT_EQ(r.Checks, 1);
  EXPECT_EQ(r.MatchSum, 3);
  EXPECT_EQ(r.OverlapHits, (std::array<int32_t, 7>{0, 0, 0, 1, 0, 0, 0}));
  EXPECT_EQ(r.Money, -20000);
  EXPECT_EQ(RatingRow(r, 1)[3], "3.000");

  ratings.MergeRating(CheckedStake("01.002: тЕСТ @ full", 5, 1000000));
  ratings.MergeRating(CheckedStake("другая", 0, -20000));
  TStakeRec unchecked = CheckedStake("третья", 2, 0);
  unchecked.Matched.Count = -1;
  ratings.MergeRating(unchecked);
  ASSERT_EQ(ratings.Count(), 2);
  EXPECT_EQ(ratings[0].Name, "01.002: Тест @ FULL") << "the first spelling names the rating";
  EXPECT_EQ(ratings[0].Checks, 2);
  EXPECT_EQ(ratings[0].MatchSum, 8);
  EXPECT_EQ(ratings[0].Money, 980000);
  EXPECT_EQ(ratings[1].OverlapHits[0], 1);
}

// A rating with Checks 2^31-1 once kept the view busy for minutes (the p
// value); counts beyond what the program writes mark the row damaged.
TEST(RatingsFile, DamagedRatingsAreReportedAndShownAsBadData) {
  TTempDir dir;
  TRating good = Rating("хорошая", 3, 4, -60000);
  good.OverlapHits = {1, 0, 2, 0, 0, 0, 0};
  TRating huge = Rating("огромная", INT32_MAX, 0);
  huge.OverlapHits[0] = INT32_MAX;
  TRating negative = Rating("минус", 2, -1);
  TRating sums = Rating("сумма", 2, 13);
  TScriptedUi ui;
  const auto file = dir / "Korvane_6x45.lrt";
  TRatings seed;
  seed.Assign({good, huge, negative, sums});
  SaveRatings(file, seed, ui);
  TRatings ratings;
  LoadRatings(file, ratings, ui);
  ASSERT_EQ(ratings.Count(), 4) << "kept, so nothing is lost by a save";
  ASSERT_EQ(ui.Messages.size(), 1u);
  EXPECT_EQ(ui.Messages[0].Text, "В файле рейтинга повреждённые записи (3): они показаны как \"# bad data #\".");
  EXPECT_EQ(RatingRow(ratings[0], 1).size(), 20u);
  EXPECT_NE(RatingPValueText(ratings[0]), "");
  for (int i = 1; i < 4; ++i) {
    EXPECT_EQ(RatingRow(ratings[static_cast<size_t>(i)], 1), TListRow{RatingBadData});
    EXPECT_EQ(RatingPValueText(ratings[static_cast<size_t>(i)]), "");
  }
}

// Two profits near the int64 limit once wrapped round in the sum.
TEST(RatingsMerge, SumsSaturate) {
  TRatings ratings;
  ratings.MergeRating(CheckedStake("x", 1, INT64_MAX - 10));
  ratings.MergeRating(CheckedStake("x", 1, INT64_MAX - 10));
  EXPECT_EQ(ratings[0].Money, INT64_MAX);
  ratings.Assign({Rating("y", INT32_MAX, 0, INT64_MIN + 1)});
  ratings.MergeRating(CheckedStake("y", 0, -5));
  EXPECT_EQ(ratings[0].Checks, INT32_MAX);
  EXPECT_EQ(ratings[0].Money, INT64_MIN);
}

TEST(RatingsMerge, FindsTheFirstMatchInArrayOrderAfterLoadAndSort) {
  TRatings ratings;
  // A file may hold names equal but for case; the first one takes the stakes.
  ratings.Assign({Rating("b", 1, 1), Rating("ЁЖ", 1, 2), Rating("ёж", 1, 6)});
  ratings.MergeRating(CheckedStake("Ёж", 1, 0));
  EXPECT_EQ(ratings[1].Checks, 2);
  EXPECT_EQ(ratings[2].Checks, 1);
  ratings.SortRatings(2, true);  // by MatchSum: ёж, ЁЖ, b
  EXPECT_EQ(Names(ratings), (std::vector<std::string>{"ёж", "ЁЖ", "b"}));
  ratings.MergeRating(CheckedStake("ЁЖ", 0, 0));
  EXPECT_EQ(ratings[0].Checks, 2);
  ratings.MergeRating(CheckedStake("B", 0, 0));
  EXPECT_EQ(ratings[2].Checks, 2);
}

TEST(RatingsSort, ByColumns) {
  TRatings ratings;
  ratings.Assign({Rating("в", 4, 4, 40000), Rating("А", 2, 3, -10000), Rating("б", 10, 5, 200000)});
  struct TCase {
    int Column;
    bool Descending;
    std::vector<std::string> Order;
  };
  const TCase cases[] = {
      {0, false, {"А", "б", "в"}}, {1, false, {"А", "в", "б"}},
      {2, true, {"б", "в", "А"}},  {3, true, {"А", "в", "б"}},  // 1.5, 1.0, 0.5
      {4, false, {"А", "в", "б"}}, {5, true, {"б", "в", "А"}},  // 2.00, 1.00, -0.50
  };
  for (const TCase& c : cases) {
    ratings.SortRatings(c.Column, c.Descending);
    EXPECT_EQ(Names(ratings), c.Order) << c.Column;
  }
  const auto before = Names(ratings);
  ratings.SortRatings(15, false);
  EXPECT_EQ(Names(ratings), before) << "the E columns compare equal";
  ratings.SortRatings(-1, false);
  EXPECT_EQ(Names(ratings), before);
}

TEST(RatingsSort, NamesEqualButForCaseAndHugeDifferences) {
  EXPECT_LT(CompareRatings(Rating("abc", 1, 0), Rating("ABC", 1, 0), 0), 0);
  EXPECT_LT(CompareRatings(Rating("abc", 1, 0), Rating("abd", 1, 0), 0), 0);
  // Differences past 32 bits keep their sign.
  EXPECT_LT(CompareRatings(Rating("a", 1, 0, 0), Rating("b", 1, 0, 1000000000000000), 4), 0);
  EXPECT_GT(CompareRatings(Rating("a", 2147483647, 0), Rating("b", 1, 0), 1), 0);
  EXPECT_EQ(CompareRatings(Rating("a", 0, 0), Rating("b", 5, 5), 2), 0);
  // Means closer than 0.005 round to the same hundredths.
  EXPECT_EQ(CompareRatings(Rating("a", 1000, 1001), Rating("b", 1000, 1004), 3), 0);
}

TEST(RatingsSort, RowsWithoutChecksNeverBreakTheSort) {
  std::mt19937 rng(3);
  TRatingsArray items;
  for (int i = 0; i < 500; ++i)
    items.push_back(Rating("r" + std::to_string(i), (rng() % 3 == 0) ? 0 : static_cast<int32_t>(rng() % 50 + 1),
                           static_cast<int32_t>(rng() % 100)));
  for (int column = 0; column <= 12; ++column) {
    TRatings ratings;
    ratings.Assign(items);
    ratings.SortRatings(column, column % 2 == 0);
    auto got = ratings.Items();
    auto want = items;
    auto byName = [](const TRating& a, const TRating& b) { return a.Name < b.Name; };
    std::sort(got.begin(), got.end(), byName);
    std::sort(want.begin(), want.end(), byName);
    EXPECT_EQ(got, want) << "a permutation of the rows, column " << column;
  }
  // Without such rows the order is a true sort.
  TRatingsArray checkedOnly;
  for (const TRating& r : items)
    if (r.Checks > 0) checkedOnly.push_back(r);
  TRatings ratings;
  ratings.Assign(checkedOnly);
  ratings.SortRatings(1, false);
  for (size_t i = 1; i < ratings.Items().size(); ++i) EXPECT_LE(ratings[i - 1].Checks, ratings[i].Checks);
}

TEST(RatingsView, ModeColumns) {
  SetFormatSettings({".", ","});
  TRating hundred = Rating("x", 100, 80);
  hundred.OverlapHits = {40, 42, 15, 3, 0, 0, 0};
  const TListRow mode0 = RatingRow(hundred, 0);
  ASSERT_EQ(mode0.size(), 20u);
  // 100 × P(k): 40.06, 42.41, 15.15, 2.24, 0.14, 0.003, 0.00001
  EXPECT_EQ(std::vector<std::string>(mode0.begin() + 13, mode0.end()),
            (std::vector<std::string>{"40", "42", "15", "2", "0", "0", "0"}));
  // Absolute: 3 × 100 / 100 − 100 × 182780 / 8145060 = 3 − 2.24406...
  EXPECT_EQ(RatingRow(hundred, 1)[16], "0.756%");

  TRating expected = Rating("ровно", AllCombsCount, 0);
  for (int k = 0; k <= 6; ++k) {
    expected.OverlapHits[static_cast<size_t>(k)] = static_cast<int32_t>(CountWithMatches(k));
    expected.MatchSum += static_cast<int32_t>(k * CountWithMatches(k));
  }
  const TListRow mode2 = RatingRow(expected, 2);
  for (int c = 13; c < 20; ++c) EXPECT_EQ(mode2[static_cast<size_t>(c)], "100.000%");
  const TListRow mode1 = RatingRow(expected, 1);
  for (int c = 13; c < 20; ++c) EXPECT_EQ(mode1[static_cast<size_t>(c)], "0.000%");
}

TEST(RatingsView, AllColumns) {
  SetFormatSettings({",", " "});
  TRating r = Rating("имя", 3, 4, -25001);
  r.OverlapHits = {1, 1, 0, 0, 0, 0, 1};
  const TListRow row = RatingRow(r, 1);
  const std::vector<std::string> head(row.begin(), row.begin() + 13);
  EXPECT_EQ(head,
            (std::vector<std::string>{"имя", "3", "4", "1,333", "-2,50", "-0,83", "1", "1", "0", "0", "0", "0", "1"}));
  SetFormatSettings({".", ","});
  const TListRow empty = RatingRow(Rating("пусто", 0, 0), 0);
  EXPECT_EQ(empty[3], "");
  EXPECT_EQ(empty[5], "");
  EXPECT_EQ(empty[13], "");
  EXPECT_EQ(empty[4], "0.00");
}

TEST(RatingsCsv, HeaderOf20FieldsAndLinesOf13) {
  SetFormatSettings({".", ","});
  TRating a = Rating("с \"кавычками\"", 2, 3, 15000);
  a.OverlapHits = {0, 1, 1, 0, 0, 0, 0};
  const std::string csv = Cp1251ToUtf8(RatingsCsv({a, Rating("ноль", 0, 0)}));
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t end; (end = csv.find("\r\n", start)) != std::string::npos; start = end + 2)
    lines.push_back(csv.substr(start, end - start));
  EXPECT_EQ(start, csv.size()) << "every line ends with CR LF";
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(Fields(lines[0]), 20);
  EXPECT_EQ(lines[0].rfind("\"Комментарий\";\"Ставок\";\"Угадано\";\"Среднее\";", 0), 0u);
  EXPECT_EQ(lines[0].substr(lines[0].size() - 10), ";\"E5\";\"E6\"");
  EXPECT_EQ(lines[1], "\"с \"\"кавычками\"\"\";2;3;1.500;1.50;0.75;0;1;1;0;0;0;0");
  EXPECT_EQ(Fields(lines[1]), 13);
  EXPECT_EQ(Fields(lines[2]), 13);
}

TEST(RatingsCsv, ExportWritesCp1251AndKeepsTheOldFileOnFailure) {
  TTempDir dir;
  TScriptedUi ui;
  const auto file = dir / "r.csv";
  RatingsExport(file, {Rating("имя", 1, 1)}, ui);
  EXPECT_EQ(ReadBytes(file), RatingsCsv({Rating("имя", 1, 1)}));
  EXPECT_EQ(ui.Statuses.back(), "Экспорт в CSV-файл...");
  TRatingsArray many(100, Rating(std::string(200, 'x'), 1, 1));
  {
    TFileSizeLimit limit(1000);
    EXPECT_THROW(RatingsExport(file, many, ui), EVexaError);
  }
  EXPECT_EQ(ReadBytes(file), RatingsCsv({Rating("имя", 1, 1)}));
}

TEST(RatingsFile, SaveLoadAndAFailedSave) {
  TTempDir dir;
  TScriptedUi ui;
  const auto file = dir / "Korvane_6x45.lrt";
  TRatings ratings;
  LoadRatings(file, ratings, ui);  // missing: nothing
  EXPECT_TRUE(ratings.Empty());
  ratings.Assign({Rating("один", 1, 2, 3), Rating("два", 4, 5, 6)});
  SaveRatings(file, ratings, ui);
  TRatings back;
  LoadRatings(file, back, ui);
  EXPECT_EQ(back.Items(), ratings.Items());
  const std::string before = ReadBytes(file);
  ratings.Assign(TRatingsArray(20, Rating("x", 1, 1)));
  {
    TFileSizeLimit limit(RatingRecordSize * 3);
    try {
      SaveRatings(file, ratings, ui);
      FAIL();
    } catch (const EVexaError& e) {
      EXPECT_EQ(std::string(e.what()).rfind("Ошибка записи в файл рейтинга!\r\r", 0), 0u);
    }
  }
  EXPECT_EQ(ReadBytes(file), before);
}

TEST(RatingsToScript, LineFromARatingName) {
  struct TCase {
    const char* Name;
    bool Ok;
    const char* Line;
  };
  const TCase cases[] = {
      {"01.002: test @ FULL#RAND + TSD#NUMS:20#CMV:3#SF:1", true,
       "FULL#RAND|TSD#NUMS:20#CMV:3#SF:1| | | | | | |01.002: test"},
      {"Ставка \"вручную\"", false, ""},
      {"03.001: a @ FULL + NUMS:1 + SUMS:2", true, "FULL|NUMS:1|SUMS:2| | | | | |03.001: a"},
      {"FULL + NUMS:1", true, "FULL|NUMS:1| | | | | | |"},
      {"x @ FULL", false, ""},
  };
  for (const TCase& c : cases) {
    std::string line;
    EXPECT_EQ(RatingToScriptLine(c.Name, line), c.Ok) << c.Name;
    if (c.Ok) {
      EXPECT_EQ(line, c.Line);
    }
  }
  EXPECT_EQ(RatingToScriptError("Ставка"), "Строку\r\rСтавка\r\rневозможно добавить в сценарий!");
}

TEST(RatingsGraph, NormalSeriesScaledToTheLargestRow) {
  TRating a = Rating("a", 100, 80);
  a.OverlapHits = {40, 42, 15, 3, 0, 0, 0};
  TRating b = Rating("b", 8145060, 0);
  const auto series = RatingsGraphOverlap({b, a}, {1});
  ASSERT_EQ(series.size(), 2u);
  EXPECT_EQ(series[0].Title, "Нормальные значения");
  EXPECT_EQ(series[0].Color, 0x808080);
  EXPECT_NEAR(series[0].Points[0].Y, 100.0 * 3262623 / 8145060, 1e-9);
  EXPECT_EQ(series[0].Points[6].X, 6);
  EXPECT_EQ(series[1].Title, "a");
  EXPECT_EQ(series[1].Points[1].Y, 42);
}

}  // namespace
}  // namespace vexa

#include "core/list_compare.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace vexa {
namespace {

std::vector<std::string> SortedBy(std::vector<TListRow> rows, int column, bool descending) {
  std::stable_sort(rows.begin(), rows.end(), [&](const TListRow& a, const TListRow& b) {
    return CompareListRows(a, b, column, descending) < 0;
  });
  std::vector<std::string> captions;
  for (const auto& r : rows) captions.push_back(r[0]);
  return captions;
}

TEST(ListCompare, DecimalCommaNumbersSortAsNumbers) {
  const std::vector<TListRow> rows = {{"a", "10"}, {"b", "9"}, {"c", "9,5"}};
  EXPECT_EQ(SortedBy(rows, 1, false), (std::vector<std::string>{"b", "c", "a"}));
  EXPECT_EQ(SortedBy(rows, 1, true), (std::vector<std::string>{"a", "c", "b"}));
}

TEST(ListCompare, TextsAndMixedColumns) {
  struct Case {
    const char* a;
    const char* b;
    int sign;
  } cases[] = {
      {"abc", "ABD", -1}, {"Б", "а", 1},   {"ёж", "ЕЖ", 1},   {"ёж", "жук", -1}, {"-", "5", -1},
      {"12", "9", 1},     {"12", "9x", -1}, {"-1,5", "-1", -1}, {"", "0", -1},     {"same", "SAME", 0},
  };
  for (const auto& c : cases) {
    const int r = CompareListTexts(c.a, c.b);
    EXPECT_EQ((r > 0) - (r < 0), c.sign) << c.a << " vs " << c.b;
  }
}

TEST(ListCompare, TiesAndMissingColumnsUseCaptions) {
  const std::vector<TListRow> rows = {{"z", "1"}, {"x", "1"}, {"y"}, {"w", "0"}};
  // "y" lacks column 1: compared with the others by caption.
  const auto order = SortedBy(rows, 1, false);
  EXPECT_EQ(order.front(), "w");
  EXPECT_LT(std::find(order.begin(), order.end(), "x"), std::find(order.begin(), order.end(), "z"));
  EXPECT_EQ(SortedBy(rows, 0, false), (std::vector<std::string>{"w", "x", "y", "z"}));
}

TEST(ListCompare, SortColumnRange) {
  EXPECT_EQ(CheckSortColumn(-1, 3), "");
  EXPECT_EQ(CheckSortColumn(2, 3), "");
  EXPECT_EQ(CheckSortColumn(3, 3), "Некорректное занчение номера столбца сортировки (3)");
  EXPECT_EQ(CheckSortColumn(-2, 3), "Некорректное занчение номера столбца сортировки (-2)");
}

}  // namespace
}  // namespace vexa

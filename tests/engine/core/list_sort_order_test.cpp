#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "core/list_compare.h"

namespace vexa {
namespace {

// The keyed sort gives the order of a stable sort with CompareListRows.
TEST(SortListOrder, SameAsTheRowComparison) {
  const std::vector<std::string> samples{"10", "9", "9,5", "-", "abc", "Абв", "абв", "ёж", "еж", "+3", "-2",
                                         "0.00000", "100.00000", "", " 7 ", "1e3", "x1", "1,5", "2", "-",
                                         // past eight letters, prefixes of each other, mixed scripts
                                         "5:17:30", "5:17:3", "5:7", "5:17:30:44", "abcdefghij", "abcdefghik",
                                         "ABCDEFGH", "abcdefgh", "abЖ", "ab", "ab ", std::string("ab\0c", 4),
                                         // integers read without strtod, and the longer ones with it
                                         "-0", "007", "+7", "123456789012345", "1234567890123456", "-12"};
  std::mt19937 random(5);
  std::vector<TListRow> rows;
  for (int r = 0; r < 600; ++r) {
    TListRow row;
    for (int c = 0; c < 4; ++c) row.push_back(samples[random() % samples.size()]);
    rows.push_back(row);
  }
  for (int column = 0; column < 4; ++column) {
    for (bool descending : {false, true}) {
      std::vector<int> expected(rows.size());
      for (size_t i = 0; i < expected.size(); ++i) expected[i] = static_cast<int>(i);
      std::stable_sort(expected.begin(), expected.end(), [&](int a, int b) {
        return CompareListRows(rows[static_cast<size_t>(a)], rows[static_cast<size_t>(b)], column, descending) < 0;
      });
      const std::vector<int> order = SortListOrder(
          static_cast<int>(rows.size()),
          [&](int r, int c) -> std::string_view { return rows[static_cast<size_t>(r)][static_cast<size_t>(c)]; },
          column, descending);
      EXPECT_EQ(order, expected) << "column " << column << (descending ? " descending" : "");
    }
  }
  EXPECT_TRUE(SortListOrder(0, [](int, int) { return std::string_view(); }, 1, false).empty());
}

}  // namespace
}  // namespace vexa

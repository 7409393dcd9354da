// Row order of the program's sortable lists.
//
// A row is its caption followed by its sub-item texts. Two texts compare as
// numbers when both read as decimal numbers once every "," is made "."
// (so 9 < 9,5 < 10); otherwise as text, without regard to case. A tie in a
// column other than the caption is settled by the captions.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace vexa {

using TListRow = std::vector<std::string>;

// <0, 0 or >0. column: 0 the caption, k the k-th sub-item; a row without
// that column is compared by captions.
int CompareListRows(const TListRow& a, const TListRow& b, int column, bool descending);

// The text comparison alone: numbers as numbers, else case-insensitive text.
int CompareListTexts(std::string_view a, std::string_view b);

// The order of rows sorted by a column, the same as a stable sort with
// CompareListRows, each text read once: for long lists. cell(row, column)
// gives a text that stays valid during the call.
std::vector<int> SortListOrder(int rows, const std::function<std::string_view(int row, int column)>& cell, int column,
                               bool descending);

// Case-insensitive comparison of UTF-8 texts (Latin and Cyrillic letters;
// "ё" sorts right after "е").
int CompareTextNoCase(std::string_view a, std::string_view b);

// Sort-column check: "Некорректное занчение номера столбца сортировки (%d)"
// unless -1 <= column < columns. Returns the message, or "" when valid.
std::string CheckSortColumn(int column, int columns);

}  // namespace vexa

#include "core/list_compare.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>

#include "core/format.h"
#include "core/game.h"

namespace vexa {
namespace {

bool ReadDecimal(std::string_view text, double& value) {
  std::string s(Trim(text));
  if (s.empty()) return false;
  for (char& c : s) {
    if (c == ',') c = '.';
    // Only plain decimal forms: no hex, inf or nan.
    if (!((c >= '0' && c <= '9') || c == '.' || c == '-' || c == '+' || c == 'e' || c == 'E')) return false;
  }
  char* end = nullptr;
  errno = 0;
  value = std::strtod(s.c_str(), &end);
  return end == s.c_str() + s.size() && errno == 0 && std::isfinite(value);
}

char32_t Next(std::string_view s, size_t& i) {
  const auto b0 = static_cast<unsigned char>(s[i++]);
  if (b0 < 0x80) return b0;
  int extra = (b0 & 0xE0) == 0xC0 ? 1 : (b0 & 0xF0) == 0xE0 ? 2 : (b0 & 0xF8) == 0xF0 ? 3 : 0;
  char32_t cp = extra == 1 ? (b0 & 0x1F) : extra == 2 ? (b0 & 0x0F) : (b0 & 0x07);
  for (int k = 0; k < extra && i < s.size(); ++k) cp = (cp << 6) | (static_cast<unsigned char>(s[i++]) & 0x3F);
  return cp;
}

// A sort weight: lower case, with "ё" between "е" and "ж".
uint64_t Weight(char32_t cp) {
  if (cp >= 'A' && cp <= 'Z') cp += 32;
  if (cp >= 0x0410 && cp <= 0x042F) cp += 32;
  if (cp == 0x0401) cp = 0x0451;
  if (cp == 0x0451) return (static_cast<uint64_t>(0x0435) << 1) | 1;
  return static_cast<uint64_t>(cp) << 1;
}

}  // namespace

int CompareTextNoCase(std::string_view a, std::string_view b) {
  size_t i = 0;
  size_t j = 0;
  while (i < a.size() && j < b.size()) {
    const uint64_t x = Weight(Next(a, i));
    const uint64_t y = Weight(Next(b, j));
    if (x != y) return x < y ? -1 : 1;
  }
  if (i < a.size()) return 1;
  if (j < b.size()) return -1;
  return 0;
}

int CompareListTexts(std::string_view a, std::string_view b) {
  double x = 0;
  double y = 0;
  if (ReadDecimal(a, x) && ReadDecimal(b, y)) return x < y ? -1 : (x > y ? 1 : 0);
  return CompareTextNoCase(a, b);
}

int CompareListRows(const TListRow& a, const TListRow& b, int column, bool descending) {
  static const std::string empty;
  const std::string& captionA = a.empty() ? empty : a[0];
  const std::string& captionB = b.empty() ? empty : b[0];
  int result = 0;
  if (column > 0 && static_cast<size_t>(column) < a.size() && static_cast<size_t>(column) < b.size()) {
    result = CompareListTexts(a[static_cast<size_t>(column)], b[static_cast<size_t>(column)]);
    if (result == 0) result = CompareListTexts(captionA, captionB);
  } else {
    result = CompareListTexts(captionA, captionB);
  }
  return descending ? -result : result;
}

std::string CheckSortColumn(int column, int columns) {
  if (column < -1 || column > columns - 1)
    return Format("Некорректное занчение номера столбца сортировки (%d)", {column});
  return "";
}


namespace {

// A text read once: its number when it reads as one.
struct TListKey {
  std::string_view Text;
  double Number = 0;
  bool IsNumber = false;
};

int CompareKeys(const TListKey& a, const TListKey& b) {
  if (a.IsNumber && b.IsNumber) return a.Number < b.Number ? -1 : (a.Number > b.Number ? 1 : 0);
  return CompareTextNoCase(a.Text, b.Text);
}

}  // namespace

std::vector<int> SortListOrder(int rows, const std::function<std::string_view(int row, int column)>& cell, int column,
                               bool descending) {
  std::vector<TListKey> keys(static_cast<size_t>(std::max(rows, 0)));
  std::vector<TListKey> captions(keys.size());
  for (int r = 0; r < rows; ++r) {
    TListKey& c = captions[static_cast<size_t>(r)];
    c.Text = cell(r, 0);
    c.IsNumber = ReadDecimal(c.Text, c.Number);
    TListKey& k = keys[static_cast<size_t>(r)];
    if (column > 0) {
      k.Text = cell(r, column);
      k.IsNumber = ReadDecimal(k.Text, k.Number);
    } else {
      k = c;
    }
  }
  std::vector<int> order(keys.size());
  for (size_t i = 0; i < order.size(); ++i) order[i] = static_cast<int>(i);
  std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
    int result = CompareKeys(keys[static_cast<size_t>(a)], keys[static_cast<size_t>(b)]);
    if (result == 0 && column > 0) result = CompareKeys(captions[static_cast<size_t>(a)], captions[static_cast<size_t>(b)]);
    return descending ? result > 0 : result < 0;
  });
  return order;
}

}  // namespace vexa

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
  // Plain integers (most columns) without strtod: up to 15 digits are exact in a double.
  {
    size_t i = !text.empty() && (text[0] == '-' || text[0] == '+') ? 1 : 0;
    const size_t digits = text.size() - i;
    if (digits > 0 && digits <= 15) {
      int64_t n = 0;
      for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) n = n * 10 + (text[i] - '0');
      if (i == text.size()) {
        value = text[0] == '-' ? -static_cast<double>(n) : static_cast<double>(n);
        return true;
      }
    }
  }
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

// A text read once: its number when it reads as one, and its sort weights
// (as CompareTextNoCase takes them) at Weights[Offset .. Offset + Length).
// Short plain texts also carry their first eight weights packed into Prefix,
// so most comparisons of captions such as "5:17:30" are one integer compare.
struct TListKey {
  double Number = 0;
  uint64_t Prefix = 0;  // weights 0..7 one byte each, the first highest
  uint32_t Offset = 0;
  uint32_t Length = 0;
  bool IsNumber = false;
  bool HasPrefix = false;  // each of the first eight weights fits a byte
};

class TListKeys {
 public:
  void Add(TListKey& key, std::string_view text) {
    key.IsNumber = ReadDecimal(text, key.Number);
    key.Offset = static_cast<uint32_t>(Weights_.size());
    // Every weight is below 2^22: a code point of 21 bits shifted once.
    for (size_t i = 0; i < text.size();) Weights_.push_back(static_cast<uint32_t>(Weight(Next(text, i))));
    key.Length = static_cast<uint32_t>(Weights_.size() - key.Offset);
    key.HasPrefix = true;
    key.Prefix = 0;
    for (uint32_t k = 0; k < 8; ++k) {
      const uint32_t w = k < key.Length ? Weights_[key.Offset + k] : 0;
      if (w > 0xFF) key.HasPrefix = false;
      key.Prefix = (key.Prefix << 8) | (w & 0xFF);
    }
  }

  int Compare(const TListKey& a, const TListKey& b) const {
    if (a.IsNumber && b.IsNumber) return a.Number < b.Number ? -1 : (a.Number > b.Number ? 1 : 0);
    // Unequal prefixes order the texts; equal ones (or a zero weight as padding) need the rest.
    if (a.HasPrefix && b.HasPrefix && a.Prefix != b.Prefix) return a.Prefix < b.Prefix ? -1 : 1;
    const uint32_t* x = Weights_.data() + a.Offset;
    const uint32_t* y = Weights_.data() + b.Offset;
    const uint32_t n = std::min(a.Length, b.Length);
    for (uint32_t i = 0; i < n; ++i)
      if (x[i] != y[i]) return x[i] < y[i] ? -1 : 1;
    return a.Length < b.Length ? -1 : (a.Length > b.Length ? 1 : 0);
  }

 private:
  std::vector<uint32_t> Weights_;
};

}  // namespace

std::vector<int> SortListOrder(int rows, const std::function<std::string_view(int row, int column)>& cell, int column,
                               bool descending) {
  // The keys travel with their rows: the sort reads them in place, without a
  // jump through the row index for every comparison.
  struct TItem {
    TListKey Key;
    TListKey Caption;
    int Row = 0;
  };
  const auto count = static_cast<size_t>(std::max(rows, 0));
  std::vector<TItem> items(count);
  TListKeys weights;
  for (int r = 0; r < rows; ++r) {
    TItem& item = items[static_cast<size_t>(r)];
    item.Row = r;
    weights.Add(item.Key, cell(r, std::max(column, 0)));
    if (column > 0) weights.Add(item.Caption, cell(r, 0));
  }
  std::stable_sort(items.begin(), items.end(), [&](const TItem& a, const TItem& b) {
    int result = weights.Compare(a.Key, b.Key);
    if (result == 0 && column > 0) result = weights.Compare(a.Caption, b.Caption);
    return descending ? result > 0 : result < 0;
  });
  std::vector<int> order(count);
  for (size_t i = 0; i < count; ++i) order[i] = items[i].Row;
  return order;
}

}  // namespace vexa

#include "core/game.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

#include "core/codec.h"
#include "core/error.h"
#include "core/format.h"

namespace vexa {

// ---- Records ------------------------------------------------------------

void EncodeDraw(const TDraw& draw, unsigned char* out) {
  const auto n = static_cast<uint32_t>(draw.Number);
  out[0] = static_cast<unsigned char>(n & 0xFF);
  out[1] = static_cast<unsigned char>((n >> 8) & 0xFF);
  out[2] = static_cast<unsigned char>((n >> 16) & 0xFF);
  out[3] = static_cast<unsigned char>((n >> 24) & 0xFF);
  std::memcpy(out + 4, draw.Nums.data(), MainCount);
  std::memcpy(out + 10, draw.Supp.data(), SuppCount);
  std::memcpy(out + 12, draw.Date.data(), draw.Date.size());
}

TDraw DecodeDraw(const unsigned char* in) {
  TDraw d;
  const uint32_t n = static_cast<uint32_t>(in[0]) | (static_cast<uint32_t>(in[1]) << 8) |
                     (static_cast<uint32_t>(in[2]) << 16) | (static_cast<uint32_t>(in[3]) << 24);
  d.Number = static_cast<int32_t>(n);
  std::memcpy(d.Nums.data(), in + 4, MainCount);
  std::memcpy(d.Supp.data(), in + 10, SuppCount);
  std::memcpy(d.Date.data(), in + 12, d.Date.size());
  return d;
}

std::string DrawDateText(const TDraw& draw) {
  const size_t len = std::min<size_t>(draw.Date[0], DrawDateMaxLen);
  return Cp1251ToUtf8(std::string_view(reinterpret_cast<const char*>(draw.Date.data() + 1), len));
}

void SetDrawDateText(TDraw& draw, std::string_view text) {
  std::string raw = Utf8ToCp1251(text);
  if (raw.size() > DrawDateMaxLen) raw.resize(DrawDateMaxLen);
  draw.Date.fill(0);
  draw.Date[0] = static_cast<uint8_t>(raw.size());
  std::memcpy(draw.Date.data() + 1, raw.data(), raw.size());
}

// ---- Counting -----------------------------------------------------------

long double Factorial(int n) {
  long double f = 1;
  for (int i = 2; i <= n; ++i) f *= i;
  return f;
}

int64_t Binomial(int n, int k) {
  if (k < 0 || n < 0) return 0;
  if (k >= n) return 1;
  // k steps of the product, not n: a count read from a damaged file may be
  // huge. A result past int64 saturates.
  k = std::min(k, n - k);
  long double r = 1;
  for (int i = 1; i <= k; ++i) r = r * (n - k + i) / i;
  if (r >= 9223372036854775807.0L) return INT64_MAX;
  return std::llround(r);
}

int64_t CountWithMatches(int k) {
  if (k < 0 || k > MainCount) return 0;
  // C(6,k) * C(39,6-k) as falling factorials over factorials.
  long double a = 1;
  for (int i = 0; i < k; ++i) a *= (MainCount - i);
  long double b = 1;
  for (int i = 0; i < MainCount - k; ++i) b *= (MaxNumber - MainCount - i);
  return std::llround(a / Factorial(k) * b / Factorial(MainCount - k));
}

int GroupOf(int n, int size) {
  if (size <= 0) return 0;
  return n / size + (n % size != 0 ? 1 : 0);
}

int GroupCount(int lo, int hi, int size) {
  if (lo == 0) return GroupOf(hi, size);
  return GroupOf(hi - lo + 1, size);
}

int MatrixCol(int n, int cols) { return cols <= 0 ? 0 : (n - 1) % cols + 1; }
int MatrixRow(int n, int cols) { return cols <= 0 ? 0 : (n - 1) / cols + 1; }
int MatrixNumber(int lo, int row0, int cols, int col0) { return lo + row0 * cols + col0; }

int ShiftNumber(int n, int d) {
  if (d == 0) return n;
  // In 64 bits: a step read from a damaged file may be anything.
  int64_t r = static_cast<int64_t>(n) + d;
  if (r <= 0 && d < 0) r += MaxNumber;
  if (r > MaxNumber && d > 0) r -= MaxNumber;
  return static_cast<int>(std::clamp<int64_t>(r, INT32_MIN, INT32_MAX));
}

TComb ShiftComb(const TComb& comb, int d) {
  TComb r;
  for (size_t i = 0; i < comb.size(); ++i) r[i] = static_cast<uint8_t>(ShiftNumber(comb[i], d));
  return r;
}

// ---- Membership and sets ------------------------------------------------

bool NumInDraw(int n, const TDraw& draw) {
  return std::find(draw.Nums.begin(), draw.Nums.end(), n) != draw.Nums.end();
}

bool NumInComb(int n, const TComb& comb) { return std::find(comb.begin(), comb.end(), n) != comb.end(); }

bool NumInList(int n, const TByteArray& bytes) { return std::find(bytes.begin(), bytes.end(), n) != bytes.end(); }

bool GroupInDraw(int g, const TDraw& draw, int size) {
  return std::any_of(draw.Nums.begin(), draw.Nums.end(), [&](uint8_t n) { return GroupOf(n, size) == g; });
}

bool MapInDraw(int v, const TDraw& draw, const std::array<uint8_t, MaxNumber>& map) {
  return std::any_of(draw.Nums.begin(), draw.Nums.end(),
                     [&](uint8_t n) { return n >= 1 && n <= MaxNumber && map[n - 1u] == v; });
}

void AddUniqueNum(int n, TByteArray& bytes) {
  if (!NumInList(n, bytes)) bytes.push_back(static_cast<uint8_t>(n));
}

void AddNum(int n, TByteArray& bytes) { bytes.push_back(static_cast<uint8_t>(n)); }

TComb DrawToComb(const TDraw& draw) { return draw.Nums; }

TNumList CombToNumList(const TComb& comb) {
  TNumList l;
  l.Count = MainCount;
  std::copy(comb.begin(), comb.end(), l.Nums.begin());
  return l;
}

int CountDistinctNums(const TCombsArray& combs, int m) {
  return static_cast<int>(DistinctNums(combs, m).size());
}

TByteArray DistinctNums(const TCombsArray& combs, int m) {
  TByteArray seen;
  const size_t limit = std::min(combs.size(), static_cast<size_t>(std::max(m, 0)));
  for (size_t i = 0; i < limit && seen.size() < MaxNumber; ++i)
    for (uint8_t n : combs[i]) {
      AddUniqueNum(n, seen);
      if (seen.size() >= MaxNumber) break;
    }
  return seen;
}

int CommonCount(const TDraw& draw, const TComb& comb) {
  int c = 0;
  for (uint8_t a : draw.Nums)
    for (uint8_t b : comb)
      if (a == b) ++c;
  return c;
}

int CommonCount(const TDraw& a, const TDraw& b) { return CommonCount(a, b.Nums); }

TNumList IntersectList(const TDraw& draw, const TNumList& list) {
  TNumList r;
  const int count = std::clamp(list.Count, 0, 8);
  for (uint8_t n : draw.Nums) {
    if (std::find(list.Nums.begin(), list.Nums.begin() + count, n) != list.Nums.begin() + count && r.Count < 8)
      r.Nums[static_cast<size_t>(r.Count++)] = n;
  }
  SortNumList(r);
  return r;
}

bool SameNumList(const TNumList& a, const TNumList& b) {
  if (a.Count != b.Count) return false;
  const int count = std::clamp(a.Count, 0, 8);
  for (int i = 0; i < count; ++i)
    if (std::find(b.Nums.begin(), b.Nums.begin() + count, a.Nums[static_cast<size_t>(i)]) == b.Nums.begin() + count)
      return false;
  return true;
}

// ---- Sorting --------------------------------------------------------------

void SortComb(TComb& comb) { std::stable_sort(comb.begin(), comb.end()); }

void SortDrawNums(TDraw& draw) { std::stable_sort(draw.Nums.begin(), draw.Nums.end()); }

void SortNumList(TNumList& list) {
  std::stable_sort(list.Nums.begin(), list.Nums.begin() + std::clamp(list.Count, 0, 8));
}

void SortIntArrayDesc(TIntArray& ints) { std::stable_sort(ints.begin(), ints.end(), std::greater<>()); }

// ---- Text -----------------------------------------------------------------

std::string_view Trim(std::string_view text) {
  size_t b = 0;
  size_t e = text.size();
  while (b < e && static_cast<unsigned char>(text[b]) <= ' ') ++b;
  while (e > b && static_cast<unsigned char>(text[e - 1]) <= ' ') --e;
  return text.substr(b, e - b);
}

bool TryStrToInt(std::string_view text, int32_t& value) {
  text = Trim(text);
  if (text.empty()) return false;
  size_t i = 0;
  bool negative = false;
  if (text[0] == '+' || text[0] == '-') {
    negative = text[0] == '-';
    i = 1;
  }
  if (i >= text.size()) return false;
  int64_t v = 0;
  for (; i < text.size(); ++i) {
    if (text[i] < '0' || text[i] > '9') return false;
    v = v * 10 + (text[i] - '0');
    if (v > static_cast<int64_t>(std::numeric_limits<int32_t>::max()) + 1) return false;
  }
  if (negative) v = -v;
  if (v > std::numeric_limits<int32_t>::max() || v < std::numeric_limits<int32_t>::min()) return false;
  value = static_cast<int32_t>(v);
  return true;
}

int32_t StrToIntDef(std::string_view text, int32_t def) {
  int32_t v = 0;
  return TryStrToInt(text, v) ? v : def;
}

uint8_t StrToNumber(std::string_view text) {
  const int32_t v = StrToIntDef(text, 0);
  return (v >= 0 && v <= 255) ? static_cast<uint8_t>(v) : 0;
}

std::string CombToText(const TComb& comb) {
  std::string s;
  for (size_t i = 0; i < comb.size(); ++i) {
    if (i > 0) s += ' ';
    if (comb[i] < 10) s += '0';
    s += std::to_string(comb[i]);
  }
  return s;
}

std::string CombToListText(const TComb& comb) {
  std::string s;
  for (size_t i = 0; i < comb.size(); ++i) {
    if (i > 0) s += ';';
    s += std::to_string(comb[i]);
  }
  return s;
}

std::string NumListToText(const TNumList& list, std::string_view separator) {
  std::string s;
  for (int i = 0; i < std::clamp(list.Count, 0, 8); ++i) {
    if (i > 0) s += separator;
    s += std::to_string(list.Nums[static_cast<size_t>(i)]);
  }
  return s;
}

std::string IntsToText(const TIntArray& ints, std::string_view separator) {
  std::string s;
  for (size_t i = 0; i < ints.size(); ++i) {
    if (i > 0) s += separator;
    s += std::to_string(ints[i]);
  }
  return s;
}

TComb TextToComb(std::string_view text) {
  static constexpr std::string_view delimiters = "\t ,-.:;|";
  std::vector<std::string_view> words;
  size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && delimiters.find(text[i]) != std::string_view::npos) ++i;
    const size_t start = i;
    while (i < text.size() && delimiters.find(text[i]) == std::string_view::npos) ++i;
    if (i > start) words.push_back(text.substr(start, i - start));
  }
  if (words.size() != MainCount) throw EVexaError(Format("Некорректная комбинация: \"%s\"!", {text}));
  TComb comb{};
  for (size_t k = 0; k < words.size(); ++k) comb[k] = StrToNumber(words[k]);
  return comb;
}

std::string DrawToText(const TDraw& draw) {
  std::string values;
  for (size_t i = 0; i < draw.Nums.size(); ++i) {
    if (i > 0) values += ';';
    values += std::to_string(draw.Nums[i]);
  }
  values += " e:" + std::to_string(draw.Supp[0]) + ";" + std::to_string(draw.Supp[1]);
  return Format("Тираж № %d от %s, значения: %s", {draw.Number, DrawDateText(draw), values});
}

std::string DiffText(std::string_view text, int base) {
  int32_t v = 0;
  const std::string_view t = Trim(text);
  if (!TryStrToInt(t, v) || v < 0) return "-";
  const int64_t d = static_cast<int64_t>(v) - base;
  return (d > 0 ? "+" : "") + std::to_string(d);
}

std::string StakeKindName(int kind) {
  switch (kind) {
    case 1: return "Вручную";
    case 2: return "Регуляр";
    case 3: return "Сценарий";
    case 4: return "Система";
    default: return "";
  }
}

TIntArray ParseValueList(std::string_view text) {
  // Guards against a typo such as 1-1000000000;1 eating all memory.
  constexpr int64_t MaxValues = 1000000;
  TIntArray result;
  if (Trim(text).empty()) return result;

  bool listOk = true;
  size_t start = 0;
  for (size_t i = 0; i <= text.size(); ++i) {
    if (i == text.size() || text[i] == ',' || text[i] == ';') {
      int32_t v = 0;
      if (!TryStrToInt(text.substr(start, i - start), v)) {
        listOk = false;
        break;
      }
      result.push_back(v);
      start = i + 1;
    }
  }
  if (listOk) return result;
  result.clear();

  const size_t dash = text.find('-', 1);
  if (dash == std::string_view::npos) return result;
  const std::string_view rest = text.substr(dash + 1);
  const size_t sep = rest.find_first_of(";,");
  int32_t from = 0;
  int32_t to = 0;
  int32_t step = 0;
  if (!TryStrToInt(text.substr(0, dash), from) || sep == std::string_view::npos ||
      !TryStrToInt(rest.substr(0, sep), to) || !TryStrToInt(rest.substr(sep + 1), step))
    return result;
  if (step == 0) return result;
  const int64_t count = (static_cast<int64_t>(to) - from) / step + 1;
  if (count <= 0 || count > MaxValues) return result;
  for (int64_t k = 0; k < count; ++k) result.push_back(static_cast<int32_t>(from + k * step));
  return result;
}

// ---- Scores ---------------------------------------------------------------

uint32_t NumColor(int n, int size) {
  static constexpr uint32_t Palette[19] = {0xAAFFAA, 0xAAFFFF, 0xFFFFAA, 0xAAAAFF, 0xFFAAAA, 0xAAD5FF, 0xFFAAD5,
                                           0xD4D4D4, 0xFFD5AA, 0xD5AAFF, 0xD5FFD5, 0xD5FFFF, 0xFFFFD5, 0xD5D5FF,
                                           0xFFD5D5, 0xD5EAFF, 0xFFD5EA, 0xE9E9E9, 0xFFEAD5};
  if (n < 1 || n > MaxNumber) return 0x0000FF;
  // A hand-edited group size below 3 gives more groups than colours: wrap.
  const int g = GroupOf(n, std::max(size, 1));
  return Palette[(g - 1) % 19];
}

double CdlScore(const TCdl& cdl, bool withDeviation, int hits, int64_t total, int expected, int level, int draws) {
  const long double d = withDeviation ? static_cast<long double>(hits) - expected : 0.0L;
  long double t1 = hits;
  long double t2 = d;
  long double t3 = level;
  if (cdl.UsePercents) {
    t1 = total == 0 ? 0.0L : static_cast<long double>(hits) * 100 / static_cast<long double>(total);
    t2 = (!withDeviation || expected == 0) ? 0.0L : d * 100 / expected;
    t3 = draws == 0 ? 0.0L : static_cast<long double>(level) * 100 / draws;
  }
  if (cdl.UseAbsValues) {
    t1 = std::fabs(t1);
    t2 = std::fabs(t2);
    t3 = std::fabs(t3);
  }
  const long double score = cdl.Count * t1 + cdl.Deviation * t2 + cdl.Level * t3;
  const auto result = static_cast<double>(score);
  if (!std::isfinite(result)) return -999.99;
  return result;
}

}  // namespace vexa

#include "stats/ognev_stats.h"

#include <bitset>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/game.h"

namespace vexa {

namespace {

int Diff(int x, int y) { return std::abs(y - x); }

// The two values under the top; six numbers, the case of every use, are
// worked out in straight lines (twice as fast as the loop over the full set).
void PyramidBase(std::span<const uint8_t> numbers, int& a, int& b) {
  if (numbers.size() == MainCount) {
    const uint8_t* x = numbers.data();
    const int d0 = Diff(x[0], x[1]), d1 = Diff(x[1], x[2]), d2 = Diff(x[2], x[3]), d3 = Diff(x[3], x[4]),
              d4 = Diff(x[4], x[5]);
    const int e0 = Diff(d0, d1), e1 = Diff(d1, d2), e2 = Diff(d2, d3), e3 = Diff(d3, d4);
    const int f0 = Diff(e0, e1), f1 = Diff(e1, e2), f2 = Diff(e2, e3);
    a = Diff(f0, f1);
    b = Diff(f1, f2);
    return;
  }
  std::vector<int> row(numbers.begin(), numbers.end());
  for (size_t m = row.size(); m > 2; --m)
    for (size_t k = 0; k + 1 < m; ++k) row[k] = Diff(row[k], row[k + 1]);
  a = row[0];
  b = row[1];
}

}  // namespace

TOgnevValue OgnevNumber(std::span<const uint8_t> numbers, int mode) {
  if (numbers.size() < 2) return {};
  int a = 0;
  int b = 0;
  PyramidBase(numbers, a, b);
  int r = Diff(a, b);
  TOgnevValue v;
  switch (mode) {
    case 1:
      if (r < 2) r = a + b;
      break;
    case 2:
      if (r == 0) r = a + b;
      if (r == 1) {
        v.Count = 2;
        v.Bytes = {1, static_cast<uint8_t>(a + b)};
        return v;
      }
      break;
    default:
      break;
  }
  v.Bytes[0] = static_cast<uint8_t>(r);
  return v;
}

namespace {

// ---- HCO1, HCO2 -----------------------------------------------------------------

class TCustomOgnevGraphStat : public TCustomGraphStat {
 public:
  bool Matches(const TComb& comb, const TStatDrawArray& values, int, bool, bool) const override {
    const int v = ValueOf(comb);
    if (PreparedFor_ == &values && PreparedSize_ == values.size()) return Tops_.test(static_cast<size_t>(v));
    return HasComponent(values, 1, static_cast<int16_t>(v));
  }

  // Key[0] alone decides, so the table is indexed by it.
  void PrepareValues(const TStatDrawArray& values) override {
    TCustomStat::PrepareValues(values);
    Tops_.reset();
    for (const TStatDraw& v : values) {
      const auto top = static_cast<uint16_t>(v.Key[0]);
      if (top < Tops_.size()) Tops_.set(top);
    }
    PreparedFor_ = &values;
    PreparedSize_ = values.size();
  }

  int32_t GraphValue(const TComb& comb, int, int, bool) override { return ValueOf(comb); }

 protected:
  TCustomOgnevGraphStat(const TStatClass& cls, const TStatList& list, int param, int mode)
      : TCustomGraphStat(cls, list, param), Mode_(mode) {}

  void AddValues(const TComb& nums, TStatDraw& rec, TStatDrawArray& list, bool trackGaps) const override {
    MergeValue(list, rec, ValueOf(nums), trackGaps);
  }

 private:
  int ValueOf(const TComb& nums) const { return OgnevNumber(nums, Mode_).Bytes[0]; }

  int Mode_;
  std::bitset<256> Tops_;
  const TStatDrawArray* PreparedFor_ = nullptr;
  size_t PreparedSize_ = 0;
};

class TstOgnev1 : public TCustomOgnevGraphStat {
 public:
  TstOgnev1(const TStatClass& cls, const TStatList& list, int param) : TCustomOgnevGraphStat(cls, list, param, 0) {}
};

class TstOgnev2 : public TCustomOgnevGraphStat {
 public:
  TstOgnev2(const TStatClass& cls, const TStatList& list, int param) : TCustomOgnevGraphStat(cls, list, param, 1) {}
};

// ---- HCO3 -------------------------------------------------------------------------

// Beyond the newest draw the next draw is all zero; a characteristic number
// of 0 must not count as drawn there.
bool CameNext(int x, const TDraw& next) { return x >= 1 && x <= MaxNumber && NumInDraw(x, next); }

class TstOgnev3 : public TCustomStat {
 public:
  using TCustomStat::TCustomStat;

  // "7 (1)" for the marked main value.
  std::string ValueToText(const TStatDraw& rec) const override {
    const std::string main = std::to_string(static_cast<uint16_t>(rec.Key[0]));
    if (rec.Key[1] == 0) return main;
    return main + " (" + std::to_string(static_cast<uint16_t>(rec.Key[1])) + ")";
  }

  // The number before a " (1)" mark.
  int32_t TextToValue(std::string_view text) const override {
    const size_t paren = text.find('(');
    return StrToIntDef(Trim(paren == std::string_view::npos ? text : text.substr(0, paren)), 0);
  }

  // Only the reference draw adds values: its characteristic number f and
  // the multiples of f from below f^2 (f^3 when f^2 < 45) down to 2f that
  // are numbers; Hits tells which of them came in the draw after it.
  void CalcDraw(int index, int lastIndex, bool sorted, TStatDrawArray& list, TStatWork&, TLastValueArray&) override {
    BeginDraw(index, lastIndex, sorted);
    if (FDraw.Number != FPrevDraw.Number) return;
    const TDraw next = DrawAt(lastIndex + 1, false);
    const TOgnevValue r = OgnevNumber(FDraw.Nums, 2);
    FRec.Key = {};
    if (r.Count == 2) {
      FRec.Key = {static_cast<int16_t>(r.Bytes[1]), 1, 0, 2};
    } else {
      FRec.Key[0] = static_cast<int16_t>(r.Bytes[0]);
    }
    const int f = FRec.Key[0];
    FRec.Hits = CameNext(f, next) ? 1 : 0;
    MergeStatDraw(list, FRec, false);
    int g = f * f;
    if (g < MaxNumber) g = f * f * f;
    for (; g > f; g -= f) {
      if (g < 1 || g > MaxNumber) continue;
      FRec.Key = {static_cast<int16_t>(g), 0, 0, 0};
      FRec.Hits = CameNext(g, next) ? 1 : 0;
      MergeStatDraw(list, FRec, false);
    }
  }

  bool Matches(const TComb& comb, const TStatDrawArray& values, int, bool, bool) const override {
    if (PreparedFor_ == &values && PreparedSize_ == values.size()) {
      for (uint8_t n : comb)
        if (Numbers_.test(n)) return true;
      return false;
    }
    for (uint8_t n : comb)
      if (HasComponent(values, 1, static_cast<int16_t>(n))) return true;
    return false;
  }

  void PrepareValues(const TStatDrawArray& values) override {
    TCustomStat::PrepareValues(values);
    Numbers_.reset();
    for (const TStatDraw& v : values) {
      const auto n = static_cast<uint16_t>(v.Key[0]);
      if (n < Numbers_.size()) Numbers_.set(n);
    }
    PreparedFor_ = &values;
    PreparedSize_ = values.size();
  }

 private:
  std::bitset<256> Numbers_;
  const TStatDrawArray* PreparedFor_ = nullptr;
  size_t PreparedSize_ = 0;
};

}  // namespace

const TStatClass TstOgnev1Class{.ClassName = "TstOgnev1", .Code = "HCO1", .Caption = "Число Огнева 1 (только разность)",
                                .Group = 11, .Kind = skSorted | skNumbers, .HasGraph = true,
                                .Create = &MakeStat<TstOgnev1, TstOgnev1Class>};
const TStatClass TstOgnev2Class{.ClassName = "TstOgnev2", .Code = "HCO2",
                                .Caption = "Число Огнева 2 (разность + сложение, если {0,1})", .Group = 11,
                                .Kind = skSorted | skNumbers, .HasGraph = true,
                                .Create = &MakeStat<TstOgnev2, TstOgnev2Class>};
const TStatClass TstOgnev3Class{.ClassName = "TstOgnev3", .Code = "HCO3",
                                .Caption = "Числа Огнева 3 (динамический, только фильтр)", .Group = 11,
                                .Kind = skSorted | skDraw, .AcceptsValueList = false,
                                .Create = &MakeStat<TstOgnev3, TstOgnev3Class>};

}  // namespace vexa

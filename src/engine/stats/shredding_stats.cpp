#include "stats/shredding_stats.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cfloat>
#include <cmath>
#include <memory>
#include <vector>

#include "stats/stat_list.h"

namespace vexa {

namespace {

constexpr long double Pow2(int e) {
  long double r = 1;
  for (; e > 0; --e) r *= 2;
  return r;
}

// From here on extended values are whole numbers, 1 apart (2^63 on x86).
constexpr long double WholeFrom = Pow2(LDBL_MANT_DIG - 1);

// floor(x) for 0 <= x < WholeFrom, by rounding at WholeFrom; avoids the
// control-word switch of a truncating conversion, which would dominate a
// formula as short as the default ones.
inline long double FloorSmall(long double x) {
  long double t = (x + WholeFrom) - WholeFrom;
  if (t > x) t -= 1;
  return t;
}

}  // namespace

int32_t ShredValue(long double f, int digits) {
  static constexpr long double Pow10[] = {1, 10, 100, 1000, 10000, 100000, 1000000, 10000000, 100000000, 1000000000};
  digits = std::clamp(digits, 0, 9);
  const long double a = std::fabs(f);
  if (!(a < WholeFrom)) return 0;  // no fraction left up there (and NaN, inf)
  const long double scaled = (a - FloorSmall(a)) * Pow10[digits];
  return static_cast<int32_t>(static_cast<double>(FloorSmall(scaled)));
}

int32_t Shred(const TComb& n, const TComb& p, const TComb& t, int digits, const TFormula& formula) {
  const TFormulaResult r = formula.Evaluate(FormulaVars(n, p, t));
  return r.Ok() ? ShredValue(r.Value, digits) : 0;
}

int32_t Shred(const TComb& n, const TComb& p, const TComb& t, int digits, std::string_view formula) {
  return Shred(n, p, t, digits, TFormula(formula));
}

namespace {

std::string_view FormulaOf(const TStatList& list, int param) {
  if (param < 1 || param > static_cast<int>(list.Shredding.Formulas.size())) return {};
  return list.Shredding.Formulas[static_cast<size_t>(param - 1)];
}

int DigitsOf(const TStatList& list, int param) {
  if (param < 1 || param > static_cast<int>(list.Shredding.Digits.size())) return ShreddingMinDigits;
  return std::clamp<int>(list.Shredding.Digits[static_cast<size_t>(param - 1)], ShreddingMinDigits,
                         ShreddingMaxDigits);
}

class TstShreddingStat : public TCustomGraphStat {
 public:
  TstShreddingStat(const TStatClass& cls, const TStatList& list, int param)
      : TCustomGraphStat(cls, list, param), Formula_(FormulaOf(list, param)), Digits_(DigitsOf(list, param)) {
    if (const size_t size = Formula_.MemoSize(); size > 0) {
      Memo_ = std::make_unique<std::atomic<int32_t>[]>(size);
      for (size_t k = 0; k < size; ++k) Memo_[k].store(Unknown, std::memory_order_relaxed);
    }
    Alone_ = PlanFor(TComb{}, TComb{});
  }

  // Keeps the reference draw and the one before it for Matches.
  void LoadDraw(int index, int refIndex, bool sorted) override {
    TCustomGraphStat::LoadDraw(index, refIndex, sorted);
    RefP_ = DrawAt(refIndex, sorted).Nums;
    RefT_ = DrawAt(refIndex - 1, sorted).Nums;
    RefIndex_ = refIndex;
    RefSorted_ = sorted;
    HasRef_ = true;
    Ref_ = PlanFor(RefP_, RefT_);
  }

  void CalcCombination(const TComb& comb, TStatDrawArray& list) const override {
    TStatDraw rec{};
    rec.Hits = 1;
    MergeValue(list, rec, Value(Alone_, comb, TComb{}, TComb{}), false);
  }

  void CalcDraw(int index, int lastIndex, bool sorted, TStatDrawArray& list, TStatWork&, TLastValueArray&) override {
    BeginDraw(index, lastIndex, sorted);
    const int32_t v = Value(FDraw.Nums, DrawAt(index - 1, sorted).Nums, DrawAt(index - 2, sorted).Nums);
    MergeValue(list, FRec, v, true);
  }

  void PrepareValues(const TStatDrawArray& values) override {
    TCustomStat::PrepareValues(values);
    Chosen_.assign(static_cast<size_t>(Limit()), 0);
    for (const TStatDraw& v : values) {
      const int32_t x = Key32(v.Key);
      if (Key32(v.Key, 2) == 0 && x >= 0 && x < Limit()) Chosen_[static_cast<size_t>(x)] = 1;
    }
    PreparedFor_ = &values;
    PreparedSize_ = values.size();
  }

  bool Matches(const TComb& comb, const TStatDrawArray& values, int lastIndex, bool sorted, bool) const override {
    int32_t v = 0;
    if (HasRef_ && lastIndex == RefIndex_ && sorted == RefSorted_) {
      v = Value(Ref_, comb, RefP_, RefT_);
    } else {
      v = Value(comb, DrawAt(lastIndex, sorted).Nums, DrawAt(lastIndex - 1, sorted).Nums);
    }
    if (PreparedFor_ == &values && PreparedSize_ == values.size() && static_cast<size_t>(v) < Chosen_.size())
      return Chosen_[static_cast<size_t>(v)] != 0;
    TStatKey4 key{};
    SetKey32(key, v);
    return Selected(values, key);
  }

  int32_t GraphValue(const TComb& comb, int index, int, bool sorted) override {
    return Value(comb, DrawAt(index - 1, sorted).Nums, DrawAt(index - 2, sorted).Nums);
  }

 private:
  int32_t Limit() const {
    int32_t l = 1;
    for (int i = 0; i < Digits_; ++i) l *= 10;
    return l;
  }

  // The table slot of the numbers n when the draws before them are fixed:
  // base + sum of weights * n, for formulas whose slot is linear.
  struct TPlan {
    bool Linear = false;
    int64_t Base = 0;
    std::array<int64_t, MainCount> Weights{};
  };

  TPlan PlanFor(const TComb& p, const TComb& t) const {
    TPlan plan;
    int64_t base = 0;
    std::array<int64_t, FormulaVarCount> w{};
    if (!Memo_ || !Formula_.LinearMemoSlot(base, w)) return plan;
    const TFormulaVars fixed = FormulaVars(TComb{}, p, t);
    for (size_t i = MainCount; i < FormulaVarCount; ++i) {
      if (fixed[i] > MaxNumber) return plan;
      base += w[i] * fixed[i];
    }
    plan.Linear = true;
    plan.Base = base;
    std::copy(w.begin(), w.begin() + MainCount, plan.Weights.begin());
    return plan;
  }

  // Through the table of the formula when it has one: threads may fill a
  // slot at the same time, always with the same value.
  int32_t Value(const TComb& n, const TComb& p, const TComb& t) const {
    const TFormulaVars vars = FormulaVars(n, p, t);
    size_t slot = 0;
    if (Memo_ && Formula_.MemoSlot(vars, slot)) return Remembered(slot, n, p, t);
    return Compute(vars);
  }

  // The same, for p and t of the plan (the plan skips the general slot search).
  int32_t Value(const TPlan& plan, const TComb& n, const TComb& p, const TComb& t) const {
    if (!plan.Linear) return Value(n, p, t);
    int64_t slot = plan.Base;
    bool inside = true;
    for (size_t k = 0; k < MainCount; ++k) {
      inside = inside && n[k] <= MaxNumber;
      slot += plan.Weights[k] * n[k];
    }
    if (!inside) return Value(n, p, t);
    return Remembered(static_cast<size_t>(slot), n, p, t);
  }

  int32_t Remembered(size_t slot, const TComb& n, const TComb& p, const TComb& t) const {
    int32_t v = Memo_[slot].load(std::memory_order_relaxed);
    if (v == Unknown) {
      v = Compute(FormulaVars(n, p, t));
      Memo_[slot].store(v, std::memory_order_relaxed);
    }
    return v;
  }

  int32_t Compute(const TFormulaVars& vars) const {
    const TFormulaResult r = Formula_.Evaluate(vars);
    return r.Ok() ? ShredValue(r.Value, Digits_) : 0;
  }

  static constexpr int32_t Unknown = -1;

  TFormula Formula_;
  int Digits_;
  std::unique_ptr<std::atomic<int32_t>[]> Memo_;  // by slot; Unknown until computed
  TPlan Alone_;  // p and t zero: the full set
  TPlan Ref_;    // the reference draws of LoadDraw
  TComb RefP_{};
  TComb RefT_{};
  int RefIndex_ = 0;
  bool RefSorted_ = false;
  bool HasRef_ = false;
  std::vector<uint8_t> Chosen_;  // by value, 0 .. 10^Digits - 1
  const TStatDrawArray* PreparedFor_ = nullptr;
  size_t PreparedSize_ = 0;
};

}  // namespace

const TStatClass TstShreddingStatClass{.ClassName = "TstShreddingStat", .Code = "SHR%d",
                                       .Caption = "Метод шинковки %0:d: %%s", .HelpTopic = "SHRx", .Group = 12,
                                       .Kind = skSorted | skNumbers, .HasGraph = true, .HasParam = true,
                                       .ParamLow = 1, .ParamHigh = 3,
                                       .Create = &MakeStat<TstShreddingStat, TstShreddingStatClass>};

}  // namespace vexa

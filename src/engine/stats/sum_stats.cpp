#include "stats/sum_stats.h"

#include <cstdlib>

#include "core/format.h"
#include "stats/number_stats.h"

namespace vexa {

TSumRange SumRangeOf(int param) {
  static constexpr TSumRange Ranges[SumRangeCount] = {
      {93, 183, 1, 3},
      {102, 174, 1, 2},
      {110, 166, 2, 3},
  };
  if (param < 1 || param > SumRangeCount) return {};
  return Ranges[param - 1];
}

int SumOf(const TComb& nums) {
  int s = 0;
  for (uint8_t n : nums) s += n;
  return s;
}

int EvenSumOf(const TComb& nums) {
  int s = 0;
  for (uint8_t n : nums)
    if (n % 2 == 0) s += n;
  return s;
}

int PrimeSumOf(const TComb& nums) {
  int s = 0;
  for (uint8_t n : nums)
    if (IsPrimeNumber(n)) s += n;
  return s;
}

int TwoToThreeCount(const TComb& nums) {
  int t = 0;
  for (size_t i = 0; i < nums.size(); ++i)
    for (size_t j = 0; j < nums.size(); ++j)
      for (size_t k = j + 1; k < nums.size(); ++k)
        if (j != i && k != i && nums[j] + nums[k] == nums[i]) ++t;
  return t;
}

namespace {

int Sign(int d) { return (d > 0) - (d < 0); }

// The sum of draw index - 1 as stored; order does not matter to a sum.
// Before the first draw there is nothing: 0.
int PrevDrawSum(const TDrawsArray& draws, int index) {
  if (index < 1 || static_cast<size_t>(index - 1) >= draws.size()) return 0;
  return SumOf(draws[static_cast<size_t>(index - 1)].Nums);
}

// ---- SUMS, SUME, SUMP, S2T3: one number of the six -----------------------------------

template <int (*ValueOf)(const TComb&), bool ListAllSums>
class TstSumValue : public TCustomGraphStat {
 public:
  using TCustomGraphStat::TCustomGraphStat;

  void ListAllValues(int lastIndex, TStatDrawArray& list) override {
    TCustomStat::ListAllValues(lastIndex, list);
    if (ListAllSums)
      for (int s = MinSum; s <= MaxSum; ++s) MergeValue(list, FRec, s, false);
  }

  bool Matches(const TComb& comb, const TStatDrawArray& values, int, bool, bool) const override {
    TStatKey4 key{};
    SetKey32(key, ValueOf(comb));
    return Selected(values, key);
  }
  uint64_t MatchWord(const TComb* in, size_t m, const TStatDrawArray& values, int lastIndex, bool sorted,
                     bool del) const override {
    return MatchWordOf(*this, in, m, values, lastIndex, sorted, del);
  }

  int32_t GraphValue(const TComb& comb, int, int, bool) override { return ValueOf(comb); }

 protected:
  void AddValues(const TComb& nums, TStatDraw& rec, TStatDrawArray& list, bool trackGaps) const override {
    MergeValue(list, rec, ValueOf(nums), trackGaps);
  }
};

using TstSumValues = TstSumValue<&SumOf, true>;
using TstSumEvenValues = TstSumValue<&EvenSumOf, false>;
using TstSumPrimeValues = TstSumValue<&PrimeSumOf, false>;

class TstSum2To3 : public TstSumValue<&TwoToThreeCount, false> {
 public:
  using TstSumValue::TstSumValue;

  bool Matches(const TComb& comb, const TStatDrawArray& values, int, bool, bool) const override {
    return HasComponent(values, 1, static_cast<int16_t>(TwoToThreeCount(comb)));
  }
  uint64_t MatchWord(const TComb* in, size_t m, const TStatDrawArray& values, int lastIndex, bool sorted,
                     bool del) const override {
    return MatchWordOf(*this, in, m, values, lastIndex, sorted, del);
  }
};

// ---- SUM p: inside a fixed range or not -------------------------------------------------

std::string SumRangeCaption(int param) {
  const TSumRange r = SumRangeOf(param);
  return Format("Сумма тиража: диапазон %d (%d/%d)", {param, r.Num, r.Den});
}

class TstSumRanges : public TCustomGraphStat {
 public:
  TstSumRanges(const TStatClass& cls, const TStatList& list, int param)
      : TCustomGraphStat(cls, list, param), Range_(SumRangeOf(param)) {}

  void ListAllValues(int lastIndex, TStatDrawArray& list) override {
    TCustomStat::ListAllValues(lastIndex, list);
    MergeValue(list, FRec, 0, false);
    MergeValue(list, FRec, 1, false);
  }

  std::string ValueToText(const TStatDraw& rec) const override {
    if (Key32(rec.Key) == 1) return Format("%d-%d", {Range_.Low, Range_.High});
    return "Остальные";
  }

  // "Inside" wins when both rows are selected.
  bool Matches(const TComb& comb, const TStatDrawArray& values, int, bool, bool) const override {
    if (HasValue32(values, 1, 1)) return Inside(comb) == 1;
    if (HasValue32(values, 1, 0)) return Inside(comb) == 0;
    return false;
  }

  int32_t GraphValue(const TComb& comb, int, int, bool) override { return Inside(comb); }

 protected:
  void AddValues(const TComb& nums, TStatDraw& rec, TStatDrawArray& list, bool trackGaps) const override {
    MergeValue(list, rec, Inside(nums), trackGaps);
  }

 private:
  int32_t Inside(const TComb& comb) const {
    const int s = SumOf(comb);
    return (s >= Range_.Low && s <= Range_.High) ? 1 : 0;
  }

  TSumRange Range_;
};

// ---- SUMC, SUMV, SUMT: from draw i - 1 to draw i ---------------------------------------

// A transition counts only after a draw whose sum resembles the reference
// draw's (the last of the window, or draw L for the filter).
template <typename Base>
class TSumTransition : public Base {
 public:
  using Base::Base;

  void LoadDraw(int index, int refIndex, bool sorted) override {
    Base::LoadDraw(index, refIndex, sorted);
    RefSum_ = SumOf(this->FPrevDraw.Nums);
  }

  // A lone combination has no predecessor.
  void CalcCombination(const TComb&, TStatDrawArray&) const override {}

  void CalcDraw(int index, int lastIndex, bool sorted, TStatDrawArray& list, TStatWork&, TLastValueArray&) override {
    this->BeginDraw(index, lastIndex, sorted);
    // The oldest draw has no predecessor; a sum of 0 in its place would
    // let SUMV count a made-up jump whenever the reference sum is below 24.
    if (index < 1) return;
    if (Transition(PrevDrawSum(this->Draws(), index), SumOf(this->FDraw.Nums), this->FRec.Key))
      MergeStatDraw(list, this->FRec, true);
  }

 protected:
  // Sets key to the value of the move prev -> cur; false when the move
  // does not count against the reference sum.
  virtual bool Transition(int prev, int cur, TStatKey4& key) const = 0;

  int RefSum_ = 0;
};

class TstSumChange : public TSumTransition<TCustomGraphStat> {
 public:
  using TSumTransition::TSumTransition;

  std::string ValueToText(const TStatDraw& rec) const override {
    const int64_t a = Key32(rec.Key, 1);
    const int64_t b = Key32(rec.Key, 2);
    if (a <= b) return Format("+%0:.2d : %1:d + %0:d = %2:d", {b - a, a, b});
    return Format("- %0:.2d : %1:d - %0:d = %2:d", {a - b, a, b});
  }

  bool Matches(const TComb& comb, const TStatDrawArray& values, int, bool, bool) const override {
    return HasValue32(values, 2, SumOf(comb));
  }

  int32_t GraphValue(const TComb& comb, int index, int, bool) override {
    return SumOf(comb) - PrevDrawSum(Draws(), index);
  }

 protected:
  bool Transition(int prev, int cur, TStatKey4& key) const override {
    if (prev != RefSum_) return false;
    SetKey32(key, prev, cur);
    return true;
  }
};

class TstSumChangeSome : public TSumTransition<TCustomStat> {
 public:
  using TSumTransition::TSumTransition;

  std::string ValueToText(const TStatDraw& rec) const override {
    const int64_t d = Key32(rec.Key);
    return d >= 0 ? Format("+%0:.2d", {d}) : Format("- %0:.2d", {-d});
  }

  bool Matches(const TComb& comb, const TStatDrawArray& values, int, bool, bool) const override {
    return HasValue32(values, 1, SumOf(comb) - RefSum_);
  }

 protected:
  bool Transition(int prev, int cur, TStatKey4& key) const override {
    if (std::abs(prev - RefSum_) > SumStep) return false;
    SetKey32(key, cur - prev);
    return true;
  }
};

class TstSumTrend : public TSumTransition<TCustomGraphStat> {
 public:
  using TSumTransition::TSumTransition;

  void ListAllValues(int lastIndex, TStatDrawArray& list) override {
    TCustomStat::ListAllValues(lastIndex, list);
    for (int v : {0, 1, -1}) MergeValue(list, FRec, v, false);
  }

  std::string ValueToText(const TStatDraw& rec) const override {
    const int32_t v = Key32(rec.Key);
    return v > 0 ? "+" : v < 0 ? "-" : "=";
  }

  bool Matches(const TComb& comb, const TStatDrawArray& values, int, bool, bool) const override {
    return HasValue32(values, 1, Sign(SumOf(comb) - RefSum_));
  }

  int32_t GraphValue(const TComb& comb, int index, int, bool) override {
    return Sign(SumOf(comb) - PrevDrawSum(Draws(), index));
  }

 protected:
  bool Transition(int prev, int cur, TStatKey4& key) const override {
    if (prev != RefSum_) return false;
    SetKey32(key, Sign(cur - prev));
    return true;
  }
};

}  // namespace

const TStatClass TstSumValuesClass{.ClassName = "TstSumValues", .Code = "SUMS",
                                   .Caption = "Сумма тиража: все значения", .Group = 1, .Kind = skNumbers,
                                   .HasGraph = true, .Create = &MakeStat<TstSumValues, TstSumValuesClass>};
const TStatClass TstSumRangesClass{.ClassName = "TstSumRanges", .Code = "SUM%d",
                                   .Caption = "Сумма тиража: диапазон %d (%d/%d)", .Group = 1, .Kind = skNumbers,
                                   .HasGraph = true, .HasParam = true, .AcceptsValueList = false, .ParamLow = 1,
                                   .ParamHigh = SumRangeCount, .CaptionFor = &SumRangeCaption,
                                   .Create = &MakeStat<TstSumRanges, TstSumRangesClass>};
const TStatClass TstSumChangeClass{.ClassName = "TstSumChange", .Code = "SUMC",
                                   .Caption = "Сумма тиража: изменения (точно)", .Group = 1, .Kind = skDraw,
                                   .HasGraph = true, .AcceptsValueList = false,
                                   .Create = &MakeStat<TstSumChange, TstSumChangeClass>};
const TStatClass TstSumChangeSomeClass{.ClassName = "TstSumChangeSome", .Code = "SUMV",
                                       .Caption = "Сумма тиража: изменения (диапазон)", .Group = 1, .Kind = skDraw,
                                       .AcceptsValueList = false,
                                       .Create = &MakeStat<TstSumChangeSome, TstSumChangeSomeClass>};
const TStatClass TstSumTrendClass{.ClassName = "TstSumTrend", .Code = "SUMT",
                                  .Caption = "Сумма тиража: направление изменения", .Group = 1, .Kind = skDraw,
                                  .HasGraph = true, .AcceptsValueList = false,
                                  .Create = &MakeStat<TstSumTrend, TstSumTrendClass>};
const TStatClass TstSumEvenValuesClass{.ClassName = "TstSumEvenValues", .Code = "SUME",
                                       .Caption = "Сумма тиража: только четные", .Group = 1, .Kind = skNumbers,
                                       .HasGraph = true, .Create = &MakeStat<TstSumEvenValues, TstSumEvenValuesClass>};
const TStatClass TstSumPrimeValuesClass{.ClassName = "TstSumPrimeValues", .Code = "SUMP",
                                        .Caption = "Сумма тиража: только простые", .Group = 1, .Kind = skNumbers,
                                        .HasGraph = true,
                                        .Create = &MakeStat<TstSumPrimeValues, TstSumPrimeValuesClass>};
const TStatClass TstSum2To3Class{.ClassName = "TstSum2To3", .Code = "S2T3",
                                 .Caption = "Сумма двух чисел тиража равна третьему числу", .Group = 1,
                                 .Kind = skNumbers, .HasGraph = true, .Create = &MakeStat<TstSum2To3, TstSum2To3Class>};

}  // namespace vexa

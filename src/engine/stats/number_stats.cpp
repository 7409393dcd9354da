#include "stats/number_stats.h"

#include <array>

namespace vexa {

bool IsPrimeNumber(int n) {
  switch (n) {
    case 1: case 2: case 3: case 5: case 7: case 11: case 13: case 17:
    case 19: case 23: case 29: case 31: case 37: case 41: case 43:
      return true;
    default:
      return false;
  }
}

namespace {

bool IsEven(int n) { return n % 2 == 0; }
bool IsOdd(int n) { return n % 2 != 0; }
bool IsLarge(int n) { return !IsSmallNumber(n); }

// ---- NUMS ----------------------------------------------------------------------

class TstValues : public TCustomValuesStat {
 public:
  using TCustomValuesStat::TCustomValuesStat;

  void ListAllValues(int lastIndex, TStatDrawArray& list) override {
    TCustomStat::ListAllValues(lastIndex, list);
    for (int n = 1; n <= MaxNumber; ++n) MergeValue(list, FRec, n, false);
  }

  void PrepareValues(const TStatDrawArray& values) override {
    TCustomStat::PrepareValues(values);
    Chosen_.fill(0);
    for (const TStatDraw& v : values)
      if (v.Key[1] == 0 && v.Key[2] == 0 && v.Key[3] == 0 && v.Key[0] >= 0 && v.Key[0] < 256)
        Chosen_[static_cast<size_t>(v.Key[0])] = 1;
    PreparedFor_ = &values;
    PreparedSize_ = values.size();
  }

  bool Matches(const TComb& comb, const TStatDrawArray& values, int, bool, bool) const override {
    if (PreparedFor_ == &values && PreparedSize_ == values.size())  // no branch per number: a filter's hot path
      return (Chosen_[comb[0]] | Chosen_[comb[1]] | Chosen_[comb[2]] | Chosen_[comb[3]] | Chosen_[comb[4]] |
              Chosen_[comb[5]]) != 0;
    for (uint8_t n : comb) {
      TStatKey4 key{};
      SetKey32(key, n);
      if (HasKey(values, key)) return true;
    }
    return false;
  }
  uint64_t MatchWord(const TComb* in, size_t m, const TStatDrawArray& values, int lastIndex, bool sorted,
                     bool del) const override {
    return MatchWordOf(*this, in, m, values, lastIndex, sorted, del);
  }

 protected:
  void AddValues(const TComb& nums, TStatDraw& rec, TStatDrawArray& list, bool trackGaps) const override {
    for (uint8_t n : nums) MergeValue(list, rec, n, trackGaps);
  }

 private:
  std::array<uint8_t, 256> Chosen_{};
  const TStatDrawArray* PreparedFor_ = nullptr;
  size_t PreparedSize_ = 0;
};

// ---- DIGS ----------------------------------------------------------------------

template <typename F>
void ForEachDigit(const TComb& nums, F f) {
  for (uint8_t n : nums) {
    if (n >= 10) f(n / 10);
    f(n % 10);
  }
}

class TstDigits : public TCustomNumbersStat {
 public:
  using TCustomNumbersStat::TCustomNumbersStat;

  bool Matches(const TComb& comb, const TStatDrawArray& values, int, bool, bool) const override {
    bool found = false;
    ForEachDigit(comb, [&](int d) {
      if (!found && HasValue32(values, 1, d)) found = true;
    });
    return found;
  }

 protected:
  void AddValues(const TComb& nums, TStatDraw& rec, TStatDrawArray& list, bool trackGaps) const override {
    ForEachDigit(nums, [&](int d) { MergeValue(list, rec, d, trackGaps); });
  }
};

// ---- EVEN, SMAL, PRIM: how many numbers are of a class --------------------------

template <bool (*InClass)(int)>
class TstRatio : public TCustomRatioStat {
 public:
  using TCustomRatioStat::TCustomRatioStat;

  static int32_t CountOf(const TComb& nums) {
    int32_t k = 0;
    for (uint8_t n : nums)
      if (InClass(n)) ++k;
    return k;
  }

  void ListAllValues(int lastIndex, TStatDrawArray& list) override {
    TCustomStat::ListAllValues(lastIndex, list);
    for (int k = 1; k <= MainCount; ++k) MergeValue(list, FRec, k, false);
  }

  bool Matches(const TComb& comb, const TStatDrawArray& values, int, bool, bool) const override {
    return HasValue32(values, 1, CountOf(comb));
  }

  int32_t GraphValue(const TComb& comb, int, int, bool) override { return CountOf(comb); }

 protected:
  void AddValues(const TComb& nums, TStatDraw& rec, TStatDrawArray& list, bool trackGaps) const override {
    MergeValue(list, rec, CountOf(nums), trackGaps);
  }
};

// ---- EVNV, SMLV, PRMV: the pattern over the six positions ------------------------

struct TMaskLetters {
  const char* Zero;
  const char* One;
};

template <bool (*IsOne)(int), const TMaskLetters& Letters, bool PreList>
class TstMask : public TCustomMaskStat {
 public:
  using TCustomMaskStat::TCustomMaskStat;

  static int32_t PatternOf(const TComb& nums) {
    int32_t v = 0;
    for (uint8_t n : nums) v = v * 2 + (IsOne(n) ? 1 : 0);
    return v;
  }

  std::string ZeroLetter() const override { return Letters.Zero; }
  std::string OneLetter() const override { return Letters.One; }

  void ListAllValues(int lastIndex, TStatDrawArray& list) override {
    if (PreList)
      TCustomMaskStat::ListAllValues(lastIndex, list);
    else
      TCustomStat::ListAllValues(lastIndex, list);
  }

  bool Matches(const TComb& comb, const TStatDrawArray& values, int, bool, bool) const override {
    return HasValue32(values, 1, PatternOf(comb));
  }

 protected:
  void AddValues(const TComb& nums, TStatDraw& rec, TStatDrawArray& list, bool trackGaps) const override {
    MergeValue(list, rec, PatternOf(nums), trackGaps);
  }
};

constexpr TMaskLetters EvenLetters{"Ч", "н"};
constexpr TMaskLetters SmallLetters{"1", "2"};
constexpr TMaskLetters PrimeLetters{"С", "П"};

// ---- POS p ----------------------------------------------------------------------------

class TstPosVal : public TCustomGraphStat {
 public:
  using TCustomGraphStat::TCustomGraphStat;

  void ListAllValues(int lastIndex, TStatDrawArray& list) override {
    TCustomStat::ListAllValues(lastIndex, list);
    for (int n = 1; n <= MaxNumber; ++n) MergeValue(list, FRec, n, false);
  }

  bool Matches(const TComb& comb, const TStatDrawArray& values, int, bool, bool) const override {
    return HasValue32(values, 1, At(comb));
  }

  int32_t GraphValue(const TComb& comb, int, int, bool) override { return At(comb); }

 protected:
  void AddValues(const TComb& nums, TStatDraw& rec, TStatDrawArray& list, bool trackGaps) const override {
    MergeValue(list, rec, At(nums), trackGaps);
  }

 private:
  int32_t At(const TComb& comb) const {
    return (FParam >= 1 && FParam <= MainCount) ? comb[static_cast<size_t>(FParam - 1)] : 0;
  }
};

// ---- POE p: the supplementary numbers; a combination has none ---------------------

class TstPosExt : public TCustomGraphStat {
 public:
  using TCustomGraphStat::TCustomGraphStat;

  void CalcCombination(const TComb&, TStatDrawArray&) const override {}

  void CalcDraw(int index, int lastIndex, bool sorted, TStatDrawArray& list, TStatWork&, TLastValueArray&) override {
    BeginDraw(index, lastIndex, sorted);
    MergeValue(list, FRec, Supp(FDraw), true);
  }

  bool Matches(const TComb&, const TStatDrawArray&, int, bool, bool) const override { return false; }

  int32_t GraphValue(const TComb&, int index, int refIndex, bool sorted) override {
    LoadDraw(index, refIndex, sorted);
    return Supp(FDraw);
  }

 private:
  int32_t Supp(const TDraw& d) const {
    return (FParam >= 1 && FParam <= SuppCount) ? d.Supp[static_cast<size_t>(FParam - 1)] : 0;
  }
};

using TstEvenCount = TstRatio<&IsEven>;
using TstSmallCount = TstRatio<&IsSmallNumber>;
using TstPrimeCount = TstRatio<&IsPrimeNumber>;
using TstEvenValues = TstMask<&IsOdd, EvenLetters, true>;
using TstSmallValues = TstMask<&IsLarge, SmallLetters, false>;
using TstPrimeValues = TstMask<&IsPrimeNumber, PrimeLetters, true>;

}  // namespace

const TStatClass TstValuesClass{.ClassName = "TstValues", .Code = "NUMS", .Caption = "Числа тиража",
                                .Group = 0, .Kind = skNumbers, .Create = &MakeStat<TstValues, TstValuesClass>};
const TStatClass TstDigitsClass{.ClassName = "TstDigits", .Code = "DIGS", .Caption = "Цифры тиража",
                                .Group = 0, .Kind = skNumbers, .Create = &MakeStat<TstDigits, TstDigitsClass>};
const TStatClass TstEvenCountClass{.ClassName = "TstEvenCount", .Code = "EVEN",
                                   .Caption = "Количество четных чисел в тираже (Ч:Н)", .Group = 0,
                                   .Kind = skNumbers, .HasGraph = true,
                                   .Create = &MakeStat<TstEvenCount, TstEvenCountClass>};
const TStatClass TstEvenValuesClass{.ClassName = "TstEvenValues", .Code = "EVNV",
                                    .Caption = "Четные и нечетные числа в тираже (Чн..нЧ)", .Group = 0,
                                    .Kind = skSorted | skNumbers,
                                    .Create = &MakeStat<TstEvenValues, TstEvenValuesClass>};
const TStatClass TstSmallCountClass{.ClassName = "TstSmallCount", .Code = "SMAL",
                                    .Caption = "Количество чисел из первой половины диапазона (1П:2П)", .Group = 0,
                                    .Kind = skNumbers, .HasGraph = true,
                                    .Create = &MakeStat<TstSmallCount, TstSmallCountClass>};
const TStatClass TstSmallValuesClass{.ClassName = "TstSmallValues", .Code = "SMLV",
                                     .Caption = "Числа из первой половины диапазона (12..12)", .Group = 0,
                                     .Kind = skSorted | skNumbers,
                                     .Create = &MakeStat<TstSmallValues, TstSmallValuesClass>};
const TStatClass TstPrimeCountClass{.ClassName = "TstPrimeCount", .Code = "PRIM",
                                    .Caption = "Количество простых чисел (П:С)", .Group = 0, .Kind = skNumbers,
                                    .HasGraph = true, .Create = &MakeStat<TstPrimeCount, TstPrimeCountClass>};
const TStatClass TstPrimeValuesClass{.ClassName = "TstPrimeValues", .Code = "PRMV",
                                     .Caption = "Простые и составные числа (ПС..СП)", .Group = 0,
                                     .Kind = skSorted | skNumbers,
                                     .Create = &MakeStat<TstPrimeValues, TstPrimeValuesClass>};
const TStatClass TstPosValClass{.ClassName = "TstPosVal", .Code = "POS%d", .Caption = "Число в %0:d позиции тиража",
                                .HelpTopic = "POSx", .Group = 0, .Kind = skSorted | skNumbers, .HasGraph = true,
                                .HasParam = true, .ParamLow = 1, .ParamHigh = 6,
                                .Create = &MakeStat<TstPosVal, TstPosValClass>};
const TStatClass TstPosExtClass{.ClassName = "TstPosExt", .Code = "POE%d",
                                .Caption = "Extra (Bonus, Star...) - число (!без фильтра!)", .HelpTopic = "POSx",
                                .Group = 0, .Kind = 0, .HasGraph = true, .HasParam = true, .ParamLow = 1,
                                .ParamHigh = 2, .Create = &MakeStat<TstPosExt, TstPosExtClass>};

}  // namespace vexa

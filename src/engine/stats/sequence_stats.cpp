#include "stats/sequence_stats.h"

#include <array>
#include <bit>

namespace vexa {

uint64_t NumbersMask(const TComb& nums) {
  uint64_t m = 0;
  for (uint8_t n : nums)
    if (n != 0 && n < 64) m |= uint64_t{1} << n;
  return m;
}

namespace {

// ---- Runs ----------------------------------------------------------------------------

constexpr int StepCount = MainCount - 1;

// Bit k: positions k and k + 1 form a step.
template <bool EitherDirection>
unsigned StepMask(const TComb& c) {
  unsigned m = 0;
  for (int k = 0; k < StepCount; ++k) {
    const int d = c[static_cast<size_t>(k + 1)] - c[static_cast<size_t>(k)];
    const bool step = EitherDirection ? (d == 1 || d == -1) : d == 1;
    m |= static_cast<unsigned>(step) << k;
  }
  return m;
}

struct TRunInfo {
  uint8_t Count = 0;
  uint8_t Lengths[MainCount] = {};
  uint8_t Long = 0;
  uint8_t Max = 0;
  uint64_t LengthBits = 0;  // bit l for each run length l
};

// The runs for every pattern of steps: a filter test is one table read.
constexpr std::array<TRunInfo, 1u << StepCount> MakeRunTable() {
  std::array<TRunInfo, 1u << StepCount> table{};
  for (unsigned m = 0; m < table.size(); ++m) {
    TRunInfo& r = table[m];
    int len = 1;
    for (int k = 0; k <= StepCount; ++k) {
      if (k < StepCount && ((m >> k) & 1)) {
        ++len;
        continue;
      }
      r.Lengths[r.Count++] = static_cast<uint8_t>(len);
      if (len >= 2) ++r.Long;
      if (len > r.Max) r.Max = static_cast<uint8_t>(len);
      r.LengthBits |= uint64_t{1} << len;
      len = 1;
    }
  }
  return table;
}

constexpr auto RunTable = MakeRunTable();

// ---- Selections of small integers ------------------------------------------------------

// Every value of this file is an integer 0..63 in Key[0]; a key of any other
// form can never match one.
uint64_t SmallValuesMask(const TStatDrawArray& values) {
  uint64_t m = 0;
  for (const TStatDraw& v : values)
    if (v.Key[1] == 0 && v.Key[2] == 0 && v.Key[3] == 0 && v.Key[0] >= 0 && v.Key[0] < 64)
      m |= uint64_t{1} << v.Key[0];
  return m;
}

// Keeps the selection as a mask; Matches of another list scans that list.
template <typename Base>
class TSmallValued : public Base {
 public:
  using Base::Base;

  void PrepareValues(const TStatDrawArray& values) override {
    Base::PrepareValues(values);
    Mask_ = SmallValuesMask(values);
    PreparedFor_ = &values;
    PreparedSize_ = values.size();
  }

 protected:
  uint64_t SelectedMask(const TStatDrawArray& values) const {
    if (PreparedFor_ == &values && PreparedSize_ == values.size()) return Mask_;
    return SmallValuesMask(values);
  }

  void ListRange(int low, int high, TStatDrawArray& list) {
    for (int v = low; v <= high; ++v) MergeValue(list, this->FRec, v, false);
  }

 private:
  uint64_t Mask_ = 0;
  const TStatDrawArray* PreparedFor_ = nullptr;
  size_t PreparedSize_ = 0;
};

bool HasBit(uint64_t mask, int bit) { return bit >= 0 && bit < 64 && ((mask >> bit) & 1) != 0; }

// ---- SEQL ----------------------------------------------------------------------------------

class TstSequenceLen : public TSmallValued<TCustomNumbersStat> {
 public:
  using TSmallValued::TSmallValued;

  void ListAllValues(int lastIndex, TStatDrawArray& list) override {
    TCustomStat::ListAllValues(lastIndex, list);
    ListRange(1, MainCount, list);
  }

  bool Matches(const TComb& comb, const TStatDrawArray& values, int, bool, bool) const override {
    return (RunTable[StepMask<false>(comb)].LengthBits & SelectedMask(values)) != 0;
  }

 protected:
  void AddValues(const TComb& nums, TStatDraw& rec, TStatDrawArray& list, bool trackGaps) const override {
    const TRunInfo& r = RunTable[StepMask<false>(nums)];
    for (int k = 0; k < r.Count; ++k) MergeValue(list, rec, r.Lengths[k], trackGaps);
  }
};

// ---- SEQS, LENS: one figure of the runs, with a graph -----------------------------------

template <uint8_t TRunInfo::*Figure, int Low, int High>
class TstRunFigure : public TSmallValued<TCustomGraphStat> {
 public:
  using TSmallValued::TSmallValued;

  void ListAllValues(int lastIndex, TStatDrawArray& list) override {
    TCustomStat::ListAllValues(lastIndex, list);
    ListRange(Low, High, list);
  }

  bool Matches(const TComb& comb, const TStatDrawArray& values, int, bool, bool) const override {
    return HasBit(SelectedMask(values), RunTable[StepMask<false>(comb)].*Figure);
  }

  int32_t GraphValue(const TComb& comb, int, int, bool) override { return RunTable[StepMask<true>(comb)].*Figure; }

 protected:
  void AddValues(const TComb& nums, TStatDraw& rec, TStatDrawArray& list, bool trackGaps) const override {
    MergeValue(list, rec, RunTable[StepMask<false>(nums)].*Figure, trackGaps);
  }
};

using TstSequenceCnt = TstRunFigure<&TRunInfo::Long, 0, 3>;
using TstSequenceLenMax = TstRunFigure<&TRunInfo::Max, 1, MainCount>;

// ---- Repeats: shared parts ------------------------------------------------------------------

// A missing draw is six zeros, and a zero stays zero: shifting it would
// make up a number (0 + 1 = 1) that the missing draw never had.
TComb ShiftedNums(const TComb& nums, int shift) {
  TComb r = nums;
  for (uint8_t& n : r)
    if (n != 0) n = static_cast<uint8_t>(ShiftNumber(n, shift));
  return r;
}

// The numbers of draw `index`; none outside the archive.
uint64_t DrawMaskAt(const TDrawsArray& draws, int index) {
  if (index < 0 || static_cast<size_t>(index) >= draws.size()) return 0;
  return NumbersMask(draws[static_cast<size_t>(index)].Nums);
}

// Values are numbers of the reference draw (shifted, for the shift
// methods); the combination matches when one of its numbers is selected.
class TRepValuesStat : public TSmallValued<TCustomValuesStat> {
 public:
  using TSmallValued::TSmallValued;

  // In the stored order: the list is made before any draw is loaded.
  void ListAllValues(int lastIndex, TStatDrawArray& list) override {
    TCustomStat::ListAllValues(lastIndex, list);
    for (uint8_t n : ShiftedNums(DrawAt(lastIndex, false).Nums, ListShift()))
      if (n != 0) MergeValue(list, FRec, n, false);
  }

  bool Matches(const TComb& comb, const TStatDrawArray& values, int, bool, bool) const override {
    return (NumbersMask(comb) & SelectedMask(values)) != 0;
  }

 protected:
  virtual int ListShift() const { return 0; }

  // Adds, in the order of `order`, those of its numbers that are in `keep`.
  void AddKept(const TComb& order, uint64_t keep, TStatDrawArray& list) {
    for (uint8_t n : order)
      if (HasBit(keep, n)) MergeValue(list, FRec, n, true);
  }
};

// What a repeat count counts against. A number that stands twice in a draw
// counts twice on the side the count walks: the earlier draw for RPC2 and
// its kin ("the elements x of the earlier draw that are among the numbers of
// draw i"), the counted draw for RPC3 and PRB2 ("the numbers of draw i that
// are in ..."). Numbers 1..63 take part; 0 is a missing draw's filler.
struct TRepeatTarget {
  // Layers[j]: the numbers standing in the earlier draw more than j times;
  // with PerCounted, Layers[0] alone is the set the counted numbers fall in.
  std::array<uint64_t, MainCount> Layers{};
  bool PerCounted = false;

  // Each number of the earlier draw in its layer.
  static TRepeatTarget Earlier(const TComb& nums) {
    TRepeatTarget t;
    for (uint8_t n : nums) {
      if (n == 0 || n >= 64) continue;
      const uint64_t bit = uint64_t{1} << n;
      size_t j = 0;
      while (j + 1 < MainCount && (t.Layers[j] & bit) != 0) ++j;
      t.Layers[j] |= bit;
    }
    return t;
  }
  static TRepeatTarget Set(uint64_t numbers) {
    TRepeatTarget t;
    t.Layers[0] = numbers & ~uint64_t{1};
    t.PerCounted = true;
    return t;
  }

  int Count(const TComb& nums) const {
    int k = 0;
    if (PerCounted) {
      for (uint8_t n : nums) k += n < 64 ? static_cast<int>((Layers[0] >> n) & 1u) : 0;
      return k;
    }
    const uint64_t m = NumbersMask(nums);
    for (uint64_t layer : Layers) {
      if (layer == 0) break;
      k += std::popcount(m & layer);
    }
    return k;
  }
};

// A count of the numbers of a draw that repeat what its earlier draws
// give; the combination is counted as the draw after the reference draw.
class TRepCountStat : public TSmallValued<TCustomNumbersStat> {
 public:
  using TSmallValued::TSmallValued;

  // 0 gets a row only once it occurs.
  void ListAllValues(int lastIndex, TStatDrawArray& list) override {
    TCustomStat::ListAllValues(lastIndex, list);
    ListRange(1, MainCount, list);
  }

  void LoadDraw(int index, int refIndex, bool sorted) override {
    TSmallValued::LoadDraw(index, refIndex, sorted);
    NextTarget_ = Target(refIndex + 1);
  }

  void CalcDraw(int index, int lastIndex, bool sorted, TStatDrawArray& list, TStatWork&, TLastValueArray&) override {
    BeginDraw(index, lastIndex, sorted);
    MergeValue(list, FRec, Target(index).Count(FDraw.Nums), true);
  }

  // REQUIRES: LoadDraw(-1, lastIndex, sorted) was called.
  bool Matches(const TComb& comb, const TStatDrawArray& values, int, bool, bool) const override {
    return HasBit(SelectedMask(values), NextTarget_.Count(comb));
  }

 protected:
  // What the numbers of draw `index` are counted against.
  virtual TRepeatTarget Target(int index) const = 0;

 private:
  TRepeatTarget NextTarget_;
};

// ---- RPV2, PRV2O1..3, PRV+-1, PRV+-2 -------------------------------------------------------------

class TCustomRepValues2Stat : public TRepValuesStat {
 public:
  using TRepValuesStat::TRepValuesStat;

  // Added to the numbers of the earlier draw before comparing.
  virtual int Shift() const = 0;
  // How many draws back the earlier draw is.
  virtual int Gap() const = 0;

  void CalcDraw(int index, int lastIndex, bool sorted, TStatDrawArray& list, TStatWork&, TLastValueArray&) override {
    BeginDraw(index, lastIndex, sorted);
    const TComb earlier = ShiftedNums(DrawAt(index - Gap(), sorted).Nums, Shift());
    AddKept(earlier, NumbersMask(ShiftedNums(FPrevDraw.Nums, Shift())) & NumbersMask(FDraw.Nums), list);
  }

 protected:
  int ListShift() const override { return Shift(); }
};

template <int ShiftBy, int GapOf>
class TstRepValues2 final : public TCustomRepValues2Stat {
 public:
  using TCustomRepValues2Stat::TCustomRepValues2Stat;
  int Shift() const override { return ShiftBy; }
  int Gap() const override { return GapOf; }
};

// ---- RPC2, RPO1, PRC2O2..3, PRC+-1, PRC+-2 --------------------------------------------------------

class TCustomRepCount2Stat : public TRepCountStat {
 public:
  using TRepCountStat::TRepCountStat;

  virtual int Shift() const = 0;
  virtual int Gap() const = 0;

 protected:
  TRepeatTarget Target(int index) const override {
    return TRepeatTarget::Earlier(ShiftedNums(DrawAt(index - Gap(), false).Nums, Shift()));
  }
};

template <int ShiftBy, int GapOf>
class TstRepCount2 final : public TCustomRepCount2Stat {
 public:
  using TCustomRepCount2Stat::TCustomRepCount2Stat;
  int Shift() const override { return ShiftBy; }
  int Gap() const override { return GapOf; }
};

// ---- RPV3, PRL2, RPC3, PRB2: three draws in a row --------------------------------------------------

// The numbers of draw i - 1 that also were (InBoth) or were not in draw i - 2.
template <bool InBoth>
uint64_t LastTwoMask(const TDrawsArray& draws, int index) {
  const uint64_t second = DrawMaskAt(draws, index - 2);
  return DrawMaskAt(draws, index - 1) & (InBoth ? second : ~second);
}

template <bool InBoth>
class TstRepValuesThree final : public TRepValuesStat {
 public:
  using TRepValuesStat::TRepValuesStat;

  void CalcDraw(int index, int lastIndex, bool sorted, TStatDrawArray& list, TStatWork&, TLastValueArray&) override {
    BeginDraw(index, lastIndex, sorted);
    AddKept(FDraw.Nums, NumbersMask(FPrevDraw.Nums) & LastTwoMask<InBoth>(Draws(), index), list);
  }
};

template <bool InBoth>
class TstRepCountThree final : public TRepCountStat {
 public:
  using TRepCountStat::TRepCountStat;

 protected:
  TRepeatTarget Target(int index) const override { return TRepeatTarget::Set(LastTwoMask<InBoth>(Draws(), index)); }
};

using TstRepValues3 = TstRepValuesThree<true>;
using TstRepValues2B3 = TstRepValuesThree<false>;
using TstRepCount3 = TstRepCountThree<true>;
using TstRepCount2B3 = TstRepCountThree<false>;

using TstRepValues2Plain = TstRepValues2<0, 1>;
using TstRepValues2over1 = TstRepValues2<0, 2>;
using TstRepValues2over2 = TstRepValues2<0, 3>;
using TstRepValues2over3 = TstRepValues2<0, 4>;
using TstRepValues2P1 = TstRepValues2<1, 1>;
using TstRepValues2N1 = TstRepValues2<-1, 1>;
using TstRepValues2P2 = TstRepValues2<2, 1>;
using TstRepValues2N2 = TstRepValues2<-2, 1>;
using TstRepCount2Plain = TstRepCount2<0, 1>;
using TstRepCount2over1 = TstRepCount2<0, 2>;
using TstRepCount2over2 = TstRepCount2<0, 3>;
using TstRepCount2over3 = TstRepCount2<0, 4>;
using TstRepCount2P1 = TstRepCount2<1, 1>;
using TstRepCount2N1 = TstRepCount2<-1, 1>;
using TstRepCount2P2 = TstRepCount2<2, 1>;
using TstRepCount2N2 = TstRepCount2<-2, 1>;

constexpr unsigned SeqKind = skSorted | skNumbers;

constexpr TStatClass RepClass(const char* name, const char* code, const char* caption, TStatFactory create) {
  return TStatClass{.ClassName = name, .Code = code, .Caption = caption, .Group = 7, .Kind = skDraw, .Create = create};
}

}  // namespace

TRuns RunsOf(const TComb& nums, bool eitherDirection) {
  const TRunInfo& info = RunTable[eitherDirection ? StepMask<true>(nums) : StepMask<false>(nums)];
  TRuns r;
  r.Count = info.Count;
  for (int k = 0; k < info.Count; ++k) r.Lengths[k] = info.Lengths[k];
  r.Long = info.Long;
  r.Max = info.Max;
  return r;
}

const TStatClass TstSequenceLenClass{.ClassName = "TstSequenceLen", .Code = "SEQL",
                                     .Caption = "Длина последовательности в тираже", .Group = 6, .Kind = SeqKind,
                                     .Create = &MakeStat<TstSequenceLen, TstSequenceLenClass>};
const TStatClass TstSequenceCntClass{.ClassName = "TstSequenceCnt", .Code = "SEQS",
                                     .Caption = "Количество последовательностей в тираже", .Group = 6,
                                     .Kind = SeqKind, .HasGraph = true,
                                     .Create = &MakeStat<TstSequenceCnt, TstSequenceCntClass>};
const TStatClass TstSequenceLenMaxClass{.ClassName = "TstSequenceLenMax", .Code = "LENS",
                                        .Caption = "Макс. длина последовательности в тираже", .Group = 6,
                                        .Kind = SeqKind, .HasGraph = true,
                                        .Create = &MakeStat<TstSequenceLenMax, TstSequenceLenMaxClass>};

const TStatClass TstRepValues2Class =
    RepClass("TstRepValues2", "RPV2", "Повторяющиеся числа в 2-х тиражах подряд",
             &MakeStat<TstRepValues2Plain, TstRepValues2Class>);
const TStatClass TstRepValues3Class =
    RepClass("TstRepValues3", "RPV3", "Повторяющиеся числа в 3-х тиражах подряд",
             &MakeStat<TstRepValues3, TstRepValues3Class>);
const TStatClass TstRepValues2B3Class =
    RepClass("TstRepValues2B3", "PRL2", "Повторяющиеся числа не более чем в 2-х тиражах",
             &MakeStat<TstRepValues2B3, TstRepValues2B3Class>);
const TStatClass TstRepValues2over1Class =
    RepClass("TstRepValues2over1", "PRV2O1", "Повторяющиеся числа в 2-х тиражах через 1 тираж(а)",
             &MakeStat<TstRepValues2over1, TstRepValues2over1Class>);
const TStatClass TstRepValues2over2Class =
    RepClass("TstRepValues2over2", "PRV2O2", "Повторяющиеся числа в 2-х тиражах через 2 тираж(а)",
             &MakeStat<TstRepValues2over2, TstRepValues2over2Class>);
const TStatClass TstRepValues2over3Class =
    RepClass("TstRepValues2over3", "PRV2O3", "Повторяющиеся числа в 2-х тиражах через 3 тираж(а)",
             &MakeStat<TstRepValues2over3, TstRepValues2over3Class>);
const TStatClass TstRepValues2P1Class =
    RepClass("TstRepValues2P1", "PRV+1", "Данные предыдущего тиража + 1",
             &MakeStat<TstRepValues2P1, TstRepValues2P1Class>);
const TStatClass TstRepValues2N1Class =
    RepClass("TstRepValues2N1", "PRV-1", "Данные предыдущего тиража - 1",
             &MakeStat<TstRepValues2N1, TstRepValues2N1Class>);
const TStatClass TstRepValues2P2Class =
    RepClass("TstRepValues2P2", "PRV+2", "Данные предыдущего тиража + 2",
             &MakeStat<TstRepValues2P2, TstRepValues2P2Class>);
const TStatClass TstRepValues2N2Class =
    RepClass("TstRepValues2N2", "PRV-2", "Данные предыдущего тиража - 2",
             &MakeStat<TstRepValues2N2, TstRepValues2N2Class>);
const TStatClass TstRepCount2Class =
    RepClass("TstRepCount2", "RPC2", "Количество повторов в 2-х тиражах подряд",
             &MakeStat<TstRepCount2Plain, TstRepCount2Class>);
const TStatClass TstRepCount3Class =
    RepClass("TstRepCount3", "RPC3", "Количество повторов в 3-х тиражах подряд",
             &MakeStat<TstRepCount3, TstRepCount3Class>);
const TStatClass TstRepCount2B3Class =
    RepClass("TstRepCount2B3", "PRB2", "Количество повторов не более чем в 2-х тиражах",
             &MakeStat<TstRepCount2B3, TstRepCount2B3Class>);
const TStatClass TstRepCount2over1Class =
    RepClass("TstRepCount2over1", "RPO1", "Количество повторов в 2-х тиражах через 1 тираж(а)",
             &MakeStat<TstRepCount2over1, TstRepCount2over1Class>);
const TStatClass TstRepCount2over2Class =
    RepClass("TstRepCount2over2", "PRC2O2", "Количество повторов в 2-х тиражах через 2 тираж(а)",
             &MakeStat<TstRepCount2over2, TstRepCount2over2Class>);
const TStatClass TstRepCount2over3Class =
    RepClass("TstRepCount2over3", "PRC2O3", "Количество повторов в 2-х тиражах через 3 тираж(а)",
             &MakeStat<TstRepCount2over3, TstRepCount2over3Class>);
const TStatClass TstRepCount2P1Class =
    RepClass("TstRepCount2P1", "PRC+1", "Количество совпадений \"значений + 1\"",
             &MakeStat<TstRepCount2P1, TstRepCount2P1Class>);
const TStatClass TstRepCount2N1Class =
    RepClass("TstRepCount2N1", "PRC-1", "Количество совпадений \"значений - 1\"",
             &MakeStat<TstRepCount2N1, TstRepCount2N1Class>);
const TStatClass TstRepCount2P2Class =
    RepClass("TstRepCount2P2", "PRC+2", "Количество совпадений \"значений + 2\"",
             &MakeStat<TstRepCount2P2, TstRepCount2P2Class>);
const TStatClass TstRepCount2N2Class =
    RepClass("TstRepCount2N2", "PRC-2", "Количество совпадений \"значений - 2\"",
             &MakeStat<TstRepCount2N2, TstRepCount2N2Class>);

}  // namespace vexa

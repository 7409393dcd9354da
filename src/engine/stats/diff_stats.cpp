#include "stats/diff_stats.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "core/format.h"
#include "stats/stat_fast.h"
#include "stats/tuple_stat.h"

namespace vexa {

namespace {

// ---- Hot-path helpers -------------------------------------------------------------

using TDiffs = std::array<uint32_t, DiffCount>;

inline uint32_t AbsDiff(uint8_t a, uint8_t b) { return a > b ? uint32_t{a} - b : uint32_t{b} - a; }

inline TDiffs Diffs(const TComb& n) {
  return {AbsDiff(n[1], n[0]), AbsDiff(n[2], n[1]), AbsDiff(n[3], n[2]), AbsDiff(n[4], n[3]), AbsDiff(n[5], n[4])};
}


// ---- Values of six numbers -----------------------------------------------------------

int32_t MaxDiff(const TComb& nums) {
  const TDiffs d = Diffs(nums);
  return static_cast<int32_t>(std::max(std::max(std::max(d[0], d[1]), std::max(d[2], d[3])), d[4]));
}

int32_t Spread(const TComb& n) {
  const uint8_t lo = std::min(std::min(std::min(n[0], n[1]), std::min(n[2], n[3])), std::min(n[4], n[5]));
  const uint8_t hi = std::max(std::max(std::max(n[0], n[1]), std::max(n[2], n[3])), std::max(n[4], n[5]));
  return hi - lo;
}

// The ten pairs of the five differences, equal or not.
struct TEqualPairs {
  uint32_t E01, E02, E03, E04, E12, E13, E14, E23, E24, E34;

  explicit TEqualPairs(const TDiffs& d)
      : E01(d[0] == d[1]), E02(d[0] == d[2]), E03(d[0] == d[3]), E04(d[0] == d[4]), E12(d[1] == d[2]),
        E13(d[1] == d[3]), E14(d[1] == d[4]), E23(d[2] == d[3]), E24(d[2] == d[4]), E34(d[3] == d[4]) {}

  uint32_t Count() const { return E01 + E02 + E03 + E04 + E12 + E13 + E14 + E23 + E24 + E34; }
  // How many of the five equal each of them, itself included.
  std::array<uint32_t, DiffCount> SameCounts() const {
    return {1 + E01 + E02 + E03 + E04, 1 + E01 + E12 + E13 + E14, 1 + E02 + E12 + E23 + E24,
            1 + E03 + E13 + E23 + E34, 1 + E04 + E14 + E24 + E34};
  }
  // Whether each is the first of its equal ones: the order of first appearance.
  std::array<bool, DiffCount> Firsts() const {
    return {true, E01 == 0, (E02 | E12) == 0, (E03 | E13 | E23) == 0, (E04 | E14 | E24 | E34) == 0};
  }
};

// The partitions of five differences into equal ones differ in their number
// of equal pairs: 0 1 2 3 4 6 10 pairs mean a largest count of 1 2 2 3 3 4 5.
int32_t MaxSameCount(const TComb& nums) {
  static constexpr int32_t ByPairs[11] = {1, 2, 2, 3, 3, 0, 4, 0, 0, 0, 5};
  return ByPairs[TEqualPairs(Diffs(nums)).Count()];
}

TStatKey4 PairKey(int32_t first, int32_t second) {
  return {static_cast<int16_t>(first), static_cast<int16_t>(second), 0, 0};
}

TStatKey4 ValueKey(int32_t value) {
  TStatKey4 key{};
  SetKey32(key, value);
  return key;
}

// ---- DIFA: all five differences ---------------------------------------------------------

class TstDiffTotal : public TCustomNumbersStat {
 public:
  using TCustomNumbersStat::TCustomNumbersStat;

  void ListAllValues(int lastIndex, TStatDrawArray& list) override {
    TCustomStat::ListAllValues(lastIndex, list);
    for (int d = 1; d < MaxNumber; ++d) MergeValue(list, FRec, d, false);
  }

  void PrepareValues(const TStatDrawArray& values) override {
    TCustomStat::PrepareValues(values);
    BuildKey0Table(values, Key0_);
    Prepared_.Set(values);
  }

  bool Matches(const TComb& comb, const TStatDrawArray& values, int, bool, bool) const override {
    const TDiffs d = Diffs(comb);
    if (Prepared_.Is(values)) return (Key0_[d[0]] | Key0_[d[1]] | Key0_[d[2]] | Key0_[d[3]] | Key0_[d[4]]) != 0;
    return std::any_of(d.begin(), d.end(),
                       [&](uint32_t x) { return HasComponent(values, 1, static_cast<int16_t>(x)); });
  }

 protected:
  // Only d1 measures the gaps, so they run between draws where the value stood first.
  void AddValues(const TComb& nums, TStatDraw& rec, TStatDrawArray& list, bool trackGaps) const override {
    const TDiffs d = Diffs(nums);
    if (!trackGaps && list.empty()) {
      const TEqualPairs e(d);
      const auto firsts = e.Firsts();
      const auto counts = e.SameCounts();
      for (size_t i = 0; i < d.size(); ++i)
        if (firsts[i]) AppendValue(list, rec, ValueKey(static_cast<int32_t>(d[i])), counts[i]);
      return;
    }
    for (size_t i = 0; i < d.size(); ++i) MergeValue(list, rec, static_cast<int32_t>(d[i]), trackGaps && i == 0);
  }

 private:
  TPreparedList Prepared_;
  TByteTable Key0_{};
};

// ---- DIFM, DIFD, DIFK: one value with a graph ----------------------------------------------

template <int32_t (*ValueOf)(const TComb&), int32_t PreListHigh>
class TstDiffValue : public TCustomGraphStat {
 public:
  using TCustomGraphStat::TCustomGraphStat;

  void ListAllValues(int lastIndex, TStatDrawArray& list) override {
    TCustomStat::ListAllValues(lastIndex, list);
    for (int32_t v = 1; v <= PreListHigh; ++v) MergeValue(list, FRec, v, false);
  }

  void PrepareValues(const TStatDrawArray& values) override {
    TCustomStat::PrepareValues(values);
    BuildKey0Table(values, Key0_);
    Prepared_.Set(values);
  }

  bool Matches(const TComb& comb, const TStatDrawArray& values, int, bool, bool) const override {
    const int32_t v = ValueOf(comb);
    if (Prepared_.Is(values)) return Key0_[static_cast<size_t>(v)] != 0;
    return HasComponent(values, 1, static_cast<int16_t>(v));
  }

  int32_t GraphValue(const TComb& comb, int, int, bool) override { return ValueOf(comb); }

 protected:
  void AddValues(const TComb& nums, TStatDraw& rec, TStatDrawArray& list, bool trackGaps) const override {
    if (!trackGaps && list.empty())
      AppendValue(list, rec, ValueKey(ValueOf(nums)), 1);
    else
      MergeValue(list, rec, ValueOf(nums), trackGaps);
  }

 private:
  TPreparedList Prepared_;
  TByteTable Key0_{};
};

using TstDiffMax = TstDiffValue<&MaxDiff, MaxNumber - 1>;
using TstMinMaxDiffs = TstDiffValue<&Spread, MaxNumber - 1>;
using TstDiffSameCnt = TstDiffValue<&MaxSameCount, DiffCount>;

// ---- DIFO: (difference, how many times) ------------------------------------------------------

class TstDiffSame : public TCustomStat {
 public:
  using TCustomStat::TCustomStat;

  std::string ValueToText(const TStatDraw& rec) const override {
    return Format("%0:d x %1:d", {rec.Key[0], rec.Key[1]});
  }

  void PrepareValues(const TStatDrawArray& values) override {
    TCustomStat::PrepareValues(values);
    for (auto& row : Pairs_) row.fill(0);
    for (const TStatDraw& v : values) {
      const auto d = static_cast<uint16_t>(v.Key[0]);
      const auto k = static_cast<uint16_t>(v.Key[1]);
      if (v.Key[2] == 0 && v.Key[3] == 0 && d < ByteValues && k <= DiffCount) Pairs_[k][d] = 1;
    }
    Prepared_.Set(values);
  }

  bool Matches(const TComb& comb, const TStatDrawArray& values, int, bool, bool) const override {
    if (!Prepared_.Is(values)) return MatchesList(comb, values);
    // Each difference stands for its own pair; a repeated one only tests the pair again.
    const TDiffs d = Diffs(comb);
    const std::array<uint32_t, DiffCount> k = TEqualPairs(d).SameCounts();
    uint8_t hit = 0;
    Unrolled<DiffCount>([&](auto i) { hit |= Pairs_[k[i]][d[i]]; });
    return hit != 0;
  }

 protected:
  void AddValues(const TComb& nums, TStatDraw& rec, TStatDrawArray& list, bool trackGaps) const override {
    const TDiffs d = Diffs(nums);
    const TEqualPairs e(d);
    const auto firsts = e.Firsts();
    const auto counts = e.SameCounts();
    const bool append = !trackGaps && list.empty();  // the pairs differ from each other
    for (size_t i = 0; i < d.size(); ++i) {
      if (!firsts[i]) continue;
      const TStatKey4 key = PairKey(static_cast<int32_t>(d[i]), static_cast<int32_t>(counts[i]));
      if (append) {
        AppendValue(list, rec, key, 1);
      } else {
        rec.Key = key;
        MergeStatDraw(list, rec, trackGaps);
      }
    }
  }

 private:
  // The test against the list itself, without a prepared table.
  static bool MatchesList(const TComb& comb, const TStatDrawArray& values) {
    const TDiffs d = Diffs(comb);
    const TEqualPairs e(d);
    const auto counts = e.SameCounts();
    const auto firsts = e.Firsts();
    for (size_t i = 0; i < d.size(); ++i)
      if (firsts[i] && HasKey(values, PairKey(static_cast<int32_t>(d[i]), static_cast<int32_t>(counts[i]))))
        return true;
    return false;
  }

  TPreparedList Prepared_;
  std::array<TByteTable, DiffCount + 1> Pairs_{};  // [count][difference]
};

// ---- KDS2..4: runs of M consecutive differences ---------------------------------------------

// The tuple engine (tuple_stat.h) of the runs of M neighbouring differences.
template <size_t M>
class TDiffRuns {
 public:
  static constexpr size_t TupleSize = M;
  static constexpr size_t Windows = DiffCount + 1 - M;

  // Only the first window measures the gaps.
  void Add(const TComb& nums, TStatDraw& rec, TStatDrawArray& list, bool trackGaps) const {
    const TNeighbourDiffs d = NeighbourDiffs(nums);
    for (size_t s = 0; s < Windows; ++s) {
      rec.Key = WindowKey(d, s);
      MergeStatDraw(list, rec, trackGaps && s == 0);
    }
  }

  // Last_[the first M - 1 differences, 6 bits each] has bit d for every
  // selected run that ends with d; the differences of 1..45 fit 6 bits.
  void Prepare(const TStatDrawArray& values) {
    Last_.assign(size_t{1} << (Bits * (M - 1)), 0);
    for (const TStatDraw& v : values) {
      size_t prefix = 0;
      bool fits = true;
      for (size_t i = 0; i < v.Key.size(); ++i) {
        const auto c = static_cast<uint16_t>(v.Key[i]);
        fits = fits && (i < M ? c < Base : c == 0);
        if (i + 1 < M) prefix = prefix << Bits | c;
      }
      if (fits) Last_[prefix] |= uint64_t{1} << static_cast<uint16_t>(v.Key[M - 1]);
    }
    Prepared_.Set(values);
  }

  [[gnu::always_inline]] bool Matches(const TComb& comb, const TStatDrawArray& values) const {
    const TDiffs d = Diffs(comb);
    if (Prepared_.Is(values) && (d[0] | d[1] | d[2] | d[3] | d[4]) < Base) {
      uint64_t hit = 0;
      Unrolled<Windows>([&](auto s) {
        size_t prefix = 0;
        Unrolled<M - 1>([&](auto i) { prefix = prefix << Bits | d[s + i]; });
        hit |= Last_[prefix] >> d[s + M - 1];
      });
      return (hit & 1u) != 0;
    }
    const TNeighbourDiffs n = NeighbourDiffs(comb);
    for (size_t s = 0; s < Windows; ++s)
      if (HasKey(values, WindowKey(n, s))) return true;
    return false;
  }

 private:
  static constexpr size_t Bits = 6;
  static constexpr uint32_t Base = 1u << Bits;

  static TStatKey4 WindowKey(const TNeighbourDiffs& d, size_t start) {
    TStatKey4 key{};
    for (size_t i = 0; i < M; ++i) key[i] = static_cast<int16_t>(d[start + i]);
    return key;
  }

  TPreparedList Prepared_;
  std::vector<uint64_t> Last_;
};

template <size_t M>
using TstCombDiffSeq = TTupleStat<TCustomStat, TDiffRuns<M>>;

using TstCombDiffSeq2 = TstCombDiffSeq<2>;
using TstCombDiffSeq3 = TstCombDiffSeq<3>;
using TstCombDiffSeq4 = TstCombDiffSeq<4>;

}  // namespace

TNeighbourDiffs NeighbourDiffs(const TComb& nums) {
  const TDiffs d = Diffs(nums);
  return {static_cast<int>(d[0]), static_cast<int>(d[1]), static_cast<int>(d[2]), static_cast<int>(d[3]),
          static_cast<int>(d[4])};
}

const TStatClass TstDiffTotalClass{.ClassName = "TstDiffTotal", .Code = "DIFA",
                                   .Caption = "Все разности между соседними позициями", .Group = 2,
                                   .Kind = skSorted | skNumbers,
                                   .Create = &MakeStat<TstDiffTotal, TstDiffTotalClass>};
const TStatClass TstDiffMaxClass{.ClassName = "TstDiffMax", .Code = "DIFM",
                                 .Caption = "Максимальная разность между соседними позициями", .Group = 2,
                                 .Kind = skSorted | skNumbers, .HasGraph = true,
                                 .Create = &MakeStat<TstDiffMax, TstDiffMaxClass>};
const TStatClass TstMinMaxDiffsClass{.ClassName = "TstMinMaxDiffs", .Code = "DIFD",
                                     .Caption = "Разность между минимальным и максимальным числом", .Group = 2,
                                     .Kind = skNumbers, .HasGraph = true,
                                     .Create = &MakeStat<TstMinMaxDiffs, TstMinMaxDiffsClass>};
const TStatClass TstDiffSameClass{.ClassName = "TstDiffSame", .Code = "DIFO",
                                  .Caption = "Одинаковые разности между соседними позициями", .Group = 2,
                                  .Kind = skSorted | skNumbers, .AcceptsValueList = false,
                                  .Create = &MakeStat<TstDiffSame, TstDiffSameClass>};
const TStatClass TstDiffSameCntClass{.ClassName = "TstDiffSameCnt", .Code = "DIFK",
                                     .Caption = "Количество одинаковых разностей между соседними позициями",
                                     .Group = 2, .Kind = skSorted | skNumbers, .HasGraph = true,
                                     .Create = &MakeStat<TstDiffSameCnt, TstDiffSameCntClass>};
const TStatClass TstCombDiffSeq2Class{.ClassName = "TstCombDiffSeq2", .Code = "KDS2",
                                      .Caption = "Сочетания из 2 разностей между числами", .Group = 2,
                                      .Kind = skSorted, .AcceptsValueList = false,
                                      .Create = &MakeStat<TstCombDiffSeq2, TstCombDiffSeq2Class>};
const TStatClass TstCombDiffSeq3Class{.ClassName = "TstCombDiffSeq3", .Code = "KDS3",
                                      .Caption = "Сочетания из 3 разностей между числами", .Group = 2,
                                      .Kind = skSorted, .AcceptsValueList = false,
                                      .Create = &MakeStat<TstCombDiffSeq3, TstCombDiffSeq3Class>};
const TStatClass TstCombDiffSeq4Class{.ClassName = "TstCombDiffSeq4", .Code = "KDS4",
                                      .Caption = "Сочетания из 4 разностей между числами", .Group = 2,
                                      .Kind = skSorted, .AcceptsValueList = false,
                                      .Create = &MakeStat<TstCombDiffSeq4, TstCombDiffSeq4Class>};

}  // namespace vexa

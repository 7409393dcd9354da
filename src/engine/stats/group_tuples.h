// Tuples of group values over positions of the six numbers, and their
// filter tables: the column, row and segment tuple methods.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "stats/number_groups.h"

namespace vexa {

// The tuple engine (tuple_stat.h) of the methods whose item is a value of
// each number byte — its channel, column, row or segment: every choice of
// Size positions of the six in order (i < j < ...), or with Seq the runs of
// neighbouring positions. Key[0..Size-1] hold the values, the rest 0.
//
// Prepared, the selection becomes bit tables over the values the numbers
// 1..45 have (by their index among them, base Radix): one per prefix length,
// and, when the values are few, one over the values of all six positions,
// which answers a combination with a single lookup. A combination holding a
// byte of another value is answered by scanning the list.
template <int Size, bool Seq>
class TGroupTuples {
  static_assert(Size >= 2 && Size <= 4);

 public:
  static constexpr size_t TupleSize = Size;

  // The value of every byte.
  void Assign(const std::array<uint8_t, 256>& valueOfByte);
  // The group values (0 for a byte that is no number).
  void Assign(const TNumberGroups& groups);

  void Add(const TComb& nums, TStatDraw& rec, TStatDrawArray& list, bool trackGaps) const {
    ForEachChoice(MainCount, [&](const std::array<int, Size>& pos) {
      rec.Key = {};
      for (size_t m = 0; m < Size; ++m) rec.Key[m] = Value_[nums[static_cast<size_t>(pos[m])]];
      MergeStatDraw(list, rec, trackGaps);
      return false;
    });
  }

  void Prepare(const TStatDrawArray& values);

  [[gnu::always_inline]] bool Matches(const TComb& comb, const TStatDrawArray& values) const {
    if (!For_.Is(values)) return MatchesList(comb, values);
    if (!Whole_.empty()) {
      const size_t idx = Place_[0][comb[0]] + Place_[1][comb[1]] + Place_[2][comb[2]] + Place_[3][comb[3]] +
                         Place_[4][comb[4]] + Place_[5][comb[5]];
      if (idx >= Cells_) return MatchesList(comb, values);  // a byte of another value
      return (Whole_[idx >> 6] >> (idx & 63)) & 1u;
    }
    std::array<uint32_t, MainCount> d;
    uint32_t any = 0;
    for (size_t i = 0; i < MainCount; ++i) {
      d[i] = Dense_[comb[i]];
      any |= d[i];
    }
    if ((any & NoIndex) != 0) return MatchesList(comb, values);
    if constexpr (Seq) {
      for (size_t s = 0; s + Size <= MainCount; ++s) {
        size_t idx = 0;
        for (size_t m = 0; m < Size; ++m) {
          idx = idx * Radix_ + d[s + m];
          if (!Test(m, idx)) break;
          if (m == Size - 1) return true;
        }
      }
      return false;
    } else {
      return MixFrom<0>(d, 0, 0);
    }
  }

 private:
  // The table over all six positions is built when it has at most this many bits.
  static constexpr size_t WholeLimit = size_t{1} << 21;

  // Calls f(positions) for every choice among the first `count` positions,
  // in order; stops when f returns true.
  template <typename F>
  static bool ForEachChoice(int count, F f) {
    std::array<int, Size> pos{};
    if constexpr (Seq) {
      for (int s = 0; s + Size <= count; ++s) {
        for (int m = 0; m < Size; ++m) pos[static_cast<size_t>(m)] = s + m;
        if (f(pos)) return true;
      }
      return false;
    } else {
      return ChooseFrom<0>(pos, 0, count, f);
    }
  }

  template <int Depth, typename F>
  static bool ChooseFrom(std::array<int, Size>& pos, int start, int count, F& f) {
    for (int i = start; i <= count - (Size - Depth); ++i) {
      pos[Depth] = i;
      if constexpr (Depth + 1 == Size) {
        if (f(pos)) return true;
      } else {
        if (ChooseFrom<Depth + 1>(pos, i + 1, count, f)) return true;
      }
    }
    return false;
  }

  // Walks the choices as a tree of prefixes, cutting a branch as soon as no
  // selected tuple starts with it; the last position of a tuple is one test
  // of all later positions against the values that complete the prefix.
  template <int Depth>
  bool MixFrom(const std::array<uint32_t, MainCount>& d, size_t start, size_t prefix) const {
    for (size_t i = start; i + (Size - Depth) <= MainCount; ++i) {
      const size_t idx = prefix * Radix_ + d[i];
      if (!Test(Depth, idx)) continue;
      if constexpr (Depth + 2 == Size) {
        const uint64_t last = Completing(idx);
        uint64_t hit = 0;
        for (size_t p = i + 1; p < MainCount; ++p) hit |= last >> d[p];
        if (hit & 1u) return true;
      } else {
        if (MixFrom<Depth + 1>(d, i + 1, idx)) return true;
      }
    }
    return false;
  }

  // Bit v: the prefix of Size - 1 groups `idx` followed by v is selected.
  uint64_t Completing(size_t idx) const {
    const size_t pos = Offset_[Size - 1] + idx * Radix_;
    const size_t w = pos >> 6;
    const size_t off = pos & 63;
    uint64_t v = Bits_[w] >> off;
    if (off != 0) v |= Bits_[w + 1] << (64 - off);
    return v & ((uint64_t{1} << Radix_) - 1);
  }

  // Whether some selected tuple starts with the prefix of m + 1 groups `idx`.
  bool Test(size_t m, size_t idx) const {
    const size_t bit = Offset_[m] + idx;
    return (Bits_[bit >> 6] >> (bit & 63)) & 1u;
  }

  bool MatchesList(const TComb& comb, const TStatDrawArray& values) const;
  void BuildWhole();

  // Dense_ of a byte whose value no number 1..45 has; Radix stays below it.
  static constexpr uint8_t NoIndex = 0x80;

  std::array<int16_t, 256> Value_{};
  std::array<uint8_t, 256> Dense_{};         // of a byte: index of its value, or NoIndex
  std::array<int16_t, 256> DenseOfValue_{};  // of a value: index, -1 if no number has it
  size_t Radix_ = 1;
  size_t Cells_ = 0;  // of the table over six positions
  TPreparedList For_;
  std::array<size_t, Size> Offset_{};  // bit offset of each prefix length
  std::vector<uint64_t> Bits_;
  std::vector<uint64_t> Whole_;
  // Of position p and a number byte: its index times Radix^(5 - p), so that
  // the cell of six numbers is a sum and not a chain of multiplications.
  std::array<std::array<uint32_t, 256>, MainCount> Place_{};
};

}  // namespace vexa

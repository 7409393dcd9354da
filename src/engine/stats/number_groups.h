// Numbers 1..45 split into groups — the columns or rows of the matrix, the
// segments — and the filter tests the methods over them share: the same few
// bit operations once the groups are tables (built when a method is
// created) and a selection is one too (built by PrepareValues).
//
// Threads: the tables are read-only after PrepareValues, so Matches stays
// const and thread-safe.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "stats/stat.h"
#include "stats/stat_fast.h"

namespace vexa {

// Bits set in x, written out: for the baseline target std::popcount is a
// library call, too slow for the filter loops.
constexpr int BitCount(uint64_t x) {
  x = x - ((x >> 1) & 0x5555555555555555u);
  x = (x & 0x3333333333333333u) + ((x >> 2) & 0x3333333333333333u);
  x = (x + (x >> 4)) & 0x0F0F0F0F0F0F0F0Fu;
  return static_cast<int>((x * 0x0101010101010101u) >> 56);
}

// Numbers 1..45 split into groups (columns, rows or segments), with the
// per-number bits the hot loops read. Up to 64 groups are reported, each
// with an index in the order given; a byte that is no number belongs to no
// group and has the value 0.
class TNumberGroups {
 public:
  static constexpr int MaxGroups = 64;

  // values[k]: the group of number k + 1; order: the groups reported.
  void Assign(const std::array<uint8_t, MaxNumber>& values, const std::vector<uint8_t>& order);

  int Count() const { return Count_; }
  uint8_t ValueOf(uint8_t n) const { return Value_[n]; }
  uint8_t GroupAt(int i) const { return Order_[static_cast<size_t>(i)]; }
  // Index of a reported group, -1 for any other value.
  int IndexOf(int32_t value) const {
    return value >= 0 && value < 256 ? IndexOfValue_[static_cast<size_t>(value)] : -1;
  }
  // Numbers of group i as bits (bit n for number n).
  uint64_t Members(int i) const { return Members_[static_cast<size_t>(i)]; }
  // Index of the group of number byte n, -1 for none.
  int IndexOfNumber(uint8_t n) const { return IndexOfNumber_[n]; }
  // Bit of the group of number byte n (0 for none).
  uint64_t GroupBit(uint8_t n) const { return GroupBit_[n]; }

  // Bit n for every number 1..45 of the six.
  uint64_t NumberBits(const TComb& c) const {
    return NumberBit_[c[0]] | NumberBit_[c[1]] | NumberBit_[c[2]] | NumberBit_[c[3]] | NumberBit_[c[4]] |
           NumberBit_[c[5]];
  }
  // Whether each of the six is a number 1..45; any other byte has the value 0.
  bool AllNumbers(const TComb& c) const {
    return (NumberBit_[c[0]] != 0) & (NumberBit_[c[1]] != 0) & (NumberBit_[c[2]] != 0) & (NumberBit_[c[3]] != 0) &
           (NumberBit_[c[4]] != 0) & (NumberBit_[c[5]] != 0);
  }
  // Bit i for every reported group holding one of the six.
  uint64_t GroupBits(const TComb& c) const {
    return GroupBit_[c[0]] | GroupBit_[c[1]] | GroupBit_[c[2]] | GroupBit_[c[3]] | GroupBit_[c[4]] |
           GroupBit_[c[5]];
  }
  // How many of the six group i holds, a number standing twice counted
  // twice; 0 for an index of no group.
  int CountOf(const TComb& c, int i) const {
    if (i < 0) return 0;
    int k = 0;
    for (uint8_t n : c) k += IndexOfNumber_[n] == i ? 1 : 0;
    return k;
  }
  // How many of the numbers in `numberBits` group i holds.
  int CountIn(uint64_t numberBits, int i) const { return BitCount(numberBits & Members(i)); }
  // Bits of the numbers whose group is among `groups` (a set of group values).
  uint64_t NumbersOfValues(const std::array<bool, 256>& groups) const;

 private:
  std::array<uint8_t, 256> Value_{};
  std::array<int8_t, 256> IndexOfValue_{};
  std::array<int8_t, 256> IndexOfNumber_{};
  std::array<uint64_t, 256> NumberBit_{};
  std::array<uint64_t, 256> GroupBit_{};
  std::array<uint8_t, MaxGroups> Order_{};
  std::array<uint64_t, MaxGroups> Members_{};
  int Count_ = 0;
};

// Adds rec with `key`, a value known to differ from the others of the same
// call: a list that started the call empty has nothing to merge it with.
// (The key goes into the list's copy: rewriting rec's key piecewise just
// before copying it stalls the copy, at a cost the full-set count notices.)
inline void AddDistinct(TStatDrawArray& list, TStatDraw& rec, const TStatKey4& key, bool fresh, bool trackGaps) {
  if (fresh) {
    list.push_back(rec);
    list.back().Key = key;
  } else {
    rec.Key = key;
    MergeStatDraw(list, rec, trackGaps);
  }
}

// Adds the group value of each of the six numbers (six values, a group
// holding two numbers counted twice); a number of no group gives 0.
void AddGroupValues(const TNumberGroups& groups, const TComb& nums, TStatDraw& rec, TStatDrawArray& list,
                    bool trackGaps);

// The selected Key[0] values of 0..255, for the tests "Key[0] equals a
// group" and "Key[0] equals a count".
class TComponentSet {
 public:
  void Prepare(const TStatDrawArray& values);
  bool Has(const TStatDrawArray& values, int x) const {
    if (For_.Is(values)) return x >= 0 && x < 256 && Set_[static_cast<size_t>(x)];
    return HasComponent(values, 1, static_cast<int16_t>(x));
  }
  bool PreparedFor(const TStatDrawArray& values) const { return For_.Is(values); }
  const std::array<bool, 256>& Set() const { return Set_; }

 private:
  TPreparedList For_;
  std::array<bool, 256> Set_{};
};

// The (group, count) pairs: every reported group gives Key[0] = its value,
// Key[1] = how many of the six it holds, 0 included.
class TGroupCountPairs {
 public:
  static TStatKey4 KeyOf(int group, int count) {
    return {static_cast<int16_t>(group), static_cast<int16_t>(count), 0, 0};
  }
  // The pairs of six numbers in group order.
  static void Add(const TNumberGroups& groups, const TComb& nums, TStatDraw& rec, TStatDrawArray& list,
                  bool trackGaps);
  void Prepare(const TNumberGroups& groups, const TStatDrawArray& values);
  // Some selected value equals a pair of the combination.
  bool Matches(const TNumberGroups& groups, const TComb& comb, const TStatDrawArray& values) const {
    if (!For_.Is(values)) return MatchesList(groups, comb, values);
    if (!Packed_) return MatchesPrepared(groups, comb);
    const uint64_t counts = Inc_[comb[0]] + Inc_[comb[1]] + Inc_[comb[2]] + Inc_[comb[3]] + Inc_[comb[4]] +
                            Inc_[comb[5]];
    for (size_t c = 0; c < Chunks_; ++c) {
      const uint64_t v = (counts >> (ChunkBits * c)) & (ChunkSize - 1);
      if ((Table_[c * ChunkWords + (v >> 6)] >> (v & 63)) & 1u) return true;
    }
    return false;
  }

 private:
  // Up to 21 groups keep their counts (at most 6) in 3-bit fields of one
  // word; the word is then read four groups at a time through tables that
  // say whether any of the four counts is selected.
  static constexpr int MaxPacked = 21;
  static constexpr size_t GroupsPerChunk = 4;
  static constexpr size_t ChunkBits = 3 * GroupsPerChunk;
  static constexpr size_t ChunkSize = size_t{1} << ChunkBits;
  static constexpr size_t ChunkWords = ChunkSize / 64;

  bool MatchesList(const TNumberGroups& groups, const TComb& comb, const TStatDrawArray& values) const;
  bool MatchesPrepared(const TNumberGroups& groups, const TComb& comb) const;

  TPreparedList For_;
  std::array<uint8_t, TNumberGroups::MaxGroups> Counts_{};  // bit k: (group i, k) selected
  uint64_t Empty_ = 0;                                       // bit i: (group i, 0) selected
  bool Packed_ = false;
  std::array<uint64_t, 256> Inc_{};  // of a number byte: 1 in its group's field
  size_t Chunks_ = 0;
  std::vector<uint64_t> Table_;
};

}  // namespace vexa

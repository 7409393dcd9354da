// Matrix methods: where the six numbers stand in the matrix that writes
// 1..45 row by row in MatrixCols columns — the columns and rows occupied,
// numbers per column or row, occupation patterns, columns and rows holding
// matrix neighbours, column and row tuples, the count in one column or row.
//
// A column, a row and a segment are each a group of numbers, and the filter
// tests over them are the same few bit operations. The group tables below
// are therefore shared with the segment methods (segment_stats.h): they turn
// the per-number work of Matches into table lookups, built once when a
// method is created (the groups) and once per selection (PrepareValues).
//
// COLM and ROWM: a pattern of more than 32 columns (rows) takes all four key
// components as one 64-bit value; up to 32 it is the 32-bit value.
//
// Threads: the tables are read-only after PrepareValues, so Matches stays
// const and thread-safe.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "stats/stat.h"

namespace vexa {

extern const TStatClass TstColumnsClass;        // COLS
extern const TStatClass TstRowsClass;           // ROWS
extern const TStatClass TstColValuesClass;      // COLV
extern const TStatClass TstRowValuesClass;      // ROWV
extern const TStatClass TstColCountClass;       // COLN
extern const TStatClass TstRowCountClass;       // ROWN
extern const TStatClass TstColMaskClass;        // COLM
extern const TStatClass TstRowMaskClass;        // ROWM
extern const TStatClass TstColAjacentClass;     // COLA
extern const TStatClass TstRowAjacentClass;     // ROWA
extern const TStatClass TstColAjacentCntClass;  // COLC
extern const TStatClass TstRowAjacentCntClass;  // ROWC
extern const TStatClass TstCombColMix2Class;    // KFM2
extern const TStatClass TstCombColMix3Class;    // KFM3
extern const TStatClass TstCombColMix4Class;    // KFM4
extern const TStatClass TstCombColSeq2Class;    // KFS2
extern const TStatClass TstCombColSeq3Class;    // KFS3
extern const TStatClass TstCombColSeq4Class;    // KFS4
extern const TStatClass TstCombRowMix2Class;    // KRM2
extern const TStatClass TstCombRowMix3Class;    // KRM3
extern const TStatClass TstCombRowMix4Class;    // KRM4
extern const TStatClass TstCombRowSeq2Class;    // KRS2
extern const TStatClass TstCombRowSeq3Class;    // KRS3
extern const TStatClass TstCombRowSeq4Class;    // KRS4
extern const TStatClass TstColValCntClass;      // COL1..MatrixCols
extern const TStatClass TstRowValCntClass;      // ROW1..MatrixRows

// The matrix width the methods use: MatrixCols of the list, 0 (no matrix)
// when not positive, at most 45 (the settings never hold more).
int MatrixColsOf(const TStatList& list);
// ceil(45 / cols); 0 without a matrix.
int MatrixRowsOf(int cols);

// ---- Groups of numbers -----------------------------------------------------------

// Bits set in x, written out: for the baseline target std::popcount is a
// library call, too slow for the filter loops.
constexpr int BitCount(uint64_t x) {
  x = x - ((x >> 1) & 0x5555555555555555u);
  x = (x & 0x3333333333333333u) + ((x >> 2) & 0x3333333333333333u);
  x = (x + (x >> 4)) & 0x0F0F0F0F0F0F0F0Fu;
  return static_cast<int>((x * 0x0101010101010101u) >> 56);
}

// Which selection a method's lookup tables were built from. Matches uses the
// tables only for that very list, unchanged in size, and scans it otherwise.
struct TPreparedList {
  const TStatDrawArray* List = nullptr;
  size_t Size = 0;
  void Set(const TStatDrawArray& values) {
    List = &values;
    Size = values.size();
  }
  bool Is(const TStatDrawArray& values) const { return List == &values && Size == values.size(); }
};

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

// Group tuples over positions of the six numbers: every choice of Size
// positions in order (i < j < ...), or with Seq the runs of neighbouring
// positions. Key[0..Size-1] hold the group values, the rest 0.
//
// Prepared, the selection becomes bit tables over the group values (by
// their index in the groups' value list, base Radix): one per prefix length,
// and, when the groups are few, one over the groups of all six positions,
// which answers a combination with a single lookup.
template <int Size, bool Seq>
class TGroupTuples {
  static_assert(Size >= 2 && Size <= 4);

 public:
  void Assign(const TNumberGroups& groups);

  void Add(const TComb& nums, TStatDraw& rec, TStatDrawArray& list, bool trackGaps) const {
    ForEachChoice(MainCount, [&](const std::array<int, Size>& pos) {
      rec.Key = {};
      for (size_t m = 0; m < Size; ++m) rec.Key[m] = Value_[nums[static_cast<size_t>(pos[m])]];
      MergeStatDraw(list, rec, trackGaps);
      return false;
    });
  }

  // "3:7", "3:7:9".
  static std::string Text(const TStatDraw& rec) {
    std::string s = std::to_string(rec.Key[0]);
    for (size_t m = 1; m < Size; ++m) s += ":" + std::to_string(rec.Key[m]);
    return s;
  }

  void Prepare(const TStatDrawArray& values);

  bool Matches(const TComb& comb, const TStatDrawArray& values) const {
    if (!For_.Is(values)) return MatchesList(comb, values);
    if (!Whole_.empty()) {
      const size_t idx = Place_[0][comb[0]] + Place_[1][comb[1]] + Place_[2][comb[2]] + Place_[3][comb[3]] +
                         Place_[4][comb[4]] + Place_[5][comb[5]];
      return (Whole_[idx >> 6] >> (idx & 63)) & 1u;
    }
    std::array<uint32_t, MainCount> d;
    for (size_t i = 0; i < MainCount; ++i) d[i] = Dense_[comb[i]];
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

  std::array<int16_t, 256> Value_{};
  std::array<uint8_t, 256> Dense_{};         // of a number byte: index of its value
  std::array<int16_t, 256> DenseOfValue_{};  // of a group value: index, -1 if no number has it
  size_t Radix_ = 1;
  TPreparedList For_;
  std::array<size_t, Size> Offset_{};  // bit offset of each prefix length
  std::vector<uint64_t> Bits_;
  std::vector<uint64_t> Whole_;
  // Of position p and a number byte: its index times Radix^(5 - p), so that
  // the cell of six numbers is a sum and not a chain of multiplications.
  std::array<std::array<uint32_t, 256>, MainCount> Place_{};
};

}  // namespace vexa

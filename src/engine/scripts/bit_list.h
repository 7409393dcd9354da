// A combinations list kept as one bit per combination of the full set.
//
// A script line that starts from the full list (the default generation,
// every combination) only ever narrows it, keeping the order; so its list
// is always a subsequence of the full set in generation order, and one bit
// per combination (about 1 MB) holds it exactly. Narrowing it costs no
// copies of combinations, and the undo copy is a copy of the bits.
//
// Filtering asks the statistic's MatchWord for exactly the combinations of
// the list, with the same values, last index, order flag and delete flag
// as ApplyFilter would, so the result is the same list. The answers for a
// whole selection over the full set may be kept (TMatchCache) and reused
// while they cannot change: for the same method, values, flags and, unless
// the method judges a combination by its numbers alone, the same last index.
#pragma once

#include <cstddef>
#include <cstdint>
#include <list>
#include <memory>
#include <span>
#include <string>
#include <unordered_map>
#include <vector>

#include "core/game.h"
#include "core/records.h"
#include "stats/stat.h"

namespace vexa {

// Every combination in the order the default generation makes them
// (1 2 3 4 5 6, 1 2 3 4 5 7, ... 40 41 42 43 44 45).
class TFullCombs {
 public:
  static constexpr size_t Total = AllCombsCount;
  static constexpr size_t Words = (Total + 63) / 64;

  TFullCombs();  // about 49 MB
  const TComb* Data() const { return All_.data(); }
  const TComb& operator[](size_t position) const { return All_[position]; }

  // Place of a combination of six ascending numbers 1..45; -1 for any other.
  static int64_t PositionOf(const TComb& comb);

 private:
  std::vector<TComb> All_;
};

class TBitList {
 public:
  TBitList() = default;
  void SetAll();
  void Clear();
  int Count() const { return Count_; }
  bool Test(size_t position) const { return ((Bits_[position / 64] >> (position % 64)) & 1) != 0; }
  void Reset(size_t position);
  // Position of the i-th combination of the list. REQUIRES: 0 <= i < Count().
  size_t Select(int i) const;
  std::span<const uint64_t> Words() const { return Bits_; }
  std::span<uint64_t> MutableWords() { return Bits_; }
  void Recount();

  template <typename F>
  void ForEach(F f) const {
    for (size_t w = 0; w < Bits_.size(); ++w)
      for (uint64_t bits = Bits_[w]; bits != 0; bits &= bits - 1)
        if (!f(w * 64 + static_cast<size_t>(__builtin_ctzll(bits)))) return;
  }

 private:
  std::vector<uint64_t> Bits_;
  int Count_ = 0;
};

// What a method answered for one selection: Known has a bit for every
// combination it was asked about, Kept the bits it kept.
struct TMatchAnswers {
  std::vector<uint64_t> Known;
  std::vector<uint64_t> Kept;
};

// Answers of earlier filters, newest use first; the oldest are forgotten
// beyond the capacity (each takes about 2 MB).
class TMatchCache {
 public:
  explicit TMatchCache(size_t capacity = 96) : Capacity_(capacity) {}
  // The key of one question: the selected keys as a set (every method asks
  // only whether some selected value is the combination's), the flags, and
  // lastIndex, -1 when the answers do not depend on it.
  static std::string KeyOf(int method, const TStatDrawArray& values, int lastIndex, bool sorted, bool del);
  // The answers under this key, empty ones when there are none yet.
  TMatchAnswers& Get(const std::string& key);
  void Clear();
  size_t Size() const { return Map_.size(); }

 private:
  using TEntry = std::pair<std::string, TMatchAnswers>;
  size_t Capacity_;
  std::list<TEntry> Order_;
  std::unordered_map<std::string, std::list<TEntry>::iterator> Map_;
};

// Whether the method's answer for a combination depends on it alone (not on
// the draw it would follow), so that one answer holds at every offset.
bool MatchesIgnoreLastIndex(const TStatClass& cls);

struct TBitFilter {
  const TCustomStat* Stat = nullptr;  // LoadDraw and PrepareValues done
  const TStatDrawArray* Values = nullptr;
  int LastIndex = 0;
  bool Sorted = false;
  bool Del = false;
  int Threads = 0;  // 0: one per core
};

// Narrows the list to the combinations the filter keeps, asking the method
// only about those `answers` does not know yet and keeping what it learns.
// Returns the new count.
int64_t NarrowBits(const TFullCombs& all, std::span<uint64_t> list, TMatchAnswers& answers, const TBitFilter& filter);

// Number of bits set (without relying on a POPCNT instruction).
constexpr int PopCount(uint64_t x) {
  x -= (x >> 1) & 0x5555555555555555ull;
  x = (x & 0x3333333333333333ull) + ((x >> 2) & 0x3333333333333333ull);
  x = (x + (x >> 4)) & 0x0F0F0F0F0F0F0F0Full;
  return static_cast<int>((x * 0x0101010101010101ull) >> 56);
}

}  // namespace vexa

#include "stats/number_groups.h"

#include <bit>

namespace vexa {

void TNumberGroups::Assign(const std::array<uint8_t, MaxNumber>& values, const std::vector<uint8_t>& order) {
  *this = TNumberGroups{};
  IndexOfValue_.fill(-1);
  IndexOfNumber_.fill(-1);
  for (uint8_t g : order) {
    if (Count_ == MaxGroups) break;
    if (IndexOfValue_[g] >= 0) continue;
    IndexOfValue_[g] = static_cast<int8_t>(Count_);
    Order_[static_cast<size_t>(Count_++)] = g;
  }
  for (int n = 1; n <= MaxNumber; ++n) {
    const auto b = static_cast<size_t>(n);
    const uint8_t v = values[b - 1];
    Value_[b] = v;
    NumberBit_[b] = uint64_t{1} << n;
    const int i = IndexOfValue_[v];
    IndexOfNumber_[b] = static_cast<int8_t>(i);
    if (i < 0) continue;
    GroupBit_[b] = uint64_t{1} << i;
    Members_[static_cast<size_t>(i)] |= NumberBit_[b];
  }
}

uint64_t TNumberGroups::NumbersOfValues(const std::array<bool, 256>& groups) const {
  uint64_t bits = 0;
  for (size_t n = 1; n <= MaxNumber; ++n)
    if (groups[Value_[n]]) bits |= NumberBit_[n];
  return bits;
}

void TComponentSet::Prepare(const TStatDrawArray& values) {
  Set_.fill(false);
  for (const TStatDraw& v : values)
    if (v.Key[0] >= 0 && v.Key[0] < 256) Set_[static_cast<size_t>(v.Key[0])] = true;
  For_.Set(values);
}

void AddGroupValues(const TNumberGroups& groups, const TComb& nums, TStatDraw& rec, TStatDrawArray& list,
                    bool trackGaps) {
  bool plain = list.empty() && !trackGaps;
  for (uint8_t n : nums) plain = plain && groups.IndexOfNumber(n) >= 0;
  if (!plain) {
    for (uint8_t n : nums) MergeValue(list, rec, groups.ValueOf(n), trackGaps);
    return;
  }
  // Nothing to merge with: every position writes the next free entry, which
  // only a new group keeps; a known group adds its hit to its own entry.
  // No branch per position, and no load of a record just written piecewise.
  list.resize(MainCount);
  TStatDraw* out = list.data();
  std::array<size_t, TNumberGroups::MaxGroups> slotOf;
  uint64_t seen = 0;
  size_t k = 0;
  for (uint8_t n : nums) {
    const auto i = static_cast<size_t>(groups.IndexOfNumber(n));
    const uint64_t bit = uint64_t{1} << i;
    const bool isNew = (seen & bit) == 0;
    seen |= bit;
    TStatDraw& e = out[k];
    e = rec;
    e.Hits = 0;
    SetKey32(e.Key, groups.ValueOf(n));
    const size_t slot = isNew ? k : slotOf[i];
    slotOf[i] = slot;
    out[slot].Hits += rec.Hits;
    k += isNew ? 1 : 0;
  }
  list.resize(k);
}

void TGroupCountPairs::Add(const TNumberGroups& groups, const TComb& nums, TStatDraw& rec, TStatDrawArray& list,
                           bool trackGaps) {
  std::array<uint8_t, TNumberGroups::MaxGroups> counts{};
  for (uint8_t n : nums) {
    const int i = groups.IndexOfNumber(n);
    if (i >= 0) ++counts[static_cast<size_t>(i)];
  }
  const bool fresh = list.empty();
  for (int i = 0; i < groups.Count(); ++i) {
    AddDistinct(list, rec, KeyOf(groups.GroupAt(i), counts[static_cast<size_t>(i)]), fresh, trackGaps);
  }
}

void TGroupCountPairs::Prepare(const TNumberGroups& groups, const TStatDrawArray& values) {
  Counts_.fill(0);
  Empty_ = 0;
  for (const TStatDraw& v : values) {
    const int i = groups.IndexOf(v.Key[0]);
    const int k = v.Key[1];
    if (i < 0 || k < 0 || k > 7 || v.Key[2] != 0 || v.Key[3] != 0) continue;
    Counts_[static_cast<size_t>(i)] |= static_cast<uint8_t>(1u << k);
    if (k == 0) Empty_ |= uint64_t{1} << i;
  }
  Packed_ = groups.Count() <= MaxPacked;
  Inc_.fill(0);
  Table_.clear();
  Chunks_ = 0;
  if (Packed_) {
    for (int n = 0; n < 256; ++n) {
      const int i = groups.IndexOfNumber(static_cast<uint8_t>(n));
      if (i >= 0) Inc_[static_cast<size_t>(n)] = uint64_t{1} << (3 * i);
    }
    const auto count = static_cast<size_t>(groups.Count());
    Chunks_ = (count + GroupsPerChunk - 1) / GroupsPerChunk;
    Table_.assign(Chunks_ * ChunkWords, 0);
    for (size_t c = 0; c < Chunks_; ++c)
      for (size_t v = 0; v < ChunkSize; ++v)
        for (size_t j = 0; j < GroupsPerChunk && c * GroupsPerChunk + j < count; ++j) {
          const size_t k = (v >> (3 * j)) & 7;
          if ((Counts_[c * GroupsPerChunk + j] >> k) & 1u) Table_[c * ChunkWords + (v >> 6)] |= uint64_t{1} << (v & 63);
        }
  }
  For_.Set(values);
}

bool TGroupCountPairs::MatchesList(const TNumberGroups& groups, const TComb& comb,
                                   const TStatDrawArray& values) const {
  for (int i = 0; i < groups.Count(); ++i)
    if (HasKey(values, KeyOf(groups.GroupAt(i), groups.CountOf(comb, i)))) return true;
  return false;
}

bool TGroupCountPairs::MatchesPrepared(const TNumberGroups& groups, const TComb& comb) const {
  uint64_t occupied = groups.GroupBits(comb);
  if ((Empty_ & ~occupied) != 0) return true;
  for (; occupied != 0; occupied &= occupied - 1) {
    const int i = std::countr_zero(occupied);
    if ((Counts_[static_cast<size_t>(i)] >> groups.CountOf(comb, i)) & 1u) return true;
  }
  return false;
}

}  // namespace vexa

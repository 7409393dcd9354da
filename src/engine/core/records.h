// Accumulation records filled by the statistics, stakes and ratings, and
// their merge operations.
//
// Merges search linearly and append at the end, so the order of entries is
// the order of first appearance; callers may rely on it.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <unordered_map>
#include <vector>

namespace vexa {

struct TStatSimple {
  int32_t Key = 0;
  int32_t Count = 0;
  bool operator==(const TStatSimple&) const = default;
};
using TStatSimpleArray = std::vector<TStatSimple>;

using TStatKey4 = std::array<int16_t, 4>;

// One distinct value of a statistic with its counters.
struct TStatDraw {
  int32_t Draw = 0;       // draw of the latest occurrence merged
  int32_t Age = 0;        // distance of that occurrence from the window's end; 0: none
  int32_t PrevDraw = 0;   // Draw of the previous merge, for intervals
  uint16_t MinGap = 0;    // 0: none yet
  uint16_t MaxGap = 0;    // 0: none yet
  int32_t Hits = 0;
  int32_t Expected = 0;   // copied on append, never merged
  TStatKey4 Key{};
  bool operator==(const TStatDraw&) const = default;
};
static_assert(sizeof(TStatDraw) == 32, "TStatDraw layout");
using TStatDrawArray = std::vector<TStatDraw>;

// The short form: only the value and its hits travel.
struct TStatKeyHits {
  TStatKey4 Key{};
  int32_t Hits = 0;
  bool operator==(const TStatKeyHits&) const = default;
};
static_assert(sizeof(TStatKeyHits) == 12, "short key form layout");

TStatKeyHits ToKeyHits(const TStatDraw& entry);
TStatDraw FromKeyHits(const TStatKeyHits& entry);

struct TLastValue {
  int32_t Value = 0;
  int32_t Extra = 0;  // not touched by the merge
  TStatKey4 Key{};
};
using TLastValueArray = std::vector<TLastValue>;

struct TProfitDraw {
  int32_t Draw = 0;
  int64_t Profit = 0;  // 1/10000 of the currency
};
using TProfitDrawArray = std::vector<TProfitDraw>;

struct TStatTotals {
  int64_t SumHits = 0;
  int32_t MinHits = 0;
  int32_t MaxHits = 0;
  int32_t MaxAge = 0;
};

void AddStatSimple(TStatSimpleArray& array, int32_t key, int32_t n);
void MergeStatDraw(TStatDrawArray& array, const TStatDraw& entry, bool trackGaps);

// While alive, MergeStatDraw into `array` on the creating thread finds the
// entry through a hash index instead of a linear search: a statistics window
// merges thousands of distinct values. The result is the same entry the
// search finds (the first with the key).
// REQUIRES: while alive, the array's entries keep their places and keys; it
// may grow at its end by any means (the new tail is indexed when next asked).
// Scopes nest; each must end on its own thread, innermost first.
class TStatDrawMergeIndex {
 public:
  explicit TStatDrawMergeIndex(const TStatDrawArray& array);
  ~TStatDrawMergeIndex();
  TStatDrawMergeIndex(const TStatDrawMergeIndex&) = delete;
  TStatDrawMergeIndex& operator=(const TStatDrawMergeIndex&) = delete;

  // The active index of this array on this thread, or nullptr.
  static TStatDrawMergeIndex* For(const TStatDrawArray& array);
  // The place of the first entry with `key`; array.size() when none.
  size_t Find(const TStatKey4& key);

 private:
  const TStatDrawArray& Array_;
  TStatDrawMergeIndex* Outer_;
  size_t Indexed_ = 0;  // entries 0 .. Indexed_ - 1 are in Places_
  std::unordered_map<uint64_t, size_t> Places_;
};
TStatTotals StatDrawTotals(const TStatDrawArray& array);
int32_t MergeLastValue(TLastValueArray& array, int32_t value, const TStatKey4& key);
void MergeProfit(TProfitDrawArray& array, int32_t draw, int64_t amount);

void SortStatSimple(TStatSimpleArray& array);  // ascending Key, stable
void SortStatDraw(TStatDrawArray& array);      // ascending Key[0..3] as uint16, stable

}  // namespace vexa

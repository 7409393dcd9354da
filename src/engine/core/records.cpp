#include "core/records.h"

#include <algorithm>
#include <cstdlib>
#include <limits>

namespace vexa {

TStatKeyHits ToKeyHits(const TStatDraw& entry) { return TStatKeyHits{entry.Key, entry.Hits}; }

TStatDraw FromKeyHits(const TStatKeyHits& entry) {
  TStatDraw d;
  d.Key = entry.Key;
  d.Hits = entry.Hits;
  return d;
}

void AddStatSimple(TStatSimpleArray& array, int32_t key, int32_t n) {
  for (auto& e : array) {
    if (e.Key == key) {
      if (n > 0) e.Count += n;
      return;
    }
  }
  array.push_back(TStatSimple{key, n});
}

namespace {

thread_local TStatDrawMergeIndex* ActiveMergeIndex = nullptr;

uint64_t PackedKey(const TStatKey4& key) {
  return static_cast<uint64_t>(static_cast<uint16_t>(key[0])) |
         (static_cast<uint64_t>(static_cast<uint16_t>(key[1])) << 16) |
         (static_cast<uint64_t>(static_cast<uint16_t>(key[2])) << 32) |
         (static_cast<uint64_t>(static_cast<uint16_t>(key[3])) << 48);
}

}  // namespace

TStatDrawMergeIndex::TStatDrawMergeIndex(const TStatDrawArray& array) : Array_(array), Outer_(ActiveMergeIndex) {
  ActiveMergeIndex = this;
}

TStatDrawMergeIndex::~TStatDrawMergeIndex() { ActiveMergeIndex = Outer_; }

TStatDrawMergeIndex* TStatDrawMergeIndex::For(const TStatDrawArray& array) {
  for (TStatDrawMergeIndex* i = ActiveMergeIndex; i != nullptr; i = i->Outer_)
    if (&i->Array_ == &array) return i;
  return nullptr;
}

size_t TStatDrawMergeIndex::Find(const TStatKey4& key) {
  if (Array_.size() < Indexed_) {  // shrunk against the contract: start over rather than answer wrong
    Places_.clear();
    Indexed_ = 0;
  }
  for (; Indexed_ < Array_.size(); ++Indexed_) Places_.emplace(PackedKey(Array_[Indexed_].Key), Indexed_);
  const auto it = Places_.find(PackedKey(key));
  return it == Places_.end() ? Array_.size() : it->second;
}

void MergeStatDraw(TStatDrawArray& array, const TStatDraw& entry, bool trackGaps) {
  const TStatKey4& k = entry.Key;
  TStatDrawArray::iterator it;
  if (TStatDrawMergeIndex* index = ActiveMergeIndex != nullptr ? TStatDrawMergeIndex::For(array) : nullptr) {
    it = array.begin() + static_cast<std::ptrdiff_t>(index->Find(k));
  } else {
    // Component by component: std::array's == calls memcmp, which dominated
    // counting over all combinations.
    it = std::find_if(array.begin(), array.end(), [&](const TStatDraw& e) {
      return e.Key[0] == k[0] && e.Key[1] == k[1] && e.Key[2] == k[2] && e.Key[3] == k[3];
    });
  }
  if (it == array.end()) {
    array.push_back(entry);
    return;
  }
  TStatDraw& s = *it;
  s.Hits += entry.Hits;
  if (s.Age == 0 || (entry.Age > 0 && s.Age >= entry.Age)) {
    s.Draw = entry.Draw;
    s.Age = entry.Age;
  }
  if (trackGaps && entry.Draw > 0 && s.PrevDraw > 0) {
    const int64_t gap = std::llabs(static_cast<int64_t>(s.PrevDraw) - entry.Draw);
    const auto g = static_cast<uint16_t>(std::min<int64_t>(gap, std::numeric_limits<uint16_t>::max()));
    if (s.MinGap == 0 || g < s.MinGap) s.MinGap = g;
    if (s.MaxGap == 0 || g > s.MaxGap) s.MaxGap = g;
  }
  s.PrevDraw = entry.Draw;
}

TStatTotals StatDrawTotals(const TStatDrawArray& array) {
  TStatTotals t;
  t.MinHits = std::numeric_limits<int32_t>::max();
  for (const auto& e : array) {
    t.SumHits += e.Hits;
    t.MinHits = std::min(t.MinHits, e.Hits);
    t.MaxHits = std::max(t.MaxHits, e.Hits);
    t.MaxAge = std::max(t.MaxAge, e.Age);
  }
  return t;
}

int32_t MergeLastValue(TLastValueArray& array, int32_t value, const TStatKey4& key) {
  for (auto& e : array) {
    if (e.Key == key) {
      const int32_t diff = value - e.Value;
      e.Value = value;
      return diff;
    }
  }
  TLastValue v;
  v.Value = value;
  v.Key = key;
  array.push_back(v);
  return -1;
}

void MergeProfit(TProfitDrawArray& array, int32_t draw, int64_t amount) {
  for (auto& e : array) {
    if (e.Draw == draw) {
      e.Profit += amount;
      return;
    }
  }
  array.push_back(TProfitDraw{draw, amount});
}

void SortStatSimple(TStatSimpleArray& array) {
  std::stable_sort(array.begin(), array.end(), [](const TStatSimple& a, const TStatSimple& b) { return a.Key < b.Key; });
}

void SortStatDraw(TStatDrawArray& array) {
  std::stable_sort(array.begin(), array.end(), [](const TStatDraw& a, const TStatDraw& b) {
    for (size_t i = 0; i < 4; ++i) {
      const auto x = static_cast<uint16_t>(a.Key[i]);
      const auto y = static_cast<uint16_t>(b.Key[i]);
      if (x != y) return x < y;
    }
    return false;
  });
}

}  // namespace vexa

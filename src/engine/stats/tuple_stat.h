// The tuple methods of every family — numbers (KNM, KNS, KNP), differences
// (KDS), channels (KCM, KCS), columns and rows (KFM .. KRS), segments (KGM,
// KGS) — are one method over different items: a value is a tuple of Size
// items taken at positions of a draw (Key[0..Size-1], the rest 0), the text
// joins them with ":", and because the order of the numbers decides the
// tuples a combination has none. What differs is the items and the tables
// that answer the filter test, which an engine supplies:
//
//   static constexpr size_t TupleSize;
//   void Add(const TComb& nums, TStatDraw& rec, TStatDrawArray& list, bool trackGaps) const;
//   void Prepare(const TStatDrawArray& values);
//   [[gnu::always_inline]] bool Matches(const TComb& comb, const TStatDrawArray& values) const;
//
// Matches uses the prepared tables for the very list Prepare saw, and scans
// any other list; it is always inlined into the method's own Matches, which
// a filter calls once per combination. Threads: the engine is read-only
// after Prepare.
#pragma once

#include <cstddef>
#include <string>

#include "stats/stat.h"

namespace vexa {

// "3:7", "3:7:9": the first `size` components of the key.
inline std::string TupleText(const TStatDraw& rec, size_t size) {
  std::string s = std::to_string(rec.Key[0]);
  for (size_t m = 1; m < size && m < rec.Key.size(); ++m) s += ":" + std::to_string(rec.Key[m]);
  return s;
}

template <typename TBase, typename TEngine>
class TTupleStat : public TBase {
 public:
  using TBase::TBase;

  std::string ValueToText(const TStatDraw& rec) const override { return TupleText(rec, TEngine::TupleSize); }

  void CalcCombination(const TComb&, TStatDrawArray&) const override {}

  void PrepareValues(const TStatDrawArray& values) override { Engine_.Prepare(values); }

  bool Matches(const TComb& comb, const TStatDrawArray& values, int, bool, bool) const override {
    return Engine_.Matches(comb, values);
  }

  // The engine's test inline, not a call per combination.
  uint64_t MatchWord(const TComb* in, size_t m, const TStatDrawArray& values, int lastIndex, bool sorted,
                     bool del) const override {
    return MatchWordOf(*this, in, m, values, lastIndex, sorted, del);
  }

 protected:
  void AddValues(const TComb& nums, TStatDraw& rec, TStatDrawArray& list, bool trackGaps) const override {
    Engine_.Add(nums, rec, list, trackGaps);
  }

  TEngine Engine_;
};

}  // namespace vexa

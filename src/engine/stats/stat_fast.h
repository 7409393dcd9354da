// Small pieces shared by the methods whose filter tests and full-set counts
// run over every combination.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <utility>

#include "core/records.h"

namespace vexa {

// Calls f(0) .. f(N - 1) with compile-time indices: the short loops of the
// filter tests are unrolled whatever the optimiser decides.
template <size_t N, typename F>
inline void Unrolled(F&& f) {
  [&]<size_t... I>(std::index_sequence<I...>) { (f(std::integral_constant<size_t, I>{}), ...); }
  (std::make_index_sequence<N>{});
}

// Every value these methods compute from bytes is below 256.
constexpr size_t ByteValues = 256;
using TByteTable = std::array<uint8_t, ByteValues>;

// Merging a key `times` times into a list that does not hold it, without gap
// tracking, appends it once with the hits added up. The full-set count merges
// every combination into an empty list, so that case goes straight there.
// The key comes by value: built in a register, it is stored whole, not
// reloaded from the four halves its maker just wrote.
[[gnu::always_inline]] inline void AppendValue(TStatDrawArray& list, const TStatDraw& rec, TStatKey4 key, int32_t times) {
  TStatDraw& e = list.emplace_back(rec);
  e.Key = key;
  e.Hits = rec.Hits * times;
}

// Which selection a lookup table was built from; any other list is searched as it is.
class TPreparedList {
 public:
  void Set(const TStatDrawArray& values) {
    For_ = &values;
    Size_ = values.size();
  }
  bool Is(const TStatDrawArray& values) const { return For_ == &values && Size_ == values.size(); }
  // The list last prepared, or nullptr.
  const TStatDrawArray* List() const { return For_; }

 private:
  const TStatDrawArray* For_ = nullptr;
  size_t Size_ = 0;
};

// 1 for each x below 256 that some selected value has as Key[0].
inline void BuildKey0Table(const TStatDrawArray& values, TByteTable& table) {
  table.fill(0);
  for (const TStatDraw& v : values) {
    const auto k = static_cast<uint16_t>(v.Key[0]);
    if (k < ByteValues) table[k] = 1;
  }
}

}  // namespace vexa

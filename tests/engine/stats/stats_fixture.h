// Small archives and the window computation, shared by the statistics tests.
#pragma once

#include <initializer_list>
#include <memory>
#include <string>

#include "core/game.h"
#include "stats/stat.h"
#include "stats/stat_list.h"

namespace vexa::test {

inline TDraw Draw(int number, TComb nums, std::array<uint8_t, 2> supp = {44, 45}) {
  TDraw d;
  d.Number = number;
  d.Nums = nums;
  d.Supp = supp;
  return d;
}

// Statistics of draws first..last exactly as the statistics list computes them.
inline TStatDrawArray WindowValues(TCustomStat& stat, int first, int last, bool sorted) {
  TStatDrawArray values;
  stat.ListAllValues(last, values);
  TStatWork work{};
  TLastValueArray seen;
  for (int i = first; i <= last; ++i) stat.CalcDraw(i, last, sorted, values, work, seen);
  return values;
}

inline const TStatDraw* FindValue(const TStatDrawArray& values, int32_t v) {
  for (const auto& e : values)
    if (Key32(e.Key) == v && e.Key[2] == 0 && e.Key[3] == 0) return &e;
  return nullptr;
}

inline TStatDrawArray Select(std::initializer_list<int32_t> values) {
  TStatDrawArray a;
  for (int32_t v : values) {
    TStatDraw d;
    SetKey32(d.Key, v);
    a.push_back(d);
  }
  return a;
}

struct TStatsFixture {
  TDrawsArray draws;
  TStatList list{draws};

  TStatsFixture() { list.RegisterAll(); }
  std::unique_ptr<TCustomStat> Create(const std::string& code) {
    const int i = list.IndexOfCode(code);
    if (i < 0) throw std::runtime_error("no method " + code);
    return list.CreateStat(i);
  }
};

}  // namespace vexa::test

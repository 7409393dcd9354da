// A registry of every statistic method over a small archive, built once.
#pragma once

#include "fuzz/fuzz_support.h"
#include "stats/stat_list.h"

namespace vexa::fuzz {

inline const TStatList& Stats() {
  static TStatList* stats = [] {
    auto* s = new TStatList(SomeDraws());
    s->RegisterAll();
    return s;
  }();
  return *stats;
}

}  // namespace vexa::fuzz

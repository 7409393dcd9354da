// The data of the information dialog: for one draw or one combination, the
// graph value of every registered method that has a graph.
#pragma once

#include <string>
#include <vector>

#include "core/game.h"

namespace vexa {

class TStatList;

inline constexpr const char* StatInfoCaption = "Подробная информация";
inline constexpr const char* StatInfoPropertyColumn = "Свойство";
inline constexpr const char* StatInfoValueColumn = "Значение";

struct TStatInfoItem {
  std::string Caption;
  std::string Value;
  bool operator==(const TStatInfoItem&) const = default;
};
using TStatInfo = std::vector<TStatInfoItem>;

// "Номер тиража:", "Дата тиража:", then every method with a graph in
// registration order: its default caption and the value of the draw's own
// numbers (sorted when asked), evaluated at the draw's index.
// REQUIRES: 0 <= drawIndex < number of draws.
TStatInfo DrawInfo(const TStatList& list, int drawIndex, bool sorted);

// Every method with a graph: its default caption and the combination's
// value, the combination taken as the draw after the analysis window
// (index newest - drawsOffset + 1), numbers in the given order.
TStatInfo CombinationInfo(const TStatList& list, const TComb& comb, int drawsOffset, bool sorted);

}  // namespace vexa

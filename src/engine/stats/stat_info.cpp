#include "stats/stat_info.h"

#include "core/error.h"
#include "core/format.h"
#include "stats/stat_list.h"

namespace vexa {
namespace {

// The default caption, never a custom name; the shredding methods get
// their formula written in, as in the method lists.
std::string InfoCaption(const TStatMethod& m) {
  const std::string caption = m.DefaultName();
  if (m.StatClass->Group != 12) return caption;
  try {
    return Format(caption, {m.Formula});
  } catch (const EVexaError&) {
    return caption;
  }
}

template <typename Value>
void AddGraphValues(const TStatList& list, TStatInfo& info, Value value) {
  for (int i = 0; i < list.Count(); ++i) {
    if (!list.HasGraph(i)) continue;
    const auto stat = list.CreateStat(i);
    info.push_back({InfoCaption(list.Items(i)), std::to_string(value(*stat))});
  }
}

}  // namespace

TStatInfo DrawInfo(const TStatList& list, int drawIndex, bool sorted) {
  const TDraw& d = list.Draws().at(static_cast<size_t>(drawIndex));
  TStatInfo info{{"Номер тиража:", std::to_string(d.Number)}, {"Дата тиража:", DrawDateText(d)}};
  AddGraphValues(list, info, [&](TCustomStat& s) { return s.GraphValueOfDraw(drawIndex, drawIndex, sorted); });
  return info;
}

TStatInfo CombinationInfo(const TStatList& list, const TComb& comb, int drawsOffset, bool sorted) {
  // The index of the hidden next draw, so that the methods that look at
  // the previous draws compare the combination with the window's last draw.
  const int index = static_cast<int>(list.Draws().size()) - drawsOffset;
  TStatInfo info;
  AddGraphValues(list, info, [&](TCustomStat& s) { return s.GraphValue(comb, index, index, sorted); });
  return info;
}

}  // namespace vexa

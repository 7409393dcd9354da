// When a view is built again. The window rebuilds its views lazily (page
// change, new offset, changed archive) and forcibly (the refresh commands,
// showing a tab, after loading the archive, the settings dialog and the
// sorted-draws toggle); a lazy rebuild happens only when the view's key
// differs from the key of its last build. A forced build stores its key
// too. A hidden tab asks nothing: it is never rebuilt.
#pragma once

#include <array>
#include <optional>

#include "views/card.h"

namespace vexa {

class TViewRefresh {
 public:
  // The card has no key: it is current while it holds a row per draw and
  // the header (so a card of no draws, header and one empty row, never is).
  static bool CardCurrent(const TDrawsCard& card, int drawsCount) { return card.RowCount() == drawsCount + 1; }
  // Each returns true when the view must be built now, and then keeps the key.
  bool Layout(int drawsCount, int drawsOffset, int length, bool force) {
    return Take(Layout_, {drawsCount, drawsOffset, length, 0}, force);
  }
  // The list lengths are not part of the key: Enter in a length edit forces.
  bool CompareLists(int drawsCount, int drawsOffset, bool force) {
    return Take(Compare_, {drawsCount, drawsOffset, 0, 0}, force);
  }
  bool DrawsGraph(int drawsCount, int drawsOffset, int length, int methodIndex, bool force) {
    return Take(Graph_, {drawsCount, drawsOffset, length, methodIndex}, force);
  }

 private:
  using TKey = std::array<int, 4>;
  static bool Take(std::optional<TKey>& last, const TKey& key, bool force) {
    if (!force && last == key) return false;
    last = key;
    return true;
  }
  std::optional<TKey> Layout_;
  std::optional<TKey> Compare_;
  std::optional<TKey> Graph_;
};

}  // namespace vexa

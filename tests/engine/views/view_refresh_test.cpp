// Lazy rebuilds of the views by their keys.
#include <gtest/gtest.h>

#include "views/view_refresh.h"

namespace vexa {
namespace {

TEST(ViewRefresh, LazyBuildsOnlyWhenTheKeyChanges) {
  TViewRefresh r;
  const struct {
    int Count, Offset, Length;
    bool Force, Layout;
  } steps[] = {
      {10, 0, 100, false, true},   // first build
      {10, 0, 100, false, false},  // same key
      {10, 0, 100, true, true},    // forced
      {10, 1, 100, false, true},   // offset
      {11, 1, 100, false, true},   // a new draw
      {11, 1, 50, false, true},    // window length
      {11, 1, 50, false, false},
  };
  for (const auto& s : steps) EXPECT_EQ(r.Layout(s.Count, s.Offset, s.Length, s.Force), s.Layout);
}

TEST(ViewRefresh, ListsIgnoreTheirLengthsAndGraphsWatchTheMethod) {
  TViewRefresh r;
  EXPECT_TRUE(r.CompareLists(10, 0, false));
  EXPECT_FALSE(r.CompareLists(10, 0, false));
  EXPECT_TRUE(r.CompareLists(10, 0, true));
  EXPECT_TRUE(r.DrawsGraph(10, 0, 100, 3, false));
  EXPECT_FALSE(r.DrawsGraph(10, 0, 100, 3, false));
  EXPECT_TRUE(r.DrawsGraph(10, 0, 100, 4, false));
  EXPECT_TRUE(r.Layout(10, 0, 100, false)) << "each view keeps its own key";
}

TEST(ViewRefresh, CardCurrentWhileItHasARowPerDraw) {
  TDrawsArray draws(3);
  const TDrawsCard card(draws);
  EXPECT_TRUE(TViewRefresh::CardCurrent(card, 3));
  EXPECT_FALSE(TViewRefresh::CardCurrent(card, 4));
  EXPECT_FALSE(TViewRefresh::CardCurrent(TDrawsCard(), 0));
}

}  // namespace
}  // namespace vexa

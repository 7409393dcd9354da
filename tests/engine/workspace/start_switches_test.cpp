#include "workspace/start_switches.h"

#include <gtest/gtest.h>

namespace vexa {
namespace {

TEST(StartSwitches, EveryFormAnyPositionAnyCase) {
  for (const char* form : {"loadonly", "-loadonly", "--loadonly", "/LOADONLY", "\\LoadOnly"}) {
    const TStartSwitches s = ParseStartSwitches({"x", form, "y"});
    EXPECT_TRUE(s.LoadOnly) << form;
    EXPECT_FALSE(s.Restart);
  }
  const TStartSwitches all =
      ParseStartSwitches({"--FULLREFRESH", "restart", "/fullrecreate", "-No-Language", "loadonly"});
  EXPECT_EQ(all, (TStartSwitches{true, true, true, true, true}));
  EXPECT_TRUE(all.QuitsAfterStart());
}

TEST(StartSwitches, LookalikesAreIgnored) {
  const TStartSwitches s = ParseStartSwitches({"---loadonly", "loadonly2", "//restart", "nolanguage", ""});
  EXPECT_EQ(s, TStartSwitches{});
  EXPECT_FALSE(s.QuitsAfterStart());
}

}  // namespace
}  // namespace vexa

#include "core/game.h"
#include <gtest/gtest.h>
TEST(Game, Placeholder) { EXPECT_EQ(vexa::Binomial(45, 6), 8145060); }

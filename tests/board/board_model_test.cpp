#include "game_fixture.h"
TEST_F(GameTest, Placeholder) { EXPECT_TRUE(board() != nullptr); }

// Runs alone in its own program, so the generator is exactly as the module's load left it.
#include <gtest/gtest.h>

#include "shading/shadow_random.h"

TEST(FreshlyLoadedModule, DrawsTheKnownSequenceFirst) {
  EXPECT_EQ(randomDrawsSoFar(), 0u);
  const int expected[] = {41, 18467, 6334, 26500, 19169};
  for (int draw : expected) EXPECT_EQ(nextRandom(), draw);
}

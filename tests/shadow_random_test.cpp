#include "shading/shadow_random.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "tests/shadow_reference.h"

namespace {

std::uint32_t stepped(std::uint32_t state, int steps) {
  for (int i = 0; i < steps; ++i) state = state * 214013u + 2531011u;
  return state;
}

TEST(ShadowRandom, TheReferenceSequenceStartsWithTheKnownDraws) {
  EXPECT_EQ(referenceDraws(5), (std::vector<int>{41, 18467, 6334, 26500, 19169}));
}

TEST(ShadowRandom, JumpAheadAgreesWithStepping) {
  std::uint32_t state = 1;
  for (std::uint32_t draws = 0; draws <= 5000; ++draws) {
    ASSERT_EQ(randomStateAfter(draws), state) << draws << " draws";
    state = stepped(state, 1);
  }
  const std::uint32_t far[] = {123456789u, 0x80000000u, 0xFFFFF000u};
  for (std::uint32_t start : far) {
    EXPECT_EQ(randomStateAfter(start + 1000u), stepped(randomStateAfter(start), 1000)) << start;
  }
}

TEST(ShadowRandom, TheCountWrapsWithTheSequence) {
  // The generator's period is 2^32, so counting draws mod 2^32 loses nothing.
  EXPECT_EQ(stepped(randomStateAfter(0xFFFFFFFFu), 1), randomStateAfter(0));
  EXPECT_EQ(stepped(randomStateAfter(0xFFFFFFF0u), 32), randomStateAfter(16));
}

TEST(ShadowRandom, DrawsContinueTheOneSequenceWhereverTheCountStands) {
  const std::uint32_t before = randomDrawsSoFar();
  const std::vector<int> expected = referenceDraws(before + 10);
  for (std::uint32_t i = 0; i < 4; ++i) EXPECT_EQ(nextRandom(), expected[before + i]) << "draw " << before + i;

  RandomBlock block = reserveRandomDraws(5);
  EXPECT_EQ(randomDrawsSoFar(), before + 9) << "a block reserves all its draws at once";
  EXPECT_EQ(nextRandom(), expected[before + 9]) << "the next draw comes after the block";
  for (std::uint32_t i = 4; i < 9; ++i) EXPECT_EQ(block.next(), expected[before + i]) << "block draw " << i;
  EXPECT_EQ(randomDrawsSoFar(), before + 10);
}

}  // namespace

#include "shading/shadow_random.h"

#include <atomic>

namespace {

constexpr std::uint32_t kLoadState = 1;

// The only generator state shared between threads. Unsigned, so it wraps mod 2^32 like the
// sequence itself.
std::atomic<std::uint32_t> gRandomDraws{0};

// Shading must never wait on a lock hidden inside the atomic, on any of the module's targets.
static_assert(std::atomic<std::uint32_t>::is_always_lock_free);

}  // namespace

std::uint32_t randomStateAfter(std::uint32_t draws) {
  // One step is the affine map x -> a·x + c; `draws` steps compose it with itself, built from the
  // maps for 1, 2, 4, ... steps by binary exponentiation: at most 32 rounds.
  std::uint32_t multiplier = 1;  // the steps composed so far, starting from none
  std::uint32_t increment = 0;
  std::uint32_t powerMultiplier = kRandomMultiplier;  // 2^k steps at round k
  std::uint32_t powerIncrement = kRandomIncrement;
  for (; draws != 0; draws >>= 1) {
    if ((draws & 1u) != 0) {
      multiplier *= powerMultiplier;
      increment = increment * powerMultiplier + powerIncrement;
    }
    powerIncrement = powerIncrement * powerMultiplier + powerIncrement;
    powerMultiplier *= powerMultiplier;
  }
  return multiplier * kLoadState + increment;
}

RandomBlock reserveRandomDraws(std::uint32_t count) {
  // Only the atomicity matters: blocks need no ordering with any other memory.
  const std::uint32_t first = gRandomDraws.fetch_add(count, std::memory_order_relaxed);
  return RandomBlock(randomStateAfter(first));
}

int nextRandom() { return reserveRandomDraws(1).next(); }

std::uint32_t randomDrawsSoFar() { return gRandomDraws.load(std::memory_order_relaxed); }

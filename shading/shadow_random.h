// The module's pseudo-random generator, used only to jitter shadow rays: one sequence for the whole
// process, the linear congruential generator x -> 214013·x + 2531011 (mod 2^32) started from the
// state 1 at load, each draw being bits 16 to 30 of the new state (0 ... 32767).
//
// Many threads shade at once, so the generator's state word is not shared itself. What is shared is
// the count of draws handed out since load: a caller reserves a whole block of draws with one atomic
// addition, places a local generator at the block's start by jump-ahead, and draws from that local
// copy without touching shared memory again. A single-threaded run therefore draws the one sequence
// in order (41, 18467, 6334, 26500, 19169, ...), and concurrent callers take disjoint blocks of it.
#pragma once

#include <cstdint>

inline constexpr int kRandomMax = 32767;  // the largest draw
inline constexpr std::uint32_t kRandomMultiplier = 214013u;
inline constexpr std::uint32_t kRandomIncrement = 2531011u;

// The generator's state after `draws` steps from the load state, as if every draw since load had
// been made one by one (the sequence repeats after 2^32 draws, so the count is taken mod 2^32).
std::uint32_t randomStateAfter(std::uint32_t draws);

// A run of draws reserved for one caller; drawing touches only this object.
class RandomBlock {
 public:
  explicit RandomBlock(std::uint32_t state) : state_(state) {}

  // The next draw of the block, 0 ... 32767.
  int next() {
    state_ = state_ * kRandomMultiplier + kRandomIncrement;
    return static_cast<int>((state_ >> 16) & 0x7FFFu);
  }

 private:
  std::uint32_t state_;
};

// Reserves the next `count` draws of the sequence (mod 2^32) for the caller alone.
RandomBlock reserveRandomDraws(std::uint32_t count);

// One draw from the shared sequence, 0 ... 32767.
int nextRandom();

// How many draws have been reserved since load, mod 2^32.
std::uint32_t randomDrawsSoFar();

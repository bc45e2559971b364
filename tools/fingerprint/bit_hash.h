// A 64-bit hash over the exact bit patterns of computed doubles, and a stream of pseudo-random inputs
// that every build generates identically (integer arithmetic plus exact conversions only).
#pragma once

#include <cstdint>
#include <cstring>

class BitHash {
 public:
  void add(double value) {
    std::uint64_t bits;
    if (value != value) {
      bits = 0x7FF8000000000000ull;  // every NaN counts as one: payloads are not results
    } else {
      std::memcpy(&bits, &value, sizeof bits);
    }
    addBits(bits);
  }
  void addBits(std::uint64_t bits) { state_ = mix(state_ ^ bits); }
  std::uint64_t value() const { return state_; }

 private:
  static std::uint64_t mix(std::uint64_t z) {
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  std::uint64_t state_ = 0x6A09E667F3BCC908ull;
};

class InputStream {
 public:
  explicit InputStream(std::uint64_t seed) : state_(seed) {}

  std::uint64_t nextBits() {  // splitmix64
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }

  // Uniform in [low, high); the 53-bit integer converts to double exactly on every build.
  double uniform(double low, double high) {
    const double unit = static_cast<double>(nextBits() >> 11) * (1.0 / 9007199254740992.0);
    return low + (high - low) * unit;
  }

  // A random significand with a binary exponent drawn evenly from [lowExponent, highExponent]
  // (normal range), positive.
  double logUniform(int lowExponent, int highExponent) {
    const std::uint64_t span = static_cast<std::uint64_t>(highExponent - lowExponent + 1);
    const int exponent = lowExponent + static_cast<int>(nextBits() % span);
    const std::uint64_t bits = (static_cast<std::uint64_t>(exponent + 1023) << 52) | (nextBits() >> 12);
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
  }

  double randomSign(double value) { return (nextBits() & 1) ? -value : value; }

 private:
  std::uint64_t state_;
};

// Exact access to the two 32-bit halves of a double's IEEE 754 bit pattern, the way the
// deterministic elementary functions inspect and build their operands. memcpy keeps it free of
// aliasing trouble; every operation here is exact and the same on every build.
#pragma once

#include <cstdint>
#include <cstring>

inline std::uint64_t doubleBits(double x) {
  std::uint64_t bits;
  std::memcpy(&bits, &x, sizeof bits);
  return bits;
}

inline double doubleFromBits(std::uint64_t bits) {
  double x;
  std::memcpy(&x, &bits, sizeof x);
  return x;
}

// Sign, exponent and top 20 significand bits, as a signed value so that "negative" tests the sign.
inline std::int32_t highWord(double x) { return static_cast<std::int32_t>(doubleBits(x) >> 32); }
inline std::uint32_t lowWord(double x) { return static_cast<std::uint32_t>(doubleBits(x)); }

inline double doubleFromWords(std::uint32_t high, std::uint32_t low) {
  return doubleFromBits((static_cast<std::uint64_t>(high) << 32) | low);
}

// x with the low 32 bits of its significand cleared: a value with at most 21 significant bits, whose
// products with other short values are exact.
inline double withLowWordCleared(double x) { return doubleFromBits(doubleBits(x) & 0xFFFFFFFF00000000ull); }

inline double withHighWord(double x, std::uint32_t high) { return doubleFromWords(high, lowWord(x)); }

// 2^exponent for exponents of normal doubles, -1022 ... 1023.
inline double powerOfTwo(int exponent) { return doubleFromBits(static_cast<std::uint64_t>(exponent + 1023) << 52); }

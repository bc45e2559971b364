// Reduction by multiples of pi/2, after fdlibm's __ieee754_rem_pio2 (fast path) with an exact
// multiplication by a long binary expansion of 2/pi in place of its __kernel_rem_pio2 (large arguments).
//
// ====================================================
// Copyright (C) 1993 by Sun Microsystems, Inc. All rights reserved.
//
// Developed at SunPro, a Sun Microsystems, Inc. business.
// Permission to use, copy, modify, and distribute this
// software is freely granted, provided that this notice
// is preserved.
// ====================================================
#include "shading/det_reduce.h"

#include <cstdint>

#include "shading/det_bits.h"

namespace {

// pi/2 split into parts with 33 significant bits each, plus the tail after each: n * kPiOver2Part1 is
// exact for n < 2^20.
constexpr double kTwoOverPi = 6.36619772367581382433e-01;         // 0x3FE45F30 6DC9C883
constexpr double kPiOver2Part1 = 1.57079632673412561417e+00;      // 0x3FF921FB 54400000
constexpr double kPiOver2Part1Tail = 6.07710050650619224932e-11;  // 0x3DD0B461 1A626331
constexpr double kPiOver2Part2 = 6.07710050630396597660e-11;      // 0x3DD0B461 1A600000
constexpr double kPiOver2Part2Tail = 2.02226624879595063154e-21;  // 0x3BA3198A 2E037073
constexpr double kPiOver2Part3 = 2.02226624871116645580e-21;      // 0x3BA3198A 2E000000
constexpr double kPiOver2Part3Tail = 8.47842766036889956997e-32;  // 0x397B839A 252049C1

// pi/2 as a double plus the double nearest to the rest.
constexpr double kPiOver2Hi = 1.57079632679489655800e+00;  // 0x3FF921FB 54442D18
constexpr double kPiOver2Lo = 6.12323399573676603587e-17;  // 0x3C91A626 33145C07

// The first 1344 bits of the binary expansion of 2/pi, 32 to a word, most significant first
// (computed with exact integer arithmetic from Machin's formula). Enough for every finite double.
constexpr std::uint32_t kTwoOverPiBits[] = {
    0xA2F9836E, 0x4E441529, 0xFC2757D1, 0xF534DDC0, 0xDB629599, 0x3C439041, 0xFE5163AB, 0xDEBBC561, 0xB7246E3A,
    0x424DD2E0, 0x06492EEA, 0x09D1921C, 0xFE1DEB1C, 0xB129A73E, 0xE88235F5, 0x2EBB4484, 0xE99C7026, 0xB45F7E41,
    0x3991D639, 0x835339F4, 0x9C845F8B, 0xBDF9283B, 0x1FF897FF, 0xDE05980F, 0xEF2F118B, 0x5A0A6D1F, 0x6D367ECF,
    0x27CB09B7, 0x4F463F66, 0x9E5FEA2D, 0x7527BAC7, 0xEBE5F17B, 0x3D0739F7, 0x8A5292EA, 0x6BFB5FB1, 0x1F8D5D08,
    0x56033046, 0xFC7B6BAB, 0xF0CFBC20, 0x9AF4361D, 0xA9E39161, 0x5EE61B08,
};

constexpr int kWindowWords = 7;                    // 224 bits of 2/pi per reduction
constexpr int kProductWords = kWindowWords + 2;    // times a 53-bit significand
using WideProduct = std::uint32_t[kProductWords];  // little-endian 32-bit limbs
// The largest finite double is 2^971 times a 53-bit integer: its window must still lie in the table.
static_assert((971 - 2) / 32 + kWindowWords <= sizeof kTwoOverPiBits / sizeof kTwoOverPiBits[0]);

int exponentField(double x) { return static_cast<int>((doubleBits(x) >> 52) & 0x7FF); }

ReducedAngle reduceFast(double x) {
  const bool negative = x < 0.0;
  const double t = negative ? -x : x;
  const int n = static_cast<int>(t * kTwoOverPi + 0.5);
  const double fn = n;
  double r = t - fn * kPiOver2Part1;  // exact
  double w = fn * kPiOver2Part1Tail;
  double hi = r - w;
  // Each further step is needed only when the first ones cancelled too many leading bits.
  const int inputExponent = exponentField(t);
  if (inputExponent - exponentField(hi) > 16) {
    double before = r;
    w = fn * kPiOver2Part2;
    r = before - w;
    w = fn * kPiOver2Part2Tail - ((before - r) - w);
    hi = r - w;
    if (inputExponent - exponentField(hi) > 49) {
      before = r;
      w = fn * kPiOver2Part3;
      r = before - w;
      w = fn * kPiOver2Part3Tail - ((before - r) - w);
      hi = r - w;
    }
  }
  const double lo = (r - hi) - w;
  return negative ? ReducedAngle{-n, -hi, -lo} : ReducedAngle{n, hi, lo};
}

// 64 bits of the product starting at bit `position` (bits below 0 read as zero).
std::uint64_t bitsAt(const WideProduct& p, int position) {
  std::uint64_t result = 0;
  for (int i = 63; i >= 0; --i) {
    const int bit = position + i;
    result <<= 1;
    if (bit >= 0 && bit < 32 * kProductWords) result |= (p[bit / 32] >> (bit % 32)) & 1u;
  }
  return result;
}

bool bitSet(const WideProduct& p, int bit) { return ((p[bit / 32] >> (bit % 32)) & 1u) != 0; }

// a * b exactly as hi + lo, by Dekker's splitting (no fused multiply-add anywhere).
void exactProduct(double a, double b, double& hi, double& lo) {
  constexpr double kSplitter = 134217729.0;  // 2^27 + 1
  const double ca = kSplitter * a, cb = kSplitter * b;
  const double aHi = ca - (ca - a), aLo = a - aHi;
  const double bHi = cb - (cb - b), bLo = b - bHi;
  hi = a * b;
  lo = ((aHi * bHi - hi) + aHi * bLo + aLo * bHi) + aLo * bLo;
}

}  // namespace

ReducedAngle reduceByHalfPiExact(double x) {
  const std::uint64_t bits = doubleBits(x);
  const bool negative = (bits >> 63) != 0;
  const std::uint64_t significand = (bits & 0x000FFFFFFFFFFFFFull) | 0x0010000000000000ull;
  const int exponent = exponentField(x) - 1075;  // |x| = significand * 2^exponent

  // Bits of 2/pi worth 2^-k for k <= exponent - 2 only add multiples of 4 to x * 2/pi, which leave the
  // quadrant and the remainder alone: the window starts at the word holding bit exponent - 1.
  const int firstWord = exponent >= 2 ? (exponent - 2) / 32 : 0;
  const std::uint32_t factor[2] = {static_cast<std::uint32_t>(significand),
                                   static_cast<std::uint32_t>(significand >> 32)};
  WideProduct product = {};
  for (int a = 0; a < 2; ++a) {
    std::uint64_t carry = 0;
    for (int b = 0; b < kWindowWords; ++b) {
      const std::uint64_t word = kTwoOverPiBits[firstWord + kWindowWords - 1 - b];
      const std::uint64_t t = factor[a] * word + product[a + b] + carry;
      product[a + b] = static_cast<std::uint32_t>(t);
      carry = t >> 32;
    }
    product[a + kWindowWords] = static_cast<std::uint32_t>(carry);
  }

  // product * 2^-fractionBits is x * 2/pi, less a multiple of 4.
  const int fractionBits = 32 * (firstWord + kWindowWords) - exponent;
  int quadrant = (bitSet(product, fractionBits) ? 1 : 0) + (bitSet(product, fractionBits + 1) ? 2 : 0);
  bool remainderNegative = false;
  if (bitSet(product, fractionBits - 1)) {
    // Round to the nearest quadrant: the remainder becomes fraction - 1, whose magnitude is the two's
    // complement of the fraction bits.
    ++quadrant;
    remainderNegative = true;
    std::uint64_t carry = 1;
    for (auto& limb : product) {
      const std::uint64_t t = static_cast<std::uint64_t>(static_cast<std::uint32_t>(~limb)) + carry;
      limb = static_cast<std::uint32_t>(t);
      carry = t >> 32;
    }
  }

  int top = fractionBits - 1;
  while (top >= 0 && !bitSet(product, top)) --top;
  if (top < 0) return ReducedAngle{negative ? -quadrant : quadrant, 0.0, 0.0};

  // The remainder (in units of pi/2) to 106 bits as fractionHi + fractionLo, each part exact.
  const std::uint64_t mask53 = (1ull << 53) - 1;
  const double fractionHi =
      static_cast<double>(bitsAt(product, top - 52) & mask53) * powerOfTwo(top - 52 - fractionBits);
  const double fractionLo =
      static_cast<double>(bitsAt(product, top - 105) & mask53) * powerOfTwo(top - 105 - fractionBits);

  double productHi, productLo;
  exactProduct(fractionHi, kPiOver2Hi, productHi, productLo);
  productLo += fractionHi * kPiOver2Lo + fractionLo * kPiOver2Hi;
  double hi = productHi + productLo;
  double lo = productLo - (hi - productHi);
  if (remainderNegative != negative) {
    hi = -hi;
    lo = -lo;
  }
  return ReducedAngle{negative ? -quadrant : quadrant, hi, lo};
}

ReducedAngle reduceByHalfPi(double x) {
  const double magnitude = x < 0.0 ? -x : x;
  if (magnitude < kFastReductionLimit) return reduceFast(x);
  return reduceByHalfPiExact(x);
}

// Deterministic power function, after fdlibm's e_pow.c: log2(x) in extra precision, times y, then
// 2 raised to the product, with the special cases of C99 (1^y = 1 and x^0 = 1 even for NaN, (-1)^+-inf = 1).
//
// ====================================================
// Copyright (C) 2004 by Sun Microsystems, Inc. All rights reserved.
//
// Permission to use, copy, modify, and distribute this
// software is freely granted, provided that this notice
// is preserved.
// ====================================================
#include <cmath>
#include <cstdint>
#include <limits>

#include "shading/det_bits.h"
#include "shading/det_math.h"

namespace {

constexpr double kInfinity = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

constexpr double kReductionPoint[] = {1.0, 1.5};
constexpr double kLog2OfPointHi[] = {0.0, 5.84962487220764160156e-01};  // 0x3FE2B803 40000000
constexpr double kLog2OfPointLo[] = {0.0, 1.35003920212974897128e-08};  // 0x3E4CFDEB 43CFD006
constexpr double kTwoTo53 = 9007199254740992.0;

// (3/2) * (log(x) - 2s - 2/3 s^3) ~ s^4 * (L1 + L2 s^2 + ... + L6 s^10), s = (x - 1) / (x + 1).
constexpr double kL1 = 5.99999999999994648725e-01;  // 0x3FE33333 33333303
constexpr double kL2 = 4.28571428578550184252e-01;  // 0x3FDB6DB6 DB6FABFF
constexpr double kL3 = 3.33333329818377432918e-01;  // 0x3FD55555 518F264D
constexpr double kL4 = 2.72728123808534006489e-01;  // 0x3FD17460 A91D4101
constexpr double kL5 = 2.30660745775561754067e-01;  // 0x3FCD864A 93C9DB65
constexpr double kL6 = 2.06975017800338417784e-01;  // 0x3FCA7E28 4A454EEF
// The rational approximation of exp on [-ln2/2, ln2/2].
constexpr double kP1 = 1.66666666666666019037e-01;   // 0x3FC55555 5555553E
constexpr double kP2 = -2.77777777770155933842e-03;  // 0xBF66C16C 16BEBD93
constexpr double kP3 = 6.61375632143793436117e-05;   // 0x3F11566A AF25DE2C
constexpr double kP4 = -1.65339022054652515390e-06;  // 0xBEBBBD41 C5D26BF1
constexpr double kP5 = 4.13813679705723846039e-08;   // 0x3E663769 72BEA4D0

constexpr double kLn2 = 6.93147180559945286227e-01;             // 0x3FE62E42 FEFA39EF
constexpr double kLn2Hi = 6.93147182464599609375e-01;           // 0x3FE62E43 00000000
constexpr double kLn2Lo = -1.90465429995776804525e-09;          // 0xBE205C61 0CA86C39
constexpr double kOverflowMargin = 8.0085662595372944372e-17;   // 1024 - log2(largest double + ulp/2)
constexpr double kTwoOver3Ln2 = 9.61796693925975554329e-01;     // 0x3FEEC709 DC3A03FD
constexpr double kTwoOver3Ln2Hi = 9.61796700954437255859e-01;   // 0x3FEEC709 E0000000
constexpr double kTwoOver3Ln2Lo = -7.02846165095275826516e-09;  // 0xBE3E2FE0 145B01F5
constexpr double kInvLn2 = 1.44269504088896338700e+00;          // 0x3FF71547 652B82FE
constexpr double kInvLn2Hi = 1.44269502162933349609e+00;        // 0x3FF71547 60000000
constexpr double kInvLn2Lo = 1.92596299112661746887e-08;        // 0x3E54AE0B F85DDF44

enum IntegerKind { kNotInteger, kOddInteger, kEvenInteger };

IntegerKind integerKind(double y) {
  const std::uint32_t magnitudeHigh = static_cast<std::uint32_t>(highWord(y)) & 0x7FFFFFFFu;
  const std::uint32_t low = lowWord(y);
  if (magnitudeHigh >= 0x43400000u) return magnitudeHigh >= 0x7FF00000u ? kNotInteger : kEvenInteger;  // |y| >= 2^53
  if (magnitudeHigh < 0x3FF00000u) return kNotInteger;  // 0 < |y| < 1 (y == 0 never gets here)
  const int exponent = static_cast<int>(magnitudeHigh >> 20) - 0x3FF;
  if (exponent > 20) {
    const std::uint32_t integerBits = low >> (52 - exponent);
    if ((integerBits << (52 - exponent)) != low) return kNotInteger;
    return (integerBits & 1u) ? kOddInteger : kEvenInteger;
  }
  if (low != 0) return kNotInteger;
  const std::uint32_t integerBits = magnitudeHigh >> (20 - exponent);
  if ((integerBits << (20 - exponent)) != magnitudeHigh) return kNotInteger;
  return (integerBits & 1u) ? kOddInteger : kEvenInteger;
}

// log2(ax) as head + tail, the head with at most 21 significant bits: for ax within 2^-20 of 1.
void log2NearOne(double ax, double& head, double& tail) {
  const double t = ax - 1.0;  // exact
  const double w = (t * t) * (0.5 - t * (0.3333333333333333333333 - t * 0.25));
  // t has up to 32 significant bits and kInvLn2Hi 24, so their product would round; split t so that the
  // head product is exact (the original form lost up to ten bits of the result once |y| > 2^31).
  const double tHead = withLowWordCleared(t);
  const double u = kInvLn2Hi * tHead;
  const double v = (t - tHead) * kInvLn2Hi + t * kInvLn2Lo - w * kInvLn2;
  head = withLowWordCleared(u + v);
  tail = v - (head - u);
}

// log2(ax) as head + tail for any positive finite ax.
void log2Split(double ax, double& head, double& tail) {
  std::int32_t high = highWord(ax);
  int exponent = 0;
  if (high < 0x00100000) {  // subnormal: scale into the normal range first
    ax *= kTwoTo53;
    exponent -= 53;
    high = highWord(ax);
  }
  exponent += (high >> 20) - 0x3FF;
  const std::int32_t significandHigh = high & 0x000FFFFF;
  high = significandHigh | 0x3FF00000;  // ax scaled into [1, 2)
  int k;                                // ax is taken relative to kReductionPoint[k]
  if (significandHigh <= 0x3988E) {     // below sqrt(3/2)
    k = 0;
  } else if (significandHigh < 0xBB67A) {  // below sqrt(3)
    k = 1;
  } else {  // halve, and count it in the exponent
    k = 0;
    exponent += 1;
    high -= 0x00100000;
  }
  ax = withHighWord(ax, static_cast<std::uint32_t>(high));

  // s = (ax - point) / (ax + point) as sHi + sLo.
  const double u0 = ax - kReductionPoint[k];
  const double v0 = 1.0 / (ax + kReductionPoint[k]);
  const double s = u0 * v0;
  const double sHi = withLowWordCleared(s);
  double tHi = doubleFromWords(static_cast<std::uint32_t>(((high >> 1) | 0x20000000) + 0x00080000 + (k << 18)), 0);
  double tLo = ax - (tHi - kReductionPoint[k]);
  const double sLo = v0 * ((u0 - sHi * tHi) - sHi * tLo);

  // log(ax / point) = 2s + 2/3 s^3 + ...: (3/2) of it as (sHi + sLo) * (tHi + tLo).
  double s2 = s * s;
  double r = s2 * s2 * (kL1 + s2 * (kL2 + s2 * (kL3 + s2 * (kL4 + s2 * (kL5 + s2 * kL6)))));
  r += sLo * (sHi + s);
  s2 = sHi * sHi;
  tHi = withLowWordCleared(3.0 + s2 + r);
  tLo = r - ((tHi - 3.0) - s2);
  const double u = sHi * tHi;
  const double v = sLo * tHi + tLo * s;
  const double pHi = withLowWordCleared(u + v);
  const double pLo = v - (pHi - u);

  // log2(ax) = exponent + log2(point) + 2/(3 ln 2) * (pHi + pLo).
  const double zHi = kTwoOver3Ln2Hi * pHi;
  const double zLo = kTwoOver3Ln2Lo * pHi + pLo * kTwoOver3Ln2 + kLog2OfPointLo[k];
  const double n = exponent;
  head = withLowWordCleared(((zHi + zLo) + kLog2OfPointHi[k]) + n);
  tail = zLo - (((head - n) - kLog2OfPointHi[k]) - zHi);
}

// z * 2^n where the result is subnormal (n <= -1022, z near 1): one exact scaling, then one rounding.
double scaleIntoSubnormal(double z, int n) { return (z * powerOfTwo(n + 60)) * powerOfTwo(-60); }

// 2^(hi + lo) for hi + lo within (-1075, 1024], hi's low word clear.
double exp2Split(double hi, double lo) {
  const std::int32_t high = highWord(hi + lo);
  const std::int32_t magnitudeHigh = high & 0x7FFFFFFF;
  int n = 0;
  if (magnitudeHigh > 0x3FE00000) {  // |hi + lo| > 0.5: take out n = nearest integer
    const std::int32_t rounded = high + (0x00100000 >> (((magnitudeHigh >> 20) - 0x3FF) + 1));
    const int k = ((rounded & 0x7FFFFFFF) >> 20) - 0x3FF;
    const double integerPart = doubleFromWords(static_cast<std::uint32_t>(rounded & ~(0x000FFFFF >> k)), 0);
    n = ((rounded & 0x000FFFFF) | 0x00100000) >> (20 - k);
    if (high < 0) n = -n;
    hi -= integerPart;
  }
  // exp((hi + lo) * ln 2) for |hi + lo| <= 0.5, by the rational approximation.
  const double t = withLowWordCleared(lo + hi);
  const double u = t * kLn2Hi;
  const double v = (lo - (t - hi)) * kLn2 + t * kLn2Lo;
  double z = u + v;
  const double w = v - (z - u);
  const double zz = z * z;
  const double t1 = z - zz * (kP1 + zz * (kP2 + zz * (kP3 + zz * (kP4 + zz * kP5))));
  const double r = (z * t1) / (t1 - 2.0) - (w + z * w);
  z = 1.0 - (r - z);
  const std::int32_t scaledHigh = highWord(z) + n * 0x00100000;
  if ((scaledHigh >> 20) <= 0) return scaleIntoSubnormal(z, n);
  return withHighWord(z, static_cast<std::uint32_t>(scaledHigh));
}

}  // namespace

double detPow(double x, double y) {
  const std::int32_t hx = highWord(x), hy = highWord(y);
  const std::uint32_t lx = lowWord(x), ly = lowWord(y);
  const std::int32_t ix = hx & 0x7FFFFFFF, iy = hy & 0x7FFFFFFF;

  if (y == 0.0 || x == 1.0) return 1.0;  // even when the other argument is NaN
  if (x != x || y != y) return x + y;
  const IntegerKind yKind = integerKind(y);

  if (ly == 0) {  // y = +-inf, +-1, 2 or 1/2 go short ways
    if (iy == 0x7FF00000) {
      if (((ix - 0x3FF00000) | static_cast<std::int32_t>(lx)) == 0) return 1.0;  // (-1)^+-inf
      if (ix >= 0x3FF00000) return hy >= 0 ? y : 0.0;                            // |x| > 1
      return hy < 0 ? -y : 0.0;                                                  // |x| < 1
    }
    if (iy == 0x3FF00000) return hy < 0 ? 1.0 / x : x;
    if (hy == 0x40000000) return x * x;
    if (hy == 0x3FE00000 && hx >= 0) return std::sqrt(x);
  }

  const double ax = hx < 0 ? -x : x;
  if (lx == 0 && (ix == 0x7FF00000 || ix == 0 || ix == 0x3FF00000)) {  // x is +-0, +-inf or -1
    double z = ax;
    if (hy < 0) z = ax == 0.0 ? kInfinity : 1.0 / ax;
    if (hx < 0) {
      if (ix == 0x3FF00000 && yKind == kNotInteger) return kNaN;
      if (yKind == kOddInteger) z = -z;
    }
    return z;
  }

  if (hx < 0 && yKind == kNotInteger) return kNaN;  // negative base, fractional power
  const double sign = (hx < 0 && yKind == kOddInteger) ? -1.0 : 1.0;

  double logHead, logTail;
  if (iy > 0x41E00000) {    // |y| > 2^31
    if (iy > 0x43F00000) {  // |y| > 2^64: over- or underflows unless x is 1 (handled above)
      if (ix <= 0x3FEFFFFF) return hy < 0 ? kInfinity : 0.0;
      return hy > 0 ? kInfinity : 0.0;
    }
    if (ix < 0x3FEFFFFF) return hy < 0 ? sign * kInfinity : sign * 0.0;
    if (ix > 0x3FF00000) return hy > 0 ? sign * kInfinity : sign * 0.0;
    log2NearOne(ax, logHead, logTail);
  } else {
    log2Split(ax, logHead, logTail);
  }

  // y * log2|x| as productHi + productLo, productHi exact.
  const double yHead = withLowWordCleared(y);
  const double productLo = (y - yHead) * logHead + y * logTail;
  const double productHi = yHead * logHead;
  const double z = productLo + productHi;
  const std::int32_t hz = highWord(z);
  const std::uint32_t lz = lowWord(z);
  if (hz >= 0x40900000) {  // z >= 1024
    if (hz != 0x40900000 || lz != 0 || productLo + kOverflowMargin > z - productHi) return sign * kInfinity;
  } else if ((hz & 0x7FFFFFFF) >= 0x4090CC00) {  // z <= -1075
    if (static_cast<std::uint32_t>(hz) != 0xC090CC00u || lz != 0 || productLo <= z - productHi) return sign * 0.0;
  }
  return sign * exp2Split(productHi, productLo);
}

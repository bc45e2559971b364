// Deterministic cosine, after fdlibm's s_cos.c, k_cos.c and k_sin.c: reduce the angle into
// [-pi/4, pi/4] and evaluate the cosine or sine polynomial of the remainder, given as hi + lo.
//
// ====================================================
// Copyright (C) 1993 by Sun Microsystems, Inc. All rights reserved.
//
// Developed at SunPro, a Sun Microsystems, Inc. business.
// Permission to use, copy, modify, and distribute this
// software is freely granted, provided that this notice
// is preserved.
// ====================================================
#include "shading/det_bits.h"
#include "shading/det_math.h"
#include "shading/det_reduce.h"

namespace {

// cos(x) ~ 1 - x^2/2 + x^4 * (C1 + C2 x^2 + ... + C6 x^10) on [-pi/4, pi/4].
constexpr double kC1 = 4.16666666666666019037e-02;   // 0x3FA55555 5555554C
constexpr double kC2 = -1.38888888888741095749e-03;  // 0xBF56C16C 16C15177
constexpr double kC3 = 2.48015872894767294178e-05;   // 0x3EFA01A0 19CB1590
constexpr double kC4 = -2.75573143513906633035e-07;  // 0xBE927E4F 809C52AD
constexpr double kC5 = 2.08757232129817482790e-09;   // 0x3E21EE9E BDB4B1C4
constexpr double kC6 = -1.13596475577881948265e-11;  // 0xBDA8FAE9 BE8838D4

// sin(x) ~ x + x^3 * (S1 + S2 x^2 + ... + S6 x^10) on [-pi/4, pi/4].
constexpr double kS1 = -1.66666666666666324348e-01;  // 0xBFC55555 55555549
constexpr double kS2 = 8.33333333332248946124e-03;   // 0x3F811111 1110F8A6
constexpr double kS3 = -1.98412698298579493134e-04;  // 0xBF2A01A0 19C161D5
constexpr double kS4 = 2.75573137070700676789e-06;   // 0x3EC71DE3 57B1FE7D
constexpr double kS5 = -2.50507602534068634195e-08;  // 0xBE5AE5E6 8A2B9CEB
constexpr double kS6 = 1.58969099521155010221e-10;   // 0x3DE5D93A 5ACFD57C

// cos(x + y) for |x| <= pi/4 and y a tail below half an ulp of x.
double cosOfRemainder(double x, double y) {
  const double z = x * x;
  double w = z * z;
  const double r = z * (kC1 + z * (kC2 + z * kC3)) + w * w * (kC4 + z * (kC5 + z * kC6));
  const double halfZ = 0.5 * z;
  w = 1.0 - halfZ;
  // 1 - z/2 rounded, plus what that rounding lost, plus the small terms.
  return w + (((1.0 - w) - halfZ) + (z * r - x * y));
}

// sin(x + y), same conditions.
double sinOfRemainder(double x, double y) {
  const double z = x * x;
  const double w = z * z;
  const double r = kS2 + z * (kS3 + z * kS4) + z * w * (kS5 + z * kS6);
  const double v = z * x;
  return x - ((z * (0.5 * y - v * r) - y) - v * kS1);
}

}  // namespace

double detCos(double x) {
  const std::uint32_t magnitudeHigh = static_cast<std::uint32_t>(highWord(x)) & 0x7FFFFFFFu;
  if (magnitudeHigh >= 0x7FF00000u) return x - x;                   // NaN for infinities and NaN
  if (x < 0.0) x = -x;                                              // cos is even: both signs give the same bits
  if (magnitudeHigh <= 0x3FE921FBu) return cosOfRemainder(x, 0.0);  // |x| < pi/4 already
  const ReducedAngle r = reduceByHalfPi(x);
  switch (r.quadrant & 3) {
    case 0:
      return cosOfRemainder(r.hi, r.lo);
    case 1:
      return -sinOfRemainder(r.hi, r.lo);
    case 2:
      return -cosOfRemainder(r.hi, r.lo);
    default:
      return sinOfRemainder(r.hi, r.lo);
  }
}

// Deterministic two-argument arc tangent, after fdlibm's s_atan.c and e_atan2.c.
//
// ====================================================
// Copyright (C) 1993 by Sun Microsystems, Inc. All rights reserved.
//
// Developed at SunPro, a Sun Microsystems, Inc. business.
// Permission to use, copy, modify, and distribute this
// software is freely granted, provided that this notice
// is preserved.
// ====================================================
#include <cstdint>
#include <limits>

#include "shading/det_bits.h"
#include "shading/det_math.h"

namespace {

// atan of the reduction points 0.5, 1, 1.5 and infinity, each as a double plus the rest.
constexpr double kAtanHi[] = {
    4.63647609000806093515e-01,  // 0x3FDDAC67 0561BB4F
    7.85398163397448278999e-01,  // 0x3FE921FB 54442D18
    9.82793723247329054082e-01,  // 0x3FEF730B D281F69B
    1.57079632679489655800e+00,  // 0x3FF921FB 54442D18
};
constexpr double kAtanLo[] = {
    2.26987774529616870924e-17,  // 0x3C7A2B7F 222F65E2
    3.06161699786838301793e-17,  // 0x3C81A626 33145C07
    1.39033110312309984516e-17,  // 0x3C700788 7AF0CBBD
    6.12323399573676603587e-17,  // 0x3C91A626 33145C07
};
// atan(x) ~ x - x * (T0 x^2 + T1 x^4 + ... + T10 x^22) for |x| <= 7/16.
constexpr double kT[] = {
    3.33333333333329318027e-01,   // 0x3FD55555 5555550D
    -1.99999999998764832476e-01,  // 0xBFC99999 9998EBC4
    1.42857142725034663711e-01,   // 0x3FC24924 920083FF
    -1.11111104054623557880e-01,  // 0xBFBC71C6 FE231671
    9.09088713343650656196e-02,   // 0x3FB745CD C54C206E
    -7.69187620504482999495e-02,  // 0xBFB3B0F2 AF749A6D
    6.66107313738753120669e-02,   // 0x3FB10D66 A0D03D51
    -5.83357013379057348645e-02,  // 0xBFADDE2D 52DEFD9A
    4.97687799461593236017e-02,   // 0x3FA97B4B 24760DEB
    -3.65315727442169155270e-02,  // 0xBFA2B444 2C6A6C2F
    1.62858201153657823623e-02,   // 0x3F90AD3A E322DA11
};

constexpr double kPiOver4 = 7.8539816339744827900e-01;  // 0x3FE921FB 54442D18
constexpr double kPiOver2 = 1.5707963267948965580e+00;  // 0x3FF921FB 54442D18
constexpr double kPi = 3.1415926535897931160e+00;       // 0x400921FB 54442D18
constexpr double kPiTail = 1.2246467991473531772e-16;   // 0x3CA1A626 33145C07, pi - kPi

double arcTangent(double x) {
  const std::int32_t high = highWord(x);
  const std::uint32_t magnitudeHigh = static_cast<std::uint32_t>(high) & 0x7FFFFFFFu;
  if (magnitudeHigh >= 0x44100000u) {  // |x| >= 2^66, infinity or NaN
    if (x != x) return x + x;
    return high > 0 ? kAtanHi[3] + kAtanLo[3] : -kAtanHi[3] - kAtanLo[3];
  }
  int interval;                                 // -1: no reduction; else the index of the reduction point
  if (magnitudeHigh < 0x3FDC0000u) {            // |x| < 7/16
    if (magnitudeHigh < 0x3E400000u) return x;  // |x| < 2^-27: atan(x) rounds to x
    interval = -1;
  } else {
    x = x < 0.0 ? -x : x;
    if (magnitudeHigh < 0x3FE60000u) {  // 7/16 <= |x| < 11/16
      interval = 0;
      x = (2.0 * x - 1.0) / (2.0 + x);
    } else if (magnitudeHigh < 0x3FF30000u) {  // 11/16 <= |x| < 19/16
      interval = 1;
      x = (x - 1.0) / (x + 1.0);
    } else if (magnitudeHigh < 0x40038000u) {  // 19/16 <= |x| < 39/16
      interval = 2;
      x = (x - 1.5) / (1.0 + 1.5 * x);
    } else {  // 39/16 <= |x| < 2^66
      interval = 3;
      x = -1.0 / x;
    }
  }
  const double z = x * x;
  const double w = z * z;
  // The series split into its odd and even terms.
  const double s1 = z * (kT[0] + w * (kT[2] + w * (kT[4] + w * (kT[6] + w * (kT[8] + w * kT[10])))));
  const double s2 = w * (kT[1] + w * (kT[3] + w * (kT[5] + w * (kT[7] + w * kT[9]))));
  if (interval < 0) return x - x * (s1 + s2);
  const double result = kAtanHi[interval] - ((x * (s1 + s2) - kAtanLo[interval]) - x);
  return high < 0 ? -result : result;
}

}  // namespace

double detAtan2(double y, double x) {
  if (x != x || y != y) return x + y;
  if (x == 1.0) return arcTangent(y);
  const bool yNegative = highWord(y) < 0;  // the sign bit, so that -0 counts as negative
  const bool xNegative = highWord(x) < 0;
  const double magnitudeY = yNegative ? -y : y;
  const double magnitudeX = xNegative ? -x : x;
  constexpr double kInfinity = std::numeric_limits<double>::infinity();

  if (y == 0.0) {
    if (!xNegative) return y;  // +-0 for x >= +0
    return yNegative ? -kPi : kPi;
  }
  if (x == 0.0) return yNegative ? -kPiOver2 : kPiOver2;
  if (magnitudeX == kInfinity) {
    double angle;
    if (magnitudeY == kInfinity) {
      angle = xNegative ? 3.0 * kPiOver4 : kPiOver4;
    } else {
      angle = xNegative ? kPi : 0.0;
    }
    return yNegative ? -angle : angle;
  }
  if (magnitudeY == kInfinity) return yNegative ? -kPiOver2 : kPiOver2;

  // The angle of |y| / |x| in the first quadrant, then moved to the quadrant of (x, y).
  const std::int32_t exponentGap = ((highWord(magnitudeY) - highWord(magnitudeX)) >> 20);
  double z;
  bool nearYAxis = false;
  if (exponentGap > 60) {  // |y / x| > 2^60
    z = kPiOver2 + 0.5 * kPiTail;
    nearYAxis = true;
  } else if (xNegative && exponentGap < -60) {  // |y / x| < 2^-60 with x < 0: the angle is pi
    z = 0.0;
  } else {
    z = arcTangent(magnitudeY / magnitudeX);
  }
  if (!xNegative || nearYAxis) return yNegative ? -z : z;
  return yNegative ? (z - kPiTail) - kPi : kPi - (z - kPiTail);
}

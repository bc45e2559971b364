// Reduction of an angle by multiples of pi/2 for the deterministic cosine: x = quadrant * pi/2 + (hi + lo),
// with |hi + lo| <= pi/4 (a hair more at the rounding boundary) and lo below half an ulp of hi.
#pragma once

struct ReducedAngle {
  int quadrant;  // only quadrant mod 4 carries meaning for very large x
  double hi;
  double lo;
};

// Any finite x. Small and moderate |x| take the fast three-step subtraction, larger ones the exact one.
ReducedAngle reduceByHalfPi(double x);

// The exact reduction alone (multiplication by 2/pi to 224 bits), for finite |x| >= 1; shared with the
// tests, which hold it against the fast path where both apply.
ReducedAngle reduceByHalfPiExact(double x);

// The fast path serves |x| below this bound (a little above 2^20 * pi/2), where 20 bits of quadrant count
// times the 33-bit leading part of pi/2 stay exact.
constexpr double kFastReductionLimit = 1647100.0;

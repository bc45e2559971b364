// Vector and colour arithmetic on Vec3, all in double precision. Nothing here allocates, fails,
// calls the host or touches shared state. Operations that return a value never change their
// inputs, so their result may be stored over an input.
#pragma once

#include <cmath>

#include "module/host_interface.h"

inline Vec3& vecSet(Vec3& v, double x, double y, double z) {
  v.x = x;
  v.y = y;
  v.z = z;
  return v;
}

inline Vec3& vecAddTo(Vec3& v, const Vec3& other) {
  v.x += other.x;
  v.y += other.y;
  v.z += other.z;
  return v;
}

inline Vec3& vecStore(const Vec3& v, Vec3& destination) {
  destination = v;
  return destination;
}

inline double vecLength(const Vec3& v) { return std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z); }

// v divided by its own non-zero `length`, already measured: three divisions, not a multiplication by
// a reciprocal, so the result is the same wherever it is computed.
inline Vec3 vecDividedByLength(const Vec3& v, double length) { return Vec3{v.x / length, v.y / length, v.z / length}; }

// The unit copy of v; (0, 0, 0) for a zero vector.
inline Vec3 vecUnit(const Vec3& v) {
  const double length = vecLength(v);
  if (length == 0.0) return Vec3{};
  return vecDividedByLength(v, length);
}

inline Vec3& vecNormalizeInto(Vec3& v, Vec3& destination) {
  v = vecUnit(v);
  destination = v;
  return destination;
}

inline Vec3 vecScaled(const Vec3& v, double s) { return Vec3{s * v.x, s * v.y, s * v.z}; }

inline Vec3 vecMulComp(const Vec3& a, const Vec3& b) { return Vec3{a.x * b.x, a.y * b.y, a.z * b.z}; }

inline Vec3 vecCross(const Vec3& a, const Vec3& b) {
  return Vec3{a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

inline double vecDot(const Vec3& a, const Vec3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

// a − b, component by component.
inline Vec3 vecMinus(const Vec3& a, const Vec3& b) { return Vec3{a.x - b.x, a.y - b.y, a.z - b.z}; }

// Mirror direction of i about n; both are normalised first, so any lengths do.
inline Vec3 vecReflect(const Vec3& i, const Vec3& n) {
  const Vec3 iUnit = vecUnit(i);
  const Vec3 nUnit = vecUnit(n);
  const double twiceDot = 2.0 * vecDot(iUnit, nUnit);
  return Vec3{iUnit.x - twiceDot * nUnit.x, iUnit.y - twiceDot * nUnit.y, iUnit.z - twiceDot * nUnit.z};
}

// Refracted direction of i through a surface with normal n, eta = incoming index over far index.
// Expects i against n; n is not flipped. Total internal reflection gives (0, 0, 0).
inline Vec3 vecRefract(const Vec3& i, const Vec3& n, double eta) {
  const Vec3 iUnit = vecUnit(i);
  const Vec3 nUnit = vecUnit(n);
  const double d = vecDot(iUnit, nUnit);
  const double k = 1.0 - ((1.0 - d * d) * eta) * eta;
  if (k < 0.0) return Vec3{};
  const double c = eta * d + std::sqrt(k);
  return Vec3{eta * iUnit.x - c * nUnit.x, eta * iUnit.y - c * nUnit.y, eta * iUnit.z - c * nUnit.z};
}

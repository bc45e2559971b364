// Vector arithmetic for the reference host's own geometry and colour work. The host keeps its own
// helpers: it shares only the interface records with the module, never the module's code.
#pragma once

#include <algorithm>
#include <cmath>

#include "module/host_interface.h"

inline Vec3 operator+(const Vec3& a, const Vec3& b) { return Vec3{a.x + b.x, a.y + b.y, a.z + b.z}; }
inline Vec3 operator-(const Vec3& a, const Vec3& b) { return Vec3{a.x - b.x, a.y - b.y, a.z - b.z}; }
inline Vec3 operator-(const Vec3& a) { return Vec3{-a.x, -a.y, -a.z}; }
inline Vec3 operator*(double s, const Vec3& v) { return Vec3{s * v.x, s * v.y, s * v.z}; }
inline Vec3 operator*(const Vec3& v, double s) { return s * v; }
inline Vec3& operator+=(Vec3& a, const Vec3& b) { return a = a + b; }

// Component-wise product, for colours.
inline Vec3 times(const Vec3& a, const Vec3& b) { return Vec3{a.x * b.x, a.y * b.y, a.z * b.z}; }
inline double dot(const Vec3& a, const Vec3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
inline Vec3 cross(const Vec3& a, const Vec3& b) {
  return Vec3{a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
inline double length(const Vec3& v) { return std::sqrt(dot(v, v)); }
// The unit copy; the zero vector stays zero.
inline Vec3 unit(const Vec3& v) {
  const double l = length(v);
  return l > 0.0 ? Vec3{v.x / l, v.y / l, v.z / l} : Vec3{};
}
inline Vec3 lerp(const Vec3& a, const Vec3& b, double t) { return a + t * (b - a); }
inline bool isFinite(const Vec3& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }
inline double maxComponent(const Vec3& v) { return std::max({v.x, v.y, v.z}); }

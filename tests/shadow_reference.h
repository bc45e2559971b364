// An independent recomputation of the soft-shadow sampler, for tests: the random sequence stepped
// one draw at a time from the load state, and the shadow rays of one call worked out from those
// draws with plain arithmetic in the order the sampler's formulas give.
#pragma once

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "module/host_interface.h"

// The first `count` draws from load, made one by one.
inline std::vector<int> referenceDraws(std::size_t count) {
  std::vector<int> draws;
  draws.reserve(count);
  std::uint32_t state = 1;
  for (std::size_t i = 0; i < count; ++i) {
    state = state * 214013u + 2531011u;
    draws.push_back(static_cast<int>((state >> 16) & 0x7FFF));
  }
  return draws;
}

struct ReferenceRay {
  Vec3 direction;   // unit, from the sample toward the cell's point
  double distance;  // from the sample to the cell's point
};

inline Vec3 referenceUnit(const Vec3& v) {
  const double length = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
  if (length == 0.0) return Vec3{};
  return Vec3{v.x / length, v.y / length, v.z / length};
}

inline Vec3 referenceCross(const Vec3& a, const Vec3& b) {
  return Vec3{a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

// The random axis R that a call whose draws begin at draws[first] turns its square by.
inline Vec3 referenceRandomAxis(const std::vector<int>& draws, std::size_t first) {
  const double k = 1.0 / 32767.0;
  return referenceUnit(Vec3{draws[first + 2] * k, draws[first + 1] * k, draws[first] * k});
}

// The n × n rays, row by row, of a call whose draws begin at draws[first]; `lightDirection` is the
// unit direction of the light's travel toward `sample`.
inline std::vector<ReferenceRay> referenceRays(const std::vector<int>& draws, std::size_t first, int n,
                                               double edgeLength, const Vec3& sample, const Vec3& centre,
                                               const Vec3& lightDirection) {
  const double k = 1.0 / 32767.0;
  const double nd = n;
  const Vec3 r = referenceRandomAxis(draws, first);
  const Vec3 u1 = referenceUnit(referenceCross(lightDirection, r));
  const Vec3 w1 = referenceUnit(referenceCross(lightDirection, u1));
  const double h = edgeLength * 0.5;
  const Vec3 u{u1.x * h, u1.y * h, u1.z * h};
  const Vec3 w{w1.x * h, w1.y * h, w1.z * h};

  std::vector<ReferenceRay> rays;
  std::size_t next = first + 3;
  for (int i = 0; i < n; ++i) {
    for (int j = 0; j < n; ++j) {
      const double x = ((draws[next++] * k + j) * 2) / nd - 1;
      const double y = ((draws[next++] * k + i) * 2) / nd - 1;
      const Vec3 q{(centre.x + y * u.x) + x * w.x, (centre.y + y * u.y) + x * w.y, (centre.z + y * u.z) + x * w.z};
      const Vec3 v{q.x - sample.x, q.y - sample.y, q.z - sample.z};
      rays.push_back({referenceUnit(v), std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z)});
    }
  }
  return rays;
}

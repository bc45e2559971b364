// Exact and near comparisons of Vec3 values for tests.
#pragma once

#include <gtest/gtest.h>

#include "module/host_interface.h"
#include "tests/fake_host.h"

// Bit-exact equality of each component (+0 and −0 count as equal, NaN never does).
inline ::testing::AssertionResult vecExact(const Vec3& actual, const Vec3& expected) {
  if (actual.x == expected.x && actual.y == expected.y && actual.z == expected.z) {
    return ::testing::AssertionSuccess();
  }
  return ::testing::AssertionFailure() << formatVec(actual) << " is not exactly " << formatVec(expected);
}

inline ::testing::AssertionResult vecNear(const Vec3& actual, const Vec3& expected, double tolerance) {
  const double dx = actual.x - expected.x, dy = actual.y - expected.y, dz = actual.z - expected.z;
  if (dx <= tolerance && dx >= -tolerance && dy <= tolerance && dy >= -tolerance && dz <= tolerance &&
      dz >= -tolerance) {
    return ::testing::AssertionSuccess();
  }
  return ::testing::AssertionFailure() << formatVec(actual) << " is not within " << tolerance << " of "
                                       << formatVec(expected);
}

#include "shading/spherical_map.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

constexpr double kHalfPi = 1.5707963267948966;
constexpr double kPi = 3.141592653589793;
constexpr double kQuarterPi = 0.7853981633974483;

struct DirectionCase {
  double x, y, z;
  double heading, pitch, u, v;
};

// Where each axis direction (and one diagonal) lands on the image, seam 0.
const DirectionCase kDirections[] = {
    {0, 0, 1, 0, 0, 0, 0.5},                // forward: the image's left edge, on the horizon
    {1, 0, 0, -kHalfPi, 0, 0.25, 0.5},      //
    {0, 0, -1, kPi, 0, 0.5, 0.5},           // backward: the middle of the image
    {-1, 0, 0, kHalfPi, 0, 0.75, 0.5},      //
    {1, 0, 1, -kQuarterPi, 0, 0.125, 0.5},  //
    {0, 1, 0, 0, kHalfPi, 0, 0},            // straight up: the top row
    {0, -1, 0, 0, -kHalfPi, 0, 0},          // straight down: v = 1 wraps to the top row
    {0, 0, 0, 0, 0, 0, 0.5},                // no direction at all
};

TEST(SphericalMap, AxisDirectionsLandExactlyWhereExpected) {
  for (const DirectionCase& c : kDirections) {
    SCOPED_TRACE(::testing::Message() << "direction (" << c.x << ", " << c.y << ", " << c.z << ")");
    double heading = -99.0, pitch = -99.0;
    headingPitchOf(c.x, c.y, c.z, heading, pitch);
    EXPECT_EQ(heading, c.heading);
    EXPECT_EQ(pitch, c.pitch);
    double u = -99.0, v = -99.0;
    sphericalImageCoordinates(c.x, c.y, c.z, 0.0, u, v);
    EXPECT_EQ(u, c.u);
    EXPECT_EQ(v, c.v);
  }
}

TEST(SphericalMap, HeadingAndPitchDoNotDependOnLength) {
  double heading = 0.0, pitch = 0.0;
  headingPitchOf(0, 0, -5, heading, pitch);
  EXPECT_EQ(heading, kPi);
  EXPECT_EQ(pitch, 0.0);
  headingPitchOf(0, -0.25, 0, heading, pitch);
  EXPECT_EQ(pitch, -kHalfPi);
  headingPitchOf(-3, 0, 0, heading, pitch);
  EXPECT_EQ(heading, kHalfPi);
}

TEST(SphericalMap, HeadingCoversTheBackHalfWithoutAJump) {
  // Just either side of −z: headings close to π, one below and one above it, both within
  // [−π/2, 3π/2), and the image coordinate u close to 0.5 from both sides.
  double left = 0.0, right = 0.0, pitch = 0.0;
  headingPitchOf(-0.001, 0, -1, left, pitch);
  headingPitchOf(0.001, 0, -1, right, pitch);
  EXPECT_LT(left, kPi);
  EXPECT_GT(right, kPi);
  EXPECT_NEAR(left, kPi, 0.0011);
  EXPECT_NEAR(right, kPi, 0.0011);
  EXPECT_LT(right, 3 * kHalfPi);
}

TEST(SphericalMap, PitchIsTheElevationAboveTheHorizontalPlane) {
  double heading = 0.0, pitch = 0.0;
  headingPitchOf(1, 1, 0, heading, pitch);
  EXPECT_EQ(pitch, kQuarterPi);
  headingPitchOf(0, -1, -1, heading, pitch);
  EXPECT_EQ(pitch, -kQuarterPi);
  EXPECT_EQ(heading, kPi);
}

TEST(SphericalMap, AHorizontalPartTooSmallToSquareCountsAsVertical) {
  // 1e-200 squared underflows to 0, so the horizontal length is 0 although x is not.
  double heading = 0.0, pitch = 0.0;
  headingPitchOf(1e-200, 1, 0, heading, pitch);
  EXPECT_EQ(heading, -kHalfPi);
  EXPECT_EQ(pitch, kHalfPi);
  headingPitchOf(1e-200, 0, 0, heading, pitch);
  EXPECT_EQ(pitch, kHalfPi) << "y = 0 counts as up";
  headingPitchOf(1e-200, -1, 0, heading, pitch);
  EXPECT_EQ(pitch, -kHalfPi);
}

TEST(SphericalMap, TheSeamAngleTurnsTheImage) {
  double u = -1.0, v = -1.0;
  sphericalImageCoordinates(0, 0, 1, kHalfPi, u, v);
  EXPECT_EQ(u, 0.75);
  EXPECT_EQ(v, 0.5);
  sphericalImageCoordinates(1, 0, 0, kHalfPi, u, v);
  EXPECT_EQ(u, 0.0);
}

TEST(SphericalMap, NonFiniteCoordinatesStayOnTheImage) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double infinity = std::numeric_limits<double>::infinity();
  double u = -1.0, v = -1.0;
  sphericalImageCoordinates(0, 0, 1, nan, u, v);
  EXPECT_EQ(u, 0.0);
  sphericalImageCoordinates(0, 0, 1, infinity, u, v);
  EXPECT_EQ(u, 0.0);
  sphericalImageCoordinates(nan, nan, nan, 0.0, u, v);
  EXPECT_EQ(u, 0.0);
  EXPECT_EQ(v, 0.0);
}

TEST(FoldedAtan2, FoldsTheBackHalfOntoTheFront) {
  struct Case {
    double a, b, angle;
  };
  const Case cases[] = {
      {0, 1, 0},             // ahead
      {1, 1, kQuarterPi},    //
      {0, -1, 0},            // π folds to 0
      {1, -1, -kQuarterPi},  // 3π/4 folds to −π/4
      {-1, -1, kQuarterPi},  // −3π/4 folds to π/4
      {1, 0, kHalfPi},       // ±π/2 are kept
      {-1, 0, -kHalfPi},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(foldedAtan2(c.a, c.b), c.angle) << "foldedAtan2(" << c.a << ", " << c.b << ")";
  }
}

TEST(WrapUnit, ReducesIntoTheUnitInterval) {
  struct Case {
    double x, wrapped;
  };
  const Case cases[] = {
      {-2, 1}, {-1, 1}, {-1.75, 0.25}, {-0.25, 0.75}, {0, 0}, {1, 0}, {1.25, 0.25}, {-0.0, 0}, {0.5, 0.5}, {7.5, 0.5},
  };
  for (const Case& c : cases) EXPECT_EQ(wrapUnit(c.x), c.wrapped) << "wrapUnit(" << c.x << ")";
}

TEST(WrapUnit, NonFiniteInputGivesZero) {
  EXPECT_EQ(wrapUnit(std::numeric_limits<double>::quiet_NaN()), 0.0);
  EXPECT_EQ(wrapUnit(std::numeric_limits<double>::infinity()), 0.0);
  EXPECT_EQ(wrapUnit(-std::numeric_limits<double>::infinity()), 0.0);
}

TEST(NearlyEqual, ToleranceScalesWithTheFirstArgumentOnly) {
  struct Case {
    double a, b;
    bool close;
  };
  const Case cases[] = {
      {100000, 99999, true}, {99999, 100000, false}, {1e-300, 0, false},  {0, 0, true},
      {-0.0, 0, true},       {0, 1e-300, false},     {1, 1.000009, true}, {1, 1.0001, false},
  };
  for (const Case& c : cases) EXPECT_EQ(nearlyEqual(c.a, c.b), c.close) << "nearlyEqual(" << c.a << ", " << c.b << ")";
}

}  // namespace

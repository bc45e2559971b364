#include "shading/own_light_model.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "module/host_services.h"
#include "shading/det_math.h"
#include "tests/fake_host.h"
#include "tests/vec_matchers.h"

namespace {

using Log = std::vector<std::string>;

class OwnLightModel : public ::testing::Test {
 protected:
  OwnLightModel() {
    FakeLight light;
    light.name = "Key";
    light.colour = {1, 2, 4};
    light.position = {0, 0, 0};
    light.forward = {0, 0, 1};
    host.lights.push_back(light);
  }

  FakeLight& light() { return host.lights[0]; }

  // Lights `position`; the direction and colour land in `direction` and `colour`.
  double illuminate(const Vec3& position) {
    direction = {9, 9, 9};
    colour = {9, 9, 9};
    return illuminateOwn(FakeHost::lightHandle(0), position, direction, colour);
  }

  FakeHost host;
  Vec3 direction;
  Vec3 colour;
};

TEST_F(OwnLightModel, FalloffScalesTheEmittedColour) {
  struct Case {
    int code;
    double range;
    double distance;
    double factor;
  } cases[] = {
      {1, 2.0, 1.0, 0.5},
      {1, 2.0, 2.0, 0.0},
      {1, 2.0, 3.0, 0.0},
      {1, 4.0, 0.5, 0.875},
      {2, 2.0, 1.0, 2.0},
      {2, 2.0, 4.0, 0.5},
      {3, 1.0, 2.0, 0.25},
      {3, 2.0, 1.0, 4.0},
      {0, 2.0, 5.0, 1.0},
      {4, 2.0, 5.0, 1.0},
      {-1, 2.0, 5.0, 1.0},
      // (range·range)/(dist·dist) is the correctly rounded 1/9; (range/dist)² would be one ulp low.
      {3, 1.0, 3.0, 1.0 / 9.0},
      {2, 1.0, 3.0, 1.0 / 3.0},
  };
  for (const Case& c : cases) {
    light().falloff = c.code;
    light().range = c.range;
    const double distance = illuminate({0, 0, c.distance});
    EXPECT_EQ(distance, c.distance);
    EXPECT_TRUE(vecExact(direction, {0, 0, 1}));
    EXPECT_TRUE(vecExact(colour, {c.factor, 2 * c.factor, 4 * c.factor}))
        << "code " << c.code << ", range " << c.range << ", distance " << c.distance;
  }
}

TEST_F(OwnLightModel, PointLightDirectionRunsFromTheLightToThePosition) {
  light().position = {1, 2, 3};
  EXPECT_EQ(illuminate({4, 6, 3}), 5.0);
  EXPECT_TRUE(vecExact(direction, {0.6, 0.8, 0}));
  EXPECT_TRUE(vecExact(colour, {1, 2, 4}));
}

// With the position straight ahead of the light at (0, 0, 2), the cone test's cosine is the forward
// axis's z, as the host gives it: the tests set it exactly.
class SpotCone : public OwnLightModel {
 protected:
  SpotCone() { light().kind = kLightSpot; }
  Vec3 spotColourAtCosine(double cosine) {
    light().forward = {0, 0, cosine};
    illuminate({0, 0, 2});
    return colour;
  }
};

TEST_F(SpotCone, FullInsideDarkOutsideSmoothAcrossTheEdge) {
  light().cone = 0.5;
  light().edge = 0.1;
  const double inner = detCos(0.4);
  const double outer = detCos(0.5);
  EXPECT_TRUE(vecExact(spotColourAtCosine(1.0), {1, 2, 4})) << "on the axis";
  EXPECT_TRUE(vecExact(spotColourAtCosine(inner), {1, 2, 4})) << "at the inner bound";
  EXPECT_TRUE(vecExact(spotColourAtCosine(outer), {0, 0, 0})) << "at the cone";
  EXPECT_TRUE(vecExact(spotColourAtCosine(0.0), {0, 0, 0})) << "far outside";
  // The smoothstep of 3/4 and of 1/4 of the way in from the cone.
  EXPECT_NEAR(spotColourAtCosine(outer + 0.75 * (inner - outer)).x, 0.84375, 1e-9);
  EXPECT_NEAR(spotColourAtCosine(outer + 0.25 * (inner - outer)).x, 0.15625, 1e-9);
  const Vec3 justOutsideCone = spotColourAtCosine(std::nextafter(outer, 1.0));
  EXPECT_GT(justOutsideCone.x, 0.0);
  EXPECT_LT(justOutsideCone.x, 0.01);
}

// The smoothstep is evaluated in one fixed order, ((3t/w)·t)/w − ((((2t/w)·t)/w)·t)/w, so that every
// build and every host gets the same bits; algebraically equal forms round differently.
TEST_F(SpotCone, SmoothstepKeepsItsEvaluationOrder) {
  light().cone = 0.5;
  light().edge = 0.1;
  const double inner = detCos(0.4);
  const double outer = detCos(0.5);
  const double w = inner - outer;
  int differsFromPolynomialForm = 0;
  for (int step = 1; step < 64; ++step) {
    const double cosine = outer + w * step / 64.0;
    const double t = cosine - outer;
    const double expected = ((3.0 * t / w) * t) / w - ((((2.0 * t / w) * t) / w) * t) / w;
    EXPECT_EQ(spotColourAtCosine(cosine).x, expected) << "step " << step;
    if (expected != t * t * (3.0 * w - 2.0 * t) / (w * w * w)) ++differsFromPolynomialForm;
  }
  EXPECT_GT(differsFromPolynomialForm, 0) << "the cases must tell the two orders apart";
}

TEST_F(SpotCone, HalfwayBetweenTheCosinesGivesHalf) {
  // An edge whose two cosines have an exactly representable midpoint, so that "halfway" is exact.
  light().cone = 0.5;
  bool found = false;
  for (double edge = 0.1; edge < 0.2 && !found; edge += 0.001) {
    const double inner = detCos(0.5 - edge);
    const double outer = detCos(0.5);
    const double middle = outer + (inner - outer) / 2;
    if ((middle - outer) * 2 != inner - outer) continue;
    found = true;
    light().edge = edge;
    EXPECT_TRUE(vecExact(spotColourAtCosine(middle), {0.5, 1, 2})) << "edge " << edge;
  }
  ASSERT_TRUE(found);
}

TEST_F(SpotCone, ZeroEdgeIsAHardBoundary) {
  light().cone = 0.5;
  light().edge = 0.0;
  const double outer = detCos(0.5);
  EXPECT_TRUE(vecExact(spotColourAtCosine(outer), {1, 2, 4}));
  EXPECT_TRUE(vecExact(spotColourAtCosine(std::nextafter(outer, 0.0)), {0, 0, 0}));
}

TEST_F(SpotCone, ConeMultipliesTheFalloff) {
  light().cone = 0.5;
  light().edge = 0.0;
  light().falloff = 1;
  light().range = 1.0;
  EXPECT_TRUE(vecExact(spotColourAtCosine(1.0), {0, 0, 0})) << "on the axis, beyond a linear range";
  light().range = 4.0;
  EXPECT_TRUE(vecExact(spotColourAtCosine(1.0), {0.5, 1, 2})) << "half the range";
  EXPECT_TRUE(vecExact(spotColourAtCosine(0.0), {0, 0, 0})) << "outside the cone";
}

TEST_F(OwnLightModel, DistantLightShinesAlongItsUnitAxisUndiminished) {
  light().kind = kLightDistant;
  light().forward = {0, 3, 4};
  light().falloff = 1;
  light().range = 0.001;
  gRenderTime = 2.5;
  EXPECT_EQ(illuminate({100, 100, 100}), -1.0);
  EXPECT_TRUE(vecExact(direction, {0, 0.6, 0.8}));
  EXPECT_TRUE(vecExact(colour, {1, 2, 4}));
  const Log expected = {"kindOfLight(Key)", "emittedColor(Key,2.5)", "itemVector(Key,8,2.5)", "itemVector(Key,4,2.5)"};
  EXPECT_EQ(host.log, expected);
}

TEST_F(OwnLightModel, EveryKindButDistantAndSpotIsAPointLight) {
  light().falloff = 3;
  light().range = 1.0;
  light().forward = {0, 0, -1};  // a spot would be dark here
  const Vec3 position{0, 2, 0};
  light().kind = kLightPoint;
  const double pointDistance = illuminate(position);
  const Vec3 pointDirection = direction;
  const Vec3 pointColour = colour;
  EXPECT_TRUE(vecExact(pointColour, {0.25, 0.5, 1}));
  for (int kind : {3, 4, 7, -1}) {
    light().kind = kind;
    EXPECT_EQ(illuminate(position), pointDistance) << kind;
    EXPECT_TRUE(vecExact(direction, pointDirection)) << kind;
    EXPECT_TRUE(vecExact(colour, pointColour)) << kind;
  }
}

TEST_F(OwnLightModel, AsksTheHostInOrderAtTheRenderTime) {
  gRenderTime = 0.75;
  illuminate({0, 0, 1});
  Log expected = {"kindOfLight(Key)",       "emittedColor(Key,0.75)", "itemVector(Key,8,0.75)",
                  "itemVector(Key,4,0.75)", "rangeOfLight(Key,0.75)", "falloffKind(Key)"};
  EXPECT_EQ(host.log, expected) << "point light";

  host.clearLog();
  light().kind = kLightSpot;
  illuminate({0, 0, 1});
  expected.push_back("spotCone(Key,0.75)");
  EXPECT_EQ(host.log, expected) << "spot light";
}

// A position at the light (or so near that an inverse falloff overflows) has no direction to be lit
// from and no finite strength there: it gets black, the zero direction, and its true distance.
TEST_F(OwnLightModel, APositionAtTheLightGetsBlack) {
  light().position = {1, 2, 3};
  light().range = 2.0;
  for (int kind : {kLightPoint, kLightSpot}) {
    for (int code : {0, 1, 2, 3}) {
      light().kind = kind;
      light().falloff = code;
      EXPECT_EQ(illuminate({1, 2, 3}), 0.0);
      EXPECT_TRUE(vecExact(direction, {0, 0, 0})) << "kind " << kind << ", code " << code;
      EXPECT_TRUE(vecExact(colour, {0, 0, 0})) << "kind " << kind << ", code " << code;
    }
  }
  light().falloff = 1;
  light().range = 0.0;
  illuminate({1, 2, 3});
  EXPECT_TRUE(vecExact(colour, {0, 0, 0})) << "linear falloff with range 0";

  light().position = {0, 0, 0};
  struct Near {
    int code;
    double distance;
  } nearCases[] = {{3, 1e-170}, {3, 1e-300}, {2, 4.9e-324}};
  for (const Near& c : nearCases) {
    light().falloff = c.code;
    light().range = 1.0;
    illuminate({0, 0, c.distance});
    EXPECT_TRUE(vecExact(colour, {0, 0, 0})) << "code " << c.code << " at " << c.distance;
  }
  light().falloff = 3;
  illuminate({0, 0, 1e-100});
  EXPECT_TRUE(std::isfinite(colour.x) && colour.x > 1e199) << "near, but still finite: kept";
}

}  // namespace

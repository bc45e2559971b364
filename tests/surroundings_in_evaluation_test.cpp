// Reflection and refraction as the evaluation composes them into the sample's colour.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "module/host_services.h"
#include "shading/evaluate_surface.h"
#include "tests/fake_host.h"
#include "tests/vec_matchers.h"

namespace {

using Log = std::vector<std::string>;

class SurroundingsInEvaluation : public ::testing::Test {
 protected:
  SurroundingsInEvaluation() {
    host.ambient = {0, 0, 0};
    // Straight down onto an upward surface: the mirror looks straight up, the refracted ray
    // (index 1) goes straight on down.
    access.position = {0, 0, 0};
    access.rayOrigin = {0, 2, 0};
    access.normal = {0, 1, 0};
    access.refractiveIndex = 1;
  }

  FakeHost host;
  ShaderInstance instance = FakeHost::makeInstance();
  ShaderAccess access = host.makeAccess();
};

TEST_F(SurroundingsInEvaluation, BlendsFilteredTransmissionAndAddsTintedMirror) {
  host.channelInts["RefractionOptions"] = 1;  // traced
  host.channelInts["ReflectionOptions"] = 0;  // backdrop
  host.traceColor = [](const Vec3&, const Vec3&, Vec3& colour) {
    colour = {1, 0.5, 0.25};
    return 4.0;
  };
  host.backdrop = {0.25, 0.5, 0.75};
  access.baseColor = {0.5, 0.25, 1};
  access.diffuse = 0;
  access.luminosity = 1;
  access.transparency = 0.5;
  access.filterTint = 0.5;
  access.mirror = 0.25;
  access.highlightTint = 0.5;

  evaluateSurface(&instance, &access);

  // Own colour: luminosity × base (0.5, 0.25, 1), halved by the transparency: (0.25, 0.125, 0.5).
  // Filter and tint alike (0.5 + 0.5 × base) = (0.75, 0.625, 1).
  // Transmitted: 0.5 × (1, 0.5, 0.25) ⊙ filter = (0.375, 0.15625, 0.125).
  // Mirror: 0.25 × (0.25, 0.5, 0.75) ⊙ tint = (0.046875, 0.078125, 0.1875).
  EXPECT_TRUE(vecExact(access.replaceColor, {0.671875, 0.359375, 0.8125}));
  EXPECT_EQ(host.callsNamed("channelInt"), (Log{"channelInt(RefractionOptions)", "channelInt(ReflectionOptions)"}));
  EXPECT_EQ(host.callsNamed("traceColor"), Log{"traceColor((0 0 0),(0 -1 0))"});
  EXPECT_EQ(host.callsNamed("backdropColor"), Log{"backdropColor(0,(0 1 0))"});
}

TEST_F(SurroundingsInEvaluation, FilterTintActsOnTransmissionAndHighlightTintOnTheMirror) {
  host.channelInts["RefractionOptions"] = 0;  // backdrop
  host.channelInts["ReflectionOptions"] = 1;  // traced
  host.backdrop = {0.5, 0.5, 0.5};
  host.traceColor = [](const Vec3&, const Vec3&, Vec3& colour) {
    colour = {1, 0, 0};
    return 1.0;
  };
  access.baseColor = {0.5, 0.25, 1};
  access.diffuse = 0;
  access.transparency = 0.5;
  access.filterTint = 1;  // transmission fully filtered by the base colour
  access.mirror = 0.5;
  access.highlightTint = 0;  // mirror untinted

  evaluateSurface(&instance, &access);
  // 0.5 × (0.5, 0.5, 0.5) ⊙ (0.5, 0.25, 1) + 0.5 × (1, 0, 0).
  EXPECT_TRUE(vecExact(access.replaceColor, {0.625, 0.0625, 0.25}));
}

TEST_F(SurroundingsInEvaluation, UntintedAndUnfilteredColoursPassUnchanged) {
  host.channelInts["RefractionOptions"] = 0;
  host.channelInts["ReflectionOptions"] = 0;
  host.backdrop = {0.25, 0.5, 0.75};
  access.baseColor = {0.5, 0.25, 1};
  access.diffuse = 0;
  access.transparency = 1;
  access.mirror = 0.5;

  evaluateSurface(&instance, &access);
  // 1 × backdrop + 0.5 × backdrop, with no tint or filter at all.
  EXPECT_TRUE(vecExact(access.replaceColor, {0.375, 0.75, 1.125}));
}

TEST_F(SurroundingsInEvaluation, WithoutSurfaceFunctionsTheSampleIsStillShadedWithBlackSurroundings) {
  host.channelInts["RefractionOptions"] = 0;
  host.channelInts["ReflectionOptions"] = 0;
  host.backdrop = {0.25, 0.5, 0.75};
  gSurfaceFunctions = nullptr;
  access.baseColor = {0.5, 0.25, 1};
  access.diffuse = 0;
  access.luminosity = 1;
  access.transparency = 0.5;
  access.mirror = 0.5;

  evaluateSurface(&instance, &access);
  EXPECT_EQ(access.replaceFraction, 1.0);
  EXPECT_TRUE(vecExact(access.replaceColor, {0.25, 0.125, 0.5})) << "only the own colour, halved";
  EXPECT_TRUE(host.callsNamed("backdropColor").empty());
}

// A traced ray reaching another shaded surface: the host evaluates that surface (which itself
// traces once more) while the outer evaluation waits inside its traceColor call.
TEST_F(SurroundingsInEvaluation, ANestedEvaluationInsideTheTraceDisturbsNothing) {
  FakeLight light;
  light.kind = kLightDistant;
  light.hostDirection = {0, -1, 0};
  light.hostColour = {0.5, 1, 2};
  host.lights.push_back(light);
  host.ambient = {0.125, 0.125, 0.125};
  host.channelInts["RefractionOptions"] = 1;
  host.channelInts["ReflectionOptions"] = 1;
  access.baseColor = {0.5, 0.25, 1};
  access.specular = 0.5;
  access.mirror = 0.5;
  access.transparency = 0.25;
  access.highlightTint = 0.25;
  access.filterTint = 0.75;

  ShaderInstance innerInstance = FakeHost::makeInstance();
  ShaderAccess inner = host.makeAccess();
  inner.position = {5, -3, 1};
  inner.rayOrigin = {0, 0, 0};
  inner.normal = {-1, 2, 0.5};
  inner.baseColor = {1, 0.5, 0.25};
  inner.mirror = 0.75;
  inner.transparency = 0.5;
  inner.luminosity = 0.25;

  int depth = 0;
  int nestedEvaluations = 0;
  std::vector<Vec3> innerColours;
  host.traceColor = [&](const Vec3&, const Vec3&, Vec3& colour) {
    if (depth > 0) {
      colour = {0.0625, 0.125, 0.25};
      return -1.0;
    }
    ++depth;
    inner.replaceFraction = 0;
    evaluateSurface(&innerInstance, &inner);
    --depth;
    ++nestedEvaluations;
    colour = inner.replaceColor;
    innerColours.push_back(colour);
    return 7.0;
  };
  const ShaderAccess outerBefore = access;
  evaluateSurface(&instance, &access);
  const Vec3 nested = access.replaceColor;
  ASSERT_EQ(nestedEvaluations, 2) << "refraction and reflection each trace into the inner surface";
  EXPECT_EQ(inner.replaceFraction, 1.0);

  // The same outer sample, with the trace handing back the same colours without nesting.
  std::size_t next = 0;
  host.traceColor = [&](const Vec3&, const Vec3&, Vec3& colour) {
    colour = innerColours.at(next++);
    return 7.0;
  };
  access = outerBefore;
  evaluateSurface(&instance, &access);
  EXPECT_EQ(next, 2u);
  EXPECT_TRUE(vecExact(nested, access.replaceColor));
}

}  // namespace

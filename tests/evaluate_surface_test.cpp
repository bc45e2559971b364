#include "shading/evaluate_surface.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "module/host_services.h"
#include "shading/light_selection.h"
#include "tests/fake_host.h"
#include "tests/vec_matchers.h"

namespace {

using Log = std::vector<std::string>;

class EvaluateSurface : public ::testing::Test {
 protected:
  EvaluateSurface() {
    // Neither reflection nor refraction sources give anything, so the tests below see only the
    // light and ambient terms.
    host.channelInts["ReflectionOptions"] = 99;
    host.channelInts["RefractionOptions"] = 99;
  }

  FakeLight& addHostLight(const char* name, Vec3 direction, Vec3 colour) {
    FakeLight light;
    light.name = name;
    light.kind = kLightDistant;  // always the host path
    light.hostDirection = direction;
    light.hostColour = colour;
    host.lights.push_back(light);
    return host.lights.back();
  }

  Vec3 shade() {
    evaluateSurface(&instance, &access);
    return access.replaceColor;
  }

  FakeHost host;
  ShaderInstance instance = FakeHost::makeInstance();
  ShaderAccess access = host.makeAccess();
};

TEST_F(EvaluateSurface, WithoutItemLightOrObjectServicesTheRecordIsUntouched) {
  addHostLight("Sun", {0, -1, 0}, {1, 1, 1});
  const char* missing[] = {"item", "light", "object"};
  for (const char* service : missing) {
    host.installServices();
    if (std::strcmp(service, "item") == 0) gItemInfo = nullptr;
    if (std::strcmp(service, "light") == 0) gLightInfo = nullptr;
    if (std::strcmp(service, "object") == 0) gObjectInfo = nullptr;
    EXPECT_FALSE(hostServicesReady()) << service;

    ShaderAccess before;
    std::memset(static_cast<void*>(&before), 0xA5, sizeof before);
    ShaderAccess after = before;
    host.clearLog();
    evaluateSurface(&instance, &after);
    EXPECT_EQ(std::memcmp(&before, &after, sizeof before), 0) << service;
    EXPECT_TRUE(host.log.empty()) << service;
  }
  host.installServices();
  gImageList = nullptr;
  gSurfaceFunctions = nullptr;
  gBackdropInfo = nullptr;
  EXPECT_TRUE(hostServicesReady()) << "the other three services are not required";
}

TEST_F(EvaluateSurface, WithoutAnInstanceOrARecordNothingHappens) {
  addHostLight("Sun", {0, -1, 0}, {1, 1, 1});
  access.replaceFraction = 0.25;
  evaluateSurface(nullptr, &access);
  evaluateSurface(&instance, nullptr);
  EXPECT_EQ(access.replaceFraction, 0.25);
  EXPECT_TRUE(host.log.empty());
}

TEST_F(EvaluateSurface, ComposesEveryTermExactly) {
  addHostLight("Sun", {0, -2, 0}, {1, 2, 4});  // L is normalised to (0, -1, 0)
  access.normal = {0, 3, 0};
  access.rayOrigin = {0, 4, 0};  // V = N = H, so s = 1
  access.baseColor = {0.5, 0.25, 1};
  access.diffuse = 1;
  host.indirectGiven = true;
  host.indirect = {0.25, 0.5, 0.125};
  host.causticsGiven = true;
  host.caustics = {0.0625, 0.0625, 0.0625};
  access.luminosity = 0.5;
  access.transparency = 0.25;
  access.filterTint = 0.5;
  access.specular = 0.5;
  access.highlightTint = 0.5;
  access.mirror = 0.5;
  access.replaceFraction = 0.0;

  // diffuse (0.5, 0.5, 4) + indirect (0.125, 0.125, 0.125) + caustics 0.0625 + luminosity
  // (0.25, 0.125, 0.5) = (0.9375, 0.8125, 4.6875); × 0.75 for the transparency; + 0.5 ×
  // (1, 2, 4) ⊙ tint (0.75, 0.625, 1).
  EXPECT_TRUE(vecExact(shade(), {1.078125, 1.234375, 5.515625}));
  EXPECT_EQ(access.replaceFraction, 1.0);
}

TEST_F(EvaluateSurface, AsksTheHostInOrderAndNothingAboutExcludedLights) {
  addHostLight("Key", {0, -1, 0}, {1, 1, 1}).excluded = true;
  addHostLight("Fill", {0, -1, 0}, {1, 1, 1});
  instance.use_prefix = 1;
  std::strcpy(instance.prefix, "Fi");
  gRenderTime = 2.5;
  shade();
  const Log expected = {
      "firstItemOfKind(1)",
      "excludesLight(obj,Key)",
      "nextItemOf(Key)",
      "excludesLight(obj,Fill)",
      "kindOfLight(Fill)",
      "lightFlagBits(Fill)",
      "nameOfItem(Fill)",
      "lightAtPoint(Fill,(0 0 0))",
      "nextItemOf(Fill)",
      "excludesLight(obj,indirect)",
      "lightAtPoint(indirect,(0 0 0))",
      "ambientColor(2.5)",
      "excludesLight(obj,caustics)",
      "lightAtPoint(caustics,(0 0 0))",
  };
  EXPECT_EQ(host.log, expected);

  host.clearLog();
  instance.use_prefix = 0;
  shade();
  EXPECT_TRUE(host.callsNamed("nameOfItem").empty()) << "the name is fetched only with the filter on";
}

TEST_F(EvaluateSurface, ExcludedPseudoLightsFallBackToAmbientAndDropCaustics) {
  access.baseColor = {1, 1, 1};
  host.ambient = {0.5, 0.5, 0.5};
  host.indirectGiven = true;
  host.indirect = {0.25, 0.25, 0.25};
  host.causticsGiven = true;
  host.caustics = {0.125, 0.125, 0.125};

  EXPECT_TRUE(vecExact(shade(), {0.375, 0.375, 0.375})) << "indirect and caustics";
  host.indirectGiven = false;
  EXPECT_TRUE(vecExact(shade(), {0.625, 0.625, 0.625})) << "no indirect given: ambient";
  host.indirectGiven = true;
  host.indirectExcluded = true;
  host.causticsExcluded = true;
  host.clearLog();
  EXPECT_TRUE(vecExact(shade(), {0.5, 0.5, 0.5})) << "both excluded";
  EXPECT_TRUE(host.callsNamed("lightAtPoint").empty());
}

TEST_F(EvaluateSurface, LightFlagsSelectTheTermsALightAddsTo) {
  access.rayOrigin = {0, 4, 0};
  access.baseColor = {1, 1, 1};
  access.specular = 1;
  host.ambient = {};
  struct Case {
    unsigned flags;
    Vec3 expected;  // diffuse and highlight add (1, 1, 1) each
  } cases[] = {{0, {2, 2, 2}},
               {kLightNoDiffuse, {1, 1, 1}},
               {kLightNoSpecular, {1, 1, 1}},
               {kLightNoDiffuse | kLightNoSpecular, {0, 0, 0}},
               {0xFFFFFFF9u, {2, 2, 2}}};
  FakeLight& light = addHostLight("Sun", {0, -1, 0}, {1, 1, 1});
  for (const Case& c : cases) {
    light.flags = c.flags;
    EXPECT_TRUE(vecExact(shade(), c.expected)) << "flags " << c.flags;
  }
}

TEST_F(EvaluateSurface, ALightBehindTheSurfaceStillAddsAHighlight) {
  host.ambient = {};
  access.baseColor = {1, 1, 1};
  access.specular = 1;
  access.highlightRoughness = 1;
  access.rayOrigin = {1, 1, 0};                 // V = (1, 1, 0)/√2
  addHostLight("Under", {0, 1, 0}, {1, 1, 1});  // travels up, against the normal's side
  const Vec3 colour = shade();
  // diffuse: −L·N = −1, nothing; H = unit(V − L) = unit(0.7071, −0.2929, 0): s < 0, nothing.
  EXPECT_TRUE(vecExact(colour, {0, 0, 0}));

  access.rayOrigin = {0, 1, 0};
  host.lights[0].hostDirection = {1, 0.5, 0};  // grazing from below; H has a positive y
  const Vec3 glint = shade();
  EXPECT_GT(glint.x, 0.0);
  EXPECT_EQ(glint.x, glint.y);
}

TEST_F(EvaluateSurface, NegativeLightsCancelBeforeTheClamp) {
  host.ambient = {};
  access.baseColor = {1, 1, 1};
  addHostLight("Warm", {0, -1, 0}, {2, 1, 0.5}).flags = kLightNoSpecular;
  addHostLight("Sink", {0, -1, 0}, {-1, -2, -0.25}).flags = kLightNoSpecular;
  EXPECT_TRUE(vecExact(shade(), {1, 0, 0.25}));
}

TEST_F(EvaluateSurface, EachLightsDiffuseAndBothTotalsAreClampedSeparately) {
  host.ambient = {};
  access.baseColor = {1, 1, 1};
  access.specular = 1;
  access.rayOrigin = {0, 4, 0};  // s = 1 for a light straight above
  // A light behind the surface adds no diffuse light (it does not subtract any either).
  addHostLight("Above", {0, -1, 0}, {0.5, 0.5, 0.5}).flags = kLightNoSpecular;
  addHostLight("Below", {0, 1, 0}, {1, 1, 1}).flags = kLightNoSpecular;
  EXPECT_TRUE(vecExact(shade(), {0.5, 0.5, 0.5}));
  // A negative highlight total is clamped on its own, leaving the diffuse total alone.
  host.lights[1] = FakeLight{};
  host.lights[1].kind = kLightDistant;
  host.lights[1].hostDirection = {0, -1, 0};
  host.lights[1].hostColour = {-1, -1, -1};
  host.lights[1].flags = kLightNoDiffuse;
  EXPECT_TRUE(vecExact(shade(), {0.5, 0.5, 0.5}));
}

// The highlight is the half-way cosine s raised to 1 / roughness. Viewer straight above and light
// travelling along (0.6, −0.8, 0) give s² = 1.8² / 3.6 = 0.9.
TEST_F(EvaluateSurface, HighlightIsTheHalfwayCosineToTheReciprocalRoughness) {
  host.ambient = {};
  access.baseColor = {1, 1, 1};
  access.specular = 1;
  access.rayOrigin = {0, 4, 0};
  addHostLight("Side", {0.6, -0.8, 0}, {1, 1, 1}).flags = kLightNoDiffuse;
  const double sSquared = 0.9;
  struct Case {
    double roughness;
    double strength;
  } cases[] = {
      {0.5, sSquared}, {0.25, sSquared * sSquared}, {1.0, std::sqrt(sSquared)}, {2.0, std::sqrt(std::sqrt(sSquared))}};
  for (const Case& c : cases) {
    access.highlightRoughness = c.roughness;
    const Vec3 colour = shade();
    EXPECT_NEAR(colour.x, c.strength, 1e-15) << "roughness " << c.roughness;
    EXPECT_EQ(colour.x, colour.z);
  }
}

TEST_F(EvaluateSurface, HostPathLightsThatDoNotReachAddNothing) {
  host.ambient = {};
  access.baseColor = {1, 1, 1};
  addHostLight("Blocked", {0, -1, 0}, {5, 5, 5}).reaches = false;
  EXPECT_TRUE(vecExact(shade(), {0, 0, 0}));
}

TEST_F(EvaluateSurface, ZeroNormalAddsNoLightAndReachesThePseudoLightsAsZero) {
  access.normal = {0, 0, 0};
  access.baseColor = {1, 1, 1};
  access.specular = 1;
  host.ambient = {};
  addHostLight("Sun", {0, -1, 0}, {1, 1, 1});
  EXPECT_TRUE(vecExact(shade(), {0, 0, 0}));
}

TEST_F(EvaluateSurface, TransparencyAndDiffuseScaleTheirTerms) {
  access.baseColor = {1, 1, 1};
  host.ambient = {0.25, 0.25, 0.25};
  host.causticsGiven = true;
  host.caustics = {0.5, 0.5, 0.5};
  access.luminosity = 1;
  addHostLight("Sun", {0, -1, 0}, {1, 1, 1}).flags = kLightNoSpecular;

  EXPECT_TRUE(vecExact(shade(), {2.75, 2.75, 2.75}));
  access.diffuse = 0;
  EXPECT_TRUE(vecExact(shade(), {1.5, 1.5, 1.5})) << "caustics and luminosity remain";
  access.transparency = 1;
  EXPECT_TRUE(vecExact(shade(), {0, 0, 0})) << "everything gathered drops out";
  access.transparency = 2;
  EXPECT_TRUE(vecExact(shade(), {-1.5, -1.5, -1.5})) << "not clamped";
}

// A roughness of zero or below is a perfectly sharp highlight: full strength only where the
// half-way vector is the normal, nothing elsewhere, and never an infinity or a NaN.
TEST_F(EvaluateSurface, ZeroOrNegativeRoughnessGivesASharpFiniteHighlight) {
  host.ambient = {};
  access.baseColor = {1, 1, 1};
  access.specular = 1;
  addHostLight("Sun", {0, -1, 0}, {1, 1, 1}).flags = kLightNoDiffuse;
  const double roughnesses[] = {0.0, -0.0, -1.0, -1e-300, std::nan("")};
  for (double roughness : roughnesses) {
    access.highlightRoughness = roughness;
    access.rayOrigin = {0, 4, 0};
    EXPECT_TRUE(vecExact(shade(), {1, 1, 1})) << roughness << " on the mirror direction";
    access.rayOrigin = {1, 4, 0};
    EXPECT_TRUE(vecExact(shade(), {0, 0, 0})) << roughness << " off it";
  }
  access.highlightRoughness = 1e-300;  // an exponent of 1e300
  access.rayOrigin = {0, 4, 0};
  const Vec3 tiny = shade();
  EXPECT_TRUE(std::isfinite(tiny.x)) << formatVec(tiny);
}

struct PathCase {
  const char* what;
  int sample;
  int kind;
  int usePrefix;
  const char* prefix;
  const char* name;
  bool own;
};

TEST(LightSelection, OwnPathNeedsSamplesAnEligibleKindAndAMatchingName) {
  const PathCase cases[] = {
      {"point light", 6, kLightPoint, 0, "", "Key", true},
      {"spot light", 1, kLightSpot, 0, "", "Key", true},
      {"unknown kind codes count as point", 6, 7, 0, "", "Key", true},
      {"no samples", 0, kLightPoint, 0, "", "Key", false},
      {"negative samples", -3, kLightPoint, 0, "", "Key", false},
      {"distant", 6, kLightDistant, 0, "", "Key", false},
      {"host-only kind 3", 6, 3, 0, "", "Key", false},
      {"host-only kind 4", 6, 4, 0, "", "Key", false},
      {"matching name", 6, kLightPoint, 1, "Ke", "Key", true},
      {"any non-zero switch", 6, kLightPoint, -7, "Ke", "Key", true},
      {"other name", 6, kLightPoint, 1, "Ke", "Fill", false},
      {"matching name, distant", 6, kLightDistant, 1, "Ke", "Key", false},
      {"matching name, no samples", 0, kLightPoint, 1, "Ke", "Key", false},
      {"empty prefix matches nothing", 6, kLightPoint, 1, "", "Key", false},
  };
  for (const PathCase& c : cases) {
    FakeHost host;
    host.lights.push_back(FakeLight{});
    host.lights[0].name = c.name;
    ShaderInstance instance = FakeHost::makeInstance();
    instance.sample = c.sample;
    instance.use_prefix = c.usePrefix;
    std::strcpy(instance.prefix, c.prefix);
    EXPECT_EQ(takesOwnPath(instance, FakeHost::lightHandle(0), c.kind), c.own) << c.what;
    EXPECT_EQ(host.callsNamed("nameOfItem").size(), c.usePrefix != 0 ? 1u : 0u) << c.what;
  }
}

}  // namespace

namespace {

TEST(LightSelection, NameMatchesCountSignificantPrefixCharacters) {
  struct Case {
    const char* prefix;
    const char* name;
    int expected;
  } cases[] = {
      {"Key", "Key", 3},
      {"Key", "KeyLight", 3},
      {"Key", "Ke", 0},
      {"key", "Key", 0},
      {"  Key", "KeyLight", 3},
      {"  Ab", " Abc", 0},
      {"Ab ", "Ab c", 3},
      {"Ab ", "Abc", 0},
      {"", "Key", 0},
      {"   ", "   ", 0},
      {"  Soft1", "Soft1_fill", 5},
      {"Key", nullptr, 0},
      {"\tKey", "\tKey", 4},  // only spaces are skipped
  };
  for (const Case& c : cases) {
    EXPECT_EQ(lightNameMatches(c.prefix, c.name), c.expected)
        << "'" << c.prefix << "' vs '" << (c.name ? c.name : "(null)") << "'";
  }
}

}  // namespace

namespace {

// A point light with ray-traced shadows is lit by the module's own model (its emitted colour is
// asked for) and never handed to the host's illumination; anything that fails one of the own
// path's conditions goes to the host instead.
TEST_F(EvaluateSurface, RayTracedPointLightsTakeTheOwnPathUnlessAConditionFails) {
  struct Case {
    const char* what;
    int sample;
    int kind;
    int usePrefix;
    const char* prefix;
    bool nullName;
    bool own;
  } cases[] = {
      {"point light", 6, kLightPoint, 0, "", false, true},
      {"spot light, one ray", 1, kLightSpot, 0, "", false, true},
      {"matching prefix", 6, kLightPoint, 1, "Ke", false, true},
      {"no samples", 0, kLightPoint, 0, "", false, false},
      {"distant light", 6, kLightDistant, 0, "", false, false},
      {"other prefix", 6, kLightPoint, 1, "Fill", false, false},
      {"no name from the host", 6, kLightPoint, 1, "Ke", true, false},
  };
  for (const Case& c : cases) {
    host.lights.clear();
    FakeLight light;
    light.name = "Key";
    light.kind = c.kind;
    light.position = {0, 5, 0};
    light.shadow = kShadowRayTraced;
    light.nullName = c.nullName;
    host.lights.push_back(light);
    instance.sample = c.sample;
    instance.use_prefix = c.usePrefix;
    std::strcpy(instance.prefix, c.prefix);
    host.clearLog();
    shade();
    EXPECT_EQ(host.callsNamed("emittedColor").size(), c.own ? 1u : 0u) << c.what;
    std::size_t hostLit = 0;
    for (const std::string& call : host.callsNamed("lightAtPoint")) hostLit += call.rfind("lightAtPoint(Key,", 0) == 0;
    EXPECT_EQ(hostLit, c.own ? 0u : 1u) << c.what;
    EXPECT_EQ(host.callsNamed("castDistance").size(), c.own ? static_cast<std::size_t>(c.sample * c.sample) : 0u)
        << c.what;
  }
}

}  // namespace

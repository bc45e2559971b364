// Which lights the module lights itself and which it leaves to the host, seen end to end: the
// prefix filter, the kinds always left to the host, per-object exclusion and the pseudo-lights.
#include <gtest/gtest.h>

#include <string>

#include "reference_host/host_vec.h"
#include "reference_host/tests/host_test_support.h"

namespace {

constexpr int kFloor = 0;
const Vec3 kUp{0.0, 1.0, 0.0};

// The light hangs over the edge of a sheet that shadows x < 0; the floor's shader softens only
// lights whose names begin with "Soft".
std::string sceneWithLight(const std::string& name, const std::string& kind) {
  return R"({
    "ambient": [0, 0, 0],
    "lights": [{"name": ")" +
         name + R"(", "kind": ")" + kind + R"(", "position": [0, 8, 0],
                "direction": [0, -1, 0], "cone_degrees": 80, "edge_degrees": 0, "shadow": "ray_traced"}],
    "surfaces": {
      "Ground": {"color": [1, 1, 1], "diffuse": 1, "specular": 0,
                 "shader": {"sample": 8, "l_size": 1.0, "use_prefix": true, "prefix": "Soft"}},
      "Sheet": {"color": [0, 0, 0], "diffuse": 0}
    },
    "objects": [{"shape": "plane", "center": [0, 0, 0], "size": [40, 40], "surface": "Ground"},
                {"shape": "plane", "center": [-10, 4, 0], "size": [20, 40], "surface": "Sheet"}]})";
}

Vec3 shadeFloor(const RenderSession& session, double x, bool useModule) {
  return shadePoint(session, kFloor, Vec3{x, 0.0, 0.0}, kUp, Vec3{x, 1.0, 3.0}, useModule);
}

TEST(LightPaths, LightsTheModuleLeavesToTheHostAreShadedAsTheHostShadesThem) {
  struct Case {
    const char* name;
    const char* kind;
  };
  const Case leftToHost[] = {
      {"Rim", "point"},                                  // the prefix does not match
      {"soft Rim", "spot"},                              // letter case matters
      {"Soft Area", "area"},                             // kinds 3 and 4 always go to the host, whatever their names
      {"Soft Line", "linear"}, {"Soft Sun", "distant"},  // and so does a distant light
  };
  for (const Case& c : leftToHost) {
    SCOPED_TRACE(std::string(c.name) + " (" + c.kind + ")");
    const RenderSession session(moduleFile(), sceneFromText(sceneWithLight(c.name, c.kind)));
    for (double x : {-0.3, -0.1, 0.1, 0.3}) {
      const Vec3 module = shadeFloor(session, x, true);
      const Vec3 host = shadeFloor(session, x, false);
      EXPECT_NEAR(module.x, host.x, 1e-12) << "x = " << x;
      EXPECT_NEAR(module.y, host.y, 1e-12) << "x = " << x;
      // A hard shadow: dark under the sheet, lit beside it.
      EXPECT_EQ(host.x > 0.0, x > 0.0) << "x = " << x;
    }
  }
}

TEST(LightPaths, LightsMatchingThePrefixGetSoftShadows) {
  for (const char* kind : {"point", "spot"}) {
    SCOPED_TRACE(kind);
    const RenderSession session(moduleFile(), sceneFromText(sceneWithLight("Soft Key", kind)));
    const double full = shadeFloor(session, 0.1, false).x;
    double sum = 0.0;
    constexpr int kRepeats = 20;
    for (int r = 0; r < kRepeats; ++r) sum += shadeFloor(session, 0.1, true).x;
    // Just beside the edge part of the square is hidden: less than the host's fully lit colour.
    EXPECT_GT(sum / kRepeats, 0.2 * full);
    EXPECT_LT(sum / kRepeats, 0.9 * full);
  }
}

// No lights: what the floor gets is the pseudo-lights' and the ambient colour.
TEST(LightPaths, PseudoLightsAndAmbientFollowTheObjectsExclusions) {
  struct Case {
    const char* exclude;
    Vec3 expected;  // diffuse 0.5 × (indirect or ambient) + caustics
  };
  const Case cases[] = {
      {"[]", Vec3{0.5 * 0.2 + 0.01, 0.5 * 0.3 + 0.02, 0.5 * 0.4 + 0.03}},
      {R"(["indirect"])", Vec3{0.5 * 0.05 + 0.01, 0.5 * 0.06 + 0.02, 0.5 * 0.07 + 0.03}},
      {R"(["caustics"])", Vec3{0.5 * 0.2, 0.5 * 0.3, 0.5 * 0.4}},
      {R"(["indirect", "caustics"])", Vec3{0.5 * 0.05, 0.5 * 0.06, 0.5 * 0.07}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.exclude);
    const std::string text = R"({
      "ambient": [0.05, 0.06, 0.07],
      "indirect": {"kind": "constant", "color": [0.2, 0.3, 0.4]},
      "caustics": [0.01, 0.02, 0.03],
      "surfaces": {"Ground": {"color": [1, 1, 1], "diffuse": 0.5, "shader": {}}},
      "objects": [{"shape": "plane", "surface": "Ground", "exclude": )" +
                             std::string(c.exclude) + "}]}";
    const RenderSession session(moduleFile(), sceneFromText(text));
    for (bool useModule : {true, false}) {
      const Vec3 colour = shadeFloor(session, 0.0, useModule);
      EXPECT_NEAR(colour.x, c.expected.x, 1e-12) << (useModule ? "module" : "host");
      EXPECT_NEAR(colour.y, c.expected.y, 1e-12) << (useModule ? "module" : "host");
      EXPECT_NEAR(colour.z, c.expected.z, 1e-12) << (useModule ? "module" : "host");
    }
  }
}

TEST(LightPaths, AnExcludedLightAddsNothing) {
  for (const char* name : {"Soft Key", "Rim"}) {
    SCOPED_TRACE(name);
    std::string text = sceneWithLight(name, "point");
    const std::string floor = R"("surface": "Ground"})";
    text.replace(text.find(floor), floor.size(),
                 R"("surface": "Ground", "exclude": [")" + std::string(name) + R"("]})");
    const RenderSession session(moduleFile(), sceneFromText(text));
    EXPECT_EQ(shadeFloor(session, 2.0, true).x, 0.0);
  }
}

}  // namespace

// The soft shadows, checked by their geometry through the module file.
//
// A point light hangs 8 above a white floor; a thin blocking sheet at height 4 covers x < 0, its
// edge along the z axis. The light square is centred on the light and faces the floor point, so a
// floor point at x sees the light through the sheet's edge at light-plane x' = −x (height ratio
// (8 − 4) / 4 = 1): it is fully lit when the square's half extent along x is below x, and fully
// shadowed when it is below −x. The square's turn about the vertical is random, so its half extent
// along x lies between l_size / 2 and l_size / √2.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "reference_host/host_vec.h"
#include "reference_host/tests/host_test_support.h"

namespace {

constexpr int kFloor = 0;
const Vec3 kUp{0.0, 1.0, 0.0};

struct ShadowSetup {
  double lSize = 1.0;
  int sample = 8;
  double lightX = 0.0;
  bool blocker = true;
};

std::string sceneText(const ShadowSetup& setup) {
  const std::string sheet = R"(, {"shape": "plane", "center": [-10, 4, 0], "size": [20, 40], "surface": "Sheet"})";
  return R"({
    "ambient": [0, 0, 0],
    "lights": [{"name": "Key", "kind": "point", "position": [)" +
         std::to_string(setup.lightX) + R"(, 8, 0],
                "shadow": "ray_traced"}],
    "surfaces": {
      "Ground": {"color": [1, 1, 1], "diffuse": 1, "specular": 0,
                 "shader": {"sample": )" +
         std::to_string(setup.sample) + R"(, "l_size": )" + std::to_string(setup.lSize) + R"(}},
      "Sheet": {"color": [0, 0, 0], "diffuse": 0}
    },
    "objects": [{"shape": "plane", "center": [0, 0, 0], "size": [40, 40], "surface": "Ground"})" +
         (setup.blocker ? sheet : "") + "]}";
}

Vec3 floorPoint(double x) { return Vec3{x, 0.0, 0.0}; }
// Seen from above and to the front, clear of the sheet; the view does not matter for diffuse light.
Vec3 viewerOf(double x) { return Vec3{x, 1.0, 3.0}; }

Vec3 shadeFloor(const RenderSession& session, double x, bool useModule = true) {
  return shadePoint(session, kFloor, floorPoint(x), kUp, viewerOf(x), useModule);
}

// Lit fraction at x: the shadowed colour over the unshadowed colour, averaged over `repeats` shadings
// (each shading draws a fresh jittered grid and a fresh turn of the square).
std::vector<double> litFractions(const ShadowSetup& setup, const std::vector<double>& xs, int repeats) {
  ShadowSetup open = setup;
  open.blocker = false;
  std::vector<double> unshadowed;
  {
    const RenderSession session(moduleFile(), sceneFromText(sceneText(open)));
    for (double x : xs) unshadowed.push_back(shadeFloor(session, x).x);
  }
  const RenderSession session(moduleFile(), sceneFromText(sceneText(setup)));
  std::vector<double> fractions;
  for (std::size_t i = 0; i < xs.size(); ++i) {
    double sum = 0.0;
    for (int r = 0; r < repeats; ++r) sum += shadeFloor(session, xs[i]).x;
    fractions.push_back(sum / repeats / unshadowed[i]);
  }
  return fractions;
}

std::vector<double> evenlySpaced(double from, double to, int count) {
  std::vector<double> xs;
  for (int i = 0; i < count; ++i) xs.push_back(from + (to - from) * i / (count - 1));
  return xs;
}

// Where the averaged lit fraction first reaches `level`, by linear interpolation between samples.
double crossing(const std::vector<double>& xs, const std::vector<double>& fractions, double level) {
  for (std::size_t i = 1; i < xs.size(); ++i) {
    if (fractions[i] >= level && fractions[i - 1] < level) {
      return xs[i - 1] + (xs[i] - xs[i - 1]) * (level - fractions[i - 1]) / (fractions[i] - fractions[i - 1]);
    }
  }
  ADD_FAILURE() << "the lit fraction never reaches " << level;
  return 0.0;
}

TEST(SoftShadowGeometry, PointsSeeingTheWholeSquareKeepTheUnshadowedColourExactly) {
  struct Case {
    double lSize;
    int sample;
    double x;  // beyond l_size / √2, the widest half extent
  };
  for (const Case& c : {Case{1.0, 6, 0.75}, Case{1.0, 1, 1.5}, Case{0.5, 8, 0.4}, Case{2.0, 3, 1.5}}) {
    SCOPED_TRACE("l_size " + std::to_string(c.lSize) + ", sample " + std::to_string(c.sample) + ", x " +
                 std::to_string(c.x));
    ShadowSetup open{c.lSize, c.sample, 0.0, false};
    ShadowSetup blocked{c.lSize, c.sample, 0.0, true};
    Vec3 unshadowed;
    {
      const RenderSession session(moduleFile(), sceneFromText(sceneText(open)));
      unshadowed = shadeFloor(session, c.x);
    }
    const RenderSession session(moduleFile(), sceneFromText(sceneText(blocked)));
    EXPECT_GT(unshadowed.x, 0.0);
    for (int repeat = 0; repeat < 20; ++repeat) {
      const Vec3 lit = shadeFloor(session, c.x);
      EXPECT_EQ(lit.x, unshadowed.x);
      EXPECT_EQ(lit.y, unshadowed.y);
      EXPECT_EQ(lit.z, unshadowed.z);
    }
  }
}

TEST(SoftShadowGeometry, PointsInTheUmbraAreBlack) {
  for (const ShadowSetup& setup : {ShadowSetup{1.0, 6}, ShadowSetup{0.5, 8}, ShadowSetup{2.0, 2}}) {
    const RenderSession session(moduleFile(), sceneFromText(sceneText(setup)));
    const double x = -0.75 * setup.lSize;  // deeper than l_size / √2
    for (int repeat = 0; repeat < 20; ++repeat) {
      const Vec3 colour = shadeFloor(session, x);
      EXPECT_NEAR(colour.x, 0.0, 1e-12) << "l_size " << setup.lSize;
      EXPECT_NEAR(colour.y, 0.0, 1e-12);
      EXPECT_NEAR(colour.z, 0.0, 1e-12);
    }
  }
}

TEST(SoftShadowGeometry, LitFractionRisesAcrossThePenumbraCentredOnTheHardEdge) {
  const ShadowSetup setup{1.0, 8};
  const std::vector<double> xs = evenlySpaced(-0.9, 0.9, 19);
  const std::vector<double> fractions = litFractions(setup, xs, 40);
  EXPECT_LT(fractions.front(), 0.01);
  EXPECT_GT(fractions.back(), 0.99);
  for (std::size_t i = 1; i < xs.size(); ++i) {
    EXPECT_GE(fractions[i], fractions[i - 1] - 0.02) << "at x = " << xs[i];
  }
  // Half the square is visible straight below the edge.
  EXPECT_NEAR(fractions[9], 0.5, 0.05);
}

TEST(SoftShadowGeometry, PenumbraWidthGrowsInProportionToTheLightSize) {
  std::vector<double> widthPerSize;
  for (double lSize : {0.5, 1.0, 2.0}) {
    const std::vector<double> xs = evenlySpaced(-0.9 * lSize, 0.9 * lSize, 37);
    const std::vector<double> fractions = litFractions(ShadowSetup{lSize, 8}, xs, 24);
    const double width = crossing(xs, fractions, 0.9) - crossing(xs, fractions, 0.1);
    widthPerSize.push_back(width / lSize);
  }
  // The 10 %–90 % width of a square of edge s is 0.8 s when it lies square to the edge and 0.78 s
  // when turned by 45°, so about 0.8 s for any turn.
  for (double ratio : widthPerSize) {
    EXPECT_GT(ratio, 0.65);
    EXPECT_LT(ratio, 0.95);
  }
  EXPECT_NEAR(widthPerSize[0] / widthPerSize[1], 1.0, 0.1);
  EXPECT_NEAR(widthPerSize[2] / widthPerSize[1], 1.0, 0.1);
}

// With l_size 0 every shadow ray aims at the light's centre, as the host's one hard shadow ray does.
TEST(SoftShadowGeometry, ZeroLightSizePutsTheBoundaryWhereTheHostsHardShadowIs) {
  // With the light at x = 1 the sheet's edge shadows the floor from x = −1 on: (x + 1) / 2 < 0.
  const RenderSession session(moduleFile(), sceneFromText(sceneText(ShadowSetup{0.0, 4, 1.0, true})));
  for (double x : evenlySpaced(-1.5, -0.5, 21)) {
    if (std::fabs(x + 1.0) < 1e-9) continue;  // exactly on the boundary either answer is right
    SCOPED_TRACE("x = " + std::to_string(x));
    const Vec3 own = shadeFloor(session, x);
    const Vec3 host = shadeFloor(session, x, false);
    const bool geometricallyLit = x > -1.0;
    EXPECT_EQ(own.x > 0.0, geometricallyLit);
    EXPECT_EQ(host.x > 0.0, geometricallyLit);
    EXPECT_NEAR(own.x, host.x, 1e-12);
  }
}

}  // namespace

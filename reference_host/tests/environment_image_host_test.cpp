// Filtered spot lookups on environment images: area-weighted averages that wrap around the seam.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "reference_host/environment_image.h"

namespace {

// 4 × 2 texels whose red channel is their number 0..7, row by row.
EnvironmentImage numbered() {
  std::vector<Vec3> pixels;
  for (int i = 0; i < 8; ++i) pixels.push_back(Vec3{static_cast<double>(i), 1.0, 0.0});
  return EnvironmentImage(4, 2, std::move(pixels));
}

TEST(SpotAverage, WeighsEachTexelByTheAreaItCovers) {
  const EnvironmentImage image = numbered();
  struct Case {
    double u, v, spot;
    double red;
  };
  const Case cases[] = {
      {0.125, 0.25, 0.25, 0.0},                   // exactly texel 0
      {0.25, 0.25, 0.25, 0.5},                    // half texel 0, half texel 1
      {0.25, 0.5, 0.25, 0.25 * (0 + 1 + 4 + 5)},  // a quarter of each of four texels
      {0.0, 0.25, 0.25, 0.5 * (3 + 0)},           // across the seam: half texel 3, half texel 0
      {1.0, 0.25, 0.25, 0.5 * (3 + 0)},           // u = 1 is the same place as u = 0
      {0.125, 0.0, 0.25, 0.0},                    // the part beyond the top row is left out
      {0.5, 0.5, 1.0, 3.5},                       // the whole image
  };
  for (const Case& c : cases) {
    const Vec3 average = image.spotAverage(c.u, c.v, c.spot);
    EXPECT_NEAR(average.x, c.red, 1e-12) << "u " << c.u << " v " << c.v << " spot " << c.spot;
    EXPECT_NEAR(average.y, 1.0, 1e-12);
  }
}

TEST(SpotAverage, DegenerateSpotsAndCoordinatesStayFinite) {
  const EnvironmentImage image = numbered();
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  EXPECT_EQ(image.spotAverage(0.6, 0.7, 0.0).x, 6.0);  // no spot: the texel under the point
  EXPECT_EQ(image.spotAverage(0.6, 0.7, -1.0).x, 6.0);
  EXPECT_EQ(image.spotAverage(0.6, 0.7, nan).x, 6.0);
  EXPECT_EQ(image.spotAverage(nan, 0.5, 0.1).x, 0.0);  // no place: black
  EXPECT_EQ(image.spotAverage(0.5, inf, 0.1).x, 0.0);
  EXPECT_TRUE(std::isfinite(image.spotAverage(0.5, 0.5, inf).x));
  EXPECT_TRUE(std::isfinite(image.spotAverage(-7.25, 3.0, 0.5).x));
}

TEST(SphericalMapping, DirectionsAndUnitCoordinatesAgree) {
  for (double u : {0.0625, 0.3, 0.55, 0.9}) {
    for (double v : {0.1, 0.5, 0.8}) {
      double u2 = 0.0, v2 = 0.0;
      unitCoordinatesOf(directionAtUnitCoordinates(u, v), 0.0, u2, v2);
      EXPECT_NEAR(u2, u, 1e-12);
      EXPECT_NEAR(v2, v, 1e-12);
    }
  }
}

}  // namespace

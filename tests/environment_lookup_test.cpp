#include "shading/environment_lookup.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "tests/fake_host.h"
#include "tests/vec_matchers.h"

namespace {

// The line the fake host logs for a spotColor call; %.17g keeps every double exact.
std::string spotColorCall(int image, double u, double v, double spotSize) {
  char text[160];
  std::snprintf(text, sizeof text, "spotColor(img%d,%.17g,%.17g,%.17g,1)", image, u, v, spotSize);
  return text;
}

TEST(EnvironmentLookup, FiltersOverOnePixelOfTheLongerSide) {
  struct Case {
    int width, height;
    double spotSize;
  };
  const Case cases[] = {{640, 480, 1.0 / 640}, {100, 200, 1.0 / 200}, {300, 300, 1.0 / 300}, {1, 1, 1.0}};
  for (const Case& c : cases) {
    FakeHost host;
    host.images.push_back({c.width, c.height, {0.25, 0.5, 0.75}});
    const Vec3 colour = environmentLookup(FakeHost::imageHandle(0), 0.125, 0.75);
    EXPECT_TRUE(vecExact(colour, {0.25, 0.5, 0.75}));
    const std::vector<std::string> expected = {"imageDimensions(img0)", spotColorCall(0, 0.125, 0.75, c.spotSize)};
    EXPECT_EQ(host.log, expected) << c.width << " x " << c.height;
  }
}

TEST(EnvironmentLookup, AnImageWithoutPixelsIsBlackAndNotSampled) {
  const int sizes[][2] = {{0, 480}, {640, 0}, {0, 0}, {-4, 2}, {4, -2}};
  for (const auto& size : sizes) {
    FakeHost host;
    host.images.push_back({size[0], size[1], {0.25, 0.5, 0.75}});
    const Vec3 colour = environmentLookup(FakeHost::imageHandle(0), 0.5, 0.5);
    EXPECT_TRUE(vecExact(colour, {0, 0, 0})) << size[0] << " x " << size[1];
    EXPECT_EQ(host.log, std::vector<std::string>{"imageDimensions(img0)"}) << size[0] << " x " << size[1];
  }
}

}  // namespace

// Mirror reflections of the environment, end to end: an image file read by the host, looked up by
// the module through the host's filtered spot lookups.
#include <gtest/gtest.h>
#include <stb/stb_image_write.h>

#include <cmath>
#include <string>
#include <vector>

#include "reference_host/host_vec.h"
#include "reference_host/tests/host_test_support.h"

namespace {

constexpr int kWidth = 8;
constexpr int kHeight = 3;

// Every texel a different colour. In the HDR file the colours lie above 1 and are multiples of
// 1/128 in [1, 2), which its shared-exponent encoding keeps exactly.
enum class Format { kPng, kHdr };

Vec3 texelColour(int x, int y, Format format = Format::kPng) {
  if (format == Format::kHdr) return Vec3{1.0 + x / 8.0, 1.0 + y / 4.0, 1.0 + ((x + y) % 3) / 4.0};
  return Vec3{(20 + 28 * x) / 255.0, (40 + 60 * y) / 255.0, (30 + 100 * ((x + y) % 3)) / 255.0};
}

// Writes the image as "environment.png" or "environment.hdr" and returns the file's name.
std::string writeEnvironment(const TemporaryDirectory& directory, Format format = Format::kPng) {
  std::vector<unsigned char> bytes;
  std::vector<float> floats;
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      const Vec3 c = texelColour(x, y, format);
      for (double channel : {c.x, c.y, c.z}) {
        bytes.push_back(static_cast<unsigned char>(std::lround(channel * 255.0)));
        floats.push_back(static_cast<float>(channel));
      }
    }
  }
  if (format == Format::kHdr) {
    stbi_write_hdr((directory.path() + "/environment.hdr").c_str(), kWidth, kHeight, 3, floats.data());
    return "environment.hdr";
  }
  stbi_write_png((directory.path() + "/environment.png").c_str(), kWidth, kHeight, 3, bytes.data(), kWidth * 3);
  return "environment.png";
}

// A mirror ball at the origin. The seam of −22.5° turns the image by half a texel, so that the
// directions below land on texel centres rather than on the borders between texels.
std::string mirrorScene(const std::string& source, const std::string& imageFile = "environment.png") {
  return R"({
    "ambient": [0, 0, 0],
    "images": {"environment": {"file": ")" +
         imageFile + R"("}},
    "backdrop": {"zenith": [0.9, 0.1, 0.2], "horizon": [0.1, 0.9, 0.3], "nadir": [0.2, 0.3, 0.9]},
    "surfaces": {"Mirror": {"color": [1, 1, 1], "diffuse": 0, "specular": 0, "mirror": 1,
                            "reflection": {"source": ")" +
         source + R"(", "image": "environment", "seam_degrees": -22.5},
                            "shader": {}}},
    "objects": [{"shape": "sphere", "center": [0, 0, 0], "radius": 1, "surface": "Mirror"}]})";
}

// Looking at the ball straight along −n hits it where its normal is n, and the mirror sends the
// view back along n.
Vec3 mirrorSeenAlong(const RenderSession& session, const Vec3& n) {
  const Vec3 normal = unit(n);
  return traceFrom(session, 4.0 * normal, -normal);
}

struct Direction {
  Vec3 reflected;
  int texelX, texelY;  // from the mapping u = 1 − heading / 2π, v = 0.5 − pitch / π, shifted by the seam
};

// Heading from +z towards −x: +z 0, +x −90°, −z 180°, −x 90°; u then moves on by 1/16 for the seam.
const Direction kDirections[] = {
    {{0, 0, 1}, 0, 1},  {{1, 0, 1}, 1, 1}, {{1, 0, 0}, 2, 1},   {{0, 0, -1}, 4, 1},
    {{-1, 0, 0}, 6, 1}, {{1, 1, 0}, 2, 0}, {{-1, -1, 0}, 6, 2},
};

TEST(EnvironmentReflection, MirrorBallShowsTheTexelItsReflectionPointsAt) {
  struct Case {
    const char* source;
    Format format;
  };
  // "ray_trace_then_image": the trace hits nothing here, so the image answers.
  for (const Case& c :
       {Case{"image", Format::kPng}, Case{"ray_trace_then_image", Format::kPng}, Case{"image", Format::kHdr}}) {
    const TemporaryDirectory directory;
    const std::string file = writeEnvironment(directory, c.format);
    const RenderSession session(moduleFile(), sceneFromText(mirrorScene(c.source, file), directory.path()));
    for (const Direction& d : kDirections) {
      SCOPED_TRACE(std::string(c.source) + " " + file + ", texel " + std::to_string(d.texelX) + "," +
                   std::to_string(d.texelY));
      const Vec3 seen = mirrorSeenAlong(session, d.reflected);
      const Vec3 expected = texelColour(d.texelX, d.texelY, c.format);
      EXPECT_NEAR(seen.x, expected.x, 1e-9);
      EXPECT_NEAR(seen.y, expected.y, 1e-9);
      EXPECT_NEAR(seen.z, expected.z, 1e-9);
    }
  }
}

TEST(EnvironmentReflection, BackdropSourceShowsTheBackdropGradient) {
  const TemporaryDirectory directory;
  writeEnvironment(directory);
  const RenderSession session(moduleFile(), sceneFromText(mirrorScene("backdrop"), directory.path()));
  const Vec3 up = mirrorSeenAlong(session, Vec3{0, 1, 0});
  EXPECT_NEAR(up.x, 0.9, 1e-9);
  EXPECT_NEAR(up.y, 0.1, 1e-9);
  const Vec3 sideways = mirrorSeenAlong(session, Vec3{1, 0, 0});
  EXPECT_NEAR(sideways.x, 0.1, 1e-9);
  EXPECT_NEAR(sideways.y, 0.9, 1e-9);
}

// The mirror ball with a second, glowing ball where the mirror looks from +z; the glowing ball
// carries the shader too, so a traced reflection reaches it through a nested evaluation.
std::string mirrorFacingGlowingBall(const std::string& source, int maxDepth) {
  std::string text = mirrorScene(source);
  const std::string objects = R"("objects": [)";
  text.replace(text.find(objects), objects.size(),
               objects + R"({"shape": "sphere", "center": [0, 0, 8], "radius": 1, "surface": "Glow"}, )");
  const std::string surfaces = R"("surfaces": {)";
  text.replace(text.find(surfaces), surfaces.size(),
               surfaces + R"("Glow": {"color": [0.3, 0.6, 0.9], "diffuse": 0, "luminosity": 1, "shader": {}}, )");
  return R"({"render": {"max_depth": )" + std::to_string(maxDepth) + "}, " + text.substr(1);
}

TEST(EnvironmentReflection, TracedReflectionShowsTheObjectItHits) {
  const TemporaryDirectory directory;
  writeEnvironment(directory);
  const RenderSession session(moduleFile(), sceneFromText(mirrorFacingGlowingBall("ray_trace", 6), directory.path()));
  const Vec3 seen = mirrorSeenAlong(session, Vec3{0, 0, 1});
  EXPECT_NEAR(seen.x, 0.3, 1e-12);
  EXPECT_NEAR(seen.y, 0.6, 1e-12);
  EXPECT_NEAR(seen.z, 0.9, 1e-12);
}

// The camera ray is depth 0; the mirror's traced ray is depth 1. With a limit of 0 that trace
// reports a miss, and "ray_trace_then_image" falls back to the image.
TEST(EnvironmentReflection, BeyondTheDepthLimitATraceReportsAMiss) {
  const TemporaryDirectory directory;
  writeEnvironment(directory);
  struct Case {
    int maxDepth;
    Vec3 expected;
  };
  for (const Case& c : {Case{1, Vec3{0.3, 0.6, 0.9}}, Case{0, texelColour(0, 1)}}) {
    SCOPED_TRACE("max_depth " + std::to_string(c.maxDepth));
    const RenderSession session(
        moduleFile(), sceneFromText(mirrorFacingGlowingBall("ray_trace_then_image", c.maxDepth), directory.path()));
    const Vec3 seen = mirrorSeenAlong(session, Vec3{0, 0, 1});
    EXPECT_NEAR(seen.x, c.expected.x, 1e-9);
    EXPECT_NEAR(seen.y, c.expected.y, 1e-9);
    EXPECT_NEAR(seen.z, c.expected.z, 1e-9);
  }
}

}  // namespace

#include "shading/own_path_light.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "module/host_services.h"
#include "shading/shadow_random.h"
#include "tests/fake_host.h"
#include "tests/shadow_reference.h"
#include "tests/vec_matchers.h"

namespace {

using Log = std::vector<std::string>;

std::uint32_t drawsPerCall(int n) { return 3u + 2u * static_cast<std::uint32_t>(n * n); }

class OwnPathLight : public ::testing::Test {
 protected:
  OwnPathLight() {
    FakeLight light;
    light.name = "Key";
    light.colour = {1, 2, 4};
    light.position = {0, 0, 10};
    light.shadow = kShadowRayTraced;
    light.hostDirection = {0, -2, 0};
    light.hostColour = {0.5, 0.25, 0.125};
    host.lights.push_back(light);
    host.castDistance = [this](const Vec3& origin, const Vec3& direction) {
      casts.push_back({origin, direction});
      return answer ? answer(casts.size() - 1) : -1.0;
    };
  }

  FakeLight& light() { return host.lights[0]; }

  void run() {
    casts.clear();
    direction = {9, 9, 9};
    colour = {9, 9, 9};
    ownPathLight(FakeHost::lightHandle(0), access, instance, sample, direction, colour);
  }

  struct Cast {
    Vec3 origin;
    Vec3 direction;
  };

  FakeHost host;
  ShaderInstance instance = FakeHost::makeInstance();
  ShaderAccess access = host.makeAccess();
  Vec3 sample{0, 0, 0};
  std::function<double(std::size_t castIndex)> answer;  // castDistance's reply; none: nothing is hit
  std::vector<Cast> casts;
  Vec3 direction;
  Vec3 colour;
};

// How the fake host answers a shadow ray, and whether that answer must count as blocked.
enum class Occluder { kNone, kAtTheSample, kUpperHalf, kBeyondTheLight, kExactlyAtTheLight, kNotANumber };

struct Geometry {
  const char* what;
  Vec3 lightPosition;
  Vec3 sample;
};

TEST_F(OwnPathLight, CastsOneJitteredRayPerCellAndTakesAShareForEachBlockedOne) {
  const Geometry geometries[] = {{"light straight above", {0, 0, 10}, {0, 0, 0}},
                                 {"light askew", {1, 2, 3}, {-2, 0.5, 4.25}}};
  const Occluder occluders[] = {Occluder::kNone,           Occluder::kAtTheSample,       Occluder::kUpperHalf,
                                Occluder::kBeyondTheLight, Occluder::kExactlyAtTheLight, Occluder::kNotANumber};
  for (const Geometry& geometry : geometries) {
    for (int n : {1, 2, 3, 5}) {
      for (double edgeLength : {2.0, 0.5, 0.0, -2.0}) {
        for (Occluder occluder : occluders) {
          light().position = geometry.lightPosition;
          sample = geometry.sample;
          instance.sample = n;
          instance.l_size = edgeLength;
          const std::string label = std::string(geometry.what) + ", n " + std::to_string(n) + ", l_size " +
                                    std::to_string(edgeLength) + ", occluder " +
                                    std::to_string(static_cast<int>(occluder));

          const std::uint32_t first = randomDrawsSoFar();
          const std::vector<int> draws = referenceDraws(first + drawsPerCall(n));
          const Vec3 toSample{sample.x - light().position.x, sample.y - light().position.y,
                              sample.z - light().position.z};
          const Vec3 lightDirection = referenceUnit(referenceUnit(toSample));
          const std::vector<ReferenceRay> rays =
              referenceRays(draws, first, n, edgeLength, sample, light().position, lightDirection);
          auto blocks = [&](const ReferenceRay& ray) {
            return occluder == Occluder::kAtTheSample || (occluder == Occluder::kUpperHalf && ray.direction.y > 0);
          };
          answer = [&](std::size_t index) {
            const ReferenceRay& ray = rays.at(index);
            switch (occluder) {
              case Occluder::kAtTheSample:
                return 0.0;
              case Occluder::kUpperHalf:
                return ray.direction.y > 0 ? ray.distance * 0.5 : -1.0;
              case Occluder::kBeyondTheLight:
                return ray.distance * 2;
              case Occluder::kExactlyAtTheLight:
                return ray.distance;
              case Occluder::kNotANumber:
                return std::nan("");
              default:
                return -1.0;
            }
          };

          run();

          EXPECT_EQ(randomDrawsSoFar() - first, drawsPerCall(n)) << label;
          ASSERT_EQ(casts.size(), rays.size()) << label;
          Vec3 expected{1, 2, 4};
          const double cells = n * n;
          for (std::size_t i = 0; i < rays.size(); ++i) {
            EXPECT_TRUE(vecExact(casts[i].origin, sample)) << label << ", ray " << i;
            EXPECT_TRUE(vecExact(casts[i].direction, rays[i].direction)) << label << ", ray " << i;
            if (edgeLength == 0.0) {
              EXPECT_TRUE(vecExact(casts[i].direction, rays[0].direction)) << label << ": every ray aims at the centre";
            }
            if (blocks(rays[i])) {
              expected = {expected.x - 1 / cells, expected.y - 2 / cells, expected.z - 4 / cells};
            }
          }
          EXPECT_TRUE(vecExact(colour, expected)) << label;
          EXPECT_TRUE(vecExact(direction, lightDirection)) << label << ": the light model's direction is kept";
          if (occluder == Occluder::kAtTheSample) {
            EXPECT_TRUE(vecNear(colour, {0, 0, 0}, 1e-14)) << label << ": every ray blocked";
            if (n == 1) {
              EXPECT_TRUE(vecExact(colour, {0, 0, 0})) << label << ": one ray takes all";
            }
          }
        }
      }
    }
  }
}

TEST_F(OwnPathLight, AsksTheHostInOrder) {
  instance.sample = 2;
  gRenderTime = 1.5;
  run();
  Log expected = {"kindOfLight(Key)",      "emittedColor(Key,1.5)", "itemVector(Key,8,1.5)", "itemVector(Key,4,1.5)",
                  "rangeOfLight(Key,1.5)", "falloffKind(Key)",      "shadowKind(Key)",       "itemVector(Key,8,1.5)"};
  for (const Cast& cast : casts) {
    expected.push_back("castDistance(" + formatVec(cast.origin) + "," + formatVec(cast.direction) + ")");
  }
  EXPECT_EQ(casts.size(), 4u);
  EXPECT_EQ(host.log, expected);

  host.clearLog();
  light().kind = kLightSpot;
  light().shadow = 0;
  run();
  expected = {"kindOfLight(Key)",      "emittedColor(Key,1.5)", "itemVector(Key,8,1.5)",
              "itemVector(Key,4,1.5)", "rangeOfLight(Key,1.5)", "falloffKind(Key)",
              "spotCone(Key,1.5)",     "shadowKind(Key)",       "lightAtPoint(Key,(0 0 0))"};
  EXPECT_EQ(host.log, expected);
}

TEST_F(OwnPathLight, OtherShadowKindsAreLitByTheHostWithoutDrawing) {
  for (int shadow : {0, 2, 3, -1}) {
    for (bool reaches : {true, false}) {
      light().shadow = shadow;
      light().reaches = reaches;
      const std::uint32_t before = randomDrawsSoFar();
      run();
      EXPECT_EQ(randomDrawsSoFar(), before) << "shadow kind " << shadow;
      EXPECT_TRUE(casts.empty()) << "shadow kind " << shadow;
      if (reaches) {
        EXPECT_TRUE(vecExact(direction, {0, -2, 0})) << "the host's direction, not normalised again";
        EXPECT_TRUE(vecExact(colour, {0.5, 0.25, 0.125})) << "shadow kind " << shadow;
      } else {
        EXPECT_TRUE(vecExact(colour, {0, 0, 0})) << "shadow kind " << shadow << ": does not reach";
      }
    }
  }
}

TEST_F(OwnPathLight, DrawsThreePlusTwoPerCellInOneRun) {
  for (int n : {1, 2, 6, 16}) {
    instance.sample = n;
    const std::uint32_t before = randomDrawsSoFar();
    run();
    EXPECT_EQ(randomDrawsSoFar() - before, 3u + 2u * n * n) << "sample " << n;
    EXPECT_EQ(casts.size(), static_cast<std::size_t>(n * n));
  }
}

// Every cell's point is then the sample itself: no ray can be blocked, so none is cast (a zero
// direction is never handed to the host), and the light, having no direction there, is black.
TEST_F(OwnPathLight, ASampleAtTheLightStaysBlackAndCastsNothing) {
  sample = light().position;
  instance.sample = 3;
  host.castDistance = [](const Vec3&, const Vec3&) { return 0.0; };
  const std::uint32_t before = randomDrawsSoFar();
  run();
  EXPECT_TRUE(host.callsNamed("castDistance").empty());
  EXPECT_TRUE(vecExact(colour, {0, 0, 0}));
  EXPECT_TRUE(vecExact(direction, {0, 0, 0}));
  EXPECT_EQ(randomDrawsSoFar() - before, drawsPerCall(3)) << "the draws are made all the same";
}

TEST_F(OwnPathLight, ARandomAxisAlongTheDirectionGivesAHardShadow) {
  // Light at the origin, sample at R itself: the direction is then R exactly, whenever normalising
  // R twice more leaves it unchanged. Skip draws until the coming call's R is such a vector.
  light().position = {0, 0, 0};
  instance.sample = 3;
  bool found = false;
  for (int attempt = 0; attempt < 100 && !found; ++attempt) {
    const std::uint32_t first = randomDrawsSoFar();
    const Vec3 r = referenceRandomAxis(referenceDraws(first + 3), first);
    const Vec3 direction = referenceUnit(referenceUnit(r));
    if (direction.x == r.x && direction.y == r.y && direction.z == r.z) {
      found = true;
      sample = r;
    } else {
      nextRandom();
    }
  }
  ASSERT_TRUE(found);
  answer = [](std::size_t) { return -1.0; };
  run();
  ASSERT_EQ(casts.size(), 9u);
  const Vec3 towardCentre = referenceUnit(Vec3{-sample.x, -sample.y, -sample.z});
  for (const Cast& cast : casts) EXPECT_TRUE(vecExact(cast.direction, towardCentre));
  EXPECT_TRUE(vecExact(colour, {1, 2, 4}));
}

// The evaluation never sends such an instance here; called directly, there are no cells.
TEST_F(OwnPathLight, NoSamplesMeansNoRays) {
  for (int n : {0, -4}) {
    instance.sample = n;
    const std::uint32_t before = randomDrawsSoFar();
    run();
    EXPECT_TRUE(casts.empty());
    EXPECT_TRUE(vecExact(colour, {1, 2, 4}));
    EXPECT_EQ(randomDrawsSoFar() - before, 3u) << "only the random axis";
  }
}

}  // namespace

// The host's ray casting: hits land on the shapes' own equations in double precision, and normals
// face out of every shape.
#include <gtest/gtest.h>

#include <cmath>

#include "reference_host/host_vec.h"
#include "reference_host/ray_caster.h"
#include "reference_host/tests/host_test_support.h"

namespace {

constexpr const char* kSurfaces = R"("surfaces": {"S": {}})";

TEST(RayCaster, SphereHitsAreExactOnBothSides) {
  const Scene scene =
      sceneFromText(std::string("{") + kSurfaces +
                    R"(, "objects": [{"shape": "sphere", "center": [1, 2, 3], "radius": 0.7, "surface": "S"}]})");
  const RayCaster caster(scene);
  const auto outside = caster.intersect(Vec3{1, 2, 10}, Vec3{0, 0, -1});
  ASSERT_TRUE(outside);
  EXPECT_NEAR(outside->distance, 10 - 3 - 0.7, 1e-13);
  EXPECT_NEAR(outside->normal.z, 1.0, 1e-13);
  // From the centre outwards the ray meets the far side, whose normal still faces out.
  const auto inside = caster.intersect(Vec3{1, 2, 3}, unit(Vec3{1, 1, 0}));
  ASSERT_TRUE(inside);
  EXPECT_NEAR(inside->distance, 0.7, 1e-13);
  EXPECT_GT(dot(inside->normal, Vec3{1, 1, 0}), 0.99);
  EXPECT_FALSE(caster.intersect(Vec3{1, 2, 10}, Vec3{0, 0, 1}));
}

TEST(RayCaster, BoxFacesAreHitWithOutwardNormals) {
  const Scene scene =
      sceneFromText(std::string("{") + kSurfaces +
                    R"(, "objects": [{"shape": "box", "min": [-1, -2, -3], "max": [1, 2, 3], "surface": "S"}]})");
  const RayCaster caster(scene);
  struct Face {
    Vec3 outward;
    double halfSize;
  };
  for (const Face& face : {Face{{1, 0, 0}, 1}, Face{{-1, 0, 0}, 1}, Face{{0, 1, 0}, 2}, Face{{0, -1, 0}, 2},
                           Face{{0, 0, 1}, 3}, Face{{0, 0, -1}, 3}}) {
    // Slightly off the face's centre, so the ray does not run along the diagonal between its triangles.
    const Vec3 offset = Vec3{0.1, 0.2, 0.3} - dot(Vec3{0.1, 0.2, 0.3}, face.outward) * face.outward;
    const auto hit = caster.intersect(10.0 * face.outward + offset, -face.outward);
    ASSERT_TRUE(hit);
    EXPECT_NEAR(hit->distance, 10.0 - face.halfSize, 1e-12);
    EXPECT_NEAR(dot(hit->normal, face.outward), 1.0, 1e-12);
  }
}

TEST(RayCaster, MeshesAreScaledThenMoved) {
  const TemporaryDirectory directory;
  directory.write("quad.obj", "v -1 0 -1\nv 1 0 -1\nv 1 0 1\nv -1 0 1\nf 1 2 3 4\n");
  const Scene scene = sceneFromText(
      std::string("{") + kSurfaces +
          R"(, "objects": [{"shape": "mesh", "file": "quad.obj", "scale": 2, "translate": [5, 1, 0], "surface": "S"}]})",
      directory.path());
  const RayCaster caster(scene);
  EXPECT_TRUE(caster.intersect(Vec3{6.9, 5, 1.9}, Vec3{0, -1, 0}));  // inside the 4 × 4 square around (5, 1, 0)
  EXPECT_FALSE(caster.intersect(Vec3{7.1, 5, 0}, Vec3{0, -1, 0}));   // just beyond it
  const auto hit = caster.intersect(Vec3{5.5, 5, 0.5}, Vec3{0, -1, 0});
  ASSERT_TRUE(hit);
  EXPECT_NEAR(hit->distance, 4.0, 1e-12);
}

TEST(RayCaster, RaysLeavingASurfaceDoNotHitItAgain) {
  const Scene scene = sceneFromText(std::string("{") + kSurfaces +
                                    R"(, "objects": [{"shape": "plane", "size": [20, 20], "surface": "S"},
                                                     {"shape": "sphere", "center": [0, 3, 0], "radius": 1, "surface": "S"}]})");
  const RayCaster caster(scene);
  const auto floor = caster.intersect(Vec3{0.3, 5, 0.2}, unit(Vec3{0.1, -1, 0.05}));
  ASSERT_TRUE(floor);
  EXPECT_EQ(floor->object, 1);  // the sphere stands in the way
  const auto leaving = caster.intersect(Vec3{4, 0, 4}, Vec3{0, 1, 0});
  EXPECT_FALSE(leaving);  // straight up from the floor, clear of the sphere
  const auto grazing = caster.intersect(Vec3{4, 0, 4}, unit(Vec3{1, 1e-3, 0}));
  EXPECT_FALSE(grazing);
}

}  // namespace

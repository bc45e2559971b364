#include "shading/vector_ops.h"

#include <gtest/gtest.h>

#include <cmath>

#include "tests/vec_matchers.h"

namespace {

const double kHalfRoot2 = 1.0 / std::sqrt(2.0);

TEST(VectorOps, InPlaceOperationsWriteAndYieldTheirTarget) {
  Vec3 v;
  EXPECT_TRUE(vecExact(v, {0, 0, 0}));
  EXPECT_EQ(&vecSet(v, 1, 2, 3), &v);
  EXPECT_TRUE(vecExact(v, {1, 2, 3}));
  EXPECT_EQ(&vecAddTo(v, {0.5, -2, 4}), &v);
  EXPECT_TRUE(vecExact(v, {1.5, 0, 7}));
  Vec3 copy;
  EXPECT_EQ(&vecStore(v, copy), &copy);
  EXPECT_TRUE(vecExact(copy, {1.5, 0, 7}));
}

TEST(VectorOps, NormalisationDividesByTheLengthAndLeavesZeroAlone) {
  EXPECT_TRUE(vecExact(vecUnit({3, 0, 4}), {0.6, 0, 0.8}));
  EXPECT_TRUE(vecExact(vecUnit({0, 0, 0}), {0, 0, 0}));
  EXPECT_EQ(vecLength({3, 0, 4}), 5.0);

  Vec3 zero, zeroOut{9, 9, 9};
  EXPECT_EQ(&vecNormalizeInto(zero, zeroOut), &zeroOut);
  EXPECT_TRUE(vecExact(zero, {0, 0, 0}));
  EXPECT_TRUE(vecExact(zeroOut, {0, 0, 0}));
  Vec3 up{0, 0, 2}, upOut;
  vecNormalizeInto(up, upOut);
  EXPECT_TRUE(vecExact(up, {0, 0, 1}));
  EXPECT_TRUE(vecExact(upOut, {0, 0, 1}));

  const Vec3 input{1, 1, 1};
  const Vec3 unit = vecUnit(input);
  EXPECT_TRUE(vecExact(input, {1, 1, 1}));
  EXPECT_EQ(unit.x, 1.0 / std::sqrt(3.0));  // a division, not a multiplication by a reciprocal
}

TEST(VectorOps, ProductsKeepOperandOrder) {
  EXPECT_TRUE(vecExact(vecCross({1, 0, 0}, {0, 1, 0}), {0, 0, 1}));
  EXPECT_TRUE(vecExact(vecCross({0, 1, 0}, {1, 0, 0}), {0, 0, -1}));
  EXPECT_TRUE(vecExact(vecCross({1, 2, 3}, {4, 5, 6}), {-3, 6, -3}));
  EXPECT_EQ(vecDot({1, 2, 3}, {4, -5, 6}), 12.0);
  EXPECT_TRUE(vecExact(vecScaled({1, -2, 0.5}, 3), {3, -6, 1.5}));
  EXPECT_TRUE(vecExact(vecMulComp({1, -2, 0.5}, {2, 3, 4}), {2, -6, 2}));
}

struct DirectionCase {
  const char* what;
  Vec3 result;
  Vec3 expected;
};

TEST(VectorOps, ReflectionIgnoresInputLengths) {
  const DirectionCase cases[] = {
      {"long incoming", vecReflect({2, -2, 0}, {0, 1, 0}), {kHalfRoot2, kHalfRoot2, 0}},
      {"long normal", vecReflect({1, -1, 0}, {0, 5, 0}), {kHalfRoot2, kHalfRoot2, 0}},
      {"zero normal gives the unit incoming", vecReflect({1, -1, 0}, {0, 0, 0}), {kHalfRoot2, -kHalfRoot2, 0}},
      {"zero incoming", vecReflect({0, 0, 0}, {0, 1, 0}), {0, 0, 0}},
  };
  for (const DirectionCase& c : cases) EXPECT_TRUE(vecExact(c.result, c.expected)) << c.what;
}

TEST(VectorOps, Refraction) {
  const DirectionCase exact[] = {
      {"total internal reflection, k = -0.125", vecRefract({1, -1, 0}, {0, 1, 0}, 1.5), {0, 0, 0}},
      {"eta 1 along the normal mirrors", vecRefract({1, -1, 0}, {0, -1, 0}, 1), {kHalfRoot2, kHalfRoot2, 0}},
      {"zero normal, eta > 1", vecRefract({1, -1, 0}, {0, 0, 0}, 1.25), {0, 0, 0}},
      {"zero normal, eta <= 1", vecRefract({0, -4, 0}, {0, 0, 0}, 0.5), {0, -0.5, 0}},
  };
  for (const DirectionCase& c : exact) EXPECT_TRUE(vecExact(c.result, c.expected)) << c.what;

  const Vec3 bent = vecRefract({1, -1, 0}, {0, 2, 0}, 1 / 1.5);
  EXPECT_TRUE(vecNear(bent, {0.47140452, -0.88191710, 0}, 1e-8));
  EXPECT_NEAR(vecLength(bent), 1.0, 1e-15);
  EXPECT_TRUE(vecNear(vecRefract({1, -2, 3}, {0, 1, 0}, 1), vecUnit({1, -2, 3}), 1e-15));
}

TEST(VectorOps, GrazingRefractionWithKZeroIsNotTotalReflection) {
  // d = 0 and eta = 1 make k exactly 0: the result is eta·î, not black.
  EXPECT_TRUE(vecExact(vecRefract({1, 0, 0}, {0, 1, 0}, 1), {1, 0, 0}));
}

}  // namespace

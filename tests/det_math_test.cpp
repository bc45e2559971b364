// The deterministic cosine, arc tangent and power: special values exactly, and agreement with the
// platform's own functions (themselves within about 1 ulp) over large random samples.
#include "shading/det_math.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <functional>
#include <limits>
#include <random>
#include <vector>

#include "shading/det_reduce.h"

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kPi = 3.141592653589793;  // the doubles nearest to pi and its fractions
constexpr double kPiOver2 = 1.5707963267948966;
constexpr double kPiOver4 = 0.7853981633974483;
constexpr double kThreePiOver4 = 2.356194490192345;

// Position of a double on the number line counted in representable steps, so that the difference of two
// positions is their distance in ulps (-0 and +0 share a position).
std::int64_t orderedPosition(double x) {
  std::int64_t bits;
  std::memcpy(&bits, &x, sizeof bits);
  return bits < 0 ? -(bits & 0x7FFFFFFFFFFFFFFFll) : bits;
}

// Distance in ulps; NaN against NaN is 0, NaN against a number is "infinitely" far.
std::int64_t ulpDistance(double a, double b) {
  if (std::isnan(a) || std::isnan(b))
    return std::isnan(a) && std::isnan(b) ? 0 : std::numeric_limits<std::int64_t>::max();
  const std::int64_t d = orderedPosition(a) - orderedPosition(b);
  return d < 0 ? -d : d;
}

// Same value and, for zeros, the same sign; NaN matches NaN.
::testing::AssertionResult sameDouble(double actual, double expected) {
  if (std::isnan(expected) ? std::isnan(actual)
                           : actual == expected && std::signbit(actual) == std::signbit(expected)) {
    return ::testing::AssertionSuccess();
  }
  return ::testing::AssertionFailure() << std::hexfloat << actual << " is not " << expected;
}

// ---- special values ----

struct CosCase {
  double x, expected;
};

TEST(DetCos, SpecialValuesAreExact) {
  const CosCase cases[] = {
      {0.0, 1.0},
      {-0.0, 1.0},
      {1e-300, 1.0},
      {kInf, kNaN},
      {-kInf, kNaN},
      {kNaN, kNaN},
      // cos(1e22), from a high-precision evaluation: 0.52321478539513894549...; needs the exact reduction.
      {1e22, 0.52321478539513894549},
  };
  for (const auto& c : cases) EXPECT_TRUE(sameDouble(detCos(c.x), c.expected)) << "cos(" << c.x << ")";
}

TEST(DetCos, IsEvenBitForBit) {
  std::mt19937_64 random(7);
  std::uniform_real_distribution<double> exponent(-30.0, 1023.0), unit(1.0, 2.0);
  for (int i = 0; i < 20000; ++i) {
    const double x = std::ldexp(unit(random), static_cast<int>(exponent(random)));
    ASSERT_EQ(orderedPosition(detCos(-x)), orderedPosition(detCos(x))) << std::hexfloat << x;
  }
}

struct Atan2Case {
  double y, x, expected;
};

TEST(DetAtan2, AxesZerosAndInfinitiesAreExact) {
  const Atan2Case cases[] = {
      // The four axis directions.
      {0.0, 1.0, 0.0},
      {1.0, 0.0, kPiOver2},
      {0.0, -1.0, kPi},
      {-1.0, 0.0, -kPiOver2},
      {1.0, 1.0, kPiOver4},
      // Signed zeros: the sign of y survives, x = -0 counts as the negative axis.
      {-0.0, 1.0, -0.0},
      {0.0, 0.0, 0.0},
      {-0.0, 0.0, -0.0},
      {0.0, -0.0, kPi},
      {-0.0, -0.0, -kPi},
      {-0.0, -1.0, -kPi},
      {1.0, -0.0, kPiOver2},
      {-1.0, -0.0, -kPiOver2},
      // Infinities.
      {kInf, kInf, kPiOver4},
      {-kInf, kInf, -kPiOver4},
      {kInf, -kInf, kThreePiOver4},
      {-kInf, -kInf, -kThreePiOver4},
      {1.0, kInf, 0.0},
      {-1.0, kInf, -0.0},
      {1.0, -kInf, kPi},
      {-1.0, -kInf, -kPi},
      {kInf, 1.0, kPiOver2},
      {-kInf, -5.0, -kPiOver2},
      // Ratios beyond the series: |y/x| above 2^60, and tiny with x < 0.
      {1e300, 1e-300, kPiOver2},
      {-1e300, -1e-300, -kPiOver2},
      {1e-300, -1e300, kPi},
      {-1e-300, -1e300, -kPi},
      {kNaN, 1.0, kNaN},
      {1.0, kNaN, kNaN},
  };
  for (const auto& c : cases) {
    EXPECT_TRUE(sameDouble(detAtan2(c.y, c.x), c.expected)) << "atan2(" << c.y << ", " << c.x << ")";
  }
}

struct PowCase {
  double x, y, expected;
};

TEST(DetPow, SpecialValuesAreExact) {
  const double smallestSubnormal = std::numeric_limits<double>::denorm_min();
  const PowCase cases[] = {
      {2.0, 10.0, 1024.0},
      {0.5, 2.0, 0.25},
      {-2.0, 3.0, -8.0},
      {-2.0, 2.0, 4.0},
      {4.0, 0.5, 2.0},
      {2.0, -1.0, 0.5},
      {2.0, 1023.0, 8.98846567431158e307},
      {2.0, -1074.0, smallestSubnormal},
      {2.0, -1022.0, std::numeric_limits<double>::min()},
      // Zero and one as either argument.
      {kNaN, 0.0, 1.0},
      {kNaN, -0.0, 1.0},
      {1.0, kNaN, 1.0},
      {1.0, kInf, 1.0},
      {-1.0, kInf, 1.0},
      {-1.0, -kInf, 1.0},
      {-1.0, 3.0, -1.0},
      {-1.0, 1e300, 1.0},
      {0.0, 3.0, 0.0},
      {0.0, 0.5, 0.0},
      {-0.0, 3.0, -0.0},
      {-0.0, 2.0, 0.0},
      {-0.0, 0.5, 0.0},
      {0.0, -3.0, kInf},
      {0.0, -0.5, kInf},
      {-0.0, -3.0, -kInf},
      {-0.0, -2.0, kInf},
      // Infinite arguments.
      {kInf, 2.5, kInf},
      {kInf, -2.5, 0.0},
      {-kInf, 3.0, -kInf},
      {-kInf, -3.0, -0.0},
      {-kInf, 2.0, kInf},
      {0.5, kInf, 0.0},
      {0.5, -kInf, kInf},
      {2.0, kInf, kInf},
      {2.0, -kInf, 0.0},
      {-0.5, kInf, 0.0},
      // Negative bases with fractional exponents, and NaN in.
      {-2.0, 0.5, kNaN},
      {-8.0, 1.0 / 3.0, kNaN},
      {-1.0, 2.5, kNaN},
      {kNaN, 1.0, kNaN},
      {2.0, kNaN, kNaN},
      // Overflow and underflow, with the sign of an odd power of a negative base.
      {10.0, 400.0, kInf},
      {-10.0, 401.0, -kInf},
      {-10.0, 400.0, kInf},
      {10.0, -400.0, 0.0},
      {-10.0, -401.0, -0.0},
      {2.0, 1024.0, kInf},
      {2.0, -1075.0, 0.0},  // exactly half the smallest subnormal: rounds to even, 0
      {1.0000001, 1e12, kInf},
      {0.9999999, 1e12, 0.0},
      {1.5, 1e20, kInf},
      {0.5, 1e20, 0.0},
      {-1.5, 1e20, kInf},
  };
  for (const auto& c : cases) {
    EXPECT_TRUE(sameDouble(detPow(c.x, c.y), c.expected)) << "pow(" << c.x << ", " << c.y << ")";
  }
}

TEST(DetPow, ZeroAndOneExponentsGiveOneAndTheBase) {
  std::mt19937_64 random(11);
  std::uniform_real_distribution<double> exponent(-1074.0, 1023.0), unit(1.0, 2.0);
  for (int i = 0; i < 20000; ++i) {
    const double x = (i % 2 ? -1.0 : 1.0) * std::ldexp(unit(random), static_cast<int>(exponent(random)));
    ASSERT_EQ(detPow(x, 0.0), 1.0) << x;
    ASSERT_EQ(detPow(x, 1.0), x) << x;
  }
}

// ---- agreement with the platform over random samples ----

using Sampler = std::function<double(std::mt19937_64&)>;

Sampler uniform(double low, double high) {
  return [=](std::mt19937_64& random) { return std::uniform_real_distribution<double>(low, high)(random); };
}

// Magnitudes spread evenly over the binary exponents low ... high, either sign when `signed`.
Sampler logUniform(int low, int high, bool withSign) {
  return [=](std::mt19937_64& random) {
    const double m = std::uniform_real_distribution<double>(1.0, 2.0)(random);
    const int e = std::uniform_int_distribution<int>(low, high)(random);
    const double value = std::ldexp(m, e);
    return withSign && (random() & 1) ? -value : value;
  };
}

struct Range {
  const char* name;
  Sampler first, second;  // second unused for one-argument functions
};

constexpr int kSamplesPerRange = 100000;
constexpr std::int64_t kAllowedUlps = 2;

// Largest ulp distance between ours and the platform's over one range; prints it as the figure to watch.
template <typename Ours, typename Theirs>
std::int64_t largestDistance(const char* function, const Range& range, Ours ours, Theirs theirs) {
  std::mt19937_64 random(std::hash<std::string>{}(range.name) & 0xFFFFFFFF);
  std::int64_t largest = 0;
  double worstA = 0.0, worstB = 0.0;
  for (int i = 0; i < kSamplesPerRange; ++i) {
    const double a = range.first(random);
    const double b = range.second ? range.second(random) : 0.0;
    const std::int64_t d = ulpDistance(ours(a, b), theirs(a, b));
    if (d > largest) largest = d, worstA = a, worstB = b;
  }
  std::printf("%-6s %-44s largest difference %lld ulp (at %.17g, %.17g)\n", function, range.name,
              static_cast<long long>(largest), worstA, worstB);
  return largest;
}

TEST(DetCos, AgreesWithThePlatformWithinTwoUlps) {
  const Range ranges[] = {
      {"[-4pi, 4pi]", uniform(-4 * kPi, 4 * kPi), nullptr},
      {"[-1e6, 1e6]", uniform(-1e6, 1e6), nullptr},
      {"tiny to huge, 2^-30 ... 2^1023", logUniform(-30, 1023, true), nullptr},
      {"multiples of pi/2 rounded, up to 2^20", [](std::mt19937_64& r) { return (r() % 1048576) * kPiOver2; }, nullptr},
  };
  for (const auto& range : ranges) {
    EXPECT_LE(
        largestDistance(
            "cos", range, [](double a, double) { return detCos(a); }, [](double a, double) { return std::cos(a); }),
        kAllowedUlps)
        << range.name;
  }
}

TEST(DetAtan2, AgreesWithThePlatformWithinTwoUlps) {
  const Range ranges[] = {
      {"all quadrants, [-10, 10]^2", uniform(-10, 10), uniform(-10, 10)},
      {"all quadrants, tiny to huge", logUniform(-1074, 1023, true), logUniform(-1074, 1023, true)},
      {"all quadrants, ratio near 1", logUniform(-3, 3, true), logUniform(-3, 3, true)},
      {"unit vectors' components", uniform(-1, 1), uniform(-1, 1)},
  };
  for (const auto& range : ranges) {
    EXPECT_LE(largestDistance(
                  "atan2", range, [](double y, double x) { return detAtan2(y, x); },
                  [](double y, double x) { return std::atan2(y, x); }),
              kAllowedUlps)
        << range.name;
  }
}

TEST(DetPow, AgreesWithThePlatformWithinTwoUlps) {
  const Range ranges[] = {
      {"base [0, 1], exponent [0, 1e4]", uniform(0, 1), uniform(0, 1e4)},
      {"base [0, 1], exponent [0, 10]", uniform(0, 1), uniform(0, 10)},
      {"base 2^-1074 ... 2^1023, exponent [-2, 2]", logUniform(-1074, 1023, false), uniform(-2, 2)},
      {"base [0, 100], exponent [-200, 200]", uniform(0, 100), uniform(-200, 200)},
      {"base near 1, huge exponents", uniform(1 - 1e-6, 1 + 1e-6), logUniform(20, 40, true)},
      {"base within 2^-21 of 1, |exponent| > 2^31", uniform(1 - 0x1p-21, 1 + 0x1p-21), logUniform(31, 40, true)},
      {"negative base, integer exponent", uniform(-10, 0),
       [](std::mt19937_64& r) { return static_cast<double>(static_cast<int>(r() % 601) - 300); }},
  };
  for (const auto& range : ranges) {
    EXPECT_LE(largestDistance(
                  "pow", range, [](double x, double y) { return detPow(x, y); },
                  [](double x, double y) { return std::pow(x, y); }),
              kAllowedUlps)
        << range.name;
  }
}

// ---- the two reductions against each other ----

// Where both apply, the fast three-step subtraction and the exact multiplication by 2/pi must find the
// same quadrant and remainders equal far beyond double precision: a fault in the long table of 2/pi or in
// the wide multiplication shows here before it shows in a cosine.
TEST(ReduceByHalfPi, ExactAndFastReductionsAgree) {
  std::mt19937_64 random(3);
  std::vector<double> inputs;
  std::uniform_real_distribution<double> anywhere(1.0, kFastReductionLimit);
  for (int i = 0; i < 50000; ++i) inputs.push_back((i % 2 ? -1.0 : 1.0) * anywhere(random));
  // Close to multiples of pi/2, where the remainder loses most of its leading bits.
  for (int k = 1; k < 1000000; k += 997) inputs.push_back(k * kPiOver2);
  for (const double x : inputs) {
    const ReducedAngle fast = reduceByHalfPi(x);
    const ReducedAngle exact = reduceByHalfPiExact(x);
    ASSERT_EQ(fast.quadrant & 3, exact.quadrant & 3) << std::hexfloat << x;
    const double difference = (fast.hi - exact.hi) + (fast.lo - exact.lo);
    ASSERT_LE(std::fabs(difference), std::ldexp(std::fabs(exact.hi), -66)) << std::hexfloat << x;
  }
}

}  // namespace

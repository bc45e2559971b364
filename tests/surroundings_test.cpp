#include "shading/surroundings.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

#include "module/host_services.h"
#include "tests/fake_host.h"
#include "tests/vec_matchers.h"

namespace {

using Log = std::vector<std::string>;
using ColourOperation = Vec3 (*)(const ShaderAccess&, const ShaderInstance&, const Vec3&, const Vec3&);

constexpr double kHalfPi = 1.5707963267948966;

// One of the two colour operations, with the inputs that make its direction exactly (0, 0, 1).
struct Operation {
  const char* name;
  ColourOperation colourOf;
  double ShaderAccess::*amount;  // mirror or transparency
  const char* optionsChannel;
  const char* imageChannel;
  const char* seamChannel;
  Vec3 incoming;  // deliberately not of unit length
  Vec3 normal;
};

const Operation kReflection{"reflection",        reflectionColor,   &ShaderAccess::mirror,
                            "ReflectionOptions", "ReflectionImage", "ReflectionSeamAngle",
                            {0, 0, -4},          {0, 0, 0.5}};
const Operation kRefraction{"refraction",        refractionColor,   &ShaderAccess::transparency,
                            "RefractionOptions", "RefractionImage", "RefractionSeamAngle",
                            {0, 0, 2},           {0, 0, -3}};

const Vec3 kPosition{1, 2, 3};
const Vec3 kBackdrop{0.125, 0.25, 0.375};
const Vec3 kTraced{0.5, 0.625, 0.75};
const Vec3 kImageColour{0.875, 0.75, 0.5};

void PrintTo(const Operation& operation, std::ostream* out) { *out << operation.name; }

std::string spotColorCall(double u, double v, double spotSize) {
  char text[160];
  std::snprintf(text, sizeof text, "spotColor(img0,%.17g,%.17g,%.17g,1)", u, v, spotSize);
  return text;
}

class Surroundings : public ::testing::TestWithParam<Operation> {
 protected:
  Surroundings() {
    access.position = kPosition;
    access.refractiveIndex = 1.0;
    access.*GetParam().amount = 0.5;
    host.backdrop = kBackdrop;
    host.images.push_back({64, 32, kImageColour});
    host.traceColor = [this](const Vec3&, const Vec3&, Vec3& colour) {
      colour = kTraced;
      return traceLength;
    };
    gRenderTime = 2.5;
  }

  Vec3 colour() {
    host.clearLog();
    return GetParam().colourOf(access, instance, GetParam().incoming, GetParam().normal);
  }

  void setSource(int code) { host.channelInts[GetParam().optionsChannel] = code; }

  // Host calls by their short names, spelled out for this operation.
  std::string call(const std::string& what) const {
    const Operation& op = GetParam();
    if (what == "options") return std::string("channelInt(") + op.optionsChannel + ")";
    if (what == "backdrop") return "backdropColor(2.5,(0 0 1))";
    if (what == "trace") return "traceColor(" + formatVec(kPosition) + ",(0 0 1))";
    if (what == "image") return std::string("channelImage(") + op.imageChannel + ")";
    if (what == "seam") return std::string("channelFloat(") + op.seamChannel + ")";
    if (what == "dimensions") return "imageDimensions(img0)";
    if (what == "spot") return spotColorCall(0.75, 0.5, 1.0 / 64);  // seam π/2 turns u from 0 to 0.75
    if (what == "spot-without-seam") return spotColorCall(0, 0.5, 1.0 / 64);
    return "?" + what;
  }

  FakeHost host;
  ShaderInstance instance = FakeHost::makeInstance();
  ShaderAccess access = host.makeAccess();
  double traceLength = 1.0;
};

TEST_P(Surroundings, NoAmountMeansBlackWithoutAskingTheHost) {
  setSource(1);
  for (double amount : {0.0, -0.5, std::nan("")}) {
    access.*GetParam().amount = amount;
    EXPECT_TRUE(vecExact(colour(), {0, 0, 0})) << amount;
    EXPECT_TRUE(host.log.empty()) << amount;
  }
}

TEST_P(Surroundings, EachSourceCodeAsksTheHostInOrder) {
  enum Result { kBlack, kBackdropSeen, kTracedSeen, kImageSeen };
  struct Case {
    const char* label;
    int code;
    double traceLength;
    bool imageSet;
    bool seamSet;
    const char* calls;  // short names, separated by spaces
    Result result;
  };
  const Case cases[] = {
      {"backdrop", 0, 1, true, true, "options backdrop", kBackdropSeen},
      {"traced, hit", 1, 3, true, true, "options trace", kTracedSeen},
      {"traced, nothing hit", 1, -1, true, true, "options trace", kTracedSeen},
      {"image", 2, 1, true, true, "options image seam dimensions spot", kImageSeen},
      {"image, no seam angle", 2, 1, true, false, "options image seam dimensions spot-without-seam", kImageSeen},
      {"image not set", 2, 1, false, true, "options image seam", kBlack},
      {"traced then image, hit", 3, 3, true, true, "options trace", kTracedSeen},
      {"traced then image, hit at 0", 3, 0, true, true, "options trace", kTracedSeen},
      {"traced then image, nothing hit", 3, -1, true, true, "options trace image seam dimensions spot", kImageSeen},
      {"traced then image, nothing hit, no image", 3, -1, false, true, "options trace image seam", kTracedSeen},
      {"unknown code 4", 4, 1, true, true, "options", kBlack},
      {"unknown code 5", 5, 1, true, true, "options", kBlack},
      {"unknown code -1", -1, 1, true, true, "options", kBlack},
  };
  const Vec3 results[] = {{0, 0, 0}, kBackdrop, kTraced, kImageColour};

  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    setSource(c.code);
    traceLength = c.traceLength;
    host.channelImages.clear();
    host.channelFloats.clear();
    if (c.imageSet) host.channelImages[GetParam().imageChannel] = 0;
    if (c.seamSet) host.channelFloats[GetParam().seamChannel] = kHalfPi;

    EXPECT_TRUE(vecExact(colour(), results[c.result]));
    Log expected;
    std::istringstream names(c.calls);
    for (std::string what; names >> what;) expected.push_back(call(what));
    EXPECT_EQ(host.log, expected);
  }
}

TEST_P(Surroundings, WithoutSurfaceFunctionsEverySourceIsBlackAndUnasked) {
  host.channelImages[GetParam().imageChannel] = 0;
  traceLength = -1;
  gSurfaceFunctions = nullptr;
  for (int code : {0, 1, 2, 3}) {
    setSource(code);
    EXPECT_TRUE(vecExact(colour(), {0, 0, 0})) << code;
    EXPECT_TRUE(host.log.empty()) << code;
  }
}

TEST_P(Surroundings, WithoutBackdropServiceTheBackdropIsBlack) {
  gBackdropInfo = nullptr;
  setSource(0);
  EXPECT_TRUE(vecExact(colour(), {0, 0, 0}));
  EXPECT_EQ(host.log, Log{call("options")});
}

TEST_P(Surroundings, WithoutImageServiceTheImageCountsAsNotSet) {
  host.channelImages[GetParam().imageChannel] = 0;
  gImageList = nullptr;

  setSource(2);
  EXPECT_TRUE(vecExact(colour(), {0, 0, 0}));
  EXPECT_EQ(host.log, Log{call("options")});

  setSource(3);
  traceLength = -1;
  EXPECT_TRUE(vecExact(colour(), kTraced)) << "the traced colour stays";
  EXPECT_EQ(host.log, (Log{call("options"), call("trace")}));
}

TEST_P(Surroundings, AnImageWithoutPixelsShowsBlack) {
  host.channelImages[GetParam().imageChannel] = 0;
  host.images[0].width = 0;
  setSource(2);
  EXPECT_TRUE(vecExact(colour(), {0, 0, 0}));
  EXPECT_TRUE(host.callsNamed("spotColor").empty());
}

INSTANTIATE_TEST_SUITE_P(BothColours, Surroundings, ::testing::Values(kReflection, kRefraction),
                         [](const ::testing::TestParamInfo<Operation>& info) { return std::string(info.param.name); });

// The direction the host is asked to trace along.
class TracedDirection : public ::testing::Test {
 protected:
  TracedDirection() {
    host.channelInts["ReflectionOptions"] = 1;
    host.channelInts["RefractionOptions"] = 1;
    host.traceColor = [this](const Vec3&, const Vec3& direction, Vec3&) {
      traced.push_back(direction);
      return 1.0;
    };
    access.mirror = 1;
    access.transparency = 1;
  }

  FakeHost host;
  ShaderInstance instance = FakeHost::makeInstance();
  ShaderAccess access = host.makeAccess();
  std::vector<Vec3> traced;
};

TEST_F(TracedDirection, ReflectionMirrorsAboutTheNormal) {
  reflectionColor(access, instance, {3, -3, 0}, {0, 2, 0});
  ASSERT_EQ(traced.size(), 1u);
  const double half = std::sqrt(0.5);
  EXPECT_TRUE(vecNear(traced[0], {half, half, 0}, 1e-15));
}

TEST_F(TracedDirection, ReflectionTracesEvenAZeroDirection) {
  reflectionColor(access, instance, {0, 0, 0}, {0, 1, 0});
  ASSERT_EQ(traced.size(), 1u);
  EXPECT_TRUE(vecExact(traced[0], {0, 0, 0}));
}

TEST_F(TracedDirection, RefractionBendsByTheReciprocalOfTheIndex) {
  // 45° in, index 1.5: sin θt = sin 45° / 1.5 (Snell), bent towards the inward normal.
  access.refractiveIndex = 1.5;
  refractionColor(access, instance, {1, -1, 0}, {0, 1, 0});
  ASSERT_EQ(traced.size(), 1u);
  const double sinOut = std::sqrt(0.5) / 1.5;
  EXPECT_TRUE(vecNear(traced[0], {sinOut, -std::sqrt(1 - sinOut * sinOut), 0}, 1e-15));
}

TEST_F(TracedDirection, RefractionWithIndexOneGoesStraightThrough) {
  refractionColor(access, instance, {2, -1, 0.5}, {0, 1, 0});
  ASSERT_EQ(traced.size(), 1u);
  const double length = std::sqrt(5.25);
  EXPECT_TRUE(vecNear(traced[0], {2 / length, -1 / length, 0.5 / length}, 1e-15));
}

TEST_F(TracedDirection, NoRefractionWhereNoDirectionLeavesTheSurface) {
  struct Case {
    const char* label;
    double index;
    Vec3 incoming;
  };
  const Case cases[] = {
      {"total internal reflection: index 0.5 at 45°", 0.5, {1, -1, 0}},
      {"index 0, oblique", 0.0, {1, -1, 0}},
      {"index 0, straight on", 0.0, {0, -1, 0}},
      {"index -0, straight on", -0.0, {0, -1, 0}},
  };
  for (const Case& c : cases) {
    access.refractiveIndex = c.index;
    host.clearLog();
    EXPECT_TRUE(vecExact(refractionColor(access, instance, c.incoming, {0, 1, 0}), {0, 0, 0})) << c.label;
    EXPECT_TRUE(host.log.empty()) << c.label;
  }
  EXPECT_TRUE(traced.empty());
}

}  // namespace

// Many threads shading mirror and transparent samples at once: each must get exactly the colour it
// gets alone. The services here keep no state (every answer is a function of the arguments), so
// any difference, or any report from ThreadSanitizer, is the module's.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <thread>
#include <vector>

#include "instance/shader_instance.h"
#include "module/host_services.h"
#include "shading/evaluate_surface.h"
#include "tests/vec_matchers.h"

namespace {

const ImageHandle kImage = reinterpret_cast<ImageHandle>(std::uintptr_t{0x1000});
const double kSeamAngle = 0.5;

ItemHandle noLights(int, ItemHandle) { return nullptr; }
ItemHandle noNextItem(ItemHandle) { return nullptr; }
int excludesNothing(ItemHandle, ItemHandle) { return 0; }
void ambientColor(double, Vec3* colour) { *colour = {0.125, 0.125, 0.125}; }
int noPseudoLight(ItemHandle, const Vec3*, Vec3*, Vec3*) { return 0; }

// Reflections trace with the image behind them; refraction sees the image alone.
int channelInt(SurfaceHandle, const char* channel) { return std::strcmp(channel, "ReflectionOptions") == 0 ? 3 : 2; }
ImageHandle channelImage(SurfaceHandle, const char*) { return kImage; }
const double* channelFloat(SurfaceHandle, const char*) { return &kSeamAngle; }
void imageDimensions(ImageHandle, int* width, int* height) {
  *width = 640;
  *height = 480;
}
// The colour tells where the image was sampled.
void spotColor(ImageHandle, double u, double v, double spotSize, int, Vec3* colour) { *colour = {u, v, spotSize}; }
// Rays heading towards +x hit something coloured by their direction; the others hit nothing.
double traceColor(const Vec3*, const Vec3* direction, Vec3* colour) {
  *colour = {direction->z, direction->x, direction->y};
  return direction->x > 0.0 ? 1.0 : -1.0;
}

class SurroundingsOnManyThreads : public ::testing::Test {
 protected:
  SurroundingsOnManyThreads() {
    itemInfo.firstItemOfKind = noLights;
    itemInfo.nextItemOf = noNextItem;
    lightInfo.ambientColor = ambientColor;
    objectInfo.excludesLight = excludesNothing;
    imageList.imageDimensions = imageDimensions;
    imageList.spotColor = spotColor;
    surfaceFunctions.channelInt = channelInt;
    surfaceFunctions.channelFloat = channelFloat;
    surfaceFunctions.channelImage = channelImage;
    gItemInfo = &itemInfo;
    gLightInfo = &lightInfo;
    gObjectInfo = &objectInfo;
    gImageList = &imageList;
    gSurfaceFunctions = &surfaceFunctions;
    gBackdropInfo = nullptr;
  }
  ~SurroundingsOnManyThreads() override {
    gItemInfo = nullptr;
    gLightInfo = nullptr;
    gObjectInfo = nullptr;
    gImageList = nullptr;
    gSurfaceFunctions = nullptr;
  }

  // Sample `index`: seen from a different place and with a different normal each time.
  static ShaderAccess sample(int index) {
    ShaderAccess access{};
    access.rayOrigin = {index % 7 - 3.0, 1.0 + index % 5, index % 11 - 5.0};
    access.normal = {index % 3 - 1.0, 2.0, index % 4 - 1.5};
    access.baseColor = {0.5, 0.75, 1.0};
    access.diffuse = 0.5;
    access.mirror = 0.5;
    access.transparency = 0.25;
    access.refractiveIndex = 1.25;
    access.highlightRoughness = 0.5;
    access.filterTint = 0.5;
    access.highlightTint = 0.25;
    access.lightAtPoint = noPseudoLight;
    access.traceColor = traceColor;
    return access;
  }

  static Vec3 shade(ShaderInstance& instance, int index) {
    ShaderAccess access = sample(index);
    evaluateSurface(&instance, &access);
    return access.replaceColor;
  }

  ItemInfoService itemInfo{};
  LightInfoService lightInfo{};
  ObjectInfoService objectInfo{};
  ImageListService imageList{};
  SurfaceFunctionsService surfaceFunctions{};
};

TEST_F(SurroundingsOnManyThreads, EveryThreadGetsTheColoursOfAShadingAlone) {
  constexpr int kSamples = 2000;
  constexpr int kThreads = 4;
  ShaderInstance instance{};
  instance.sample = 6;

  std::vector<Vec3> alone(kSamples);
  for (int i = 0; i < kSamples; ++i) alone[i] = shade(instance, i);

  std::vector<int> mismatches(kThreads, 0);
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      // Each thread starts at a different sample, so different work overlaps.
      for (int n = 0; n < kSamples; ++n) {
        const int i = (n + t * kSamples / kThreads) % kSamples;
        if (!vecExact(shade(instance, i), alone[i])) ++mismatches[t];
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  for (int t = 0; t < kThreads; ++t) EXPECT_EQ(mismatches[t], 0) << "thread " << t;
}

}  // namespace

#include "tools/fingerprint/own_path_sections.h"

#include <cstdint>

#include "instance/shader_instance.h"
#include "module/host_services.h"
#include "shading/own_light_model.h"
#include "shading/own_path_light.h"

namespace {

// The one light the sections' host knows, drawn afresh before every call.
struct Light {
  int kind = kLightPoint;
  int shadow = kShadowRayTraced;
  Vec3 colour;
  Vec3 position;
  Vec3 axis;
  double range = 1.0;
  int falloff = 0;
  double cone = 0.5;
  double edge = 0.1;
};
Light gLight;
BitHash* gRays = nullptr;  // every shadow ray's direction goes in here

ItemHandle const kLight = reinterpret_cast<ItemHandle>(std::uintptr_t{0x100});

void itemVector(ItemHandle, int code, double, Vec3* vector) {
  if (code == kVectorWorldPosition) *vector = gLight.position;
  if (code == kVectorForwardAxis) *vector = gLight.axis;
}
int kindOfLight(ItemHandle) { return gLight.kind; }
void emittedColor(ItemHandle, double, Vec3* colour) { *colour = gLight.colour; }
int shadowKind(ItemHandle) { return gLight.shadow; }
void spotCone(ItemHandle, double, double* cone, double* edge) {
  *cone = gLight.cone;
  *edge = gLight.edge;
}
double rangeOfLight(ItemHandle, double) { return gLight.range; }
int falloffKind(ItemHandle) { return gLight.falloff; }
int lightAtPoint(ItemHandle, const Vec3*, Vec3* direction, Vec3* colour) {
  *direction = Vec3{0.0, -1.0, 0.0};
  *colour = Vec3{0.5, 0.5, 0.5};
  return 1;
}
// Something hangs over the light's +y side: rays that climb steeply hit it at a distance set by the
// slope, nearer or farther than the light.
double castDistance(const Vec3*, const Vec3* direction) {
  gRays->add(direction->x);
  gRays->add(direction->y);
  gRays->add(direction->z);
  return direction->y > 0.25 ? 2.0 / direction->y : -1.0;
}

ItemInfoService itemInfo{};
LightInfoService lightInfo{};

void installHost() {
  itemInfo.itemVector = itemVector;
  lightInfo.kindOfLight = kindOfLight;
  lightInfo.emittedColor = emittedColor;
  lightInfo.shadowKind = shadowKind;
  lightInfo.spotCone = spotCone;
  lightInfo.rangeOfLight = rangeOfLight;
  lightInfo.falloffKind = falloffKind;
  gItemInfo = &itemInfo;
  gLightInfo = &lightInfo;
}

Vec3 uniformVec(InputStream& inputs, double low, double high) {
  const double x = inputs.uniform(low, high);
  const double y = inputs.uniform(low, high);
  const double z = inputs.uniform(low, high);
  return Vec3{x, y, z};
}

void drawLight(InputStream& inputs) {
  gLight.kind = static_cast<int>(inputs.nextBits() % 4);  // distant, point, spot, and kind 3 as a point
  gLight.shadow = (inputs.nextBits() % 8 == 0) ? 0 : kShadowRayTraced;
  gLight.colour = uniformVec(inputs, 0.0, 2.0);
  gLight.position = uniformVec(inputs, -10.0, 10.0);
  gLight.axis = uniformVec(inputs, -1.0, 1.0);
  gLight.range = inputs.uniform(0.0, 20.0);
  gLight.falloff = static_cast<int>(inputs.nextBits() % 5);
  gLight.cone = inputs.uniform(0.0, 1.6);
  gLight.edge = inputs.uniform(0.0, gLight.cone);
}

void addVec(BitHash& hash, const Vec3& v) {
  hash.add(v.x);
  hash.add(v.y);
  hash.add(v.z);
}

constexpr int kModelSamples = 300000;
constexpr int kSamplerCalls = 30000;

}  // namespace

void fingerprintOwnLight(BitHash& hash) {
  installHost();
  InputStream inputs(11);
  for (int i = 0; i < kModelSamples; ++i) {
    drawLight(inputs);
    const Vec3 position = uniformVec(inputs, -10.0, 10.0);
    Vec3 direction;
    Vec3 colour;
    hash.add(illuminateOwn(kLight, position, direction, colour));
    addVec(hash, direction);
    addVec(hash, colour);
  }
}

// The draws depend on every draw before them, so this section is only comparable between runs that
// made the same draws first: the program draws nowhere else.
void fingerprintOwnPathLight(BitHash& hash) {
  installHost();
  gRays = &hash;
  InputStream inputs(12);
  ShaderAccess access{};
  access.lightAtPoint = lightAtPoint;
  access.castDistance = castDistance;
  ShaderInstance instance{};
  for (int i = 0; i < kSamplerCalls; ++i) {
    drawLight(inputs);
    if (gLight.kind == kLightDistant) gLight.kind = kLightPoint;
    instance.sample = 1 + static_cast<int>(inputs.nextBits() % 6);
    instance.l_size = inputs.uniform(-1.0, 4.0);
    const Vec3 position = uniformVec(inputs, -10.0, 10.0);
    Vec3 direction;
    Vec3 colour;
    ownPathLight(kLight, access, instance, position, direction, colour);
    addVec(hash, direction);
    addVec(hash, colour);
  }
  gRays = nullptr;
}

#include "tests/quiet_host.h"

#include <cstdint>

#include "module/host_services.h"

namespace {

QuietScene gScene;
ItemHandle const kLight = reinterpret_cast<ItemHandle>(std::uintptr_t{0x100});
ItemHandle const kObject = reinterpret_cast<ItemHandle>(std::uintptr_t{0x200});

ItemHandle firstItemOfKind(int kind, ItemHandle) { return kind == kItemKindLight ? kLight : nullptr; }
ItemHandle nextItemOf(ItemHandle) { return nullptr; }
const char* nameOfItem(ItemHandle) { return "Light"; }
void itemVector(ItemHandle, int code, double, Vec3* vector) {
  if (code == kVectorWorldPosition) *vector = gScene.lightPosition;
  if (code == kVectorForwardAxis) *vector = Vec3{0.0, 0.0, -1.0};
}

void ambientColor(double, Vec3* colour) { *colour = Vec3{}; }
int kindOfLight(ItemHandle) { return kLightPoint; }
void emittedColor(ItemHandle, double, Vec3* colour) { *colour = gScene.lightColour; }
int shadowKind(ItemHandle) { return kShadowRayTraced; }
void spotCone(ItemHandle, double, double* cone, double* edge) {
  *cone = 0.5;
  *edge = 0.1;
}
unsigned lightFlagBits(ItemHandle) { return 0; }
double rangeOfLight(ItemHandle, double) { return 1.0; }
int falloffKind(ItemHandle) { return 0; }

int excludesLight(ItemHandle, ItemHandle) { return 0; }

int lightAtPoint(ItemHandle, const Vec3*, Vec3*, Vec3*) { return 0; }
double traceColor(const Vec3*, const Vec3*, Vec3*) { return -1.0; }
double castDistance(const Vec3* origin, const Vec3* direction) {
  return gScene.castDistance != nullptr ? gScene.castDistance(origin, direction) : -1.0;
}

ItemInfoService itemInfo{};
LightInfoService lightInfo{ambientColor, kindOfLight,   emittedColor, shadowKind,
                           spotCone,     lightFlagBits, rangeOfLight, falloffKind};
ObjectInfoService objectInfo{};

}  // namespace

QuietHost::QuietHost(const QuietScene& scene) {
  gScene = scene;
  itemInfo.firstItemOfKind = firstItemOfKind;
  itemInfo.nextItemOf = nextItemOf;
  itemInfo.nameOfItem = nameOfItem;
  itemInfo.itemVector = itemVector;
  objectInfo.excludesLight = excludesLight;
  gItemInfo = &itemInfo;
  gLightInfo = &lightInfo;
  gObjectInfo = &objectInfo;
}

QuietHost::~QuietHost() {
  gItemInfo = nullptr;
  gLightInfo = nullptr;
  gObjectInfo = nullptr;
}

ShaderAccess QuietHost::makeAccess() const {
  ShaderAccess access{};
  access.rayOrigin = Vec3{0.0, 0.0, 1.0};
  access.objectId = kObject;
  access.normal = Vec3{0.0, 0.0, 1.0};
  access.baseColor = Vec3{1.0, 1.0, 1.0};
  access.diffuse = 1.0;
  access.highlightRoughness = 1.0;
  access.refractiveIndex = 1.0;
  access.lightAtPoint = lightAtPoint;
  access.traceColor = traceColor;
  access.castDistance = castDistance;
  return access;
}

ShaderInstance QuietHost::makeInstance(int sample, double edgeLength) {
  ShaderInstance instance{};
  instance.sample = sample;
  instance.l_size = edgeLength;
  return instance;
}

#include "reference_host/scene_services.h"

#include <cstring>

#include "reference_host/host_vec.h"
#include "reference_host/host_world.h"
#include "reference_host/panel_service.h"

namespace {

const HostWorld* gWorld = nullptr;

const HostWorld& world() { return *gWorld; }

// ---- "LW Item Info 3": lights in scene order.
ItemHandle firstItemOfKind(int kind, ItemHandle) {
  return kind == kItemKindLight && !world().scene().lights.empty() ? world().lightHandle(0) : nullptr;
}
ItemHandle nextItemOf(ItemHandle item) {
  const SceneLight* light = world().lightOf(item);
  if (light == nullptr) return nullptr;
  const int next = item->index + 1;
  return next < static_cast<int>(world().scene().lights.size()) ? world().lightHandle(next) : nullptr;
}
const char* nameOfItem(ItemHandle item) {
  if (const SceneLight* light = world().lightOf(item)) return light->name.c_str();
  if (const SceneObject* object = world().objectOf(item)) return object->name.c_str();
  return nullptr;
}
void itemVector(ItemHandle item, int code, double, Vec3* vector) {
  if (const SceneLight* light = world().lightOf(item)) {
    if (code == kVectorWorldPosition) *vector = light->position;
    if (code == kVectorForwardAxis) *vector = light->forward;
  }
}

// ---- "LW Light Info 3"
void ambientColor(double, Vec3* colour) { *colour = world().scene().ambient; }
int kindOfLight(ItemHandle light) { return world().lightOf(light) ? world().lightOf(light)->kind : kLightPoint; }
void emittedColor(ItemHandle light, double, Vec3* colour) {
  *colour = world().lightOf(light) ? world().lightOf(light)->colour : Vec3{};
}
int shadowKind(ItemHandle light) { return world().lightOf(light) ? world().lightOf(light)->shadow : 0; }
void spotCone(ItemHandle light, double, double* cone, double* edge) {
  const SceneLight* l = world().lightOf(light);
  *cone = l ? l->coneRadians : 0.0;
  *edge = l ? l->edgeRadians : 0.0;
}
unsigned lightFlagBits(ItemHandle light) { return world().lightOf(light) ? world().lightOf(light)->flags : 0u; }
double rangeOfLight(ItemHandle light, double) { return world().lightOf(light) ? world().lightOf(light)->range : 0.0; }
int falloffKind(ItemHandle light) { return world().lightOf(light) ? world().lightOf(light)->falloff : 0; }

// ---- "LW Object Info 4": per-object exclusion, pseudo-lights included.
int excludesLight(ItemHandle objectHandle, ItemHandle light) {
  const SceneObject* object = world().objectOf(objectHandle);
  if (object == nullptr) return 0;
  if (light == kIndirectLight) return object->excludesIndirect ? 1 : 0;
  if (light == kCausticsLight) return object->excludesCaustics ? 1 : 0;
  if (world().lightOf(light) == nullptr) return 0;
  for (int excluded : object->excludedLights) {
    if (excluded == light->index) return 1;
  }
  return 0;
}

// ---- "LW Image List 3"
int requestSpotFiltering(ImageHandle image) {
  if (world().imageOf(image) == nullptr) return 0;
  image->filtered = true;
  return 1;
}
void imageDimensions(ImageHandle image, int* width, int* height) {
  const EnvironmentImage* picture = world().imageOf(image);
  *width = picture ? picture->width() : 0;
  *height = picture ? picture->height() : 0;
}
// Filtered when the module asked for it at render start; the nearest texel otherwise, as an image
// nobody prepared would give.
void spotColor(ImageHandle image, double x, double y, double spotSize, int, Vec3* colour) {
  const EnvironmentImage* picture = world().imageOf(image);
  if (picture == nullptr) {
    *colour = Vec3{};
    return;
  }
  *colour = image->filtered ? picture->spotAverage(x, y, spotSize) : picture->nearest(x, y);
}

// ---- "Surface Functions 2"
const SurroundingsSource* surroundingsOf(SurfaceHandle surface, const char* channel, const char* reflection,
                                         const char* refraction) {
  const SceneSurface* s = world().surfaceOf(surface);
  if (s == nullptr || channel == nullptr) return nullptr;
  if (std::strcmp(channel, reflection) == 0) return &s->reflection;
  if (std::strcmp(channel, refraction) == 0) return &s->refraction;
  return nullptr;
}
int channelInt(SurfaceHandle surface, const char* channel) {
  const SurroundingsSource* source = surroundingsOf(surface, channel, "ReflectionOptions", "RefractionOptions");
  return source ? source->options : 0;
}
const double* channelFloat(SurfaceHandle surface, const char* channel) {
  const SurroundingsSource* source = surroundingsOf(surface, channel, "ReflectionSeamAngle", "RefractionSeamAngle");
  return source && source->seamRadians ? &*source->seamRadians : nullptr;
}
ImageHandle channelImage(SurfaceHandle surface, const char* channel) {
  const SurroundingsSource* source = surroundingsOf(surface, channel, "ReflectionImage", "RefractionImage");
  return source ? world().imageHandle(source->image) : nullptr;
}

// ---- "LW Backdrop Info 2"
void backdropColor(double, const Vec3* direction, Vec3* colour) { *colour = world().backdropColour(*direction); }

const ItemInfoService kItemInfo = [] {
  ItemInfoService table{};
  table.firstItemOfKind = firstItemOfKind;
  table.nextItemOf = nextItemOf;
  table.nameOfItem = nameOfItem;
  table.itemVector = itemVector;
  return table;
}();
const LightInfoService kLightInfo{ambientColor, kindOfLight,   emittedColor, shadowKind,
                                  spotCone,     lightFlagBits, rangeOfLight, falloffKind};
const ObjectInfoService kObjectInfo = [] {
  ObjectInfoService table{};
  table.excludesLight = excludesLight;
  return table;
}();
const ImageListService kImageList = [] {
  ImageListService table{};
  table.requestSpotFiltering = requestSpotFiltering;
  table.imageDimensions = imageDimensions;
  table.spotColor = spotColor;
  return table;
}();
const SurfaceFunctionsService kSurfaceFunctions = [] {
  SurfaceFunctionsService table{};
  table.channelInt = channelInt;
  table.channelFloat = channelFloat;
  table.channelImage = channelImage;
  return table;
}();
const BackdropInfoService kBackdropInfo{backdropColor};

}  // namespace

void serveWorld(const HostWorld* world) { gWorld = world; }
const HostWorld* servedWorld() { return gWorld; }

void* lookupService(const char* serviceName, int) {
  struct Entry {
    const char* name;
    const void* table;
  };
  const Entry services[] = {
      {"LW Item Info 3", &kItemInfo},
      {"LW Light Info 3", &kLightInfo},
      {"LW Object Info 4", &kObjectInfo},
      {"LW Image List 3", &kImageList},
      {"Surface Functions 2", &kSurfaceFunctions},
      {"LW Backdrop Info 2", &kBackdropInfo},
      {"LWXPanel", &panelService()},
  };
  if (serviceName == nullptr || gWorld == nullptr) return nullptr;
  for (const Entry& entry : services) {
    // The module only reads the tables; the lookup's signature hands them out as plain addresses.
    if (std::strcmp(serviceName, entry.name) == 0) return const_cast<void*>(entry.table);
  }
  return nullptr;
}

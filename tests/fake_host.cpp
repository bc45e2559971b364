#include "tests/fake_host.h"

#include <cstdint>
#include <cstdio>
#include <cstring>

#include "instance/options_panel.h"
#include "module/host_services.h"

FakeHost* FakeHost::current = nullptr;
const ItemHandle FakeHost::kObject = reinterpret_cast<ItemHandle>(std::uintptr_t{0x0B1EC700});
const SurfaceHandle FakeHost::kSurface = reinterpret_cast<SurfaceHandle>(std::uintptr_t{0x5FACE000});
const PanelHandle FakeHost::kPanel = reinterpret_cast<PanelHandle>(std::uintptr_t{0x9A4E1000});

namespace {

FakeHost& host() { return *FakeHost::current; }

std::string num(double value) {
  char text[40];
  std::snprintf(text, sizeof text, "%.17g", value);
  return text;
}

void record(const std::string& line) { host().log.push_back(line); }

FakeLight& lightOf(ItemHandle handle) { return host().lights.at(FakeHost::lightIndex(handle)); }

int imageIndex(ImageHandle image) {
  return static_cast<int>((reinterpret_cast<std::uintptr_t>(image) - 0x1000000) / 0x100);
}

// ---- "LW Item Info 3"
ItemHandle firstItemOfKind(int kind, ItemHandle) {
  record("firstItemOfKind(" + std::to_string(kind) + ")");
  return kind == kItemKindLight && !host().lights.empty() ? FakeHost::lightHandle(0) : nullptr;
}
ItemHandle nextItemOf(ItemHandle item) {
  record("nextItemOf(" + host().lightLabel(item) + ")");
  const std::size_t next = FakeHost::lightIndex(item) + 1;
  return next < host().lights.size() ? FakeHost::lightHandle(next) : nullptr;
}
const char* nameOfItem(ItemHandle item) {
  record("nameOfItem(" + host().lightLabel(item) + ")");
  const FakeLight& light = lightOf(item);
  return light.nullName ? nullptr : light.name.c_str();
}
void itemVector(ItemHandle item, int code, double time, Vec3* vector) {
  record("itemVector(" + host().lightLabel(item) + "," + std::to_string(code) + "," + num(time) + ")");
  const FakeLight& light = lightOf(item);
  if (code == kVectorWorldPosition) *vector = light.position;
  if (code == kVectorForwardAxis) *vector = light.forward;
}

// ---- "LW Light Info 3"
void ambientColor(double time, Vec3* colour) {
  record("ambientColor(" + num(time) + ")");
  *colour = host().ambient;
}
int kindOfLight(ItemHandle light) {
  record("kindOfLight(" + host().lightLabel(light) + ")");
  return lightOf(light).kind;
}
void emittedColor(ItemHandle light, double time, Vec3* colour) {
  record("emittedColor(" + host().lightLabel(light) + "," + num(time) + ")");
  *colour = lightOf(light).colour;
}
int shadowKind(ItemHandle light) {
  record("shadowKind(" + host().lightLabel(light) + ")");
  return lightOf(light).shadow;
}
void spotCone(ItemHandle light, double time, double* cone, double* edge) {
  record("spotCone(" + host().lightLabel(light) + "," + num(time) + ")");
  *cone = lightOf(light).cone;
  *edge = lightOf(light).edge;
}
unsigned lightFlagBits(ItemHandle light) {
  record("lightFlagBits(" + host().lightLabel(light) + ")");
  return lightOf(light).flags;
}
double rangeOfLight(ItemHandle light, double time) {
  record("rangeOfLight(" + host().lightLabel(light) + "," + num(time) + ")");
  return lightOf(light).range;
}
int falloffKind(ItemHandle light) {
  record("falloffKind(" + host().lightLabel(light) + ")");
  return lightOf(light).falloff;
}

// ---- "LW Object Info 4"
int excludesLight(ItemHandle object, ItemHandle light) {
  record("excludesLight(" + std::string(object == FakeHost::kObject ? "obj" : "?") + "," + host().lightLabel(light) +
         ")");
  if (light == kIndirectLight) return host().indirectExcluded;
  if (light == kCausticsLight) return host().causticsExcluded;
  return lightOf(light).excluded;
}

// ---- "LW Image List 3"
int requestSpotFiltering(ImageHandle image) {
  record("requestSpotFiltering(img" + std::to_string(imageIndex(image)) + ")");
  return 0;
}
void imageDimensions(ImageHandle image, int* width, int* height) {
  record("imageDimensions(img" + std::to_string(imageIndex(image)) + ")");
  *width = host().images.at(imageIndex(image)).width;
  *height = host().images.at(imageIndex(image)).height;
}
void spotColor(ImageHandle image, double x, double y, double spotSize, int blend, Vec3* colour) {
  record("spotColor(img" + std::to_string(imageIndex(image)) + "," + num(x) + "," + num(y) + "," + num(spotSize) + "," +
         std::to_string(blend) + ")");
  *colour = host().images.at(imageIndex(image)).colour;
}

// ---- "Surface Functions 2"
int channelInt(SurfaceHandle surface, const char* channel) {
  record(std::string("channelInt(") + (surface == FakeHost::kSurface ? "" : "?,") + channel + ")");
  const auto found = host().channelInts.find(channel);
  return found == host().channelInts.end() ? 0 : found->second;
}
const double* channelFloat(SurfaceHandle surface, const char* channel) {
  record(std::string("channelFloat(") + (surface == FakeHost::kSurface ? "" : "?,") + channel + ")");
  const auto found = host().channelFloats.find(channel);
  return found == host().channelFloats.end() ? nullptr : &found->second;
}
ImageHandle channelImage(SurfaceHandle surface, const char* channel) {
  record(std::string("channelImage(") + (surface == FakeHost::kSurface ? "" : "?,") + channel + ")");
  const auto found = host().channelImages.find(channel);
  return found == host().channelImages.end() ? nullptr : FakeHost::imageHandle(found->second);
}

// ---- "LW Backdrop Info 2"
void backdropColor(double time, const Vec3* direction, Vec3* colour) {
  record("backdropColor(" + num(time) + "," + formatVec(*direction) + ")");
  *colour = host().backdrop;
}

// ---- ShaderAccess routines
int lightAtPoint(ItemHandle light, const Vec3* position, Vec3* direction, Vec3* colour) {
  record("lightAtPoint(" + host().lightLabel(light) + "," + formatVec(*position) + ")");
  if (light == kIndirectLight) {
    if (host().indirectGiven) *colour = host().indirect;
    return host().indirectGiven;
  }
  if (light == kCausticsLight) {
    if (host().causticsGiven) *colour = host().caustics;
    return host().causticsGiven;
  }
  const FakeLight& fake = lightOf(light);
  if (!fake.reaches) return 0;
  *direction = fake.hostDirection;
  *colour = fake.hostColour;
  return 1;
}
double traceColor(const Vec3* origin, const Vec3* direction, Vec3* colour) {
  record("traceColor(" + formatVec(*origin) + "," + formatVec(*direction) + ")");
  return host().traceColor ? host().traceColor(*origin, *direction, *colour) : -1.0;
}
double castDistance(const Vec3* origin, const Vec3* direction) {
  record("castDistance(" + formatVec(*origin) + "," + formatVec(*direction) + ")");
  return host().castDistance ? host().castDistance(*origin, *direction) : -1.0;
}

// ---- "LWXPanel"
std::string panelLabel(PanelHandle panel) { return panel == FakeHost::kPanel ? "panel" : "?"; }
PanelHandle newPanel(int kind, const PanelControl* controls) {
  record("newPanel(" + std::to_string(kind) + ")");
  host().panelSeen.controls = controls;
  return host().panelToMake;
}
void describeData(PanelHandle panel, const PanelDataDescription* data, PanelGet get, PanelSet set) {
  record("describeData(" + panelLabel(panel) + ")");
  host().panelSeen.data = data;
  host().panelSeen.get = get;
  host().panelSeen.set = set;
}
void addHints(PanelHandle panel, std::uint32_t id, const PanelHint* hints) {
  record("addHints(" + panelLabel(panel) + "," + std::to_string(id) + ")");
  host().panelSeen.hints = hints;
}
void setPanelData(PanelHandle panel, std::uint32_t id, void* data) {
  record("setPanelData(" + panelLabel(panel) + "," + std::to_string(id) + ")");
  host().panelSeen.panelData = data;
}
void attachInstance(PanelHandle panel, void* instance) {
  record("attachInstance(" + panelLabel(panel) + ")");
  host().panelSeen.attachedInstance = instance;
}

}  // namespace

std::string formatVec(const Vec3& v) { return "(" + num(v.x) + " " + num(v.y) + " " + num(v.z) + ")"; }

FakeHost::FakeHost() {
  current = this;
  itemInfo.firstItemOfKind = firstItemOfKind;
  itemInfo.nextItemOf = nextItemOf;
  itemInfo.nameOfItem = nameOfItem;
  itemInfo.itemVector = itemVector;
  lightInfo = {ambientColor, kindOfLight, emittedColor, shadowKind, spotCone, lightFlagBits, rangeOfLight, falloffKind};
  objectInfo.excludesLight = excludesLight;
  imageList.requestSpotFiltering = requestSpotFiltering;
  imageList.imageDimensions = imageDimensions;
  imageList.spotColor = spotColor;
  surfaceFunctions.channelInt = channelInt;
  surfaceFunctions.channelFloat = channelFloat;
  surfaceFunctions.channelImage = channelImage;
  backdropInfo.backdropColor = backdropColor;
  panelService.newPanel = newPanel;
  panelService.describeData = describeData;
  panelService.addHints = addHints;
  panelService.setPanelData = setPanelData;
  panelService.attachInstance = attachInstance;
  installServices();
}

FakeHost::~FakeHost() {
  gItemInfo = nullptr;
  gLightInfo = nullptr;
  gObjectInfo = nullptr;
  gImageList = nullptr;
  gSurfaceFunctions = nullptr;
  gBackdropInfo = nullptr;
  gRenderTime = 0.0;
  gGlobalLookup = nullptr;
  gPanelFunctions = nullptr;
  current = nullptr;
}

void FakeHost::installServices() {
  gItemInfo = &itemInfo;
  gLightInfo = &lightInfo;
  gObjectInfo = &objectInfo;
  gImageList = &imageList;
  gSurfaceFunctions = &surfaceFunctions;
  gBackdropInfo = &backdropInfo;
}

void* FakeHost::lookup(const char* serviceName, int use) {
  const std::string name = serviceName != nullptr ? serviceName : "(null)";
  record("lookup(" + name + "," + std::to_string(use) + ")");
  FakeHost& fake = host();
  for (const std::string& missing : fake.missingServices) {
    if (name == missing) return nullptr;
  }
  const std::map<std::string, void*> tables = {
      {"LW Item Info 3", &fake.itemInfo},
      {"LW Light Info 3", &fake.lightInfo},
      {"LW Object Info 4", &fake.objectInfo},
      {"LW Image List 3", &fake.imageList},
      {"Surface Functions 2", &fake.surfaceFunctions},
      {"LW Backdrop Info 2", &fake.backdropInfo},
      {"LWXPanel", &fake.panelService},
  };
  const auto found = tables.find(name);
  return found == tables.end() ? nullptr : found->second;
}

std::vector<std::string> FakeHost::callsNamed(const std::string& routine) const {
  std::vector<std::string> calls;
  for (const std::string& line : log) {
    if (line.compare(0, routine.size() + 1, routine + "(") == 0) calls.push_back(line);
  }
  return calls;
}

ShaderAccess FakeHost::makeAccess() {
  ShaderAccess access{};
  access.position = Vec3{0.0, 0.0, 0.0};
  access.rayOrigin = Vec3{0.0, 1.0, 1.0};
  access.objectId = kObject;
  access.normal = Vec3{0.0, 1.0, 0.0};
  access.baseColor = Vec3{0.5, 0.25, 1.0};
  access.diffuse = 1.0;
  access.highlightRoughness = 0.5;
  access.refractiveIndex = 1.0;
  access.lightAtPoint = ::lightAtPoint;
  access.traceColor = ::traceColor;
  access.castDistance = ::castDistance;
  return access;
}

ShaderInstance FakeHost::makeInstance() {
  ShaderInstance instance{};
  instance.sample = 6;
  instance.l_size = 1.0;
  instance.use_prefix = 0;
  instance.surface = kSurface;
  return instance;
}

ItemHandle FakeHost::lightHandle(std::size_t index) { return reinterpret_cast<ItemHandle>((index + 1) * 0x10); }
std::size_t FakeHost::lightIndex(ItemHandle handle) { return reinterpret_cast<std::uintptr_t>(handle) / 0x10 - 1; }
ImageHandle FakeHost::imageHandle(int index) {
  return reinterpret_cast<ImageHandle>(std::uintptr_t{0x1000000} + static_cast<std::uintptr_t>(index) * 0x100);
}

std::string FakeHost::lightLabel(ItemHandle handle) const {
  if (handle == kIndirectLight) return "indirect";
  if (handle == kCausticsLight) return "caustics";
  const std::size_t index = lightIndex(handle);
  return index < lights.size() ? lights[index].name : "?";
}

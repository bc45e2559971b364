#include "module/shading_server.h"

#include "instance/instance_routines.h"
#include "instance/shader_instance.h"
#include "module/host_services.h"
#include "shading/evaluate_surface.h"

int activateShader(int version, GlobalLookup lookup, void* handler) {
  if (version != kServerVersion || handler == nullptr) return 1;
  HandlerRecord& record = *static_cast<HandlerRecord*>(handler);
  if (InstanceRoutines* instance = record.instance) {  // word 0 is the host's own
    instance->create = instanceCreate;
    instance->destroy = instanceDestroy;
    instance->copy = instanceCopy;
    instance->load = instanceTransfer;
    instance->save = instanceTransfer;
    instance->describe = instanceDescribe;
  }
  if (ItemRoutines* item = record.item) {
    item->usedItems = noItemsUsed;
    item->itemIdChanged = ignoreCall;
  }
  if (RenderRoutines* render = record.render) {
    render->init = renderInit;
    render->cleanup = ignoreCall;
    render->newTime = renderNewTime;
  }
  record.evaluate = evaluateSurface;
  record.flags = shaderFlags;
  acquireHostServices(lookup);
  return 0;
}

namespace {
template <typename Service>
const Service* lookUp(GlobalLookup lookup, const char* name) {
  return lookup != nullptr ? static_cast<const Service*>(lookup(name, 0)) : nullptr;
}
}  // namespace

void acquireHostServices(GlobalLookup lookup) {
  gGlobalLookup = lookup;
  gItemInfo = lookUp<ItemInfoService>(lookup, "LW Item Info 3");
  gLightInfo = lookUp<LightInfoService>(lookup, "LW Light Info 3");
  gObjectInfo = lookUp<ObjectInfoService>(lookup, "LW Object Info 4");
  gImageList = lookUp<ImageListService>(lookup, "LW Image List 3");
  gSurfaceFunctions = lookUp<SurfaceFunctionsService>(lookup, "Surface Functions 2");
  gBackdropInfo = lookUp<BackdropInfoService>(lookup, "LW Backdrop Info 2");
}

const ItemHandle* noItemsUsed(ShaderInstance*) { return nullptr; }

void ignoreCall(ShaderInstance*) {}

int renderInit(ShaderInstance* instance) {
  prepareEnvironmentImages(instance);
  return 0;
}

namespace {
// The options under which the reflection and refraction lookups sample the channel's image.
bool samplesImage(int option) { return option == 2 || option == 3; }

void requestFiltering(SurfaceHandle surface, const char* imageChannel) {
  const ImageHandle image = gSurfaceFunctions->channelImage(surface, imageChannel);
  if (image != nullptr && gImageList != nullptr) gImageList->requestSpotFiltering(image);
}
}  // namespace

void prepareEnvironmentImages(ShaderInstance* instance) {
  if (instance == nullptr || gSurfaceFunctions == nullptr) return;
  const SurfaceHandle surface = instance->surface;
  const int reflection = gSurfaceFunctions->channelInt(surface, "ReflectionOptions");
  const int refraction = gSurfaceFunctions->channelInt(surface, "RefractionOptions");
  if (samplesImage(reflection)) requestFiltering(surface, "ReflectionImage");
  if (samplesImage(refraction)) requestFiltering(surface, "RefractionImage");
}

int renderNewTime(ShaderInstance*, int, double time) {
  gRenderTime = time;
  return 0;
}

int shaderFlags(ShaderInstance*) { return 0x402; }

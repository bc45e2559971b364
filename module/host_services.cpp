#include "module/host_services.h"

GlobalLookup gGlobalLookup = nullptr;
const ItemInfoService* gItemInfo = nullptr;
const LightInfoService* gLightInfo = nullptr;
const ObjectInfoService* gObjectInfo = nullptr;
const ImageListService* gImageList = nullptr;
const SurfaceFunctionsService* gSurfaceFunctions = nullptr;
const BackdropInfoService* gBackdropInfo = nullptr;
double gRenderTime = 0.0;

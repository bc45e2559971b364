// The host's service tables and render time, as the module keeps them between calls.
//
// Written only by the shading server's activation (the tables, gGlobalLookup) and by the new-time
// routine (gRenderTime); the host never runs those while a sample is being evaluated, so the
// evaluation reads them without synchronisation.
#pragma once

#include "module/host_interface.h"

extern GlobalLookup gGlobalLookup;
extern const ItemInfoService* gItemInfo;
extern const LightInfoService* gLightInfo;
extern const ObjectInfoService* gObjectInfo;
extern const ImageListService* gImageList;
extern const SurfaceFunctionsService* gSurfaceFunctions;
extern const BackdropInfoService* gBackdropInfo;
extern double gRenderTime;

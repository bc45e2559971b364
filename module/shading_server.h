// The "ShaderHandler" server: its activation, which installs the module's routines in the host's
// tables and looks the host's services up, and the small routines it installs for rendering.
#pragma once

#include "module/host_interface.h"

// 1 when the version is not 4 or there is no handler record (nothing is written or looked up),
// else 0. A table the record leaves null is skipped.
int activateShader(int version, GlobalLookup lookup, void* handler);

// Looks the six services up, in a fixed order, into the module globals; a missing one (or every
// one, without a lookup routine) is stored as null.
void acquireHostServices(GlobalLookup lookup);

// The instance uses no scene items: null.
const ItemHandle* noItemsUsed(ShaderInstance* instance);

// For the host's notifications the module has no use for.
void ignoreCall(ShaderInstance* instance);

// Render start: asks the host to prepare the instance's environment images. 0.
int renderInit(ShaderInstance* instance);

// Requests filtered lookups for the reflection and refraction images the instance's surface may
// sample (options 2 and 3).
void prepareEnvironmentImages(ShaderInstance* instance);

// Keeps `time` for every later host query that takes a time. 0.
int renderNewTime(ShaderInstance* instance, int frame, double time);

// The shader's flag word for the host: 1026.
int shaderFlags(ShaderInstance* instance);

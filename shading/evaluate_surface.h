// The shading server's per-sample routine: recomputes the sample's whole colour and hands it back
// as a full replacement of the host's shading.
#pragma once

#include "module/host_interface.h"

// True when the item, light and object services were all obtained at activation.
bool hostServicesReady();

// Called by the host once per shading sample, possibly on many threads at once and nested inside
// its own traceColor. Writes only replaceFraction and replaceColor, and nothing at all when the
// services it needs are missing.
void evaluateSurface(ShaderInstance* instance, ShaderAccess* access);

// The module's own model of the light that one point or spot light delivers to a point: the emitted
// colour scaled by distance falloff and, for a spot light, by its cone. Everything comes from the
// host's light and item services at gRenderTime; the model casts no rays and knows nothing of
// shadows. Kind 0 is taken as a distant light, kind 2 as a spot light, every other kind as a point
// light; falloff codes 1 (linear to the range), 2 (range / distance) and 3 (range² / distance²),
// any other code none.
#pragma once

#include "module/host_interface.h"

// Writes the light's unit direction of travel toward `position` (a distant light: its unit forward
// axis) and its colour there; returns the distance from the light to `position`, or -1 for a distant
// light. A position at the light itself, or so near it that an inverse falloff overflows, gets
// black: the light has no direction to arrive from there and no finite strength.
double illuminateOwn(ItemHandle light, const Vec3& position, Vec3& direction, Vec3& colour);

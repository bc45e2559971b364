// The host's own illumination: how much of a light reaches a point, with a single hard shadow ray.
// This is what ShaderAccess::lightAtPoint answers, for scene lights and the two pseudo-lights.
#pragma once

#include "module/host_interface.h"

class HostWorld;

// For a scene light: fills the direction of the light's travel (unit) and its colour at `position`;
// 0 when the light does not reach (outside its cone or range, or shadowed). Distant, point and spot
// lights are modelled as their kinds say; area and linear lights as a point light at their centre.
// For the indirect pseudo-light, `direction` is read as the surface normal and left unchanged, and the
// colour is the scene's constant or hemisphere indirect light; 0 when the scene has none. For the
// caustics pseudo-light: the scene's constant caustics colour, or 0 when it has none.
int illuminate(const HostWorld& world, ItemHandle light, const Vec3& position, Vec3& direction, Vec3& colour);

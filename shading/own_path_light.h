// The own path's light step: the module's own light model, with soft shadows for lights whose
// shadows are ray-traced. Such a light is taken as a square of edge `l_size` centred on the light
// and facing the sample, turned about the direction at random on every call; the sample casts one
// jittered shadow ray into each cell of a `sample` × `sample` grid over it, and every blocked ray
// takes an equal share of the light away. Lights with any other shadow kind are lit by the host.
#pragma once

#include "module/host_interface.h"

struct ShaderInstance;

// Leaves in `direction` the light's unit direction of travel toward `position` and in `colour` the
// light's colour there after shadowing (black when it does not reach). A light with ray-traced
// shadows costs 3 + 2·sample² draws of the shared random sequence, reserved in one block; other
// lights draw nothing.
void ownPathLight(ItemHandle light, const ShaderAccess& access, const ShaderInstance& instance, const Vec3& position,
                  Vec3& direction, Vec3& colour);

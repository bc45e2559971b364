// The own path's light step: the module's light model with soft area-light shadows.
#pragma once

#include "module/host_interface.h"

struct ShaderInstance;

// Leaves in `direction` the light's unit direction of travel toward `position` and in `colour` the
// light's colour there after soft shadowing (black when it does not reach).
void ownPathLight(ItemHandle light, const ShaderAccess& access, const ShaderInstance& instance,
                  const Vec3& position, Vec3& direction, Vec3& colour);

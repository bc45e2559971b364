// One shading sample as the host hands it over: the ShaderAccess record for a ray's hit.
#pragma once

#include "module/host_interface.h"
#include "reference_host/ray_caster.h"

class HostWorld;

// The record for `hit`, reached by a ray from `origin` along `direction`. The normal is turned to
// face the ray; a ray that arrives from inside the shape gets the reciprocal refractive index, so
// that the module's entering-side formula refracts it out correctly. The three routines are the
// host's callbacks, which use the calling thread's ShadingContext.
ShaderAccess makeShaderAccess(const HostWorld& world, const RayHit& hit, const Vec3& origin, const Vec3& direction);

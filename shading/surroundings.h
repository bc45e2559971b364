// What a surface sees in its mirror direction and through itself: backdrop, traced rays or a
// spherical environment image, per the surface's own settings.
#pragma once

#include "module/host_interface.h"

struct ShaderInstance;

// `incoming` points at the surface; neither vector needs unit length. Black when the surface has
// no mirror (reflection) or no transparency (refraction), or the source gives nothing.
Vec3 reflectionColor(const ShaderAccess& access, const ShaderInstance& instance, const Vec3& incoming,
                     const Vec3& normal);
Vec3 refractionColor(const ShaderAccess& access, const ShaderInstance& instance, const Vec3& incoming,
                     const Vec3& normal);

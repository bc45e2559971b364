// What a surface sees in its mirror direction and through itself: backdrop, traced rays or a
// spherical environment image, per the surface's own "ReflectionOptions" / "RefractionOptions"
// (0 backdrop, 1 traced ray, 2 image, 3 traced ray with the image where it hits nothing; any other
// code: black). Both read the surface's channels afresh on every call and keep nothing, so they
// may run on many threads at once and nested inside the host's traceColor.
#pragma once

#include "module/host_interface.h"

struct ShaderInstance;

// `incoming` points at the surface; neither vector needs unit length. Black, without any host
// call, when the surface has no mirror (reflection), no transparency or total internal reflection
// (refraction). Black too when the host lacks "Surface Functions 2", or the backdrop service
// under code 0; without the image service the image is taken as not set.
Vec3 reflectionColor(const ShaderAccess& access, const ShaderInstance& instance, const Vec3& incoming,
                     const Vec3& normal);
Vec3 refractionColor(const ShaderAccess& access, const ShaderInstance& instance, const Vec3& incoming,
                     const Vec3& normal);

// Following rays through the scene and shading what they hit, for camera rays and for the rays the
// shader traces while shading (nested, up to the scene's depth limit). A surface that carries the
// shader is shaded by the module's evaluation routine with a fresh ShaderAccess; any other surface,
// or every surface when the context has no ShaderBinding, by the host's own shading.
#pragma once

#include "module/host_interface.h"

// The most nested rays one camera ray may lead to. A surface that both reflects and refracts by ray
// tracing doubles the rays at every level, so a deep limit alone would let one pixel take 2^64 rays.
inline constexpr long kMostNestedRaysPerCameraRay = 1000;

// The colour seen from `origin` along the unit `direction`, in the calling thread's ShadingContext;
// returns the hit length, or −1 on a miss, when the colour is the backdrop's. Beyond the depth limit,
// and once the camera ray's nested rays are used up, every ray reports a miss.
double traceAndShade(const Vec3& origin, const Vec3& direction, Vec3& colour);

struct RayHit;
struct ShadingContext;

// The colour of a hit reached by a ray from `origin` along `direction`, shaded in `context`.
Vec3 shadeHit(const ShadingContext& context, const RayHit& hit, const Vec3& origin, const Vec3& direction);

// The ShaderAccess routines. They use the calling thread's ShadingContext; outside one they report
// that nothing reaches or is hit.
int accessLightAtPoint(ItemHandle light, const Vec3* position, Vec3* direction, Vec3* colour);
double accessTraceColor(const Vec3* origin, const Vec3* direction, Vec3* colour);
double accessCastDistance(const Vec3* origin, const Vec3* direction);

// How many samples so far came back from the module with a colour that is not finite; those are
// shown black.
long nonFiniteSamples();
// How many camera rays so far used up their nested rays (kMostNestedRaysPerCameraRay).
long cameraRaysOutOfNestedRays();

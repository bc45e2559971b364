// The host's own shading of a sample, for surfaces that do not carry the shader and for the
// comparison picture: Lambert diffuse and a half-vector highlight from every light by the host's
// illumination (hard shadows), ambient or indirect light, caustics, luminosity, refraction and mirror
// reflection from the surface's backdrop, traced or image surroundings.
#pragma once

#include "module/host_interface.h"
#include "reference_host/scene.h"

class HostWorld;

Vec3 hostShadeSample(const HostWorld& world, const ShaderAccess& access, const SceneSurface& surface);

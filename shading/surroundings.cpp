#include "shading/surroundings.h"

// Placeholder until reflection and refraction land: nothing is seen.
Vec3 reflectionColor(const ShaderAccess&, const ShaderInstance&, const Vec3&, const Vec3&) { return Vec3{}; }
Vec3 refractionColor(const ShaderAccess&, const ShaderInstance&, const Vec3&, const Vec3&) { return Vec3{}; }

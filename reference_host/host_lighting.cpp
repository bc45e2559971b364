#include "reference_host/host_lighting.h"

#include <cmath>

#include "reference_host/host_vec.h"
#include "reference_host/host_world.h"

namespace {

double falloffFactor(const SceneLight& light, double distance) {
  switch (light.falloff) {
    case 1:
      return distance > light.range ? 0.0 : 1.0 - distance / light.range;
    case 2:
      return light.range / distance;
    case 3:
      return light.range * light.range / (distance * distance);
    default:
      return 1.0;
  }
}

// 1 inside cone − edge, 0 outside the cone, a smooth step across the edge.
double spotFactor(const SceneLight& light, const Vec3& travel) {
  const double c = dot(travel, light.forward);
  const double inner = std::cos(light.coneRadians - light.edgeRadians);
  const double outer = std::cos(light.coneRadians);
  if (c >= inner) return 1.0;
  if (c <= outer) return 0.0;
  const double t = (c - outer) / (inner - outer);
  return t * t * (3.0 - 2.0 * t);
}

int illuminateIndirect(const IndirectLight& indirect, const Vec3& normal, Vec3& colour) {
  switch (indirect.kind) {
    case IndirectKind::kNone:
      return 0;
    case IndirectKind::kConstant:
      colour = indirect.sky;
      return 1;
    case IndirectKind::kHemisphere:
      // Sky above, ground below, blended by how far the normal looks up.
      colour = lerp(indirect.ground, indirect.sky, 0.5 * (unit(normal).y + 1.0));
      return 1;
  }
  return 0;
}

}  // namespace

int illuminate(const HostWorld& world, ItemHandle handle, const Vec3& position, Vec3& direction, Vec3& colour) {
  const Scene& scene = world.scene();
  if (handle == kIndirectLight) return illuminateIndirect(scene.indirect, direction, colour);
  if (handle == kCausticsLight) {
    if (!scene.caustics) return 0;
    colour = *scene.caustics;
    return 1;
  }
  const SceneLight* light = world.lightOf(handle);
  if (light == nullptr) return 0;

  double distance = INFINITY;
  Vec3 travel = light->forward;
  double factor = 1.0;
  if (light->kind != kLightDistant) {
    const Vec3 offset = position - light->position;
    distance = length(offset);
    if (!(distance > 0.0)) return 0;  // the point sits on the light itself: no direction to light it from
    travel = (1.0 / distance) * offset;
    factor = falloffFactor(*light, distance);
    if (light->kind == kLightSpot) factor *= spotFactor(*light, travel);
  }
  if (!(factor > 0.0)) return 0;

  if (light->shadow == kShadowRayTraced) {
    const auto blocker = world.caster().intersect(position, -travel);
    if (blocker && blocker->distance < distance) return 0;
  }
  direction = travel;
  colour = factor * light->colour;
  return 1;
}

#include "reference_host/surface_sample.h"

#include "reference_host/host_vec.h"
#include "reference_host/host_world.h"
#include "reference_host/ray_shading.h"

ShaderAccess makeShaderAccess(const HostWorld& world, const RayHit& hit, const Vec3& origin, const Vec3& direction) {
  const SceneObject& object = world.scene().objects[hit.object];
  const SceneSurface& surface = world.scene().surfaces[object.surface];
  const bool fromOutside = dot(direction, hit.normal) <= 0.0;

  ShaderAccess access{};
  access.position = hit.position;
  access.rayOrigin = origin;
  access.objectId = world.objectHandle(hit.object);
  access.normal = fromOutside ? hit.normal : -hit.normal;
  access.baseColor = surface.colour;
  access.luminosity = surface.luminosity;
  access.diffuse = surface.diffuse;
  access.specular = surface.specular;
  access.mirror = surface.mirror;
  access.transparency = surface.transparency;
  access.refractiveIndex = fromOutside ? surface.refractiveIndex : 1.0 / surface.refractiveIndex;
  access.highlightRoughness = surface.roughness;
  access.lightAtPoint = accessLightAtPoint;
  access.traceColor = accessTraceColor;
  access.castDistance = accessCastDistance;
  access.highlightTint = surface.highlightTint;
  access.filterTint = surface.filterTint;
  return access;
}

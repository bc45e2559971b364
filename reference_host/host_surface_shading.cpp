#include "reference_host/host_surface_shading.h"

#include <algorithm>
#include <cmath>

#include "reference_host/host_lighting.h"
#include "reference_host/host_vec.h"
#include "reference_host/host_world.h"
#include "reference_host/ray_shading.h"

namespace {

struct LightSums {
  Vec3 diffuse;
  Vec3 specular;
};

LightSums sumLights(const HostWorld& world, const ShaderAccess& access, const Vec3& normal, const Vec3& towardViewer) {
  LightSums sums;
  const Scene& scene = world.scene();
  for (std::size_t i = 0; i < scene.lights.size(); ++i) {
    const ItemHandle light = world.lightHandle(static_cast<int>(i));
    const SceneObject& object = scene.objects[access.objectId->index];
    if (std::find(object.excludedLights.begin(), object.excludedLights.end(), static_cast<int>(i)) !=
        object.excludedLights.end()) {
      continue;
    }
    Vec3 travel, colour;
    if (illuminate(world, light, access.position, travel, colour) == 0) continue;
    const unsigned flags = scene.lights[i].flags;
    if ((flags & kLightNoDiffuse) == 0) sums.diffuse += std::max(0.0, dot(-travel, normal)) * colour;
    if ((flags & kLightNoSpecular) == 0) {
      const double s = std::min(1.0, dot(unit(towardViewer - travel), normal));
      if (s > 0.0) sums.specular += std::pow(s, 1.0 / access.highlightRoughness) * colour;
    }
  }
  return sums;
}

Vec3 clampedBelow(const Vec3& v) { return Vec3{std::max(0.0, v.x), std::max(0.0, v.y), std::max(0.0, v.z)}; }

// What the surface sees along `direction`, from the source its options channel names.
Vec3 surroundings(const HostWorld& world, const SurroundingsSource& source, const Vec3& position,
                  const Vec3& direction) {
  Vec3 colour;
  double hitLength = 0.0;
  if (source.options == 0) colour = world.backdropColour(direction);
  if (source.options == 1 || source.options == 3) hitLength = traceAndShade(position, direction, colour);
  if ((source.options == 2 || (source.options == 3 && hitLength < 0.0)) && source.image >= 0) {
    const EnvironmentImage& image = world.image(source.image);
    double u = 0.0, v = 0.0;
    unitCoordinatesOf(direction, source.seamRadians.value_or(0.0), u, v);
    colour = image.spotAverage(u, v, 1.0 / std::max(image.width(), image.height()));
  }
  return colour;
}

Vec3 refracted(const Vec3& incoming, const Vec3& normal, double eta) {
  const double d = dot(incoming, normal);
  const double k = 1.0 - eta * eta * (1.0 - d * d);
  if (k < 0.0) return Vec3{};  // total internal reflection
  return eta * incoming - (eta * d + std::sqrt(k)) * normal;
}

Vec3 tinted(double tint, const Vec3& colour) {
  return Vec3{1.0 - tint + tint * colour.x, 1.0 - tint + tint * colour.y, 1.0 - tint + tint * colour.z};
}

}  // namespace

Vec3 hostShadeSample(const HostWorld& world, const ShaderAccess& access, const SceneSurface& surface) {
  const Scene& scene = world.scene();
  const SceneObject& object = scene.objects[access.objectId->index];
  const Vec3 normal = unit(access.normal);
  const Vec3 incoming = unit(access.position - access.rayOrigin);
  const Vec3 base = access.baseColor;
  const LightSums sums = sumLights(world, access, normal, -incoming);

  Vec3 ambient = scene.ambient;
  Vec3 indirectNormal = normal;
  if (!object.excludesIndirect) illuminate(world, kIndirectLight, access.position, indirectNormal, ambient);
  Vec3 colour = access.diffuse * times(base, clampedBelow(sums.diffuse) + ambient);
  Vec3 caustics;
  if (!object.excludesCaustics && illuminate(world, kCausticsLight, access.position, indirectNormal, caustics) != 0) {
    colour += caustics;
  }
  colour += access.luminosity * base;

  if (access.transparency > 0.0) {
    const Vec3 through = refracted(incoming, normal, 1.0 / access.refractiveIndex);
    const Vec3 seen =
        length(through) > 0.0 ? surroundings(world, surface.refraction, access.position, through) : Vec3{};
    colour = (1.0 - access.transparency) * colour + access.transparency * times(seen, tinted(access.filterTint, base));
  }
  const Vec3 highlightTint = tinted(access.highlightTint, base);
  colour += access.specular * times(clampedBelow(sums.specular), highlightTint);
  if (access.mirror > 0.0) {
    const Vec3 mirrored = incoming - 2.0 * dot(incoming, normal) * normal;
    colour += access.mirror * times(surroundings(world, surface.reflection, access.position, mirrored), highlightTint);
  }
  return colour;
}

#include "reference_host/ray_shading.h"

#include <atomic>
#include <cmath>

#include "reference_host/host_lighting.h"
#include "reference_host/host_surface_shading.h"
#include "reference_host/host_vec.h"
#include "reference_host/host_world.h"
#include "reference_host/shading_context.h"
#include "reference_host/surface_sample.h"

namespace {

std::atomic<long> gNonFiniteSamples{0};
std::atomic<long> gCameraRaysOutOfNestedRays{0};
// Nested rays the calling thread's current camera ray has led to; a ray at depth 0 starts afresh.
thread_local long tNestedRays = 0;

Vec3 finiteOrBlack(const Vec3& colour) {
  if (isFinite(colour)) return colour;
  gNonFiniteSamples.fetch_add(1, std::memory_order_relaxed);
  return Vec3{};
}

}  // namespace

Vec3 shadeHit(const ShadingContext& context, const RayHit& hit, const Vec3& origin, const Vec3& direction) {
  const HostWorld& world = *context.world;
  ShaderAccess access = makeShaderAccess(world, hit, origin, direction);
  const SceneSurface& surface = world.scene().surfaces[world.scene().objects[hit.object].surface];
  ShaderInstance* instance =
      context.shader ? context.shader->instanceFor(world.scene().objects[hit.object].surface) : nullptr;
  if (instance == nullptr) return hostShadeSample(world, access, surface);

  access.replaceFraction = 0.0;
  context.shader->evaluate(instance, &access);
  const double replaced = access.replaceFraction;
  if (replaced == 1.0) return finiteOrBlack(access.replaceColor);
  // A partial replacement blends the module's colour over the host's own.
  return finiteOrBlack((1.0 - replaced) * hostShadeSample(world, access, surface) + replaced * access.replaceColor);
}

double traceAndShade(const Vec3& origin, const Vec3& direction, Vec3& colour) {
  const ShadingContext* context = currentShadingContext();
  if (context == nullptr) {
    colour = Vec3{};
    return -1.0;
  }
  const HostWorld& world = *context->world;
  bool allowed = context->depth <= world.scene().maxDepth;
  if (context->depth == 0) {
    tNestedRays = 0;
  } else if (allowed && ++tNestedRays > kMostNestedRaysPerCameraRay) {
    if (tNestedRays == kMostNestedRaysPerCameraRay + 1) gCameraRaysOutOfNestedRays.fetch_add(1);
    allowed = false;
  }
  const auto hit = allowed ? world.caster().intersect(origin, direction) : std::nullopt;
  if (!hit) {
    colour = world.backdropColour(direction);
    return -1.0;
  }
  ShadingContext nested = *context;
  ++nested.depth;
  const ShadingScope scope(nested);
  colour = shadeHit(*context, *hit, origin, direction);
  return hit->distance;
}

int accessLightAtPoint(ItemHandle light, const Vec3* position, Vec3* direction, Vec3* colour) {
  const ShadingContext* context = currentShadingContext();
  if (context == nullptr || position == nullptr || direction == nullptr || colour == nullptr) return 0;
  return illuminate(*context->world, light, *position, *direction, *colour);
}

double accessTraceColor(const Vec3* origin, const Vec3* direction, Vec3* colour) {
  if (origin == nullptr || direction == nullptr || colour == nullptr) return -1.0;
  return traceAndShade(*origin, unit(*direction), *colour);
}

double accessCastDistance(const Vec3* origin, const Vec3* direction) {
  const ShadingContext* context = currentShadingContext();
  if (context == nullptr || origin == nullptr || direction == nullptr) return -1.0;
  const auto hit = context->world->caster().intersect(*origin, unit(*direction));
  return hit ? hit->distance : -1.0;
}

long nonFiniteSamples() { return gNonFiniteSamples.load(); }

long cameraRaysOutOfNestedRays() { return gCameraRaysOutOfNestedRays.load(); }

#include "shading/surroundings.h"

#include "instance/shader_instance.h"
#include "module/host_services.h"
#include "shading/environment_lookup.h"
#include "shading/spherical_map.h"
#include "shading/vector_ops.h"

namespace {

// Where a surface takes a colour from, as its options channel says.
enum SourceCode : int {
  kSourceBackdrop = 0,
  kSourceTraced = 1,
  kSourceImage = 2,
  kSourceTracedThenImage = 3,  // the image only where the traced ray hits nothing
};

// The surface channels that set up one of the two colours.
struct SourceChannels {
  const char* options;
  const char* image;
  const char* seamAngle;
};
constexpr SourceChannels kReflectionChannels{"ReflectionOptions", "ReflectionImage", "ReflectionSeamAngle"};
constexpr SourceChannels kRefractionChannels{"RefractionOptions", "RefractionImage", "RefractionSeamAngle"};

// Replaces `colour` by the surface's spherical image seen along `direction`; leaves it as it is when
// the surface has no image or the host offers no image service.
void replaceByImage(SurfaceHandle surface, const SourceChannels& channels, const Vec3& direction, Vec3& colour) {
  if (gImageList == nullptr) return;
  const ImageHandle image = gSurfaceFunctions->channelImage(surface, channels.image);
  const double* seamAngle = gSurfaceFunctions->channelFloat(surface, channels.seamAngle);
  const double seam = seamAngle != nullptr ? *seamAngle : 0.0;
  if (image == nullptr) return;

  double u = 0.0;
  double v = 0.0;
  sphericalImageCoordinates(direction.x, direction.y, direction.z, seam, u, v);
  colour = environmentLookup(image, u, v);
}

// The colour seen along `direction` from the sample, from the source the surface chooses. Black for
// an unknown source code, or when the host lacks the service the source needs.
Vec3 surroundingColor(const ShaderAccess& access, const ShaderInstance& instance, const Vec3& direction,
                      const SourceChannels& channels) {
  Vec3 colour;
  if (gSurfaceFunctions == nullptr) return colour;
  const Vec3 origin = access.position;

  const int code = gSurfaceFunctions->channelInt(instance.surface, channels.options);
  if (code == kSourceBackdrop && gBackdropInfo != nullptr) {
    gBackdropInfo->backdropColor(gRenderTime, &direction, &colour);
  }
  double hitLength = 0.0;
  if (code == kSourceTraced || code == kSourceTracedThenImage) {
    hitLength = access.traceColor(&origin, &direction, &colour);
  }
  if (code == kSourceImage || (code == kSourceTracedThenImage && hitLength < 0.0)) {
    replaceByImage(instance.surface, channels, direction, colour);
  }
  return colour;
}

}  // namespace

Vec3 reflectionColor(const ShaderAccess& access, const ShaderInstance& instance, const Vec3& incoming,
                     const Vec3& normal) {
  if (!(access.mirror > 0.0)) return Vec3{};
  const Vec3 direction = vecReflect(vecUnit(incoming), normal);
  return surroundingColor(access, instance, direction, kReflectionChannels);
}

Vec3 refractionColor(const ShaderAccess& access, const ShaderInstance& instance, const Vec3& incoming,
                     const Vec3& normal) {
  if (!(access.transparency > 0.0)) return Vec3{};
  // A refractive index of 0 makes eta infinite: the direction is then zero (or NaN straight on),
  // and either fails the length test, so nothing is seen through the surface.
  const Vec3 direction = vecRefract(vecUnit(incoming), normal, 1.0 / access.refractiveIndex);
  if (!(vecLength(direction) > 0.0)) return Vec3{};  // total internal reflection
  return surroundingColor(access, instance, direction, kRefractionChannels);
}

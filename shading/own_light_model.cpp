#include "shading/own_light_model.h"

#include <cmath>

#include "module/host_services.h"
#include "shading/det_math.h"
#include "shading/vector_ops.h"

namespace {

constexpr int kFalloffLinear = 1;
constexpr int kFalloffInverse = 2;
constexpr int kFalloffInverseSquare = 3;

double falloffFactor(int code, double range, double distance) {
  switch (code) {
    case kFalloffLinear:
      return distance > range ? 0.0 : 1.0 - distance / range;
    case kFalloffInverse:
      return range / distance;
    case kFalloffInverseSquare:
      return (range * range) / (distance * distance);
    default:
      return 1.0;
  }
}

// 1 within cone − edge of the axis, 0 beyond the cone, a smoothstep across the edge between. An edge
// of 0 makes both bounds one cosine, so the smoothstep (and its division by their difference) is
// never reached.
double spotFactor(double cosine, double cone, double edge) {
  const double inner = detCos(cone - edge);
  const double outer = detCos(cone);
  if (cosine >= inner) return 1.0;
  if (!(cosine > outer)) return 0.0;
  const double t = cosine - outer;
  const double w = inner - outer;
  return ((3.0 * t / w) * t) / w - ((((2.0 * t / w) * t) / w) * t) / w;
}

}  // namespace

double illuminateOwn(ItemHandle light, const Vec3& position, Vec3& direction, Vec3& colour) {
  const int kind = gLightInfo->kindOfLight(light);
  Vec3 emitted;
  gLightInfo->emittedColor(light, gRenderTime, &emitted);
  Vec3 lightPosition;
  gItemInfo->itemVector(light, kVectorWorldPosition, gRenderTime, &lightPosition);
  Vec3 axis;
  gItemInfo->itemVector(light, kVectorForwardAxis, gRenderTime, &axis);

  if (kind == kLightDistant) {
    direction = vecUnit(axis);
    colour = emitted;
    return -1.0;
  }

  const Vec3 offset = vecMinus(position, lightPosition);
  const double distance = vecLength(offset);
  direction = vecUnit(offset);
  const double range = gLightInfo->rangeOfLight(light, gRenderTime);
  const int falloff = gLightInfo->falloffKind(light);
  double factor = falloffFactor(falloff, range, distance);
  if (kind == kLightSpot) {
    double cone = 0.0;
    double edge = 0.0;
    gLightInfo->spotCone(light, gRenderTime, &cone, &edge);
    factor *= spotFactor(vecDot(direction, axis), cone, edge);
  }
  if (distance == 0.0 || !std::isfinite(factor)) factor = 0.0;
  colour = vecScaled(emitted, factor);
  return distance;
}

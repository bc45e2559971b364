#include "shading/evaluate_surface.h"

#include "instance/shader_instance.h"
#include "module/host_services.h"
#include "shading/det_math.h"
#include "shading/light_selection.h"
#include "shading/own_path_light.h"
#include "shading/surroundings.h"
#include "shading/vector_ops.h"

namespace {

// What every light of the loop adds up to.
struct LightSums {
  Vec3 diffuse;
  Vec3 specular;
};

// The highlight's strength for a half-way cosine s > 0. The exponent is 1 / roughness. A roughness
// of zero or below (or NaN) is taken as the limit of a vanishing roughness, a perfectly sharp
// highlight, instead of feeding pow a zero or negative exponent. s is capped at 1, which a cosine
// exceeds only by rounding, so that a huge exponent cannot turn 1 + ulp into infinity.
double highlightStrength(double s, double roughness) {
  if (s > 1.0) s = 1.0;
  if (!(roughness > 0.0)) return s >= 1.0 ? 1.0 : 0.0;
  return detPow(s, 1.0 / roughness);
}

// The direction and colour one light brings to P, by the path chosen for it; false when the host
// says the light does not reach P (the own path always reaches, possibly with black).
bool lightArriving(const ShaderInstance& instance, const ShaderAccess& access, ItemHandle light, int kind,
                   const Vec3& position, Vec3& direction, Vec3& colour) {
  if (takesOwnPath(instance, light, kind)) {
    ownPathLight(light, access, instance, position, direction, colour);
    return true;
  }
  if (access.lightAtPoint(light, &position, &direction, &colour) == 0) return false;
  vecNormalizeInto(direction, direction);
  return true;
}

LightSums sumLights(const ShaderInstance& instance, const ShaderAccess& access, const Vec3& position,
                    const Vec3& normal, const Vec3& towardViewer) {
  LightSums sums;
  for (ItemHandle light = gItemInfo->firstItemOfKind(kItemKindLight, nullptr); light != nullptr;
       light = gItemInfo->nextItemOf(light)) {
    if (gObjectInfo->excludesLight(access.objectId, light) != 0) continue;
    const int kind = gLightInfo->kindOfLight(light);
    const unsigned flags = gLightInfo->lightFlagBits(light);
    Vec3 direction;
    Vec3 colour;
    if (!lightArriving(instance, access, light, kind, position, direction, colour)) continue;

    const Vec3 towardLight = vecScaled(direction, -1.0);
    if ((flags & kLightNoDiffuse) == 0) {
      const double cosine = vecDot(towardLight, normal);
      vecAddTo(sums.diffuse, vecScaled(colour, cosine > 0.0 ? cosine : 0.0));
    }
    if ((flags & kLightNoSpecular) == 0) {
      const Vec3 halfway = vecUnit(vecMinus(towardViewer, direction));
      const double s = vecDot(halfway, normal);
      const double strength = s > 0.0 ? highlightStrength(s, access.highlightRoughness) : 0.0;
      vecAddTo(sums.specular, vecScaled(colour, strength));
    }
  }
  return sums;
}

// Negative and NaN components become 0; there is no upper bound.
Vec3 clampedBelow(const Vec3& v) {
  return Vec3{v.x >= 0.0 ? v.x : 0.0, v.y >= 0.0 ? v.y : 0.0, v.z >= 0.0 ? v.z : 0.0};
}

// The indirect light the host gives at P, or the scene's ambient colour when the object excludes
// indirect light or the host gives none.
// The pseudo-light calls get the evaluation's own N in the direction place; N may be written.
Vec3 ambientOrIndirect(const ShaderAccess& access, const Vec3& position, Vec3& normal) {
  Vec3 light;
  if (gObjectInfo->excludesLight(access.objectId, kIndirectLight) == 0 &&
      access.lightAtPoint(kIndirectLight, &position, &normal, &light) != 0) {
    return light;
  }
  Vec3 ambient;
  gLightInfo->ambientColor(gRenderTime, &ambient);
  return ambient;
}

Vec3 caustics(const ShaderAccess& access, const Vec3& position, Vec3& normal) {
  Vec3 light;
  if (gObjectInfo->excludesLight(access.objectId, kCausticsLight) == 0 &&
      access.lightAtPoint(kCausticsLight, &position, &normal, &light) != 0) {
    return light;
  }
  return Vec3{};
}

// (1 − tint) + tint × colour, per component: how a tint colours a highlight, reflection or filter.
Vec3 tinted(double tint, const Vec3& colour) {
  const double untinted = 1.0 - tint;
  return Vec3{untinted + tint * colour.x, untinted + tint * colour.y, untinted + tint * colour.z};
}

}  // namespace

bool hostServicesReady() { return gItemInfo != nullptr && gLightInfo != nullptr && gObjectInfo != nullptr; }

void evaluateSurface(ShaderInstance* instance, ShaderAccess* access) {
  if (!hostServicesReady() || instance == nullptr || access == nullptr) return;

  Vec3 normal = access->normal;
  vecNormalizeInto(normal, normal);
  const Vec3 position = access->position;
  const Vec3 baseColor = access->baseColor;
  const double kd = access->diffuse;
  // The unit direction of the arriving ray, and its reverse toward the viewer (negating is exact, so
  // this is the unit vector of −D to the bit).
  const Vec3 viewDirection = vecUnit(vecMinus(position, access->rayOrigin));
  const Vec3 towardViewer = vecScaled(viewDirection, -1.0);

  const LightSums sums = sumLights(*instance, *access, position, normal, towardViewer);
  const Vec3 diffuseSum = clampedBelow(sums.diffuse);
  const Vec3 specularSum = clampedBelow(sums.specular);

  Vec3 colour = vecScaled(vecMulComp(baseColor, diffuseSum), kd);
  vecAddTo(colour, vecScaled(vecMulComp(baseColor, ambientOrIndirect(*access, position, normal)), kd));
  vecAddTo(colour, caustics(*access, position, normal));
  vecAddTo(colour, vecScaled(baseColor, access->luminosity));

  const Vec3 transmitted = refractionColor(*access, *instance, viewDirection, normal);
  colour = vecScaled(colour, 1.0 - access->transparency);
  vecAddTo(colour, vecScaled(vecMulComp(transmitted, tinted(access->filterTint, baseColor)), access->transparency));

  const Vec3 reflected = reflectionColor(*access, *instance, viewDirection, normal);
  const Vec3 highlightTint = tinted(access->highlightTint, baseColor);
  vecAddTo(colour, vecScaled(vecMulComp(specularSum, highlightTint), access->specular));
  vecAddTo(colour, vecScaled(vecMulComp(reflected, highlightTint), access->mirror));

  access->replaceFraction = 1.0;
  access->replaceColor = colour;
}

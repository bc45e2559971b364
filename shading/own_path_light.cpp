#include "shading/own_path_light.h"

// Placeholder until the own light model lands: the host's illumination.
void ownPathLight(ItemHandle light, const ShaderAccess& access, const ShaderInstance&, const Vec3& position,
                  Vec3& direction, Vec3& colour) {
  if (access.lightAtPoint(light, &position, &direction, &colour) == 0) colour = Vec3{};
}

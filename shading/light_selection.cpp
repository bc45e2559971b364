#include "shading/light_selection.h"

#include "instance/shader_instance.h"
#include "module/host_services.h"

int lightNameMatches(const char* prefix, const char* name) {
  while (*prefix == ' ') ++prefix;
  if (*prefix == '\0' || name == nullptr) return 0;
  int compared = 0;
  for (; prefix[compared] != '\0'; ++compared) {
    if (name[compared] != prefix[compared]) return 0;  // also where the name ends first
  }
  return compared;
}

bool takesOwnPath(const ShaderInstance& instance, ItemHandle light, int kind) {
  const bool nameRejected =
      instance.use_prefix != 0 && lightNameMatches(instance.prefix, gItemInfo->nameOfItem(light)) == 0;
  const bool kindEligible = kind != kLightDistant && kind != kLightHostOnlyA && kind != kLightHostOnlyB;
  return instance.sample >= 1 && kindEligible && !nameRejected;
}

// Which way a light reaches the sample: through the host's illumination, or through the module's
// own light model with soft area-light shadows.
#pragma once

#include "module/host_interface.h"

struct ShaderInstance;

// Non-zero when `name` begins with `prefix` less its leading spaces: the number of characters
// compared. An empty or all-space prefix, or a null name, matches nothing.
int lightNameMatches(const char* prefix, const char* name);

// Whether `light`, of the given kind, takes the own path for this instance. With the prefix filter
// on, the light's name is fetched and tested whatever the other conditions say.
bool takesOwnPath(const ShaderInstance& instance, ItemHandle light, int kind);

// What the host's per-sample callbacks need but cannot be given: the callbacks in ShaderAccess take
// no context argument, so each rendering thread keeps a pointer to its current context here.
#pragma once

#include <vector>

#include "module/host_interface.h"

class HostWorld;

// Which surfaces the module shades: one instance per surface index, null where the host shades.
struct ShaderBinding {
  EvaluateRoutine evaluate = nullptr;
  std::vector<ShaderInstance*> instances;

  ShaderInstance* instanceFor(int surface) const {
    return evaluate != nullptr && surface >= 0 && surface < static_cast<int>(instances.size()) ? instances[surface]
                                                                                               : nullptr;
  }
};

struct ShadingContext {
  const HostWorld* world = nullptr;
  const ShaderBinding* shader = nullptr;  // null: the host shades every surface itself
  int depth = 0;                          // nesting of traced rays below the camera ray
};

// Makes `context` the calling thread's current context while it lives, restoring the previous one.
class ShadingScope {
 public:
  explicit ShadingScope(const ShadingContext& context);
  ~ShadingScope();
  ShadingScope(const ShadingScope&) = delete;
  ShadingScope& operator=(const ShadingScope&) = delete;

 private:
  ShadingContext context_;
  const ShadingContext* previous_;
};

// The calling thread's context, or null outside any ShadingScope.
const ShadingContext* currentShadingContext();

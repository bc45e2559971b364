// A minimal host for shading from many threads at once, in tests and benchmarks: one point light
// with ray-traced shadows above a sample at the origin, nothing logged, nothing written while
// shading. Its scene is set when the host is made, before any thread shades, and only read after.
#pragma once

#include "instance/shader_instance.h"
#include "module/host_interface.h"

using CastDistanceRoutine = double (*)(const Vec3* origin, const Vec3* direction);

struct QuietScene {
  Vec3 lightPosition{0.0, 0.0, 10.0};
  Vec3 lightColour{1.0, 1.0, 1.0};
  CastDistanceRoutine castDistance = nullptr;  // null: nothing is ever hit
};

class QuietHost {
 public:
  explicit QuietHost(const QuietScene& scene);  // installs the services into the module's globals
  ~QuietHost();
  QuietHost(const QuietHost&) = delete;
  QuietHost& operator=(const QuietHost&) = delete;

  // A white, purely diffuse sample at the origin facing the light (normal +z), seen from above;
  // no ambient, indirect or caustic light, no mirror, no transparency.
  ShaderAccess makeAccess() const;
  static ShaderInstance makeInstance(int sample, double edgeLength);
};

// The per-surface settings record. One block per surface that carries the shader, allocated by
// instanceCreate and owned by the host, which passes it back to every routine.
#pragma once

#include <cstdint>

#include "module/host_interface.h"

inline constexpr int kPrefixCapacity = 16;  // characters, not counting the terminator
inline constexpr int kDescriptionCapacity = 64;

struct ShaderInstance {
  std::int32_t sample;               // shadow rays per edge of the grid; < 1 sends lights to the host
  double l_size;                     // edge of the square area light, world units
  std::int32_t use_prefix;           // 0 off, anything else on
  char prefix[kPrefixCapacity + 1];  // light-name prefix, NUL-terminated
  char description[kDescriptionCapacity];
  SurfaceHandle surface;  // the surface this instance belongs to
};

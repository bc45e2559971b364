// The renderer: the picture cut into square tiles, which worker threads take one at a time. Each
// pixel is one camera ray through its centre, shaded in the worker's own ShadingContext.
#pragma once

#include <vector>

#include "module/host_interface.h"
#include "reference_host/shading_context.h"

class HostWorld;

struct Picture {
  int width = 0;
  int height = 0;
  std::vector<Vec3> pixels;  // rows from the top, linear colour
  Vec3& at(int x, int y) { return pixels[static_cast<std::size_t>(y) * width + x]; }
  const Vec3& at(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
};

struct RenderOptions {
  int width = 640;
  int height = 480;
  int threads = 0;        // 0: one per core
  bool progress = false;  // draw a progress bar on standard error
  int tileSize = 32;
};

// `shader` null: the host shades every surface itself.
Picture renderPicture(const HostWorld& world, const ShaderBinding* shader, const RenderOptions& options);

// Camera rays: a pinhole camera with a vertical field of view, one ray through each pixel position.
#pragma once

#include "reference_host/scene.h"

class CameraRays {
 public:
  CameraRays(const Camera& camera, int width, int height);
  const Vec3& origin() const { return origin_; }
  // Unit direction through the picture position (x, y), in pixels from the top left corner.
  Vec3 direction(double x, double y) const;

 private:
  Vec3 origin_, forward_, right_, up_;
  double halfHeight_, halfWidth_;
  int width_, height_;
};

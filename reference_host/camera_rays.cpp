#include "reference_host/camera_rays.h"

#include <cmath>

#include "reference_host/host_vec.h"

CameraRays::CameraRays(const Camera& camera, int width, int height)
    : origin_(camera.position), width_(width), height_(height) {
  forward_ = unit(camera.lookAt - camera.position);
  right_ = unit(cross(forward_, camera.up));
  up_ = cross(right_, forward_);
  halfHeight_ = std::tan(0.5 * camera.fovDegrees * 3.141592653589793 / 180.0);
  halfWidth_ = halfHeight_ * width / height;
}

Vec3 CameraRays::direction(double x, double y) const {
  const double across = (2.0 * x / width_ - 1.0) * halfWidth_;
  const double upward = (1.0 - 2.0 * y / height_) * halfHeight_;
  return unit(forward_ + across * right_ + upward * up_);
}

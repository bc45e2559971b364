// Spherical environment images: loaded from PNG, JPEG or HDR files or made procedurally, and read
// back by filtered spot lookups (the average colour over a small square around a point).
//
// Coordinates are unit coordinates: u across the width, v down the height, both in [0, 1]; u wraps
// around (the image closes on itself horizontally), v stops at the top and bottom rows.
#pragma once

#include <string>
#include <vector>

#include "module/host_interface.h"

class EnvironmentImage {
 public:
  // The most texels an image file may have (8192 × 8192); each takes 48 bytes once read.
  static constexpr long long kMostTexels = 1LL << 26;

  // 8-bit files give byte / 255 per channel, HDR files their own linear values; no gamma is undone.
  // Throws std::runtime_error naming the file when it cannot be read.
  static EnvironmentImage load(const std::string& path);
  // A sky above a checkered ground with a sun, in the module's spherical mapping (row 0 straight up).
  static EnvironmentImage proceduralSky(int width, int height);
  EnvironmentImage(int width, int height, std::vector<Vec3> pixels);

  int width() const { return width_; }
  int height() const { return height_; }
  Vec3 texel(int x, int y) const { return pixels_[static_cast<std::size_t>(y) * width_ + x]; }

  // The colour of the texel under (u, v).
  Vec3 nearest(double u, double v) const;
  // The average over the square of edge `spotSize` (unit coordinates on both axes) centred on (u, v),
  // each texel weighted by the area it covers. A spot narrower than a millionth of a texel is read as
  // the nearest texel. Non-finite coordinates give black.
  Vec3 spotAverage(double u, double v, double spotSize) const;

 private:
  Vec3 integralAt(double x, double y) const;  // sum over [0, x] × [0, y], pixel units
  Vec3 boxSum(double x0, double x1, double y0, double y1) const;

  int width_;
  int height_;
  std::vector<Vec3> pixels_;
  std::vector<Vec3> integral_;  // (width + 1) × (height + 1) summed-area table
};

// The spherical mapping shared with the module: the heading is measured from +z turning towards −x,
// the pitch is the elevation; u = 1 − heading / 2π (wrapped into [0, 1)), v = 0.5 − pitch / π.
Vec3 directionAtUnitCoordinates(double u, double v);
void unitCoordinatesOf(const Vec3& direction, double seamRadians, double& u, double& v);

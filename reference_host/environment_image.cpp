#include "reference_host/environment_image.h"

#include <stb/stb_image.h>
#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <string>

#include "reference_host/host_vec.h"

namespace {
constexpr double kPi = 3.141592653589793;

double wrapped(double x) { return x - std::floor(x); }
}  // namespace

EnvironmentImage::EnvironmentImage(int width, int height, std::vector<Vec3> pixels)
    : width_(width), height_(height), pixels_(std::move(pixels)) {
  if (width_ < 1 || height_ < 1 || pixels_.size() != static_cast<std::size_t>(width_) * height_) {
    throw std::invalid_argument("an image needs width × height pixels");
  }
  const std::size_t stride = static_cast<std::size_t>(width_) + 1;
  integral_.assign(stride * (height_ + 1), Vec3{});
  for (int y = 0; y < height_; ++y) {
    Vec3 row;
    for (int x = 0; x < width_; ++x) {
      row += texel(x, y);
      integral_[(y + 1) * stride + x + 1] = integral_[y * stride + x + 1] + row;
    }
  }
}

EnvironmentImage EnvironmentImage::load(const std::string& path) {
  int width = 0, height = 0, channels = 0;
  struct stat status {};
  if (stat(path.c_str(), &status) == 0 && !S_ISREG(status.st_mode))
    throw std::runtime_error(path + ": cannot read the image (not a regular file)");
  // The header's size is checked before decoding: a small file may claim a picture of billions of
  // texels, which would be allocated in full before its data turned out to be missing.
  if (stbi_info(path.c_str(), &width, &height, &channels) == 0)
    throw std::runtime_error(path + ": cannot read the image (" + stbi_failure_reason() + ")");
  if (static_cast<long long>(width) * height > kMostTexels) {
    throw std::runtime_error(path + ": the image has " + std::to_string(width) + " × " + std::to_string(height) +
                             " texels; the host reads at most " + std::to_string(kMostTexels));
  }
  std::vector<Vec3> pixels;
  if (stbi_is_hdr(path.c_str())) {
    float* data = stbi_loadf(path.c_str(), &width, &height, &channels, 3);
    if (data == nullptr) throw std::runtime_error(path + ": cannot read the image (" + stbi_failure_reason() + ")");
    pixels.resize(static_cast<std::size_t>(width) * height);
    for (std::size_t i = 0; i < pixels.size(); ++i) pixels[i] = Vec3{data[3 * i], data[3 * i + 1], data[3 * i + 2]};
    stbi_image_free(data);
  } else {
    unsigned char* data = stbi_load(path.c_str(), &width, &height, &channels, 3);
    if (data == nullptr) throw std::runtime_error(path + ": cannot read the image (" + stbi_failure_reason() + ")");
    pixels.resize(static_cast<std::size_t>(width) * height);
    for (std::size_t i = 0; i < pixels.size(); ++i) {
      pixels[i] = Vec3{data[3 * i] / 255.0, data[3 * i + 1] / 255.0, data[3 * i + 2] / 255.0};
    }
    stbi_image_free(data);
  }
  for (Vec3& pixel : pixels) {
    if (!isFinite(pixel)) pixel = Vec3{};  // an HDR file may hold infinities; the renderer never passes them on
  }
  return EnvironmentImage(width, height, std::move(pixels));
}

EnvironmentImage EnvironmentImage::proceduralSky(int width, int height) {
  const Vec3 sun = unit(Vec3{-0.5, 0.45, -0.6});
  std::vector<Vec3> pixels(static_cast<std::size_t>(width) * height);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const Vec3 d = directionAtUnitCoordinates((x + 0.5) / width, (y + 0.5) / height);
      Vec3 colour;
      if (d.y >= 0.0) {
        const double up = std::pow(d.y, 0.6);
        colour = lerp(Vec3{0.85, 0.88, 0.92}, Vec3{0.22, 0.42, 0.85}, up);
        const double towardSun = std::max(0.0, dot(d, sun));
        colour += std::pow(towardSun, 400.0) * Vec3{8.0, 7.0, 5.0} + std::pow(towardSun, 8.0) * Vec3{0.3, 0.25, 0.15};
      } else {
        // A checkered ground, so that reflections show where they look.
        const double heading = std::atan2(-d.x, d.z);
        const double pitch = std::asin(std::max(-1.0, d.y));
        const bool light =
            (static_cast<int>(std::floor(heading * 8.0 / kPi)) + static_cast<int>(std::floor(pitch * 12.0 / kPi))) %
                2 ==
            0;
        colour = light ? Vec3{0.42, 0.36, 0.28} : Vec3{0.22, 0.2, 0.17};
        colour = lerp(Vec3{0.7, 0.7, 0.7}, colour, std::min(1.0, -d.y * 6.0));
      }
      pixels[static_cast<std::size_t>(y) * width + x] = colour;
    }
  }
  return EnvironmentImage(width, height, std::move(pixels));
}

Vec3 EnvironmentImage::nearest(double u, double v) const {
  if (!std::isfinite(u) || !std::isfinite(v)) return Vec3{};
  const int x = std::min(width_ - 1, static_cast<int>(wrapped(u) * width_));
  const int y = std::clamp(static_cast<int>(std::floor(v * height_)), 0, height_ - 1);
  return texel(x, y);
}

Vec3 EnvironmentImage::integralAt(double x, double y) const {
  // The integral of a piecewise-constant image is bilinear inside each texel, so interpolating the
  // summed-area table between texel corners is exact.
  const int x0 = std::min(static_cast<int>(x), width_ - 1);
  const int y0 = std::min(static_cast<int>(y), height_ - 1);
  const double fx = x - x0, fy = y - y0;
  const std::size_t stride = static_cast<std::size_t>(width_) + 1;
  const Vec3& a = integral_[y0 * stride + x0];
  const Vec3& b = integral_[y0 * stride + x0 + 1];
  const Vec3& c = integral_[(y0 + 1) * stride + x0];
  const Vec3& d = integral_[(y0 + 1) * stride + x0 + 1];
  return lerp(lerp(a, b, fx), lerp(c, d, fx), fy);
}

Vec3 EnvironmentImage::boxSum(double x0, double x1, double y0, double y1) const {
  return integralAt(x1, y1) - integralAt(x0, y1) - integralAt(x1, y0) + integralAt(x0, y0);
}

Vec3 EnvironmentImage::spotAverage(double u, double v, double spotSize) const {
  if (!std::isfinite(u) || !std::isfinite(v)) return Vec3{};
  if (!(spotSize * width_ >= 1e-6) || !std::isfinite(spotSize)) return nearest(u, v);
  const double halfWidth = std::min(0.5, spotSize * 0.5) * width_;
  const double centreX = wrapped(u) * width_;
  double y0 = v * height_ - spotSize * 0.5 * height_;
  double y1 = v * height_ + spotSize * 0.5 * height_;
  y0 = std::clamp(y0, 0.0, static_cast<double>(height_));
  y1 = std::clamp(y1, 0.0, static_cast<double>(height_));
  if (y1 - y0 < 1e-6) return nearest(u, v);  // the spot lies beyond the top or bottom edge

  // Horizontally the spot may run over the seam: add up the pieces on each side of it.
  double x0 = centreX - halfWidth, x1 = centreX + halfWidth;
  Vec3 sum;
  if (x0 < 0.0) {
    sum = boxSum(x0 + width_, width_, y0, y1) + boxSum(0.0, x1, y0, y1);
  } else if (x1 > width_) {
    sum = boxSum(x0, width_, y0, y1) + boxSum(0.0, x1 - width_, y0, y1);
  } else {
    sum = boxSum(x0, x1, y0, y1);
  }
  return (1.0 / ((x1 - x0) * (y1 - y0))) * sum;
}

Vec3 directionAtUnitCoordinates(double u, double v) {
  const double heading = (1.0 - u) * 2.0 * kPi;
  const double pitch = (0.5 - v) * kPi;
  return Vec3{-std::sin(heading) * std::cos(pitch), std::sin(pitch), std::cos(heading) * std::cos(pitch)};
}

void unitCoordinatesOf(const Vec3& direction, double seamRadians, double& u, double& v) {
  const double heading = std::atan2(-direction.x, direction.z);
  const double pitch = std::atan2(direction.y, std::hypot(direction.x, direction.z));
  u = wrapped(1.0 - (heading + seamRadians) / (2.0 * kPi));
  v = std::clamp(0.5 - pitch / kPi, 0.0, 1.0);
}

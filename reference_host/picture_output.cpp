#include "reference_host/picture_output.h"

#include <stb/stb_image_write.h>

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace {

constexpr int kGap = 4;

unsigned char toByte(double value) {
  if (!(value > 0.0)) return 0;
  if (value >= 1.0) return 255;
  return static_cast<unsigned char>(std::lround(value * 255.0));
}

}  // namespace

void writePng(const std::string& path, const Picture& picture) {
  std::vector<unsigned char> bytes;
  bytes.reserve(picture.pixels.size() * 3);
  for (const Vec3& pixel : picture.pixels) {
    bytes.push_back(toByte(pixel.x));
    bytes.push_back(toByte(pixel.y));
    bytes.push_back(toByte(pixel.z));
  }
  if (stbi_write_png(path.c_str(), picture.width, picture.height, 3, bytes.data(), picture.width * 3) == 0) {
    throw std::runtime_error(path + ": cannot write the picture");
  }
}

Picture sideBySide(const Picture& left, const Picture& right) {
  Picture both;
  both.width = left.width + kGap + right.width;
  both.height = std::max(left.height, right.height);
  both.pixels.assign(static_cast<std::size_t>(both.width) * both.height, Vec3{0.05, 0.05, 0.05});
  for (int y = 0; y < left.height; ++y) {
    for (int x = 0; x < left.width; ++x) both.at(x, y) = left.at(x, y);
  }
  for (int y = 0; y < right.height; ++y) {
    for (int x = 0; x < right.width; ++x) both.at(left.width + kGap + x, y) = right.at(x, y);
  }
  return both;
}

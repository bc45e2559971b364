#include "reference_host/host_world.h"

#include <algorithm>

#include "reference_host/host_vec.h"

namespace {
constexpr int kSkyWidth = 512;
constexpr int kSkyHeight = 256;

// Whether `handle` is the address of an element of `items`, compared as integers: handles may be
// arbitrary words (the pseudo-lights), which must not be compared as pointers into the array.
template <typename T>
bool pointsInto(const void* handle, const std::vector<T>& items) {
  const auto address = reinterpret_cast<std::uintptr_t>(handle);
  const auto first = reinterpret_cast<std::uintptr_t>(items.data());
  return !items.empty() && address >= first && address < first + items.size() * sizeof(T) &&
         (address - first) % sizeof(T) == 0;
}
}  // namespace

HostWorld::HostWorld(Scene scene) : scene_(std::move(scene)) {
  for (const ImageSource& source : scene_.images) {
    if (!source.builtin.empty()) {
      images_.push_back(EnvironmentImage::proceduralSky(kSkyWidth, kSkyHeight));
    } else {
      const bool absolute = !source.file.empty() && source.file[0] == '/';
      images_.push_back(EnvironmentImage::load(absolute ? source.file : scene_.directory + "/" + source.file));
    }
  }
  caster_ = std::make_unique<RayCaster>(scene_);
  for (std::size_t i = 0; i < scene_.lights.size(); ++i) lightItems_.push_back(HostItem{true, static_cast<int>(i)});
  for (std::size_t i = 0; i < scene_.objects.size(); ++i) objectItems_.push_back(HostItem{false, static_cast<int>(i)});
  for (std::size_t i = 0; i < scene_.surfaces.size(); ++i) surfaceItems_.push_back(HostSurface{static_cast<int>(i)});
  for (std::size_t i = 0; i < images_.size(); ++i) {
    imageItems_.push_back(std::make_unique<HostImage>());
    imageItems_.back()->index = static_cast<int>(i);
  }
}

const SceneLight* HostWorld::lightOf(ItemHandle handle) const {
  return pointsInto(handle, lightItems_) ? &scene_.lights[handle->index] : nullptr;
}

const SceneObject* HostWorld::objectOf(ItemHandle handle) const {
  return pointsInto(handle, objectItems_) ? &scene_.objects[handle->index] : nullptr;
}

const SceneSurface* HostWorld::surfaceOf(SurfaceHandle handle) const {
  return pointsInto(handle, surfaceItems_) ? &scene_.surfaces[handle->index] : nullptr;
}

const EnvironmentImage* HostWorld::imageOf(ImageHandle handle) const {
  for (const auto& item : imageItems_) {
    if (item.get() == handle) return &images_[item->index];
  }
  return nullptr;
}

Vec3 HostWorld::backdropColour(const Vec3& direction) const {
  const Backdrop& backdrop = scene_.backdrop;
  const Vec3 d = unit(direction);
  if (backdrop.image >= 0) {
    const EnvironmentImage& image = images_[backdrop.image];
    double u = 0.0, v = 0.0;
    unitCoordinatesOf(d, backdrop.seamRadians, u, v);
    return image.spotAverage(u, v, 1.0 / std::max(image.width(), image.height()));
  }
  return d.y >= 0.0 ? lerp(backdrop.horizon, backdrop.zenith, d.y) : lerp(backdrop.horizon, backdrop.nadir, -d.y);
}

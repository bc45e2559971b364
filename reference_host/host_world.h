// The live scene the host serves to the module: the checked scene, its images, its ray caster, and
// the opaque handles the module is given for lights, objects, surfaces and images. Built once before
// rendering and read-only while rendering (except each image's "filtering requested" mark).
#pragma once

#include <atomic>
#include <memory>
#include <vector>

#include "reference_host/environment_image.h"
#include "reference_host/ray_caster.h"
#include "reference_host/scene.h"

// What the module's handles point at. The host interface only declares these names.
struct HostItem {
  bool isLight;
  int index;  // into Scene::lights or Scene::objects
};
struct HostSurface {
  int index;  // into Scene::surfaces
};
struct HostImage {
  int index;                          // into HostWorld's images
  std::atomic<bool> filtered{false};  // the module asked for filtered spot lookups
};

class HostWorld {
 public:
  // Loads the images and builds the geometry; throws std::runtime_error naming what cannot be read.
  explicit HostWorld(Scene scene);

  const Scene& scene() const { return scene_; }
  const RayCaster& caster() const { return *caster_; }
  const EnvironmentImage& image(int index) const { return images_[index]; }

  ItemHandle lightHandle(int index) const { return &lightItems_[index]; }
  ItemHandle objectHandle(int index) const { return &objectItems_[index]; }
  SurfaceHandle surfaceHandle(int index) const { return &surfaceItems_[index]; }
  ImageHandle imageHandle(int index) const { return index < 0 ? nullptr : imageItems_[index].get(); }

  // The scene light or object behind a handle, or null for anything else (the pseudo-lights too).
  const SceneLight* lightOf(ItemHandle handle) const;
  const SceneObject* objectOf(ItemHandle handle) const;
  const SceneSurface* surfaceOf(SurfaceHandle handle) const;
  const EnvironmentImage* imageOf(ImageHandle handle) const;

  // The backdrop seen along a direction: the backdrop image, or the zenith-horizon-nadir gradient.
  Vec3 backdropColour(const Vec3& direction) const;

 private:
  Scene scene_;
  std::unique_ptr<RayCaster> caster_;
  std::vector<EnvironmentImage> images_;
  // Handles point into these; mutable because the interface's handle types are non-const pointers.
  mutable std::vector<HostItem> lightItems_;
  mutable std::vector<HostItem> objectItems_;
  mutable std::vector<HostSurface> surfaceItems_;
  std::vector<std::unique_ptr<HostImage>> imageItems_;
};

#include "shading/environment_lookup.h"

#include "module/host_services.h"

namespace {

constexpr int kBlendFiltered = 1;

}  // namespace

Vec3 environmentLookup(ImageHandle image, double u, double v) {
  int width = 0;
  int height = 0;
  gImageList->imageDimensions(image, &width, &height);
  Vec3 colour;
  if (width < 1 || height < 1) return colour;

  const double acrossWidth = 1.0 / width;
  const double acrossHeight = 1.0 / height;
  const double spotSize = acrossWidth < acrossHeight ? acrossWidth : acrossHeight;
  gImageList->spotColor(image, u, v, spotSize, kBlendFiltered, &colour);
  return colour;
}

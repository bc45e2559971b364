// Filtered colour of a spherical environment image at unit image coordinates.
#pragma once

#include "module/host_interface.h"

// The image's colour around (u, v), both in [0, 1], filtered over one pixel of the image's longer
// side. Asks the image service for the image's size, then for the colour. An image without pixels
// (reported 0 or fewer wide or high) is black, and the host is not asked for its colour.
// Needs the image service; callers check that it is present.
Vec3 environmentLookup(ImageHandle image, double u, double v);

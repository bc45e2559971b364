#include "tools/fingerprint/surroundings_sections.h"

#include "shading/spherical_map.h"

namespace {
constexpr int kSamples = 1000000;
}  // namespace

void fingerprintSphericalMap(BitHash& hash) {
  InputStream inputs(4);
  for (int i = 0; i < kSamples; ++i) {
    double x = inputs.uniform(-1.0, 1.0);
    double y = inputs.uniform(-1.0, 1.0);
    double z = inputs.uniform(-1.0, 1.0);
    // Every fourth direction lies in a coordinate plane, where the mapping takes its special cases.
    if (i % 4 == 3) {
      if (i % 3 == 0) x = 0.0;
      if (i % 5 < 2) y = 0.0;
      if (i % 7 < 3) z = 0.0;
    }
    const double seam = (i % 2 == 0) ? 0.0 : inputs.uniform(-8.0, 8.0);
    double heading = 0.0, pitch = 0.0, u = 0.0, v = 0.0;
    headingPitchOf(x, y, z, heading, pitch);
    sphericalImageCoordinates(x, y, z, seam, u, v);
    hash.add(heading);
    hash.add(pitch);
    hash.add(u);
    hash.add(v);
  }
}

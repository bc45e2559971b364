#include "tools/fingerprint/det_math_sections.h"

#include "shading/det_math.h"

namespace {
constexpr int kSamples = 1000000;
constexpr double kPi = 3.141592653589793;
}  // namespace

void fingerprintCos(BitHash& hash) {
  InputStream inputs(1);
  for (int i = 0; i < kSamples; ++i) {
    // Mostly the angles shading meets, with every eighth input anywhere up to the largest doubles.
    const double x = (i % 8 == 7) ? inputs.randomSign(inputs.logUniform(-30, 1023)) : inputs.uniform(-4 * kPi, 4 * kPi);
    hash.add(detCos(x));
  }
}

void fingerprintAtan2(BitHash& hash) {
  InputStream inputs(2);
  for (int i = 0; i < kSamples; ++i) {
    double y, x;
    if (i % 4 == 3) {  // tiny to huge magnitudes
      y = inputs.randomSign(inputs.logUniform(-1022, 1023));
      x = inputs.randomSign(inputs.logUniform(-1022, 1023));
    } else {
      y = inputs.uniform(-1.0, 1.0);
      x = inputs.uniform(-1.0, 1.0);
    }
    hash.add(detAtan2(y, x));
  }
}

void fingerprintPow(BitHash& hash) {
  InputStream inputs(3);
  for (int i = 0; i < kSamples; ++i) {
    double x, y;
    if (i % 4 == 3) {  // general: any positive base, moderate exponents of either sign
      x = inputs.logUniform(-1022, 1023);
      y = inputs.uniform(-4.0, 4.0);
    } else {  // highlights: a cosine in [0, 1] raised to 1 / roughness
      x = inputs.uniform(0.0, 1.0);
      y = inputs.uniform(0.0, 1e4);
    }
    hash.add(detPow(x, y));
  }
}

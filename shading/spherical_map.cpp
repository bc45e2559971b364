#include "shading/spherical_map.h"

#include <cmath>

#include "shading/det_math.h"

namespace {

constexpr double kHalfPi = 1.5707963267948966;
constexpr double kPi = 3.141592653589793;
constexpr double kInverseTwoPi = 0.15915494309189535;
constexpr double kInversePi = 0.3183098861837907;
constexpr double kClosenessTolerance = 0.00001;

}  // namespace

double foldedAtan2(double a, double b) {
  const double angle = detAtan2(a, b);
  if (angle < -kHalfPi) return angle + kPi;
  if (angle > kHalfPi) return angle - kPi;
  return angle;
}

bool nearlyEqual(double a, double b) { return std::fabs(a - b) <= std::fabs(a * kClosenessTolerance); }

double wrapUnit(double x) {
  const double fraction = std::fmod(std::fabs(x), 1.0);
  if (!(fraction >= 0.0)) return 0.0;  // NaN from a NaN or infinite x
  return x >= 0.0 ? fraction : 1.0 - fraction;
}

void headingPitchOf(double x, double y, double z, double& heading, double& pitch) {
  if (nearlyEqual(x, 0.0) && nearlyEqual(z, 0.0)) {
    heading = 0.0;
    pitch = y > 0.0 ? kHalfPi : y < 0.0 ? -kHalfPi : 0.0;
    return;
  }

  if (nearlyEqual(z, 0.0)) {
    heading = x < 0.0 ? kHalfPi : -kHalfPi;
  } else if (z > 0.0) {
    heading = -foldedAtan2(x, z);
  } else {
    heading = kPi - foldedAtan2(x, z);
  }

  // x·x + z·z can underflow to 0 for a tiny horizontal part: the direction is then vertical.
  const double horizontal = std::sqrt(x * x + z * z);
  if (nearlyEqual(horizontal, 0.0)) {
    pitch = y >= 0.0 ? kHalfPi : -kHalfPi;
  } else {
    pitch = foldedAtan2(y, horizontal);
  }
}

void sphericalImageCoordinates(double x, double y, double z, double seamAngle, double& u, double& v) {
  double heading = 0.0;
  double pitch = 0.0;
  headingPitchOf(x, y, z, heading, pitch);
  u = wrapUnit(1.0 - (heading + seamAngle) * kInverseTwoPi);
  v = wrapUnit(0.5 - pitch * kInversePi);
}

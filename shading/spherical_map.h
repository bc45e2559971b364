// Mapping of directions onto a spherical environment image that surrounds the scene: the heading
// runs along the image's width, the elevation down its height. Pure arithmetic, no host calls.
#pragma once

// Heading: the angle of (x, z) from the +z axis, growing towards −x, within [−π/2, 3π/2).
// Pitch: the elevation above the x–z plane, in [−π/2, π/2]. A vertical direction has heading 0, and
// the zero vector has heading and pitch 0.
void headingPitchOf(double x, double y, double z, double& heading, double& pitch);

// atan2(a, b) folded into [−π/2, π/2] by a half turn: atan(a / b) for b ≠ 0, without the division.
double foldedAtan2(double a, double b);

// |a − b| ≤ |a| × 0.00001. Deliberately not symmetric: the tolerance scales with `a` alone, so
// nearlyEqual(x, 0) holds only for x = ±0.
bool nearlyEqual(double a, double b);

// x reduced into [0, 1]: the fractional part for x ≥ 0, one minus it for x < 0 (so −1 gives 1).
// NaN and infinities give 0, so a coordinate handed to the host is never outside the image.
double wrapUnit(double x);

// Image coordinates of a direction: u from the heading (shifted by `seamAngle` radians), v from the
// pitch; horizontal directions give v = 0.5, straight up gives v = 0.
void sphericalImageCoordinates(double x, double y, double z, double seamAngle, double& u, double& v);

#include "shading/det_math.h"

#include <cmath>

// Placeholder: the platform's functions until the portable ones land.
double detCos(double x) { return std::cos(x); }
double detAtan2(double y, double x) { return std::atan2(y, x); }
double detPow(double x, double y) { return std::pow(x, y); }

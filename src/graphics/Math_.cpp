// The conversions the intersection constructions use.
#include "graphics/Math_.hpp"

#include <cmath>

double toRadians(double deg) { return deg * 3.141592653589793 / 180; }
bool isNearZero(double x) { return std::fabs(x) <= 1e-9; }

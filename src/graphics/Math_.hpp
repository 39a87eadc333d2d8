// The conversions the intersection constructions use.
#pragma once

double toRadians(double deg);
bool isNearZero(double x);

// Small numeric functions on reals, angles and distances; angles in degrees, 0 along +x, counter-clockwise.
#pragma once

#include "graphics/Kpoint.hpp"

int signOf(double x);
double absOf(double x);
double maxOf(double a, double b);
double minOf(double a, double b);
int maxInt(int a, int b);
int minInt(int a, int b);
double radToDeg(double rad);
double degToRad(double deg);
double squareOf(double x);
void swapReals(double& a, double& b);
void swapPoints(kPoint& a, kPoint& b);
// |a - b| <= 10^-n
bool equalToDigits(double a, double b, int n);
// Equal within the double epsilon scaled by the larger magnitude (never by less than 1).
bool nearlyEqual(double a, double b);
// Direction from the first point to the second in (-180, 180]; 0 for equal points.
double angleOf(double x1, double y1, double x2, double y2);
double angleOf(const kPoint& a, const kPoint& b);
// Quadrant 1..4, axis 0/90/180/270, 360 for the same point, -1 for not-a-number.
int directionOf(double x1, double y1, double x2, double y2);
double hypotenuse(double a, double b);
double distanceOf(double x1, double y1, double x2, double y2);
double distanceOf(const kPoint& a, const kPoint& b);

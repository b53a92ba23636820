#pragma once

#include "Geometry.h"

// Small geometry helpers shared by the path code and the shapes built on it.

// de Casteljau evaluation of a cubic Bezier curve at t, in floats.
Point pointOnCubic(Point p0, Point p1, Point p2, Point p3, float t);
// Union of two rectangles taken as stored (not normalised); ok is false when
// the union's width or height is 1.1920929e-7 or less.
Rect rectUnion(const Rect& a, const Rect& b, bool* ok = nullptr);
// v / |v|; the zero vector (and a non-finite one) gives the zero vector.
Point normalizeVector(Point v);
bool nearlyEqual(float a, float b);
// The angle negated and brought into (-180, 180]; turns a y-up angle into the y-down page.
float flipAngle(float degrees);

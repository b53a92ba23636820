#pragma once

#include "CAGGraphics.h"

#include <QImage>

#include <memory>

// A context of the given size with an opaque white (or other) surface.
std::unique_ptr<CAGGraphics> makeContext(int width, int height, int clearValue = 255, float deviceScale = 1.0f);

// One pixel of a context as 0xAARRGGBB (premultiplied, as stored).
quint32 pixelAt(const CAGGraphics& context, int x, int y);

#pragma once

#include "Quad.h"
#include "WorkingImage.h"

#include <QImage>
#include <QString>

#include <vector>

namespace FilterTest {

// A small deterministic test card: hue across, brightness down, a grey wedge
// along the bottom and a few flat discs, so that every look has edges, flats
// and gradients to work on.
QImage testCard(int width, int height);

// A working image of one flat colour.
WorkingImage flatImage(int width, int height, Quad colour);
// A working image of seeded noise in 0..1 (alpha 1).
WorkingImage noiseImage(int width, int height, unsigned seed);
WorkingImage copy(const WorkingImage& image);

// Largest difference between two equally sized working images, over every
// channel; infinity when sizes differ.
float largestDifference(const WorkingImage& a, const WorkingImage& b);
// The same for pictures, in bytes of red, green, blue.
int largestByteDifference(const QImage& a, const QImage& b);
// How many pixels differ by more than tolerance in some channel.
int pixelsBeyond(const QImage& a, const QImage& b, int tolerance);
// Whether both images hold the same floats, bit for bit.
bool sameBits(const WorkingImage& a, const WorkingImage& b);

QString dataPath(const QString& name);

// Runs the block with a thread count and vector setting, then restores them.
class ExecutionScope
{
public:
    ExecutionScope(int threads, bool vectorCode);
    ~ExecutionScope();
};

} // namespace FilterTest

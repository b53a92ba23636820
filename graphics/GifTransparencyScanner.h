#pragma once

#include <QByteArray>

// Finds the transparent colour index of a GIF file's first frame by walking
// its block structure: the graphic control extension that precedes the first
// image descriptor decides. Files that do not start with "GIF8", and blocks
// cut short by the end of the data, end the scan.
class GifTransparencyScanner
{
public:
    // The transparent index (0-255), or -1 when the first frame has none.
    static int transparentIndex(const QByteArray& data);
};

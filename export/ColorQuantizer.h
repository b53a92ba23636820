#pragma once

#include <QImage>
#include <QList>
#include <QRgb>

#include <cstdint>
#include <vector>

// Reduces a picture to a palette of at most 256 colours for formats that
// need one (GIF): median cut over a 5-bit-per-channel histogram, then
// Floyd–Steinberg error diffusion. Pixels with alpha below 128 map to a
// transparent index of their own.
class ColorQuantizer
{
public:
    struct Result
    {
        QList<QRgb> palette;           // opaque colours, the transparent entry included
        std::vector<std::uint8_t> indices;  // width × height, row by row
        int transparentIndex = -1;     // -1 when no pixel is transparent
        int width = 0;
        int height = 0;
    };

    // maxColors is 2..256 and includes the transparent entry when one is needed.
    static Result quantize(const QImage& image, int maxColors = 256, bool dither = true);
};

#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

// Writes pictures as GIF (Qt reads GIF but cannot write it): the picture is
// reduced to 256 colours with dithering, and pixels with alpha below 128
// become the GIF's transparent colour.
class GifWriter
{
public:
    static QByteArray encode(const QImage& image, bool dither = true);
    // Written through a temporary file and renamed; false leaves the old file.
    static bool write(const QImage& image, const QString& path, bool dither = true);
};

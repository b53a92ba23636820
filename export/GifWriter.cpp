#include "GifWriter.h"

#include "ColorQuantizer.h"

#include <QSaveFile>

#include <gif_lib.h>

#include <vector>

namespace {

int appendToBuffer(GifFileType* gif, const GifByteType* bytes, int length)
{
    static_cast<QByteArray*>(gif->UserData)->append(reinterpret_cast<const char*>(bytes), length);
    return length;
}

int paletteBits(int colors)
{
    int bits = 1;
    while ((1 << bits) < colors)
        ++bits;
    return bits;
}

struct GifCloser
{
    GifFileType* gif;
    ~GifCloser()
    {
        if (gif) {
            int error = 0;
            EGifCloseFile(gif, &error);
        }
    }
};

} // namespace

QByteArray GifWriter::encode(const QImage& image, bool dither)
{
    if (image.isNull() || image.width() > 65535 || image.height() > 65535)
        return QByteArray();
    const ColorQuantizer::Result quantized = ColorQuantizer::quantize(image, 256, dither);

    QByteArray out;
    int error = 0;
    GifCloser closer{EGifOpen(&out, appendToBuffer, &error)};
    if (!closer.gif)
        return QByteArray();
    const int bits = paletteBits(int(quantized.palette.size()));
    std::vector<GifColorType> colors(std::size_t(1) << bits, GifColorType{0, 0, 0});
    for (qsizetype i = 0; i < quantized.palette.size(); ++i)
        colors[std::size_t(i)] = GifColorType{GifByteType(qRed(quantized.palette[i])),
                                              GifByteType(qGreen(quantized.palette[i])),
                                              GifByteType(qBlue(quantized.palette[i]))};
    ColorMapObject* map = GifMakeMapObject(1 << bits, colors.data());
    if (!map)
        return QByteArray();
    EGifSetGifVersion(closer.gif, true);
    const bool screenWritten =
        EGifPutScreenDesc(closer.gif, image.width(), image.height(), bits, 0, map) != GIF_ERROR;
    GifFreeMapObject(map);
    if (!screenWritten)
        return QByteArray();
    if (quantized.transparentIndex >= 0) {
        // Graphic control extension: transparency flag, no delay, the transparent index.
        const GifByteType control[4] = {0x01, 0, 0, GifByteType(quantized.transparentIndex)};
        if (EGifPutExtension(closer.gif, GRAPHICS_EXT_FUNC_CODE, 4, control) == GIF_ERROR)
            return QByteArray();
    }
    if (EGifPutImageDesc(closer.gif, 0, 0, image.width(), image.height(), false, nullptr) == GIF_ERROR)
        return QByteArray();
    for (int y = 0; y < image.height(); ++y) {
        auto* line = const_cast<GifByteType*>(quantized.indices.data() + std::size_t(y) * std::size_t(image.width()));
        if (EGifPutLine(closer.gif, line, image.width()) == GIF_ERROR)
            return QByteArray();
    }
    const int closed = EGifCloseFile(closer.gif, &error);
    closer.gif = nullptr;
    return closed == GIF_ERROR ? QByteArray() : out;
}

bool GifWriter::write(const QImage& image, const QString& path, bool dither)
{
    const QByteArray bytes = encode(image, dither);
    if (bytes.isEmpty())
        return false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

#pragma once

#include "CRefCountObject.h"
#include "Geometry.h"
#include "PackedColor.h"

#include <QImage>
#include <QString>

#include <cstdint>
#include <memory>

class QPainter;

// An in-memory bitmap that may remember the file it came from.
//
// Pixels are rows of blue, green, red (, alpha) bytes, top row first:
//   24 bits: QImage::Format_BGR888, opaque;
//   32 bits without alpha: QImage::Format_RGB32 (the fourth byte is 255);
//   32 bits with alpha: QImage::Format_ARGB32_Premultiplied. Colours are
//     premultiplied everywhere in memory (decoding premultiplies, drawing
//     composites premultiplied, encoding un-premultiplies), so nothing drifts
//     over save and load cycles;
//   8 bits: a palette picture, only while a GIF is being decoded.
// An unloaded picture has no pixels; width, height and depth are then 0.
//
// Decoding goes through QImageReader with an allocation limit; the size is
// read before decoding, so a picture too large to hold is refused without
// trying. Operations that can fail return a Result; callers test ok().
class PAImage : public CRefCountObject
{
public:
    enum class Result { Ok, GenericFailure, OutOfMemory };
    static bool ok(Result r) { return r == Result::Ok; }

    // Decoding refuses pictures of more pixels than this (100 megapixel
    // photographs pass; 60000 x 60000 does not).
    static constexpr std::int64_t kMaxPixels = 200'000'000;

    // An empty picture made in memory, named "Image_<counter><seconds>.tif".
    PAImage();
    // A picture for a file: when it is to be copied into a package it is named
    // "Image_<counter><seconds><extension>", otherwise by the file's own name.
    // Nothing is decoded until loadFromFile or reload.
    PAImage(const QString& path, bool copyIntoPackage);
    // A picture made in memory holding the given pixels (converted to one of
    // the formats above; any alpha becomes premultiplied).
    explicit PAImage(const QImage& image);
    ~PAImage() override;

    PAImage(const PAImage&) = delete;
    PAImage& operator=(const PAImage&) = delete;

    // Whether the file name's extension is one the decoder is offered:
    // .bmp .jpeg .jpg .jpe .jfif .gif .tiff .tif .png, in any case.
    static bool isSupportedPictureFile(const QString& path);

    // --- Loading --------------------------------------------------------
    // Decodes the file; cacheName becomes its file name and sourcePath the path.
    // A failure leaves the picture unloaded.
    Result loadFromFile(const QString& path);
    // Decodes sourcePath again when unloaded and not pinned; otherwise Ok at
    // once. A cacheName that is set is kept.
    Result reload();
    // Drops the pixels of a picture that can be decoded again (not pinned, has
    // a source path, holds pixels); returns whether it did.
    bool unload();
    // A library preview: only when unloaded, decodes the source at height
    // 0.225 x the source height (at least 128) keeping the aspect ratio.
    Result loadReduced();

    // A new zeroed bitmap (32 bits without alpha: opaque black).
    bool create(int width, int height, int bitsPerPixel, bool withAlpha);
    // -1: same depth; 0: same depth (at least 24) and alpha; other: that depth.
    // With a source path and bits other than -1 the copy is decoded afresh.
    RefPtr<PAImage> copy(int bitsPerPixel = -1) const;
    // A resampled copy drawn through a drawing context (copy(0) at the same size).
    RefPtr<PAImage> scaledCopy(int width, int height) const;

    // --- Saving ---------------------------------------------------------
    // Encodes by the path's extension with the resolution in dots per inch;
    // the quality (0-100) is passed for ".jpg" only. Written through a
    // temporary file, so a failed save leaves an existing file as it was.
    Result saveToFile(const QString& path, float dotsPerInch, int jpegQuality) const;
    // The encoder's own defaults for the extension.
    Result save(const QString& path) const;
    // The picture as straight-alpha pixels, ready for encoding or the clipboard.
    QImage toStraightImage() const;

    // --- Pixels ---------------------------------------------------------
    bool isLoaded() const { return !m_image.isNull(); }
    int width() const { return m_image.width(); }
    int height() const { return m_image.height(); }
    Size size() const { return {float(width()), float(height())}; }
    int bitsPerPixel() const;
    int pitch() const { return isLoaded() ? int(m_image.bytesPerLine()) : 0; }
    bool hasAlpha() const { return m_image.format() == QImage::Format_ARGB32_Premultiplied; }
    std::uint8_t* bits();
    const std::uint8_t* bits() const;
    std::uint8_t* scanLine(int y);
    const std::uint8_t* scanLine(int y) const;
    // The pixels as a QImage (shared, not copied). Painting on it changes the picture.
    QImage& image() { return m_image; }
    const QImage& image() const { return m_image; }

    void flipVertically();
    // Multiplies colours by alpha (c x a / 255) on a 32-bit picture marked as
    // straight; pictures here are already premultiplied, so this is for
    // pixels written straight by hand (filters, importers).
    void premultiplyAlpha();
    void fill(PackedColor color);
    void clear(std::uint8_t grey, std::uint8_t alpha);
    // Pixels whose blue, green and red equal the key get the alpha, all others
    // 255; the picture becomes 32 bits with (premultiplied) alpha, so keyed-out
    // pixels carry no stray colour.
    void setAlphaForColor(PackedColor key, std::uint8_t alpha);

    // A painter on the pixels, opened on the first acquire and closed when
    // the last nested release returns the count to 0.
    QPainter* acquireSurface();
    void releaseSurface();

    // --- Names and flags ------------------------------------------------
    const QString& cacheName() const { return m_cacheName; }
    void setCacheName(const QString& name) { m_cacheName = name; }
    const QString& sourcePath() const { return m_sourcePath; }
    void setSourcePath(const QString& path) { m_sourcePath = path; }
    bool isPinned() const { return m_pinned; }
    void setPinned(bool pinned) { m_pinned = pinned; }
    bool isStoredInPackage() const { return m_storedInPackage; }
    void setStoredInPackage(bool stored) { m_storedInPackage = stored; }

    // --- Resource pictures ----------------------------------------------
    // The shared, pinned picture for a file of the resource folder "Images",
    // kept for the life of the process. A missing or unreadable file gives
    // the placeholder (never stored under the name, so a later call tries again).
    static PAImage* resourcePicture(const QString& name);
    // The shared stand-in for missing resource pictures: 128 x 128, 24 bits, black.
    static PAImage* placeholderPicture();

private:
    Result decode(const QString& path, int reducedHeight);
    QImage encodableImage(const QByteArray& format) const;
    void setImage(QImage image);

    QImage m_image;
    QString m_cacheName;
    QString m_sourcePath;
    bool m_pinned = false;
    bool m_storedInPackage = false;
    int m_surfaceCount = 0;
    std::unique_ptr<QPainter> m_painter;
};

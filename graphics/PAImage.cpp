#include "PAImage.h"

#include "CAGGraphics.h"
#include "GifTransparencyScanner.h"
#include "Resources.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QImageWriter>
#include <QPainter>
#include <QSaveFile>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>

namespace {

int g_nameCounter = 0;

QString nextMemoryName(const QString& extension)
{
    const qint64 seconds = QDateTime::currentSecsSinceEpoch();
    return QStringLiteral("Image_%1%2%3").arg(g_nameCounter++).arg(seconds).arg(extension);
}

// The allocation limit handed to the decoder, in megabytes.
int allocationLimitMegabytes()
{
    return int(PAImage::kMaxPixels * 4 / (1024 * 1024)) + 1;
}

// Straight ARGB32 to premultiplied in place: c x a / 255, rounded down.
void premultiplyInPlace(QImage& image)
{
    for (int y = 0; y < image.height(); ++y) {
        std::uint8_t* p = image.scanLine(y);
        for (int x = 0; x < image.width(); ++x, p += 4) {
            const unsigned a = p[3];
            if (a == 255)
                continue;
            p[0] = std::uint8_t(p[0] * a / 255);
            p[1] = std::uint8_t(p[1] * a / 255);
            p[2] = std::uint8_t(p[2] * a / 255);
        }
    }
}

// Premultiplied to straight, rounding up: the inverse of premultiplyInPlace
// in the sense that premultiplying the result gives back exactly the same
// bytes, so save and load cycles do not drift.
QImage unpremultiplied(const QImage& premultiplied)
{
    QImage straight = premultiplied.copy();
    if (straight.isNull())
        return straight;
    straight.reinterpretAsFormat(QImage::Format_ARGB32);
    for (int y = 0; y < straight.height(); ++y) {
        std::uint8_t* p = straight.scanLine(y);
        for (int x = 0; x < straight.width(); ++x, p += 4) {
            const unsigned a = p[3];
            if (a == 255)
                continue;
            if (a == 0) {
                p[0] = p[1] = p[2] = 0;
                continue;
            }
            for (int c = 0; c < 3; ++c)
                p[c] = std::uint8_t(std::min(255u, (unsigned(p[c]) * 255 + a - 1) / a));
        }
    }
    return straight;
}

// Any decoded or handed-in picture in one of the three stored formats.
QImage normalized(QImage image)
{
    switch (image.format()) {
    case QImage::Format_Invalid:
    case QImage::Format_BGR888:
    case QImage::Format_RGB32:
    case QImage::Format_ARGB32_Premultiplied:
        return image;
    case QImage::Format_ARGB32:
        break;
    default:
        if (!image.hasAlphaChannel())
            return image.convertToFormat(QImage::Format_BGR888);
        // Other premultiplied formats are made straight by Qt, then premultiplied our way.
        image = image.convertToFormat(QImage::Format_ARGB32);
        break;
    }
    if (image.isNull())
        return image;
    image.detach();
    premultiplyInPlace(image);
    image.reinterpretAsFormat(QImage::Format_ARGB32_Premultiplied);
    return image;
}

QByteArray encoderFormat(const QString& path)
{
    const QString extension = QFileInfo(path).suffix().toLower();
    if (extension == QLatin1String("jpg") || extension == QLatin1String("jpeg") || extension == QLatin1String("jpe")
        || extension == QLatin1String("jfif"))
        return "jpeg";
    if (extension == QLatin1String("tif") || extension == QLatin1String("tiff"))
        return "tiff";
    const QByteArray format = extension.toLatin1();
    return QImageWriter::supportedImageFormats().contains(format) ? format : QByteArray();
}

bool writeImage(const QImage& image, const QString& path, const QByteArray& format, int quality)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    QImageWriter writer(&file, format);
    if (quality >= 0)
        writer.setQuality(std::clamp(quality, 0, 100));
    if (!writer.write(image)) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

} // namespace

// ---------------------------------------------------------------------------

PAImage::PAImage()
    : m_cacheName(nextMemoryName(QStringLiteral(".tif")))
{
}

PAImage::PAImage(const QString& path, bool copyIntoPackage)
    : m_sourcePath(path)
{
    const QFileInfo info(path);
    if (copyIntoPackage) {
        const QString suffix = info.suffix();
        m_cacheName = nextMemoryName(suffix.isEmpty() ? QString() : QLatin1Char('.') + suffix);
    } else {
        m_cacheName = info.fileName();
    }
}

PAImage::PAImage(const QImage& image)
    : PAImage()
{
    QImage copy = image;
    if (copy.format() == QImage::Format_Indexed8 || copy.format() == QImage::Format_Mono
        || copy.format() == QImage::Format_MonoLSB)
        copy = copy.convertToFormat(copy.hasAlphaChannel() ? QImage::Format_ARGB32 : QImage::Format_BGR888);
    setImage(normalized(copy));
}

PAImage::~PAImage()
{
    m_painter.reset();
}

bool PAImage::isSupportedPictureFile(const QString& path)
{
    static const QStringList extensions = {QStringLiteral("bmp"), QStringLiteral("jpeg"), QStringLiteral("jpg"),
                                           QStringLiteral("jpe"), QStringLiteral("jfif"), QStringLiteral("gif"),
                                           QStringLiteral("tiff"), QStringLiteral("tif"), QStringLiteral("png")};
    const QString name = QFileInfo(path).fileName();
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot >= 0 && extensions.contains(name.mid(dot + 1).toLower());
}

void PAImage::setImage(QImage image)
{
    m_painter.reset();
    m_surfaceCount = 0;
    m_image = std::move(image);
}

int PAImage::bitsPerPixel() const
{
    switch (m_image.format()) {
    case QImage::Format_Invalid:
        return 0;
    case QImage::Format_Indexed8:
        return 8;
    case QImage::Format_BGR888:
        return 24;
    default:
        return 32;
    }
}

std::uint8_t* PAImage::bits()
{
    return isLoaded() ? m_image.bits() : nullptr;
}

const std::uint8_t* PAImage::bits() const
{
    return isLoaded() ? m_image.constBits() : nullptr;
}

std::uint8_t* PAImage::scanLine(int y)
{
    return isLoaded() && y >= 0 && y < height() ? m_image.scanLine(y) : nullptr;
}

const std::uint8_t* PAImage::scanLine(int y) const
{
    return isLoaded() && y >= 0 && y < height() ? m_image.constScanLine(y) : nullptr;
}

// ---------------------------------------------------------------------------
// Decoding

PAImage::Result PAImage::decode(const QString& path, int reducedHeight)
{
    QImageReader reader(path);
    reader.setAutoTransform(false);
    reader.setAllocationLimit(allocationLimitMegabytes());
    const QSize size = reader.size();
    if (size.isValid() && qint64(size.width()) * qint64(size.height()) > kMaxPixels)
        return Result::OutOfMemory;
    if (reducedHeight > 0) {
        if (!size.isValid() || size.height() <= 0)
            return Result::GenericFailure;
        const int height = std::max(128, int(0.225 * size.height()));
        const int width = std::max(1, int(height * (double(size.width()) / size.height())));
        if (qint64(width) * height > kMaxPixels)
            return Result::OutOfMemory;
        reader.setScaledSize(QSize(width, height));
    }
    QImage decoded;
    if (!reader.read(&decoded) || decoded.isNull())
        return Result::GenericFailure;

    const bool gif = QFileInfo(path).suffix().compare(QLatin1String("gif"), Qt::CaseInsensitive) == 0;
    if (gif && decoded.format() == QImage::Format_Indexed8) {
        int transparent = -1;
        QFile file(path);
        if (file.open(QIODevice::ReadOnly))
            transparent = GifTransparencyScanner::transparentIndex(file.readAll());
        const QList<QRgb> palette = decoded.colorTable();
        if (transparent >= 0 && transparent < palette.size()) {
            const QRgb key = palette[transparent];
            // Compare opaque colours: the decoder may have cleared that entry's alpha.
            QImage opaque = decoded;
            QList<QRgb> opaquePalette = palette;
            for (QRgb& c : opaquePalette)
                c |= 0xFF000000u;
            opaque.setColorTable(opaquePalette);
            setImage(opaque.convertToFormat(QImage::Format_BGR888));
            setAlphaForColor(PackedColor(key | 0xFF000000u), 0);
            return isLoaded() ? Result::Ok : Result::OutOfMemory;
        }
        // No transparency: an ordinary opaque picture (an 8-bit one could not be drawn).
        decoded = decoded.convertToFormat(decoded.hasAlphaChannel() ? QImage::Format_ARGB32 : QImage::Format_BGR888);
    } else if (decoded.format() == QImage::Format_Indexed8 || decoded.format() == QImage::Format_Mono
               || decoded.format() == QImage::Format_MonoLSB) {
        decoded = decoded.convertToFormat(decoded.hasAlphaChannel() ? QImage::Format_ARGB32 : QImage::Format_BGR888);
    }
    QImage stored = normalized(std::move(decoded));
    if (stored.isNull())
        return Result::OutOfMemory;
    setImage(std::move(stored));
    return Result::Ok;
}

PAImage::Result PAImage::loadFromFile(const QString& path)
{
    m_cacheName = QFileInfo(path).fileName();
    m_sourcePath = path;
    setImage(QImage());
    return decode(path, 0);
}

PAImage::Result PAImage::reload()
{
    if (isLoaded() || m_pinned)
        return Result::Ok;
    if (m_sourcePath.isEmpty())
        return Result::GenericFailure;
    // The picture keeps its name: two pictures of the same file name are
    // stored under different names in a package.
    const QString name = m_cacheName;
    const Result result = loadFromFile(m_sourcePath);
    if (!name.isEmpty())
        m_cacheName = name;
    return result;
}

bool PAImage::unload()
{
    if (m_pinned || m_sourcePath.isEmpty() || !isLoaded())
        return false;
    setImage(QImage());
    return true;
}

PAImage::Result PAImage::loadReduced()
{
    if (isLoaded())
        return Result::Ok;
    if (m_sourcePath.isEmpty())
        return Result::GenericFailure;
    return decode(m_sourcePath, 1);
}

// ---------------------------------------------------------------------------
// Making pictures

bool PAImage::create(int width, int height, int bitsPerPixel, bool withAlpha)
{
    if (width <= 0 || height <= 0 || qint64(width) * qint64(height) > kMaxPixels) {
        setImage(QImage());
        return false;
    }
    QImage image;
    switch (bitsPerPixel) {
    case 8: {
        image = QImage(width, height, QImage::Format_Indexed8);
        QList<QRgb> grey(256);
        for (int i = 0; i < 256; ++i)
            grey[i] = qRgb(i, i, i);
        image.setColorTable(grey);
        break;
    }
    case 24:
        image = QImage(width, height, QImage::Format_BGR888);
        break;
    case 32:
        image = QImage(width, height, withAlpha ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
        break;
    default:
        setImage(QImage());
        return false;
    }
    if (image.isNull()) {
        setImage(QImage());
        return false;
    }
    if (image.format() == QImage::Format_RGB32)
        image.fill(0xFF000000u);
    else
        std::memset(image.bits(), 0, size_t(image.sizeInBytes()));
    setImage(std::move(image));
    return true;
}

RefPtr<PAImage> PAImage::copy(int bitsPerPixel) const
{
    RefPtr<PAImage> result(new PAImage());
    if (!m_sourcePath.isEmpty() && bitsPerPixel != -1) {
        if (ok(result->loadFromFile(m_sourcePath)))
            return result;
        // The file is gone: copy what is in memory instead.
        result->m_cacheName = m_cacheName;
        result->m_sourcePath = m_sourcePath;
    }
    if (!isLoaded())
        return result;
    QImage pixels = m_image.copy();
    int bits = bitsPerPixel;
    if (bits == -1 || bits == 0)
        bits = std::max(this->bitsPerPixel(), bits == 0 ? 24 : 8);
    if (bits == this->bitsPerPixel()) {
        result->setImage(std::move(pixels));
    } else if (bits == 24) {
        result->setImage(pixels.convertToFormat(QImage::Format_BGR888));
    } else if (bits == 32) {
        result->setImage(normalized(
            pixels.convertToFormat(pixels.hasAlphaChannel() ? QImage::Format_ARGB32 : QImage::Format_RGB32)));
    } else if (bits == 8) {
        result->setImage(pixels.convertToFormat(QImage::Format_Indexed8));
    }
    return result;
}

RefPtr<PAImage> PAImage::scaledCopy(int width, int height) const
{
    if (!isLoaded())
        return RefPtr<PAImage>();
    if (width == this->width() && height == this->height())
        return copy(0);
    RefPtr<PAImage> result(new PAImage());
    const int bits = std::max(24, bitsPerPixel());
    if (!result->create(width, height, bits, hasAlpha()))
        return RefPtr<PAImage>();
    GraphicsParams params;
    params.width = float(width);
    params.height = float(height);
    params.clearValue = 0;
    std::unique_ptr<CAGGraphics> context = CreateGraphicsContext(params);
    if (context) {
        // Palette pictures are not drawn: draw a full-colour copy of them.
        const RefPtr<PAImage> drawable = bitsPerPixel() == 8 ? copy(0) : RefPtr<PAImage>();
        context->DrawImage(drawable ? *drawable : *this, Rect(0.0f, 0.0f, float(width), float(height)));
        const QImage drawn = context->image();
        if (bits == 32 && hasAlpha())
            result->setImage(drawn.copy());
        else
            result->setImage(drawn.convertToFormat(bits == 24 ? QImage::Format_BGR888 : QImage::Format_RGB32));
    } else {
        result->setImage(normalized(
            m_image.scaled(width, height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)));
    }
    return result;
}

// ---------------------------------------------------------------------------
// Saving

QImage PAImage::toStraightImage() const
{
    switch (m_image.format()) {
    case QImage::Format_ARGB32_Premultiplied:
        return unpremultiplied(m_image);
    case QImage::Format_BGR888:
        return m_image.convertToFormat(QImage::Format_RGB888);
    default:
        return m_image;
    }
}

QImage PAImage::encodableImage(const QByteArray& format) const
{
    // TIFF stores premultiplied ("associated") alpha as such, so our bytes go
    // in unchanged and read back exactly; other formats get straight alpha.
    if (format == "tiff" && hasAlpha())
        return m_image;
    return toStraightImage();
}

PAImage::Result PAImage::saveToFile(const QString& path, float dotsPerInch, int jpegQuality) const
{
    if (!isLoaded())
        return Result::GenericFailure;
    const QByteArray format = encoderFormat(path);
    if (!format.isEmpty()) {
        QImage image = encodableImage(format);
        if (std::isfinite(dotsPerInch) && dotsPerInch > 0.0f && dotsPerInch < 1.0e6f) {
            const int dotsPerMeter = int(std::lround(double(dotsPerInch) / 0.0254));
            image.setDotsPerMeterX(dotsPerMeter);
            image.setDotsPerMeterY(dotsPerMeter);
        }
        const bool jpg = QFileInfo(path).suffix().compare(QLatin1String("jpg"), Qt::CaseInsensitive) == 0;
        if (writeImage(image, path, format, jpg ? jpegQuality : -1))
            return Result::Ok;
    }
    return save(path);
}

PAImage::Result PAImage::save(const QString& path) const
{
    if (!isLoaded())
        return Result::GenericFailure;
    const QByteArray format = encoderFormat(path);
    if (format.isEmpty())
        return Result::GenericFailure;
    return writeImage(encodableImage(format), path, format, -1) ? Result::Ok : Result::GenericFailure;
}

// ---------------------------------------------------------------------------
// Pixel operations

void PAImage::flipVertically()
{
    if (isLoaded())
        m_image.mirror(false, true);
}

void PAImage::premultiplyAlpha()
{
    if (bitsPerPixel() != 32 || !hasAlpha())
        return;
    premultiplyInPlace(m_image);
}

void PAImage::fill(PackedColor color)
{
    const unsigned a = colorAlpha(color);
    switch (bitsPerPixel()) {
    case 24:
        m_image.fill(QColor(colorRed(color), colorGreen(color), colorBlue(color)));
        break;
    case 32:
        if (hasAlpha())
            m_image.fill(QRgb((a << 24) | ((colorRed(color) * a / 255) << 16) | ((colorGreen(color) * a / 255) << 8)
                              | (colorBlue(color) * a / 255)));
        else
            m_image.fill(QRgb(color | 0xFF000000u));
        break;
    default:
        break;
    }
}

void PAImage::clear(std::uint8_t grey, std::uint8_t alpha)
{
    switch (bitsPerPixel()) {
    case 24:
        std::memset(m_image.bits(), grey, size_t(m_image.sizeInBytes()));
        break;
    case 32: {
        const unsigned a = hasAlpha() ? alpha : 255u;
        const unsigned g = unsigned(grey) * a / 255;
        m_image.fill(QRgb((a << 24) | (g << 16) | (g << 8) | g));
        break;
    }
    default:
        break;
    }
}

void PAImage::setAlphaForColor(PackedColor key, std::uint8_t alpha)
{
    if (bitsPerPixel() != 24 && bitsPerPixel() != 32)
        return;
    QImage result(m_image.width(), m_image.height(), QImage::Format_ARGB32_Premultiplied);
    if (result.isNull())
        return;
    const bool source24 = bitsPerPixel() == 24;
    const std::uint8_t kb = colorBlue(key), kg = colorGreen(key), kr = colorRed(key);
    for (int y = 0; y < m_image.height(); ++y) {
        const std::uint8_t* in = m_image.constScanLine(y);
        std::uint8_t* out = result.scanLine(y);
        for (int x = 0; x < m_image.width(); ++x, out += 4) {
            const std::uint8_t b = in[0], g = in[1], r = in[2];
            in += source24 ? 3 : 4;
            const bool keyed = b == kb && g == kg && r == kr;
            const unsigned a = keyed ? alpha : 255u;
            out[0] = std::uint8_t(b * a / 255);
            out[1] = std::uint8_t(g * a / 255);
            out[2] = std::uint8_t(r * a / 255);
            out[3] = std::uint8_t(a);
        }
    }
    setImage(std::move(result));
}

QPainter* PAImage::acquireSurface()
{
    if (!isLoaded() || m_image.format() == QImage::Format_Indexed8)
        return nullptr;
    if (m_surfaceCount++ == 0)
        m_painter = std::make_unique<QPainter>(&m_image);
    return m_painter.get();
}

void PAImage::releaseSurface()
{
    if (m_surfaceCount <= 0)
        return;
    if (--m_surfaceCount == 0)
        m_painter.reset();
}

// ---------------------------------------------------------------------------
// Resource pictures

PAImage* PAImage::placeholderPicture()
{
    static PAImage* placeholder = [] {
        auto* picture = new PAImage();
        picture->create(128, 128, 24, false);
        picture->setPinned(true);
        picture->retain();
        return picture;
    }();
    return placeholder;
}

PAImage* PAImage::resourcePicture(const QString& name)
{
    // Kept for the life of the process; never destroyed, so no exit-time
    // teardown order can reach a picture after it is gone.
    static auto& pictures = *new std::map<QString, PAImage*>;
    const auto found = pictures.find(name);
    if (found != pictures.end())
        return found->second;
    auto* picture = new PAImage();
    if (!name.isEmpty() && ok(picture->loadFromFile(resourcePath(name, QStringLiteral("Images"))))) {
        picture->setPinned(true);
        picture->retain();
        pictures.emplace(name, picture);
        return picture;
    }
    delete picture;
    return placeholderPicture();
}

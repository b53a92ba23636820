#include "CAGGraphics.h"
#include "GifTransparencyScanner.h"
#include "PAImage.h"
#include "Resources.h"
#include "TestEnvironment.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QImageWriter>
#include <QPainter>
#include <QRegularExpression>

#include <cstring>
#include <vector>

namespace {

// A minimal GIF writer: a 4-colour global palette, optional graphic control
// blocks, LZW data with a clear code every two pixels so all codes stay 3 bits.
struct GifFrame
{
    int transparentIndex = -1;  // -1: no graphic control block
    std::vector<int> indices;
};

QByteArray lzwData(const std::vector<int>& indices)
{
    std::vector<int> codes;
    for (size_t i = 0; i < indices.size(); i += 2) {
        codes.push_back(4);  // clear
        codes.push_back(indices[i]);
        if (i + 1 < indices.size())
            codes.push_back(indices[i + 1]);
    }
    codes.push_back(5);  // end of information
    QByteArray bytes;
    unsigned buffer = 0;
    int bits = 0;
    for (int code : codes) {
        buffer |= unsigned(code) << bits;
        bits += 3;
        while (bits >= 8) {
            bytes.append(char(buffer & 0xFF));
            buffer >>= 8;
            bits -= 8;
        }
    }
    if (bits > 0)
        bytes.append(char(buffer & 0xFF));
    QByteArray blocks;
    for (qsizetype i = 0; i < bytes.size(); i += 255) {
        const QByteArray part = bytes.mid(i, 255);
        blocks.append(char(part.size()));
        blocks.append(part);
    }
    blocks.append(char(0));
    return blocks;
}

QByteArray makeGif(int width, int height, const QList<QRgb>& palette, const std::vector<GifFrame>& frames)
{
    QByteArray gif("GIF89a");
    const auto le16 = [&gif](int v) {
        gif.append(char(v & 0xFF));
        gif.append(char(v >> 8));
    };
    le16(width);
    le16(height);
    gif.append(char(0x91));  // global table of 4 entries
    gif.append(char(0));
    gif.append(char(0));
    for (int i = 0; i < 4; ++i) {
        gif.append(char(qRed(palette[i])));
        gif.append(char(qGreen(palette[i])));
        gif.append(char(qBlue(palette[i])));
    }
    for (const GifFrame& frame : frames) {
        if (frame.transparentIndex >= 0)
            gif.append(QByteArray::fromHex("21f904010000") + char(frame.transparentIndex) + char(0));
        gif.append(char(0x2C));
        le16(0);
        le16(0);
        le16(width);
        le16(height);
        gif.append(char(0));
        gif.append(char(2));  // minimum code size
        gif.append(lzwData(frame.indices));
    }
    gif.append(char(0x3B));
    return gif;
}

QString writeFile(const QString& folder, const QString& name, const QByteArray& bytes)
{
    const QString path = folder + QLatin1Char('/') + name;
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    return path;
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

quint32 storedPixel(const PAImage& picture, int x, int y)
{
    quint32 value = 0;
    std::memcpy(&value, picture.scanLine(y) + x * 4, 4);
    return value;
}

// A picture with every kind of pixel: opaque, translucent and transparent.
QImage translucentPicture()
{
    QImage image(32, 8, QImage::Format_ARGB32);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 32; ++x)
            image.setPixel(x, y, qRgba((x * 37) % 256, (y * 61 + x) % 256, (x * y * 7) % 256,
                                       y == 0 ? 255 : (x * 8 + y) % 256));
    return image;
}

const QList<QRgb> kPalette = {qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255), qRgb(250, 250, 250)};

} // namespace

TEST(PictureFiles, SupportedExtensions)
{
    struct Case
    {
        const char* name;
        bool supported;
    };
    const Case cases[] = {{"photo.JPG", true}, {"photo.jpg", true}, {"a.jpeg", true}, {"a.Jpe", true},
                          {"a.jfif", true},    {"a.gif", true},     {"a.TIFF", true}, {"a.tif", true},
                          {"a.png", true},     {"a.bmp", true},     {"photo.bmp.txt", false},
                          {"a.webp", false},   {"png", false},      {"", false}};
    for (const Case& c : cases)
        EXPECT_EQ(PAImage::isSupportedPictureFile(QString::fromLatin1(c.name)), c.supported) << c.name;
}

TEST(PictureNames, MemoryFileAndCopiedNames)
{
    const PAImage memory;
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^Image_\\d+\\.tif$")).match(memory.cacheName()).hasMatch())
        << memory.cacheName().toStdString();
    const PAImage copied(QStringLiteral("/somewhere/Holiday.JPG"), true);
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^Image_\\d+\\.JPG$")).match(copied.cacheName()).hasMatch())
        << copied.cacheName().toStdString();
    EXPECT_EQ(copied.sourcePath(), QStringLiteral("/somewhere/Holiday.JPG"));
    const PAImage referenced(QStringLiteral("/somewhere/Holiday.JPG"), false);
    EXPECT_EQ(referenced.cacheName(), QStringLiteral("Holiday.JPG"));
    EXPECT_FALSE(referenced.isLoaded());
}

TEST(PictureDecoding, PngIsPremultipliedOnLoad)
{
    const QString folder = TestEnvironment::makeTempFolder(QStringLiteral("png-"));
    QImage image(2, 1, QImage::Format_ARGB32);
    image.setPixel(0, 0, qRgba(200, 100, 50, 128));
    image.setPixel(1, 0, qRgba(200, 100, 50, 255));
    ASSERT_TRUE(image.save(folder + QStringLiteral("/p.png")));
    PAImage picture;
    ASSERT_TRUE(PAImage::ok(picture.loadFromFile(folder + QStringLiteral("/p.png"))));
    EXPECT_EQ(picture.bitsPerPixel(), 32);
    EXPECT_TRUE(picture.hasAlpha());
    EXPECT_EQ(storedPixel(picture, 0, 0), 0x80643219u);  // (100, 50, 25, 128)
    EXPECT_EQ(storedPixel(picture, 1, 0), 0xFFC86432u);
    EXPECT_EQ(picture.cacheName(), QStringLiteral("p.png"));
}

TEST(PictureDecoding, SaveAndLoadCyclesDoNotDrift)
{
    const QString folder = TestEnvironment::makeTempFolder(QStringLiteral("cycle-"));
    const QImage original = translucentPicture();
    for (const char* name : {"c.png", "c.tif"}) {
        SCOPED_TRACE(name);
        const QString path = folder + QLatin1Char('/') + QString::fromLatin1(name);
        PAImage memory(original);
        ASSERT_TRUE(PAImage::ok(memory.saveToFile(path, 72.0f, 90)));
        const QByteArray firstBytes = readFile(path);

        PAImage loaded;
        ASSERT_TRUE(PAImage::ok(loaded.loadFromFile(path)));
        ASSERT_EQ(loaded.size(), memory.size());
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 32; ++x)
                ASSERT_EQ(storedPixel(loaded, x, y), storedPixel(memory, x, y)) << x << ", " << y;
        ASSERT_TRUE(PAImage::ok(loaded.saveToFile(path, 72.0f, 90)));
        EXPECT_EQ(readFile(path), firstBytes);

        // What other programs read: alpha and opaque pixels exact, colours within the rounding.
        const QImage file = QImage(path).convertToFormat(QImage::Format_ARGB32);
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 32; ++x) {
                const QRgb a = original.pixel(x, y), b = file.pixel(x, y);
                ASSERT_EQ(qAlpha(a), qAlpha(b));
                if (qAlpha(a) == 0)
                    continue;
                const int slack = qAlpha(a) == 255 ? 0 : 255 / qAlpha(a) + 1;
                ASSERT_LE(std::abs(qRed(a) - qRed(b)), slack) << x << ", " << y;
                ASSERT_LE(std::abs(qBlue(a) - qBlue(b)), slack) << x << ", " << y;
            }
    }
}

TEST(PictureDecoding, GifTransparencyFromTheFirstFrame)
{
    const QString folder = TestEnvironment::makeTempFolder(QStringLiteral("gif-"));
    const std::vector<int> indices = {0, 1, 2, 3, 3, 2, 1, 0, 0, 0, 3, 3, 1, 1, 2, 2};
    const QString path = writeFile(folder, QStringLiteral("t.gif"),
                                   makeGif(4, 4, kPalette, {{3, indices}, {1, indices}}));
    PAImage picture;
    ASSERT_TRUE(PAImage::ok(picture.loadFromFile(path)));
    EXPECT_EQ(picture.bitsPerPixel(), 32);
    ASSERT_TRUE(picture.hasAlpha());
    for (int i = 0; i < 16; ++i) {
        const quint32 pixel = storedPixel(picture, i % 4, i / 4);
        if (indices[size_t(i)] == 3)
            EXPECT_EQ(pixel, 0u) << i;  // transparent, and no stray colour
        else
            EXPECT_EQ(pixel >> 24, 255u) << i;
    }
    EXPECT_EQ(storedPixel(picture, 0, 0), 0xFFFF0000u);
}

TEST(PictureDecoding, GifWithoutTransparencyIsDrawableAndOpaque)
{
    const QString folder = TestEnvironment::makeTempFolder(QStringLiteral("gif-"));
    const QString path = writeFile(folder, QStringLiteral("o.GIF"),
                                   makeGif(2, 2, kPalette, {{-1, {0, 1, 2, 3}}}));
    PAImage picture;
    ASSERT_TRUE(PAImage::ok(picture.loadFromFile(path)));
    EXPECT_GE(picture.bitsPerPixel(), 24);
    EXPECT_FALSE(picture.hasAlpha());
    EXPECT_EQ(picture.scanLine(0)[2], 255);  // red of the first pixel
    auto context = CreateGraphicsContext(GraphicsParams{2, 2, 1, 1, 32, 0});
    context->DrawImage(picture, Rect(0, 0, 2, 2));
    EXPECT_EQ(context->copyImage().pixel(0, 0), 0xFFFF0000u);
}

TEST(PictureDecoding, GifScanRefusesOtherDataAndStopsAtTheEnd)
{
    const QByteArray gif = makeGif(2, 2, kPalette, {{2, {0, 1, 2, 3}}});
    EXPECT_EQ(GifTransparencyScanner::transparentIndex(gif), 2);
    for (qsizetype length = 0; length < gif.size(); ++length)
        GifTransparencyScanner::transparentIndex(gif.left(length));  // no overrun
    EXPECT_EQ(GifTransparencyScanner::transparentIndex(QByteArray("\x89PNG\r\n\x1a\n") + gif.mid(6)), -1);
    // A sub-block length running past the end stops the scan.
    QByteArray broken = gif.left(6 + 7 + 12) + QByteArray::fromHex("21fe" "ff" "0102");
    EXPECT_EQ(GifTransparencyScanner::transparentIndex(broken), -1);
}

TEST(PictureDecoding, HugePictureIsRefusedBeforeDecoding)
{
    // A PNG header announcing 60000 x 60000 RGBA pixels, with no data behind it.
    const auto chunk = [](const char* type, const QByteArray& data) {
        QByteArray body = QByteArray(type) + data;
        quint32 crc = 0xFFFFFFFFu;
        for (char ch : body) {
            crc ^= quint8(ch);
            for (int k = 0; k < 8; ++k)
                crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
        }
        crc ^= 0xFFFFFFFFu;
        QByteArray out;
        const quint32 length = quint32(data.size());
        for (int shift = 24; shift >= 0; shift -= 8)
            out.append(char((length >> shift) & 0xFF));
        out.append(body);
        for (int shift = 24; shift >= 0; shift -= 8)
            out.append(char((crc >> shift) & 0xFF));
        return out;
    };
    const QByteArray header = QByteArray::fromHex("0000ea600000ea60" "0806000000");
    const QByteArray png = QByteArray::fromHex("89504e470d0a1a0a") + chunk("IHDR", header)
        + chunk("IDAT", QByteArray::fromHex("789c030000000001")) + chunk("IEND", QByteArray());
    const QString folder = TestEnvironment::makeTempFolder(QStringLiteral("huge-"));
    const QString path = writeFile(folder, QStringLiteral("huge.png"), png);
    ASSERT_EQ(QImageReader(path).size(), QSize(60000, 60000));
    PAImage picture;
    EXPECT_EQ(picture.loadFromFile(path), PAImage::Result::OutOfMemory);
    EXPECT_FALSE(picture.isLoaded());
    EXPECT_EQ(picture.width(), 0);
}

TEST(PictureDecoding, HundredMegapixelPhotographLoads)
{
    const QString folder = TestEnvironment::makeTempFolder(QStringLiteral("big-"));
    const QString path = folder + QStringLiteral("/big.png");
    {
        QImage big(10000, 10000, QImage::Format_Grayscale8);
        big.fill(90);
        QImageWriter writer(path);
        writer.setCompression(1);
        ASSERT_TRUE(writer.write(big));
    }
    PAImage picture;
    ASSERT_TRUE(PAImage::ok(picture.loadFromFile(path)));
    EXPECT_EQ(picture.size(), (Size{10000, 10000}));
    EXPECT_EQ(picture.bitsPerPixel(), 24);
    EXPECT_EQ(picture.scanLine(9999)[0], 90);
}

TEST(PictureDecoding, FailedDecodeLeavesThePictureUnloaded)
{
    const QString folder = TestEnvironment::makeTempFolder(QStringLiteral("bad-"));
    const QString path = writeFile(folder, QStringLiteral("bad.jpg"), QByteArray("not a picture"));
    PAImage picture;
    EXPECT_EQ(picture.loadFromFile(path), PAImage::Result::GenericFailure);
    EXPECT_FALSE(picture.isLoaded());
    EXPECT_EQ(picture.bitsPerPixel(), 0);
    EXPECT_EQ(picture.loadFromFile(folder + QStringLiteral("/missing.png")), PAImage::Result::GenericFailure);
}

TEST(PictureLifecycle, UnloadAndReloadKeepNamesAndPixels)
{
    const QString folder = TestEnvironment::makeTempFolder(QStringLiteral("reload-"));
    const QString path = folder + QStringLiteral("/r.png");
    ASSERT_TRUE(translucentPicture().save(path));
    PAImage picture;
    ASSERT_TRUE(PAImage::ok(picture.loadFromFile(path)));
    const QImage before = picture.image().copy();
    EXPECT_TRUE(picture.unload());
    EXPECT_FALSE(picture.isLoaded());
    EXPECT_EQ(picture.width(), 0);
    EXPECT_FALSE(picture.unload());
    EXPECT_TRUE(PAImage::ok(picture.reload()));
    EXPECT_EQ(picture.image(), before);
    EXPECT_EQ(picture.cacheName(), QStringLiteral("r.png"));

    picture.setPinned(true);
    EXPECT_FALSE(picture.unload());
    PAImage memory(translucentPicture());
    EXPECT_FALSE(memory.unload());
    EXPECT_TRUE(PAImage::ok(memory.reload()));
}

// A package may hold two files called "photo.png" under names of their own:
// decoding one again must not give it back the file's name.
TEST(PictureLifecycle, ReloadKeepsANameGivenBefore)
{
    const QString folder = TestEnvironment::makeTempFolder(QStringLiteral("reload-named-"));
    const QString path = folder + QStringLiteral("/photo.png");
    ASSERT_TRUE(translucentPicture().save(path));
    PAImage copied(path, true);
    const QString packageName = copied.cacheName();
    ASSERT_NE(packageName, QStringLiteral("photo.png"));
    ASSERT_TRUE(PAImage::ok(copied.reload()));
    EXPECT_TRUE(copied.unload());
    ASSERT_TRUE(PAImage::ok(copied.reload()));
    EXPECT_EQ(copied.cacheName(), packageName);

    PAImage renamed(path, false);
    renamed.setCacheName(QStringLiteral("photo-2.png"));
    ASSERT_TRUE(PAImage::ok(renamed.reload()));
    EXPECT_EQ(renamed.cacheName(), QStringLiteral("photo-2.png"));
}

TEST(PictureLifecycle, LoadReducedSizes)
{
    const QString folder = TestEnvironment::makeTempFolder(QStringLiteral("reduced-"));
    struct Case
    {
        int width, height, reducedWidth, reducedHeight;
        const char* name;
    };
    for (const Case c : {Case{2000, 1000, 450, 225, "wide.jpg"}, Case{300, 200, 192, 128, "small.png"}}) {
        QImage image(c.width, c.height, QImage::Format_RGB32);
        image.fill(QColor(10, 120, 200));
        const QString path = folder + QLatin1Char('/') + QString::fromLatin1(c.name);
        ASSERT_TRUE(image.save(path));
        PAImage picture(path, false);
        ASSERT_TRUE(PAImage::ok(picture.loadReduced()));
        EXPECT_EQ(picture.width(), c.reducedWidth) << c.name;
        EXPECT_EQ(picture.height(), c.reducedHeight) << c.name;
    }
}

TEST(PictureSaving, QualityOnlyForDotJpgAndResolution)
{
    const QString folder = TestEnvironment::makeTempFolder(QStringLiteral("save-"));
    QImage noise(64, 64, QImage::Format_RGB32);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x)
            noise.setPixel(x, y, qRgb((x * 97 + y * 13) % 256, (x * y) % 256, (x * 7 + y * 31) % 256));
    const PAImage picture(noise);
    const auto sizeOf = [&](const QString& name, int quality) {
        const QString path = folder + QLatin1Char('/') + name;
        EXPECT_TRUE(PAImage::ok(picture.saveToFile(path, 150.0f, quality)));
        return readFile(path).size();
    };
    EXPECT_LT(sizeOf(QStringLiteral("low.jpg"), 5), sizeOf(QStringLiteral("high.jpg"), 95));
    EXPECT_EQ(sizeOf(QStringLiteral("low.jpeg"), 5), sizeOf(QStringLiteral("high.jpeg"), 95));

    ASSERT_TRUE(PAImage::ok(picture.saveToFile(folder + QStringLiteral("/dpi.png"), 300.0f, 0)));
    const QImage read(folder + QStringLiteral("/dpi.png"));
    EXPECT_NEAR(read.dotsPerMeterX() * 0.0254, 300.0, 0.5);
}

TEST(PictureSaving, FailedSaveKeepsTheExistingFile)
{
    const QString folder = TestEnvironment::makeTempFolder(QStringLiteral("keep-"));
    const PAImage picture(translucentPicture());
    for (const char* name : {"old.gif", "old.xyz"}) {
        const QString path = writeFile(folder, QString::fromLatin1(name), QByteArray("precious"));
        EXPECT_FALSE(PAImage::ok(picture.saveToFile(path, 72.0f, 80)));
        EXPECT_EQ(readFile(path), QByteArray("precious"));
    }
    PAImage unloaded;
    EXPECT_FALSE(PAImage::ok(unloaded.save(folder + QStringLiteral("/none.png"))));
}

TEST(PicturePixels, CopiesAndScaledCopies)
{
    PAImage grey;
    ASSERT_TRUE(grey.create(3, 2, 8, false));
    grey.image().fill(200);
    EXPECT_EQ(grey.copy(-1)->bitsPerPixel(), 8);
    EXPECT_EQ(grey.copy(0)->bitsPerPixel(), 24);
    const RefPtr<PAImage> greyScaled = grey.scaledCopy(6, 4);
    ASSERT_TRUE(greyScaled);
    EXPECT_EQ(greyScaled->bitsPerPixel(), 24);
    EXPECT_EQ(greyScaled->scanLine(2)[3], 200);

    const PAImage picture(translucentPicture());
    const RefPtr<PAImage> same = picture.copy(0);
    EXPECT_TRUE(same->hasAlpha());
    EXPECT_EQ(same->image(), picture.image());
    EXPECT_EQ(picture.copy(24)->bitsPerPixel(), 24);

    const RefPtr<PAImage> half = picture.scaledCopy(16, 4);
    ASSERT_TRUE(half);
    EXPECT_EQ(half->size(), (Size{16, 4}));
    EXPECT_TRUE(half->hasAlpha());
    EXPECT_FALSE(picture.scaledCopy(0, 4));
    EXPECT_FALSE(picture.scaledCopy(-5, 4));
}

TEST(PicturePixels, FlipFillClearAndKeying)
{
    PAImage picture;
    ASSERT_TRUE(picture.create(2, 3, 24, false));
    picture.fill(packColor(10, 20, 30));
    EXPECT_EQ(picture.scanLine(2)[0], 30);
    picture.scanLine(0)[0] = 99;
    picture.flipVertically();
    EXPECT_EQ(picture.scanLine(2)[0], 99);
    EXPECT_EQ(picture.scanLine(0)[0], 30);

    picture.setAlphaForColor(packColor(10, 20, 30), 0);
    ASSERT_TRUE(picture.hasAlpha());
    EXPECT_EQ(storedPixel(picture, 1, 1), 0u);            // keyed out: no stray colour
    EXPECT_EQ(storedPixel(picture, 0, 2) >> 24, 255u);    // the changed pixel stays opaque
    EXPECT_EQ(storedPixel(picture, 0, 2) & 0xFF, 99u);

    PAImage alpha;
    ASSERT_TRUE(alpha.create(2, 2, 32, true));
    alpha.clear(200, 128);
    EXPECT_EQ(storedPixel(alpha, 0, 0), 0x80646464u);
    alpha.fill(0x80FF0000u);
    EXPECT_EQ(storedPixel(alpha, 1, 1), 0x80800000u);

    PAImage opaque;
    ASSERT_TRUE(opaque.create(2, 2, 32, false));
    EXPECT_EQ(storedPixel(opaque, 0, 0), 0xFF000000u);
    EXPECT_FALSE(opaque.create(0, 2, 32, false));
    EXPECT_FALSE(opaque.isLoaded());
}

TEST(PicturePixels, SurfacePairsNest)
{
    PAImage picture;
    ASSERT_TRUE(picture.create(4, 4, 32, true));
    QPainter* first = picture.acquireSurface();
    QPainter* second = picture.acquireSurface();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first, second);
    first->fillRect(0, 0, 4, 4, Qt::red);
    picture.releaseSurface();
    picture.releaseSurface();
    picture.releaseSurface();  // one too many: ignored
    EXPECT_EQ(storedPixel(picture, 2, 2), 0xFFFF0000u);
}

TEST(ResourcePictures, SharedPinnedAndThePlaceholder)
{
    const QString root = TestEnvironment::makeTempFolder(QStringLiteral("resources-"));
    QDir(root).mkpath(QStringLiteral("Images"));
    QImage icon(8, 6, QImage::Format_ARGB32);
    icon.fill(QColor(0, 200, 0, 100));
    ASSERT_TRUE(icon.save(root + QStringLiteral("/Images/icon.png")));
    setResourceRoot(root);

    PAImage* found = PAImage::resourcePicture(QStringLiteral("icon.png"));
    EXPECT_EQ(found, PAImage::resourcePicture(QStringLiteral("icon.png")));
    EXPECT_TRUE(found->isPinned());
    EXPECT_EQ(found->size(), (Size{8, 6}));
    EXPECT_FALSE(found->unload());

    PAImage* missing = PAImage::resourcePicture(QStringLiteral("missing.png"));
    EXPECT_EQ(missing, PAImage::resourcePicture(QStringLiteral("other-missing.png")));
    EXPECT_EQ(missing, PAImage::placeholderPicture());
    EXPECT_EQ(missing->size(), (Size{128, 128}));
    EXPECT_EQ(missing->bitsPerPixel(), 24);
    EXPECT_TRUE(missing->isPinned());
    EXPECT_EQ(missing->scanLine(64)[64], 0);

    // A missing name is tried again: once the file exists it is found.
    ASSERT_TRUE(icon.save(root + QStringLiteral("/Images/missing.png")));
    EXPECT_NE(PAImage::resourcePicture(QStringLiteral("missing.png")), missing);
    setResourceRoot(QString());
}

TEST(ResourcePictures, UnsupportedFormatArtworkShips)
{
    setResourceRoot(QString());
    PAImage* picture = PAImage::resourcePicture(QStringLiteral("exclamation_mark_unsupported_format.png"));
    ASSERT_NE(picture, PAImage::placeholderPicture());
    EXPECT_EQ(picture->size(), (Size{128, 128}));
    EXPECT_TRUE(picture->hasAlpha());
    EXPECT_EQ(storedPixel(*picture, 0, 0) >> 24, 0u);     // transparent margin
    EXPECT_EQ(storedPixel(*picture, 64, 70) >> 24, 255u);  // the mark
}

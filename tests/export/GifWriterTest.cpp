#include "ColorQuantizer.h"
#include "GifWriter.h"

#include "TestEnvironment.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QPainter>

#include <gtest/gtest.h>

namespace {

QImage readBack(const QByteArray& gif)
{
    QBuffer buffer;
    buffer.setData(gif);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "gif");
    return reader.read().convertToFormat(QImage::Format_ARGB32);
}

// A smooth photograph-like picture: gradients in every channel.
QImage gradientPicture(int width, int height)
{
    QImage image(width, height, QImage::Format_ARGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, qRgb(x * 255 / (width - 1), y * 255 / (height - 1), (x + y) * 255 / (width + height - 2)));
    return image;
}

double meanAbsoluteError(const QImage& a, const QImage& b)
{
    double total = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            total += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) + std::abs(qBlue(p) - qBlue(q));
        }
    return total / (3.0 * a.width() * a.height());
}

TEST(GifWriter, FewColoursSurviveExactly)
{
    QImage image(40, 30, QImage::Format_ARGB32);
    image.fill(qRgb(255, 255, 255));
    QPainter painter(&image);
    painter.fillRect(0, 0, 20, 15, QColor(200, 30, 30));
    painter.fillRect(20, 15, 20, 15, QColor(10, 40, 220));
    painter.end();
    const QImage back = readBack(GifWriter::encode(image));
    ASSERT_EQ(back.size(), image.size());
    // Colours land on 5-bit bin centres at worst: within 4 per channel, and flat areas stay flat.
    EXPECT_LE(meanAbsoluteError(back, image), 4.0);
    EXPECT_EQ(back.pixel(0, 0), back.pixel(19, 14));
    EXPECT_EQ(back.pixel(39, 0), back.pixel(0, 29));
}

TEST(GifWriter, GradientsAreDitheredCloseToTheOriginal)
{
    const QImage image = gradientPicture(256, 128);
    const QImage dithered = readBack(GifWriter::encode(image, true));
    const QImage banded = readBack(GifWriter::encode(image, false));
    ASSERT_EQ(dithered.size(), image.size());
    EXPECT_LT(meanAbsoluteError(dithered, image), 6.0);
    EXPECT_LT(meanAbsoluteError(banded, image), 8.0);
}

TEST(GifWriter, TransparentPixelsBecomeTheTransparentIndex)
{
    QImage image(16, 16, QImage::Format_ARGB32);
    image.fill(qRgba(0, 0, 0, 0));
    for (int y = 4; y < 12; ++y)
        for (int x = 4; x < 12; ++x)
            image.setPixel(x, y, qRgba(30, 160, 60, 255));
    image.setPixel(0, 0, qRgba(255, 0, 0, 127));  // just below half: transparent
    image.setPixel(15, 15, qRgba(255, 0, 0, 128)); // half: opaque

    const ColorQuantizer::Result q = ColorQuantizer::quantize(image);
    ASSERT_GE(q.transparentIndex, 0);
    EXPECT_EQ(q.indices[0], q.transparentIndex);
    EXPECT_NE(q.indices[16 * 15 + 15], q.transparentIndex);

    const QImage back = readBack(GifWriter::encode(image));
    EXPECT_EQ(qAlpha(back.pixel(0, 0)), 0);
    EXPECT_EQ(qAlpha(back.pixel(1, 1)), 0);
    EXPECT_EQ(qAlpha(back.pixel(8, 8)), 255);
    EXPECT_LE(std::abs(qGreen(back.pixel(8, 8)) - 160), 4);
    EXPECT_EQ(qAlpha(back.pixel(15, 15)), 255);
}

TEST(GifWriter, EdgeCasesAndAFailedWriteKeepsTheOldFile)
{
    EXPECT_TRUE(GifWriter::encode(QImage()).isEmpty());
    QImage single(1, 1, QImage::Format_RGB32);
    single.fill(qRgb(1, 2, 3));
    EXPECT_EQ(readBack(GifWriter::encode(single)).size(), QSize(1, 1));
    QImage clear(3, 3, QImage::Format_ARGB32);
    clear.fill(Qt::transparent);
    EXPECT_EQ(qAlpha(readBack(GifWriter::encode(clear)).pixel(1, 1)), 0) << "all transparent";

    const QString path = TestEnvironment::makeTempFolder("gif") + "/Page_1.gif";
    QFile old(path);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("old");
    old.close();
    EXPECT_FALSE(GifWriter::write(QImage(), path));
    QFile check(path);
    ASSERT_TRUE(check.open(QIODevice::ReadOnly));
    EXPECT_EQ(check.readAll(), "old");
    EXPECT_TRUE(GifWriter::write(single, path));
}

} // namespace

#include "FilterTestSupport.h"
#include "ReferenceFilters.h"

#include "PaneloraFilter.h"
#include "WorkingImage.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

namespace {

struct EncodeCase
{
    float value;
    int byte;
};

TEST(Pipeline, EncodesWorkingValuesToBytes)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    const EncodeCase cases[] = {
        {0.0f, 0}, {1.0f, 255}, {0.5f, 173}, // 0.5^(1/1.8) x 255 = 173.5, rounded down
        {-0.25f, 0}, {-inf, 0}, {1.5f, 255}, {inf, 255}, {nan, 0},
    };
    for (const EncodeCase& c : cases)
        EXPECT_EQ(encodeChannel(c.value), c.byte) << c.value;
}

TEST(Pipeline, DecodingTableRunsFromZeroToOne)
{
    const float* table = decodingTable();
    EXPECT_EQ(table[0], 0.0f);
    EXPECT_EQ(table[255], 1.0f);
    for (int i = 1; i < 256; ++i)
        EXPECT_LT(table[i - 1], table[i]);
    EXPECT_NEAR(table[128], std::pow(128.0 / 255.0, 1.8), 1e-7);
}

// The table-driven encoding must be the formula itself, also right at the
// edges between bytes.
TEST(Pipeline, EncodingMatchesTheFormulaEverywhere)
{
    std::mt19937 random(7);
    std::uniform_real_distribution<float> values(-0.1f, 1.1f);
    for (int i = 0; i < 200000; ++i) {
        const float v = values(random);
        ASSERT_EQ(encodeChannel(v), ReferenceFilters::encode(v)) << v;
    }
    for (int k = 1; k < 256; ++k) {
        // the exact value of each byte's lower edge and its float neighbours
        float low = 0.0f, high = 1.0f;
        for (int step = 0; step < 40; ++step) {
            const float middle = (low + high) / 2.0f;
            (ReferenceFilters::encode(middle) >= k ? high : low) = middle;
        }
        for (float v : {std::nextafter(high, 0.0f), high, std::nextafter(high, 2.0f)})
            ASSERT_EQ(encodeChannel(v), ReferenceFilters::encode(v)) << k << " " << v;
    }
}

TEST(Pipeline, RoundTripNeverRaisesAByte)
{
    const float* table = decodingTable();
    int lower = 0;
    for (int b = 0; b < 256; ++b) {
        const int back = encodeChannel(table[b]);
        EXPECT_LE(back, b);
        EXPECT_GE(back, b - 1);
        lower += back < b;
    }
    EXPECT_GT(lower, 128); // most bytes come back one lower
    EXPECT_EQ(encodeChannel(table[0]), 0);
    EXPECT_EQ(encodeChannel(table[1]), 0);
    EXPECT_EQ(encodeChannel(table[128]), 127);
    EXPECT_EQ(encodeChannel(table[254]), 253);
    EXPECT_EQ(encodeChannel(table[255]), 255);
}

TEST(Pipeline, NonePresetOnlyRoundTripsAndDropsAlpha)
{
    QImage picture(256, 3, QImage::Format_ARGB32);
    for (int x = 0; x < 256; ++x) {
        picture.setPixel(x, 0, qRgba(x, 255 - x, x / 2, 255));
        picture.setPixel(x, 1, qRgba(x, x, x, 255));
        picture.setPixel(x, 2, qRgba(255, 255, 255, 255));
    }
    const QImage result = applyPreset(QStringLiteral("None"), picture, false, false, 0);
    ASSERT_EQ(result.size(), picture.size());
    EXPECT_FALSE(result.hasAlphaChannel());
    const float* table = decodingTable();
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 256; ++x) {
            const QRgb in = picture.pixel(x, y), out = result.pixel(x, y);
            ASSERT_EQ(qRed(out), encodeChannel(table[qRed(in)]));
            ASSERT_EQ(qGreen(out), encodeChannel(table[qGreen(in)]));
            ASSERT_EQ(qBlue(out), encodeChannel(table[qBlue(in)]));
            ASSERT_EQ(qAlpha(out), 255);
        }
    // an unknown name is no preset at all: the same round trip
    EXPECT_EQ(applyPreset(QStringLiteral("No Such Look"), picture, false, false, 0), result);
}

// A 32-bit picture whose fourth byte is zero but that has no alpha channel
// is opaque: colorizing it (which composites over black by alpha) must not
// turn it black.
TEST(Pipeline, FourthByteOfAPictureWithoutAlphaIsNotTransparency)
{
    std::vector<quint32> bits(8 * 4, 0x00806040u); // alpha byte 0
    const QImage picture(reinterpret_cast<const uchar*>(bits.data()), 8, 4, 8 * 4, QImage::Format_RGB32);
    WorkingImage image;
    ASSERT_TRUE(workingImageFromPicture(picture, image));
    for (std::size_t i = 0; i < image.pixelCount(); ++i)
        ASSERT_EQ(image.pixels()[i].a, 1.0f);

    const QImage untinted = applyPreset(QStringLiteral("None"), picture, false, true, packColor(255, 0, 0, 0));
    EXPECT_LE(FilterTest::largestByteDifference(untinted, picture), 1);
}

TEST(Pipeline, PictureWithAlphaIsReadPremultiplied)
{
    QImage picture(2, 1, QImage::Format_ARGB32);
    picture.setPixel(0, 0, qRgba(200, 100, 50, 128));
    picture.setPixel(1, 0, qRgba(200, 100, 50, 0));
    WorkingImage image;
    ASSERT_TRUE(workingImageFromPicture(picture, image));
    const QRgb stored = picture.convertToFormat(QImage::Format_ARGB32_Premultiplied).pixel(0, 0);
    EXPECT_EQ(image.at(0, 0).r, decodingTable()[qRed(stored)]);
    EXPECT_FLOAT_EQ(image.at(0, 0).a, 128.0f / 255.0f);
    EXPECT_EQ(image.at(1, 0), (Quad{0, 0, 0, 0}));
}

TEST(Pipeline, NullPictureGivesNoPicture)
{
    EXPECT_TRUE(applyPreset(QStringLiteral("Comicify!"), QImage(), false, false, 0).isNull());
}

// Sizes are computed in size_t: a picture whose pixel count overflows 32 bits
// or exceeds memory is refused, never allocated short.
TEST(Pipeline, WorkingImageRefusesWhatItCannotHold)
{
    WorkingImage image;
    EXPECT_FALSE(image.allocate(65536, 65536)); // 2^32 pixels: 0 in 32 bits
    EXPECT_TRUE(image.isEmpty());
    EXPECT_FALSE(image.allocate(100000, 70000));
    EXPECT_FALSE(image.allocate(-1, 10));
    EXPECT_TRUE(image.allocate(0, 10));
    EXPECT_TRUE(image.isEmpty());
    EXPECT_TRUE(image.allocate(3, 2));
    EXPECT_EQ(image.pixelCount(), 6u);
    EXPECT_THROW(WorkingImage::create(70000, 70000), std::bad_alloc);
}

} // namespace

#include "PAImage.h"

namespace {

TEST(Pipeline, ProgramPicturesKeepTheirDepthAndLoseAlpha)
{
    const QImage card = FilterTest::testCard(30, 20);
    const RefPtr<PAImage> opaque(new PAImage(card.convertToFormat(QImage::Format_BGR888)));
    ASSERT_EQ(opaque->bitsPerPixel(), 24);
    const RefPtr<PAImage> filtered = applyPreset(QStringLiteral("Comicify!"), *opaque, true, false, 0);
    ASSERT_TRUE(filtered);
    EXPECT_EQ(filtered->bitsPerPixel(), 24);
    EXPECT_FALSE(filtered->hasAlpha());
    EXPECT_EQ(filtered->image().convertToFormat(QImage::Format_RGB32),
              applyPreset(QStringLiteral("Comicify!"), card, true, false, 0));

    QImage translucent = card.convertToFormat(QImage::Format_ARGB32);
    translucent.setPixel(3, 3, qRgba(255, 255, 255, 0));
    const RefPtr<PAImage> withAlpha(new PAImage(translucent));
    ASSERT_TRUE(withAlpha->hasAlpha());
    const RefPtr<PAImage> flattened = applyPreset(QStringLiteral("None"), *withAlpha, false, true, packColor(0, 0, 0, 0));
    ASSERT_TRUE(flattened);
    EXPECT_EQ(flattened->bitsPerPixel(), 32);
    EXPECT_FALSE(flattened->hasAlpha());
    EXPECT_EQ(flattened->image().pixel(3, 3), qRgb(0, 0, 0)); // composited over black
    EXPECT_NE(flattened->image().pixel(4, 3), qRgb(0, 0, 0));

    EXPECT_FALSE(applyPreset(QStringLiteral("Drawn"), PAImage(), false, false, 0));
}

} // namespace

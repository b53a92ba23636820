#include "FilterTestSupport.h"

#include "GaussianBlur.h"
#include "Texture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numeric>

namespace {

struct KernelCase
{
    float radius;
    int taps;
};

TEST(GaussianKernel, TapCountsAndWeights)
{
    const KernelCase cases[] = {{0.0f, 1}, {0.3f, 3}, {1.0f, 3}, {1.01f, 5}, {7.5f, 17}, {26.4f, 55},
                                {-2.0f, 1}, {std::numeric_limits<float>::quiet_NaN(), 1}};
    for (const KernelCase& c : cases) {
        const GaussianKernel kernel = gaussianKernel(c.radius);
        ASSERT_EQ(int(kernel.taps.size()), c.taps) << c.radius;
        EXPECT_EQ(kernel.halfWidth * 2 + 1, c.taps);
        EXPECT_NEAR(std::accumulate(kernel.taps.begin(), kernel.taps.end(), 0.0), 1.0, 1e-6) << c.radius;
        for (std::size_t i = 0; i < kernel.taps.size(); ++i)
            EXPECT_EQ(kernel.taps[i], kernel.taps[kernel.taps.size() - 1 - i]);
    }
    // sigma is a third of the radius: the outermost tap is exp(-4.5) of the centre
    const GaussianKernel wide = gaussianKernel(30.0f);
    EXPECT_NEAR(wide.taps.front() / wide.taps[30], std::exp(-4.5), 1e-3);
    // small radii: the centre weight is clamped to 1 before normalising
    const GaussianKernel narrow = gaussianKernel(0.3f);
    EXPECT_GT(narrow.taps[1], 0.999999f);
    EXPECT_GT(narrow.taps[0], 0.0f);
}

TEST(GaussianBlur, RadiusZeroOnlyTransposes)
{
    const WorkingImage image = FilterTest::noiseImage(5, 3, 1);
    WorkingImage out = WorkingImage::create(3, 5);
    gaussianBlur(image.pixels(), out.pixels(), 5, 3, 0.0f);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            ASSERT_EQ(out.at(y, x), image.at(x, y));
}

TEST(GaussianBlur, EdgeModes)
{
    const WorkingImage ones = FilterTest::flatImage(9, 1, Quad{1, 1, 1, 1});
    WorkingImage repeat = WorkingImage::create(1, 9), zero = WorkingImage::create(1, 9);
    gaussianBlur(ones.pixels(), repeat.pixels(), 9, 1, 3.0f, BlurEdge::Repeat);
    gaussianBlur(ones.pixels(), zero.pixels(), 9, 1, 3.0f, BlurEdge::Zero);
    for (int i = 0; i < 9; ++i)
        EXPECT_NEAR(repeat.pixels()[i].a, 1.0f, 1e-6f);
    EXPECT_LT(zero.pixels()[0].r, 0.8f);
    EXPECT_LT(zero.pixels()[0].r, zero.pixels()[4].r);
    EXPECT_NEAR(zero.pixels()[0].r, zero.pixels()[8].r, 1e-6f);
}

TEST(GaussianBlur, BlursAllFourChannelsAndKeepsAFlatImageFlat)
{
    WorkingImage image = FilterTest::flatImage(20, 13, Quad{0.25f, 0.5f, 0.75f, 0.6f});
    gaussianBlurImage(image.pixels(), 20, 13, 6.5f);
    EXPECT_LT(FilterTest::largestDifference(image, FilterTest::flatImage(20, 13, Quad{0.25f, 0.5f, 0.75f, 0.6f})), 1e-6f);

    WorkingImage dot = FilterTest::flatImage(9, 9, Quad{});
    dot.at(4, 4) = Quad{1, 1, 1, 1};
    gaussianBlurImage(dot.pixels(), 9, 9, 2.0f);
    EXPECT_GT(dot.at(3, 4).a, 0.0f);
    EXPECT_EQ(dot.at(3, 4).a, dot.at(3, 4).r);
    EXPECT_EQ(dot.at(4, 3).r, dot.at(3, 4).r); // the same both ways
}

struct AreaCase
{
    float x0, y0, x1, y1;
    float weight;
    float sum; // over the texture whose sample at (c, r) is c + 10 r
};

TEST(Texture, AreaSum)
{
    Texture<float> texture(4, 3);
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 4; ++c)
            texture.samples()[r * 4 + c] = float(c + 10 * r);
    const AreaCase cases[] = {
        {0.5f, 0.5f, 2.5f, 2.5f, 4.0f, 0.5f * 0.5f * 0 + 0.5f * 1 * 1 + 0.25f * 2 + 0.5f * 10 + 11 + 0.5f * 12 + 0.25f * 20 + 0.5f * 21 + 0.25f * 22},
        {0.0f, 0.0f, 2.0f, 1.0f, 2.0f, 0 + 1}, // last column on a boundary weighs 0
        {1.25f, 0.0f, 1.75f, 1.0f, 0.5f, 0.5f},    // inside one column
        {-1.0f, 0.0f, 1.0f, 1.0f, 2.0f, 0 + 0},    // outside columns repeat the edge
        {4.0f, 0.0f, 6.0f, 1.0f, 0.0f, 0.0f},      // entirely outside
        {-3.0f, -3.0f, -1.0f, -1.0f, 0.0f, 0.0f},
    };
    for (const AreaCase& c : cases) {
        const Texture<float>::AreaSum area = texture.areaSum(c.x0, c.y0, c.x1, c.y1);
        EXPECT_FLOAT_EQ(area.weight, c.weight) << c.x0 << "," << c.y0 << "-" << c.x1 << "," << c.y1;
        EXPECT_FLOAT_EQ(area.sum, c.sum) << c.x0 << "," << c.y0 << "-" << c.x1 << "," << c.y1;
    }
    EXPECT_EQ(texture.sampleClamped(-5, 1), 10.0f);
    EXPECT_EQ(texture.sampleClamped(9, 9), 23.0f);
    EXPECT_FLOAT_EQ(texture.sampleBilinearPixels(1.5f, 0.5f), 6.5f);
    EXPECT_FLOAT_EQ(texture.sampleBilinear(0.375f, 0.5f / 3.0f), 6.5f);
}

struct CmykCase
{
    float r, g, b, blackGeneration, underColorRemoval;
    Quad cmyk;
};

TEST(Texture, RgbToCmyk)
{
    const CmykCase cases[] = {
        {1, 1, 1, 0, 0, {0, 0, 0, 0}},
        {1, 1, 1, 1, 1, {0, 0, 0, 0}},
        {0, 0, 0, 1, 1, {0, 0, 0, 1}},
        {0, 0, 0, 0, 1, {1, 1, 1, 0}},
        {0.5f, 0.5f, 0.5f, 1, 1, {0.25f, 0.25f, 0.25f, 0.25f}},
        {0.5f, 0.5f, 0.5f, 1, 0, {0.5f, 0.5f, 0.5f, 0.25f}},
        {1, 0, 0.5f, 0.5f, 0.5f, {0, 1, 0.5f, 0}},
    };
    for (const CmykCase& c : cases)
        EXPECT_EQ(rgbToCmyk(c.r, c.g, c.b, c.blackGeneration, c.underColorRemoval), c.cmyk)
            << c.r << " " << c.g << " " << c.b;

    const WorkingImage image = FilterTest::flatImage(2, 2, Quad{0, 0, 0, 1});
    const CMYKTexture texture(image.pixels(), 2, 2, 1.0f, 1.0f);
    EXPECT_EQ(texture.sampleRaw(1, 1), (Quad{0, 0, 0, 1}));
    const LuminanceTexture lum(FilterTest::flatImage(1, 1, Quad{1, 0, 0, 1}).pixels(), 1, 1);
    EXPECT_FLOAT_EQ(lum.sampleRaw(0, 0), 0.2126f);
}

} // namespace

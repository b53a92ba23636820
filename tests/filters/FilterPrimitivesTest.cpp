#include "FilterTestSupport.h"

#include "Filters.h"
#include "PaneloraFilter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <set>

namespace {

const float kNaN = std::numeric_limits<float>::quiet_NaN();

Quad applied(const CIFilter& filter, Quad pixel)
{
    WorkingImage image = FilterTest::flatImage(1, 1, pixel);
    filter.apply(image.pixels(), 1, 1, nullptr);
    return image.pixels()[0];
}

void expectNear(const Quad& actual, const Quad& expected, float tolerance = 1e-6f)
{
    for (int c = 0; c < 4; ++c)
        EXPECT_NEAR(actual[c], expected[c], tolerance) << "channel " << c;
}

bool allGrey(const WorkingImage& image)
{
    for (std::size_t i = 0; i < image.pixelCount(); ++i) {
        const Quad& p = image.pixels()[i];
        if (p.r != p.g || p.g != p.b || !(p.r >= 0.0f && p.r <= 1.0f))
            return false;
    }
    return true;
}

bool allFinite(const WorkingImage& image)
{
    for (std::size_t i = 0; i < image.pixelCount(); ++i)
        for (int c = 0; c < 4; ++c)
            if (!std::isfinite(image.pixels()[i][c]))
                return false;
    return true;
}

struct PixelCase
{
    const char* what;
    std::shared_ptr<CIFilter> filter;
    Quad in;
    Quad out;
};

TEST(Filters, PerPixelResults)
{
    const Quad colour{0.2f, 0.6f, 0.9f, 1.0f};
    const float grey = 0.2125f * 0.2f + 0.7154f * 0.6f + 0.0721f * 0.9f;
    const PixelCase cases[] = {
        {"controls identity", std::make_shared<CIColorControls>(0.0f, 1.0f, 1.0f), colour, colour},
        {"controls grey", std::make_shared<CIColorControls>(0.0f, 1.0f, 0.0f), colour, {grey, grey, grey, 1}},
        {"controls brightness", std::make_shared<CIColorControls>(1.0f, 1.0f, 1.0f), colour, {1.2f, 1.6f, 1.9f, 1}},
        {"controls contrast", std::make_shared<CIColorControls>(0.0f, 2.0f, 1.0f), colour, {-0.1f, 0.7f, 1.3f, 1}},
        {"posterize 4 low", std::make_shared<CIColorPosterize>(4.0f), {0.2f, 0.9f, 0.0f, 1}, {1.0f / 3.0f, 1, 0, 1}},
        {"posterize by alpha", std::make_shared<CIColorPosterize>(4.0f), {1, 0.5f, 0, 0.5f}, {0.5f, 1.0f / 3.0f, 0, 0.5f}},
        {"invert clamps first", std::make_shared<CIColorInvert>(), {1.5f, -0.5f, 0.25f, 0.3f}, {0, 1, 0.75f, 0.3f}},
        {"monochrome intensity 0", std::make_shared<CIColorMonochrome>(Quad{1, 0, 0, 1}, 0.0f), colour, colour},
        {"monochrome transparent", std::make_shared<CIColorMonochrome>(Quad{1, 0, 0, 1}, 0.0f), {0.5f, 0.5f, 0.5f, 0}, {0, 0, 0, 1}},
        {"monochrome negative", std::make_shared<CIColorMonochrome>(Quad{1, 1, 1, 1}, 0.0f), {-1, kNaN, 0.5f, 1}, {0, 0, 0.5f, 1}},
        {"monochrome full red on dark", std::make_shared<CIColorMonochrome>(Quad{1, 0, 0, 0.2f}, 1.0f), {0.25f, 0.25f, 0.25f, 1},
         {0.5f, 0, 0, 1}},
        {"monochrome full red on light", std::make_shared<CIColorMonochrome>(Quad{1, 0, 0, 1}, 1.0f), {0.75f, 0.75f, 0.75f, 1},
         {1, 0.5f, 0.5f, 1}},
        {"false colour black", std::make_shared<CIFalseColor>(Quad{0.1f, 0.2f, 0.3f, 1}, Quad{0.9f, 0.8f, 0.7f, 1}), {0, 0, 0, 0.5f},
         {0.1f, 0.2f, 0.3f, 0.5f}},
        {"false colour white", std::make_shared<CIFalseColor>(Quad{0.1f, 0.2f, 0.3f, 1}, Quad{0.9f, 0.8f, 0.7f, 1}), {1, 1, 1, 1},
         {0.9f, 0.8f, 0.7f, 1}},
        {"sharpen luminance on grey", std::make_shared<CISharpenLuminance>(2.0f), {0.4f, 0.4f, 0.4f, 1}, {0.4f, 0.4f, 0.4f, 1}},
    };
    for (const PixelCase& c : cases) {
        SCOPED_TRACE(c.what);
        expectNear(applied(*c.filter, c.in), c.out, 2e-5f);
    }
}

TEST(Filters, PosterizeLevelCounts)
{
    struct Case
    {
        float levels;
        std::size_t distinct;
    };
    // fractional levels give floor(n - 1) + 1 levels; fewer than two would
    // divide by zero and are treated as two
    const Case cases[] = {{4.0f, 4}, {5.834395f, 5}, {2.089172f, 2}, {2.0f, 2}, {1.0f, 2}, {0.0f, 2}, {-3.0f, 2}, {kNaN, 2}};
    for (const Case& c : cases) {
        WorkingImage ramp = WorkingImage::create(101, 1);
        for (int x = 0; x <= 100; ++x)
            ramp.pixels()[x] = Quad{x / 100.0f, 0, 0, 1};
        CIColorPosterize(c.levels).apply(ramp.pixels(), 101, 1, nullptr);
        std::set<float> values;
        for (int x = 0; x <= 100; ++x)
            values.insert(ramp.pixels()[x].r);
        EXPECT_EQ(values.size(), c.distinct) << c.levels;
        EXPECT_TRUE(allFinite(ramp)) << c.levels;
    }
}

TEST(Filters, NoiseReductionSmoothsFlatAreasAndSharpensEdges)
{
    const Quad flat{0.3f, 0.55f, 0.8f, 0.7f};
    for (float level : {0.1f, 0.0f}) {
        WorkingImage image = FilterTest::flatImage(7, 6, flat);
        CINoiseReduction(level, 2.0f).apply(image.pixels(), 7, 6, nullptr);
        EXPECT_LT(FilterTest::largestDifference(image, FilterTest::flatImage(7, 6, flat)), 1e-6f) << level;
    }
    // one bright pixel: with level 0 it is sharpened (2x minus an eighth of
    // each neighbour), its neighbours darkened
    WorkingImage spot = FilterTest::flatImage(5, 5, Quad{0.5f, 0.5f, 0.5f, 1});
    spot.at(2, 2) = Quad{1, 1, 1, 1};
    CINoiseReduction(0.0f, 0.0f).apply(spot.pixels(), 5, 5, nullptr);
    EXPECT_NEAR(spot.at(2, 2).r, 2.0f - 8 * 0.125f * 0.5f, 1e-6f);
    EXPECT_NEAR(spot.at(2, 1).r, 1.0f - 0.125f * (7 * 0.5f + 1.0f), 1e-6f);
    EXPECT_EQ(spot.at(2, 2).a, 1.0f);
    // with a high level the same pixel is smoothed: 41 / 273 of it remain
    WorkingImage soft = FilterTest::flatImage(5, 5, Quad{0, 0, 0, 1});
    soft.at(2, 2) = Quad{1, 1, 1, 1};
    CINoiseReduction(10.0f, 0.0f).apply(soft.pixels(), 5, 5, nullptr);
    EXPECT_NEAR(soft.at(2, 2).r, 41.0f / 273.0f, 1e-6f);
    EXPECT_NEAR(soft.at(0, 0).r, 1.0f / 273.0f, 1e-6f);
}

TEST(Filters, HalftoneIdentities)
{
    const WorkingImage input = FilterTest::noiseImage(24, 18, 3);
    // sharpness 0 and no black generation: the colours come back through CMYK
    WorkingImage same = FilterTest::copy(input);
    CICMYKHalftone(0.3f, 0.0f, 0.0f, 1.0f, 3.0f).apply(same.pixels(), 24, 18, nullptr);
    EXPECT_LT(FilterTest::largestDifference(same, input), 1e-6f);

    WorkingImage white = FilterTest::flatImage(30, 30, Quad{1, 1, 1, 1});
    CICMYKHalftone(0.0f, 1.0f, 1.0f, 1.0f, 3.0f).apply(white.pixels(), 30, 30, nullptr);
    EXPECT_EQ(FilterTest::largestDifference(white, FilterTest::flatImage(30, 30, Quad{1, 1, 1, 1})), 0.0f);

    // a light grey turns into dots of pure inks on white paper: pixels under
    // cyan alone have no red; black dots appear only with black generation
    for (float blackGeneration : {0.0f, 1.0f}) {
        WorkingImage grey = FilterTest::flatImage(40, 40, Quad{0.8f, 0.8f, 0.8f, 1});
        CICMYKHalftone(0.0f, blackGeneration, 1.0f, 1.0f, 4.0f).apply(grey.pixels(), 40, 40, nullptr);
        int cyanOnly = 0, paper = 0, black = 0;
        for (std::size_t i = 0; i < grey.pixelCount(); ++i) {
            const Quad& p = grey.pixels()[i];
            cyanOnly += p.r <= 0.0f && p.g >= 0.999f && p.b >= 0.999f;
            paper += p.r >= 0.999f && p.g >= 0.999f && p.b >= 0.999f;
            black += p.r <= 0.0f && p.g <= 0.0f && p.b <= 0.0f;
        }
        EXPECT_GT(cyanOnly, 0) << blackGeneration;
        EXPECT_GT(paper, 0) << blackGeneration;
        if (blackGeneration > 0.0f) {
            EXPECT_GT(black, 0);
        }
    }
}

// A spacing of zero or less would never finish stepping across the grid.
TEST(Filters, HalftoneGuardsItsSpacing)
{
    for (float spacing : {0.0f, -3.0f, kNaN, std::numeric_limits<float>::infinity()}) {
        WorkingImage image = FilterTest::noiseImage(10, 10, 5);
        const WorkingImage before = FilterTest::copy(image);
        CICMYKHalftone(0.0f, 0.5f, 1.0f, 0.5f, spacing).apply(image.pixels(), 10, 10, nullptr);
        EXPECT_TRUE(FilterTest::sameBits(image, before)) << spacing;
    }
    WorkingImage fine = FilterTest::noiseImage(10, 10, 5);
    CICMYKHalftone(0.0f, 0.5f, 1.0f, 0.5f, 0.01f).apply(fine.pixels(), 10, 10, nullptr);
    EXPECT_TRUE(allFinite(fine));
}

TEST(Filters, ScreensAreGreyAndGuardTheirTiles)
{
    const Point centre{150, 150};
    struct Case
    {
        const char* what;
        std::shared_ptr<CIFilter> filter;
    };
    const Case cases[] = {
        {"hatched", std::make_shared<CIHatchedScreen>(centre, 1.997424f, 8.585988f, 1.0f)},
        {"hatched zero width", std::make_shared<CIHatchedScreen>(centre, 0.5f, 0.0f, 1.0f)},
        {"hatched tiny width", std::make_shared<CIHatchedScreen>(centre, 0.5f, 0.05f, 1.0f)},
        {"hatched no width", std::make_shared<CIHatchedScreen>(centre, 0.5f, kNaN, 1.0f)},
        {"line", std::make_shared<CILineScreen>(2.411693f, centre, 1.0f, 4.904459f)},
        {"line zero width", std::make_shared<CILineScreen>(1.0f, centre, 1.0f, 0.0f)},
        {"line negative width", std::make_shared<CILineScreen>(1.0f, centre, 1.0f, -4.0f)},
        {"old line", std::make_shared<CILineScreenOldVersion>(1.570796f, centre, 0.85f, 3.375796f)},
        {"old line zero width", std::make_shared<CILineScreenOldVersion>(1.0f, centre, 0.85f, 0.0f)},
    };
    for (const Case& c : cases) {
        WorkingImage image = FilterTest::noiseImage(33, 21, 9);
        c.filter->apply(image.pixels(), 33, 21, nullptr);
        EXPECT_TRUE(allGrey(image)) << c.what;
    }
}

TEST(Filters, ScreenDrawsLinesAcrossAFlatGrey)
{
    // a flat mid grey becomes alternating dark and light lines along the
    // screen's period
    WorkingImage image = FilterTest::flatImage(40, 40, Quad{0.2f, 0.2f, 0.2f, 1});
    CILineScreenOldVersion(-1.5707964f, Point{}, 0.0f, 4.0f).apply(image.pixels(), 40, 40, nullptr);
    std::set<float> row, column;
    for (int i = 0; i < 40; ++i) {
        row.insert(image.at(i, 10).r);
        column.insert(image.at(10, i).r);
    }
    EXPECT_EQ(row.size(), 1u);   // angle 0: lines run along the rows
    EXPECT_GE(column.size(), 2u);
}

TEST(Filters, RadiusFiltersFollowTheReference)
{
    const WorkingImage input = FilterTest::noiseImage(16, 12, 11);
    for (const CIFilter* filter : std::initializer_list<const CIFilter*>{new CIGloom(3.0f, 1.0f), new CIUnsharpMask(1.0f, 3.0f)}) {
        std::unique_ptr<const CIFilter> owner(filter);
        WorkingImage none = FilterTest::copy(input);
        filter->apply(none.pixels(), 16, 12, nullptr);
        EXPECT_TRUE(FilterTest::sameBits(none, input)); // no reference: nothing to scale by

        WorkingImage own = FilterTest::copy(input), large = FilterTest::copy(input);
        const FilterReference ownSize{16, 12}, doubleSize{32, 24};
        filter->apply(own.pixels(), 16, 12, &ownSize);
        filter->apply(large.pixels(), 16, 12, &doubleSize);
        EXPECT_GT(FilterTest::largestDifference(own, input), 0.01f);
        EXPECT_GT(FilterTest::largestDifference(own, large), 0.001f);
    }
    // gloom only darkens
    WorkingImage gloom = FilterTest::copy(input);
    const FilterReference size{16, 12};
    CIGloom(2.0f, 1.0f).apply(gloom.pixels(), 16, 12, &size);
    for (std::size_t i = 0; i < gloom.pixelCount(); ++i)
        ASSERT_LE(gloom.pixels()[i].g, input.pixels()[i].g);
}

} // namespace

#include "FilterTestSupport.h"
#include "ReferenceFilters.h"

#include "FilterExecution.h"
#include "Filters.h"
#include "GaussianBlur.h"
#include "PaneloraFilter.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

struct Size2
{
    int width, height;
};

// The blur's vector code and thread bands compute every sum with the same
// operations in the same order: the same bits as the plain code, and the
// plain code stays within float noise of the tap-by-tap reference.
TEST(FastPaths, BlurMatchesThePlainCode)
{
    const Size2 sizes[] = {{1, 1}, {3, 17}, {37, 9}, {64, 40}, {101, 23}};
    for (const Size2 size : sizes)
        for (float radius : {0.0f, 0.3184713f, 1.0f, 2.7f, 9.5f, 40.0f}) {
            SCOPED_TRACE(testing::Message() << size.width << "x" << size.height << " r " << radius);
            const WorkingImage input = FilterTest::noiseImage(size.width, size.height, 17);
            WorkingImage plain = FilterTest::copy(input), fast = FilterTest::copy(input), banded = FilterTest::copy(input);
            {
                FilterTest::ExecutionScope scope(1, false);
                gaussianBlurImage(plain.pixels(), size.width, size.height, radius);
            }
            {
                FilterTest::ExecutionScope scope(1, true);
                gaussianBlurImage(fast.pixels(), size.width, size.height, radius);
            }
            {
                FilterTest::ExecutionScope scope(3, true);
                gaussianBlurImage(banded.pixels(), size.width, size.height, radius);
            }
            EXPECT_TRUE(FilterTest::sameBits(plain, fast));
            EXPECT_TRUE(FilterTest::sameBits(plain, banded));
            EXPECT_LT(FilterTest::largestDifference(plain, ReferenceFilters::blur(input, radius)), 2e-6f);
        }
}

TEST(FastPaths, HalftoneVisitingOnlyTouchingCellsGivesTheSameBits)
{
    const Size2 sizes[] = {{30, 20}, {17, 45}, {64, 64}};
    struct Screen
    {
        float angle, blackGeneration, sharpness, underColorRemoval, spacing;
    };
    const Screen screens[] = {{-3.141593f, 0.2070064f, 0.3f, 1.0f, 3.0f},
                              {1.328957f, 0.0f, 0.321656f, 1.0f, 3.0f},
                              {0.0f, 1.0f, 0.4235669f, 0.843949f, 3.56051f},
                              {0.7f, 0.5f, 1.0f, 0.2f, 7.25f}};
    for (const Size2 size : sizes)
        for (const Screen& s : screens) {
            SCOPED_TRACE(testing::Message() << size.width << "x" << size.height << " spacing " << s.spacing);
            const WorkingImage input = FilterTest::noiseImage(size.width, size.height, 23);
            const CICMYKHalftone filter(s.angle, s.blackGeneration, s.sharpness, s.underColorRemoval, s.spacing);
            WorkingImage everyCell = FilterTest::copy(input);
            filter.applyVisitingEveryCell(everyCell.pixels(), size.width, size.height);
            for (int threads : {1, 2, 5}) {
                FilterTest::ExecutionScope scope(threads, true);
                WorkingImage fast = FilterTest::copy(input);
                filter.apply(fast.pixels(), size.width, size.height, nullptr);
                EXPECT_TRUE(FilterTest::sameBits(everyCell, fast)) << threads << " threads";
            }
            const WorkingImage reference = ReferenceFilters::halftone(input, s.angle, s.blackGeneration, s.sharpness,
                                                                      s.underColorRemoval, s.spacing);
            EXPECT_LT(FilterTest::largestDifference(everyCell, reference), 1e-3f);
        }
}

// Whole presets on a picture large enough to be split into bands: the same
// bytes on one thread without vector code as on several with it.
TEST(FastPaths, PresetsGiveTheSameBytesOnAnyThreadCount)
{
    const QImage card = FilterTest::testCard(160, 120);
    for (const QString& name : presetNames()) {
        QImage plain;
        {
            FilterTest::ExecutionScope scope(1, false);
            plain = applyPreset(name, card, true, true, packColor(200, 120, 40, 100));
        }
        FilterTest::ExecutionScope scope(3, true);
        EXPECT_EQ(applyPreset(name, card, true, true, packColor(200, 120, 40, 100)), plain) << name.toStdString();
    }
}

TEST(FastPaths, RowBandsCoverEveryRowOnce)
{
    for (int threads : {1, 2, 3, 8})
        for (int rows : {0, 1, 2, 7, 1000}) {
            FilterTest::ExecutionScope scope(threads, true);
            std::vector<int> seen(std::size_t(rows), 0);
            FilterExecution::forEachRowBand(rows, 1 << 20, [&](int first, int end) {
                for (int y = first; y < end; ++y)
                    ++seen[std::size_t(y)];
            });
            for (int y = 0; y < rows; ++y)
                ASSERT_EQ(seen[std::size_t(y)], 1) << threads << " threads, row " << y;
        }
    FilterTest::ExecutionScope scope(4, true);
    EXPECT_THROW(FilterExecution::forEachRowBand(100, 1 << 20,
                                                 [](int first, int) {
                                                     if (first > 0)
                                                         throw std::bad_alloc();
                                                 }),
                 std::bad_alloc);
}

} // namespace

#include "AffineTransform.h"
#include "Geometry.h"

#include <gtest/gtest.h>

namespace {

void expectPointNear(Point actual, Point expected)
{
    EXPECT_NEAR(actual.x, expected.x, 1e-4f);
    EXPECT_NEAR(actual.y, expected.y, 1e-4f);
}

TEST(Rect, EdgeQueriesNormaliseNegativeSizes)
{
    const Rect r(10, 20, -4, -6);
    EXPECT_FLOAT_EQ(r.minX(), 6);
    EXPECT_FLOAT_EQ(r.maxX(), 10);
    EXPECT_FLOAT_EQ(r.minY(), 14);
    EXPECT_FLOAT_EQ(r.maxY(), 20);
    EXPECT_FLOAT_EQ(r.midX(), 8);
    EXPECT_FLOAT_EQ(r.midY(), 17);
    EXPECT_EQ(r.width(), -4) << "the stored value is never normalised";
}

TEST(Rect, IntegralRect)
{
    EXPECT_EQ(integralRect(Rect(0.5f, 1.25f, 2.0f, 2.5f)), Rect(0, 1, 3, 3));
    EXPECT_EQ(integralRect(Rect(-1.5f, -0.5f, 1.0f, 1.0f)), Rect(-2, -1, 2, 2));
    EXPECT_EQ(integralRect(Rect(5, 5, -3, 10)), Rect()) << "negative width gives the zero rectangle";
    EXPECT_EQ(integralRect(Rect(5, 5, 3, 0)), Rect());
}

TEST(Rect, ContainmentIsInclusiveAndIntersectionStrict)
{
    const Rect outer(0, 0, 10, 10);
    EXPECT_TRUE(rectContainsRect(outer, outer));
    EXPECT_TRUE(rectContainsRect(outer, Rect(2, 2, 8, 8)));
    EXPECT_FALSE(rectContainsRect(outer, Rect(2, 2, 9, 8)));

    EXPECT_TRUE(rectsIntersect(outer, Rect(9, 9, 5, 5)));
    EXPECT_FALSE(rectsIntersect(outer, Rect(10, 0, 5, 5))) << "touching is not intersecting";
    EXPECT_FALSE(rectsIntersect(outer, Rect(0, -5, 5, 5)));
}

TEST(AffineTransform, OperationsArePrependedAndConcatAppends)
{
    AffineTransform t;
    t.translate(10, 0);
    t.scale(2, 2);
    // The scale acts first, then the translation.
    expectPointNear(t.transformPoint({1, 1}), {12, 2});

    AffineTransform u;
    u.translate(10, 0);
    u.concat(AffineTransform::scaling(2, 2));
    // The scale acts on the translated point.
    expectPointNear(u.transformPoint({1, 1}), {22, 2});
}

TEST(AffineTransform, RotationIsFromXTowardsY)
{
    const AffineTransform t = AffineTransform::rotation(90);
    expectPointNear(t.transformPoint({1, 0}), {0, 1});
    const AffineTransform about = AffineTransform::rotationAbout({5, 5}, 90);
    expectPointNear(about.transformPoint({6, 5}), {5, 6});
    expectPointNear(about.transformPoint({5, 5}), {5, 5});
}

TEST(AffineTransform, ScaleAboutKeepsThePointFixed)
{
    const AffineTransform t = AffineTransform::scaleAbout({10, 10}, 3, 0.5f);
    expectPointNear(t.transformPoint({10, 10}), {10, 10});
    expectPointNear(t.transformPoint({11, 12}), {13, 11});
}

TEST(AffineTransform, VectorsIgnoreTranslationAndRectsAreNotRenormalised)
{
    AffineTransform t = AffineTransform::translation(100, 100);
    t.scale(-1, 1);
    expectPointNear(t.transformVector({2, 3}), {-2, 3});
    const Rect r = t.transformRect(Rect(1, 2, 3, 4));
    EXPECT_FLOAT_EQ(r.x(), 99);
    EXPECT_FLOAT_EQ(r.width(), -3);
}

TEST(AffineTransform, InvertRoundTripsAndReportsSingularMatrices)
{
    AffineTransform t = AffineTransform::rotationAbout({3, 4}, 30);
    t.scale(2, 5);
    AffineTransform inverse = t.inverted();
    expectPointNear(inverse.transformPoint(t.transformPoint({7, -2})), {7, -2});

    AffineTransform singular = AffineTransform::scaling(0, 1);
    EXPECT_FALSE(singular.invert());
    EXPECT_EQ(singular.lastStatus(), AffineTransform::Status::NotInvertible);
    EXPECT_EQ(singular, AffineTransform::scaling(0, 1)) << "a failed inversion changes nothing";
}

} // namespace

#include "ArchiveReader.h"
#include "ArchiveWriter.h"
#include "CAGGraphicsPath.h"
#include "GraphicsArchiveClasses.h"
#include "NSBezierPath.h"
#include "PathGeometry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

std::vector<std::uint32_t> commands(const CAGGraphicsPath& path)
{
    std::vector<std::uint32_t> result;
    for (int i = 0; i < path.vertexCount(); ++i)
        result.push_back(path.vertexAt(i).command);
    return result;
}

CAGGraphicsPath unitCell(float x, float y)
{
    CAGGraphicsPath path;
    path.AddRectangle(Rect(x, y, 1.0f, 1.0f));
    return path;
}

} // namespace

TEST(PathFigures, StartFigureAddsOneStopOnlyAfterASubpath)
{
    CAGGraphicsPath path;
    path.StartFigure();
    EXPECT_EQ(path.vertexCount(), 0);
    path.AddMoveTo({0, 0});
    path.AddLineTo({5, 0});
    path.StartFigure();
    path.StartFigure();
    EXPECT_EQ(commands(path), (std::vector<std::uint32_t>{kPathMoveTo, kPathLineTo, kPathStop}));
}

TEST(PathFigures, CloseFigureTwiceAddsOneEnd)
{
    CAGGraphicsPath path;
    path.CloseFigure();
    EXPECT_EQ(path.vertexCount(), 0);
    path.AddMoveTo({0, 0});
    path.AddLineTo({5, 0});
    path.CloseFigure();
    path.CloseFigure();
    EXPECT_EQ(commands(path), (std::vector<std::uint32_t>{kPathMoveTo, kPathLineTo, kPathEndPolyClosed}));
}

TEST(PathCurves, CurvesAreStoredAsCurveVerticesNotFlattened)
{
    CAGGraphicsPath path;
    path.AddBezier({0, 0}, {10, 0}, {20, 10}, {20, 20});
    path.AddQuadBezier({20, 20}, {30, 30}, {40, 20});
    // The quadratic's start coincides with the cubic's end and is dropped.
    EXPECT_EQ(commands(path), (std::vector<std::uint32_t>{kPathMoveTo, kPathCurve4, kPathCurve4, kPathCurve4,
                                                           kPathCurve3, kPathCurve3}));
    EXPECT_EQ(path.vertexAt(5), (PathVertex{40, 20, kPathCurve3}));
}

TEST(PathCurves, FullArcOnAnEmptyPathStartsAtTheRightMostPoint)
{
    CAGGraphicsPath path;
    path.AddArc(Rect(10, 20, 40, 60), 0.0f, 360.0f);
    ASSERT_EQ(path.vertexCount(), 13);
    EXPECT_EQ(path.vertexAt(0), (PathVertex{50, 50, kPathMoveTo}));
    for (int i = 1; i < 13; ++i)
        EXPECT_EQ(path.vertexAt(i).command, kPathCurve4);
    // The control points lie on the rectangle's edges: the bounds are the rectangle.
    const Rect bounds = path.GetBounds();
    EXPECT_FLOAT_EQ(bounds.x(), 10);
    EXPECT_FLOAT_EQ(bounds.y(), 20);
    EXPECT_FLOAT_EQ(bounds.width(), 40);
    EXPECT_FLOAT_EQ(bounds.height(), 60);
}

TEST(PathCurves, ArcJoinsByTheLastCommand)
{
    struct Case
    {
        const char* name;
        void (*prepare)(CAGGraphicsPath&);
        std::uint32_t firstArcCommand;
        int arcVertices;
    };
    const Case cases[] = {
        {"after a closed rectangle it starts a sub-path",
         [](CAGGraphicsPath& p) { p.AddRectangle(Rect(0, 0, 5, 5)); }, kPathMoveTo, 4},
        {"after a line it is joined by a line",
         [](CAGGraphicsPath& p) { p.AddMoveTo({0, 0}); p.AddLineTo({3, 3}); }, kPathLineTo, 4},
        {"after a stop its move stays a move",
         [](CAGGraphicsPath& p) { p.AddMoveTo({0, 0}); p.AddLineTo({3, 3}); p.StartFigure(); }, kPathMoveTo, 4},
        {"from its own start point the first vertex is dropped",
         [](CAGGraphicsPath& p) { p.AddMoveTo({0, 0}); p.AddLineTo({20, 10}); }, kPathCurve4, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CAGGraphicsPath path;
        c.prepare(path);
        const int before = path.vertexCount();
        path.AddArc(Rect(0, 0, 20, 20), 0.0f, 90.0f);  // from (20, 10) to (10, 20)
        ASSERT_EQ(path.vertexCount(), before + c.arcVertices);
        EXPECT_EQ(path.vertexAt(before).command, c.firstArcCommand);
    }
}

TEST(PathQueries, BoundsPointsAndTransform)
{
    CAGGraphicsPath path;
    EXPECT_EQ(path.GetBounds(), Rect());
    path.AddRectangle(Rect(1, 2, 3, 4));
    EXPECT_EQ(path.GetPointCount(), 4);
    Point points[8];
    EXPECT_EQ(path.GetPoints(points, 2), 2);
    EXPECT_EQ(path.GetPoints(points, 8), 4);
    EXPECT_EQ(points[2], (Point{4, 6}));

    const Point replacement[2] = {{0, 0}, {10, 0}};
    EXPECT_EQ(path.SetPoints(replacement, 2), 2);
    EXPECT_EQ(path.vertexAt(1), (PathVertex{10, 0, kPathLineTo}));

    path.Transform(AffineTransform(2, 0, 0, 3, 5, 7));
    EXPECT_EQ(path.vertexAt(1), (PathVertex{25, 7, kPathLineTo}));
    // The closing vertex keeps its (0, 0).
    EXPECT_EQ(path.vertexAt(4), (PathVertex{0, 0, kPathEndPolyClosed}));
}

TEST(PathHitTest, RoundsThePointToItsCell)
{
    const CAGGraphicsPath cell = unitCell(11, 20);
    EXPECT_TRUE(cell.IsVisible({10.5f, 20.4f}));
    EXPECT_TRUE(cell.IsVisible({11.49f, 19.5f}));
    EXPECT_FALSE(cell.IsVisible({10.4f, 20.4f}));
    EXPECT_FALSE(cell.IsVisible({11.0f, 20.5f}));
    EXPECT_FALSE(cell.IsVisible({NAN, 20.0f}));
}

TEST(PathHitTest, NonZeroRuleAndFarAwayCurves)
{
    // Two squares wound the same way: the overlap is inside.
    CAGGraphicsPath same;
    same.AddRectangle(Rect(0, 0, 20, 20));
    same.AddRectangle(Rect(5, 5, 10, 10));
    EXPECT_TRUE(same.IsVisible({10, 10}));
    // Wound against each other: the inner square is a hole.
    CAGGraphicsPath hole;
    hole.AddRectangle(Rect(0, 0, 20, 20));
    hole.AddRectangle(Rect(15, 5, -10, 10));
    EXPECT_FALSE(hole.IsVisible({10, 10}));
    EXPECT_TRUE(hole.IsVisible({2, 2}));

    // A circle far beyond the rasteriser's fixed-point range.
    const NSBezierPath circle = NSBezierPath::pathWithOval(Rect(1.0e7f, 1.0e7f, 64, 64));
    EXPECT_TRUE(circle.containsPoint({1.0e7f + 32, 1.0e7f + 32}));
    EXPECT_FALSE(circle.containsPoint({1.0e7f + 2, 1.0e7f + 2}));
}

TEST(PathHitTest, StopsAtTheStopVertex)
{
    NSBezierPath path = NSBezierPath::pathWithRect(Rect(0, 0, 10, 10));
    path.startSubpath();
    path.appendRect(Rect(50, 50, 10, 10));
    EXPECT_TRUE(path.containsPoint({5, 5}));
    EXPECT_FALSE(path.containsPoint({55, 55}));
}

// ---------------------------------------------------------------------------
// Archive form

namespace {

QByteArray archived(const CAGGraphicsPath& path)
{
    ArchiveWriter writer;
    path.writeToArchive(writer);
    return writer.data();
}

} // namespace

TEST(PathArchive, BytesArePinned)
{
    CAGGraphicsPath path;
    path.AddMoveTo({1, 2});
    path.AddLineTo({3.5f, -4});
    path.CloseFigure();
    const QByteArray expected = QByteArray::fromHex(
        "03000000"
        "000000000000f03f" "0000000000000040" "01000000"
        "0000000000000c40" "00000000000010c0" "02000000"
        "0000000000000000" "0000000000000000" "4f000000");
    EXPECT_EQ(archived(path).toHex(), expected.toHex());
}

TEST(PathArchive, RoundTripKeepsCurvesAndReplacesTheOldPath)
{
    const NSBezierPath oval = NSBezierPath::pathWithOval(Rect(0, 0, 30, 20));
    const QByteArray bytes = archived(oval.path());
    CAGGraphicsPath read;
    read.AddRectangle(Rect(0, 0, 1, 1));
    ArchiveReader reader(bytes);
    read.readFromArchive(reader);
    EXPECT_FALSE(reader.failed());
    EXPECT_TRUE(reader.atEnd());
    ASSERT_EQ(read.vertexCount(), oval.vertexCount());
    for (int i = 0; i < read.vertexCount(); ++i)
        EXPECT_EQ(read.vertexAt(i), oval.vertexAt(i));
}

TEST(PathArchive, RefusesTruncatedAbsurdAndUnknown)
{
    CAGGraphicsPath path;
    path.AddMoveTo({1, 2});
    path.AddLineTo({3, 4});
    const QByteArray bytes = archived(path);
    for (int length = 0; length < bytes.size(); ++length) {
        SCOPED_TRACE(length);
        ArchiveReader reader(bytes.left(length));
        CAGGraphicsPath read;
        read.readFromArchive(reader);
        EXPECT_TRUE(reader.failed());
    }

    QByteArray absurd = QByteArray::fromHex("ffffff7f") + bytes.mid(4);
    ArchiveReader absurdReader(absurd);
    CAGGraphicsPath absurdPath;
    absurdPath.readFromArchive(absurdReader);
    EXPECT_TRUE(absurdReader.failed());
    EXPECT_EQ(absurdPath.vertexCount(), 0);

    QByteArray unknown = bytes;
    unknown[4 + 16] = char(0x33);  // first command
    ArchiveReader unknownReader(unknown);
    CAGGraphicsPath unknownPath;
    unknownPath.readFromArchive(unknownReader);
    EXPECT_TRUE(unknownReader.failed());
    EXPECT_EQ(unknownPath.vertexCount(), 0);
}

TEST(PathArchive, NSBezierPathTravelsAsATaggedObject)
{
    registerGraphicsArchiveClasses();
    NSBezierPath path = NSBezierPath::pathWithRoundedCorners(Rect(0, 0, 40, 30), 5);
    path.setColor(0xFF123456u);
    ArchiveWriter writer;
    writer.writeObject(&path);
    ArchiveReader reader(writer.data());
    RefPtr<CRefCountObject> object(reader.readObjectOfClass(NSBezierPath::kClassName));
    ASSERT_TRUE(object);
    const auto* read = dynamic_cast<NSBezierPath*>(object.get());
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(read->vertexCount(), path.vertexCount());
    // The pen is not archived.
    EXPECT_EQ(read->color(), kOpaqueWhite);
}

// ---------------------------------------------------------------------------
// NSBezierPath

TEST(BezierPath, PenCurrentPointAndCopies)
{
    NSBezierPath path;
    EXPECT_EQ(path.pen(), GraphicsPen(kOpaqueWhite, 1.0f));
    EXPECT_FALSE(path.pen().isDashed());
    EXPECT_FALSE(path.hasCurrentPoint());
    path.moveTo({1, 1});
    path.curveTo({10, 10}, {4, 1}, {10, 6});
    path.closePath();
    EXPECT_EQ(path.currentPoint(), (Point{10, 10}));
    EXPECT_EQ(path.vertexAt(1), (PathVertex{4, 1, kPathCurve4}));

    path.setDash(4, 2);
    const NSBezierPath copy(path);
    EXPECT_EQ(copy.currentPoint(), (Point{10, 10}));
    EXPECT_TRUE(copy.pen().isDashed());
    const NSBezierPath bare = path.copyWithoutCurrentPoint();
    EXPECT_FALSE(bare.hasCurrentPoint());
    EXPECT_EQ(bare.vertexCount(), path.vertexCount());
    EXPECT_EQ(bare.pen(), path.pen());
}

TEST(BezierPath, QuadraticCurveFromTheCurrentPoint)
{
    NSBezierPath path;
    path.moveTo({0, 10});
    path.quadCurveTo({20, 10}, {10, 0});
    EXPECT_EQ(path.vertexCount(), 3);
    EXPECT_EQ(path.vertexAt(1), (PathVertex{10, 0, kPathCurve3}));
    EXPECT_EQ(path.vertexAt(2), (PathVertex{20, 10, kPathCurve3}));
}

TEST(BezierPath, OutlineIsPlacedAtTheOrigin)
{
    CAGGraphicsPath outline;
    outline.AddMoveTo({0, 0});
    outline.AddQuadBezier({0, 0}, {5, 10}, {10, 0});
    const NSBezierPath placed(outline, {100, 200});
    EXPECT_EQ(placed.vertexAt(1), (PathVertex{105, 210, kPathCurve3}));
}

TEST(BezierPath, BoundsWithPointsCoverTheLastPointsPixel)
{
    NSBezierPath path;
    path.moveTo({0, 0});
    path.lineTo({10, 5});
    EXPECT_EQ(path.bounds(), Rect(0, 0, 10, 5));
    EXPECT_EQ(path.boundsWithPoints(), Rect(0, 0, 11, 6));
    EXPECT_EQ(transformedPath(AffineTransform::translation(5, 5), path).bounds(), Rect(5, 5, 10, 5));
}

TEST(FrameShapes, RoundedCornersOfANegativeRectangleUseItsNormalisedCorners)
{
    const NSBezierPath positive = NSBezierPath::pathWithRoundedCorners(Rect(10, 10, 100, 60), 12);
    const NSBezierPath negative = NSBezierPath::pathWithRoundedCorners(Rect(110, 70, -100, -60), 12);
    ASSERT_EQ(positive.vertexCount(), negative.vertexCount());
    for (int i = 0; i < positive.vertexCount(); ++i)
        EXPECT_EQ(positive.vertexAt(i), negative.vertexAt(i)) << i;
}

TEST(FrameShapes, DegenerateInputGivesFiniteGeometry)
{
    using Factory = NSBezierPath (*)(const Rect&, float);
    const Factory factories[] = {NSBezierPath::pathWithRoundedCorners, NSBezierPath::pathWithConcaveCorners,
                                 NSBezierPath::pathWithBevelledCorners, NSBezierPath::pathSkewed,
                                 NSBezierPath::pathTwisted, NSBezierPath::pathWithNotchedCorners,
                                 NSBezierPath::pathScroll};
    const Rect rects[] = {Rect(0, 0, 50, 40), Rect(0, 0, 0, 40), Rect(5, 5, 0, 0)};
    for (const Factory factory : factories)
        for (const Rect& rect : rects)
            for (const float radius : {0.0f, 10.0f}) {
                const NSBezierPath path = factory(rect, radius);
                EXPECT_GT(path.vertexCount(), 3);
                for (int i = 0; i < path.vertexCount(); ++i) {
                    const PathVertex v = path.vertexAt(i);
                    EXPECT_TRUE(std::isfinite(v.x) && std::isfinite(v.y)) << "radius " << radius;
                }
            }
}

TEST(FrameShapes, RoundedCornerControlPointIsTheCorner)
{
    const NSBezierPath path = NSBezierPath::pathWithRoundedCorners(Rect(0, 0, 100, 50), 10);
    // move, then per corner: line to the tangent point, quadratic control and end.
    ASSERT_EQ(path.vertexCount(), 1 + 4 * 3 + 1);
    EXPECT_EQ(path.vertexAt(1), (PathVertex{10, 50, kPathLineTo}));
    EXPECT_NEAR(path.vertexAt(2).x, 0.0, 1e-3);
    EXPECT_NEAR(path.vertexAt(2).y, 50.0, 1e-3);
    EXPECT_EQ(path.vertexAt(3), (PathVertex{0, 40, kPathCurve3}));
}

TEST(PathGeometryHelpers, Values)
{
    EXPECT_EQ(pointOnCubic({0, 0}, {0, 10}, {10, 10}, {10, 0}, 0.5f), (Point{5, 7.5f}));
    bool ok = true;
    EXPECT_EQ(rectUnion(Rect(0, 0, 10, 10), Rect(5, 5, 10, 0), &ok), Rect(0, 0, 15, 10));
    EXPECT_TRUE(ok);
    rectUnion(Rect(0, 0, 10, 0), Rect(5, 0, 1, 0), &ok);
    EXPECT_FALSE(ok);
    EXPECT_EQ(normalizeVector({0, 0}), (Point{0, 0}));
    EXPECT_EQ(normalizeVector({3, 4}), (Point{0.6f, 0.8f}));
    EXPECT_FLOAT_EQ(flipAngle(90), -90);
    EXPECT_FLOAT_EQ(flipAngle(180), 180);
    EXPECT_FLOAT_EQ(flipAngle(-180), 180);
    EXPECT_NEAR(flipAngle(270), 90, 1e-4);
    EXPECT_TRUE(nearlyEqual(1.0f, 1.0f + 1e-7f));
}

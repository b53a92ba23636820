#include "CAGGraphicsPath.h"

#include "ArchiveReader.h"
#include "ArchiveWriter.h"
#include "FiniteVertexFilter.h"
#include "PathFlattener.h"

#include <agg_bezier_arc.h>
#include <agg_rasterizer_scanline_aa.h>
#include <agg_rasterizer_sl_clip.h>

#include <cmath>
#include <cstring>
#include <vector>

namespace {

constexpr double kDegreesToRadians = 0.017453292519943295;
constexpr double kJoinTolerance = 1e-14;

bool isKnownCommand(std::uint32_t command)
{
    return command <= kPathCurve4 || (isPathEndPolyCommand(command) && command <= 0x7F);
}

void writeDouble(ArchiveWriter& archive, double value)
{
    std::uint64_t bits;
    std::memcpy(&bits, &value, 8);
    archive.writeUInt32(std::uint32_t(bits & 0xFFFFFFFFu));
    archive.writeUInt32(std::uint32_t(bits >> 32));
}

double readDouble(ArchiveReader& archive)
{
    const std::uint64_t low = archive.readUInt32();
    const std::uint64_t high = archive.readUInt32();
    const std::uint64_t bits = low | (high << 32);
    double value;
    std::memcpy(&value, &bits, 8);
    return value;
}

} // namespace

CAGGraphicsPath::CAGGraphicsPath(const CAGGraphicsPath& other)
    : CGraphicsPath(other)
{
    m_storage = other.m_storage;
}

CAGGraphicsPath& CAGGraphicsPath::operator=(const CAGGraphicsPath& other)
{
    if (this != &other)
        m_storage = other.m_storage;
    return *this;
}

CAGGraphicsPath::~CAGGraphicsPath() = default;

void CAGGraphicsPath::writeToArchive(ArchiveWriter& archive) const
{
    const int count = vertexCount();
    archive.writeInt32(count);
    for (int i = 0; i < count; ++i) {
        const PathVertex v = vertexAt(i);
        writeDouble(archive, v.x);
        writeDouble(archive, v.y);
        archive.writeInt32(std::int32_t(v.command));
    }
}

void CAGGraphicsPath::readFromArchive(ArchiveReader& archive)
{
    clear();
    const std::uint32_t count = archive.readCount(20);
    if (archive.failed() || count > std::uint32_t(INT32_MAX))
        return archive.fail();
    for (std::uint32_t i = 0; i < count; ++i) {
        const double x = readDouble(archive);
        const double y = readDouble(archive);
        const std::uint32_t command = archive.readUInt32();
        if (archive.failed())
            return;
        if (!isKnownCommand(command)) {
            clear();
            return archive.fail();
        }
        addVertex(x, y, command);
    }
}

CAGGraphicsPath* CAGGraphicsPath::Clone() const
{
    return new CAGGraphicsPath(*this);
}

void CAGGraphicsPath::SetFillMode(int) {}

void CAGGraphicsPath::clear()
{
    m_storage.remove_all();
}

std::uint32_t CAGGraphicsPath::lastCommand() const
{
    return isEmpty() ? kPathStop : m_storage.vertices().last_command();
}

void CAGGraphicsPath::addVertex(double x, double y, std::uint32_t command)
{
    m_storage.vertices().add_vertex(x, y, command);
}

void CAGGraphicsPath::StartFigure()
{
    if (!isEmpty() && lastCommand() != kPathStop)
        addVertex(0.0, 0.0, kPathStop);
}

void CAGGraphicsPath::CloseFigure()
{
    if (isPathPointCommand(lastCommand()))
        addVertex(0.0, 0.0, kPathEndPolyClosed);
}

void CAGGraphicsPath::AddMoveTo(Point p)
{
    addVertex(p.x, p.y, kPathMoveTo);
}

void CAGGraphicsPath::AddLineTo(Point p)
{
    addVertex(p.x, p.y, kPathLineTo);
}

void CAGGraphicsPath::joinVertices(const PathVertex* vertices, int count)
{
    if (count <= 0)
        return;
    const std::uint32_t last = lastCommand();
    const bool concatenate = isEmpty() || isPathClosedEnd(last);
    double lastX = 0.0, lastY = 0.0;
    if (!concatenate)
        m_storage.last_vertex(&lastX, &lastY);
    for (int i = 0; i < count; ++i) {
        std::uint32_t command = vertices[i].command;
        if (!concatenate && command == kPathMoveTo) {
            if (i == 0 && isPathPointCommand(last)) {
                if (std::fabs(vertices[i].x - lastX) <= kJoinTolerance
                    && std::fabs(vertices[i].y - lastY) <= kJoinTolerance)
                    continue;
                command = kPathLineTo;
            } else if (i > 0) {
                command = kPathLineTo;
            }
        }
        addVertex(vertices[i].x, vertices[i].y, command);
    }
}

void CAGGraphicsPath::AddBezier(Point start, Point control1, Point control2, Point end)
{
    const PathVertex piece[4] = {{start.x, start.y, kPathMoveTo},
                                 {control1.x, control1.y, kPathCurve4},
                                 {control2.x, control2.y, kPathCurve4},
                                 {end.x, end.y, kPathCurve4}};
    joinVertices(piece, 4);
}

void CAGGraphicsPath::AddQuadBezier(Point start, Point control, Point end)
{
    const PathVertex piece[3] = {{start.x, start.y, kPathMoveTo},
                                 {control.x, control.y, kPathCurve3},
                                 {end.x, end.y, kPathCurve3}};
    joinVertices(piece, 3);
}

void CAGGraphicsPath::AddRectangle(const Rect& r)
{
    AddMoveTo({r.x(), r.y()});
    AddLineTo({r.x() + r.width(), r.y()});
    AddLineTo({r.x() + r.width(), r.y() + r.height()});
    AddLineTo({r.x(), r.y() + r.height()});
    CloseFigure();
}

void CAGGraphicsPath::AddArc(const Rect& r, float startAngle, float sweepAngle)
{
    const double rx = double(r.width()) / 2.0;
    const double ry = double(r.height()) / 2.0;
    agg::bezier_arc arc(double(r.x()) + rx, double(r.y()) + ry, rx, ry, double(startAngle) * kDegreesToRadians,
                        double(sweepAngle) * kDegreesToRadians);
    PathVertex piece[13];
    int count = 0;
    double x, y;
    unsigned command;
    arc.rewind(0);
    while (count < 13 && !agg::is_stop(command = arc.vertex(&x, &y)))
        piece[count++] = {x, y, command};
    joinVertices(piece, count);
}

bool CAGGraphicsPath::IsVisible(Point p) const
{
    if (!std::isfinite(p.x) || !std::isfinite(p.y))
        return false;
    // Round to the cell: a fraction of one half or more rounds up.
    const double cx = std::floor(double(p.x) + 0.5);
    const double cy = std::floor(double(p.y) + 0.5);

    // Rasterise only a small window around the cell, with the path moved so
    // that the cell lies at (2, 2): far-away points stay within the
    // rasteriser's fixed-point range and the work does not grow with the path's size.
    struct Shifted
    {
        PathFlattener source;
        double dx, dy;
        void rewind(unsigned id) { source.rewind(id); }
        unsigned vertex(double* x, double* y)
        {
            const unsigned command = source.vertex(x, y);
            if (agg::is_vertex(command)) {
                *x -= dx;
                *y -= dy;
            }
            return command;
        }
    } shifted{PathFlattener(*this, 1.0), cx - 2.0, cy - 2.0};

    agg::rasterizer_scanline_aa<agg::rasterizer_sl_clip_dbl> rasterizer;
    rasterizer.clip_box(0.0, 0.0, 5.0, 5.0);
    rasterizer.filling_rule(agg::fill_non_zero);
    // Stored vertices may be anything an archive held: NaN, infinities, or
    // numbers so large that the clipper's arithmetic overflows.
    FiniteVertexFilter<Shifted> finite(shifted);
    rasterizer.add_path(finite);
    return rasterizer.hit_test(2, 2);
}

bool CAGGraphicsPath::boundsDouble(double& minX, double& minY, double& maxX, double& maxY) const
{
    bool any = false;
    const unsigned total = m_storage.total_vertices();
    for (unsigned i = 0; i < total; ++i) {
        double x, y;
        const unsigned command = m_storage.vertex(i, &x, &y);
        if (!isPathPointCommand(command) || !std::isfinite(x) || !std::isfinite(y))
            continue;
        if (!any) {
            minX = maxX = x;
            minY = maxY = y;
            any = true;
        } else {
            minX = std::min(minX, x);
            maxX = std::max(maxX, x);
            minY = std::min(minY, y);
            maxY = std::max(maxY, y);
        }
    }
    return any;
}

Rect CAGGraphicsPath::GetBounds() const
{
    double minX, minY, maxX, maxY;
    if (!boundsDouble(minX, minY, maxX, maxY))
        return Rect();
    return Rect(float(minX), float(minY), float(maxX - minX), float(maxY - minY));
}

int CAGGraphicsPath::GetPoints(Point* points, int maxCount) const
{
    int n = 0;
    const unsigned total = m_storage.total_vertices();
    for (unsigned i = 0; i < total && n < maxCount; ++i) {
        double x, y;
        if (isPathPointCommand(m_storage.vertex(i, &x, &y)))
            points[n++] = {float(x), float(y)};
    }
    return n;
}

int CAGGraphicsPath::SetPoints(const Point* points, int count)
{
    int n = 0;
    const unsigned total = m_storage.total_vertices();
    for (unsigned i = 0; i < total && n < count; ++i) {
        if (isPathPointCommand(m_storage.command(i))) {
            m_storage.modify_vertex(i, points[n].x, points[n].y);
            ++n;
        }
    }
    return n;
}

int CAGGraphicsPath::GetPointCount() const
{
    int n = 0;
    const unsigned total = m_storage.total_vertices();
    for (unsigned i = 0; i < total; ++i)
        n += isPathPointCommand(m_storage.command(i)) ? 1 : 0;
    return n;
}

void CAGGraphicsPath::Transform(const AffineTransform& m)
{
    const unsigned total = m_storage.total_vertices();
    for (unsigned i = 0; i < total; ++i) {
        double x, y;
        if (!isPathPointCommand(m_storage.vertex(i, &x, &y)))
            continue;
        m_storage.modify_vertex(i, double(m.a) * x + double(m.c) * y + double(m.tx),
                                double(m.b) * x + double(m.d) * y + double(m.ty));
    }
}

void CAGGraphicsPath::AddPath(const CGraphicsPath& other)
{
    if (&other == this) {
        const CAGGraphicsPath copy(*this);
        AddPath(copy);
        return;
    }
    const int count = other.vertexCount();
    for (int i = 0; i < count; ++i) {
        const PathVertex v = other.vertexAt(i);
        addVertex(v.x, v.y, v.command);
    }
}

int CAGGraphicsPath::vertexCount() const
{
    return int(m_storage.total_vertices());
}

PathVertex CAGGraphicsPath::vertexAt(int index) const
{
    PathVertex v;
    if (index < 0 || index >= vertexCount())
        return v;
    v.command = m_storage.vertex(unsigned(index), &v.x, &v.y);
    return v;
}

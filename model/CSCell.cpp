// Panels: shape, geometry, point editing and drawing. The stored forms are
// in CSCellStore.cpp.

#include "CSCell.h"

#include "CGraphicsInterface.h"
#include "CSFrameShape.h"
#include "CSStylesheet.h"
#include "CSUndoApplyTransform.h"
#include "CSUndoMoveFrameByDelta.h"
#include "CSUndoResizeFrameByDelta.h"
#include "CSUndoSetFrame.h"
#include "CSUndoSetIsIrregular.h"
#include "CSUndoSetNumPoints.h"
#include "CSUndoSetPoint.h"
#include "CSUndoSetTag.h"
#include "CUndoManager.h"
#include "LinearGradientBrush.h"
#include "PathGeometry.h"
#include "StyleKeys.h"

#include <algorithm>
#include <cmath>
#include <span>

namespace {

// The qualified keys a panel draws with, made once: drawing looks them up
// for every panel on every repaint.
struct CellKeys
{
    QString frameStyle = QStringLiteral("Cell.FrameStyle");
    QString frameStyleRadius = QStringLiteral("Cell.FrameStyleRadius");
    QString drawBackground = QStringLiteral("Cell.DrawBackground");
    QString backgroundColor = QStringLiteral("Cell.BackgroundColor");
    QString drawGradient = QStringLiteral("Cell.DrawGradient");
    QString gradientFillColor = QStringLiteral("Cell.GradientFillColor");
    QString gradientAngle = QStringLiteral("Cell.GradientAngle");
    QString drawShadow = QStringLiteral("Cell.DrawShadow");
    QString shadowColor = QStringLiteral("Cell.ShadowColor");
    QString shadowBlurRadius = QStringLiteral("Cell.ShadowBlurRadius");
    QString shadowXOffset = QStringLiteral("Cell.ShadowXOffset");
    QString shadowYOffset = QStringLiteral("Cell.ShadowYOffset");
    QString drawFrame = QStringLiteral("Cell.DrawFrame");
    QString frameColor = QStringLiteral("Cell.FrameColor");
    QString frameWidth = QStringLiteral("Cell.FrameWidth");
};

const CellKeys& keys()
{
    static const CellKeys table;
    return table;
}

// The stored points each point count visits, in polygon order.
constexpr int kUsed3[] = {0, 2, 4};
constexpr int kUsed4[] = {0, 2, 4, 6};
constexpr int kUsed5[] = {0, 1, 2, 4, 6};
constexpr int kUsed6[] = {0, 1, 2, 3, 4, 6};
constexpr int kUsed7[] = {0, 1, 2, 3, 4, 5, 6};
constexpr int kUsed8[] = {0, 1, 2, 3, 4, 5, 6, 7};

std::span<const int> usedIndices(int count)
{
    switch (count) {
    case 3: return kUsed3;
    case 4: return kUsed4;
    case 5: return kUsed5;
    case 6: return kUsed6;
    case 7: return kUsed7;
    default: return kUsed8;
    }
}

// Handle positions as fractions of the frame (see CSElement::handlePosition).
constexpr float kHandleX[8] = {0, 0.5f, 1, 0, 1, 0, 0.5f, 1};
constexpr float kHandleY[8] = {0, 0, 0, 0.5f, 0.5f, 1, 1, 1};

Point handleOf(const Rect& r, int handle)
{
    return Point{r.x() + r.width() * kHandleX[handle], r.y() + r.height() * kHandleY[handle]};
}

// +1 when the handle's side grows with a positive delta, -1 when it shrinks,
// 0 when the handle leaves that side alone.
int widthSense(int handle)
{
    static constexpr int kSense[8] = {-1, 0, 1, -1, 1, -1, 0, 1};
    return kSense[handle];
}

int heightSense(int handle)
{
    static constexpr int kSense[8] = {-1, -1, -1, 0, 0, 1, 1, 1};
    return kSense[handle];
}

// The rectangle rounded outward to whole units, also when it is flat.
Rect roundedOutward(const Rect& r)
{
    const float x0 = std::floor(r.minX()), y0 = std::floor(r.minY());
    const float x1 = std::ceil(r.maxX()), y1 = std::ceil(r.maxY());
    return Rect(x0, y0, x1 - x0, y1 - y0);
}

} // namespace

CSCell::CSCell() = default;

CSCell::CSCell(const Rect& frame) : CSElement(frame) {}

CSCell::CSCell(const CSCell& other)
    : CSElement(other),
      m_irregular(other.m_irregular),
      m_points(other.m_points),
      m_numPoints(other.m_numPoints),
      m_tag(other.m_tag)
{
}

CSElement* CSCell::clone() const
{
    return new CSCell(*this);
}

const QString& CSCell::stylePrefix() const
{
    return StyleKeys::prefix(StyleKind::Cell);
}

QStringList CSCell::styleNamesForKind(const CSStylesheet* stylesheet) const
{
    if (!stylesheet)
        return {};
    QStringList names = stylesheet->styleNames(stylePrefix());
    std::sort(names.begin(), names.end(),
              [](const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) < 0; });
    return names;
}

std::vector<CSCell*> CSCell::panelsIn(const std::vector<CSElement*>& elements)
{
    std::vector<CSCell*> panels;
    for (CSElement* element : elements) {
        if (auto* panel = dynamic_cast<CSCell*>(element))
            panels.push_back(panel);
    }
    return panels;
}

// --- Points -------------------------------------------------------------------

CSCell::Points CSCell::pointsAround(const Rect& frame)
{
    const float l = frame.minX(), t = frame.minY(), r = frame.maxX(), b = frame.maxY();
    const float mx = frame.midX(), my = frame.midY();
    return Points{Point{l, b}, Point{mx, b}, Point{r, b}, Point{r, my},
                  Point{r, t}, Point{mx, t}, Point{l, t}, Point{l, my}};
}

Rect CSCell::boundsOf(const std::vector<Point>& points)
{
    if (points.empty())
        return Rect();
    float x0 = points.front().x, x1 = x0, y0 = points.front().y, y1 = y0;
    for (const Point& p : points) {
        x0 = std::min(x0, p.x);
        x1 = std::max(x1, p.x);
        y0 = std::min(y0, p.y);
        y1 = std::max(y1, p.y);
    }
    return Rect(x0, y0, x1 - x0, y1 - y0);
}

Point CSCell::sanitizedPoint(Point p)
{
    return Point{sanitized(p.x), sanitized(p.y)};
}

int CSCell::clampedCount(std::int64_t count)
{
    return int(std::clamp<std::int64_t>(count, kMinPoints, kMaxPoints));
}

void CSCell::storePoints(const Points& points)
{
    for (int i = 0; i < kStoredPoints; ++i)
        m_points[std::size_t(i)] = sanitizedPoint(points[std::size_t(i)]);
}

void CSCell::movePointsBy(Size delta)
{
    for (Point& p : m_points)
        p = sanitizedPoint(Point{p.x + delta.width, p.y + delta.height});
}

std::vector<Point> CSCell::editablePoints() const
{
    std::vector<Point> points;
    for (int index : usedIndices(m_numPoints))
        points.push_back(m_points[std::size_t(index)]);
    return points;
}

int CSCell::storedIndexOf(int editableIndex) const
{
    const std::span<const int> used = usedIndices(m_numPoints);
    if (editableIndex < 0 || std::size_t(editableIndex) >= used.size())
        return -1;
    return used[std::size_t(editableIndex)];
}

NSBezierPath CSCell::polygonPath() const
{
    NSBezierPath path;
    path.startSubpath();
    const std::vector<Point> points = editablePoints();
    path.moveTo(points.front());
    for (std::size_t i = 1; i < points.size(); ++i)
        path.lineTo(points[i]);
    path.closePath();
    return path;
}

void CSCell::setIrregular(bool irregular)
{
    if (irregular == m_irregular)
        return;
    restoreIrregular(irregular, irregular ? pointsAround(frame()) : m_points);
}

void CSCell::restoreIrregular(bool irregular, const Points& points)
{
    if (irregular == m_irregular)
        return;
    registerUndo(new CSUndoSetIsIrregular(this, m_irregular, m_points));
    if (!irregular)
        storeFrame(frame());
    m_irregular = irregular;
    storePoints(points);
    invalidateCache();
    postChanged();
}

void CSCell::setPointCount(int count)
{
    count = clampedCount(count);
    if (count == m_numPoints)
        return;
    registerUndo(new CSUndoSetNumPoints(this, m_numPoints));
    m_numPoints = count;
    invalidateCache();
    postChanged();
}

void CSCell::setTag(std::int32_t tag)
{
    if (tag == m_tag)
        return;
    registerUndo(new CSUndoSetTag(this, m_tag));
    m_tag = tag;
    postChanged();
}

void CSCell::movePoint(Point point, int index)
{
    const int stored = storedIndexOf(index);
    if (isLocked() || !m_irregular || stored < 0)
        return;
    Points moved = m_points;
    moved[std::size_t(stored)] = sanitizedPoint(point);

    // A rotated panel turns about the centre of its bounds, which the edit
    // may move: shift the polygon so that a corner the edit left alone keeps
    // its place on the page.
    Size shift{0.0f, 0.0f};
    if (angle() != 0.0f) {
        const Rect before = frame();
        std::vector<Point> usedAfter;
        for (int i : usedIndices(m_numPoints))
            usedAfter.push_back(moved[std::size_t(i)]);
        const Rect after = boundsOf(usedAfter);
        const Rect b = roundedOutward(before), a = roundedOutward(after);
        const Point cornersBefore[4] = {{b.minX(), b.minY()}, {b.maxX(), b.minY()}, {b.minX(), b.maxY()}, {b.maxX(), b.maxY()}};
        const Point cornersAfter[4] = {{a.minX(), a.minY()}, {a.maxX(), a.minY()}, {a.minX(), a.maxY()}, {a.maxX(), a.maxY()}};
        Point anchor = cornersBefore[0];
        for (int i = 0; i < 4; ++i) {
            if (cornersBefore[i] == cornersAfter[i]) {
                anchor = cornersBefore[i];
                break;
            }
        }
        const Point oldPage = AffineTransform::rotationAbout(Point{before.midX(), before.midY()}, angle()).transformPoint(anchor);
        const Point newPage = AffineTransform::rotationAbout(Point{after.midX(), after.midY()}, angle()).transformPoint(anchor);
        shift = Size{oldPage.x - newPage.x, oldPage.y - newPage.y};
    }

    // The old point is saved where it lies relative to the shifted polygon,
    // so that undoing restores the shape and not only the one point.
    const Point old = m_points[std::size_t(stored)];
    registerUndo(new CSUndoSetPoint(this, sanitizedPoint(Point{old.x + shift.width, old.y + shift.height}), index));
    m_points = moved;
    if (shift.width != 0.0f || shift.height != 0.0f)
        movePointsBy(shift);
    invalidateCache();
    postChanged();
}

// --- Geometry ---------------------------------------------------------------------

Rect CSCell::frame() const
{
    return m_irregular ? boundsOf(editablePoints()) : CSElement::frame();
}

void CSCell::setFrame(const Rect& frame)
{
    if (!m_irregular) {
        CSElement::setFrame(frame);
        return;
    }
    const Rect current = this->frame();
    Rect target = sanitized(frame);
    // A polygon squeezed flat could never be given its shape back: a side
    // that changes stays at least kMinResizeSide long.
    auto limited = [](float wanted, float side) {
        return wanted == side || wanted >= kMinResizeSide ? wanted : kMinResizeSide;
    };
    target.size = Size{limited(target.width(), current.width()), limited(target.height(), current.height())};
    if (isLocked() || target == current)
        return;
    registerUndo(new CSUndoSetFrame(this, current));
    // Flat sides cannot be scaled: they are moved.
    const float sx = current.width() != 0.0f ? target.width() / current.width() : 1.0f;
    const float sy = current.height() != 0.0f ? target.height() / current.height() : 1.0f;
    for (Point& p : m_points)
        p = sanitizedPoint(Point{target.x() + (p.x - current.x()) * sx, target.y() + (p.y - current.y()) * sy});
    storeFrame(target);
    invalidateCache();
    postChanged();
}

void CSCell::moveBy(Size delta)
{
    moveByRecording(delta, true);
}

void CSCell::moveByRecording(Size delta, bool record)
{
    if (isLocked())
        return;
    if (!m_irregular) {
        CSElement::moveByRecording(delta, record);
        return;
    }
    delta = sanitized(delta);
    if (delta.width == 0.0f && delta.height == 0.0f)
        return;
    if (record)
        registerUndo(new CSUndoMoveFrameByDelta(this, Size{-delta.width, -delta.height}));
    movePointsBy(delta);
    moveChildrenByRecording(delta, false);
    invalidateCache();
    postChanged();
}

void CSCell::shiftBy(Size delta)
{
    delta = sanitized(delta);
    if (isLocked() || (delta.width == 0.0f && delta.height == 0.0f))
        return;
    if (m_irregular) {
        movePointsBy(delta);
    } else {
        Rect f = CSElement::frame();
        f.origin = Point{f.x() + delta.width, f.y() + delta.height};
        storeFrame(f);
    }
    invalidateCache();
    postChanged();
}

void CSCell::resizeByHandle(Size delta, int handle)
{
    if (m_irregular)
        resizeIrregular(delta, handle);
    else
        CSElement::resizeByHandle(delta, handle);
}

void CSCell::resizeIrregular(Size delta, int handle)
{
    if (isLocked() || handle < 0 || handle > 7)
        return;
    delta = sanitized(delta);
    const Rect bounds = frame();
    const Point pageAnchorBefore = handlePosition(7 - handle);
    const Point anchor = handleOf(bounds, 7 - handle);
    const Rect wanted = resizedFrame(bounds, delta, handle);

    // Each side the handle moves becomes at least kMinResizeSide long (NaN
    // included); the delta saved for undo is the one actually applied.
    auto scaleFor = [](int sense, float current, float requested, float& applied) {
        if (sense == 0 || current <= 0.0f) {
            applied = 0.0f;
            return 1.0f;
        }
        const float side = requested >= kMinResizeSide ? requested : kMinResizeSide;
        applied = float(sense) * (side - current);
        return side / current;
    };
    Size applied;
    const float sx = scaleFor(widthSense(handle), bounds.width(), wanted.width(), applied.width);
    const float sy = scaleFor(heightSense(handle), bounds.height(), wanted.height(), applied.height);

    registerUndo(new CSUndoResizeFrameByDelta(this, Size{-applied.width, -applied.height}, handle));
    for (Point& p : m_points)
        p = sanitizedPoint(Point{anchor.x + (p.x - anchor.x) * sx, anchor.y + (p.y - anchor.y) * sy});
    if (angle() != 0.0f) {
        const Point pageAnchorAfter = handlePosition(7 - handle);
        movePointsBy(Size{pageAnchorBefore.x - pageAnchorAfter.x, pageAnchorBefore.y - pageAnchorAfter.y});
    }
    invalidateCache();
    postChanged();
}

bool CSCell::isReplayingHistory() const
{
    const CUndoManager* manager = undoManager();
    return manager && (manager->isUndoing() || manager->isRedoing());
}

void CSCell::applyTransform(const AffineTransform& transform)
{
    if (!m_irregular) {
        CSElement::applyTransform(transform);
        return;
    }
    if (!isLocked())
        transformIrregular(transform);
    // The children record their own changes: when the panel's transform is
    // undone or redone, their own actions take them back and forth.
    if (isReplayingHistory())
        return;
    for (CSElement* child : children())
        child->applyTransform(transform);
}

void CSCell::transformIrregular(const AffineTransform& transform)
{
    registerUndo(new CSUndoApplyTransform(this, transform.inverted()));
    AffineTransform m = rotationTransform(angle());
    m.concat(transform);
    const float degrees = angle();
    const AffineTransform back = AffineTransform::rotationAbout(transform.transformPoint(center()), -degrees);
    for (Point& p : m_points) {
        Point q = m.transformPoint(p);
        if (degrees != 0.0f)
            q = back.transformPoint(q);
        p = sanitizedPoint(q);
    }
    invalidateCache();
    postChanged();
}

NSBezierPath CSCell::outlinePath() const
{
    return m_irregular ? polygonPath() : CSElement::outlinePath();
}

bool CSCell::hitTest(Point local) const
{
    return m_irregular ? polygonPath().containsPoint(local) : rectContainsPoint(frame(), local);
}

std::unique_ptr<NSBezierPath> CSCell::shapePath(const CSStylesheet*) const
{
    return std::make_unique<NSBezierPath>(m_irregular ? polygonPath() : NSBezierPath::pathWithRect(frame()));
}

std::unique_ptr<NSBezierPath> CSCell::clipPath(const CSStylesheet* stylesheet) const
{
    auto path = std::make_unique<NSBezierPath>(styledFramePath(stylesheet));
    if (angle() != 0.0f)
        path->transformBy(rotationTransform(angle()));
    return path;
}

void CSCell::attachPictures(const NSDictionary* pictures)
{
    for (CSElement* child : children())
        child->attachPictures(pictures);
}

// --- Drawing ------------------------------------------------------------------------

NSBezierPath CSCell::styledFramePath(const CSStylesheet* stylesheet) const
{
    return styledFramePath(CSAttributeReader(*this, stylesheet));
}

NSBezierPath CSCell::styledFramePath(const CSAttributeReader& attributes) const
{
    if (m_irregular)
        return polygonPath();
    const float radius = sanitized(attributes.floatValue(keys().frameStyleRadius));
    return framePathForStyle(attributes.intValue(keys().frameStyle), frame(), radius);
}

void CSCell::draw(const CSStylesheet* stylesheet, bool highResolution, float scale)
{
    CGraphicsInterface* context = CurrentContext();
    if (!context)
        return;
    const CellKeys& k = keys();
    const CSAttributeReader attributes(*this, stylesheet);
    NSBezierPath path = styledFramePath(attributes);

    context->Save();
    context->MultiplyTransform(rotationTransform(angle()));
    if (attributes.boolValue(k.drawBackground)) {
        context->Save();
        if (attributes.boolValue(k.drawShadow)) {
            CShadow& dropShadow = shadow();
            dropShadow.setColor(attributes.colorValue(k.shadowColor));
            dropShadow.setBlurRadius(attributes.floatValue(k.shadowBlurRadius));
            dropShadow.setOffset(Size{attributes.floatValue(k.shadowXOffset) * 20.0f * scale,
                                      attributes.floatValue(k.shadowYOffset) * 20.0f * scale});
            dropShadow.applyShadow();
        }
        const PackedColor background = attributes.colorValue(k.backgroundColor);
        path.setColor(background);
        path.fill();
        // The shadow is cast by the fill only.
        context->Restore();
        if (attributes.boolValue(k.drawGradient)) {
            const LinearGradientBrush brush(path.bounds(), background, attributes.colorValue(k.gradientFillColor),
                                            flipAngle(attributes.floatValue(k.gradientAngle)));
            path.fillWithGradient(brush);
        }
    }
    if (attributes.boolValue(k.drawFrame)) {
        path.setColor(attributes.colorValue(k.frameColor));
        path.setLineWidth(attributes.floatValue(k.frameWidth));
        path.stroke();
    }
    context->Restore();

    for (CSElement* child : children())
        child->draw(stylesheet, highResolution, scale);
}

void CSCell::drawOverlay(const CSStylesheet* stylesheet, bool, float) const
{
    CGraphicsInterface* context = CurrentContext();
    const CellKeys& k = keys();
    const CSAttributeReader attributes(*this, stylesheet);
    if (!context || !attributes.boolValue(k.drawFrame))
        return;
    NSBezierPath path = styledFramePath(attributes);
    context->Save();
    context->MultiplyTransform(rotationTransform(angle()));
    path.setColor(attributes.colorValue(k.frameColor));
    path.setLineWidth(attributes.floatValue(k.frameWidth));
    path.stroke();
    context->Restore();
}

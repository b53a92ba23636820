// The element base: construction, geometry, notifications and the undoable
// setters of frame, angle, flags and margin.

#include "CSElement.h"

#include "CGraphicsInterface.h"
#include "CSStylesheet.h"
#include "CSUndoApplyTransform.h"
#include "CSUndoMoveFrameByDelta.h"
#include "CSUndoSetAngle.h"
#include "CSUndoSetClipToFrame.h"
#include "CSUndoSetFrame.h"
#include "CSUndoSetLock.h"
#include "CSUndoSetMargin.h"
#include "CUndoManager.h"
#include "NotificationCenter.h"
#include "NotificationNames.h"

#include <algorithm>
#include <cmath>

CSRenderCache::~CSRenderCache() = default;

CSElement::CSElement() = default;

CSElement::CSElement(const Rect& frame) : m_frame(sanitized(frame)) {}

CSElement::~CSElement()
{
    CSCopyScope::forget(this);
    CSArchiveScope::forget(this);
    std::vector<CSElement*> children;
    children.swap(m_children);
    for (CSElement* child : children)
        destroyOnce(child);
}

void CSElement::destroyTree(CSElement* element)
{
    if (!element)
        return;
    clearDestructionRecord();
    destroyOnce(element);
    clearDestructionRecord();
}

const char* CSElement::className() const
{
    return "CSElement";
}

float CSElement::sanitized(double value)
{
    if (std::isnan(value))
        return 0.0f;
    return float(std::clamp(value, double(-kMaxCoordinate), double(kMaxCoordinate)));
}

Rect CSElement::sanitized(const Rect& rect)
{
    return Rect(sanitized(rect.x()), sanitized(rect.y()), sanitized(rect.width()), sanitized(rect.height()));
}

Size CSElement::sanitized(Size size)
{
    return Size{sanitized(size.width), sanitized(size.height)};
}

void CSElement::setUndoManager(CUndoManager* manager)
{
    UndoableObject::setUndoManager(manager);
    for (CSElement* child : m_children)
        child->setUndoManager(manager);
}

CSElement* CSElement::clone() const
{
    return nullptr;
}

bool CSElement::drawsMerged(const CSStylesheet*) const
{
    return false;
}

// --- Cache and notifications -------------------------------------------------

void CSElement::invalidateCache()
{
    m_renderCache.reset();
}

void CSElement::post(QStringView name)
{
    if (CUndoManager* manager = undoManager())
        NotificationCenter::defaultCenter().postNotification(name, manager, this);
}

void CSElement::postChanged()
{
    post(NotificationNames::CSElementChangedNotification);
}

void CSElement::invalidateAndPostChanged()
{
    invalidateCache();
    postChanged();
}

void CSElement::postStyleChanged()
{
    post(NotificationNames::CSElementChangedStyleNotification);
}

CSElement::UndoGroup::UndoGroup(CUndoManager* manager)
{
    if (manager && manager->openGroupCount() == 0 && !manager->isUndoing() && !manager->isRedoing()) {
        manager->beginGroup();
        m_manager = manager;
    }
}

CSElement::UndoGroup::~UndoGroup()
{
    if (m_manager)
        m_manager->endGroup();
}

// --- Geometry -----------------------------------------------------------------

void CSElement::setFrame(const Rect& frame)
{
    const Rect stored = sanitized(frame);
    if (m_locked || stored == m_frame)
        return;
    registerUndo(new CSUndoSetFrame(this, m_frame));
    postChanged();
    m_frame = stored;
    postChanged();
}

void CSElement::moveBy(Size delta)
{
    moveByRecording(delta, true);
}

void CSElement::moveByRecording(Size delta, bool record)
{
    delta = sanitized(delta);
    if (delta.width == 0.0f && delta.height == 0.0f)
        return;
    if (record)
        registerUndo(new CSUndoMoveFrameByDelta(this, Size{-delta.width, -delta.height}));
    m_frame.origin.x = sanitized(double(m_frame.origin.x) + delta.width);
    m_frame.origin.y = sanitized(double(m_frame.origin.y) + delta.height);
    moveChildrenByRecording(delta, false);
    postChanged();
}

void CSElement::moveChildrenBy(Size delta)
{
    moveChildrenByRecording(delta, true);
}

void CSElement::moveChildrenByRecording(Size delta, bool record)
{
    for (CSElement* child : children())
        child->moveByRecording(delta, record);
}

Point CSElement::handlePosition(int handle) const
{
    const Rect f = frame();
    static constexpr float kX[8] = {0, 0.5f, 1, 0, 1, 0, 0.5f, 1};
    static constexpr float kY[8] = {0, 0, 0, 0.5f, 0.5f, 1, 1, 1};
    const int i = std::clamp(handle, 0, 7);
    const Point p{f.x() + f.width() * kX[i], f.y() + f.height() * kY[i]};
    return rotationTransform(angle()).transformPoint(p);
}

Rect CSElement::resizedFrame(const Rect& frame, Size delta, int handle) const
{
    Rect f = frame;
    const float dx = delta.width, dy = delta.height;
    switch (handle) {
    case 0: f.size.width -= dx; f.size.height -= dy; break;
    case 1: f.size.height -= dy; break;
    case 2: f.size.width += dx; f.size.height -= dy; break;
    case 3: f.size.width -= dx; break;
    case 4: f.size.width += dx; break;
    case 5: f.size.width -= dx; f.size.height += dy; break;
    case 6: f.size.height += dy; break;
    case 7: f.size.width += dx; f.size.height += dy; break;
    default: break;
    }
    return f;
}

void CSElement::resizeByHandle(Size delta, int handle)
{
    if (handle < 0 || handle > 7)
        return;
    const Point p0 = handlePosition(7 - handle);
    Rect f = resizedFrame(frame(), sanitized(delta), handle);
    // Also catches NaN: a side that is not at least the minimum becomes it.
    if (!(f.size.width >= kMinResizeSide))
        f.size.width = kMinResizeSide;
    if (!(f.size.height >= kMinResizeSide))
        f.size.height = kMinResizeSide;
    setFrame(f);
    const Point p1 = handlePosition(7 - handle);
    shiftBy(Size{p0.x - p1.x, p0.y - p1.y});
    postChanged();
}

AffineTransform CSElement::resizeTransform(Size delta, int handle) const
{
    auto unrotated = [this](int i) {
        return rotationTransform(-angle()).transformPoint(handlePosition(i));
    };
    const int i = std::clamp(handle, 0, 7);
    const Point anchor = unrotated(7 - i);
    const Point corner = unrotated(i);
    const Point moved{corner.x + delta.width, corner.y + delta.height};
    const float dx = corner.x - anchor.x, dy = corner.y - anchor.y;
    const float sx = dx != 0.0f ? (moved.x - anchor.x) / dx : 1.0f;
    const float sy = dy != 0.0f ? (moved.y - anchor.y) / dy : 1.0f;
    return AffineTransform::scaleAbout(anchor, sx, sy);
}

void CSElement::shiftBy(Size delta)
{
    moveBy(delta);
}

void CSElement::setPointCount(int) {}

void CSElement::movePoint(Point, int) {}

Rect CSElement::turnedBounds(NSBezierPath path) const
{
    if (angle() != 0.0f)
        path.transformBy(rotationTransform(angle()));
    return path.bounds();
}

Rect CSElement::rotatedBounds() const
{
    return turnedBounds(outlinePath());
}

Rect CSElement::rotatedStrokeBounds() const
{
    return turnedBounds(strokePath());
}

Rect CSElement::boundsIncludingChildren() const
{
    Rect bounds = rotatedBounds();
    for (const CSElement* child : m_children)
        bounds = unionRect(bounds, child->boundsIncludingChildren());
    return bounds;
}

Rect CSElement::visualBounds(const CSStylesheet* stylesheet) const
{
    Rect r = rotatedBounds();
    if (boolAttribute(QStringLiteral("DrawFrame"), stylesheet)) {
        const float w = floatAttribute(QStringLiteral("FrameWidth"), stylesheet);
        r = insetRect(r, -w, -w);
    }
    if (!boolAttribute(QStringLiteral("DrawShadow"), stylesheet))
        return r;
    // Shadow offsets are stored in twentieths of a unit, y pointing up.
    Rect shadow = r;
    shadow.origin.x += floatAttribute(QStringLiteral("ShadowXOffset"), stylesheet) * 20.0f;
    shadow.origin.y -= floatAttribute(QStringLiteral("ShadowYOffset"), stylesheet) * 20.0f;
    const float blur = floatAttribute(QStringLiteral("ShadowBlurRadius"), stylesheet);
    shadow = insetRect(shadow, -blur, -blur);
    return unionRect(r, shadow);
}

Rect CSElement::visualBoundsIfShadowed(const Rect& rect, const CSStylesheet* stylesheet) const
{
    return boolAttribute(QStringLiteral("DrawShadow"), stylesheet) ? visualBounds(stylesheet) : rect;
}

NSBezierPath CSElement::outlinePath() const
{
    return NSBezierPath::pathWithRect(frame());
}

void CSElement::setClipsToFrame(bool clips)
{
    if (clips == m_clipsToFrame)
        return;
    registerUndo(new CSUndoSetClipToFrame(this, m_clipsToFrame));
    m_clipsToFrame = clips;
    postChanged();
}

bool CSElement::isClipped() const
{
    return clipsToFrame() && clipSource();
}

Rect CSElement::clipRect() const
{
    return isClipped() ? clipSource()->frame() : Rect();
}

void CSElement::setLocked(bool locked)
{
    if (locked == m_locked)
        return;
    registerUndo(new CSUndoSetLock(this, m_locked));
    m_locked = locked;
    postChanged();
}

void CSElement::setMargin(Size margin)
{
    margin = sanitized(margin);
    if (margin == m_margin)
        return;
    registerUndo(new CSUndoSetMargin(this, m_margin));
    m_margin = margin;
    invalidateCache();
    postChanged();
}

void CSElement::setAngle(float degrees)
{
    const float stored = sanitized(degrees);
    if (isLocked() || stored == m_angle)
        return;
    registerUndo(new CSUndoSetAngle(this, m_angle));
    m_angle = stored;
    invalidateCache();
    postChanged();
}

Point CSElement::center() const
{
    const Rect f = frame();
    return Point{f.midX(), f.midY()};
}

AffineTransform CSElement::rotationTransform(float degrees) const
{
    if (degrees == 0.0f)
        return AffineTransform();
    return AffineTransform::rotationAbout(center(), degrees);
}

AffineTransform CSElement::scaleTransform(float sx, float sy) const
{
    return AffineTransform::scaleAbout(center(), sx, sy);
}

void CSElement::applyTransform(const AffineTransform& transform)
{
    AffineTransform m = rotationTransform(angle());
    m.concat(transform);
    const Rect f = frame();
    Point a = m.transformPoint(Point{f.minX(), f.minY()});
    Point b = m.transformPoint(Point{f.maxX(), f.maxY()});
    if (angle() != 0.0f) {
        const Point mid{(a.x + b.x) * 0.5f, (a.y + b.y) * 0.5f};
        const AffineTransform back = AffineTransform::rotationAbout(mid, -angle());
        a = back.transformPoint(a);
        b = back.transformPoint(b);
    }
    setFrame(Rect(a.x, a.y, b.x - a.x, b.y - a.y));
    for (CSElement* child : children())
        child->applyTransform(transform);
}

Point CSElement::pageToLocal(Point point) const
{
    if (angle() == 0.0f)
        return point;
    return AffineTransform::rotationAbout(center(), -angle()).transformPoint(point);
}

void CSElement::draw(const CSStylesheet* stylesheet, bool highResolution, float scale)
{
    drawContents(stylesheet, highResolution, scale, 0);
}

void CSElement::drawContents(const CSStylesheet*, bool, float, int) {}

bool CSElement::hitTest(Point local) const
{
    return rectContainsPoint(frame(), local);
}

// --- Text and pictures ---------------------------------------------------------

void CSElement::setFont(const PAFont*) {}

void CSElement::setTextColor(PackedColor) {}

void CSElement::setText(const CAttributedString&) {}

void CSElement::stylesheetChanged(const CSStylesheet* stylesheet)
{
    for (CSElement* child : m_children)
        child->stylesheetChanged(stylesheet);
}

std::vector<PAImage*> CSElement::picturesInUse() const
{
    std::vector<PAImage*> pictures;
    for (const CSElement* child : m_children) {
        if (PAImage* shown = child->picture())
            pictures.push_back(shown);
    }
    return pictures;
}

void CSElement::attachPictures(const NSDictionary* pictures)
{
    for (CSElement* child : m_children)
        child->attachPictures(pictures);
}

bool CSElement::usesPicture(const QString& pictureName) const
{
    return std::any_of(m_children.begin(), m_children.end(),
                       [&](const CSElement* child) { return child->usesPicture(pictureName); });
}

std::unique_ptr<NSBezierPath> CSElement::clipPath(const CSStylesheet*) const
{
    return nullptr;
}

std::unique_ptr<NSBezierPath> CSElement::shapePath(const CSStylesheet*) const
{
    return nullptr;
}

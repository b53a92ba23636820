#include "CSGroupElement.h"

CSGroupElement::~CSGroupElement()
{
    forgetChildren();
}

void CSGroupElement::addChild(CSElement* element)
{
    appendChildQuietly(element);
}

void CSGroupElement::insertChild(CSElement* element, int)
{
    appendChildQuietly(element);
}

Rect CSGroupElement::rotatedBounds() const
{
    Rect bounds;
    bool first = true;
    for (const CSElement* member : children()) {
        const Rect r = member->rotatedBounds();
        if (first) {
            bounds = r;
            first = false;
        } else if (r.width() != 0.0f || r.height() != 0.0f) {
            bounds = unionRect(bounds, r);
        }
    }
    return bounds;
}

void CSGroupElement::setFrame(const Rect& frame)
{
    const Rect current = this->frame();
    const Size delta{frame.x() - current.x(), frame.y() - current.y()};
    if (delta.width == 0.0f && delta.height == 0.0f)
        return;
    for (CSElement* member : children()) {
        const CSElementKind kind = member->elementKind();
        if (kind == CSElementKind::Panel || kind == CSElementKind::Lettering) {
            member->moveBy(delta);
        } else {
            Rect moved = member->frame();
            moved.origin.x += delta.width;
            moved.origin.y += delta.height;
            member->setFrame(moved);
        }
    }
}

void CSGroupElement::draw(const CSStylesheet* stylesheet, bool highResolution, float scale)
{
    for (CSElement* member : children())
        member->draw(stylesheet, highResolution, scale);
}

void CSGroupElement::attachPictures(const NSDictionary* pictures)
{
    for (CSElement* member : children())
        member->attachPictures(pictures);
}

bool CSGroupElement::hitTest(Point point) const
{
    for (const CSElement* member : children()) {
        if (member->hitTest(member->pageToLocal(point)))
            return true;
        for (const CSElement* part : member->children()) {
            if (part->hitTest(part->pageToLocal(point)))
                return true;
        }
    }
    return false;
}

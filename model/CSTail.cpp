#include "CSTail.h"

#include <tinyxml.h>

void CSTail::setFrame(const Rect& frame)
{
    if (isLocked())
        return;
    CSBalloonPart::setFrame(frame);
}

bool CSTail::hitTest(Point local) const
{
    if (balloonGripHit(local))
        return false;
    return rectContainsPoint(insetRect(frame(), -kHitRadius, -kHitRadius), local);
}

TiXmlElement* CSTail::toXml(TiXmlNode* parent) const
{
    // A tail has no look and no children of its own: only its frame and the
    // shared settings that name its balloon.
    TiXmlElement* element = writeCommonXml(parent);
    for (const char* name : {"style", "elements"}) {
        if (TiXmlElement* child = element->FirstChildElement(name))
            element->RemoveChild(child);
    }
    writeSharedAttributes(element);
    return element;
}

CSElement* CSTail::fromXml(const TiXmlElement* node, int)
{
    auto* tail = new CSTail(frameFromXml(node));
    tail->readCommonXml(node);
    tail->readSharedAttributes(node->FirstChildElement("attributes"));
    return tail;
}

#include "CSBalloonPart.h"

#include "CSSpeechElement.h"

CSSpeechElement* CSBalloonPart::balloon() const
{
    return dynamic_cast<CSSpeechElement*>(master());
}

bool CSBalloonPart::acceptsMaster(const CSElement* candidate) const
{
    return dynamic_cast<const CSSpeechElement*>(candidate) != nullptr;
}

QString CSBalloonPart::styleName() const
{
    const CSSpeechElement* owner = balloon();
    return owner ? owner->styleName() : QString();
}

const QString& CSBalloonPart::stylePrefix() const
{
    static const QString none;
    const CSSpeechElement* owner = balloon();
    return owner ? owner->stylePrefix() : none;
}

void CSBalloonPart::setStyleName(const QString& name)
{
    if (CSSpeechElement* owner = balloon())
        owner->setStyleName(name);
}

bool CSBalloonPart::hasLocalAttributes() const
{
    const CSSpeechElement* owner = balloon();
    return owner && owner->hasLocalAttributes();
}

QStringList CSBalloonPart::styleNamesForKind(const CSStylesheet* stylesheet) const
{
    const CSSpeechElement* owner = balloon();
    return owner ? owner->styleNamesForKind(stylesheet) : QStringList();
}

bool CSBalloonPart::isLocked() const
{
    const CSSpeechElement* owner = balloon();
    return owner && owner->isLocked();
}

void CSBalloonPart::setLocked(bool locked)
{
    if (CSSpeechElement* owner = balloon())
        owner->setLocked(locked);
}

void CSBalloonPart::setClipsToFrame(bool clips)
{
    if (CSSpeechElement* owner = balloon())
        owner->setClipsToFrame(clips);
}

CSElement* CSBalloonPart::clipSource() const
{
    const CSSpeechElement* owner = balloon();
    return owner ? owner->clipSource() : nullptr;
}

void CSBalloonPart::setClipSource(CSElement* source)
{
    if (CSSpeechElement* owner = balloon())
        owner->setClipSource(source);
}

bool CSBalloonPart::balloonGripHit(Point point) const
{
    const CSSpeechElement* owner = balloon();
    return owner && owner->hitTest(point);
}

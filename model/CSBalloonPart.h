#pragma once

#include "CSElement.h"

class CSSpeechElement;

// What sub-balloons and tails share: they belong to a balloon (their master)
// and have no look, lock or clip of their own. Style, lock and clip settings
// are the balloon's; without a balloon the getters answer empty, null or
// false and the setters do nothing. Only a balloon can be a part's master,
// so the forwarding always ends one step up. Parts never rotate, and the
// balloon maps them itself when it is scaled.
class CSBalloonPart : public CSElement
{
public:
    using CSElement::CSElement;

    // The master when it is a balloon, else null.
    CSSpeechElement* balloon() const;

    bool acceptsMaster(const CSElement* candidate) const override;
    QString styleName() const override;
    const QString& stylePrefix() const override;
    void setStyleName(const QString& name) override;
    bool hasLocalAttributes() const override;
    QStringList styleNamesForKind(const CSStylesheet* stylesheet) const override;
    bool isLocked() const override;
    void setLocked(bool locked) override;
    void setClipsToFrame(bool clips) override;
    CSElement* clipSource() const override;
    void setClipSource(CSElement* source) override;
    bool canRotate() const override { return false; }
    void applyTransform(const AffineTransform&) override {}

protected:
    CSBalloonPart(const CSBalloonPart& other) : CSElement(other) {}

    // True when the balloon's own grip lies under the point.
    bool balloonGripHit(Point point) const;
};

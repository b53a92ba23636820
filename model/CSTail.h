#pragma once

#include "CSBalloonPart.h"

// The tip a balloon points at. A tail holds nothing but the origin of its
// frame; its balloon's first sub-balloon grows the pointer towards it and
// draws it as part of the balloon's outline, so the page never draws a tail.
class CSTail : public CSBalloonPart
{
public:
    // Clicks this close to the tip select the tail.
    static constexpr float kHitRadius = 5.0f;

    CSTail() = default;
    explicit CSTail(const Rect& frame) : CSBalloonPart(frame) {}
    // A tail of size 0 at the point.
    explicit CSTail(Point tip) : CSBalloonPart(Rect(tip.x, tip.y, 0, 0)) {}

    Point tip() const { return frame().origin; }

    CSElementKind elementKind() const override { return CSElementKind::Tail; }
    const char* className() const override { return kClassName; }
    CSElement* clone() const override { return new CSTail(*this); }
    // Refused while the balloon is locked.
    void setFrame(const Rect& frame) override;
    // The frame grown by kHitRadius, except where the balloon's grip lies.
    bool hitTest(Point local) const override;
    bool isDrawnByPage() const override { return false; }
    bool isResizable() const override { return false; }
    std::vector<CSElementKind> acceptedChildClasses() const override { return {}; }
    const char* kindName() const override { return "balloontail"; }
    TiXmlElement* toXml(TiXmlNode* parent) const override;

    // Reads an "element" of type "balloontail".
    static CSElement* fromXml(const TiXmlElement* node, int depth);

    static constexpr const char* kClassName = "CSTail";

protected:
    CSTail(const CSTail& other) : CSBalloonPart(other) {}
};

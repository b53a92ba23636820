#pragma once

#include "CSElement.h"

class CSBubble;
class CSTail;

// A speech or thought balloon: a container of sub-balloons (CSBubble) and
// tails (CSTail) that owns the look (style, kind, text margin) and draws
// them all. Its first sub-balloon grows a pointer towards every tail, every
// later one towards the sub-balloon before it; all outlines and pointers
// are merged into one path that is shadowed, filled and framed as a whole,
// then each sub-balloon's text is drawn on top.
//
// The parts are also members of the page's element list, so that each can
// be selected and moved alone. The balloon's frame is computed from its
// parts; the stored frame is kept only for the file and moves with the
// balloon. Balloons do not rotate.
class CSSpeechElement : public CSElement
{
public:
    // The text inset of a new balloon's sub-balloons.
    static constexpr Size kDefaultMargin{3.0f, 3.0f};
    // The rim around the parts that the frame adds on every side.
    static constexpr float kFrameRim = 5.0f;
    // The side of the square around the centre that grips the balloon itself.
    static constexpr float kGripSide = 30.0f;

    CSSpeechElement();
    explicit CSSpeechElement(const Rect& frame);

    std::int32_t speechType() const { return m_speechType; }
    // Gives the kind to the balloon and to every sub-balloon, as one undo
    // step: the balloon's own action and one for each sub-balloon whose kind
    // changes.
    void setSpeechType(std::int32_t kind);
    // The balloon's own kind alone (what undoing a kind change puts back).
    void restoreSpeechType(std::int32_t kind);

    std::vector<CSBubble*> subBalloons() const;
    std::vector<CSTail*> tails() const;

    // Every sub-balloon's outline with its pointers, in child order, as one
    // path for the non-zero rule.
    NSBezierPath mergedOutline(bool straightTails) const;
    // The frame as stored (written to files, moved with the balloon).
    Rect storedFrame() const { return CSElement::frame(); }

    CSElementKind elementKind() const override { return CSElementKind::Balloon; }
    const char* className() const override { return kClassName; }
    // The base form, then the kind.
    void writeToArchive(ArchiveWriter& archive) const override;
    void readFromArchive(ArchiveReader& archive) override;
    CSElement* clone() const override;
    // The union of the tail tips and sub-balloon frames, grown by kFrameRim.
    Rect frame() const override;
    // Scales and moves the parts about the frame's centre so that they fill
    // the rectangle less the rim; refused when locked. One undo step.
    void setFrame(const Rect& frame) override;
    void resizeByHandle(Size delta, int handle) override;
    bool isClipped() const override;
    bool canRotate() const override { return false; }
    void draw(const CSStylesheet* stylesheet, bool highResolution, float scale) override;
    // Becomes the element's master, then holds it.
    void addChild(CSElement* element) override;
    // The last sub-balloon is never removed.
    void removeChild(CSElement* element) override;
    // The first sub-balloon's text.
    CAttributedString text() const override;
    void setText(const CAttributedString& text) override;
    void setFont(const PAFont* font) override;
    void setTextColor(PackedColor color) override;
    bool hasSingleBubble() const override;
    bool canRemovePart(const CSElement* element) const override;
    bool adoptsDependants() const override { return true; }
    std::vector<CSElement*> dependants() const override { return children(); }
    std::vector<CSElementKind> acceptedChildClasses() const override
    {
        return {CSElementKind::SubBalloon, CSElementKind::Tail};
    }
    // The grip: the kGripSide square around the frame's centre.
    bool hitTest(Point local) const override;
    QStringList styleNamesForKind(const CSStylesheet* stylesheet) const override;
    const QString& stylePrefix() const override;
    const char* kindName() const override { return "balloon"; }
    TiXmlElement* toXml(TiXmlNode* parent) const override;

    // Reads an "element" of type "balloon" (its parts come as separate
    // elements and are attached when the page's references are resolved).
    static CSElement* fromXml(const TiXmlElement* node, int depth);

    static constexpr const char* kClassName = "CSSpeechElement";

protected:
    CSSpeechElement(const CSSpeechElement& other);

private:
    std::int32_t m_speechType = 0;
};

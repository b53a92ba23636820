#pragma once

#include "CSBalloonPart.h"

// A sub-balloon: one outline of its kind placed in its frame, and the styled
// text shown inside it. It draws nothing itself; its balloon draws every
// outline merged and then each sub-balloon's text (drawBubbleText).
class CSBubble : public CSBalloonPart
{
public:
    // No side of a sub-balloon set through setFrame is shorter than this.
    static constexpr float kMinSide = 20.0f;
    // The text rectangle of a new sub-balloon is its frame inset by this.
    static constexpr float kTextInset = 5.0f;

    // Empty: no frame, no text, kind 0, no balloon.
    CSBubble();
    // The frame as given, the text rectangle inside it, kind 0, and the
    // balloon (when one is given) as its master.
    CSBubble(const Rect& frame, CSSpeechElement* balloon);

    std::int32_t bubbleType() const { return m_bubbleType; }
    // Records CSUndoSetBubbleType; nothing when the kind is the current one.
    void setBubbleType(std::int32_t kind);

    // A new path: the kind's unit shape placed in the frame, then the
    // pointers: towards every tail tip for the balloon's first sub-balloon,
    // towards the centre of the sub-balloon before it for any other. An
    // unknown kind has no outline of its own, only its pointers.
    NSBezierPath bubbleOutline(bool straight) const;
    // Lays the text out in the frame less the margin, centred vertically,
    // draws it into the current context and keeps where it went.
    void drawBubbleText();

    CSElementKind elementKind() const override { return CSElementKind::SubBalloon; }
    const char* className() const override { return kClassName; }
    // The base form, then the text and the kind (the text rectangle is not kept).
    void writeToArchive(ArchiveWriter& archive) const override;
    void readFromArchive(ArchiveReader& archive) override;
    CSElement* clone() const override;
    // Refused when this sub-balloon or its balloon is locked; sides below
    // kMinSide become kMinSide.
    void setFrame(const Rect& frame) override;
    // The balloon's margin, wider for the kinds with spikes and bumps;
    // (0, 0) without a balloon.
    Size margin() const override;
    Rect textRect() const override;
    CAttributedString text() const override { return m_text; }
    // Records CSUndoSetString.
    void setText(const CAttributedString& text) override;
    // Applied over the whole text.
    void setFont(const PAFont* font) override;
    void setTextColor(PackedColor color) override;
    QString fontKey() const override { return QStringLiteral("Bubble.Font"); }
    bool editsTextOnDoubleClick() const override { return true; }
    bool centersTextVertically() const override { return true; }
    // The frame, except where the balloon's centre grip lies.
    bool hitTest(Point local) const override;
    std::vector<CSElementKind> acceptedChildClasses() const override
    {
        return {CSElementKind::Image, CSElementKind::Lettering};
    }
    const char* kindName() const override { return "subballoon"; }
    TiXmlElement* toXml(TiXmlNode* parent) const override;

    // Reads an "element" of type "subballoon" (no balloon until the page's
    // references are resolved).
    static CSElement* fromXml(const TiXmlElement* node, int depth);

    // The text rectangle as the last drawing left it.
    const Rect& storedTextRect() const { return m_textRect; }

    static constexpr const char* kClassName = "CSBubble";

protected:
    CSBubble(const CSBubble& other);

private:
    // The sub-balloon drawn before this one in its balloon, null for the first.
    const CSBubble* previousBubble() const;
    bool isFirstBubble() const;

    CAttributedString m_text;
    Rect m_textRect;
    std::int32_t m_bubbleType = 0;
};

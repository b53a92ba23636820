#pragma once

#include "CSElement.h"

// The narration box of a comic: styled text in a box drawn with one of the
// nine frame shapes, a fill with an optional gradient and drop shadow, and an
// outline, all from the "Caption" keys of the stylesheet. It rotates: box and
// text turn together about the frame's centre. The margin insets the text
// from the frame. A caption holds no children.
class CSCaptionElement : public CSElement
{
public:
    // No side of a caption is shorter than this.
    static constexpr float kMinSide = 10.0f;
    // The margin of a caption made with a frame: 2 left and right, 5 above
    // and below.
    static constexpr Size kDefaultMargin{2.0f, 5.0f};

    // Empty: base margin (0, 0), no text.
    CSCaptionElement();
    // With a frame: margin (2, 5), empty text.
    explicit CSCaptionElement(const Rect& frame);

    CSElementKind elementKind() const override { return CSElementKind::Caption; }
    const char* className() const override { return kClassName; }
    // The base form, then the text.
    void writeToArchive(ArchiveWriter& archive) const override;
    void readFromArchive(ArchiveReader& archive) override;
    CSElement* clone() const override;
    // Sides below kMinSide become kMinSide; refused when locked.
    void setFrame(const Rect& frame) override;
    // The frame inset by the margin.
    Rect textRect() const override;
    void draw(const CSStylesheet* stylesheet, bool highResolution, float scale) override;
    QStringList styleNamesForKind(const CSStylesheet* stylesheet) const override;
    const QString& stylePrefix() const override;
    // Applied over the whole text.
    void setFont(const PAFont* font) override;
    void setTextColor(PackedColor color) override;
    QString fontKey() const override { return QStringLiteral("Caption.Font"); }
    bool editsTextOnDoubleClick() const override { return true; }
    CAttributedString text() const override { return m_text; }
    // Records CSUndoSetString; nothing when the text is the same.
    void setText(const CAttributedString& text) override;
    std::vector<CSElementKind> acceptedChildClasses() const override { return {}; }
    const char* kindName() const override { return "caption"; }
    TiXmlElement* toXml(TiXmlNode* parent) const override;

    // The outline: the frame shape that "Caption.FrameStyle" chooses (any
    // value outside 1 … 8 is the rectangle) over the unrotated frame, with
    // the corner size "Caption.FrameStyleRadius".
    NSBezierPath captionPath(const CSStylesheet* stylesheet) const;
    NSBezierPath captionPath(const CSAttributeReader& attributes) const;

    // Reads an "element" of type "caption".
    static CSElement* fromXml(const TiXmlElement* node, int depth);

    static constexpr const char* kClassName = "CSCaptionElement";

protected:
    CSCaptionElement(const CSCaptionElement& other);

private:
    // Finite, and no side below kMinSide.
    static Rect withMinimumSize(const Rect& frame);

    CAttributedString m_text;
};

#pragma once

#include "CSElement.h"

#include <array>
#include <vector>

class CSSFXChar;

// Lettering: a sound-effect word whose letters are vector outlines, one
// CSSFXChar per UTF-16 code unit of the text (spaces included), bent through
// a six-point envelope on the page.
//
// Two spaces are involved. The letters lie in layout space, as the font
// placed them plus the user's stagger, spread and turn. The envelope lies on
// the page: P0 top-left, P1 top-right, P2 bottom-right, P3 bottom-left, P4 the
// top bulge, P5 the bottom bulge. Drawing carries every point of a letter
// from the letters' common bounds onto the envelope (warpPoint). Moving,
// resizing and editing the lettering on the page change only the envelope;
// the layout operations (spread, turn, stagger) move the letters.
//
// Children: the letters in reverse text order, the last character at index 0
// (drawn first, at the back). The look comes from the "SFX" keys: a plain or
// gradient fill with a drop shadow, and an outline of several concentric
// strokes in two alternating colours; letters are drawn merged into one
// shape or one by one (drawsMerged).
class CSSFXElement : public CSElement
{
public:
    static constexpr int kEnvelopePointCount = 6;
    // Longer texts are cut: lettering is a word or two, and every code unit
    // becomes an outline of its own.
    static constexpr int kMaxTextLength = 256;
    // More concentric strokes than this are drawn as this many.
    static constexpr int kMaxMultiStroke = 64;
    // Font size of a file's "fontSize" setting when it has none.
    static constexpr int kDefaultFontSize = 12;

    using Envelope = std::array<Point, kEnvelopePointCount>;

    // Everything the layout operations change: the envelope and each
    // letter's outline, in child order. Undoing a spread or a turn puts it
    // back exactly.
    struct Layout
    {
        Envelope envelope{};
        std::vector<NSBezierPath> outlines;
    };

    // Envelope all (0, 0), no font, no text, no letters.
    CSSFXElement();
    explicit CSSFXElement(const Rect& frame);
    // The letters of the text built in the font (null: the default font);
    // the envelope is their bounds with the bulges on the edges' midpoints,
    // so the word is drawn undistorted.
    CSSFXElement(const QString& text, const PAFont* font, const Rect& frame = Rect());

    // --- Element slots ------------------------------------------------------
    CSElementKind elementKind() const override { return CSElementKind::Lettering; }
    const char* className() const override { return kClassName; }
    // The base form (with the letters as children), the envelope as twelve
    // little-endian floats, the font's style text, the text.
    void writeToArchive(ArchiveWriter& archive) const override;
    void readFromArchive(ArchiveReader& archive) override;
    CSElement* clone() const override;
    bool isLettering() const override { return true; }
    // Merged when "SFX.DrawMerged" is set or "SFX.DrawShadow" is not: only a
    // shadowed word may be drawn letter by letter.
    bool drawsMerged(const CSStylesheet* stylesheet) const override;
    // The bounds of the envelope outline.
    Rect frame() const override;
    // The frame follows the envelope; it is not set directly.
    void setFrame(const Rect&) override {}
    void moveBy(Size delta) override;
    // Moves the envelope; records CSUndoMoveFrameByDelta when record is set.
    // Refused while locked.
    void moveByRecording(Size delta, bool record) override;
    void resizeByHandle(Size delta, int handle) override;
    // Moves the envelope without undo or notification; refused while locked.
    void shiftBy(Size delta) override;
    bool hasEditablePoints() const override { return true; }
    int pointCount() const override { return kEnvelopePointCount; }
    // An envelope point by its index (0 … 5), in the lettering's unrotated
    // space. A moved corner carries its edge's bulge along; a rotated
    // lettering keeps one corner of its frame where it is on the page.
    void movePoint(Point point, int index) override;
    NSBezierPath outlinePath() const override { return envelopePath(); }
    NSBezierPath strokePath() const override { return envelopePath(); }
    // The envelope points turned by the angle, then mapped by the transform.
    // Refused while locked and for a transform that cannot be undone.
    void applyTransform(const AffineTransform& transform) override;
    void drawContents(const CSStylesheet* stylesheet, bool highResolution, float scale, int extra) override;
    QStringList styleNamesForKind(const CSStylesheet* stylesheet) const override;
    const QString& stylePrefix() const override;
    // Rebuilds the letters in the font, keeping the text.
    void setFont(const PAFont* font) override;
    QString fontKey() const override { return QStringLiteral("SFX.Font"); }
    // The word as drawn, on the page.
    std::unique_ptr<NSBezierPath> shapePath(const CSStylesheet* stylesheet) const override;
    bool childrenFollowStacking() const override { return false; }
    std::vector<CSElementKind> acceptedChildClasses() const override { return {CSElementKind::LetteringChar}; }
    // Inside the envelope polygon, whatever the letters' shapes.
    bool hitTest(Point local) const override;
    const char* kindName() const override { return "lettering"; }
    TiXmlElement* toXml(TiXmlNode* parent) const override;

    // --- Text and font --------------------------------------------------------
    const QString& letteringText() const { return m_text; }
    const PAFont* letteringFont() const { return m_font; }
    // Records CSUndoSetSFXString with the old text, font and letters, then
    // builds the letters anew. The envelope stays, so the new word fills
    // it. Works on a locked lettering too; nothing happens when both are
    // unchanged. Texts longer than kMaxTextLength are cut.
    void setTextAndFont(const QString& text, const PAFont* font);
    // The undo of setTextAndFont: puts back a text, font and the letters that
    // showed them (kept retired here meanwhile), recording the opposite.
    void restoreTextAndFont(const QString& text, const PAFont* font, const std::vector<CSSFXChar*>& letters);

    // --- Envelope and layout ------------------------------------------------
    const Envelope& envelope() const { return m_envelope; }
    // The polygon P0, P4, P1, P2, P5, P3, closed.
    NSBezierPath envelopePath() const;
    // The union of the letters' frames; letters without outline take no
    // part. The zero rectangle when no letter has an outline.
    Rect letterBounds() const;
    Layout layout() const;
    CSSFXChar* letterAt(int index) const;

    // Refused while locked. Spreads scale the letters' places (not their
    // shapes) and the envelope about the frame's centre by a factor above 0;
    // the turn moves the letters' places about it (the letters stay upright);
    // the stagger moves even-numbered letters by the offset and odd ones by
    // its negation.
    void spreadHorizontal(float factor);
    void spreadVertical(float factor);
    void rotateLetters(float degrees);
    void stagger(Size offset);
    // The undos of the spreads and the turn: the layout from before,
    // recording the current one.
    void restoreHorizontalSpread(const Layout& layout);
    void restoreVerticalSpread(const Layout& layout);
    void restoreLetterRotation(const Layout& layout);

    // --- Warp -------------------------------------------------------------------
    // A layout point on the page: the row v (top 0, bottom 1 of the letter
    // bounds) is a cubic from the left edge to the right edge, bent by the
    // bulges (the top one fading with (1 - v), the bottom one growing with
    // v), evaluated at the column u.
    Point warpPoint(Point point) const;
    // The path flattened at the given scale (device pixels per unit) and
    // every point warped: a curve is bent along its length, not only at its
    // control points. Keeps the path's pen.
    NSBezierPath warpPath(const NSBezierPath& path, double approximationScale = 1.0) const;

    // Reads an "element" of type "lettering".
    static CSElement* fromXml(const TiXmlElement* node, int depth);

    static constexpr const char* kClassName = "CSSFXElement";

protected:
    CSSFXElement(const CSSFXElement& other);

private:
    struct Look;

    std::vector<CSSFXChar*> buildLetters(const QString& text, const PAFont* font) const;
    void installLetters(const std::vector<CSSFXChar*>& letters);
    void setEnvelopeToLetterBounds();
    void mapEnvelope(const AffineTransform& transform);
    void moveLettersBy(const AffineTransform& transform);
    void scaleLayout(float sx, float sy);
    template <class Action>
    void restoreLayout(const Layout& layout);
    void applyLayout(const Layout& layout);
    Size rotationShift(const Rect& before, const Rect& after) const;
    static Rect boundsOf(const Envelope& envelope);
    Point warpPoint(Point point, const Rect& bounds) const;

    NSBezierPath mergedOutline() const;
    void drawOutline(const NSBezierPath& outline, const Look& look, const CSStylesheet* stylesheet);
    void drawStrokes(NSBezierPath& warped, const Look& look) const;
    double flatteningScale() const;
    static Look readLook(const CSAttributeReader& attributes, float scale);

    void readLetteringAttributes(const TiXmlElement* attributes);
    void readEnvelope(const TiXmlElement* points);
    void readLetterPositions(const TiXmlElement* chars);

    Envelope m_envelope{};
    const PAFont* m_font = nullptr;
    QString m_text;
};

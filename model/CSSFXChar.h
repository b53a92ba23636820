#pragma once

#include "CSElement.h"

// One letter of a lettering element: the character's outline in the
// lettering's layout space (y down, baseline at y = 0). The frame always
// follows the outline (boundsWithPoints). A letter belongs wholly to its
// lettering: it records no undo actions and posts no notifications of its
// own (the lettering's operations record the letters' state with theirs), is
// never drawn by the page and is not written to XML on its own.
class CSSFXChar : public CSElement
{
public:
    // No outline: the zero frame.
    CSSFXChar();
    explicit CSSFXChar(const NSBezierPath& outline);

    CSElementKind elementKind() const override { return CSElementKind::LetteringChar; }
    const char* className() const override { return kClassName; }
    // The base form, then the outline in the archive's object form.
    void writeToArchive(ArchiveWriter& archive) const override;
    void readFromArchive(ArchiveReader& archive) override;
    CSElement* clone() const override;
    void postChanged() override {}
    void invalidateAndPostChanged() override { invalidateCache(); }
    // The frame is the outline's: a frame set from outside is ignored.
    void setFrame(const Rect&) override {}
    // Translates the outline; recorded by nobody.
    void moveBy(Size delta) override;
    void moveByRecording(Size delta, bool record) override;
    bool isDrawnByPage() const override { return false; }
    std::vector<CSElementKind> acceptedChildClasses() const override { return {}; }

    const NSBezierPath& outline() const { return m_outline; }
    // Replaces the outline (and with it the frame), quietly.
    void setOutline(const NSBezierPath& outline);
    // A letter without outline (a space, a character no font has) or one
    // whose outline has no extent draws nothing.
    bool isBlank() const;

    static constexpr const char* kClassName = "CSSFXChar";

protected:
    CSSFXChar(const CSSFXChar& other);

private:
    void frameOutline();

    NSBezierPath m_outline;
};

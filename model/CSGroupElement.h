#pragma once

#include "CSElement.h"

// Several elements handled as one, for example a multiple selection. It is
// never written to XML nor archived on its own. Its members stay owned by
// their containers: joining the group changes neither their undo manager
// nor their container, records no undo, and the group never destroys them.
class CSGroupElement : public CSElement
{
public:
    CSGroupElement() = default;
    ~CSGroupElement() override;

    CSElementKind elementKind() const override { return CSElementKind::Group; }
    const char* className() const override { return "CSGroupElement"; }
    void writeToArchive(ArchiveWriter&) const override {}
    void readFromArchive(ArchiveReader&) override {}
    void setUndoManager(CUndoManager*) override {}
    // The group's frame is the bounds of its members.
    Rect frame() const override { return rotatedBounds(); }
    // Moves every member by the change of origin: panels and lettering by
    // moveBy, the others by setFrame with their frame shifted.
    void setFrame(const Rect& frame) override;
    Rect rotatedBounds() const override;
    void draw(const CSStylesheet* stylesheet, bool highResolution, float scale) override;
    void addChild(CSElement* element) override;
    void insertChild(CSElement* element, int index) override;
    void removeChild(CSElement* element) override { forgetChild(element); }
    void removeChildAtIndex(int index) override { forgetChild(childAt(index)); }
    void attachPictures(const NSDictionary* pictures) override;
    bool hitTest(Point point) const override;
    bool isResizable() const override { return false; }

    void removeAllMembers() { forgetChildren(); }
};

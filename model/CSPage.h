#pragma once

#include "CSElement.h"
#include "CRefCountObject.h"

class CSCell;
class CSComic;
class NSDictionary;
class PAImage;

// One page of a comic: the element that holds the page's content. Its frame
// is (0, 0, page size); the page size is the comic's content size and
// follows it. Pages do not rotate.
//
// The page's panels form a band at the back of its child list, in the order
// they were added; every other element lies after the last panel, and the
// stacking operations keep it so.
class CSPage : public CSElement
{
public:
    CSPage();
    explicit CSPage(Size pageSize);
    ~CSPage() override;

    CSElementKind elementKind() const override { return CSElementKind::Page; }
    const char* className() const override { return kClassName; }
    const char* kindName() const override { return "page"; }
    const QString& stylePrefix() const override;
    bool canRotate() const override { return false; }
    CSElement* clone() const override;
    void writeToArchive(ArchiveWriter& archive) const override;
    void readFromArchive(ArchiveReader& archive) override;

    Size pageSize() const { return m_pageSize; }
    // Stores the size and the frame; no undo, no notification.
    void setPageSize(Size size);
    PAImage* thumbnail() const { return m_thumbnail.get(); }
    void setThumbnail(PAImage* thumbnail);

    // The children that are panels, in child order.
    std::vector<CSElement*> panels() const;
    // The index of the last panel among the children, -1 without panels.
    int lastPanelIndex() const;
    // The first panel with that order number, or null.
    CSCell* panelWithTag(std::int32_t tag) const;

    // A new page of the content size with rows x columns panels, gap apart
    // and from the edges, in row order; no panels for no columns or rows.
    static CSPage* pageWithGrid(Size contentSize, int rows, int columns, float gap);

    // The page as a template: "Cells" (each panel scaled to a 1000 x 1000
    // page), "Normalized To", "Normalized From" and "Style" when set. A new
    // dictionary (count 0).
    NSDictionary* templateDictionary() const;
    // Adds the template's panels, scaled from 1000 x 1000 to the page size,
    // after the page's own panels, and sets the template's style name when it
    // has one. Undoable on a page with an undo manager.
    void applyTemplate(const NSDictionary& dictionary);
    // A new page of the content size from a template dictionary.
    static CSPage* pageFromTemplate(const NSDictionary& dictionary, Size contentSize);

    // A panel goes directly after the last panel, anything else to the end.
    void addChild(CSElement* element) override;
    // Panels stay in the band at the back; a part moves with its master.
    void bringChildToFront(CSElement* element) override;
    void bringChildForward(CSElement* element) override;
    void sendChildToBack(CSElement* element) override;
    void sendChildBackward(CSElement* element) override;

    // Draws the page into the current drawing context in content
    // coordinates: the paper colour, the page background, the panels with
    // what they clip and their outlines over it, the other elements, and
    // from the second page on the page number.
    void drawPage(const CSComic& comic);
    void drawElements(const CSStylesheet* stylesheet, bool highResolution);
    // The number of this page, counted from 1, in its box.
    void drawPageNumber(const CSStylesheet* stylesheet, int number);
    // Where the number box lies for the given page number; empty when the
    // page draws no number.
    Rect pageNumberBox(const CSStylesheet* stylesheet, int number) const;

    TiXmlElement* toXml(TiXmlNode* parent) const override;
    // Reads a page element, whatever its "type" says; references among the
    // page's elements are resolved.
    static CSPage* fromXml(const TiXmlElement* node, int depth);

    static constexpr const char* kClassName = "CSPage";
    // Limits for grids and templates, which may come from files.
    static constexpr int kMaxGridLines = 100;
    static constexpr int kMaxTemplatePanels = 1000;

protected:
    CSPage(const CSPage& other);

private:
    void drawBackground(const CSStylesheet* stylesheet);
    void drawPanelAndContents(CSElement* panel, const CSStylesheet* stylesheet, bool highResolution);
    bool isClippedByOwnPanel(const CSElement* element) const;
    // The element that moves when the given one is restacked: its master
    // when it belongs to one.
    CSElement* stackingSubject(CSElement* element) const;
    void bringChildrenToFront(const CSElement* element);
    void placeChildrenAfter(const CSElement* element);

    Size m_pageSize;
    RefPtr<PAImage> m_thumbnail;
};

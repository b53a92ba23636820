#include "CSPage.h"

#include "ArchiveReader.h"
#include "ArchiveWriter.h"
#include "CGraphicsInterface.h"
#include "CSCaptionElement.h"
#include "CSCell.h"
#include "CSComic.h"
#include "CSStylesheet.h"
#include "CSUndoBringElementForward.h"
#include "CSUndoBringElementToFront.h"
#include "CSUndoSendElementBackward.h"
#include "CSUndoSendElementToBack.h"
#include "LinearGradientBrush.h"
#include "NSArray.h"
#include "NSDictionary.h"
#include "NSBezierPath.h"
#include "PAImage.h"
#include "PATextRootWindow.h"
#include "PathGeometry.h"
#include "StyleKeys.h"
#include "TextCodecs.h"
#include "XmlSupport.h"

#include <tinyxml.h>

#include <algorithm>

namespace {

// The qualified keys a page draws with, made once.
struct PageKeys
{
    QString backgroundColor = QStringLiteral("Page.BackgroundColor");
    QString drawGradient = QStringLiteral("Page.DrawGradient");
    QString gradientFillColor = QStringLiteral("Page.GradientFillColor");
    QString gradientAngle = QStringLiteral("Page.GradientAngle");
    QString drawNumber = QStringLiteral("Page.DrawNumber");
    QString numberLocation = QStringLiteral("Page.NumberLocation");
    QString numberJustification = QStringLiteral("Page.NumberJustification");
    QString numberInset = QStringLiteral("Page.NumberInset");
    QString backdropWidth = QStringLiteral("Page.BackdropWidth");
    QString backdropHeight = QStringLiteral("Page.BackdropHeight");
    QString drawBackdrop = QStringLiteral("Page.DrawBackdrop");
    QString backdropStyle = QStringLiteral("Page.BackdropStyle");
    QString backdropAngle = QStringLiteral("Page.BackdropAngle");
    QString font = QStringLiteral("Page.Font");
    QString fontColor = QStringLiteral("Page.FontColor");
};

const PageKeys& keys()
{
    static const PageKeys table;
    return table;
}

void fillRect(const Rect& rect, PackedColor color)
{
    NSBezierPath path = NSBezierPath::pathWithRect(rect);
    path.setColor(color);
    path.fill();
}

// Number boxes larger than this are not drawn: a hostile stylesheet could
// otherwise ask for a text layout the size of a city.
constexpr float kMaxNumberBoxSide = 100000.0f;

} // namespace

CSPage::CSPage() = default;

CSPage::CSPage(Size pageSize)
{
    setPageSize(pageSize);
}

CSPage::CSPage(const CSPage& other) : CSElement(other), m_pageSize(other.m_pageSize)
{
    if (other.m_thumbnail)
        m_thumbnail = other.m_thumbnail->copy();
}

CSPage::~CSPage() = default;

CSElement* CSPage::clone() const
{
    return new CSPage(*this);
}

const QString& CSPage::stylePrefix() const
{
    return StyleKeys::prefix(StyleKind::Page);
}

void CSPage::setPageSize(Size size)
{
    m_pageSize = sanitized(Size{std::max(size.width, 0.0f), std::max(size.height, 0.0f)});
    storeFrame(Rect(Point{0.0f, 0.0f}, m_pageSize));
}

void CSPage::setThumbnail(PAImage* thumbnail)
{
    m_thumbnail = thumbnail;
}

// --- Panels and stacking -----------------------------------------------------------

std::vector<CSElement*> CSPage::panels() const
{
    std::vector<CSElement*> found;
    for (CSElement* child : children()) {
        if (child->isPanel())
            found.push_back(child);
    }
    return found;
}

int CSPage::lastPanelIndex() const
{
    for (int index = childCount() - 1; index >= 0; --index) {
        if (childAt(index)->isPanel())
            return index;
    }
    return -1;
}

CSCell* CSPage::panelWithTag(std::int32_t tag) const
{
    for (CSCell* panel : CSCell::panelsIn(children())) {
        if (panel->tag() == tag)
            return panel;
    }
    return nullptr;
}

CSPage* CSPage::pageWithGrid(Size contentSize, int rows, int columns, float gap)
{
    auto* page = new CSPage(contentSize);
    if (rows <= 0 || columns <= 0 || rows > kMaxGridLines || columns > kMaxGridLines)
        return page;
    const Size size = page->pageSize();
    const float columnWidth = (size.width - float(columns + 1) * gap) / float(columns);
    const float rowHeight = (size.height - float(rows + 1) * gap) / float(rows);
    for (int row = 0; row < rows; ++row) {
        for (int column = 0; column < columns; ++column) {
            const Rect frame(gap * float(column + 1) + columnWidth * float(column),
                             gap * float(row + 1) + rowHeight * float(row), columnWidth, rowHeight);
            page->addChild(new CSCell(frame));
        }
    }
    return page;
}

NSDictionary* CSPage::templateDictionary() const
{
    auto* dictionary = new NSDictionary;
    auto* cells = new NSArray;
    const float sx = 1000.0f / std::max(m_pageSize.width, 1.0f);
    const float sy = 1000.0f / std::max(m_pageSize.height, 1.0f);
    for (CSCell* panel : CSCell::panelsIn(children())) {
        CSCopyScope scope;
        CSElement* copy = panel->clone();
        copy->setLocked(false);
        copy->applyTransform(AffineTransform::scaling(sx, sy));
        cells->addObject(NSObject(static_cast<CSCell*>(copy)->templateDictionary()));
        destroyTree(copy);
    }
    dictionary->setArrayForKey(cells, QStringLiteral("Cells"));
    dictionary->setStringForKey(QStringLiteral("{1000, 1000}"), QStringLiteral("Normalized To"));
    dictionary->setStringForKey(stringFromSize(m_pageSize), QStringLiteral("Normalized From"));
    if (!styleName().isEmpty())
        dictionary->setStringForKey(styleName(), QStringLiteral("Style"));
    return dictionary;
}

void CSPage::applyTemplate(const NSDictionary& dictionary)
{
    // The geometry is taken as normalised to 1000 whatever "Normalized To"
    // says: that is how every template is written.
    const AffineTransform scale = AffineTransform::scaling(m_pageSize.width * 0.001f, m_pageSize.height * 0.001f);
    const NSObject* cells = dictionary.valueForKey(QStringLiteral("Cells"));
    if (const NSArray* list = cells ? cells->arrayValue() : nullptr) {
        const int count = std::min(list->count(), kMaxTemplatePanels);
        for (int index = 0; index < count; ++index) {
            CSCell* panel = CSCell::fromTemplateDictionary(list->dictionaryAtIndex(index));
            if (!panel)
                continue;
            panel->applyTransform(scale);
            addChild(panel);
        }
    }
    if (const NSObject* style = dictionary.valueForKey(QStringLiteral("Style")); style && !style->stringValue().isEmpty())
        setStyleName(style->stringValue());
}

CSPage* CSPage::pageFromTemplate(const NSDictionary& dictionary, Size contentSize)
{
    auto* page = new CSPage(contentSize);
    page->applyTemplate(dictionary);
    return page;
}

void CSPage::addChild(CSElement* element)
{
    if (element && element->isPanel() && indexOfChild(element) < 0)
        insertChild(element, lastPanelIndex() + 1);
    else
        CSElement::addChild(element);
}

CSElement* CSPage::stackingSubject(CSElement* element) const
{
    // A part moves with its balloon; the master chain cannot loop.
    CSElement* subject = element;
    for (int step = 0; subject && subject->master() && step < 64; ++step)
        subject = subject->master();
    return subject;
}

void CSPage::bringChildrenToFront(const CSElement* element)
{
    if (!element->childrenFollowStacking())
        return;
    for (CSElement* child : element->children())
        CSElement::bringChildToFront(child);
}

void CSPage::placeChildrenAfter(const CSElement* element)
{
    if (!element->childrenFollowStacking())
        return;
    const int index = indexOfChild(element);
    for (CSElement* child : element->children()) {
        if (indexOfChild(child) >= 0)
            moveChildToIndex(child, index + 2);
    }
}

void CSPage::bringChildToFront(CSElement* element)
{
    element = stackingSubject(element);
    const int from = indexOfChild(element);
    if (from < 0)
        return;
    if (element->isPanel()) {
        const int last = lastPanelIndex();
        if (from == last)
            return;
        registerUndo(new CSUndoSendElementToBack(this, element, from));
        moveChildQuietly(from, last);
    } else {
        CSElement::bringChildToFront(element);
    }
    bringChildrenToFront(element);
    postChanged();
}

void CSPage::bringChildForward(CSElement* element)
{
    element = stackingSubject(element);
    const int from = indexOfChild(element);
    if (from < 0)
        return;
    if (element->isPanel() && from == lastPanelIndex())
        return;
    CSElement::bringChildForward(element);
    bringChildrenToFront(element);
    postChanged();
}

void CSPage::sendChildToBack(CSElement* element)
{
    element = stackingSubject(element);
    const int from = indexOfChild(element);
    if (from < 0)
        return;
    int to = 0;
    if (element->isPanel()) {
        if (from == 0)
            return;
    } else {
        // Directly after the panel band (and after its clip source), never
        // into the band itself.
        to = lastPanelIndex() + 1;
        if (element->isClipped())
            to = std::max(to, indexOfChild(element->clipSource()) + 1);
        if (to >= from)
            return;
    }
    registerUndo(new CSUndoBringElementToFront(this, element, from));
    moveChildQuietly(from, to);
    placeChildrenAfter(element);
    postChanged();
}

void CSPage::sendChildBackward(CSElement* element)
{
    element = stackingSubject(element);
    const int from = indexOfChild(element);
    if (from <= 0)
        return;
    int to = from - 1;
    if (!element->isPanel()) {
        if (element->isClipped() && from - 1 <= indexOfChild(element->clipSource()))
            return;
        to = std::max(from - 1, lastPanelIndex() + 1);
        if (to >= from)
            return;
    }
    registerUndo(new CSUndoBringElementForward(this, element, from));
    moveChildQuietly(from, to);
    placeChildrenAfter(element);
    postChanged();
}

// --- Drawing -------------------------------------------------------------------------

void CSPage::drawPage(const CSComic& comic)
{
    const CSStylesheet* stylesheet = comic.stylesheet();
    const bool highResolution = stylesheet && stylesheet->outputDPI() != 72;
    fillRect(frame(), comic.backgroundColor());
    drawBackground(stylesheet);
    drawElements(stylesheet, highResolution);
    const int index = comic.indexOfPage(this);
    if (index > 0)
        drawPageNumber(stylesheet, index + 1);
}

void CSPage::drawBackground(const CSStylesheet* stylesheet)
{
    const CSAttributeReader attributes(*this, stylesheet);
    const PageKeys& k = keys();
    const Rect content(Point{0.0f, 0.0f}, m_pageSize);
    const PackedColor background = attributes.colorValue(k.backgroundColor);
    fillRect(content, background);
    if (attributes.boolValue(k.drawGradient)) {
        NSBezierPath path = NSBezierPath::pathWithRect(content);
        const LinearGradientBrush brush(content, background, attributes.colorValue(k.gradientFillColor),
                                        flipAngle(attributes.floatValue(k.gradientAngle)));
        path.fillWithGradient(brush);
    }
}

void CSPage::drawElements(const CSStylesheet* stylesheet, bool highResolution)
{
    for (CSElement* panel : panels())
        drawPanelAndContents(panel, stylesheet, highResolution);
    for (CSElement* child : children()) {
        if (!child->isPanel() && !isClippedByOwnPanel(child) && child->isDrawnByPage())
            child->draw(stylesheet, highResolution, 1.0f);
    }
}

void CSPage::drawPanelAndContents(CSElement* panel, const CSStylesheet* stylesheet, bool highResolution)
{
    panel->draw(stylesheet, highResolution, 1.0f);
    for (CSElement* child : children()) {
        if (child->isClipped() && child->clipSource() == panel && child->isDrawnByPage())
            child->draw(stylesheet, highResolution, 1.0f);
    }
    panel->drawOverlay(stylesheet, highResolution, 1.0f);
}

bool CSPage::isClippedByOwnPanel(const CSElement* element) const
{
    const CSElement* source = element->isClipped() ? element->clipSource() : nullptr;
    return source && source->isPanel() && indexOfChild(source) >= 0;
}

Rect CSPage::pageNumberBox(const CSStylesheet* stylesheet, int number) const
{
    const CSAttributeReader attributes(*this, stylesheet);
    const PageKeys& k = keys();
    if (!attributes.boolValue(k.drawNumber))
        return Rect();
    const Size size{std::clamp(sanitized(attributes.floatValue(k.backdropWidth)), 0.0f, kMaxNumberBoxSide),
                    std::clamp(sanitized(attributes.floatValue(k.backdropHeight)), 0.0f, kMaxNumberBoxSide)};
    const float inset = sanitized(attributes.floatValue(k.numberInset));
    const Rect reference = insetRect(frame(), inset, inset);

    Point origin;
    switch (attributes.intValue(k.numberLocation)) {
    case 0: origin.y = reference.minY(); break;
    case 1: origin.y = reference.midY() - size.height * 0.5f; break;
    default: origin.y = reference.maxY() - size.height; break;
    }
    int justification = attributes.intValue(k.numberJustification);
    if (justification == 3)
        justification = number % 2 == 1 ? 2 : 0;
    switch (justification) {
    case 0: origin.x = reference.minX(); break;
    case 1: origin.x = reference.midX() - size.width * 0.5f; break;
    default: origin.x = reference.maxX() - size.width; break;
    }
    const Rect box(origin, size);
    if (!rectsIntersect(box, Rect(Point{0.0f, 0.0f}, m_pageSize)))
        return Rect();
    return box;
}

void CSPage::drawPageNumber(const CSStylesheet* stylesheet, int number)
{
    const Rect box = pageNumberBox(stylesheet, number);
    if (box.width() <= 0.0f || box.height() <= 0.0f || !CurrentContext())
        return;
    const CSAttributeReader attributes(*this, stylesheet);
    const PageKeys& k = keys();
    if (attributes.boolValue(k.drawBackdrop)) {
        // The backdrop is a caption of the chosen style without text.
        CSCaptionElement backdrop(box);
        backdrop.setStyleName(attributes.value(k.backdropStyle).stringValue());
        backdrop.setAngle(sanitized(attributes.floatValue(k.backdropAngle)));
        backdrop.draw(stylesheet, false, 1.0f);
    }
    PATextRootWindow& root = sharedTextRoot();
    root.setFrame(box, 0.0f);
    root.prepareLabel(QString::number(number), attributes.value(k.font).fontValue(),
                      attributes.colorValue(k.fontColor));
    const Size label{float(root.layoutWidth()), float(root.layoutHeight())};
    root.drawInRect(Rect(Point{box.midX() - label.width * 0.5f, box.midY() - label.height * 0.5f}, label));
}

// --- Stored forms ----------------------------------------------------------------

void CSPage::writeToArchive(ArchiveWriter& archive) const
{
    CSElement::writeToArchive(archive);
    archive.writeFloat(m_pageSize.width);
    archive.writeFloat(m_pageSize.height);
}

void CSPage::readFromArchive(ArchiveReader& archive)
{
    CSElement::readFromArchive(archive);
    const float width = archive.readFloat();
    const float height = archive.readFloat();
    setPageSize(Size{width, height});
}

TiXmlElement* CSPage::toXml(TiXmlNode* parent) const
{
    return writeCommonXml(parent);
}

CSPage* CSPage::fromXml(const TiXmlElement* node, int depth)
{
    const Rect stored = frameFromXml(node);
    auto* page = new CSPage(stored.size);
    page->readCommonXml(node);
    page->readChildrenXml(node, depth);
    const CSElementIndex index(page->children());
    for (CSElement* child : page->children())
        child->resolveReferences(index);
    return page;
}

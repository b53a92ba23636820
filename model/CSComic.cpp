#include "CSComic.h"

#include "CSPage.h"
#include "CSStylesheet.h"
#include "CSUndoDelPageAtIndex.h"
#include "CSUndoInsertPage.h"
#include "CSUndoMovePageFrom.h"
#include "CSUndoSetBackgroundColor.h"
#include "CSUndoSetBottomMargin.h"
#include "CSUndoSetLeftMargin.h"
#include "CSUndoSetPageName.h"
#include "CSUndoSetPageSize.h"
#include "CSUndoSetPortrait.h"
#include "CSUndoSetRightMargin.h"
#include "CSUndoSetStylesheet.h"
#include "CSUndoSetTopMargin.h"
#include "NSDictionary.h"
#include "NotificationCenter.h"
#include "NotificationNames.h"
#include "PAImage.h"
#include "TextCodecs.h"

#include <algorithm>
#include <cmath>

float CSComic::paperLength(float value)
{
    return std::clamp(CSElement::sanitized(value), 0.0f, CSElement::kMaxCoordinate);
}

Size CSComic::paperSize(Size size)
{
    // Templates and layouts divide by the page size: never below one unit.
    return Size{std::max(paperLength(size.width), 1.0f), std::max(paperLength(size.height), 1.0f)};
}

CSComic::CSComic() = default;

CSComic::CSComic(const NSDictionary& pageType)
{
    auto value = [&pageType](const char* key) {
        const NSObject* found = pageType.valueForKey(QString::fromLatin1(key));
        return found ? *found : NSObject();
    };
    m_pageName = value("Name").stringValue();
    m_pageSize = paperSize(sizeFromString(value("Size").stringValue()));
    m_leftMargin = paperLength(value("LeftMargin").floatValue());
    m_rightMargin = paperLength(value("RightMargin").floatValue());
    m_topMargin = paperLength(value("TopMargin").floatValue());
    m_bottomMargin = paperLength(value("BottomMargin").floatValue());
    setStylesheet(CSStylesheet::preferredStylesheet());
}

CSComic::CSComic(Size size)
{
    m_pageSize = paperSize(size);
    m_portrait = m_pageSize.height > m_pageSize.width ? 1 : 0;
    setStylesheet(CSStylesheet::newStylesheet());
}

CSComic::~CSComic()
{
    std::vector<CSPage*> pages;
    pages.swap(m_pages);
    for (CSPage* page : pages)
        destroyOnce(page);
    destroyOnce(m_stylesheet);
    m_stylesheet = nullptr;
    for (auto& [name, picture] : m_pictures)
        picture->release();
    m_pictures.clear();
}

void CSComic::destroy(CSComic* comic)
{
    if (!comic)
        return;
    clearDestructionRecord();
    destroyOnce(comic);
    clearDestructionRecord();
}

void CSComic::postChanged()
{
    NotificationCenter::defaultCenter().postNotification(NotificationNames::CSComicChangedNotification, this);
}

// --- Pages -------------------------------------------------------------------------

CSPage* CSComic::pageAt(int index) const
{
    return index >= 0 && index < pageCount() ? m_pages[std::size_t(index)] : nullptr;
}

int CSComic::indexOfPage(const CSPage* page) const
{
    const auto found = std::find(m_pages.begin(), m_pages.end(), page);
    return found == m_pages.end() ? -1 : int(found - m_pages.begin());
}

bool CSComic::containsElement(const CSElement* element) const
{
    return element && std::any_of(m_pages.begin(), m_pages.end(), [element](const CSPage* page) {
               return page == element || page->containsDescendant(element);
           });
}

void CSComic::addPage(CSPage* page)
{
    insertPageAtIndex(page, pageCount());
}

void CSComic::insertPageAtIndex(CSPage* page, int index)
{
    if (!page || indexOfPage(page) >= 0)
        return;
    index = std::clamp(index, 0, pageCount());
    registerUndo(new CSUndoDelPageAtIndex(this, index));
    m_pages.insert(m_pages.begin() + index, page);
    page->setUndoManager(undoManager());
    page->setPageSize(contentSize());
    unretire(page);
    postChanged();
}

void CSComic::removePageAtIndex(int index)
{
    CSPage* page = pageAt(index);
    if (!page)
        return;
    retire(page);
    registerUndo(new CSUndoInsertPage(this, page, index));
    m_pages.erase(m_pages.begin() + index);
    postChanged();
}

void CSComic::movePage(int from, int to)
{
    if (from < 0 || from >= pageCount())
        return;
    to = std::clamp(to, 0, pageCount() - 1);
    if (from == to)
        return;
    registerUndo(new CSUndoMovePageFrom(this, to, from));
    CSPage* page = m_pages[std::size_t(from)];
    m_pages.erase(m_pages.begin() + from);
    m_pages.insert(m_pages.begin() + to, page);
    postChanged();
}

// --- Paper ---------------------------------------------------------------------------

Size CSComic::orientedSize() const
{
    const float shorter = std::min(m_pageSize.width, m_pageSize.height);
    const float longer = std::max(m_pageSize.width, m_pageSize.height);
    return isPortrait() ? Size{shorter, longer} : Size{longer, shorter};
}

Size CSComic::contentSize() const
{
    const Size paper = orientedSize();
    return Size{std::max(paper.width - (m_leftMargin + m_rightMargin), 1.0f),
                std::max(paper.height - (m_topMargin + m_bottomMargin), 1.0f)};
}

Rect CSComic::paperRect() const
{
    return Rect(Point{-m_leftMargin, -m_topMargin}, orientedSize());
}

void CSComic::relayout()
{
    const Size size = contentSize();
    for (CSPage* page : m_pages)
        page->setPageSize(size);
}

void CSComic::setPageName(const QString& name)
{
    registerUndo(new CSUndoSetPageName(this, m_pageName));
    m_pageName = name;
    postChanged();
}

void CSComic::setPageSize(const Size& size)
{
    registerUndo(new CSUndoSetPageSize(this, m_pageSize));
    m_pageSize = paperSize(size);
    relayout();
    postChanged();
}

void CSComic::setPortrait(bool portrait)
{
    if (portrait == isPortrait())
        return;
    registerUndo(new CSUndoSetPortrait(this, isPortrait()));
    m_portrait = portrait ? 1 : 0;
    relayout();
    postChanged();
}

void CSComic::setLeftMargin(float margin)
{
    registerUndo(new CSUndoSetLeftMargin(this, m_leftMargin));
    m_leftMargin = paperLength(margin);
    relayout();
    postChanged();
}

void CSComic::setRightMargin(float margin)
{
    registerUndo(new CSUndoSetRightMargin(this, m_rightMargin));
    m_rightMargin = paperLength(margin);
    relayout();
    postChanged();
}

void CSComic::setTopMargin(float margin)
{
    registerUndo(new CSUndoSetTopMargin(this, m_topMargin));
    m_topMargin = paperLength(margin);
    relayout();
    postChanged();
}

void CSComic::setBottomMargin(float margin)
{
    registerUndo(new CSUndoSetBottomMargin(this, m_bottomMargin));
    m_bottomMargin = paperLength(margin);
    relayout();
    postChanged();
}

void CSComic::setBackgroundColor(PackedColor color)
{
    registerUndo(new CSUndoSetBackgroundColor(this, m_backgroundColor));
    m_backgroundColor = color;
    postChanged();
}

void CSComic::applyPageType(const NSDictionary& pageType)
{
    auto value = [&pageType](const char* key) {
        const NSObject* found = pageType.valueForKey(QString::fromLatin1(key));
        return found ? *found : NSObject();
    };
    setPageName(value("Name").stringValue());
    setPageSize(sizeFromString(value("Size").stringValue()));
    setLeftMargin(value("LeftMargin").floatValue());
    setRightMargin(value("RightMargin").floatValue());
    setTopMargin(value("TopMargin").floatValue());
    setBottomMargin(value("BottomMargin").floatValue());
    relayout();
}

void CSComic::setGridInterval(std::int32_t interval)
{
    // A grid finer than one unit could never be drawn or snapped to.
    m_gridInterval = std::clamp(interval, 1, 100000);
}

void CSComic::setSnapTolerance(std::int32_t tolerance)
{
    m_snapTolerance = std::clamp(tolerance, 1, 100000);
}

// --- Stylesheet ------------------------------------------------------------------------

void CSComic::setStylesheet(CSStylesheet* stylesheet)
{
    if (!stylesheet || stylesheet == m_stylesheet)
        return;
    if (m_stylesheet) {
        registerUndo(new CSUndoSetStylesheet(this, m_stylesheet));
        retire(m_stylesheet);
    }
    m_stylesheet = stylesheet;
    m_stylesheet->setUndoManager(undoManager());
    unretire(m_stylesheet);
    pushStylesheetFonts();
}

namespace {

void collectElements(CSElement* element, std::vector<CSElement*>& all)
{
    all.push_back(element);
    for (CSElement* child : element->children())
        collectElements(child, all);
}

} // namespace

void CSComic::pushStylesheetFonts()
{
    std::vector<CSElement*> all;
    for (CSPage* page : m_pages)
        collectElements(page, all);
    if (all.empty())
        return;

    // One sample per kind: the first page, then the first element of each
    // kind that carries text defaults.
    std::vector<CSElement*> samples{all.front()};
    for (CSElementKind kind : {CSElementKind::Panel, CSElementKind::Caption, CSElementKind::Balloon,
                               CSElementKind::Lettering, CSElementKind::Image}) {
        const auto found = std::find_if(all.begin(), all.end(),
                                        [kind](const CSElement* element) { return element->elementKind() == kind; });
        if (found != all.end())
            samples.push_back(*found);
    }

    for (const CSElement* sample : samples) {
        for (CSElement* element : all) {
            if (!element->hasSameKindAndPrefix(sample))
                continue;
            if (!element->hasLocalAttribute(QStringLiteral("Font")))
                element->setFont(element->fontAttribute(QStringLiteral("Font"), m_stylesheet));
            if (!element->hasLocalAttribute(QStringLiteral("FontColor")))
                element->setTextColor(element->colorAttribute(QStringLiteral("FontColor"), m_stylesheet));
        }
    }
}

void CSComic::setOutputDPI(std::int32_t dpi)
{
    if (m_stylesheet)
        m_stylesheet->setOutputDPI(dpi);
}

void CSComic::stylesheetChanged()
{
    for (CSPage* page : m_pages)
        page->stylesheetChanged(m_stylesheet);
}

void CSComic::setUndoManager(CUndoManager* manager)
{
    UndoableObject::setUndoManager(manager);
    for (CSPage* page : m_pages)
        page->setUndoManager(manager);
    if (m_stylesheet)
        m_stylesheet->setUndoManager(manager);
}

// --- Pictures ---------------------------------------------------------------------------

PAImage* CSComic::pictureNamed(const QString& name) const
{
    const auto found = m_pictures.find(name);
    return found == m_pictures.end() ? nullptr : found->second;
}

bool CSComic::addPicture(PAImage* picture)
{
    if (!picture || m_pictures.count(picture->cacheName()) > 0)
        return false;
    picture->retain();
    m_pictures.emplace(picture->cacheName(), picture);
    return true;
}

std::vector<PAImage*> CSComic::picturesToStore() const
{
    std::vector<PAImage*> pending;
    for (const auto& [name, picture] : m_pictures) {
        if (!picture->isStoredInPackage())
            pending.push_back(picture);
    }
    return pending;
}

bool CSComic::usesPicture(const QString& name) const
{
    return std::any_of(m_pages.begin(), m_pages.end(),
                       [&name](const CSPage* page) { return page->usesPicture(name); });
}

void CSComic::attachPictures()
{
    NSDictionary table;
    for (const auto& [name, picture] : m_pictures)
        table.setObjectValueForKey(picture, name);
    for (CSPage* page : m_pages)
        page->attachPictures(&table);
}

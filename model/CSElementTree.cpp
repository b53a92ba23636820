// The element tree: children, stacking order, alignment, masters and clip
// sources, identifiers and the resolution of references read from files.

#include "CSElement.h"

#include "CSUndoBringElementForward.h"
#include "CSUndoBringElementToFront.h"
#include "CSUndoDelElement.h"
#include "CSUndoDelElementAtIndex.h"
#include "CSUndoInsertElement.h"
#include "CSUndoMoveElementToIndex.h"
#include "CSUndoSendElementBackward.h"
#include "CSUndoSendElementToBack.h"
#include "CSUndoSetClipSource.h"
#include "CSUndoSetMaster.h"

#include <QCoreApplication>
#include <QDateTime>

#include <algorithm>
#include <atomic>

// --- Children -------------------------------------------------------------------

CSElement* CSElement::childAt(int index) const
{
    return index >= 0 && index < childCount() ? m_children[std::size_t(index)] : nullptr;
}

int CSElement::indexOfChild(const CSElement* element) const
{
    const auto found = std::find(m_children.begin(), m_children.end(), element);
    return found == m_children.end() ? -1 : int(found - m_children.begin());
}

bool CSElement::containsDescendant(const CSElement* element) const
{
    if (!element)
        return false;
    for (const CSElement* child : m_children) {
        if (child == element || child->containsDescendant(element))
            return true;
    }
    return false;
}

bool CSElement::canContain(const CSElement* element) const
{
    if (!element || element->elementKind() == CSElementKind::Page)
        return false;
    const CSElementKind kind = element->elementKind();
    for (CSElementKind accepted : acceptedChildClasses()) {
        if (accepted == CSElementKind::Element || accepted == kind)
            return true;
    }
    return false;
}

bool CSElement::canAdopt(const CSElement* element) const
{
    // A child that holds this element would make the tree a cycle.
    return element && element != this && canContain(element) && !element->containsDescendant(this);
}

bool CSElement::appendChildQuietly(CSElement* element)
{
    if (!canAdopt(element) || indexOfChild(element) >= 0)
        return false;
    m_children.push_back(element);
    return true;
}

void CSElement::forgetChild(const CSElement* element)
{
    const int index = indexOfChild(element);
    if (index >= 0)
        m_children.erase(m_children.begin() + index);
}

void CSElement::addChild(CSElement* element)
{
    if (indexOfChild(element) >= 0) {
        postChanged();
        return;
    }
    if (!canAdopt(element))
        return;
    registerUndo(new CSUndoDelElement(this, element));
    m_children.push_back(element);
    element->setUndoManager(undoManager());
    unretire(element);
    postChanged();
}

void CSElement::insertChild(CSElement* element, int index)
{
    if (indexOfChild(element) >= 0) {
        postChanged();
        return;
    }
    if (!canAdopt(element))
        return;
    index = std::clamp(index, 0, childCount());
    registerUndo(new CSUndoDelElementAtIndex(this, index));
    m_children.insert(m_children.begin() + index, element);
    element->setUndoManager(undoManager());
    unretire(element);
    postChanged();
}

void CSElement::removeChild(CSElement* element)
{
    const int index = indexOfChild(element);
    if (index >= 0) {
        retire(element);
        registerUndo(new CSUndoInsertElement(this, element, index));
        m_children.erase(m_children.begin() + index);
    }
    postChanged();
}

void CSElement::removeChildAtIndex(int index)
{
    if (CSElement* element = childAt(index)) {
        removeChild(element);
        return;
    }
    postChanged();
}

// --- Stacking -------------------------------------------------------------------

void CSElement::moveChildToIndex(CSElement* element, int index)
{
    const int from = indexOfChild(element);
    if (from < 0)
        return;
    index = std::clamp(index, 0, childCount() - 1);
    if (index == from)
        return;
    registerUndo(new CSUndoMoveElementToIndex(this, element, from));
    m_children.erase(m_children.begin() + from);
    m_children.insert(m_children.begin() + index, element);
    postChanged();
}

namespace {

// Moves the child at from to index to (both valid), nothing else.
void restack(std::vector<CSElement*>& list, int from, int to)
{
    CSElement* element = list[std::size_t(from)];
    list.erase(list.begin() + from);
    list.insert(list.begin() + to, element);
}

} // namespace

void CSElement::bringChildToFront(CSElement* element)
{
    const int from = indexOfChild(element);
    if (from < 0 || from == childCount() - 1)
        return;
    registerUndo(new CSUndoSendElementToBack(this, element, from));
    restack(m_children, from, childCount() - 1);
    postChanged();
}

void CSElement::bringChildForward(CSElement* element)
{
    const int from = indexOfChild(element);
    if (from < 0 || from == childCount() - 1)
        return;
    registerUndo(new CSUndoSendElementBackward(this, element, from));
    restack(m_children, from, from + 1);
    postChanged();
}

void CSElement::sendChildToBack(CSElement* element)
{
    const int from = indexOfChild(element);
    if (from < 0)
        return;
    // A clipped element goes just above its clip source, never below it; a
    // clip source that is not a sibling (a picture inside its panel) leaves
    // the back of the list.
    int to = 0;
    if (element->isClipped()) {
        const int source = indexOfChild(element->clipSource());
        if (source >= 0)
            to = source < from ? source + 1 : source;
    }
    if (to >= from)
        return;
    registerUndo(new CSUndoBringElementToFront(this, element, from));
    restack(m_children, from, to);
    postChanged();
}

void CSElement::sendChildBackward(CSElement* element)
{
    const int from = indexOfChild(element);
    if (from <= 0)
        return;
    if (element->isClipped() && indexOfChild(element->clipSource()) == from - 1)
        return;
    registerUndo(new CSUndoBringElementForward(this, element, from));
    restack(m_children, from, from - 1);
    postChanged();
}

void CSElement::moveChildQuietly(int from, int to)
{
    if (from < 0 || from >= childCount() || to < 0 || to >= childCount())
        return;
    restack(m_children, from, to);
}

bool CSElement::childIsBehind(const CSElement* a, const CSElement* b) const
{
    const int ia = indexOfChild(a);
    const int ib = indexOfChild(b);
    if (ib < 0)
        return false;
    return ia < 0 || ib < ia;
}

void CSElement::alignChild(CSElement* element, int mode)
{
    if (!element)
        return;
    const Rect ref = element->isClipped() ? element->clipSource()->frame() : frame();
    Rect f = element->frame();
    switch (mode) {
    case 0: f.origin.x = ref.x() + (ref.width() - f.width()) * 0.5f; break;
    case 1: f.origin.y = ref.y() + (ref.height() - f.height()) * 0.5f; break;
    case 2: f.origin.y = ref.minY(); break;
    case 3: f.origin.y = ref.maxY() - f.height(); break;
    case 4: f.origin.x = ref.minX(); break;
    default: f.origin.x = ref.maxX() - f.width(); break;
    }
    element->setFrame(f);
    postChanged();
}

void CSElement::alignCenterX(CSElement* element) { alignChild(element, 0); }
void CSElement::alignCenterY(CSElement* element) { alignChild(element, 1); }
void CSElement::alignTop(CSElement* element) { alignChild(element, 2); }
void CSElement::alignBottom(CSElement* element) { alignChild(element, 3); }
void CSElement::alignLeft(CSElement* element) { alignChild(element, 4); }
void CSElement::alignRight(CSElement* element) { alignChild(element, 5); }

std::vector<CSElement*> CSElement::elementsClippedBy(const CSElement* source) const
{
    std::vector<CSElement*> clipped;
    for (CSElement* child : m_children) {
        if (source && child->clipSource() == source)
            clipped.push_back(child);
    }
    return clipped;
}

// --- Masters and clip sources ------------------------------------------------

bool CSElement::acceptsMaster(const CSElement*) const
{
    return false;
}

bool CSElement::chainReaches(const CSElement* start, const CSElement* target, bool masters)
{
    // Chains are acyclic (every link is checked when it is made), but a
    // bound keeps a broken one from hanging.
    int steps = 0;
    for (const CSElement* e = start; e && steps < 100000; ++steps) {
        if (e == target)
            return true;
        e = masters ? e->master() : e->clipSource();
    }
    return false;
}

bool CSElement::mayTakeMaster(const CSElement* candidate) const
{
    if (!candidate)
        return true;
    return candidate != this && acceptsMaster(candidate) && !containsDescendant(candidate)
           && !chainReaches(candidate, this, true);
}

bool CSElement::mayTakeClipSource(const CSElement* candidate) const
{
    if (!candidate)
        return true;
    return candidate != this && candidate->canClipOthers() && !containsDescendant(candidate)
           && !chainReaches(candidate, this, false);
}

void CSElement::setMaster(CSElement* master)
{
    if (master == m_master || !mayTakeMaster(master))
        return;
    registerUndo(new CSUndoSetMaster(this, m_master));
    m_master = master;
}

void CSElement::setClipSource(CSElement* source)
{
    if (source == m_clipSource || !mayTakeClipSource(source))
        return;
    registerUndo(new CSUndoSetClipSource(this, m_clipSource));
    m_clipSource = source;
}

// --- Identity ------------------------------------------------------------------

const QString& CSElement::identifier() const
{
    if (m_identifier.isEmpty()) {
        // A process-wide serial number under the process id is unique among
        // every element this process makes; the seconds tell sessions apart.
        static std::atomic<quint64> serial{0};
        const quint64 number = (quint64(QCoreApplication::applicationPid()) << 32) | (++serial & 0xffffffffu);
        m_identifier = QStringLiteral("oid: %1.%2")
                           .arg(QString::number(number, 16))
                           .arg(QDateTime::currentSecsSinceEpoch());
    }
    return m_identifier;
}

CSElementIndex::CSElementIndex(const std::vector<CSElement*>& elements)
{
    for (CSElement* element : elements)
        add(element);
}

void CSElementIndex::add(CSElement* element)
{
    if (!element)
        return;
    // The first of duplicate identifiers wins.
    const QString& id = element->identifier();
    if (!m_byIdentifier.contains(id))
        m_byIdentifier.insert(id, element);
    for (CSElement* child : element->children())
        add(child);
}

void CSElement::resolveReferences(const CSElementIndex& all)
{
    if (!m_master && !m_pendingMaster.isEmpty()) {
        // A file names an element beside this one: one that holds it already
        // (its own panel, say) would end up holding it twice when it adopts.
        CSElement* candidate = all.find(m_pendingMaster);
        if (candidate && mayTakeMaster(candidate) && !candidate->containsDescendant(this)) {
            setMaster(candidate);
            if (candidate->adoptsDependants())
                candidate->addChild(this);
        }
    }
    m_pendingMaster.clear();
    if (!m_clipSource && !m_pendingClipSource.isEmpty()) {
        CSElement* candidate = all.find(m_pendingClipSource);
        if (candidate && mayTakeClipSource(candidate))
            setClipSource(candidate);
    }
    m_pendingClipSource.clear();
    for (CSElement* child : children())
        child->resolveReferences(all);
}

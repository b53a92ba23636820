// The element's stored forms: copying, the archive form of the clipboard and
// the common part of the XML form.

#include "CSElement.h"

#include "ArchiveReader.h"
#include "ArchiveWriter.h"
#include "NumberText.h"
#include "TextCodecs.h"
#include "XmlSupport.h"

#include <QHash>

#include <tinyxml.h>

#include <algorithm>
#include <cstring>
#include <optional>

// --- Copying ---------------------------------------------------------------------

namespace {

struct CopyState
{
    int depth = 0;
    QHash<const CSElement*, CSElement*> copies;
};

CopyState& copyState()
{
    static CopyState state;
    return state;
}

} // namespace

CSCopyScope::CSCopyScope()
{
    if (copyState().depth++ == 0)
        copyState().copies.clear();
}

CSCopyScope::~CSCopyScope()
{
    if (--copyState().depth == 0)
        copyState().copies.clear();
}

CSElement* CSCopyScope::copyOf(const CSElement* source)
{
    return source ? copyState().copies.value(source, nullptr) : nullptr;
}

void CSCopyScope::record(const CSElement* source, CSElement* copy)
{
    copyState().copies.insert(source, copy);
}

void CSCopyScope::forget(const CSElement* element)
{
    CopyState& state = copyState();
    if (state.depth == 0)
        return;
    for (auto it = state.copies.begin(); it != state.copies.end();) {
        if (it.key() == element || it.value() == element)
            it = state.copies.erase(it);
        else
            ++it;
    }
}

CSElement::CSElement(const CSElement& other)
    : UndoableObject(other),
      m_frame(other.m_frame),
      m_clipsToFrame(other.m_clipsToFrame),
      m_locked(other.m_locked),
      m_margin(other.m_margin),
      m_styleName(other.m_styleName),
      m_shadow(other.m_shadow),
      m_angle(other.m_angle),
      m_attributes(other.m_attributes),
      m_identifier(other.identifier())
{
    CSCopyScope scope;
    CSCopyScope::record(&other, this);
    for (const CSElement* child : other.m_children) {
        CSElement* copy = child->clone();
        if (copy && !appendChildQuietly(copy))
            destroyTree(copy);
    }
    // Only elements copied before this one (in list order) can be found.
    m_master = CSCopyScope::copyOf(other.m_master);
    m_clipSource = CSCopyScope::copyOf(other.m_clipSource);
}

// --- Archive form --------------------------------------------------------------

namespace {

struct ArchiveState
{
    int writeDepth = 0;
    QHash<const CSElement*, std::int32_t> positions;
    int readDepth = 0;
    std::vector<CSElement*> entered;
};

ArchiveState& archiveState()
{
    static ArchiveState state;
    return state;
}

void enumerate(const CSElement* element, QHash<const CSElement*, std::int32_t>& positions)
{
    if (!element || positions.contains(element))
        return;
    positions.insert(element, std::int32_t(positions.size()));
    for (const CSElement* child : element->children())
        enumerate(child, positions);
}

} // namespace

CSArchiveScope::CSArchiveScope(const std::vector<const CSElement*>& elements)
{
    ArchiveState& state = archiveState();
    if (state.writeDepth++ == 0) {
        state.positions.clear();
        for (const CSElement* element : elements)
            enumerate(element, state.positions);
    }
}

CSArchiveScope::CSArchiveScope()
{
    ArchiveState& state = archiveState();
    if (state.readDepth++ == 0)
        state.entered.clear();
    // A read scope inside a write scope (or the reverse) never happens: the
    // two are told apart by which depth is open.
    m_reading = true;
}

CSArchiveScope::~CSArchiveScope()
{
    ArchiveState& state = archiveState();
    if (!m_reading) {
        if (--state.writeDepth == 0)
            state.positions.clear();
        return;
    }
    if (--state.readDepth > 0)
        return;
    // Every element of the set exists now: turn positions into references.
    std::vector<CSElement*> entered;
    entered.swap(state.entered);
    auto at = [&entered](std::int32_t position) {
        return position >= 0 && std::size_t(position) < entered.size() ? entered[std::size_t(position)] : nullptr;
    };
    for (CSElement* element : entered) {
        if (!element)
            continue;
        if (CSElement* master = at(element->m_pendingMasterIndex); master && element->mayTakeMaster(master)) {
            element->setMaster(master);
            if (master->adoptsDependants() && master->indexOfChild(element) < 0 && !master->containsDescendant(element))
                master->addChild(element);
        }
        if (CSElement* source = at(element->m_pendingClipIndex); source && element->mayTakeClipSource(source))
            element->setClipSource(source);
        element->m_pendingMasterIndex = element->m_pendingClipIndex = -1;
    }
}

bool CSArchiveScope::isWriting()
{
    return archiveState().writeDepth > 0;
}

bool CSArchiveScope::isReading()
{
    return archiveState().readDepth > 0;
}

std::int32_t CSArchiveScope::positionOf(const CSElement* element)
{
    return element ? archiveState().positions.value(element, -1) : -1;
}

void CSArchiveScope::enter(CSElement* element)
{
    archiveState().entered.push_back(element);
}

void CSArchiveScope::forget(const CSElement* element)
{
    ArchiveState& state = archiveState();
    if (state.readDepth > 0)
        std::replace(state.entered.begin(), state.entered.end(), const_cast<CSElement*>(element),
                     static_cast<CSElement*>(nullptr));
    if (state.writeDepth > 0)
        state.positions.remove(element);
}

void CSElement::writeToArchive(ArchiveWriter& archive) const
{
    std::optional<CSArchiveScope> scope;
    if (!CSArchiveScope::isWriting())
        scope.emplace(std::vector<const CSElement*>{this});
    archive.writeString(stringFromRect(m_frame));
    archive.writeInt32(m_clipsToFrame ? 1 : 0);
    archive.writeString(stringFromSize(m_margin));
    archive.writeInt32(childCount());
    for (const CSElement* child : m_children)
        archive.writeObject(child);
    archive.writeString(m_styleName);
    archive.writeFloat(m_angle);
    // Relations within the archived set survive; one to an element outside
    // it is written as none, so no hidden copy of it travels along.
    archive.writeInt32(CSArchiveScope::positionOf(m_master));
    archive.writeInt32(CSArchiveScope::positionOf(m_clipSource));
    archive.writeInt32(m_locked ? 1 : 0);
    m_attributes.writeToArchive(archive);
}

void CSElement::readFromArchive(ArchiveReader& archive)
{
    std::optional<CSArchiveScope> scope;
    if (!CSArchiveScope::isReading())
        scope.emplace();
    CSArchiveScope::enter(this);
    m_frame = sanitized(rectFromString(archive.readString()));
    m_clipsToFrame = archive.readInt32() != 0;
    m_margin = sanitized(sizeFromString(archive.readString()));
    const std::uint32_t count = archive.readCount(4);
    for (std::uint32_t i = 0; i < count && !archive.failed(); ++i) {
        CRefCountObject* object = archive.readObject();
        CSElement* child = dynamic_cast<CSElement*>(object);
        if (child) {
            if (!appendChildQuietly(child))
                destroyTree(child);
        } else {
            delete object;
        }
    }
    m_styleName = archive.readString();
    m_angle = sanitized(archive.readFloat());
    m_pendingMasterIndex = archive.readInt32();
    m_pendingClipIndex = archive.readInt32();
    m_locked = archive.readInt32() != 0;
    m_attributes.readFromArchive(archive);
}

// --- XML form -----------------------------------------------------------------------

void CSElement::appendSetting(TiXmlElement* attributes, const char* name, const NSObject& value)
{
    TiXmlElement* setting = XmlSupport::appendElement(attributes, "setting");
    XmlSupport::setAttribute(setting, "name", QString::fromLatin1(name));
    value.writeSettingXml(setting);
}

TiXmlElement* CSElement::writeCommonXml(TiXmlNode* parent) const
{
    TiXmlElement* element = XmlSupport::appendElement(parent, "element");
    XmlSupport::setAttribute(element, "type", QString::fromLatin1(kindName()));
    XmlSupport::setAttribute(element, "oid", identifier());
    const Rect f = frame();
    XmlSupport::setRealAttribute(element, "x", f.x());
    XmlSupport::setRealAttribute(element, "y", f.y());
    XmlSupport::setRealAttribute(element, "w", f.width());
    XmlSupport::setRealAttribute(element, "h", f.height());
    if (canRotate())
        XmlSupport::setRealAttribute(element, "angle", angle());

    TiXmlElement* style = XmlSupport::appendElement(element, "style");
    XmlSupport::setAttribute(style, "name", styleName());
    for (const auto& [key, value] : m_attributes.entries()) {
        if (!value.writesXml())
            continue;
        TiXmlElement* setting = XmlSupport::appendElement(style, "setting");
        XmlSupport::setAttribute(setting, "name", key);
        value.writeSettingXml(setting);
    }

    TiXmlElement* elements = XmlSupport::appendElement(element, "elements");
    for (const CSElement* child : m_children)
        child->toXml(elements);
    return element;
}

TiXmlElement* CSElement::writeSharedAttributes(TiXmlElement* element) const
{
    TiXmlElement* attributes = XmlSupport::appendElement(element, "attributes");
    if (const CSElement* owner = master())
        appendSetting(attributes, "master", NSObject(owner->identifier()));
    if (const CSElement* source = clipSource())
        appendSetting(attributes, "clipSource", NSObject(source->identifier()));
    if (isLocked())
        appendSetting(attributes, "lock", NSObject(std::int32_t(1)));
    appendSetting(attributes, "clip", NSObject(std::int32_t(clipsToFrame() ? 1 : 0)));
    return attributes;
}

TiXmlElement* CSElement::toXml(TiXmlNode*) const
{
    return nullptr;
}

const TiXmlElement* CSElement::firstSetting(const TiXmlElement* parent)
{
    return parent ? parent->FirstChildElement("setting") : nullptr;
}

Rect CSElement::frameFromXml(const TiXmlElement* node)
{
    return Rect(sanitized(XmlSupport::realAttribute(node, "x")), sanitized(XmlSupport::realAttribute(node, "y")),
                sanitized(XmlSupport::realAttribute(node, "w")), sanitized(XmlSupport::realAttribute(node, "h")));
}

void CSElement::readCommonXml(const TiXmlElement* node)
{
    if (const TiXmlElement* style = node->FirstChildElement("style")) {
        setStyleName(XmlSupport::attribute(style, "name"));
        for (const TiXmlElement* setting = firstSetting(style); setting;
             setting = setting->NextSiblingElement("setting")) {
            const QString key = XmlSupport::attribute(setting, "name");
            if (key.isEmpty())
                continue;
            setAttribute(NSObject::fromSettingNode(setting->FirstChild()), key);
        }
    }
    if (XmlSupport::hasAttribute(node, "oid"))
        m_identifier = XmlSupport::attribute(node, "oid");
    if (canRotate() && XmlSupport::hasAttribute(node, "angle"))
        setAngle(sanitized(XmlSupport::realAttribute(node, "angle")));
}

void CSElement::readSharedAttributes(const TiXmlElement* attributes)
{
    for (const TiXmlElement* setting = firstSetting(attributes); setting;
         setting = setting->NextSiblingElement("setting")) {
        const char* name = setting->Attribute("name");
        if (!name)
            continue;
        auto text = [setting] {
            NSString value;
            value.readSetting(setting);
            return value.stringValue();
        };
        auto flag = [setting] { return NSObject::fromSettingNode(setting->FirstChild()).floatValue() != 0.0f; };
        if (std::strcmp(name, "master") == 0)
            m_pendingMaster = text();
        else if (std::strcmp(name, "clipSource") == 0)
            m_pendingClipSource = text();
        else if (std::strcmp(name, "lock") == 0)
            setLocked(flag());
        else if (std::strcmp(name, "clip") == 0)
            setClipsToFrame(flag());
    }
}

void CSElement::readChildrenXml(const TiXmlElement* node, int depth)
{
    const TiXmlElement* elements = node->FirstChildElement("elements");
    if (!elements)
        return;
    for (const TiXmlElement* child = elements->FirstChildElement("element"); child;
         child = child->NextSiblingElement("element")) {
        CSElement* element = elementFromXml(child, depth + 1);
        if (!element)
            continue;
        if (canAdopt(element))
            addChild(element);
        else
            destroyTree(element);
    }
}

// A panel's stored forms: the archive form of the clipboard, the XML form of
// the comic data file and the dictionary form of page templates.

#include "CSCell.h"

#include "ArchiveReader.h"
#include "ArchiveWriter.h"
#include "NSArray.h"
#include "TextCodecs.h"
#include "XmlSupport.h"

#include <tinyxml.h>

#include <cstring>

namespace {

const QString kIrregularKey = QStringLiteral("Irregular");
const QString kPointsKey = QStringLiteral("Points");
const QString kNumPointsKey = QStringLiteral("NumPoints");
const QString kFrameKey = QStringLiteral("Frame");
const QString kTagKey = QStringLiteral("Tag");
const QString kStyleKey = QStringLiteral("Style");
const QString kAngleKey = QStringLiteral("Angle");

} // namespace

// --- Archive form -------------------------------------------------------------------

void CSCell::writeToArchive(ArchiveWriter& archive) const
{
    CSElement::writeToArchive(archive);
    archive.writeInt32(m_irregular ? 1 : 0);
    for (const Point& p : m_points) {
        archive.writeFloat(p.x);
        archive.writeFloat(p.y);
    }
    archive.writeInt32(m_numPoints);
    archive.writeInt32(m_tag);
}

void CSCell::readFromArchive(ArchiveReader& archive)
{
    CSElement::readFromArchive(archive);
    m_irregular = archive.readInt32() != 0;
    Points points;
    for (Point& p : points) {
        p.x = archive.readFloat();
        p.y = archive.readFloat();
    }
    storePoints(points);
    m_numPoints = clampedCount(archive.readInt32());
    m_tag = archive.readInt32();
}

// --- XML form ------------------------------------------------------------------------

TiXmlElement* CSCell::toXml(TiXmlNode* parent) const
{
    TiXmlElement* element = writeCommonXml(parent);
    TiXmlElement* attributes = writeSharedAttributes(element);
    appendSetting(attributes, "irregular", NSObject(std::int32_t(m_irregular ? 1 : 0)));
    appendSetting(attributes, "tag", NSObject(m_tag));
    if (m_irregular) {
        TiXmlElement* points = XmlSupport::appendElement(element, "points");
        XmlSupport::setIntAttribute(points, "count", m_numPoints);
        for (const Point& p : m_points) {
            TiXmlElement* point = XmlSupport::appendElement(points, "point");
            XmlSupport::setRealAttribute(point, "x", p.x);
            XmlSupport::setRealAttribute(point, "y", p.y);
        }
    }
    return element;
}

CSElement* CSCell::fromXml(const TiXmlElement* node, int depth)
{
    auto* panel = new CSCell(frameFromXml(node));
    panel->readCommonXml(node);
    const TiXmlElement* attributes = node->FirstChildElement("attributes");
    panel->readSharedAttributes(attributes);
    for (const TiXmlElement* setting = firstSetting(attributes); setting;
         setting = setting->NextSiblingElement("setting")) {
        const char* name = setting->Attribute("name");
        if (!name)
            continue;
        const NSObject value = NSObject::fromSettingNode(setting->FirstChild());
        // Turning irregular on starts the points from the frame just read,
        // so points a file leaves out keep a sound place.
        if (std::strcmp(name, "irregular") == 0)
            panel->setIrregular(value.floatValue() != 0.0f);
        else if (std::strcmp(name, "tag") == 0)
            panel->setTag(value.intValue());
    }
    const TiXmlElement* points = node->FirstChildElement("points");
    if (panel->isIrregular() && points) {
        panel->setPointCount(kMaxPoints);
        Points read = panel->m_points;
        int index = 0;
        for (const TiXmlElement* point = points->FirstChildElement("point"); point && index < kStoredPoints;
             point = point->NextSiblingElement("point"), ++index) {
            Point& p = read[std::size_t(index)];
            p = Point{float(XmlSupport::realAttribute(point, "x", p.x)), float(XmlSupport::realAttribute(point, "y", p.y))};
        }
        panel->storePoints(read);
        panel->setPointCount(XmlSupport::intAttribute(points, "count", 0));
    }
    panel->readChildrenXml(node, depth);
    return panel;
}

// --- Page template form ----------------------------------------------------------------

NSDictionary* CSCell::templateDictionary() const
{
    auto* dictionary = new NSDictionary;
    dictionary->setBoolForKey(m_irregular, kIrregularKey);
    if (m_irregular) {
        auto* points = new NSArray;
        for (const Point& p : m_points)
            points->addString(stringFromPoint(p));
        dictionary->setArrayForKey(points, kPointsKey);
        dictionary->setIntForKey(m_numPoints, kNumPointsKey);
    } else {
        dictionary->setStringForKey(stringFromRect(frame()), kFrameKey);
    }
    dictionary->setIntForKey(m_tag, kTagKey);
    if (!styleName().isEmpty())
        dictionary->setStringForKey(styleName(), kStyleKey);
    dictionary->setFloatForKey(angle(), kAngleKey);
    return dictionary;
}

CSCell* CSCell::fromTemplateDictionary(const NSDictionary* dictionary)
{
    if (!dictionary)
        return nullptr;
    auto value = [dictionary](const QString& key) {
        const NSObject* found = dictionary->valueForKey(key);
        return found ? *found : NSObject();
    };
    auto* panel = new CSCell;
    const Rect frame = sanitized(rectFromString(value(kFrameKey).stringValue()));
    if (value(kIrregularKey).boolValue()) {
        const NSArray* stored = value(kPointsKey).arrayValue();
        const int given = stored ? std::min(stored->count(), kStoredPoints) : 0;
        std::vector<Point> read;
        for (int i = 0; i < given; ++i)
            read.push_back(sanitizedPoint(pointFromString(stored->stringAtIndex(i))));
        // Points the dictionary leaves out start from its frame, or else from
        // the bounds of the points it has, as turning irregular on would.
        Points points = pointsAround(value(kFrameKey).isEmpty() ? boundsOf(read) : frame);
        std::copy(read.begin(), read.end(), points.begin());
        panel->m_irregular = true;
        panel->storePoints(points);
        const NSObject count = value(kNumPointsKey);
        panel->m_numPoints = count.isEmpty() ? kMaxPoints : clampedCount(count.intValue());
    } else {
        panel->storeFrame(frame);
    }
    panel->m_tag = value(kTagKey).intValue();
    if (const QString style = value(kStyleKey).stringValue(); !style.isEmpty())
        panel->setStyleName(style);
    if (const float degrees = sanitized(value(kAngleKey).floatValue()); degrees != 0.0f)
        panel->setAngle(degrees);
    return panel;
}

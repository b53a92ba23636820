#pragma once

// Small element kinds for the element base's tests: a clipping panel, a
// balloon that adopts its parts, and a part that belongs to a balloon. Each
// writes the common XML form, so undo can be checked on XML snapshots.

#include "CSElement.h"
#include "XmlSupport.h"

#include <QByteArray>

#include <tinyxml.h>

class TestKind : public CSElement
{
public:
    using CSElement::CSElement;
    TiXmlElement* toXml(TiXmlNode* parent) const override
    {
        TiXmlElement* element = writeCommonXml(parent);
        writeSharedAttributes(element);
        return element;
    }
    CSElement* clone() const override { return new TestKind(*this); }

    // The pending references and the identifier as a file gives them.
    void pend(const QString& master, const QString& clip)
    {
        TiXmlElement attributes("attributes");
        auto add = [&attributes](const char* name, const QString& value) {
            if (value.isEmpty())
                return;
            TiXmlElement* setting = XmlSupport::appendElement(&attributes, "setting");
            XmlSupport::setAttribute(setting, "name", QString::fromLatin1(name));
            XmlSupport::appendText(setting, value);
        };
        add("master", master);
        add("clipSource", clip);
        readSharedAttributes(&attributes);
    }
    void setId(const QString& id)
    {
        TiXmlElement node("element");
        XmlSupport::setAttribute(&node, "oid", id);
        readCommonXml(&node);
    }

protected:
    TestKind(const TestKind& other) : CSElement(other) {}
};

class TestPanel : public TestKind
{
public:
    using TestKind::TestKind;
    CSElementKind elementKind() const override { return CSElementKind::Panel; }
    const QString& stylePrefix() const override
    {
        static const QString prefix = QStringLiteral("Cell");
        return prefix;
    }
    const char* kindName() const override { return "panel"; }
    bool canClipOthers() const override { return true; }
    bool isPanel() const override { return true; }
    std::unique_ptr<NSBezierPath> shapePath(const CSStylesheet*) const override
    {
        return std::make_unique<NSBezierPath>(NSBezierPath::pathWithRect(frame()));
    }
    std::unique_ptr<NSBezierPath> clipPath(const CSStylesheet* stylesheet) const override
    {
        return shapePath(stylesheet);
    }
    CSElement* clone() const override { return new TestPanel(*this); }

protected:
    TestPanel(const TestPanel& other) : TestKind(other) {}
};

class TestBalloon : public TestKind
{
public:
    using TestKind::TestKind;
    CSElementKind elementKind() const override { return CSElementKind::Balloon; }
    bool adoptsDependants() const override { return true; }
    bool canRotate() const override { return false; }
    CSElement* clone() const override { return new TestBalloon(*this); }

protected:
    TestBalloon(const TestBalloon& other) : TestKind(other) {}
};

class TestPart : public TestKind
{
public:
    using TestKind::TestKind;
    CSElementKind elementKind() const override { return CSElementKind::SubBalloon; }
    bool acceptsMaster(const CSElement* candidate) const override
    {
        return candidate->elementKind() == CSElementKind::Balloon;
    }
    // Read back the way the file reader does: pending identifiers only.
    void readAttributesOf(const TiXmlElement* node) { readSharedAttributes(node->FirstChildElement("attributes")); }
    CSElement* clone() const override { return new TestPart(*this); }

protected:
    TestPart(const TestPart& other) : TestKind(other) {}
};

// The element's XML form as text.
inline QByteArray xmlOf(const CSElement& element)
{
    TiXmlDocument document;
    element.toXml(&document);
    return XmlSupport::printDocument(document);
}

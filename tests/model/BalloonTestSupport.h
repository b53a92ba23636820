#pragma once

// Balloons as the commands build them, and pages of elements read from XML
// the way the page reader does: each element read alone, then the
// references resolved over the whole list.

#include "CSBubble.h"
#include "CSSpeechElement.h"
#include "CSTail.h"
#include "ElementTestKinds.h"
#include "PAFont.h"

#include <tinyxml.h>

// A page stand-in that holds every element of a page, parts included: one
// destroyTree of it destroys each element once.
class BalloonPage
{
public:
    BalloonPage() : m_page(new TestKind(Rect(0, 0, 1000, 1000))) {}
    ~BalloonPage() { CSElement::destroyTree(m_page); }
    BalloonPage(const BalloonPage&) = delete;
    BalloonPage& operator=(const BalloonPage&) = delete;

    template <class T>
    T* add(T* element)
    {
        m_page->addChild(element);
        return element;
    }
    TestKind& page() { return *m_page; }
    std::vector<CSElement*> elements() const { return m_page->children(); }

    // A balloon with one sub-balloon per frame and one tail per tip, each
    // part added to the balloon and to the page.
    CSSpeechElement* balloon(std::initializer_list<Rect> bubbles, std::initializer_list<Point> tips = {})
    {
        auto* balloon = add(new CSSpeechElement(Rect(0, 0, 10, 10)));
        for (const Rect& frame : bubbles)
            balloon->addChild(add(new CSBubble(frame, balloon)));
        for (Point tip : tips)
            balloon->addChild(add(new CSTail(tip)));
        return balloon;
    }

    // Reads every "element" of the document's root and resolves the
    // references as a page does; false when the text is not XML.
    bool read(const QByteArray& xml)
    {
        TiXmlDocument document;
        if (!XmlSupport::parseDocument(document, xml))
            return false;
        for (const TiXmlElement* node = document.RootElement()->FirstChildElement("element"); node;
             node = node->NextSiblingElement("element")) {
            if (CSElement* element = CSElement::elementFromXml(node))
                add(element);
        }
        const CSElementIndex index(elements());
        for (CSElement* element : elements())
            element->resolveReferences(index);
        return true;
    }

    // The page's elements in their XML form, inside one "elements" root.
    QByteArray xml() const
    {
        TiXmlDocument document;
        TiXmlElement* root = XmlSupport::appendElement(&document, "elements");
        for (const CSElement* element : elements())
            element->toXml(root);
        return XmlSupport::printDocument(document);
    }

    template <class T>
    std::vector<T*> all() const
    {
        std::vector<T*> found;
        for (CSElement* element : elements())
            if (auto* t = dynamic_cast<T*>(element))
                found.push_back(t);
        return found;
    }

private:
    TestKind* m_page;
};

inline CAttributedString balloonText(const QString& words, float size = 11)
{
    return CAttributedString(words, PAFont::fontWithFamily(QStringLiteral("DigitalStrip"), std::int32_t(size), false, false),
                             kOpaqueBlack, TextAlignment::Center);
}

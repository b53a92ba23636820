// The comic data file: the XML a document package stores for its comic.

#include "CSComic.h"

#include "CSPage.h"
#include "CSStylesheet.h"
#include "NSObject.h"
#include "NumberText.h"
#include "TextCodecs.h"
#include "XmlSupport.h"

#include <tinyxml.h>

#include <cstring>

namespace {

void appendSetting(TiXmlElement* attributes, const char* name, const NSObject& value)
{
    TiXmlElement* setting = XmlSupport::appendElement(attributes, "setting");
    XmlSupport::setAttribute(setting, "name", QString::fromLatin1(name));
    value.writeSettingXml(setting);
}

QString settingText(const TiXmlElement* setting)
{
    NSString text;
    text.readSetting(setting);
    return text.stringValue();
}

int countElementNodes(const TiXmlElement* node)
{
    const TiXmlElement* elements = node->FirstChildElement("elements");
    int count = 0;
    for (const TiXmlElement* child = elements ? elements->FirstChildElement("element") : nullptr; child;
         child = child->NextSiblingElement("element"))
        ++count;
    return count;
}

} // namespace

TiXmlElement* CSComic::toXml(TiXmlNode* parent) const
{
    TiXmlElement* comic = XmlSupport::appendElement(parent, "comic");
    TiXmlElement* attributes = XmlSupport::appendElement(comic, "attributes");
    appendSetting(attributes, "pageName", NSObject(m_pageName));
    appendSetting(attributes, "pageSize", NSObject(stringFromSize(m_pageSize)));
    appendSetting(attributes, "portraitMode", NSObject(m_portrait));
    appendSetting(attributes, "snapTolerance", NSObject(m_snapTolerance));
    appendSetting(attributes, "gridInterval", NSObject(m_gridInterval));
    appendSetting(attributes, "showAlignmentGuides", NSObject(m_showAlignmentGuides));
    appendSetting(attributes, "showGrid", NSObject(m_showGrid));
    appendSetting(attributes, "snapToGrid", NSObject(m_snapToGrid));
    appendSetting(attributes, "leftMargin", NSObject(m_leftMargin));
    appendSetting(attributes, "rightMargin", NSObject(m_rightMargin));
    appendSetting(attributes, "topMargin", NSObject(m_topMargin));
    appendSetting(attributes, "bottomMargin", NSObject(m_bottomMargin));
    appendSetting(attributes, "backgroundColor", NSObject::withColor(m_backgroundColor));
    if (m_stylesheet)
        m_stylesheet->writeXml(comic);
    TiXmlElement* pages = XmlSupport::appendElement(comic, "pages");
    for (const CSPage* page : m_pages)
        page->toXml(pages);
    return comic;
}

bool CSComic::saveToFile(const QString& path) const
{
    TiXmlDocument document;
    toXml(&document);
    return XmlSupport::saveDocument(document, path);
}

CSComic* CSComic::comicFromFile(const QString& path)
{
    TiXmlDocument document;
    if (!XmlSupport::loadDocument(document, path))
        return nullptr;
    return comicFromXml(document.RootElement());
}

CSComic* CSComic::comicFromXmlText(const QByteArray& text)
{
    TiXmlDocument document;
    if (!XmlSupport::parseDocument(document, text))
        return nullptr;
    return comicFromXml(document.RootElement());
}

CSComic* CSComic::comicFromXml(const TiXmlElement* root)
{
    if (!root)
        return nullptr;
    auto* comic = new CSComic;
    if (const TiXmlElement* stylesheet = root->FirstChildElement("stylesheet")) {
        if (CSStylesheet* read = CSStylesheet::stylesheetFromXml(stylesheet))
            comic->setStylesheet(read);
    }
    // Style lookups need a root to fall back on.
    if (!comic->stylesheet()) {
        comic->m_readProblems << QStringLiteral("the comic has no readable stylesheet; the built-in one is used");
        comic->setStylesheet(CSStylesheet::newStylesheet());
    }
    comic->readSettings(root->FirstChildElement("attributes"));
    if (const TiXmlElement* pages = root->FirstChildElement("pages")) {
        for (const TiXmlElement* node = pages->FirstChildElement("element"); node;
             node = node->NextSiblingElement("element")) {
            CSPage* page = CSPage::fromXml(node, 0);
            comic->addPage(page);
            const int stored = countElementNodes(node);
            if (page->childCount() < stored)
                comic->m_readProblems << QStringLiteral("page %1: %2 of %3 elements could not be read")
                                             .arg(comic->pageCount())
                                             .arg(stored - page->childCount())
                                             .arg(stored);
        }
    }
    return comic;
}

void CSComic::readSettings(const TiXmlElement* attributes)
{
    if (!attributes)
        return;
    for (const TiXmlElement* setting = attributes->FirstChildElement("setting"); setting;
         setting = setting->NextSiblingElement("setting")) {
        const char* name = setting->Attribute("name");
        if (!name)
            continue;
        const QString text = XmlSupport::elementText(setting);
        auto is = [name](const char* candidate) { return std::strcmp(name, candidate) == 0; };
        if (is("pageName")) {
            m_pageName = settingText(setting);
        } else if (is("pageSize")) {
            m_pageSize = paperSize(sizeFromString(settingText(setting)));
        } else if (is("portraitMode")) {
            m_portrait = NumberText::leadingInt(text) != 0 ? 1 : 0;
        } else if (is("snapTolerance")) {
            setSnapTolerance(NumberText::leadingInt(text));
        } else if (is("gridInterval")) {
            setGridInterval(NumberText::leadingInt(text));
        } else if (is("showAlignmentGuides")) {
            m_showAlignmentGuides = NumberText::leadingInt(text) != 0 ? 1 : 0;
        } else if (is("showGrid")) {
            m_showGrid = NumberText::leadingInt(text) != 0 ? 1 : 0;
        } else if (is("snapToGrid")) {
            m_snapToGrid = NumberText::leadingInt(text) != 0 ? 1 : 0;
        } else if (is("leftMargin")) {
            m_leftMargin = paperLength(NumberText::leadingFloat(text));
        } else if (is("rightMargin")) {
            m_rightMargin = paperLength(NumberText::leadingFloat(text));
        } else if (is("topMargin")) {
            m_topMargin = paperLength(NumberText::leadingFloat(text));
        } else if (is("bottomMargin")) {
            m_bottomMargin = paperLength(NumberText::leadingFloat(text));
        } else if (is("backgroundColor")) {
            NSColor color;
            color.readSetting(setting);
            m_backgroundColor = color.colorValue();
        }
    }
}

#include "PropertyList.h"

#include "NSDictionary.h"
#include "XmlSupport.h"

#include <QFile>

#include <tinyxml.h>

namespace PropertyList {

namespace {

void buildDocument(TiXmlDocument& document, const NSDictionary* dictionary)
{
    document.LinkEndChild(new TiXmlDeclaration("1.0", "UTF-8", ""));
    TiXmlElement* root = XmlSupport::appendElement(&document, "plist");
    root->SetAttribute("version", "1.0");
    dictionary->writeXml(root);
}

NSDictionary* dictionaryFromDocument(const TiXmlDocument& document)
{
    const TiXmlElement* root = document.FirstChildElement("plist");
    const TiXmlElement* dict = root ? root->FirstChildElement("dict") : nullptr;
    if (!dict)
        return nullptr;
    auto* dictionary = new NSDictionary;
    dictionary->readXml(dict);
    return dictionary;
}

} // namespace

bool writePropertyList(const NSDictionary* dictionary, const QString& path)
{
    if (!dictionary)
        return false;
    TiXmlDocument document;
    buildDocument(document, dictionary);
    return XmlSupport::saveDocument(document, path);
}

QByteArray propertyListText(const NSDictionary* dictionary)
{
    TiXmlDocument document;
    buildDocument(document, dictionary);
    return XmlSupport::printDocument(document);
}

NSDictionary* propertyListFromText(const QByteArray& utf8Text)
{
    TiXmlDocument document;
    if (!XmlSupport::parseDocument(document, utf8Text))
        return nullptr;
    return dictionaryFromDocument(document);
}

NSDictionary* propertyListFromFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return nullptr;
    return propertyListFromText(file.readAll());
}

} // namespace PropertyList

#include "CliCommand.h"
#include "ComicFiles.h"
#include "JsonWriter.h"

#include "CSComic.h"
#include "CSPage.h"
#include "CSSFXElement.h"
#include "TextCodecs.h"

#include <tinyxml.h>

namespace {

void writeSize(JsonWriter& json, Size size)
{
    json.beginInlineArray();
    json.number(size.width);
    json.number(size.height);
    json.endArray();
}

void writeReference(JsonWriter& json, const CSElement* element)
{
    if (element)
        json.string(element->identifier());
    else
        json.null();
}

// A value as its setting reads in the file: scalars as their text, colours
// and fonts in their text forms.
QString settingText(const NSObject& value)
{
    switch (value.kind()) {
    case NSObject::Color: return stringFromColor(value.colorValue());
    case NSObject::Font: return stringFromFont(value.fontValue());
    default: break;
    }
    TiXmlElement setting("setting");
    value.writeSettingXml(&setting);
    const TiXmlNode* child = setting.FirstChild();
    if (child && child->ToText())
        return QString::fromUtf8(child->Value());
    return value.stringValue();
}

bool carriesText(const CSElement& element)
{
    switch (element.elementKind()) {
    case CSElementKind::SubBalloon:
    case CSElementKind::Caption:
    case CSElementKind::Lettering: return true;
    default: return false;
    }
}

void writeElement(JsonWriter& json, const CSElement& element)
{
    json.beginObject();
    json.key(QStringLiteral("type"));
    json.string(QString::fromLatin1(element.kindName()));
    json.key(QStringLiteral("oid"));
    json.string(element.identifier());
    const Rect f = element.frame();
    json.key(QStringLiteral("frame"));
    json.beginInlineArray();
    for (float v : {f.x(), f.y(), f.width(), f.height()})
        json.number(v);
    json.endArray();
    json.key(QStringLiteral("angle"));
    json.number(element.canRotate() ? element.angle() : 0.0f);
    json.key(QStringLiteral("style"));
    json.string(element.styleName());
    json.key(QStringLiteral("locked"));
    json.boolean(element.isLocked());
    json.key(QStringLiteral("master"));
    writeReference(json, element.master());
    json.key(QStringLiteral("clipSource"));
    writeReference(json, element.clipSource());
    if (carriesText(element)) {
        json.key(QStringLiteral("text"));
        const auto* lettering = dynamic_cast<const CSSFXElement*>(&element);
        json.string(lettering ? lettering->letteringText() : element.text().string());
    }
    if (const PAImage* picture = element.picture(); picture || element.elementKind() == CSElementKind::Image) {
        json.key(QStringLiteral("imageName"));
        json.string(element.pictureName());
    }
    json.key(QStringLiteral("attributes"));
    json.beginObject();
    for (const auto& [key, value] : element.localAttributes().entries()) {
        if (!value.writesXml())
            continue;
        json.key(key);
        json.string(settingText(value));
    }
    json.endObject();
    json.key(QStringLiteral("children"));
    json.beginArray();
    // Letters are the lettering's own drawing, and a balloon's parts are
    // page elements of their own that name it as master: neither is nested
    // in the file.
    if (!element.isLettering() && !element.adoptsDependants()) {
        for (const CSElement* child : element.children())
            writeElement(json, *child);
    }
    json.endArray();
    json.endObject();
}

int describeComic(const Cli::Arguments& arguments)
{
    const QString path = arguments.positional[0];
    const Cli::ComicPointer comic = Cli::openComic(path, Cli::salvageRequested(arguments));

    JsonWriter json;
    json.beginObject();
    json.key(QStringLiteral("pageName"));
    json.string(comic->pageName());
    json.key(QStringLiteral("pageSize"));
    writeSize(json, comic->pageSize());
    json.key(QStringLiteral("orientedSize"));
    writeSize(json, comic->orientedSize());
    json.key(QStringLiteral("portrait"));
    json.boolean(comic->isPortrait());
    json.key(QStringLiteral("margins"));
    json.beginInlineArray();
    for (float v : {comic->leftMargin(), comic->rightMargin(), comic->topMargin(), comic->bottomMargin()})
        json.number(v);
    json.endArray();
    json.key(QStringLiteral("backgroundColor"));
    json.string(QStringLiteral("#%1").arg(comic->backgroundColor(), 8, 16, QLatin1Char('0')).toUpper());
    json.key(QStringLiteral("pages"));
    json.beginArray();
    for (int index = 0; index < comic->pageCount(); ++index) {
        const CSPage* page = comic->pageAt(index);
        json.beginObject();
        json.key(QStringLiteral("index"));
        json.number(index + 1);
        json.key(QStringLiteral("style"));
        json.string(page->styleName());
        json.key(QStringLiteral("elements"));
        json.beginArray();
        for (const CSElement* element : page->children())
            writeElement(json, *element);
        json.endArray();
        json.endObject();
    }
    json.endArray();
    // The picture table: what a document stores (the used ones) and keeps.
    json.key(QStringLiteral("pictures"));
    json.beginArray();
    for (const auto& [name, picture] : comic->pictures()) {
        json.beginObject();
        json.key(QStringLiteral("name"));
        json.string(name);
        json.key(QStringLiteral("used"));
        json.boolean(comic->usesPicture(name));
        json.endObject();
    }
    json.endArray();
    json.endObject();
    Cli::printOut(json.text());
    return Cli::kSuccess;
}

const Cli::CliCommandRegistration registration{Cli::CliCommand{
    QStringLiteral("info"),
    QStringLiteral("FILE"),
    QStringLiteral("describe a comic as JSON"),
    QStringLiteral("Prints the paper, the pages and every element of the comic FILE as one JSON object:\n"
                   "type, identifier, frame, angle, style, lock, master, clip source, text, picture\n"
                   "name, local attributes and nested elements, then the pictures of the comic's\n"
                   "table. A damaged file is described as far as it reads, with warnings; a damaged\n"
                   "document only with --salvage."),
    {Cli::salvageOption()},
    1,
    1,
    describeComic,
}};

} // namespace

#include "ComicSeeds.h"

#include "ArchiveWriter.h"
#include "CAttributedString.h"
#include "CSBubble.h"
#include "CSCaptionElement.h"
#include "CSCell.h"
#include "CSComic.h"
#include "CSImageElement.h"
#include "CSPage.h"
#include "CSSFXElement.h"
#include "CSSpeechElement.h"
#include "CSStylesheet.h"
#include "CSTail.h"
#include "GraphicsArchiveClasses.h"
#include "ModelArchiveClasses.h"
#include "NSBezierPath.h"
#include "PAFont.h"
#include "StyleDeclarations.h"
#include "TextCodecs.h"
#include "XmlSupport.h"

#include <QDir>
#include <QFile>

#include <tinyxml.h>

#include <functional>
#include <memory>

namespace {

struct ComicDeleter
{
    void operator()(CSComic* comic) const { CSComic::destroy(comic); }
};
using ComicPointer = std::unique_ptr<CSComic, ComicDeleter>;

void save(const QString& folder, const QString& name, const QByteArray& bytes)
{
    QDir().mkpath(folder);
    QFile file(folder + "/" + name);
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
}

CAttributedString sampleText()
{
    CAttributedString text(QStringLiteral("Hello "), PAFont::fontWithFamily("Comic Neue", 14, false, true), 0xFF000000u,
                           TextAlignment::Center);
    text.appendString(QStringLiteral("there!"), PAFont::fontWithFamily("Verdana", 9, true, false), 0xFFCC2200u,
                      TextAlignment::Center);
    return text;
}

CSCell* regularPanel()
{
    return new CSCell(Rect(10, 10, 250, 180));
}

CSCell* irregularPanel()
{
    auto* panel = new CSCell(Rect(280, 10, 220, 180));
    panel->setIrregular(true);
    panel->setPointCount(5);
    return panel;
}

CSImageElement* pictureElement()
{
    auto* picture = new CSImageElement(Rect(20, 220, 120, 90));
    picture->setFlipHorizontal(true);
    picture->setAngle(8.0f);
    return picture;
}

CSCaptionElement* caption()
{
    auto* caption = new CSCaptionElement(Rect(160, 220, 140, 50));
    caption->setText(sampleText());
    return caption;
}

CSSFXElement* lettering()
{
    return new CSSFXElement(QStringLiteral("POW!"), PAFont::fontWithFamily("Comic Neue", 48, false, true),
                            Rect(320, 220, 160, 70));
}

// A balloon, its sub-balloon and its tail all lie on the page; the parts are
// also the balloon's children.
void addBalloon(CSPage* page, std::int32_t kind)
{
    auto* balloon = new CSSpeechElement(Rect(40, 340, 200, 90));
    page->addChild(balloon);
    auto* bubble = new CSBubble(Rect(260, 350, 120, 60), balloon);
    page->addChild(bubble);
    balloon->addChild(bubble);
    auto* tail = new CSTail(Point{100, 470});
    page->addChild(tail);
    balloon->addChild(tail);
    balloon->setSpeechType(kind);
    balloon->setText(sampleText());
}

// One page per element kind, and one page holding them all.
using PageFiller = std::function<void(CSPage*)>;

QByteArray comicText(const std::vector<PageFiller>& pages)
{
    ComicPointer comic(new CSComic(Size{612, 792}));
    for (const PageFiller& fill : pages) {
        auto* page = new CSPage(comic->contentSize());
        comic->addPage(page);
        fill(page);
    }
    TiXmlDocument document;
    comic->toXml(&document);
    return XmlSupport::printDocument(document);
}

void writeComicSeeds(const QString& folder)
{
    const std::vector<std::pair<QString, PageFiller>> kinds = {
        {"panel", [](CSPage* page) { page->addChild(regularPanel()); }},
        {"irregular-panel", [](CSPage* page) { page->addChild(irregularPanel()); }},
        {"picture", [](CSPage* page) { page->addChild(pictureElement()); }},
        {"caption", [](CSPage* page) { page->addChild(caption()); }},
        {"lettering", [](CSPage* page) { page->addChild(lettering()); }},
        {"balloon", [](CSPage* page) { addBalloon(page, 0); }},
        {"thought-balloon", [](CSPage* page) { addBalloon(page, 3); }},
    };
    std::vector<PageFiller> all;
    for (const auto& [name, fill] : kinds) {
        save(folder, name + ".xml", comicText({fill}));
        all.push_back(fill);
    }
    all.push_back([](CSPage* page) {
        CSCell* panel = regularPanel();
        page->addChild(panel);
        CSImageElement* picture = pictureElement();
        page->addChild(picture);
        picture->setClipSource(panel);
    });
    save(folder, "every-kind.xml", comicText(all));
    ComicPointer grid(new CSComic(Size{595, 842}));
    grid->addPage(CSPage::pageWithGrid(grid->contentSize(), 3, 2, 8));
    TiXmlDocument document;
    grid->toXml(&document);
    save(folder, "grid.xml", XmlSupport::printDocument(document));
}

void writeStylesheetSeeds(const QString& folder, const QString& resources)
{
    const QDir sheets(resources + "/Stylesheets");
    for (const QString& name : sheets.entryList({"*.comicstl"}, QDir::Files)) {
        QFile file(sheets.filePath(name));
        if (file.open(QIODevice::ReadOnly))
            save(folder, name, file.readAll());
    }
    RefPtr<CSStylesheet> builtIn(CSStylesheet::newStylesheet());
    TiXmlDocument document;
    builtIn->writeXml(&document);
    save(folder, "built-in.comicstl", XmlSupport::printDocument(document));
}

QByteArray archiveOf(const CRefCountObject* object)
{
    ArchiveWriter writer;
    writer.writeObject(object);
    return writer.data();
}

void writeElementArchiveSeeds(const QString& folder)
{
    const std::vector<std::pair<QString, std::function<CSElement*()>>> kinds = {
        {"panel", [] { return regularPanel(); }},
        {"irregular-panel", [] { return irregularPanel(); }},
        {"picture", [] { return pictureElement(); }},
        {"caption", [] { return caption(); }},
        {"lettering", [] { return lettering(); }},
    };
    for (const auto& [name, make] : kinds) {
        CSElement* element = make();
        save(folder, name + ".bin", archiveOf(element));
        CSElement::destroyTree(element);
    }
    // A whole page: balloons with their parts, a picture clipped by a panel.
    auto* page = new CSPage(Size{540, 720});
    addBalloon(page, 0);
    CSCell* panel = regularPanel();
    page->addChild(panel);
    CSImageElement* picture = pictureElement();
    page->addChild(picture);
    picture->setClipSource(panel);
    save(folder, "page.bin", archiveOf(page));
    CSElement::destroyTree(page);

    RefPtr<CSStylesheet> sheet(CSStylesheet::newStylesheet());
    save(folder, "stylesheet.bin", archiveOf(sheet.get()));
}

NSBezierPath samplePath()
{
    NSBezierPath path = NSBezierPath::pathWithRoundedCorners(Rect(2, 2, 20, 12), 4);
    path.moveTo(Point{1, 1});
    path.lineTo(Point{30, 5});
    path.curveTo(Point{10, 28}, Point{25, 20}, Point{15, 30});
    path.quadCurveTo(Point{2, 20}, Point{5, 25});
    path.closePath();
    return path;
}

void writePathSeeds(const QString& folder)
{
    ArchiveWriter writer;
    samplePath().writeToArchive(writer);
    save(folder, "path.bin", writer.data());
    ArchiveWriter oval;
    NSBezierPath::pathWithOval(Rect(0, 0, 30, 20)).writeToArchive(oval);
    save(folder, "oval.bin", oval.data());
}

void writeStyledTextSeeds(const QString& folder)
{
    const CAttributedString text = sampleText();
    for (int i = 0; i < text.runCount(); ++i)
        save(folder, QString("declarations-%1.txt").arg(i), CAttributedString::runDeclarations(text.run(i)).toUtf8());
    save(folder, "font-style.txt", fontStyleText(PAFont::fontWithFamily("Verdana", 12, true, true)).toUtf8());
    TiXmlDocument document;
    text.writeXml(&document);
    save(folder, "text.xml", XmlSupport::printDocument(document));
    ArchiveWriter writer;
    text.writeArchive(writer);
    save(folder, "text.bin", writer.data());
}

} // namespace

void writeModelSeeds(const QString& corpus, const QString& resources)
{
    registerGraphicsArchiveClasses();
    registerModelArchiveClasses();
    writeComicSeeds(corpus + "/comic_file");
    writeStylesheetSeeds(corpus + "/stylesheet", resources);
    writeElementArchiveSeeds(corpus + "/element_archive");
    writePathSeeds(corpus + "/path_archive");
    writeStyledTextSeeds(corpus + "/styled_text");
    UndoableObject::clearDestructionRecord();
}

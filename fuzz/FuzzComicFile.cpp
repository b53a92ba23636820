// The comic data file: read, draw every page small, write, and read again.
#include "CAGGraphics.h"
#include "CSComic.h"
#include "CSPage.h"
#include "GraphicsParams.h"
#include "ScopedCurrentContext.h"
#include "XmlSupport.h"

#include <QGuiApplication>

#include <tinyxml.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>

namespace {

struct ComicDeleter
{
    void operator()(CSComic* comic) const { CSComic::destroy(comic); }
};
using ComicPointer = std::unique_ptr<CSComic, ComicDeleter>;

constexpr float kPixels = 48.0f;

// Each page at most kPixels on its longer side, as the page renderer draws it.
void drawEveryPage(CSComic& comic)
{
    GraphicsParams params;
    params.width = kPixels;
    params.height = kPixels;
    params.clearValue = 256;
    auto context = CreateGraphicsContext(params);
    if (!context)
        return;
    const Size paper = comic.orientedSize();
    const float scale = kPixels / std::max({paper.width, paper.height, 1.0f});
    for (CSPage* page : comic.pages()) {
        ScopedCurrentContext current(context.get());
        context->ResetTransform();
        context->FillRectangle(comic.backgroundColor(), Rect(0, 0, kPixels, kPixels));
        context->ScaleTransform(scale, scale);
        context->TranslateTransform(comic.leftMargin() * scale, comic.topMargin() * scale);
        page->drawPage(comic);
    }
}

QByteArray xmlOf(const CSComic& comic)
{
    TiXmlDocument document;
    comic.toXml(&document);
    return XmlSupport::printDocument(document);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication application(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    UndoableObject::clearDestructionRecord();
    ComicPointer comic(CSComic::comicFromXmlText(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size))));
    if (comic) {
        drawEveryPage(*comic);
        // A comic that was read writes out in a form that reads again.
        ComicPointer again(CSComic::comicFromXmlText(xmlOf(*comic)));
        if (!again)
            __builtin_trap();
    }
    UndoableObject::clearDestructionRecord();
    return 0;
}

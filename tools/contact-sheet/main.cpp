// Draws every built-in page template on a small page into one picture, each
// with its group and name below, so the whole set can be looked over at once.
//
//     panelora-template-sheet OUT.png [COLUMNS]

#include "CSComic.h"
#include "CSPage.h"
#include "NSDictionary.h"
#include "PAImage.h"
#include "PageRenderer.h"
#include "PageTemplates.h"
#include "Resources.h"
#include "TemplateLibrary.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

constexpr int kPageWidth = 200;
constexpr int kPageHeight = 260;
constexpr int kLabelHeight = 34;
constexpr int kSpacing = 14;

struct Tile
{
    QString caption;
    QImage page;
};

QImage renderTemplate(const NSDictionary& pageTemplate)
{
    NSDictionary pageType;
    pageType.setStringForKey(QStringLiteral("{%1, %2}").arg(kPageWidth).arg(kPageHeight), QStringLiteral("Size"));
    for (const char* key : {"LeftMargin", "RightMargin", "TopMargin", "BottomMargin"})
        pageType.setFloatForKey(8.0f, QString::fromLatin1(key));
    CSComic* comic = new CSComic(pageType);
    comic->setBackgroundColor(0xFFF4F1EAu);
    comic->addPage(PageTemplates::pageFromTemplate(comic->contentSize(), pageTemplate));
    QImage image;
    {
        PageRenderer renderer(*comic);
        if (RefPtr<PAImage> drawn = renderer.renderPage(0, 72.0f, false))
            image = drawn->toStraightImage();
    }
    CSComic::destroy(comic);
    return image;
}

QList<Tile> allTiles()
{
    QList<Tile> tiles;
    const TemplateLibrary library(TemplateLibrary::builtInTemplateFolder(), QString());
    for (const TemplateGroup& group : library.templateGroups()) {
        for (const QString& path : TemplateLibrary::templatesOfGroup(group)) {
            RefPtr<NSDictionary> pageTemplate(PageTemplates::readTemplate(path));
            if (!pageTemplate)
                continue;
            tiles.append(Tile{group.name + QStringLiteral("\n") + QFileInfo(path).completeBaseName(),
                              renderTemplate(*pageTemplate)});
        }
    }
    return tiles;
}

QImage contactSheet(const QList<Tile>& tiles, int columns)
{
    const int rows = (int(tiles.size()) + columns - 1) / columns;
    const int cellWidth = kPageWidth + kSpacing;
    const int cellHeight = kPageHeight + kLabelHeight + kSpacing;
    QImage sheet(kSpacing + columns * cellWidth, kSpacing + rows * cellHeight, QImage::Format_RGB32);
    sheet.fill(QColor(96, 100, 108));
    QPainter painter(&sheet);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(11);
    painter.setFont(font);
    painter.setPen(Qt::white);
    for (int index = 0; index < tiles.size(); ++index) {
        const int x = kSpacing + (index % columns) * cellWidth;
        const int y = kSpacing + (index / columns) * cellHeight;
        painter.drawImage(x, y, tiles[index].page);
        painter.drawText(QRect(x, y + kPageHeight + 2, kPageWidth, kLabelHeight), Qt::AlignHCenter | Qt::AlignTop,
                         tiles[index].caption);
    }
    painter.end();
    return sheet;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: panelora-template-sheet OUT.png [COLUMNS]\n");
        return 2;
    }
    initializeResources();
    const int columns = argc > 2 ? std::max(1, std::atoi(argv[2])) : 9;
    const QList<Tile> tiles = allTiles();
    if (tiles.isEmpty()) {
        std::fprintf(stderr, "panelora-template-sheet: no templates under %s\n",
                     qPrintable(TemplateLibrary::builtInTemplateFolder()));
        return 1;
    }
    if (!contactSheet(tiles, columns).save(QString::fromLocal8Bit(argv[1]))) {
        std::fprintf(stderr, "panelora-template-sheet: %s: cannot write\n", argv[1]);
        return 1;
    }
    std::printf("%d templates\n", int(tiles.size()));
    return 0;
}

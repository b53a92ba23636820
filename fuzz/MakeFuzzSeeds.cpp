// Writes the seed corpus of every fuzz target with the program's own writers.
#include "ArchiveWriter.h"
#include "ComicSeeds.h"
#include "NSArray.h"
#include "NSDictionary.h"
#include "PAFont.h"
#include "PropertyList.h"
#include "TarArchive.h"

#include <QGuiApplication>
#include <QDir>
#include <QFile>

#include <cstdio>

namespace {

void save(const QString& folder, const QString& name, const QByteArray& bytes)
{
    QDir().mkpath(folder);
    QFile file(folder + "/" + name);
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
}

QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

RefPtr<NSDictionary> sampleDictionary()
{
    RefPtr<NSDictionary> d(new NSDictionary);
    d->setStringForKey("US Letter", "Name");
    d->setStringForKey("{612, 792}", "Size");
    d->setFloatForKey(36.0f, "TopMargin");
    d->setBoolForKey(true, "Portrait");
    d->setIntForKey(-3, "Count");
    auto* colors = new NSArray;
    colors->addColor(0xFF336699);
    colors->addString("text");
    d->setArrayForKey(colors, "colors");
    d->setFontForKey(PAFont::fontWithFamily("Comic Neue", 14, false, true), "Font");
    return d;
}

} // namespace

int main(int argc, char** argv)
{
    // Lettering seeds need glyph outlines, which need no display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: make-fuzz-seeds CORPUS-FOLDER RESOURCES-FOLDER\n");
        return 2;
    }
    const QString corpus = QString::fromLocal8Bit(argv[1]);
    const QString resources = QString::fromLocal8Bit(argv[2]);
    RefPtr<NSDictionary> d = sampleDictionary();

    save(corpus + "/property_list", "sample.plist", PropertyList::propertyListText(d.get()));
    save(corpus + "/property_list", "PageTypes.plist", fileBytes(resources + "/English/PageTypes.plist"));

    ArchiveWriter archive;
    NSObject(d.get()).writeToArchive(archive);
    save(corpus + "/value_archive", "dictionary.bin", archive.data());

    save(corpus + "/string_tables", "Localizable.strings", fileBytes(resources + "/English/Localizable.strings"));
    save(corpus + "/string_tables", "strings.xml", fileBytes(resources + "/English/strings.xml"));

    save(corpus + "/text_codecs", "rect.txt", "{{1.5, 2}, {300, 1e-05}}");
    save(corpus + "/text_codecs", "font.txt", "12.000000 'Verdana' italic bold 'Verdana'");
    save(corpus + "/text_codecs", "setting.xml",
         "<setting name=\"a\">12.5</setting><setting><color r=\"1\" g=\"0\" b=\"0.5\" a=\"1\"/></setting>"
         "<setting><font name=\"Arial\" size=\"9\" weight=\"bold\"/></setting>");

    const QString package = corpus + "/../package-seed";
    save(package, "ComicData.pac", "<?xml version=\"1.0\"?><comic/>");
    save(package + "/Images", "a.png", QByteArray(700, 'p'));
    save(package + "/Thumbnails", "Page_1.tif", QByteArray(20, 't'));
    QDir().mkpath(corpus + "/document_archive");
    TarArchive::packFolder(package, corpus + "/document_archive/small.comicdoc");
    QDir(package).removeRecursively();

    writeModelSeeds(corpus, resources);
    return 0;
}

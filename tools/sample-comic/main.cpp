// make-sample-comic FOLDER [PHOTOS]: writes the sample comic as a package
// folder (ComicData.pac and Images). With PHOTOS, the photographs found there
// replace some of the drawn pictures.
#include "SampleComic.h"

#include <QGuiApplication>

#include <cstdio>

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: make-sample-comic FOLDER [PHOTOS]\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    const QString photos = argc == 3 ? QString::fromLocal8Bit(argv[2]) : QString();
    if (!SampleComic::writePackage(folder, photos)) {
        std::fprintf(stderr, "make-sample-comic: %s: cannot write the sample comic\n", argv[1]);
        return 1;
    }
    return 0;
}

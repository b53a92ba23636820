#include "FontSubstitution.h"

#include <QFont>
#include <QFontDatabase>
#include <QStringList>

namespace FontSubstitution {

namespace {

const char* const kComicFace = "Comic Neue";

// Faces of comic lettering found in comics and stylesheets.
const char* const kComicFaces[] = {
    "DigitalStrip", "Digital Strip", "DigitalStrip 2.0 BB", "Comic Sans MS", "Comic Sans", "Comic Book",
    "Anime Ace", "Anime Ace 2.0 BB", "BadaBoom BB", "CC Wild Words", "Wild Words", "Komika Text",
    "Komika Axis", "Komika Title", "Blambot Casual", "Manga Temple", "Mighty Zeo 2.0 BB",
};

struct Substitute
{
    const char* face;
    const char* substitute;
};

// Common desktop faces and the metric-alike fonts the program installs.
const Substitute kSubstitutes[] = {
    {"Verdana", "DejaVu Sans"},
    {"Tahoma", "DejaVu Sans"},
    {"Trebuchet MS", "DejaVu Sans"},
    {"Segoe UI", "DejaVu Sans"},
    {"Lucida Grande", "DejaVu Sans"},
    {"Arial", "Liberation Sans"},
    {"Helvetica", "Liberation Sans"},
    {"Arial Black", "Liberation Sans"},
    {"Times New Roman", "Liberation Serif"},
    {"Times", "Liberation Serif"},
    {"Georgia", "DejaVu Serif"},
    {"Courier New", "Liberation Mono"},
    {"Courier", "Liberation Mono"},
    {"Lucida Console", "DejaVu Sans Mono"},
};

} // namespace

bool isComicFace(const QString& face)
{
    for (const char* known : kComicFaces) {
        if (face.compare(QLatin1String(known), Qt::CaseInsensitive) == 0)
            return true;
    }
    return face.contains(QLatin1String("comic"), Qt::CaseInsensitive)
        && face.compare(QLatin1String(kComicFace), Qt::CaseInsensitive) != 0;
}

QString substituteFor(const QString& face)
{
    if (face.isEmpty() || QFontDatabase::hasFamily(face))
        return face;
    if (isComicFace(face))
        return QString::fromLatin1(kComicFace);
    for (const Substitute& s : kSubstitutes) {
        if (face.compare(QLatin1String(s.face), Qt::CaseInsensitive) == 0)
            return QString::fromLatin1(s.substitute);
    }
    return QString();
}

void install()
{
    static bool installed = false;
    if (installed)
        return;
    installed = true;
    for (const char* face : kComicFaces) {
        const QString name = QString::fromLatin1(face);
        if (!QFontDatabase::hasFamily(name))
            QFont::insertSubstitution(name, QString::fromLatin1(kComicFace));
    }
    for (const Substitute& s : kSubstitutes) {
        const QString name = QString::fromLatin1(s.face);
        if (!QFontDatabase::hasFamily(name))
            QFont::insertSubstitution(name, QString::fromLatin1(s.substitute));
    }
}

} // namespace FontSubstitution

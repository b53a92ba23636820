#pragma once

#include "CRefCountObject.h"
#include "Geometry.h"

#include <QList>
#include <QString>
#include <QStringList>

class NSDictionary;

// The named paper formats of the localised "PageTypes.plist": each a
// dictionary with "Name", "Size", "Portrait" and the four margins.
class PageTypes
{
public:
    // The program's localised file.
    PageTypes();
    // The "Page Types" of a dictionary read elsewhere (tests); may be null.
    explicit PageTypes(const NSDictionary* file);

    static QString pageTypesFile();

    // File order; entries that are not dictionaries or have no name are left out.
    const QList<RefPtr<NSDictionary>>& types() const { return m_types; }
    QStringList names() const;
    // The first type of that name, or null.
    NSDictionary* typeNamed(const QString& name) const;
    // The type of that name, else "A4", else the first; null only without types.
    NSDictionary* typeNamedOrA4(const QString& name) const;

    static Size sizeOf(const NSDictionary& pageType);

    // The page type the first run chooses for the locale's paper (LC_PAPER).
    static QString firstRunPageType();

private:
    void readTypes(const NSDictionary* file);

    QList<RefPtr<NSDictionary>> m_types;
};

#pragma once

#include "CRefCountObject.h"
#include "Geometry.h"
#include "PackedColor.h"

#include <QString>

class CSComic;
class NSDictionary;

// What the page format dialog collects, applied to a comic as undoable
// changes: a named page type or a custom size, then the orientation, the
// four margins and the background colour.
struct PageFormatChange
{
    // The named format; null for a custom size.
    RefPtr<NSDictionary> pageType;
    Size customSize;
    bool portrait = true;
    float leftMargin = 0.0f;
    float rightMargin = 0.0f;
    float topMargin = 0.0f;
    float bottomMargin = 0.0f;
    PackedColor backgroundColor = 0xFFFFFFFFu;

    // The values as the comic has them now (custom when it has no page name).
    static PageFormatChange fromComic(const CSComic& comic);

    // Why the change is refused, or empty: a paper side or the content area
    // left inside the margins not positive and finite, or a margin that is
    // negative or not finite.
    QString problem() const;

    // Applies every change, each undoable: with a page type its name, size
    // and margins, else a cleared page name and the custom size; then the
    // orientation, left, right, top and bottom margins and the background.
    // Refused changes (see problem) leave the comic as it was.
    bool applyTo(CSComic& comic) const;

private:
    Size paperSize() const;
};

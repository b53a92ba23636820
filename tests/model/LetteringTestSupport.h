#pragma once

// Lettering fixtures shared by the lettering tests: the face every machine
// with the project's fonts has, and small helpers to read a lettering's state.

#include "CSSFXChar.h"
#include "CSSFXElement.h"
#include "PAFont.h"

#include <memory>

inline const PAFont* letteringFont(int size = 48)
{
    return PAFont::fontWithFamily(QStringLiteral("Comic Neue"), size, false, true);
}

// Element trees are destroyed the way their owners do it, each object once
// (see CSElement::destroyTree).
struct TreeDeleter
{
    void operator()(CSElement* element) const { CSElement::destroyTree(element); }
};
template <class T>
using TreePtr = std::unique_ptr<T, TreeDeleter>;

inline TreePtr<CSSFXElement> makeLettering(const QString& text, int size = 48)
{
    return TreePtr<CSSFXElement>(new CSSFXElement(text, letteringFont(size)));
}

inline TreePtr<CSSFXElement> emptyLettering()
{
    return TreePtr<CSSFXElement>(new CSSFXElement(Rect()));
}

// The lettering at a page place: its envelope moved so that its frame
// starts at origin.
inline void placeAt(CSSFXElement& lettering, Point origin)
{
    const Rect f = lettering.frame();
    lettering.moveBy(Size{origin.x - f.x(), origin.y - f.y()});
}

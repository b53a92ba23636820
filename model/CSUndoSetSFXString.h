#pragma once

#include "CSSFXElement.h"
#include "CSSFXUndoable.h"

// Puts back a lettering's text and font with the very letters that showed them
// (retired in the lettering meanwhile), so that undo and redo never add or
// drop a letter and keep the letters where they were.
class CSUndoSetSFXString final
    : public CSUndoSetter<CSSFXUndoable, &CSSFXElement::restoreTextAndFont, QString, const PAFont*, std::vector<CSSFXChar*>>
{
public:
    CSUndoSetSFXString(CSSFXElement* target, const QString& oldText, const PAFont* oldFont, const std::vector<CSSFXChar*>& oldLetters);

    const QString& oldText() const { return saved<0>(); }
    const PAFont* oldFont() const { return saved<1>(); }
    const std::vector<CSSFXChar*>& oldLetters() const { return saved<2>(); }
};

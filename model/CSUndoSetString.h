#pragma once

#include "CSElement.h"
#include "CSElementUndoable.h"

// Puts back an element's styled text.
class CSUndoSetString final
    : public CSUndoSetter<CSElementUndoable, &CSElement::setText, CAttributedString>
{
public:
    CSUndoSetString(CSElement* target, const CAttributedString& oldText);

    const CAttributedString& oldText() const { return saved<0>(); }
};

#pragma once

#include "CSSFXElement.h"
#include "CSSFXUndoable.h"

// Undoes a stagger by staggering back: saved is the negated offset.
class CSUndoStagger final
    : public CSUndoSetter<CSSFXUndoable, &CSSFXElement::stagger, Size>
{
public:
    CSUndoStagger(CSSFXElement* target, Size negatedOffset);

    Size negatedOffset() const { return saved<0>(); }
};

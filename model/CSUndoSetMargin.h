#pragma once

#include "CSElement.h"
#include "CSElementUndoable.h"

// Puts back an element's margin.
class CSUndoSetMargin final
    : public CSUndoSetter<CSElementUndoable, &CSElement::setMargin, Size>
{
public:
    CSUndoSetMargin(CSElement* target, const Size& oldMargin);

    const Size& oldMargin() const { return saved<0>(); }
};

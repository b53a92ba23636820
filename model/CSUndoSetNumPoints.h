#pragma once

#include "CSElement.h"
#include "CSElementUndoable.h"

// Puts back an element's number of editable points.
class CSUndoSetNumPoints final
    : public CSUndoSetter<CSElementUndoable, &CSElement::setPointCount, int>
{
public:
    CSUndoSetNumPoints(CSElement* target, int oldCount);

    int oldCount() const { return saved<0>(); }
};

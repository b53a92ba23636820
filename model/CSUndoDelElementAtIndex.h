#pragma once

#include "CSElement.h"
#include "CSElementUndoable.h"

// Removes the child that was inserted at an index.
class CSUndoDelElementAtIndex final
    : public CSUndoSetter<CSElementUndoable, &CSElement::removeChildAtIndex, int>
{
public:
    CSUndoDelElementAtIndex(CSElement* target, int index);

    int index() const { return saved<0>(); }
};

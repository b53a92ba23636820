#pragma once

#include "CSElement.h"
#include "CSElementUndoable.h"

// Undoes sending a child to the back: puts it back at its old index.
class CSUndoBringElementToFront final
    : public CSUndoSetter<CSElementUndoable, &CSElement::moveChildToIndex, CSElement*, int>
{
public:
    CSUndoBringElementToFront(CSElement* target, CSElement* child, int oldIndex);

    CSElement* child() const { return saved<0>(); }
    int oldIndex() const { return saved<1>(); }
};

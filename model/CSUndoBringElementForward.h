#pragma once

#include "CSElement.h"
#include "CSElementUndoable.h"

// Undoes sending a child backward: puts it back at its old index.
class CSUndoBringElementForward final
    : public CSUndoSetter<CSElementUndoable, &CSElement::moveChildToIndex, CSElement*, int>
{
public:
    CSUndoBringElementForward(CSElement* target, CSElement* child, int oldIndex);

    CSElement* child() const { return saved<0>(); }
    int oldIndex() const { return saved<1>(); }
};

#pragma once

#include "CSElement.h"
#include "CSElementUndoable.h"

// Puts a restacked child back at its old index (the redo of the stacking actions).
class CSUndoMoveElementToIndex final
    : public CSUndoSetter<CSElementUndoable, &CSElement::moveChildToIndex, CSElement*, int>
{
public:
    CSUndoMoveElementToIndex(CSElement* target, CSElement* child, int oldIndex);

    CSElement* child() const { return saved<0>(); }
    int oldIndex() const { return saved<1>(); }
};

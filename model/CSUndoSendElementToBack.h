#pragma once

#include "CSElement.h"
#include "CSElementUndoable.h"

// Undoes bringing a child to the front: puts it back at its old index.
class CSUndoSendElementToBack final
    : public CSUndoSetter<CSElementUndoable, &CSElement::moveChildToIndex, CSElement*, int>
{
public:
    CSUndoSendElementToBack(CSElement* target, CSElement* child, int oldIndex);

    CSElement* child() const { return saved<0>(); }
    int oldIndex() const { return saved<1>(); }
};

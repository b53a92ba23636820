#pragma once

#include "CSElement.h"
#include "CSElementUndoable.h"

// Undoes bringing a child forward: puts it back at its old index.
class CSUndoSendElementBackward final
    : public CSUndoSetter<CSElementUndoable, &CSElement::moveChildToIndex, CSElement*, int>
{
public:
    CSUndoSendElementBackward(CSElement* target, CSElement* child, int oldIndex);

    CSElement* child() const { return saved<0>(); }
    int oldIndex() const { return saved<1>(); }
};

#pragma once

#include "CSElement.h"
#include "CSElementUndoable.h"

// Inserts a removed child back at its old index.
class CSUndoInsertElement final
    : public CSUndoSetter<CSElementUndoable, &CSElement::insertChild, CSElement*, int>
{
public:
    CSUndoInsertElement(CSElement* target, CSElement* child, int index);

    CSElement* child() const { return saved<0>(); }
    int index() const { return saved<1>(); }
};

#pragma once

#include "CSElement.h"
#include "CSElementUndoable.h"

// Removes a child that was added.
class CSUndoDelElement final
    : public CSUndoSetter<CSElementUndoable, &CSElement::removeChild, CSElement*>
{
public:
    CSUndoDelElement(CSElement* target, CSElement* child);

    CSElement* child() const { return saved<0>(); }
};

#pragma once

#include "CSElement.h"
#include "CSElementUndoable.h"

// Puts back an element's master (a reference, not owned).
class CSUndoSetMaster final
    : public CSUndoSetter<CSElementUndoable, &CSElement::setMaster, CSElement*>
{
public:
    CSUndoSetMaster(CSElement* target, CSElement* oldMaster);

    CSElement* oldMaster() const { return saved<0>(); }
};

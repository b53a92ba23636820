#pragma once

#include "CSElement.h"
#include "CSElementUndoable.h"

// Puts back an element's locked flag.
class CSUndoSetLock final
    : public CSUndoSetter<CSElementUndoable, &CSElement::setLocked, bool>
{
public:
    CSUndoSetLock(CSElement* target, bool oldFlag);

    bool oldFlag() const { return saved<0>(); }
};

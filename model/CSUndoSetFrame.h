#pragma once

#include "CSElement.h"
#include "CSElementUndoable.h"

// Puts back the frame an element had, exactly (through restoreFrame).
class CSUndoSetFrame final
    : public CSUndoSetter<CSElementUndoable, &CSElement::restoreFrame, Rect>
{
public:
    CSUndoSetFrame(CSElement* target, const Rect& oldFrame);

    const Rect& oldFrame() const { return saved<0>(); }
};

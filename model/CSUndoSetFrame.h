#pragma once

#include "CSElement.h"
#include "CSElementUndoable.h"

// Puts back the frame an element had.
class CSUndoSetFrame final
    : public CSUndoSetter<CSElementUndoable, &CSElement::setFrame, Rect>
{
public:
    CSUndoSetFrame(CSElement* target, const Rect& oldFrame);

    const Rect& oldFrame() const { return saved<0>(); }
};

#pragma once

#include "CSElement.h"
#include "CSElementUndoable.h"

// Resizes an element again by a handle: saved are the delta and the handle.
class CSUndoResizeFrameByDelta final
    : public CSUndoSetter<CSElementUndoable, &CSElement::resizeByHandle, Size, int>
{
public:
    CSUndoResizeFrameByDelta(CSElement* target, const Size& delta, int handle);

    const Size& delta() const { return saved<0>(); }
    int handle() const { return saved<1>(); }
};

#pragma once

#include "CSElement.h"
#include "CSElementUndoable.h"

// Moves an element back: saved is the negated delta of the move.
class CSUndoMoveFrameByDelta final
    : public CSUndoSetter<CSElementUndoable, &CSElement::moveBy, Size>
{
public:
    CSUndoMoveFrameByDelta(CSElement* target, const Size& delta);

    const Size& delta() const { return saved<0>(); }
};

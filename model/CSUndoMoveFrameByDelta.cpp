#include "CSUndoMoveFrameByDelta.h"

CSUndoMoveFrameByDelta::CSUndoMoveFrameByDelta(CSElement* target, const Size& delta)
    : CSUndoSetter(target, delta)
{
}

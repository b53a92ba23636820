#include "CSUndoResizeFrameByDelta.h"

CSUndoResizeFrameByDelta::CSUndoResizeFrameByDelta(CSElement* target, const Size& delta, int handle)
    : CSUndoSetter(target, delta, handle)
{
}

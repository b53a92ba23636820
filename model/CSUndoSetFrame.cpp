#include "CSUndoSetFrame.h"

CSUndoSetFrame::CSUndoSetFrame(CSElement* target, const Rect& oldFrame)
    : CSUndoSetter(target, oldFrame)
{
}

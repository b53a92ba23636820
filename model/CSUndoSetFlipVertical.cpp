#include "CSUndoSetFlipVertical.h"

CSUndoSetFlipVertical::CSUndoSetFlipVertical(CSImageElement* target, bool oldFlag)
    : CSUndoSetter(target, oldFlag)
{
}

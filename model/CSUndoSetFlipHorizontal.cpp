#include "CSUndoSetFlipHorizontal.h"

CSUndoSetFlipHorizontal::CSUndoSetFlipHorizontal(CSImageElement* target, bool oldFlag)
    : CSUndoSetter(target, oldFlag)
{
}

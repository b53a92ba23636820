#include "CSUndoSetAspectRatio.h"

CSUndoSetAspectRatio::CSUndoSetAspectRatio(CSImageElement* target, float oldRatio)
    : CSUndoSetter(target, oldRatio)
{
}

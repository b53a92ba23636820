#include "CSUndoSetMaintainAspectRatio.h"

CSUndoSetMaintainAspectRatio::CSUndoSetMaintainAspectRatio(CSImageElement* target, bool oldFlag)
    : CSUndoSetter(target, oldFlag)
{
}

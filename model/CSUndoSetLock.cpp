#include "CSUndoSetLock.h"

CSUndoSetLock::CSUndoSetLock(CSElement* target, bool oldFlag)
    : CSUndoSetter(target, oldFlag)
{
}

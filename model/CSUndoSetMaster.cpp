#include "CSUndoSetMaster.h"

CSUndoSetMaster::CSUndoSetMaster(CSElement* target, CSElement* oldMaster)
    : CSUndoSetter(target, oldMaster)
{
}

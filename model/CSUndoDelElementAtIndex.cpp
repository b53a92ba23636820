#include "CSUndoDelElementAtIndex.h"

CSUndoDelElementAtIndex::CSUndoDelElementAtIndex(CSElement* target, int index)
    : CSUndoSetter(target, index)
{
}

#include "CSUndoMoveElementToIndex.h"

CSUndoMoveElementToIndex::CSUndoMoveElementToIndex(CSElement* target, CSElement* child, int oldIndex)
    : CSUndoSetter(target, child, oldIndex)
{
}

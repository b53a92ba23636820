#include "CSUndoBringElementForward.h"

CSUndoBringElementForward::CSUndoBringElementForward(CSElement* target, CSElement* child, int oldIndex)
    : CSUndoSetter(target, child, oldIndex)
{
}

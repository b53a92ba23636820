#include "CSUndoBringElementToFront.h"

CSUndoBringElementToFront::CSUndoBringElementToFront(CSElement* target, CSElement* child, int oldIndex)
    : CSUndoSetter(target, child, oldIndex)
{
}

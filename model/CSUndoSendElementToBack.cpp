#include "CSUndoSendElementToBack.h"

CSUndoSendElementToBack::CSUndoSendElementToBack(CSElement* target, CSElement* child, int oldIndex)
    : CSUndoSetter(target, child, oldIndex)
{
}

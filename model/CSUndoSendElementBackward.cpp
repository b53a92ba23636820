#include "CSUndoSendElementBackward.h"

CSUndoSendElementBackward::CSUndoSendElementBackward(CSElement* target, CSElement* child, int oldIndex)
    : CSUndoSetter(target, child, oldIndex)
{
}

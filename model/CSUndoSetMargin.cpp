#include "CSUndoSetMargin.h"

CSUndoSetMargin::CSUndoSetMargin(CSElement* target, const Size& oldMargin)
    : CSUndoSetter(target, oldMargin)
{
}

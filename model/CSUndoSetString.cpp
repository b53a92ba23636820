#include "CSUndoSetString.h"

CSUndoSetString::CSUndoSetString(CSElement* target, const CAttributedString& oldText)
    : CSUndoSetter(target, oldText)
{
}

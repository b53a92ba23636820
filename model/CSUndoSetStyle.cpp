#include "CSUndoSetStyle.h"

CSUndoSetStyle::CSUndoSetStyle(CSElement* target, const QString& oldName)
    : CSUndoSetter(target, oldName)
{
}

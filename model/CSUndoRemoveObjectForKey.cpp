#include "CSUndoRemoveObjectForKey.h"

CSUndoRemoveObjectForKey::CSUndoRemoveObjectForKey(CSElement* target, const QString& key)
    : CSUndoSetter(target, key)
{
}

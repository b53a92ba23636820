#include "CSUndoSetObject.h"

CSUndoSetObject::CSUndoSetObject(CSElement* target, const NSObject& oldValue, const QString& key)
    : CSUndoSetter(target, oldValue, key)
{
}

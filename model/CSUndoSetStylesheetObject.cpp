#include "CSUndoSetStylesheetObject.h"

CSUndoSetStylesheetObject::CSUndoSetStylesheetObject(CSStylesheet* target, const NSObject& oldValue,
                                                     const QString& key)
    : CSUndoSetter(target, oldValue, key)
{
}

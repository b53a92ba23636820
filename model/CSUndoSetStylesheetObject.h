#pragma once

#include "CSStylesheet.h"
#include "CSStylesheetUndoable.h"

// Puts back a stylesheet value: saved are the old value (empty when the key
// had none) and the key.
class CSUndoSetStylesheetObject final
    : public CSUndoSetter<CSStylesheetUndoable, &CSStylesheet::setObjectForKey, NSObject, QString>
{
public:
    CSUndoSetStylesheetObject(CSStylesheet* target, const NSObject& oldValue, const QString& key);

    const NSObject& oldValue() const { return saved<0>(); }
    const QString& key() const { return saved<1>(); }
};

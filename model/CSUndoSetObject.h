#pragma once

#include "CSElement.h"
#include "CSElementUndoable.h"

// Puts back a local attribute value under its qualified key.
class CSUndoSetObject final
    : public CSUndoSetter<CSElementUndoable, &CSElement::setAttribute, NSObject, QString>
{
public:
    CSUndoSetObject(CSElement* target, const NSObject& oldValue, const QString& key);

    const NSObject& oldValue() const { return saved<0>(); }
    const QString& key() const { return saved<1>(); }
};

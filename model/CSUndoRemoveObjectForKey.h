#pragma once

#include "CSElement.h"
#include "CSElementUndoable.h"

// Removes a local attribute that had no value before.
class CSUndoRemoveObjectForKey final
    : public CSUndoSetter<CSElementUndoable, &CSElement::removeAttribute, QString>
{
public:
    CSUndoRemoveObjectForKey(CSElement* target, const QString& key);

    const QString& key() const { return saved<0>(); }
};

#pragma once

#include "CSElement.h"
#include "CSElementUndoable.h"

// Puts back an element's style name.
class CSUndoSetStyle final
    : public CSUndoSetter<CSElementUndoable, &CSElement::setStyleName, QString>
{
public:
    CSUndoSetStyle(CSElement* target, const QString& oldName);

    const QString& oldName() const { return saved<0>(); }
};

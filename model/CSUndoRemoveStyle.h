#pragma once

#include "CSStylesheet.h"
#include "CSStylesheetUndoable.h"

// Removes a named style that was added: saved are its kind and name.
class CSUndoRemoveStyle final
    : public CSUndoSetter<CSStylesheetUndoable, &CSStylesheet::removeStyle, QString, QString>
{
public:
    CSUndoRemoveStyle(CSStylesheet* target, const QString& kind, const QString& name);

    const QString& kind() const { return saved<0>(); }
    const QString& name() const { return saved<1>(); }
};

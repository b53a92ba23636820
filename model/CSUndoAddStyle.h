#pragma once

#include "CSStylesheet.h"
#include "CSStylesheetUndoable.h"

// Adds a removed (or replaced) named style back under its kind and name. The
// action keeps the style alive for as long as the undo history holds it.
class CSUndoAddStyle final
    : public CSUndoSetter<CSStylesheetUndoable, &CSStylesheet::addStyle, RefPtr<CSStylesheet>, QString, QString>
{
public:
    CSUndoAddStyle(CSStylesheet* target, CSStylesheet* style, const QString& kind, const QString& name);

    CSStylesheet* style() const { return saved<0>().get(); }
    const QString& kind() const { return saved<1>(); }
    const QString& name() const { return saved<2>(); }
};

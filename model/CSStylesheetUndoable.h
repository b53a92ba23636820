#pragma once

#include "CSUndoSetter.h"

class CSStylesheet;

// Family base of the stylesheet's undo actions.
class CSStylesheetUndoable : public CSTargetUndoable<CSStylesheet>
{
public:
    using CSTargetUndoable::CSTargetUndoable;
};

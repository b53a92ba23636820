#pragma once

#include "CSUndoSetter.h"

class CSElement;

// Family base of the undo actions that belong to an element.
class CSElementUndoable : public CSTargetUndoable<CSElement>
{
public:
    using CSTargetUndoable::CSTargetUndoable;
};

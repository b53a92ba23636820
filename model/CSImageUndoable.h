#pragma once

#include "CSUndoSetter.h"

class CSImageElement;

// Family base of the undo actions that belong to a picture element.
class CSImageUndoable : public CSTargetUndoable<CSImageElement>
{
public:
    using CSTargetUndoable::CSTargetUndoable;
};

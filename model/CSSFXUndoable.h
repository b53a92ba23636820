#pragma once

#include "CSUndoSetter.h"

class CSSFXElement;

// Family base of the undo actions that belong to a lettering element.
class CSSFXUndoable : public CSTargetUndoable<CSSFXElement>
{
public:
    using CSTargetUndoable::CSTargetUndoable;
};

#pragma once

#include "CSUndoSetter.h"

class CSComic;

// Family base of the undo actions that belong to a comic.
class CSComicUndoable : public CSTargetUndoable<CSComic>
{
public:
    using CSTargetUndoable::CSTargetUndoable;
};

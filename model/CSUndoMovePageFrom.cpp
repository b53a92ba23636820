#include "CSUndoMovePageFrom.h"

CSUndoMovePageFrom::CSUndoMovePageFrom(CSComic* target, int movedTo, int movedFrom) : CSUndoSetter(target, movedTo, movedFrom) {}

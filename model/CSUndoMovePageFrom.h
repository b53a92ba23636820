#pragma once

#include "CSComic.h"
#include "CSComicUndoable.h"

// Moves a page back: from the index it was moved to, to the one it came from.
class CSUndoMovePageFrom final : public CSUndoSetter<CSComicUndoable, &CSComic::movePage, int, int>
{
public:
    CSUndoMovePageFrom(CSComic* target, int movedTo, int movedFrom);

    int movedTo() const { return saved<0>(); }
    int movedFrom() const { return saved<1>(); }
};
